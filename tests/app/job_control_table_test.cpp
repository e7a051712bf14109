// Controls by name: the table profiles and the console share, and values given as text.
#include <gtest/gtest.h>

#include "app/model/job_control_table.h"
#include "common/errors.h"
#include "fake_dialogs.h"

namespace kvx {
namespace {

class JobControlTableTest : public ::testing::Test {
 protected:
  JobControlTableTest() : job(dialogs, options) {}
  void Set(const char* name, const std::string& text) { SetControlFromText(job, *FindJobControl(name), text); }
  std::string Refused(const char* name, const std::string& text) {
    try {
      Set(name, text);
    } catch (const EKarvexError& e) {
      return e.what();
    }
    return "accepted";
  }

  test::FakeDialogs dialogs;
  TEnvironmentOptions options;
  TSplitJob job;
};

TEST_F(JobControlTableTest, EveryControlHasOneEntry) {
  const char* const kNames[] = {"fich", "destdir", "bspan", "bblocs", "cdecide", "tsize", "cselunit", "lvpieces",
                                "nomp", "firstdisk", "resspace", "GTit", "createur", "tdesc", "tuniqid",
                                "cnoheader", "cpriority", "texec", "csfufonc", "cchangenom", "tnomsfu", "ico",
                                "cmerge", "cnoaccount", "memwelc", "sprompt", "eprompt", "tabout", "rep",
                                "tcustfold", "cecd", "cover", "copen", "cwaitforend", "cdelete", "param",
                                "cautof", "cautoexec", "csilent", "header", "tlang"};
  EXPECT_EQ(JobControls().size(), sizeof kNames / sizeof kNames[0]);
  for (const char* name : kNames) {
    const TJobControl* control = FindJobControl(name);
    ASSERT_NE(control, nullptr) << name;
    EXPECT_EQ(control->Name, std::string(name));
  }
  EXPECT_EQ(FindJobControl("GTIT"), FindJobControl("gtit"));
  EXPECT_EQ(FindJobControl("nosuch"), nullptr);
}

TEST_F(JobControlTableTest, ValuesAsText) {
  Set("cdecide", "1");
  Set("tsize", "4");
  EXPECT_EQ(job.Controls().cdecide, smPieceCount);
  EXPECT_EQ(job.Controls().tsize, "4");
  Set("cnoheader", "yes");
  EXPECT_TRUE(job.Controls().cnoheader);
  EXPECT_FALSE(job.Controls().csfufonc);  // the change handling ran
  Set("cnoheader", "0");
  EXPECT_TRUE(job.Controls().csfufonc);
  Set("bspan", "TRUE");
  EXPECT_FALSE(job.Controls().blocked);
  Set("bblocs", "1");
  EXPECT_TRUE(job.Controls().blocked);
  Set("cselunit", "mb");
  EXPECT_EQ(job.Controls().cselunit, suMB);
  Set("cselunit", "-1");
  EXPECT_EQ(job.Controls().cselunit, -1);
  Set("rep", "Custom Folder");
  EXPECT_EQ(job.Controls().rep, dkCustomFolder);
  Set("cpriority", "4");
  EXPECT_EQ(job.Controls().cpriority, tpHighest);
  Set("firstdisk", "-20");
  EXPECT_EQ(job.Controls().firstdisk, 0);
  Set("resspace", "4096");
  EXPECT_EQ(job.Controls().resspace, 4096);
  Set("memwelc", "Hello\\nWorld\n!");
  EXPECT_EQ(job.Controls().memwelc, (std::vector<std::string>{"Hello", "World", "!"}));
  EXPECT_TRUE(job.WelcomeEdited());
  Set("lvpieces", "100,200,-3");
  EXPECT_EQ(job.Controls().lvpieces,
            (std::vector<TCustomPiece>{{"Piece 1", "100"}, {"Piece 2", "200"}, {"Piece 3", "-3"}}));
  Set("lvpieces", "");
  EXPECT_TRUE(job.Controls().lvpieces.empty());
  Set("GTit", "");
  EXPECT_EQ(job.Controls().GTit, "");
}

TEST_F(JobControlTableTest, ValuesThatAreRefused) {
  const struct {
    const char* name;
    const char* text;
  } kCases[] = {{"cnoheader", "maybe"}, {"cdecide", "3"},      {"cdecide", "-1"}, {"rep", "-1"},
                {"rep", "Elsewhere"},   {"cselunit", "TB"},    {"cpriority", "5"}, {"firstdisk", "1k"},
                {"lvpieces", "1,,2"},   {"lvpieces", "1,x"}};
  for (const auto& c : kCases)
    EXPECT_EQ(Refused(c.name, c.text), std::string("Invalid value for ") + FindJobControl(c.name)->Name + ": " + c.text)
        << c.name << "=" << c.text;
  EXPECT_EQ(job.Controls().cdecide, smFixedSize);
  EXPECT_EQ(job.Controls().rep, dkCurrentFolder);
}

}  // namespace
}  // namespace kvx
