// Joining on the real window: Play and its questions, the password dialog, and
// auto-connect against fake game servers on loopback with a short poll.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include "app/main_window.h"
#include "launch/game_starter_qt.h"
#include "launch/join_dialogs_qt.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "settings/temp_folder.h"
#include "support/fake_server.h"
#include "support/replies.h"
#include "support/scripted_boxes_qt.h"
#include "widgets/tray_qt.h"

using namespace gavrix;
using namespace gavrix::test;

namespace {

struct Started {
  QString program;
  QStringList arguments;
  QString folder;
};

struct RecordingStarter : GameStarter {
  RecordingStarter() { SetStarter(this); }
  ~RecordingStarter() override { SetStarter(nullptr); }
  void start(const QString& program, const QStringList& arguments, const QString& folder) override {
    started.push_back({program, arguments, folder});
  }
  std::vector<Started> started;
};

QStringList Args(std::initializer_list<const char*> list) {
  QStringList l;
  for (const char* a : list) l << QString::fromUtf8(a);
  return l;
}

SourceInfo Server(uint8_t players, uint8_t password = 0) {
  SourceInfo s;
  s.players = players;
  s.maxPlayers = 16;
  s.password = password;
  return s;
}

struct Join : ::testing::Test {
  ScriptedBoxes boxes;
  RecordingStarter starter;
  FakeServers fakes;
  TempFolder folder;
  std::unique_ptr<IniFile> ini;
  Settings settings;
  QWidget dialog;
  std::unique_ptr<TForm1> w;
  std::unique_ptr<TFormPass> pass;
  std::unique_ptr<TFormAuto> autoDialog;

  void SetUp() override {
    settings.Broadcast = false;
    settings.ScanOld = false;
    settings.FavAutoScan = false;
    settings.launch[2] = {"/opt/games/hl_linux", "-game cstrike"};
    settings.launch[4] = {"/usr/bin/steam", "-applaunch 240"};
    ini = std::make_unique<IniFile>(folder.file("gavrix.ini"));
  }
  void Make() {
    fakes.start();
    w = std::make_unique<TForm1>(0);
    w->attachSettings(&settings, ini.get(), &dialog);
    pass = std::make_unique<TFormPass>(*ini);
    autoDialog = std::make_unique<TFormAuto>();
    w->join.attachDialogs(pass.get(), autoDialog.get());
    w->ui.TimerAuto->setInterval(40);
    w->show();
  }
  void TearDown() override {
    if (w) w->endpoint.close();
  }

