// Replies split into fragments as game servers split them. Header only, so the
// fuzz seed generator builds its seeds with the same code as the tests.
#pragma once

#include <bzlib.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "query/fragments.h"

namespace gavrix::test {

namespace split_detail {

inline void Le(std::vector<uint8_t>& d, uint32_t v, int bytes) {
  for (int k = 0; k < bytes; ++k) d.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

// The payload cut into chunks, each after the header made for its number.
template <class Header>
std::vector<std::vector<uint8_t>> Chunks(const std::vector<uint8_t>& payload, size_t chunk, Header header) {
  const size_t total = (payload.size() + chunk - 1) / chunk;
  std::vector<std::vector<uint8_t>> out;
  for (size_t n = 0; n < total; ++n) {
    std::vector<uint8_t> d = header(n, total);
    auto from = payload.begin() + static_cast<std::ptrdiff_t>(n * chunk);
    d.insert(d.end(), from, from + static_cast<std::ptrdiff_t>(std::min(chunk, payload.size() - n * chunk)));
    out.push_back(std::move(d));
  }
  return out;
}

}  // namespace split_detail

// A reply split the Source way: FE FF FF FF, id, total, number, packet size,
// then up to chunk bytes of the reply each. With compress the reply is bzip2
// compressed first, the id gets its high bit and the first fragment carries
// the reply's size and its CRC32 (crcDelta added to it, to spoil it).
inline std::vector<std::vector<uint8_t>> SplitSource(const std::vector<uint8_t>& reply, uint32_t id, size_t chunk,
                                                     bool compress = false, uint32_t crcDelta = 0) {
  using split_detail::Le;
  std::vector<uint8_t> payload = reply;
  if (compress) {
    id |= 0x80000000u;
    std::vector<char> in(reply.begin(), reply.end());
    std::vector<char> out(reply.size() + reply.size() / 100 + 600);
    unsigned int n = static_cast<unsigned int>(out.size());
    BZ2_bzBuffToBuffCompress(out.data(), &n, in.data(), static_cast<unsigned int>(in.size()), 9, 0, 0);
    payload.clear();
    Le(payload, static_cast<uint32_t>(reply.size()), 4);
    Le(payload, Crc32(reply) + crcDelta, 4);
    payload.insert(payload.end(), out.begin(), out.begin() + n);
  }
  return split_detail::Chunks(payload, chunk, [&](size_t n, size_t total) {
    std::vector<uint8_t> d = {0xFE, 0xFF, 0xFF, 0xFF};
    Le(d, id, 4);
    d.push_back(static_cast<uint8_t>(total));
    d.push_back(static_cast<uint8_t>(n));
    Le(d, 0x04E0, 2);
    return d;
  });
}

// A reply split the GoldSrc way: FE FF FF FF, id, number << 4 | total, payload.
inline std::vector<std::vector<uint8_t>> SplitGoldSrc(const std::vector<uint8_t>& reply, uint32_t id, size_t chunk) {
  return split_detail::Chunks(reply, chunk, [&](size_t n, size_t total) {
    std::vector<uint8_t> d = {0xFE, 0xFF, 0xFF, 0xFF};
    split_detail::Le(d, id, 4);
    d.push_back(static_cast<uint8_t>(n << 4 | total));
    return d;
  });
}

}  // namespace gavrix::test
