// Info reply decoders. Field order follows the reply layouts; every read goes
// through the zero-filled buffer, so a short reply yields empty and zero fields.
#include "query/records.h"

#include "util/text.h"

namespace gavrix {

THL1info DecodeHL1(const ReplyBuffer& b) {
  ByteReader r(b.bytes(), 5);
  THL1info i;
  i.Addr = r.str();  // "ip:port" the server reports for itself
  i.Name = r.str();
  i.Map = r.str();
  i.Dir = r.str();
  i.Game = r.str();
  i.Players = r.u8();
  i.MaxPlayers = r.u8();
  i.Protocol = r.u8();
  i.ServerType = r.u8();
  i.OS = r.u8();
  i.Password = r.u8();
  i.IsMod = r.u8();
  // Both links are read whatever the mod flag says.
  i.ModURL = r.str();
  i.ModDownload = r.str();
  return i;
}

TCSSinfo DecodeCSS(const ReplyBuffer& b) {
  ByteReader r(b.bytes(), 5);
  TCSSinfo i;
  i.Protocol = r.u8();
  i.Name = r.str();
  i.Map = r.str();
  i.Dir = r.str();
  i.Game = r.str();
  i.AppID = r.u16le();
  i.Players = r.u8();
  i.MaxPlayers = r.u8();
  i.Bots = r.u8();
  i.ServerType = r.u8();
  i.OS = r.u8();
  i.Password = r.u8();
  return i;
}

OldInfo DecodeOldInfostring(const ReplyBuffer& b) {
  size_t n = b.length();
  std::string_view info;
  if (n > 23) info = std::string_view(reinterpret_cast<const char*>(b.data()) + 23, n - 23);
  OldInfo o;
  o.hostname = GetBetween(info, "\\hostname\\", "\\");
  o.map = GetBetween(info, "\\map\\", "\\");
  o.players = GetBetween(info, "\\players\\", "\\");
  o.max = GetBetween(info, "\\max\\", "\\");
  o.os = GetBetween(info, "\\os\\", "\\");
  o.password = GetBetween(info, "\\password\\", "\\");
  o.proxy = GetBetween(info, "\\proxy\\", "\\");
  o.protocol = GetBetween(info, "\\protocol\\", "\\");
  o.description = GetBetween(info, "\\description\\", "\\");
  return o;
}

}  // namespace gavrix
