#pragma once
// The progress window's list of pieces, kept apart from any window so that its row rules are
// the same everywhere: each row has a status icon (0 preparing, 1 being copied, 2 done,
// 3 awaiting), a caption and a text.
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

namespace kvx {

struct TProgressRow {
  int Icon = -1;  // none yet
  std::string Caption;
  std::string Text;
};

class TProgressList {
 public:
  // Applies every line of the queue ("row|status|caption|text") in order and empties it.
  void Flush(std::deque<std::string>& rowQueue);
  // One line: rows are added up to its row number, and it is written into that row (row 1 when
  // the number is out of range, the last row when there is still none).
  void Apply(const std::string& rowLine);
  void Clear();

  const std::vector<TProgressRow>& Rows() const { return rows_; }
  // Index of the row written last, -1 when none.
  int CurrentRow() const { return current_; }

 private:
  std::vector<TProgressRow> rows_;
  int current_ = -1;
};

}  // namespace kvx
