// The server list on the real window: ordering by a column, the queries a
// selection sends, the popup rule, the game picture, clicks, double clicks
// and the players pane's order.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "widgets/icons_qt.h"
#include "app/main_window.h"
#include "settings/settings.h"
#include "support/fake_server.h"
#include "support/scripted_boxes_qt.h"

using namespace gavrix;
using namespace gavrix::test;

namespace {

struct View : ::testing::Test {
  ScriptedBoxes boxes;
  FakeServers fakes;
  Settings settings;
  std::unique_ptr<TForm1> w;
  std::vector<unsigned> sleeps;
  int plays = 0;

  void Make() {
    fakes.start();
    w = std::make_unique<TForm1>(0);
    w->attachSettings(&settings, nullptr, nullptr);
    w->sleep = [this](unsigned ms) { sleeps.push_back(ms); };
    w->resize(900, 400);
    w->show();
  }
  // A complete row as the decoders leave it.
  void Row(const std::string& game, int icon, const std::string& name, const std::string& address,
           const std::string& port, const std::string& players = "1/10") {
    int r = w->servers.append(game, icon);
    for (const std::string& t : {name, address, port, std::string("47"), std::string("de_dust"), players,
                                 std::string("LIN"), std::string()})
      w->servers.appendSub(r, t);
  }
  std::vector<std::string> Column(int c) {
    std::vector<std::string> out;
    for (int i = 0; i < w->servers.size(); ++i) out.push_back(w->servers.row(i).text(c));
    return out;
  }
  QPoint RowCenter(int row) { return w->ui.LW->visualRect(w->ui.LW->model()->index(row, 1)).center(); }
};

TEST_F(View, HeaderClickSortsAscendingAsText) {
  Make();
  Row("css", 3, "bravo", "127.3.0.1", "5000", "9/20");
  Row("1.6", 0, "Alpha", "127.3.0.2", "27020", "12/20");
  Row("CSS", 3, "charlie", "127.3.0.3", "27015", "0/20");
  struct Case { int column; std::vector<std::string> want; } cases[] = {
      {kColPort, {"27015", "27020", "5000"}},
      {kColPort, {"27015", "27020", "5000"}},  // again: still ascending
      {kColPlayers, {"0/20", "12/20", "9/20"}},
      {kColName, {"Alpha", "bravo", "charlie"}},
  };
  for (const auto& c : cases) {
    w->LWColumnClick(c.column);
    EXPECT_EQ(Column(c.column), c.want) << "column " << c.column;
    EXPECT_EQ(w->serverList.sortColumn, c.column);
  }
  w->LWColumnClick(kColGame);
  EXPECT_EQ(Column(kColGame)[0], "1.6");
  // A row added later stands at the end until the next click.
  Row("1.5", 0, "aaa", "127.3.0.4", "1");
  EXPECT_EQ(w->servers.row(3).text(kColName), "aaa");
}

TEST_F(View, SelectionQueriesTheSelectedServer) {
  int a = fakes.add("127.3.1.1", 0);
  int b = fakes.add("127.3.1.2", 0);
  Make();
  Row("CSS", 3, "a", "127.3.1.1", std::to_string(fakes.port(a)));
  Row("HL", 2, "b", "127.3.1.2", std::to_string(fakes.port(b)));
  struct Case { bool scanOld; int row; int server; std::vector<char> types; std::vector<unsigned> sleeps; } cases[] = {
      {false, 0, a, {'V', 'U'}, {10, 5}},
      {true, 1, b, {'V', 'U', 'p', 'r'}, {10, 5, 10}},
  };
  for (const auto& c : cases) {
    settings.ScanOld = c.scanOld;
    fakes.clearReceived();
    sleeps.clear();
    w->selectRow(c.row);
    ASSERT_TRUE(PumpUntil([&] { return fakes.count() == c.types.size(); }));
    Pump(20);
    auto got = fakes.received();
    ASSERT_EQ(got.size(), c.types.size());
    std::vector<char> types;
    for (const auto& r : got) {
      EXPECT_EQ(r.server, c.server);
      types.push_back(static_cast<char>(r.bytes[4]));
    }
    EXPECT_EQ(types, c.types);
    EXPECT_EQ(got[0].bytes.size(), 25u);
    EXPECT_EQ(got[1].bytes.size(), 25u);
    EXPECT_EQ(sleeps, c.sleeps);
    EXPECT_TRUE(w->ui.SBPlay->isEnabled());
    EXPECT_TRUE(w->ui.SBAuto->isEnabled());
  }
  // A row whose port is no number: a network error, yet Play and Auto are enabled.
  Row("HL", 2, "bad", "127.3.1.3", "port");
  w->ui.SBPlay->setEnabled(false);
  fakes.clearReceived();
  w->selectRow(2);
  EXPECT_EQ(w->ui.SBar->panelText(2), QStringLiteral(" Network error..."));
  EXPECT_TRUE(w->ui.SBPlay->isEnabled());
  Pump(20);
  EXPECT_EQ(fakes.count(), 0u);
}

TEST_F(View, GamePictureFollowsTheRowIcon) {
  Make();
  struct Case { int icon, picture; } cases[] = {{22, 11}, {2, 2}, {18, 7}, {19, 8}, {20, 9}, {21, 10}, {0, 0}, {6, 6}};
  for (const auto& c : cases) {
    w->servers.clear();
    Row("X", c.icon, "x", "127.3.2.1", "0");
    w->selectRow(0);
    EXPECT_EQ(w->ui.Image->pixmap().toImage(), GamePicture(c.picture).toImage()) << "icon " << c.icon;
  }
}

TEST_F(View, ClicksOnTheListAndThePopupRule) {
  Make();
  Row("CSS", 3, "a", "127.3.3.1", "0");
  Row("CSS", 3, "b", "127.3.3.2", "0");

  QWidget* vp = w->ui.LW->viewport();
  auto contextMenu = [&](QPoint at) {
    QContextMenuEvent e(QContextMenuEvent::Mouse, at, vp->mapToGlobal(at));
    QApplication::sendEvent(vp, &e);
  };
  // A right press on a row selects it and the context menu opens.
  QTest::mousePress(vp, Qt::RightButton, {}, RowCenter(1));
  contextMenu(RowCenter(1));
  EXPECT_EQ(w->selectedRow(), 1);
  EXPECT_TRUE(w->ui.PMServers->isVisible());
  w->ui.PMServers->hide();
  QTest::mouseRelease(vp, Qt::RightButton, {}, RowCenter(1));
  // A selection change disarms: the next context request opens nothing.
  w->selectRow(0);
  contextMenu(RowCenter(0));
  EXPECT_FALSE(w->ui.PMServers->isVisible());
  // A left click on the empty part leaves no row selected and resets the details.
  w->players.append("p", "1");
  QPoint empty(10, vp->height() - 5);
  QTest::mouseClick(vp, Qt::LeftButton, {}, empty);
  ASSERT_TRUE(PumpUntil([&] { return !w->ui.SBPlay->isEnabled(); }));
  EXPECT_EQ(w->selectedRow(), -1);
  EXPECT_FALSE(w->ui.SBAuto->isEnabled());
  EXPECT_TRUE(w->ui.Image->pixmap().isNull());
  EXPECT_EQ(w->players.size(), 0);
  // A right press that leaves no row selected opens nothing.
  QTest::mousePress(vp, Qt::RightButton, {}, empty);
  contextMenu(empty);
  EXPECT_FALSE(w->ui.PMServers->isVisible());
  // While auto-connect is active the empty click leaves Auto enabled.
  w->join.autoConnect.watch({"127.0.0.1", "27015"}, 0);
  w->ui.SBAuto->setEnabled(true);
  w->LWClick();
  EXPECT_TRUE(w->ui.SBAuto->isEnabled());
}

TEST_F(View, PlayersPaneOrders) {
  Make();
  w->players.append("charlie", "9");
  w->players.append("alpha", "-1");
  w->players.append("Bravo", "10");
  w->LWPlayersColumnClick(0);
  EXPECT_EQ(w->players.row(0).caption, "alpha");
  EXPECT_EQ(w->players.row(1).caption, "Bravo");
  EXPECT_EQ(w->players.row(2).caption, "charlie");
  w->LWPlayersColumnClick(1);
  EXPECT_EQ(w->players.row(0).value, "10");
  EXPECT_EQ(w->players.row(1).value, "9");
  EXPECT_EQ(w->players.row(2).value, "-1");
}

}  // namespace
