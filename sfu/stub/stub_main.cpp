// The loader stub, the executable every SFU program is made of. It unpacks the SFU core from
// its RCDATA "ENG" into a "KSFU" temporary file, loads it, hands over to KarvexSFURun and
// deletes the file when the core returns. C-style on purpose: no exceptions and no C++
// library, so the stub stays a few kilobytes.
#include "common/os/win32.h"

#include <commctrl.h>

#include "sfu/shared/core_unpacker.h"

namespace {

// The core's entry: the program's path, its command line and its instance handle; the result
// becomes the exit code.
typedef int(WINAPI* SfuRunFn)(const char* programPath, const char* commandLine, HINSTANCE instance);

const char kErrorText[] = "Error loading Self-Uniting; see version information in order to contact the author.";
const char kErrorCaption[] = "Karvex Self-Uniting";

struct PackedCore {
  const uint8_t* bytes;
  DWORD size;
};

bool FindPackedCore(HINSTANCE instance, PackedCore& core) {
  HRSRC info = FindResourceW(instance, L"ENG", MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL loaded = info != nullptr ? LoadResource(instance, info) : nullptr;
  core.bytes = loaded != nullptr ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  core.size = info != nullptr ? SizeofResource(instance, info) : 0;
  return core.bytes != nullptr;
}

bool WriteToFile(void* context, const uint8_t* data, size_t size) {
  DWORD written = 0;
  return WriteFile(static_cast<HANDLE>(context), data, static_cast<DWORD>(size), &written, nullptr) &&
         written == size;
}

// The file is opened exclusively and closed before anyone loads it.
bool UnpackTo(const wchar_t* path, const PackedCore& core) {
  HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool unpacked = kvx::UnpackCore(core.bytes, core.size, WriteToFile, file);
  CloseHandle(file);
  return unpacked;
}

// Loads the core and calls its entry; false when it cannot be loaded or lacks the entry.
bool RunCore(const wchar_t* path, HINSTANCE instance, int& exitCode) {
  HMODULE library = LoadLibraryW(path);
  if (library == nullptr) return false;
  SfuRunFn run = reinterpret_cast<SfuRunFn>(reinterpret_cast<void*>(GetProcAddress(library, "KarvexSFURun")));
  if (run != nullptr) {
    char programPath[MAX_PATH + 1] = "";
    GetModuleFileNameA(nullptr, programPath, MAX_PATH);
    exitCode = run(programPath, GetCommandLineA(), instance);
  }
  FreeLibrary(library);
  return run != nullptr;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  InitCommonControls();
  int exitCode = 0;
  wchar_t folder[MAX_PATH + 1] = L"";
  wchar_t tempFile[MAX_PATH + 1] = L"";
  PackedCore core;
  bool started = FindPackedCore(instance, core);
  const DWORD folderLength = started ? GetTempPathW(MAX_PATH, folder) : 0;
  const bool haveTempFile =
      folderLength > 0 && folderLength < MAX_PATH && GetTempFileNameW(folder, L"KSFU", 0, tempFile) != 0;
  started = haveTempFile && UnpackTo(tempFile, core) && RunCore(tempFile, instance, exitCode);
  if (!started) MessageBoxA(GetActiveWindow(), kErrorText, kErrorCaption, MB_OK | MB_ICONERROR);
  if (haveTempFile) DeleteFileW(tempFile);
  return exitCode;
}
