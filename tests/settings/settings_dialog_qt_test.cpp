// The settings dialog on the real widgets: the load into the controls and the
// main window, the exit save, the launch part, transparency, the range editor
// and the favourites editor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>
#include <memory>

#include "app/main_window.h"
#include "widgets/edits_qt.h"
#include "widgets/ip_edit_qt.h"
#include "settings/settings.h"
#include "settings/settings_dialog_qt.h"
#include "widgets/translucency_qt.h"
#include "settings/temp_folder.h"
#include "support/scripted_boxes_qt.h"

using namespace gavrix;
using namespace gavrix::test;

namespace {

QString L(const char* text) { return QString::fromUtf8(text); }

// The program's windows in their creation order; destroyed in reverse, so the
// dialog's exit save runs while the main window still exists.
struct Program {
  explicit Program(const std::string& path) : ini(path), main(0), dlg(main.settingsParts(), ini) {}
  IniFile ini;
  TForm1 main;
  TSettings dlg;
};

int Opacity(const QWidget* w) { return qRound(w->windowOpacity() * 255); }

void SetAddress(IpEdit* edit, const char* dotted) {
  QStringList parts = L(dotted).split(u'.');
  for (int i = 0; i < 4; ++i) edit->setOctet(i, parts[i].toInt());
}

// The range list as the user sees it: "1 from to" per row (1 checked, 0 not).
QStringList RangeRows(const TSettings& d) {
  QStringList out;
  for (int i = 0; i < d.LWranges->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* it = d.LWranges->topLevelItem(i);
    out << (it->checkState(0) == Qt::Checked ? L("1 ") : L("0 ")) + it->text(1) + u' ' + it->text(2);
  }
  return out;
}

QStringList SettingsRanges(const Settings& s) {
  QStringList out;
  for (const ScanRange& r : s.ranges)
    out << (r.checked ? L("1 ") : L("0 ")) + QString::fromStdString(r.from) + u' ' + QString::fromStdString(r.to);
  return out;
}

QStringList FavRows(const TSettings& d) {
  QStringList out;
  for (int i = 0; i < d.LVFav->topLevelItemCount(); ++i)
    out << d.LVFav->topLevelItem(i)->text(0) + u':' + d.LVFav->topLevelItem(i)->text(1);
  return out;
}

QStringList SettingsFavs(const Settings& s) {
  QStringList out;
  for (const Favourite& f : s.favourites) out << QString::fromStdString(f.host) + u':' + QString::fromStdString(f.port);
  return out;
}

void ClickHeader(QTreeWidget* list, int column) {
  QHeaderView* h = list->header();
  QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(column) + 5, h->height() / 2));
}

std::string RangesFile(int n) {
  std::string text = "[Ranges]\nRanges=" + std::to_string(n) + "\n";
  std::string checks;
  for (int i = 0; i < n; ++i) {
    text += "RangeFrom" + std::to_string(i) + "=10.0." + std::to_string(i) + ".1\n";
    text += "RangeTo" + std::to_string(i) + "=10.0." + std::to_string(i) + ".9\n";
    checks += i % 2 ? '0' : '1';
  }
  return text + "Checked=" + checks + "\n";
}

class SettingsDialog : public ::testing::Test {
 protected:
  Program& open(const std::string& text = {}) {
    if (!text.empty()) WriteFile(path, text);
    p = std::make_unique<Program>(path);
    return *p;
  }
  // Ends the program: the exit save runs; returns what the file then loads as.
  Settings closeAndReload() {
    p.reset();
    IniFile again(path);
    return LoadSettings(again).settings;
  }
  void TearDown() override { p.reset(); }

  TempFolder folder;
  std::string path = folder.file("gavrix.ini");
  ScriptedBoxes boxes;
  std::unique_ptr<Program> p;
};

// ---- The frame ----

