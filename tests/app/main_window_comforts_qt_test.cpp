// Comforts of the main window on the real widgets: tooltips of cut-off cells,
// the access mark and the headers; menu mnemonics; F5, Escape and Enter; Tab
// over the buttons; the selected server's address on the clipboard.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>
#include <set>

#include "app/main_window.h"
#include "launch/game_starter_qt.h"
#include "query/catalogue.h"
#include "settings/settings.h"
#include "support/scripted_boxes_qt.h"

using namespace gavrix;
using namespace gavrix::test;

namespace {

QString L(const char* text) { return QString::fromUtf8(text); }

// The window shown and active, without settings: Scan then does nothing, so no key here sends a datagram.
struct Comforts : ::testing::Test {
  void SetUp() override {
    w.resize(900, 400);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  }
  void Row(const std::string& name, const std::string& address, const std::string& port, const std::string& map,
           int access) {
    const int r = w.servers.append("CSS", 3);
    for (const std::string& t : {name, address, port, std::string("17"), map, std::string("1/10"), std::string("LIN"),
                                 std::string()})
      w.servers.appendSub(r, t);
    w.servers.setAccessIcon(r, access);
  }
  // The tooltip a pause of the mouse over pos of a list's viewport shows; empty for none.
  static QString TipAt(QWidget* viewport, QPoint pos) {
    QToolTip::hideText();
    PumpUntil([] { return !QToolTip::isVisible(); });
    QHelpEvent help(QEvent::ToolTip, pos, viewport->mapToGlobal(pos));
    QApplication::sendEvent(viewport, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  }
  QString CellTip(int row, int column) {
    return TipAt(w.ui.LW->viewport(), w.ui.LW->visualRect(w.ui.LW->model()->index(row, column)).center());
  }
  QString HeaderTip(int column) {
    QHeaderView* h = w.ui.LW->header();
    return TipAt(h->viewport(), QPoint(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2));
  }
  void key(Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(QApplication::focusWidget(), k, m); }

  ScriptedBoxes boxes;
  TForm1 w{0};
};

TEST_F(Comforts, TooltipsShowCutOffTextsTheAccessMarkAndWhatHeadersHold) {
  const std::string longName(120, 'n'), longMap = "de_" + std::string(80, 'm');
  Row("Short", "127.3.0.1", "27015", "de_dust", icon::kOpen);
  Row(longName, "127.3.0.2", "27016", longMap, icon::kFull);
  Row("Short", "127.3.0.3", "27017", "de_dust", icon::kPassword);
  Row("Short", "127.3.0.4", "27018", "de_dust", -1);
  struct Case {
    int row, column;
    QString tip;
  } cases[] = {
      {0, kColName, {}},  // shown whole: no tooltip
      {0, kColMap, {}},
      {0, kColAddress, {}},
      {1, kColName, QString::fromStdString(longName)},
      {1, kColMap, QString::fromStdString(longMap)},
      {0, kColAccess, L("Open")},
      {1, kColAccess, L("Full")},
      {2, kColAccess, L("Password")},
      {3, kColAccess, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(CellTip(c.row, c.column), c.tip) << c.row << "/" << c.column;

  // An address cut off in its column (here by a large font) shows whole too.
  QFont large = w.ui.LW->font();
  large.setPixelSize(30);
  w.ui.LW->setFont(large);
  EXPECT_EQ(CellTip(0, kColAddress), L("127.3.0.1"));

  EXPECT_EQ(HeaderTip(kColPlayers), L("Players"));
  EXPECT_EQ(HeaderTip(kColOS), L("Operating system"));
  EXPECT_EQ(HeaderTip(kColPT), L("Protocol version"));
  EXPECT_EQ(HeaderTip(kColName), QString());
}

TEST_F(Comforts, MenusHaveMnemonics) {
  const std::vector<QList<QAction*>> menus = {w.ui.MainMenu->actions(), w.ui.File1->actions(), w.ui.Info1->actions()};
  for (const QList<QAction*>& menu : menus) {
    std::set<int> keys;
    for (QAction* a : menu) {
      const QKeySequence mnemonic = QKeySequence::mnemonic(a->text());
      ASSERT_FALSE(mnemonic.isEmpty()) << a->text().toStdString();
      EXPECT_TRUE(keys.insert(mnemonic[0].toCombined()).second) << a->text().toStdString();
    }
  }
  // Options acts on its key as on a click.
  QSignalSpy options(w.ui.Options1, &QAction::triggered);
  QTest::keyClick(&w, Qt::Key_O, Qt::AltModifier);
  EXPECT_TRUE(PumpUntil([&] { return options.count() == 1; }));
}

TEST_F(Comforts, F5AndEscapeClickScanAndStopOnlyWhileEnabled) {
  QSignalSpy scan(w.ui.SBScanAll, &QToolButton::clicked);
  QSignalSpy stop(w.ui.SBStop, &QToolButton::clicked);
  w.ui.LW->setFocus();
  ASSERT_FALSE(w.ui.SBStop->isEnabled());
  key(Qt::Key_Escape);
  key(Qt::Key_F5);
  EXPECT_TRUE(PumpUntil([&] { return scan.count() == 1; }));
  w.ui.SBScanAll->setEnabled(false);
  w.ui.SBStop->setEnabled(true);
  key(Qt::Key_F5);
  key(Qt::Key_Escape);
  EXPECT_TRUE(PumpUntil([&] { return stop.count() == 1; }));
  Pump(300);  // a click comes a moment after its key
  EXPECT_EQ(scan.count(), 1);
  EXPECT_EQ(stop.count(), 1);
}

// Records the game clients Play would start.
struct Starts : GameStarter {
  Starts() { SetStarter(this); }
  ~Starts() override { SetStarter(nullptr); }
  void start(const QString&, const QStringList& arguments, const QString&) override { started << arguments.join(u' '); }
  QStringList started;
};

TEST_F(Comforts, EnterOnASelectedRowPlaysWhilePlayIsEnabled) {
  Starts starts;
  Settings settings;
  settings.Broadcast = false;
  for (LaunchEntry& e : settings.launch) e.exePath = "/games/client";
  w.attachSettings(&settings, nullptr, nullptr);
  Row("Arena", "127.3.0.1", "27015", "de_dust", icon::kOpen);
  w.ui.LW->setFocus();
  key(Qt::Key_Return);  // no row selected
  w.selectRow(0);
  w.ui.SBPlay->setEnabled(false);
  key(Qt::Key_Enter);
  EXPECT_TRUE(starts.started.isEmpty());
  w.ui.SBPlay->setEnabled(true);
  key(Qt::Key_Return);
  ASSERT_EQ(starts.started.size(), 1);
  EXPECT_TRUE(starts.started[0].endsWith(L("+connect 127.3.0.1:27015"))) << starts.started[0].toStdString();
  w.attachSettings(nullptr, nullptr, nullptr);
}

TEST_F(Comforts, TabReachesTheFiveButtons) {
  for (QToolButton* b : {w.ui.SBScanAll, w.ui.SBStop, w.ui.SBRefresh, w.ui.SBAuto, w.ui.SBPlay}) b->setEnabled(true);
  w.ui.LW->setFocus();
  std::set<QWidget*> reached;
  for (int i = 0; i < 20; ++i) {
    key(Qt::Key_Tab);
    reached.insert(QApplication::focusWidget());
  }
  for (QToolButton* b : {w.ui.SBScanAll, w.ui.SBStop, w.ui.SBRefresh, w.ui.SBAuto, w.ui.SBPlay})
    EXPECT_TRUE(reached.count(b)) << b->text().toStdString();
  // A click still leaves the focus where it was.
  w.ui.LW->setFocus();
  QTest::mouseClick(w.ui.SBScanAll, Qt::LeftButton);
  EXPECT_EQ(QApplication::focusWidget(), w.ui.LW);
}

TEST_F(Comforts, CtrlCAndThePopupCopyTheSelectedAddress) {
  Row("One", "127.3.0.1", "27015", "de_dust", icon::kOpen);
  Row("Two", "127.3.0.2", "27020", "de_dust", icon::kOpen);
  QApplication::clipboard()->setText(L("before"));
  w.ui.LW->setFocus();
  key(Qt::Key_C, Qt::ControlModifier);  // no row selected: nothing to copy
  EXPECT_EQ(QApplication::clipboard()->text(), L("before"));
  w.selectRow(1);
  key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), L("127.3.0.2:27020"));

  EXPECT_TRUE(w.ui.PMServers->actions().contains(w.ui.PMSCopy));
  EXPECT_EQ(w.ui.PMSCopy->text(), L("Copy address"));
  EXPECT_EQ(w.ui.PMSCopy->shortcut(), QKeySequence(QKeySequence::Copy));
  w.selectRow(0);
  w.ui.PMSCopy->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), L("127.3.0.1:27015"));
}

}  // namespace
