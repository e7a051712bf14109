// The edited image as Windows sees it: resources found by type and name, version strings read
// by the system, the icon loaded.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/os/win32.h"
#include "pe_test_support.h"
#include "sfu/builder/resource_editor.h"
#include "sfu/builder/version_info.h"
#include "support/temp_dir.h"
#include "test_images.h"

namespace kvx {
namespace {

using Bytes = std::vector<uint8_t>;

struct ModuleCloser {
  void operator()(HMODULE m) const { FreeLibrary(m); }
};

std::wstring VersionString(const std::wstring& path, const wchar_t* key) {
  DWORD ignored = 0;
  std::vector<uint8_t> block(GetFileVersionInfoSizeW(path.c_str(), &ignored));
  if (block.empty() || !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data())) return L"?";
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring query = std::wstring(L"\\StringFileInfo\\000004b0\\") + key;
  if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) return L"?";
  return std::wstring(value);
}

TEST(EditedImageOnWindows, SystemFindsResourcesVersionStringsAndIcon) {
  TResourceEditor editor(test::TestImage("stub"));
  const Bytes core = test::PatternBytes(300000);
  editor.ReplaceData(*editor.FindFirst(rtRcData, "ENG"), core);
  const std::pair<const char*, Bytes> added[] = {
      {"sfx", Bytes(1972, 3)}, {"WEL", Bytes{'h', 'i'}}, {"bmp", Bytes(4000, 9)}, {"LNG", Bytes{'a', '\r', '\n'}}};
  for (const auto& [name, bytes] : added) editor.AddRcData(name, bytes);
  const TResource version = *editor.FindFirstOfType(rtVersion);
  TVersionInfo info(version.Data);
  info.SetString("FileDescription", "Karvex Self-Uniting for report.pdf");
  info.SetString("Comments", "Quarterly figures");
  editor.ReplaceData(version, info.Serialize());
  const TResource group = *editor.FindFirstOfType(rtGroupIcon);
  editor.Delete(group);
  editor.AddGroupIcon(group.Name, 0, test::MakeIcoFile({16, 32}, 0xC00000));

  test::TempDir dir;
  const std::string path = dir / "edited.exe";
  test::WriteAll(path, editor.Save());
  const std::wstring widePath = win32::Widen(path);

  HMODULE module = LoadLibraryExW(widePath.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr) << GetLastError();
  std::unique_ptr<HINSTANCE__, ModuleCloser> closer(module);
  const auto expectResource = [&](const std::string& name, const Bytes& expected) {
    HRSRC info = FindResourceW(module, win32::Widen(name).c_str(), MAKEINTRESOURCEW(10));
    ASSERT_NE(info, nullptr) << name;
    ASSERT_EQ(SizeofResource(module, info), expected.size()) << name;
    const uint8_t* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, info)));
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes)) << name;
  };
  expectResource("ENG", core);
  for (const auto& [name, bytes] : added) expectResource(name, bytes);  // names looked up without case
  HANDLE icon = LoadImageW(module, L"MAINICON", IMAGE_ICON, 32, 32, 0);
  EXPECT_NE(icon, nullptr) << GetLastError();
  if (icon != nullptr) DestroyIcon(static_cast<HICON>(icon));

  EXPECT_EQ(VersionString(widePath, L"FileDescription"), L"Karvex Self-Uniting for report.pdf");
  EXPECT_EQ(VersionString(widePath, L"Comments"), L"Quarterly figures");
  EXPECT_EQ(VersionString(widePath, L"ProductVersion"), L"2, 0, 0, 0");
}

}  // namespace
}  // namespace kvx
