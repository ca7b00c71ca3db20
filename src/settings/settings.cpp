// Settings load, exit save and the early writes, driven by one table of keys.
#include "settings/settings.h"

#include <algorithm>

#include "util/text.h"

namespace gavrix {

namespace {

constexpr std::string_view kSecSettings = "Settings";
constexpr std::string_view kSecRanges = "Ranges";
constexpr std::string_view kSecGames = "Games";
constexpr std::string_view kSecParams = "Params";
constexpr std::string_view kSecFavorites = "Favorites";
constexpr std::string_view kSecPassword = "Password";

// One scalar key of section Settings: its type (which field pointer is set),
// default, and what happens to an integer when it is taken in.
struct Key {
  std::string_view name;
  int loadStep;  // the load reads keys step by step; reads have no side effects
  int Settings::*integer = nullptr;
  bool Settings::*boolean = nullptr;
  std::string Settings::*text = nullptr;
  int intDefault = 0;  // also the default of a boolean (0 or 1)
  std::string_view textDefault;
  int (*takeIn)(int) = nullptr;
};

constexpr Key Int(std::string_view name, int step, int Settings::*f, int def, int (*takeIn)(int)) {
  return Key{name, step, f, nullptr, nullptr, def, {}, takeIn};
}
constexpr Key Bool(std::string_view name, int step, bool Settings::*f, bool def) {
  return Key{name, step, nullptr, f, nullptr, def ? 1 : 0, {}, nullptr};
}
constexpr Key Text(std::string_view name, int step, std::string Settings::*f, std::string_view def) {
  return Key{name, step, nullptr, nullptr, f, 0, def, nullptr};
}

// Section Settings without the launch table, in the order the exit save writes it.
constexpr Key kSettingsKeys[] = {
    Int("GameType", 2, &Settings::GameType, kScanGamePort,
        [](int v) { return v > 1 ? kScanHltvPort : v < 0 ? kScanNoChoice : v; }),
    Int("Height", 5, &Settings::Height, 351, [](int v) { return std::max(v, 175); }),  // window minimum
    Int("Width", 5, &Settings::Width, 680, [](int v) { return std::max(v, 680); }),
    Int("TransLevel", 12, &Settings::TransLevel, 255, [](int v) { return v & 0xFF; }),
    Text("CSPort", 7, &Settings::CSPort, "27015"),
    Bool("Trans", 9, &Settings::Trans, false),
    Bool("DoubleClick", 12, &Settings::DoubleClick, true),
    Text("HLTVPort", 7, &Settings::HLTVPort, "27020"),
    Bool("Broadcast", 12, &Settings::Broadcast, true),
    Bool("ScanOld", 9, &Settings::ScanOld, true),
    Bool("FavAutoScan", 10, &Settings::FavAutoScan, false),
    // The spin edit starts at 10 and takes a stored value only from 5 up.
    Int("UpdInterval", 11, &Settings::UpdInterval, 10, [](int v) { return v >= 5 ? std::min(v, 60) : 10; }),
    Int("Delay", 9, &Settings::Delay, 0, [](int v) { return std::clamp(v, 0, 30); }),
    Int("CurItem", 6, &Settings::CurItem, 0,
        [](int v) { return v >= 0 && v < kLaunchCount ? v : kNoSelection; }),
    Int("CurPage", 12, &Settings::CurPage, 0, [](int v) { return v >= 0 && v <= 3 ? v : kNoSelection; }),
    Int("FavWidth", 7, &Settings::FavWidth, 103, [](int v) { return std::clamp(v, 70, 110); }),
    Text("BroadcastPorts", 12, &Settings::BroadcastPorts, ""),
};

std::string Numbered(std::string_view stem, int n) { return std::string(stem) + std::to_string(n); }

void ReadKeys(const IniFile& ini, int step, Settings& s) {
  for (const Key& k : kSettingsKeys) {
    if (k.loadStep != step) continue;
    if (k.integer) s.*k.integer = k.takeIn(ini.readInteger(kSecSettings, k.name, k.intDefault));
    else if (k.boolean) s.*k.boolean = ini.readBool(kSecSettings, k.name, k.intDefault != 0);
    else s.*k.text = ini.readString(kSecSettings, k.name, k.textDefault);
  }
}

ScanRange ReadRange(const IniFile& ini, int i, std::string_view checks) {
  ScanRange r;
  r.checked = static_cast<size_t>(i) < checks.size() && checks[static_cast<size_t>(i)] == '1';
  r.from = ini.readString(kSecRanges, Numbered("RangeFrom", i), "");
  r.to = ini.readString(kSecRanges, Numbered("RangeTo", i), "");
  return r;
}

// The range rows and check string; the count only when there are rows, unless
// the caller asks for it always.
void WriteRanges(IniFile& ini, const std::vector<ScanRange>& ranges, bool countAlways) {
  const int n = static_cast<int>(ranges.size());
  if (countAlways || n > 0) ini.writeInteger(kSecRanges, "Ranges", n);
  std::string checks;
  for (int i = 0; i < n; ++i) {
    const ScanRange& r = ranges[static_cast<size_t>(i)];
    ini.writeString(kSecRanges, Numbered("RangeFrom", i), r.from);
    ini.writeString(kSecRanges, Numbered("RangeTo", i), r.to);
    checks += r.checked ? '1' : '0';
  }
  ini.writeString(kSecRanges, "Checked", checks);
}

}  // namespace

Settings::Settings() {
  for (const Key& k : kSettingsKeys) {
    if (k.integer) this->*k.integer = k.intDefault;
    else if (k.boolean) this->*k.boolean = k.intDefault != 0;
    else this->*k.text = std::string(k.textDefault);
  }
  for (int n = 0; n < kLaunchCount; ++n) launch[static_cast<size_t>(n)] = {"", std::string(kDefaultLaunchParams[n])};
  games.fill(true);
  params.assign(std::begin(kDefaultParamsList), std::end(kDefaultParamsList));
  ShowPass = false;
}

LoadResult LoadSettings(IniFile& ini) {
  LoadResult result;
  Settings& s = result.settings;

  // The scan-port choice starts at the game port; another choice is saved at once.
  ReadKeys(ini, 2, s);
  if (s.GameType != kScanGamePort) {
    try {
      WriteGameType(ini, s.GameType);
    } catch (const IniWriteError& e) {
      result.errors.push_back(e.what());
    }
  }
  for (int n = 0; n < kLaunchCount; ++n)
    s.launch[static_cast<size_t>(n)].exePath = ini.readString(kSecSettings, Numbered("ExePath", n), "");
  for (int n = 0; n < kLaunchCount; ++n)
    s.launch[static_cast<size_t>(n)].params =
        ini.readString(kSecSettings, Numbered("Param", n), kDefaultLaunchParams[n]);
  ReadKeys(ini, 5, s);
  ReadKeys(ini, 6, s);
  ReadKeys(ini, 7, s);
  const std::string count = ini.readString(kSecRanges, "Ranges", "0");
  const std::string checks = ini.readString(kSecRanges, "Checked", "0");
  for (int step = 9; step <= 12; ++step) ReadKeys(ini, step, s);

  for (int g = 0; g < kGameFlagCount; ++g) s.games[static_cast<size_t>(g)] = ini.readBool(kSecGames, kGameFlagKeys[g], true);
  if (ini.sectionExists(kSecParams)) s.params = ini.sectionKeys(kSecParams);

  if (auto n = TryStrToInt(count)) {
    for (int i = 0; i < std::min(*n, kMaxRangeRows); ++i) s.ranges.push_back(ReadRange(ini, i, checks));
  } else {
    // Keep what is stored rather than lose it at the next exit save.
    result.errors.push_back(ConvertError(count).what());
    for (int i = 0; i < kMaxRangeRows && (ini.hasKey(kSecRanges, Numbered("RangeFrom", i)) ||
                                          ini.hasKey(kSecRanges, Numbered("RangeTo", i)));
         ++i)
      s.ranges.push_back(ReadRange(ini, i, checks));
  }

  for (const std::string& key : ini.sectionKeys(kSecFavorites))
    s.favourites.push_back({GetField(' ', key, 1), ini.readString(kSecFavorites, key, "")});
  return result;
}

void SaveOnExit(IniFile& ini, const Settings& s) {
  IniFile::Batch batch(ini);
  for (std::string_view sec : {kSecSettings, kSecRanges, kSecFavorites, kSecParams}) ini.eraseSection(sec);
  WriteRanges(ini, s.ranges, false);
  for (const Key& k : kSettingsKeys) {
    if (k.integer) ini.writeInteger(kSecSettings, k.name, s.*k.integer);
    else if (k.boolean) ini.writeBool(kSecSettings, k.name, s.*k.boolean);
    else ini.writeString(kSecSettings, k.name, s.*k.text);
  }
  for (int g = 0; g < kGameFlagCount; ++g) ini.writeBool(kSecGames, kGameFlagKeys[g], s.games[static_cast<size_t>(g)]);
  for (const std::string& p : s.params)
    if (IniFile::IsStorableKey(p)) ini.writeString(kSecParams, p, "");
  for (int n = 0; n < kLaunchCount; ++n) {
    ini.writeString(kSecSettings, Numbered("ExePath", n), s.launch[static_cast<size_t>(n)].exePath);
    ini.writeString(kSecSettings, Numbered("Param", n), s.launch[static_cast<size_t>(n)].params);
  }
  for (size_t i = 0; i < s.favourites.size(); ++i) {
    std::string key = s.favourites[i].host + " " + std::to_string(i);
    if (IniFile::IsStorableKey(key)) ini.writeString(kSecFavorites, key, s.favourites[i].port);
  }
  batch.commit();
}

void WriteRangeList(IniFile& ini, const std::vector<ScanRange>& ranges) {
  IniFile::Batch batch(ini);
  WriteRanges(ini, ranges, true);
  batch.commit();
}

void WriteGameType(IniFile& ini, int choice) { ini.writeInteger(kSecSettings, "GameType", choice); }

void ReadPassword(const IniFile& ini, Settings& s) {
  s.LastPass = ini.readString(kSecPassword, "LastPass", "");
  s.ShowPass = ini.readBool(kSecPassword, "ShowPass", false);
}

void WritePassword(IniFile& ini, const Settings& s) {
  IniFile::Batch batch(ini);
  ini.eraseSection(kSecPassword);
  ini.writeString(kSecPassword, "LastPass", s.LastPass);
  ini.writeBool(kSecPassword, "ShowPass", s.ShowPass);
  batch.commit();
}

}  // namespace gavrix
