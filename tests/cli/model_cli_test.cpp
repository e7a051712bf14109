// karvex split and karvex batch as the main program's model runs them: the summary printed line
// for line, profiles, --set, dry runs, batch files, preferences and the automatic profile.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "common/os/os.h"
#include "common/paths.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct CliRun {
  int status = -1;
  std::string out;  // stdout only
  std::string all;  // stdout and stderr
};

std::string ReadText(const std::string& path) {
  const std::vector<uint8_t> bytes = test::ReadAll(path);
  return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::string& path, const std::string& text) {
  test::WriteAll(path, std::vector<uint8_t>(text.begin(), text.end()));
}

class ModelCliTest : public ::testing::Test {
 protected:
  // Preferences and profiles go to a folder of the test's own.
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    test::WriteAll(dir / "src.bin", test::PatternBytes(1000000));
  }
  void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }

  // karvex with its arguments, run in the test's folder without a terminal.
  CliRun Karvex(const std::string& arguments) {
    CliRun run;
    const std::string base = "cd '" + dir.Path() + "' && '" KARVEX_CLI_PATH "' " + arguments + " </dev/null";
    run.status = Capture(base + " 2>'" + (dir / "stderr") + "'", run.out);
    run.all = run.out + ReadText(dir / "stderr");
    return run;
  }
  static int Capture(const std::string& command, std::string& out) {
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    const int raw = pclose(pipe);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
  std::string Profiles() const { return AddBackslash(AddBackslash(AddBackslash(dir / "config") + "Karvex") + "Profiles"); }
  std::string Preferences() const { return AddBackslash(AddBackslash(dir / "config") + "Karvex") + "karvexpref.xml"; }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t cut; (cut = text.find('\n', from)) != std::string::npos; from = cut + 1)
      lines.push_back(text.substr(from, cut - from));
    return lines;
  }

  test::TempDir dir;
};

TEST_F(ModelCliTest, TheSummaryIsPrintedLineForLine) {
  const CliRun run = Karvex("split src.bin -d out -s 300000 --no-sfu");
  ASSERT_EQ(run.status, 0) << run.all;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_GT(lines.size(), 20u) << run.out;
  const std::vector<std::string> head = {"SPLITTING OPERATION SUMMARY", "Karvex version 2.0.0"};
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 2), head);
  const std::vector<std::string> information = {" ",
                                                "File Information",
                                                "Filename: " + (dir / "src.bin"),
                                                "Size: 1000000 byte(s), 976.6  kb.",
                                                "Destination path: " + (dir / "out"),
                                                "Selected Piece Type: ",
                                                " Blocked Pieces",
                                                " Piece Size: 300000 byte(s), 293.0  kb.",
                                                " ",
                                                "Operations",
                                                "Preparing thread process...",
                                                "Launching thread...",
                                                "Piece Number 1"};
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.begin() + 16), information);
  const std::string profile = Profiles() + "src.bin.kxc";
  const std::vector<std::string> tail = {"Operation complete", " ", "Elapsed time: 0 min, 1 sec.", "Result: successful.",
                                         "Total piece count: 4", " ", "Split profile saved as:", profile, "Done."};
  EXPECT_EQ(std::vector<std::string>(lines.end() - 9, lines.end()), tail);
  EXPECT_TRUE(os::FileExists(dir / "out/disk4.kxd"));
  // The automatic profile, with its pieces, and the preferences with the histories.
  EXPECT_THAT(ReadText(profile), HasSubstr("<path>" + (dir / "out/disk1.kxd") + "</path>"));
  const std::string preferences = ReadText(Preferences());
  EXPECT_THAT(preferences, HasSubstr("<fich_Text>" + (dir / "src.bin") + "</fich_Text>"));
  EXPECT_THAT(preferences, HasSubstr("<Item0>" + profile + "</Item0>"));
  EXPECT_THAT(preferences, HasSubstr("<cautosaveprof_Checked>TRUE</cautosaveprof_Checked>"));
}

TEST_F(ModelCliTest, TheOptionsOfThePreferencesApply) {
  os::ForceDirectories(dir / "config/Karvex");
  WriteText(Preferences(), "<KarvexPreferences><EnvironOptions><cautosaveprof_Checked>FALSE</cautosaveprof_Checked>"
                           "</EnvironOptions></KarvexPreferences>");
  const CliRun run = Karvex("split src.bin -d out -q");
  EXPECT_EQ(run.status, 0) << run.all;
  EXPECT_EQ(run.out, "");
  EXPECT_FALSE(os::FileExists(Profiles() + "src.bin.kxc"));
}

