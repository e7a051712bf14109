#pragma once
// The SFU language table: 65 texts, by index, that the SFU program shows. Authored as a ".kxl"
// text file (Windows-1252): lines beginning with "#" are comments, every other line, empty
// ones included, is the next text. The builder stores the texts as the core's RCDATA "LNG",
// each followed by CR LF; the SFU program loads "LNG" back into a TSfuLanguage.
#include <cstddef>
#include <string>
#include <vector>

namespace kvx {

constexpr size_t kSfuLanguageTexts = 65;

// The lines of a Windows-1252 text, as UTF-8. A line ends at CR, LF or CR LF; a line break at
// the very end starts no further line.
std::vector<std::string> SplitAnsiLines(const std::string& ansiText);
// Drops every line whose first character is "#".
void RemoveCommentLines(std::vector<std::string>& lines);
// The bytes of resource "LNG": each line in Windows-1252 followed by CR LF.
std::string LanguageResource(const std::vector<std::string>& lines);

// The texts of the language file at `path`, comments removed. A file that does not exist is no
// error: the default English texts are taken and summaryLine receives "Warning: the language
// file \"<path>\" was not found. The default one has been used."; otherwise summaryLine is
// left empty. A file that exists but cannot be read raises EOSError.
std::vector<std::string> LoadLanguageLines(const std::string& path, std::string& summaryLine);

// The default U.S. English language file (SFULang/English.kxl), as Karvex carries it.
std::string DefaultLanguageFile();

// The table as the SFU program holds it.
class TSfuLanguage {
 public:
  // Loads the bytes of resource "LNG": one text per line, lines end at CR and an LF right after
  // a CR is skipped. Missing or empty bytes give an empty table.
  void Load(const void* data, size_t size);
  // Text n with every "/$" turned into CR LF; empty at or past the number of texts.
  std::string Text(size_t index) const;
  size_t Count() const { return texts_.size(); }

 private:
  std::vector<std::string> texts_;
};

}  // namespace kvx
