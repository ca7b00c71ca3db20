// UDP endpoint over QUdpSocket.
#include "query/udp_endpoint_qt.h"

#include <QEventLoop>
#include <QHostInfo>
#include <QNetworkDatagram>
#include <QTimer>
#include <QVariant>

#include <sys/socket.h>

namespace gavrix {

namespace {
UdpEndpoint::Resolver& DefaultResolver() {
  static UdpEndpoint::Resolver r;
  return r;
}
}  // namespace

void UdpEndpoint::SetDefaultResolver(Resolver r) { DefaultResolver() = std::move(r); }

UdpEndpoint::UdpEndpoint(quint16 localPort, QObject* parent)
    : QObject(parent), resolver_(DefaultResolver() ? DefaultResolver() : Resolver(&LookUpHost)) {
  // Whether the bind succeeds is not acted on: replies then simply never come.
  bound_ = socket_.bind(QHostAddress::AnyIPv4, localPort);
  // Room for the replies of a whole LAN that arrive while the window is busy.
  socket_.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(1 << 20));
  // The scan's broadcast step sends to the networks' broadcast addresses.
  if (bound_) {
    const int on = 1;
    ::setsockopt(static_cast<int>(socket_.socketDescriptor()), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  }
  connect(&socket_, &QUdpSocket::readyRead, this, &UdpEndpoint::readPending);
}

void UdpEndpoint::close() {
  closed_ = true;
  socket_.close();
}

std::optional<QHostAddress> UdpEndpoint::LookUpHost(const QString& name) {
  QEventLoop loop;
  std::optional<QHostAddress> found;
  QHostInfo::lookupHost(name, &loop, [&](const QHostInfo& info) {
    for (const QHostAddress& a : info.addresses()) {
      if (a.protocol() == QAbstractSocket::IPv4Protocol) {
        found = a;
        break;
      }
    }
    loop.quit();
  });
  loop.exec();
  return found;
}

bool UdpEndpoint::sendTo(const QString& host, quint16 port, const uint8_t* data, size_t size, QHostAddress* sentTo) {
  QHostAddress address;
  QHostAddress literal;
  if (literal.setAddress(host) && literal.protocol() == QAbstractSocket::IPv4Protocol && host.count(u'.') == 3) {
    address = literal;
  } else {
    std::optional<QHostAddress> found;
    for (int attempt = 0; attempt < 2 && !found && !host.isEmpty(); ++attempt) found = resolver_(host);
    if (!found) return false;
    address = *found;
  }
  if (address == QHostAddress(QHostAddress::AnyIPv4)) return false;
  if (sentTo) *sentTo = address;
  if (!closed_)
    socket_.writeDatagram(reinterpret_cast<const char*>(data), static_cast<qint64>(size), address, port);
  return true;
}

void UdpEndpoint::readPending() {
  // Read only here, in readyRead: the socket signals again as long as datagrams
  // wait, so a burst is taken a slice at a time and the event loop runs between
  // slices. Reading elsewhere could leave a notice with nothing to read, after
  // which the socket would signal no more.
  for (int n = 0; n < kSlice; ++n) {
    if (!socket_.hasPendingDatagrams()) break;
    QNetworkDatagram d = socket_.receiveDatagram(kMaxDatagram);
    if (!d.isValid()) break;
    // A flood that outruns the handlers is dropped, as a full socket buffer would.
    if (inbox_.size() >= kInboxCap) continue;
    QHostAddress from = d.senderAddress();
    bool ok = false;
    QHostAddress v4(from.toIPv4Address(&ok));
    inbox_.push_back({d.data(), ok ? v4.toString() : from.toString(), static_cast<quint16>(d.senderPort())});
  }
  queueDelivery();
}

void UdpEndpoint::queueDelivery() {
  // Handlers run from the event loop, not inside readyRead: the socket does not
  // signal while its signal runs, so a box opened by a handler would otherwise
  // hold back every later datagram until it closes.
  if (deliveryQueued_ || inbox_.empty()) return;
  deliveryQueued_ = true;
  QTimer::singleShot(0, this, [this] {
    deliveryQueued_ = false;
    deliver();
  });
}

void UdpEndpoint::deliver() {
  // A handler may run a nested loop that delivers later datagrams meanwhile:
  // each one leaves the inbox before its handler runs.
  for (int n = 0; n < kSlice && !inbox_.empty(); ++n) {
    Inbound d = std::move(inbox_.front());
    inbox_.pop_front();
    if (!closed_) emit datagramReceived(d.bytes, d.address, d.port);
  }
  queueDelivery();
}

}  // namespace gavrix
