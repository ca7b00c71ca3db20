// Qt models over the server list and panes: shown texts and icons, and a view's selection through changes.
#include <QItemSelectionModel>
#include <QTreeView>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "widgets/icons_qt.h"
#include "serverlist/list_models_qt.h"

namespace gavrix {
namespace {

struct Server {
  std::string game, name, address, port, map, players, os;
  int icon, osIcon, access;
};

void Add(ServerListModel& list, const Server& s) {
  int r = list.append(s.game, s.icon);
  for (const std::string& t : {s.name, s.address, s.port, std::string("48"), s.map, s.players, s.os})
    list.appendSub(r, t);
  list.setOsIcon(r, s.osIcon);
  list.appendSub(r, "");
  list.setAccessIcon(r, s.access);
}

qint64 IconKey(const QVariant& v) { return v.value<QIcon>().cacheKey(); }

QString Name(const QAbstractItemModel& m, int row) { return m.index(row, kColName).data().toString(); }

// The server named on the view's selected row, empty when none is selected.
QString SelectedName(const QTreeView& view) {
  const QModelIndexList rows = view.selectionModel()->selectedRows();
  return rows.size() == 1 ? Name(*view.model(), rows[0].row()) : QString();
}

TEST(ServerListQtModel, ShowsTextsIconsAndAlignmentPerColumn) {
  ServerListModel list;
  ServerListQtModel model(list);
  Add(list, {"1.6", "Caf\xe9", "127.0.0.5", "27015", "de_\xe2\x82\xac", "12/20", "WIN", 0, 13, 8});
  Add(list, {"DODS", "b", "127.0.0.6", "27016", "dod_anzio", "1/2", "LIN", 19, 14, -1});
  ASSERT_EQ(model.rowCount(), 2);
  ASSERT_EQ(model.columnCount(), 10);

  const char* const shown[10] = {"1.6", nullptr, "127.0.0.5", "27015", "48", nullptr, "12/20", "WIN", "", ""};
  for (int c = 0; c < 10; ++c) {
    QModelIndex i = model.index(0, c);
    if (shown[c]) {
      EXPECT_EQ(i.data().toString(), QString::fromUtf8(shown[c])) << c;
    }
    EXPECT_EQ(i.data(Qt::TextAlignmentRole).toInt(), c == 0 ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignCenter))
        << c;
  }
  // A text that is no UTF-8 reads as Latin-1; valid UTF-8 is shown as it is.
  EXPECT_EQ(Name(model, 0), QString::fromUtf8("Caf\xc3\xa9"));
  EXPECT_EQ(model.index(0, kColMap).data().toString(), QString::fromUtf8("de_\xe2\x82\xac"));

  const auto& icons = ServerIcons();
  struct Expect {
    int row, column, icon;  // icon -1: no decoration
  };
  for (const Expect& e : std::vector<Expect>{{0, 0, 0}, {0, 7, 13}, {0, 8, 8}, {1, 0, 19}, {1, 7, 14}, {1, 8, -1}}) {
    QVariant v = model.index(e.row, e.column).data(Qt::DecorationRole);
    if (e.icon < 0)
      EXPECT_FALSE(v.isValid()) << e.row << "," << e.column;
    else
      EXPECT_EQ(IconKey(v), icons[e.icon].cacheKey()) << e.row << "," << e.column;
  }
  for (int c : {1, 2, 3, 4, 5, 6}) EXPECT_FALSE(model.index(0, c).data(Qt::DecorationRole).isValid()) << c;
}

TEST(ServerListQtModel, HeaderCaptionsAndIcons) {
  ServerListModel list;
  ServerListQtModel model(list);
  const char* const caption[10] = {"Game", "Name", "Address", "Port", "PT", "Map", "", "OS", "A", "Ping"};
  const int icon[10] = {-1, 17, 16, -1, -1, 7, 11, 15, -1, -1};
  for (int c = 0; c < 10; ++c) {
    EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), QString::fromLatin1(caption[c])) << c;
    QVariant v = model.headerData(c, Qt::Horizontal, Qt::DecorationRole);
    if (icon[c] < 0)
      EXPECT_FALSE(v.isValid()) << c;
    else
      EXPECT_EQ(IconKey(v), ServerIcons()[icon[c]].cacheKey()) << c;
  }
}

TEST(ServerListQtModel, SubItemsAppearAsTheyAreAppendedAndSignalTheRow) {
  ServerListModel list;
  ServerListQtModel model(list);
  Add(list, {"HL", "first", "127.0.0.1", "27015", "crossfire", "0/8", "WIN", 2, 13, 8});
  std::vector<std::pair<int, int>> changed;  // (row, last column) of each dataChanged
  QObject::connect(&model, &QAbstractItemModel::dataChanged, &model,
                   [&](const QModelIndex& a, const QModelIndex& b) {
                     EXPECT_EQ(a.row(), b.row());
                     EXPECT_EQ(a.column(), 0);
                     changed.emplace_back(a.row(), b.column());
                   });
  int r = list.append("CZ", 1);
  EXPECT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.index(r, kColName).data().toString(), QString());
  list.appendSub(r, "second");
  EXPECT_EQ(model.index(r, kColName).data().toString(), QStringLiteral("second"));
  list.setAccessIcon(r, 10);
  ASSERT_EQ(changed.size(), 2u);
  EXPECT_EQ(changed[0], std::make_pair(1, 9));
  EXPECT_EQ(changed[1], std::make_pair(1, 9));
}

