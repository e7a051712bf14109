// The unite engine against sets written by the split thread: round trips, the questions it
// asks, and the damaged sets it must report.
#include "sfu/runtime/unite_engine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>

#include "common/file.h"
#include "common/text.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "engine/karvex_thread.h"
#include "sfu/runtime/text_args.h"
#include "support/fake_split_view.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

void FlipByte(const std::string& path, size_t at) {
  std::vector<uint8_t> bytes = test::ReadAll(path);
  bytes[at] ^= 0x40;
  test::WriteAll(path, bytes);
}

struct Box {
  std::string text, caption;
  TBoxIcon icon;
  TBoxButtons buttons;
};

// Answers each box and piece prompt with the next scripted answer; a question nobody scripted
// fails the test and cancels.
class FakeUniteView : public IUniteView {
 public:
  void Log(const std::string& line) override { log.push_back(line); }
  void SetProgress(int percent) override { progress.push_back(percent); }
  std::string AskPiece(const std::string& title, const std::string& text, const std::string& path) override {
    prompts.push_back(title);
    if (pieceAnswers.empty()) {
      ADD_FAILURE() << "unexpected piece prompt: " << title;
      return std::string();
    }
    const std::string answer = pieceAnswers.front();
    pieceAnswers.pop_front();
    return answer;
  }
  TBoxResult ShowBox(const std::string& text, const std::string& caption, TBoxIcon icon,
                     TBoxButtons buttons) override {
    boxes.push_back({text, caption, icon, buttons});
    if (buttons == bbOk) return brOk;
    if (boxAnswers.empty()) {
      ADD_FAILURE() << "unexpected question: " << text;
      return brCancel;
    }
    const TBoxResult answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
  }
  void PieceFinished(const TPieceReport& report) override { reports.push_back(report); }

  std::vector<std::string> log;
  std::vector<int> progress;
  std::vector<std::string> prompts;
  std::vector<Box> boxes;
  std::vector<TPieceReport> reports;
  std::deque<std::string> pieceAnswers;
  std::deque<TBoxResult> boxAnswers;
};

class UniteEngineTest : public ::testing::Test {
 public:
  UniteEngineTest() : texts(EnglishTexts()) {}

  // Splits a pattern of `size` bytes; configure sets the engine and thread up.
  void Split(size_t size, const std::function<void(TKarvexThread&)>& configure = nullptr) {
    original = test::PatternBytes(size, 3);
    test::WriteAll(dir / "orig.bin", original);
    test::FakeSplitView view;
    TKarvexThread thread(&view);
    thread.Engine.SourceFile = dir / "orig.bin";
    thread.Engine.DestFolder = dir / "set";
    thread.Engine.UniqueId = "{set-1}";
    thread.Engine.SetTitle = "Holiday";
    if (configure) configure(thread);
    spanAnswers = 0;
    view.answer = [this](const TPromptDescription& prompt) {
      // Each new disk is a new folder; the first-disk prompt is answered as it stands.
      if (prompt.Caption == "Insert first disk") return TPromptAnswer{true, prompt.Path};
      return TPromptAnswer{true, dir / ("disk" + std::to_string(++spanAnswers))};
    };
    thread.Execute();
    ASSERT_EQ(thread.Outcome, "Successful");
    records = thread.PieceRecords;
    firstPiece = GetField(records.back(), 3, '|');
  }
  std::string PiecePath(int n) const {
    for (const auto& r : records)
      if (GetField(r, 1, '|') == std::to_string(n)) return GetField(r, 3, '|');
    return std::string();
  }
  bool Unite(bool verifyOnly = false) {
    in.FirstPiecePath = firstPiece;
    in.FirstRecord = ReadFirstRecord(firstPiece);
    in.OutputPath = dir / "restored.bin";
    in.VerifyOnly = verifyOnly;
    TUniteEngine engine(in, texts, view);
    return engine.Unite();
  }
  std::string T(int n) const { return texts.Text(static_cast<size_t>(n)); }
  void ExpectRestored() { EXPECT_EQ(test::ReadAll(dir / "restored.bin"), original); }

  test::TempDir dir;
  TSfuLanguage texts;
  std::vector<uint8_t> original;
  std::vector<std::string> records;
  std::string firstPiece;
  int spanAnswers = 0;
  TUniteInputs in;
  FakeUniteView view;
};

struct RoundTrip {
  const char* name;
  size_t size;
  std::function<void(TKarvexThread&)> configure;
};

