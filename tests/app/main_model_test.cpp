// The main program's model around the split: preferences, options, start-up and command line,
// the profiles menu and its commands, the file list, the summary's export and dry-run plans.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/model/command_line.h"
#include "app/model/main_model.h"
#include "app/model/piece_plan.h"
#include "app/model/profile.h"
#include "app/model/text_file.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "fake_main_view.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

class MainModelTest : public ::testing::Test {
 protected:
  TAppFolders Folders() const { return {dir / "appdata", dir / "program", AddBackslash(dir.Path())}; }
  std::string File(const std::string& name, size_t size = 1000) {
    test::WriteAll(dir / name, std::vector<uint8_t>(size, 3));
    return dir / name;
  }
  std::string Preferences() const { return AddBackslash(AddBackslash(dir / "appdata") + "Karvex") + "karvexpref.xml"; }

  test::TempDir dir;
};

TEST_F(MainModelTest, TheFirstRunIsAskedOnce) {
  {
    test::FakeMainView view;
    TMainModel model(view, Folders());
    view.dialogs.answers = {true};
    model.Start({});
    ASSERT_EQ(view.dialogs.questions.size(), 1u);
    EXPECT_EQ(view.dialogs.questions[0].Caption, "Welcome");
    EXPECT_NE(std::find(view.events.begin(), view.events.end(), "help 1003"), view.events.end());
    model.Close();
  }
  std::string text = ReadWholeFile(Preferences());
  EXPECT_NE(text.find("<FirstRun>FALSE</FirstRun>"), std::string::npos);
  test::FakeMainView view;
  TMainModel model(view, Folders());
  model.Start({});
  EXPECT_TRUE(view.dialogs.questions.empty());
}

TEST_F(MainModelTest, OptionsHaveTheirDefaultsAndAreStoredInOrder) {
  test::FakeMainView view;
  TMainModel model(view, Folders());
  model.Start({});
  const TEnvironmentOptions& o = model.Options();
  EXPECT_TRUE(o.cmulprompt && o.cautosaveprof && o.caddMRUentries && o.cautoaddfolder && o.cskineffects);
  EXPECT_TRUE(o.config.empty() && o.deflang.empty() && o.pbloc.empty() && o.customskin.empty());
  model.Options().pbloc = "C:\\Tools";
  model.Options().caddMRUentries = false;
  model.CloseOptions();
  const std::string text = ReadWholeFile(Preferences());
  EXPECT_NE(text.find("  <EnvironOptions>\r\n"
                      "    <FormVersion>1</FormVersion>\r\n"
                      "    <deflang_Text/>\r\n"
                      "    <config_Text/>\r\n"
                      "    <pbloc_Text>C:\\Tools</pbloc_Text>\r\n"
                      "    <cmulprompt_Checked>TRUE</cmulprompt_Checked>\r\n"
                      "    <cautoaddfolder_Checked>TRUE</cautoaddfolder_Checked>\r\n"
                      "    <cautosaveprof_Checked>TRUE</cautosaveprof_Checked>\r\n"
                      "    <caddMRUentries_Checked>FALSE</caddMRUentries_Checked>\r\n"
                      "    <customskin_Text/>\r\n"
                      "    <cskineffects_Checked>TRUE</cskineffects_Checked>\r\n"
                      "  </EnvironOptions>\r\n"),
            std::string::npos)
      << text;
  test::FakeMainView again;
  TMainModel next(again, Folders());
  next.Start({});
  EXPECT_EQ(next.Options().pbloc, "C:\\Tools");
  EXPECT_FALSE(next.Options().caddMRUentries);
}

