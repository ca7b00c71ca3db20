// The query datagrams the program sends, byte for byte, and the challenge slot
// that every challenge reply overwrites.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace gavrix {

using Bytes = std::span<const uint8_t>;

class QueryBuffers {
 public:
  QueryBuffers();

  Bytes sourceInfo() const { return {sourceInfo_.data(), 25}; }
  Bytes oldInfo() const { return {oldInfo_.data(), 15}; }
  Bytes oldPlayers() const { return {oldPlayers_.data(), 12}; }
  Bytes oldRules() const { return {oldRules_.data(), 10}; }
  // 25 bytes when a row is selected; the first 9 in the challenge answer.
  Bytes sourceRules(size_t length = 25) const { return {sourceRules_.data(), length}; }
  Bytes sourcePlayers(size_t length = 25) const { return {sourcePlayers_.data(), length}; }

  // Bytes 5 to 8 of both Source players and rules queries.
  void setChallenge(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3);

 private:
  std::array<uint8_t, 25> sourceInfo_{};
  std::array<uint8_t, 15> oldInfo_{};
  std::array<uint8_t, 25> sourceRules_{};
  std::array<uint8_t, 25> sourcePlayers_{};
  std::array<uint8_t, 12> oldPlayers_{};
  std::array<uint8_t, 10> oldRules_{};
};

}  // namespace gavrix
