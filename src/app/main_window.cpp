// The main window: controls, models, endpoint and dispatcher, and the reply
// events the decoders report.
#include "app/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMouseEvent>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include "app/shortcuts.h"
#include "settings/settings.h"
#include "widgets/translucency_qt.h"
#include "util/code_page.h"
#include "util/message_box_qt.h"
#include "util/text.h"

namespace gavrix {

TForm1::TForm1(quint16 udpPort, QWidget* parent)
    : QMainWindow(parent),
      endpoint(udpPort, this),
      dispatcher(servers, players, rules, *this),
      scanDriver(MakeWindowScanDriver(*this)),
      engine(*scanDriver, dispatcher.queries()),
      join(this) {
  // The seams start as the event loop's sleep and message pump.
  sleep = [this](unsigned ms) { scanDriver->EventLoopDriver::sleep(ms); };
  pump = [this] { scanDriver->EventLoopDriver::pump(); };
  scanDriver->queryLog = &dispatcher.queryLog();
  ui.setupUi(this);
  ui.attachModels(servers, players, rules);
  connect(&endpoint, &UdpEndpoint::datagramReceived, this, &TForm1::UDPDataReceived);
  join.setParts(JoinParts{
      this, ui.SBScanAll, ui.SBRefresh, ui.SBAuto, ui.SBPlay, ui.TimerFav, ui.TimerAuto, &servers,
      [this] { return selectedRow(); }, [this](int row) { selectRow(row); }, [this] { servers.clear(); },
      [this](int panel, const QString& text) { ui.SBar->setPanelText(panel, text); },
      [this](const std::string& host, uint16_t port) { return sendInfoQueries(host, port); },
      [this] { NetworkError(); }, [this]() -> const Settings* { return settings; }});
  serverList.setParts(ServerListParts{
      &servers, &players, &rules, ui.SBPlay, ui.SBAuto, [this] { return selectedRow(); },
      [this](int picture) { ui.setGamePicture(picture); },
      [this](const std::string& address, uint16_t port) { return engine.sendDetails(address, port); },
      [this] { NetworkError(); }, [this] { return autoConnect(); },
      [this] { return settings && settings->DoubleClick; }, [this] { SBPlayClick(); }});
  connect(ui.TimerAuto, &QTimer::timeout, this, [this] { Guarded(this, [this] { TimerAutoTimer(); }); });

  connect(ui.SBScanAll, &QToolButton::clicked, this, [this] { Guarded(this, [this] { SBScanAllClick(); }); });
  connect(ui.SBStop, &QToolButton::clicked, this, [this] { Guarded(this, [this] { SBStopClick(); }); });
  connect(ui.SBRefresh, &QToolButton::clicked, this, [this] { Guarded(this, [this] { SBRefreshClick(); }); });
  connect(ui.SBPlay, &QToolButton::clicked, this, [this] { Guarded(this, [this] { SBPlayClick(); }); });
  connect(ui.SBAuto, &QToolButton::clicked, this, [this] { Guarded(this, [this] { SBAutoClick(); }); });
  connect(ui.RG, &RadioGroup::itemClicked, this, [this] { Guarded(this, [this] { RGClick(); }); });
  connect(ui.Timer, &QTimer::timeout, this, [this] { Guarded(this, [this] { TimerTimer(); }); });
  connect(ui.TimerFav, &QTimer::timeout, this, [this] { Guarded(this, [this] { TimerFavTimer(); }); });
  connect(ui.PMSAdd, &QAction::triggered, this, [this] { Guarded(this, [this] { PMSAddClick(); }); });
  connect(ui.Play, &QAction::triggered, this, [this] { Guarded(this, [this] { SBPlayClick(); }); });
  connect(ui.Auto, &QAction::triggered, this, [this] { Guarded(this, [this] { SBAutoClick(); }); });
  connect(ui.Options1, &QAction::triggered, this, [this] { showSettingsDialog(); });
  connect(ui.Hide1, &QAction::triggered, this, [this] { hide(); });
  connect(ui.Exit1, &QAction::triggered, this, [this] { close(); });
  wireServerList();
  wireShell();
  AddShortcuts(*this);
}

TForm1::~TForm1() { endpoint.close(); }

void TForm1::attachSettings(Settings* s, IniFile* store, QWidget* dialog) {
  settings = s;
  ini = store;
  settingsDialog = dialog;
  applyReplyOptions();
}

SettingsParts TForm1::settingsParts() {
  return SettingsParts{
      this, ui.TimerFav, [this](int panel, const QString& text) { ui.SBar->setPanelText(panel, text); },
      [this] { return ui.RG->itemIndex(); }, [this](int choice) { ui.RG->setItemIndex(choice); },
      [this](Settings* s, IniFile* store, QWidget* dialog) { attachSettings(s, store, dialog); },
      [this](std::function<void()> changed) { favouritesChanged = std::move(changed); },
      [this] { applyReplyOptions(); }};
}

void TForm1::showSettingsDialog() {
  if (!settingsDialog) return;
  settingsDialog->show();
  settingsDialog->raise();
  settingsDialog->activateWindow();
}

void TForm1::UDPDataReceived(const QByteArray& bytes, const QString& address, quint16 port) {
  Guarded(this, [&] {
    dispatcher.UDPDataReceived(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()),
                               address.toStdString(), port);
  });
}

