// The notification-area icon through QSystemTrayIcon: hint "Gavrix", the two
// tray images stepped every second while cycling, the popup menu PMTray.
#pragma once

#include <QSystemTrayIcon>
#include <QTimer>

#include "widgets/tray_qt.h"

class QMenu;

namespace gavrix {

class SystemTray : public Tray {
  Q_OBJECT

 public:
  // menu: the popup menu, whose first action is "Show  (Shift+Alt+S)" and last "Exit".
  explicit SystemTray(QMenu* menu, QObject* parent = nullptr);

  void setCycling(bool on) override;
  bool cycling() const override { return cycle_.isActive(); }

  // The image shown now (0: the normal icon).
  int imageIndex() const { return image_; }
  QSystemTrayIcon& icon() { return icon_; }
  // 1000 ms; tests shorten it.
  void setCycleInterval(int ms) { cycle_.setInterval(ms); }

 private:
  void showImage(int index);

  QSystemTrayIcon icon_;
  QTimer cycle_;
  int image_ = 0;
};

}  // namespace gavrix
