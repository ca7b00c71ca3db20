// The per-server query log.
#include "query/query_log.h"

#include <algorithm>

namespace gavrix {

namespace {

constexpr size_t kSourceQueryLength = 25;

bool IsSourceQuery(Bytes d, uint8_t type) { return d.size() >= 5 && d[0] == 0xFF && d[4] == type; }

}  // namespace

bool QueryLog::live(const Entry& e, Clock::time_point now) const {
  return (e.hasInfo && fresh(e.infoSent, now)) || (e.hasSelection && fresh(e.selectionSent, now));
}

void QueryLog::sweep(Clock::time_point now) {
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (live(it->second, now)) {
      ++it;
      continue;
    }
    if (it->second.adopted) --adopted_;
    it = entries_.erase(it);
  }
  // The next sweep once the live entries have doubled: amortised constant work per send.
  sweepAt_ = std::max<size_t>(1024, entries_.size() * 2);
  lastSweep_ = now;
}

void QueryLog::noteSent(const std::string& address, uint16_t port, Bytes datagram, bool broadcast) {
  const bool info = IsSourceQuery(datagram, 'T');
  const bool selection = IsSourceQuery(datagram, 'U') || IsSourceQuery(datagram, 'V');
  if (!info && !selection) return;
  const Clock::time_point now = now_();
  if (broadcast && info) broadcasts_[port] = now;
  if (entries_.size() >= sweepAt_) sweep(now);
  Entry& e = entries_[Key{address, port}];
  if (info) {
    // A fresh info query starts over; the challenge answer (the query with the
    // challenge appended) continues the one it answers.
    if (datagram.size() == kSourceQueryLength || !e.hasInfo || !fresh(e.infoSent, now)) {
      e.challenges = 0;
      e.infoAnswered = false;
    }
    e.infoSent = now;
    e.hasInfo = true;
  } else {
    e.selectionSent = now;
    e.hasSelection = true;
  }
}

std::optional<QueryLog::Clock::time_point> QueryLog::lastInfoSent(const std::string& address, uint16_t port) const {
  auto it = entries_.find(Key{address, port});
  if (it == entries_.end() || !it->second.hasInfo || !fresh(it->second.infoSent, now_())) return std::nullopt;
  return it->second.infoSent;
}

std::optional<int> QueryLog::pingMs(const std::string& address, uint16_t port) const {
  const Clock::time_point now = now_();
  std::optional<Clock::time_point> sent = lastInfoSent(address, port);
  if (!sent) {
    auto b = broadcasts_.find(port);
    if (b == broadcasts_.end() || !fresh(b->second, now)) return std::nullopt;
    sent = b->second;
  }
  if (now < *sent) return std::nullopt;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - *sent).count();
  return static_cast<int>(std::min<int64_t>(ms, INT32_MAX));
}

QueryLog::Entry* QueryLog::find(const std::string& address, uint16_t port, bool adopt) {
  const Clock::time_point now = now_();
  auto it = entries_.find(Key{address, port});
  if (it != entries_.end() && live(it->second, now)) return &it->second;
  if (!adopt) return nullptr;
  auto b = broadcasts_.find(port);
  if (b == broadcasts_.end() || !fresh(b->second, now)) return nullptr;
  if (it != entries_.end()) {
    const bool counted = it->second.adopted;
    it->second = Entry{};
    it->second.adopted = counted;
  } else {
    // At the cap, expired entries are swept at most once a second, so a storm
    // of replies from unknown addresses costs no sweep per datagram.
    if (adopted_ >= kMaxAdopted && now - lastSweep_ >= std::chrono::seconds(1)) sweep(now);
    if (adopted_ >= kMaxAdopted) return nullptr;
    it = entries_.emplace(Key{address, port}, Entry{}).first;
  }
  Entry& e = it->second;
  if (!e.adopted) ++adopted_;
  e.adopted = true;
  e.infoSent = b->second;
  e.hasInfo = true;
  return &e;
}

QueryLog::Challenged QueryLog::challenge(const std::string& address, uint16_t port,
                                         const std::array<uint8_t, 4>& bytes) {
  Entry* e = find(address, port, true);
  if (!e) return Challenged::Nothing;
  const Clock::time_point now = now_();
  // A challenge the info query was already answered with belongs to the
  // selection's queries, which the server challenges with the same bytes.
  const bool repeated = e->challenges > 0 && bytes == e->lastChallenge;
  if (e->hasInfo && fresh(e->infoSent, now) && !e->infoAnswered && !repeated && e->challenges < kMaxChallenges) {
    ++e->challenges;
    e->lastChallenge = bytes;
    return Challenged::Info;
  }
  if (e->hasSelection && fresh(e->selectionSent, now)) return Challenged::Selection;
  return Challenged::Nothing;
}

bool QueryLog::firstInfoReply(const std::string& address, uint16_t port) {
  Entry* e = find(address, port, true);
  if (!e) return true;
  if (e->infoAnswered) return false;
  e->infoAnswered = true;
  return true;
}

}  // namespace gavrix
