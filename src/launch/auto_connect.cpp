// Auto-connect's states, presets and join condition.
#include "launch/auto_connect.h"

#include <algorithm>

#include "util/text.h"

namespace gavrix {

StopRule RuleOf(AutoStop stop) {
  switch (stop) {
    case AutoStop::ByUser:
      return {true, true, false};
    case AutoStop::GaveUp:
      return {true, false, true};
    case AutoStop::Joined:
    case AutoStop::Declined:
    case AutoStop::ByLauncher:
      break;
  }
  return {false, false, false};
}

bool JoinConditionMet(std::string_view comparison, int players, int threshold) {
  if (comparison == "<=") return players <= threshold;
  if (comparison == ">") return players > threshold;
  return false;
}

ThresholdPreset PresetFromPlayers(std::string_view playersColumn) {
  const std::string count = GetField('/', playersColumn, 1);
  const std::string max = GetField('/', playersColumn, 2);
  auto players = TryStrToInt(count);
  auto maximum = TryStrToInt(max);
  if (!players || !maximum || *maximum < 0 || !GetField('/', playersColumn, 3).empty())
    return {0, 64};
  return {std::clamp(*players - 1, 0, *maximum), *maximum};
}

int PlayerCount(std::string_view text) { return TryStrToInt(text).value_or(0); }

void AutoConnect::open() {
  if (state_ == AutoState::Idle) state_ = AutoState::Configuring;
}

void AutoConnect::watch(WatchedServer server, int threshold) {
  watched_ = std::move(server);
  threshold_ = threshold;
  unanswered_ = 0;
  state_ = AutoState::Watching;
}

void AutoConnect::close() {
  if (state_ == AutoState::Configuring) state_ = AutoState::Idle;
}

bool AutoConnect::poll() {
  if (!active()) return false;
  if (++unanswered_ < kGiveUpPolls) return false;
  state_ = AutoState::Idle;
  return true;
}

JoinOutcome AutoConnect::check(std::string_view address, int players, std::string_view comparison) {
  if (!active() || address != watched_.address) return JoinOutcome::NotWatched;
  unanswered_ = 0;
  if (!JoinConditionMet(comparison, players, threshold_)) return JoinOutcome::Wait;
  state_ = AutoState::Idle;
  return JoinOutcome::Join;
}

void AutoConnect::stop() { state_ = AutoState::Idle; }

}  // namespace gavrix
