// Every user setting while the program runs, and its load from and save to gavrix.ini.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "query/catalogue.h"
#include "settings/ini_file.h"

namespace gavrix {

// The launch table: one entry per game of the Main page's game list.
inline constexpr int kLaunchCount = 11;
inline constexpr std::string_view kLaunchGames[kLaunchCount] = {
    "HL", "CS1.5", "CS1.6", "CZERO", "CSS", "HL2", "DOD", "DODS", "GMOD", "TFC", "TF2"};
// Parameters of a launch index when none are stored; also what "Default" restores.
inline constexpr std::string_view kDefaultLaunchParams[kLaunchCount] = {
    "-console",           "-game cstrike -console", "-game cstrike", "-game czero",
    "-steam -game cstrike -console", "-steam -game hl2mp",   "-game dod",     "-game dod",
    "-game gmod",         "-game tfc",              "-game tf"};
// Ready-made parameters offered when the file has no Params section.
inline constexpr std::string_view kDefaultParamsList[] = {
    "-console", "-nointo", "-steam", "-full", "-win", "-noip", "-noipx", "-freq 100",
    "-noforcemparms", "-noforcemaccel", "-noforcemspd"};

// Scan-port choice.
inline constexpr int kScanGamePort = 0;
inline constexpr int kScanHltvPort = 1;
inline constexpr int kScanNoChoice = -1;
// CurItem and CurPage when nothing is selected.
inline constexpr int kNoSelection = -1;
// Most range rows a load takes from the file, whatever count it names.
inline constexpr int kMaxRangeRows = 4096;

struct LaunchEntry {
  std::string exePath, params;
  bool operator==(const LaunchEntry&) const = default;
};

struct ScanRange {
  bool checked = false;
  std::string from, to;  // dotted addresses as the address edits wrote them
  bool operator==(const ScanRange&) const = default;
};

struct Favourite {
  std::string host, port;
  bool operator==(const Favourite&) const = default;
};

// Field names follow the file's keys. A default-built Settings holds the values
// of a missing file.
struct Settings {
  Settings();

  // Section Settings.
  int GameType;  // kScanGamePort, kScanHltvPort or kScanNoChoice
  std::array<LaunchEntry, kLaunchCount> launch;
  int Height, Width;
  int CurItem;  // launch index shown on the Main page, or kNoSelection
  std::string CSPort;
  int FavWidth;
  std::string HLTVPort;
  bool ScanOld;
  int Delay;
  bool Trans;
  bool FavAutoScan;
  int UpdInterval;
  int CurPage;  // 0..3, or kNoSelection
  bool Broadcast;
  std::string BroadcastPorts;  // ports the broadcast queries; empty: the scan port
  int TransLevel;  // 0..255
  bool DoubleClick;
  // Section Games, indexed by GameFlag.
  std::array<bool, kGameFlagCount> games;
  // Section Params, in list order.
  std::vector<std::string> params;
  // Section Ranges, in list order.
  std::vector<ScanRange> ranges;
  // Section Favorites, in list order.
  std::vector<Favourite> favourites;
  // Section Password, owned by the password dialog.
  std::string LastPass;
  bool ShowPass;

  bool operator==(const Settings&) const = default;
};

struct LoadResult {
  Settings settings;
  // Messages for the standard error box, in the order they arose: a range count
  // that is no integer ("'<text>' is not a valid integer value"), a refused
  // write of GameType ("Unable to write to <path>"). The load goes on after each.
  std::vector<std::string> errors;
};

// The settings load. Reads everything but section Password. When the stored
// GameType gives another scan-port choice than the game port, that choice is
// written back at once, as changing the choice does; the caller sets its
// controls from the result without writing it again. Side effects of the values
// (favourites timer, window size, translucency) are the caller's.
//
// A range count that is no integer is reported and the stored rows are kept:
// RangeFrom<i>/RangeTo<i> are read from 0 up to the first i that has neither.
// Either way at most kMaxRangeRows rows are taken.
LoadResult LoadSettings(IniFile& ini);

// The exit save, as one replacement of the file. Sections Games and Password
// are updated in place or kept; Settings, Ranges, Favorites and Params are
// written anew. Favourites whose key the file cannot hold (a host beginning
// with ';' or '[', or holding '=') are left out. Throws IniWriteError, and then
// the file is unchanged.
void SaveOnExit(IniFile& ini, const Settings& s);

// Writes section Ranges without erasing it first (keys of a longer earlier list
// stay, unread). One replacement of the file; throws IniWriteError.
void WriteRangeList(IniFile& ini, const std::vector<ScanRange>& ranges);

// Writes the scan-port choice as GameType; throws IniWriteError.
void WriteGameType(IniFile& ini, int choice);

// Section Password: read at the password dialog's creation, written at its
// destruction (erase, then LastPass and ShowPass, as one replacement).
void ReadPassword(const IniFile& ini, Settings& s);
void WritePassword(IniFile& ini, const Settings& s);

}  // namespace gavrix
