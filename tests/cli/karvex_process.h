#pragma once
// karvex run as a user runs it, for the console tests: its exit status and everything it
// printed (standard output and error together), with no terminal on standard input.
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace kvx::test {

struct CliResult {
  int status;
  std::string output;
};

// Runs "<prefix> karvex <arguments>" through the shell; KARVEX_CLI_PATH names the program.
inline CliResult Karvex(const std::string& arguments, const std::string& prefix = "") {
  const std::string command = prefix + " '" KARVEX_CLI_PATH "' " + arguments + " </dev/null 2>&1";
  CliResult run{-1, ""};
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  const int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  return run;
}

}  // namespace kvx::test
