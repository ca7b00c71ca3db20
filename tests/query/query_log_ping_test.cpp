// What the Ping column measures from: the last info query to a server, or the
// last broadcast on its port, as the query log remembers them.
#include "query/query_log.h"

#include <gtest/gtest.h>

using namespace gavrix;
using namespace std::chrono_literals;

TEST(QueryLogPing, FromTheLastInfoQueryOrTheBroadcast) {
  QueryBuffers q;
  const QueryLog::Clock::time_point t0 = QueryLog::Clock::now();
  QueryLog::Clock::time_point now = t0;
  QueryLog t([&] { return now; });
  auto at = [&](QueryLog::Clock::duration d) { now = t0 + d; };
  at(1s);
  EXPECT_EQ(t.pingMs("127.0.0.5", 27015), std::nullopt);  // nothing sent: unknown
  at(1s);
  t.noteSent("127.0.0.5", 27015, q.sourceInfo());
  at(1s + 50ms);
  t.noteSent("127.0.0.5", 27015, q.oldInfo());  // not an info query of the Source kind
  at(1s + 60ms);
  t.noteSent("127.0.0.5", 27015, q.sourcePlayers());  // nor a players query
  at(1s + 42ms);
  EXPECT_EQ(t.pingMs("127.0.0.5", 27015), 42);
  at(1s + 100ms);
  t.noteSent("127.0.0.5", 27015, q.sourceInfo());  // the last one counts
  at(1s + 103ms);
  EXPECT_EQ(t.pingMs("127.0.0.5", 27015), 3);
  EXPECT_EQ(t.pingMs("127.0.0.5", 27016), std::nullopt);  // another port
  at(1s + 99ms);
  EXPECT_EQ(t.pingMs("127.0.0.5", 27015), std::nullopt);  // a reply before the query

  // A server that answers a broadcast: from the broadcast on its port.
  at(1s + 200ms);
  t.noteSent("127.0.255.255", 27015, q.sourceInfo(), true);
  at(1s + 211ms);
  EXPECT_EQ(t.pingMs("127.0.0.9", 27015), 11);
  EXPECT_EQ(t.pingMs("127.0.0.9", 27020), std::nullopt);
  // A query of its own wins over the broadcast.
  EXPECT_EQ(t.pingMs("127.0.0.5", 27015), 111);
  // Nothing is known once the query has had its time.
  at(1s + 200ms + QueryLog::kLifetime);
  EXPECT_EQ(t.pingMs("127.0.0.9", 27015), std::nullopt);
}
