// What every test, benchmark and tool main installs before anything could scan:
// the local address and the interface list stay on loopback, so a broadcast
// can only reach 127.0.0.0/8.
#pragma once

#include <vector>

#include "util/net_interfaces.h"

namespace gavrix::test {

// A host with nothing but its loopback interface: no interface qualifies for
// the broadcast, which then falls back to the local address.
std::vector<NetInterface> LoopbackInterfaces();

// Local address 127.0.0.1 and LoopbackInterfaces().
void KeepNetworkOnLoopback();

}  // namespace gavrix::test
