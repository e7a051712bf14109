#pragma once

namespace kvx::cli {

// karvex unite FIRST_PIECE [-o OUTPUT] [--force]: 0 only when the restored file is identical
// to the original by size and CRC.
int RunUnite(int argc, char** argv);
// karvex verify FIRST_PIECE: the same walk without writing; 0 only when the set is intact.
int RunVerify(int argc, char** argv);

}  // namespace kvx::cli