TEST_F(SettingsDialog, IsAFixedNonBlockingWindowThatOnlyHidesWhenClosed) {
  Program& pr = open();
  TSettings& d = pr.dlg;
  EXPECT_EQ(d.windowTitle(), L("Settings"));
  QStringList tabs;
  for (int i = 0; i < d.PageControl->count(); ++i) tabs << d.PageControl->tabText(i);
  EXPECT_EQ(tabs, (QStringList{L("Main"), L("Games"), L("Scan settings"), L("Favorites")}));
  EXPECT_EQ(d.PageControl->widget(0), d.TS1);
  EXPECT_EQ(d.PageControl->widget(3), d.TS3);
  EXPECT_TRUE(d.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(d.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(pr.main.settingsDialog, &d);
  EXPECT_EQ(pr.main.settings, &d.settings);

  const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
  EXPECT_LE((d.geometry().center() - centre).manhattanLength(), 2);

  pr.main.showSettingsDialog();
  EXPECT_TRUE(d.isVisible());
  EXPECT_FALSE(d.isModal());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(d.minimumSize(), d.maximumSize());  // not resizable
  d.close();
  EXPECT_FALSE(d.isVisible());
  pr.main.showSettingsDialog();
  EXPECT_TRUE(d.isVisible());
}

// ---- The load ----

TEST_F(SettingsDialog, LoadAppliesAHandWrittenFileToTheControlsAndTheMainWindow) {
  Program& pr = open(
      "[Settings]\nGameType=5\nWidth=900\nHeight=100\nCurItem=9\nExePath9=/games/hl.exe\nParam9=-game tfc -dev\n"
      "CSPort=27016\nHLTVPort=27021\nFavWidth=200\nScanOld=0\nDelay=45\nFavAutoScan=1\nUpdInterval=20\n"
      "CurPage=2\nBroadcast=0\nTransLevel=300\nDoubleClick=0\nTrans=1\n"
      "[Games]\nCS16=0\nTF2=0\n[Params]\n-dev=\n-tickrate 100=\n"
      "[Ranges]\nRanges=3\nRangeFrom0=127.0.0.1\nRangeTo0=127.0.0.9\nRangeFrom1=127.0.1.1\nRangeTo1=127.0.1.9\n"
      "RangeFrom2=127.0.2.1\nRangeTo2=127.0.2.9\nChecked=1\n"
      "[Favorites]\n127.0.0.5 0=27015\n127.0.0.5 1=27020\n");
  TSettings& d = pr.dlg;
  TForm1& m = pr.main;
  EXPECT_TRUE(boxes.shown.empty());

  EXPECT_EQ(m.ui.RG->itemIndex(), 1);
  EXPECT_NE(ReadFile(path).find("GameType=1"), std::string::npos);  // written back once
  EXPECT_EQ(m.size(), QSize(900, 175));
  EXPECT_EQ(d.CBGame->currentText(), L("TFC"));
  EXPECT_EQ(d.EditExe->text(), L("/games/hl.exe"));
  EXPECT_EQ(d.EditParam->text(), L("-game tfc -dev"));
  EXPECT_EQ(d.CSport->text(), L("27016"));
  EXPECT_EQ(d.HLTVport->text(), L("27021"));
  EXPECT_EQ(d.LVFav->header()->sectionSize(0), 110);
  EXPECT_FALSE(d.CBOld->isChecked());
  EXPECT_EQ(d.SEDelay->value(), 30);
  EXPECT_TRUE(d.CBAutoUpdate->isChecked());
  EXPECT_EQ(d.SEUpdInterval->value(), 20);
  EXPECT_TRUE(m.ui.TimerFav->isActive());
  EXPECT_EQ(m.ui.TimerFav->interval(), 200);  // the first auto-scan right after start
  EXPECT_EQ(m.ui.SBar->panelText(2), L(" Autoscan enabled"));
  m.ui.TimerFav->stop();
  EXPECT_EQ(d.PageControl->currentWidget(), d.TS2);
  EXPECT_FALSE(d.CBBroadcast->isChecked());
  EXPECT_FALSE(d.CBDclick->isChecked());
  EXPECT_TRUE(d.CBTrans->isChecked());
  EXPECT_TRUE(d.TBTrans->isEnabled());
  EXPECT_EQ(d.TBTrans->value(), 100);  // takes the level only when page Main is shown
  EXPECT_EQ(d.settings.TransLevel, 44);
  EXPECT_EQ(Opacity(&m), 44);
  for (int g = 0; g < kGameFlagCount; ++g)
    EXPECT_EQ(d.CBGames[g]->isChecked(), g != int(GameFlag::CS16) && g != int(GameFlag::TF2)) << g;
  QStringList params;
  for (int i = 0; i < d.CBParams->count(); ++i) params << d.CBParams->itemText(i);
  EXPECT_EQ(params, (QStringList{L("-dev"), L("-tickrate 100")}));
  EXPECT_EQ(d.CBParams->currentIndex(), -1);
  EXPECT_EQ(RangeRows(d), (QStringList{L("1 127.0.0.1 127.0.0.9"), L("0 127.0.1.1 127.0.1.9"),
                                       L("0 127.0.2.1 127.0.2.9")}));
  EXPECT_EQ(FavRows(d), (QStringList{L("127.0.0.5:27015"), L("127.0.0.5:27020")}));

  // The dialog's settings are the loaded ones.
  IniFile same(path);
  Settings loaded = LoadSettings(same).settings;
  loaded.GameType = 1;
  EXPECT_EQ(d.settings, loaded);
}

TEST_F(SettingsDialog, LoadWithoutAFileGivesTheStartingState) {
  Program& pr = open();
  TSettings& d = pr.dlg;
  EXPECT_EQ(pr.main.ui.RG->itemIndex(), 0);
  EXPECT_FALSE(std::filesystem::exists(path));  // nothing written at start
  EXPECT_EQ(pr.main.size(), QSize(680, 351));
  EXPECT_EQ(d.CBGame->currentText(), L("HL"));
  EXPECT_EQ(d.EditParam->text(), L("-console"));
  EXPECT_EQ(d.SEDelay->value(), 0);  // built with 5, the load replaces it
  EXPECT_FALSE(pr.main.ui.TimerFav->isActive());
  EXPECT_FALSE(d.CBTrans->isChecked());
  EXPECT_FALSE(d.TBTrans->isEnabled());
  EXPECT_EQ(Opacity(&pr.main), 255);
  EXPECT_EQ(d.CBParams->count(), 11);
  EXPECT_FALSE(d.BBSave->isEnabled());
  EXPECT_FALSE(d.SpeedButton4->isEnabled());
  EXPECT_EQ(d.MEPort->text(), L("27015"));
  EXPECT_EQ(d.IPE1->text(), QString());
  EXPECT_EQ(d.PageControl->currentWidget(), d.TS1);
  EXPECT_EQ(d.settings, Settings());
}

TEST_F(SettingsDialog, LoadErrorsAreShownInTheStandardErrorBox) {
  Program& pr = open("[Ranges]\nRanges=abc\nRangeFrom0=127.0.0.1\nRangeTo0=127.0.0.2\nChecked=1\n");
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, kAppTitle);
  EXPECT_EQ(boxes.shown[0].text, L("'abc' is not a valid integer value."));
  EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Error);
  EXPECT_EQ(RangeRows(pr.dlg), QStringList{L("1 127.0.0.1 127.0.0.2")});  // the stored rows are kept
}

TEST_F(SettingsDialog, CurPageOutsideTheDialogShowsTheFirstPage) {
  Program& pr = open("[Settings]\nCurPage=7\nCurItem=20\n");
  EXPECT_EQ(pr.dlg.PageControl->currentIndex(), 0);
  EXPECT_EQ(pr.dlg.CBGame->currentIndex(), -1);
  EXPECT_EQ(pr.dlg.EditExe->text(), QString());
  EXPECT_EQ(pr.dlg.EditParam->text(), QString());
  Settings saved = closeAndReload();
  EXPECT_EQ(saved.CurPage, kNoSelection);  // no page was picked: still none
  EXPECT_EQ(saved.CurItem, kNoSelection);
}

// ---- The exit save ----