TEST_F(ModelCliTest, SetPutsAValueIntoAnyControl) {
  const CliRun run = Karvex("split src.bin -d out --set cdecide=1 --set tsize=4 --set nomp=part{oru}.bin --set "
                         "GTit='My set' --set cnoheader=TRUE");
  ASSERT_EQ(run.status, 0) << run.all;
  EXPECT_THAT(run.out, HasSubstr(" Piece Size: 250000 byte(s), 244.1  kb."));
  EXPECT_TRUE(os::FileExists(dir / "out/part004.bin"));
  EXPECT_FALSE(os::FileExists(dir / "out/part005.bin"));
  EXPECT_EQ(os::FileSizeOf(dir / "out/part001.bin"), 250000);
  const struct {
    const char* arguments;
    int status;
    const char* message;
  } kRefused[] = {{"--set nosuch=1", 2, "unknown control: nosuch"},
                  {"--set tsize", 2, "--set needs CONTROL=VALUE: tsize"},
                  {"--set cnoheader=maybe", 1, "Invalid value for cnoheader: maybe"},
                  {"--set rep=9", 1, "Invalid value for rep: 9"}};
  for (const auto& c : kRefused) {
    const CliRun refused = Karvex(std::string("split src.bin -d refused ") + c.arguments);
    EXPECT_EQ(refused.status, c.status) << c.arguments;
    EXPECT_THAT(refused.all, HasSubstr(c.message)) << c.arguments;
    EXPECT_FALSE(os::DirectoryExists(dir / "refused")) << c.arguments;
  }
}

TEST_F(ModelCliTest, AProfileSavedByTheConsoleLoadsBackToTheSameJob) {
  const CliRun saved = Karvex("split src.bin -d out --set cdecide=2 --set lvpieces=100000,200000 --title T --set "
                           "memwelc='a\\nb' --set rep=4 --no-sfu --save-profile first.kxc --dry-run");
  ASSERT_EQ(saved.status, 0) << saved.all;
  const CliRun again = Karvex("split --profile first.kxc --save-profile second.kxc --dry-run");
  ASSERT_EQ(again.status, 0) << again.all;
  // The same keys and values; storing into a loaded profile rewrites its list of welcome lines
  // at the end of "Settings".
  std::vector<std::string> first = Lines(ReadText(dir / "first.kxc")), second = Lines(ReadText(dir / "second.kxc"));
  std::sort(first.begin(), first.end());
  std::sort(second.begin(), second.end());
  EXPECT_EQ(second, first);
  EXPECT_THAT(ReadText(dir / "first.kxc"), HasSubstr("<Item1>b</Item1>"));
  const auto body = [](const std::string& out) { return out.substr(out.find("File Information")); };
  EXPECT_EQ(body(again.out), body(saved.out));
  EXPECT_THAT(again.out, HasSubstr(" Sizes defined by the user."));
  EXPECT_THAT(again.out, HasSubstr("Destination path: " + (dir / "out")));
  // The source named beside a profile wins over the profile's.
  test::WriteAll(dir / "other.bin", test::PatternBytes(5000));
  const CliRun other = Karvex("split other.bin --profile first.kxc --dry-run");
  EXPECT_THAT(other.out, HasSubstr("Filename: " + (dir / "other.bin")));
}

TEST_F(ModelCliTest, AProfileThatCannotBeReadIsRefused) {
  WriteText(dir / "broken.kxc", "<KarvexProfile><Settings>");
  const CliRun run = Karvex("split src.bin --profile broken.kxc -d out");
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.all, HasSubstr("\"broken.kxc\" is not a valid settings document: the element \"Settings\" is not closed"));
  EXPECT_FALSE(os::DirectoryExists(dir / "out"));
  const CliRun missing = Karvex("split src.bin --profile none.kxc");
  EXPECT_EQ(missing.status, 1);
  EXPECT_THAT(missing.all, HasSubstr("System Error.  Code: 2."));
}

