// Settings load, exit save, the early writes, and what a killed save leaves on disk.
#include "settings/settings.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <ostream>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "settings/temp_folder.h"

namespace gavrix {

// Readable failure messages for whole-Settings comparisons.
void PrintTo(const Settings& s, std::ostream* os) {
  *os << "{GameType=" << s.GameType << " Height=" << s.Height << " Width=" << s.Width << " CurItem=" << s.CurItem
      << " CSPort='" << s.CSPort << "' FavWidth=" << s.FavWidth << " HLTVPort='" << s.HLTVPort
      << "' ScanOld=" << s.ScanOld << " Delay=" << s.Delay << " Trans=" << s.Trans << " FavAutoScan=" << s.FavAutoScan
      << " UpdInterval=" << s.UpdInterval << " CurPage=" << s.CurPage << " Broadcast=" << s.Broadcast
      << " TransLevel=" << s.TransLevel << " DoubleClick=" << s.DoubleClick << " games=";
  for (bool g : s.games) *os << g;
  *os << " launch=[";
  for (const auto& l : s.launch) *os << "('" << l.exePath << "' '" << l.params << "')";
  *os << "] params=[";
  for (const auto& p : s.params) *os << "'" << p << "' ";
  *os << "] ranges=[";
  for (const auto& r : s.ranges) *os << "(" << r.checked << " '" << r.from << "' '" << r.to << "')";
  *os << "] favourites=[";
  for (const auto& f : s.favourites) *os << "('" << f.host << "' '" << f.port << "')";
  *os << "] LastPass='" << s.LastPass << "' ShowPass=" << s.ShowPass << "}";
}

}  // namespace gavrix

using namespace gavrix;
using gavrix::test::ReadFile;
using gavrix::test::TempFolder;
using gavrix::test::WriteFile;

namespace {

bool& Game(Settings& s, GameFlag f) { return s.games[static_cast<size_t>(f)]; }

// What a load gives for a file holding text.
LoadResult LoadText(const TempFolder& dir, const std::string& text) {
  const std::string path = dir.file("gavrix.ini");
  WriteFile(path, text);
  IniFile ini(path);
  return LoadSettings(ini);
}

const char* const kDefaultSettingsSection =
    "[Settings]\nGameType=0\nHeight=351\nWidth=680\nTransLevel=255\nCSPort=27015\nTrans=0\nDoubleClick=1\n"
    "HLTVPort=27020\nBroadcast=1\nScanOld=1\nFavAutoScan=0\nUpdInterval=10\nDelay=0\nCurItem=0\nCurPage=0\n"
    "FavWidth=103\nBroadcastPorts=\n";
const char* const kDefaultLaunchLines =
    "ExePath0=\nParam0=-console\nExePath1=\nParam1=-game cstrike -console\nExePath2=\nParam2=-game cstrike\n"
    "ExePath3=\nParam3=-game czero\nExePath4=\nParam4=-steam -game cstrike -console\nExePath5=\n"
    "Param5=-steam -game hl2mp\nExePath6=\nParam6=-game dod\nExePath7=\nParam7=-game dod\nExePath8=\n"
    "Param8=-game gmod\nExePath9=\nParam9=-game tfc\nExePath10=\nParam10=-game tf\n";
const char* const kDefaultParamsSection =
    "[Params]\n-console=\n-nointo=\n-steam=\n-full=\n-win=\n-noip=\n-noipx=\n-freq 100=\n-noforcemparms=\n"
    "-noforcemaccel=\n-noforcemspd=\n";

}  // namespace