TEST_F(SettingsDialog, ExitSaveWritesWhatTheControlsAndTheMainWindowHold) {
  Program& pr = open("[Password]\nLastPass=secret\n");
  TSettings& d = pr.dlg;
  pr.main.ui.RG->setItemIndex(1);
  pr.main.resize(820, 400);
  d.CBGame->setCurrentIndex(10);
  QTest::keyClicks(d.EditParam, L(" -novid"));
  d.BBSave->click();
  QTest::keyClick(d.CSport, Qt::Key_Backspace);
  QTest::keyClick(d.CSport, Qt::Key_9);
  d.HLTVport->clear();
  d.CBOld->click();
  d.CBBroadcast->click();
  d.CBDclick->click();
  QTest::keyClick(d.SEDelay, Qt::Key_Up);
  QTest::keyClick(d.SEUpdInterval, Qt::Key_Up);
  d.CBTrans->click();
  d.TBTrans->setValue(180);
  d.CBGames[int(GameFlag::CS16)]->click();
  d.LVFav->header()->resizeSection(0, 90);
  d.PageControl->setCurrentIndex(3);
  SetAddress(d.IPE1, "127.0.0.1");
  SetAddress(d.IPE2, "127.0.0.9");
  d.SBAdd->click();
  d.EditHost->setText(L("127.0.0.7"));
  d.SpeedButton4->click();

  Settings s = closeAndReload();
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(s.GameType, 1);
  EXPECT_EQ(s.Width, 820);
  EXPECT_EQ(s.Height, 400);
  EXPECT_EQ(s.CurItem, 10);
  EXPECT_EQ(s.launch[10].params, "-game tf -novid");
  EXPECT_EQ(s.CSPort, "27019");
  EXPECT_EQ(s.HLTVPort, "");
  EXPECT_FALSE(s.ScanOld);
  EXPECT_FALSE(s.Broadcast);
  EXPECT_FALSE(s.DoubleClick);
  EXPECT_EQ(s.Delay, 1);
  EXPECT_EQ(s.UpdInterval, 11);
  EXPECT_TRUE(s.Trans);
  EXPECT_EQ(s.TransLevel, 180);
  EXPECT_FALSE(s.games[size_t(GameFlag::CS16)]);
  EXPECT_TRUE(s.games[size_t(GameFlag::CS15)]);
  EXPECT_EQ(s.FavWidth, 90);
  EXPECT_EQ(s.CurPage, 3);
  EXPECT_EQ(SettingsRanges(s), QStringList{L("1 127.0.0.1 127.0.0.9")});
  EXPECT_EQ(SettingsFavs(s), QStringList{L("127.0.0.7:27015")});
  EXPECT_NE(ReadFile(path).find("LastPass=secret"), std::string::npos);
}

TEST_F(SettingsDialog, RefusedExitSaveShowsTheErrorAndLeavesTheFileAsItWas) {
  open("[Settings]\nDelay=7\n");
  p->dlg.CBOld->click();
  const std::string before = ReadFile(path);
  std::filesystem::create_directory(path + ".tmp");  // root cannot open a folder for writing
  p.reset();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, kAppTitle);
  EXPECT_EQ(boxes.shown[0].text, QString::fromStdString("Unable to write to " + path + "."));
  EXPECT_EQ(ReadFile(path), before);
}

// ---- Page Main: the launch part ----

TEST_F(SettingsDialog, FindFileOffersTheGamesExecutable) {
  Program& pr = open();
  TSettings& d = pr.dlg;
  const char* hl = "Half-Life (hl.exe)|HL.EXE";
  const char* hl2 = "Half-Life2 (hl2.exe)|HL2.EXE";
  const char* expected[kLaunchCount] = {hl, hl, hl, hl, hl2, hl2, hl, hl2, hl2, hl, hl2};
  for (int i = 0; i < kLaunchCount; ++i) {
    d.CBGame->setCurrentIndex(i);
    d.SBExe->click();
    ASSERT_EQ(boxes.filters.size(), size_t(i + 1));
    EXPECT_EQ(boxes.filters.last(), L(expected[i])) << d.CBGame->currentText().toStdString();
  }
  EXPECT_FALSE(d.BBSave->isEnabled());  // every dialog was cancelled
  EXPECT_EQ(d.SBExe->toolTip(), L("Find file"));
}

TEST_F(SettingsDialog, EditsArePendingUntilSave) {
  Program& pr = open();
  TSettings& d = pr.dlg;
  d.CBGame->setCurrentIndex(2);  // CS1.6
  boxes.files.push_back(L("/games/cs/hl.exe"));
  d.SBExe->click();
  EXPECT_EQ(d.EditExe->text(), L("/games/cs/hl.exe"));
  EXPECT_TRUE(d.BBSave->isEnabled());
  EXPECT_EQ(d.settings.launch[2].exePath, "");
  d.CBGame->setCurrentIndex(0);  // the pending path is dropped
  EXPECT_EQ(d.EditExe->text(), QString());
  d.CBGame->setCurrentIndex(2);
  EXPECT_EQ(d.EditExe->text(), QString());
  EXPECT_EQ(d.settings.launch[2], (LaunchEntry{"", "-game cstrike"}));

  // Typing, Backspace included, enables Save; closing and opening keeps the text but not Save.
  d.show();
  EXPECT_FALSE(d.BBSave->isEnabled());
  QTest::keyClick(d.EditParam, Qt::Key_End);
  EXPECT_FALSE(d.BBSave->isEnabled());
  QTest::keyClick(d.EditParam, Qt::Key_Backspace);
  EXPECT_TRUE(d.BBSave->isEnabled());
  QTest::keyClicks(d.EditParam, L("e -noipx"));
  d.close();
  d.show();
  EXPECT_EQ(d.EditParam->text(), L("-game cstrike -noipx"));
  EXPECT_FALSE(d.BBSave->isEnabled());
  EXPECT_EQ(d.settings.launch[2].params, "-game cstrike");
  QTest::keyClick(d.EditParam, Qt::Key_A);
  d.BBSave->click();
  EXPECT_FALSE(d.BBSave->isEnabled());
  EXPECT_EQ(d.settings.launch[2].params, "-game cstrike -noipxa");

  // A deletion with the Delete key is a pending change too.
  QTest::keyClick(d.EditParam, Qt::Key_Home);
  QTest::keyClick(d.EditParam, Qt::Key_Delete);
  EXPECT_TRUE(d.BBSave->isEnabled());
}

TEST_F(SettingsDialog, DefaultAndAppend) {
  Program& pr = open();
  TSettings& d = pr.dlg;
  d.CBGame->setCurrentIndex(2);
  d.BitBtn1->click();  // already the default
  EXPECT_FALSE(d.BBSave->isEnabled());
  d.EditParam->setText(L("-game cstrike -x"));
  d.BitBtn1->click();
  EXPECT_EQ(d.EditParam->text(), L("-game cstrike"));
  EXPECT_TRUE(d.BBSave->isEnabled());
  EXPECT_EQ(d.settings.launch[2].params, "-game cstrike");
  d.BBSave->click();

  d.BitBtn2->click();  // nothing chosen
  EXPECT_EQ(d.EditParam->text(), L("-game cstrike"));
  EXPECT_FALSE(d.BBSave->isEnabled());
  d.CBParams->setCurrentIndex(d.CBParams->findText(L("-win")));
  d.BitBtn2->click();
  EXPECT_EQ(d.EditParam->text(), L("-game cstrike -win"));
  EXPECT_TRUE(d.BBSave->isEnabled());
  d.EditParam->clear();
  d.BitBtn2->click();
  EXPECT_EQ(d.EditParam->text(), L(" -win"));
  EXPECT_EQ(d.BitBtn1->toolTip(), L("Restore params ot default"));
  EXPECT_EQ(d.BitBtn2->toolTip(), L("Append param"));
}