TEST_F(ModelCliTest, ADryRunChecksAndPlansWithoutWriting) {
  const CliRun run = Karvex("split src.bin -d out -s 300000 --no-sfu --dry-run");
  ASSERT_EQ(run.status, 0) << run.all;
  EXPECT_THAT(run.out, HasSubstr("Preparing thread process...\nPlanned pieces:\n " + (dir / "out/disk1.kxd") +
                                 "  298741 byte(s) of the original\n " + (dir / "out/disk2.kxd") +
                                 "  299353 byte(s) of the original\n"));
  EXPECT_THAT(run.out, HasSubstr(" " + (dir / "out/disk4.kxd") + "  102553 byte(s) of the original\n"));
  EXPECT_THAT(run.out, Not(HasSubstr("Launching thread...")));
  EXPECT_FALSE(os::DirectoryExists(dir / "out"));
  EXPECT_FALSE(os::DirectoryExists(dir / "config"));
  const CliRun refused = Karvex("split src.bin -m 'part.{NUM}' --dry-run");
  EXPECT_EQ(refused.status, 1);
  EXPECT_THAT(refused.out, HasSubstr("Fatal Error\nThe piece mask \"part.{NUM}\" must include"));
  EXPECT_THAT(refused.out, HasSubstr("Operation ABORTED!"));
  const CliRun spanned = Karvex("split src.bin --spanned --dry-run");
  EXPECT_THAT(spanned.out, HasSubstr("Disk-spanned pieces fill the free space of each disk"));
}

TEST_F(ModelCliTest, QuestionsWithoutATerminalOrWithYes) {
  // The unit guard and the piece larger than the file carry out the user's choice.
  const CliRun run = Karvex("split src.bin -d out --no-sfu --set tsize=5000 --set cselunit=GB --dry-run");
  EXPECT_EQ(run.status, 0) << run.all;
  EXPECT_THAT(run.all, HasSubstr("Warning: do you really want to switch the piece size to 5000 GB? yes"));
  EXPECT_THAT(run.all, HasSubstr("Are you sure you want to continue? yes"));
  EXPECT_THAT(run.out, HasSubstr(" Piece Size: 5368709120000 byte(s)"));
  EXPECT_THAT(run.out, HasSubstr("disk1.kxd  1000000 byte(s) of the original\n"));
  const CliRun yes = Karvex("split src.bin -d out2 --no-sfu -s 2MB -y");
  EXPECT_EQ(yes.status, 0) << yes.all;
}

TEST_F(ModelCliTest, TheCommandAfterSplittingGetsTheProfile) {
  const CliRun run = Karvex("split src.bin -d out -q --set \"texec=echo {profile} > ran.txt\"");
  EXPECT_EQ(run.status, 0) << run.all;
  for (int i = 0; i < 100 && os::FileSizeOf(dir / "ran.txt") <= 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(ReadText(dir / "ran.txt"), Profiles() + "src.bin.kxc\n");
}

TEST_F(ModelCliTest, ABatchFileSplitsEveryFileOfItsList) {
  test::WriteAll(dir / "a.bin", test::PatternBytes(30000, 2));
  test::WriteAll(dir / "b.bin", test::PatternBytes(40000, 3));
  WriteText(dir / "run.txt", "[Main]\r\nMulFiles=1\r\nDestFolder=" + (dir / "out") +
                                 "\r\nPieSize=10000\r\nPieSizeUnit=Bytes\r\nTitle=Batch\r\n[FileList]\r\n1=" +
                                 (dir / "a.bin") + "\r\n2=" + (dir / "b.bin") + "\r\n");
  const CliRun dry = Karvex("batch run.txt --dry-run");
  EXPECT_EQ(dry.status, 0) << dry.all;
  EXPECT_THAT(dry.out, HasSubstr("Option \"Multiple Files\" enabled."));
  EXPECT_FALSE(os::DirectoryExists(dir / "out"));
  const CliRun run = Karvex("batch run.txt");
  ASSERT_EQ(run.status, 0) << run.all;
  size_t titles = 0;
  for (const std::string& line : Lines(run.out)) titles += line == "SPLITTING OPERATION SUMMARY";
  EXPECT_EQ(titles, 2u);
  EXPECT_TRUE(os::FileExists(dir / "out/My Split Files/a/disk4.kxd"));
  EXPECT_TRUE(os::FileExists(dir / "out/My Split Files/b/disk5.kxd"));

  const CliRun missing = Karvex("batch none.txt");
  EXPECT_EQ(missing.status, 1);
  EXPECT_THAT(missing.all, HasSubstr("System Error.  Code: 2."));
  EXPECT_EQ(Karvex("batch").status, 2);
  EXPECT_EQ(Karvex("batch a b").status, 2);
}

}  // namespace
}  // namespace kvx