TEST(SettingsLoad, NoFileGivesTheDefaults) {
  TempFolder dir;
  IniFile ini(dir.file("gavrix.ini"));
  LoadResult r = LoadSettings(ini);
  const Settings& s = r.settings;
  EXPECT_TRUE(r.errors.empty());
  EXPECT_EQ(s.GameType, kScanGamePort);
  EXPECT_EQ(s.Width, 680);
  EXPECT_EQ(s.Height, 351);
  EXPECT_EQ(s.CSPort, "27015");
  EXPECT_EQ(s.HLTVPort, "27020");
  EXPECT_EQ(s.Delay, 0);
  EXPECT_EQ(s.UpdInterval, 10);
  EXPECT_EQ(s.FavWidth, 103);
  EXPECT_EQ(s.TransLevel, 255);
  EXPECT_TRUE(s.ScanOld && s.Broadcast && s.DoubleClick);
  EXPECT_FALSE(s.Trans || s.FavAutoScan);
  EXPECT_EQ(s.CurItem, 0);
  EXPECT_EQ(s.CurPage, 0);
  for (bool g : s.games) EXPECT_TRUE(g);
  ASSERT_EQ(s.params.size(), 11u);
  EXPECT_EQ(s.params.front(), "-console");
  EXPECT_EQ(s.params[7], "-freq 100");
  EXPECT_EQ(s.params.back(), "-noforcemspd");
  EXPECT_TRUE(s.ranges.empty());
  EXPECT_TRUE(s.favourites.empty());
  EXPECT_EQ(s.launch[0], (LaunchEntry{"", "-console"}));
  EXPECT_EQ(s.launch[4], (LaunchEntry{"", "-steam -game cstrike -console"}));
  EXPECT_EQ(s.launch[10], (LaunchEntry{"", "-game tf"}));
  EXPECT_FALSE(std::filesystem::exists(dir.file("gavrix.ini")));  // the load wrote nothing
  EXPECT_EQ(s, Settings());
}

