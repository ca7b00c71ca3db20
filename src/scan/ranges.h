// Range expansion and target counting of a scan, and the broadcast address.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gavrix {

using Octets = std::array<uint8_t, 4>;

// Four dot-separated decimal numbers 0 to 255; nullopt for anything else.
std::optional<Octets> ParseIPv4(std::string_view text);
std::string FormatIPv4(uint8_t a, uint8_t b, uint8_t c, uint8_t d);

// The targets of one range row, in scan order: the first two octets come from
// the lower bound; the third runs from F3 to T3; the fourth from F4 up to T4 in
// the last third octet and up to 254 in the others. A bound that is not an
// IPv4 address yields no target.
class RangeTargets {
 public:
  RangeTargets(std::string_view from, std::string_view to);
  uint64_t count() const;
  // Calls f(a, b, c, d) for each target in order; stops early when f returns false.
  template <class F>
  bool forEach(F&& f) const {
    if (!valid_) return true;
    for (int c = f_[2]; c <= t_[2]; ++c) {
      int last = c == t_[2] ? t_[3] : 254;
      for (int d = f_[3]; d <= last; ++d)
        if (!f(f_[0], f_[1], static_cast<uint8_t>(c), static_cast<uint8_t>(d))) return false;
    }
    return true;
  }

 private:
  bool valid_ = false;
  Octets f_{}, t_{};
};

// The local network's broadcast address: the first two octets of the local
// address and ".255.255"; built from whatever text the lookup gave.
std::string BroadcastAddress(std::string_view localAddress);

}  // namespace gavrix
