// Writes a small seed corpus for the dispatcher fuzz target: built replies of
// every kind, in sequences where duplicates, challenges and fragments meet.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "input_format.h"
#include "support/split_replies.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fz = gavrix::fuzz;
using gavrix::test::SplitGoldSrc;
using gavrix::test::SplitSource;

struct Reply {
  Bytes b{0xFF, 0xFF, 0xFF, 0xFF};
  Reply& u8(int v) { b.push_back(static_cast<uint8_t>(v)); return *this; }
  Reply& str(const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
    b.push_back(0);
    return *this;
  }
  Reply& raw(const std::string& s) { b.insert(b.end(), s.begin(), s.end()); return *this; }
};

Bytes Source(const std::string& game, int players, int max) {
  Reply r;
  r.u8('I').u8(17).str("Seed server").str("de_dust2").str("cstrike").str(game).u8(240).u8(0);
  return r.u8(players).u8(max).u8(0).u8('d').u8('w').u8(0).b;
}

Bytes GoldSrc(const std::string& addr, const std::string& game, int protocol) {
  Reply r;
  r.u8('m').str(addr).str("Seed gold").str("de_nuke").str("cstrike").str(game);
  return r.u8(3).u8(20).u8(protocol).u8('d').u8('l').u8(0).u8(1).str("http://m").str("http://d").b;
}

Bytes Old(const std::string& info) { return Reply().str("infostringresponse").raw(info).b; }

Bytes Players() {
  Reply r;
  r.u8('D').u8(2).u8(0).str("alpha").u8(5).u8(0).u8(0).u8(0).u8(0).u8(0).u8(0).u8(0);
  return r.u8(1).str("\xC3\xA9t\xC3\xA9").u8(0xFF).u8(0xFF).u8(0xFF).u8(0xFF).u8(0).u8(0).u8(0).u8(0).b;
}

Bytes Rules(int count) {
  Reply r;
  r.u8('E').u8(count).u8(0);
  for (int i = 0; i < count; ++i) r.str("rule" + std::to_string(i)).str(std::to_string(i));
  return r.b;
}

Bytes Challenge() { return Reply().u8('A').u8(1).u8(2).u8(3).u8(4).b; }

// A rules reply split in two: a 1400-byte first fragment and the rest.
std::vector<Bytes> Split() {
  Bytes whole = Rules(200);  // about 2 KB
  Bytes head{0xFE, 0xFF, 0xFF, 0xFF, 0x10, 0, 0, 0, 0x02};
  std::vector<Bytes> parts(2, head);
  parts[1][8] = 0x12;
  size_t firstPayload = 1400 - head.size();
  parts[0].insert(parts[0].end(), whole.begin(), whole.begin() + static_cast<long>(firstPayload));
  parts[1].insert(parts[1].end(), whole.begin() + static_cast<long>(firstPayload), whole.end());
  return parts;
}

Bytes SourceApp(int appId, const std::string& dir, int protocol) {
  Reply r;
  r.u8('I').u8(protocol).str("Today").str("cp_dustbowl").str(dir).str("Custom description");
  return r.u8(appId & 0xFF).u8(appId >> 8).u8(3).u8(24).u8(0).u8('d').u8('l').u8(0).b;
}

