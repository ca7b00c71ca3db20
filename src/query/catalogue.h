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

// Row icons of the server list (image list of 23 pictures).
namespace icon {
inline constexpr int kOpen = 8, kFull = 9, kPassword = 10, kWindows = 13, kLinux = 14;
inline constexpr int kRelay = 4, kDemo = 6;
}  // namespace icon

}  // namespace gavrix
