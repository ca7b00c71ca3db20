// The initialization-file store: hand-written files, writes in place, batches, refused writes.
#include "settings/ini_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "settings/temp_folder.h"

using namespace gavrix;
using gavrix::test::ReadFile;
using gavrix::test::TempFolder;
using gavrix::test::WriteFile;

namespace fs = std::filesystem;

TEST(IniInteger, HexOnlyByPrefixDecimalWithOptionalSign) {
  struct Case { const char* value; std::optional<int32_t> want; } cases[] = {
      {"0", 0}, {"007", 7}, {"-12", -12}, {"+7", 7}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
      {"0x1F", 31}, {"0X1f", 31}, {"$ff", 255}, {"$FFFFFFFF", -1}, {"0x80000000", INT32_MIN},
      {"2147483648", std::nullopt}, {"0x100000000", std::nullopt}, {"0x", std::nullopt}, {"$", std::nullopt},
      {"0x1G", std::nullopt}, {"x10", std::nullopt}, {"-$10", std::nullopt}, {"$-1", std::nullopt},
      {"-0x10", std::nullopt}, {"12a", std::nullopt}, {"1 2", std::nullopt}, {"true", std::nullopt},
      {"yes", std::nullopt}, {"", std::nullopt}, {"-", std::nullopt}, {"1.5", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseIniInteger(c.value), c.want) << "'" << c.value << "'";
}

TEST(IniFile, ReadsFilesWrittenByHandOnWindows) {
  const std::string windows =
      "\xEF\xBB\xBF; written by hand\r\n\r\n  [ Settings ]  \r\nHeight = 400 \r\n;Width=1\r\n"
      "\tCSPort\t=\t27016\r\n[Games]\r\ncs16=0\r\n";
  const std::string odd =
      "orphan=1\n[S]\nexe=C:\\Spiele\\\xDC" "ber\\hl.exe\nq=\"  spaced  \"\nq2='x'\nhalf=\"x\n"
      "eq=a=b\nempty=\ndup=first\nDUP=second\n-win\n=nameless\n[T\nk=v";
  struct Case { const std::string* file; const char* section; const char* key; std::optional<std::string> want; } cases[] = {
      {&windows, "Settings", "Height", "400"},  {&windows, "settings", "HEIGHT", "400"},
      {&windows, "SETTINGS", "csport", "27016"}, {&windows, "Settings", "Width", std::nullopt},
      {&windows, "games", "CS16", "0"},          {&windows, "Games", "Height", std::nullopt},
      {&odd, "S", "exe", "C:\\Spiele\\\xDC" "ber\\hl.exe"}, {&odd, "S", "q", "  spaced  "},
      {&odd, "S", "q2", "x"},  {&odd, "S", "half", "\"x"}, {&odd, "S", "eq", "a=b"}, {&odd, "S", "empty", ""},
      {&odd, "S", "dup", "first"}, {&odd, "S", "-win", ""}, {&odd, "S", "orphan", std::nullopt},
      {&odd, "S", "", std::nullopt}, {&odd, "T", "k", "v"},
  };
  TempFolder dir;
  for (const auto& c : cases) {
    std::string path = dir.file("gavrix.ini");
    WriteFile(path, *c.file);
    IniFile ini(path);
    EXPECT_EQ(ini.readString(c.section, c.key, "<none>"), c.want.value_or("<none>")) << c.section << "/" << c.key;
    EXPECT_EQ(ini.hasKey(c.section, c.key), c.want.has_value()) << c.section << "/" << c.key;
  }
}

TEST(IniFile, IntegersAndBooleansFallBackToTheDefault) {
  TempFolder dir;
  WriteFile(dir.file("a.ini"), "[S]\nn=0x10\nbad=12px\nempty=\non=2\noff=0\nword=true\n");
  IniFile ini(dir.file("a.ini"));
  EXPECT_EQ(ini.readInteger("S", "n", 7), 16);
  EXPECT_EQ(ini.readInteger("S", "bad", 7), 7);
  EXPECT_EQ(ini.readInteger("S", "empty", 7), 7);
  EXPECT_EQ(ini.readInteger("S", "absent", 7), 7);
  EXPECT_TRUE(ini.readBool("S", "on", false));
  EXPECT_FALSE(ini.readBool("S", "off", true));
  EXPECT_TRUE(ini.readBool("S", "word", true));
  EXPECT_FALSE(ini.readBool("S", "word", false));
}

TEST(IniFile, ListsKeysInFileOrderAcrossSplitSections) {
  TempFolder dir;
  WriteFile(dir.file("a.ini"),
            "[Params]\n-console=\n; comment\n-win=\n[Other]\nx=1\n[params]\n-dev\n-WIN=\n[Empty]\n; only a comment\n");
  IniFile ini(dir.file("a.ini"));
  EXPECT_EQ(ini.sectionKeys("PARAMS"), (std::vector<std::string>{"-console", "-win", "-dev"}));
  EXPECT_TRUE(ini.sectionExists("params"));
  EXPECT_FALSE(ini.sectionExists("Empty"));
  EXPECT_FALSE(ini.sectionExists("Missing"));
  EXPECT_TRUE(ini.sectionKeys("Missing").empty());

  ini.eraseSection("Params");
  EXPECT_FALSE(ini.sectionExists("Params"));
  EXPECT_EQ(ReadFile(dir.file("a.ini")), "[Other]\nx=1\n[Empty]\n; only a comment\n");
}

TEST(IniFile, EachWriteReachesTheFileAndKeepsOtherLines) {
  TempFolder dir;
  const std::string path = dir.file("gavrix.ini");
  WriteFile(path, "\xEF\xBB\xBF; notes\r\n[Settings]\r\nHeight = 400\r\n; keep me\r\n\r\n[Games]\r\nCS16=0\r\n");
  IniFile ini(path);

  ini.writeInteger("settings", "HEIGHT", 500);
  EXPECT_EQ(IniFile(path).readInteger("Settings", "Height", 0), 500);
  ini.writeString("Settings", "CSPort", "27016");
  ini.writeBool("New", "Flag", true);
  ini.eraseSection("games");
  EXPECT_EQ(ReadFile(path),
            "\xEF\xBB\xBF; notes\r\n[Settings]\r\nHeight=500\r\nCSPort=27016\r\n; keep me\r\n\r\n[New]\r\nFlag=1\r\n");
  EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST(IniFile, ValuesAndKeysReadBackAsWritten) {
  struct Case { std::string value, want; } values[] = {
      {"", ""}, {" lead", " lead"}, {"trail ", "trail "}, {"\"quoted\"", "\"quoted\""}, {"'single'", "'single'"},
      {"\"", "\""}, {"a=b", "a=b"}, {"; not a comment", "; not a comment"}, {"[not a section]", "[not a section]"},
      {"\xC4\xD6\xDC bytes", "\xC4\xD6\xDC bytes"}, {"tab\t", "tab\t"}, {"two\r\nlines", "two  lines"},
  };
  TempFolder dir;
  const std::string path = dir.file("gavrix.ini");
  IniFile ini(path);
  for (size_t i = 0; i < std::size(values); ++i) ini.writeString("S", "k" + std::to_string(i), values[i].value);
  ini.writeString("S", " padded key ", "v");
  IniFile back(path);
  for (size_t i = 0; i < std::size(values); ++i)
    EXPECT_EQ(back.readString("S", "k" + std::to_string(i), "<none>"), values[i].want) << "'" << values[i].value << "'";
  EXPECT_EQ(back.sectionKeys("S").back(), "padded key");

  for (const char* key : {"", "  ", ";x", "[x", "a=b", "a\nb"}) {
    EXPECT_FALSE(IniFile::IsStorableKey(key)) << key;
    EXPECT_THROW(ini.writeString("S", key, "v"), std::invalid_argument) << key;
  }
  EXPECT_EQ(IniFile(path).sectionKeys("S").size(), std::size(values) + 1);
}

TEST(IniFile, MissingFileReadsEmptyAndFirstWriteCreatesIt) {
  TempFolder dir;
  const std::string path = dir.file("gavrix.ini");
  IniFile ini(path);
  EXPECT_EQ(ini.readString("Settings", "CSPort", "27015"), "27015");
  EXPECT_FALSE(fs::exists(path));
  ini.writeInteger("Settings", "GameType", 1);
  EXPECT_EQ(ReadFile(path), "[Settings]\nGameType=1\n");
}

TEST(IniFile, ReplacementKeepsALinkAndTheFileMode) {
  TempFolder dir;
  const std::string real = dir.file("real.ini"), link = dir.file("gavrix.ini");
  WriteFile(real, "[S]\nk=1\n");
  ::chmod(real.c_str(), 0600);
  fs::create_symlink(real, link);
  IniFile(link).writeString("S", "k", "2");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFile(real), "[S]\nk=2\n");
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST(IniFile, BatchReachesTheFileOnlyAtCommit) {
  TempFolder dir;
  const std::string path = dir.file("gavrix.ini");
  WriteFile(path, "[S]\nk=old\n");
  IniFile ini(path);
  {
    IniFile::Batch batch(ini);
    ini.eraseSection("S");
    ini.writeString("S", "k", "new");
    ini.writeString("S", "j", "also");
    EXPECT_EQ(ReadFile(path), "[S]\nk=old\n");
    EXPECT_THROW(ini.beginBatch(), std::logic_error);
    batch.commit();
  }
  EXPECT_EQ(ReadFile(path), "[S]\nk=new\nj=also\n");
  {
    IniFile::Batch dropped(ini);
    ini.writeString("S", "k", "lost");
  }
  EXPECT_FALSE(ini.inBatch());
  EXPECT_EQ(ini.readString("S", "k", ""), "new");
  EXPECT_EQ(ReadFile(path), "[S]\nk=new\nj=also\n");
}

// Tests run as root, which writes through file modes; the first two setups are
// refused to root as well: a folder that is a regular file, and a folder
// standing where the temporary copy must be created.
TEST(IniFile, RefusedWriteChangesNeitherFileNorContents) {
  const std::string kContent = "[Settings]\nHeight=400\n";
  struct Case {
    const char* name;
    bool rootProof;
    std::function<std::string(const TempFolder&)> setup;  // gives the path, file holding kContent or none
    std::function<void(const TempFolder&)> undo;
  } cases[] = {
      {"folder is a regular file", true,
       [&](const TempFolder& d) { WriteFile(d.file("plain"), "x"); return d.file("plain") + "/gavrix.ini"; }, {}},
      {"temporary name taken", true,
       [&](const TempFolder& d) {
         WriteFile(d.file("gavrix.ini"), kContent);
         fs::create_directory(d.file("gavrix.ini.tmp"));
         return d.file("gavrix.ini");
       },
       {}},
      {"read-only file", false,
       [&](const TempFolder& d) {
         WriteFile(d.file("gavrix.ini"), kContent);
         ::chmod(d.file("gavrix.ini").c_str(), 0444);
         return d.file("gavrix.ini");
       },
       {}},
      {"unreadable file", false,
       [&](const TempFolder& d) {
         WriteFile(d.file("gavrix.ini"), kContent);
         ::chmod(d.file("gavrix.ini").c_str(), 0200);
         return d.file("gavrix.ini");
       },
       [](const TempFolder& d) { ::chmod(d.file("gavrix.ini").c_str(), 0600); }},
      {"folder without write access", false,
       [&](const TempFolder& d) {
         fs::create_directory(d.file("ro"));
         WriteFile(d.file("ro/gavrix.ini"), kContent);
         ::chmod(d.file("ro").c_str(), 0555);
         return d.file("ro/gavrix.ini");
       },
       [](const TempFolder& d) { ::chmod(d.file("ro").c_str(), 0755); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.rootProof && ::geteuid() == 0) continue;  // root writes anyway
    TempFolder dir;
    const std::string path = c.setup(dir);
    std::error_code ec;
    const bool hadFile = fs::exists(path, ec);
    IniFile ini(path);
    const std::string height = ini.readString("Settings", "Height", "none");

    try {
      ini.writeString("Settings", "Height", "999");
      ADD_FAILURE() << "write was not refused";
    } catch (const IniWriteError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
    EXPECT_EQ(ini.readString("Settings", "Height", "none"), height);

    ini.beginBatch();
    ini.eraseSection("Settings");
    ini.writeString("Settings", "Width", "999");
    EXPECT_THROW(ini.commit(), IniWriteError);
    EXPECT_FALSE(ini.inBatch());
    EXPECT_EQ(ini.readString("Settings", "Height", "none"), height);
    EXPECT_FALSE(ini.hasKey("Settings", "Width"));

    if (c.undo) c.undo(dir);
    if (!hadFile) EXPECT_FALSE(fs::exists(path, ec));
    else EXPECT_EQ(ReadFile(path), kContent);
  }
}
