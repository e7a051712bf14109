#include "engine/progress_list.h"

#include "common/text.h"

namespace kvx {

namespace {
int FieldAsInt(const std::string& line, int index) {
  const auto value = ParseInt64(GetField(line, index, '|'));
  return value && *value >= 0 && *value <= 1000000 ? static_cast<int>(*value) : 0;
}
}  // namespace

void TProgressList::Flush(std::deque<std::string>& rowQueue) {
  while (!rowQueue.empty()) {
    Apply(rowQueue.front());
    rowQueue.pop_front();
  }
}

void TProgressList::Apply(const std::string& rowLine) {
  const int row = FieldAsInt(rowLine, 1);
  if (static_cast<int>(rows_.size()) < row) rows_.resize(static_cast<size_t>(row));
  if (row >= 1) current_ = row - 1;
  else if (!rows_.empty()) current_ = 0;
  else {
    // Row 0 of an empty list: the list gets its first row.
    rows_.emplace_back();
    current_ = 0;
  }
  TProgressRow& r = rows_[static_cast<size_t>(current_)];
  r.Icon = FieldAsInt(rowLine, 2);
  r.Caption = GetField(rowLine, 3, '|');
  r.Text = GetField(rowLine, 4, '|');
}

void TProgressList::Clear() {
  rows_.clear();
  current_ = -1;
}

}  // namespace kvx
