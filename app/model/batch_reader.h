#pragma once
// The reader of batch text files, which have the form of an initialisation file. Lines are
// trimmed of blanks; empty lines and lines that begin with ";" are skipped; "[name]" begins a
// section (its name trimmed); other lines are entries of the current section, lines before the
// first section being ignored; in an entry key=value the blanks around the first "=" are
// removed. Section and key names match without regard to case; a repeated key reads as its
// first occurrence.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvx {

class TBatchReader {
 public:
  // Reads the whole file (Windows-1252); raises the OS error.
  void Open(const std::string& path);
  // Takes the text of a file (Windows-1252).
  void Load(const std::string& ansiText);

  // The value of the key; nothing when the key is missing (a key with an empty value reads as
  // the empty text).
  std::optional<std::string> Text(const std::string& section, const std::string& key) const;
  // A whole number, decimal or hexadecimal after "0x"; nothing when the key is missing or its
  // value is not a number.
  std::optional<int64_t> Number(const std::string& section, const std::string& key) const;
  // Every entry line of the section as stored ("key=value" without the blanks around "="), in
  // file order, repeated keys included.
  std::vector<std::string> Lines(const std::string& section) const;

 private:
  struct TSection {
    std::string Name;
    std::vector<std::string> Lines;
  };
  const TSection* Find(const std::string& section) const;

  std::vector<TSection> sections_;
};

}  // namespace kvx
