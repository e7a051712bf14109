// Profiles: the exact document a job is stored as, restoring it, and what a profile keeps.
#include <gtest/gtest.h>

#include <string>

#include "app/model/job_control_table.h"
#include "app/model/profile.h"
#include "app/model/text_file.h"
#include "common/paths.h"
#include "embedded/profile_fixture.h"
#include "fake_dialogs.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

std::string Fixture() {
  return std::string(reinterpret_cast<const char*>(embedded::profile_fixture), embedded::profile_fixture_size);
}

// Every control of two jobs, by name, where they differ.
std::string Differences(const TSplitJob& a, const TSplitJob& b) {
  std::string out;
  const TJobControls& x = a.Controls();
  const TJobControls& y = b.Controls();
  for (const TJobControl& control : JobControls()) {
    bool same = true;
    switch (control.Kind) {
      case ckText: same = x.*control.Text == y.*control.Text; break;
      case ckFlag: same = x.*control.Flag == y.*control.Flag; break;
      case ckIndex: same = x.*control.Index == y.*control.Index; break;
      case ckNumber: same = x.*control.Number == y.*control.Number; break;
      case ckLines: same = x.memwelc == y.memwelc; break;
      case ckPieceList: same = x.lvpieces == y.lvpieces; break;
    }
    if (!same) out += std::string(control.Name) + " ";
  }
  return out;
}

class ProfileTest : public ::testing::Test {
 protected:
  ProfileTest() : job(dialogs, options), other(dialogs, options) {}

  // The job the fixture was written for, by hand, from the profile's key table.
  void FillFixtureJob(TSplitJob& j) {
    j.SetCustomPieces({{"Piece 1", "30000"}, {"Piece 2", "45000"}});
    j.SetText(&TJobControls::fich, "C:\\data\\report.pdf");
    j.SetText(&TJobControls::destdir, "D:\\out\\{ofw}");
    j.SetIndex(&TJobControls::cdecide, smListedSizes);
    j.SetText(&TJobControls::nomp, "part{num}.bin");
    j.SetNumber(&TJobControls::firstdisk, 1000);
    j.SetText(&TJobControls::GTit, "Holiday & <photos>");
    j.SetText(&TJobControls::createur, "Ann");
    j.SetText(&TJobControls::tuniqid, "{0123ABCD-4567-89EF-0123-456789ABCDEF}");
    j.SetWelcomeText(kDefaultWelcomeText);
    j.SetText(&TJobControls::tlang, "SFULang\\English.kxl");
    j.SetText(&TJobControls::texec, "notify {profile}");
  }

  test::TempDir dir;
  test::FakeDialogs dialogs;
  TEnvironmentOptions options;
  TSplitJob job;
  TSplitJob other;
};

TEST_F(ProfileTest, AStoredJobIsTheDocumentOfTheKeyTable) {
  FillFixtureJob(job);
  TSettingsDocument document(kProfileRoot);
  StoreJob(job, document);
  EXPECT_EQ(document.Text(), Fixture());
}

TEST_F(ProfileTest, RestoringGivesBackTheSameJob) {
  FillFixtureJob(job);
  TSettingsDocument document(kProfileRoot);
  document.Parse(Fixture(), "fixture");
  ASSERT_TRUE(RestoreJob(document, other));
  EXPECT_EQ(Differences(job, other), "");
  EXPECT_EQ(other.Controls().firstdisk, 1000);
  EXPECT_FALSE(other.WelcomeEdited());
  TSettingsDocument again(kProfileRoot);
  StoreJob(other, again);
  EXPECT_EQ(again.Text(), Fixture());
}

TEST_F(ProfileTest, CustomPieceRows) {
  job.SetCustomPieces({{"Piece 1", "100"}, {"Piece 2", "200"}, {"Piece 3", "300"}});
  TSettingsDocument document(kProfileRoot);
  StoreJob(job, document);
  RestoreJob(document, other);
  EXPECT_EQ(other.Controls().lvpieces, job.Controls().lvpieces);

  // Missing keys of a row take their defaults.
  document.Remove("Settings\\CustomSize1T");
  document.Remove("Settings\\CustomSize2S");
  RestoreJob(document, other);
  EXPECT_EQ(other.Controls().lvpieces,
            (std::vector<TCustomPiece>{{"Piece 1", "100"}, {"Piece 2", "30000"}, {"Piece 3", "300"}}));
  // A profile without a count empties the list; a damaged count is bounded.
  document.Remove("Settings\\CustomSizesCount");
  RestoreJob(document, other);
  EXPECT_TRUE(other.Controls().lvpieces.empty());
  document.WriteString("Settings\\CustomSizesCount", "2000000000");
  RestoreJob(document, other);
  EXPECT_EQ(other.Controls().lvpieces.size(), 65536u);
}

