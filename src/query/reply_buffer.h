// Fixed buffers the replies are decoded from. Every read past the stored bytes
// or past the buffer's end yields zero, so a decoder can never leave its buffer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

namespace gavrix {

inline constexpr size_t kReplyBufferSize = 1500;
inline constexpr size_t kRulesBufferSize = 3000;

template <size_t N>
class ZeroBuffer {
 public:
  static constexpr size_t kSize = N;
  uint8_t at(size_t i) const { return i < N ? bytes_[i] : 0; }
  const uint8_t* data() const { return bytes_.data(); }
  // All N bytes, zeros past what was stored.
  std::span<const uint8_t> bytes() const { return {bytes_.data(), N}; }
  // Copies up to N - offset bytes to offset; returns how many were copied.
  size_t write(size_t offset, const uint8_t* src, size_t n) {
    if (offset >= N) return 0;
    if (n > N - offset) n = N - offset;
    if (n) std::memcpy(bytes_.data() + offset, src, n);
    return n;
  }
  void zero(size_t from, size_t to) {
    if (to > N) to = N;
    if (from < to) std::memset(bytes_.data() + from, 0, to - from);
  }

 private:
  std::array<uint8_t, N> bytes_{};
};

// The reply buffer: the datagram at its start, zeros after it.
class ReplyBuffer : public ZeroBuffer<kReplyBufferSize> {
 public:
  // Stores a datagram, cut to the buffer's 1500 bytes; returns its kept length.
  size_t assign(const uint8_t* data, size_t n) {
    size_t kept = write(0, data, n);
    // Only the tail of the previous datagram needs clearing.
    zero(kept, length_);
    length_ = kept;
    return kept;
  }
  size_t length() const { return length_; }

 private:
  size_t length_ = 0;
};

using RulesBuffer = ZeroBuffer<kRulesBufferSize>;

// Sequential reads of NUL-ended strings and little-endian numbers over bytes
// of any length. A read at or past the end yields zero and a string ends at the
// end, so a decoder never leaves its bytes whatever they hold.
class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes, size_t pos = 0) : b_(bytes), pos_(pos) {}
  size_t pos() const { return pos_; }
  size_t size() const { return b_.size(); }
  bool atEnd() const { return pos_ >= b_.size(); }
  void seek(size_t p) { pos_ = p; }
  void skip(size_t n) { pos_ += n; }
  uint8_t u8() {
    uint8_t v = pos_ < b_.size() ? b_[pos_] : 0;
    ++pos_;
    return v;
  }
  uint16_t u16le() {
    uint16_t lo = u8();
    return static_cast<uint16_t>(lo | (u8() << 8));
  }
  uint32_t u32le() {
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v |= uint32_t{u8()} << (8 * k);
    return v;
  }
  int32_t i32le() { return static_cast<int32_t>(u32le()); }
  // A string up to its NUL; the end counts as a NUL. The NUL is consumed.
  std::string str() {
    size_t start = pos_ < b_.size() ? pos_ : b_.size();
    const uint8_t* base = b_.data() + start;
    size_t avail = b_.size() - start;
    const void* nul = avail ? std::memchr(base, 0, avail) : nullptr;
    size_t len = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - base) : avail;
    pos_ = start + len + 1;
    return std::string(reinterpret_cast<const char*>(base), len);
  }

 private:
  std::span<const uint8_t> b_;
  size_t pos_;
};

}  // namespace gavrix
