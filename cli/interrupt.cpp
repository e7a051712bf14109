#include "cli/interrupt.h"

#include <csignal>

namespace kvx::cli {

namespace {
volatile std::sig_atomic_t interrupted = 0;
void OnInterrupt(int) { interrupted = 1; }
}  // namespace

void CatchInterrupt() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // a question being typed goes on
  sigaction(SIGINT, &action, nullptr);
}

bool TakeInterrupt() {
  if (!interrupted) return false;
  interrupted = 0;
  return true;
}

}  // namespace kvx::cli
