// The UDP endpoint on loopback: sends, host names through the resolver seam,
// the two failures, and delivery of received datagrams with their source.
#include "query/udp_endpoint_qt.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include "support/fake_server.h"
#include "support/scripted_boxes_qt.h"

using namespace gavrix;
using namespace gavrix::test;

TEST(UdpEndpoint, SendsAndDeliversDatagramsWithTheirSource) {
  FakeServers fakes;
  int s = fakes.add("127.0.0.31", 0, [](const Received&) { return std::vector<Datagram>{FromText("\xFF\xFF\xFF\xFFpong")}; });
  fakes.start();
  UdpEndpoint endpoint(0);
  ASSERT_TRUE(endpoint.bound());
  QByteArray got;
  QString from;
  quint16 fromPort = 0;
  QObject::connect(&endpoint, &UdpEndpoint::datagramReceived, &endpoint,
                   [&](const QByteArray& b, const QString& a, quint16 p) { got = b, from = a, fromPort = p; });
  const uint8_t ping[] = {1, 2, 3};
  EXPECT_TRUE(endpoint.sendTo(QStringLiteral("127.0.0.31"), fakes.port(s), ping, 3));
  ASSERT_TRUE(PumpUntil([&] { return !got.isEmpty(); }));
  EXPECT_EQ(got, QByteArray("\xFF\xFF\xFF\xFFpong"));
  EXPECT_EQ(from, QStringLiteral("127.0.0.31"));
  EXPECT_EQ(fromPort, fakes.port(s));
  auto r = fakes.receivedBy(s);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].bytes, (Datagram{1, 2, 3}));
  EXPECT_EQ(r[0].fromPort, endpoint.localPort());
}

TEST(UdpEndpoint, HostNamesGoThroughTheResolverAndFailOnlyWhenUnresolved) {
  FakeServers fakes;
  int s = fakes.add("127.0.0.32", 0);
  fakes.start();
  UdpEndpoint endpoint(0);
  int lookups = 0;
  endpoint.setResolver([&](const QString& name) -> std::optional<QHostAddress> {
    ++lookups;
    if (name == QStringLiteral("fake.host")) return QHostAddress(QStringLiteral("127.0.0.32"));
    return std::nullopt;
  });
  const uint8_t b[] = {7};
  EXPECT_TRUE(endpoint.sendTo(QStringLiteral("fake.host"), fakes.port(s), b, 1));
  EXPECT_EQ(lookups, 1);
  EXPECT_FALSE(endpoint.sendTo(QStringLiteral("no.such.host"), fakes.port(s), b, 1));
  EXPECT_EQ(lookups, 3);  // tried twice
  EXPECT_FALSE(endpoint.sendTo(QStringLiteral("0.0.0.0"), fakes.port(s), b, 1));
  EXPECT_FALSE(endpoint.sendTo(QString(), fakes.port(s), b, 1));
  ASSERT_TRUE(PumpUntil([&] { return fakes.count() == 1; }));
}

TEST(UdpEndpoint, ABurstIsReadInSlicesAndNothingIsLost) {
  FakeServers fakes;
  int s = fakes.add("127.0.0.33", 0);
  fakes.start();
  UdpEndpoint endpoint(0);
  int got = 0;
  QObject::connect(&endpoint, &UdpEndpoint::datagramReceived, &endpoint,
                   [&](const QByteArray&, const QString&, quint16) { ++got; });
  const int burst = UdpEndpoint::kSlice + 20;
  for (int i = 0; i < burst; ++i) fakes.sendFrom(s, "127.0.0.1", endpoint.localPort(), Datagram{0xFF, 1, 2});
  QThread::msleep(50);
  QCoreApplication::processEvents();
  EXPECT_LE(got, UdpEndpoint::kSlice);  // one slice, then the loop runs on
  PumpUntil([&] { return got == burst; });
  EXPECT_EQ(got, burst);
}

TEST(UdpEndpoint, DatagramsArriveWhileAHandlerRunsANestedLoop) {
  // A handler that opens a modal box runs a nested event loop; datagrams that
  // arrive meanwhile must still be delivered, not held until the box closes.
  FakeServers fakes;
  int s = fakes.add("127.0.0.34", 0);
  fakes.start();
  UdpEndpoint endpoint(0);
  std::vector<int> got;
  bool nestedSawSecond = false;
  QObject::connect(&endpoint, &UdpEndpoint::datagramReceived, &endpoint,
                   [&](const QByteArray& b, const QString&, quint16) {
                     got.push_back(b.at(4));
                     if (b.at(4) != 1) return;
                     fakes.sendFrom(s, "127.0.0.1", endpoint.localPort(), Datagram{0xFF, 0xFF, 0xFF, 0xFF, 2});
                     nestedSawSecond = PumpUntil([&] { return got.size() == 2; });
                   });
  fakes.sendFrom(s, "127.0.0.1", endpoint.localPort(), Datagram{0xFF, 0xFF, 0xFF, 0xFF, 1});
  ASSERT_TRUE(PumpUntil([&] { return got.size() == 2; }));
  EXPECT_TRUE(nestedSawSecond);
  EXPECT_EQ(got, (std::vector<int>{1, 2}));
}