  // A row as a decoder completes it.
  int AddRow(const std::string& code, const std::string& address, const std::string& port, int mark,
             const std::string& players = "3/16") {
    int r = w->servers.append(code, 0);
    for (const std::string& s : {std::string("name"), address, port, std::string("7"), std::string("map"), players,
                                 std::string("LIN"), std::string()})
      w->servers.appendSub(r, s);
    w->servers.setAccessIcon(r, mark);
    return r;
  }
  // Lists a fake server by asking it as the window does.
  void List(int server) {
    int before = w->servers.size();
    ASSERT_TRUE(w->sendInfoQueries(fakes.address(server), fakes.port(server)));
    bool listed = PumpUntil([&] { return w->servers.size() > before; });
    ASSERT_TRUE(listed);
  }
  // Starts watching the selected row: Auto, then OK with the given comparison and threshold.
  void Watch(const char* comparison, int threshold, bool ask = false, const char* password = nullptr) {
    w->SBAutoClick();
    ASSERT_TRUE(autoDialog->isVisible());
    autoDialog->CB->setCurrentText(QString::fromLatin1(comparison));
    autoDialog->SPNeed->setValue(threshold);
    autoDialog->CBAsk->setChecked(ask);
    autoDialog->CBPass->setChecked(password != nullptr);
    if (password) autoDialog->EditPass->setText(QString::fromLatin1(password));
    autoDialog->BitBtn1->click();
    ASSERT_TRUE(w->autoConnect());
  }
  QString Panel(int i) { return w->ui.SBar->panelText(i); }
  bool CaptionRed() { return w->ui.SBAuto->palette().color(QPalette::ButtonText) == Qt::red; }
};

TEST_F(Join, PlayStartsTheGameOfTheSelectedRowAndHides) {
  Make();
  AddRow("1.6", "10.0.0.5", "27015", icon::kOpen);
  AddRow("CSS", "10.0.0.6", "27016", icon::kOpen);
  AddRow("DOD", "10.0.0.7", "27015", icon::kOpen);
  AddRow("?", "10.0.0.8", "27015", icon::kOpen);
  AddRow("1.6", "10.0.0.9", "27015;quit", icon::kOpen);

  w->selectRow(0);
  w->SBPlayClick();
  ASSERT_EQ(starter.started.size(), 1u);
  EXPECT_EQ(starter.started[0].program, QStringLiteral("/opt/games/hl_linux"));
  EXPECT_EQ(starter.started[0].arguments, Args({"-game", "cstrike", "+connect", "10.0.0.5:27015"}));
  EXPECT_EQ(starter.started[0].folder, QDir::currentPath());
  EXPECT_FALSE(w->isVisible());

  // Steam as the executable, its parameters in front.
  w->show();
  w->selectRow(1);
  w->ui.Play->trigger();
  ASSERT_EQ(starter.started.size(), 2u);
  EXPECT_EQ(starter.started[1].program, QStringLiteral("/usr/bin/steam"));
  EXPECT_EQ(starter.started[1].arguments, Args({"-applaunch", "240", "+connect", "10.0.0.6:27016"}));

  // An empty path: the engine's message, nothing starts, the window stays.
  w->show();
  w->selectRow(2);
  w->SBPlayClick();
  EXPECT_EQ(starter.started.size(), 2u);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Error"));
  EXPECT_EQ(boxes.shown[0].text, QStringLiteral("HL .exe path is empty"));
  EXPECT_TRUE(w->isVisible());

  // A code on no line: nothing starts, the window hides all the same.
  w->selectRow(3);
  w->SBPlayClick();
  EXPECT_EQ(starter.started.size(), 2u);
  EXPECT_FALSE(w->isVisible());

  // A port text that is no port number never reaches a command line.
  w->show();
  w->selectRow(4);
  w->SBPlayClick();
  EXPECT_EQ(starter.started.size(), 2u);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].text, QStringLiteral("Bad address"));
  EXPECT_TRUE(w->isVisible());

  // No row selected: nothing at all.
  w->selectRow(-1);
  w->SBPlayClick();
  EXPECT_EQ(starter.started.size(), 2u);
  EXPECT_TRUE(w->isVisible());
}

TEST_F(Join, FullServerAsksFirst) {
  Make();
  AddRow("1.6", "10.0.0.5", "27015", icon::kFull);
  w->selectRow(0);
  boxes.answers = {false};
  w->SBPlayClick();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_TRUE(boxes.shown[0].question);
  EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Server is full.  Connect now ?"));
  EXPECT_TRUE(starter.started.empty());
  EXPECT_TRUE(w->isVisible());
  boxes.answers = {true};
  w->SBPlayClick();
  EXPECT_EQ(starter.started.size(), 1u);
  EXPECT_FALSE(w->isVisible());
}

