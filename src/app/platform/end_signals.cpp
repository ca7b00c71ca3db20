// Signal handlers that only write to a socket pair; the program ends on its event loop.
#include "app/platform/end_signals.h"

#include <cerrno>
#include <csignal>
#include <iterator>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace gavrix {

namespace {

int gPair[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction gPrevious[std::size(kSignals)];

extern "C" void OnEndSignal(int number) {
  const int saved = errno;
  const auto byte = static_cast<unsigned char>(number);
  [[maybe_unused]] ssize_t n = ::write(gPair[0], &byte, 1);
  errno = saved;
}

}  // namespace

EndSignals::EndSignals(QObject* parent) : QObject(parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gPair) != 0) return;
  ::fcntl(gPair[0], F_SETFL, O_NONBLOCK);  // a flood of signals never blocks the handler
  notifier_ = std::make_unique<QSocketNotifier>(gPair[1], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
    unsigned char byte = 0;
    if (::read(gPair[1], &byte, 1) == 1) emit endRequested(byte);
  });
  struct sigaction action = {};
  action.sa_handler = OnEndSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &action, &gPrevious[i]);
}

EndSignals::~EndSignals() {
  if (!notifier_) return;
  for (size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &gPrevious[i], nullptr);
  notifier_.reset();
  ::close(gPair[0]);
  ::close(gPair[1]);
  gPair[0] = gPair[1] = -1;
}

}  // namespace gavrix
