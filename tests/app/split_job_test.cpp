// The split job's rules as the main window applies them: sizes, estimates, proposals, the unit
// guard, the custom piece list, dependent controls, navigation and the welcome text.
#include <gtest/gtest.h>

#include <regex>

#include "app/model/job_pages.h"
#include "app/model/split_job.h"
#include "common/file.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "fake_dialogs.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

class SplitJobTest : public ::testing::Test {
 protected:
  SplitJobTest() : job(dialogs, options) {}

  // A file of size bytes (sparse, so large sizes cost nothing), chosen as the source.
  std::string Source(int64_t size, const std::string& name = "report.pdf") {
    const std::string path = dir / name;
    TFile file(path, cmCreateAlways, amWrite, smExclusive);
    file.Seek(0, size);
    file.Truncate();
    return path;
  }
  void Choose(int64_t size) { job.SetText(&TJobControls::fich, Source(size)); }

  test::TempDir dir;
  test::FakeDialogs dialogs;
  TEnvironmentOptions options;
  TSplitJob job;
};

TEST_F(SplitJobTest, InitialState) {
  job.Initialize(AddBackslash(dir.Path()));
  const TJobControls& c = job.Controls();
  EXPECT_EQ(c.tsize, "100000");
  EXPECT_EQ(c.cselunit, suBytes);
  EXPECT_EQ(c.cdecide, smFixedSize);
  EXPECT_EQ(c.cpriority, tpNormal);
  EXPECT_EQ(c.nomp, "disk{num}.kxd");
  EXPECT_TRUE(c.blocked);
  EXPECT_TRUE(c.csfufonc);
  EXPECT_TRUE(c.cover);
  EXPECT_EQ(c.rep, dkCurrentFolder);
  EXPECT_EQ(c.destdir, AddBackslash(dir.Path()));
  EXPECT_TRUE(std::regex_match(c.tuniqid, std::regex(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})")))
      << c.tuniqid;
  EXPECT_EQ(job.Page, jpOriginalFile);
  EXPECT_EQ(job.EstimateText(), "No source file specified: please first select the original file to be split.");
  EXPECT_FALSE(job.SourceInformation().Exists);
  EXPECT_TRUE(job.DiskInformation().Valid);
  EXPECT_EQ(job.DiskInformation().FreeSpace.rfind("Free Space: ", 0), 0u);
  EXPECT_STREQ(job.SizeLabel(), "Size:");
  EXPECT_TRUE(job.UnitVisible());
  EXPECT_FALSE(job.PieceListVisible());
}

TEST_F(SplitJobTest, FixedSizeEstimates) {
  Choose(1000000);
  const struct {
    const char* size;
    int unit;
    uint64_t bytes;
    const char* estimate;
  } kCases[] = {
      {"300000", suBytes, 300000, "About 4 piece file(s) will be created."},
      {"250000", suBytes, 250000, "About 4 piece file(s) will be created."},
      {"249999", suBytes, 249999, "About 5 piece file(s) will be created."},
      {"1.5", suMB, 1572864, "About 1 piece file(s) will be created."},
      {"0", suMB, 0, "About 1 piece file(s) will be created."},  // keeps the previous text
      {"", suBytes, 0, "About 1 piece file(s) will be created."},
  };
  for (const auto& c : kCases) {
    job.SelectUnit(c.unit);
    job.SetText(&TJobControls::tsize, c.size);
    EXPECT_EQ(job.FixedPieceSize(), c.bytes) << c.size;
    EXPECT_EQ(job.EstimateText(), c.estimate) << c.size;
    EXPECT_EQ(job.ComputedPieceSize, 0u);
  }
  EXPECT_EQ(job.Controls().tsize, "0");  // an empty size reads "0"
}

TEST_F(SplitJobTest, NumberOfPiecesEstimates) {
  Choose(1000000);
  job.SetIndex(&TJobControls::cdecide, smPieceCount);
  EXPECT_EQ(job.Controls().tsize, "5");  // proposed
  EXPECT_STREQ(job.SizeLabel(), "Number of pieces:");
  job.SetText(&TJobControls::tsize, "4");
  EXPECT_EQ(job.EstimateText(), "Average size of piece files: 271259 byte(s)");
  EXPECT_EQ(job.ComputedPieceSize, 271259u);
  job.SetFlag(&TJobControls::cnoheader, true);  // switches the SFU program off too
  EXPECT_FALSE(job.Controls().csfufonc);
  EXPECT_EQ(job.EstimateText(), "Average size of piece files: 250000 byte(s)");
  EXPECT_EQ(job.ComputedPieceSize, 250000u);
  // No number of pieces: nothing is estimated, and the launch will refuse the job.
  job.SetText(&TJobControls::tsize, "many");
  EXPECT_EQ(job.ComputedPieceSize, 0u);
  EXPECT_EQ(job.EstimateText(), "Average size of piece files: 250000 byte(s)");
}

TEST_F(SplitJobTest, ProposalsForANewSource) {
  const struct {
    int64_t size;
    const char* tsize;
    int unit;
    bool noAccount;
  } kCases[] = {{10000000, "2", suMB, false}, {4000, "800", suBytes, true}, {5000000, "1000", suKB, false},
                {99999, "19", suKB, true},   {0, "0", suBytes, true}};
  for (const auto& c : kCases) {
    test::FakeDialogs d;
    TSplitJob fresh(d, options);
    fresh.SetText(&TJobControls::fich, Source(c.size, "p" + std::to_string(c.size)));
    EXPECT_EQ(fresh.Controls().tsize, c.tsize) << c.size;
    EXPECT_EQ(fresh.Controls().cselunit, c.unit) << c.size;
    EXPECT_EQ(fresh.Controls().cnoaccount, c.noAccount) << c.size;
  }
  // Spanned pieces never need the option; with proposals off nothing is proposed.
  job.SetFlag(&TJobControls::blocked, false);
  Choose(4000);
  EXPECT_FALSE(job.Controls().cnoaccount);
  job.ProposalsEnabled = false;
  job.SetText(&TJobControls::tsize, "123");
  job.SetText(&TJobControls::fich, Source(10000000, "big"));
  EXPECT_EQ(job.Controls().tsize, "123");
}

TEST_F(SplitJobTest, RoundedSizesListTheOtherUnits) {
  Choose(1000000);
  job.SelectUnit(suKB);
  job.SetText(&TJobControls::tsize, "1.5");
  EXPECT_EQ(job.RoundedSizes(), "Rounded Sizes:<hr><br>1536 byte(s).<br>0.00 Mb.<br>0.00 Gb.<br>");
  job.SelectUnit(suBytes);
  job.SetText(&TJobControls::tsize, "1048576");
  EXPECT_EQ(job.RoundedSizes(), "Rounded Sizes:<hr><br>1024.00 kb.<br>1.00 Mb.<br>0.00 Gb.<br>");
}

TEST_F(SplitJobTest, UnitGuard) {
  Choose(1000000);
  const struct {
    const char* size;
    int unit;
    bool asked;
    bool answer;
    int result;
  } kCases[] = {{"5000", suGB, true, false, suMB},       {"5000", suGB, true, true, suGB},
                {"3000", suGB, false, false, suGB},      {"3000000", suMB, false, false, suMB},
                {"3000001", suMB, true, false, suMB},    {"5000", suKB, false, false, suKB}};
  for (const auto& c : kCases) {
    job.SelectUnit(suBytes);
    job.SetText(&TJobControls::tsize, c.size);
    dialogs.questions.clear();
    dialogs.answers = {c.answer};
    job.SetIndex(&TJobControls::cselunit, c.unit);
    ASSERT_EQ(dialogs.questions.size(), c.asked ? 1u : 0u) << c.size;
    if (c.asked) {
      EXPECT_EQ(dialogs.questions[0].Text, std::string("Warning: do you really want to switch the piece size to ") + c.size + " GB?");
      EXPECT_EQ(dialogs.questions[0].Caption, "Warning");
      EXPECT_EQ(dialogs.questions[0].Icon, diWarning);
      EXPECT_TRUE(dialogs.questions[0].WhenUnattended);
    }
    EXPECT_EQ(job.Controls().cselunit, c.result) << c.size;
  }
}

TEST_F(SplitJobTest, CustomPieceList) {
  Choose(100000);
  job.SetIndex(&TJobControls::cdecide, smListedSizes);
  EXPECT_TRUE(job.PieceListVisible());
  EXPECT_FALSE(job.UnitVisible());
  dialogs.texts = {"30000", "30000"};
  job.Addpiecewithspecifiedsize1Click();
  EXPECT_EQ(dialogs.textRequests.at(0).Caption, "New Piece");
  EXPECT_EQ(dialogs.textRequests.at(0).Prompt, "Please enter the size of this piece (in bytes):");
  EXPECT_EQ(dialogs.textRequests.at(0).Proposal, "20000");
  job.Addpiecewithspecifiedsize1Click();
  EXPECT_EQ(job.RemainingText(), "Remaining Byte(s): 40000 ; 39.1  kb");
  EXPECT_TRUE(job.AddPieceEnabled());
  // The proposal is the remainder once that is below a fifth of the file.
  dialogs.texts = {"50000", "0", "-5", "abc"};
  for (int i = 0; i < 4; ++i) job.Addpiecewithspecifiedsize1Click();
  EXPECT_EQ(dialogs.errors, (std::vector<std::string>{
                                "Karvex: 50000 is higher than the amount of remaining bytes: 40000. Cannot add this piece.",
                                "Karvex: 0 is an invalid size for a piece file.",
                                "Karvex: -5 is an invalid size for a piece file.",
                                "Karvex: 0 is an invalid size for a piece file."}));
  job.Addpiecewithspecifiedsize1Click();  // cancelled
  EXPECT_EQ(job.Controls().lvpieces.size(), 2u);
  job.Remainingamount1Click();
  EXPECT_EQ(job.Controls().lvpieces.back(), (TCustomPiece{"Piece 3", "40000"}));
  EXPECT_FALSE(job.AddPieceEnabled());
  job.Remainingamount1Click();  // nothing remains
  EXPECT_EQ(job.Controls().lvpieces.size(), 3u);

  EXPECT_FALSE(job.DeletePieceEnabled());
  job.lvpiecesSelectItem(1);
  EXPECT_TRUE(job.DeletePieceEnabled());
  dialogs.answers = {false};
  job.bdelpieClick();
  EXPECT_EQ(dialogs.questions.back().Text, "Are you sure you want to remove \"Piece 2\"?");
  EXPECT_EQ(dialogs.questions.back().Caption, "Confirmation");
  EXPECT_FALSE(dialogs.questions.back().WhenUnattended);
  EXPECT_EQ(job.Controls().lvpieces.size(), 3u);
  dialogs.answers = {true};
  job.bdelpieClick();
  ASSERT_EQ(job.Controls().lvpieces.size(), 2u);
  EXPECT_EQ(job.Controls().lvpieces[0].Caption, "Piece 1");
  EXPECT_EQ(job.Controls().lvpieces[1].Caption, "Piece 3");  // not renumbered
  EXPECT_FALSE(job.DeletePieceEnabled());
  EXPECT_EQ(job.RemainingText(), "Remaining Byte(s): 30000 ; 29.3  kb");
}

TEST_F(SplitJobTest, CustomPieceListWithoutSource) {
  job.SetIndex(&TJobControls::cdecide, smListedSizes);
  job.UpdatePieceList();
  EXPECT_EQ(job.RemainingText(), "Please select an original file to be split.");
  job.Addpiecewithspecifiedsize1Click();
  job.Remainingamount1Click();
  EXPECT_TRUE(dialogs.textRequests.empty());
  EXPECT_TRUE(job.Controls().lvpieces.empty());
}

TEST_F(SplitJobTest, DependentControls) {
  // Headers off takes the SFU option away and gives back the state it had.
  for (bool sfu : {true, false}) {
    job.SetFlag(&TJobControls::csfufonc, sfu);
    job.SetFlag(&TJobControls::cnoheader, true);
    EXPECT_FALSE(job.Controls().csfufonc);
    EXPECT_FALSE(job.csfufoncEnabled());
    job.SetFlag(&TJobControls::cnoheader, false);
    EXPECT_EQ(job.Controls().csfufonc, sfu);
    EXPECT_TRUE(job.csfufoncEnabled());
  }
  // Not accounting for the SFU program needs blocked pieces and no merge.
  job.SetFlag(&TJobControls::cnoaccount, true);
  job.SetFlag(&TJobControls::cmerge, true);
  EXPECT_FALSE(job.cnoaccountEnabled());
  EXPECT_FALSE(job.Controls().cnoaccount);
  job.SetFlag(&TJobControls::cmerge, false);
  job.SetFlag(&TJobControls::cnoaccount, true);
  job.SetFlag(&TJobControls::blocked, false);
  EXPECT_FALSE(job.Controls().cnoaccount);
  // Opening, waiting and deleting come in a chain.
  job.SetFlag(&TJobControls::copen, true);
  job.SetFlag(&TJobControls::cwaitforend, true);
  job.SetFlag(&TJobControls::cdelete, true);
  EXPECT_TRUE(job.cdeleteEnabled());
  job.SetFlag(&TJobControls::copen, false);
  EXPECT_FALSE(job.Controls().cwaitforend);
  EXPECT_FALSE(job.Controls().cdelete);
  EXPECT_FALSE(job.cwaitforendEnabled());
  EXPECT_FALSE(job.tnomsfuEnabled());
  job.SetFlag(&TJobControls::cchangenom, true);
  EXPECT_TRUE(job.tnomsfuEnabled());
  EXPECT_FALSE(job.tcustfoldEnabled());
  job.SetIndex(&TJobControls::rep, dkCustomFolder);
  EXPECT_TRUE(job.tcustfoldEnabled());
  // Reserved space is never negative.
  job.SetNumber(&TJobControls::firstdisk, -5);
  EXPECT_EQ(job.Controls().firstdisk, 0);
}

TEST_F(SplitJobTest, SourceAndDestinationInformation) {
  const std::string path = Source(1000000);
  job.SetText(&TJobControls::fich, path);
  EXPECT_TRUE(job.SourceInformation().Exists);
  EXPECT_EQ(job.SourceInformation().FileName, "report.pdf");
  EXPECT_EQ(job.SourceInformation().SizeLine, "Size: 1000000 byte(s), 976.6  kb.");
  EXPECT_EQ(job.destdirItems, std::vector<std::string>{dir.Path()});
  options.cautoaddfolder = false;
  job.SetText(&TJobControls::fich, Source(10, "other"));
  EXPECT_EQ(job.destdirItems.size(), 1u);
  job.SetText(&TJobControls::fich, dir / "missing");
  EXPECT_FALSE(job.SourceInformation().Exists);
  // An existing folder on a fixed disk selects blocked pieces; another text leaves all as it was.
  job.SetFlag(&TJobControls::blocked, false);
  job.SetText(&TJobControls::destdir, dir.Path());
  EXPECT_TRUE(job.Controls().blocked);
  EXPECT_TRUE(job.DiskInformation().Valid);
  EXPECT_EQ(job.FolderPropertiesTarget(), AddBackslash(ExtractFileDir(dir.Path())));
  job.SetFlag(&TJobControls::blocked, false);
  job.SetText(&TJobControls::destdir, dir / "not-yet");
  EXPECT_FALSE(job.Controls().blocked);
  job.ProposalsEnabled = false;
  job.SetText(&TJobControls::destdir, dir.Path());
  EXPECT_FALSE(job.Controls().blocked);
}

TEST_F(SplitJobTest, NameVariablesUniqueIdsAndDrops) {
  job.htmvarAnchorClick("ofw");
  EXPECT_EQ(job.Controls().nomp, "disk{num}.kxd{ofw}");
  job.bgenuniqIDClick();
  const std::string first = job.Controls().tuniqid;
  job.bgenuniqIDClick();
  EXPECT_NE(job.Controls().tuniqid, first);
  job.Page = jpSummary;
  job.DropFiles({dir / "missing"});
  EXPECT_EQ(job.Page, jpSummary);
  job.DropFiles({Source(5), dir / "second"});
  EXPECT_EQ(job.Controls().fich, dir / "report.pdf");
  EXPECT_EQ(job.Page, jpOriginalFile);
  job.TakePredefinedSize("512");
  EXPECT_EQ(job.Controls().cselunit, suBytes);
  EXPECT_EQ(job.Controls().tsize, "512");
}

TEST_F(SplitJobTest, WelcomeTextFollowsTheLanguageFileUntilEdited) {
  EXPECT_EQ(CompanionWelcomeFile("D:\\Lang\\French.KXL"), "D:\\Lang\\FrenchDefWelcome.txt");
  EXPECT_EQ(CompanionWelcomeFile("SFULang\\English.kxl"), "SFULang\\EnglishDefWelcome.txt");
  test::WriteAll(dir / "French.kxl", {'#'});
  test::WriteAll(dir / "FrenchDefWelcome.txt", {'B', 'o', 'n', 'j', 'o', 'u', 'r', '\r', '\n', 0xE9, '\r', '\n'});
  test::WriteAll(dir / "Plain.kxl", {'#'});
  job.SetWelcomeText(kDefaultWelcomeText);
  job.SetText(&TJobControls::tlang, dir / "Plain.kxl");  // no companion
  EXPECT_EQ(job.Controls().memwelc, kDefaultWelcomeText);
  job.SetText(&TJobControls::tlang, dir / "French.kxl");
  EXPECT_EQ(job.Controls().memwelc, (std::vector<std::string>{"Bonjour", "\xC3\xA9"}));
  EXPECT_FALSE(job.WelcomeEdited());
  job.EditWelcomeText({"mine"});
  job.SetText(&TJobControls::tlang, dir / "Plain.kxl");
  job.SetText(&TJobControls::tlang, dir / "French.kxl");
  EXPECT_EQ(job.Controls().memwelc, std::vector<std::string>{"mine"});
}

TEST(JobPages, NavigationCycleAndHelpTopics) {
  const int kNext[kPageCount] = {1, 5, 3, 4, 6, 2, 7, 9, 8, 0};
  for (int page = 0; page < kPageCount; ++page) {
    EXPECT_EQ(NextPage(page), kNext[page]) << page;
    EXPECT_EQ(PreviousPage(NextPage(page)), page) << page;
  }
  EXPECT_EQ(NextPage(4), 6);
  EXPECT_EQ(PreviousPage(0), 9);
  EXPECT_EQ(PreviousPage(8), 8);
  const int kTopics[kPageCount] = {1004, 1004, 1001, 1011, 1009, 1004, 1008, 1008, 1005, 1008};
  for (int page = 0; page < kPageCount; ++page) EXPECT_EQ(PageHelpTopic(page), kTopics[page]);
}

TEST_F(SplitJobTest, SfuCategoriesStepByOne) {
  EXPECT_FALSE(job.PreviousCategoryEnabled());
  for (int i = 0; i < 7; ++i) job.bnextsfuClick();
  EXPECT_EQ(job.SfuCategory, 5);
  EXPECT_FALSE(job.NextCategoryEnabled());
  job.bprevsfuClick();
  EXPECT_EQ(job.SfuCategory, 4);
  job.categChange(9);
  EXPECT_EQ(job.SfuCategory, 4);
}

}  // namespace
}  // namespace kvx
