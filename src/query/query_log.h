// Which queries went to each server and when, for the few seconds a reply
// takes. Entries are made when a query is sent (and, capped, for servers that
// answer a broadcast), so memory follows the targets of the running senders,
// never the datagrams received. Expired entries are swept as new ones come.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

#include "query/datagrams.h"

namespace gavrix {

class QueryLog {
 public:
  using Clock = std::chrono::steady_clock;
  using Now = std::function<Clock::time_point()>;

  // How long a sent query waits for its reply.
  static constexpr Clock::duration kLifetime = std::chrono::seconds(5);
  // Challenges answered for one info query before the server is given up.
  static constexpr int kMaxChallenges = 3;
  // Entries made for servers that answered a broadcast rather than a query of their own.
  static constexpr size_t kMaxAdopted = 4096;

  explicit QueryLog(Now now = &Clock::now) : now_(std::move(now)) {}

  Clock::time_point now() const { return now_(); }

  // Every query datagram handed to the network passes here, with the address
  // it really went to (a host name already resolved) and its port; broadcast
  // marks a send to the local network's broadcast address. The kind is read
  // from the datagram: Source info query, or the selection's players and rules.
  void noteSent(const std::string& address, uint16_t port, Bytes datagram, bool broadcast = false);

  // When the last info query went to address:port; nullopt when none was sent
  // within kLifetime.
  std::optional<Clock::time_point> lastInfoSent(const std::string& address, uint16_t port) const;
  // Milliseconds from the info query that a reply from address:port answers
  // (the query sent there, else the last broadcast on that port) to now;
  // nullopt when no such query is known. What the Ping column shows.
  std::optional<int> pingMs(const std::string& address, uint16_t port) const;

  // What a challenge reply from address:port answers.
  enum class Challenged {
    Info,       // an outstanding info query: answer with the info query and the challenge
    Selection,  // the selection's players and rules queries: the classic answer
    Nothing,    // no query of ours, or too many challenges in a row: no answer
  };
  // Decides, and counts an info challenge. challenge is the reply's bytes 5 to 8.
  Challenged challenge(const std::string& address, uint16_t port, const std::array<uint8_t, 4>& challenge);

  // For an info reply about to be listed: false when address:port already had
  // a reply listed for the same info query (a server that answers one query
  // with both kinds of info reply); otherwise records it and returns true.
  bool firstInfoReply(const std::string& address, uint16_t port);

  size_t size() const { return entries_.size(); }

 private:
  struct Key {
    std::string address;
    uint16_t port;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    size_t operator()(const Key& k) const { return std::hash<std::string>()(k.address) * 31 + k.port; }
  };
  struct Entry {
    Clock::time_point infoSent{}, selectionSent{};
    bool hasInfo = false, hasSelection = false;
    bool infoAnswered = false;
    bool adopted = false;
    int challenges = 0;
    std::array<uint8_t, 4> lastChallenge{};
  };

  bool fresh(Clock::time_point t, Clock::time_point now) const { return now - t < kLifetime; }
  bool live(const Entry& e, Clock::time_point now) const;
  // The live entry of address:port, or one adopted for a broadcast responder.
  Entry* find(const std::string& address, uint16_t port, bool adopt);
  void sweep(Clock::time_point now);

  Now now_;
  std::unordered_map<Key, Entry, KeyHash> entries_;
  std::unordered_map<uint16_t, Clock::time_point> broadcasts_;  // port -> last broadcast info query
  size_t adopted_ = 0;
  size_t sweepAt_ = 1024;
  Clock::time_point lastSweep_{};
};

}  // namespace gavrix
