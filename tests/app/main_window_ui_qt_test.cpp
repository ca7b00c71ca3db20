// Main window controls: captions, hints, starting states, column widths; the gauge, the radio group, the pictures.
#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "widgets/gauge_qt.h"
#include "widgets/icons_qt.h"
#include "app/main_window_ui.h"
#include "query/server_list.h"
#include "serverlist/list_models_qt.h"
#include "serverlist/pane.h"

namespace gavrix {
namespace {

// Captions as shown: a mnemonic's '&' marks its key and is not shown.
QStringList Texts(const QList<QAction*>& actions) {
  QStringList out;
  for (QAction* a : actions) out << QString(a->text()).remove(u'&');
  return out;
}

QString L(const char* text) { return QString::fromUtf8(text); }

int Sum(const QHeaderView* h) {
  int total = 0;
  for (int i = 0; i < h->count(); ++i) total += h->sectionSize(i);
  return total;
}

struct Window {
  Window() {
    ui.setupUi(&window);
    ui.attachModels(servers, players, rules);
  }
  ServerListModel servers;
  PaneModel players, rules;
  QMainWindow window;
  MainWindowUi ui;
};

TEST(MainWindowUi, CaptionsHintsAndStartingStates) {
  Window w;
  MainWindowUi& ui = w.ui;
  EXPECT_EQ(w.window.windowTitle(), L("Gavrix_v1.99 beta"));
  EXPECT_EQ(w.window.size(), QSize(680, 351));
  EXPECT_EQ(w.window.minimumSize(), QSize(680, 175));

  EXPECT_EQ(Texts(ui.MainMenu->actions()), (QStringList{L("File"), L("Options"), L("Info")}));
  EXPECT_EQ(Texts(ui.File1->actions()), (QStringList{L("Hide  (Shift+Alt+S)"), L("Exit")}));
  EXPECT_EQ(Texts(ui.Info1->actions()), (QStringList{L("About"), L("Home page...")}));
  EXPECT_EQ(ui.Options1->menu(), nullptr);  // acts on click
  EXPECT_TRUE(ui.MainMenu->actions().contains(ui.Options1));
  EXPECT_EQ(Texts(ui.PMServers->actions()), (QStringList{L("Play"), L("Auto connect"), L("Add To Favorites"), L("Copy address")}));
  EXPECT_EQ(Texts(ui.PMTray->actions()), (QStringList{L("Show  (Shift+Alt+S)"), L("Exit")}));

  struct Button {
    QToolButton* button;
    const char* caption;
    const char* hint;
    bool enabled;
  };
  for (const Button& b : std::vector<Button>{{ui.SBScanAll, "Scan", "Scan all IP ranges", true},
                                             {ui.SBStop, "Stop", "Stop scanning", false},
                                             {ui.SBRefresh, "RF", "Refresh current servers", false},
                                             {ui.SBAuto, "Auto", "ON/OFF Autoconnect", false},
                                             {ui.SBPlay, "Play", "Join to server", false}}) {
    EXPECT_EQ(b.button->text(), L(b.caption));
    EXPECT_EQ(b.button->toolTip(), L(b.hint)) << b.caption;
    EXPECT_EQ(b.button->isEnabled(), b.enabled) << b.caption;
  }

  EXPECT_EQ(ui.RG->title(), L("Scan port:"));
  ASSERT_EQ(ui.RG->count(), 2);
  EXPECT_EQ(ui.RG->button(0)->text(), L("G a m e"));
  EXPECT_EQ(ui.RG->button(1)->text(), L("HLTV"));

  for (auto [timer, interval] : std::vector<std::pair<QTimer*, int>>{
           {ui.Timer, 1000}, {ui.TimerFav, 10000}, {ui.TimerAuto, 5000}}) {
    EXPECT_EQ(timer->interval(), interval);
    EXPECT_FALSE(timer->isActive()) << interval;
  }

  EXPECT_EQ(ui.PageControl->tabText(0), L("Players"));
  EXPECT_EQ(ui.PageControl->tabText(1), L("Rules"));
  EXPECT_EQ(ui.PageControl->widget(0), ui.LWPlayers);
  EXPECT_EQ(ui.LWPlayers->model()->headerData(0, Qt::Horizontal).toString(), L("NickName"));
  EXPECT_EQ(ui.LWPlayers->model()->headerData(1, Qt::Horizontal).toString(), L("Frags"));
  EXPECT_EQ(ui.LWRules->model()->headerData(0, Qt::Horizontal).toString(), L("Rule"));
  EXPECT_EQ(ui.LWRules->model()->headerData(1, Qt::Horizontal).toString(), L("Value"));
  EXPECT_TRUE(ui.LWPlayers->header()->sectionsClickable());
  EXPECT_FALSE(ui.LWRules->header()->sectionsClickable());
  EXPECT_TRUE(ui.LW->header()->sectionsClickable());

  for (QTreeView* list : {ui.LW, ui.LWPlayers, ui.LWRules}) {
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(list->rootIsDecorated());
  }
  EXPECT_EQ(ui.LW->contextMenuPolicy(), Qt::CustomContextMenu);
  EXPECT_EQ(ui.LW->model(), ui.LWModel);

  EXPECT_EQ(ui.Image->size(), QSize(32, 32));
  ui.setGamePicture(11);
  EXPECT_EQ(ui.Image->pixmap().cacheKey(), GamePicture(11).cacheKey());
  ui.setGamePicture(12);
  EXPECT_TRUE(ui.Image->pixmap().isNull());
}

TEST(MainWindowUi, RegionSizesAndStatusPanels) {
  Window w;
  MainWindowUi& ui = w.ui;
  w.window.show();
  QApplication::processEvents();
  EXPECT_EQ(ui.BottomBar->height(), 47);
  EXPECT_EQ(ui.PageControl->width(), 168);
  // The bar sits under the server list, the panes beside both.
  EXPECT_EQ(ui.BottomBar->mapTo(&w.window, QPoint(0, 0)).x(), ui.LW->mapTo(&w.window, QPoint(0, 0)).x());
  EXPECT_GT(ui.BottomBar->mapTo(&w.window, QPoint(0, 0)).y(), ui.LW->mapTo(&w.window, QPoint(0, 0)).y());
  EXPECT_GT(ui.PageControl->mapTo(&w.window, QPoint(0, 0)).x(), ui.BottomBar->mapTo(&w.window, QPoint(0, 0)).x());

  for (QTreeView* pane : {ui.LWRules, ui.LWPlayers}) {  // the panes' columns fill their width
    ui.PageControl->setCurrentWidget(pane);
    QApplication::processEvents();
    EXPECT_EQ(Sum(pane->header()), pane->viewport()->width());
  }

  EXPECT_EQ(ui.SBar->panel(0)->width(), 105);
  EXPECT_EQ(ui.SBar->panel(1)->width(), 50);
  EXPECT_GE(ui.SBar->panel(2)->width(), 50);
  EXPECT_TRUE(ui.SBar->panel(1)->alignment() & Qt::AlignHCenter);
  ui.SBar->setPanelText(2, L(" Network error..."));
  ui.SBar->setPanelText(1, L("12"));
  EXPECT_EQ(ui.SBar->panelText(2), L(" Network error..."));
  EXPECT_EQ(ui.SBar->panelText(1), L("12"));
  EXPECT_EQ(ui.SBar->panelText(0), QString());
  EXPECT_EQ(ui.SBar->panelText(3), QString());
  // Texts longer than the last panel's 50 pixels stay whole.
  ui.SBar->setPanelText(2, L(" Autoconnect disabled."));
  QApplication::processEvents();
  EXPECT_GE(ui.SBar->panel(2)->width(), ui.SBar->panel(2)->sizeHint().width());
}

TEST(MainWindowUi, ServerListColumnWidthsKeepTheirRanges) {
  Window w;
  QHeaderView* h = w.ui.LW->header();
  ASSERT_EQ(h->count(), 10);
  w.window.show();
  QApplication::processEvents();

  const std::vector<std::pair<int, int>> fixedStart = {{0, 55}, {3, 45}, {4, 26}, {6, 40}, {7, 55}, {8, 16}, {9, 30}};
  for (auto [col, width] : fixedStart) EXPECT_EQ(h->sectionSize(col), width) << col;
  const int viewport = w.ui.LW->viewport()->width();
  EXPECT_EQ(Sum(h), viewport);  // the fill columns take exactly the free width
  EXPECT_GE(h->sectionSize(1), 70);
  EXPECT_GE(h->sectionSize(2), 90);
  EXPECT_LE(h->sectionSize(2), 110);
  EXPECT_GE(h->sectionSize(5), 60);
  EXPECT_LE(h->sectionSize(5), 100);

  // Wide: Address and Map stop at their maximum, Name takes the rest.
  w.window.resize(1000, 400);
  QApplication::processEvents();
  EXPECT_EQ(h->sectionSize(2), 110);
  EXPECT_EQ(h->sectionSize(5), 100);
  EXPECT_EQ(Sum(h), w.ui.LW->viewport()->width());

  // Columns dragged past their range stop at its ends; the fill columns give or take the difference.
  struct Drag {
    int column, to, kept;
  };
  for (const Drag& d : std::vector<Drag>{{0, 100, 60}, {0, 10, 45}, {3, 80, 50}, {4, 2, 10}, {6, 60, 50}, {7, 5, 16}}) {
    h->resizeSection(d.column, d.to);
    EXPECT_EQ(h->sectionSize(d.column), d.kept) << d.column;
    EXPECT_EQ(Sum(h), w.ui.LW->viewport()->width()) << d.column;
  }
  EXPECT_EQ(h->sectionResizeMode(8), QHeaderView::Fixed);

  // Emptying the list keeps the widths.
  const int name = h->sectionSize(1);
  w.servers.append("HL", 2);
  w.servers.clear();
  EXPECT_EQ(h->sectionSize(0), 45);
  EXPECT_EQ(h->sectionSize(1), name);
}

TEST(MainWindowUi, ModelsMayGoBeforeOrAfterTheWindow) {
  {
    ServerListModel servers;
    PaneModel players, rules;
    auto* window = new QMainWindow;
    MainWindowUi ui;
    ui.setupUi(window);
    ui.attachModels(servers, players, rules);
    ui.LW->setCurrentIndex(ui.LWModel->index(servers.append("HL", 2), 0));
    delete window;
  }
  {
    ServerListModel servers;
    PaneModel players, rules;
    QMainWindow window;
    auto ui = std::make_unique<MainWindowUi>();
    ui->setupUi(&window);
    ui->attachModels(servers, players, rules);
    ui->LW->setCurrentIndex(ui->LWModel->index(servers.append("HL", 2), 0));
    ui.reset();
    servers.append("CZ", 1);  // no observer left
    auto* lw = window.findChild<QTreeView*>(QStringLiteral("LW"));
    ASSERT_NE(lw, nullptr);
    EXPECT_EQ(lw->model(), nullptr);  // the view fell back to no model
    window.show();
    QApplication::processEvents();
  }
}

TEST(MainWindowUi, SelectionIsDroppedWhenItsRowGoes) {
  Window w;
  int lost = 0;
  QObject::connect(w.ui.LW->selectionModel(), &QItemSelectionModel::selectionChanged, &w.window,
                   [&](const QItemSelection&, const QItemSelection& deselected) { lost += !deselected.isEmpty(); });
  for (int i = 0; i < 3; ++i) w.servers.append("HL", 2);
  w.ui.LW->setCurrentIndex(w.ui.LWModel->index(1, 0));
  w.servers.remove(0);  // another row: the selection stays on its row
  ASSERT_EQ(w.ui.LW->selectionModel()->selectedRows().size(), 1);
  EXPECT_EQ(w.ui.LW->selectionModel()->selectedRows()[0].row(), 0);
  EXPECT_EQ(lost, 0);

  // The selected row: nothing is selected afterwards, not the next row, and
  // no selection change is reported for it.
  w.servers.remove(0);
  EXPECT_FALSE(w.ui.LW->selectionModel()->hasSelection());
  EXPECT_FALSE(w.ui.LW->currentIndex().isValid());
  EXPECT_EQ(lost, 0);

  w.ui.LW->setCurrentIndex(w.ui.LWModel->index(0, 0));
  w.servers.clear();
  EXPECT_FALSE(w.ui.LW->selectionModel()->hasSelection());
  EXPECT_EQ(lost, 0);
}

TEST(RadioGroup, ChoiceAndSignals) {
  RadioGroup rg(L("Scan port:"), {L("G a m e"), L("HLTV")});
  std::vector<int> clicked, changed;
  QObject::connect(&rg, &RadioGroup::itemClicked, &rg, [&](int i) { clicked.push_back(i); });
  QObject::connect(&rg, &RadioGroup::itemIndexChanged, &rg, [&](int i) { changed.push_back(i); });
  EXPECT_EQ(rg.itemIndex(), -1);
  rg.setItemIndex(1);
  EXPECT_EQ(rg.itemIndex(), 1);
  rg.setItemIndex(-1);
  EXPECT_EQ(rg.itemIndex(), -1);
  rg.setItemIndex(5);
  EXPECT_EQ(rg.itemIndex(), -1);
  EXPECT_TRUE(clicked.empty());
  EXPECT_EQ(changed, (std::vector<int>{1, -1}));
  changed.clear();
  rg.button(0)->click();
  rg.button(0)->click();
  EXPECT_EQ(rg.itemIndex(), 0);
  EXPECT_EQ(clicked, (std::vector<int>{0, 0}));
  EXPECT_EQ(changed, (std::vector<int>{0}));
}

TEST(Gauge, ProgressStaysInRangeAndPercentRoundsDown) {
  struct Case {
    int max, progress, add;  // set the maximum, then the progress, then add
    int wantProgress, wantPercent;
  };
  const std::vector<Case> cases = {
      {100, 50, 0, 50, 50},     {100, 150, 0, 100, 100}, {100, -5, 0, 0, 0},       {3, 1, 0, 1, 33},
      {3, 2, 0, 2, 66},         {0, 10, 0, 0, 0},        {255, 254, 0, 254, 99},   {100, 99, 5, 100, 100},
      {10, 0, -3, 0, 0},        {-4, 1, 0, 0, 0},        {2000000000, 1999999999, 0, 1999999999, 99},
      {2000000000, 1999999999, 2000000000, 2000000000, 100},
  };
  for (const Case& c : cases) {
    Gauge g;
    EXPECT_EQ(g.maxValue(), 100);
    g.setMaxValue(c.max);
    g.setProgress(c.progress);
    g.addProgress(c.add);
    EXPECT_EQ(g.progress(), c.wantProgress) << c.max << " " << c.progress << " " << c.add;
    EXPECT_EQ(g.percent(), c.wantPercent) << c.max << " " << c.progress << " " << c.add;
  }
  Gauge g;
  g.setProgress(80);
  g.setMaxValue(40);  // a lower maximum cuts the progress
  EXPECT_EQ(g.progress(), 40);
  g.setMaxValue(400);
  EXPECT_EQ(g.progress(), 40);
  EXPECT_EQ(g.percent(), 10);
}

TEST(Pictures, CountsSizesAndDistinctGlyphs) {
  const auto& icons = ServerIcons();
  ASSERT_EQ(icons.size(), 23);
  std::set<QByteArray> seen;
  for (int i = 0; i < icons.size(); ++i) {
    QImage img = icons[i].pixmap(16, 16).toImage();
    ASSERT_EQ(img.size(), QSize(16, 16)) << i;
    int opaque = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) opaque += qAlpha(img.pixel(x, y)) > 128;
    EXPECT_GT(opaque, 20) << i;
    img = img.convertToFormat(QImage::Format_ARGB32);
    seen.insert(QByteArray(reinterpret_cast<const char*>(img.constBits()), static_cast<int>(img.sizeInBytes())));
  }
  EXPECT_EQ(seen.size(), 23u);  // no two icons alike
  EXPECT_TRUE(ServerIcon(-1).isNull());
  EXPECT_TRUE(ServerIcon(23).isNull());

