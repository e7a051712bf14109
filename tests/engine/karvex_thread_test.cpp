// The split worker thread: its rows, log lines and piece records, its questions, the SFU
// builder port, and pausing.
#include "engine/karvex_thread.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "common/paths.h"
#include "common/os/os.h"
#include "common/text.h"
#include "support/fake_split_view.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class KarvexThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteAll(dir / "src.bin", test::PatternBytes(1000000));
    thread.Engine.SourceFile = dir / "src.bin";
    thread.Engine.DestFolder = dir / "out";
  }
  // Row lines as "row|status" for a compact comparison.
  std::vector<std::string> RowStates() const {
    std::vector<std::string> states;
    for (const auto& r : view.rows) states.push_back(GetField(r, 1, '|') + "|" + GetField(r, 2, '|'));
    return states;
  }

  test::TempDir dir;
  test::FakeSplitView view;
  TKarvexThread thread{&view};
};

TEST_F(KarvexThreadTest, ThreePieceSetGivesRowsLogAndRecordsInWritingOrder) {
  thread.Execute();
  ASSERT_EQ(thread.Outcome, "Successful");
  EXPECT_THAT(RowStates(), ElementsAre("1|0", "1|3", "2|0", "2|1", "2|2", "3|0", "3|1", "3|2", "1|1", "1|2"));
  EXPECT_EQ(view.rows[0], "1|0|Piece 1|Preparing piece file disk1.kxd");
  EXPECT_EQ(view.rows[1], "1|3|Piece 1|Awaiting other pieces...");
  EXPECT_EQ(view.rows[4], "2|2|Piece 2|Done");
  const std::string out = AddBackslash(dir / "out");
  EXPECT_THAT(thread.PieceRecords, ElementsAre("2|499353|" + out + "disk2.kxd", "3|1906|" + out + "disk3.kxd",
                                               "1|498741|" + out + "disk1.kxd"));
  EXPECT_THAT(std::vector<std::string>(thread.LogLines.begin(), thread.LogLines.begin() + 3),
              ElementsAre("1|Piece Number 1", "0|Piece filename: " + out + "disk1.kxd", "0|Awaiting other pieces..."));
  EXPECT_THAT(thread.LogLines, ::testing::Contains("1|Back to Piece Number 1"));
  EXPECT_THAT(thread.LogLines, ::testing::Contains("0|Piece size: 499353 byte(s), 487.6  kb"));
  EXPECT_THAT(thread.LogLines, ::testing::Contains("0|Total file done: 100%"));
  EXPECT_EQ(thread.LogLines.back(), "");
  EXPECT_EQ(view.status, "Working on piece number 1...");
  ASSERT_EQ(view.list.Rows().size(), 3u);
  for (const auto& row : view.list.Rows()) EXPECT_EQ(row.Icon, 2);
}

TEST_F(KarvexThreadTest, ListedSizesCutThePiecesAndTheLastTakesTheRest) {
  thread.CustomSizes = true;
  thread.CustomSizeList = {"100000", "200000", "300000"};
  thread.Execute();
  ASSERT_EQ(thread.Outcome, "Successful");
  ASSERT_EQ(thread.PieceRecords.size(), 3u);
  EXPECT_EQ(GetField(thread.PieceRecords[2], 2, '|'), "98741");
  EXPECT_EQ(GetField(thread.PieceRecords[0], 2, '|'), "199353");
  EXPECT_EQ(GetField(thread.PieceRecords[1], 2, '|'), "701906");
  EXPECT_EQ(thread.Engine.PiecesWritten, 3);
}

TEST_F(KarvexThreadTest, CancelInTheFirstDiskPromptAbortsTheRun) {
  thread.Engine.Blocked = false;
  thread.Execute();
  EXPECT_EQ(thread.Outcome, "Splitting process aborted by user");
  EXPECT_EQ(thread.LogLines.back(), "0|Splitting process is going to abort.");
  ASSERT_EQ(view.prompts.size(), 1u);
  EXPECT_EQ(view.prompts[0].Caption, "Insert first disk");
  EXPECT_TRUE(view.prompts[0].ShowPath);
  EXPECT_EQ(view.prompts[0].Path, dir / "out");
  EXPECT_THAT(thread.LogLines, ::testing::Contains("0|First disk required."));
}

TEST_F(KarvexThreadTest, PieceSizeBelowOneOffersOnlyCancel) {
  thread.Engine.PieceSize = 1000;
  view.answer = [](const TPromptDescription&) { return TPromptAnswer{true, "/elsewhere"}; };
  thread.Execute();
  EXPECT_EQ(thread.Outcome, "Splitting process aborted by user");
  ASSERT_EQ(view.prompts.size(), 1u);
  EXPECT_FALSE(view.prompts[0].OkAllowed);
  EXPECT_FALSE(view.prompts[0].ShowPath);
  EXPECT_THAT(view.prompts[0].HtmlLines[1], HasSubstr("The size of the piece file is too small (1000 byte(s))"));
  EXPECT_THAT(thread.LogLines, ::testing::Contains(HasSubstr("2|The size of the piece file is too small")));
}

