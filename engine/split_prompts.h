#pragma once
// The texts of the split's disk and error questions, by prompt kind: what the dialog shows and
// the log line that records the question.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/split_view.h"

namespace kvx {

struct TPromptInputs {
  uint8_t Kind = 0;
  int32_t Piece = 0;          // PromptPiece
  int64_t Value = 0;          // PromptValue
  std::string Path;           // PromptPath
  int64_t Remaining = 0;      // bytes still to be copied (next disk)
  int64_t FreeBytes = 0;      // free space of Path (no space)
  bool Blocked = true;
  int64_t PieceSize = 0;      // the engine's blocked piece size
  std::string PieceFileName;  // name of piece Value (piece not copied)
  std::string LastErrorText;  // the system's text for the last error (piece not copied)
};

struct TPromptText {
  TPromptDescription Dialog;
  std::string LogLine;
};

// Nothing for a kind that shows no question. A "no space" question blames the piece size when
// the folder has room for it in a blocked split (then only Cancel is offered), else the volume.
std::optional<TPromptText> DescribePrompt(const TPromptInputs& in);

}  // namespace kvx
