// The launch of a split from the model, its checks and summary, and the completion.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/model/job_pages.h"
#include "app/model/main_model.h"
#include "app/model/profile.h"
#include "app/model/text_file.h"
#include "common/file.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "common/text.h"
#include "fake_main_view.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

// The command after splitting runs on its own: waits up to ten seconds for its output to hold
// the text, then gives what it holds.
std::string WaitForOutput(const std::string& path, const std::string& text) {
  std::string held;
  for (int i = 0; i < 200; ++i) {
    try {
      if (os::FileExists(path)) held = ReadWholeFile(path);
    } catch (const std::exception&) {
      // still open in the command that writes it
    }
    if (held.find(text) != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return held;
}

class SplitRunTest : public ::testing::Test {
 protected:
  SplitRunTest() : model(view, {dir / "appdata", dir / "program", AddBackslash(dir.Path())}) {
    model.Initialize();
    test::WriteAll(dir / "English.kxl", {'#', ' ', 'x', '\r', '\n', 'O', 'K', '\r', '\n'});
    job().SetText(&TJobControls::tlang, dir / "English.kxl");
  }
  TSplitJob& job() { return model.Job(); }
  std::string Source(const std::string& name, size_t size = 1000000) {
    test::WriteAll(dir / name, test::PatternBytes(size));
    return dir / name;
  }
  // The job of the summary example: blocked pieces of 300000 bytes, no SFU program.
  void ExampleJob() {
    job().SetText(&TJobControls::fich, Source("report.pdf"));
    job().SetText(&TJobControls::destdir, dir / "out");
    job().SelectUnit(suBytes);
    job().SetText(&TJobControls::tsize, "300000");
    job().SetFlag(&TJobControls::csfufonc, false);
  }
  std::vector<std::string> LogTexts() const {
    std::vector<std::string> texts;
    for (const TLogLine& line : model.Log().Lines()) texts.push_back(line.Text);
    return texts;
  }

  test::TempDir dir;
  test::FakeMainView view;
  TMainModel model;
};

TEST_F(SplitRunTest, TheSummaryOfASuccessfulSplit) {
  ExampleJob();
  model.Split();
  ASSERT_NE(model.CurrentThread(), nullptr);
  const std::vector<std::string> worker = model.CurrentThread()->LogLines;
  model.SplitCompleted();
  const std::string profile = AutomaticProfilePath(dir / "appdata", dir / "report.pdf");
  std::vector<std::pair<std::string, TLogStyle>> expected = {
      {"SPLITTING OPERATION SUMMARY", lsTitle},
      {"Karvex version 2.0.0", lsPlain},
      {"(date)", lsPlain},
      {" ", lsPlain},
      {"File Information", lsHeading},
      {"Filename: " + (dir / "report.pdf"), lsPlain},
      {"Size: 1000000 byte(s), 976.6  kb.", lsPlain},
      {"Destination path: " + (dir / "out"), lsPlain},
      {"Selected Piece Type: ", lsPlain},
      {" Blocked Pieces", lsPlain},
      {" Piece Size: 300000 byte(s), 293.0  kb.", lsPlain},
      {" ", lsPlain},
      {"Operations", lsHeading},
      {"Preparing thread process...", lsPlain},
      {"Launching thread...", lsPlain}};
  for (const std::string& line : worker) {
    const std::string code = GetField(line, 1, '|');
    expected.push_back({GetField(line, 2, '|'), code == "1" ? lsHeading : code == "2" ? lsError : lsPlain});
  }
  const std::vector<std::pair<std::string, TLogStyle>> tail = {
      {"Operation complete", lsHeading}, {" ", lsPlain}, {"Elapsed time: 0 min, 1 sec.", lsPlain},
      {"Result: successful.", lsPlain},  {"Total piece count: 4", lsPlain}, {" ", lsPlain},
      {"Split profile saved as:", lsPlain}, {profile, lsPlain}, {"Done.", lsPlain}};
  expected.insert(expected.end(), tail.begin(), tail.end());
  const std::vector<TLogLine>& lines = model.Log().Lines();
  ASSERT_EQ(lines.size(), expected.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i == 2) continue;  // the date and time
    EXPECT_EQ(lines[i].Text, expected[i].first) << i;
    EXPECT_EQ(lines[i].Style, expected[i].second) << i;
  }
  EXPECT_FALSE(lines[2].Text.empty());
  EXPECT_EQ(worker.front(), "1|Piece Number 1");
  EXPECT_EQ(lines[0].PointSize, 10);
  EXPECT_EQ(lines[1].PointSize, 8);

  // The profile was saved with the pieces, piece 1 first, and the histories grew.
  TSettingsDocument saved(kProfileRoot);
  saved.Open(profile);
  const TSettingsElement* log = saved.Root().Find("log");
  ASSERT_NE(log, nullptr);
  ASSERT_EQ(log->Children.size(), 4u);
  EXPECT_EQ(log->Children[0].Find("path")->Value, AddBackslash(dir / "out") + "disk1.kxd");
  EXPECT_EQ(log->Children[0].Children[0].Name, "path");
  EXPECT_EQ(log->Children[0].Find("size")->Value, "298741");
  EXPECT_EQ(log->Children[3].Find("path")->Value, AddBackslash(dir / "out") + "disk4.kxd");
  EXPECT_EQ(model.ProfileHistory(), std::vector<std::string>{profile});
  EXPECT_EQ(job().destdirItems.front(), dir / "out");
  EXPECT_EQ(job().fichItems.front(), dir / "report.pdf");
  EXPECT_EQ(job().Page, jpSummary);
  EXPECT_EQ(view.events.back(), "status 0: ");
  EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "show main"), 1);
  // The defaults were written back into the job.
  EXPECT_EQ(job().Controls().GTit, "Karvex Archive");
  EXPECT_EQ(job().Controls().createur, "Karvex 2.0.0");
  // The next split replaces the "log" element, at the end of the document.
  model.Split();
  test::CompleteSplits(model);
  ASSERT_EQ(model.ProfileDocument().Root().Children.back().Name, "log");
  EXPECT_EQ(model.ProfileDocument().Root().Children.size(), 2u);
}

