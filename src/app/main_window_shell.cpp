// The main window's shell handlers: the menus, the tray icon, hotkey 1, and
// the rules for showing, hiding and minimising.
#include <QAction>
#include <QEvent>
#include <QTimer>

#include "app/about_box.h"
#include "app/main_window.h"
#include "app/platform/desktop.h"

namespace gavrix {

void TForm1::wireShell() {
  connect(ui.About2, &QAction::triggered, this, [this] { About2Click(); });
  connect(ui.Homepage1, &QAction::triggered, this, [this] { Homepage1Click(); });
}

void TForm1::Hide1Click() { hide(); }
void TForm1::Exit1Click() { close(); }
void TForm1::Options1Click() { showSettingsDialog(); }

void TForm1::About2Click() {
  if (!aboutBox) return;
  aboutBox->show();
  aboutBox->raise();
  aboutBox->activateWindow();
}

void TForm1::Homepage1Click() {
  if (web) web->open(kHomePage);
}

void TForm1::TrayIconDblClick() { WMHotKey(1); }

void TForm1::TrayShowClick() {
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
}

void TForm1::TrayExitClick() { close(); }

void TForm1::WMHotKey(int id) {
  if (id != 1) return;
  if (isVisible())
    hide();
  else
    showInFront();
}

void TForm1::showInFront() {
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void TForm1::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) {
    // Hidden rather than minimised. Every showing clears the minimised state first: clearing
    // it now would make the platform map the window again.
    QTimer::singleShot(0, this, [this] { hide(); });
  }
}

}  // namespace gavrix
