// The scan run and its stop, wait countdown and network-error operation; the
// refresh of listed servers; favourites added from the list and their timed
// auto-scan. Handlers of the main window.
#include <QTimer>
#include <QToolButton>

#include "app/main_window.h"
#include "settings/settings.h"
#include "util/message_box_qt.h"

namespace gavrix {

namespace {

const QString kNothingToScan =
    QStringLiteral("IP ranges, Favorites list is empty and Broadcast is disabled. Please set it in Options.");
const QString kNoGamePort = QStringLiteral("Game port is empty. Please set it in Options.");
const QString kNoHltvPort = QStringLiteral("HLTV port is empty. Please set it in Options.");

}  // namespace

void TForm1::SBScanAllClick() {
  ui.Gauge->setProgress(0);
  if (!settings) return;
  const Settings& s = *settings;
  const int choice = ui.RG->itemIndex();
  const QString* warning = nullptr;
  if (s.ranges.empty() && s.favourites.empty() && !s.Broadcast) warning = &kNothingToScan;
  else if (choice == kScanGamePort && s.CSPort.empty()) warning = &kNoGamePort;
  else if (choice == kScanHltvPort && s.HLTVPort.empty()) warning = &kNoHltvPort;
  if (warning) {
    Boxes().message(this, QStringLiteral("Warning"), *warning, BoxIcon::Warning);
    showSettingsDialog();
    return;
  }

  // Start. A wait countdown left over from an earlier network error ends here.
  scanningFlag = true;
  if (ui.Timer->isActive()) {
    ui.Timer->stop();
    ui.SBScanAll->setText(QStringLiteral("Scan"));
  }
  if (!autoConnect()) ui.SBAuto->setEnabled(false);
  ui.RG->setEnabled(false);
  ui.SBPlay->setEnabled(false);
  ui.SBScanAll->setEnabled(false);
  ui.SBRefresh->setEnabled(false);
  ui.SBStop->setEnabled(true);
  servers.clear();
  players.clear();
  stopFlag = false;
  ui.SBar->setPanelText(1, QStringLiteral("0"));

  // The run works on the lists as they were when it started: edits made in the
  // dialog meanwhile apply to the next run.
  ScanPlan plan;
  plan.favourites = s.favourites;
  for (const ScanRange& r : s.ranges)
    if (r.checked) plan.ranges.emplace_back(r.from, r.to);
  // Broadcast and ranges go to the chosen scan port; with no choice, the game port.
  plan.scanPort = PortNumber(choice == kScanHltvPort ? s.HLTVPort : s.CSPort);
  plan.broadcast = s.Broadcast;
  plan.broadcastPorts = s.BroadcastPorts;
  if (engine.run(plan) == ScanEngine::End::Stopped) {
    ui.SBar->setPanelText(0, QStringLiteral(" Scan stoped."));
    return;
  }

  // End: remember the listed servers for the refresh.
  rememberListed();
  ui.SBar->setPanelText(0, QStringLiteral(" Scan complete"));
  ui.RG->setEnabled(true);
  waitCountdown = 3;
  ui.Timer->start();
  ui.SBStop->setEnabled(false);
  scanningFlag = false;
  if (!servers.empty()) ui.SBRefresh->setEnabled(true);
}

void TForm1::SBStopClick() {
  stopFlag = true;
  scanningFlag = false;
  waitCountdown = 3;
  ui.Timer->start();
  ui.SBStop->setEnabled(false);
  ui.RG->setEnabled(true);
  if (!servers.empty()) ui.SBRefresh->setEnabled(true);
}

void TForm1::TimerTimer() {
  ui.SBScanAll->setText(QStringLiteral("Wait ") + QString::number(waitCountdown));
  if (waitCountdown == 0) {
    ui.Timer->stop();
    ui.SBScanAll->setText(QStringLiteral("Scan"));
    if (!autoConnect()) ui.SBScanAll->setEnabled(true);
  }
  --waitCountdown;
}

void TForm1::NetworkError() {
  ui.SBStop->setEnabled(true);
  SBStopClick();
  ui.SBStop->setEnabled(false);
  ui.SBar->setPanelText(2, QStringLiteral(" Network error..."));
}

void TForm1::RGClick() {
  int choice = ui.RG->itemIndex();
  if (settings) settings->GameType = choice;
  if (ini) WriteGameType(*ini, choice);
}

void TForm1::SBRefreshClick() {
  if (!autoConnect()) ui.SBAuto->setEnabled(false);
  ui.SBRefresh->setEnabled(false);
  ui.SBPlay->setEnabled(false);
  if (static_cast<size_t>(servers.size()) > refreshList.size()) rememberListed();
  sleep(300);
  servers.clear();
  players.clear();
  engine.refresh(refreshList);
  ui.SBRefresh->setEnabled(true);
  ui.SBar->setPanelText(0, QStringLiteral(" Refresh complete"));
}

void TForm1::PMSAddClick() {
  int row = selectedRow();
  if (row < 0 || !settings) return;
  const std::string address = servers.row(row).address();
  const std::string port = servers.row(row).port();
  // A GoldSrc reply writes its port text itself: a favourite must be a port a scan can use.
  if (!IsUsablePort(port)) {
    Boxes().message(this, QStringLiteral("Error"), QStringLiteral("Bad port"), BoxIcon::Error);
    return;
  }
  for (const Favourite& f : settings->favourites) {
    if (f.host == address && f.port == port) {
      Boxes().message(this, QStringLiteral("Error"), QStringLiteral("This address is already exist"), BoxIcon::Error);
      return;
    }
  }
  settings->favourites.push_back({address, port});
  if (favouritesChanged) favouritesChanged();
}

void TForm1::TimerFavTimer() {
  // A tick during a scan run, or during the wait that follows it, would wipe
  // the servers the run found: it is skipped, and the timer keeps its interval.
  if (scanningFlag || (ui.Timer->isActive() && !ui.SBScanAll->isEnabled())) return;
  servers.clear();
  ui.SBAuto->setEnabled(false);
  ui.SBPlay->setEnabled(false);
  if (!settings || settings->favourites.empty() || !ui.SBScanAll->isEnabled()) return;
  engine.favouritesTick(std::vector<Favourite>(settings->favourites));
  ui.SBar->setPanelText(0, QStringLiteral(" Autoscan..."));
  if (ui.TimerFav->interval() < 5000) ui.TimerFav->setInterval(settings->UpdInterval * 1000);
}

namespace {

// The engine's driver in the window: the window's sleep and pump seams, its
// stop flag and network error, the gauge and the status panels.
class WindowScanDriver final : public EventLoopDriver {
 public:
  explicit WindowScanDriver(TForm1& w) : EventLoopDriver(w.endpoint), w_(w) {}

