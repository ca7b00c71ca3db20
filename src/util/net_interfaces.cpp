// Interface list from getifaddrs().
#include "util/net_interfaces.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstring>

namespace gavrix {

namespace {
std::function<std::vector<NetInterface>()>& Provider() {
  static std::function<std::vector<NetInterface>()> p;
  return p;
}

std::string Dotted(const sockaddr* sa) {
  if (!sa || sa->sa_family != AF_INET) return {};
  sockaddr_in in{};
  std::memcpy(&in, sa, sizeof in);  // the family says the record is a sockaddr_in
  char text[INET_ADDRSTRLEN] = {};
  return inet_ntop(AF_INET, &in.sin_addr, text, sizeof text) ? std::string(text) : std::string();
}
}  // namespace

void SetNetInterfaceProvider(std::function<std::vector<NetInterface>()> provider) {
  Provider() = std::move(provider);
}

std::vector<NetInterface> GetNetInterfaces() { return Provider() ? Provider()() : SystemNetInterfaces(); }

std::vector<NetInterface> SystemNetInterfaces() {
  std::vector<NetInterface> list;
  ifaddrs* all = nullptr;
  if (getifaddrs(&all) != 0) return list;
  for (const ifaddrs* i = all; i; i = i->ifa_next) {
    if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
    NetInterface n;
    n.name = i->ifa_name ? i->ifa_name : "";
    n.address = Dotted(i->ifa_addr);
    n.up = (i->ifa_flags & IFF_UP) != 0;
    n.loopback = (i->ifa_flags & IFF_LOOPBACK) != 0;
    n.canBroadcast = (i->ifa_flags & IFF_BROADCAST) != 0;
    // ifa_broadaddr shares its field with the point-to-point peer: only a
    // broadcast interface's is a broadcast address.
    if (n.canBroadcast) n.broadcast = Dotted(i->ifa_broadaddr);
    list.push_back(std::move(n));
  }
  freeifaddrs(all);
  return list;
}

}  // namespace gavrix
