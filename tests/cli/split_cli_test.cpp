// The console front end as a user runs it: exit status and the message on stderr.
#include <gtest/gtest.h>

#include <string>

#include "common/file.h"
#include "common/os/os.h"
#include "karvex_process.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

using test::CliResult;
using test::Karvex;

class SplitCliTest : public ::testing::Test {
 protected:
  void SetUp() override { test::WriteAll(dir / "src.bin", test::PatternBytes(1000000)); }
  std::string Q(const std::string& name) const { return "'" + dir / name + "'"; }
  test::TempDir dir;
};

TEST_F(SplitCliTest, SplitsAndSaysWhereThePiecesWent) {
  const CliResult run = Karvex("split " + Q("src.bin") + " -d " + Q("out") + " -s 500000");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find(dir / "out/disk1.kxd"), std::string::npos) << run.output;
  EXPECT_TRUE(os::FileExists(dir / "out/disk3.kxd"));
}

TEST_F(SplitCliTest, SizeUnitsAndMethods) {
  const struct {
    const char* options;
    int pieces;
  } kCases[] = {
      {"-s 0.5MB", 2},                 // 524288-byte pieces
      {"-s 1.5MB", 1},                 // larger than the file: asked, yes without a terminal
      {"-n 4", 4},                     // average size
      {"--sizes 100000,200000,300000", 3},
      {"", 5},                         // the proposal: about five pieces
  };
  int index = 0;
  for (const auto& c : kCases) {
    const std::string out = dir / ("out" + std::to_string(index++));
    // Without the room piece 1 keeps for the SFU program, the pieces are as sized.
    const CliResult run = Karvex("split " + Q("src.bin") + " -d '" + out + "' -q --no-sfu " + c.options);
    EXPECT_EQ(run.status, 0) << c.options << ": " << run.output;
    EXPECT_TRUE(os::FileExists(out + "/disk" + std::to_string(c.pieces) + ".kxd")) << c.options;
    EXPECT_FALSE(os::FileExists(out + "/disk" + std::to_string(c.pieces + 1) + ".kxd")) << c.options;
  }
}

TEST_F(SplitCliTest, LaunchChecksPrintTheSystemsTexts) {
  const struct {
    std::string arguments;
    const char* message;
  } kCases[] = {
      {"split " + Q("missing.bin"), "The original file \""},
      {"split " + Q("src.bin") + " -s 1000", "The size of blocked piece is too small: please enable the option"},
      {"split " + Q("src.bin") + " -s 0", "Please enter a default size for your blocked pieces."},
      {"split " + Q("src.bin") + " -n 0", "Please verify the number of pieces that Karvex should create"},
      {"split " + Q("src.bin") + " -m ''", "A mask for the piece filenames must be specified."},
      {"split " + Q("src.bin") + " -m 'part.{NUM}'", "The piece mask \"part.{NUM}\" must include one of the {num} or {oru}"},
      {"split " + Q("src.bin") + " --sizes 100,-5", "Invalid custom size for piece number 2: -5. Please modify your settings."},
  };
  for (const auto& c : kCases) {
    const CliResult run = Karvex(c.arguments);
    EXPECT_EQ(run.status, 1) << c.arguments;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << c.arguments << ": " << run.output;
  }
}

TEST_F(SplitCliTest, UsageErrorsExitTwo) {
  for (const std::string args : {"", "frobnicate", "split", "split a b", "split x --bogus", "split x -s 12XB",
                                 "split x -s 1 -n 2", "split x --sizes 1,,2", "split x -n"}) {
    EXPECT_EQ(Karvex(args).status, 2) << args;
  }
  const CliResult help = Karvex("--help");
  EXPECT_EQ(help.status, 0);
  for (const char* option : {"--dest", "--size", "--count", "--sizes", "--spanned", "--mask", "--no-header",
                             "--title", "--author", "--description", "--id", "--first-reserve", "--reserve",
                             "--no-sfu", "--quiet"})
    EXPECT_NE(help.output.find(option), std::string::npos) << option;
}

TEST_F(SplitCliTest, BadVolumesEndWithAClearMessage) {
  {
    TFile holder(dir / "src.bin", cmOpenExisting, amRead, smExclusive);
    const CliResult locked = Karvex("split " + Q("src.bin") + " -d " + Q("a"));
    EXPECT_EQ(locked.status, 1);
    EXPECT_NE(locked.output.find("System Error.  Code: 32."), std::string::npos) << locked.output;
  }
  test::WriteAll(dir / "plain-file", {1});
  const CliResult uncreatable = Karvex("split " + Q("src.bin") + " -d " + Q("plain-file/sub"));
  EXPECT_EQ(uncreatable.status, 1);
  EXPECT_NE(uncreatable.output.find("System Error.  Code: "), std::string::npos) << uncreatable.output;

  // A file-size limit stands in for a volume that cannot take piece 3.
  const CliResult full = Karvex("split " + Q("src.bin") + " -d " + Q("full") + " -s 400000", "prlimit --fsize=300000");
  EXPECT_EQ(full.status, 1) << full.output;
  EXPECT_NE(full.output.find("System Error.  Code: 112."), std::string::npos) << full.output;
}

}  // namespace
}  // namespace kvx