  void sleep(unsigned ms) override { w_.sleep(ms); }
  void pump() override { w_.pump(); }
  void networkError() override { w_.NetworkError(); }
  bool stopRequested() override { return w_.stopFlag; }
  bool scanOld() override { return w_.settings && w_.settings->ScanOld; }
  int delay() override { return w_.settings ? w_.settings->Delay : 0; }
  void progressMax(int64_t count) override {
    w_.ui.Gauge->setMaxValue(static_cast<int>(std::min<int64_t>(count, INT32_MAX)));
  }
  void progressStep() override { w_.ui.Gauge->addProgress(1); }
  void stepDone(ScanStep step, const std::string& target, int sent) override {
    // A favourite shows the endpoint's remote host: another sender may have set it during the pump.
    if (step == ScanStep::RunFavourite || step == ScanStep::TickFavourite)
      w_.ui.SBar->setPanelText(0, u' ' + endpoint_.remoteHost());
    else if (step == ScanStep::RunRange)
      w_.ui.SBar->setPanelText(0, u' ' + QString::fromStdString(target));
    if (step != ScanStep::TickFavourite) w_.ui.SBar->setPanelText(1, QString::number(sent));
  }

 private:
  TForm1& w_;
};

}  // namespace

std::unique_ptr<EventLoopDriver> MakeWindowScanDriver(TForm1& window) {
  return std::make_unique<WindowScanDriver>(window);
}

}  // namespace gavrix
