// The program's one UDP endpoint: bound to a local port on all IPv4
// addresses, sends to a dotted address or a host name, and delivers every
// datagram it receives on the UI thread.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QUdpSocket>
#include <deque>
#include <functional>
#include <optional>

namespace gavrix {

class UdpEndpoint : public QObject {
  Q_OBJECT
 public:
  // Looks a host name up to an IPv4 address; nullopt when it cannot be resolved.
  using Resolver = std::function<std::optional<QHostAddress>(const QString& name)>;

  explicit UdpEndpoint(quint16 localPort = 27005, QObject* parent = nullptr);

  bool bound() const { return bound_; }
  quint16 localPort() const { return socket_.localPort(); }

  // Remote host text and port that the last sender set (default port 27015).
  void setRemoteHost(const QString& host) { remoteHost_ = host; }
  void setRemotePort(quint16 port) { remotePort_ = port; }
  QString remoteHost() const { return remoteHost_; }
  quint16 remotePort() const { return remotePort_; }

  // Sends to host:port. A dotted IPv4 address is used as it is; any other text
  // is looked up (twice at most) while the event loop keeps running. Fails only
  // for a name that cannot be resolved or the address 0.0.0.0; whether the
  // system then delivers the datagram is not examined.
  // On success *sentTo (when given) is the address the datagram went to.
  bool sendTo(const QString& host, quint16 port, const uint8_t* data, size_t size, QHostAddress* sentTo = nullptr);
  // Sends to the remote host and port set last.
  bool send(const uint8_t* data, size_t size) { return sendTo(remoteHost_, remotePort_, data, size); }

  void setResolver(Resolver r) { resolver_ = std::move(r); }
  // The resolver every new endpoint starts with (nullptr restores LookUpHost).
  // Test programs set one that never asks a name server.
  static void SetDefaultResolver(Resolver r);
  // The production lookup: asynchronous, with a nested event loop while it waits.
  static std::optional<QHostAddress> LookUpHost(const QString& name);

  // Most datagrams handled in one go before the event loop runs again.
  static constexpr int kSlice = 256;
  // Datagrams longer than this are cut when read.
  static constexpr qint64 kMaxDatagram = 2048;

  // Releases the socket; later sends fail quietly and nothing more arrives.
  void close();

 signals:
  void datagramReceived(const QByteArray& bytes, const QString& address, quint16 port);

 private:
  void readPending();
  void deliver();
  void queueDelivery();

  struct Inbound {
    QByteArray bytes;
    QString address;
    quint16 port;
  };
  // Read but not yet handled; at most kInboxCap, later ones are dropped.
  static constexpr size_t kInboxCap = 16 * kSlice;
  std::deque<Inbound> inbox_;
  bool deliveryQueued_ = false;

  QUdpSocket socket_;
  bool bound_ = false;
  bool closed_ = false;
  QString remoteHost_;
  quint16 remotePort_ = 27015;
  Resolver resolver_;
};

}  // namespace gavrix
