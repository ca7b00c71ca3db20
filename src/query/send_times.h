// When the last info query went to each server, and to the broadcast on each
// port: what the Ping column measures from.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "query/datagrams.h"

namespace gavrix {

class SendTimes {
 public:
  using Clock = std::chrono::steady_clock;

  // Every datagram handed to the network, with the address it really went to;
  // only Source info queries are recorded. broadcast marks a send to a
  // broadcast address.
  void noteSent(const std::string& address, uint16_t port, Bytes datagram, bool broadcast,
                Clock::time_point at = Clock::now());

  std::optional<Clock::time_point> lastInfoSent(const std::string& address, uint16_t port) const;

  // Milliseconds from the info query that a reply from address:port answers
  // (the query sent there, else the last broadcast on that port) to `at`;
  // nullopt when no query is known.
  std::optional<int> pingMs(const std::string& address, uint16_t port, Clock::time_point at = Clock::now()) const;

 private:
  static std::string Key(const std::string& address, uint16_t port);
  std::unordered_map<std::string, Clock::time_point> info_;
  std::unordered_map<uint16_t, Clock::time_point> broadcast_;
};

}  // namespace gavrix
