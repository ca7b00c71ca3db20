// The scan run and its stop, wait countdown and network-error operation; the
// refresh of listed servers; favourites added from the list and their timed
// auto-scan. Handlers of the main window.
#include <QTimer>
#include <QToolButton>

#include "app/main_window.h"
#include "scan/ranges.h"
#include "settings/settings.h"
#include "util/local_address.h"
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
  int sent = 0;
  ui.SBar->setPanelText(1, QStringLiteral("0"));
  auto countSent = [&] { ui.SBar->setPanelText(1, QString::number(++sent)); };

  // The run works on the lists as they were when it started: edits made in the
  // dialog meanwhile apply to the next run.
  const std::vector<Favourite> favourites = s.favourites;
  std::vector<RangeTargets> ranges;
  for (const ScanRange& r : s.ranges)
    if (r.checked) ranges.emplace_back(r.from, r.to);

  // Count, pumping once per counted target so the window stays live.
  int64_t count = static_cast<int64_t>(favourites.size());
  for (const RangeTargets& r : ranges) {
    r.forEach([&](uint8_t, uint8_t, uint8_t, uint8_t) {
      ++count;
      pump();
      return true;
    });
  }
  ui.Gauge->setMaxValue(static_cast<int>(std::min<int64_t>(count, INT32_MAX)));

  const QueryBuffers& q = dispatcher.queries();
  auto ended = [&] {
    if (!stopFlag) return false;
    ui.SBar->setPanelText(0, QStringLiteral(" Scan stoped."));
    return true;
  };

  for (const Favourite& f : favourites) {
    // The guarded step: a bad port, an unknown host or a failed send skips the rest.
    bool ok = [&] {
      endpoint.setRemoteHost(QString::fromStdString(f.host));
      auto port = PortNumber(f.port);
      if (!port) return false;
      sleep(static_cast<unsigned>(settings->Delay / 2));
      if (!sendQuery(f.host, *port, q.sourceInfo())) return false;
      sleep(static_cast<unsigned>(settings->Delay / 2));
      ui.Gauge->addProgress(1);
      return !settings->ScanOld || sendQuery(f.host, *port, q.oldInfo());
    }();
    if (!ok) NetworkError();
    if (ended()) return;
    pump();
    // The endpoint's remote host: another sender may have set it during the pump.
    ui.SBar->setPanelText(0, u' ' + endpoint.remoteHost());
    countSent();
  }

  // Broadcast and ranges go to the chosen scan port; with no choice, the game port.
  const std::string& portText = ui.RG->itemIndex() == kScanHltvPort ? settings->HLTVPort : settings->CSPort;
  const std::optional<uint16_t> scanPort = PortNumber(portText);

  if (settings->Broadcast) {
    bool ok = [&] {
      std::string local = GetLocalIP();
      if (local.empty() || !scanPort) return false;
      std::string target = BroadcastAddress(local);
      return sendQuery(target, *scanPort, q.sourceInfo()) &&
             (!settings->ScanOld || sendQuery(target, *scanPort, q.oldInfo()));
    }();
    if (!ok) NetworkError();
    countSent();
  }

  for (const RangeTargets& r : ranges) {
    bool stopped = !r.forEach([&](uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
      const std::string target = FormatIPv4(a, b, c, d);
      bool ok = [&] {
        if (!scanPort || !sendQuery(target, *scanPort, q.sourceInfo())) return false;
        sleep(static_cast<unsigned>(settings->Delay));
        if (settings->ScanOld && !sendQuery(target, *scanPort, q.oldInfo())) return false;
        ui.Gauge->addProgress(1);
        return true;
      }();
      if (!ok) NetworkError();
      if (ended()) return false;
      pump();
      ui.SBar->setPanelText(0, u' ' + QString::fromStdString(target));
      countSent();
      return true;
    });
    if (stopped) return;
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
  const QueryBuffers& q = dispatcher.queries();
  // A nested refresh during a pump may rewrite the list: read it afresh each time.
  for (size_t i = 0; i < refreshList.size(); ++i) {
    const Listed entry = refreshList[i];
    bool ok = [&] {
      auto port = PortNumber(entry.port);
      if (!port) return false;
      pump();
      return sendQuery(entry.address, *port, q.sourceInfo()) &&
             (!settings || !settings->ScanOld || sendQuery(entry.address, *port, q.oldInfo()));
    }();
    if (!ok) NetworkError();
  }
  ui.SBRefresh->setEnabled(true);
  ui.SBar->setPanelText(0, QStringLiteral(" Refresh complete"));
}

void TForm1::PMSAddClick() {
  int row = selectedRow();
  if (row < 0 || !settings) return;
  const std::string address = servers.row(row).address();
  const std::string port = servers.row(row).port();
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
  servers.clear();
  ui.SBAuto->setEnabled(false);
  ui.SBPlay->setEnabled(false);
  if (!settings || settings->favourites.empty() || !ui.SBScanAll->isEnabled()) return;
  const QueryBuffers& q = dispatcher.queries();
  const std::vector<Favourite> favourites = settings->favourites;
  for (const Favourite& f : favourites) {
    bool ok = [&] {
      endpoint.setRemoteHost(QString::fromStdString(f.host));
      auto port = PortNumber(f.port);
      return port && sendQuery(f.host, *port, q.sourceInfo()) &&
             (!settings->ScanOld || sendQuery(f.host, *port, q.oldInfo()));
    }();
    if (!ok) NetworkError();
    pump();
    ui.SBar->setPanelText(0, u' ' + endpoint.remoteHost());
  }
  ui.SBar->setPanelText(0, QStringLiteral(" Autoscan..."));
  if (ui.TimerFav->interval() < 5000) ui.TimerFav->setInterval(settings->UpdInterval * 1000);
}

}  // namespace gavrix
