// Win32 backend of the desktop queries.
#include "common/os/desktop.h"

#include "common/os/os.h"
#include "common/os/win32.h"
#include "common/paths.h"

#include <shellapi.h>
#include <shlobj.h>

#include <vector>

namespace kvx::os {

namespace {

std::string EnvironmentW(const wchar_t* name) {
  std::vector<wchar_t> value(32768);
  const DWORD n = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
  return n > 0 && n < value.size() ? win32::Narrow(std::wstring(value.data(), n)) : std::string();
}

std::string WithoutTrailingSeparator(std::string path) {
  while (path.size() > 3 && IsPathSeparator(path.back())) path.pop_back();
  return path;
}

// The string value of a registry key, empty when the key or the value is missing.
std::wstring RegistryText(HKEY root, const wchar_t* subKey, const wchar_t* name) {
  HKEY key;
  if (RegOpenKeyExW(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::wstring();
  std::vector<wchar_t> value(MAX_PATH * 4, L'\0');
  DWORD bytes = static_cast<DWORD>((value.size() - 1) * sizeof(wchar_t));
  DWORD type = 0;
  const LONG result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &bytes);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::wstring();
  return std::wstring(value.data());
}

// One shell deletion without any dialog; paths is a list ended by an empty string.
bool ShellDelete(const std::wstring& path) {
  std::wstring from = path;
  from.push_back(L'\0');  // the list of names ends with two NULs
  SHFILEOPSTRUCTW operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  return SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
}

}  // namespace

std::string AppDataFolder() {
  const std::string fromEnvironment = EnvironmentW(L"APPDATA");
  if (!fromEnvironment.empty()) return WithoutTrailingSeparator(fromEnvironment);
  wchar_t folder[MAX_PATH];
  if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, folder) != S_OK) return std::string();
  return WithoutTrailingSeparator(win32::Narrow(folder));
}

std::string DocumentsFolder() {
  const std::wstring personal = RegistryText(
      HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", L"Personal");
  if (!personal.empty()) return AddBackslash(win32::Narrow(personal));
  wchar_t current[MAX_PATH * 4];
  const DWORD n = GetCurrentDirectoryW(MAX_PATH * 4, current);
  const std::string folder = n > 0 && n < MAX_PATH * 4 ? win32::Narrow(current) : std::string("C:\\");
  return folder.size() >= 2 && folder[1] == ':' ? folder.substr(0, 2) + "\\" : AddBackslash(folder);
}

std::string ProgramFolder() {
  std::vector<wchar_t> path(32768);
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (n == 0 || n >= path.size()) return std::string();
  return ExtractFileDir(win32::Narrow(std::wstring(path.data(), n)));
}

bool StartCommandLine(const std::string& commandLine) {
  std::wstring command = win32::Widen(commandLine);
  command.push_back(L'\0');
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool RecycleFolder(const std::string& folder) {
  const std::wstring wide = win32::Widen(WithoutTrailingSeparator(folder));
  if (!ShellDelete(wide + L"\\*.*")) return false;
  return ShellDelete(wide);
}

std::string DateTimeText() {
  wchar_t date[128] = L"", time[128] = L"";
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 128);
  GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, 128);
  return win32::Narrow(date) + " " + win32::Narrow(time);
}

}  // namespace kvx::os
