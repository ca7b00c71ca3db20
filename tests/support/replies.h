// Builders of small reply datagrams for tests: each field is written the way
// a game server writes it, so a test states only what it varies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "split_replies.h"

namespace gavrix::test {

using Datagram = std::vector<uint8_t>;

struct SourceInfo {
  uint8_t protocol = 17;
  std::string name = "Source server", map = "de_dust2", dir = "cstrike", game = "Counter-Strike: Source";
  uint16_t appId = 240;
  uint8_t players = 5, maxPlayers = 16, bots = 0, type = 'd', os = 'l', password = 0;
};
Datagram Build(const SourceInfo& s);

struct GoldSrcInfo {
  std::string addr = "127.0.0.1:27015", name = "GoldSrc server", map = "de_dust", dir = "cstrike",
              game = "Counter-Strike";
  uint8_t players = 3, maxPlayers = 20, protocol = 47, type = 'd', os = 'w', password = 0, isMod = 0;
  std::string modUrl, modDownload;
};
Datagram Build(const GoldSrcInfo& s);

// FF FF FF FF "infostringresponse" NUL, then the infostring.
Datagram OldReply(const std::string& infostring);

struct Player {
  std::string name;
  int32_t frags = 0;
};
Datagram PlayersReply(const std::vector<Player>& players);

// FF FF FF FF 'E', 16-bit count, then name/value pairs.
Datagram RulesReply(uint16_t count, const std::vector<std::pair<std::string, std::string>>& rules);

Datagram Challenge(uint8_t a, uint8_t b, uint8_t c, uint8_t d);

// A rules reply with n rules named rule0, rule1, ... and values v0, v1, ...
Datagram ManyRules(int n);

// Raw bytes from a text, for datagrams written out by hand.
Datagram FromText(const std::string& s);

}  // namespace gavrix::test
