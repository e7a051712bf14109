#pragma once
// The operation summary: the read-only log of the last split, each line in one of four styles.
// Title lines are 10 points, plain lines 8 points; a heading or error line keeps the point size
// of the line before it.
#include <string>
#include <vector>

namespace kvx {

enum TLogStyle {
  lsTitle,    // bold, maroon
  lsHeading,  // bold and underlined, navy
  lsError,    // bold and underlined, red
  lsPlain,    // regular, the default colour
};

struct TLogLine {
  std::string Text;
  TLogStyle Style = lsPlain;
  int PointSize = 8;
};

class TSummaryLog {
 public:
  void Clear() { lines_.clear(); }
  void Add(const std::string& text, TLogStyle style = lsPlain);
  const std::vector<TLogLine>& Lines() const { return lines_; }

 private:
  std::vector<TLogLine> lines_;
};

// The whole log as a rich-text document (Windows-1252), as "E&xport..." writes it.
std::string SummaryRichText(const TSummaryLog& log);

// The save dialog of the export.
constexpr const char* kSaveLogTitle = "Save Log";
constexpr const char* kSaveLogFilter = "Rich Text Files (*.rtf)|*.rtf|All Files (*.*)|*.*";
constexpr const char* kSaveLogExtension = "rtf";

}  // namespace kvx