TEST(SettingsLoad, HandWrittenFiles) {
  struct Case { const char* name; std::string file; std::function<void(Settings&)> expect; } cases[] = {
      {"values below their limits", "[Settings]\nHeight=100\nWidth=500\nDelay=-3\nFavWidth=20\nCurPage=4\n"
       "CurItem=11\nTransLevel=-1\nUpdInterval=3\nGameType=-3\n",
       [](Settings& s) {
         s.Height = 175; s.Width = 680; s.Delay = 0; s.FavWidth = 70; s.CurPage = kNoSelection;
         s.CurItem = kNoSelection; s.TransLevel = 255; s.UpdInterval = 10; s.GameType = kScanNoChoice;
       }},
      {"values above their limits", "[Settings]\nHeight=900\nWidth=1200\nDelay=45\nFavWidth=200\nCurPage=3\n"
       "CurItem=10\nTransLevel=300\nUpdInterval=90\nGameType=5\n",
       [](Settings& s) {
         s.Height = 900; s.Width = 1200; s.Delay = 30; s.FavWidth = 110; s.CurPage = 3; s.CurItem = 10;
         s.TransLevel = 44; s.UpdInterval = 60; s.GameType = kScanHltvPort;
       }},
      {"hexadecimal", "[Settings]\nHeight=0x200\nWidth=$400\nDelay=0X1e\nFavWidth=0x\nUpdInterval=$5\n",
       [](Settings& s) { s.Height = 512; s.Width = 1024; s.Delay = 30; s.UpdInterval = 5; }},
      {"no integers give defaults", "[Settings]\nScanOld=true\nTrans=yes\nBroadcast=off\nDoubleClick=\n"
       "Height=12px\nCurPage=two\n", [](Settings&) {}},
      {"booleans: non-zero is true", "[Settings]\nScanOld=0\nTrans=2\nFavAutoScan=-1\nBroadcast=0\nDoubleClick=0x0\n",
       [](Settings& s) { s.ScanOld = false; s.Trans = true; s.FavAutoScan = true; s.Broadcast = false; s.DoubleClick = false; }},
      {"names in any letter case", "[settings]\nheight=400\nCSPORT=1234\n[GAMES]\ncs16=0\nTf2=0\n[ranges]\n"
       "ranges=1\nrangefrom0=10.0.0.1\nRANGETO0=10.0.0.9\nchecked=1\n[favorites]\nsrv 0=27016\n[PARAMS]\n-Win=\n",
       [](Settings& s) {
         s.Height = 400; s.CSPort = "1234"; Game(s, GameFlag::CS16) = false; Game(s, GameFlag::TF2) = false;
         s.ranges = {{true, "10.0.0.1", "10.0.0.9"}}; s.favourites = {{"srv", "27016"}}; s.params = {"-Win"};
       }},
      {"written on Windows", "\xEF\xBB\xBF; Gavrix settings\r\n\r\n[ Settings ]\r\n  Width = 800 \r\n; Height=999\r\n"
       "ExePath2 = C:\\Games\\Counter-Strike\\hl.exe\r\nParam2=-game cstrike -nojoy\r\nCSPort=\"27016\"\r\n\r\n"
       "[Favorites]\r\n10.0.0.5 0 = 27015\r\n",
       [](Settings& s) {
         s.Width = 800; s.CSPort = "27016"; s.launch[2] = {"C:\\Games\\Counter-Strike\\hl.exe", "-game cstrike -nojoy"};
         s.favourites = {{"10.0.0.5", "27015"}};
       }},
      {"bytes above 127 kept, launch index 10", "[Settings]\nExePath10=D:\\Spiele\\\xDC" "ber\\hl2.exe\nParam10=-game tf -novid\n",
       [](Settings& s) { s.launch[10] = {"D:\\Spiele\\\xDC" "ber\\hl2.exe", "-game tf -novid"}; }},
      {"favourites: same host twice, host cut at its first space",
       "[Favorites]\n10.0.0.5 0=27015\n10.0.0.5 1=27020\nmy server 2=27020\n",
       [](Settings& s) { s.favourites = {{"10.0.0.5", "27015"}, {"10.0.0.5", "27020"}, {"my", "27020"}}; }},
      {"Params holding only -dev=", "[Params]\n-dev=\n", [](Settings& s) { s.params = {"-dev"}; }},
      {"Params without keys gives the default list", "[Params]\n; nothing here\n", [](Settings&) {}},
      {"check string shorter than the count, missing addresses empty",
       "[Ranges]\nRanges=3\nChecked=1\nRangeFrom0=10.0.0.1\nRangeTo0=10.0.0.20\nRangeFrom1=10.1.0.1\nRangeTo1=10.1.0.9\n",
       [](Settings& s) { s.ranges = {{true, "10.0.0.1", "10.0.0.20"}, {false, "10.1.0.1", "10.1.0.9"}, {false, "", ""}}; }},
      {"checked only by '1', count governs", "[Ranges]\nRanges=2\nChecked=x1111\nRangeFrom0=a\nRangeFrom2=c\n",
       [](Settings& s) { s.ranges = {{false, "a", ""}, {true, "", ""}}; }},
      {"count below 1 adds no row", "[Ranges]\nRanges=-2\nChecked=1\nRangeFrom0=10.0.0.1\nRangeTo0=10.0.0.2\n",
       [](Settings&) {}},
  };
  TempFolder dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LoadResult r = LoadText(dir, c.file);
    Settings want;
    c.expect(want);
    EXPECT_EQ(r.settings, want);
    EXPECT_TRUE(r.errors.empty());
  }
}

TEST(SettingsLoad, ScanPortChoiceOtherThanGamePortIsWrittenBack) {
  TempFolder dir;
  const std::string path = dir.file("gavrix.ini");
  WriteFile(path, "[Settings]\nGameType=5\n");
  IniFile ini(path);
  EXPECT_EQ(LoadSettings(ini).settings.GameType, kScanHltvPort);
  EXPECT_EQ(ReadFile(path), "[Settings]\nGameType=1\n");

  WriteFile(path, "[Settings]\nGameType=0x0\n");
  IniFile zero(path);
  LoadSettings(zero);
  EXPECT_EQ(ReadFile(path), "[Settings]\nGameType=0x0\n");
}

