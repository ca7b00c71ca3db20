// The scan engine against a recording driver: what it sends and in which
// order, its sleeps, pumps, progress and stop test, step by step.
#include "scan/scan_engine.h"

#include <gtest/gtest.h>

using namespace gavrix;

namespace {

// Records every call as one line of text.
struct Recorder : ScanDriver {
  std::vector<std::string> log;
  QueryBuffers q;
  bool old = true;
  int delayMs = 5;
  int stopAfterSends = -1;  // the stop test answers true once this many sends went out
  int sends = 0;
  std::vector<std::string> failing;  // hosts whose sends fail
  std::vector<NetInterface> nets;

  bool send(const std::string& host, uint16_t port, Bytes d, bool broadcast) override {
    // Named by the query's type byte: Source info, old info, or the byte itself.
    const char type = d.size() > 4 ? static_cast<char>(d[4]) : '?';
    const std::string what = type == 'T' ? "src" : type == 'i' ? "old" : std::string(1, type);
    log.push_back(what + (broadcast ? " b " : " ") + host + ":" + std::to_string(port));
    ++sends;
    return std::find(failing.begin(), failing.end(), host) == failing.end();
  }
  void aim(const std::string& host) override { log.push_back("aim " + host); }
  void sleep(unsigned ms) override { log.push_back("sleep " + std::to_string(ms)); }
  void pump() override { log.push_back("pump"); }
  std::string localAddress() override { return "127.4.0.9"; }
  std::vector<NetInterface> interfaces() override { return nets; }
  void networkError() override { log.push_back("error"); }
  bool stopRequested() override { return stopAfterSends >= 0 && sends >= stopAfterSends; }
  bool scanOld() override { return old; }
  int delay() override { return delayMs; }
  void progressMax(int64_t n) override { log.push_back("max " + std::to_string(n)); }
  void progressStep() override { log.push_back("step"); }
  void stepDone(ScanStep s, const std::string& target, int sent) override {
    log.push_back("done " + std::to_string(static_cast<int>(s)) + " " + target + " " + std::to_string(sent));
  }
};

using Log = std::vector<std::string>;

TEST(ScanEngine, RunSendsFavouritesThenBroadcastThenRangesPaced) {
  Recorder d;
  ScanEngine e(d, d.q);
  ScanPlan plan;
  plan.favourites = {{"fav.local", "27020"}};
  plan.ranges.emplace_back("127.4.1.1", "127.4.1.2");
  plan.broadcast = true;
  plan.broadcastPorts = "27015-27016";
  plan.scanPort = 27015;
  EXPECT_EQ(e.run(plan), ScanEngine::End::Complete);
  EXPECT_EQ(d.log, (Log{"pump", "pump", "max 3",
                        // a favourite: half the delay on each side of its Source query
                        "aim fav.local", "sleep 2", "src fav.local:27020", "sleep 2", "step", "old fav.local:27020",
                        "pump", "done 0 fav.local 1",
                        // the broadcast (no interface qualifies: the local address's): no sleep, pump or step
                        "src b 127.4.255.255:27015", "old b 127.4.255.255:27015", "src b 127.4.255.255:27016",
                        "old b 127.4.255.255:27016", "done 1  2",
                        // a range target: the whole delay between its two queries
                        "src 127.4.1.1:27015", "sleep 5", "old 127.4.1.1:27015", "step", "pump", "done 2 127.4.1.1 3",
                        "src 127.4.1.2:27015", "sleep 5", "old 127.4.1.2:27015", "step", "pump",
                        "done 2 127.4.1.2 4"}));
}

TEST(ScanEngine, FailuresAndTheStopTest) {
  struct Case {
    const char* what;
    std::vector<std::string> failing;
    int stopAfterSends;
    ScanEngine::End end;
    Log log;
  } cases[] = {
      {"a favourite's failed send skips the rest of its step, then the stop test ends the run",
       {"127.4.2.1"}, 1, ScanEngine::End::Stopped,
       Log{"max 2", "aim 127.4.2.1", "sleep 0", "src 127.4.2.1:27015", "error"}},
      {"a failed broadcast goes on to the first range target", {"127.4.255.255"}, 2, ScanEngine::End::Stopped,
       Log{"max 2", "aim 127.4.2.1", "sleep 0", "src 127.4.2.1:27015", "sleep 0", "step", "pump",
           "done 0 127.4.2.1 1", "src b 127.4.255.255:27015", "error", "done 1  2", "src 127.4.3.1:27015", "sleep 1",
           "step"}},
      {"no stop: every step", {"127.4.2.1"}, -1, ScanEngine::End::Complete,
       Log{"max 2", "aim 127.4.2.1", "sleep 0", "src 127.4.2.1:27015", "error", "pump", "done 0 127.4.2.1 1",
           "src b 127.4.255.255:27015", "done 1  2", "src 127.4.3.1:27015", "sleep 1", "step", "pump",
           "done 2 127.4.3.1 3"}},
  };
  for (const Case& c : cases) {
    Recorder d;
    d.old = false;
    d.delayMs = 1;
    d.failing = c.failing;
    d.stopAfterSends = c.stopAfterSends;
    ScanEngine e(d, d.q);
    ScanPlan plan;
    plan.favourites = {{"127.4.2.1", "27015"}};
    plan.ranges.emplace_back("127.4.3.1", "127.4.3.1");
    plan.broadcast = true;
    plan.scanPort = 27015;
    d.log.clear();
    EXPECT_EQ(e.run(plan), c.end) << c.what;
    d.log.erase(d.log.begin());  // the count's pump
    EXPECT_EQ(d.log, c.log) << c.what;
  }
}

TEST(ScanEngine, BroadcastGoesToEveryQualifyingInterface) {
  Recorder d;
  d.old = false;
  d.nets = {{"eth0", "127.4.5.1", "127.4.5.255", true, false, true}, {"eth1", "127.4.6.1", "127.4.6.255", true, false, true}};
  ScanEngine e(d, d.q);
  ScanPlan plan;
  plan.broadcast = true;
  plan.broadcastPorts = "27016, 27015";
  EXPECT_EQ(e.run(plan), ScanEngine::End::Complete);
  EXPECT_EQ(d.log, (Log{"max 0", "src b 127.4.5.255:27016", "src b 127.4.5.255:27015", "src b 127.4.6.255:27016",
                        "src b 127.4.6.255:27015", "done 1  1"}));
}

TEST(ScanEngine, RefreshTickAndDetails) {
  Recorder d;
  ScanEngine e(d, d.q);
  e.refresh({{"127.4.7.1", "x"}, {"127.4.7.2", "27015"}});
  EXPECT_EQ(d.log, (Log{"error", "pump", "src 127.4.7.2:27015", "old 127.4.7.2:27015"}));
  d.log.clear();
  e.favouritesTick({{"127.4.7.1", "70000"}, {"127.4.7.2", "27015"}});
  EXPECT_EQ(d.log, (Log{"aim 127.4.7.1", "error", "pump", "done 3 127.4.7.1 0", "aim 127.4.7.2", "src 127.4.7.2:27015",
                        "old 127.4.7.2:27015", "pump", "done 3 127.4.7.2 0"}));
  d.log.clear();
  EXPECT_TRUE(e.sendDetails("127.4.7.2", 27015));
  EXPECT_EQ(d.log, (Log{"V 127.4.7.2:27015", "sleep 10", "U 127.4.7.2:27015", "sleep 5", "p 127.4.7.2:27015",
                        "sleep 10", "r 127.4.7.2:27015"}));
}

}  // namespace
