#pragma once

namespace kvx::cli {

// `karvex split`: exit status 0 when every piece was written, 1 on any failure.
int RunSplit(int argc, char** argv);

}  // namespace kvx::cli
