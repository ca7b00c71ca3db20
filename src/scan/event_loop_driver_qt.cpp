#include "scan/event_loop_driver_qt.h"

#include <QCoreApplication>
#include <QThread>

#include "util/local_address.h"

namespace gavrix {

bool EventLoopDriver::send(const std::string& host, uint16_t port, Bytes datagram, bool broadcast) {
  const QString remote = QString::fromStdString(host);
  endpoint_.setRemoteHost(remote);
  endpoint_.setRemotePort(port);
  QHostAddress to;
  if (!endpoint_.sendTo(remote, port, datagram.data(), datagram.size(), &to)) return false;
  sendTimes.noteSent(to.toString().toStdString(), port, datagram, broadcast);
  sent(to, port, datagram);
  return true;
}

void EventLoopDriver::aim(const std::string& host) { endpoint_.setRemoteHost(QString::fromStdString(host)); }

void EventLoopDriver::sleep(unsigned ms) {
  if (ms) QThread::msleep(ms);
}

void EventLoopDriver::pump() {
  if (pumpClock_.isValid() && pumpClock_.elapsed() < kPumpSpacingMs) return;
  QCoreApplication::processEvents();
  pumpClock_.start();
}

std::string EventLoopDriver::localAddress() { return GetLocalIP(); }

}  // namespace gavrix