TEST_F(MainModelTest, TheMainWindowsSettingsComeBack) {
  const std::string source = File("last.bin");
  {
    test::FakeMainView view;
    TMainModel model(view, Folders());
    model.Start({});
    model.Job().SetText(&TJobControls::fich, source);
    model.Job().fichItems = {"a", "b"};
    model.ProfileHistory() = {"p1.kxc"};
    model.Placement() = {true, 2, 120, "-1,-1,-1,-1", "10,20,560,482"};
    model.Close();
  }
  test::FakeMainView view;
  TMainModel model(view, Folders());
  model.Start({});
  EXPECT_EQ(model.Job().Controls().fich, source);
  EXPECT_TRUE(model.Job().SourceInformation().Exists);  // the source-file handling ran
  EXPECT_EQ(model.Job().fichItems, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(model.ProfileHistory(), std::vector<std::string>{"p1.kxc"});
  EXPECT_EQ(model.Placement().NormPos, "10,20,560,482");
  EXPECT_EQ(model.Placement().PixelsPerInch, 120);
}

TEST_F(MainModelTest, TheSectionIsReadOnlyFromVersionOne) {
  os::ForceDirectories(ExtractFileDir(Preferences()));
  const std::string text = "<KarvexPreferences><fsplit><FormVersion>0</FormVersion><fich_Text>x</fich_Text>"
                           "<FirstRun>FALSE</FirstRun></fsplit></KarvexPreferences>";
  test::WriteAll(Preferences(), std::vector<uint8_t>(text.begin(), text.end()));
  test::FakeMainView view;
  TMainModel model(view, Folders());
  model.Start({});
  EXPECT_EQ(model.Job().Controls().fich, "");
  EXPECT_EQ(view.dialogs.questions.size(), 1u);  // FirstRun was not read either
}

TEST_F(MainModelTest, AnUnreadablePreferencesFileGivesDefaultsAndIsKept) {
  os::ForceDirectories(ExtractFileDir(Preferences()));
  const std::string broken = "<KarvexPreferences><fsplit>";
  test::WriteAll(Preferences(), std::vector<uint8_t>(broken.begin(), broken.end()));
  test::FakeMainView view;
  TMainModel model(view, Folders());
  model.Initialize();
  EXPECT_EQ(model.ReadPreferences(), "\"" + Preferences() + "\" is not a valid settings document: the element "
                                     "\"fsplit\" is not closed at line 1.");
  EXPECT_TRUE(model.Options().cautosaveprof);
  model.Close();
  EXPECT_EQ(ReadWholeFile(Preferences() + ".bak"), broken);
  TSettingsDocument written("KarvexPreferences");
  EXPECT_NO_THROW(written.Open(Preferences()));
}

TEST_F(MainModelTest, TheDefaultLanguageFile) {
  const std::string english = AddBackslash(AddBackslash(dir / "program") + "SFULang") + "English.kxl";
  test::FakeMainView view;
  TMainModel model(view, Folders());
  model.Initialize();
  model.SetDefaultLanguage();
  EXPECT_EQ(model.Job().Controls().tlang, english);
  EXPECT_EQ(model.Job().Controls().memwelc, kDefaultWelcomeText);
  model.Options().deflang = File("French.kxl");
  test::WriteAll(dir / "FrenchDefWelcome.txt", {'S', 'a', 'l', 'u', 't'});
  model.SetDefaultLanguage();
  EXPECT_EQ(model.Job().Controls().tlang, dir / "French.kxl");
  EXPECT_EQ(model.Job().Controls().memwelc, std::vector<std::string>{"Salut"});
}

TEST_F(MainModelTest, CommandLine) {
  const TCommandLine line = ParseCommandLine({"C:\\x.zip", "-b-i-t", "C:\\batch.txt", "ignored"});
  EXPECT_EQ(line.File, "C:\\x.zip");
  EXPECT_EQ(line.SecondFile, "C:\\batch.txt");
  for (const char* option : {"-b", "-i", "-t"}) EXPECT_TRUE(line.Has(option)) << option;
  for (const char* option : {"-c", "-go"}) EXPECT_FALSE(line.Has(option)) << option;

  const std::string source = File("x.zip", 300000);
  {
    // A file alone is only selected.
    test::FakeMainView view;
    TMainModel model(view, Folders());
    model.Start(ParseCommandLine({source}));
    EXPECT_EQ(model.Job().Controls().fich, source);
    EXPECT_EQ(view.priorities.size(), 0u);
    EXPECT_FALSE(model.Unattended());
  }
  {
    // -go-t splits with the restored settings and ends the program after the split.
    test::FakeMainView view;
    TMainModel model(view, Folders());
    model.Start(ParseCommandLine({source, "-go-t"}));
    ASSERT_NE(model.CurrentThread(), nullptr);
    EXPECT_TRUE(model.Unattended());
    test::CompleteSplits(model);
    EXPECT_EQ(view.events.back(), "end");
  }
  {
    // -go without -t does not end the program; a source that does not exist starts nothing.
    test::FakeMainView view;
    TMainModel model(view, Folders());
    model.Start(ParseCommandLine({dir / "none.zip", "-go-t"}));
    EXPECT_EQ(model.CurrentThread(), nullptr);
    EXPECT_FALSE(model.Unattended());
  }
  {
    // The profile of -c comes after the first argument, so its source replaces it.
    TSettingsDocument profile(kProfileRoot);
    profile.WriteString("Settings\\fich_Text", "C:\\from-profile.bin");
    profile.Save(dir / "p.kxc");
    test::FakeMainView view;
    TMainModel model(view, Folders());
    model.Start(ParseCommandLine({source, "-c", dir / "p.kxc"}));
    EXPECT_EQ(model.Job().Controls().fich, "C:\\from-profile.bin");
  }
  const std::string batchText = "[Main]\nSource=" + source + "\nDestFolder=" + (dir / "out") + "\n";
  test::WriteAll(dir / "batch.txt", std::vector<uint8_t>(batchText.begin(), batchText.end()));
  {
    // "", -b-i and a batch file: read and split at once; -b alone only fills the window.
    test::FakeMainView view;
    TMainModel model(view, Folders());
    model.Start(ParseCommandLine({"", "-b-i", dir / "batch.txt"}));
    EXPECT_NE(model.CurrentThread(), nullptr);
    test::CompleteSplits(model);
    EXPECT_NE(view.events.back(), "end");
    test::FakeMainView other;
    TMainModel filled(other, Folders());
    filled.Start(ParseCommandLine({"", "-b", dir / "batch.txt"}));
    EXPECT_EQ(filled.CurrentThread(), nullptr);
    EXPECT_EQ(filled.Job().Controls().destdir, dir / "out");
    EXPECT_TRUE(filled.Unattended());
  }
}

TEST_F(MainModelTest, TheStartupProfile) {
  TSettingsDocument profile(kProfileRoot);
  profile.WriteString("Settings\\GTit_Text", "start-up");
  profile.Save(dir / "start.kxc");
  {
    test::FakeMainView view;
    TMainModel model(view, Folders());
    model.Start({});
    model.Options().config = dir / "start.kxc";
    model.Close();
  }
  test::FakeMainView view;
  TMainModel model(view, Folders());
  model.Start({});
  EXPECT_EQ(model.Job().Controls().GTit, "start-up");
  EXPECT_NE(std::find(view.events.begin(), view.events.end(), "status 0: Profile loaded."), view.events.end());
}

TEST_F(MainModelTest, ProfilesMenuAndItsCommands) {
  test::FakeMainView view;
  TMainModel model(view, Folders());
  model.Start({});
  TProfilesMenu menu = model.ProfilesMenu();
  EXPECT_FALSE(menu.LastProfileEnabled);
  EXPECT_TRUE(menu.History.empty());
  EXPECT_FALSE(menu.SeparatorVisible);

  TSettingsDocument profile(kProfileRoot);
  profile.WriteString("Settings\\fich_Text", "C:\\a.bin");
  profile.WriteString("Settings\\GTit_Text", "from history");
  profile.Save(dir / "first.KXC");
  profile.Save(dir / "second.kxc.kxc");
  model.ProfileHistory() = {dir / "first.KXC", dir / "gone.kxc", dir / "second.kxc.kxc"};
  menu = model.ProfilesMenu();
  ASSERT_EQ(menu.History.size(), 2u);
  EXPECT_EQ(menu.History[0].Caption, "first");
  EXPECT_EQ(menu.History[0].HistoryIndex, 0);
  EXPECT_EQ(menu.History[1].Caption, "second.kxc");
  EXPECT_EQ(menu.History[1].HistoryIndex, 2);
  EXPECT_TRUE(menu.SeparatorVisible);

  // A history entry brings everything but the source; opening the file brings the source too.
  const std::string source = File("b.bin");
  model.Job().SetText(&TJobControls::fich, source);
  model.OpenProfileFromHistory(2);
  EXPECT_EQ(model.Job().Controls().fich, source);
  EXPECT_EQ(model.Job().Controls().GTit, "from history");
  EXPECT_TRUE(model.Job().ProposalsEnabled);
  model.Job().SetText(&TJobControls::GTit, "changed");
  model.OpenProfileFromHistory(1);  // gone: nothing happens
  model.OpenProfileFromHistory(7);  // no such entry: nothing happens
  EXPECT_EQ(model.Job().Controls().GTit, "changed");
  model.OpenProfile(dir / "first.KXC");
  EXPECT_EQ(model.Job().Controls().fich, "C:\\a.bin");

  // "Last profile for this file" follows the automatic profile of the current source.
  model.Job().SetText(&TJobControls::fich, source);
  EXPECT_FALSE(model.ProfilesMenu().LastProfileEnabled);
  os::ForceDirectories(ProfilesFolder(dir / "appdata"));
  profile.WriteString("Settings\\GTit_Text", "last");
  profile.Save(model.AutomaticProfile());
  EXPECT_TRUE(model.ProfilesMenu().LastProfileEnabled);
  model.OpenLastProfileForThisFile();
  EXPECT_EQ(model.Job().Controls().GTit, "last");
  EXPECT_EQ(model.Job().Controls().fich, source);
}

TEST_F(MainModelTest, AProfileThatCannotBeReadChangesNothing) {
  test::FakeMainView view;
  TMainModel model(view, Folders());
  model.Start({});
  const std::string text = "<KarvexProfile><Settings><GTit_Text>x</GTit_Text></Settings>";
  test::WriteAll(dir / "broken.kxc", std::vector<uint8_t>(text.begin(), text.end()));
  model.Job().SetText(&TJobControls::GTit, "kept");
  model.ProfileDocument().WriteString("Settings\\Mine", "1");
  RunCommand(view, [&] { model.OpenProfile(dir / "broken.kxc"); });
  EXPECT_EQ(view.dialogs.errors, std::vector<std::string>{
                                     "Karvex: \"" + (dir / "broken.kxc") +
                                     "\" is not a valid settings document: the element \"KarvexProfile\" is not closed at line 1."});
  EXPECT_EQ(model.Job().Controls().GTit, "kept");
  EXPECT_TRUE(model.ProfileDocument().HasKey("Settings\\Mine"));
  EXPECT_TRUE(model.Job().ProposalsEnabled);
  // A missing file reads as the system's error.
  RunCommand(view, [&] { model.OpenProfile(dir / "none.kxc"); });
  EXPECT_EQ(view.dialogs.errors.back().rfind("Karvex: System Error.  Code: 2.", 0), 0u) << view.dialogs.errors.back();
}

TEST_F(MainModelTest, SavingAProfileLeavesTheHistory) {
  test::FakeMainView view;
  TMainModel model(view, Folders());
  model.Start({});
  model.Job().SetText(&TJobControls::GTit, "saved");
  model.SaveProfileAs(dir / "mine.kxc");
  EXPECT_TRUE(model.ProfileHistory().empty());
  TSettingsDocument back(kProfileRoot);
  back.Open(dir / "mine.kxc");
  std::string title;
  back.ReadString("Settings\\GTit_Text", title);
  EXPECT_EQ(title, "saved");
}

TEST_F(MainModelTest, TextBasedProfile) {
  test::FakeMainView view;
  TMainModel model(view, Folders());
  model.Initialize();
  const struct {
    const char* mask;
    const char* source;
    const char* result;
  } kCases[] = {{"disk{num}.kxd", "notes.txt", "disk{num}.txt"}, {"part{oru}", "data.csv", "part{oru}.csv"},
                {"disk{num}.kxd", "noext", "disk{num}"}};
  for (const auto& c : kCases) {
    model.Job().SetText(&TJobControls::nomp, c.mask);
    model.Job().SetText(&TJobControls::fich, c.source);
    model.TextBasedProfile();
    EXPECT_EQ(model.Job().Controls().nomp, c.result);
    EXPECT_TRUE(model.Job().Controls().cnoheader);
  }
}

TEST_F(MainModelTest, FileListWindowAndNote) {
  test::FakeMainView view;
  TMainModel model(view, Folders());
  model.Initialize();
  TFileList& list = model.FileList();
  list.Clear();  // nothing to ask
  EXPECT_TRUE(view.dialogs.questions.empty());
  list.Add("C:\\Data\\report.doc", "");
  EXPECT_EQ(list.Rows()[0].Destination, AddBackslash("My Split Files") + FileNameWithoutExt("C:\\Data\\report.doc"));
  list.Add(dir / "noext", dir.Path());
  list.Add(dir / "noext", AddBackslash(dir.Path()));
  EXPECT_EQ(list.Rows()[1].Destination, AddBackslash(AddBackslash(dir.Path()) + "My Split Files") + "noext");
  EXPECT_EQ(list.Rows()[2].Destination, list.Rows()[1].Destination);
  // Cancel in the window leaves the main window as it was; OK applies the list.
  EXPECT_FALSE(model.MultipleFiles());
  model.ApplyFileList();
  EXPECT_TRUE(model.MultipleFiles());
  EXPECT_EQ(model.Job().Controls().fich, "C:\\Data\\report.doc");
  // Remove asks about the selected row.
  EXPECT_FALSE(list.RemoveEnabled());
  list.Select(1);
  view.dialogs.answers = {false, true};
  list.RemoveSelected();
  EXPECT_EQ(list.Rows().size(), 3u);
  EXPECT_EQ(view.dialogs.questions.back().Text, "Are you sure you want to remove this file from the list?\r\n" + (dir / "noext"));
  EXPECT_TRUE(view.dialogs.questions.back().NoIsDefault);
  list.RemoveSelected();
  EXPECT_EQ(list.Rows().size(), 2u);
  // The note's "clear": No keeps the mode, Yes ends it at once.
  view.dialogs.answers = {false};
  model.ClearFileListFromNote();
  EXPECT_TRUE(model.MultipleFiles());
  view.dialogs.answers = {true};
  model.ClearFileListFromNote();
  EXPECT_EQ(view.dialogs.questions.back().Text, "Are you sure you want to clear the full list?");
  EXPECT_FALSE(model.MultipleFiles());
  // The folder picker starts at an existing destination only.
  list.Add(dir / "x.bin", "");
  EXPECT_EQ(list.PickerStart(0), "");
  list.SetDestination(0, dir.Path());
  EXPECT_EQ(list.PickerStart(0), dir.Path());
}

TEST_F(MainModelTest, ClearingTheSavedProfiles) {
  test::FakeMainView view;
  TMainModel model(view, Folders());
  model.Initialize();
  model.ProfileHistory() = {"x.kxc"};
  model.ClearSavedProfiles();  // no folder: nothing asked
  EXPECT_TRUE(view.dialogs.questions.empty());
  os::ForceDirectories(ProfilesFolder(dir / "appdata"));
  test::WriteAll(AddBackslash(ProfilesFolder(dir / "appdata")) + "a.kxc", {1});
  view.dialogs.answers = {false};
  model.ClearSavedProfiles();
  ASSERT_EQ(view.dialogs.questions.size(), 1u);
  EXPECT_EQ(view.dialogs.questions[0].Icon, diWarning);
  EXPECT_TRUE(view.dialogs.questions[0].NoIsDefault);
  EXPECT_FALSE(view.dialogs.questions[0].WhenUnattended);
  EXPECT_TRUE(os::DirectoryExists(ProfilesFolder(dir / "appdata")));
  EXPECT_EQ(model.ProfileHistory().size(), 1u);
  view.dialogs.answers = {true};
  model.ClearSavedProfiles();
  EXPECT_FALSE(os::DirectoryExists(ProfilesFolder(dir / "appdata")));
  EXPECT_TRUE(model.ProfileHistory().empty());
}

TEST_F(MainModelTest, LaunchersReportAMissingProgram) {
  test::FakeMainView view;
  TMainModel model(view, Folders());
  RunCommand(view, [&] { model.RunUniteTool(); });
  RunCommand(view, [&] { model.RunBundlor(); });
  ASSERT_EQ(view.dialogs.errors.size(), 2u);
  EXPECT_EQ(view.dialogs.errors[0], "Karvex: Joinex (Karvex Unite tool) was not found in the main folder.\r\nPlease "
                                    "reinstall Karvex on your system.\r\n" +
                                        AddBackslash(dir / "program") + "JOINEX.EXE.");
  EXPECT_EQ(view.dialogs.errors[1], "Karvex: Karvex was not configured to execute Bundlor. Please open the Environment "
                                    "Options to select the Bundlor's location path.");
  view.dialogs.answers = {false};
  EXPECT_FALSE(model.ConfirmExit());
  EXPECT_EQ(view.dialogs.questions.back().Text, "Are you sure you want to exit Karvex?");
}

TEST_F(MainModelTest, SummaryExportAndPlannedPieces) {
  TSummaryLog log;
  log.Add("SPLITTING OPERATION SUMMARY", lsTitle);
  log.Add("Fatal Error", lsError);
  log.Add("caf\xC3\xA9 {x} \\ y");
  EXPECT_EQ(log.Lines()[1].PointSize, 10);  // keeps the size of the line before
  const std::string rtf = SummaryRichText(log);
  EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi", 0), 0u);
  EXPECT_NE(rtf.find("{\\fs20\\b\\cf1 SPLITTING OPERATION SUMMARY}\\par"), std::string::npos);
  EXPECT_NE(rtf.find("{\\fs20\\b\\ul\\cf3 Fatal Error}\\par"), std::string::npos);
  EXPECT_NE(rtf.find("{\\fs16\\cf0 caf\\'e9 \\{x\\} \\\\ y}\\par"), std::string::npos);

  TKarvexThread thread(nullptr);
  thread.Engine.SourceFile = "report.pdf";
  thread.Engine.PieceSize = 300000;
  TPiecePlan plan = PlanPieces(thread, 1000000);
  ASSERT_EQ(plan.Pieces.size(), 4u);
  EXPECT_EQ(plan.Pieces[0].Size, 298741);
  EXPECT_EQ(plan.Pieces[1].Size, 299353);
  EXPECT_EQ(plan.Pieces[3].Size, 1000000 - 298741 - 2 * 299353);
  EXPECT_EQ(plan.Pieces[3].Name, "disk4.kxd");
  thread.CustomSizes = true;
  thread.CustomSizeList = {"100000", "200000", "300000"};
  plan = PlanPieces(thread, 1000000);
  ASSERT_EQ(plan.Pieces.size(), 3u);
  EXPECT_EQ(plan.Pieces[2].Size, 701906);
  thread.CustomSizes = false;
  thread.Engine.PieceSize = 1000;
  plan = PlanPieces(thread, 1000000);
  EXPECT_EQ(plan.TooSmallPiece, 1);
  thread.Engine.Blocked = false;
  EXPECT_TRUE(PlanPieces(thread, 1000000).Pieces.empty());
}

}  // namespace
}  // namespace kvx
