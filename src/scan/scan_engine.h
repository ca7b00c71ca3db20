// The sending side of a scan, a refresh and a favourites tick: targets, their
// order, the pair of info queries, Delay pacing, the guarded steps and their
// network errors, the stop test, the sent counter and the gauge's progress.
// Front ends (the window, gavrix-scan) drive it through a ScanDriver.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "query/datagrams.h"
#include "scan/ranges.h"
#include "settings/settings.h"
#include "util/net_interfaces.h"

namespace gavrix {

// Reads a port text as the scan and the senders do: a decimal number 0 to 65535.
std::optional<uint16_t> PortNumber(const std::string& text);
// A port text a scan can use: PortNumber gives 1 to 65535. What the program
// accepts where a port is entered.
bool IsUsablePort(const std::string& text);

// A favourite or a refresh entry: host (or address) text and port text as stored.
using HostPort = Favourite;

// The steps a driver is told of when they are done.
enum class ScanStep { RunFavourite, Broadcast, RunRange, TickFavourite };

// What the engine needs of its front end.
class ScanDriver {
 public:
  virtual ~ScanDriver() = default;
  // Sends a datagram to host:port (a broadcast address when broadcast is set);
  // false when the send failed.
  virtual bool send(const std::string& host, uint16_t port, Bytes datagram, bool broadcast) = 0;
  // A favourite's guarded step begins with its host text (the window's remote host).
  virtual void aim(const std::string& host) { (void)host; }
  virtual void sleep(unsigned ms) = 0;
  virtual void pump() = 0;
  // The local address for the broadcast when no interface qualifies.
  virtual std::string localAddress() = 0;
  virtual std::vector<NetInterface> interfaces() { return GetNetInterfaces(); }
  virtual void networkError() = 0;
  // The stop test of a run, after each favourite and range target.
  virtual bool stopRequested() = 0;
  // Read at each use, so that a change during a run applies at once.
  virtual bool scanOld() = 0;
  virtual int delay() = 0;
  // Progress: the number of targets, one more target through its guarded step,
  // a step done (sent is the run's sent counter; 0 for a tick).
  virtual void progressMax(int64_t count) { (void)count; }
  virtual void progressStep() {}
  virtual void stepDone(ScanStep step, const std::string& target, int sent) {
    (void)step, (void)target, (void)sent;
  }
};

// What a scan run sends to, taken when it starts.
struct ScanPlan {
  std::vector<HostPort> favourites;
  std::vector<RangeTargets> ranges;  // the checked rows, in list order
  bool broadcast = false;
  std::string broadcastPorts;        // the BroadcastPorts text
  std::optional<uint16_t> scanPort;  // the port of the broadcast and the ranges
};

class ScanEngine {
 public:
  ScanEngine(ScanDriver& driver, const QueryBuffers& queries) : driver_(driver), queries_(queries) {}

  // The Source info query to host:port, then `between` (when given), then the
  // old info query when ScanOld is on. False at the first send that fails.
  // Every info query of the program goes through here.
  bool sendInfo(const std::string& host, uint16_t port, const std::function<void()>& between = {},
                bool broadcast = false);

  enum class End { Complete, Stopped };
  // The run: count the targets, then the favourites, the broadcast and the
  // ranges; Stopped when the stop test ended it.
  End run(const ScanPlan& plan);

  // The refresh's sends: every entry of list, read afresh at each step since a
  // nested refresh during a pump may rewrite it.
  void refresh(const std::vector<HostPort>& list);

  // One favourites tick's sends.
  void favouritesTick(const std::vector<HostPort>& favourites);

  // What selecting a row asks the server: rules and players, and the old
  // protocol's when ScanOld is on, paced as the window paces them.
  bool sendDetails(const std::string& address, uint16_t port);

 private:
  bool broadcastStep(const ScanPlan& plan);

  ScanDriver& driver_;
  const QueryBuffers& queries_;
};

}  // namespace gavrix
