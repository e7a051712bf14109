#pragma once
// What every SFU program is built from: the SFU core library and the loader stub that Karvex
// carries (as its RCDATA "CORE" and "LOAD" on Windows), and the default header picture
// ("SFUBMP": a 256-colour device-independent bitmap of 353 x 65 pixels without file header).
#include <cstdint>
#include <vector>

namespace kvx {

struct TSfuPayloads {
  std::vector<uint8_t> Core;
  std::vector<uint8_t> Stub;
  std::vector<uint8_t> DefaultHeaderBitmap;
};

// The payloads linked into this program by a payload library (karvex_sfu_payload_library in
// sfu/builder/CMakeLists.txt). An image the build could not find is empty.
const TSfuPayloads& EmbeddedSfuPayloads();

}  // namespace kvx
