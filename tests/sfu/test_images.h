#pragma once
// Executable images built in this tree that the SFU tests edit and run, by name:
//   "stub"            the loader stub of the Windows test build (x86-64, PE32+)
//   "stub32"          the shipped 32-bit loader stub (PE32); host builds only
//   "stub_no_eng"     a loader stub without its RCDATA "ENG"
//   "stub_no_version" a loader stub without its version resource
//   "test_core"       a stand-in SFU core (test_core.cpp) with a version resource
#include <cstdint>
#include <string>
#include <vector>

namespace kvx::test {

// The image's bytes; empty when this build has no such image.
std::vector<uint8_t> TestImage(const std::string& name);

}  // namespace kvx::test
