// Split replies: fragments (datagrams that start FE FF FF FF) collected per
// source address, port and request id until their set is complete, then joined
// into the reply they carry. Both headers are understood: GoldSrc (packet
// number and total in byte 8, payload from byte 9) and Source (total, number,
// packet size in bytes 8 to 11, payload from byte 12; the oldest Source servers
// leave the size out). Source replies whose id has its high bit set are bzip2
// compressed; the first fragment then carries the reply's size and CRC32.
// Memory stays bounded whatever arrives: a cap on sets in flight, on bytes per
// set and on bytes in all, and sets left incomplete expire.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "query/datagrams.h"

namespace gavrix {

class FragmentStore {
 public:
  using Clock = std::chrono::steady_clock;

  static constexpr size_t kMaxSets = 32;
  static constexpr size_t kMaxSetBytes = 512 * 1024;   // fragments as received, per set
  static constexpr size_t kMaxBytes = 2 * 1024 * 1024;  // fragments as received, all sets
  static constexpr size_t kMaxReply = 1024 * 1024;     // largest decompressed reply
  static constexpr Clock::duration kLifetime = std::chrono::seconds(5);

  // Takes one fragment. Returns the joined reply (starting FF FF FF FF) when
  // this fragment completes its set; a set whose joined bytes fail their checks
  // is dropped. Duplicates are ignored; fragments may come in any order.
  std::optional<std::vector<uint8_t>> add(const std::string& address, uint16_t port, Bytes datagram,
                                          Clock::time_point now);

  size_t sets() const { return sets_.size(); }
  size_t bytes() const { return bytes_; }

 private:
  struct Set {
    std::string address;
    uint16_t port;
    uint32_t id;
    Clock::time_point started;
    size_t bytes = 0;
    std::vector<std::vector<uint8_t>> fragments;  // as received, in arrival order
  };
  enum class Outcome { Incomplete, Joined, Broken };

  Outcome tryJoin(const Set& s, std::vector<uint8_t>& out) const;
  void drop(size_t index);

  std::deque<Set> sets_;  // oldest first
  size_t bytes_ = 0;
};

// CRC32 (IEEE 802.3) of data, as the compressed split replies carry it.
uint32_t Crc32(Bytes data);

// Decompresses a bzip2 stream that must yield exactly size bytes; nullopt otherwise.
std::optional<std::vector<uint8_t>> Bunzip2(Bytes compressed, size_t size);

}  // namespace gavrix
