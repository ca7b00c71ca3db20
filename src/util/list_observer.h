// Change notifications of the core list models, so a view can follow them.
#pragma once

#include <algorithm>
#include <numeric>
#include <vector>

namespace gavrix {

class ListObserver {
 public:
  virtual ~ListObserver() = default;
  virtual void beginInsert(int row) = 0;
  virtual void endInsert() = 0;
  virtual void beginRemove(int row) = 0;
  virtual void endRemove() = 0;
  virtual void beginReset() = 0;
  virtual void endReset() = 0;
  virtual void rowChanged(int row) = 0;
  virtual void beginReorder() = 0;
  // newIndexOf[old] gives the new position of each old row.
  virtual void endReorder(const std::vector<int>& newIndexOf) = 0;
};

// Stable sort of rows by less(a, b); returns the new index of every old row.
template <class Row, class Less>
std::vector<int> SortRows(std::vector<Row>& rows, Less less) {
  std::vector<int> order(rows.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return less(rows[static_cast<size_t>(a)], rows[static_cast<size_t>(b)]); });
  std::vector<Row> sorted;
  sorted.reserve(rows.size());
  std::vector<int> newIndexOf(rows.size());
  for (size_t i = 0; i < order.size(); ++i) {
    newIndexOf[static_cast<size_t>(order[i])] = static_cast<int>(i);
    sorted.push_back(std::move(rows[static_cast<size_t>(order[i])]));
  }
  rows = std::move(sorted);
  return newIndexOf;
}

}  // namespace gavrix
