// What the X tests ask of the X server on a connection of their own: window
// states, the active window, properties; xdotool for the keyboard and mouse;
// copies of the real program started from folders of their own.
#pragma once

#include <QPoint>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>

#include "settings/temp_folder.h"

namespace gavrix::test {

class XServer {
 public:
  XServer();
  ~XServer();
  bool viewable(quint64 window) const;
  quint64 activeWindow() const;
  // Atom names of the window's _NET_WM_STATE.
  QStringList netWmState(quint64 window) const;
  // WM_STATE's state: 0 withdrawn (or none), 1 normal, 3 iconic.
  int wmState(quint64 window) const;
  // The first viewable window captioned `caption` of another client, or 0.
  quint64 findViewable(const QString& caption) const;
  // Centre of the first icon embedded in the notification area (trayer's "panel"), in root
  // coordinates; a null point when there is none.
  QPoint trayIconCenter() const;
  // Grabs modifiers+keycode of `keysym` on the root window for this connection; false when refused.
  bool grabKey(uint32_t keysym, uint16_t modifiers);
  void ungrabAll();

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

// Runs xdotool with the arguments and waits for it.
void XDoTool(const QStringList& arguments);

// A copy of the program in a folder of its own (so its gavrix.ini is its own).
class ProgramCopy {
 public:
  // ini: the settings file beside the copy; empty for none.
  explicit ProgramCopy(const std::string& ini = "[Settings]\nBroadcast=0\n");
  ~ProgramCopy();
  void start();
  // Starts it on Qt's offscreen platform (no X window list) with `runtimeFolder` as XDG_RUNTIME_DIR.
  void startOffscreen(const QString& runtimeFolder);
  // Waits for the main window to be viewable; its id or 0.
  quint64 waitForWindow(int ms = 5000);
  // start() and waitForWindow().
  quint64 startShown() {
    start();
    return waitForWindow();
  }
  QProcess& process() { return process_; }
  std::string iniPath() const { return folder_.file("gavrix.ini"); }
  bool iniExists() const;

 private:
  TempFolder folder_;
  QProcess process_;
};

}  // namespace gavrix::test
