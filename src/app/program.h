// The program: its windows in start order, the desktop services around them,
// the message loop, and the end that destroys the windows in reverse order.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "app/platform/desktop.h"

namespace gavrix {

class IniFile;
class TForm1;
class TFormAbout;
class TFormAuto;
class TFormPass;
class TSettings;
class Tray;

class Program : public QObject {
  Q_OBJECT

 public:
  struct Options {
    QString iniPath;          // the settings file
    quint16 udpPort = 27005;  // the endpoint's local port (0 in tests picks a free one)
  };

  // Start: the single-copy check, then the main window (hotkey 1 registered, tray icon),
  // the settings dialog (loads the settings), the about box, the password
  // dialog, the auto-connect dialog; the taskbar entry goes, the tray icon
  // appears. When another copy runs, it is asked to show itself and nothing
  // is created: no window, no tray icon, no file.
  Program(Desktop desktop, Options options);
  // The end: hotkey 1 goes, then the windows in reverse order (the settings
  // dialog's destruction is the exit save).
  ~Program() override;

  // False when another copy runs.
  bool started() const { return main_ != nullptr; }
  // Shows the main window and runs the message loop until the main window closes.
  int exec();

  // The normal end path for a signal or the end of the desktop session: a
  // running scan is stopped, then the main window is closed.
  void requestEnd();

  TForm1* main() const { return main_.get(); }
  TSettings* settings() const { return settings_.get(); }
  TFormAbout* about() const { return about_.get(); }
  TFormPass* pass() const { return pass_.get(); }
  TFormAuto* autoDialog() const { return auto_.get(); }
  Tray* tray() const { return tray_.get(); }
  Desktop& desktop() { return desktop_; }

  // The message of a hotkey that cannot be registered.
  static inline const QString kHotkeyFailed = QStringLiteral("Unable to assign Alt-Ctrl-S as hotkey.");
  static constexpr int kHotkeyId = 1;

 private:
  Desktop desktop_;
  // In start order; destroyed in reverse by ~Program.
  std::unique_ptr<TForm1> main_;
  std::unique_ptr<Tray> tray_;
  std::unique_ptr<IniFile> ini_;
  std::unique_ptr<TSettings> settings_;
  std::unique_ptr<TFormAbout> about_;
  std::unique_ptr<TFormPass> pass_;  // reads section Password at creation, writes it at destruction
  std::unique_ptr<TFormAuto> auto_;
  bool hotkeyRegistered_ = false;
  bool ending_ = false;
};

}  // namespace gavrix
