// Batch text files: the reader's tolerance and applying a file to the main window.
#include <gtest/gtest.h>

#include "app/model/batch_reader.h"
#include "app/model/main_model.h"
#include "app/model/profile.h"
#include "common/errors.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "fake_main_view.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

TEST(BatchReader, ToleranceRules) {
  TBatchReader batch;
  batch.Load(
      "Source=before any section\r\n"
      "  [ main ]  \r\n"
      "; a comment\r\n"
      "\r\n"
      "   Title   =  My  set  \r\n"
      "Empty=\r\n"
      "Hex=0x1F\r\n"
      "HEXUPPER=0XfF\r\n"
      "Negative=-3\r\n"
      "NotNumber=12abc\r\n"
      "Title=second occurrence\r\n"
      "garbage line without equals\r\n"
      "\x01\x02=\xE9t\xE9\n"
      "[FileList]\n"
      "1=C:\\Data\\report.doc\r"
      "2 = C:\\Data\\two.doc\n"
      "10=C:\\ten\n"
      "no equals\n"
      "1=repeated\n"
      "[main]\n"
      "Late=yes\n");
  EXPECT_EQ(batch.Text("MAIN", "title"), std::optional<std::string>("My  set"));
  EXPECT_EQ(batch.Text("Main", "Empty"), std::optional<std::string>(""));
  EXPECT_EQ(batch.Text("Main", "Missing"), std::nullopt);
  EXPECT_EQ(batch.Text("Main", "Source"), std::nullopt);
  EXPECT_EQ(batch.Text("Main", "Late"), std::optional<std::string>("yes"));
  EXPECT_EQ(batch.Text("Other", "Title"), std::nullopt);
  EXPECT_EQ(batch.Number("Main", "Hex"), std::optional<int64_t>(31));
  EXPECT_EQ(batch.Number("Main", "HexUpper"), std::optional<int64_t>(255));
  EXPECT_EQ(batch.Number("Main", "Negative"), std::optional<int64_t>(-3));
  EXPECT_EQ(batch.Number("Main", "NotNumber"), std::nullopt);
  EXPECT_EQ(batch.Number("Main", "Empty"), std::nullopt);
  EXPECT_EQ(batch.Lines("FileList"), (std::vector<std::string>{"1=C:\\Data\\report.doc", "2=C:\\Data\\two.doc",
                                                                "10=C:\\ten", "no equals", "1=repeated"}));
  EXPECT_TRUE(batch.Lines("Nothing").empty());
}

class BatchFileTest : public ::testing::Test {
 protected:
  BatchFileTest() : model(view, {dir / "appdata", dir / "program", AddBackslash(dir / "docs")}) {
    os::ForceDirectories(dir / "docs");
    model.Initialize();
  }
  std::string Batch(const std::string& name, const std::string& text) {
    test::WriteAll(dir / name, Bytes(text));
    return dir / name;
  }
  const TJobControls& c() { return model.Job().Controls(); }

  test::TempDir dir;
  test::FakeMainView view;
  TMainModel model;
};

TEST_F(BatchFileTest, ASingleFile) {
  test::WriteAll(dir / "report.doc", std::vector<uint8_t>(1000, 1));
  model.ApplyBatchFile(Batch("b.txt", "[Main]\r\nSource=" + (dir / "report.doc") +
                                          "\r\nDestFolder=" + (dir / "out") +
                                          "\r\nPieSize=0x200\r\nPieSizeUnit=kb\r\nTitle=T\r\nPieMask=p{num}\r\n"
                                          "Author=A\r\nNoPieHeader=7\r\nDescription=\r\n"),
                       false);
  EXPECT_EQ(c().fich, dir / "report.doc");
  EXPECT_EQ(c().destdir, dir / "out");
  EXPECT_EQ(c().tsize, "0x200");  // sizes are text, put in as they stand
  EXPECT_EQ(c().cselunit, suKB);
  EXPECT_EQ(c().GTit, "T");
  EXPECT_EQ(c().nomp, "p{num}");
  EXPECT_EQ(c().createur, "A");
  EXPECT_TRUE(c().cnoheader);
  EXPECT_EQ(c().tdesc, "");
  EXPECT_FALSE(model.MultipleFiles());
  EXPECT_EQ(model.CurrentThread(), nullptr);
}

TEST_F(BatchFileTest, MissingKeysTakeTheirDefaults) {
  model.Job().SetText(&TJobControls::fich, "something");
  model.Job().SetText(&TJobControls::GTit, "kept");
  model.Job().SetFlag(&TJobControls::cnoheader, true);
  const std::string before = c().tuniqid;
  model.ApplyBatchFile(Batch("b.txt", "[Main]\r\nNoPieHeader=maybe\r\nPieSizeUnit=parsecs\r\n"), false);
  EXPECT_EQ(c().fich, "");  // a missing source empties the field
  EXPECT_EQ(c().destdir, dir / "docs");  // the documents folder without its separator
  EXPECT_EQ(c().GTit, "kept");
  EXPECT_TRUE(c().cnoheader);  // not a number: missing
  EXPECT_EQ(c().cselunit, -1);  // not a unit: none selected
  EXPECT_NE(c().tuniqid, before);
  EXPECT_TRUE(c().blocked);
}

