#pragma once
// The command line of the main program: up to three arguments, a file, a word of switches and
// a second file. The switches "-c", "-b", "-i", "-go" and "-t" are searched as substrings of
// the second argument, so they combine without blanks ("-b-i-t", "-go-t").
#include <string>
#include <vector>

namespace kvx {

struct TCommandLine {
  std::string File;        // first: a file to split
  std::string Switches;    // second
  std::string SecondFile;  // third: a profile (-c) or a batch text file (-b)

  bool Has(const char* option) const { return Switches.find(option) != std::string::npos; }
};

// The arguments after the program's name; arguments past the third are not used.
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace kvx