bool TForm1::gameShown(GameFlag flag) {
  return settings ? settings->games[static_cast<size_t>(flag)] : true;
}

void TForm1::rowCompleted(int row, const std::string& address, uint16_t port, const std::string& playersText) {
  if (auto ms = dispatcher.queryLog().pingMs(address, port)) servers.setPing(row, *ms);
  if (!scanningFlag) ui.SBRefresh->setEnabled(true);
  JoinCheck(row, address, playersText);
}

bool TForm1::send(const std::string& host, uint16_t port, Bytes datagram) { return sendQuery(host, port, datagram); }

bool TForm1::sendQuery(const std::string& host, uint16_t port, Bytes datagram, bool broadcast) {
  return scanDriver->send(host, port, datagram, broadcast);
}

void TForm1::applyReplyOptions() {
  const bool modern = !settings || settings->ModernServers;
  dispatcher.setOptions({.modernServers = modern});
  SetShownCodePage(modern ? OfferedCodePage(settings ? settings->TextCodePage : 0) : CodePage::Latin1);
  ui.LW->viewport()->update();
  ui.LWPlayers->viewport()->update();
  ui.LWRules->viewport()->update();
}

bool TForm1::sendInfoQueries(const std::string& host, uint16_t port) { return engine.sendInfo(host, port); }

void TForm1::rememberListed() {
  refreshList.clear();
  refreshList.reserve(static_cast<size_t>(servers.size()));
  for (int i = 0; i < servers.size(); ++i) refreshList.push_back({servers.row(i).address(), servers.row(i).port()});
}

int TForm1::selectedRow() const {
  const QModelIndexList rows = ui.LW->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void TForm1::selectRow(int row) {
  auto* sel = ui.LW->selectionModel();
  if (row < 0 || row >= servers.size()) {
    sel->clearSelection();
    return;
  }
  QModelIndex index = ui.LW->model()->index(row, 0);
  sel->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TForm1::wireServerList() {
  connect(ui.LW->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { Guarded(this, [this] { LWSelectItem(); }); });
  connect(ui.LW->header(), &QHeaderView::sectionClicked, this,
          [this](int column) { Guarded(this, [this, column] { LWColumnClick(column); }); });
  connect(ui.LWPlayers->header(), &QHeaderView::sectionClicked, this,
          [this](int column) { Guarded(this, [this, column] { LWPlayersColumnClick(column); }); });
  ui.LW->header()->setSectionsClickable(true);
  ui.LWPlayers->header()->setSectionsClickable(true);
  connect(ui.LW, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    // A right press is handled by the list before its context menu request.
    if (mouseDownPending_) LWMouseDown();
    if (serverList.popupArmed) ui.PMServers->popup(ui.LW->viewport()->mapToGlobal(at));
  });
  ui.LW->viewport()->installEventFilter(this);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched != ui.LW->viewport()) return QMainWindow::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* e = static_cast<QMouseEvent*>(event);
      // A left press on no row leaves no row selected, as in a report list.
      if (e->button() == Qt::LeftButton && !ui.LW->indexAt(e->position().toPoint()).isValid())
        ui.LW->selectionModel()->clearSelection();
      // The mouse-down rule looks at the selection the press leaves.
      mouseDownPending_ = true;
      QTimer::singleShot(0, this, [this] {
        if (mouseDownPending_) LWMouseDown();
      });
      break;
    }
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        QTimer::singleShot(0, this, [this] { Guarded(this, [this] { LWClick(); }); });
      break;
    case QEvent::MouseButtonDblClick:
      if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) break;
      QTimer::singleShot(0, this, [this] { Guarded(this, [this] { LWDblClick(); }); });
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!settings || event->spontaneous()) return;
  if (settings->FavAutoScan) ui.TimerFav->start();
  ApplyTranslucencyOnShow(this, settings->Trans, settings->TransLevel, ShowRule::SwitchOnOnly);
}

void TForm1::hideEvent(QHideEvent* event) {
  QMainWindow::hideEvent(event);
  if (!event->spontaneous()) ui.TimerFav->stop();
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (scanningFlag) {
    event->ignore();
    SBStopClick();
    return;
  }
  event->accept();
  endpoint.close();
  QCoreApplication::quit();
}

void TForm1::LWMouseDown() {
  mouseDownPending_ = false;
  serverList.popupArmed = selectedRow() >= 0;
}

}  // namespace gavrix
