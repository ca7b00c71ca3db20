// Reassembly of split replies.
#include "query/fragments.h"

#include <bzlib.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "query/reply_buffer.h"

namespace gavrix {

namespace {

constexpr size_t kGoldSrcHeader = 9;
constexpr size_t kSourceHeader = 12;
constexpr size_t kSourceHeaderNoSize = 10;
constexpr size_t kCompressionFields = 8;  // decompressed size, CRC32
constexpr uint32_t kCompressedBit = 0x80000000u;

uint32_t RequestId(Bytes d) { return ByteReader(d, 4).u32le(); }

bool StartsReply(Bytes d, size_t at) {
  return d.size() >= at + 4 && d[at] == 0xFF && d[at + 1] == 0xFF && d[at + 2] == 0xFF && d[at + 3] == 0xFF;
}

// One way of reading the fragments' headers: total and number of a fragment.
struct Layout {
  bool goldSrc;
  int total(Bytes d) const { return goldSrc ? d[8] & 0x0F : d[8]; }
  int number(Bytes d) const { return goldSrc ? d[8] >> 4 : d.size() > 9 ? d[9] : -1; }
};

}  // namespace

uint32_t Crc32(Bytes data) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (uint8_t b : data) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::optional<std::vector<uint8_t>> Bunzip2(Bytes compressed, size_t size) {
  if (size == 0 || size > FragmentStore::kMaxReply || compressed.empty()) return std::nullopt;
  std::vector<uint8_t> out(size);
  // One byte of room more than promised shows a stream that is longer.
  out.push_back(0);
  unsigned int produced = static_cast<unsigned int>(out.size());
  std::vector<char> in(compressed.begin(), compressed.end());
  int rc = BZ2_bzBuffToBuffDecompress(reinterpret_cast<char*>(out.data()), &produced, in.data(),
                                      static_cast<unsigned int>(in.size()), 0, 0);
  if (rc != BZ_OK || produced != size) return std::nullopt;
  out.resize(size);
  return out;
}

FragmentStore::Outcome FragmentStore::tryJoin(const Set& s, std::vector<uint8_t>& out) const {
  for (Layout layout : {Layout{true}, Layout{false}}) {
    // The first fragment's total decides; fragments that disagree do not belong to this reading.
    const int total = layout.total(s.fragments.front());
    if (total < 1) continue;
    std::vector<const std::vector<uint8_t>*> parts(static_cast<size_t>(total), nullptr);
    int have = 0;
    for (const auto& f : s.fragments) {
      int n = layout.number(f);
      if (layout.total(f) != total || n < 0 || n >= total || parts[static_cast<size_t>(n)]) continue;
      parts[static_cast<size_t>(n)] = &f;
      ++have;
    }
    if (have != total) continue;

    const std::vector<uint8_t>& first = *parts[0];
    const bool compressed = !layout.goldSrc && (s.id & kCompressedBit);
    size_t header = kGoldSrcHeader;
    if (!layout.goldSrc) {
      header = kSourceHeader;
      // Without the size field the reply starts two bytes earlier.
      if (!compressed && !StartsReply(first, kSourceHeader) && StartsReply(first, kSourceHeaderNoSize))
        header = kSourceHeaderNoSize;
    }
    out.clear();
    for (size_t n = 0; n < parts.size(); ++n) {
      const auto& f = *parts[n];
      size_t from = header + (compressed && n == 0 ? kCompressionFields : 0);
      if (f.size() > from) out.insert(out.end(), f.begin() + static_cast<std::ptrdiff_t>(from), f.end());
    }
    if (compressed) {
      ByteReader r(first, kSourceHeader);
      const uint32_t size = r.u32le();
      const uint32_t crc = r.u32le();
      auto plain = Bunzip2(out, size);
      if (!plain || Crc32(*plain) != crc) return Outcome::Broken;
      out = std::move(*plain);
    }
    return StartsReply(out, 0) ? Outcome::Joined : Outcome::Broken;
  }
  return Outcome::Incomplete;
}

void FragmentStore::drop(size_t index) {
  bytes_ -= sets_[index].bytes;
  sets_.erase(sets_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::optional<std::vector<uint8_t>> FragmentStore::add(const std::string& address, uint16_t port, Bytes d,
                                                         Clock::time_point now) {
  for (size_t i = sets_.size(); i-- > 0;)
    if (now - sets_[i].started >= kLifetime) drop(i);
  if (d.size() <= kGoldSrcHeader || d.size() > kMaxSetBytes) return std::nullopt;
  const uint32_t id = RequestId(d);

  size_t index = sets_.size();
  for (size_t i = 0; i < sets_.size(); ++i)
    if (sets_[i].id == id && sets_[i].port == port && sets_[i].address == address) index = i;
  if (index == sets_.size()) {
    if (sets_.size() >= kMaxSets) drop(0);
    sets_.push_back(Set{address, port, id, now, 0, {}});
    index = sets_.size() - 1;
  }
  Set& s = sets_[index];
  // A fragment whose header was seen already is a duplicate: the first one stays.
  const size_t headerBytes = std::min(d.size(), kSourceHeader);
  for (const auto& f : s.fragments)
    if (f.size() >= headerBytes && std::equal(d.begin(), d.begin() + static_cast<std::ptrdiff_t>(headerBytes), f.begin()))
      return std::nullopt;
  if (s.bytes + d.size() > kMaxSetBytes) {
    drop(index);
    return std::nullopt;
  }
  s.fragments.emplace_back(d.begin(), d.end());
  s.bytes += d.size();
  bytes_ += d.size();

  std::vector<uint8_t> joined;
  Outcome outcome = tryJoin(s, joined);
  if (outcome != Outcome::Incomplete) drop(index);
  // The oldest sets make room when all of them hold too much.
  while (bytes_ > kMaxBytes && !sets_.empty()) drop(0);
  if (outcome == Outcome::Joined) return joined;
  return std::nullopt;
}

}  // namespace gavrix
