// What the Ping column measures from: the last info query to a server, or the
// last broadcast on its port.
#include "query/send_times.h"

#include <gtest/gtest.h>

using namespace gavrix;
using namespace std::chrono_literals;

TEST(SendTimes, PingFromTheLastInfoQueryOrTheBroadcast) {
  QueryBuffers q;
  SendTimes t;
  const SendTimes::Clock::time_point t0{};
  EXPECT_EQ(t.pingMs("127.0.0.5", 27015, t0 + 1s), std::nullopt);  // nothing sent: unknown
  t.noteSent("127.0.0.5", 27015, q.sourceInfo(), false, t0);
  t.noteSent("127.0.0.5", 27015, q.oldInfo(), false, t0 + 50ms);       // not an info query of the Source kind
  t.noteSent("127.0.0.5", 27015, q.sourcePlayers(), false, t0 + 60ms);  // nor a players query
  EXPECT_EQ(t.pingMs("127.0.0.5", 27015, t0 + 42ms), 42);
  t.noteSent("127.0.0.5", 27015, q.sourceInfo(), false, t0 + 100ms);  // the last one counts
  EXPECT_EQ(t.pingMs("127.0.0.5", 27015, t0 + 103ms), 3);
  EXPECT_EQ(t.pingMs("127.0.0.5", 27016, t0 + 103ms), std::nullopt);  // another port
  EXPECT_EQ(t.pingMs("127.0.0.5", 27015, t0 + 99ms), std::nullopt);   // a reply before the query

  // A server that answers a broadcast: from the broadcast on its port.
  t.noteSent("127.0.255.255", 27015, q.sourceInfo(), true, t0 + 200ms);
  EXPECT_EQ(t.pingMs("127.0.0.9", 27015, t0 + 211ms), 11);
  EXPECT_EQ(t.pingMs("127.0.0.9", 27020, t0 + 211ms), std::nullopt);
  EXPECT_EQ(t.lastInfoSent("127.0.255.255", 27015), std::nullopt);
  // A query of its own wins over the broadcast.
  EXPECT_EQ(t.pingMs("127.0.0.5", 27015, t0 + 211ms), 111);
}
