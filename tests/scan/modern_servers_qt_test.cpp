// The real window against fake servers on loopback that behave as servers do
// today: they answer every query with a challenge first and split their rules
// and players replies.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <array>

#include "app/main_window.h"
#include "launch/game_starter_qt.h"
#include "launch/join_dialogs_qt.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "settings/temp_folder.h"
#include "support/fake_server.h"
#include "support/replies.h"
#include "support/scripted_boxes_qt.h"
#include "util/local_address.h"

using namespace gavrix;
using namespace gavrix::test;

namespace {

constexpr std::array<uint8_t, 4> kChallenge = {0x4B, 0xA1, 0xD5, 0x22};

// Info, players and rules each need the challenge after the query; the
// players and rules replies come split.
FakeServers::Responder Demanding(const std::string& name) {
  SourceInfo info;
  info.name = name;
  info.game = "Custom TF2 description";
  info.appId = 440;
  info.dir = "tf";
  std::vector<Player> many;
  for (int i = 0; i < 40; ++i) many.push_back({"p" + std::to_string(i), i});
  const Datagram infoReply = Build(info), playersReply = PlayersReply(many), rulesReply = ManyRules(300);
  return [=](const Received& r) -> std::vector<Datagram> {
    const Datagram& q = r.bytes;
    if (q.size() < 9 || q[0] != 0xFF) return {};
    auto challenged = [&](size_t at) {
      return q.size() >= at + 4 && std::equal(kChallenge.begin(), kChallenge.end(), q.begin() + static_cast<std::ptrdiff_t>(at));
    };
    const Datagram challenge = Challenge(kChallenge[0], kChallenge[1], kChallenge[2], kChallenge[3]);
    switch (q[4]) {
      case 'T': return {challenged(25) ? infoReply : challenge};
      case 'U': return challenged(5) ? SplitSource(playersReply, 0x84FF, 300) : std::vector<Datagram>{challenge};
      case 'V': return challenged(5) ? SplitSource(rulesReply, 0x157, 1248) : std::vector<Datagram>{challenge};
      default: return {};
    }
  };
}

struct TodaysServers : ::testing::Test {
  ScriptedBoxes boxes;
  FakeServers fakes;
  Settings settings;
  QWidget dialog;
  std::unique_ptr<TForm1> w;

