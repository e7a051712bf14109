#include "sfu/builder/resource_tree.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "common/byte_io.h"
#include "common/errors.h"
#include "sfu/builder/bounded_bytes.h"
#include "sfu/builder/utf16.h"

namespace kvx {

TResId TResId::Number(uint16_t id) { return TResId{id, {}}; }

TResId TResId::Text(const std::string& name) {
  std::u16string upper = Utf8ToUtf16(name);
  for (char16_t& c : upper)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return TResId{0, upper};
}

std::string TResId::ToString() const { return IsName() ? Utf16ToUtf8(Name) : "#" + std::to_string(Id); }

bool TResId::operator<(const TResId& other) const {
  if (IsName() != other.IsName()) return IsName();
  return IsName() ? Name < other.Name : Id < other.Id;
}

namespace {

constexpr uint32_t kHighBit = 0x80000000;
constexpr size_t kDirectorySize = 16;
constexpr size_t kEntrySize = 8;
constexpr size_t kDataEntrySize = 16;

class TreeReader {
 public:
  TreeReader(const std::vector<uint8_t>& section, const RvaReader& readRva, uint64_t dataBudget)
      : bytes_(section, "The resource directory"), readRva_(readRva), dataBudget_(dataBudget) {}

  std::vector<TResource> Read() {
    ForEachEntry(0, [&](uint32_t typeField, uint32_t typeOffset) {
      const TResId type = ReadId(typeField);
      ForEachEntry(SubDirectory(typeOffset), [&](uint32_t nameField, uint32_t nameOffset) {
        const TResId name = ReadId(nameField);
        ForEachEntry(SubDirectory(nameOffset), [&](uint32_t languageField, uint32_t dataOffset) {
          if ((languageField | dataOffset) & kHighBit) bytes_.Fail("a language entry is not a data entry");
          ReadData(type, name, static_cast<uint16_t>(languageField), dataOffset);
        });
      });
    });
    return std::move(resources_);
  }

 private:
  template <class Visit>
  void ForEachEntry(uint32_t at, Visit visit) {
    const uint64_t count = uint64_t{bytes_.U16(uint64_t{at} + 12)} + bytes_.U16(uint64_t{at} + 14);
    bytes_.Require(uint64_t{at} + kDirectorySize, count * kEntrySize);
    // A sound tree visits each of its entries once; a crafted one whose directories share
    // their entries would otherwise be walked billions of times.
    visited_ += count;
    if (visited_ * kEntrySize > bytes_.Size()) bytes_.Fail("too many entries");
    for (uint64_t i = 0; i < count; ++i) {
      const uint64_t entry = uint64_t{at} + kDirectorySize + i * kEntrySize;
      visit(bytes_.U32(entry), bytes_.U32(entry + 4));
    }
  }

  uint32_t SubDirectory(uint32_t offsetField) {
    if (!(offsetField & kHighBit)) bytes_.Fail("a type or name entry is not a directory");
    return offsetField & ~kHighBit;
  }

  TResId ReadId(uint32_t field) {
    if (!(field & kHighBit)) return TResId::Number(static_cast<uint16_t>(field));
    const uint64_t at = field & ~kHighBit;
    const uint16_t length = bytes_.U16(at);
    const uint8_t* units = bytes_.At(at + 2, uint64_t{length} * 2);
    TResId id;
    for (uint16_t i = 0; i < length; ++i) id.Name += static_cast<char16_t>(GetU16(units + 2 * i));
    if (id.Name.empty()) bytes_.Fail("a resource name is empty");
    return id;
  }

  void ReadData(const TResId& type, const TResId& name, uint16_t language, uint32_t at) {
    TResource r;
    r.Type = type;
    r.Name = name;
    r.Language = language;
    const uint32_t rva = bytes_.U32(at);
    const uint32_t size = bytes_.U32(uint64_t{at} + 4);
    r.CodePage = bytes_.U32(uint64_t{at} + 8);
    // Each resource has bytes of its own: more than the image holds means shared data.
    if (size > dataBudget_) bytes_.Fail("the resources are larger than the image");
    dataBudget_ -= size;
    r.Data = readRva_(rva, size);
    resources_.push_back(std::move(r));
  }

  TBoundedBytes bytes_;
  const RvaReader& readRva_;
  uint64_t dataBudget_;
  uint64_t visited_ = 0;
  std::vector<TResource> resources_;
};

// The tree's shape: types, their names, and the resources of each name, all in tree order.
struct NameNode {
  TResId Name;
  std::vector<const TResource*> Languages;
};
struct TypeNode {
  TResId Type;
  std::vector<NameNode> Names;
};

std::vector<TypeNode> Shape(const std::vector<TResource>& sorted) {
  std::vector<TypeNode> types;
  for (const TResource& r : sorted) {
    if (types.empty() || types.back().Type != r.Type) types.push_back({r.Type, {}});
    auto& names = types.back().Names;
    if (names.empty() || names.back().Name != r.Name) names.push_back({r.Name, {}});
    if (!names.back().Languages.empty() && names.back().Languages.back()->Language == r.Language)
      throw EKarvexError("Two resources have the same type, name and language: " + r.Type.ToString() + "/" +
                         r.Name.ToString());
    names.back().Languages.push_back(&r);
  }
  return types;
}

class TreeWriter {
 public:
  TreeWriter(const std::vector<TypeNode>& types, uint32_t sectionRva) : types_(types), sectionRva_(sectionRva) {}

