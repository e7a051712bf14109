#pragma once
// The resources of an executable image as a flat model, and the resource directory tree
// (type -> name -> language) read from and written to the bytes of a resource section.
//
// Written trees follow what the Windows loader searches: named entries first, sorted by their
// UTF-16 code units, then numeric ids in ascending order, at every level; names are stored as
// given (the editor upper-cases the names it creates, as FindResource looks them up upper-cased).
// Layout: all directories, then the data entries, the name strings and the data, each 4- or
// 8-aligned.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kvx {

// Resource types the builder uses.
enum TResourceType : uint16_t {
  rtIcon = 3,
  rtRcData = 10,
  rtGroupIcon = 14,
  rtVersion = 16,
  rtManifest = 24,
};

// A resource type or name: a numeric id, or a text.
struct TResId {
  uint16_t Id = 0;
  std::u16string Name;  // empty for a numeric id

  static TResId Number(uint16_t id);
  // The ASCII letters of a UTF-8 name upper-cased.
  static TResId Text(const std::string& name);
  bool IsName() const { return !Name.empty(); }
  // "ENG", or "#10" for a number.
  std::string ToString() const;
  bool operator==(const TResId& other) const { return Id == other.Id && Name == other.Name; }
  bool operator!=(const TResId& other) const { return !(*this == other); }
  // The tree's order: names (by code units) before numbers (ascending).
  bool operator<(const TResId& other) const;
};

struct TResource {
  TResId Type;
  TResId Name;
  uint16_t Language = 0;
  uint32_t CodePage = 0;
  std::vector<uint8_t> Data;

  bool SameKey(const TResource& other) const {
    return Type == other.Type && Name == other.Name && Language == other.Language;
  }
};

// Reads the tree at the start of `section` (the resource section's bytes). readRva returns the
// bytes of a data entry, wherever in the image it lies. The resources' bytes together may not
// exceed dataBudget (the image's size). Raises EKarvexError when the tree is damaged.
using RvaReader = std::function<std::vector<uint8_t>(uint32_t rva, uint32_t size)>;
std::vector<TResource> ReadResourceTree(const std::vector<uint8_t>& section, const RvaReader& readRva,
                                        uint64_t dataBudget);

// The bytes of a resource section holding `resources`, to be loaded at sectionRva.
std::vector<uint8_t> WriteResourceTree(std::vector<TResource> resources, uint32_t sectionRva);

}  // namespace kvx
