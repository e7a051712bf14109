// SFU programs run as a user runs them, under Windows (Wine here): built by the builder from
// the loader stub and a stand-in core, started as processes of their own. Failures show the
// stub's error box; the test reads it and presses OK, as a user would.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/byte_io.h"
#include "common/os/win32.h"
#include "sfu/builder/core_packer.h"
#include "sfu/builder/resource_editor.h"
#include "sfu/builder/sfu_payloads.h"
#include "sfu/builder/sfu_program_builder.h"
#include "support/temp_dir.h"
#include "test_images.h"

namespace kvx {
namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

constexpr auto kDeadline = std::chrono::seconds(60);
const wchar_t kBoxCaption[] = L"Karvex Self-Uniting";
const wchar_t kBoxText[] = L"Error loading Self-Uniting; see version information in order to contact the author.";

struct Outcome {
  DWORD exitCode = 0xFFFFFFFF;
  std::wstring boxCaption;  // empty when no box was shown
  std::wstring boxText;
};

struct BoxSearch {
  DWORD processId;
  HWND box;
};

BOOL CALLBACK FindBox(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<BoxSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[16] = L"";
  GetClassNameW(window, className, 16);
  if (owner != search->processId || std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  search->box = window;
  return FALSE;
}

std::wstring WindowText(HWND window) {
  wchar_t text[512] = L"";
  GetWindowTextW(window, text, 512);
  return text;
}

// Points TMP and TEMP, which processes started meanwhile inherit, at a folder; restores them.
class TemporaryFolderOverride {
 public:
  explicit TemporaryFolderOverride(const std::wstring& folder) {
    for (const wchar_t* name : {L"TMP", L"TEMP"}) {
      wchar_t value[MAX_PATH + 1] = L"";
      const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH + 1);
      saved_.push_back({name, std::wstring(value), length > 0 && length <= MAX_PATH});
      SetEnvironmentVariableW(name, folder.c_str());
    }
  }
  ~TemporaryFolderOverride() {
    for (const Saved& s : saved_) SetEnvironmentVariableW(s.name, s.present ? s.value.c_str() : nullptr);
  }

 private:
  struct Saved {
    const wchar_t* name;
    std::wstring value;
    bool present;
  };
  std::vector<Saved> saved_;
};

class SfuProgramRun : public ::testing::Test {
 protected:
  void SetUp() override {
    if (EmbeddedSfuPayloads().Core.empty()) GTEST_SKIP() << "no stand-in core in this build";
    fs::create_directories(fs::u8path(temp_));
  }

  // A program whose "ENG" holds these bytes.
  std::string ProgramWithEng(const std::string& name, const Bytes& eng, const Bytes& stubImage) {
    TResourceEditor stub(stubImage);
    stub.ReplaceData(*stub.FindFirst(rtRcData, "ENG"), eng);
    const std::string path = dir_ / name;
    test::WriteAll(path, stub.Save());
    return path;
  }

  std::string BuiltProgram(const std::string& name) {
    TSfuSettings settings;
    TSfuBuildRequest request;
    request.Settings = &settings;
    request.SourceFile = "report.pdf";
    request.PiecesWritten = 1;
    request.FirstPieceName = "report.pdf.001";
    std::vector<std::string> summary;
    const std::string path = dir_ / name;
    test::WriteAll(path, BuildSfuProgram(request, EmbeddedSfuPayloads(), summary));
    return path;
  }