TEST_F(SplitRunTest, ElapsedTimeCountsTheTimerTicks) {
  ExampleJob();
  model.Split();
  for (int i = 0; i < 61; ++i) model.TickElapsed();
  model.SplitCompleted();
  const std::vector<std::string> texts = LogTexts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Elapsed time: 1 min, 2 sec."), texts.end());
  model.TickElapsed();  // the timer has stopped
  EXPECT_EQ(model.ElapsedSeconds(), 62u);
}

TEST_F(SplitRunTest, EveryLaunchCheckIsRefusedWithItsText) {
  const std::string source = Source("report.pdf");
  const struct {
    const char* name;
    std::function<void(TSplitJob&)> set;
    std::string error;
  } kCases[] = {
      {"missing source", [&](TSplitJob& j) { j.SetText(&TJobControls::fich, dir / "missing.pdf"); },
       "The original file \"" + (dir / "missing.pdf") + "\" was not found."},
      {"no destination", [&](TSplitJob& j) { j.SetText(&TJobControls::destdir, ""); },
       "You must specify a destination path for your piece files."},
      {"size 0", [&](TSplitJob& j) { j.SetText(&TJobControls::tsize, "0"); },
       "Please enter a default size for your blocked pieces."},
      {"larger, No", [&](TSplitJob& j) { j.SetText(&TJobControls::tsize, "2000000"); },
       "Please decrease the size of blocked pieces so it is lower than the size of the original file."},
      {"no count", [&](TSplitJob& j) {
         j.SetIndex(&TJobControls::cdecide, smPieceCount);
         j.SetText(&TJobControls::tsize, "none");
       },
       "Please verify the number of pieces that Karvex should create: there is a problem."},
      {"too small", [&](TSplitJob& j) {
         j.SelectUnit(suBytes);
         j.SetText(&TJobControls::tsize, "1000");
       },
       "The size of blocked piece is too small: please enable the option \"Do not add headers\" in \"Other "
       "Properties\" in order to continue."},
      {"no mask", [&](TSplitJob& j) { j.SetText(&TJobControls::nomp, ""); },
       "A mask for the piece filenames must be specified."},
      {"mask case", [&](TSplitJob& j) { j.SetText(&TJobControls::nomp, "part.{NUM}"); },
       "The piece mask \"part.{NUM}\" must include one of the {num} or {oru} variables that refer to the current "
       "piece index. Otherwise Karvex cannot distinguish two piece files."},
      {"custom folder", [&](TSplitJob& j) {
         j.SetFlag(&TJobControls::csfufonc, false);
         j.SetIndex(&TJobControls::rep, dkCustomFolder);
       },
       "You have to specify a custom destination folder for the SFU program if you wish to use the Custom "
       "Destination Folder option."},
      {"negative listed size", [&](TSplitJob& j) {
         j.SetIndex(&TJobControls::cdecide, smListedSizes);
         j.SetCustomPieces({{"Piece 1", "100"}, {"Piece 2", "-5"}});
       },
       "Invalid custom size for piece number 2: -5. Please modify your settings."},
  };
  for (const auto& c : kCases) {
    test::FakeMainView v;
    TMainModel m(v, {dir / "appdata", dir / "program", AddBackslash(dir.Path())});
    m.Initialize();
    m.Job().SetText(&TJobControls::fich, source);
    m.Job().SetText(&TJobControls::destdir, dir / "out");
    c.set(m.Job());
    m.Split();
    EXPECT_EQ(m.CurrentThread(), nullptr) << c.name;
    EXPECT_EQ(v.dialogs.errors, std::vector<std::string>{"Fatal Error: " + c.error}) << c.name;
    const std::vector<TLogLine>& lines = m.Log().Lines();
    ASSERT_GE(lines.size(), 7u) << c.name;
    EXPECT_EQ(lines[lines.size() - 3].Text, "Fatal Error");
    EXPECT_EQ(lines[lines.size() - 3].Style, lsError);
    EXPECT_EQ(lines[lines.size() - 2].Text, c.error);
    EXPECT_EQ(lines.back().Text, "Operation ABORTED!");
    EXPECT_EQ(lines.back().Style, lsError);
    EXPECT_EQ(m.Job().Page, jpSummary);
    EXPECT_FALSE(os::DirectoryExists(dir / "out")) << c.name;
  }
  // The missing source is refused before anything else is logged.
  test::FakeMainView v;
  TMainModel m(v, {dir / "appdata", dir / "program", AddBackslash(dir.Path())});
  m.Job().SetText(&TJobControls::fich, dir / "missing.pdf");
  m.Split();
  std::vector<std::string> texts;
  for (const TLogLine& line : m.Log().Lines()) texts.push_back(line.Text);
  texts[2] = "(date)";
  EXPECT_EQ(texts, (std::vector<std::string>{"SPLITTING OPERATION SUMMARY", "Karvex version 2.0.0", "(date)", " ",
                                             "Fatal Error", "The original file \"" + (dir / "missing.pdf") + "\" was not found.",
                                             "Operation ABORTED!"}));
}

