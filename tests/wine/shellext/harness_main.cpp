// shellext_harness KVXSHELL.DLL KARVEX-STAND-IN.EXE: the shell extension's tests under Wine.
#include <cstdio>

#include "harness.h"

namespace kvx::test {

namespace {
TShellExtension gShellExtension;
std::string gShellExtensionPath;
std::string gKarvexStandInPath;

bool Load(const char* path) {
  HMODULE module = LoadLibraryA(path);
  if (!module) return false;
  auto entry = [module](const char* name) { return GetProcAddress(module, name); };
  gShellExtension.getClassObject = reinterpret_cast<decltype(gShellExtension.getClassObject)>(
      reinterpret_cast<void*>(entry("DllGetClassObject")));
  gShellExtension.canUnloadNow = reinterpret_cast<decltype(gShellExtension.canUnloadNow)>(
      reinterpret_cast<void*>(entry("DllCanUnloadNow")));
  gShellExtension.registerServer = reinterpret_cast<decltype(gShellExtension.registerServer)>(
      reinterpret_cast<void*>(entry("DllRegisterServer")));
  gShellExtension.unregisterServer = reinterpret_cast<decltype(gShellExtension.unregisterServer)>(
      reinterpret_cast<void*>(entry("DllUnregisterServer")));
  return gShellExtension.getClassObject && gShellExtension.canUnloadNow && gShellExtension.registerServer &&
         gShellExtension.unregisterServer;
}
}  // namespace

const TShellExtension& ShellExtension() { return gShellExtension; }
const std::string& ShellExtensionPath() { return gShellExtensionPath; }
const std::string& KarvexStandInPath() { return gKarvexStandInPath; }

TComRef<IClassFactory> HandlerFactory() {
  IClassFactory* factory = nullptr;
  EXPECT_EQ(gShellExtension.getClassObject(kHandlerClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
            S_OK);
  return TComRef<IClassFactory>(factory);
}

}  // namespace kvx::test

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: shellext_harness KVXSHELL.DLL KARVEX-STAND-IN.EXE\n");
    return 2;
  }
  kvx::test::gShellExtensionPath = argv[1];
  kvx::test::gKarvexStandInPath = argv[2];
  if (!kvx::test::Load(argv[1])) {
    std::fprintf(stderr, "cannot load %s with its four exports (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  return RUN_ALL_TESTS();
}