TEST_F(SettingsDialog, WithNoGameChosenSaveStoresNothing) {
  Program& pr = open("[Settings]\nCurItem=11\n");
  TSettings& d = pr.dlg;
  const Settings before = d.settings;
  d.SBExe->click();
  EXPECT_EQ(boxes.filters, QStringList{QString()});  // no filter before its first use
  d.EditParam->setText(L("-x"));
  d.BitBtn1->click();
  EXPECT_EQ(d.EditParam->text(), L("-x"));
  QTest::keyClick(d.EditParam, Qt::Key_Y);
  d.BBSave->click();
  EXPECT_FALSE(d.BBSave->isEnabled());
  EXPECT_EQ(d.settings.launch, before.launch);
  d.CBGame->setCurrentIndex(5);
  d.SBExe->click();
  d.CBGame->setCurrentIndex(-1);
  d.SBExe->click();  // keeps the filter it had
  EXPECT_EQ(boxes.filters.last(), L("Half-Life2 (hl2.exe)|HL2.EXE"));
}

// ---- Games, double click ----

TEST_F(SettingsDialog, GameBoxesSwitchTheFilterAtOnce) {
  Program& pr = open();
  TSettings& d = pr.dlg;
  EXPECT_EQ(d.GB2->title(), L("Show only"));
  const struct {
    const char* caption;
    GameFlag flag;
  } games[] = {{"Half-life", GameFlag::HL1},
               {"Half-life-2", GameFlag::HL2},
               {"Counter-Strike 1.5", GameFlag::CS15},
               {"Counter-Strike 1.6", GameFlag::CS16},
               {"Counter-Strike: Source", GameFlag::CSS},
               {"Condition-Zero", GameFlag::CZ},
               {"Day Of Defeat", GameFlag::DOD},
               {"Day Of Defeat Source", GameFlag::DODS},
               {"Half-life-2 Sandbox (Garry's mod)", GameFlag::GMOD},
               {"Team Fortress Classic", GameFlag::TF},
               {"Team Fortress 2", GameFlag::TF2}};
  QList<QCheckBox*> shown = d.GB2->findChildren<QCheckBox*>();
  ASSERT_EQ(shown.size(), kGameFlagCount);
  for (int i = 0; i < kGameFlagCount; ++i) {
    QCheckBox* box = shown[i];
    EXPECT_EQ(box->text(), L(games[i].caption));
    box->click();
    for (int g = 0; g < kGameFlagCount; ++g)
      EXPECT_EQ(pr.main.gameShown(GameFlag(g)), GameFlag(g) != games[i].flag) << games[i].caption;
    box->click();
  }
  d.CBDclick->click();
  EXPECT_FALSE(d.settings.DoubleClick);
}

TEST_F(SettingsDialog, TodaysServersAndCodePageReachTheDispatcherAtOnceAndAreSaved) {
  Program& pr = open("[Settings]\nModernServers=0\nTextCodePage=1251\n");
  TSettings& d = pr.dlg;
  EXPECT_EQ(d.CBModern->parentWidget(), d.TS1);  // page "Main"
  EXPECT_FALSE(d.CBModern->isChecked());
  EXPECT_EQ(d.CBCodePage->currentText(), L("Windows-1251 (Cyrillic)"));
  EXPECT_FALSE(pr.main.dispatcher.options().modernServers);
  d.CBModern->click();
  EXPECT_TRUE(pr.main.dispatcher.options().modernServers);
  d.CBCodePage->setCurrentIndex(0);
  EXPECT_EQ(d.settings.TextCodePage, 1250);
  Settings s = closeAndReload();
  EXPECT_TRUE(s.ModernServers);
  EXPECT_EQ(s.TextCodePage, 1250);
}

// ---- Transparency ----

TEST_F(SettingsDialog, TransparencySwitchesTheWindowsAndSpreadsTheLevel) {
  Program& pr = open();
  TSettings& d = pr.dlg;
  QWidget about;  // a window registered to follow, shown translucent earlier
  d.addTranslucentWindow(&about);
  SetTranslucent(&about, true);

  d.TBTrans->setValue(150);  // while off: nothing visible changes on the main window and the dialog
  EXPECT_EQ(d.settings.TransLevel, 150);
  EXPECT_EQ(Opacity(&pr.main), 255);
  EXPECT_EQ(Opacity(&d), 255);
  EXPECT_EQ(Opacity(&about), 150);

  d.CBTrans->click();
  EXPECT_TRUE(d.settings.Trans);
  EXPECT_TRUE(d.TBTrans->isEnabled());
  EXPECT_EQ(Opacity(&pr.main), 150);
  EXPECT_EQ(Opacity(&d), 150);

  d.TBTrans->setValue(200);
  EXPECT_EQ(Opacity(&pr.main), 200);
  EXPECT_EQ(Opacity(&d), 200);
  EXPECT_EQ(Opacity(&about), 200);

  d.CBTrans->click();  // off reaches every window at once
  EXPECT_FALSE(d.settings.Trans);
  EXPECT_FALSE(d.TBTrans->isEnabled());
  EXPECT_EQ(Opacity(&pr.main), 255);
  EXPECT_EQ(Opacity(&d), 255);
  EXPECT_EQ(Opacity(&about), 255);

  d.CBTrans->click();  // on reaches the main window and the dialog; the others at their next showing
  EXPECT_EQ(Opacity(&pr.main), 200);
  EXPECT_EQ(Opacity(&d), 200);
  EXPECT_EQ(Opacity(&about), 255);
  ApplyTranslucencyOnShow(&about, d.settings.Trans, d.settings.TransLevel, ShowRule::Follow);
  EXPECT_EQ(Opacity(&about), 200);
}

