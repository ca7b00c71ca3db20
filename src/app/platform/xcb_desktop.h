// The desktop services on X11 over the application's own xcb connection:
// the window list (EWMH and ICCCM properties), a key grab on the root window
// as the global hotkey, and the skip-taskbar state.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <vector>

#include "app/platform/desktop.h"

namespace gavrix {

// True when the application runs on X11 and its xcb connection can be used.
bool XcbAvailable();

class XcbWindowList : public WindowList, public QAbstractNativeEventFilter {
  Q_OBJECT

 public:
  explicit XcbWindowList(QObject* parent = nullptr);
  ~XcbWindowList() override;
  // Clients of the window manager (or, without one, the root's children) that have a caption
  // (_NET_WM_NAME, else WM_NAME) and no WM_TRANSIENT_FOR; from the top of the stack down.
  std::vector<TopWindow> topLevelWindows() override;
  // Sends the window the program's own restore request (a copy of this program shows its
  // main window) and asks the window manager to activate it (_NET_ACTIVE_WINDOW).
  void restore(quint64 id) override;
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
};

class XcbHotkey : public GlobalHotkey, public QAbstractNativeEventFilter {
  Q_OBJECT

 public:
  explicit XcbHotkey(QObject* parent = nullptr);
  ~XcbHotkey() override;
  bool available() const override { return true; }
  // Grabs the key on the root window with the modifiers alone and together with
  // CapsLock and NumLock, so that those locks do not disable it.
  bool registerHotkey(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) override;
  void unregisterHotkey(int id) override;
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  struct Grab {
    quint8 keycode = 0;
    quint16 modifiers = 0;
    std::vector<quint16> variants;  // the modifier sets grabbed
  };
  QHash<int, Grab> grabs_;
};

// Sets _NET_WM_STATE_SKIP_TASKBAR before every mapping of the window and asks
// the window manager for it while the window is mapped.
class XcbTaskbarEntry : public TaskbarEntry {
  Q_OBJECT

 public:
  using TaskbarEntry::TaskbarEntry;
  void hideEntry(QWidget* window) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace gavrix
