#pragma once
// A settings document held in memory: the preferences file and every split profile. Values
// are addressed by key paths of element names below the root, separated by "\"
// ("Settings\fich_Text"), whose names match without regard to case.
//
// Value kinds: text as it stands; whole numbers in decimal; booleans written "TRUE"/"FALSE"
// and read from "TRUE", "YES", "Y", "FALSE", "NO", "N" in any case or else as a whole number,
// non-zero meaning true; floating-point numbers as the 10 bytes of an 80-bit extended number,
// least significant first, as 20 upper-case hex digits (1000 is 00000000000000FA0840); lists
// of lines as the element of the key with the children "Count", "Item0", "Item1"...
#include <cstdint>
#include <string>
#include <vector>

#include "app/model/settings_element.h"

namespace kvx {

class TSettingsDocument {
 public:
  explicit TSettingsDocument(std::string rootName);

  // Reads the file into the document, replacing what it held (the root keeps its name). A file
  // that cannot be read or parsed raises the reader's message and leaves the document as it was.
  void Open(const std::string& path);
  // Writes the whole document to path through a new file in the same folder that then takes
  // the old file's place, so a failure at any point leaves the previous file whole. Raises
  // the OS error.
  void Save(const std::string& path) const;
  // The bytes Save writes.
  std::string Text() const;
  // Replaces the content by the parsed bytes; raises like Open, naming source.
  void Parse(const std::string& bytes, const std::string& source);

  // Writing an existing key replaces its value (and drops any children) in place; a new key is
  // created at the end of its parent, with the missing parents.
  void WriteString(const std::string& key, const std::string& value);
  void WriteInteger(const std::string& key, int64_t value);
  void WriteBool(const std::string& key, bool value);
  void WriteFloat(const std::string& key, double value);
  // Removes the key's element, then creates it anew at the end of its parent.
  void WriteLines(const std::string& key, const std::vector<std::string>& lines);

  // Each read sets value and returns true, or returns false and leaves value alone when the key
  // is missing or its text is not of the kind asked for.
  bool ReadString(const std::string& key, std::string& value) const;
  bool ReadInteger(const std::string& key, int64_t& value) const;
  bool ReadInteger(const std::string& key, int& value) const;
  bool ReadBool(const std::string& key, bool& value) const;
  bool ReadFloat(const std::string& key, double& value) const;
  // "Count" lines from "Item0" on; an item that is missing reads as an empty line.
  bool ReadLines(const std::string& key, std::vector<std::string>& lines) const;

  bool HasKey(const std::string& key) const;
  // Removes the key's element with all its children.
  void Remove(const std::string& key);

  TSettingsElement& Root() { return root_; }
  const TSettingsElement& Root() const { return root_; }

 private:
  const TSettingsElement* Find(const std::string& key) const;
  TSettingsElement& FindOrCreate(const std::string& key);

  TSettingsElement root_;
};

// Boolean and floating-point texts of a settings document.
bool ParseSettingsBool(const std::string& text, bool& value);
std::string ExtendedHex(double value);
bool ParseExtendedHex(const std::string& text, double& value);

}  // namespace kvx