TEST_F(UniteEngineTest, RoundTripsRestoreByteForByte) {
  const RoundTrip cases[] = {
      {"blocked", 1000000, nullptr},
      {"blocked exact", 998094, nullptr},
      {"count", 1000000, [](TKarvexThread& t) { t.Engine.PieceSize = 1000000 / 7 + 1259; }},
      {"listed", 1000000,
       [](TKarvexThread& t) {
         t.CustomSizes = true;
         t.CustomSizeList = {"100000", "200000", "300000"};
       }},
      {"masks", 700000, [](TKarvexThread& t) { t.Engine.NameMask = "{ofw}-{ORU}{ore}.p{num}"; }},
      {"reserves", 1000000,
       [](TKarvexThread& t) {
         t.Engine.FirstDiskReserve = 1000;
         t.Engine.OtherDiskReserve = 77777;
       }},
      {"one piece", 4000, nullptr},
      {"empty", 0, nullptr},
      {"many blocks", 3 << 20, [](TKarvexThread& t) { t.Engine.PieceSize = (1 << 20) + 12345; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(dir / "set");
    std::filesystem::remove(dir / "restored.bin");
    Split(c.size, c.configure);
    view = FakeUniteView();
    EXPECT_TRUE(Unite());
    ExpectRestored();
    EXPECT_TRUE(view.boxes.empty());
    EXPECT_EQ(view.log.back(), T(58));
    EXPECT_TRUE(Unite(true));  // verify agrees
  }
}

// Stands in for the free space of a removable disk per folder: a disk of `capacity` bytes less
// what is already written in it. The real volume's free space is shared with parallel tests.
void FakeDisks(TKarvexThread& t, int64_t capacity) {
  const auto reportFree = t.Engine.OnPieceBegin;
  t.Engine.OnPieceBegin = [reportFree, capacity](int n, std::string& path, int64_t& size) {
    int64_t used = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ExtractFileDir(path)))
      used += static_cast<int64_t>(entry.file_size());
    size = capacity - used;
    reportFree(n, path, size);
  };
}

TEST_F(UniteEngineTest, SpannedSetEachDiskInItsOwnFolder) {
  Split(2000000, [](TKarvexThread& t) {
    t.Engine.Blocked = false;
    FakeDisks(t, 300000);
  });
  ASSERT_EQ(records.size(), 7u);
  for (size_t n = 2; n < records.size(); ++n)
    EXPECT_NE(ExtractFileDir(PiecePath(static_cast<int>(n))), ExtractFileDir(PiecePath(static_cast<int>(n + 1))));
  // The pieces are found by folder: each prompt names the folder of the next piece.
  for (size_t n = 2; n <= records.size(); ++n) view.pieceAnswers.push_back(PiecePath(static_cast<int>(n)));
  EXPECT_TRUE(Unite());
  ExpectRestored();
  EXPECT_EQ(view.prompts.size(), records.size() - 1);
}

TEST_F(UniteEngineTest, OnePieceSetIsCheckedAgainstBothChecksums) {
  Split(9);
  EXPECT_TRUE(Unite());
  ExpectRestored();
  ASSERT_EQ(view.reports.size(), 1u);
  EXPECT_TRUE(view.reports[0].Problems.empty());
  EXPECT_THAT(view.log, Contains(T(56)));
}

TEST_F(UniteEngineTest, PieceFoundInTheProgramFolderMovesThePieceFolder) {
  Split(2000000);  // five pieces
  std::filesystem::create_directories(dir / "sfu");
  for (int n : {3, 4, 5}) std::filesystem::rename(PiecePath(n), dir / ("sfu/disk" + std::to_string(n) + ".kxd"));
  in.ProgramFolder = dir / "sfu";
  EXPECT_TRUE(Unite());
  ExpectRestored();
  EXPECT_EQ(view.reports[2].Path, AddBackslash(dir / "sfu") + "disk3.kxd");
  EXPECT_EQ(view.reports[3].Path, AddBackslash(dir / "sfu") + "disk4.kxd");
  EXPECT_TRUE(view.prompts.empty());
}