TEST_F(SplitRunTest, QuestionsAndAcceptedJobs) {
  // A piece larger than the file is asked about; Yes starts the split.
  ExampleJob();
  job().SetText(&TJobControls::tsize, "2000000");
  view.dialogs.answers = {true};
  model.Split();
  ASSERT_EQ(view.dialogs.questions.size(), 1u);
  EXPECT_EQ(view.dialogs.questions[0].Caption, "Warning");
  EXPECT_TRUE(view.dialogs.questions[0].NoIsDefault);
  EXPECT_TRUE(view.dialogs.questions[0].WhenUnattended);
  EXPECT_NE(model.CurrentThread(), nullptr);
  test::CompleteSplits(model);
  // 1000 bytes without headers, a mask with {oru}, an unused custom folder with SFU off while
  // spanned pieces do not need a size.
  job().SetFlag(&TJobControls::cnoheader, true);
  job().SetText(&TJobControls::tsize, "100000");
  job().SetText(&TJobControls::nomp, "part{oru}.bin");
  model.Split();
  EXPECT_NE(model.CurrentThread(), nullptr);
  test::CompleteSplits(model);
  EXPECT_TRUE(os::FileExists(AddBackslash(dir / "out") + "part010.bin"));
  EXPECT_EQ(view.priorities.back(), tpNormal);
  EXPECT_TRUE(view.dialogs.errors.empty());
}