TEST(SettingsLoad, RangeCountThatIsNoIntegerLosesNothing) {
  TempFolder dir;
  const std::string path = dir.file("gavrix.ini");
  WriteFile(path,
            "[Ranges]\nRanges=abc\nChecked=01\nRangeFrom0=10.0.0.1\nRangeTo0=10.0.0.9\nRangeTo1=10.0.1.9\n"
            "RangeFrom3=10.0.3.1\n[Favorites]\n10.0.0.5 0=27015\nmyhost 1=27020\n[Settings]\nHeight=400\n");
  IniFile ini(path);
  LoadResult r = LoadSettings(ini);
  EXPECT_EQ(r.errors, (std::vector<std::string>{"'abc' is not a valid integer value"}));
  const std::vector<ScanRange> ranges = {{false, "10.0.0.1", "10.0.0.9"}, {true, "", "10.0.1.9"}};
  const std::vector<Favourite> favourites = {{"10.0.0.5", "27015"}, {"myhost", "27020"}};
  EXPECT_EQ(r.settings.ranges, ranges);
  EXPECT_EQ(r.settings.favourites, favourites);
  EXPECT_EQ(r.settings.Height, 400);

  SaveOnExit(ini, r.settings);
  IniFile again(path);
  LoadResult back = LoadSettings(again);
  EXPECT_TRUE(back.errors.empty());
  EXPECT_EQ(back.settings.ranges, ranges);
  EXPECT_EQ(back.settings.favourites, favourites);

  // An empty count is no integer either; a huge one is bounded.
  EXPECT_EQ(LoadText(dir, "[Ranges]\nRanges=\n").errors, (std::vector<std::string>{"'' is not a valid integer value"}));
  EXPECT_EQ(LoadText(dir, "[Ranges]\nRanges=2000000000\n").settings.ranges.size(), size_t{kMaxRangeRows});
}

TEST(SettingsLoad, RefusedScanPortWriteIsReportedAndTheLoadGoesOn) {
  TempFolder dir;
  const std::string path = dir.file("gavrix.ini");
  WriteFile(path, "[Settings]\nGameType=1\nHeight=400\n[Favorites]\nsrv 0=27015\n");
  std::filesystem::create_directory(path + ".tmp");  // root cannot open a folder for writing
  IniFile ini(path);
  LoadResult r = LoadSettings(ini);
  EXPECT_EQ(r.errors, (std::vector<std::string>{"Unable to write to " + path}));
  EXPECT_EQ(r.settings.GameType, kScanHltvPort);
  EXPECT_EQ(r.settings.Height, 400);
  EXPECT_EQ(r.settings.favourites, (std::vector<Favourite>{{"srv", "27015"}}));
}

TEST(SettingsSave, ExitSaveOfDefaultsWritesEveryKeyInOrder) {
  TempFolder dir;
  const std::string path = dir.file("gavrix.ini");
  IniFile ini(path);
  Settings s = LoadSettings(ini).settings;
  ReadPassword(ini, s);
  WritePassword(ini, s);  // the password dialog writes its section just before
  SaveOnExit(ini, s);
  EXPECT_EQ(ReadFile(path), std::string("[Password]\nLastPass=\nShowPass=0\n[Ranges]\nChecked=\n") +
                                kDefaultSettingsSection + kDefaultLaunchLines +
                                "[Games]\nHL1=1\nHL2=1\nCS15=1\nCS16=1\nCSS=1\nCZ=1\nDOD=1\nDODS=1\nGMOD=1\nTF=1\nTF2=1\n" +
                                kDefaultParamsSection);
}

