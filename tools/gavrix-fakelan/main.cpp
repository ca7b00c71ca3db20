// gavrix-fakelan: a simulated LAN of game servers on loopback addresses, for
// trying the program by hand. Each server answers info, players and rules
// queries (with a challenge first) and the old infostring query.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "support/fake_server.h"

using namespace gavrix::test;

namespace {

volatile std::sig_atomic_t stop = 0;

const char* kGames[] = {"Counter-Strike: Source", "Team Fortress", "Day of Defeat: Source", "Deathmatch", "Sandbox"};
const char* kMaps[] = {"de_dust2", "cp_badlands", "dod_avalanche", "dm_lockdown", "gm_construct"};

FakeServers::Responder Server(int i) {
  return [i](const Received& r) -> std::vector<Datagram> {
    if (r.bytes.size() < 5) return {};
    const uint8_t type = r.bytes[4];
    const bool challenged = r.bytes.size() == 9 || (r.bytes.size() >= 9 && r.bytes[5] == 0x11);
    if (type == 'T') {
      if (i % 4 == 3) {
        GoldSrcInfo g;
        g.addr = "127.0.0." + std::to_string(i + 1) + ":27015";
        g.name = "Fake GoldSrc #" + std::to_string(i + 1);
        g.game = i % 8 == 3 ? "Counter-Strike" : "Half-Life";
        g.players = static_cast<uint8_t>(i % 21);
        return {Build(g)};
      }
      SourceInfo s;
      s.name = "Fake server #" + std::to_string(i + 1);
      s.game = kGames[i % 5];
      s.map = kMaps[i % 5];
      s.players = static_cast<uint8_t>((i * 7) % 25);
      s.maxPlayers = 24;
      s.password = i % 6 == 5;
      s.os = i % 2 ? 'w' : 'l';
      return {Build(s)};
    }
    // Only the Half-Life servers also speak the old protocol.
    if (type == 'i' && r.bytes.size() >= 14 && i % 4 == 3) {
      return {OldReply("\\hostname\\Fake old #" + std::to_string(i + 1) +
                       "\\map\\de_aztec\\players\\3\\max\\16\\os\\w\\password\\0\\proxy\\0\\protocol\\46"
                       "\\description\\CounterStrike\\")};
    }
    if ((type == 'U' || type == 'V') && !challenged) return {Challenge(0x11, 0x22, 0x33, 0x44)};
    if (type == 'U') return {PlayersReply({{"alpha", 12}, {"bravo", 3}, {"charlie", -1}, {"delta", 7}})};
    if (type == 'V') return {RulesReply(3, {{"mp_timelimit", "30"}, {"sv_gravity", "800"}, {"mp_friendlyfire", "0"}})};
    return {};
  };
}

}  // namespace

int main(int argc, char** argv) {
  std::string base = "127.0.0";
  int count = 10;
  int port = 27015;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--base" && i + 1 < argc) base = argv[++i];
    else if (a == "--count" && i + 1 < argc) count = std::atoi(argv[++i]);
    else if (a == "--port" && i + 1 < argc) port = std::atoi(argv[++i]);
    else {
      std::fprintf(stderr,
                   "usage: gavrix-fakelan [--base 127.A.B] [--count N] [--port P]\n"
                   "Runs N fake game servers on BASE.1 .. BASE.N, port P, until interrupted.\n");
      return a == "--help" ? 0 : 2;
    }
  }
  if (base.rfind("127.", 0) != 0 || count < 1 || count > 254 || port < 1 || port > 65535) {
    std::fprintf(stderr, "gavrix-fakelan: servers live on 127.x.y.1-254 only\n");
    return 2;
  }
  FakeServers fakes;
  try {
    for (int i = 0; i < count; ++i)
      fakes.add(base + "." + std::to_string(i + 1), static_cast<uint16_t>(port), Server(i));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "gavrix-fakelan: %s\n", e.what());
    return 1;
  }
  fakes.start();
  std::signal(SIGINT, [](int) { stop = 1; });
  std::signal(SIGTERM, [](int) { stop = 1; });
  std::printf("%d fake servers on %s.1-%d port %d\n", count, base.c_str(), count, port);
  std::fflush(stdout);
  while (!stop) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return 0;
}