  void SetUp() override {
    SetLocalAddressProvider([] { return std::string("127.3.7.7"); });
    settings.Broadcast = false;
    settings.ScanOld = false;
  }
  void TearDown() override { SetLocalAddressProvider([] { return std::string("127.0.0.1"); }); }
  void Make() {
    fakes.start();
    w = std::make_unique<TForm1>(0);
    w->attachSettings(&settings, nullptr, &dialog);
    w->ui.RG->setItemIndex(kScanGamePort);
    w->sleep = [](unsigned) {};
    w->pump = [] { QCoreApplication::processEvents(); };
    w->endpoint.setResolver([](const QString& name) -> std::optional<QHostAddress> {
      if (name == QStringLiteral("fav.local")) return QHostAddress(QStringLiteral("127.3.9.1"));
      return std::nullopt;
    });
  }
  size_t Received(char type) {
    size_t n = 0;
    for (const auto& r : fakes.received()) n += r.bytes.size() > 4 && r.bytes[4] == type;
    return n;
  }
};

TEST_F(TodaysServers, ChallengingServersAreListedByEverySenderAndThePanesFollowTheSelection) {
  int r1 = fakes.add("127.3.1.1", 0, Demanding("range one"));
  const uint16_t port = fakes.port(r1);
  fakes.add("127.3.1.2", port, Demanding("range two"));
  fakes.add("127.3.255.255", port, Demanding("broadcast"));
  int fav = fakes.add("127.3.9.1", 0, Demanding("favourite"));
  settings.Broadcast = true;
  settings.CSPort = std::to_string(port);
  settings.favourites = {{"fav.local", std::to_string(fakes.port(fav))}};
  settings.ranges = {{true, "127.3.1.1", "127.3.1.2"}};
  Make();

  // Scan: favourite (by host name), broadcast, range.
  w->SBScanAllClick();
  ASSERT_TRUE(PumpUntil([&] { return w->servers.size() == 4; }));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(w->servers.row(i).text(0), "TF2");
  // An info challenge asks for nothing else: the panes stay empty.
  Pump(50);
  EXPECT_EQ(Received('U') + Received('V'), 0u);
  EXPECT_EQ(w->players.size() + w->rules.size(), 0);
  EXPECT_TRUE(w->dispatcher.queryLog().lastInfoSent("127.3.9.1", fakes.port(fav)));

  // Refresh.
  w->SBRefreshClick();
  ASSERT_TRUE(PumpUntil([&] { return w->servers.size() == 4; }));

  // Favourites tick.
  w->ui.SBScanAll->setEnabled(true);
  w->TimerFavTimer();
  EXPECT_EQ(w->servers.size(), 0);
  ASSERT_TRUE(PumpUntil([&] { return w->servers.size() == 1; }));
  EXPECT_EQ(w->servers.row(0).text(1), "favourite");

  // Selecting the row: the challenge of the players and rules queries gets the
  // classic answer, and the split replies fill both panes.
  w->selectRow(0);
  ASSERT_TRUE(PumpUntil([&] { return w->rules.size() == 300 && w->players.size() == 40; }));
  EXPECT_EQ(w->rules.row(299).caption, "rule299");
}

// Records the game starts instead of starting anything.
struct RecordingStarter : GameStarter {
  RecordingStarter() { SetStarter(this); }
  ~RecordingStarter() override { SetStarter(nullptr); }
  void start(const QString&, const QStringList& arguments, const QString&) override { started.push_back(arguments); }
  std::vector<QStringList> started;
};

TEST_F(TodaysServers, AutoConnectPollsAServerThatDemandsTheChallenge) {
  RecordingStarter starter;
  TempFolder folder;
  IniFile ini(folder.file("gavrix.ini"));
  int s = fakes.add("127.3.3.1", 0, Demanding("watched"));
  settings.launch[10] = {"/opt/games/tf2", "-game tf"};
  Make();
  TFormPass pass(ini);
  TFormAuto autoDialog;
  w->join.attachDialogs(&pass, &autoDialog);
  w->ui.TimerAuto->setInterval(40);
  ASSERT_TRUE(w->sendInfoQueries("127.3.3.1", fakes.port(s)));
  ASSERT_TRUE(PumpUntil([&] { return w->servers.size() == 1; }));
  w->selectRow(0);
  // Watch for at most 9 players: the server has 5, so the first answered poll joins.
  w->SBAutoClick();
  ASSERT_TRUE(autoDialog.isVisible());
  autoDialog.CB->setCurrentText(QStringLiteral("<="));
  autoDialog.SPNeed->setValue(9);
  autoDialog.CBAsk->setChecked(false);
  autoDialog.CBPass->setChecked(false);
  fakes.clearReceived();
  autoDialog.BitBtn1->click();
  ASSERT_TRUE(PumpUntil([&] { return !starter.started.empty(); }));
  EXPECT_EQ(starter.started[0].last(), QString::fromStdString("127.3.3.1:" + std::to_string(fakes.port(s))));
  // The poll's info query drew a challenge, answered with the 29-byte query.
  bool answered = false;
  for (const auto& r : fakes.received()) answered = answered || (r.bytes.size() == 29 && r.bytes[4] == 'T');
  EXPECT_TRUE(answered);
}

TEST_F(TodaysServers, SwitchOffKeepsTheClassicAnswerAndListsNothing) {
  int s = fakes.add("127.3.2.1", 0, Demanding("challenging"));
  settings.CSPort = std::to_string(fakes.port(s));
  settings.ranges = {{true, "127.3.2.1", "127.3.2.1"}};
  settings.ModernServers = false;
  Make();
  w->SBScanAllClick();
  // The info challenge is answered with the 9-byte players and rules queries.
  ASSERT_TRUE(PumpUntil([&] { return Received('U') == 1 && Received('V') == 1; }));
  Pump(50);
  EXPECT_EQ(w->servers.size(), 0);
  for (const auto& r : fakes.received()) {
    if (r.bytes[4] == 'U' || r.bytes[4] == 'V') {
      EXPECT_EQ(r.bytes.size(), 9u);
    }
  }
  EXPECT_EQ(Received('T'), 1u);
}

}  // namespace
