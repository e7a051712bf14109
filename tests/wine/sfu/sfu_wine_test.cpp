// SFU programs end to end: sets split by karvex (the console front end, carrying the core and
// stub of the Windows test build), their SFU programs run under Wine with no one at the
// keyboard, and clicked through by sfu_driver as a user would.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "common/trailers.h"
#include "sfu/builder/core_packer.h"
#include "sfu/builder/resource_editor.h"
#include "sfu/runtime/text_args.h"
#include "sfu/shared/core_unpacker.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// The path as a Windows program under Wine names it.
std::string WinPath(const fs::path& path) {
  std::string text = "Z:" + path.string();
  for (char& c : text)
    if (c == '/') c = '\\';
  return text;
}

// The driver escapes line breaks and backslashes; this undoes it.
std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      out += text[i + 1] == 'n' ? '\n' : text[i + 1];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

// What the driver read, in order, and how it ended.
struct TScript {
  int status = -1;
  std::vector<std::pair<std::string, std::string>> lines;

  // The last value read under key; empty when none was.
  std::string operator[](const std::string& key) const {
    for (auto it = lines.rbegin(); it != lines.rend(); ++it)
      if (it->first == key) return it->second;
    return std::string();
  }
  std::string Dump() const {
    std::string text;
    for (const auto& [key, value] : lines) text += key + "=" + value + "\n";
    return text;
  }
};

// Runs sfu_driver under Wine, its output going to `transcript`; inDesktop puts it into a
// virtual desktop, whose windows have their frames drawn. The output goes to a file, not a
// pipe: the Wine server and desktop that the run starts outlive it and would keep a pipe open.
TScript Drive(const std::vector<std::string>& args, const fs::path& transcript, bool inDesktop) {
  std::string command = "timeout 100 " + Quote(KVX_WINE_RUN) + " " + Quote(KVX_WINE_DIR) + " ";
  // A desktop of its own each time: explorer hands a program to a desktop that already exists
  // without waiting for it.
  static int desktops = 0;
  if (inDesktop) command += "explorer /desktop=kvxsfu" + std::to_string(++desktops) + ",800x600 ";
  command += Quote(KVX_SFU_DRIVER);
  for (const std::string& arg : args) command += " " + Quote(arg);
  command += " >" + Quote(transcript.string()) + " 2>/dev/null </dev/null";
  TScript script;
  const int status = std::system(command.c_str());
  script.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream in(transcript);
  std::string text;
  while (std::getline(in, text)) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    const size_t equals = text.find('=');
    if (equals != std::string::npos) script.lines.emplace_back(text.substr(0, equals), Unescape(text.substr(equals + 1)));
  }
  return script;
}

Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

