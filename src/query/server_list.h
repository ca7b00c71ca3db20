// The server list: one row per answering server, in display order. Rows are
// built the way the decoders fill them: caption and icon first, then the
// sub-items one after another.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "util/list_observer.h"

namespace gavrix {

enum Column { kColGame, kColName, kColAddress, kColPort, kColPT, kColMap, kColPlayers, kColOS, kColAccess };
inline constexpr int kColumnCount = 9;
// The list view's tenth column after A: milliseconds from the query to the reply.
inline constexpr int kColPing = 9;
inline constexpr int kListColumnCount = 10;

struct ServerRow {
  std::string caption;                 // game code
  int icon = -1;                       // row icon
  std::array<std::string, 8> sub;      // sub-items 0..7: Name .. A
  int subCount = 0;                    // sub-items appended so far
  int osIcon = -1;                     // icon of sub-item 6 (OS)
  int accessIcon = -1;                 // icon of sub-item 7 (access mark), -1 none
  int ping = -1;                       // milliseconds, -1 when unknown

  // Column 0 is the caption, column k the k-th sub-item (empty until appended).
  const std::string& text(int column) const;
  const std::string& address() const { return text(kColAddress); }
  const std::string& port() const { return text(kColPort); }
};

class ServerListModel {
 public:
  int size() const { return static_cast<int>(rows_.size()); }
  bool empty() const { return rows_.empty(); }
  const ServerRow& row(int i) const { return *rows_[static_cast<size_t>(i)]; }

  // Appends a row with caption and icon; returns its index (always the last).
  int append(std::string caption, int icon);
  // Appends the next sub-item of a row.
  void appendSub(int row, std::string text);
  void setOsIcon(int row, int icon);
  void setAccessIcon(int row, int icon);
  void setPing(int row, int ms);
  void remove(int row);
  void clear();
  // Ascending text order of one column (kColPing: by number, unknown last);
  // equal rows keep their order.
  void sortByColumn(int column);

  // Quick answer to "might any row show this address": false means none does.
  bool mayHaveAddress(std::string_view address) const;

  void setObserver(ListObserver* o) { observer_ = o; }

 private:
  void forgetAddress(const ServerRow& r);
  void changed(int row);

  // Rows are held by pointer so that removing one from a long list is cheap.
  std::vector<std::unique_ptr<ServerRow>> rows_;
  std::unordered_map<std::string, int> addressCount_;
  ListObserver* observer_ = nullptr;
};

}  // namespace gavrix
