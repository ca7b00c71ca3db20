// Today's servers: split replies of both headers, info challenges and the query
// log, classification by app id, hybrid replies and code pages.
#include <gtest/gtest.h>

#include <algorithm>

#include "query/dispatcher.h"
#include "query/fragments.h"
#include "query/query_log.h"
#include "support/replies.h"
#include "util/code_page.h"

using namespace gavrix;
using namespace gavrix::test;
using namespace std::chrono_literals;

namespace {

// A clock the tests move by hand.
struct FakeClock {
  QueryLog::Clock::time_point t{std::chrono::hours(1)};
  QueryLog::Now now() {
    return [this] { return t; };
  }
};

// The window's side: every send goes through the query log, as the window's
// one choke point does.
struct Events : OfflineEvents {
  ReplyDispatcher* d = nullptr;
  bool shownAll = true;
  GameFlag hidden = GameFlag::HL1;
  struct Sent {
    std::string host;
    uint16_t port;
    Datagram bytes;
  };
  std::vector<Sent> sent;
  bool gameShown(GameFlag f) override { return shownAll || f != hidden; }
  bool send(const std::string& host, uint16_t port, Bytes b) override {
    sent.push_back({host, port, Datagram(b.begin(), b.end())});
    d->queryLog().noteSent(host, port, b);
    return true;
  }
};

struct Harness {
  FakeClock clock;
  ServerListModel servers;
  PaneModel players, rules;
  Events events;
  ReplyDispatcher d{servers, players, rules, events, clock.now()};

  Harness() { events.d = &d; }

