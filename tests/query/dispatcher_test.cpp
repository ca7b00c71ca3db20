// Reply dispatch and the decoders: header tests, the game catalogue, access
// marks, duplicates, old infostring replies, players, rules and challenges.
#include "query/dispatcher.h"

#include <gtest/gtest.h>

#include "support/replies.h"
#include "util/text.h"

using namespace gavrix;
using namespace gavrix::test;

namespace {

struct Events : ReplyEvents {
  bool shown[kGameFlagCount] = {true, true, true, true, true, true, true, true, true, true, true};
  bool isScanning = false;
  bool sendFails = false;
  int networkErrors = 0;
  std::vector<std::pair<std::string, std::string>> joins;  // address and player text of each completed row
  std::vector<std::pair<int, uint16_t>> completed;         // its row and source port
  struct Sent { std::string host; uint16_t port; Datagram bytes; };
  std::vector<Sent> sent;

  bool gameShown(GameFlag f) override { return shown[static_cast<int>(f)]; }
  bool scanning() override { return isScanning; }
  void rowCompleted(int row, const std::string& a, uint16_t port, const std::string& p) override {
    joins.emplace_back(a, p);
    completed.emplace_back(row, port);
  }
  bool send(const std::string& host, uint16_t port, Bytes d) override {
    if (sendFails) return false;
    sent.push_back({host, port, Datagram(d.begin(), d.end())});
    return true;
  }
  void networkError() override { ++networkErrors; }
};

struct Fixture : ::testing::Test {
  ServerListModel servers;
  PaneModel players, rules;
  Events events;
  ReplyDispatcher d{servers, players, rules, events};

