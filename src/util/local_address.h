// The local host's IPv4 address, behind a seam: tests give 127.0.0.1 so that
// no scan ever reaches a real network.
#pragma once

#include <functional>
#include <string>

namespace gavrix {

// Dotted IPv4 address of the local host, or empty when it cannot be found.
std::string GetLocalIP();

// Replaces the lookup (nullptr restores the system's); for tests and tools.
void SetLocalAddressProvider(std::function<std::string()> provider);

// The system's lookup: host name, then its first IPv4 address.
std::string SystemLocalIP();

}  // namespace gavrix
