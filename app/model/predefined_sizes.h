#pragma once
// Predefined piece sizes: rows read from "KDEFVAL.INF" in the program's folder each time the
// dialog "Default Values" opens. The file is Windows-1252 text; its first line must be exactly
// "[Karvex Default Size Values]"; every further line that is not empty is a row of three
// fields separated by ";": name, description, value in bytes. There is no comment syntax.
#include <string>
#include <vector>

namespace kvx {

struct TPredefinedSize {
  std::string Name;
  std::string Description;
  std::string Value;  // put into the size box as it stands
};

// The path of the file: the program's folder, a separator, "KDEFVAL.INF".
std::string PredefinedSizesPath(const std::string& programFolder);
// The rows of the file's text; none when the first line is not the header.
std::vector<TPredefinedSize> ParsePredefinedSizes(const std::string& ansiText);
// The rows of the file; none, without a message, when it is missing or cannot be read.
std::vector<TPredefinedSize> ReadPredefinedSizes(const std::string& programFolder);
// Field n (from 1) of a line: n-1 times everything up to and including the next ";" is
// removed (empty when a ";" is missing on the way), then the text up to the next ";".
std::string PredefinedField(const std::string& line, int n);

// The texts of the dialog.
constexpr const char* kDefaultValuesCaption = "Default Values";
constexpr const char* kDefaultValuesHeader =
    "You can select a <b>default value</b> for the size of your blocked pieces. To add your own values to the "
    "list, please refer to the <A href=\"doc\">documentation</A>.";
constexpr int kDefaultValuesHelpTopic = 1010;

}  // namespace kvx
