// Range expansion, target counts and the broadcast address.
#include "scan/ranges.h"

#include <gtest/gtest.h>

#include <vector>

using namespace gavrix;

namespace {
std::vector<std::string> Expand(const char* from, const char* to) {
  std::vector<std::string> out;
  RangeTargets(from, to).forEach([&](uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    out.push_back(FormatIPv4(a, b, c, d));
    return true;
  });
  return out;
}
}  // namespace

TEST(RangeTargets, ExpandsInScanOrder) {
  EXPECT_EQ(Expand("10.0.0.7", "10.0.0.7"), std::vector<std::string>{"10.0.0.7"});
  EXPECT_EQ(Expand("10.0.0.250", "10.0.2.5"),
            (std::vector<std::string>{"10.0.0.250", "10.0.0.251", "10.0.0.252", "10.0.0.253", "10.0.0.254",
                                      "10.0.1.250", "10.0.1.251", "10.0.1.252", "10.0.1.253", "10.0.1.254"}));
  // The upper bound's first two octets play no part.
  EXPECT_EQ(Expand("10.1.3.1", "99.99.3.2"), (std::vector<std::string>{"10.1.3.1", "10.1.3.2"}));
  auto wide = Expand("192.168.0.0", "192.168.1.255");
  ASSERT_EQ(wide.size(), 511u);
  EXPECT_EQ(wide[254], "192.168.0.254");
  EXPECT_EQ(wide[255], "192.168.1.0");
  EXPECT_EQ(wide.back(), "192.168.1.255");
}

TEST(RangeTargets, Counts) {
  struct Case { const char* from; const char* to; uint64_t n; } cases[] = {
      {"10.0.0.1", "10.0.0.1", 1},       {"10.0.0.250", "10.0.2.5", 10},   {"192.168.0.0", "192.168.0.255", 256},
      {"192.168.0.0", "192.168.1.255", 511}, {"10.1.1.0", "10.1.255.255", 65026}, {"10.0.5.10", "10.0.4.200", 0},
      {"10.0.5.10", "10.0.5.9", 0},      {"10.0.0.255", "10.0.1.3", 0},   {"10.0.0.1", "", 0},
      {"10.0.0", "10.0.0.5", 0},         {"10.0.0.1.2", "10.0.0.5", 0},   {"10.0.0.256", "10.0.0.5", 0},
      {"10.0.0.-1", "10.0.0.5", 0},      {"10.0.0.1", "10.0.0.x", 0},     {" 10.0.0.1", "10.0.0.5", 0},
  };
  for (const auto& c : cases) {
    RangeTargets r(c.from, c.to);
    EXPECT_EQ(r.count(), c.n) << c.from << " - " << c.to;
    uint64_t walked = 0;
    r.forEach([&](uint8_t, uint8_t, uint8_t, uint8_t) { return ++walked, true; });
    EXPECT_EQ(walked, c.n) << c.from << " - " << c.to;
  }
}

TEST(BroadcastAddress, KeepsTheFirstTwoOctets) {
  EXPECT_EQ(BroadcastAddress("192.168.1.20"), "192.168.255.255");
  EXPECT_EQ(BroadcastAddress("127.0.0.1"), "127.0.255.255");
  EXPECT_EQ(BroadcastAddress(""), "..255.255");
}
