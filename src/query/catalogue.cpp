// Classification tables of the GoldSrc and Source info replies.
#include "query/catalogue.h"

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

}  // namespace gavrix
