// The players and rules panes: rows of a caption and one further text.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "util/list_observer.h"

namespace gavrix {

struct PaneRow {
  std::string caption;  // NickName or Rule
  std::string value;    // Frags or Value
};

class PaneModel {
 public:
  int size() const { return static_cast<int>(rows_.size()); }
  const PaneRow& row(int i) const { return rows_[static_cast<size_t>(i)]; }
  void append(std::string caption, std::string value);
  void clear();
  // Stable sort by a three-way comparison (negative: a first).
  void sort(const std::function<int(const PaneRow&, const PaneRow&)>& compare);
  void setObserver(ListObserver* o) { observer_ = o; }

 private:
  std::vector<PaneRow> rows_;
  ListObserver* observer_ = nullptr;
};

// Orders of the players pane: by nickname in text order, by frags descending.
int CompareNick(const PaneRow& a, const PaneRow& b);
int CompareFrags(const PaneRow& a, const PaneRow& b);

}  // namespace gavrix