TEST_F(Join, PasswordDialogAndThePasswordOfItsServer) {
  WriteFile(folder.file("gavrix.ini"), "[Password]\nLastPass=saved\nShowPass=0\n");
  ini = std::make_unique<IniFile>(folder.file("gavrix.ini"));
  Make();
  EXPECT_EQ(pass->MEPass->text(), QStringLiteral("saved"));
  EXPECT_EQ(pass->MEPass->echoMode(), QLineEdit::Password);
  pass->CBShowPass->setChecked(true);
  EXPECT_EQ(pass->MEPass->echoMode(), QLineEdit::Normal);

  AddRow("1.6", "10.0.0.5", "27015", icon::kPassword);
  AddRow("1.6", "10.0.0.6", "27015", icon::kOpen);
  w->selectRow(0);
  w->SBPlayClick();
  EXPECT_TRUE(pass->isVisible());
  EXPECT_TRUE(starter.started.empty());

  // An empty password confirms nothing.
  pass->MEPass->clear();
  pass->BitBtn1->click();
  EXPECT_TRUE(pass->isVisible());
  EXPECT_TRUE(starter.started.empty());

  // Cancel: nothing starts and the next Play asks again.
  pass->BitBtn2->click();
  EXPECT_FALSE(pass->isVisible());
  w->SBPlayClick();
  EXPECT_TRUE(pass->isVisible());

  pass->MEPass->setText(QStringLiteral("my \"big\" pass"));
  pass->BitBtn1->click();
  EXPECT_FALSE(pass->isVisible());
  ASSERT_EQ(starter.started.size(), 1u);
  EXPECT_EQ(starter.started[0].arguments,
            Args({"-game", "cstrike", "+connect", "10.0.0.5:27015", "+password", "my \"big\" pass"}));

  // Another server never gets that password; its own server does, without asking.
  w->show();
  w->selectRow(1);
  w->SBPlayClick();
  EXPECT_EQ(starter.started[1].arguments, Args({"-game", "cstrike", "+connect", "10.0.0.6:27015"}));
  w->show();
  w->selectRow(0);
  w->SBPlayClick();
  EXPECT_TRUE(pass->isVisible());  // the flag went with the last run: it asks again, pre-filled
  EXPECT_EQ(pass->MEPass->text(), QStringLiteral("my \"big\" pass"));
  pass->BitBtn1->click();
  EXPECT_EQ(starter.started[2].arguments.mid(4), Args({"+password", "my \"big\" pass"}));

  // The dialog's state is written when it goes.
  pass.reset();
  IniFile reread(folder.file("gavrix.ini"));
  EXPECT_EQ(reread.readString("Password", "LastPass", ""), "my \"big\" pass");
  EXPECT_TRUE(reread.readBool("Password", "ShowPass", false));
}

TEST_F(Join, AutoConnectJoinsAtTheThreshold) {
  struct Case {
    const char* comparison;
    uint8_t players;
    bool joins;
  } cases[] = {{"<=", 9, true}, {"<=", 10, false}, {">", 9, false}, {">", 10, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.comparison) + " " + std::to_string(c.players));
    FakeServers servers;
    int s = servers.add("127.4.0.1", 0, AnswerInfo(Build(Server(c.players))));
    servers.start();
    fakes.start();
    w = std::make_unique<TForm1>(0);
    w->attachSettings(&settings, ini.get(), &dialog);
    autoDialog = std::make_unique<TFormAuto>();
    w->join.attachDialogs(nullptr, autoDialog.get());
    w->ui.TimerAuto->setInterval(200);
    starter.started.clear();
    AddRow("CSS", "127.4.0.1", std::to_string(servers.port(s)), icon::kOpen, "12/16");
    w->selectRow(0);
    Watch(c.comparison, 9);
    EXPECT_EQ(Panel(2), QString::fromLatin1(" Autoconnect to 127.4.0.1. Waiting %1 9 players.").arg(
                            QString::fromLatin1(c.comparison)));
    EXPECT_TRUE(CaptionRed());
    EXPECT_TRUE(w->join.tray().cycling());
    EXPECT_FALSE(w->ui.SBScanAll->isEnabled());
    if (c.joins) {
      ASSERT_TRUE(PumpUntil([&] { return !starter.started.empty(); }));
      EXPECT_EQ(starter.started[0].arguments.last(),
                QString::fromStdString("127.4.0.1:" + std::to_string(servers.port(s))));
      EXPECT_FALSE(w->autoConnect());
      EXPECT_FALSE(CaptionRed());
      EXPECT_FALSE(w->join.tray().cycling());
      EXPECT_EQ(Panel(2), QStringLiteral(" Autoconnect disabled."));
      EXPECT_TRUE(w->ui.SBScanAll->isEnabled());
    } else {
      // Answers keep it waiting: five polls later it has not given up.
      ASSERT_TRUE(PumpUntil([&] { return servers.count() >= 2 + 5; }));
      EXPECT_TRUE(w->autoConnect());
      EXPECT_FALSE(w->ui.SBPlay->isEnabled());
      EXPECT_TRUE(starter.started.empty());
    }
    w.reset();
  }
}

