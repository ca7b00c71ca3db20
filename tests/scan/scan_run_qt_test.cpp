// The scan run on the real window with fake game servers on loopback: what is
// sent to whom and in which order, pacing, stop, network errors, the wait
// countdown, the refresh and the favourites.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include "app/main_window.h"
#include "settings/settings.h"
#include "support/fake_server.h"
#include "support/loopback_net.h"
#include "support/replies.h"
#include "support/scripted_boxes_qt.h"
#include "util/local_address.h"

using namespace gavrix;
using namespace gavrix::test;

namespace {

const Datagram kSourceInfoQuery = [] {
  Datagram d = {0xFF, 0xFF, 0xFF, 0xFF};
  for (char c : std::string("TSource Engine Query")) d.push_back(static_cast<uint8_t>(c));
  d.push_back(0);
  return d;
}();
const Datagram kOldInfoQuery = {0xFF, 0xFF, 0xFF, 0xFF, 'i', 'n', 'f', 'o', 's', 't', 'r', 'i', 'n', 'g', 0};

SourceInfo Named(const std::string& name) {
  SourceInfo s;
  s.name = name;
  return s;
}

struct Scan : ::testing::Test {
  ScriptedBoxes boxes;
  FakeServers fakes;
  Settings settings;
  QWidget dialog;
  std::unique_ptr<TForm1> w;
  std::vector<unsigned> sleeps;
  std::function<void()> onPump;
  int pumps = 0;

  void SetUp() override {
    SetLocalAddressProvider([] { return std::string("127.0.0.1"); });
    settings.Broadcast = false;
    settings.ScanOld = false;
  }
  void TearDown() override { KeepNetworkOnLoopback(); }

