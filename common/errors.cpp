#include "common/errors.h"

#include "common/os/os.h"
#include "common/text.h"

namespace kvx {

namespace {
std::string OSErrorMessage(uint32_t code) {
  if (code == 0) return "A call to an OS function failed";
  return Format("System Error.  Code: %d.\r\n%s", static_cast<int>(code),
                os::SystemErrorText(code).c_str());
}
}  // namespace

EOSError::EOSError(uint32_t code) : EKarvexError(OSErrorMessage(code)), code_(code) {}

}  // namespace kvx
