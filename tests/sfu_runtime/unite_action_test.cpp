// The SFU window's Unite action and closing, against a scripted window: the checks of the
// output path, the unite, and what follows it (open, run and wait, delete, close).
#include "sfu/runtime/unite_action.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>

#include "common/errors.h"
#include "common/file.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "common/text.h"
#include "engine/karvex_thread.h"
#include "sfu/runtime/sfu_startup.h"
#include "sfu/runtime/text_args.h"
#include "support/fake_split_view.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

using ::testing::ElementsAre;

// Records what the action asks of the window, in order, as short event lines.
class FakeSfuWindow : public ISfuWindowView {
 public:
  void Log(const std::string& line) override { log.push_back(line); }
  void SetProgress(int) override {}
  std::string AskPiece(const std::string& title, const std::string&, const std::string&) override {
    events.push_back("prompt " + title);
    return std::string();
  }
  TBoxResult ShowBox(const std::string& text, const std::string& caption, TBoxIcon, TBoxButtons buttons) override {
    events.push_back("box " + text);
    boxCaptions.push_back(caption);
    if (buttons == bbOk) return brOk;
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected question: " << text;
      return brCancel;
    }
    const TBoxResult answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void ProcessMessages() override { ++pauses; }
  std::string OutputPathText() override { return outputPath; }
  void LockForUnite(const std::string& label) override { events.push_back("lock " + label); }
  void ShowUniteEnded(const std::string& label) override { events.push_back("ended " + label); }
  void OfferClose(const std::string& caption) override { events.push_back("offer " + caption); }
  void SetWindowVisible(bool visible) override { events.push_back(visible ? "show" : "hide"); }
  void CloseWindow() override { events.push_back("close"); }
  bool RunAndWait(const std::string& commandLine, const std::string& folder, int showCommand) override {
    events.push_back("run " + commandLine + " in " + folder + " show " + std::to_string(showCommand));
    return programStarts;
  }
  void OpenWithShell(const std::string& file, const std::string& parameters, const std::string& folder,
                     int showCommand) override {
    events.push_back("open " + file + " with " + parameters + " in " + folder + " show " +
                     std::to_string(showCommand));
  }
  bool TakeStopRequest() override { return ++stopChecks >= stopAtCheck && stopAtCheck != 0; }

  std::string outputPath;
  std::vector<std::string> log;
  std::vector<std::string> events;
  std::vector<std::string> boxCaptions;
  std::deque<TBoxResult> answers;
  bool programStarts = true;
  int stopAtCheck = 0;  // the check that finds a stop request; 0: none comes
  int pauses = 0;
  int stopChecks = 0;
};

std::string In(const std::string& folder, const std::string& name) { return AddBackslash(folder) + name; }

class UniteActionTest : public ::testing::Test {
 public:
  UniteActionTest() {
    original = test::PatternBytes(300000, 5);
    test::WriteAll(dir / "movie.avi", original);
    test::FakeSplitView view;
    TKarvexThread thread(&view);
    thread.Engine.SourceFile = dir / "movie.avi";
    thread.Engine.DestFolder = dir / "set";
    thread.Engine.PieceSize = 120000;
    thread.Engine.SetTitle = "Holiday";
    thread.Engine.UniqueId = "{set-1}";
    thread.Execute();
    EXPECT_EQ(thread.Outcome, "Successful");
    state.ProgramPath = In(dir / "set", "disk1.EXE");
    state.FirstPiecePath = In(dir / "set", "disk1.kxd");
    state.FirstRecord = ReadStartRecord(state.FirstPiecePath);
    state.Texts = EnglishTexts();
    state.Settings.WindowCaption = "Holiday";
    state.Settings.ShowCommand = 1;
    state.Settings.AutoStart = true;
    window.outputPath = In(dir / "out", "movie.avi");
  }
  std::string T(int n) const { return state.Texts.Text(static_cast<size_t>(n)); }
  bool Restored() const {
    return os::FileExists(window.outputPath) && test::ReadAll(window.outputPath) == original;
  }

