// The server list's handlers on the models and controls the window hands over.
#include "serverlist/server_list_view_qt.h"

#include <QToolButton>

#include "query/server_list.h"
#include "scan/scan_engine.h"
#include "serverlist/pane.h"
#include "widgets/icons_qt.h"

namespace gavrix {

void ServerListController::LWColumnClick(int column) {
  sortColumn = column;
  parts_.servers->sortByColumn(column);
}

void ServerListController::LWSelectItem() {
  popupArmed = false;
  parts_.players->clear();
  parts_.rules->clear();
  int row = parts_.selectedRow();
  if (row < 0) return;
  const ServerRow& r = parts_.servers->row(row);
  const std::string address = r.address();
  const int icon = r.icon;
  auto port = PortNumber(r.port());
  bool ok = port && parts_.sendDetails(address, *port);
  if (!ok) parts_.networkError();
  parts_.play->setEnabled(true);
  parts_.autoButton->setEnabled(true);
  parts_.setGamePicture(-1);
  parts_.setGamePicture(GamePictureForIcon(icon));
}

void ServerListController::LWClick() {
  if (parts_.selectedRow() >= 0) return;
  parts_.play->setEnabled(false);
  if (!parts_.autoConnect()) parts_.autoButton->setEnabled(false);
  parts_.setGamePicture(-1);
  parts_.players->clear();
  parts_.rules->clear();
}

void ServerListController::LWDblClick() {
  if (parts_.selectedRow() >= 0 && parts_.doubleClick()) parts_.join();
}

void ServerListController::LWPlayersColumnClick(int column) {
  parts_.players->sort(column == 0 ? CompareNick : CompareFrags);
}

}  // namespace gavrix
