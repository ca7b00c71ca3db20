// Auto-connect's state machine, join condition and dialog presets.
#include "launch/auto_connect.h"

#include <gtest/gtest.h>

using namespace gavrix;

TEST(AutoConnect, JoinConditionAtTheThreshold) {
  struct Case {
    const char* comparison;
    int players, threshold;
    bool met;
  } cases[] = {
      {"<=", 9, 9, true},  {"<=", 10, 9, false}, {">", 9, 9, false}, {">", 10, 9, true},
      {"<=", 0, 0, true},  {"<=", 1, 0, false},  {"<", 0, 9, false}, {"", 0, 9, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(JoinConditionMet(c.comparison, c.players, c.threshold), c.met)
        << c.comparison << " " << c.players << " " << c.threshold;
}

TEST(AutoConnect, PresetsFromThePlayersColumn) {
  struct Case {
    const char* column;
    int value, maximum;
  } cases[] = {
      {"12/20", 11, 20}, {"0/16", 0, 16}, {"20/20", 19, 20}, {"30/20", 20, 20},
      // Not "N/M": threshold 0 with the bound 64.
      {"", 0, 64}, {"x/20", 0, 64}, {"5/", 0, 64}, {"5", 0, 64}, {"1/2/3", 0, 64}, {"3/-1", 0, 64},
  };
  for (const Case& c : cases) {
    ThresholdPreset p = PresetFromPlayers(c.column);
    EXPECT_EQ(p.value, c.value) << c.column;
    EXPECT_EQ(p.maximum, c.maximum) << c.column;
  }
  EXPECT_EQ(PlayerCount("7"), 7);
  EXPECT_EQ(PlayerCount("seven"), 0);
  EXPECT_EQ(PlayerCount(""), 0);
}

TEST(AutoConnect, StatesThroughStartPollCheckAndStop) {
  AutoConnect a;
  EXPECT_EQ(a.state(), AutoState::Idle);
  a.open();
  EXPECT_EQ(a.state(), AutoState::Configuring);
  EXPECT_FALSE(a.active());
  a.close();
  EXPECT_EQ(a.state(), AutoState::Idle);

  // Watching: replies of the watched address reset the unanswered count;
  // other addresses and unmet conditions keep it watching.
  a.open();
  a.watch({"127.0.0.5", "27015"}, 9);
  EXPECT_TRUE(a.active());
  EXPECT_FALSE(a.poll());
  EXPECT_FALSE(a.poll());
  EXPECT_EQ(a.unanswered(), 2);
  EXPECT_EQ(a.check("127.0.0.6", 0, "<="), JoinOutcome::NotWatched);
  EXPECT_EQ(a.unanswered(), 2);
  EXPECT_EQ(a.check("127.0.0.5", 10, "<="), JoinOutcome::Wait);
  EXPECT_EQ(a.unanswered(), 0);
  EXPECT_EQ(a.check("127.0.0.5", 9, "<="), JoinOutcome::Join);
  EXPECT_FALSE(a.active());
  // Once joined, later replies find it off and cannot join twice.
  EXPECT_EQ(a.check("127.0.0.5", 0, "<="), JoinOutcome::NotWatched);

  // A server that never answers: the fourth poll gives up; a new start counts from 0.
  for (int round = 0; round < 2; ++round) {
    a.watch({"127.0.0.7", "27015"}, 0);
    EXPECT_FALSE(a.poll());
    EXPECT_FALSE(a.poll());
    EXPECT_FALSE(a.poll());
    EXPECT_TRUE(a.poll());
    EXPECT_EQ(a.state(), AutoState::Idle);
    EXPECT_FALSE(a.poll());  // a tick after the stop counts nothing
  }
  a.watch({"127.0.0.7", "27015"}, 0);
  a.stop();
  EXPECT_EQ(a.state(), AutoState::Idle);
}
