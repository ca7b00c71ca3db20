// The launcher's command line: game codes, parameter text, passwords tied to
// their server, port texts and the split into arguments.
#include "launch/command_line.h"

#include <gtest/gtest.h>

using namespace gavrix;

TEST(CommandLine, GameCodesPickTheirEntryAndMessage) {
  struct Case {
    const char* code;
    int index;
    const char* message;
  } cases[] = {
      {"1.6", 2, "CS 1.6 .exe path is empty"}, {"CSS", 4, "CSS .exe path is empty"},
      {"PRO", 4, "CSS .exe path is empty"},    {"CZ", 3, "CZero .exe path is empty"},
      {"1.5", 1, "CS1.5 .exe path is empty"},  {"HL", 0, "HL .exe path is empty"},
      {"DM", 5, "HL2 .exe path is empty"},     {"TDM", 5, "HL2 .exe path is empty"},
      {"CTF", 5, "HL2 .exe path is empty"},    {"DOD", 6, "HL .exe path is empty"},
      {"DODS", 7, "HL2 .exe path is empty"},   {"GMOD", 8, "HL2 .exe path is empty"},
      {"TFC", 9, "HL .exe path is empty"},     {"TF2", 10, "HL2 .exe path is empty"},
  };
  for (const Case& c : cases) {
    auto launch = LaunchForGame(c.code);
    ASSERT_TRUE(launch) << c.code;
    EXPECT_EQ(launch->index, c.index) << c.code;
    EXPECT_EQ(launch->emptyMessage, c.message) << c.code;
  }
  for (const char* none : {"?", "css", "", "HL2", "1.6 "}) EXPECT_FALSE(LaunchForGame(none)) << none;
}

TEST(CommandLine, ParameterTextAndPasswordOfItsOwnServer) {
  const std::optional<GivenPassword> none;
  const std::optional<GivenPassword> given = GivenPassword{"secret", "127.0.0.5", "27015"};
  const std::optional<GivenPassword> spaced = GivenPassword{"it's my pass", "127.0.0.5", "27015"};
  struct Case {
    const char* params;
    const char* address;
    const char* port;
    const std::optional<GivenPassword>& password;
    const char* text;
  } cases[] = {
      {"-game cstrike", "10.0.0.5", "27015", none, "-game cstrike +connect 10.0.0.5:27015 "},
      {"", "10.0.0.5", "27015", none, " +connect 10.0.0.5:27015 "},
      {"-game cstrike", "127.0.0.5", "27015", given, "-game cstrike +connect 127.0.0.5:27015 +password secret"},
      // Another server, or another port of the same address, never gets it.
      {"-game cstrike", "127.0.0.6", "27015", given, "-game cstrike +connect 127.0.0.6:27015 "},
      {"-game cstrike", "127.0.0.5", "27016", given, "-game cstrike +connect 127.0.0.5:27016 "},
      {"", "127.0.0.5", "27015", spaced, " +connect 127.0.0.5:27015 +password 'it'\\''s my pass'"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParameterText(c.params, c.address, c.port, PasswordArgument(c.password, c.address, c.port)), c.text)
        << c.params << " " << c.address << ":" << c.port;
}

TEST(CommandLine, ArgumentsSplitAsAShellSplitsWords) {
  using Args = std::vector<std::string>;
  struct Case {
    const char* text;
    Args args;
  } cases[] = {
      {"-game cstrike +connect 10.0.0.5:27015 ", {"-game", "cstrike", "+connect", "10.0.0.5:27015"}},
      {"  -applaunch   240\t+connect 1.2.3.4:5 ", {"-applaunch", "240", "+connect", "1.2.3.4:5"}},
      {"+password 'it'\\''s my pass'", {"+password", "it's my pass"}},
      {"-name \"Big \\\"Boss\\\" \\\\ x\" y", {"-name", "Big \"Boss\" \\ x", "y"}},
      {"a\\ b c", {"a b", "c"}},
      {"'$HOME' \"`x`\"", {"$HOME", "`x`"}},
      {"''", {""}},
      {"", {}},
      {"   ", {}},
      {"'unclosed quote", {"unclosed quote"}},
      {"trailing\\", {"trailing"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitArguments(c.text), c.args) << c.text;
  // Whatever a password holds, quoting keeps it one argument.
  for (const char* pw : {"plain", "two words", "'", "\"", "a\\b", " lead", "tab\there", "", "x'y\"z"})
    EXPECT_EQ(SplitArguments(std::string("+password ") + QuoteArgument(pw)), (Args{"+password", pw})) << pw;
}

TEST(CommandLine, OnlyAPortNumberIsAPortText) {
  for (const char* ok : {"1", "27015", "65535", "00080"}) EXPECT_TRUE(IsPortText(ok)) << ok;
  for (const char* bad : {"", "0", "65536", "99999", "123456", "-1", "+27015", " 27015", "27015 ", "27015;quit",
                          "27015 +exec x", "0x10", "$10"})
    EXPECT_FALSE(IsPortText(bad)) << bad;
}
