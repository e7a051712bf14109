// karvex split writes the SFU program as the main window does: by default beside the pieces,
// or merged with piece 1, with the settings of the SFU pages set by control name. The programs
// are taken apart again to read what they carry.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/model/job_controls.h"
#include "common/os/os.h"
#include "common/text.h"
#include "karvex_process.h"
#include "sfu/builder/resource_editor.h"
#include "sfu/builder/sfu_payloads.h"
#include "sfu/builder/sfu_program_builder.h"
#include "sfu/shared/core_unpacker.h"
#include "sfu/shared/sfu_language.h"
#include "sfu/shared/sfu_settings.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr size_t kSfuProgramLimit = 150 * 1024;

using test::CliResult;
using test::Karvex;

// What an SFU program carries: its core's settings record, welcome text, header picture and
// language texts.
struct TCarried {
  TSfuSettings Settings;
  Bytes Record;
  std::string Welcome;
  Bytes Header;
  std::string Language;
};

TCarried ReadProgram(const std::string& path) {
  TResourceEditor stub(test::ReadAll(path));
  const TResource* packed = stub.FindFirst(10, "ENG");
  if (packed == nullptr) throw std::runtime_error("no ENG in " + path);
  Bytes image;
  const bool unpacked = UnpackCore(
      packed->Data.data(), packed->Data.size(),
      [](void* context, const uint8_t* data, size_t size) {
        static_cast<Bytes*>(context)->insert(static_cast<Bytes*>(context)->end(), data, data + size);
        return true;
      },
      &image);
  if (!unpacked) throw std::runtime_error("cannot unpack the core of " + path);
  TResourceEditor core(image);
  auto data = [&core](const char* name) {
    const TResource* resource = core.FindFirst(10, name);
    return resource != nullptr ? resource->Data : Bytes();
  };
  TCarried carried;
  carried.Record = data("SFX");
  carried.Settings = TSfuSettings::Parse(SfuRecordFromResource(carried.Record.data(), carried.Record.size()));
  const Bytes welcome = data("WEL");
  carried.Welcome.assign(welcome.begin(), welcome.end());
  carried.Header = data("BMP");
  const Bytes language = data("LNG");
  carried.Language.assign(language.begin(), language.end());
  return carried;
}

class SfuCliTest : public ::testing::Test {
 protected:
  void SetUp() override { test::WriteAll(dir / "movie.avi", test::PatternBytes(1000000)); }
  CliResult Split(const std::string& options) {
    return Karvex("split '" + dir / "movie.avi" + "' -d '" + dir / "out" + "' -s 300000 " + options);
  }
  std::string Out(const std::string& name) const { return dir / ("out/" + name); }
  test::TempDir dir;
};

TEST_F(SfuCliTest, WritesTheProgramBesideThePiecesAsTheMainWindowWould) {
  const std::string title(80, 'T');
  const CliResult run = Split("--title " + title);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Creating SFU executable file: " + Out("disk1.EXE")), std::string::npos) << run.output;
  const TCarried program = ReadProgram(Out("disk1.EXE"));
  const TSfuSettings& s = program.Settings;
  EXPECT_TRUE(HasSfuMagic(SfuRecordFromResource(program.Record.data(), program.Record.size())));
  EXPECT_EQ(program.Record.size(), TSfuSettings::kSize);
  EXPECT_EQ(s.WindowCaption, title.substr(0, 50));
  EXPECT_EQ(s.ArchiveTitle, title);
  EXPECT_EQ(s.ShowCommand, 1);
  EXPECT_FALSE(s.NoOverwritePrompt);  // "Ask For Overwriting File" is on
  EXPECT_EQ(s.DestinationKind, dkCurrentFolder);
  EXPECT_EQ(s.AboutMessage, kDefaultAboutMessage);
  EXPECT_EQ(s.FirstPieceName, "disk1.kxd");
  ASSERT_GE(s.PieceCount, 4u);  // piece 1 keeps room for the program
  EXPECT_TRUE(os::FileExists(Out("disk" + std::to_string(s.PieceCount) + ".kxd")));
  EXPECT_FALSE(os::FileExists(Out("disk" + std::to_string(s.PieceCount + 1) + ".kxd")));
  EXPECT_FALSE(s.MergedFirstPiece || s.Silent || s.AutoStart || s.OpenAfterUnite);
  EXPECT_EQ(program.Welcome.substr(0, 62), "Welcome to this program. It will restore the following file:\r\n");
  EXPECT_EQ(program.Language, LanguageResource([] {
              std::vector<std::string> lines = SplitAnsiLines(DefaultLanguageFile());
              RemoveCommentLines(lines);
              return lines;
            }()));
}

