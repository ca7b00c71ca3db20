// Reply datagram builders for tests.
#include "replies.h"

namespace gavrix::test {

namespace {

void Str(Datagram& d, const std::string& s) {
  d.insert(d.end(), s.begin(), s.end());
  d.push_back(0);
}

Datagram Header(uint8_t type) { return {0xFF, 0xFF, 0xFF, 0xFF, type}; }

}  // namespace

Datagram Build(const SourceInfo& s) {
  Datagram d = Header('I');
  d.push_back(s.protocol);
  Str(d, s.name);
  Str(d, s.map);
  Str(d, s.dir);
  Str(d, s.game);
  d.push_back(static_cast<uint8_t>(s.appId & 0xFF));
  d.push_back(static_cast<uint8_t>(s.appId >> 8));
  for (uint8_t b : {s.players, s.maxPlayers, s.bots, s.type, s.os, s.password}) d.push_back(b);
  d.push_back(0);  // VAC
  return d;
}

Datagram Build(const GoldSrcInfo& s) {
  Datagram d = Header('m');
  Str(d, s.addr);
  Str(d, s.name);
  Str(d, s.map);
  Str(d, s.dir);
  Str(d, s.game);
  for (uint8_t b : {s.players, s.maxPlayers, s.protocol, s.type, s.os, s.password, s.isMod}) d.push_back(b);
  if (s.isMod) {
    Str(d, s.modUrl);
    Str(d, s.modDownload);
  }
  return d;
}

Datagram OldReply(const std::string& infostring) {
  Datagram d = {0xFF, 0xFF, 0xFF, 0xFF};
  Str(d, "infostringresponse");
  d.insert(d.end(), infostring.begin(), infostring.end());
  return d;
}

Datagram PlayersReply(const std::vector<Player>& players) {
  Datagram d = Header('D');
  d.push_back(static_cast<uint8_t>(players.size()));
  uint8_t index = 0;
  for (const auto& p : players) {
    d.push_back(index++);
    Str(d, p.name);
    auto f = static_cast<uint32_t>(p.frags);
    for (int k = 0; k < 4; ++k) d.push_back(static_cast<uint8_t>(f >> (8 * k)));
    for (int k = 0; k < 4; ++k) d.push_back(0);  // connection time
  }
  return d;
}

Datagram RulesReply(uint16_t count, const std::vector<std::pair<std::string, std::string>>& rules) {
  Datagram d = Header('E');
  d.push_back(static_cast<uint8_t>(count & 0xFF));
  d.push_back(static_cast<uint8_t>(count >> 8));
  for (const auto& [name, value] : rules) {
    Str(d, name);
    Str(d, value);
  }
  return d;
}

Datagram Challenge(uint8_t a, uint8_t b, uint8_t c, uint8_t d) { return {0xFF, 0xFF, 0xFF, 0xFF, 'A', a, b, c, d}; }

Datagram ManyRules(int n) {
  std::vector<std::pair<std::string, std::string>> rules;
  for (int i = 0; i < n; ++i) rules.emplace_back("rule" + std::to_string(i), "v" + std::to_string(i));
  return RulesReply(static_cast<uint16_t>(n), rules);
}

Datagram FromText(const std::string& s) { return Datagram(s.begin(), s.end()); }

}  // namespace gavrix::test
