// The progress list's row rules, the split's question texts and the time-left arithmetic.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/progress_list.h"
#include "engine/split_engine.h"
#include "engine/split_prompts.h"
#include "engine/time_estimate.h"

namespace kvx {
namespace {

using ::testing::HasSubstr;

TEST(ProgressListTest, RowsAreAddedUpToTheNumberAndWrittenInPlace) {
  TProgressList list;
  std::deque<std::string> queue{"3|0|Piece 3|Preparing", "1|2|Piece 1|Done", "3|1|Piece 3|Being copied..."};
  list.Flush(queue);
  EXPECT_TRUE(queue.empty());
  ASSERT_EQ(list.Rows().size(), 3u);
  EXPECT_EQ(list.Rows()[0].Caption, "Piece 1");
  EXPECT_EQ(list.Rows()[1].Icon, -1);  // filled in, never written
  EXPECT_EQ(list.Rows()[1].Text, "");
  EXPECT_EQ(list.Rows()[2].Text, "Being copied...");
  EXPECT_EQ(list.Rows()[2].Icon, 1);
  EXPECT_EQ(list.CurrentRow(), 2);
}

TEST(ProgressListTest, ARowNumberThatIsNotOneFallsBackToRowOne) {
  TProgressList list;
  list.Apply("x|1|First|a");  // no row yet: the list gets one
  ASSERT_EQ(list.Rows().size(), 1u);
  list.Apply("2|2|Second|b");
  list.Apply("0|q|Again|c");  // row 0 and a status that is no number
  EXPECT_EQ(list.Rows()[0].Caption, "Again");
  EXPECT_EQ(list.Rows()[0].Icon, 0);
  EXPECT_EQ(list.CurrentRow(), 0);
}

TEST(SplitPromptTest, TextsByKind) {
  TPromptInputs next;
  next.Kind = pkNextDisk;
  next.Piece = 2;
  next.Path = "/media/a";
  next.Remaining = 1500;
  const auto n = DescribePrompt(next);
  ASSERT_TRUE(n);
  EXPECT_EQ(n->Dialog.Caption, "Insert next disk 2");
  EXPECT_EQ(n->Dialog.Path, "/media/a");
  EXPECT_THAT(n->Dialog.HtmlLines[0], HasSubstr("please label it <b>disk 2</b>"));
  EXPECT_EQ(n->Dialog.HtmlLines[2], "1500 bytes (1.5  kb) remaining to be copied.");
  EXPECT_EQ(n->LogLine, "0|Next disk required: 2");

  TPromptInputs space;
  space.Kind = pkNoSpace;
  space.Piece = 3;
  space.Value = 5000;
  space.FreeBytes = 1200;
  const auto s = DescribePrompt(space);
  ASSERT_TRUE(s);
  EXPECT_TRUE(s->Dialog.OkAllowed);
  EXPECT_TRUE(s->Dialog.ShowPath);
  EXPECT_EQ(s->LogLine,
            "2|Not enough free disk space on the destination disk. 1200 byte(s) are free while the piece file "
            "requires 5000 byte(s), so 3800 byte(s) are missing.");

  TPromptInputs notCopied;
  notCopied.Kind = pkPieceNotCopied;
  notCopied.Value = 4;
  notCopied.PieceFileName = "disk4.kxd";
  notCopied.LastErrorText = "Boom.";
  const auto c = DescribePrompt(notCopied);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->Dialog.Caption, "Piece Output Error");
  EXPECT_FALSE(c->Dialog.ShowPath);
  EXPECT_EQ(c->LogLine,
            "2|Piece number 4 was not completely copied: an error occurred while creating piece \"disk4.kxd\"; "
            "Windows error message: Boom.");

  TPromptInputs other;
  other.Kind = 3;
  EXPECT_FALSE(DescribePrompt(other));
}

TEST(SplitPromptTest, SpannedNoSpaceIsAlwaysTheVolume) {
  TPromptInputs in;
  in.Kind = pkNoSpace;
  in.Value = 100;
  in.FreeBytes = 5000;
  in.Blocked = false;
  EXPECT_TRUE(DescribePrompt(in)->Dialog.OkAllowed);
  in.Blocked = true;
  EXPECT_FALSE(DescribePrompt(in)->Dialog.OkAllowed);
}

TEST(TimeEstimateTest, EstimateAndSpanForm) {
  EXPECT_EQ(EstimateSecondsLeft(0, 1000, 10), 0);
  EXPECT_DOUBLE_EQ(EstimateSecondsLeft(250, 1000, 10), 30);
  EXPECT_EQ(FormatSpan(0), "00:00:00");
  EXPECT_EQ(FormatSpan(3725.9), "01:02:05");
  EXPECT_EQ(FormatSpan(86400 + 61), "00:01:01");  // past a whole day
}

}  // namespace
}  // namespace kvx
