// Range expansion of the scan.
#include "scan/ranges.h"

#include "util/text.h"

namespace gavrix {

std::optional<Octets> ParseIPv4(std::string_view text) {
  Octets o{};
  size_t pos = 0;
  for (int i = 0; i < 4; ++i) {
    size_t end = text.find('.', pos);
    if (i == 3) {
      if (end != std::string_view::npos) return std::nullopt;
      end = text.size();
    } else if (end == std::string_view::npos) {
      return std::nullopt;
    }
    std::string_view part = text.substr(pos, end - pos);
    if (part.empty() || part.size() > 3) return std::nullopt;
    int v = 0;
    for (char c : part) {
      if (c < '0' || c > '9') return std::nullopt;
      v = v * 10 + (c - '0');
    }
    if (v > 255) return std::nullopt;
    o[static_cast<size_t>(i)] = static_cast<uint8_t>(v);
    pos = end + 1;
  }
  return o;
}

std::string FormatIPv4(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
  std::string s;
  s.reserve(15);
  for (uint8_t v : {a, b, c, d}) {
    if (!s.empty()) s.push_back('.');
    s += std::to_string(v);
  }
  return s;
}

RangeTargets::RangeTargets(std::string_view from, std::string_view to) {
  auto f = ParseIPv4(from);
  auto t = ParseIPv4(to);
  if (!f || !t) return;
  f_ = *f;
  t_ = *t;
  valid_ = t_[2] >= f_[2];
}

uint64_t RangeTargets::count() const {
  if (!valid_) return 0;
  uint64_t n = 0;
  for (int c = f_[2]; c <= t_[2]; ++c) {
    int last = c == t_[2] ? t_[3] : 254;
    if (last >= f_[3]) n += static_cast<uint64_t>(last - f_[3] + 1);
  }
  return n;
}

std::string BroadcastAddress(std::string_view local) {
  return GetField('.', local, 1) + "." + GetField('.', local, 2) + ".255.255";
}

}  // namespace gavrix
