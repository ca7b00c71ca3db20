// Entry point of the tests that need a real X server: run inside
// tests/x11/xsession.sh (Xvfb, openbox, trayer), one X session per test.
#include <QApplication>
#include <gtest/gtest.h>

#include "query/udp_endpoint_qt.h"
#include "support/loopback_net.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("DISPLAY")) {
    std::fprintf(stderr, "x11_tests: no DISPLAY; run through tests/x11/xsession.sh\n");
    return 1;
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  gavrix::UdpEndpoint::SetDefaultResolver([](const QString&) { return std::optional<QHostAddress>(); });
  // The local address and the interface list stay on loopback, as in every test program.
  gavrix::test::KeepNetworkOnLoopback();
  return RUN_ALL_TESTS();
}
