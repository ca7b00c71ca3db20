// How the user works with the server list: ordering by a column, selecting a
// row (which asks that server for its players and rules), clicks, double
// clicks and the players pane's order. The main window hands it the models,
// controls and operations it works on.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>

class QToolButton;

namespace gavrix {

class PaneModel;
class ServerListModel;

struct ServerListParts {
  ServerListModel* servers = nullptr;
  PaneModel* players = nullptr;
  PaneModel* rules = nullptr;
  QToolButton* play = nullptr;
  QToolButton* autoButton = nullptr;
  std::function<int()> selectedRow;
  std::function<void(int picture)> setGamePicture;  // -1 clears it
  // Asks a server for its players and rules; false when a send failed.
  std::function<bool(const std::string& address, uint16_t port)> sendDetails;
  std::function<void()> networkError;
  std::function<bool()> autoConnect;  // the auto-connect flag
  std::function<bool()> doubleClick;  // the DoubleClick setting
  std::function<void()> join;         // the launcher
};

class ServerListController {
 public:
  void setParts(ServerListParts parts) { parts_ = std::move(parts); }

  int sortColumn = 0;
  bool popupArmed = false;  // the server list's popup may open

  void LWColumnClick(int column);
  void LWSelectItem();
  void LWClick();
  void LWDblClick();
  void LWPlayersColumnClick(int column);

 private:
  ServerListParts parts_;
};

}  // namespace gavrix