  std::vector<uint8_t> Write() {
    Plan();
    out_.assign(end_, 0);
    uint32_t nameDir = firstNameDir_, languageDir = firstLanguageDir_, dataEntry = firstDataEntry_;
    PutDirectory(0, types_.size(), CountNamed(types_, [](const TypeNode& t) { return t.Type; }));
    for (size_t t = 0; t < types_.size(); ++t) {
      const TypeNode& type = types_[t];
      PutEntry(0, t, IdField(type.Type), kHighBit | nameDir);
      PutDirectory(nameDir, type.Names.size(), CountNamed(type.Names, [](const NameNode& n) { return n.Name; }));
      for (size_t n = 0; n < type.Names.size(); ++n) {
        const NameNode& name = type.Names[n];
        PutEntry(nameDir, n, IdField(name.Name), kHighBit | languageDir);
        PutDirectory(languageDir, name.Languages.size(), 0);
        for (size_t l = 0; l < name.Languages.size(); ++l) {
          PutEntry(languageDir, l, name.Languages[l]->Language, dataEntry);
          PutData(dataEntry, *name.Languages[l]);
          dataEntry += kDataEntrySize;
        }
        languageDir += static_cast<uint32_t>(kDirectorySize + kEntrySize * name.Languages.size());
      }
      nameDir += static_cast<uint32_t>(kDirectorySize + kEntrySize * type.Names.size());
    }
    return std::move(out_);
  }

 private:
  template <class Node, class IdOf>
  static size_t CountNamed(const std::vector<Node>& nodes, IdOf idOf) {
    return static_cast<size_t>(std::count_if(nodes.begin(), nodes.end(), [&](const Node& n) { return idOf(n).IsName(); }));
  }

  // Offsets of every part; names and data are placed as they are first met.
  void Plan() {
    size_t at = kDirectorySize + kEntrySize * types_.size();
    firstNameDir_ = static_cast<uint32_t>(at);
    for (const TypeNode& type : types_) at += kDirectorySize + kEntrySize * type.Names.size();
    firstLanguageDir_ = static_cast<uint32_t>(at);
    size_t resources = 0;
    for (const TypeNode& type : types_)
      for (const NameNode& name : type.Names) {
        at += kDirectorySize + kEntrySize * name.Languages.size();
        resources += name.Languages.size();
      }
    firstDataEntry_ = static_cast<uint32_t>(at);
    at += kDataEntrySize * resources;
    for (const TypeNode& type : types_) {
      PlaceName(type.Type, at);
      for (const NameNode& name : type.Names) PlaceName(name.Name, at);
    }
    at = AlignUp(at, 8);
    for (const TypeNode& type : types_)
      for (const NameNode& name : type.Names)
        for (const TResource* r : name.Languages) {
          dataOffsets_[r] = static_cast<uint32_t>(at);
          at = AlignUp(at + r->Data.size(), 8);
          if (at > 0x7FFFFFFF) throw EKarvexError("The resources are too large for an executable image");
        }
    end_ = at;
  }

  void PlaceName(const TResId& id, size_t& at) {
    if (!id.IsName() || nameOffsets_.count(id.Name)) return;
    nameOffsets_[id.Name] = static_cast<uint32_t>(at);
    at = AlignUp(at + 2 + 2 * id.Name.size(), 2);
  }

  uint32_t IdField(const TResId& id) {
    if (!id.IsName()) return id.Id;
    const uint32_t at = nameOffsets_.at(id.Name);
    PutU16(&out_[at], static_cast<uint16_t>(id.Name.size()));
    for (size_t i = 0; i < id.Name.size(); ++i) PutU16(&out_[at + 2 + 2 * i], id.Name[i]);
    return kHighBit | at;
  }

  void PutDirectory(uint32_t at, size_t entries, size_t named) {
    PutU16(&out_[at + 8], 4);  // major version, as the system's own writer sets it
    PutU16(&out_[at + 12], static_cast<uint16_t>(named));
    PutU16(&out_[at + 14], static_cast<uint16_t>(entries - named));
  }

  void PutEntry(uint32_t directory, size_t index, uint32_t nameField, uint32_t offsetField) {
    uint8_t* entry = &out_[directory + kDirectorySize + kEntrySize * index];
    PutU32(entry, nameField);
    PutU32(entry + 4, offsetField);
  }

  void PutData(uint32_t entryAt, const TResource& r) {
    const uint32_t at = dataOffsets_.at(&r);
    PutU32(&out_[entryAt], sectionRva_ + at);
    PutU32(&out_[entryAt + 4], static_cast<uint32_t>(r.Data.size()));
    PutU32(&out_[entryAt + 8], r.CodePage);
    std::copy(r.Data.begin(), r.Data.end(), out_.begin() + at);
  }

  const std::vector<TypeNode>& types_;
  uint32_t sectionRva_;
  uint32_t firstNameDir_ = 0, firstLanguageDir_ = 0, firstDataEntry_ = 0;
  size_t end_ = 0;
  std::map<std::u16string, uint32_t> nameOffsets_;
  std::map<const TResource*, uint32_t> dataOffsets_;
  std::vector<uint8_t> out_;
};

}  // namespace

std::vector<TResource> ReadResourceTree(const std::vector<uint8_t>& section, const RvaReader& readRva,
                                        uint64_t dataBudget) {
  return TreeReader(section, readRva, dataBudget).Read();
}

std::vector<uint8_t> WriteResourceTree(std::vector<TResource> resources, uint32_t sectionRva) {
  std::stable_sort(resources.begin(), resources.end(), [](const TResource& a, const TResource& b) {
    return std::tie(a.Type, a.Name, a.Language) < std::tie(b.Type, b.Name, b.Language);
  });
  return TreeWriter(Shape(resources), sectionRva).Write();
}

}  // namespace kvx