TEST_F(UniteEngineTest, PieceOfAnotherSetIsNotRecognised) {
  Split(1000000);
  const std::vector<uint8_t> ours = test::ReadAll(PiecePath(2));
  // Another set: the same title in other letter case, another unique ID.
  const auto mine = records;
  Split(1000000, [this](TKarvexThread& t) {
    t.Engine.DestFolder = dir / "other";
    t.Engine.SetTitle = "HOLIDAY";
    t.Engine.UniqueId = "{set-2}";
  });
  const std::string foreign = PiecePath(2);
  records = mine;
  firstPiece = GetField(records.back(), 3, '|');
  std::filesystem::remove(PiecePath(2));  // MinGW's copy_file does not overwrite
  std::filesystem::copy_file(foreign, PiecePath(2));
  view.boxAnswers = {brAbort, brNo};
  EXPECT_FALSE(Unite());
  EXPECT_THAT(view.log, Contains(HasSubstr("this is not the requested piece number 2.")));
  ASSERT_GE(view.boxes.size(), 2u);
  EXPECT_EQ(view.boxes[0].caption, T(28));
  EXPECT_EQ(view.boxes[0].buttons, bbAbortRetryIgnore);
  EXPECT_EQ(view.boxes[1].text, T(64));  // the abort, shown as a fatal error
  EXPECT_EQ(view.boxes[1].caption, T(62));
  EXPECT_EQ(view.boxes[2].text, T(63));  // and the partly restored file offered for removal
}

TEST_F(UniteEngineTest, RetryAsksForTheRightPiece) {
  Split(1000000);
  std::filesystem::rename(PiecePath(2), dir / "moved.kxd");
  test::WriteAll(PiecePath(2), test::PatternBytes(5000, 9));  // a stranger under the right name
  view.boxAnswers = {brRetry};
  // The piece folder follows the chosen piece, so piece 3 is then asked for as well.
  view.pieceAnswers = {dir / "moved.kxd", PiecePath(3)};
  EXPECT_TRUE(Unite());
  ExpectRestored();
  EXPECT_EQ(view.prompts.size(), 2u);
}

TEST_F(UniteEngineTest, IgnoringPieceTwoOfThree) {
  Split(1000000);
  std::filesystem::remove(PiecePath(2));
  test::WriteAll(PiecePath(2), test::PatternBytes(700, 5));
  view.boxAnswers = {brIgnore, brNo, brNo, brNo};
  EXPECT_FALSE(Unite());
  EXPECT_EQ(std::filesystem::file_size(dir / "restored.bin"), 1000000u);
  // Piece 3 lands where piece 2 would have: its offset and CRC checks fail.
  EXPECT_THAT(view.log, Contains(" ERROR: source file offset is different (498741 instead of 998094)"));
  EXPECT_THAT(view.log, Contains(T(45)));
  EXPECT_EQ(std::count(view.log.begin(), view.log.end(), T(50)), 1);
  EXPECT_THAT(view.log, Contains(HasSubstr("piece 3 may be corrupted")));
  EXPECT_THAT(view.log, Contains("WARNING: user decided to ignore piece number 2."));
  EXPECT_TRUE(view.reports[1].Skipped);
  EXPECT_EQ(view.boxes.back().text, T(53));
  EXPECT_EQ(view.log.back(), T(57));
}

TEST_F(UniteEngineTest, WarningsDisabledAfterYesAreLoggedButNotAsked) {
  Split(2000000);
  for (int n : {2, 4}) FlipByte(PiecePath(n), 10);
  view.boxAnswers = {brYes};
  EXPECT_FALSE(Unite());
  // One CRC question (piece 2), then none although pieces 3 to 5 all fail the running CRC.
  EXPECT_EQ(std::count_if(view.boxes.begin(), view.boxes.end(), [&](const Box& b) { return b.caption == T(39); }), 1);
  EXPECT_EQ(std::count(view.log.begin(), view.log.end(), T(45)), 4);
}

TEST_F(UniteEngineTest, NoAnswerKeepsAskingAndCancelAborts) {
  Split(1000000);
  FlipByte(PiecePath(2), 0);
  view.boxAnswers = {brNo, brCancel, brYes};
  EXPECT_FALSE(Unite());
  EXPECT_EQ(view.boxes[0].caption, T(39));
  EXPECT_EQ(view.boxes[1].caption, T(39));  // piece 3 asks again after No
  EXPECT_EQ(view.boxes[2].text, T(64));
  EXPECT_EQ(view.boxes[3].text, T(63));
  EXPECT_FALSE(os::FileExists(dir / "restored.bin"));  // Yes removed it
}