TEST_F(SettingsDialog, ShowingThePageMainClampsAStoredLowLevelForEveryWindow) {
  Program& pr = open("[Settings]\nTrans=1\nTransLevel=20\nCurPage=0\n");
  TSettings& d = pr.dlg;
  QWidget pass;
  d.addTranslucentWindow(&pass);
  EXPECT_EQ(Opacity(&pr.main), 20);
  d.show();
  EXPECT_EQ(d.TBTrans->value(), 50);
  EXPECT_EQ(d.settings.TransLevel, 50);
  EXPECT_EQ(Opacity(&pr.main), 50);
  EXPECT_EQ(Opacity(&d), 50);
  EXPECT_EQ(TranslucencyLevel(&pass), 50);
}

TEST_F(SettingsDialog, EveryShowingAppliesTransparencyAndDisablesSave) {
  Program& pr = open("[Settings]\nTrans=1\nTransLevel=120\nCurPage=1\n");
  TSettings& d = pr.dlg;
  d.BBSave->setEnabled(true);
  SetTranslucent(&d, false);
  d.show();
  EXPECT_FALSE(d.BBSave->isEnabled());
  EXPECT_EQ(Opacity(&d), 120);
  EXPECT_EQ(d.TBTrans->value(), 100);  // page Main not shown yet
  d.PageControl->setCurrentWidget(d.TS1);
  EXPECT_EQ(d.TBTrans->value(), 120);
}

// ---- Page Scan settings ----

TEST_F(SettingsDialog, RangeAddChecksTheAddressesInOrder) {
  struct Case {
    const char* from;  // nullptr: the edit is never touched
    const char* to;
    bool withRow;      // the list already holds 10.0.0.1 - 10.0.0.5
    const char* error; // nullptr: added
  } cases[] = {
      {"10.0.0.1", "10.0.0.1", false, nullptr},
      {"0.1.2.3", "10.1.2.3", false, "Incorrect IP range"},
      {"10.1.2.3", "0.1.2.3", false, "Incorrect IP range"},
      {nullptr, nullptr, false, "Incorrect IP range"},
      {"10.0.5.10", "11.0.5.10", false, "IP range incorrect or very big"},
      {"192.168.0.1", "192.169.0.1", false, "IP range incorrect or very big"},
      {"10.0.5.10", "10.0.4.200", false, "IP range incorrect or very big"},
      {"10.0.0.0", "10.0.255.0", false, "IP range incorrect or very big"},
      {"10.0.1.0", "10.0.255.255", false, nullptr},
      {"10.0.5.10", "10.0.5.9", false, "IP range incorrect"},
      {"10.0.1.200", "10.0.2.5", false, nullptr},
      {"10.0.0.5", "10.0.0.9", true, "IP range exist"},
      {"10.0.0.2", "10.0.0.5", true, "IP range exist"},
      {"10.0.0.1", "10.0.0.20", true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.from ? c.from : "untouched") + " - " + (c.to ? c.to : "untouched"));
    std::filesystem::remove(path);
    boxes.shown.clear();
    Program& pr = open(c.withRow ? "[Ranges]\nRanges=1\nRangeFrom0=10.0.0.1\nRangeTo0=10.0.0.5\nChecked=0\n" : "");
    TSettings& d = pr.dlg;
    if (c.from) SetAddress(d.IPE1, c.from);
    if (c.to) SetAddress(d.IPE2, c.to);
    const QStringList before = RangeRows(d);
    const std::string fileBefore = ReadFile(path);
    d.SBAdd->click();
    if (c.error) {
      ASSERT_EQ(boxes.shown.size(), 1u);
      EXPECT_EQ(boxes.shown[0].title, L("Error"));
      EXPECT_EQ(boxes.shown[0].text, L(c.error));
      EXPECT_EQ(RangeRows(d), before);
      EXPECT_EQ(ReadFile(path), fileBefore);
    } else {
      EXPECT_TRUE(boxes.shown.empty());
      QStringList after = before;
      after << L("1 ") + L(c.from) + u' ' + L(c.to);
      EXPECT_EQ(RangeRows(d), after);
      EXPECT_EQ(SettingsRanges(d.settings), after);
      IniFile written(path);  // the range list write ran
      EXPECT_EQ(written.readInteger("Ranges", "Ranges", -1), static_cast<int>(after.size()));
      EXPECT_EQ(written.readString("Ranges", "RangeTo" + std::to_string(after.size() - 1), ""), c.to);
      EXPECT_EQ(d.IPE1->text(), L(c.from));  // the edits keep their contents
    }
    p.reset();
  }
}

TEST_F(SettingsDialog, RangeDeleteSelectsTheRowAboveAndWritesTheList) {
  Program& pr = open(RangesFile(5));
  TSettings& d = pr.dlg;
  d.SBDel->click();  // nothing selected
  EXPECT_EQ(d.LWranges->topLevelItemCount(), 5);

  d.selectRange(2);
  d.SBDel->click();
  EXPECT_EQ(RangeRows(d), (QStringList{L("1 10.0.0.1 10.0.0.9"), L("0 10.0.1.1 10.0.1.9"), L("0 10.0.3.1 10.0.3.9"),
                                       L("1 10.0.4.1 10.0.4.9")}));
  EXPECT_EQ(SettingsRanges(d.settings), RangeRows(d));
  EXPECT_EQ(d.selectedRange(), 1);
  IniFile written(path);
  EXPECT_EQ(written.readInteger("Ranges", "Ranges", -1), 4);
  EXPECT_EQ(written.readString("Ranges", "Checked", ""), "1001");

  d.selectRange(0);
  d.SBDel->click();
  EXPECT_EQ(d.selectedRange(), 0);
  EXPECT_EQ(d.LWranges->topLevelItem(0)->text(1), L("10.0.1.1"));

  while (d.LWranges->topLevelItemCount() > 1) d.SBDel->click();
  d.selectRange(0);
  d.SBDel->click();
  EXPECT_EQ(d.LWranges->topLevelItemCount(), 0);
  EXPECT_TRUE(d.settings.ranges.empty());
  IniFile empty(path);
  EXPECT_EQ(empty.readInteger("Ranges", "Ranges", -1), 0);
  EXPECT_EQ(empty.readString("Ranges", "Checked", "?"), "");
}