TEST_F(ProfileTest, MissingAndUnconvertibleKeysLeaveTheControls) {
  TSettingsDocument document(kProfileRoot);
  document.WriteString("Settings\\nomp_Text", "x{num}");
  document.WriteString("Settings\\cnoheader_Checked", "perhaps");
  document.WriteString("Settings\\cdecide_ItemIndex", "7");
  document.WriteString("Settings\\rep_ItemIndex", "-1");
  document.WriteString("Settings\\firstdisk_Value", "1000");
  document.WriteString("Settings\\cpriority_ItemIndex", "-1");
  ASSERT_TRUE(RestoreJob(document, job));
  EXPECT_EQ(job.Controls().nomp, "x{num}");
  EXPECT_FALSE(job.Controls().cnoheader);
  EXPECT_EQ(job.Controls().cdecide, smFixedSize);
  EXPECT_EQ(job.Controls().rep, dkCurrentFolder);
  EXPECT_EQ(job.Controls().firstdisk, 0);
  EXPECT_EQ(job.Controls().cpriority, -1);  // no selection is a valid state of the list
  EXPECT_EQ(job.Controls().tsize, "100000");

  document.WriteInteger("Settings\\FormVersion", -1);
  document.WriteString("Settings\\nomp_Text", "ignored{num}");
  EXPECT_FALSE(RestoreJob(document, job));
  EXPECT_EQ(job.Controls().nomp, "x{num}");
}

TEST_F(ProfileTest, StoringKeepsWhatItDoesNotWrite) {
  TSettingsDocument document(kProfileRoot);
  document.Parse(
      "<KarvexProfile><Settings><Unknown>u</Unknown><CustomSizesCount>3</CustomSizesCount>"
      "<CustomSize2S>Piece 3</CustomSize2S></Settings><log><piece><path>p</path><size>1</size></piece></log>"
      "</KarvexProfile>",
      "test");
  StoreJob(job, document);
  std::string value;
  EXPECT_TRUE(document.ReadString("Settings\\Unknown", value));
  EXPECT_TRUE(document.ReadString("Settings\\CustomSize2S", value));
  EXPECT_TRUE(document.ReadString("log\\piece\\path", value));
  EXPECT_EQ(document.Root().Children.back().Name, "log");
  document.ReadString("Settings\\CustomSizesCount", value);
  EXPECT_EQ(value, "0");
}

TEST_F(ProfileTest, TheLanguageFileIsRestoredAfterTheWelcomeText) {
  test::WriteAll(dir / "French.kxl", {'#'});
  test::WriteAll(dir / "FrenchDefWelcome.txt", {'B', 'o', 'n', 'j', 'o', 'u', 'r'});
  TSettingsDocument document(kProfileRoot);
  document.WriteLines("Settings\\memwelc_Lines", {"from the profile"});
  document.WriteString("Settings\\tlang_Text", dir / "French.kxl");
  // Another language file before: the companion's text wins.
  other.SetText(&TJobControls::tlang, dir / "Other.kxl");
  RestoreJob(document, other);
  EXPECT_EQ(other.Controls().memwelc, std::vector<std::string>{"Bonjour"});
  // The same language file: the profile's text stays.
  other.EditWelcomeText({"typed"});
  RestoreJob(document, other);
  EXPECT_EQ(other.Controls().memwelc, std::vector<std::string>{"from the profile"});
}

TEST_F(ProfileTest, AutomaticProfilePath) {
  const std::string source = AddBackslash(dir.Path()) + "report.pdf";
  EXPECT_EQ(AutomaticProfilePath(dir.Path(), source),
            AddBackslash(AddBackslash(AddBackslash(dir.Path()) + "Karvex") + "Profiles") + "report.pdf.kxc");
  EXPECT_EQ(ProfilesFolder(AddBackslash(dir.Path())), AddBackslash(AddBackslash(dir.Path()) + "Karvex") + "Profiles");
}

}  // namespace
}  // namespace kvx