  // Binds count fakes on base.1 .. base.count, all on one port; returns the port.
  uint16_t Farm(const std::string& base, int count, bool answer = true) {
    uint16_t port = 0;
    for (int i = 1; i <= count; ++i) {
      std::string addr = base + "." + std::to_string(i);
      int s = fakes.add(addr, port, answer ? AnswerInfo(Build(Named("srv " + addr))) : nullptr);
      port = fakes.port(s);
    }
    return port;
  }
  void Make() {
    fakes.start();
    w = std::make_unique<TForm1>(0);
    w->attachSettings(&settings, nullptr, &dialog);
    w->ui.RG->setItemIndex(kScanGamePort);
    w->sleep = [this](unsigned ms) { sleeps.push_back(ms); };
    w->pump = [this] {
      ++pumps;
      if (onPump) onPump();
      QCoreApplication::processEvents();
    };
    w->endpoint.setResolver([](const QString& name) -> std::optional<QHostAddress> {
      if (name == QStringLiteral("fav.local")) return QHostAddress(QStringLiteral("127.2.9.1"));
      return std::nullopt;
    });
  }
  QString Panel(int i) { return w->ui.SBar->panelText(i); }
};

TEST_F(Scan, FavouritesThenBroadcastThenRangesInOrder) {
  uint16_t rangePort = Farm("127.2.1", 3);
  int fav = fakes.add("127.2.9.1", 0, AnswerInfo(Build(Named("favourite"))));
  int bcast = fakes.add("127.2.255.255", rangePort);
  SetLocalAddressProvider([] { return std::string("127.2.7.7"); });
  settings.Broadcast = true;
  settings.ScanOld = true;
  settings.CSPort = std::to_string(rangePort);
  settings.favourites = {{"fav.local", std::to_string(fakes.port(fav))}};
  settings.ranges = {{true, "127.2.1.1", "127.2.1.3"}, {false, "127.2.1.1", "127.2.1.1"}};
  Make();
  w->SBScanAllClick();
  ASSERT_TRUE(PumpUntil([&] { return w->servers.size() == 4 && fakes.count() == 10; }));
  auto got = fakes.received();
  ASSERT_EQ(got.size(), 10u);  // two datagrams per target, broadcast included
  std::vector<int> order;
  for (const auto& r : got) order.push_back(r.server);
  EXPECT_EQ(order, (std::vector<int>{fav, fav, bcast, bcast, 0, 0, 1, 1, 2, 2}));
  for (size_t i = 0; i < got.size(); i += 2) {
    EXPECT_EQ(got[i].bytes, kSourceInfoQuery);
    EXPECT_EQ(got[i + 1].bytes, kOldInfoQuery);
  }
  EXPECT_EQ(Panel(0), QStringLiteral(" Scan complete"));
  EXPECT_EQ(Panel(1), QStringLiteral("5"));
  EXPECT_EQ(w->ui.Gauge->maxValue(), 4);  // the broadcast is not counted
  EXPECT_EQ(w->ui.Gauge->progress(), 4);
  EXPECT_EQ(pumps, 3 + 1 + 3);  // counting the ranges, then once per target
  for (int i = 0; i < w->servers.size(); ++i) EXPECT_GE(w->servers.row(i).ping, 0) << i;  // the Ping column
  // Waiting: Scan disabled, Stop disabled, Refresh enabled, port choice enabled.
  EXPECT_FALSE(w->ui.SBScanAll->isEnabled());
  EXPECT_FALSE(w->ui.SBStop->isEnabled());
  EXPECT_TRUE(w->ui.RG->isEnabled());
  EXPECT_TRUE(w->ui.Timer->isActive());
  EXPECT_FALSE(w->scanningFlag);
}

TEST_F(Scan, BroadcastGoesToEveryListedPortOfEveryAttachedNetwork) {
  // Two attached networks, one down, the loopback: all on 127.x through the seam.
  SetNetInterfaceProvider([] {
    return std::vector<NetInterface>{{"lo", "127.0.0.1", "", true, true, false},
                                     {"eth0", "127.3.1.7", "127.3.1.255", true, false, true},
                                     {"eth1", "127.3.3.7", "127.3.3.255", false, false, true},
                                     {"wlan0", "127.3.2.7", "127.3.2.255", true, false, true}};
  });
  const std::vector<uint16_t> ports = {27215, 27216, 27219};
  std::vector<int> expected;
  for (const char* net : {"127.3.1.255", "127.3.2.255"})
    for (uint16_t p : ports) {
      int s = fakes.add(net, p);
      expected.insert(expected.end(), {s, s});
    }
  const int down = fakes.add("127.3.3.255", 27215);
  const int scanPort = fakes.add("127.3.1.255", 27015);
  settings.Broadcast = true;
  settings.ScanOld = true;
  settings.BroadcastPorts = "27215-27216, 27219";
  settings.CSPort = "27015";
  Make();
  w->SBScanAllClick();
  ASSERT_TRUE(PumpUntil([&] { return fakes.count() == expected.size(); }));
  Pump(30);
  auto got = fakes.received();
  std::vector<int> order;
  for (const auto& r : got) order.push_back(r.server);
  EXPECT_EQ(order, expected);
  for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i].bytes, i % 2 ? kOldInfoQuery : kSourceInfoQuery);
  EXPECT_TRUE(fakes.receivedBy(down).empty());
  EXPECT_TRUE(fakes.receivedBy(scanPort).empty());  // the list replaces the scan port
  EXPECT_EQ(Panel(1), QStringLiteral("1"));  // one step, counted once
  EXPECT_EQ(Panel(0), QStringLiteral(" Scan complete"));
  EXPECT_EQ(Panel(2), QString());

  // A stored text that is no port list fails the step like a bad scan port.
  settings.BroadcastPorts = "27215-";
  fakes.clearReceived();
  w->ui.SBScanAll->setEnabled(true);
  w->SBScanAllClick();
  EXPECT_EQ(Panel(2), QStringLiteral(" Network error..."));
  Pump(30);
  EXPECT_EQ(fakes.count(), 0u);
}

TEST_F(Scan, HltvPortChoiceAndFavouritesOnTheirOwnPorts) {
  uint16_t hltv = Farm("127.2.2", 2);
  int fav = fakes.add("127.2.2.9", 0);
  settings.CSPort = "1";
  settings.HLTVPort = std::to_string(hltv);
  settings.favourites = {{"127.2.2.9", std::to_string(fakes.port(fav))}};
  settings.ranges = {{true, "127.2.2.1", "127.2.2.2"}};
  Make();
  w->ui.RG->setItemIndex(kScanHltvPort);
  w->SBScanAllClick();
  ASSERT_TRUE(PumpUntil([&] { return fakes.count() == 3; }));
  EXPECT_EQ(fakes.receivedBy(fav).size(), 1u);
  EXPECT_EQ(fakes.receivedBy(0).size(), 1u);
  EXPECT_EQ(fakes.receivedBy(1).size(), 1u);
}