TEST_F(UniteEngineTest, NotEnoughFreeSpaceFailsBeforeAnyPieceIsOpened) {
  Split(1000000);
  TFirstPieceTrailer first = TFirstPieceTrailer::Parse(ReadFirstRecord(firstPiece));
  first.FileSize = uint64_t{1} << 62;
  in.FirstPiecePath = firstPiece;
  in.FirstRecord = first.Serialize();
  in.OutputPath = dir / "restored.bin";
  TUniteEngine engine(in, texts, view);
  EXPECT_FALSE(engine.Unite());
  ASSERT_FALSE(view.boxes.empty());
  EXPECT_THAT(view.boxes[0].text, HasSubstr("There is not enough free space available on the"));
  EXPECT_THAT(view.boxes[0].text, HasSubstr("Uniting aborted."));
  EXPECT_EQ(view.boxes.size(), 1u);  // no removal question: nothing was created
  EXPECT_THAT(view.log, ::testing::Not(Contains("Working on piece number 1")));
  EXPECT_TRUE(view.reports.empty());
  EXPECT_FALSE(os::FileExists(dir / "restored.bin"));
}

TEST_F(UniteEngineTest, WrongMagicAbortsWithoutTouchingAnExistingOutput) {
  Split(1000);
  test::WriteAll(dir / "restored.bin", {1, 2, 3});
  in.FirstPiecePath = dir / "orig.bin";
  in.FirstRecord = ReadFirstRecord(dir / "orig.bin");
  in.OutputPath = dir / "restored.bin";
  TUniteEngine engine(in, texts, view);
  EXPECT_FALSE(engine.Unite());
  EXPECT_EQ(view.boxes[0].text, T(19));
  EXPECT_EQ(view.boxes.size(), 1u);
  EXPECT_EQ(test::ReadAll(dir / "restored.bin"), std::vector<uint8_t>({1, 2, 3}));
}

TEST_F(UniteEngineTest, MergedFirstPieceSkipsTheProgram) {
  Split(1000000);
  std::vector<uint8_t> merged = test::PatternBytes(4321, 11);
  const std::vector<uint8_t> piece1 = test::ReadAll(firstPiece);
  merged.insert(merged.end(), piece1.begin(), piece1.end());
  test::WriteAll(firstPiece, merged);
  in.MergedFirstPiece = true;
  EXPECT_TRUE(Unite());
  ExpectRestored();
}

// The damaged sets every front end must report: the problem logged, the result false.
TEST_F(UniteEngineTest, DamagedSetsAreReported) {
  struct Damage {
    const char* name;
    std::function<void(UniteEngineTest&)> apply;
    std::string expectedLog;
  };
  const Damage cases[] = {
      {"flipped byte in piece 1", [](UniteEngineTest& t) { FlipByte(t.PiecePath(1), 12345); }, T(45)},
      {"flipped byte in the last piece", [](UniteEngineTest& t) { FlipByte(t.PiecePath(3), 0); }, T(45)},
      {"truncated piece", [](UniteEngineTest& t) { std::filesystem::resize_file(t.PiecePath(2), 400000); }, T(26).substr(0, 30)},
      {"missing piece", [](UniteEngineTest& t) { std::filesystem::remove(t.PiecePath(3)); }, T(64)},
      {"swapped pair",
       [](UniteEngineTest& t) {
         std::filesystem::rename(t.PiecePath(2), t.dir / "tmp");
         std::filesystem::rename(t.PiecePath(3), t.PiecePath(2));
         std::filesystem::rename(t.dir / "tmp", t.PiecePath(3));
       },
       T(26).substr(0, 30)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool verify : {false, true}) {
      std::filesystem::remove_all(dir / "set");
      Split(1000000);
      c.apply(*this);
      view = FakeUniteView();
      view.boxAnswers = {brAbort, brNo, brNo, brNo, brNo};  // nobody there: stop, keep
      view.pieceAnswers = {""};
      EXPECT_FALSE(Unite(verify));
      EXPECT_THAT(view.log, Contains(HasSubstr(c.expectedLog)));
    }
  }
}

TEST_F(UniteEngineTest, VerifyWritesNothing) {
  Split(1000000);
  EXPECT_TRUE(Unite(true));
  EXPECT_FALSE(os::FileExists(dir / "restored.bin"));
  ASSERT_EQ(view.reports.size(), 3u);
  EXPECT_EQ(view.reports[1].Path, PiecePath(2));
}

TEST_F(UniteEngineTest, ProgressRunsToAHundredAndDatesAreRestored) {
  Split(1000000);
  EXPECT_TRUE(Unite());
  EXPECT_EQ(view.progress.back(), 100);
  TFile restored(dir / "restored.bin", cmOpenExisting, amRead, smShareRead);
  TFirstPieceTrailer first = TFirstPieceTrailer::Parse(ReadFirstRecord(firstPiece));
  EXPECT_EQ(os::GetFileDosDates(restored.Handle()).lastWrite, first.FileDate);
}

}  // namespace
}  // namespace kvx
