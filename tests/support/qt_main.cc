// Test entry point for widget tests: one QApplication for the whole run, offscreen.
#include <QApplication>
#include <gtest/gtest.h>

#include "query/udp_endpoint_qt.h"
#include "support/loopback_net.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // No test may reach a real network: names never go to a name server, and the
  // local address and the interface list (and so the broadcast) stay on
  // loopback unless a test says otherwise.
  gavrix::UdpEndpoint::SetDefaultResolver([](const QString&) { return std::optional<QHostAddress>(); });
  gavrix::test::KeepNetworkOnLoopback();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