TEST(SettingsSave, ExitSaveRewritesItsSectionsAndKeepsTheRest) {
  TempFolder dir;
  const std::string path = dir.file("gavrix.ini");
  WriteFile(path,
            "; my notes\n[Games]\nCS16=0\n; a comment in Games\n[Settings]\nHeight=400\nObsolete=1\n"
            "[Favorites]\nold 0=1\n[Custom]\nkeep=yes\n[Params]\n-old=\n");
  IniFile ini(path);
  Settings s = LoadSettings(ini).settings;
  s.ranges = {{true, "10.0.0.1", "10.0.0.9"}, {false, "192.168.1.1", "192.168.1.254"}};
  s.favourites = {{"10.0.0.5", "27015"}, {"10.0.0.5", "27020"}};
  s.params = {"-dev", "-win"};
  s.GameType = kScanHltvPort;
  s.CurPage = kNoSelection;
  SaveOnExit(ini, s);
  std::string settings = kDefaultSettingsSection;
  settings.replace(settings.find("GameType=0"), 10, "GameType=1");
  settings.replace(settings.find("Height=351"), 10, "Height=400");
  settings.replace(settings.find("CurPage=0"), 9, "CurPage=-1");
  EXPECT_EQ(ReadFile(path),
            "; my notes\n[Games]\nCS16=0\nHL1=1\nHL2=1\nCS15=1\nCSS=1\nCZ=1\nDOD=1\nDODS=1\nGMOD=1\nTF=1\nTF2=1\n"
            "; a comment in Games\n[Custom]\nkeep=yes\n"
            "[Ranges]\nRanges=2\nRangeFrom0=10.0.0.1\nRangeTo0=10.0.0.9\nRangeFrom1=192.168.1.1\n"
            "RangeTo1=192.168.1.254\nChecked=10\n" +
                settings + kDefaultLaunchLines + "[Params]\n-dev=\n-win=\n[Favorites]\n10.0.0.5 0=27015\n10.0.0.5 1=27020\n");
}

TEST(SettingsSave, RoundTripKeepsEveryValue) {
  Settings s;
  s.GameType = kScanNoChoice;
  s.launch[0] = {"C:\\Half-Life\\hl.exe", " -console "};
  s.launch[10] = {"/opt/tf2/hl2.exe", "\"-game tf +exec my.cfg\""};
  s.Height = 600; s.Width = 900; s.CurItem = kNoSelection; s.CSPort = ""; s.FavWidth = 70; s.HLTVPort = "27021";
  s.ScanOld = false; s.Delay = 30; s.Trans = true; s.FavAutoScan = true; s.UpdInterval = 60;
  s.CurPage = kNoSelection; s.Broadcast = false; s.TransLevel = 0; s.DoubleClick = false;
  for (size_t g = 0; g < s.games.size(); g += 2) s.games[g] = false;
  s.params = {"-dev", "-freq 100", "+exec x.cfg"};
  s.ranges = {{false, "10.0.0.1", "10.0.0.9"}, {true, "10.1.0.1", ""}, {true, "127.1.1.1", "127.1.255.255"}};
  s.favourites = {{"10.0.0.5", "27015"}, {"10.0.0.5", "27020"}, {"server.example", "27015"}, {"x\xE9x", "'1'"}};
  s.LastPass = " pass word ";
  s.ShowPass = true;

  TempFolder dir;
  const std::string path = dir.file("gavrix.ini");
  std::string texts[3];
  for (std::string& text : texts) {
    IniFile ini(path);
    WritePassword(ini, s);
    SaveOnExit(ini, s);
    text = ReadFile(path);
    IniFile back(path);
    LoadResult r = LoadSettings(back);
    ReadPassword(back, r.settings);
    EXPECT_TRUE(r.errors.empty());
    EXPECT_EQ(r.settings, s);
  }
  EXPECT_EQ(texts[1], texts[2]);  // later saves give the same file
}