  test::TempDir dir;
  std::vector<uint8_t> original;
  TSfuState state;
  FakeSfuWindow window;
};

TEST_F(UniteActionTest, UnitesIntoANewFolderAndOffersToClose) {
  state.Settings.EndMessage = "Enjoy/$the film";
  RunUniteAction(state, window);
  EXPECT_TRUE(Restored());
  EXPECT_THAT(window.events, ElementsAre("lock " + T(12), "ended " + T(13), "offer " + T(14)));
  EXPECT_EQ(window.log.front(), T(18));
  EXPECT_EQ(window.log.back(), T(58));
  EXPECT_TRUE(state.LastUniteSucceeded);
  EXPECT_FALSE(state.Settings.AutoStart);
  EXPECT_EQ(ClosingMessage(state), "Enjoy\r\nthe film");
}

TEST_F(UniteActionTest, UnitesWhileTheRunningProgramHoldsThePieceOpen) {
  // A merged first piece is the SFU program itself, which the system keeps open for reading
  // while it runs; the other pieces may be open in a viewer.
  TFile program(state.FirstPiecePath, cmOpenExisting, amRead, smShareRead);
  TFile viewer(In(dir / "set", "disk2.kxd"), cmOpenExisting, amRead, smShareRead);
  RunUniteAction(state, window);
  EXPECT_TRUE(state.LastUniteSucceeded) << window.log.back();
  EXPECT_TRUE(Restored());
}

TEST_F(UniteActionTest, RefusesAnEmptyPathOrAFolderThatCannotBeMade) {
  test::WriteAll(dir / "afile", {1});
  const std::pair<std::string, int> cases[] = {{"", 9}, {In(In(dir / "afile", "sub"), "movie.avi"), 10}};
  for (const auto& [path, text] : cases) {
    SCOPED_TRACE(path);
    window = FakeSfuWindow();
    window.outputPath = path;
    RunUniteAction(state, window);
    EXPECT_THAT(window.events, ElementsAre("box " + T(text)));
    EXPECT_EQ(window.boxCaptions, std::vector<std::string>{"Holiday"});
    EXPECT_TRUE(state.Settings.AutoStart);  // no unite ran
  }
}

TEST_F(UniteActionTest, AsksBeforeOverwritingUnlessToldNotTo) {
  os::ForceDirectories(dir / "out");
  test::WriteAll(window.outputPath, {1, 2, 3});
  const std::string question = "box " + FillText(T(11), {window.outputPath});

  window.answers = {brNo};
  RunUniteAction(state, window);
  EXPECT_THAT(window.events, ElementsAre(question));
  EXPECT_EQ(test::ReadAll(window.outputPath), (std::vector<uint8_t>{1, 2, 3}));

  window.events.clear();
  window.answers = {brYes};
  RunUniteAction(state, window);
  EXPECT_EQ(window.events.front(), question);
  EXPECT_TRUE(Restored());

  window.events.clear();
  state.Settings.NoOverwritePrompt = true;
  RunUniteAction(state, window);
  EXPECT_EQ(window.events.front(), "lock " + T(12));
  EXPECT_TRUE(Restored());
}

TEST_F(UniteActionTest, AFailedUniteOffersNothingAndShowsNoEndMessage) {
  os::RemoveFile(In(dir / "set", "disk2.kxd"));
  state.Settings.EndMessage = "Enjoy";
  state.Settings.OpenAfterUnite = true;
  state.Settings.AutoClose = true;
  window.answers = {brNo};  // keep the partial file
  RunUniteAction(state, window);
  EXPECT_FALSE(state.LastUniteSucceeded);
  EXPECT_EQ(window.events.back(), "ended " + T(13));
  EXPECT_EQ(ClosingMessage(state), "");
}

