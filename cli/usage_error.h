#pragma once
#include <stdexcept>

namespace kvx::cli {

// A command line that cannot be understood: exit status 2 with the message and a hint.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace kvx::cli
