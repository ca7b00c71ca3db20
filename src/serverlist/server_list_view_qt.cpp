// How the user works with the server list: ordering by a column, selecting a
// row (which asks that server for its players and rules), clicks, double
// clicks and the players pane's order. Handlers of the main window.
#include <QToolButton>

#include "widgets/icons_qt.h"
#include "app/main_window.h"
#include "settings/settings.h"

namespace gavrix {

void TForm1::LWColumnClick(int column) {
  sortColumn = column;
  servers.sortByColumn(column);
}

void TForm1::LWSelectItem() {
  popupArmed = false;
  players.clear();
  rules.clear();
  int row = selectedRow();
  if (row < 0) return;
  const ServerRow& r = servers.row(row);
  const std::string address = r.address();
  const int icon = r.icon;
  auto port = PortNumber(r.port());
  bool ok = port && engine.sendDetails(address, *port);
  if (!ok) NetworkError();
  ui.SBPlay->setEnabled(true);
  ui.SBAuto->setEnabled(true);
  ui.setGamePicture(-1);
  ui.setGamePicture(GamePictureForIcon(icon));
}

void TForm1::LWClick() {
  if (selectedRow() >= 0) return;
  ui.SBPlay->setEnabled(false);
  if (!autoConnect()) ui.SBAuto->setEnabled(false);
  ui.setGamePicture(-1);
  players.clear();
  rules.clear();
}

void TForm1::LWDblClick() {
  if (selectedRow() >= 0 && settings && settings->DoubleClick) SBPlayClick();
}

void TForm1::LWPlayersColumnClick(int column) { players.sort(column == 0 ? CompareNick : CompareFrags); }

}  // namespace gavrix