TEST_F(UniteActionTest, FollowsTheUniteAsTheSettingsAsk) {
  const std::string out = dir / "out";
  const std::string file = In(out, "movie.avi");
  struct Case {
    const char* name;
    bool open, wait, remove, autoClose, silent, starts;
    std::vector<std::string> after;  // events after "offer"
    bool kept;
  } cases[] = {
      {"nothing", false, false, false, false, false, true, {}, true},
      {"open", true, false, false, false, false, true, {"open " + file + " with -v in " + out + " show 1"}, true},
      {"open and close", true, false, false, true, false, true,
       {"open " + file + " with -v in " + out + " show 1", "close"}, true},
      {"run", true, true, false, false, false, true, {"run " + file + " -v in " + out + " show 1"}, true},
      {"run, delete, close", true, true, true, true, false, true,
       {"hide", "run " + file + " -v in " + out + " show 1", "show", "close"}, false},
      {"silent run stays hidden", true, true, true, true, true, true,
       {"run " + file + " -v in " + out + " show 1", "close"}, false},
      {"a program that cannot start keeps the file", true, true, true, false, false, false,
       {"run " + file + " -v in " + out + " show 1"}, true},
      {"close only", false, false, true, true, false, true, {"close"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    state.Settings.OpenAfterUnite = c.open;
    state.Settings.WaitForEnd = c.wait;
    state.Settings.DeleteAfterRun = c.remove;
    state.Settings.AutoClose = c.autoClose;
    state.Settings.Silent = c.silent;
    state.Settings.NoOverwritePrompt = true;
    state.Settings.RunParameters = "-v";
    window = FakeSfuWindow();
    window.outputPath = file;
    window.programStarts = c.starts;
    RunUniteAction(state, window);
    std::vector<std::string> expected = {"lock " + T(12), "ended " + T(13), "offer " + T(14)};
    expected.insert(expected.end(), c.after.begin(), c.after.end());
    EXPECT_EQ(window.events, expected);
    EXPECT_EQ(os::FileExists(file), c.kept);
    EXPECT_EQ(window.log.back(), c.open ? T(15) : T(58));
  }
}

TEST_F(UniteActionTest, AStopRequestAbortsTheUniteOnce) {
  // The request stays pending while the abort runs: it must be taken once only.
  window.stopAtCheck = 12;   // at piece 2, once the output exists
  window.answers = {brYes};  // remove the partial file
  RunUniteAction(state, window);
  EXPECT_FALSE(state.LastUniteSucceeded);
  EXPECT_THAT(window.events, ElementsAre("lock " + T(12), "box " + T(64), "box " + T(63), "ended " + T(13)));
  EXPECT_EQ(window.log.back(), T(61));
  EXPECT_EQ(window.stopChecks, 12);
  EXPECT_FALSE(os::FileExists(window.outputPath));
}

TEST_F(UniteActionTest, ASilentFailureShowsTheHiddenWindow) {
  state.Settings.Silent = true;
  state.Settings.NoOverwritePrompt = true;
  window.outputPath = "";
  RunUniteAction(state, window);
  EXPECT_EQ(window.events.back(), "show");

  os::RemoveFile(In(dir / "set", "disk3.kxd"));
  window = FakeSfuWindow();
  window.outputPath = In(dir / "out", "movie.avi");
  window.answers = {brYes};
  RunUniteAction(state, window);
  EXPECT_EQ(window.events.back(), "show");
}

TEST(RunCommandLine, QuotesAPathWithSpacesUnlessItHoldsAQuote) {
  const struct {
    const char* path;
    const char* parameters;
    const char* line;
  } cases[] = {
      {"C:\\out\\setup.exe", "", "C:\\out\\setup.exe"},
      {"C:\\my files\\setup.exe", "", "\"C:\\my files\\setup.exe\""},
      {"C:\\my files\\setup.exe", "/S /D=x", "\"C:\\my files\\setup.exe\" /S /D=x"},
      {"\"C:\\my files\\setup.exe\"", "", "\"C:\\my files\\setup.exe\""},
      {"C:\\out\\setup.exe", "-q", "C:\\out\\setup.exe -q"},
  };
  for (const auto& c : cases) EXPECT_EQ(RunCommandLine(c.path, c.parameters), c.line) << c.path;
}

}  // namespace
}  // namespace kvx
