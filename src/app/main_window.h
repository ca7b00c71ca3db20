// The main window TForm1: the server list, the panes, the button bar and the
// status bar, the one UDP endpoint and the reply dispatcher. Each subsystem's
// handlers live in its own folder (scan/, serverlist/, ...); this class holds
// the controls and the run-time state they share.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window_ui.h"
#include "launch/join_qt.h"
#include "query/dispatcher.h"
#include "query/udp_endpoint_qt.h"
#include "scan/event_loop_driver_qt.h"
#include "scan/scan_engine.h"
#include "serverlist/list_models_qt.h"
#include "serverlist/server_list_view_qt.h"
#include "settings/settings_dialog_qt.h"

namespace gavrix {

struct Settings;
class IniFile;
class WebAddress;

class TForm1 : public QMainWindow, public ReplyEvents {
  Q_OBJECT

 public:
  // udpPort is the endpoint's local port (0 in tests picks a free one).
  explicit TForm1(quint16 udpPort = 27005, QWidget* parent = nullptr);
  ~TForm1() override;

  // The settings held by the settings dialog, the store behind them, and the
  // dialog itself; until they are given every game is shown.
  void attachSettings(Settings* settings, IniFile* ini, QWidget* settingsDialog);
  // What the settings dialog works on here.
  SettingsParts settingsParts();

  // The core models come first: the views in ui observe them until ui goes.
  ServerListModel servers;
  PaneModel players;
  PaneModel rules;
  MainWindowUi ui;
  UdpEndpoint endpoint;
  ReplyDispatcher dispatcher;
  // The scan engine on the window's driver: the run, the refresh, the
  // favourites tick and the selection's queries send through it.
  std::unique_ptr<EventLoopDriver> scanDriver;
  ScanEngine engine;

  Settings* settings = nullptr;
  IniFile* ini = nullptr;
  QWidget* settingsDialog = nullptr;

  // Scan run state.
  bool scanningFlag = false;  // true while a run is in progress
  bool stopFlag = false;      // set by the stop operation
  int waitCountdown = 0;      // the Scan button's wait after a run
  using Listed = HostPort;
  std::vector<Listed> refreshList;  // servers remembered at the end of a run

  // The server list's handlers and their state.
  ServerListController serverList;

  // Runs after the favourites list changed here, so the settings dialog shows it.
  std::function<void()> favouritesChanged;

  // Shortest time between two runs of the message pump, in milliseconds.
  static constexpr int kPumpSpacingMs = EventLoopDriver::kPumpSpacingMs;

  // Seams: sleeps are recorded by tests instead of timed; the message pump.
  std::function<void(unsigned ms)> sleep;
  std::function<void()> pump;

  // Reply dispatch.
  void UDPDataReceived(const QByteArray& bytes, const QString& address, quint16 port);

  // Scan run.
  void SBScanAllClick();
  void SBStopClick();
  void TimerTimer();
  void NetworkError();
  void RGClick();
  void SBRefreshClick();
  void PMSAddClick();
  void TimerFavTimer();

  // Server list view.
  void LWColumnClick(int column) { serverList.LWColumnClick(column); }
  void LWSelectItem() { serverList.LWSelectItem(); }
  void LWClick() { serverList.LWClick(); }
  void LWMouseDown();
  void LWDblClick() { serverList.LWDblClick(); }
  void LWPlayersColumnClick(int column) { serverList.LWPlayersColumnClick(column); }
  int selectedRow() const;
  void selectRow(int row);

  // Joining: the launcher, auto-connect and its join check.
  JoinController join;
  void SBPlayClick() { join.SBPlayClick(); }
  void SBAutoClick() { join.SBAutoClick(); }
  void TimerAutoTimer() { join.TimerAutoTimer(); }
  void JoinCheck(int row, const std::string& address, const std::string& playersText) {
    join.JoinCheck(row, address, playersText);
  }
  // The auto-connect flag.
  bool autoConnect() const { return join.autoConnect.active(); }

  // ReplyEvents.
  bool gameShown(GameFlag flag) override;
  bool scanning() override { return scanningFlag; }
  void rowCompleted(int row, const std::string& address, uint16_t port, const std::string& playersText) override;
  bool send(const std::string& host, uint16_t port, Bytes datagram) override;
  void networkError() override { NetworkError(); }

  // Sends a query datagram to host and port; false when the send failed. Every
  // query passes here and is recorded in the dispatcher's query log under the
  // address it really went to; broadcast marks the local network's broadcast.
  bool sendQuery(const std::string& host, uint16_t port, Bytes datagram, bool broadcast = false);
  // Sends the Source info query, then the old one when ScanOld is on; false when a send failed.
  bool sendInfoQueries(const std::string& host, uint16_t port);
  // The dispatcher and the list texts follow ModernServers and TextCodePage.
  void applyReplyOptions();
  // The refresh list becomes the rows listed now, in display order.
  void rememberListed();
  // Shows the settings dialog without blocking this window.
  void showSettingsDialog();

  // Shell (main_window_shell.cpp): menus, tray, hotkey 1, showing and hiding.
  QWidget* aboutBox = nullptr;
  WebAddress* web = nullptr;
  void Hide1Click();
  void Exit1Click();
  void Options1Click();
  void About2Click();
  void Homepage1Click();
  void TrayIconDblClick();
  void TrayShowClick();
  void TrayExitClick();
  void WMHotKey(int id);
  // Shows the window, restored, in front (hotkey, tray double click, a later copy's request).
  void showInFront();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Every showing applies the transparency settings and restarts the
  // favourites auto-scan when it is on; hiding stops the auto-scan.
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  // Refused while a scan runs, which is stopped instead; otherwise ends the program.
  void closeEvent(QCloseEvent* event) override;
  // Minimising hides the window instead.
  void changeEvent(QEvent* event) override;

 private:
  void wireServerList();
  void wireShell();
  bool mouseDownPending_ = false;
};

// The window's scan driver (the scan's folder builds it).
std::unique_ptr<EventLoopDriver> MakeWindowScanDriver(TForm1& window);

}  // namespace gavrix