  void Receive(const Datagram& g, const std::string& from = "127.0.0.1", uint16_t port = 27015) {
    d.UDPDataReceived(g.data(), g.size(), from, port);
  }
  void SendInfo(const std::string& to = "127.0.0.1", uint16_t port = 27015) {
    events.send(to, port, d.queries().sourceInfo());
  }
  void SendSelection(const std::string& to = "127.0.0.1", uint16_t port = 27015) {
    events.send(to, port, d.queries().sourceRules());
    events.send(to, port, d.queries().sourcePlayers());
  }
};

struct Modern : ::testing::Test, Harness {};

std::vector<Datagram> Order(const std::vector<Datagram>& parts, std::vector<size_t> order) {
  std::vector<Datagram> out;
  for (size_t i : order) out.push_back(parts[i]);
  return out;
}

// ---- Fragment store ----

TEST(Fragments, JoinsSetsOfBothHeadersInAnyOrder) {
  const Datagram rules = ManyRules(300);  // about 3,900 bytes
  const auto source = SplitSource(rules, 7, 1000);
  const auto gold = SplitGoldSrc(rules, 7, 1000);
  const auto packed = SplitSource(rules, 7, 300, true);
  // The oldest Source servers leave the packet size out.
  std::vector<Datagram> noSize = source;
  for (Datagram& f : noSize) f.erase(f.begin() + 10, f.begin() + 12);
  ASSERT_EQ(source.size(), 4u);
  ASSERT_GE(packed.size(), 2u);

  struct Case {
    const char* what;
    std::vector<Datagram> fragments;
  } cases[] = {
      {"source in order", source},
      {"source reversed", Order(source, {3, 2, 1, 0})},
      {"source shuffled with duplicates", Order(source, {2, 2, 0, 3, 0, 1})},
      {"goldsrc shuffled", Order(gold, {1, 3, 0, 2})},
      {"source without size", Order(noSize, {1, 0, 3, 2})},
      {"bzip2 compressed", packed},
  };
  for (const Case& c : cases) {
    FragmentStore store;
    std::optional<std::vector<uint8_t>> joined;
    int completions = 0;
    for (const Datagram& f : c.fragments) {
      auto r = store.add("127.0.0.1", 27015, f, {});
      if (r) joined = r, ++completions;
    }
    ASSERT_TRUE(joined) << c.what;
    EXPECT_EQ(*joined, rules) << c.what;
    EXPECT_EQ(completions, 1) << c.what;
    EXPECT_EQ(store.sets(), 0u) << c.what;
    EXPECT_EQ(store.bytes(), 0u) << c.what;
  }
}

TEST(Fragments, KeepsSetsApartAndDropsBrokenOrStaleOnes) {
  const Datagram a = ManyRules(200), b = ManyRules(150);
  FragmentStore store;
  QueryLog::Clock::time_point t{};

  // Two ids interleaved from one server, and one id from two servers.
  auto fa = SplitSource(a, 1, 900), fb = SplitSource(b, 2, 900);
  std::vector<std::vector<uint8_t>> done;
  for (size_t i = 0; i < std::max(fa.size(), fb.size()); ++i) {
    for (auto* set : {&fa, &fb}) {
      if (i >= set->size()) continue;
      if (auto r = store.add("127.0.0.1", 27015, (*set)[i], t)) done.push_back(*r);
    }
  }
  EXPECT_EQ(done, (std::vector<std::vector<uint8_t>>{b, a}));
  EXPECT_FALSE(store.add("127.0.0.1", 27015, fa[0], t));
  EXPECT_FALSE(store.add("127.0.0.2", 27015, fa[1], t));  // same id, other server: no mix
  EXPECT_EQ(store.sets(), 2u);

  // A set still incomplete after its lifetime is gone.
  t += FragmentStore::kLifetime;
  EXPECT_FALSE(store.add("127.0.0.1", 27015, fa[1], t));
  EXPECT_EQ(store.sets(), 1u);  // only the new one

  // A bad CRC or a broken bzip2 stream drops the set without a reply.
  FragmentStore checked;
  auto badCrc = SplitSource(a, 3, 500, true, 1);
  auto badStream = SplitSource(a, 4, 500, true);
  badStream.back().back() ^= 0x55;
  for (auto* set : {&badCrc, &badStream}) {
    for (const Datagram& f : *set) EXPECT_FALSE(checked.add("127.0.0.1", 27015, f, t));
  }
  EXPECT_EQ(checked.sets(), 0u);
  // A joined set that is no reply (no FF FF FF FF at its start) is dropped too.
  for (const Datagram& f : SplitSource(FromText("garbage that is long enough"), 5, 10))
    EXPECT_FALSE(checked.add("127.0.0.1", 27015, f, t));
  EXPECT_EQ(checked.sets(), 0u);
}

TEST(Fragments, FloodOfFreshIdsStaysWithinTheCaps) {
  FragmentStore store;
  Datagram f(1400, 0xAB);
  f[0] = 0xFE, f[1] = f[2] = f[3] = 0xFF;
  f[8] = 200, f[9] = 0;  // one fragment of a set that never completes
  for (uint32_t id = 0; id < 20000; ++id) {
    for (int k = 0; k < 4; ++k) f[4 + static_cast<size_t>(k)] = static_cast<uint8_t>(id >> (8 * k));
    f[9] = static_cast<uint8_t>(id % 7);
    store.add("127.0." + std::to_string(id % 250) + ".1", 27015, f, {});
    ASSERT_LE(store.sets(), FragmentStore::kMaxSets);
    ASSERT_LE(store.bytes(), FragmentStore::kMaxBytes);
  }
  // One set that keeps getting fresh fragments is dropped at its own cap.
  FragmentStore one;
  for (int n = 0; n < 1000; ++n) {
    f[8] = 255;
    f[9] = static_cast<uint8_t>(n % 255);
    f[20] = static_cast<uint8_t>(n / 255);
    f[10] = static_cast<uint8_t>(n / 255);  // header differs, so no duplicate
    one.add("127.0.0.1", 27015, f, {});
    ASSERT_LE(one.bytes(), FragmentStore::kMaxSetBytes);
  }
}

TEST(Fragments, Crc32AndBunzip2) {
  const Datagram check = FromText("123456789");
  EXPECT_EQ(Crc32(check), 0xCBF43926u);
  auto packed = SplitSource(check, 1, 1000, true);
  ASSERT_EQ(packed.size(), 1u);
  const Bytes stream = Bytes(packed[0]).subspan(20);
  EXPECT_EQ(Bunzip2(stream, 9), std::optional<std::vector<uint8_t>>(check));
  EXPECT_FALSE(Bunzip2(stream, 8));   // longer than promised
  EXPECT_FALSE(Bunzip2(stream, 10));  // shorter than promised
  EXPECT_FALSE(Bunzip2(stream, FragmentStore::kMaxReply + 1));
}

// ---- Split replies through the dispatcher ----

TEST_F(Modern, SplitRulesAndPlayersAreDecodedWhole) {
  // 300 rules: more than the classic count byte and the 3000-byte buffer hold.
  for (const Datagram& f : SplitSource(ManyRules(300), 0x157, 1248)) Receive(f);
  ASSERT_EQ(rules.size(), 300);
  EXPECT_EQ(rules.row(0).caption, "rule0");
  EXPECT_EQ(rules.row(299).caption, "rule299");
  EXPECT_EQ(rules.row(299).value, "v299");

  std::vector<Player> many;
  for (int i = 0; i < 120; ++i) many.push_back({"player" + std::to_string(i), i});
  const auto parts = SplitSource(PlayersReply(many), 0x84FF, 1000);
  for (size_t i = parts.size(); i-- > 0;) Receive(parts[i]);
  ASSERT_EQ(players.size(), 120);
  EXPECT_EQ(players.row(0).caption, "player119");  // ordered by frags
}

TEST_F(Modern, FragmentWhoseIdBeginsWithAnInfoOrPlayersLetterIsAFragment) {
  const auto parts = SplitSource(ManyRules(5), 'D' | 'I' << 8, 40);
  ASSERT_EQ(parts[0][4], 'D');
  for (const Datagram& f : parts) Receive(f);
  EXPECT_EQ(players.size(), 0);
  EXPECT_EQ(rules.size(), 5);
}

TEST_F(Modern, RulesReplyThatAnnouncesMoreThanItHoldsStopsAtItsEnd) {
  Receive(RulesReply(40, {{"a", "1"}, {"b", "2"}}));
  EXPECT_EQ(rules.size(), 2);
  Receive(RulesReply(1, {{"only", "x"}, {"extra", "y"}}));
  EXPECT_EQ(rules.size(), 1);
}

// ---- Info challenges ----

TEST_F(Modern, InfoChallengeIsAnsweredWithTheInfoQueryAndItsChallenge) {
  SendInfo();
  events.sent.clear();
  Receive(Challenge(1, 2, 3, 4));
  ASSERT_EQ(events.sent.size(), 1u);
  Datagram expected(d.queries().sourceInfo().begin(), d.queries().sourceInfo().end());
  expected.insert(expected.end(), {1, 2, 3, 4});
  EXPECT_EQ(events.sent[0].bytes, expected);
  EXPECT_EQ(events.sent[0].bytes.size(), 29u);
  EXPECT_EQ(events.sent[0].host, "127.0.0.1");
  EXPECT_EQ(events.sent[0].port, 27015);
  // The selection's challenge slot is not touched.
  EXPECT_EQ(d.queries().sourcePlayers()[5], 'S');
  Receive(Build(SourceInfo{}));
  EXPECT_EQ(servers.size(), 1);
}

TEST_F(Modern, ChallengeFlows) {
  struct Case {
    const char* what;
    std::function<void(Harness&)> before;
    std::vector<Datagram> challenges;
    std::vector<size_t> sentLengths;  // lengths of the answers, in order
  } cases[] = {
      {"three in a row for one info query, the fourth goes unanswered",
       [](Harness& m) { m.SendInfo(); },
       {Challenge(1, 1, 1, 1), Challenge(2, 2, 2, 2), Challenge(3, 3, 3, 3), Challenge(4, 4, 4, 4)},
       {29, 29, 29}},
      {"a server never queried", [](Harness&) {}, {Challenge(1, 2, 3, 4)}, {}},
      {"a query that has expired",
       [](Harness& m) {
         m.SendInfo();
         m.clock.t += QueryLog::kLifetime;
       },
       {Challenge(1, 2, 3, 4)},
       {}},
      {"the selection's queries get the classic answer",
       [](Harness& m) { m.SendSelection(); },
       {Challenge(5, 6, 7, 8)},
       {9, 9}},
      {"the info challenge's bytes again belong to the selection",
       [](Harness& m) {
         m.SendInfo();
         m.SendSelection();
       },
       {Challenge(1, 2, 3, 4), Challenge(1, 2, 3, 4)},
       {29, 9, 9}},
      {"a fresh info query starts the count again",
       [](Harness& m) {
         m.SendInfo();
         for (uint8_t c = 1; c <= 3; ++c) m.Receive(Challenge(c, 0, 0, 0));
         m.SendInfo();
       },
       {Challenge(9, 9, 9, 9)},
       {29}},
  };
  for (const Case& c : cases) {
    Harness m;
    c.before(m);
    m.events.sent.clear();
    for (const Datagram& g : c.challenges) m.Receive(g);
    std::vector<size_t> lengths;
    for (const auto& s : m.events.sent) lengths.push_back(s.bytes.size());
    EXPECT_EQ(lengths, c.sentLengths) << c.what;
    EXPECT_EQ(m.players.size() + m.rules.size(), 0) << c.what;
  }
}

TEST_F(Modern, BroadcastRespondersAreAnsweredAndTheLogStaysBounded) {
  d.queryLog().noteSent("127.255.255.255", 27015, d.queries().sourceInfo(), true);
  events.sent.clear();
  Receive(Challenge(1, 2, 3, 4), "127.0.0.9", 27015);
  ASSERT_EQ(events.sent.size(), 1u);
  EXPECT_EQ(events.sent[0].host, "127.0.0.9");
  Receive(Challenge(1, 2, 3, 4), "127.0.0.9", 27016);  // another port: not asked
  EXPECT_EQ(events.sent.size(), 1u);

  // A storm of challenges from many addresses never makes more entries than the cap.
  for (int i = 0; i < 20000; ++i)
    Receive(Challenge(9, 9, 9, 9), "127.1." + std::to_string(i / 250) + "." + std::to_string(i % 250), 27015);
  EXPECT_LE(d.queryLog().size(), QueryLog::kMaxAdopted + 2);
  // Without a broadcast they make none.
  clock.t += QueryLog::kLifetime;
  SendInfo("127.0.0.1", 1);
  for (int i = 0; i < 5000; ++i) Receive(Challenge(9, 9, 9, 9), "127.2.0." + std::to_string(i % 250), 27015);
  EXPECT_LE(d.queryLog().size(), QueryLog::kMaxAdopted + 3);
  // Once the storm's entries have expired, the next broadcast's responders are answered again.
  events.sent.clear();
  d.queryLog().noteSent("127.255.255.255", 27015, d.queries().sourceInfo(), true);
  Receive(Challenge(1, 2, 3, 4), "127.0.0.10", 27015);
  EXPECT_EQ(events.sent.size(), 1u);
}

TEST(QueryLogTest, LastInfoSentFollowsTheInfoQueriesOnly) {
  FakeClock clock;
  QueryLog log(clock.now());
  QueryBuffers q;
  EXPECT_FALSE(log.lastInfoSent("127.0.0.1", 27015));
  log.noteSent("127.0.0.1", 27015, q.oldInfo());
  log.noteSent("127.0.0.1", 27015, q.sourcePlayers());
  EXPECT_FALSE(log.lastInfoSent("127.0.0.1", 27015));
  const auto sentAt = clock.t;
  log.noteSent("127.0.0.1", 27015, q.sourceInfo());
  clock.t += 2s;
  EXPECT_EQ(log.lastInfoSent("127.0.0.1", 27015), sentAt);
  EXPECT_FALSE(log.lastInfoSent("127.0.0.1", 27016));
  clock.t += QueryLog::kLifetime;
  EXPECT_FALSE(log.lastInfoSent("127.0.0.1", 27015));

  // Expired entries are swept as new targets come: memory follows the live targets.
  for (int round = 0; round < 5; ++round) {
    for (int i = 0; i < 3000; ++i) log.noteSent("127.3." + std::to_string(i / 250) + "." + std::to_string(i % 250), 27015, q.sourceInfo());
    clock.t += QueryLog::kLifetime;
  }
  EXPECT_LE(log.size(), 6000u);
}

// ---- Classification of today's servers ----

TEST_F(Modern, AppIdsAndFoldersPlaceServersTheDescriptionsDoNot) {
  struct Case {
    uint16_t appId;
    std::string dir;
    uint8_t protocol;
    std::string code;
    int icon;
  } cases[] = {
      {10, "cstrike", 48, "1.6", 0},  {20, "tfc", 48, "TFC", 22},     {30, "dod", 48, "DOD", 18},
      {70, "valve", 48, "HL", 2},     {80, "czero", 48, "CZ", 1},     {240, "cstrike", 17, "CSS", 3},
      {300, "dod", 17, "DODS", 19},   {320, "hl2mp", 17, "DM", 5},    {440, "tf", 17, "TF2", 20},
      {4000, "garrysmod", 17, "GMOD", 18},
      // App id 0: the folder, read for the engine the protocol byte names.
      {0, "cstrike", 48, "1.6", 0},   {0, "cstrike", 17, "CSS", 3},   {0, "dod", 47, "DOD", 18},
      {0, "dod", 7, "DODS", 19},      {0, "tf", 17, "TF2", 20},
      // Outside the catalogue.
      {0, "bms", 17, "", -1},         {550, "left4dead2", 17, "", -1}, {0, "fof", 17, "", -1},
      {730, "csgo", 17, "", -1},
  };
  for (const Case& c : cases) {
    servers.clear();
    SourceInfo s;
    s.appId = c.appId;
    s.dir = c.dir;
    s.protocol = c.protocol;
    s.game = "|SgK| Clan";
    Receive(Build(s));
    if (c.code.empty()) {
      EXPECT_EQ(servers.size(), 0) << c.appId << " " << c.dir;
      continue;
    }
    ASSERT_EQ(servers.size(), 1) << c.appId << " " << c.dir;
    EXPECT_EQ(servers.row(0).text(0), c.code) << c.appId;
    EXPECT_EQ(servers.row(0).icon, c.icon) << c.appId;
  }
}

TEST_F(Modern, DescriptionTestsComeFirstAndFiltersApply) {
  SourceInfo s;
  s.appId = 440;  // TF2's app id, but the description says CS:S
  s.game = "Counter-Strike: Source";
  Receive(Build(s));
  ASSERT_EQ(servers.size(), 1);
  EXPECT_EQ(servers.row(0).text(0), "CSS");

  events.shownAll = false;
  events.hidden = GameFlag::CS16;
  SourceInfo cs;
  cs.appId = 10;
  cs.game = "Counter-Strike";
  Receive(Build(cs), "127.0.0.2");
  EXPECT_EQ(servers.size(), 1);

  // Switch off: the description alone decides, as it always did.
  d.setOptions({.modernServers = false});
  events.shownAll = true;
  Receive(Build(cs), "127.0.0.3");
  EXPECT_EQ(servers.size(), 1);
}

TEST_F(Modern, ServerAnsweringOneQueryWithBothInfoRepliesShowsOneRow) {
  GoldSrcInfo m;
  m.addr = "10.9.9.9:27016";  // the address it reports is not the one it answers from
  SourceInfo i;
  i.appId = 10;
  i.game = "Counter-Strike";
  i.protocol = 48;
  for (bool goldFirst : {true, false}) {
    servers.clear();
    SendInfo();
    if (goldFirst) Receive(Build(m)), Receive(Build(i));
    else Receive(Build(i)), Receive(Build(m));
    ASSERT_EQ(servers.size(), 1) << goldFirst;
    EXPECT_EQ(servers.row(0).text(0), "1.6");
  }
  // A later info query lists the server again.
  servers.clear();
  SendInfo();
  Receive(Build(i));
  EXPECT_EQ(servers.size(), 1);
}

// ---- Code pages ----

TEST(CodePages, NamesThatAreNotUtf8) {
  struct Case {
    std::string text;
    CodePage page;
    std::string shown;
  } cases[] = {
      {"\xD0\x9F\xD1\x80\xD0\xB8", CodePage::Windows1251, "\xD0\x9F\xD1\x80\xD0\xB8"},  // UTF-8 stays
      {"\xCF\xF0\xE8", CodePage::Windows1251, "\xD0\x9F\xD1\x80\xD0\xB8"},            // "При"
      {"caf\xE9", CodePage::Windows1252, "caf\xC3\xA9"},
      {"\x80", CodePage::Windows1252, "\xE2\x82\xAC"},                                 // euro sign
      {"\x81", CodePage::Windows1252, "\xEF\xBF\xBD"},                                 // undefined
      {"\x8A", CodePage::Windows1250, "\xC5\xA0"},                                     // S caron
      {"\x80", CodePage::Latin1, "\xC2\x80"},
      {"", CodePage::Windows1251, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ToUtf8(c.text, c.page), c.shown) << static_cast<int>(c.page);
  EXPECT_EQ(OfferedCodePage(1251), CodePage::Windows1251);
  EXPECT_EQ(OfferedCodePage(28591), kDefaultCodePage);  // Latin-1 is no choice of the user's
  EXPECT_EQ(OfferedCodePage(-5), kDefaultCodePage);
}

TEST_F(Modern, PlayerNamesKeepTheirBytes) {
  Receive(PlayersReply({{"\xCF\xF0\xE8", 3}}));
  ASSERT_EQ(players.size(), 1);
  EXPECT_EQ(players.row(0).caption, "\xCF\xF0\xE8");
}

}  // namespace
