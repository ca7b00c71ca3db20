// The notification-area icon and its image cycling.
#include "app/platform/system_tray.h"

#include <QAction>
#include <QMenu>

#include "widgets/icons_qt.h"

namespace gavrix {

SystemTray::SystemTray(QMenu* menu, QObject* parent) : Tray(parent) {
  icon_.setToolTip(QStringLiteral("Gavrix"));
  showImage(0);
  cycle_.setInterval(1000);
  connect(&cycle_, &QTimer::timeout, this, [this] { showImage((image_ + 1) % kTrayImageCount); });
  if (menu && !menu->actions().isEmpty()) {
    icon_.setContextMenu(menu);
    connect(menu->actions().first(), &QAction::triggered, this, &Tray::showRequested);
    connect(menu->actions().last(), &QAction::triggered, this, &Tray::exitRequested);
  }
  connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick) emit doubleClicked();
  });
  icon_.show();
}

void SystemTray::setCycling(bool on) {
  if (on) {
    if (!cycle_.isActive()) cycle_.start();
    return;
  }
  cycle_.stop();
  showImage(0);
}

void SystemTray::showImage(int index) {
  image_ = index;
  icon_.setIcon(TrayImage(index));
}

}  // namespace gavrix
