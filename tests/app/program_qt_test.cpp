// The program as a whole on the real widgets with fake desktop services:
// start order and single copy, hotkey registration, showing and hiding by
// hotkey, tray, menu and minimising, closing during a scan, the end through a
// signal with the settings saved, the about box, and the settings file's folder.
#include "app/program.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <csignal>

#include "app/about_box.h"
#include "app/main_window.h"
#include "app/platform/end_signals.h"
#include "app/platform/system_tray.h"
#include "app/settings_location.h"
#include "settings/settings_dialog_qt.h"
#include "settings/temp_folder.h"
#include "support/fake_desktop_qt.h"
#include "support/scripted_boxes_qt.h"

using namespace gavrix;
using namespace gavrix::test;

namespace {

QString L(const char* text) { return QString::fromUtf8(text); }

// A program on a settings file in a temporary folder, on a free UDP port, with fake desktop services.
struct Started {
  explicit Started(const std::string& ini = "[Settings]\nBroadcast=0\n", bool otherCopy = false) {
    if (!ini.empty()) WriteFile(folder.file("gavrix.ini"), ini);
    Desktop d = fakes.make();
    fakes.copy->running = otherCopy;
    program = std::make_unique<Program>(std::move(d), Program::Options{iniPath(), 0});
  }
  QString iniPath() const { return QString::fromStdString(folder.file("gavrix.ini")); }
  std::string saved() const { return ReadFile(folder.file("gavrix.ini")); }
  TForm1& main() { return *program->main(); }

  ScriptedBoxes boxes;
  TempFolder folder;
  FakeDesktop fakes;
  std::unique_ptr<Program> program;
};

}  // namespace

TEST(Program, StartsEachWindowOnceAndSavesTheSettingsAtTheEnd) {
  Started run("[Settings]\nBroadcast=0\nWidth=720\nHeight=400\n[Password]\nLastPass=secret\nShowPass=1\n");
  ASSERT_TRUE(run.program->started());
  TForm1& main = run.main();
  EXPECT_EQ(main.windowTitle(), L("Gavrix_v1.99 beta"));
  EXPECT_EQ(main.size(), QSize(720, 400));  // the settings dialog's load reached the main window
  EXPECT_EQ(main.settingsDialog, run.program->settings());
  EXPECT_EQ(main.aboutBox, run.program->about());
  ASSERT_EQ(run.fakes.hotkey->registered.size(), 1u);
  EXPECT_EQ(run.fakes.hotkey->registered[0].id, 1);
  EXPECT_EQ(run.fakes.hotkey->registered[0].modifiers, Qt::AltModifier | Qt::ShiftModifier);
  EXPECT_EQ(run.fakes.hotkey->registered[0].key, Qt::Key_S);
  EXPECT_EQ(run.fakes.taskbar->hidden, std::vector<QWidget*>{&main});
  EXPECT_EQ(run.fakes.traysMade, 1);
  EXPECT_EQ(run.fakes.trayMenu, main.ui.PMTray);
  EXPECT_EQ(&main.join.tray(), run.fakes.tray);  // auto-connect cycles the program's tray icon
  ASSERT_NE(run.program->pass(), nullptr);
  ASSERT_NE(run.program->autoDialog(), nullptr);
  EXPECT_TRUE(run.boxes.shown.empty());

  main.resize(750, 420);
  run.program.reset();
  EXPECT_EQ(run.fakes.unregistered, std::vector<int>{1});
  const std::string saved = ReadFile(run.folder.file("gavrix.ini"));
  EXPECT_NE(saved.find("Width=750"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Height=420"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Broadcast=0"), std::string::npos) << saved;
  // The password dialog's section, written before the exit save, is kept by it.
  EXPECT_NE(saved.find("LastPass=secret"), std::string::npos) << saved;
}

TEST(Program, SecondCopyCreatesNothingAndWritesNothing) {
  const int windowsBefore = static_cast<int>(QApplication::topLevelWidgets().size());
  Started run("", /*otherCopy=*/true);
  EXPECT_FALSE(run.program->started());
  EXPECT_EQ(run.fakes.copy->checks, 1);
  EXPECT_EQ(run.fakes.traysMade, 0);
  EXPECT_TRUE(run.fakes.hotkey->registered.empty());
  EXPECT_EQ(static_cast<int>(QApplication::topLevelWidgets().size()), windowsBefore);
  EXPECT_EQ(run.program->exec(), 0);
  run.program.reset();
  EXPECT_FALSE(QFileInfo::exists(run.iniPath()));
  EXPECT_TRUE(run.boxes.shown.empty());
}