  // Starts the program with the command line `"<path>" args`, its temporary folder set to the
  // test's own, so that what it leaves there can be checked.
  PROCESS_INFORMATION Launch(const std::string& path, const std::string& args) {
    const TemporaryFolderOverride temp(win32::Widen(temp_));
    std::wstring commandLine = L"\"" + win32::Widen(path) + L"\" " + win32::Widen(args);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process))
        << GetLastError();
    return process;
  }

  // Waits for the program's end, answering its error box with OK.
  Outcome Await(const PROCESS_INFORMATION& process) {
    Outcome outcome;
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
      if (std::chrono::steady_clock::now() > deadline) {
        TerminateProcess(process.hProcess, 99);
        ADD_FAILURE() << "the program did not end";
        break;
      }
      BoxSearch search{process.dwProcessId, nullptr};
      EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
      if (search.box == nullptr || !outcome.boxCaption.empty()) continue;
      outcome.boxCaption = WindowText(search.box);
      outcome.boxText = WindowText(GetDlgItem(search.box, 0xFFFF));
      PostMessageW(search.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(search.box, IDOK)));
    }
    GetExitCodeProcess(process.hProcess, &outcome.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return outcome;
  }

  Outcome Run(const std::string& path, const std::string& args = "") { return Await(Launch(path, args)); }

  std::vector<std::string> LeftInTemp() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::u8path(temp_))) names.push_back(entry.path().filename().u8string());
    return names;
  }

  static std::vector<std::string> CoreReport(const std::string& programPath) {
    std::ifstream in(fs::u8path(programPath + ".core.txt"), std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  test::TempDir dir_;
  const std::string temp_ = dir_ / "temp";
};

TEST_F(SfuProgramRun, CoreIsCalledWithTheProgramsArgumentsAndItsResultIsTheExitCode) {
  const std::string program = BuiltProgram("Setup report.exe");
  const std::string args = "--result=7  two words \"quoted arg\"";
  const Outcome outcome = Run(program, args);
  EXPECT_EQ(outcome.exitCode, 7u);
  EXPECT_EQ(outcome.boxCaption, L"");
  const std::vector<std::string> report = CoreReport(program);
  ASSERT_EQ(report.size(), 4u);
  EXPECT_EQ(fs::u8path(report[0]), fs::u8path(program));
  EXPECT_EQ(report[1], "\"" + program + "\" " + args);
  EXPECT_EQ(report[2], "instance=program");
  // The core was loaded from a temporary file made with the prefix "KSFU" (of which the system
  // keeps three letters) in the temporary folder, and the file is gone afterwards.
  const fs::path core = fs::u8path(report[3]);
  EXPECT_TRUE(fs::equivalent(core.parent_path(), fs::u8path(temp_))) << report[3];
  EXPECT_EQ(core.filename().u8string().substr(0, 3), "KSF") << report[3];
  EXPECT_EQ(LeftInTemp(), std::vector<std::string>{});
}

TEST_F(SfuProgramRun, CoreResultZeroEndsWithoutABox) {
  const Outcome outcome = Run(BuiltProgram("zero.exe"), "--result=0");
  EXPECT_EQ(outcome.exitCode, 0u);
  EXPECT_EQ(outcome.boxCaption, L"");
  EXPECT_EQ(LeftInTemp(), std::vector<std::string>{});
}

TEST_F(SfuProgramRun, TwoProgramsAtOnceUseTwoTemporaryFiles) {
  const std::string first = BuiltProgram("first.exe");
  const std::string second = BuiltProgram("second.exe");
  const PROCESS_INFORMATION a = Launch(first, "--sleep=1500 --result=3");
  const PROCESS_INFORMATION b = Launch(second, "--sleep=1500 --result=4");
  EXPECT_EQ(Await(a).exitCode, 3u);
  EXPECT_EQ(Await(b).exitCode, 4u);
  ASSERT_EQ(CoreReport(first).size(), 4u);
  ASSERT_EQ(CoreReport(second).size(), 4u);
  EXPECT_NE(CoreReport(first)[3], CoreReport(second)[3]);
  EXPECT_EQ(LeftInTemp(), std::vector<std::string>{});
}

TEST_F(SfuProgramRun, DamagedProgramsShowTheErrorBoxAndLeaveNothingBehind) {
  const Bytes stub = test::TestImage("stub");
  const Bytes good = PackCore(EmbeddedSfuPayloads().Core);
  Bytes badProperties = good;
  badProperties[14] = 0xE1;
  Bytes tooLongTail = good;
  PutU32(&tooLongTail[6], static_cast<uint32_t>(good.size() + 1));
  const Bytes emptyCore{'K', 'V', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const struct {
    const char* what;
    std::string program;
  } cases[] = {
      {"properties byte 0xE1", ProgramWithEng("props.exe", badProperties, stub)},
      {"truncated stream", ProgramWithEng("truncated.exe", Bytes(good.begin(), good.begin() + good.size() / 2), stub)},
      {"raw tail larger than the resource", ProgramWithEng("tail.exe", tooLongTail, stub)},
      {"the placeholder", ProgramWithEng("placeholder.exe", Bytes(4, 0), stub)},
      {"unpacked size 0", ProgramWithEng("empty.exe", emptyCore, stub)},
      {"a library without the entry", ProgramWithEng("noentry.exe", PackCore(test::TestImage("stub_no_version")), stub)},
      {"no ENG at all", [&] {
         const std::string path = dir_ / "noeng.exe";
         test::WriteAll(path, test::TestImage("stub_no_eng"));
         return path;
       }()},
  };
  for (const auto& c : cases) {
    const Outcome outcome = Run(c.program, "--result=5");
    EXPECT_EQ(outcome.boxCaption, kBoxCaption) << c.what;
    EXPECT_EQ(outcome.boxText, kBoxText) << c.what;
    EXPECT_EQ(outcome.exitCode, 0u) << c.what;
    EXPECT_TRUE(CoreReport(c.program).empty()) << c.what;
    EXPECT_EQ(LeftInTemp(), std::vector<std::string>{}) << c.what;
  }
}

}  // namespace
}  // namespace kvx
