#include "app/model/settings_document.h"

#include <algorithm>

#include "app/model/extended_float.h"
#include "app/model/settings_xml.h"
#include "app/model/text_file.h"
#include "common/errors.h"
#include "common/text.h"

namespace kvx {

namespace {

std::vector<std::string> KeyParts(const std::string& key) {
  std::vector<std::string> parts;
  for (const std::string& part : SplitText(key, '\\'))
    if (!part.empty()) parts.push_back(part);
  return parts;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

bool ParseSettingsBool(const std::string& text, bool& value) {
  const std::string upper = UpperCaseAscii(text);
  if (upper == "TRUE" || upper == "YES" || upper == "Y") {
    value = true;
    return true;
  }
  if (upper == "FALSE" || upper == "NO" || upper == "N") {
    value = false;
    return true;
  }
  const auto number = ParseInt64(text);
  if (!number) return false;
  value = *number != 0;
  return true;
}

std::string ExtendedHex(double value) {
  std::string text;
  for (uint8_t byte : DoubleToExtended(value)) text += Format("%02X", byte);
  return text;
}

bool ParseExtendedHex(const std::string& text, double& value) {
  TExtended bytes;
  if (text.size() != bytes.size() * 2) return false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const int high = HexDigit(text[2 * i]);
    const int low = HexDigit(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i] = static_cast<uint8_t>(high * 16 + low);
  }
  value = ExtendedToDouble(bytes);
  return true;
}

TSettingsDocument::TSettingsDocument(std::string rootName) { root_.Name = std::move(rootName); }

void TSettingsDocument::Open(const std::string& path) { Parse(ReadWholeFile(path), path); }

void TSettingsDocument::Parse(const std::string& bytes, const std::string& source) {
  TSettingsElement parsed;
  try {
    parsed = ParseSettingsXml(bytes);
  } catch (const EKarvexError& e) {
    throw EKarvexError(Format("\"%s\" is not a valid settings document: %s.", source.c_str(), e.what()));
  }
  root_.Value.clear();
  root_.Children = std::move(parsed.Children);
}

std::string TSettingsDocument::Text() const { return WriteSettingsXml(root_); }

void TSettingsDocument::Save(const std::string& path) const { ReplaceWholeFile(path, Text()); }

const TSettingsElement* TSettingsDocument::Find(const std::string& key) const {
  const TSettingsElement* e = &root_;
  for (const std::string& part : KeyParts(key)) {
    e = e->Find(part);
    if (!e) return nullptr;
  }
  return e == &root_ ? nullptr : e;
}

TSettingsElement& TSettingsDocument::FindOrCreate(const std::string& key) {
  TSettingsElement* e = &root_;
  for (const std::string& part : KeyParts(key)) {
    TSettingsElement* child = e->Find(part);
    e = child ? child : &e->Add(part);
  }
  return *e;
}

void TSettingsDocument::WriteString(const std::string& key, const std::string& value) {
  TSettingsElement& e = FindOrCreate(key);
  e.Children.clear();
  e.Value = value;
}

void TSettingsDocument::WriteInteger(const std::string& key, int64_t value) {
  WriteString(key, std::to_string(value));
}

void TSettingsDocument::WriteBool(const std::string& key, bool value) { WriteString(key, value ? "TRUE" : "FALSE"); }

void TSettingsDocument::WriteFloat(const std::string& key, double value) { WriteString(key, ExtendedHex(value)); }

void TSettingsDocument::WriteLines(const std::string& key, const std::vector<std::string>& lines) {
  Remove(key);
  TSettingsElement& list = FindOrCreate(key);
  list.Add("Count").Value = std::to_string(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) list.Add("Item" + std::to_string(i)).Value = lines[i];
}

bool TSettingsDocument::ReadString(const std::string& key, std::string& value) const {
  const TSettingsElement* e = Find(key);
  if (!e) return false;
  value = e->Value;
  return true;
}

bool TSettingsDocument::ReadInteger(const std::string& key, int64_t& value) const {
  std::string text;
  if (!ReadString(key, text)) return false;
  const auto number = ParseInt64(text);
  if (!number) return false;
  value = *number;
  return true;
}

bool TSettingsDocument::ReadInteger(const std::string& key, int& value) const {
  int64_t wide = 0;
  if (!ReadInteger(key, wide) || wide < INT32_MIN || wide > INT32_MAX) return false;
  value = static_cast<int>(wide);
  return true;
}

bool TSettingsDocument::ReadBool(const std::string& key, bool& value) const {
  std::string text;
  return ReadString(key, text) && ParseSettingsBool(text, value);
}

bool TSettingsDocument::ReadFloat(const std::string& key, double& value) const {
  std::string text;
  return ReadString(key, text) && ParseExtendedHex(text, value);
}

bool TSettingsDocument::ReadLines(const std::string& key, std::vector<std::string>& lines) const {
  const TSettingsElement* list = Find(key);
  if (!list) return false;
  int64_t count = 0;
  ReadInteger(key + "\\Count", count);
  // A count beyond what the element holds only adds empty lines; the bound keeps a damaged
  // count from filling memory.
  count = std::min<int64_t>(count, static_cast<int64_t>(list->Children.size()));
  std::vector<std::string> read;
  for (int64_t i = 0; i < count; ++i) {
    std::string line;
    ReadString(key + "\\Item" + std::to_string(i), line);
    read.push_back(line);
  }
  lines = std::move(read);
  return true;
}

bool TSettingsDocument::HasKey(const std::string& key) const { return Find(key) != nullptr; }

void TSettingsDocument::Remove(const std::string& key) {
  std::vector<std::string> parts = KeyParts(key);
  if (parts.empty()) return;
  const std::string last = parts.back();
  parts.pop_back();
  TSettingsElement* parent = &root_;
  for (const std::string& part : parts) {
    parent = parent->Find(part);
    if (!parent) return;
  }
  parent->Remove(last);
}

}  // namespace kvx
