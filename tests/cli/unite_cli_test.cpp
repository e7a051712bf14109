// karvex unite, verify and inspect as a user runs them, without a terminal: exit status,
// what is printed, and what lands on disk.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "common/os/os.h"
#include "common/trailers.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

using ::testing::HasSubstr;

struct Outcome {
  int status = -1;
  std::string out;  // stdout, then stderr
};

Outcome RunKarvex(const std::string& arguments, const std::string& folder) {
  const std::string command =
      "cd '" + folder + "' && '" KARVEX_CLI_PATH "' " + arguments + " </dev/null 2>&1";
  Outcome outcome;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) outcome.out.append(buffer, n);
  const int raw = pclose(pipe);
  outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return outcome;
}

class UniteCliTest : public ::testing::Test {
 public:
  void SetUp() override {
    original = test::PatternBytes(1000000, 4);
    test::WriteAll(dir / "movie.avi", original);
    ASSERT_EQ(Karvex("split movie.avi -d set -s 500000 -q --no-sfu").status, 0);
  }
  Outcome Karvex(const std::string& arguments) { return RunKarvex(arguments, dir.Path()); }
  void Flip(const std::string& piece, size_t at) {
    auto bytes = test::ReadAll(dir / piece);
    bytes[at] ^= 0x10;
    test::WriteAll(dir / piece, bytes);
  }

  test::TempDir dir;
  std::vector<uint8_t> original;
};

TEST_F(UniteCliTest, UniteRestoresIntoTheCurrentFolderOrTheOutput) {
  std::filesystem::create_directories(dir / "work");
  const Outcome plain = RunKarvex("unite ../set/disk1.kxd", dir / "work");
  EXPECT_EQ(plain.status, 0) << plain.out;
  EXPECT_THAT(plain.out, HasSubstr("Result: unite successful!"));
  EXPECT_EQ(test::ReadAll(dir / "work/movie.avi"), original);

  std::filesystem::create_directories(dir / "restored");
  EXPECT_EQ(Karvex("unite set/disk1.kxd -o restored").status, 0);
  EXPECT_EQ(test::ReadAll(dir / "restored/movie.avi"), original);
  EXPECT_EQ(Karvex("unite -o copy.bin set/disk1.kxd").status, 0);
  EXPECT_EQ(test::ReadAll(dir / "copy.bin"), original);
}

TEST_F(UniteCliTest, AnExistingOutputIsReplacedOnlyWithForce) {
  test::WriteAll(dir / "copy.bin", {9});
  const Outcome refused = Karvex("unite set/disk1.kxd -o copy.bin");
  EXPECT_EQ(refused.status, 1);
  EXPECT_THAT(refused.out, HasSubstr("already exists"));
  EXPECT_EQ(test::ReadAll(dir / "copy.bin"), std::vector<uint8_t>{9});
  EXPECT_EQ(Karvex("unite set/disk1.kxd -o copy.bin --force").status, 0);
  EXPECT_EQ(test::ReadAll(dir / "copy.bin"), original);
}

TEST_F(UniteCliTest, ARecordNamingAnotherFolderStillRestoresInsideTheOutputFolder) {
  // Rewrite the first piece's record as a hostile set would have it.
  auto bytes = test::ReadAll(dir / "set/disk1.kxd");
  TFirstPieceTrailer::Bytes record;
  std::copy(bytes.end() - record.size(), bytes.end(), record.begin());
  TFirstPieceTrailer first = TFirstPieceTrailer::Parse(record);
  first.FileName = "../../escaped.avi";
  first.NameMask = "disk{num}.kxd";
  record = first.Serialize();
  std::copy(record.begin(), record.end(), bytes.end() - record.size());
  test::WriteAll(dir / "set/disk1.kxd", bytes);
  std::filesystem::create_directories(dir / "a/b/out");

  const Outcome run = RunKarvex("unite ../../../set/disk1.kxd", dir / "a/b/out");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(test::ReadAll(dir / "a/b/out/escaped.avi"), original);
  EXPECT_FALSE(os::FileExists(dir / "escaped.avi"));
  EXPECT_FALSE(os::FileExists(dir / "a/escaped.avi"));
}