TEST_F(Scan, DelayIsSleptAroundEachSend) {
  uint16_t port = Farm("127.2.3", 2, false);
  int fav = fakes.add("127.2.3.9", 0);
  settings.CSPort = std::to_string(port);
  settings.favourites = {{"127.2.3.9", std::to_string(fakes.port(fav))}};
  settings.ranges = {{true, "127.2.3.1", "127.2.3.2"}};
  struct Case { int delay; std::vector<unsigned> want; } cases[] = {
      {5, {2, 2, 5, 5}}, {1, {0, 0, 1, 1}}, {0, {0, 0, 0, 0}}, {30, {15, 15, 30, 30}}};
  Make();
  for (const auto& c : cases) {
    settings.Delay = c.delay;
    sleeps.clear();
    w->ui.SBScanAll->setEnabled(true);
    w->SBScanAllClick();
    EXPECT_EQ(sleeps, c.want) << "Delay " << c.delay;
  }
}

TEST_F(Scan, PreconditionsWarnAndOpenTheSettings) {
  Make();
  struct Case { bool ranges, favs, broadcast; std::string cs, hltv; int choice; const char* text; } cases[] = {
      {false, false, false, "27015", "27020", 0,
       "IP ranges, Favorites list is empty and Broadcast is disabled. Please set it in Options."},
      {true, false, false, "", "27020", 0, "Game port is empty. Please set it in Options."},
      {false, true, false, "27015", "", 1, "HLTV port is empty. Please set it in Options."},
      {false, false, true, "", "", -1, nullptr},
  };
  for (const auto& c : cases) {
    settings.ranges.clear();
    settings.favourites.clear();
    if (c.ranges) settings.ranges = {{false, "127.2.4.1", "127.2.4.1"}};
    if (c.favs) settings.favourites = {{"127.2.4.9", "1"}};
    settings.Broadcast = c.broadcast;
    settings.CSPort = c.cs;
    settings.HLTVPort = c.hltv;
    w->ui.RG->setItemIndex(c.choice);
    boxes.shown.clear();
    dialog.hide();
    w->ui.Gauge->setProgress(50);
    w->ui.SBScanAll->setEnabled(true);
    w->SBScanAllClick();
    EXPECT_EQ(w->ui.Gauge->progress(), 0);
    if (!c.text) {
      EXPECT_TRUE(boxes.shown.empty());
      continue;
    }
    ASSERT_EQ(boxes.shown.size(), 1u) << c.text;
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(boxes.shown[0].text, QString::fromUtf8(c.text));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(w->ui.SBScanAll->isEnabled());
  }
}

TEST_F(Scan, StopDuringTheCountAndDuringTheSends) {
  uint16_t port = Farm("127.2.5", 5, false);
  settings.CSPort = std::to_string(port);
  settings.ranges = {{true, "127.2.5.1", "127.2.5.5"}};
  Make();
  // During the count: the first range target is still sent.
  onPump = [&] {
    if (pumps == 2) w->SBStopClick();
  };
  w->SBScanAllClick();
  EXPECT_EQ(Panel(0), QStringLiteral(" Scan stoped."));
  EXPECT_EQ(Panel(1), QStringLiteral("0"));  // the target that noticed the stop is not counted
  ASSERT_TRUE(PumpUntil([&] { return fakes.count() == 1; }));
  EXPECT_EQ(fakes.received()[0].server, 0);
  EXPECT_FALSE(w->scanningFlag);
  EXPECT_TRUE(w->ui.Timer->isActive());
  // During the sends: stop at the second target's pump.
  fakes.clearReceived();
  pumps = 0;
  onPump = [&] {
    if (pumps == 5 + 2) w->SBStopClick();
  };
  w->ui.SBScanAll->setEnabled(true);
  w->SBScanAllClick();
  EXPECT_EQ(Panel(0), QStringLiteral(" Scan stoped."));
  EXPECT_EQ(Panel(1), QStringLiteral("2"));
  Pump(50);
  EXPECT_EQ(fakes.count(), 3u);
}

TEST_F(Scan, NetworkErrorsEndTheRun) {
  uint16_t port = Farm("127.2.6", 2, false);
  settings.CSPort = std::to_string(port);
  settings.ranges = {{true, "127.2.6.1", "127.2.6.2"}};
  Make();
  for (const char* bad : {"unknown.name", "127.2.6.1"}) {
    settings.favourites = {{bad, std::string(bad) == "unknown.name" ? std::to_string(port) : "70000"}};
    fakes.clearReceived();
    w->ui.SBScanAll->setEnabled(true);
    w->ui.SBar->setPanelText(2, QString());
    w->SBScanAllClick();
    EXPECT_EQ(Panel(0), QStringLiteral(" Scan stoped.")) << bad;
    EXPECT_EQ(Panel(2), QStringLiteral(" Network error...")) << bad;
    EXPECT_FALSE(w->ui.SBStop->isEnabled());
    Pump(30);
    EXPECT_EQ(fakes.count(), 0u) << bad;
  }
  // A broadcast that fails goes on to the first range target and ends there.
  settings.favourites.clear();
  settings.Broadcast = true;
  SetLocalAddressProvider([] { return std::string(); });
  w->ui.SBScanAll->setEnabled(true);
  w->SBScanAllClick();
  EXPECT_EQ(Panel(0), QStringLiteral(" Scan stoped."));
  ASSERT_TRUE(PumpUntil([&] { return fakes.count() == 1; }));
}

