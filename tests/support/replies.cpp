// Reply datagram builders for tests.
#include "replies.h"

#include <bzlib.h>

#include <algorithm>
#include <functional>

#include "query/fragments.h"

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

namespace {

void Le(Datagram& d, uint32_t v, int bytes) {
  for (int k = 0; k < bytes; ++k) d.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

std::vector<Datagram> Chunks(const Datagram& payload, size_t chunk, const std::function<Datagram(size_t, size_t)>& header) {
  const size_t total = (payload.size() + chunk - 1) / chunk;
  std::vector<Datagram> out;
  for (size_t n = 0; n < total; ++n) {
    Datagram d = header(n, total);
    auto from = payload.begin() + static_cast<std::ptrdiff_t>(n * chunk);
    d.insert(d.end(), from, from + static_cast<std::ptrdiff_t>(std::min(chunk, payload.size() - n * chunk)));
    out.push_back(std::move(d));
  }
  return out;
}

}  // namespace

std::vector<Datagram> SplitSource(const Datagram& reply, uint32_t id, size_t chunk, bool compress, uint32_t crcDelta) {
  Datagram payload = reply;
  if (compress) {
    id |= 0x80000000u;
    std::vector<char> in(reply.begin(), reply.end());
    std::vector<char> out(reply.size() + reply.size() / 100 + 600);
    unsigned int n = static_cast<unsigned int>(out.size());
    BZ2_bzBuffToBuffCompress(out.data(), &n, in.data(), static_cast<unsigned int>(in.size()), 9, 0, 0);
    payload.clear();
    Le(payload, static_cast<uint32_t>(reply.size()), 4);
    Le(payload, Crc32(reply) + crcDelta, 4);
    payload.insert(payload.end(), out.begin(), out.begin() + n);
  }
  return Chunks(payload, chunk, [&](size_t n, size_t total) {
    Datagram d = {0xFE, 0xFF, 0xFF, 0xFF};
    Le(d, id, 4);
    d.push_back(static_cast<uint8_t>(total));
    d.push_back(static_cast<uint8_t>(n));
    Le(d, 0x04E0, 2);
    return d;
  });
}

std::vector<Datagram> SplitGoldSrc(const Datagram& reply, uint32_t id, size_t chunk) {
  return Chunks(reply, chunk, [&](size_t n, size_t total) {
    Datagram d = {0xFE, 0xFF, 0xFF, 0xFF};
    Le(d, id, 4);
    d.push_back(static_cast<uint8_t>(n << 4 | total));
    return d;
  });
}

Datagram ManyRules(int n) {
  std::vector<std::pair<std::string, std::string>> rules;
  for (int i = 0; i < n; ++i) rules.emplace_back("rule" + std::to_string(i), "v" + std::to_string(i));
  return RulesReply(static_cast<uint16_t>(n), rules);
}

Datagram FromText(const std::string& s) { return Datagram(s.begin(), s.end()); }

}  // namespace gavrix::test
