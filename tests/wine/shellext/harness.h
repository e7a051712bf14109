#pragma once
// What the shell extension tests share: the library, loaded once the way Explorer loads it, the
// stand-in program for Karvex, and small COM helpers.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/os/win32.h"

#include <shlobj.h>

namespace kvx::test {

struct TShellExtension {
  HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID rclsid, REFIID riid, void** ppv);
  HRESULT(STDAPICALLTYPE* canUnloadNow)();
  HRESULT(STDAPICALLTYPE* registerServer)();
  HRESULT(STDAPICALLTYPE* unregisterServer)();
};

// Set up by main from the command line.
const TShellExtension& ShellExtension();
const std::string& ShellExtensionPath();
const std::string& KarvexStandInPath();  // writes its command line to "<last argument>.cmdline"

// {B46C1E0F-F61D-4B19-BC55-B68D8BB3CAFE}, written out here rather than taken from the library.
inline constexpr GUID kHandlerClassId = {
    0xB46C1E0F, 0xF61D, 0x4B19, {0xBC, 0x55, 0xB6, 0x8D, 0x8B, 0xB3, 0xCA, 0xFE}};

struct TReleaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <class T>
using TComRef = std::unique_ptr<T, TReleaser>;

TComRef<IClassFactory> HandlerFactory();
// A new handler object asked for `riid`, as Explorer creates one.
template <class T>
TComRef<T> NewHandler(REFIID riid) {
  T* object = nullptr;
  EXPECT_EQ(HandlerFactory()->CreateInstance(nullptr, riid, reinterpret_cast<void**>(&object)), S_OK);
  return TComRef<T>(object);
}

// Every test ends with nothing of the library outstanding: no object, factory reference or lock.
class ShellExtensionTest : public testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(ShellExtension().canUnloadNow(), S_OK) << "the module count leaked"; }
};

}  // namespace kvx::test
