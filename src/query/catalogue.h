// The game catalogue: which game code, row icon and filter flag a server gets
// from the game description of its info reply.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace gavrix {

// The "Show only" filter flags, in the order of their keys in section Games.
enum class GameFlag { HL1, HL2, CS15, CS16, CSS, CZ, DOD, DODS, GMOD, TF, TF2 };
inline constexpr int kGameFlagCount = 11;
// Settings keys of the flags, indexed by GameFlag.
inline constexpr std::string_view kGameFlagKeys[kGameFlagCount] = {
    "HL1", "HL2", "CS15", "CS16", "CSS", "CZ", "DOD", "DODS", "GMOD", "TF", "TF2"};

struct GameClass {
  std::string_view code;  // caption of the row, e.g. "1.6"
  int icon;               // row icon in the server list's image list
  GameFlag flag;          // filter flag that admits it
};

// GoldSrc info reply: description tested exactly; HLTV splits on the protocol byte.
std::optional<GameClass> ClassifyGoldSrc(std::string_view description, uint8_t protocol);
// Source info reply: exact and "contains" tests, first match wins.
std::optional<GameClass> ClassifySource(std::string_view description);

// Today's servers that the description tests do not place: GoldSrc games on
// Steam answering the Source info query, and Source servers with a custom
// description. The app id decides; when it is 0, the game folder, read as a
// GoldSrc game's for the GoldSrc protocol bytes (47, 48).
std::optional<GameClass> ClassifyByApp(uint16_t appId, std::string_view folder, uint8_t protocol);

// Old infostring reply: game code and row icon; "?" for any other game. relay
// is the infostring value of proxy being "1". protocol, the value of protocol,
// is read as a number for relays and demo playbacks only (ConvertError when it is none).
struct OldClass {
  std::string_view code;
  int icon;
};
OldClass ClassifyOld(std::string_view description, std::string_view protocol, bool relay);

// Row icons of the server list (image list of 23 pictures).
namespace icon {
inline constexpr int kOpen = 8, kFull = 9, kPassword = 10, kWindows = 13, kLinux = 14;
inline constexpr int kRelay = 4, kDemo = 6;
}  // namespace icon

}  // namespace gavrix