TEST_F(Join, AServerThatNeverAnswersIsGivenUpAfterTheFourthPoll) {
  int silent = fakes.add("127.4.0.2", 0);
  Make();
  AddRow("CSS", "127.4.0.2", std::to_string(fakes.port(silent)), icon::kOpen);
  w->selectRow(0);
  for (int round = 0; round < 2; ++round) {
    boxes.shown.clear();
    w->selectRow(0);
    fakes.clearReceived();  // the selection's own queries
    Watch("<=", 9);
    ASSERT_TRUE(PumpUntil([&] { return !w->autoConnect(); }));
    EXPECT_EQ(fakes.count(), 4u);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Auto connect"));
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Server is not avalible, autoconnect disabled."));
    EXPECT_EQ(Panel(2), QStringLiteral(" Autoconnect disabled."));
    EXPECT_TRUE(w->ui.SBScanAll->isEnabled());
    EXPECT_TRUE(w->ui.SBRefresh->isEnabled());
    EXPECT_FALSE(w->join.tray().cycling());
    EXPECT_FALSE(CaptionRed());  // every stop ends every indicator
    // The list was emptied by the polls: put the row back for the next round.
    AddRow("CSS", "127.4.0.2", std::to_string(fakes.port(silent)), icon::kOpen);
  }
}

TEST_F(Join, TheJoinAsksAndActsOnTheRowOfTheReplyThatMetIt) {
  // The watched server answers; another server's reply is listed just before it.
  int other = fakes.add("127.4.0.4", 0, AnswerInfo(Build(Server(1))));
  int third = fakes.add("127.4.0.9", 0);
  int watched = fakes.add("127.4.0.3", 0);
  fakes.setResponder(watched, [this, other](const Received& r) {
    fakes.sendFrom(other, r.fromAddress, r.fromPort, Build(Server(15)));
    QThread::msleep(20);
    return std::vector<Datagram>{Build(Server(2))};
  });
  Make();
  // One poll before the join, even on a busy machine: a second one would empty the list.
  w->ui.TimerAuto->setInterval(400);
  AddRow("CSS", "127.4.0.3", std::to_string(fakes.port(watched)), icon::kOpen);
  w->selectRow(0);

  // A reply that arrives while the question is open is listed meanwhile.
  auto listedFrom = [this](const std::string& address) {
    for (int i = 0; i < w->servers.size(); ++i)
      if (w->servers.row(i).address() == address) return true;
    return false;
  };
  bool listedDuringBox = false;
  boxes.onBox = [this, third, &listedDuringBox, listedFrom] {
    fakes.sendFrom(third, "127.0.0.1", w->endpoint.localPort(), Build(Server(3)));
    listedDuringBox = PumpUntil([&] { return listedFrom("127.4.0.9"); });
  };
  boxes.answers = {false};
  Watch("<=", 4, /*ask=*/true);
  ASSERT_TRUE(PumpUntil([&] { return !w->autoConnect(); }));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Server 127.4.0.3 has 2 players now. Do you want to join ?"));
  EXPECT_EQ(boxes.beeps, 1);
  EXPECT_TRUE(listedDuringBox);
  // Declined: nothing starts, every indicator ends.
  EXPECT_TRUE(starter.started.empty());
  EXPECT_EQ(Panel(2), QStringLiteral(" Autoconnect disabled."));
  EXPECT_FALSE(w->join.tray().cycling());
  EXPECT_FALSE(CaptionRed());
  // The selected row is the watched server's, although another row came first.
  ASSERT_GE(w->selectedRow(), 0);
  EXPECT_EQ(w->servers.row(0).address(), "127.4.0.4");
  EXPECT_EQ(w->servers.row(w->selectedRow()).address(), "127.4.0.3");

  // Yes this time: the client joins the replying server.
  boxes.onBox = nullptr;
  boxes.shown.clear();
  w->selectRow(w->selectedRow());
  Watch("<=", 4, /*ask=*/true);
  ASSERT_TRUE(PumpUntil([&] { return !starter.started.empty(); }));
  EXPECT_EQ(starter.started[0].arguments.last(),
            QString::fromStdString("127.4.0.3:" + std::to_string(fakes.port(watched))));
  fakes.stop();
}

