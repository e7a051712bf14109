#include "sfu/builder/version_info.h"

#include <algorithm>

#include "common/byte_io.h"
#include "common/errors.h"
#include "sfu/builder/bounded_bytes.h"
#include "sfu/builder/utf16.h"

namespace kvx {

namespace {

constexpr uint64_t kNodeHeadSize = 6;

bool SameKey(const std::u16string& a, const std::string& b) {
  const std::u16string wide = Utf8ToUtf16(b);
  if (a.size() != wide.size()) return false;
  const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(wide[i])) return false;
  return true;
}

// Reads the node at `at` of b; its children are read inside it while they start before its end.
TVersionNode ReadNode(const TBoundedBytes& b, uint64_t at, int depth) {
  if (depth > 8) b.Fail("nodes nested too deeply");
  const uint16_t length = b.U16(at);
  if (length < kNodeHeadSize) b.Fail("a node is too short");
  const TBoundedBytes node(b.At(at, length), length, "The version information resource");
  TVersionNode n;
  n.ValueLength = node.U16(2);
  n.Type = node.U16(4);
  uint64_t pos = kNodeHeadSize;
  for (char16_t c; (c = static_cast<char16_t>(node.U16(pos))) != 0; pos += 2) n.Key += c;
  pos = std::min<uint64_t>(AlignUp(pos + 2, 4), length);
  const uint64_t valueBytes = std::min<uint64_t>(uint64_t{n.ValueLength} * (n.Type == 1 ? 2 : 1), length - pos);
  n.Value = node.Copy(pos, valueBytes);
  for (pos = AlignUp(pos + valueBytes, 4); pos < length; pos = AlignUp(pos + node.U16(pos), 4))
    n.Children.push_back(ReadNode(node, pos, depth + 1));
  return n;
}

void Pad4(std::vector<uint8_t>& out) { out.resize(AlignUp(out.size(), 4), 0); }

void WriteNode(const TVersionNode& n, std::vector<uint8_t>& out) {
  const size_t start = out.size();
  out.resize(start + kNodeHeadSize, 0);
  PutU16(&out[start + 2], n.ValueLength);
  PutU16(&out[start + 4], n.Type);
  for (char16_t c : n.Key + u'\0') {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  Pad4(out);
  out.insert(out.end(), n.Value.begin(), n.Value.end());
  for (const TVersionNode& child : n.Children) {
    Pad4(out);
    WriteNode(child, out);
  }
  if (out.size() - start > 0xFFFF) throw EKarvexError("The version information is too large");
  PutU16(&out[start], static_cast<uint16_t>(out.size() - start));
}

TVersionNode TextNode(const std::u16string& key, const std::string& value) {
  TVersionNode n;
  n.Key = key;
  n.Type = 1;
  const std::u16string text = Utf8ToUtf16(value) + u'\0';
  n.ValueLength = static_cast<uint16_t>(text.size());
  for (char16_t c : text) {
    n.Value.push_back(static_cast<uint8_t>(c));
    n.Value.push_back(static_cast<uint8_t>(c >> 8));
  }
  return n;
}

}  // namespace

TVersionInfo::TVersionInfo(const std::vector<uint8_t>& resource) {
  const TBoundedBytes b(resource, "The version information resource");
  root_ = ReadNode(b, 0, 0);
  if (root_.Key != u"VS_VERSION_INFO") b.Fail("the root is not VS_VERSION_INFO");
}

const TVersionNode* TVersionInfo::StringTable() const {
  for (const TVersionNode& child : root_.Children)
    if (child.Key == u"StringFileInfo" && !child.Children.empty()) return &child.Children.front();
  return nullptr;
}

TVersionNode* TVersionInfo::StringTable() {
  return const_cast<TVersionNode*>(static_cast<const TVersionInfo*>(this)->StringTable());
}

std::string TVersionInfo::GetString(const std::string& key) const {
  const TVersionNode* table = StringTable();
  if (table == nullptr) return std::string();
  for (const TVersionNode& s : table->Children) {
    if (!SameKey(s.Key, key)) continue;
    std::u16string text;
    for (size_t i = 0; i + 1 < s.Value.size(); i += 2) {
      const char16_t c = static_cast<char16_t>(GetU16(&s.Value[i]));
      if (c == 0) break;
      text += c;
    }
    return Utf16ToUtf8(text);
  }
  return std::string();
}

void TVersionInfo::SetString(const std::string& key, const std::string& value) {
  TVersionNode* table = StringTable();
  if (table == nullptr) throw EKarvexError("The version information resource has no string table");
  for (TVersionNode& s : table->Children) {
    if (SameKey(s.Key, key)) {
      s = TextNode(s.Key, value);
      return;
    }
  }
  table->Children.push_back(TextNode(Utf8ToUtf16(key), value));
}

std::vector<uint8_t> TVersionInfo::Serialize() const {
  std::vector<uint8_t> out;
  WriteNode(root_, out);
  return out;
}

}  // namespace kvx
