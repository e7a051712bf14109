// The version resource that Explorer's properties page and installers read.
#include <vector>

#include "harness.h"

namespace kvx::test {
namespace {

std::vector<char> VersionInfo(const std::string& file) {
  DWORD ignored = 0;
  std::vector<char> info(GetFileVersionInfoSizeA(file.c_str(), &ignored));
  if (!info.empty() && !GetFileVersionInfoA(file.c_str(), 0, static_cast<DWORD>(info.size()), info.data())) {
    info.clear();
  }
  return info;
}

std::string StringValue(std::vector<char>& info, const std::string& name) {
  char* value = nullptr;
  UINT length = 0;
  const std::string path = "\\StringFileInfo\\040904E4\\" + name;
  if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return "(missing)";
  return value;
}

TEST(VersionResource, NamesTheExtensionItsVersionsAndUs) {
  std::vector<char> info = VersionInfo(ShellExtensionPath());
  ASSERT_FALSE(info.empty());

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010003u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00020000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);

  const std::pair<const char*, const char*> strings[] = {
      {"FileDescription", "Karvex Context Menu Shell Extension"},
      {"FileVersion", "1.3.0.0"},
      {"ProductVersion", "2.0"},
      {"Comments", "This is a Shell registered server DLL. Do not modify or rename this file."},
      {"CompanyName", "Karvex Project"},
      {"LegalCopyright", "Copyright (C) Karvex Project"},
      {"InternalName", "kvxshell"},
      {"OriginalFilename", "kvxshell.dll"},
  };
  for (const auto& [name, expected] : strings) EXPECT_EQ(StringValue(info, name), expected) << name;
}

}  // namespace
}  // namespace kvx::test