TEST(ServerListQtModel, PingColumnShowsMillisecondsAndSortsByNumberUnknownLast) {
  ServerListModel list;
  ServerListQtModel model(list);
  const int pings[] = {120, -1, 7, 999, 45};
  for (int i = 0; i < 5; ++i) {
    Add(list, {"CSS", "s" + std::to_string(i), "127.0.0.1", "27015", "m", "1/2", "LIN", 3, 14, 10});
    if (pings[i] >= 0) list.setPing(i, pings[i]);
  }
  EXPECT_EQ(model.index(0, kColPing).data().toString(), QStringLiteral("120"));
  EXPECT_EQ(model.index(1, kColPing).data().toString(), QString());  // unknown: empty
  list.sortByColumn(kColPing);
  QStringList order;
  for (int i = 0; i < 5; ++i) order << model.index(i, kColPing).data().toString();
  // By number, not as texts ("120" before "45"); the unknown one last.
  EXPECT_EQ(order, (QStringList{QStringLiteral("7"), QStringLiteral("45"), QStringLiteral("120"), QStringLiteral("999"),
                                QString()}));
}

TEST(ServerListQtModel, SelectionFollowsItsRowThroughSortRemoveAndAppend) {
  ServerListModel list;
  ServerListQtModel model(list);
  QTreeView view;
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.setModel(&model);
  Add(list, {"1.6", "delta", "127.0.0.4", "27015", "m", "1/2", "WIN", 0, 13, 8});
  Add(list, {"CSS", "alpha", "127.0.0.1", "5000", "m", "1/2", "LIN", 3, 14, 8});
  Add(list, {"HL", "charlie", "127.0.0.3", "27020", "m", "1/2", "WIN", 2, 13, 9});
  Add(list, {"DM", "bravo", "127.0.0.2", "27016", "m", "1/2", "LIN", 5, 14, 10});

  view.setCurrentIndex(model.index(2, 0));  // charlie
  ASSERT_EQ(SelectedName(view), QStringLiteral("charlie"));

  list.sortByColumn(kColName);
  EXPECT_EQ(Name(model, 0), QStringLiteral("alpha"));
  EXPECT_EQ(Name(model, 2), QStringLiteral("charlie"));
  EXPECT_EQ(SelectedName(view), QStringLiteral("charlie"));

  list.sortByColumn(kColPort);  // 27015, 27016, 27020, 5000: charlie moves to row 2
  EXPECT_EQ(SelectedName(view), QStringLiteral("charlie"));
  EXPECT_EQ(view.currentIndex().row(), 2);
  // The decorations moved with their rows.
  EXPECT_EQ(IconKey(model.index(2, 0).data(Qt::DecorationRole)), ServerIcons()[2].cacheKey());
  EXPECT_EQ(IconKey(model.index(2, 8).data(Qt::DecorationRole)), ServerIcons()[9].cacheKey());

  list.remove(0);
  EXPECT_EQ(SelectedName(view), QStringLiteral("charlie"));
  Add(list, {"TF2", "echo", "127.0.0.5", "1", "m", "1/2", "LIN", 20, 14, 8});
  EXPECT_EQ(model.rowCount(), 4);
  EXPECT_EQ(Name(model, 3), QStringLiteral("echo"));
  EXPECT_EQ(SelectedName(view), QStringLiteral("charlie"));

  view.setCurrentIndex(model.index(0, 0));
  ASSERT_FALSE(SelectedName(view).isEmpty());
  list.clear();
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_FALSE(view.selectionModel()->hasSelection());
}

TEST(ServerListQtModel, StopsObservingWhenDestroyed) {
  ServerListModel list;
  {
    ServerListQtModel model(list);
    Add(list, {"HL", "a", "127.0.0.1", "1", "m", "0/1", "WIN", 2, 13, 8});
  }
  Add(list, {"HL", "b", "127.0.0.2", "1", "m", "0/1", "WIN", 2, 13, 8});  // must not reach the dead model
  list.sortByColumn(kColName);
  list.clear();
  EXPECT_TRUE(list.empty());
}

TEST(PaneQtModel, CaptionsTextsAndSelectionThroughSort) {
  PaneModel pane;
  PaneQtModel model(pane, {QStringLiteral("NickName"), QStringLiteral("Frags")});
  QTreeView view;
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.setModel(&model);
  EXPECT_EQ(model.columnCount(), 2);
  EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("NickName"));
  EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Frags"));
  EXPECT_FALSE(model.headerData(2, Qt::Horizontal).isValid());

  pane.append("alpha", "-1");
  pane.append("Bravo", "10");
  pane.append("charlie", "9");
  EXPECT_EQ(model.index(1, 0).data().toString(), QStringLiteral("Bravo"));
  EXPECT_EQ(model.index(1, 1).data().toString(), QStringLiteral("10"));

  view.setCurrentIndex(model.index(0, 0));  // alpha, -1 frags
  pane.sort(CompareFrags);
  EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("Bravo"));
  ASSERT_EQ(view.selectionModel()->selectedRows().size(), 1);
  EXPECT_EQ(view.selectionModel()->selectedRows()[0].row(), 2);
  EXPECT_EQ(view.currentIndex().data().toString(), QStringLiteral("alpha"));

  pane.clear();
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_FALSE(view.selectionModel()->hasSelection());
}

}  // namespace
}  // namespace gavrix