struct Seed {
  Bytes bytes;
  explicit Seed(uint16_t settings) { bytes = {static_cast<uint8_t>(settings), static_cast<uint8_t>(settings >> 8)}; }
  Seed& add(const Bytes& datagram, int address = 0, int port = 0, int action = 0, int flags = 0) {
    bytes.push_back(static_cast<uint8_t>(address | port << 2 | action << fz::kActionShift | flags));
    bytes.push_back(static_cast<uint8_t>(datagram.size()));
    bytes.push_back(static_cast<uint8_t>(datagram.size() >> 8));
    bytes.insert(bytes.end(), datagram.begin(), datagram.end());
    return *this;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string relay = "\\hostname\\relay\\map\\de_dust\\players\\1\\max\\8\\os\\l\\password\\0\\proxy\\1";
  std::vector<Seed> seeds;
  seeds.push_back(Seed(fz::kAllGamesShown).add(Source("Counter-Strike: Source", 5, 16)));
  seeds.push_back(Seed(fz::kAllGamesShown)
                      .add(GoldSrc("127.0.0.2:27016", "Counter-Strike", 47), 1, 1)
                      .add(Source("Counter-Strike: Source", 1, 2), 1, 1)
                      .add(GoldSrc("127.0.0.2:27016", "HLTV", 46), 1, 1, 1)
                      .add(GoldSrc("127.0.0.2:x", "Half-Life", 47), 1, 2)
                      .add(GoldSrc("127.0.0.2:27020", "Day of Defeat", 47), 1, 2, 2));
  seeds.push_back(Seed(fz::kAllGamesShown | fz::kWatchFirst)
                      .add(Old(relay + "\\protocol\\46\\description\\HLTV\\"), 0, 0)
                      .add(Old(relay + "\\protocol\\47\\description\\Demo Playback\\"), 0, 1)
                      .add(Old("\\hostname\\x\\players\\abc\\description\\CounterStrike\\"), 0, 2)
                      .add(Old("\\HOSTNAME\\y\\description\\HLTV\\"), 2, 0, 3));
  seeds.push_back(Seed(fz::kAllGamesShown | fz::kSendFails)
                      .add(Challenge(), 3, 3)
                      .add(Players(), 3, 3)
                      .add(Rules(3), 3, 3)
                      .add(Rules(200), 3, 3));
  auto split = Split();
  seeds.push_back(Seed(fz::kAllGamesShown).add(split[0], 2, 1).add(split[1], 2, 1).add(Rules(2)).add(split[1]));
  seeds.push_back(Seed(0x0155 | fz::kScanning)
                      .add(Source("Deathmatch", 1, 4))
                      .add(Source("CSPromod Source", 1, 4), 1)
                      .add(Source("Team Fortress", 1, 4), 2)
                      .add(Source("Garry's Sandbox", 1, 4), 3)
                      .add(Source("Day of Defeat: Source", 255, 255), 0, 1));

  // Today's servers: split replies of both headers in any order, compressed
  // ones, challenges from queried servers and from many others, app ids.
  const uint16_t today = fz::kAllGamesShown | fz::kModern | fz::kInfoSent;
  {
    Seed s(today);
    auto rules = SplitSource(Rules(250), 0x157, 700, false);
    auto players = SplitSource(Players(), 'D', 20, false);
    for (size_t i = rules.size(); i-- > 0;) {
      s.add(rules[i], 1, 1);
      if (i < players.size()) s.add(players[i], 1, 1);
    }
    for (const Bytes& f : SplitGoldSrc(Rules(120), 9, 500)) s.add(f, 2, 2);
    seeds.push_back(s);
  }
  {
    Seed s(today);
    for (const Bytes& f : SplitSource(Rules(250), 0x33C, 400, true)) s.add(f, 0, 0);
    seeds.push_back(s);
  }
  {
    Seed s(today);
    s.add(Challenge(), 0, 0).add(Challenge(), 0, 0).add(SourceApp(440, "tf", 17), 0, 0);
    s.add(GoldSrc("127.0.0.2:27015", "Counter-Strike", 48), 1, 0).add(SourceApp(10, "cstrike", 48), 1, 0);
    for (int i = 0; i < 40; ++i) s.add(Challenge(), 0, i % 4, 0, fz::kFreshAddress);
    s.add(SourceApp(0, "garrysmod", 17), 3, 3);
    seeds.push_back(s);
  }

  for (size_t i = 0; i < seeds.size(); ++i) {
    std::string path = std::string(argv[1]) + "/seed-" + std::to_string(i);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(seeds[i].bytes.data()), static_cast<std::streamsize>(seeds[i].bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