int RunKarvex(const std::vector<std::string>& args) {
  std::string command = Quote(KVX_KARVEX);
  for (const std::string& arg : args) command += " " + Quote(arg);
  const int status = std::system((command + " >/dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A .bmp the driver took, kept as a .png beside the other artefacts of the build.
void KeepScreenshot(const fs::path& bitmap, const std::string& name) {
  fs::create_directories(KVX_ARTIFACTS_DIR);
  const fs::path png = fs::path(KVX_ARTIFACTS_DIR) / (name + ".png");
  const std::string convert = "convert " + Quote(bitmap.string()) + " " + Quote(png.string()) + " 2>/dev/null";
  if (std::system(convert.c_str()) != 0) fs::copy_file(bitmap, fs::path(KVX_ARTIFACTS_DIR) / (name + ".bmp"),
                                                       fs::copy_options::overwrite_existing);
}

class SfuWineTest : public ::testing::Test {
 public:
  SfuWineTest() : texts(EnglishTexts()) {
    fs::create_directories(Dir() / "tmp");
    original = test::PatternBytes(1000000, 7);
    test::WriteAll(Source().string(), original);
  }

  fs::path Dir() const { return fs::path(dir.Path()); }
  fs::path Source() const { return Dir() / "film.avi"; }
  fs::path Set() const { return Dir() / "set"; }
  std::string T(int n) const { return texts.Text(static_cast<size_t>(n)); }
  // A text as the driver reads it from a window: line breaks without carriage returns.
  static std::string Shown(std::string text) {
    ReplaceAllExact(text, "\r\n", "\n");
    return text;
  }

  // Splits the source into `folder` with karvex; piece 1 and the program are then
  // disk1.kxd and disk1.EXE (merged: only disk1.EXE).
  void Split(const std::vector<std::string>& options, const fs::path& folder, const fs::path& source) {
    std::vector<std::string> args = {"split", source.string(), "-d", folder.string(), "-q",
                                     "--title", "Holiday", "--description", "Summer 2026"};
    args.insert(args.end(), options.begin(), options.end());
    ASSERT_EQ(RunKarvex(args), 0);
  }
  void Split(const std::vector<std::string>& options, const fs::path& folder) { Split(options, folder, Source()); }
  void Split(const std::vector<std::string>& options) { Split(options, Set(), Source()); }
  fs::path Program() const { return Set() / "disk1.EXE"; }

  // Runs the program through the driver with its own temporary folder.
  TScript Run(const fs::path& program, std::vector<std::string> steps, const fs::path& folder = fs::path(),
              bool inDesktop = false) {
    std::vector<std::string> args = {"--temp", WinPath(Dir() / "tmp")};
    if (!folder.empty()) args.insert(args.end(), {"--cwd", WinPath(folder)});
    args.push_back(WinPath(program));
    args.insert(args.end(), steps.begin(), steps.end());
    return Drive(args, Dir() / "transcript.txt", inDesktop);
  }

  // The loader stub's temporary copies of the core left in the temporary folder.
  std::vector<std::string> TemporaryCores() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Dir() / "tmp")) names.push_back(entry.path().filename().string());
    return names;
  }
  bool Restored(const fs::path& path) const { return fs::exists(path) && test::ReadAll(path.string()) == original; }

  test::TempDir dir;
  TSfuLanguage texts;
  Bytes original;
};

using SfuUnattended = SfuWineTest;
using SfuWindow = SfuWineTest;
using SfuPieces = SfuWineTest;
using SfuRefusals = SfuWineTest;

