#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/memory_stream.h"
#include "common/os/os.h"
#include "engine/karvex_thread.h"
#include "pe_test_support.h"
#include "sfu/builder/icon_group.h"
#include "sfu/builder/resource_editor.h"
#include "sfu/builder/sfu_payloads.h"
#include "sfu/builder/sfu_program_builder.h"
#include "sfu/builder/thread_sfu_builder.h"
#include "sfu/builder/version_info.h"
#include "sfu/shared/sfu_language.h"
#include "support/temp_dir.h"
#include "test_images.h"

namespace kvx {
namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A 5-piece set of report.pdf, built with the stand-in core and the test build's stub.
class SfuProgramBuilding : public ::testing::Test {
 protected:
  void SetUp() override {
    if (EmbeddedSfuPayloads().Core.empty() || EmbeddedSfuPayloads().Stub.empty())
      GTEST_SKIP() << "no stub or core in this build";
    payloads_ = EmbeddedSfuPayloads();
    settings_.WindowCaption = "Quarterly report";
    settings_.ArchiveTitle = "Quarterly report";
    request_.Settings = &settings_;
    request_.WelcomeText = {"Restoring {FileName} ({SIZE}; {fullsize} bytes)", "", "{piececount} pieces by {author}: {desc}"};
    std::string warning;
    request_.LanguageText = LoadLanguageLines("", warning);
    request_.SourceFile = dir_ / "report.pdf";
    request_.TotalSize = 1500000;
    request_.PiecesWritten = 5;
    request_.FirstPieceName = "report.pdf.001";
    request_.UniqueId = "none";
    request_.Author = "A. Writer";
    request_.Description = "Figures for the third quarter";
    request_.SetTitle = "Quarterly report";
  }

  Bytes Build() {
    summary_.clear();
    return BuildSfuProgram(request_, payloads_, summary_);
  }


 public:
  // The core inside a built program, unpacked as the stub unpacks it.
  static TResourceEditor CoreOf(const Bytes& program) {
    const TResourceEditor stub(program);
    const TResource* eng = stub.FindFirst(rtRcData, "ENG");
    EXPECT_NE(eng, nullptr);
    Bytes core;
    EXPECT_TRUE(test::UnpackToMemory(eng->Data, core));
    return TResourceEditor(core);
  }