TEST_F(Scan, WaitCountdownCaptions) {
  settings.Broadcast = false;
  settings.ranges = {{false, "127.2.7.1", "127.2.7.1"}};
  Make();
  w->SBScanAllClick();
  EXPECT_EQ(Panel(0), QStringLiteral(" Scan complete"));
  EXPECT_EQ(w->ui.Gauge->maxValue(), 0);
  ASSERT_TRUE(w->ui.Timer->isActive());
  w->ui.Timer->stop();
  QStringList captions;
  for (int i = 0; i < 4; ++i) {
    w->TimerTimer();
    captions << w->ui.SBScanAll->text();
  }
  EXPECT_EQ(captions, (QStringList{QStringLiteral("Wait 3"), QStringLiteral("Wait 2"), QStringLiteral("Wait 1"),
                                   QStringLiteral("Scan")}));
  EXPECT_TRUE(w->ui.SBScanAll->isEnabled());
  // A run that starts during a countdown ends it and shows "Scan" again.
  w->NetworkError();
  w->TimerTimer();
  ASSERT_EQ(w->ui.SBScanAll->text(), QStringLiteral("Wait 3"));
  w->SBScanAllClick();
  EXPECT_EQ(w->ui.SBScanAll->text(), QStringLiteral("Scan"));
  EXPECT_EQ(w->waitCountdown, 3);
  // While auto-connect holds the button it stays disabled after the countdown.
  w->ui.SBScanAll->setEnabled(false);
  w->join.autoConnect.watch({"127.0.0.1", "27015"}, 0);
  w->waitCountdown = 0;
  w->TimerTimer();
  EXPECT_FALSE(w->ui.SBScanAll->isEnabled());
}

TEST_F(Scan, RunEmptiesTheListAndThePlayersPaneOnly) {
  settings.ranges = {{false, "127.2.11.1", "127.2.11.1"}};
  Make();
  int r = w->servers.append("CSS", 3);
  w->servers.appendSub(r, "x");
  w->selectRow(0);
  w->players.append("p", "1");
  w->rules.append("sv_gravity", "800");
  w->SBScanAllClick();
  EXPECT_EQ(w->servers.size(), 0);
  EXPECT_EQ(w->players.size(), 0);
  EXPECT_EQ(w->rules.size(), 1);
  EXPECT_FALSE(w->ui.SBPlay->isEnabled());
}

TEST_F(Scan, RefreshQueriesTheRememberedServers) {
  uint16_t port = Farm("127.2.8", 3);
  settings.CSPort = std::to_string(port);
  settings.ranges = {{true, "127.2.8.1", "127.2.8.3"}};
  Make();
  w->SBScanAllClick();
  ASSERT_TRUE(PumpUntil([&] { return w->servers.size() == 3; }));
  // One server stops answering: the next refresh still asks all three.
  fakes.setResponder(1, nullptr);
  fakes.clearReceived();
  sleeps.clear();
  w->SBRefreshClick();
  EXPECT_EQ(sleeps, std::vector<unsigned>{300});
  EXPECT_EQ(Panel(0), QStringLiteral(" Refresh complete"));
  ASSERT_TRUE(PumpUntil([&] { return w->servers.size() == 2 && fakes.count() == 3; }));
  EXPECT_EQ(w->refreshList.size(), 3u);
  Pump(30);
  EXPECT_EQ(w->servers.size(), 2);
  // A list grown beyond the refresh list replaces it, in display order.
  w->refreshList.resize(1);
  fakes.clearReceived();
  w->SBRefreshClick();
  ASSERT_EQ(w->refreshList.size(), 2u);
  ASSERT_TRUE(PumpUntil([&] { return fakes.count() == 2; }));
  // An entry with a bad port is a network error; the others are still queried.
  w->refreshList = {{"127.2.8.1", "bad"}, {"127.2.8.3", std::to_string(port)}};
  fakes.clearReceived();
  w->servers.clear();
  w->SBRefreshClick();
  EXPECT_EQ(Panel(2), QStringLiteral(" Network error..."));
  ASSERT_TRUE(PumpUntil([&] { return fakes.count() == 1; }));
  EXPECT_EQ(fakes.received()[0].server, 2);
}

