// Players and rules pane models and the players orders.
#include "serverlist/pane.h"

#include "util/text.h"

namespace gavrix {

void PaneModel::append(std::string caption, std::string value) {
  if (observer_) observer_->beginInsert(size());
  rows_.push_back({std::move(caption), std::move(value)});
  if (observer_) observer_->endInsert();
}

void PaneModel::clear() {
  if (observer_) observer_->beginReset();
  rows_.clear();
  if (observer_) observer_->endReset();
}

void PaneModel::sort(const std::function<int(const PaneRow&, const PaneRow&)>& compare) {
  if (observer_) observer_->beginReorder();
  auto newIndexOf = SortRows(rows_, [&compare](const PaneRow& a, const PaneRow& b) { return compare(a, b) < 0; });
  if (observer_) observer_->endReorder(newIndexOf);
}

int CompareNick(const PaneRow& a, const PaneRow& b) { return CompareText(a.caption, b.caption); }

int CompareFrags(const PaneRow& a, const PaneRow& b) {
  // Frags texts are written by the players decoder; anything else counts as 0.
  int32_t x = TryStrToInt(a.value).value_or(0);
  int32_t y = TryStrToInt(b.value).value_or(0);
  if (x == y) return 0;
  return x > y ? -1 : 1;
}

}  // namespace gavrix
