// Decoded info replies and their decoders over the reply buffer.
#pragma once

#include <cstdint>
#include <string>

#include "query/reply_buffer.h"

namespace gavrix {

// GoldSrc info reply (type 'm').
struct THL1info {
  std::string Addr, Name, Map, Dir, Game;
  uint8_t Players = 0, MaxPlayers = 0, Protocol = 0, ServerType = 0, OS = 0, Password = 0, IsMod = 0;
  std::string ModURL, ModDownload;
};

// Source info reply (type 'I').
struct TCSSinfo {
  uint8_t Protocol = 0;
  std::string Name, Map, Dir, Game;
  uint8_t Players = 0, MaxPlayers = 0, Bots = 0, ServerType = 0, OS = 0, Password = 0;
  uint16_t AppID = 0;  // read for the servers the description tests do not place
};

// One decoded player of a players reply.
struct TPlayers {
  std::string NickName;
  int32_t Frags = 0;
};

// One decoded rule of a rules reply.
struct TRules {
  std::string RuleName, RuleValue;
};

// The nine values an old infostring reply is read for.
struct OldInfo {
  std::string hostname, map, players, max, os, password, proxy, protocol, description;
};

THL1info DecodeHL1(const ReplyBuffer& b);
TCSSinfo DecodeCSS(const ReplyBuffer& b);
// The infostring of an old reply: bytes 23 to the datagram's end.
OldInfo DecodeOldInfostring(const ReplyBuffer& b);

}  // namespace gavrix
