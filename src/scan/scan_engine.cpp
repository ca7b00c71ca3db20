// The scan engine.
#include "scan/scan_engine.h"

#include "scan/broadcast.h"
#include "util/text.h"

namespace gavrix {

std::optional<uint16_t> PortNumber(const std::string& text) {
  auto v = TryStrToInt(text);
  if (!v || *v < 0 || *v > 65535) return std::nullopt;
  return static_cast<uint16_t>(*v);
}

bool IsUsablePort(const std::string& text) {
  const std::optional<uint16_t> port = PortNumber(text);
  return port && *port > 0;
}

bool ScanEngine::sendInfo(const std::string& host, uint16_t port, const std::function<void()>& between,
                          bool broadcast) {
  if (!driver_.send(host, port, queries_.sourceInfo(), broadcast)) return false;
  if (between) between();
  return !driver_.scanOld() || driver_.send(host, port, queries_.oldInfo(), broadcast);
}

ScanEngine::End ScanEngine::run(const ScanPlan& plan) {
  // Count, pumping once per counted range target so the front end stays live.
  int64_t count = static_cast<int64_t>(plan.favourites.size());
  for (const RangeTargets& r : plan.ranges) {
    r.forEach([&](uint8_t, uint8_t, uint8_t, uint8_t) {
      ++count;
      driver_.pump();
      return true;
    });
  }
  driver_.progressMax(count);

  int sent = 0;
  for (const HostPort& f : plan.favourites) {
    // The guarded step: a bad port, an unknown host or a failed send skips the rest.
    bool ok = [&] {
      driver_.aim(f.host);
      auto port = PortNumber(f.port);
      if (!port) return false;
      driver_.sleep(static_cast<unsigned>(driver_.delay() / 2));
      return sendInfo(f.host, *port, [&] {
        driver_.sleep(static_cast<unsigned>(driver_.delay() / 2));
        driver_.progressStep();
      });
    }();
    if (!ok) driver_.networkError();
    if (driver_.stopRequested()) return End::Stopped;
    driver_.pump();
    driver_.stepDone(ScanStep::RunFavourite, f.host, ++sent);
  }

  // One step, without sleep, stop test, pump or gauge step.
  if (plan.broadcast) {
    if (!broadcastStep(plan)) driver_.networkError();
    driver_.stepDone(ScanStep::Broadcast, std::string(), ++sent);
  }

  for (const RangeTargets& r : plan.ranges) {
    bool stopped = !r.forEach([&](uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
      const std::string target = FormatIPv4(a, b, c, d);
      bool ok = [&] {
        if (!plan.scanPort ||
            !sendInfo(target, *plan.scanPort, [&] { driver_.sleep(static_cast<unsigned>(driver_.delay())); }))
          return false;
        driver_.progressStep();
        return true;
      }();
      if (!ok) driver_.networkError();
      if (driver_.stopRequested()) return false;
      driver_.pump();
      driver_.stepDone(ScanStep::RunRange, target, ++sent);
      return true;
    });
    if (stopped) return End::Stopped;
  }
  return End::Complete;
}

bool ScanEngine::broadcastStep(const ScanPlan& plan) {
  // Every listed port on every attached network's broadcast address, in order.
  const auto ports = BroadcastPorts(plan.broadcastPorts, plan.scanPort);
  if (!ports) return false;
  const std::vector<std::string> targets = BroadcastTargets(driver_.interfaces(), [this] { return driver_.localAddress(); });
  if (targets.empty()) return false;
  for (const std::string& target : targets)
    for (uint16_t port : *ports)
      if (!sendInfo(target, port, {}, true)) return false;
  return true;
}

void ScanEngine::refresh(const std::vector<HostPort>& list) {
  for (size_t i = 0; i < list.size(); ++i) {
    const HostPort entry = list[i];
    bool ok = [&] {
      auto port = PortNumber(entry.port);
      if (!port) return false;
      driver_.pump();
      return sendInfo(entry.host, *port);
    }();
    if (!ok) driver_.networkError();
  }
}

void ScanEngine::favouritesTick(const std::vector<HostPort>& favourites) {
  for (const HostPort& f : favourites) {
    bool ok = [&] {
      driver_.aim(f.host);
      auto port = PortNumber(f.port);
      return port && sendInfo(f.host, *port);
    }();
    if (!ok) driver_.networkError();
    driver_.pump();
    driver_.stepDone(ScanStep::TickFavourite, f.host, 0);
  }
}

bool ScanEngine::sendDetails(const std::string& address, uint16_t port) {
  if (!driver_.send(address, port, queries_.sourceRules(), false)) return false;
  driver_.sleep(10);
  if (!driver_.send(address, port, queries_.sourcePlayers(), false)) return false;
  driver_.sleep(5);
  if (!driver_.scanOld()) return true;
  if (!driver_.send(address, port, queries_.oldPlayers(), false)) return false;
  driver_.sleep(10);
  return driver_.send(address, port, queries_.oldRules(), false);
}

}  // namespace gavrix
