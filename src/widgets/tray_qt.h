// The notification-area icon as the program's features see it: auto-connect
// cycles its two images, the shell answers its menu and double click. The
// shell provides the real icon; until then, and in tests, a stand-in that only
// remembers its state.
#pragma once

#include <QObject>

namespace gavrix {

class Tray : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // On: step through the two images every 1000 ms. Off: stop and show the first image.
  virtual void setCycling(bool on) = 0;
  virtual bool cycling() const = 0;

 signals:
  void doubleClicked();
  void showRequested();  // tray menu "Show  (Shift+Alt+S)"
  void exitRequested();  // tray menu "Exit"
};

// Remembers whether it cycles; shows nothing.
class StandInTray : public Tray {
  Q_OBJECT

 public:
  using Tray::Tray;
  void setCycling(bool on) override { cycling_ = on; }
  bool cycling() const override { return cycling_; }

 private:
  bool cycling_ = false;
};

}  // namespace gavrix