TEST_F(SettingsDialog, RangeMovesCarryTheRowAndItsMark) {
  Program& pr = open(RangesFile(3));
  TSettings& d = pr.dlg;
  const std::string fileBefore = ReadFile(path);
  const QString a = L("1 10.0.0.1 10.0.0.9"), b = L("0 10.0.1.1 10.0.1.9"), c = L("1 10.0.2.1 10.0.2.9");

  d.SpeedButton2->click();  // nothing selected
  d.SpeedButton1->click();
  EXPECT_EQ(RangeRows(d), (QStringList{a, b, c}));

  d.selectRange(0);
  d.SpeedButton2->click();
  EXPECT_EQ(RangeRows(d), (QStringList{b, a, c}));
  d.SpeedButton2->click();
  EXPECT_EQ(RangeRows(d), (QStringList{b, c, a}));
  EXPECT_EQ(d.selectedRange(), 2);
  d.SpeedButton2->click();  // the last row stays
  EXPECT_EQ(RangeRows(d), (QStringList{b, c, a}));
  d.SpeedButton1->click();
  d.SpeedButton1->click();
  EXPECT_EQ(RangeRows(d), (QStringList{a, b, c}));
  EXPECT_EQ(d.selectedRange(), 0);
  d.SpeedButton1->click();  // the first row stays
  EXPECT_EQ(RangeRows(d), (QStringList{a, b, c}));
  EXPECT_EQ(SettingsRanges(d.settings), RangeRows(d));
  EXPECT_EQ(ReadFile(path), fileBefore);  // moves reach the file later

  // A check mark changed in the list is the scan's at once.
  d.LWranges->topLevelItem(1)->setCheckState(0, Qt::Checked);
  EXPECT_TRUE(d.settings.ranges[1].checked);
  // Adding a row leaves the selection where it was.
  SetAddress(d.IPE1, "127.0.0.1");
  SetAddress(d.IPE2, "127.0.0.2");
  d.SBAdd->click();
  EXPECT_EQ(RangeRows(d), (QStringList{a, L("1 10.0.1.1 10.0.1.9"), c, L("1 127.0.0.1 127.0.0.2")}));
  EXPECT_EQ(d.selectedRange(), 0);
  EXPECT_EQ(d.SpeedButton1->toolTip(), L("Move up"));
  EXPECT_EQ(d.SpeedButton2->toolTip(), L("Move down"));
}

TEST_F(SettingsDialog, MovesWithOneRowDoNothing) {
  Program& pr = open(RangesFile(1));
  pr.dlg.selectRange(0);
  pr.dlg.SpeedButton1->click();
  pr.dlg.SpeedButton2->click();
  EXPECT_EQ(RangeRows(pr.dlg), QStringList{L("1 10.0.0.1 10.0.0.9")});
  EXPECT_EQ(pr.dlg.selectedRange(), 0);
}

TEST_F(SettingsDialog, WholeThirdOctetButton) {
  Program& pr = open();
  TSettings& d = pr.dlg;
  d.SpeedButton3->click();  // From never edited
  EXPECT_EQ(d.IPE2->text(), QString());
  SetAddress(d.IPE1, "10.1.2.3");
  d.SpeedButton3->click();
  EXPECT_EQ(d.IPE2->text(), L("10.1.2.255"));
  EXPECT_EQ(d.IPE1->text(), L("10.1.2.3"));
}

TEST_F(SettingsDialog, BroadcastPortsTakesAPortListAndRefusesAnythingElse) {
  Program& pr = open("[Settings]\nBroadcastPorts=27015-27017\n");
  TSettings& d = pr.dlg;
  EXPECT_EQ(d.EditBPorts->text(), L("27015-27017"));
  auto enter = [&](const char* text) {
    d.EditBPorts->clear();
    QTest::keyClicks(d.EditBPorts, L(text));
    QTest::keyClick(d.EditBPorts, Qt::Key_Return);
  };
  for (const char* bad : {"27015-", "0", "65536", "27015;27016", "27000-27064"}) {
    SCOPED_TRACE(bad);
    boxes.shown.clear();
    enter(bad);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, L("Error"));
    EXPECT_EQ(boxes.shown[0].text, L("Bad port"));
    EXPECT_EQ(d.settings.BroadcastPorts, "27015-27017");
    EXPECT_EQ(d.EditBPorts->text(), L("27015-27017"));
  }
  boxes.shown.clear();
  enter("27015-27020, 27215");
  enter("");  // empty: the scan port
  enter("27016 27216");
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(d.settings.BroadcastPorts, "27016 27216");
  EXPECT_EQ(closeAndReload().BroadcastPorts, "27016 27216");
}

