#include "shellext/karvex_launch.h"

#include "shellext/heap_text.h"

namespace kvx::shell {

namespace {

constexpr char kKarvexKey[] = "SOFTWARE\\Karvex";
constexpr char kPathValue[] = "Path";
constexpr char kNotFound[] = "Karvex was not found on this computer. Please reinstall it.";

// The "Path" text of the open key: empty when the value is missing or not a text. Returns false
// only when memory runs out.
bool ReadProgramPath(HKEY key, THeapText& path) {
  DWORD type = 0;
  DWORD size = 0;
  const bool isText =
      RegQueryValueExA(key, kPathValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ;
  // One more zero than asked for: a stored text need not end with its own.
  path.Reset(AllocText(isText ? size : 0));
  if (!path.Get()) return false;
  if (isText && RegQueryValueExA(key, kPathValue, nullptr, &type, reinterpret_cast<BYTE*>(path.Get()), &size) !=
                    ERROR_SUCCESS) {
    path.Get()[0] = '\0';
  }
  return true;
}

bool IsFile(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// "\"%s\" \"%s\"": both paths quoted even without blanks, so Karvex reads one argument each.
char* CommandLine(const char* program, const char* fileName) {
  char* line = AllocText(lstrlenA(program) + lstrlenA(fileName) + 5);
  if (!line) return nullptr;
  lstrcpyA(line, "\"");
  lstrcatA(line, program);
  lstrcatA(line, "\" \"");
  lstrcatA(line, fileName);
  lstrcatA(line, "\"");
  return line;
}

void Start(char* commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION process = {};
  if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

}  // namespace

bool StartKarvex(const char* fileName, TErrorText& error) {
  HKEY key = nullptr;
  // The registry calls return their error instead of setting the thread's last error.
  const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKarvexKey, 0, KEY_READ, &key);
  if (opened != ERROR_SUCCESS) {
    SetSystemErrorText(error, static_cast<DWORD>(opened));
    return false;
  }
  THeapText program;
  const bool read = ReadProgramPath(key, program);
  RegCloseKey(key);
  if (!read) {
    SetSystemErrorText(error, ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  if (!IsFile(program.Get())) {
    SetErrorText(error, kNotFound);
    return false;
  }
  THeapText commandLine(CommandLine(program.Get(), fileName));
  if (!commandLine.Get()) {
    SetSystemErrorText(error, ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  Start(commandLine.Get());
  return true;
}

}  // namespace kvx::shell