TEST(SettingsSave, RangeListWriteKeepsLeftoverKeys) {
  TempFolder dir;
  const std::string path = dir.file("gavrix.ini");
  IniFile ini(path);
  WriteRangeList(ini, {{true, "10.0.0.1", "10.0.0.9"}, {false, "10.0.1.1", "10.0.1.9"}});
  WriteRangeList(ini, {{false, "10.0.2.1", "10.0.2.9"}});
  EXPECT_EQ(ReadFile(path), "[Ranges]\nRanges=1\nRangeFrom0=10.0.2.1\nRangeTo0=10.0.2.9\nRangeFrom1=10.0.1.1\n"
                            "RangeTo1=10.0.1.9\nChecked=0\n");
  WriteRangeList(ini, {});
  EXPECT_EQ(ReadFile(path), "[Ranges]\nRanges=0\nRangeFrom0=10.0.2.1\nRangeTo0=10.0.2.9\nRangeFrom1=10.0.1.1\n"
                            "RangeTo1=10.0.1.9\nChecked=\n");
  IniFile back(path);
  EXPECT_TRUE(LoadSettings(back).settings.ranges.empty());
}

TEST(SettingsSave, RefusedExitSaveLeavesTheFileAsItWas) {
  TempFolder dir;
  const std::string path = dir.file("gavrix.ini");
  const std::string before = "[Settings]\nHeight=400\n[Favorites]\nsrv 0=27015\n";
  WriteFile(path, before);
  IniFile ini(path);
  Settings s = LoadSettings(ini).settings;
  s.favourites.clear();
  s.Height = 500;
  std::filesystem::create_directory(path + ".tmp");  // root cannot open a folder for writing
  try {
    SaveOnExit(ini, s);
    ADD_FAILURE() << "exit save was not refused";
  } catch (const IniWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
  }
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_EQ(ini.readInteger("Settings", "Height", 0), 400);
  EXPECT_TRUE(ini.sectionExists("Favorites"));
  EXPECT_THROW(WritePassword(ini, s), IniWriteError);
  EXPECT_FALSE(ini.sectionExists("Password"));
}

// A child process saves two different settings in turn until it is killed at a
// random moment; the file must then hold one of the two whole saves.
TEST(SettingsSave, KilledSaveLeavesTheOldOrTheNewFile) {
  Settings a, b;
  b.Height = 777;
  b.GameType = kScanHltvPort;
  b.params = {"-dev"};
  for (int i = 0; i < 40; ++i) b.favourites.push_back({"host" + std::to_string(i), "27015"});
  b.ranges = {{true, "10.0.0.1", "10.0.0.255"}};

  TempFolder dir;
  const std::string path = dir.file("gavrix.ini");
  // Repeated saves settle the section order; take the settled texts of both.
  std::string textA, textB;
  {
    IniFile ini(path);
    SaveOnExit(ini, a);
    SaveOnExit(ini, b);
    SaveOnExit(ini, a);
    textA = ReadFile(path);
    SaveOnExit(ini, b);
    textB = ReadFile(path);
    SaveOnExit(ini, a);
  }
  ASSERT_NE(textA, textB);

  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> delayUs(0, 3000);
  int seenA = 0, seenB = 0;
  for (int kill = 0; kill < 40; ++kill) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::close(ready[0]);
      try {
        IniFile ini(path);
        for (bool toB = true, first = true;; toB = !toB) {
          SaveOnExit(ini, toB ? b : a);
          if (first && ::write(ready[1], "x", 1) != 1) ::_exit(3);
          first = false;
        }
      } catch (...) {
        ::_exit(2);
      }
    }
    ::close(ready[1]);
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "child could not save";
    ::close(ready[0]);
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs(rng)));
    ::kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "child ended by itself: " << status;

    const std::string text = ReadFile(path);
    seenA += text == textA;
    seenB += text == textB;
    ASSERT_TRUE(text == textA || text == textB) << "after kill " << kill << ":\n" << text;
    IniFile ini(path);
    LoadResult r = LoadSettings(ini);
    EXPECT_TRUE(r.settings == a || r.settings == b);
  }
  RecordProperty("old", seenA);
  RecordProperty("new", seenB);
}