TEST_F(SettingsDialog, PortEditsTakeOnlyDigitsAndBackspace) {
  Program& pr = open();
  TSettings& d = pr.dlg;
  for (DigitsEdit* edit : {d.CSport, d.HLTVport, d.MEPort}) {
    SCOPED_TRACE(edit == d.CSport ? "CSport" : edit == d.HLTVport ? "HLTVport" : "MEPort");
    boxes.beeps = 0;
    edit->clear();
    QTest::keyClick(edit, Qt::Key_A);
    QTest::keyClick(edit, Qt::Key_Space);
    QTest::keyClick(edit, Qt::Key_Minus);
    EXPECT_EQ(edit->text(), QString());
    EXPECT_EQ(boxes.beeps, 3);
    QTest::keyClicks(edit, L("1234567"));  // at most 5 characters
    EXPECT_EQ(edit->text(), L("12345"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), L("1234"));
    QTest::keyClick(edit, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(edit->text(), L("12345"));
    EXPECT_EQ(boxes.beeps, 3);

    // Pasted text with other characters is refused the same way; digits are taken.
    edit->clear();
    QApplication::clipboard()->setText(L("27a15"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), QString());
    EXPECT_EQ(boxes.beeps, 4);
    QApplication::clipboard()->setText(L("27016"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), L("27016"));
  }
  EXPECT_EQ(d.settings.CSPort, "27016");
  EXPECT_EQ(d.settings.HLTVPort, "27016");
}

TEST_F(SettingsDialog, StoredPortsAreShownWholeAndStillGuarded) {
  Program& pr = open("[Settings]\nCSPort=27a15\nHLTVPort=270200\n");
  TSettings& d = pr.dlg;
  EXPECT_EQ(boxes.beeps, 0);  // the load itself types nothing
  EXPECT_EQ(d.CSport->text(), L("27a15"));
  EXPECT_EQ(d.HLTVport->text(), L("270200"));
  // What the user adds is still checked: no pasted letters, no growing past 5.
  d.CSport->end(false);
  QApplication::clipboard()->setText(L("x"));
  QTest::keyClick(d.CSport, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(d.CSport->text(), L("27a15"));
  EXPECT_EQ(boxes.beeps, 1);
  d.HLTVport->end(false);
  QTest::keyClick(d.HLTVport, Qt::Key_1);
  EXPECT_EQ(d.HLTVport->text(), L("270200"));
  QTest::keyClick(d.HLTVport, Qt::Key_Backspace);
  EXPECT_EQ(d.settings.HLTVPort, "27020");
}

TEST_F(SettingsDialog, PortEditsRefuseWhatIsNoPortWhenLeft) {
  struct Case {
    const char* typed;
    bool refused;
  } cases[] = {
      {"99999", true}, {"65536", true}, {"0", true}, {"00000", true},
      {"65535", false}, {"1", false}, {"00080", false}, {"", false},
  };
  Program& pr = open("[Settings]\nCSPort=27016\nHLTVPort=27021\n");
  TSettings& d = pr.dlg;
  struct Edit {
    DigitsEdit* edit;
    const std::string& stored;
  } edits[] = {{d.CSport, d.settings.CSPort}, {d.HLTVport, d.settings.HLTVPort}};
  for (const Edit& e : edits) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(e.edit == d.CSport ? "CSport " : "HLTVport ") + c.typed);
      boxes.shown.clear();
      const QString before = e.edit->text();
      e.edit->selectAll();
      QTest::keyClick(e.edit, Qt::Key_Backspace);
      QTest::keyClicks(e.edit, L(c.typed));
      QTest::keyClick(e.edit, Qt::Key_Return);  // the user leaves the edit
      if (c.refused) {
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].title, L("Error"));
        EXPECT_EQ(boxes.shown[0].text, L("Bad port"));
        EXPECT_EQ(e.edit->text(), before);
        EXPECT_EQ(e.stored, before.toStdString());
      } else {
        EXPECT_TRUE(boxes.shown.empty());
        EXPECT_EQ(e.stored, c.typed);
      }
      e.edit->setText(L("27015"));
      QTest::keyClick(e.edit, Qt::Key_Return);
    }
  }
  d.CSport->setText(L("27017"));
  QTest::keyClick(d.CSport, Qt::Key_Return);
  d.HLTVport->selectAll();
  QTest::keyClicks(d.HLTVport, L("70000"));
  QTest::keyClick(d.HLTVport, Qt::Key_Return);
  const Settings s = closeAndReload();
  EXPECT_EQ(s.CSPort, "27017");
  EXPECT_EQ(s.HLTVPort, "27015");
}

TEST_F(SettingsDialog, HandEditedPortsStillLoadAndStay) {
  Program& pr = open("[Settings]\nCSPort=99999\nHLTVPort=0\n[Favorites]\n127.0.0.5 0=70000\n");
  TSettings& d = pr.dlg;
  EXPECT_EQ(d.CSport->text(), L("99999"));
  EXPECT_EQ(d.settings.CSPort, "99999");
  EXPECT_EQ(d.settings.HLTVPort, "0");
  EXPECT_EQ(FavRows(d), QStringList{L("127.0.0.5:70000")});
  QTest::keyClick(d.CSport, Qt::Key_Return);  // left as loaded: no box
  EXPECT_TRUE(boxes.shown.empty());
  const Settings s = closeAndReload();
  EXPECT_EQ(s.CSPort, "99999");
  EXPECT_EQ(s.HLTVPort, "0");
  EXPECT_EQ(SettingsFavs(s), QStringList{L("127.0.0.5:70000")});
}

TEST_F(SettingsDialog, SpinEditsChangeOnlyByArrowsAndUpDown) {
  Program& pr = open();
  TSettings& d = pr.dlg;
  QTest::keyClicks(d.SEDelay, L("25"));
  QTest::keyClick(d.SEDelay, Qt::Key_PageUp);
  QTest::keyClick(d.SEDelay, Qt::Key_Backspace);
  EXPECT_EQ(d.SEDelay->value(), 0);
  EXPECT_EQ(d.SEDelay->text(), L("0"));
  QTest::keyClick(d.SEDelay, Qt::Key_Down);  // stays at its minimum
  EXPECT_EQ(d.SEDelay->value(), 0);
  QTest::keyClick(d.SEDelay, Qt::Key_Up);
  QTest::keyClick(d.SEDelay, Qt::Key_Up);
  EXPECT_EQ(d.settings.Delay, 2);
  d.SEDelay->stepBy(100);  // the arrow buttons
  EXPECT_EQ(d.settings.Delay, 30);

  d.SEUpdInterval->stepBy(-100);
  EXPECT_EQ(d.SEUpdInterval->value(), 5);
  QTest::keyClicks(d.SEUpdInterval, L("9"));
  EXPECT_EQ(d.SEUpdInterval->value(), 5);
  d.SEUpdInterval->stepBy(100);
  EXPECT_EQ(d.settings.UpdInterval, 60);
}

// ---- Page Favorites ----

TEST_F(SettingsDialog, FavouriteAddNeedsAHostOfFourCharactersAndANewAddress) {
  Program& pr = open("[Favorites]\n127.0.0.5 0=27015\n");
  TSettings& d = pr.dlg;
  QTest::keyClicks(d.EditHost, L("a.b"));
  EXPECT_FALSE(d.SpeedButton4->isEnabled());
  QTest::keyClick(d.EditHost, Qt::Key_C);
  EXPECT_TRUE(d.SpeedButton4->isEnabled());
  QTest::keyClick(d.EditHost, Qt::Key_Backspace);
  EXPECT_FALSE(d.SpeedButton4->isEnabled());

  struct Case {
    const char* host;
    const char* port;
    const char* error;  // nullptr: added
  } cases[] = {
      {"a.b", "27015", "Bad address"},
      {"127.0.0.5", "", "Bad address"},
      {"127.0.0.5", "27015", "This address is already exist"},
      {"127.0.0.5", "27020", nullptr},
      {"Server", "27015", nullptr},
      {"server", "27015", nullptr},
      {"Server", "27015", "This address is already exist"},
      {"127.0.0.9", "99999", "Bad port"},
      {"127.0.0.9", "65536", "Bad port"},
      {"127.0.0.9", "0", "Bad port"},
      {"127.0.0.9", "00000", "Bad port"},
      {"127.0.0.9", "65535", nullptr},
      {"127.0.0.9", "1", nullptr},
  };
  const std::string fileBefore = ReadFile(path);
  QStringList expected = FavRows(d);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.host) + ":" + c.port);
    boxes.shown.clear();
    d.EditHost->setText(L(c.host));
    d.MEPort->setText(L(c.port));
    d.SpeedButton4Click();
    if (c.error) {
      ASSERT_EQ(boxes.shown.size(), 1u);
      EXPECT_EQ(boxes.shown[0].title, L("Error"));
      EXPECT_EQ(boxes.shown[0].text, L(c.error));
    } else {
      EXPECT_TRUE(boxes.shown.empty());
      expected << L(c.host) + u':' + L(c.port);
    }
    EXPECT_EQ(FavRows(d), expected);
    EXPECT_EQ(SettingsFavs(d.settings), expected);
  }
  EXPECT_EQ(ReadFile(path), fileBefore);  // favourites reach the file at the exit save
}

