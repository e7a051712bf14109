#pragma once
// Helpers of the SFU tests: the stubs this build carries, icon files, checks of the layout rules
// the Windows loader holds an image to, error texts and unpacking.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kvx::test {

// Names of the loader stub images of this build ("stub", and "stub32" on the host).
std::vector<std::string> StubImageNames();
// A sound ".ico" file with one 32-bit image per size, each filled with its colour (0xRRGGBB).
std::vector<uint8_t> MakeIcoFile(const std::vector<int>& sizes, uint32_t colour);
// Adds a failure for every layout rule the image breaks: sections adjacent and aligned, raw
// data inside the file and aligned, SizeOfImage covering the sections, the resource directory
// at the start of its section, the base relocations at the start of theirs, checksum 0.
void ExpectSoundLayout(const std::vector<uint8_t>& image);

// The message of the EKarvexError that action raises, or "no error".
std::string ErrorOf(const std::function<void()>& action);
// Unpacks a packed core as the loader stub does; false when the stub would refuse it.
bool UnpackToMemory(const std::vector<uint8_t>& packed, std::vector<uint8_t>& image);

}  // namespace kvx::test
