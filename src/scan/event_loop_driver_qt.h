// The scan engine's driver on a Qt event loop: sends through the UDP endpoint,
// sleeps by blocking the thread and pumps by handling pending events. The
// window and gavrix-scan build theirs on it.
#pragma once

#include <QElapsedTimer>

#include "query/send_times.h"
#include "query/udp_endpoint_qt.h"
#include "scan/scan_engine.h"

namespace gavrix {

class EventLoopDriver : public ScanDriver {
 public:
  explicit EventLoopDriver(UdpEndpoint& endpoint) : endpoint_(endpoint) {}

  // Sets the endpoint's remote host and port, then sends there; records the
  // send time of every info query.
  bool send(const std::string& host, uint16_t port, Bytes datagram, bool broadcast) override;
  void aim(const std::string& host) override;
  void sleep(unsigned ms) override;
  // Handles what is pending, but not more often than every kPumpSpacingMs: a
  // repaint of a window per target would make painting the pace of a scan.
  void pump() override;
  std::string localAddress() override;

  static constexpr int kPumpSpacingMs = 8;

  SendTimes sendTimes;

 protected:
  // Every datagram that went out, with the address it went to.
  virtual void sent(const QHostAddress& to, uint16_t port, Bytes datagram) { (void)to, (void)port, (void)datagram; }

  UdpEndpoint& endpoint_;

 private:
  QElapsedTimer pumpClock_;
};

}  // namespace gavrix