TEST_F(BatchFileTest, PieceTypeAndMethod) {
  model.Job().SetText(&TJobControls::tsize, "777");
  model.ApplyBatchFile(Batch("spanned.txt", "[Main]\nTypePieSpanned=1\nPieSize=5\nPieSizeUnit=GB\nSplitMethod=1\n"), false);
  EXPECT_FALSE(c().blocked);
  EXPECT_EQ(c().tsize, "777");
  EXPECT_EQ(c().cdecide, smFixedSize);
  model.ApplyBatchFile(Batch("count.txt", "[Main]\nSplitMethod=0x1\n"), false);
  EXPECT_TRUE(c().blocked);
  EXPECT_EQ(c().cdecide, smPieceCount);
  EXPECT_EQ(c().tsize, "5");
  // Any other method leaves the chosen one.
  model.ApplyBatchFile(Batch("other.txt", "[Main]\nSplitMethod=2\nPieSize=9\n"), false);
  EXPECT_EQ(c().cdecide, smPieceCount);
  EXPECT_EQ(c().tsize, "9");
}

TEST_F(BatchFileTest, FileListsAddUp) {
  const std::string first = Batch("one.txt", "[Main]\nMulFiles=1\nDestFolder=" + (dir / "D") +
                                                 "\n[FileList]\n1=" + (dir / "report.doc") + "\n2 = " +
                                                 (dir / "photo.jpeg") + "\n");
  const std::string second = Batch("two.txt", "[Main]\nMulFiles=1\nDestFolder=\n[FileList]\n1=" + (dir / "x.y") +
                                                  "\n10=" + (dir / "ten") + "\nnoequals\n");
  model.ApplyBatchFile(first, false);
  model.ApplyBatchFile(second, false);
  const std::vector<TFileListRow>& rows = model.FileList().Rows();
  ASSERT_EQ(rows.size(), 5u);
  const std::string mine = AddBackslash(AddBackslash(dir / "D") + "My Split Files");
  EXPECT_EQ(rows[0].Path, dir / "report.doc");
  EXPECT_EQ(rows[0].Destination, mine + "report");
  EXPECT_EQ(rows[1].Destination, mine + "photog");
  EXPECT_EQ(rows[2].Destination, AddBackslash("My Split Files") + "x");  // an empty destination
  EXPECT_EQ(rows[3].Path, "=" + (dir / "ten"));  // the key's second character stays
  EXPECT_EQ(rows[4].Path, "equals");
  EXPECT_TRUE(model.MultipleFiles());
  EXPECT_EQ(c().fich, rows[0].Path);
  EXPECT_EQ(c().destdir, rows[0].Destination);
}

TEST_F(BatchFileTest, AnEmptyFileListLeavesMultipleFilesOff) {
  model.ApplyBatchFile(Batch("empty.txt", "[Main]\nMulFiles=1\n[FileList]\n"), false);
  EXPECT_FALSE(model.MultipleFiles());
  model.ApplyBatchFile(Batch("missing.txt", "[Main]\nMulFiles=1\n"), false);
  EXPECT_FALSE(model.MultipleFiles());
}

TEST_F(BatchFileTest, TheConfigFileIsLoadedFirst) {
  TSettingsDocument profile(kProfileRoot);
  profile.WriteString("Settings\\GTit_Text", "from profile");
  profile.WriteString("Settings\\createur_Text", "profile author");
  profile.Save(dir / "p.kxc");
  model.ApplyBatchFile(Batch("b.txt", "[Main]\nConfigFile=" + (dir / "p.kxc") + "\nAuthor=batch author\n"), false);
  EXPECT_EQ(c().GTit, "from profile");
  EXPECT_EQ(c().createur, "batch author");
  // A config file that does not exist is ignored.
  model.ApplyBatchFile(Batch("c.txt", "[Main]\nConfigFile=" + (dir / "none.kxc") + "\n"), false);
  EXPECT_EQ(c().GTit, "from profile");
}

TEST_F(BatchFileTest, AFileThatCannotBeReadChangesNothing) {
  model.Job().SetText(&TJobControls::GTit, "kept");
  const std::string id = c().tuniqid;
  try {
    model.ApplyBatchFile(dir / "missing.txt", true);
    ADD_FAILURE();
  } catch (const EOSError& e) {
    EXPECT_EQ(e.Code(), kErrorFileNotFound);
  }
  EXPECT_EQ(c().GTit, "kept");
  EXPECT_EQ(c().tuniqid, id);
  // Garbage is no file of this kind, but it reads: no section, nothing set but the defaults.
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 37) % 256);
  EXPECT_NO_THROW(model.ApplyBatchFile(Batch("garbage.txt", garbage), false));
  EXPECT_EQ(c().GTit, "kept");
}

TEST_F(BatchFileTest, LaunchingSplitsEveryFileOfTheList) {
  test::WriteAll(dir / "a.bin", std::vector<uint8_t>(30000, 7));
  test::WriteAll(dir / "b.bin", std::vector<uint8_t>(30000, 8));
  model.ApplyBatchFile(Batch("run.txt", "[Main]\nMulFiles=1\nDestFolder=" + (dir / "out") +
                                            "\nPieSize=10000\nPieSizeUnit=Bytes\n[FileList]\n1=" + (dir / "a.bin") +
                                            "\n2=" + (dir / "b.bin") + "\n"),
                       true);
  test::CompleteSplits(model);
  const std::string mine = AddBackslash(AddBackslash(dir / "out") + "My Split Files");
  EXPECT_TRUE(os::FileExists(AddBackslash(mine + "a") + "disk4.kxd"));
  EXPECT_TRUE(os::FileExists(AddBackslash(mine + "b") + "disk4.kxd"));
}

}  // namespace
}  // namespace kvx
