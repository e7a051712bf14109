// Self-registration: the keys that make Explorer offer the handler for every file.
#include "shellext/identities.h"
#include "shellext/module.h"

namespace kvx::shell {

namespace {

constexpr char kDescription[] = "Karvex Context Menu Shell Extension";
constexpr char kClassKey[] = "CLSID\\" KVX_HANDLER_CLSID_TEXT;
constexpr char kServerKey[] = "CLSID\\" KVX_HANDLER_CLSID_TEXT "\\InprocServer32";
constexpr char kShellexKey[] = "*\\shellex";
constexpr char kHandlersKey[] = "*\\shellex\\ContextMenuHandlers";
constexpr char kHandlerKey[] = "*\\shellex\\ContextMenuHandlers\\KarvexShell";
constexpr char kExtensionsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions";
constexpr char kApprovedKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

// Query value, set value, create subkey, enumerate subkeys, notify and read control.
constexpr REGSAM kRegistrationAccess = 0x2001F;

struct TRegistryText {
  HKEY root;
  const char* key;
  const char* name;  // nullptr: the key's default value
  const char* data;
};

bool Write(const TRegistryText& value) {
  HKEY key = nullptr;
  char noClass[] = "";
  if (RegCreateKeyExA(value.root, value.key, 0, noClass, REG_OPTION_NON_VOLATILE, kRegistrationAccess, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const bool written = RegSetValueExA(key, value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.data),
                                      static_cast<DWORD>(lstrlenA(value.data) + 1)) == ERROR_SUCCESS;
  RegCloseKey(key);
  return written;
}

// The full path of this library; false when the system cannot give it whole.
bool ThisLibraryPath(char (&path)[MAX_PATH]) {
  const DWORD length = GetModuleFileNameA(ThisModule(), path, MAX_PATH);
  return length > 0 && length < MAX_PATH;
}

}  // namespace

}  // namespace kvx::shell

STDAPI DllUnregisterServer() {
  using namespace kvx::shell;
  // Children first; a key that other handlers still use keeps its subkeys and stays.
  for (const char* key : {kHandlerKey, kHandlersKey, kShellexKey, kServerKey, kClassKey}) {
    RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
  }
  return S_OK;
}

STDAPI DllRegisterServer() {
  using namespace kvx::shell;
  char libraryPath[MAX_PATH];
  if (!ThisLibraryPath(libraryPath)) return SELFREG_E_CLASS;
  const TRegistryText values[] = {
      {HKEY_CLASSES_ROOT, kClassKey, nullptr, kDescription},
      {HKEY_CLASSES_ROOT, kServerKey, nullptr, libraryPath},
      {HKEY_CLASSES_ROOT, kServerKey, "ThreadingModel", "Apartment"},
      {HKEY_CLASSES_ROOT, kShellexKey, nullptr, ""},
      {HKEY_CLASSES_ROOT, kHandlersKey, nullptr, ""},
      {HKEY_CLASSES_ROOT, kHandlerKey, nullptr, KVX_HANDLER_CLSID_TEXT},
      {HKEY_LOCAL_MACHINE, kExtensionsKey, nullptr, ""},
      {HKEY_LOCAL_MACHINE, kApprovedKey, KVX_HANDLER_CLSID_TEXT, kDescription},
  };
  for (const TRegistryText& value : values) {
    if (!Write(value)) {
      // Leave no half registration behind.
      DllUnregisterServer();
      return SELFREG_E_CLASS;
    }
  }
  return S_OK;
}