TEST_F(SfuUnattended, RestoresEverySetByteForByte) {
  const struct {
    const char* name;
    std::vector<std::string> options;
    const char* program;
  } cases[] = {
      {"separate program, four pieces", {"-s", "300000"}, "disk1.EXE"},
      {"separate program, one piece", {"-s", "2MB"}, "disk1.EXE"},
      {"merged, four pieces", {"-s", "300000", "--sfu-merge"}, "disk1.EXE"},
      {"merged, one piece", {"-s", "2MB", "--sfu-merge"}, "disk1.EXE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(Set());
    fs::remove_all(Dir() / "out");
    std::vector<std::string> options = c.options;
    options.insert(options.end(), {"--set", "csilent=TRUE", "--set", "rep=5", "--set", "tcustfold=" + WinPath(Dir() / "out")});
    Split(options);
    const TScript script = Run(Set() / c.program, {"exit"});
    EXPECT_EQ(script["exit"], "1") << script.Dump();
    EXPECT_EQ(script["shown"], "0");
    EXPECT_TRUE(Restored(Dir() / "out" / "film.avi"));
    EXPECT_TRUE(TemporaryCores().empty());
  }
}

TEST_F(SfuUnattended, FindsTheFirstPieceInTheCurrentFolder) {
  Split({"-s", "300000", "--set", "csilent=1", "--set", "rep=3"});
  fs::create_directories(Dir() / "elsewhere");
  fs::rename(Program(), Dir() / "elsewhere" / "disk1.EXE");
  const TScript script = Run(Dir() / "elsewhere" / "disk1.EXE", {"exit"}, Set());
  EXPECT_EQ(script["exit"], "1") << script.Dump();
  EXPECT_TRUE(Restored(Set() / "film.avi"));
  EXPECT_TRUE(TemporaryCores().empty());
}

TEST_F(SfuUnattended, WritesTheRestoredFileInsideTheChosenFolderOnly) {
  Split({"-s", "300000", "--set", "csilent=TRUE", "--set", "rep=5", "--set", "tcustfold=" + WinPath(Dir() / "out")});
  // A record whose name climbs out of the folder.
  const fs::path first = Set() / "disk1.kxd";
  Bytes piece = test::ReadAll(first.string());
  const size_t at = piece.size() - TFirstPieceTrailer::kSize;
  TFirstPieceTrailer::Bytes bytes;
  std::copy(piece.begin() + static_cast<long>(at), piece.end(), bytes.begin());
  TFirstPieceTrailer record = TFirstPieceTrailer::Parse(bytes);
  record.FileName = "..\\..\\escaped.avi";
  bytes = record.Serialize();
  std::copy(bytes.begin(), bytes.end(), piece.begin() + static_cast<long>(at));
  test::WriteAll(first.string(), piece);

  const TScript script = Run(Program(), {"exit"});
  EXPECT_EQ(script["exit"], "1") << script.Dump();
  EXPECT_TRUE(Restored(Dir() / "out" / "escaped.avi"));
  EXPECT_FALSE(fs::exists(Dir() / "escaped.avi"));
  EXPECT_FALSE(fs::exists(Dir().parent_path() / "escaped.avi"));
}

TEST_F(SfuUnattended, ShowsTheWindowWhenTheUniteFails) {
  Split({"-s", "300000", "--set", "csilent=TRUE", "--set", "rep=5", "--set", "tcustfold=" + WinPath(Dir() / "out")});
  fs::remove(Set() / "disk3.kxd");
  // Nobody gives the missing piece: the unite is aborted and the hidden window comes up.
  const TScript script = Run(Program(), {"prompt", "prompt:cancel", "box", "press:ok", "box", "press:yes", "window",
                                         "read:log", "click:cancel", "exit"});
  EXPECT_EQ(script["window.caption"], "Holiday") << script.Dump();
  EXPECT_NE(script["read.log"].find(T(61)), std::string::npos);
  EXPECT_EQ(script["exit"], "1");
  EXPECT_FALSE(fs::exists(Dir() / "out" / "film.avi"));
}

TEST_F(SfuUnattended, RunsTheRestoredProgramWaitsAndDeletesIt) {
  // The original is a program that writes its command line to "<last argument>.cmdline".
  const fs::path tool = Dir() / "echo tool.exe";
  fs::copy_file(KVX_COMMAND_LINE_ECHO, tool);
  const fs::path folder = Dir() / "run here";
  Split({"--set", "cautoexec=TRUE", "--set", "cautof=TRUE", "--set", "copen=TRUE", "--set", "cwaitforend=TRUE",
         "--set", "cdelete=TRUE", "--set", "param=" + WinPath(Dir() / "ran"), "--set", "rep=5", "--set",
         "tcustfold=" + WinPath(folder)},
        Set(), tool);
  const TScript script = Run(Program(), {"exit"});
  EXPECT_EQ(script["exit"], "1") << script.Dump();
  ASSERT_TRUE(fs::exists(Dir() / "ran.cmdline"));
  EXPECT_EQ(test::ReadAll((Dir() / "ran.cmdline").string()),
            BytesOf("\"" + WinPath(folder / "echo tool.exe") + "\" " + WinPath(Dir() / "ran")));
  EXPECT_FALSE(fs::exists(folder / "echo tool.exe"));  // deleted after the run
}

TEST_F(SfuWindow, ShowsTheWelcomeTextAndProposesTheDestination) {
  const std::string welcome =
      "Welcome to this program. It will restore the following file:\n\n film.avi\n Summer 2026\n Size: " +
      SizeToText(3, 1000000) + " ; 1000000 byte(s).\n 4 piece files are required.\n\n"
      "Select where you would like to place the restored file\nand press Unite to continue.\n";
  const fs::path current = Dir() / "current";
  fs::create_directories(current);
  const struct {
    const char* kind;
    std::string proposal;
    bool locked;  // the destination may not be changed
  } cases[] = {
      {"3", WinPath(current / "film.avi"), false},
      {"4", WinPath(Set() / "film.avi"), false},
      {"5", "C:\\Restored\\film.avi", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    fs::remove_all(Set());
    Split({"-s", "300000", "--set", std::string("rep=") + c.kind, "--set", "tcustfold=C:\\Restored", "--set",
           c.locked ? "cecd=TRUE" : "cecd=FALSE"});
    const TScript script = Run(Program(),
                               {"window", "read:log", "read:output", "enabled:output", "enabled:browse",
                                "enabled:unite", "click:cancel", "exit"},
                               current);
    EXPECT_EQ(script["window.caption"], "Holiday") << script.Dump();
    EXPECT_EQ(script["read.log"], welcome);
    EXPECT_EQ(script["read.output"], c.proposal);
    EXPECT_EQ(script["enabled.output"], c.locked ? "0" : "1");
    EXPECT_EQ(script["enabled.browse"], c.locked ? "0" : "1");
    EXPECT_EQ(script["enabled.unite"], "1");
    EXPECT_EQ(script["exit"], "1");
  }
}

TEST_F(SfuWindow, UnitesAndOffersToClose) {
  Split({"-s", "300000"});
  const fs::path output = Dir() / "new folder" / "film.avi";
  const fs::path shot = Dir() / "window.bmp";
  const TScript script = Run(Program(),
                             {"window", "shot:window=" + WinPath(shot), "set:output=" + WinPath(output), "click:unite",
                              "wait:cancel=" + T(14), "read:label", "read:log", "enabled:unite", "click:cancel", "exit"},
                             fs::path(), true);
  EXPECT_EQ(script["exit"], "1") << script.Dump();
  EXPECT_TRUE(Restored(output));
  EXPECT_EQ(script["read.label"], T(13));
  EXPECT_EQ(script["enabled.unite"], "0");
  const std::string log = script["read.log"];
  EXPECT_EQ(log.substr(0, T(18).size()), T(18));
  EXPECT_NE(log.find(T(56)), std::string::npos);
  EXPECT_TRUE(TemporaryCores().empty());
  ASSERT_TRUE(fs::exists(shot));
  KeepScreenshot(shot, "sfu_window");
}

TEST_F(SfuWindow, CancelStopsTheUniteInProgress) {
  Split({"-s", "300000"});
  const fs::path output = Dir() / "out" / "film.avi";
  const TScript script = Run(Program(), {"window", "set:output=" + WinPath(output), "click:unite", "click:cancel", "box",
                                         "press:ok", "wait:label=" + T(13), "read:cancel", "enabled:unite", "click:cancel",
                                         "exit"});
  EXPECT_EQ(script["box.caption"], T(62)) << script.Dump();
  EXPECT_EQ(script["box.text"], T(64));
  EXPECT_EQ(script["read.cancel"], T(8));  // the window stays for its log
  EXPECT_EQ(script["enabled.unite"], "0");
  EXPECT_EQ(script["exit"], "1");
  EXPECT_FALSE(fs::exists(output));
}

TEST_F(SfuPieces, AsksForAMissingPieceAndFinishesWithIt) {
  Split({"-s", "300000"});
  fs::create_directories(Dir() / "disk");
  fs::rename(Set() / "disk3.kxd", Dir() / "disk" / "disk3.kxd");
  const fs::path output = Dir() / "out" / "film.avi";
  const fs::path shot = Dir() / "prompt.bmp";
  const TScript script = Run(Program(),
                             {"window", "set:output=" + WinPath(output), "click:unite", "prompt",
                              "shot:prompt=" + WinPath(shot), "prompt:path=" + WinPath(Dir() / "disk" / "disk3.kxd"),
                              "prompt:ok", "wait:cancel=" + T(14), "click:cancel", "exit"},
                             fs::path(), true);
  EXPECT_EQ(script["prompt.caption"], FillText(T(23), {"3"})) << script.Dump();
  EXPECT_EQ(script["prompt.text"], Shown(FillText(T(24), {"3", "4", "disk3.kxd"})));
  EXPECT_EQ(script["prompt.path"], WinPath(Set() / "disk3.kxd"));
  EXPECT_EQ(script["exit"], "1");
  EXPECT_TRUE(Restored(output));
  if (fs::exists(shot)) KeepScreenshot(shot, "sfu_piece_prompt");
}

TEST_F(SfuPieces, AsksAboutACorruptedPiece) {
  Split({"-s", "300000"});
  Bytes piece = test::ReadAll((Set() / "disk2.kxd").string());
  piece[1000] ^= 0x40;
  test::WriteAll((Set() / "disk2.kxd").string(), piece);
  const TScript script = Run(Program(), {"window", "set:output=" + WinPath(Dir() / "out" / "film.avi"), "click:unite", "box",
                                         "press:yes", "box", "press:ok", "wait:label=" + T(13), "read:cancel",
                                         "click:cancel", "exit"});
  ASSERT_EQ(script.lines.size() > 4, true) << script.Dump();
  // The first box: the failed CRC check of piece 2; yes silences the later ones.
  const auto& lines = script.lines;
  auto first = std::find(lines.begin(), lines.end(), std::make_pair(std::string("box.caption"), T(39)));
  ASSERT_NE(first, lines.end()) << script.Dump();
  EXPECT_EQ((first + 1)->second, Shown(FillText(T(46), {"2"})));
  // The second: the final check.
  EXPECT_EQ(script["box.caption"], T(54)) << script.Dump();
  EXPECT_EQ(script["box.text"], T(53));
  EXPECT_EQ(script["read.cancel"], T(8));
  EXPECT_EQ(script["exit"], "1");
}

TEST_F(SfuRefusals, RefusesAFirstPieceOfAnotherSet) {
  Split({"-s", "300000", "--id", "{set-A}"});
  const fs::path other = Dir() / "other";
  Split({"-s", "300000", "--id", "{set-B}", "--no-sfu"}, other);
  fs::copy_file(Program(), other / "disk1.EXE");
  const TScript script = Run(other / "disk1.EXE", {"box", "press:ok", "exit"});
  EXPECT_EQ(script["box.caption"], "Holiday") << script.Dump();
  EXPECT_EQ(script["box.text"], T(2));
  EXPECT_EQ(script["exit"], "0");
  EXPECT_TRUE(TemporaryCores().empty());
}

// The program with the core's settings record damaged: unpacked, changed, packed again.
void DamageSettings(const fs::path& program) {
  TResourceEditor stub(test::ReadAll(program.string()));
  const TResource* eng = stub.FindFirst(10, "ENG");
  ASSERT_NE(eng, nullptr);
  Bytes core;
  ASSERT_TRUE(UnpackCore(eng->Data.data(), eng->Data.size(),
                         [](void* context, const uint8_t* data, size_t size) {
                           auto* out = static_cast<Bytes*>(context);
                           out->insert(out->end(), data, data + size);
                           return true;
                         },
                         &core));
  TResourceEditor editor(core);
  const TResource* settings = editor.FindFirst(10, "SFX");
  ASSERT_NE(settings, nullptr);
  Bytes record = settings->Data;
  record[1] = 'k';  // "kVXSFU"
  editor.ReplaceData(*settings, record);
  stub.ReplaceData(*eng, PackCore(editor.Save()));
  test::WriteAll(program.string(), stub.Save());
}

TEST_F(SfuRefusals, ReportsADamagedSettingsRecord) {
  Split({"-s", "300000"});
  DamageSettings(Program());
  const TScript script = Run(Program(), {"box", "press:ok", "exit"});
  EXPECT_EQ(script["box.caption"], "Karvex SFU") << script.Dump();
  EXPECT_EQ(script["box.text"], "This Karvex Self-Updating program is corrupted; it is going to be closed.");
  EXPECT_EQ(script["exit"], "0");
  EXPECT_TRUE(TemporaryCores().empty());
}

}  // namespace
}  // namespace kvx
