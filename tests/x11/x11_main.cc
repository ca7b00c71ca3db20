// Entry point of the tests that need a real X server: run inside
// tests/x11/xsession.sh (Xvfb, openbox, trayer), one X session per test.
#include <QApplication>
#include <gtest/gtest.h>

#include "query/udp_endpoint_qt.h"
#include "util/local_address.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("DISPLAY")) {
    std::fprintf(stderr, "x11_tests: no DISPLAY; run through tests/x11/xsession.sh\n");
    return 1;
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  gavrix::UdpEndpoint::SetDefaultResolver([](const QString&) { return std::optional<QHostAddress>(); });
  gavrix::SetLocalAddressProvider([] { return std::string("127.0.0.1"); });
  return RUN_ALL_TESTS();
}
