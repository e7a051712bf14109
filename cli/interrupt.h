#pragma once
// Ctrl+C during a long run: the signal only raises a flag; the run's loop asks the question.
namespace kvx::cli {

void CatchInterrupt();
// True once after each Ctrl+C.
bool TakeInterrupt();

}  // namespace kvx::cli
