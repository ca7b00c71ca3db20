#include "query/send_times.h"

#include <algorithm>

namespace gavrix {

std::string SendTimes::Key(const std::string& address, uint16_t port) {
  std::string key = address;
  key += ':';
  key += std::to_string(port);
  return key;
}

void SendTimes::noteSent(const std::string& address, uint16_t port, Bytes datagram, bool broadcast,
                         Clock::time_point at) {
  if (datagram.size() < 5 || datagram[0] != 0xFF || datagram[4] != 'T') return;
  if (broadcast) broadcast_[port] = at;
  else info_[Key(address, port)] = at;
}

std::optional<SendTimes::Clock::time_point> SendTimes::lastInfoSent(const std::string& address, uint16_t port) const {
  auto it = info_.find(Key(address, port));
  if (it == info_.end()) return std::nullopt;
  return it->second;
}

std::optional<int> SendTimes::pingMs(const std::string& address, uint16_t port, Clock::time_point at) const {
  std::optional<Clock::time_point> sent = lastInfoSent(address, port);
  if (!sent) {
    auto b = broadcast_.find(port);
    if (b == broadcast_.end()) return std::nullopt;
    sent = b->second;
  }
  if (at < *sent) return std::nullopt;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(at - *sent).count();
  return static_cast<int>(std::min<int64_t>(ms, INT32_MAX));
}

}  // namespace gavrix
