// Timed runs of the scan on loopback: the widest range the settings accept,
// against the floor of plain sendto() calls for the same datagrams, and a
// scan of 250 fake servers from the click to the last row listed.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QToolButton>
#include <chrono>
#include <cstdio>

#include "app/main_window.h"
#include "scan/ranges.h"
#include "settings/settings.h"
#include "support/fake_server.h"
#include "support/loopback_net.h"
#include "util/local_address.h"

using namespace gavrix;

namespace {

// A port on 127.1.x.y where nothing listens.
constexpr uint16_t kSilentPort = 27999;

double SendtoFloor(const std::string& from, const std::string& to, uint16_t port) {
  int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  QueryBuffers q;
  auto start = std::chrono::steady_clock::now();
  RangeTargets(from, to).forEach([&](uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(uint32_t{a} << 24 | uint32_t{b} << 16 | uint32_t{c} << 8 | d);
    ::sendto(fd, q.sourceInfo().data(), q.sourceInfo().size(), 0, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::sendto(fd, q.oldInfo().data(), q.oldInfo().size(), 0, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    return true;
  });
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  ::close(fd);
  return ms;
}

double WidestRange(TForm1& w, Settings& s) {
  s.ranges = {{true, "127.1.1.0", "127.1.255.255"}};
  s.CSPort = std::to_string(kSilentPort);
  s.ScanOld = true;
  s.Delay = 0;
  w.ui.SBScanAll->setEnabled(true);
  QElapsedTimer t;
  t.start();
  w.SBScanAllClick();
  return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

double FakeFarm(TForm1& w, Settings& s, int& listed) {
  test::FakeServers fakes;
  uint16_t port = 0;
  for (int i = 1; i <= 250; ++i) {
    test::SourceInfo info;
    info.name = "bench " + std::to_string(i);
    int k = fakes.add("127.0.0." + std::to_string(i), port, test::AnswerInfo(test::Build(info)));
    port = fakes.port(k);
  }
  fakes.start();
  s.ranges = {{true, "127.0.0.1", "127.0.0.254"}};
  s.CSPort = std::to_string(port);
  s.ScanOld = false;
  w.ui.SBScanAll->setEnabled(true);
  QElapsedTimer t;
  t.start();
  w.SBScanAllClick();
  qint64 last = 0;
  while (t.elapsed() < 2000 && w.servers.size() < 250) {
    QCoreApplication::processEvents();
    last = t.nsecsElapsed();
  }
  if (w.servers.size() >= 250 && last == 0) last = t.nsecsElapsed();
  listed = w.servers.size();
  return static_cast<double>(last) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // No broadcast, and loopback addresses and interfaces should one be asked for.
  test::KeepNetworkOnLoopback();
  Settings settings;
  settings.Broadcast = false;
  TForm1 w(0);
  w.attachSettings(&settings, nullptr, nullptr);
  w.ui.RG->setItemIndex(kScanGamePort);
  if (!qEnvironmentVariableIsSet("BENCH_HIDDEN")) w.show();

  const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
  for (int i = 0; i < rounds; ++i) {
    double floor = SendtoFloor("127.1.1.0", "127.1.255.255", kSilentPort);
    double click = WidestRange(w, settings);
    std::printf("widest range, 65026 targets, ScanOld on: click %.1f ms, sendto floor %.1f ms, ratio %.2f\n", click,
                floor, click / floor);
  }
  for (int i = 0; i < rounds; ++i) {
    int listed = 0;
    double ms = FakeFarm(w, settings, listed);
    std::printf("250 fake servers, scan of 254 addresses: %d listed, last row after %.2f ms\n", listed, ms);
  }
  return 0;
}
