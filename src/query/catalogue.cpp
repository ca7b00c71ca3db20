// Classification tables of the GoldSrc, Source and old infostring info replies.
#include "query/catalogue.h"

#include "util/text.h"


namespace gavrix {

std::optional<GameClass> ClassifyGoldSrc(std::string_view d, uint8_t protocol) {
  using F = GameFlag;
  if (d == "Counter-Strike") return GameClass{"1.6", 0, F::CS16};
  if (d == "HLTV") return protocol == 46 ? GameClass{"1.5", 4, F::CS15} : GameClass{"1.6", 4, F::CS16};
  if (d == "CounterStrike") return GameClass{"1.5", 0, F::CS15};
  if (d == "Half-Life") return GameClass{"HL", 2, F::HL1};
  if (d == "Condition Zero") return GameClass{"CZ", 1, F::CZ};
  if (d == "Day of Defeat") return GameClass{"DOD", 18, F::DOD};
  if (d == "Team Fortress Classic") return GameClass{"TFC", 22, F::TF};
  return std::nullopt;
}

std::optional<GameClass> ClassifySource(std::string_view d) {
  using F = GameFlag;
  auto contains = [d](std::string_view s) { return d.find(s) != std::string_view::npos; };
  if (d == "Deathmatch") return GameClass{"DM", 5, F::HL2};
  if (d == "Team Deathmatch") return GameClass{"TDM", 5, F::HL2};
  if (contains("Capture")) return GameClass{"CTF", 5, F::HL2};
  if (contains("CSPromod")) return GameClass{"PRO", 3, F::CSS};
  if (d == "Day of Defeat: Source") return GameClass{"DODS", 19, F::DODS};
  if (contains("Source")) return GameClass{"CSS", 3, F::CSS};
  if (d == "Team Fortress") return GameClass{"TF2", 20, F::TF2};
  if (contains("Sandbox")) return GameClass{"GMOD", 18, F::GMOD};
  return std::nullopt;
}

namespace {

struct AppRow {
  uint16_t appId;
  std::string_view folder;
  bool goldSrc;
  GameClass game;
};

constexpr AppRow kApps[] = {
    {10, "cstrike", true, {"1.6", 0, GameFlag::CS16}},
    {20, "tfc", true, {"TFC", 22, GameFlag::TF}},
    {30, "dod", true, {"DOD", 18, GameFlag::DOD}},
    {70, "valve", true, {"HL", 2, GameFlag::HL1}},
    {80, "czero", true, {"CZ", 1, GameFlag::CZ}},
    {240, "cstrike", false, {"CSS", 3, GameFlag::CSS}},
    {300, "dod", false, {"DODS", 19, GameFlag::DODS}},
    {320, "hl2mp", false, {"DM", 5, GameFlag::HL2}},
    {440, "tf", false, {"TF2", 20, GameFlag::TF2}},
    {4000, "garrysmod", false, {"GMOD", 18, GameFlag::GMOD}},
};

}  // namespace

std::optional<GameClass> ClassifyByApp(uint16_t appId, std::string_view folder, uint8_t protocol) {
  const bool goldSrcProtocol = protocol == 47 || protocol == 48;
  for (const AppRow& a : kApps) {
    if (appId != 0 ? a.appId == appId : a.folder == folder && a.goldSrc == goldSrcProtocol) return a.game;
  }
  return std::nullopt;
}

OldClass ClassifyOld(std::string_view d, std::string_view protocol, bool relay) {
  if (d == "Counter-Strike") return {"1.6", relay ? icon::kRelay : 0};
  if (d == "CounterStrike") return {"1.5", relay ? icon::kRelay : 0};
  if (d == "Condition Zero") return {"CZ", relay ? icon::kRelay : 1};
  if (d == "Half-Life") return {"HL", relay ? icon::kRelay : 2};
  // 46 is Counter-Strike 1.5; 47 and any other number 1.6, as for GoldSrc relays.
  if (d == "HLTV") return {StrToInt(protocol) == 46 ? "1.5" : "1.6", icon::kRelay};
  if (d == "Demo Playback") return {StrToInt(protocol) == 46 ? "1.5" : "1.6", icon::kDemo};
  return {"?", 0};
}

}  // namespace gavrix
