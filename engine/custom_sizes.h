#pragma once
// Listed piece sizes: the size of piece n from the list, the last listed piece taking all
// that is left whatever its listed size.
#include <cstdint>
#include <string>
#include <vector>

namespace kvx {

// n counts from 1. While n is below the number of listed sizes, line n is the size (the size
// handed in is kept when the line is not a number), cut to what remains; from the last line
// on, the size is remaining + 10000 so that the engine cuts it to what remains.
int64_t ListedPieceSize(const std::vector<std::string>& sizes, int n, int64_t remaining, int64_t sizeIn);

}  // namespace kvx
