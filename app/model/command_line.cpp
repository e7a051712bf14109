#include "app/model/command_line.h"

namespace kvx {

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  TCommandLine line;
  if (arguments.size() > 0) line.File = arguments[0];
  if (arguments.size() > 1) line.Switches = arguments[1];
  if (arguments.size() > 2) line.SecondFile = arguments[2];
  return line;
}

}  // namespace kvx
