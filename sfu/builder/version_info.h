#pragma once
// TVersionInfo: the bytes of a version resource (VS_VERSIONINFO) as a tree of nodes, with the
// strings of its first string table readable and changeable. Node layout: u16 length (node and
// children, without trailing padding) | u16 value length (in UTF-16 units for text values, in
// bytes otherwise) | u16 type (1 text, 0 binary) | key (UTF-16, NUL) | pad to 4 | value |
// pad to 4 | children, each starting at a multiple of 4. Nodes the editor does not change are
// written back as they were read.
#include <cstdint>
#include <string>
#include <vector>

namespace kvx {

struct TVersionNode {
  std::u16string Key;
  uint16_t Type = 0;
  uint16_t ValueLength = 0;
  std::vector<uint8_t> Value;
  std::vector<TVersionNode> Children;
};

class TVersionInfo {
 public:
  // Raises EKarvexError when the bytes are not a sound version resource.
  explicit TVersionInfo(const std::vector<uint8_t>& resource);

  // The value of a key of the first string table ("" when it is missing). Keys are compared
  // without regard to ASCII case, as the system looks them up.
  std::string GetString(const std::string& key) const;
  // Sets the value of an existing key, or adds the key at the end of the first string table.
  // Raises when the resource has no string table.
  void SetString(const std::string& key, const std::string& value);

  std::vector<uint8_t> Serialize() const;

 private:
  const TVersionNode* StringTable() const;
  TVersionNode* StringTable();

  TVersionNode root_;
};

}  // namespace kvx