TEST_F(UniteCliTest, VerifyPrintsEveryPieceAndTheResult) {
  const Outcome ok = Karvex("verify set/disk1.kxd");
  EXPECT_EQ(ok.status, 0) << ok.out;
  EXPECT_THAT(ok.out, HasSubstr("piece 2: set/disk2.kxd: ok\n"));
  EXPECT_THAT(ok.out, HasSubstr("piece 3: set/disk3.kxd: ok\n"));
  EXPECT_THAT(ok.out, HasSubstr("Result: the set is intact."));
  EXPECT_FALSE(os::FileExists(dir / "movie.avi.restored"));
}

TEST_F(UniteCliTest, DamagedSetsFailBothCommands) {
  const struct {
    const char* name;
    std::function<void(UniteCliTest&)> damage;
    const char* message;
  } cases[] = {
      {"flipped byte", [](UniteCliTest& t) { t.Flip("set/disk2.kxd", 777); },
       "ERROR: the restored file's contents differs from the original one"},
      {"flipped byte in piece 1", [](UniteCliTest& t) { t.Flip("set/disk1.kxd", 0); },
       "ERROR: the restored file's contents differs from the original one"},
      {"truncated", [](UniteCliTest& t) { std::filesystem::resize_file(t.dir / "set/disk3.kxd", 1000); },
       "this is not the requested piece number 3"},
      {"missing", [](UniteCliTest& t) { std::filesystem::remove(t.dir / "set/disk2.kxd"); }, "Unite Aborted"},
      {"swapped",
       [](UniteCliTest& t) {
         std::filesystem::rename(t.dir / "set/disk2.kxd", t.dir / "x");
         std::filesystem::rename(t.dir / "set/disk3.kxd", t.dir / "set/disk2.kxd");
         std::filesystem::rename(t.dir / "x", t.dir / "set/disk3.kxd");
       },
       "this is not the requested piece number 2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(dir / "set");
    std::filesystem::remove(dir / "copy.bin");
    ASSERT_EQ(Karvex("split movie.avi -d set -s 500000 -q --no-sfu").status, 0);
    c.damage(*this);
    const Outcome verify = Karvex("verify set/disk1.kxd");
    EXPECT_EQ(verify.status, 1) << verify.out;
    EXPECT_THAT(verify.out, HasSubstr(c.message));
    EXPECT_THAT(verify.out, HasSubstr("Result: the set is NOT intact."));
    const Outcome unite = Karvex("unite set/disk1.kxd -o copy.bin");
    EXPECT_EQ(unite.status, 1) << unite.out;
    EXPECT_THAT(unite.out, HasSubstr(c.message));
  }
}

TEST_F(UniteCliTest, InspectPrintsTheRecordAndFailsForOtherFiles) {
  const Outcome first = Karvex("inspect set/disk1.kxd");
  EXPECT_EQ(first.status, 0);
  EXPECT_THAT(first.out, HasSubstr("Version=20001\nFilename=movie.avi\nSize=1000000\n"));
  EXPECT_THAT(first.out, HasSubstr("Piece Count=3\n"));
  const Outcome later = Karvex("inspect set/disk3.kxd");
  EXPECT_EQ(later.status, 0);
  EXPECT_THAT(later.out, HasSubstr("Piece Number=3\nOffset=998094\n"));
  const Outcome other = Karvex("inspect movie.avi");
  EXPECT_EQ(other.status, 1);
  EXPECT_EQ(other.out, "Result=Not a valid Karvex 2.0 piece file\n");
  EXPECT_EQ(Karvex("inspect nothing-here").status, 1);
}

TEST_F(UniteCliTest, UsageErrorsExitTwo) {
  for (const char* args : {"unite", "unite a b", "unite a -o", "unite a --bogus", "verify", "verify a -o x",
                           "verify a --force", "inspect", "inspect a b"})
    EXPECT_EQ(Karvex(args).status, 2) << args;
}

}  // namespace
}  // namespace kvx