TEST_F(SplitRunTest, TheThreadGetsTheJob) {
  const std::string source = Source("data.bin", 500000);
  job().SetText(&TJobControls::fich, source);
  job().SetText(&TJobControls::destdir, dir.Path() + os::PathSeparator() + "{ofw}");
  job().SetIndex(&TJobControls::cdecide, smPieceCount);
  job().SetText(&TJobControls::tsize, "4");
  job().SetText(&TJobControls::GTit, std::string(80, 'T'));
  job().SetIndex(&TJobControls::cpriority, tpLowest);
  job().SetFlag(&TJobControls::cover, true);
  job().SetFlag(&TJobControls::cchangenom, true);
  job().SetText(&TJobControls::tnomsfu, "setup.exe");
  job().SetText(&TJobControls::ico, dir / "missing.ico");
  job().SetText(&TJobControls::tlang, dir / "missing.kxl");
  std::unique_ptr<TKarvexThread> thread = model.PrepareLaunch();
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(thread->Engine.DestFolder, dir / "data");
  EXPECT_EQ(thread->Engine.PieceSize, static_cast<int64_t>(job().ComputedPieceSize));
  EXPECT_EQ(thread->Engine.PieceSize, (500000 + 4 * 1259 + 80000 + 3) / 4);
  EXPECT_EQ(thread->Engine.SetTitle, std::string(80, 'T'));
  EXPECT_EQ(thread->SfuFileName, "setup.exe");
  EXPECT_EQ(thread->IconFile, "");
  EXPECT_TRUE(thread->SfuEnabled);
  const TSfuSettings::Bytes record = thread->SfuSettings.Serialize();
  EXPECT_EQ(record[9], 50);     // WindowCaption: the first 50 characters
  EXPECT_EQ(record[1350], 80);  // ArchiveTitle: all 80
  EXPECT_EQ(thread->SfuSettings.ShowCommand, 1);
  EXPECT_FALSE(thread->SfuSettings.NoOverwritePrompt);
  EXPECT_EQ(thread->SfuSettings.DestinationKind, dkCurrentFolder);
  EXPECT_FALSE(thread->LanguageText.empty());  // the built-in texts
  const std::vector<std::string> texts = LogTexts();
  EXPECT_NE(std::find(texts.begin(), texts.end(),
                      "Warning: the language file \"" + (dir / "missing.kxl") + "\" was not found. The default one has been used."),
            texts.end());
  model.AbandonLaunch();
  EXPECT_EQ(model.CurrentThread(), nullptr);
}

TEST_F(SplitRunTest, AFailedSplitStillSavesItsProfile) {
  ExampleJob();
  test::WriteAll(dir / "marker-profile", {});
#ifdef _WIN32
  job().SetText(&TJobControls::texec, "cmd.exe /c echo {PROFILE}> \"" + (dir / "ran") + "\"");
#else
  job().SetText(&TJobControls::texec, "echo {PROFILE} > '" + (dir / "ran") + "'");
#endif
  {
    TFile holder(dir / "report.pdf", cmOpenExisting, amRead, smExclusive);
    model.Split();
    test::CompleteSplits(model);
  }
  const std::vector<std::string> texts = LogTexts();
  const auto result = std::find(texts.begin(), texts.end(), "Result: NOT successful.");
  ASSERT_NE(result, texts.end());
  EXPECT_EQ(*(result + 1), "An error has occurred:");
  EXPECT_EQ((result + 2)->rfind("System Error.  Code: 32.", 0), 0u) << *(result + 2);
  const std::string profile = AutomaticProfilePath(dir / "appdata", dir / "report.pdf");
  EXPECT_TRUE(os::FileExists(profile));
  TSettingsDocument saved(kProfileRoot);
  saved.Open(profile);
  EXPECT_EQ(saved.Root().Find("log"), nullptr);
  EXPECT_NE(WaitForOutput(dir / "ran", profile).find(profile), std::string::npos);
}