 protected:
  test::TempDir dir_;
  TSfuPayloads payloads_;
  TSfuSettings settings_;
  TSfuBuildRequest request_;
  Lines summary_;
};

TEST_F(SfuProgramBuilding, CoreCarriesTheFourResources) {
  const Bytes program = Build();
  test::ExpectSoundLayout(program);
  EXPECT_EQ(summary_, (Lines{"0|Working on SFU data...", "0|Working on SFU resources..."}));
  EXPECT_EQ(TResourceEditor(program).FindFirst(rtRcData, "ENG")->Language, 1033);
  const TResourceEditor core = CoreOf(program);

  const TResource* sfx = core.FindFirst(rtRcData, "SFX");
  ASSERT_NE(sfx, nullptr);
  EXPECT_EQ(sfx->Language, 0);
  ASSERT_EQ(sfx->Data.size(), TSfuSettings::kSize);
  TSfuSettings::Bytes record;
  std::copy(sfx->Data.begin(), sfx->Data.end(), record.begin());
  EXPECT_TRUE(HasSfuMagic(record));
  EXPECT_EQ(record, settings_.Serialize());
  const TSfuSettings stored = TSfuSettings::Parse(record);
  EXPECT_EQ(stored.FirstPieceName, "report.pdf.001");
  EXPECT_EQ(stored.PieceCount, 5u);
  EXPECT_EQ(stored.UniqueId, "none");
  EXPECT_EQ(stored.WindowCaption, "Quarterly report");

  EXPECT_EQ(Text(core.FindFirst(rtRcData, "WEL")->Data),
            "Restoring report.pdf (1.4  Mb; 1500000 bytes)\r\n\r\n5 pieces by A. Writer: Figures for the third quarter\r\n");
  EXPECT_EQ(core.FindFirst(rtRcData, "BMP")->Data, payloads_.DefaultHeaderBitmap);
  const Bytes lng = core.FindFirst(rtRcData, "LNG")->Data;
  TSfuLanguage table;
  table.Load(lng.data(), lng.size());
  EXPECT_EQ(table.Count(), kSfuLanguageTexts);
  EXPECT_EQ(table.Text(5), "&Unite");
  // The core's own resources stay.
  EXPECT_NE(core.FindFirstOfType(rtVersion), nullptr);
}

TEST_F(SfuProgramBuilding, MergedAndSeparateBuildsCountTheSamePieces) {
  request_.Merged = true;
  request_.PiecesWritten = 4;  // piece 1 is being written and not yet counted
  const Bytes merged = Build();
  EXPECT_EQ(settings_.PieceCount, 5u);
  EXPECT_NE(Text(CoreOf(merged).FindFirst(rtRcData, "WEL")->Data).find("5 pieces"), std::string::npos);
  request_.Merged = false;
  request_.PiecesWritten = 5;
  Build();
  EXPECT_EQ(settings_.PieceCount, 5u);
}

TEST_F(SfuProgramBuilding, StubVersionStringsAreStamped) {
  const TResourceEditor stub(Build());
  const TVersionInfo info(stub.FindFirstOfType(rtVersion)->Data);
  EXPECT_EQ(info.GetString("FileDescription"), "Karvex Self-Uniting for report.pdf");
  EXPECT_EQ(info.GetString("LegalCopyright"), "A. Writer");
  EXPECT_EQ(info.GetString("ProductName"), "Quarterly report");
  EXPECT_EQ(info.GetString("Comments"), "Figures for the third quarter");
  EXPECT_EQ(info.GetString("FileVersion"), "2, 0, 0, 0");
  EXPECT_EQ(info.GetString("ProductVersion"), "2, 0, 0, 0");
}

TEST_F(SfuProgramBuilding, IconFileReplacesTheStubsIconUnderItsName) {
  const TResourceEditor original(payloads_.Stub);
  const Bytes originalGroup = original.FindFirstOfType(rtGroupIcon)->Data;

  request_.IconFile = dir_ / "missing.ico";
  EXPECT_EQ(TResourceEditor(Build()).FindFirstOfType(rtGroupIcon)->Data, originalGroup);

  request_.IconFile = dir_ / "mine.ico";
  test::WriteAll(request_.IconFile, test::MakeIcoFile({16, 32, 48}, 0x3060C0));
  const TResourceEditor stub(Build());
  size_t groups = 0, icons = 0;
  for (const TResource& r : stub.Resources()) {
    groups += r.Type == TResId::Number(rtGroupIcon);
    icons += r.Type == TResId::Number(rtIcon);
  }
  EXPECT_EQ(groups, 1u);
  EXPECT_EQ(icons, 3u);
  const TResource* group = stub.FindFirstOfType(rtGroupIcon);
  EXPECT_EQ(group->Name.ToString(), "MAINICON");
  EXPECT_EQ(group->Language, 0);
  EXPECT_EQ(GroupIconIds(group->Data).size(), 3u);
}

TEST_F(SfuProgramBuilding, HeaderBitmapFileIsStoredAsItIs) {
  request_.HeaderBitmapFile = dir_ / "header.bmp";
  const Bytes picture{'B', 'M', 1, 2, 3};
  test::WriteAll(request_.HeaderBitmapFile, picture);
  EXPECT_EQ(CoreOf(Build()).FindFirst(rtRcData, "BMP")->Data, picture);
}

TEST_F(SfuProgramBuilding, StubsWithoutTheirResourcesFail) {
  const struct {
    const char* image;
    std::string error;
  } cases[] = {
      {"stub_no_eng", "Unable to load the required RCData resource"},
      {"stub_no_version", "Unable to load the version information resource"},
  };
  for (const auto& c : cases) {
    payloads_.Stub = test::TestImage(c.image);
    if (payloads_.Stub.empty()) GTEST_SKIP() << "fixture images not in this build";
    EXPECT_EQ(test::ErrorOf([&] { Build(); }), c.error) << c.image;
  }
}

TEST_F(SfuProgramBuilding, MissingPayloadsAreReported) {
  payloads_.Core.clear();
  EXPECT_EQ(test::ErrorOf([&] { Build(); }), "This build of Karvex carries no SFU core");
  payloads_ = EmbeddedSfuPayloads();
  payloads_.Stub.clear();
  EXPECT_EQ(test::ErrorOf([&] { Build(); }), "This build of Karvex carries no loader stub");
}

TEST_F(SfuProgramBuilding, ThreadPortFillsTheRequestFromTheThread) {
  TKarvexThread thread(nullptr);
  thread.Engine.SourceFile = request_.SourceFile;
  thread.Engine.NameMask = "{orf}.{oru}";
  thread.Engine.PiecesWritten = 2;
  thread.Engine.TotalSize = 1500000;
  thread.Engine.Author = "A. Writer";
  thread.Engine.SetTitle = "Quarterly report";
  thread.SfuMerge = true;
  thread.WelcomeText = {"{piececount} pieces"};
  thread.LanguageText = {"zero"};
  TThreadSfuBuilder builder(payloads_);
  TMemoryStream out;
  out.Write("old", 3);
  builder.Build(thread, out);
  EXPECT_EQ(out.Position(), 0u);
  EXPECT_EQ(thread.LogLines, (Lines{"0|Working on SFU data...", "0|Working on SFU resources..."}));
  EXPECT_EQ(thread.SfuSettings.FirstPieceName, "report.pdf.001");
  EXPECT_EQ(thread.SfuSettings.PieceCount, 3u);
  EXPECT_EQ(thread.SfuSettings.UniqueId, "none");
  const TResourceEditor core = CoreOf(out.Bytes());
  EXPECT_EQ(Text(core.FindFirst(rtRcData, "WEL")->Data), "3 pieces\r\n");
  EXPECT_EQ(Text(core.FindFirst(rtRcData, "LNG")->Data), "zero\r\n");
  EXPECT_EQ(TVersionInfo(TResourceEditor(out.Bytes()).FindFirstOfType(rtVersion)->Data).GetString("ProductName"),
            "Quarterly report");
}

// A whole split through the thread and the real builder, the program separate or merged with
// piece 1: the record and the welcome text count the pieces the set really has.
class SfuSplit : public ::testing::TestWithParam<bool> {};
INSTANTIATE_TEST_SUITE_P(Delivery, SfuSplit, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Merged" : "Separate"; });

TEST_P(SfuSplit, RecordAndWelcomeTextCountThePiecesOfTheSet) {
  if (EmbeddedSfuPayloads().Core.empty()) GTEST_SKIP() << "no stub or core in this build";
  test::TempDir dir;
  test::WriteAll(dir / "report.pdf", test::PatternBytes(1000000));
  TKarvexThread thread(nullptr);
  thread.Engine.SourceFile = dir / "report.pdf";
  thread.Engine.DestFolder = dir.Path();
  thread.Engine.NameMask = "{orf}.{oru}";
  thread.Engine.PieceSize = 250000;
  thread.SfuMerge = GetParam();
  thread.WelcomeText = {"{piececount} pieces"};
  TThreadSfuBuilder builder(EmbeddedSfuPayloads());
  thread.SfuBuilder = &builder;
  thread.Execute();
  ASSERT_EQ(thread.Outcome, "Successful");
  ASSERT_EQ(thread.Engine.PiecesWritten, 5);

  // Either way the program is report.pdf.EXE; merged, the piece data follows it.
  const Bytes program = test::ReadAll(dir / "report.pdf.EXE");
  const TResourceEditor core = SfuProgramBuilding::CoreOf(program);
  TSfuSettings::Bytes record;
  const Bytes& sfx = core.FindFirst(rtRcData, "SFX")->Data;
  std::copy(sfx.begin(), sfx.end(), record.begin());
  EXPECT_EQ(TSfuSettings::Parse(record).PieceCount, 5u);
  EXPECT_EQ(TSfuSettings::Parse(record).FirstPieceName, "report.pdf.001");
  EXPECT_EQ(Text(core.FindFirst(rtRcData, "WEL")->Data), "5 pieces\r\n");
  EXPECT_EQ(os::FileExists(dir / "report.pdf.001"), !GetParam());
}

TEST(SfuWelcomeText, PlaceholdersIgnoreCaseAndEveryOccurrenceIsReplaced) {
  TSfuSettings settings;
  TSfuBuildRequest request;
  request.Settings = &settings;
  request.SourceFile = "report.pdf";
  request.TotalSize = 2048;
  request.PiecesWritten = 3;
  request.Merged = true;
  request.Author = "Ann {desc}";
  request.Description = "Notes";
  request.WelcomeText = {"{FILENAME} {filename}", "{Size}|{FullSize}", "{piececount}", "{author}", "caf\xC3\xA9"};
  // {author} is replaced before {desc}, so a placeholder inside the author's name is filled too.
  EXPECT_EQ(WelcomeResource(request), "report.pdf report.pdf\r\n2.0  kb|2048\r\n4\r\nAnn Notes\r\ncaf\xE9\r\n");
}

}  // namespace
}  // namespace kvx