TEST(Program, HotkeyTakenElsewhereIsReportedAndTheProgramRunsOn) {
  struct Case {
    bool present, free;
    int boxes;
  } cases[] = {{true, false, 1}, {false, false, 0}, {true, true, 0}};
  for (const Case& c : cases) {
    ScriptedBoxes boxes;
    TempFolder folder;
    FakeDesktop fakes;
    Desktop d = fakes.make();
    fakes.hotkey->present = c.present;
    fakes.hotkey->free = c.free;
    Program program(std::move(d), {QString::fromStdString(folder.file("gavrix.ini")), 0});
    EXPECT_TRUE(program.started());
    ASSERT_EQ(static_cast<int>(boxes.shown.size()), c.boxes) << c.present << c.free;
    if (c.boxes) {
      EXPECT_EQ(boxes.shown[0].text, L("Unable to assign Alt-Ctrl-S as hotkey."));
      EXPECT_EQ(boxes.shown[0].title, L("Gavrix_v1.99 beta"));
    }
    // Nothing registered, nothing to unregister at the end.
    const bool registered = c.present && c.free;
    EXPECT_EQ(fakes.hotkey->registered.size(), registered ? 1u : 0u);
  }
}

TEST(Program, HotkeyTrayMenusAndLaterCopiesShowAndHideTheWindow) {
  Started run("[Settings]\nBroadcast=0\nFavAutoScan=1\nUpdInterval=60\n");
  TForm1& main = run.main();
  main.show();
  ASSERT_TRUE(main.isVisible());
  EXPECT_TRUE(main.ui.TimerFav->isActive());

  emit run.fakes.hotkey->pressed(1);
  EXPECT_FALSE(main.isVisible());
  EXPECT_FALSE(main.ui.TimerFav->isActive());  // the favourites auto-scan runs only while shown
  emit run.fakes.hotkey->pressed(2);           // another identifier
  EXPECT_FALSE(main.isVisible());
  emit run.fakes.hotkey->pressed(1);
  EXPECT_TRUE(main.isVisible());
  EXPECT_TRUE(main.ui.TimerFav->isActive());

  emit run.fakes.tray->doubleClicked();
  EXPECT_FALSE(main.isVisible());
  emit run.fakes.tray->doubleClicked();
  EXPECT_TRUE(main.isVisible());

  main.ui.Hide1->trigger();
  EXPECT_FALSE(main.isVisible());
  emit run.fakes.tray->showRequested();
  EXPECT_TRUE(main.isVisible());
  emit run.fakes.tray->showRequested();  // shows, never toggles
  EXPECT_TRUE(main.isVisible());

  main.hide();
  emit run.fakes.copy->showRequested();  // a later copy asked for the window
  EXPECT_TRUE(main.isVisible());
}

TEST(Program, MinimisingHidesTheWindowAndTheNextShowingIsNormal) {
  Started run;
  TForm1& main = run.main();
  main.show();
  main.setWindowState(Qt::WindowMinimized);
  ASSERT_TRUE(PumpUntil([&] { return !main.isVisible(); }));
  emit run.fakes.hotkey->pressed(1);
  EXPECT_TRUE(main.isVisible());
  EXPECT_FALSE(main.windowState() & Qt::WindowMinimized);
}

TEST(Program, ExitDuringAScanStopsItAndTheNextExitEnds) {
  Started run("[Settings]\nBroadcast=0\nDelay=0\n[Ranges]\nRanges=1\nChecked=1\nRangeFrom0=127.1.1.1\nRangeTo0=127.1.1.250\n");
  TForm1& main = run.main();
  main.show();
  bool exitedDuringScan = false, shownAfterFirstExit = false;
  const auto pump = main.pump;
  main.pump = [&] {
    if (!exitedDuringScan && main.scanningFlag) {
      exitedDuringScan = true;
      main.ui.Exit1->trigger();
      shownAfterFirstExit = main.isVisible();
    }
    pump();
  };
  main.ui.SBScanAll->click();
  EXPECT_TRUE(exitedDuringScan);
  EXPECT_TRUE(shownAfterFirstExit);
  EXPECT_TRUE(main.stopFlag);
  EXPECT_FALSE(main.scanningFlag);
  EXPECT_EQ(main.ui.SBar->panelText(0), L(" Scan stoped."));
  main.ui.Exit1->trigger();
  EXPECT_FALSE(main.isVisible());
}