TEST_F(Scan, AFavouriteFromTheListNeedsAUsablePort) {
  Make();
  for (const char* port : {"q1", "0", "70000", ""}) {
    w->servers.clear();
    int r = w->servers.append("1.6", 0);
    for (const std::string& sub : {std::string("name"), std::string("127.2.12.1"), std::string(port)})
      w->servers.appendSub(r, sub);
    w->selectRow(0);
    boxes.shown.clear();
    w->PMSAddClick();
    EXPECT_TRUE(settings.favourites.empty()) << port;
    ASSERT_EQ(boxes.shown.size(), 1u) << port;
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Error"));
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Bad port"));
  }
}

TEST_F(Scan, FavouritesAddAndAutoScanTick) {
  int a = fakes.add("127.2.10.1", 0, AnswerInfo(Build(Named("a"))));
  int b = fakes.add("127.2.10.2", 0, AnswerInfo(Build(Named("b"))));
  Make();
  w->sendQuery("127.2.10.1", fakes.port(a), w->dispatcher.queries().sourceInfo());
  ASSERT_TRUE(PumpUntil([&] { return w->servers.size() == 1; }));
  w->selectRow(0);
  int changed = 0;
  w->favouritesChanged = [&] { ++changed; };
  w->PMSAddClick();
  w->PMSAddClick();
  ASSERT_EQ(settings.favourites.size(), 1u);
  EXPECT_EQ(changed, 1);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Error"));
  EXPECT_EQ(boxes.shown[0].text, QStringLiteral("This address is already exist"));
  EXPECT_EQ(settings.favourites[0].host, "127.2.10.1");

  settings.favourites.push_back({"127.2.10.2", std::to_string(fakes.port(b))});
  settings.UpdInterval = 7;
  w->ui.TimerFav->setInterval(200);
  fakes.clearReceived();
  w->TimerFavTimer();
  EXPECT_EQ(Panel(0), QStringLiteral(" Autoscan..."));
  EXPECT_EQ(w->ui.TimerFav->interval(), 7000);
  ASSERT_TRUE(PumpUntil([&] { return w->servers.size() == 2; }));
  // With the Scan button held (auto-connect) a tick only empties the list.
  w->ui.SBScanAll->setEnabled(false);
  fakes.clearReceived();
  w->TimerFavTimer();
  EXPECT_EQ(w->servers.size(), 0);
  Pump(30);
  EXPECT_EQ(fakes.count(), 0u);
}

TEST_F(Scan, FavouritesTickDuringARunOrItsWaitIsSkipped) {
  uint16_t port = Farm("127.2.12", 3);
  int fav = fakes.add("127.2.13.1", 0, AnswerInfo(Build(Named("fav"))));
  settings.CSPort = std::to_string(port);
  settings.ranges = {{true, "127.2.12.1", "127.2.12.3"}};
  settings.UpdInterval = 7;
  Make();
  settings.favourites = {};  // the run itself queries no favourite
  w->ui.TimerFav->setInterval(200);
  // Ticks while the run sends: after its first target, and once rows are listed.
  int ticks = 0;
  onPump = [&] {
    if (!w->scanningFlag || w->ui.Gauge->progress() == 0) return;
    settings.favourites = {{"127.2.13.1", std::to_string(fakes.port(fav))}};
    w->TimerFavTimer();
    settings.favourites.clear();
    ++ticks;
  };
  w->SBScanAllClick();
  onPump = nullptr;
  EXPECT_EQ(ticks, 3);
  ASSERT_TRUE(PumpUntil([&] { return w->servers.size() == 3; }));
  // Then in the wait countdown, the Scan button disabled.
  settings.favourites = {{"127.2.13.1", std::to_string(fakes.port(fav))}};
  ASSERT_TRUE(w->ui.Timer->isActive());
  ASSERT_FALSE(w->ui.SBScanAll->isEnabled());
  const QString panel = Panel(0);
  w->TimerFavTimer();
  EXPECT_EQ(w->servers.size(), 3);
  EXPECT_EQ(Panel(0), panel);
  EXPECT_EQ(w->ui.TimerFav->interval(), 200);
  Pump(30);
  EXPECT_TRUE(fakes.receivedBy(fav).empty());
  EXPECT_EQ(w->servers.size(), 3);
  EXPECT_EQ(Panel(0), QStringLiteral(" Scan complete"));
}

}  // namespace