TEST_F(SfuCliTest, SetsEverySettingByControlName) {
  test::WriteAll(dir / "header.bmp", {'B', 'M', 1, 2, 3});
  test::WriteAll(dir / "French.kxl", {'#', ' ', 'x', '\n', 'U', 'n', '\n', 'D', 'e', 'u', 'x', '\n'});
  const CliResult run = Split(
      "--set 'sprompt=Start?/$Sure' --set eprompt=Bye --set tabout=About --set rep=5 --set 'tcustfold=C:\\Out' "
      "--set cecd=TRUE --set cover=FALSE --set copen=1 --set cwaitforend=TRUE --set cdelete=TRUE --set param=-x "
      "--set cautof=TRUE --set cautoexec=TRUE --set csilent=1 --set 'memwelc=One {filename}\\nTwo' "
      "--set 'header=" + dir / "header.bmp" + "' --set 'tlang=" + dir / "French.kxl" + "' "
      "--set cchangenom=TRUE --set tnomsfu=Setup.exe");
  ASSERT_EQ(run.status, 0) << run.output;
  const TCarried program = ReadProgram(Out("Setup.exe"));
  const TSfuSettings& s = program.Settings;
  EXPECT_EQ(s.StartMessage, "Start?/$Sure");
  EXPECT_EQ(s.EndMessage, "Bye");
  EXPECT_EQ(s.AboutMessage, "About");
  EXPECT_EQ(s.DestinationKind, dkCustomFolder);
  EXPECT_EQ(s.CustomFolder, "C:\\Out");
  EXPECT_TRUE(s.LockDestination);
  EXPECT_TRUE(s.NoOverwritePrompt);
  EXPECT_TRUE(s.OpenAfterUnite && s.WaitForEnd && s.DeleteAfterRun);
  EXPECT_EQ(s.RunParameters, "-x");
  EXPECT_TRUE(s.AutoClose && s.AutoStart && s.Silent);
  EXPECT_EQ(program.Welcome, "One movie.avi\r\nTwo\r\n");
  EXPECT_EQ(program.Header, (Bytes{'B', 'M', 1, 2, 3}));
  EXPECT_EQ(program.Language, "Un\r\nDeux\r\n");
}

TEST_F(SfuCliTest, TheSfuOptionsChooseHowTheProgramIsWritten) {
  ASSERT_EQ(Split("--no-sfu").status, 0);
  EXPECT_FALSE(os::FileExists(Out("disk1.EXE")));
  EXPECT_EQ(os::FileSizeOf(Out("disk1.kxd")), 300000);

  ASSERT_EQ(Split("--sfu-ignore-size -m part{num}.bin").status, 0);
  EXPECT_EQ(os::FileSizeOf(Out("part1.bin")), 300000);  // no room kept for the program
  EXPECT_TRUE(os::FileExists(Out("part1.EXE")));

  ASSERT_EQ(Split("--sfu-name 'elsewhere/Run me.exe' -m name{num}.bin").status, 0);
  EXPECT_TRUE(os::FileExists(Out("Run me.exe")));
  EXPECT_FALSE(os::FileExists(dir / "elsewhere/Run me.exe"));

  const CliResult merged = Split("--sfu-merge -m merged{num}.bin");
  ASSERT_EQ(merged.status, 0) << merged.output;
  EXPECT_FALSE(os::FileExists(Out("merged1.bin")));
  EXPECT_EQ(os::FileSizeOf(Out("merged1.EXE")), 300000);  // program, piece data and record together
  const TCarried program = ReadProgram(Out("merged1.EXE"));
  EXPECT_TRUE(program.Settings.MergedFirstPiece);
  EXPECT_EQ(program.Settings.FirstPieceName, "merged1.bin");
  EXPECT_TRUE(os::FileExists(Out("merged" + std::to_string(program.Settings.PieceCount) + ".bin")));
}

TEST_F(SfuCliTest, RefusesUnknownControlsAndValues) {
  const struct {
    const char* options;
    int status;
    const char* message;
  } cases[] = {
      {"--set nosuch=1", 2, "unknown control: nosuch"},
      {"--set csilent", 2, "--set needs CONTROL=VALUE: csilent"},
      {"--set csilent=maybe", 1, "Invalid value for csilent: maybe"},
      {"--set rep=5",
       1, "You have to specify a custom destination folder for the SFU program if you wish to use the Custom "
          "Destination Folder option."},
  };
  for (const auto& c : cases) {
    const CliResult run = Split(c.options);
    EXPECT_EQ(run.status, c.status) << c.options << ": " << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << c.options << ": " << run.output;
    EXPECT_FALSE(os::FileExists(Out("disk1.kxd"))) << c.options;
  }
}

TEST_F(SfuCliTest, AMissingLanguageFileFallsBackToTheDefaultTexts) {
  const CliResult run = Split("--set 'tlang=" + dir / "none.kxl" + "'");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Warning: the language file \"" + dir / "none.kxl" +
                            "\" was not found. The default one has been used."),
            std::string::npos)
      << run.output;
  EXPECT_EQ(ReadProgram(Out("disk1.EXE")).Language.substr(0, 11), "The first p");
}

// The shipped program: stub and core of the 32-bit Windows build.
TEST(ShippedSfuProgram, IsSmallAndQuickToBuild) {
  const TSfuPayloads& payloads = EmbeddedSfuPayloads();
  ASSERT_FALSE(payloads.Core.empty() || payloads.Stub.empty()) << "the 32-bit Windows programs are not built";
  TSfuSettings settings;
  TSfuBuildRequest request;
  request.Settings = &settings;
  request.WelcomeText = {"Welcome to {filename}", "{size}"};
  std::vector<std::string> language = SplitAnsiLines(DefaultLanguageFile());
  RemoveCommentLines(language);
  request.LanguageText = language;
  request.SourceFile = "movie.avi";
  request.TotalSize = 1000000;
  request.PiecesWritten = 4;
  request.FirstPieceName = "disk1.kxd";
  request.UniqueId = "{set}";
  std::vector<std::string> summary;
  const auto start = std::chrono::steady_clock::now();
  const Bytes program = BuildSfuProgram(request, payloads, summary);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("SFU program: %zu bytes (core %zu, stub %zu), built in %.3f s\n", program.size(), payloads.Core.size(),
              payloads.Stub.size(), seconds);
  EXPECT_LE(program.size(), kSfuProgramLimit);
  EXPECT_LT(seconds, 1.0);
}

}  // namespace
}  // namespace kvx
