// Desktop services for tests: each fake records what the program asked of it
// and lets a test emit what the desktop would (a hotkey press, a later copy).
#pragma once

#include <QUrl>
#include <QWidget>
#include <vector>

#include "app/platform/desktop.h"
#include "widgets/tray_qt.h"

namespace gavrix::test {

class FakeSingleCopy : public SingleCopy {
  Q_OBJECT

 public:
  bool otherCopyRunning() override {
    ++checks;
    return running;
  }
  bool running = false;
  int checks = 0;
  using SingleCopy::showRequested;
};

class FakeHotkey : public GlobalHotkey {
  Q_OBJECT

 public:
  bool available() const override { return present; }
  bool registerHotkey(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) override {
    if (!free) return false;
    registered.push_back({id, modifiers, key});
    return true;
  }
  void unregisterHotkey(int id) override { unregistered->push_back(id); }

  struct Registration {
    int id;
    Qt::KeyboardModifiers modifiers;
    Qt::Key key;
  };
  bool present = true;
  bool free = true;  // false: another client holds the key
  std::vector<Registration> registered;
  std::vector<int>* unregistered = nullptr;  // kept by FakeDesktop: the end destroys this object
};

class FakeTaskbar : public TaskbarEntry {
  Q_OBJECT

 public:
  void hideEntry(QWidget* window) override { hidden.push_back(window); }
  std::vector<QWidget*> hidden;
};

class FakeWebAddress : public WebAddress {
  Q_OBJECT

 public:
  void open(const QUrl& address) override { opened.push_back(address); }
  std::vector<QUrl> opened;
};

// A desktop of fakes; the pointers stay valid while the program that took the desktop lives.
struct FakeDesktop {
  FakeSingleCopy* copy = nullptr;
  FakeHotkey* hotkey = nullptr;
  FakeTaskbar* taskbar = nullptr;
  FakeWebAddress* web = nullptr;
  StandInTray* tray = nullptr;
  QMenu* trayMenu = nullptr;
  int traysMade = 0;
  std::vector<int> unregistered;  // hotkey ids, in order

  Desktop make() {
    Desktop d;
    d.singleCopy = std::make_unique<FakeSingleCopy>();
    copy = static_cast<FakeSingleCopy*>(d.singleCopy.get());
    d.hotkey = std::make_unique<FakeHotkey>();
    hotkey = static_cast<FakeHotkey*>(d.hotkey.get());
    hotkey->unregistered = &unregistered;
    d.taskbar = std::make_unique<FakeTaskbar>();
    taskbar = static_cast<FakeTaskbar*>(d.taskbar.get());
    d.web = std::make_unique<FakeWebAddress>();
    web = static_cast<FakeWebAddress*>(d.web.get());
    d.makeTray = [this](QMenu* menu) -> std::unique_ptr<Tray> {
      ++traysMade;
      trayMenu = menu;
      auto t = std::make_unique<StandInTray>();
      tray = t.get();
      return t;
    };
    return d;
  }
};

}  // namespace gavrix::test
