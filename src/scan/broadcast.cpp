// Broadcast targets and the broadcast port list.
#include "scan/broadcast.h"

#include <algorithm>

#include "scan/ranges.h"

namespace gavrix {

std::vector<std::string> BroadcastTargets(const std::vector<NetInterface>& interfaces,
                                          const std::function<std::string()>& localAddress) {
  std::vector<std::string> targets;
  for (const NetInterface& n : interfaces) {
    if (!n.up || n.loopback || !n.canBroadcast) continue;
    auto octets = ParseIPv4(n.broadcast);
    if (!octets || *octets == Octets{}) continue;
    if (std::find(targets.begin(), targets.end(), n.broadcast) == targets.end()) targets.push_back(n.broadcast);
  }
  if (targets.empty()) {
    const std::string local = localAddress ? localAddress() : std::string();
    if (!local.empty()) targets.push_back(BroadcastAddress(local));
  }
  return targets;
}

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A port number 1 to 65535 at text[i], moving i past it.
std::optional<uint16_t> ReadPort(std::string_view text, size_t& i) {
  uint32_t v = 0;
  const size_t start = i;
  while (i < text.size() && IsDigit(text[i])) {
    v = v * 10 + static_cast<uint32_t>(text[i] - '0');
    if (v > 65535) return std::nullopt;
    ++i;
  }
  if (i == start || v == 0) return std::nullopt;
  return static_cast<uint16_t>(v);
}

void SkipSpaces(std::string_view text, size_t& i) {
  while (i < text.size() && IsSpace(text[i])) ++i;
}

}  // namespace

std::optional<std::vector<uint16_t>> ParseBroadcastPorts(std::string_view text) {
  std::vector<uint16_t> ports;
  size_t i = 0;
  SkipSpaces(text, i);
  while (i < text.size()) {
    auto first = ReadPort(text, i);
    if (!first) return std::nullopt;
    uint16_t last = *first;
    SkipSpaces(text, i);
    if (i < text.size() && text[i] == '-') {
      ++i;
      SkipSpaces(text, i);
      auto end = ReadPort(text, i);
      if (!end || *end < *first) return std::nullopt;
      last = *end;
      SkipSpaces(text, i);
    }
    for (uint32_t p = *first; p <= last; ++p) {
      if (std::find(ports.begin(), ports.end(), p) != ports.end()) continue;
      if (ports.size() == kMaxBroadcastPorts) return std::nullopt;
      ports.push_back(static_cast<uint16_t>(p));
    }
    // Items are separated by a comma, by spaces, or both.
    if (i < text.size() && text[i] == ',') {
      ++i;
      SkipSpaces(text, i);
      if (i == text.size()) return std::nullopt;
    } else if (i < text.size() && !IsSpace(text[i - 1])) {
      return std::nullopt;
    }
  }
  return ports;
}

std::optional<std::vector<uint16_t>> BroadcastPorts(std::string_view text, std::optional<uint16_t> scanPort) {
  auto ports = ParseBroadcastPorts(text);
  if (!ports) return std::nullopt;
  if (ports->empty()) {
    if (!scanPort) return std::nullopt;
    ports->push_back(*scanPort);
  }
  return ports;
}

}  // namespace gavrix