TEST_F(SettingsDialog, FavouriteDeleteRemovesTheSelectedRow) {
  Program& pr = open("[Favorites]\n127.0.0.5 0=27015\n127.0.0.6 1=27015\n127.0.0.7 2=27015\n");
  TSettings& d = pr.dlg;
  d.SpeedButton5->click();  // nothing selected
  EXPECT_EQ(d.settings.favourites.size(), 3u);
  d.LVFav->setCurrentItem(d.LVFav->topLevelItem(1));
  d.SpeedButton5->click();
  EXPECT_EQ(FavRows(d), (QStringList{L("127.0.0.5:27015"), L("127.0.0.7:27015")}));
  EXPECT_EQ(d.selectedFavourite(), -1);
  Settings s = closeAndReload();
  EXPECT_EQ(SettingsFavs(s), (QStringList{L("127.0.0.5:27015"), L("127.0.0.7:27015")}));
}

TEST_F(SettingsDialog, HeaderClickSortsAscendingAsTextsEveryTime) {
  Program& pr = open("[Favorites]\nb-host 0=27015\nA-host 1=3000\nc-host 2=27020\na-host 3=27015\n");
  TSettings& d = pr.dlg;
  d.show();
  d.PageControl->setCurrentWidget(d.TS3);
  d.LVFav->setCurrentItem(d.LVFav->topLevelItem(1));  // A-host
  ClickHeader(d.LVFav, 1);
  const QStringList byPort{L("b-host:27015"), L("a-host:27015"), L("c-host:27020"), L("A-host:3000")};
  EXPECT_EQ(FavRows(d), byPort);
  EXPECT_EQ(SettingsFavs(d.settings), byPort);
  EXPECT_EQ(d.selectedFavourite(), 3);  // the selection stays on its row
  ClickHeader(d.LVFav, 0);
  // Letter case is not told apart: the two a-hosts keep their order.
  const QStringList byHost{L("a-host:27015"), L("A-host:3000"), L("b-host:27015"), L("c-host:27020")};
  EXPECT_EQ(FavRows(d), byHost);
  ClickHeader(d.LVFav, 0);  // no reversal
  EXPECT_EQ(FavRows(d), byHost);
  EXPECT_EQ(SettingsFavs(closeAndReload()), byHost);
}

TEST_F(SettingsDialog, FavouriteColumnWidthIsKeptBetween70And110) {
  Program& pr = open("[Settings]\nFavWidth=20\n");
  QHeaderView* h = pr.dlg.LVFav->header();
  EXPECT_EQ(h->sectionSize(0), 70);
  for (auto [asked, kept] : {std::pair{95, 95}, {150, 110}, {30, 70}}) {
    h->resizeSection(0, asked);
    EXPECT_EQ(h->sectionSize(0), kept);
    EXPECT_EQ(pr.dlg.settings.FavWidth, kept);
  }
}

TEST_F(SettingsDialog, FavouriteAddedFromTheServerListIsShown) {
  Program& pr = open("[Favorites]\n127.0.0.5 0=27015\n");
  pr.dlg.LVFav->setCurrentItem(pr.dlg.LVFav->topLevelItem(0));
  pr.main.settings->favourites.push_back({"127.0.0.9", "27015"});
  ASSERT_TRUE(pr.main.favouritesChanged);
  pr.main.favouritesChanged();
  EXPECT_EQ(FavRows(pr.dlg), (QStringList{L("127.0.0.5:27015"), L("127.0.0.9:27015")}));
  EXPECT_EQ(pr.dlg.selectedFavourite(), 0);
}

TEST_F(SettingsDialog, AutoScanSwitchesTheFavouritesTimer) {
  Program& pr = open();  // no favourites: a tick would send nothing
  TSettings& d = pr.dlg;
  QTimer* timer = pr.main.ui.TimerFav;
  d.CBAutoUpdate->click();
  EXPECT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 10000);
  EXPECT_EQ(pr.main.ui.SBar->panelText(2), L(" Autoscan enabled"));

  // A new interval restarts the wait (a precise timer, so that the remaining time is exact).
  timer->setTimerType(Qt::PreciseTimer);
  timer->start();
  QTest::qWait(300);
  QTest::keyClick(d.SEUpdInterval, Qt::Key_Up);
  EXPECT_EQ(timer->interval(), 11000);
  EXPECT_GT(timer->remainingTime(), 10800);

  pr.main.ui.SBar->setPanelText(0, L(" Autoscan..."));
  d.CBAutoUpdate->click();
  EXPECT_FALSE(timer->isActive());
  EXPECT_EQ(pr.main.ui.SBar->panelText(0), QString());
  EXPECT_EQ(pr.main.ui.SBar->panelText(2), L(" Autoscan disabled"));
  QTest::keyClick(d.SEUpdInterval, Qt::Key_Up);  // a stopped timer stays stopped
  EXPECT_FALSE(timer->isActive());
  EXPECT_EQ(timer->interval(), 12000);
}

TEST_F(SettingsDialog, ShowingTheFavouritesPageFocusesTheHost) {
  Program& pr = open("[Settings]\nCurPage=3\n");
  pr.dlg.show();
  pr.dlg.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&pr.dlg));
  EXPECT_EQ(QApplication::focusWidget(), pr.dlg.EditHost);
  pr.dlg.PageControl->setCurrentIndex(2);
  pr.dlg.CBOld->setFocus();
  pr.dlg.PageControl->setCurrentIndex(3);
  EXPECT_EQ(QApplication::focusWidget(), pr.dlg.EditHost);
}

}  // namespace
