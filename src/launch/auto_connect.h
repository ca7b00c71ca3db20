// Auto-connect as a state machine: start, OK, poll, join check and every stop.
// The window applies what each event returns; this keeps the rules in one place.
#pragma once

#include <string>
#include <string_view>

namespace gavrix {

enum class AutoState {
  Idle,         // flag false, dialog hidden
  Configuring,  // flag false, dialog shown
  Watching,     // flag true, poll timer running
};

enum class AutoStop {
  ByUser,      // Auto pressed while watching
  Joined,      // join condition met, the client was started
  Declined,    // join condition met, the user answered No
  GaveUp,      // fourth unanswered poll
  ByLauncher,  // Play (or any launcher run) while watching
};

// What a stop switches back on beyond what every stop does (poll timer off,
// flag cleared, Scan enabled, Auto caption black, tray icon still).
struct StopRule {
  bool enableRefresh;   // RF button enabled again
  bool favouritesBack;  // favourites timer back on when auto-scan is on
  bool unavailableBox;  // "Server is not avalible, autoconnect disabled."
};
StopRule RuleOf(AutoStop stop);

struct WatchedServer {
  std::string address, port;
};

enum class JoinOutcome {
  NotWatched,  // not watching, or another address
  Wait,        // the watched server answered; condition not met
  Join,        // condition met: auto-connect has stopped, join this reply's row
};

// "<=": players at most threshold; ">": above it; any other text: never.
bool JoinConditionMet(std::string_view comparison, int players, int threshold);

// Threshold dialog presets from a players column "N/M": upper bound M, value
// N - 1 kept within 0 and M. Another form presets 0 with the bound 64.
struct ThresholdPreset {
  int value, maximum;
};
ThresholdPreset PresetFromPlayers(std::string_view playersColumn);

// A player count as a reply gave it; a text that is no integer counts as 0.
int PlayerCount(std::string_view text);

class AutoConnect {
 public:
  // Polls in a row without an answer after which auto-connect gives up.
  static constexpr int kGiveUpPolls = 4;

  AutoState state() const { return state_; }
  // The auto-connect flag.
  bool active() const { return state_ == AutoState::Watching; }
  const WatchedServer& watched() const { return watched_; }
  int threshold() const { return threshold_; }
  int unanswered() const { return unanswered_; }

  // Auto pressed while not watching: the dialog opens.
  void open();
  // OK in the dialog: watching starts, nothing unanswered yet.
  void watch(WatchedServer server, int threshold);
  // Cancel or the close button while configuring.
  void close();
  // One poll was sent (or failed). True when it was the last one: auto-connect
  // has stopped (AutoStop::GaveUp).
  bool poll();
  // Join check of a listed info reply from address with players.
  JoinOutcome check(std::string_view address, int players, std::string_view comparison);
  // Any stop that is not a poll or a check (by the user, by the launcher, or
  // after a declined join).
  void stop();

 private:
  AutoState state_ = AutoState::Idle;
  WatchedServer watched_;
  int threshold_ = 0;
  int unanswered_ = 0;
};

}  // namespace gavrix