TEST_F(SplitRunTest, WithoutAutosaveNoProfileAndTheCommandAsTyped) {
  ExampleJob();
  model.Options().cautosaveprof = false;
  model.Options().caddMRUentries = false;
#ifdef _WIN32
  job().SetText(&TJobControls::texec, "cmd.exe /c echo {profile}> \"" + (dir / "ran") + "\"");
#else
  job().SetText(&TJobControls::texec, "echo '{profile}' > '" + (dir / "ran") + "'");
#endif
  model.Split();
  test::CompleteSplits(model);
  EXPECT_FALSE(os::FileExists(AutomaticProfilePath(dir / "appdata", dir / "report.pdf")));
  EXPECT_TRUE(os::DirectoryExists(ProfilesFolder(dir / "appdata")));
  EXPECT_TRUE(model.ProfileHistory().empty());
  EXPECT_TRUE(job().fichItems.empty());
  EXPECT_NE(WaitForOutput(dir / "ran", "{profile}").find("{profile}"), std::string::npos);
}

TEST_F(SplitRunTest, AFileListOfThreeFilesIsOneRunWithThreeSummaries) {
  job().SetText(&TJobControls::destdir, dir / "lists");
  for (const char* name : {"a.bin", "b.dat", "c"}) model.FileList().Add(Source(name, 200000), dir / "lists");
  model.ApplyFileList();
  EXPECT_TRUE(model.MultipleFiles());
  EXPECT_EQ(job().Controls().fich, dir / "a.bin");
  job().SelectUnit(suBytes);
  job().SetText(&TJobControls::tsize, "100000");
  model.Split();
  test::CompleteSplits(model);
  const std::vector<std::string> texts = LogTexts();
  std::vector<size_t> titles;
  for (size_t i = 0; i < texts.size(); ++i)
    if (texts[i] == "SPLITTING OPERATION SUMMARY") titles.push_back(i);
  ASSERT_EQ(titles.size(), 3u);
  EXPECT_EQ(texts[titles[0] + 3], " ");
  EXPECT_EQ(texts[titles[1] + 3], "Option \"Multiple Files\" enabled.");
  EXPECT_EQ(texts[titles[2] + 3], "Option \"Multiple Files\" enabled.");
  for (const char* folder : {"a", "b", "c"})
    EXPECT_TRUE(os::FileExists(AddBackslash(AddBackslash(AddBackslash(dir / "lists") + "My Split Files") + folder) + "disk2.kxd"))
        << folder;
  EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "show main"), 1);
  EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "hide main"), 3);
  EXPECT_NE(std::find(view.events.begin(), view.events.end(), "status 1: Splitting b.dat"), view.events.end());
  EXPECT_NE(std::find(view.events.begin(), view.events.end(), "status 1: Splitting c"), view.events.end());
  EXPECT_EQ(model.MultiFileIndex(), 0);
  EXPECT_EQ(job().Controls().fich, dir / "c");
  // The list is unchanged, so the same list can be split again.
  EXPECT_EQ(model.FileList().Rows().size(), 3u);
}

TEST_F(SplitRunTest, AFileListGoesOnWhateverTheResultOfAFile) {
  job().SetText(&TJobControls::destdir, dir.Path());
  model.FileList().Add(Source("b.bin", 50000), dir.Path());
  model.FileList().Add(Source("c.bin", 50000), dir.Path());
  model.FileList().Add(dir / "missing.bin", dir.Path());
  model.ApplyFileList();
  job().SelectUnit(suBytes);
  job().SetText(&TJobControls::tsize, "20000");
  {
    TFile holder(dir / "b.bin", cmOpenExisting, amRead, smExclusive);
    model.Split();
    test::CompleteSplits(model);
  }
  const std::vector<std::string> texts = LogTexts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Result: NOT successful."), 1);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Result: successful."), 1);
  // The third file is refused at its launch: the run ends there and the main window returns.
  EXPECT_EQ(texts.back(), "Operation ABORTED!");
  EXPECT_EQ(view.dialogs.errors.size(), 1u);
  EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "show main"), 1);
  EXPECT_EQ(job().Page, jpSummary);
}

}  // namespace
}  // namespace kvx
