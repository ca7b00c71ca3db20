// The platform-independent parts of the desktop services: the single-copy
// checks, the web address opener and the choice of services at start.
#include "app/platform/desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <unistd.h>

#include "app/platform/system_tray.h"
#include "app/platform/xcb_desktop.h"

namespace gavrix {

CaptionSingleCopy::CaptionSingleCopy(std::unique_ptr<WindowList> windows, QString title, QObject* parent)
    : SingleCopy(parent), windows_(std::move(windows)), title_(std::move(title)) {
  connect(windows_.get(), &WindowList::restoreRequested, this, &SingleCopy::showRequested);
}

bool CaptionSingleCopy::otherCopyRunning() {
  for (const WindowList::TopWindow& w : windows_->topLevelWindows()) {
    if (w.caption != title_) continue;
    windows_->restore(w.id);
    return true;
  }
  return false;
}

struct LockSingleCopy::State {
  explicit State(const QString& lockPath) : lock(lockPath) {}
  QLockFile lock;
  QString socketName;
  QLocalServer server;
};

LockSingleCopy::LockSingleCopy(QString name, QObject* parent) : SingleCopy(parent) {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  state_ = std::make_unique<State>(QDir(folder).filePath(name + QStringLiteral(".lock")));
  state_->socketName = name;
  connect(&state_->server, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* peer = state_->server.nextPendingConnection()) {
      connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
      emit showRequested();
    }
  });
}

LockSingleCopy::~LockSingleCopy() = default;

bool LockSingleCopy::otherCopyRunning() {
  // A lock left by a copy that died is taken over: QLockFile checks its process.
  if (state_->lock.tryLock(0)) {
    QLocalServer::removeServer(state_->socketName);  // a socket file left by a copy that died
    state_->server.setSocketOptions(QLocalServer::UserAccessOption);
    state_->server.listen(state_->socketName);
    return false;
  }
  QLocalSocket peer;
  peer.connectToServer(state_->socketName);
  if (peer.waitForConnected(1000)) {
    peer.write("show\n");
    peer.waitForBytesWritten(1000);
    peer.disconnectFromServer();
  }
  return true;
}

void DesktopWebAddress::open(const QUrl& address) { QDesktopServices::openUrl(address); }

Desktop NativeDesktop(const QString& title) {
  Desktop d;
  if (XcbAvailable()) {
    d.singleCopy = std::make_unique<CaptionSingleCopy>(std::make_unique<XcbWindowList>(), title);
    d.hotkey = std::make_unique<XcbHotkey>();
    d.taskbar = std::make_unique<XcbTaskbarEntry>();
  } else {
    d.singleCopy = std::make_unique<LockSingleCopy>(QStringLiteral("gavrix-%1").arg(::getuid()));
    d.hotkey = std::make_unique<NoHotkey>();
    d.taskbar = std::make_unique<NoTaskbarControl>();
  }
  d.web = std::make_unique<DesktopWebAddress>();
  d.makeTray = [](QMenu* menu) -> std::unique_ptr<Tray> { return std::make_unique<SystemTray>(menu); };
  return d;
}

}  // namespace gavrix
