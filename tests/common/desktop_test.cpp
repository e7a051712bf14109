// The desktop queries of the OS seam, on the system the suite runs on.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "common/os/desktop.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include "common/os/win32.h"
#endif

namespace kvx {
namespace {

void SetVariable(const char* name, const std::string& value) {
#ifdef _WIN32
  SetEnvironmentVariableW(win32::Widen(name).c_str(), value.empty() ? nullptr : win32::Widen(value).c_str());
#else
  if (value.empty()) unsetenv(name);
  else setenv(name, value.c_str(), 1);
#endif
}

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

TEST(Desktop, AppDataFolderFollowsTheUsersVariable) {
  test::TempDir dir;
#ifdef _WIN32
  const char* name = "APPDATA";
#else
  const char* name = "XDG_CONFIG_HOME";
#endif
  const std::string saved = Variable(name);
  SetVariable(name, AddBackslash(dir.Path()));
  EXPECT_EQ(os::AppDataFolder(), dir.Path());
#ifndef _WIN32
  SetVariable(name, "relative/ignored");
  EXPECT_EQ(os::AppDataFolder(), AddBackslash(Variable("HOME")) + ".config");
  SetVariable(name, "");
  EXPECT_EQ(os::AppDataFolder(), AddBackslash(Variable("HOME")) + ".config");
#endif
  SetVariable(name, saved);
}

TEST(Desktop, FoldersOfTheSystem) {
  const std::string documents = os::DocumentsFolder();
  ASSERT_FALSE(documents.empty());
  EXPECT_TRUE(os::IsPathSeparator(documents.back())) << documents;
  EXPECT_TRUE(os::DirectoryExists(os::ProgramFolder())) << os::ProgramFolder();
  EXPECT_FALSE(os::DateTimeText().empty());
}

TEST(Desktop, RecycleFolderTakesItsContentAndItself) {
  test::TempDir dir;
  const std::string folder = dir / "Profiles";
  ASSERT_TRUE(os::ForceDirectories(AddBackslash(folder) + "sub"));
  test::WriteAll(AddBackslash(folder) + "a.kxc", {1, 2});
  test::WriteAll(AddBackslash(folder) + "noext", {3});
  EXPECT_TRUE(os::RecycleFolder(folder));
  EXPECT_FALSE(os::DirectoryExists(folder));
  EXPECT_FALSE(os::RecycleFolder(dir / "missing"));
}

TEST(Desktop, MoveFileOverReplacesTheOldFile) {
  test::TempDir dir;
  test::WriteAll(dir / "old", {1, 1, 1});
  test::WriteAll(dir / "new", {2});
  os::MoveFileOver(dir / "new", dir / "old");
  EXPECT_EQ(test::ReadAll(dir / "old"), std::vector<uint8_t>{2});
  EXPECT_FALSE(os::FileExists(dir / "new"));
}

TEST(Desktop, StartCommandLineDoesNotWait) {
  test::TempDir dir;
  const std::string marker = dir / "started";
#ifdef _WIN32
  const std::string command = "cmd.exe /c echo x> \"" + marker + "\"";
#else
  const std::string command = "echo x > '" + marker + "'";
#endif
  ASSERT_TRUE(os::StartCommandLine(command));
  for (int i = 0; i < 200 && !os::FileExists(marker); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(os::FileExists(marker));
}

}  // namespace
}  // namespace kvx
