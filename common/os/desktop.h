#pragma once
// What the main program asks of the user's desktop: its folders, starting a command line,
// sending a folder to the recycle bin, and the date in the user's own format. Kept apart from
// os.h so that programs that need none of it (the SFU program) do not carry it.
#include <string>

namespace kvx::os {

// The per-user application-data folder, without a trailing separator: %APPDATA% on Windows
// (the shell's folder when the variable is unset), $XDG_CONFIG_HOME or else ~/.config on other
// systems. Empty when the system names none.
std::string AppDataFolder();

// The folder a new job proposes as destination, with one trailing separator. Windows: the
// value "Personal" of HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders,
// else the root of the current drive; elsewhere the home folder, else "/".
std::string DocumentsFolder();

// The folder of the running program file, without a trailing separator.
std::string ProgramFolder();

// Starts a command line with its window shown, without waiting for it and without looking at
// its result (on POSIX through /bin/sh). False only when nothing could be started.
bool StartCommandLine(const std::string& commandLine);

// Deletes everything inside folder and then, when that worked, the folder itself. On Windows
// the shell does it with undo allowed, so the files go to the recycle bin, without its
// confirmation, progress or error dialogs; elsewhere they are deleted. True when the folder is
// gone.
bool RecycleFolder(const std::string& folder);

// Now, in the user's short date format and long time format, separated by a blank.
std::string DateTimeText();

}  // namespace kvx::os
