#pragma once

namespace kvx::cli {

// `karvex batch FILE.txt`: applies a batch text file to a new job and splits every file it
// names, one after another, into one summary. Exit status 0 when every split succeeded, 1 on
// any failure, 2 on a usage error.
int RunBatch(int argc, char** argv);

}  // namespace kvx::cli
