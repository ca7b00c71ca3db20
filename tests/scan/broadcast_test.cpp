// Broadcast targets from interface lists, and the BroadcastPorts parser.
#include "scan/broadcast.h"

#include <gtest/gtest.h>

using namespace gavrix;

namespace {

NetInterface If(const char* name, const char* address, const char* broadcast, bool up = true, bool loopback = false,
                bool canBroadcast = true) {
  return NetInterface{name, address, broadcast, up, loopback, canBroadcast};
}

TEST(BroadcastTargets, FromInterfaceLists) {
  struct Case {
    const char* what;
    std::vector<NetInterface> interfaces;
    std::string local;
    std::vector<std::string> targets;
  } cases[] = {
      {"one network", {If("eth0", "192.168.1.20", "192.168.1.255")}, "127.0.1.1", {"192.168.1.255"}},
      {"two networks, in list order",
       {If("eth0", "10.0.0.5", "10.0.0.255"), If("wlan0", "192.168.1.20", "192.168.1.255")},
       "",
       {"10.0.0.255", "192.168.1.255"}},
      {"interface down, the fallback applies", {If("eth0", "10.0.0.5", "10.0.0.255", false)}, "10.0.0.5",
       {"10.0.255.255"}},
      {"loopback only", {If("lo", "127.0.0.1", "", true, true, false)}, "127.0.1.1", {"127.0.255.255"}},
      {"loopback with a broadcast flag", {If("lo", "127.0.0.1", "127.255.255.255", true, true)}, "127.0.1.1",
       {"127.0.255.255"}},
      {"no broadcast flag (point to point)", {If("tun0", "10.8.0.2", "10.8.0.1", true, false, false)}, "10.8.0.2",
       {"10.8.255.255"}},
      {"a broadcast flag without an address", {If("eth0", "10.0.0.5", "")}, "10.0.0.5", {"10.0.255.255"}},
      {"two addresses on one network give it once",
       {If("eth0", "10.0.0.5", "10.0.0.255"), If("eth0", "10.0.0.6", "10.0.0.255"), If("lo", "127.0.0.1", "", true, true)},
       "",
       {"10.0.0.255"}},
      {"no interfaces at all", {}, "192.168.1.20", {"192.168.255.255"}},
      {"nothing qualifies and no local address", {}, "", {}},
  };
  for (const Case& c : cases) {
    int asked = 0;
    auto targets = BroadcastTargets(c.interfaces, [&] {
      ++asked;
      return c.local;
    });
    EXPECT_EQ(targets, c.targets) << c.what;
    // The local address is looked up only for the fallback.
    const bool qualifies = !c.targets.empty() && c.targets[0].find(".255.255") == std::string::npos;
    EXPECT_EQ(asked, qualifies ? 0 : 1) << c.what;
  }
}

TEST(BroadcastPorts, Parser) {
  using Ports = std::vector<uint16_t>;
  struct Case {
    const char* text;
    std::optional<Ports> ports;
  } cases[] = {
      {"", Ports{}},
      {"   ", Ports{}},
      {"27015", Ports{27015}},
      {"27015-27018", Ports{27015, 27016, 27017, 27018}},
      {"27015-27017, 27215", Ports{27015, 27016, 27017, 27215}},
      {" 27015 - 27016 ,27215 ", Ports{27015, 27016, 27215}},
      {"27215 27015", Ports{27215, 27015}},
      {"27015,27015-27016", Ports{27015, 27016}},
      {"1, 65535", Ports{1, 65535}},
      {"27015-27015", Ports{27015}},
      {"0", std::nullopt},
      {"65536", std::nullopt},
      {"99999999999", std::nullopt},
      {"27020-27015", std::nullopt},
      {"27015-", std::nullopt},
      {"-27015", std::nullopt},
      {"27015,", std::nullopt},
      {",27015", std::nullopt},
      {"27015,,27016", std::nullopt},
      {"27015x", std::nullopt},
      {"a", std::nullopt},
      {"27015;27016", std::nullopt},
      {"+27015", std::nullopt},
      {"27015-27016-27017", std::nullopt},
      {"27000-27063", Ports{}},  // 64 ports: the cap itself
      {"27000-27064", std::nullopt},
      {"27000-27062, 28000, 28001", std::nullopt},
      {"1-65535", std::nullopt},
  };
  for (const Case& c : cases) {
    auto got = ParseBroadcastPorts(c.text);
    if (std::string(c.text) == "27000-27063") {
      ASSERT_TRUE(got.has_value());
      EXPECT_EQ(got->size(), kMaxBroadcastPorts);
      EXPECT_EQ(got->back(), 27063);
      continue;
    }
    EXPECT_EQ(got, c.ports) << '"' << c.text << '"';
  }
  // Empty means the scan port; without one the step cannot send.
  EXPECT_EQ(BroadcastPorts("", uint16_t{27020}), Ports{27020});
  EXPECT_EQ(BroadcastPorts("27016", uint16_t{27020}), Ports{27016});
  EXPECT_EQ(BroadcastPorts("27016", std::nullopt), Ports{27016});
  EXPECT_EQ(BroadcastPorts("", std::nullopt), std::nullopt);
  EXPECT_EQ(BroadcastPorts("x", uint16_t{27020}), std::nullopt);
}

}  // namespace
