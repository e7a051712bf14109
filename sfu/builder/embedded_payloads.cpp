#include "embedded/sfu_core.h"
#include "embedded/sfu_header_bitmap.h"
#include "embedded/sfu_stub.h"
#include "sfu/builder/sfu_payloads.h"

namespace kvx {

const TSfuPayloads& EmbeddedSfuPayloads() {
  static const TSfuPayloads payloads{
      std::vector<uint8_t>(embedded::sfu_core, embedded::sfu_core + embedded::sfu_core_size),
      std::vector<uint8_t>(embedded::sfu_stub, embedded::sfu_stub + embedded::sfu_stub_size),
      std::vector<uint8_t>(embedded::sfu_header_bitmap, embedded::sfu_header_bitmap + embedded::sfu_header_bitmap_size),
  };
  return payloads;
}

}  // namespace kvx
