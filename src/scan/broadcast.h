// Where the broadcast step of a scan sends: every attached network's
// broadcast address, and the ports of the BroadcastPorts setting.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/net_interfaces.h"

namespace gavrix {

// Most ports a BroadcastPorts text may list.
inline constexpr size_t kMaxBroadcastPorts = 64;

// The broadcast address of every interface that is up, can broadcast and is
// not a loopback interface, in list order and each once. When none qualifies:
// BroadcastAddress() of localAddress(), which is asked only then; empty when
// that address is empty too.
std::vector<std::string> BroadcastTargets(const std::vector<NetInterface>& interfaces,
                                          const std::function<std::string()>& localAddress);

// A port list such as "27015-27020, 27215": single ports and ranges of ports
// 1 to 65535, separated by commas and/or spaces, at most kMaxBroadcastPorts
// ports in all; a port listed twice is taken once. An empty or blank text
// gives an empty list. nullopt for anything else.
std::optional<std::vector<uint16_t>> ParseBroadcastPorts(std::string_view text);

// The ports the broadcast step queries: the list's, or the scan port when the
// text is empty. nullopt when the text is no port list, or it is empty and
// there is no scan port.
std::optional<std::vector<uint16_t>> BroadcastPorts(std::string_view text, std::optional<uint16_t> scanPort);

}  // namespace gavrix