TEST_F(KarvexThreadTest, WithoutAProgressWindowOnlyPromptsAndExecuteLinesRemain) {
  TKarvexThread bare(nullptr);
  bare.PromptView = &view;
  bare.Engine.SourceFile = dir / "src.bin";
  bare.Engine.DestFolder = dir / "out";
  bare.Engine.Blocked = false;
  bare.Execute();
  EXPECT_EQ(view.prompts.size(), 1u);
  EXPECT_THAT(bare.LogLines, ElementsAre("0|Splitting process is going to abort."));
  EXPECT_TRUE(bare.PieceRecords.empty());
  EXPECT_TRUE(view.rows.empty());
}

// A builder that writes a fixed program and logs as the real one does.
class FakeBuilder : public ISfuProgramBuilder {
 public:
  void Build(TKarvexThread& thread, TMemoryStream& out) override {
    ++builds;
    thread.LogLines.push_back("0|Working on SFU data...");
    out.Write(program.data(), program.size());
  }
  std::vector<uint8_t> program = test::PatternBytes(3000, 7);
  int builds = 0;
};

TEST_F(KarvexThreadTest, SeparateSfuProgramIsMeasuredThenWrittenAfterTheSplit) {
  FakeBuilder builder;
  thread.SfuBuilder = &builder;
  thread.Execute();
  ASSERT_EQ(thread.Outcome, "Successful");
  EXPECT_EQ(builder.builds, 2);  // measured for piece 1, then built for the file
  EXPECT_EQ(GetField(thread.PieceRecords.back(), 2, '|'), "495741");  // 500000 - 1259 - 3000
  EXPECT_EQ(test::ReadAll(AddBackslash(dir / "out") + "disk1.EXE"), builder.program);
  EXPECT_EQ(view.list.Rows()[0].Caption, "SFU Program");
  EXPECT_EQ(view.list.Rows()[0].Text, "Making SFU program...");
  EXPECT_THAT(thread.LogLines, ::testing::Contains("0|Size of SFU file: 3000 byte(s)"));
  EXPECT_EQ(view.status, "Working on SFU program...");
}

TEST_F(KarvexThreadTest, MergedSfuProgramBecomesTheHeadOfPieceOne) {
  FakeBuilder builder;
  thread.SfuBuilder = &builder;
  thread.SfuMerge = true;
  thread.SfuSizeIgnored = true;
  thread.Execute();
  ASSERT_EQ(thread.Outcome, "Successful");
  EXPECT_EQ(builder.builds, 1);
  const std::string piece1 = AddBackslash(dir / "out") + "disk1.EXE";
  EXPECT_EQ(GetField(thread.PieceRecords.back(), 3, '|'), piece1);
  const auto bytes = test::ReadAll(piece1);
  ASSERT_EQ(bytes.size(), 3000u + 498741u + 1259u);
  EXPECT_TRUE(std::equal(builder.program.begin(), builder.program.end(), bytes.begin()));
}

TEST_F(KarvexThreadTest, NoBuilderBuildsNothing) {
  thread.SfuEnabled = true;
  thread.Execute();
  EXPECT_EQ(thread.Outcome, "Successful");
  EXPECT_FALSE(os::FileExists(AddBackslash(dir / "out") + "disk1.EXE"));
}

TEST_F(KarvexThreadTest, EngineErrorBecomesTheOutcome) {
  thread.Engine.SourceFile = dir / "missing.bin";
  thread.Execute();
  EXPECT_THAT(thread.Outcome, HasSubstr("System Error.  Code: 2."));
}

TEST_F(KarvexThreadTest, PauseHoldsTheWorkerUntilResumed) {
  test::WriteAll(dir / "src.bin", test::PatternBytes(8 << 20));
  thread.Engine.PieceSize = 1 << 20;
  std::atomic<bool> pausedOnce{false};
  view.onGauges = [&](uint16_t, uint16_t) {
    if (!pausedOnce.exchange(true)) thread.Pause();
  };
  thread.Start();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!pausedOnce && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const int64_t held = thread.Engine.PieceBytes;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(thread.Engine.PieceBytes, held);
  EXPECT_TRUE(thread.Paused());
  thread.Resume();
  thread.Join();
  EXPECT_EQ(thread.Outcome, "Successful");
}

TEST_F(KarvexThreadTest, AbortWhilePausedEndsTheRun) {
  test::WriteAll(dir / "src.bin", test::PatternBytes(8 << 20));
  thread.Engine.PieceSize = 1 << 20;
  std::atomic<int> ended{0};
  thread.OnEnd = [&] { ++ended; };
  view.onGauges = [&](uint16_t, uint16_t totalPercent) {
    if (totalPercent > 20 && !thread.Paused() && !thread.Engine.Aborted) thread.Pause();
  };
  thread.Start();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!thread.Paused() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  thread.Engine.Aborted = true;  // the Cancel button's Yes, without a resume
  thread.Join();
  EXPECT_EQ(thread.Outcome, "Splitting process aborted by user");
  EXPECT_EQ(ended, 1);
}

}  // namespace
}  // namespace kvx
