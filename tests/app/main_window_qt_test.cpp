// The main window end to end on loopback: the endpoint sends a query to a fake
// game server, its reply becomes a complete row, a challenge is answered with
// the exact 9-byte queries, and a conversion error reaches the error box.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QToolButton>
#include <QTreeView>

#include "support/fake_server.h"
#include "support/replies.h"
#include "support/scripted_boxes_qt.h"

using namespace gavrix;
using namespace gavrix::test;

TEST(MainWindow, ListsAServerAndAnswersItsChallenge) {
  ScriptedBoxes boxes;
  FakeServers fakes;
  SourceInfo info;
  info.name = "Loopback arena";
  info.map = "cs_office";
  info.players = 7;
  info.maxPlayers = 12;
  info.os = 'w';
  info.password = 1;
  int s = fakes.add("127.0.0.41", 0, [&](const Received& r) -> std::vector<Datagram> {
    if (r.bytes.size() >= 5 && r.bytes[4] == 'T') return {Build(info)};
    if (r.bytes.size() == 25 && r.bytes[4] == 'V') return {Challenge(0xDE, 0xAD, 0xBE, 0xEF)};
    return {};
  });
  fakes.start();
  TForm1 w(0);
  ASSERT_TRUE(w.sendQuery("127.0.0.41", fakes.port(s), w.dispatcher.queries().sourceInfo()));
  ASSERT_TRUE(PumpUntil([&] { return w.servers.size() == 1; }));
  const ServerRow& row = w.servers.row(0);
  std::vector<std::string> cols;
  for (int c = 0; c < kColumnCount; ++c) cols.push_back(row.text(c));
  EXPECT_EQ(cols, (std::vector<std::string>{"CSS", "Loopback arena", "127.0.0.41", std::to_string(fakes.port(s)), "17",
                                            "cs_office", "7/12", "WIN", ""}));
  EXPECT_EQ(row.icon, 3);
  EXPECT_EQ(row.osIcon, 13);
  EXPECT_EQ(row.accessIcon, 10);
  // The view shows the same texts and the three icons.
  QAbstractItemModel* m = w.ui.LW->model();
  EXPECT_EQ(m->data(m->index(0, 1)).toString(), QStringLiteral("Loopback arena"));
  EXPECT_FALSE(m->data(m->index(0, 0), Qt::DecorationRole).isNull());
  EXPECT_FALSE(m->data(m->index(0, 7), Qt::DecorationRole).isNull());
  EXPECT_FALSE(m->data(m->index(0, 8), Qt::DecorationRole).isNull());
  EXPECT_TRUE(w.ui.SBRefresh->isEnabled());  // a row listed outside a scan

  // A rules query draws a challenge; the answer is the two 9-byte queries.
  fakes.clearReceived();
  ASSERT_TRUE(w.sendQuery("127.0.0.41", fakes.port(s), w.dispatcher.queries().sourceRules()));
  ASSERT_TRUE(PumpUntil([&] { return fakes.count() == 3; }));
  auto got = fakes.receivedBy(s);
  EXPECT_EQ(got[1].bytes, (Datagram{0xFF, 0xFF, 0xFF, 0xFF, 'U', 0xDE, 0xAD, 0xBE, 0xEF}));
  EXPECT_EQ(got[2].bytes, (Datagram{0xFF, 0xFF, 0xFF, 0xFF, 'V', 0xDE, 0xAD, 0xBE, 0xEF}));
  EXPECT_TRUE(boxes.shown.empty());
}

TEST(MainWindow, ConversionErrorsGoToTheStandardErrorBox) {
  ScriptedBoxes boxes;
  FakeServers fakes;
  GoldSrcInfo g;
  g.addr = "127.0.0.42:q1";
  int s = fakes.add("127.0.0.42", 0, AnswerInfo(Build(g)));
  fakes.start();
  TForm1 w(0);
  for (int i = 0; i < 2; ++i) {
    w.sendQuery("127.0.0.42", fakes.port(s), w.dispatcher.queries().sourceInfo());
    ASSERT_TRUE(PumpUntil([&] { return w.servers.size() == i + 1; }));
  }
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Gavrix_v1.99 beta"));
  EXPECT_EQ(boxes.shown[0].text, QStringLiteral("'q1' is not a valid integer value."));
  EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Error);
}
