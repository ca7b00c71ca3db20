// Server list model.
#include "query/server_list.h"

#include "util/text.h"

namespace gavrix {

const std::string& ServerRow::text(int column) const {
  static const std::string kEmpty;
  if (column == 0) return caption;
  if (column < 1 || column > subCount) return kEmpty;
  return sub[static_cast<size_t>(column - 1)];
}

int ServerListModel::append(std::string caption, int icon) {
  int at = size();
  if (observer_) observer_->beginInsert(at);
  auto r = std::make_unique<ServerRow>();
  r->caption = std::move(caption);
  r->icon = icon;
  rows_.push_back(std::move(r));
  if (observer_) observer_->endInsert();
  return at;
}

void ServerListModel::appendSub(int row, std::string text) {
  ServerRow& r = *rows_[static_cast<size_t>(row)];
  if (r.subCount >= static_cast<int>(r.sub.size())) return;
  if (r.subCount == kColAddress - 1) ++addressCount_[text];
  r.sub[static_cast<size_t>(r.subCount++)] = std::move(text);
  changed(row);
}

void ServerListModel::setOsIcon(int row, int icon) {
  rows_[static_cast<size_t>(row)]->osIcon = icon;
  changed(row);
}

void ServerListModel::setAccessIcon(int row, int icon) {
  rows_[static_cast<size_t>(row)]->accessIcon = icon;
  changed(row);
}

void ServerListModel::setPing(int row, int ms) {
  rows_[static_cast<size_t>(row)]->ping = ms;
  changed(row);
}

void ServerListModel::forgetAddress(const ServerRow& r) {
  if (r.subCount < kColAddress) return;
  auto it = addressCount_.find(r.address());
  if (it != addressCount_.end() && --it->second == 0) addressCount_.erase(it);
}

void ServerListModel::remove(int row) {
  if (row < 0 || row >= size()) return;
  if (observer_) observer_->beginRemove(row);
  forgetAddress(*rows_[static_cast<size_t>(row)]);
  rows_.erase(rows_.begin() + row);
  if (observer_) observer_->endRemove();
}

void ServerListModel::clear() {
  if (observer_) observer_->beginReset();
  rows_.clear();
  addressCount_.clear();
  if (observer_) observer_->endReset();
}

void ServerListModel::sortByColumn(int column) {
  if (observer_) observer_->beginReorder();
  std::vector<int> newIndexOf;
  if (column == kColPing)
    newIndexOf = SortRows(rows_, [](const auto& a, const auto& b) {
      return static_cast<unsigned>(a->ping) < static_cast<unsigned>(b->ping);  // -1 (unknown) is the largest
    });
  else
    newIndexOf = SortRows(rows_, [column](const auto& a, const auto& b) {
      return CompareText(a->text(column), b->text(column)) < 0;
    });
  if (observer_) observer_->endReorder(newIndexOf);
}

bool ServerListModel::mayHaveAddress(std::string_view address) const {
  return addressCount_.find(std::string(address)) != addressCount_.end();
}

void ServerListModel::changed(int row) {
  if (observer_) observer_->rowChanged(row);
}

}  // namespace gavrix