  for (int p = 0; p < 12; ++p) {
    QPixmap pic = GamePicture(p);
    EXPECT_EQ(pic.size(), QSize(32, 32)) << p;
    // Each picture is its server icon drawn larger.
    int icon = p <= 6 ? p : p + 11;
    EXPECT_EQ(pic.toImage().convertToFormat(QImage::Format_ARGB32),
              RenderServerIcon(icon, 32).convertToFormat(QImage::Format_ARGB32))
        << p;
  }
  EXPECT_TRUE(GamePicture(12).isNull());
  EXPECT_TRUE(GamePicture(-1).isNull());

  const std::vector<std::pair<int, int>> mapping = {{0, 0},  {2, 2},  {6, 6},   {17, 17}, {18, 7},
                                                    {19, 8}, {20, 9}, {21, 10}, {22, 11}, {-1, -1}};
  for (auto [icon, picture] : mapping) EXPECT_EQ(GamePictureForIcon(icon), picture) << icon;

  EXPECT_FALSE(TrayImage(0).isNull());
  EXPECT_FALSE(TrayImage(1).isNull());
  EXPECT_NE(TrayImage(0).pixmap(16, 16).toImage(), TrayImage(1).pixmap(16, 16).toImage());
  EXPECT_TRUE(TrayImage(2).isNull());
  EXPECT_FALSE(AppIcon().isNull());
}

}  // namespace
}  // namespace gavrix