  void Receive(const Datagram& g, const std::string& from = "127.0.0.1", uint16_t port = 27015) {
    d.UDPDataReceived(g.data(), g.size(), from, port);
  }
  std::vector<std::string> Row(int i) {
    std::vector<std::string> t;
    for (int c = 0; c < kColumnCount; ++c) t.push_back(servers.row(i).text(c));
    return t;
  }
};

using Dispatch = Fixture;

TEST_F(Dispatch, HeaderDecidesWhatIsAccepted) {
  Datagram source = Build(SourceInfo{});
  struct Case { const char* what; Datagram g; int rows; } cases[] = {
      {"four bytes", {0xFF, 0xFF, 0xFF, 0xFF}, 0},
      {"goldsrc type alone", {0xFF, 0xFF, 0xFF, 0xFF, 'm'}, 0},
      {"byte 0 not examined", [&] { Datagram g = source; g[0] = 0x00; return g; }(), 1},
      {"byte 2 not FF", [&] { Datagram g = source; g[2] = 0xFE; return g; }(), 0},
      {"FE with an info type", [&] { Datagram g = source; g[0] = 0xFE; return g; }(), 1},
      {"unknown type", {0xFF, 0xFF, 0xFF, 0xFF, 'Z', 1, 2, 3}, 0},
  };
  for (auto& c : cases) {
    servers.clear();
    Receive(c.g);
    EXPECT_EQ(servers.size(), c.rows) << c.what;
  }
}

TEST_F(Dispatch, SourceReplyFillsAllColumns) {
  SourceInfo s;
  s.protocol = 7;
  s.name = "My \xC3\xA9 server";
  s.os = 'w';
  s.players = 12;
  s.maxPlayers = 20;
  Receive(Build(s), "127.0.0.5", 27016);
  ASSERT_EQ(servers.size(), 1);
  EXPECT_EQ(Row(0), (std::vector<std::string>{"CSS", "My \xC3\xA9 server", "127.0.0.5", "27016", "7", "de_dust2",
                                               "12/20", "WIN", ""}));
  EXPECT_EQ(servers.row(0).icon, 3);
  EXPECT_EQ(servers.row(0).osIcon, 13);
  EXPECT_EQ(servers.row(0).accessIcon, 8);
  EXPECT_EQ(events.joins, (std::vector<std::pair<std::string, std::string>>{{"127.0.0.5", "12"}}));
  EXPECT_EQ(events.completed, (std::vector<std::pair<int, uint16_t>>{{0, 27016}}));
}

TEST_F(Dispatch, SourceCatalogue) {
  struct Case { const char* desc; const char* code; int icon; GameFlag flag; } cases[] = {
      {"Deathmatch", "DM", 5, GameFlag::HL2},
      {"Team Deathmatch", "TDM", 5, GameFlag::HL2},
      {"Capture the Flag", "CTF", 5, GameFlag::HL2},
      {"CSPromod Source", "PRO", 3, GameFlag::CSS},
      {"Day of Defeat: Source", "DODS", 19, GameFlag::DODS},
      {"Counter-Strike: Source", "CSS", 3, GameFlag::CSS},
      {"Team Fortress", "TF2", 20, GameFlag::TF2},
      {"Sandbox", "GMOD", 18, GameFlag::GMOD},
  };
  for (const auto& c : cases) {
    SourceInfo s;
    s.game = c.desc;
    servers.clear();
    Receive(Build(s));
    ASSERT_EQ(servers.size(), 1) << c.desc;
    EXPECT_EQ(servers.row(0).caption, c.code) << c.desc;
    EXPECT_EQ(servers.row(0).icon, c.icon) << c.desc;
    // The same reply is dropped while its game's flag is off.
    servers.clear();
    events.shown[static_cast<int>(c.flag)] = false;
    Receive(Build(s));
    EXPECT_EQ(servers.size(), 0) << c.desc;
    events.shown[static_cast<int>(c.flag)] = true;
  }
  for (const char* unknown : {"deathmatch", "Team Fortress 2", "", "Half-Life 2"}) {
    SourceInfo s;
    s.game = unknown;
    servers.clear();
    Receive(Build(s));
    EXPECT_EQ(servers.size(), 0) << unknown;
  }
}

TEST_F(Dispatch, GoldSrcCatalogueAndRelays) {
  struct Case { const char* desc; uint8_t protocol; const char* code; int icon; GameFlag flag; } cases[] = {
      {"Counter-Strike", 47, "1.6", 0, GameFlag::CS16},
      {"HLTV", 46, "1.5", 4, GameFlag::CS15},
      {"HLTV", 47, "1.6", 4, GameFlag::CS16},
      {"HLTV", 48, "1.6", 4, GameFlag::CS16},
      {"CounterStrike", 46, "1.5", 0, GameFlag::CS15},
      {"Half-Life", 47, "HL", 2, GameFlag::HL1},
      {"Condition Zero", 48, "CZ", 1, GameFlag::CZ},
      {"Day of Defeat", 48, "DOD", 18, GameFlag::DOD},
      {"Team Fortress Classic", 48, "TFC", 22, GameFlag::TF},
  };
  for (const auto& c : cases) {
    GoldSrcInfo g;
    g.game = c.desc;
    g.protocol = c.protocol;
    servers.clear();
    Receive(Build(g));
    ASSERT_EQ(servers.size(), 1) << c.desc;
    EXPECT_EQ(servers.row(0).caption, c.code) << c.desc;
    EXPECT_EQ(servers.row(0).icon, c.icon) << c.desc;
    EXPECT_EQ(servers.row(0).text(kColPT), std::to_string(c.protocol));
    servers.clear();
    events.shown[static_cast<int>(c.flag)] = false;
    Receive(Build(g));
    EXPECT_EQ(servers.size(), 0) << c.desc << " with its flag off";
    events.shown[static_cast<int>(c.flag)] = true;
  }
}

TEST_F(Dispatch, AccessMarkAndOs) {
  struct Case { uint8_t password, players, max, os; int mark; const char* osText; } cases[] = {
      {0, 19, 20, 'l', 8, "LIN"},  {0, 20, 20, 'w', 9, "WIN"}, {1, 0, 20, 'W', 10, "WIN"},
      {1, 20, 20, 'm', 10, "LIN"}, {0, 255, 255, 0, 9, "LIN"}, {2, 1, 20, 'l', 9, "LIN"},
      {0, 0, 0, 'l', 9, "LIN"},
  };
  for (const auto& c : cases) {
    SourceInfo s;
    s.password = c.password;
    s.players = c.players;
    s.maxPlayers = c.max;
    s.os = c.os;
    servers.clear();
    Receive(Build(s));
    ASSERT_EQ(servers.size(), 1);
    EXPECT_EQ(servers.row(0).accessIcon, c.mark) << int(c.password) << " " << int(c.players) << "/" << int(c.max);
    EXPECT_EQ(servers.row(0).text(kColOS), c.osText);
    EXPECT_EQ(servers.row(0).osIcon, std::string(c.osText) == "WIN" ? 13 : 14);
  }
}

TEST_F(Dispatch, TruncatedRepliesReadZeros) {
  Datagram full = Build(SourceInfo{});
  // Cut after the map name: the empty description matches nothing.
  Datagram cut(full.begin(), full.begin() + 6 + 14 + 9);
  Receive(cut);
  EXPECT_EQ(servers.size(), 0);
  // Cut right after the description: players, max, OS and password read as 0.
  SourceInfo s;
  Datagram g = Build(s);
  g.resize(6 + s.name.size() + 1 + s.map.size() + 1 + s.dir.size() + 1 + s.game.size() + 1);
  Receive(g);
  ASSERT_EQ(servers.size(), 1);
  EXPECT_EQ(servers.row(0).text(kColPlayers), "0/0");
  EXPECT_EQ(servers.row(0).text(kColOS), "LIN");
  EXPECT_EQ(servers.row(0).accessIcon, 9);
}

TEST_F(Dispatch, SourceDuplicatesAreDropped) {
  Receive(Build(SourceInfo{}), "127.0.0.1", 27015);
  Receive(Build(SourceInfo{}), "127.0.0.2", 27015);
  Receive(Build(SourceInfo{}), "127.0.0.2", 27015);  // the last row itself
  Receive(Build(SourceInfo{}), "127.0.0.1", 27015);
  Receive(Build(SourceInfo{}), "127.0.0.1", 27016);  // another port of the same address
  ASSERT_EQ(servers.size(), 3);
  EXPECT_EQ(servers.row(2).port(), "27016");
  EXPECT_EQ(events.joins.size(), 3u);  // dropped replies run no join check
  // A server listed from its GoldSrc reply is not listed again by its Source reply.
  servers.clear();
  GoldSrcInfo g;
  g.addr = "127.0.0.9:27015";
  Receive(Build(g), "127.0.0.9", 27015);
  Receive(Build(SourceInfo{}), "127.0.0.9", 27015);
  EXPECT_EQ(servers.size(), 1);
}

TEST_F(Dispatch, GoldSrcReplacesItsOlderRow) {
  GoldSrcInfo g;
  Receive(Build(g), "127.0.0.1", 27015);
  Receive(Build(SourceInfo{}), "127.0.0.2", 27015);
  g.name = "newer";
  Receive(Build(g), "127.0.0.1", 27015);
  ASSERT_EQ(servers.size(), 2);
  EXPECT_EQ(servers.row(0).address(), "127.0.0.2");
  EXPECT_EQ(servers.row(1).text(kColName), "newer");
  // The Port column shows the port the server writes for itself, while the
  // duplicate test compares the datagram's source port with that text.
  servers.clear();
  g.addr = "192.0.2.1:27099";
  Receive(Build(g), "127.0.0.1", 27015);
  EXPECT_EQ(servers.row(0).port(), "27099");
  Receive(Build(g), "127.0.0.1", 27015);
  EXPECT_EQ(servers.size(), 2);
  Receive(Build(g), "127.0.0.1", 27099);
  EXPECT_EQ(servers.size(), 2);  // replaced the first row, appended at the end
  // No ":" in the address field gives an empty Port text.
  g.addr = "127.0.0.3";
  Receive(Build(g), "127.0.0.3", 27015);
  EXPECT_EQ(servers.row(2).port(), "");
}

TEST_F(Dispatch, BadPortTextOfAListedRowIsAConversionError) {
  GoldSrcInfo g;
  g.addr = "127.0.0.1:abc";
  Receive(Build(g));
  ASSERT_EQ(servers.row(0).port(), "abc");
  try {
    Receive(Build(g));
    FAIL() << "no conversion error";
  } catch (const ConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
  // The new row keeps only its caption and icon.
  ASSERT_EQ(servers.size(), 2);
  EXPECT_EQ(servers.row(1).caption, "1.6");
  EXPECT_EQ(servers.row(1).subCount, 0);
  EXPECT_THROW(Receive(Build(SourceInfo{})), ConvertError);
  EXPECT_EQ(servers.size(), 2);
  // Other addresses are not affected.
  Receive(Build(SourceInfo{}), "127.0.0.2");
  EXPECT_EQ(servers.size(), 3);
}

using Old = Fixture;

TEST_F(Old, InfostringRows) {
  const std::string base =
      "\\hostname\\Old CS\\map\\de_dust2\\players\\5\\max\\20\\os\\w\\password\\0\\proxy\\0\\protocol\\46"
      "\\description\\CounterStrike\\";
  struct Case { std::string info; std::vector<std::string> cols; int icon, mark; } cases[] = {
      {base, {"1.5", "Old CS", "127.0.0.1", "27015", "46", "de_dust2", "5/20", "WIN", ""}, 0, 8},
      {base.substr(0, base.size() - 1), {"?", "Old CS", "127.0.0.1", "27015", "46", "de_dust2", "5/20", "WIN", ""}, 0, 8},
      {"\\HOSTNAME\\x\\DESCRIPTION\\Half-Life\\proxy\\1\\", {"HL", "x", "127.0.0.1", "27015", "", "", "/", "LIN", ""}, 4, -1},
      {"\\players\\20\\max\\20\\password\\0\\description\\Counter-Strike\\", {"1.6", "", "127.0.0.1", "27015", "", "", "20/20", "LIN", ""}, 0, 9},
      {"\\players\\020\\max\\20\\password\\0\\description\\Condition Zero\\", {"CZ", "", "127.0.0.1", "27015", "", "", "020/20", "LIN", ""}, 1, 8},
      {"\\password\\1\\os\\Linux\\description\\HLTV\\protocol\\46\\", {"1.5", "", "127.0.0.1", "27015", "46", "", "/", "LIN", ""}, 4, 10},
      {"\\description\\Demo Playback\\protocol\\47\\", {"1.6", "", "127.0.0.1", "27015", "47", "", "/", "LIN", ""}, 6, -1},
      {"\\description\\HLTV\\protocol\\48\\", {"1.6", "", "127.0.0.1", "27015", "48", "", "/", "LIN", ""}, 4, -1},
      {"", {"?", "", "127.0.0.1", "27015", "", "", "/", "LIN", ""}, 0, -1},
  };
  for (const auto& c : cases) {
    servers.clear();
    Receive(OldReply(c.info));
    ASSERT_EQ(servers.size(), 1) << c.info;
    EXPECT_EQ(Row(0), c.cols) << c.info;
    EXPECT_EQ(servers.row(0).icon, c.icon) << c.info;
    EXPECT_EQ(servers.row(0).accessIcon, c.mark) << c.info;
  }
  // Old rows are never filtered.
  for (bool& s : events.shown) s = false;
  servers.clear();
  Receive(OldReply(base));
  EXPECT_EQ(servers.size(), 1);
}

TEST_F(Old, HeaderTestAndOneRowPerAddress) {
  Datagram shortReply = {0xFF, 0xFF, 0xFF, 0xFF, 'i', 'n', 'f', 'o', 's', 't', 'r', 'i', 'n', 'g', 'r'};
  Receive(shortReply);  // byte 21 reads as zero
  EXPECT_EQ(servers.size(), 0);
  Datagram bad = OldReply("\\description\\Half-Life\\");
  bad[14] = 'x';
  Receive(bad);
  EXPECT_EQ(servers.size(), 0);

  Receive(OldReply("\\hostname\\first\\"), "127.0.0.1", 27015);
  Receive(OldReply("\\hostname\\other\\"), "127.0.0.2", 27015);
  Receive(OldReply("\\hostname\\second\\"), "127.0.0.1", 27016);
  ASSERT_EQ(servers.size(), 2);
  EXPECT_EQ(servers.row(1).text(kColName), "second");
  EXPECT_EQ(servers.row(1).port(), "27016");
}

TEST_F(Old, RelayWithoutNumericProtocolIsAConversionErrorBeforeAnyRow) {
  EXPECT_THROW(Receive(OldReply("\\description\\HLTV\\protocol\\x\\")), ConvertError);
  EXPECT_THROW(Receive(OldReply("\\description\\Demo Playback\\")), ConvertError);
  EXPECT_EQ(servers.size(), 0);
}

using Panes = Fixture;

TEST_F(Panes, PlayersSortedByFrags) {
  Receive(PlayersReply({{"alpha", 3}, {"bad \xE9", 10}, {"neg", -1}, {"zero", 0}}));
  ASSERT_EQ(players.size(), 4);
  EXPECT_EQ(players.row(0).caption, "");  // not UTF-8: empty name, frags still shown
  EXPECT_EQ(players.row(0).value, "10");
  EXPECT_EQ(players.row(1).caption, "alpha");
  EXPECT_EQ(players.row(3).value, "-1");
  Receive(PlayersReply({}));
  EXPECT_EQ(players.size(), 0);
}

TEST_F(Panes, TruncatedPlayersReplyKeepsTheBytesPresent) {
  Datagram g = PlayersReply({{"a", 1}, {"bob", 0x01020304}});
  g.resize(g.size() - 6);  // cut inside bob's frags: two of its four bytes remain
  Receive(g);
  ASSERT_EQ(players.size(), 2);
  EXPECT_EQ(players.row(0).value, std::to_string(0x0304));
}

TEST_F(Panes, RulesReadOnlyTheCountsLowByte) {
  std::vector<std::pair<std::string, std::string>> five = {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}};
  Receive(RulesReply(3, five));
  ASSERT_EQ(rules.size(), 3);
  EXPECT_EQ(rules.row(2).caption, "c");
  Receive(RulesReply(256, five));
  EXPECT_EQ(rules.size(), 0);
  // Announcing more than it holds reads what an earlier, longer reply left.
  Receive(RulesReply(2, {{"x", "9"}}));
  ASSERT_EQ(rules.size(), 2);
  EXPECT_EQ(rules.row(1).caption, "b");
  // A count of 255 stays inside the reassembly buffer.
  Receive(RulesReply(255, {}));
  EXPECT_EQ(rules.size(), 255);
}

TEST_F(Panes, SplitRulesReplyIsJoined) {
  std::vector<std::pair<std::string, std::string>> many;
  for (int i = 0; i < 120; ++i) many.emplace_back("rule" + std::to_string(i), "value" + std::to_string(i));
  Datagram whole = RulesReply(static_cast<uint16_t>(many.size()), many);
  ASSERT_GT(whole.size(), 1391u + 100);
  Datagram first = {0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0x20};
  first.insert(first.end(), whole.begin(), whole.begin() + 1391);
  Datagram last = {0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0x21};
  last.insert(last.end(), whole.begin() + 1391, whole.end());
  Receive(RulesReply(1, {{"old", "x"}}));
  ASSERT_EQ(rules.size(), 1);
  Receive(first);
  EXPECT_EQ(rules.size(), 0);  // the first fragment only waits
  Receive(last);
  ASSERT_EQ(rules.size(), 120);
  EXPECT_EQ(rules.row(119).caption, "rule119");
  EXPECT_EQ(rules.row(119).value, "value119");
  // A fragment of 9 bytes or fewer copies nothing and decodes what is there.
  Receive(Datagram{0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0x21});
  EXPECT_EQ(rules.size(), 120);
}

TEST_F(Panes, LongDatagramIsCutToTheReplyBuffer) {
  std::vector<std::pair<std::string, std::string>> rulesList;
  for (int i = 0; i < 200; ++i) rulesList.emplace_back("r" + std::to_string(i), std::string(8, 'v'));
  Datagram big = RulesReply(200, rulesList);
  ASSERT_GT(big.size(), 2048u);
  Receive(big);
  EXPECT_EQ(d.rulesBuffer().at(9 + 1499), big[1499]);
  EXPECT_EQ(d.rulesBuffer().at(9 + 1500), 0);
  EXPECT_EQ(rules.size(), 200);
}

using Challenges = Fixture;

TEST_F(Challenges, AnswerWithExactNineByteQueries) {
  Receive(Challenge(1, 2, 3, 4), "127.0.0.7", 27111);
  ASSERT_EQ(events.sent.size(), 2u);
  EXPECT_EQ(events.sent[0].host, "127.0.0.7");
  EXPECT_EQ(events.sent[0].port, 27111);
  EXPECT_EQ(events.sent[0].bytes, (Datagram{0xFF, 0xFF, 0xFF, 0xFF, 'U', 1, 2, 3, 4}));
  EXPECT_EQ(events.sent[1].bytes, (Datagram{0xFF, 0xFF, 0xFF, 0xFF, 'V', 1, 2, 3, 4}));
  // The slot stays for the 25-byte queries of a selection.
  auto rulesQuery = d.queries().sourceRules();
  Datagram want = {0xFF, 0xFF, 0xFF, 0xFF, 'V', 1, 2, 3, 4};
  for (char c : std::string("ce Engine Query")) want.push_back(static_cast<uint8_t>(c));
  want.push_back(0);
  EXPECT_EQ(Datagram(rulesQuery.begin(), rulesQuery.end()), want);
  // A 7-byte challenge gives its bytes 5 and 6 and two zeros; the second wins.
  Receive(Datagram{0xFF, 0xFF, 0xFF, 0xFF, 'A', 9, 8});
  ASSERT_EQ(events.sent.size(), 4u);
  EXPECT_EQ(events.sent[3].bytes, (Datagram{0xFF, 0xFF, 0xFF, 0xFF, 'V', 9, 8, 0, 0}));
  auto players25 = d.queries().sourcePlayers();
  EXPECT_EQ(players25[5], 9);
  EXPECT_EQ(players25[8], 0);
  EXPECT_EQ(players25[9], 'c');
}

TEST_F(Challenges, FailedSendRunsNetworkErrorOnce) {
  events.sendFails = true;
  Receive(Challenge(1, 2, 3, 4));
  EXPECT_EQ(events.networkErrors, 1);
}

TEST(Queries, InitialDatagrams) {
  QueryBuffers q;
  auto text = [](Bytes b) { return std::string(b.begin(), b.end()); };
  EXPECT_EQ(text(q.sourceInfo()), std::string("\xFF\xFF\xFF\xFFTSource Engine Query", 24) + '\0');
  EXPECT_EQ(text(q.oldInfo()), std::string("\xFF\xFF\xFF\xFFinfostring", 14) + '\0');
  EXPECT_EQ(text(q.sourceRules()), std::string("\xFF\xFF\xFF\xFFVSource Engine Query", 24) + '\0');
  EXPECT_EQ(text(q.sourcePlayers()), std::string("\xFF\xFF\xFF\xFFUSource Engine Query", 24) + '\0');
  EXPECT_EQ(text(q.oldPlayers()), std::string("\xFF\xFF\xFF\xFFplayers", 11) + '\0');
  EXPECT_EQ(text(q.oldRules()), std::string("\xFF\xFF\xFF\xFFrules", 9) + '\0');
}

}  // namespace
