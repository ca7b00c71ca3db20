// The host's IPv4 network interfaces, behind a seam: test programs install a
// list of loopback addresses so that no broadcast ever reaches a real network.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace gavrix {

// One IPv4 address of one interface, with the interface's flags.
struct NetInterface {
  std::string name;
  std::string address;    // dotted IPv4
  std::string broadcast;  // dotted IPv4; empty when the interface has none
  bool up = false;
  bool loopback = false;
  bool canBroadcast = false;
};

// The interface list: the installed provider's, or the system's.
std::vector<NetInterface> GetNetInterfaces();

// Replaces the system's list (nullptr restores it); for tests and tools.
void SetNetInterfaceProvider(std::function<std::vector<NetInterface>()> provider);

// The system's list, from getifaddrs().
std::vector<NetInterface> SystemNetInterfaces();

}  // namespace gavrix
