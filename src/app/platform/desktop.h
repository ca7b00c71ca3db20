// Desktop services the shell uses, as small interfaces: finding a running copy,
// the global hotkey, the taskbar entry and opening a web address. The xcb
// implementations are in xcb_desktop.h; tests install fakes.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QWidget;

namespace gavrix {

class Tray;

// The unowned top-level windows of the desktop with their captions.
class WindowList : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  struct TopWindow {
    quint64 id = 0;
    QString caption;
  };
  // Every top-level window without an owner, front to back, except this program's own.
  virtual std::vector<TopWindow> topLevelWindows() = 0;
  // Asks the window to restore itself and brings it to the foreground.
  virtual void restore(quint64 id) = 0;

 signals:
  // A later copy asked one of this program's windows to restore itself.
  void restoreRequested();
};

// Whether another copy of the program runs.
class SingleCopy : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  // True when another copy runs; that copy has been asked to show itself.
  virtual bool otherCopyRunning() = 0;

 signals:
  // A later copy asked this one to show itself.
  void showRequested();
};

// A system-wide key combination.
class GlobalHotkey : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  // False where the desktop has no global hotkeys.
  virtual bool available() const = 0;
  // Registers modifiers+key under id; false when another client holds the combination.
  virtual bool registerHotkey(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) = 0;
  virtual void unregisterHotkey(int id) = 0;

 signals:
  void pressed(int id);
};

// Keeps a window out of the taskbar, every time it is shown.
class TaskbarEntry : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  virtual void hideEntry(QWidget* window) = 0;
};

// Opens a web address with the desktop's default handler.
class WebAddress : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  virtual void open(const QUrl& address) = 0;
};

// The services one program uses.
struct Desktop {
  std::unique_ptr<SingleCopy> singleCopy;
  std::unique_ptr<GlobalHotkey> hotkey;
  std::unique_ptr<TaskbarEntry> taskbar;
  std::unique_ptr<WebAddress> web;
  // Builds the notification-area icon with its popup menu; called only once the program runs.
  std::function<std::unique_ptr<Tray>(QMenu* menu)> makeTray;
};

// The services of the desktop the application runs on: xcb on X11; elsewhere a
// per-user lock for the single copy and no hotkey or taskbar control.
Desktop NativeDesktop(const QString& title);

// Finds a running copy by the caption of its window: the first unowned
// top-level window captioned exactly `title` is restored and brought forward.
class CaptionSingleCopy : public SingleCopy {
  Q_OBJECT

 public:
  CaptionSingleCopy(std::unique_ptr<WindowList> windows, QString title, QObject* parent = nullptr);
  bool otherCopyRunning() override;

 private:
  std::unique_ptr<WindowList> windows_;
  QString title_;
};

// Finds a running copy by a per-user lock file; the copy holding the lock
// listens on a local socket for the request to show itself.
class LockSingleCopy : public SingleCopy {
  Q_OBJECT

 public:
  // name: the lock and socket name, unique per user.
  explicit LockSingleCopy(QString name, QObject* parent = nullptr);
  ~LockSingleCopy() override;
  bool otherCopyRunning() override;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// No global hotkey; the program runs on without one.
class NoHotkey : public GlobalHotkey {
  Q_OBJECT

 public:
  using GlobalHotkey::GlobalHotkey;
  bool available() const override { return false; }
  bool registerHotkey(int, Qt::KeyboardModifiers, Qt::Key) override { return false; }
  void unregisterHotkey(int) override {}
};

// Leaves the taskbar to the desktop.
class NoTaskbarControl : public TaskbarEntry {
  Q_OBJECT

 public:
  using TaskbarEntry::TaskbarEntry;
  void hideEntry(QWidget*) override {}
};

// QDesktopServices: the desktop's handler for the address's scheme.
class DesktopWebAddress : public WebAddress {
  Q_OBJECT

 public:
  using WebAddress::WebAddress;
  void open(const QUrl& address) override;
};

}  // namespace gavrix
