// POSIX backend of the desktop queries.
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

#include "common/os/desktop.h"
#include "common/paths.h"

namespace kvx::os {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (home.empty()) {
    if (const passwd* entry = getpwuid(getuid())) home = entry->pw_dir ? entry->pw_dir : "";
  }
  return home;
}

std::string WithoutTrailingSeparator(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

std::string AppDataFolder() {
  // An XDG base directory given as a relative path is to be ignored.
  const std::string config = Environment("XDG_CONFIG_HOME");
  if (!config.empty() && config[0] == '/') return WithoutTrailingSeparator(config);
  const std::string home = HomeFolder();
  return home.empty() ? std::string() : AddBackslash(home) + ".config";
}

std::string DocumentsFolder() {
  const std::string home = HomeFolder();
  return home.empty() ? std::string("/") : AddBackslash(home);
}

std::string ProgramFolder() {
  std::vector<char> buffer(4096);
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return std::string();
  return ExtractFileDir(std::string(buffer.data(), static_cast<size_t>(n)));
}

bool StartCommandLine(const std::string& commandLine) {
  // Two forks, so that the command belongs to no one here and leaves no zombie behind.
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    setsid();
    if (fork() == 0) {
      execl("/bin/sh", "sh", "-c", commandLine.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return true;
}

bool RecycleFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(fs::u8path(folder), error)) {
    fs::remove_all(entry.path(), error);
    if (error) return false;
  }
  if (error) return false;
  return fs::remove(fs::u8path(folder), error) && !error;
}

std::string DateTimeText() {
  const time_t now = time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  char text[128];
  const size_t n = strftime(text, sizeof text, "%x %X", &local);
  return std::string(text, n);
}

}  // namespace kvx::os
