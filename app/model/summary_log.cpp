#include "app/model/summary_log.h"

#include "common/codepage.h"
#include "common/text.h"

namespace kvx {

void TSummaryLog::Add(const std::string& text, TLogStyle style) {
  TLogLine line{text, style, 8};
  if (style == lsTitle) line.PointSize = 10;
  else if ((style == lsHeading || style == lsError) && !lines_.empty()) line.PointSize = lines_.back().PointSize;
  lines_.push_back(line);
}

namespace {

// Rich text of a line: its characters escaped, those above 127 as \'hh of the code page.
std::string RtfText(const std::string& utf8) {
  std::string out;
  for (char ch : Utf8ToAnsi(utf8)) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\\' || c == '{' || c == '}') out += std::string("\\") + static_cast<char>(c);
    else if (c >= 0x80 || c < 0x20) out += Format("\\'%02x", c);
    else out += static_cast<char>(c);
  }
  return out;
}

}  // namespace

std::string SummaryRichText(const TSummaryLog& log) {
  // Colours 1 maroon, 2 navy, 3 red.
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Tahoma;}}"
      "{\\colortbl ;\\red128\\green0\\blue0;\\red0\\green0\\blue128;\\red255\\green0\\blue0;}\r\n";
  for (const TLogLine& line : log.Lines()) {
    static const char* const kStyles[] = {"\\b\\cf1", "\\b\\ul\\cf2", "\\b\\ul\\cf3", "\\cf0"};
    rtf += Format("{\\fs%d%s ", line.PointSize * 2, kStyles[line.Style]) + RtfText(line.Text) + "}\\par\r\n";
  }
  return rtf + "}\r\n";
}

}  // namespace kvx
