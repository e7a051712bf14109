// Choosing "Split with Karvex": the command starts Karvex from where its installation said it is,
// or explains in an error box why it cannot.
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "common/errors.h"
#include "drop_data_object.h"
#include "harness.h"
#include "message_box_watch.h"
#include "support/temp_dir.h"

namespace kvx::test {
namespace {

constexpr char kKarvexKey[] = "SOFTWARE\\Karvex";
constexpr char kCaption[] = "Karvex Shell Extension - Error";
constexpr char kNotFound[] = "Karvex was not found on this computer. Please reinstall it.";

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// What the stand-in for Karvex wrote when it was started on `file`; empty when it did not run in time.
std::string StartedCommandLine(const std::string& file) {
  const std::string written = file + ".cmdline";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!Exists(written) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::ifstream in(written, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Every test owns HKLM "SOFTWARE\Karvex", which the installation would write, and removes it again.
class InvokeCommandTest : public ShellExtensionTest {
 protected:
  void SetUp() override { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKarvexKey); }
  void TearDown() override {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKarvexKey);
    ShellExtensionTest::TearDown();
  }

  // The key, with "Path" holding `path` as `type` unless `path` is null.
  static void WriteKarvexKey(const char* path, DWORD type = REG_SZ) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKarvexKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (path) {
      RegSetValueExA(key, "Path", 0, type, reinterpret_cast<const BYTE*>(path), lstrlenA(path) + 1);
    }
    RegCloseKey(key);
  }

  // A handler initialised with one selected file, as Explorer holds it when the item is chosen.
  TComRef<IContextMenu> HandlerFor(const std::string& file) {
    TComRef<IShellExtInit> init = NewHandler<IShellExtInit>(IID_IShellExtInit);
    Select(init.get(), file);
    IContextMenu* menu = nullptr;
    EXPECT_EQ(init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu)), S_OK);
    return TComRef<IContextMenu>(menu);
  }

  static void Select(IUnknown* handler, const std::string& file) {
    IShellExtInit* init = nullptr;
    ASSERT_EQ(handler->QueryInterface(IID_IShellExtInit, reinterpret_cast<void**>(&init)), S_OK);
    TDropDataObject data({file});
    EXPECT_EQ(init->Initialize(nullptr, &data, nullptr), S_OK);
    init->Release();
  }

  HRESULT Invoke(IContextMenu* menu, LPCSTR verb) {
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof info;
    info.hwnd = owner_.Get();
    info.lpVerb = verb;
    info.nShow = SW_SHOWNORMAL;
    return menu->InvokeCommand(&info);
  }

  TempDir dir_;
  TOwnerWindow owner_;
  TMessageBoxWatch boxes_;
};

const LPCSTR kFirstItem = MAKEINTRESOURCEA(0);

TEST_F(InvokeCommandTest, StartsKarvexWithProgramAndFileQuoted) {
  struct Case {
    std::string program;  // empty: the stand-in where it was built
    std::string file;
  };
  const Case cases[] = {
      {"", dir_ / "movie.avi"},
      {dir_ / "Karvex Program\\karvex echo.exe", dir_ / "holiday video.avi"},
  };
  for (const Case& c : cases) {
    const std::string program = c.program.empty() ? KarvexStandInPath() : c.program;
    if (!c.program.empty()) {
      CreateDirectoryA((dir_ / "Karvex Program").c_str(), nullptr);
      ASSERT_TRUE(CopyFileA(KarvexStandInPath().c_str(), program.c_str(), FALSE));
    }
    WriteKarvexKey(program.c_str());
    EXPECT_EQ(Invoke(HandlerFor(c.file).get(), kFirstItem), S_OK);
    EXPECT_EQ(StartedCommandLine(c.file), Quoted(program) + " " + Quoted(c.file));
  }
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(InvokeCommandTest, UsesTheLatestSelection) {
  WriteKarvexKey(KarvexStandInPath().c_str());
  TComRef<IContextMenu> menu = HandlerFor(dir_ / "first.avi");
  Select(menu.get(), dir_ / "second.avi");
  EXPECT_EQ(Invoke(menu.get(), kFirstItem), S_OK);
  EXPECT_EQ(StartedCommandLine(dir_ / "second.avi"),
            Quoted(KarvexStandInPath()) + " " + Quoted(dir_ / "second.avi"));
}

TEST_F(InvokeCommandTest, TextVerbStartsNothing) {
  WriteKarvexKey(KarvexStandInPath().c_str());
  TComRef<IContextMenu> menu = HandlerFor(dir_ / "by-verb.avi");
  EXPECT_EQ(Invoke(menu.get(), "split"), E_INVALIDARG);
  // A stand-in started by the text verb would have written its file before this later one.
  Select(menu.get(), dir_ / "by-number.avi");
  EXPECT_EQ(Invoke(menu.get(), kFirstItem), S_OK);
  EXPECT_FALSE(StartedCommandLine(dir_ / "by-number.avi").empty());
  EXPECT_FALSE(Exists(dir_ / "by-verb.avi.cmdline"));
}

TEST_F(InvokeCommandTest, RefusesVerbsThatAreNotItemNumbersWithoutRunning) {
  // Karvex is missing, so running the command would show a box.
  TComRef<IContextMenu> menu = HandlerFor(dir_ / "movie.avi");
  const LPCSTR verbs[] = {"split", "open", MAKEINTRESOURCEA(0xFFFE), MAKEINTRESOURCEA(0xFFFF),
                         reinterpret_cast<LPCSTR>(0x10000)};
  for (LPCSTR verb : verbs) {
    EXPECT_EQ(Invoke(menu.get(), verb), E_INVALIDARG);
  }
  EXPECT_EQ(menu->InvokeCommand(nullptr), E_INVALIDARG);
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(InvokeCommandTest, ShowsWhyKarvexCannotStart) {
  CreateDirectoryA((dir_ / "folder.exe").c_str(), nullptr);
  struct Case {
    const char* what;
    bool writeKey;
    const char* path;  // null: no "Path" value
    DWORD type;
    std::string message;
  };
  const std::string standIn = KarvexStandInPath();
  const std::string missing = dir_ / "karvex.exe";
  const std::string folder = dir_ / "folder.exe";
  const Case cases[] = {
      {"no key", false, nullptr, REG_SZ, EOSError(kErrorFileNotFound).what()},
      {"no Path value", true, nullptr, REG_SZ, kNotFound},
      {"empty Path", true, "", REG_SZ, kNotFound},
      {"Path names no file", true, missing.c_str(), REG_SZ, kNotFound},
      {"Path names a folder", true, folder.c_str(), REG_SZ, kNotFound},
      {"Path is not REG_SZ", true, standIn.c_str(), REG_EXPAND_SZ, kNotFound},
  };
  for (const Case& c : cases) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKarvexKey);
    if (c.writeKey) WriteKarvexKey(c.path, c.type);
    const size_t before = boxes_.Boxes().size();
    EXPECT_EQ(Invoke(HandlerFor(dir_ / "movie.avi").get(), kFirstItem), E_FAIL) << c.what;
    ASSERT_EQ(boxes_.Boxes().size(), before + 1) << c.what;
    const TMessageBox& box = boxes_.Boxes().back();
    EXPECT_EQ(box.caption, kCaption) << c.what;
    EXPECT_EQ(box.text, c.message) << c.what;
    EXPECT_EQ(box.owner, owner_.Get()) << c.what;
    EXPECT_TRUE(box.errorIcon) << c.what;
  }
  EXPECT_FALSE(Exists(dir_ / "movie.avi.cmdline"));
}

}  // namespace
}  // namespace kvx::test