TEST(Program, EndSignalStopsAScanClosesTheWindowAndTheSettingsAreSaved) {
  Started run("[Settings]\nBroadcast=0\nDelay=0\nWidth=730\n[Ranges]\nRanges=1\nChecked=1\nRangeFrom0=127.1.2.1\nRangeTo0=127.1.2.250\n");
  EndSignals endSignals;
  QObject::connect(&endSignals, &EndSignals::endRequested, run.program.get(), &Program::requestEnd);
  TForm1& main = run.main();
  main.show();
  bool raised = false;
  const auto pump = main.pump;
  main.pump = [&] {
    if (!raised && main.scanningFlag) {
      raised = true;
      ::raise(SIGTERM);  // handled on the event loop, not here
    }
    pump();
  };
  main.ui.SBScanAll->click();
  EXPECT_TRUE(raised);
  EXPECT_TRUE(main.stopFlag);
  ASSERT_TRUE(PumpUntil([&] { return !main.isVisible(); }));
  run.program.reset();
  EXPECT_NE(run.saved().find("Width=730"), std::string::npos);
  EXPECT_NE(run.saved().find("Delay=0"), std::string::npos);
}

TEST(Program, AboutBoxTextsSizesAndTheLink) {
  Started run("[Settings]\nBroadcast=0\nTrans=1\nTransLevel=200\n");
  TFormAbout& about = *run.program->about();
  EXPECT_EQ(about.windowTitle(), L("Info"));
  EXPECT_EQ(about.size(), QSize(298, 228));
  EXPECT_EQ(about.minimumSize(), about.maximumSize());
  EXPECT_FALSE(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  QStringList texts;
  for (QLabel* l : about.findChildren<QLabel*>())
    if (!l->text().isEmpty()) texts << l->text();
  for (const char* t : {"Gavrix", "version 1.99 beta", "Fast search Valve multiplayer servers", "Supported games:",
                        "Half-Life, CS1.5,  CS 1.6,  CS:Source", "Half-life 2,  Condition-Zero",
                        "Day Of Defeat, Team Fortress", "Home page:"})
    EXPECT_TRUE(texts.contains(L(t))) << t;
  EXPECT_EQ(about.Image1->pixmap().size(), QSize(32, 32));
  const QFont name = about.Label1->font();
  EXPECT_TRUE(name.bold() && name.italic());
  EXPECT_EQ(about.Label1->palette().color(QPalette::WindowText), QColor(Qt::blue));

  // Shown from the menu, it takes the transparency settings.
  run.main().ui.About2->trigger();
  EXPECT_TRUE(about.isVisible());
  EXPECT_EQ(qRound(about.windowOpacity() * 255), 200);

  QLabel* link = about.Label10;
  auto color = [&] { return link->palette().color(QPalette::WindowText); };
  EXPECT_EQ(link->text(), kHomePage.toString());
  EXPECT_EQ(color(), QColor(0, 0, 255));
  QTest::mouseMove(link, QPoint(3, 3));
  EXPECT_TRUE(link->font().underline());
  QTest::mousePress(link, Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_EQ(color(), QColor(255, 0, 0));
  EXPECT_TRUE(run.fakes.web->opened.empty());
  QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_EQ(color(), QColor(128, 0, 128));
  EXPECT_EQ(run.fakes.web->opened, std::vector<QUrl>{kHomePage});
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(link, &leave);
  EXPECT_FALSE(link->font().underline());
  EXPECT_EQ(color(), QColor(128, 0, 128));  // a used link stays purple

  run.main().ui.Homepage1->trigger();
  EXPECT_EQ(run.fakes.web->opened.size(), 2u);
}

TEST(SystemTray, HintMenuDoubleClickAndCycling) {
  QMenu menu;
  QAction* show = menu.addAction(L("Show  (Shift+Alt+S)"));
  QAction* exit = menu.addAction(L("Exit"));
  SystemTray tray(&menu);
  Tray& asTray = tray;
  EXPECT_EQ(tray.icon().toolTip(), L("Gavrix"));
  EXPECT_EQ(tray.icon().contextMenu(), &menu);
  EXPECT_TRUE(tray.icon().isVisible());
  int shows = 0, exits = 0, doubles = 0;
  QObject::connect(&asTray, &Tray::showRequested, [&] { ++shows; });
  QObject::connect(&asTray, &Tray::exitRequested, [&] { ++exits; });
  QObject::connect(&asTray, &Tray::doubleClicked, [&] { ++doubles; });
  show->trigger();
  exit->trigger();
  emit tray.icon().activated(QSystemTrayIcon::DoubleClick);
  emit tray.icon().activated(QSystemTrayIcon::Trigger);  // a single click does nothing
  EXPECT_EQ(std::tuple(shows, exits, doubles), std::tuple(1, 1, 1));

  EXPECT_FALSE(asTray.cycling());
  EXPECT_EQ(tray.imageIndex(), 0);
  tray.setCycleInterval(20);
  asTray.setCycling(true);
  EXPECT_TRUE(asTray.cycling());
  ASSERT_TRUE(PumpUntil([&] { return tray.imageIndex() == 1; }));
  ASSERT_TRUE(PumpUntil([&] { return tray.imageIndex() == 0; }));
  ASSERT_TRUE(PumpUntil([&] { return tray.imageIndex() == 1; }));
  asTray.setCycling(false);
  EXPECT_FALSE(asTray.cycling());
  EXPECT_EQ(tray.imageIndex(), 0);  // back to the normal icon
}

TEST(SettingsLocation, PortableCopyBesideTheExecutableInstalledCopyInTheConfigFolder) {
  TempFolder exe;
  const QString folder = QFileInfo(QString::fromStdString(exe.file("x"))).absolutePath();
  const QString beside = QDir(folder).filePath(L("gavrix.ini"));
  EXPECT_EQ(SettingsFilePath(folder, true, L("/cfg"), L("/home/u")), beside);
  EXPECT_EQ(SettingsFilePath(folder, false, L("/cfg"), L("/home/u")), L("/cfg/gavrix/gavrix.ini"));
  EXPECT_EQ(SettingsFilePath(folder, false, QString(), L("/home/u")), L("/home/u/.config/gavrix/gavrix.ini"));
  EXPECT_EQ(SettingsFilePath(folder, false, L("relative/cfg"), L("/home/u")), L("/home/u/.config/gavrix/gavrix.ini"));
  WriteFile(exe.file("gavrix.ini"), "[Settings]\n");  // a portable copy on a read-only medium keeps its file
  EXPECT_EQ(SettingsFilePath(folder, false, L("/cfg"), L("/home/u")), beside);
}

TEST(Program, InstalledCopyCreatesItsSettingsFolder) {
  ScriptedBoxes boxes;
  TempFolder home;
  const QString ini = QString::fromStdString(home.file("config")) + L("/gavrix/gavrix.ini");
  {
    FakeDesktop fakes;
    Program program(fakes.make(), {ini, 0});
    ASSERT_TRUE(program.started());
  }
  EXPECT_TRUE(QFileInfo::exists(ini));
  EXPECT_TRUE(boxes.shown.empty());
}

TEST(LockSingleCopy, SecondHolderAsksTheFirstToShowItselfAndTheLockGoesWithTheFirst) {
  const QString name = QStringLiteral("gavrix-test-%1").arg(QCoreApplication::applicationPid());
  auto first = std::make_unique<LockSingleCopy>(name);
  int shows = 0;
  QObject::connect(first.get(), &SingleCopy::showRequested, [&] { ++shows; });
  EXPECT_FALSE(first->otherCopyRunning());
  {
    LockSingleCopy second(name);
    EXPECT_TRUE(second.otherCopyRunning());
  }
  EXPECT_TRUE(PumpUntil([&] { return shows == 1; }));
  first.reset();
  LockSingleCopy third(name);
  EXPECT_FALSE(third.otherCopyRunning());  // the first copy ended: its lock went with it
}