TEST_F(Join, APasswordGivenForAutoConnectJoinsWithoutAsking) {
  int s = fakes.add("127.4.0.5", 0, AnswerInfo(Build(Server(0, 1))));
  Make();
  AddRow("CSS", "127.4.0.5", std::to_string(fakes.port(s)), icon::kPassword);
  w->selectRow(0);
  Watch("<=", 9, false, "pw 1");
  ASSERT_TRUE(PumpUntil([&] { return !starter.started.empty(); }));
  EXPECT_FALSE(pass->isVisible());
  EXPECT_EQ(starter.started[0].arguments.mid(3),
            Args({("127.4.0.5:" + std::to_string(fakes.port(s))).c_str(), "+password", "pw 1"}));
}

TEST_F(Join, StopsByTheUserByPlayAndTheDialogsButtons) {
  settings.FavAutoScan = true;
  Make();
  AddRow("CSS", "127.4.0.6", "27015", icon::kOpen);
  AddRow("1.6", "127.4.0.7", "27016", icon::kOpen);
  w->selectRow(0);

  // Auto while watching: everything back, the favourites timer too.
  Watch("<=", 0);
  EXPECT_FALSE(w->ui.TimerFav->isActive());
  w->SBAutoClick();
  EXPECT_FALSE(w->autoConnect());
  EXPECT_FALSE(w->ui.TimerAuto->isActive());
  EXPECT_TRUE(w->ui.SBScanAll->isEnabled());
  EXPECT_TRUE(w->ui.SBRefresh->isEnabled());
  EXPECT_FALSE(CaptionRed());
  EXPECT_FALSE(w->join.tray().cycling());
  EXPECT_TRUE(w->ui.TimerFav->isActive());
  EXPECT_EQ(Panel(2), QStringLiteral(" Autoscan enabled"));

  // Play while watching joins the selected row with its own address and port.
  w->ui.SBRefresh->setEnabled(false);
  Watch("<=", 0);
  w->selectRow(1);
  w->SBPlayClick();
  EXPECT_FALSE(w->autoConnect());
  EXPECT_FALSE(w->ui.SBRefresh->isEnabled());
  EXPECT_TRUE(w->ui.SBScanAll->isEnabled());
  EXPECT_FALSE(CaptionRed());
  EXPECT_FALSE(w->join.tray().cycling());
  EXPECT_EQ(Panel(2), QStringLiteral(" Autoconnect disabled."));
  ASSERT_EQ(starter.started.size(), 1u);
  EXPECT_EQ(starter.started[0].arguments.last(), QStringLiteral("127.4.0.7:27016"));

  // Dialog presets, Cancel and the close button.
  w->show();
  w->selectRow(0);
  w->SBAutoClick();
  EXPECT_EQ(autoDialog->windowTitle(), QStringLiteral("Auto connect to 127.4.0.6"));
  EXPECT_EQ(autoDialog->SPNeed->maximum(), 16);
  EXPECT_EQ(autoDialog->SPNeed->value(), 2);
  EXPECT_EQ(Panel(2), QStringLiteral(" Autoscan disabled"));
  EXPECT_FALSE(w->ui.TimerFav->isActive());
  autoDialog->BitBtn2->click();
  EXPECT_FALSE(autoDialog->isVisible());
  EXPECT_TRUE(w->ui.TimerFav->isActive());
  w->SBAutoClick();
  autoDialog->close();
  EXPECT_FALSE(autoDialog->isVisible());
  EXPECT_FALSE(w->ui.TimerFav->isActive());
  EXPECT_EQ(w->join.autoConnect.state(), AutoState::Idle);

  // OK with no row selected beeps and keeps the dialog open.
  w->SBAutoClick();
  w->selectRow(-1);
  autoDialog->BitBtn1->click();
  EXPECT_EQ(boxes.beeps, 1);
  EXPECT_TRUE(autoDialog->isVisible());
  EXPECT_FALSE(w->autoConnect());
}

TEST_F(Join, RefreshIsEnabledByACompletedRowOnlyOutsideAScan) {
  int s = fakes.add("127.4.0.8", 0, AnswerInfo(Build(Server(1))));
  Make();
  w->scanningFlag = true;
  List(s);
  EXPECT_FALSE(w->ui.SBRefresh->isEnabled());
  w->scanningFlag = false;
  w->servers.clear();
  List(s);
  EXPECT_TRUE(w->ui.SBRefresh->isEnabled());
}

}  // namespace
