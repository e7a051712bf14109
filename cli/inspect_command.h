#pragma once

namespace kvx::cli {

// karvex inspect FILE: the record's property lines, one per line; 1 when FILE is not a piece.
int RunInspect(int argc, char** argv);

}  // namespace kvx::cli
