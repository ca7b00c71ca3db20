// The shell on a real X server with a window manager and a notification area:
// single copy, hotkey, minimising, taskbar, end signals, the hotkey held by
// another client, the tray icon, and screenshots of the windows.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QTreeView>
#include <QToolButton>
#include <QWidget>
#include <csignal>
#include <xcb/xcb.h>

#include "app/about_box.h"
#include "app/main_window.h"
#include "app/platform/system_tray.h"
#include "app/platform/xcb_desktop.h"
#include "app/program.h"
#include "settings/temp_folder.h"
#include "support/fake_desktop_qt.h"
#include "support/scripted_boxes_qt.h"
#include "x11/x_session.h"

using namespace gavrix;
using namespace gavrix::test;

namespace {

const QString kTitle = QStringLiteral("Gavrix_v1.99 beta");
const QStringList kHotkey{QStringLiteral("key"), QStringLiteral("shift+alt+s")};

}  // namespace

TEST(X11, SecondCopyEndsWithoutWindowOrFileAndTheFirstComesForward) {
  XServer x;
  ProgramCopy first;
  const quint64 window = first.startShown();
  ASSERT_NE(window, 0u);
  XDoTool(kHotkey);
  ASSERT_TRUE(PumpUntil([&] { return !x.viewable(window); }));

  ProgramCopy second("");
  second.start();
  ASSERT_TRUE(second.process().waitForFinished(5000));
  EXPECT_EQ(second.process().exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.process().exitCode(), 0);
  EXPECT_FALSE(second.iniExists());
  // The first copy shows itself and is the active window.
  EXPECT_TRUE(PumpUntil([&] { return x.viewable(window) && x.activeWindow() == window; }, 5000));
}

TEST(X11, AnotherProgramsWindowWithTheTitleMakesANewCopyEnd) {
  XServer x;
  QWidget other;
  other.setWindowTitle(kTitle);
  other.resize(200, 100);
  other.show();
  ASSERT_TRUE(PumpUntil([&] { return x.viewable(other.winId()); }));
  QWidget elsewhere;  // takes the focus away from the window with the title
  elsewhere.setWindowTitle(QStringLiteral("elsewhere"));
  elsewhere.show();
  elsewhere.activateWindow();
  ASSERT_TRUE(PumpUntil([&] { return x.activeWindow() == elsewhere.winId(); }));

  ProgramCopy copy;
  copy.start();
  ASSERT_TRUE(copy.process().waitForFinished(5000));
  EXPECT_EQ(copy.process().exitCode(), 0);
  const std::string ini = ReadFile(copy.iniPath());
  EXPECT_EQ(ini, "[Settings]\nBroadcast=0\n");  // nothing written
  EXPECT_TRUE(PumpUntil([&] { return x.activeWindow() == other.winId(); }, 5000));
}

// Without a window list (offscreen, Wayland) a per-user lock finds the running copy.
TEST(X11, WithoutAWindowListASecondCopyEndsThroughTheLock) {
  TempFolder runtime;
  const QString runtimeFolder = QFileInfo(QString::fromStdString(runtime.file("x"))).absolutePath();
  QFile::setPermissions(runtimeFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  ProgramCopy first("[Settings]\nBroadcast=0\nWidth=710\n");
  first.startOffscreen(runtimeFolder);
  ASSERT_TRUE(first.process().waitForStarted(5000));
  ASSERT_TRUE(PumpUntil([&] { return !QDir(runtimeFolder).entryList({QStringLiteral("gavrix-*")}).isEmpty(); }, 5000));
  Pump(500);
  ProgramCopy second("");
  second.startOffscreen(runtimeFolder);
  ASSERT_TRUE(second.process().waitForFinished(5000));
  EXPECT_EQ(second.process().exitCode(), 0);
  EXPECT_FALSE(second.iniExists());
  EXPECT_EQ(first.process().state(), QProcess::Running);
  ::kill(static_cast<pid_t>(first.process().processId()), SIGTERM);
  ASSERT_TRUE(first.process().waitForFinished(5000));
  EXPECT_EQ(first.process().exitCode(), 0);
  EXPECT_NE(ReadFile(first.iniPath()).find("Width=710"), std::string::npos);
}

TEST(X11, HotkeyHidesAndShowsWithNumLockAndCapsLockToo) {
  XServer x;
  ProgramCopy copy;
  const quint64 window = copy.startShown();
  ASSERT_NE(window, 0u);
  for (const char* lock : {"", "Num_Lock", "Caps_Lock"}) {
    if (*lock) XDoTool({QStringLiteral("key"), QString::fromLatin1(lock)});
    XDoTool(kHotkey);
    EXPECT_TRUE(PumpUntil([&] { return !x.viewable(window); })) << lock;
    XDoTool(kHotkey);
    EXPECT_TRUE(PumpUntil([&] { return x.viewable(window) && x.activeWindow() == window; })) << lock;
    if (*lock) XDoTool({QStringLiteral("key"), QString::fromLatin1(lock)});
  }
}

TEST(X11, MinimisingHidesAndTheWindowHasNoTaskbarEntry) {
  XServer x;
  ProgramCopy copy;
  const quint64 window = copy.startShown();
  ASSERT_NE(window, 0u);
  EXPECT_TRUE(x.netWmState(window).contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")));
  XDoTool({QStringLiteral("windowminimize"), QString::number(window)});
  // Hidden (withdrawn), not iconic.
  EXPECT_TRUE(PumpUntil([&] { return !x.viewable(window) && x.wmState(window) != 3; }));
  Pump(300);
  EXPECT_NE(x.wmState(window), 3);
  XDoTool(kHotkey);
  EXPECT_TRUE(PumpUntil([&] { return x.viewable(window); }));
  EXPECT_EQ(x.wmState(window), 1);
  EXPECT_TRUE(x.netWmState(window).contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")));
}

TEST(X11, EndSignalsEndTheProgramWithEverySettingSaved) {
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    ProgramCopy copy("[Settings]\nBroadcast=0\nWidth=700\n");
    ASSERT_NE(copy.startShown(), 0u) << sig;
    ::kill(static_cast<pid_t>(copy.process().processId()), sig);
    ASSERT_TRUE(copy.process().waitForFinished(5000)) << sig;
    EXPECT_EQ(copy.process().exitStatus(), QProcess::NormalExit) << sig;
    EXPECT_EQ(copy.process().exitCode(), 0) << sig;
    const std::string ini = ReadFile(copy.iniPath());
    for (const char* key : {"Width=700", "Broadcast=0", "Delay=", "TransLevel=", "[Games]"})
      EXPECT_NE(ini.find(key), std::string::npos) << sig << " " << key << "\n" << ini;
  }
}

TEST(X11, HotkeyHeldByAnotherClientIsReportedThenWorksOnceFree) {
  XServer other;
  constexpr uint32_t kS = 's';
  ASSERT_TRUE(other.grabKey(kS, XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_1));
  {
    ScriptedBoxes boxes;
    TempFolder folder;
    FakeDesktop fakes;
    Desktop d = fakes.make();
    d.hotkey = std::make_unique<XcbHotkey>();
    Program program(std::move(d), {QString::fromStdString(folder.file("gavrix.ini")), 0});
    ASSERT_TRUE(program.started());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Unable to assign Alt-Ctrl-S as hotkey."));
  }
  other.ungrabAll();
  XcbHotkey hotkey;
  ASSERT_TRUE(hotkey.registerHotkey(1, Qt::AltModifier | Qt::ShiftModifier, Qt::Key_S));
  std::vector<int> pressed;
  QObject::connect(&hotkey, &GlobalHotkey::pressed, [&](int id) { pressed.push_back(id); });
  XDoTool(kHotkey);
  EXPECT_TRUE(PumpUntil([&] { return pressed == std::vector<int>{1}; }));
  XDoTool({QStringLiteral("key"), QStringLiteral("alt+s")});  // not the combination
  EXPECT_EQ(pressed, std::vector<int>{1});
  // Another client is refused while this one holds it.
  EXPECT_FALSE(other.grabKey(kS, XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_1));
}

TEST(X11, TrayIconDoubleClickTogglesAndItsMenuEnds) {
  ASSERT_TRUE(QSystemTrayIcon::isSystemTrayAvailable());
  ScriptedBoxes boxes;
  TempFolder folder;
  FakeDesktop fakes;
  Desktop d = fakes.make();
  d.makeTray = [](QMenu* menu) -> std::unique_ptr<Tray> { return std::make_unique<SystemTray>(menu); };
  Program program(std::move(d), {QString::fromStdString(folder.file("gavrix.ini")), 0});
  TForm1& main = *program.main();
  auto& tray = static_cast<SystemTray&>(*program.tray());
  main.show();
  EXPECT_EQ(tray.icon().toolTip(), QStringLiteral("Gavrix"));
  XServer x;
  QPoint at;
  // The icon is embedded in the notification area's panel.
  ASSERT_TRUE(PumpUntil([&] { return !(at = x.trayIconCenter()).isNull(); }));
  const QStringList move{QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())};
  XDoTool(move);
  XDoTool({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("--delay"),
           QStringLiteral("60"), QStringLiteral("1")});
  EXPECT_TRUE(PumpUntil([&] { return !main.isVisible(); }));
  XDoTool({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("--delay"),
           QStringLiteral("60"), QStringLiteral("1")});
  EXPECT_TRUE(PumpUntil([&] { return main.isVisible(); }));

  // Right button: the menu; "Exit" closes the main window.
  XDoTool({QStringLiteral("click"), QStringLiteral("3")});
  ASSERT_TRUE(PumpUntil([&] { return main.ui.PMTray->isVisible(); }));
  const QRect exitItem = main.ui.PMTray->actionGeometry(main.ui.TrayExit);
  const QPoint exitAt = main.ui.PMTray->mapToGlobal(exitItem.center());
  XDoTool({QStringLiteral("mousemove"), QString::number(exitAt.x()), QString::number(exitAt.y())});
  XDoTool({QStringLiteral("click"), QStringLiteral("1")});
  EXPECT_TRUE(PumpUntil([&] { return !main.isVisible() && !main.ui.PMTray->isVisible(); }));
}

// Screenshots to look at: the main window with a scan of simulated servers listed and one of them
// selected, and the about box. Written to the build folder's screenshots/.
TEST(X11, ScreenshotsOfTheMainWindowWithAListedScanAndOfTheAboutBox) {
  QProcess lan;
  int port = 0;
  for (int attempt = 0; attempt < 20 && !port; ++attempt) {
    const int candidate = 41000 + static_cast<int>((QCoreApplication::applicationPid() * 7 + attempt * 131) % 20000);
    lan.start(QStringLiteral(GAVRIX_FAKELAN),
              {QStringLiteral("--count"), QStringLiteral("8"), QStringLiteral("--port"), QString::number(candidate)});
    if (lan.waitForReadyRead(3000) && lan.readAll().contains("fake servers")) port = candidate;
    else lan.waitForFinished(1000);
  }
  ASSERT_NE(port, 0);
  ScriptedBoxes boxes;
  TempFolder folder;
  WriteFile(folder.file("gavrix.ini"), "[Settings]\nBroadcast=0\nDelay=0\nCSPort=" + std::to_string(port) +
                                           "\n[Ranges]\nRanges=1\nChecked=1\nRangeFrom0=127.0.0.1\nRangeTo0=127.0.0.8\n");
  FakeDesktop fakes;
  Program program(fakes.make(), {QString::fromStdString(folder.file("gavrix.ini")), 0});
  TForm1& main = *program.main();
  main.show();
  main.ui.SBScanAll->click();
  EXPECT_TRUE(PumpUntil([&] { return main.servers.size() == 8; }, 5000));
  main.selectRow(1);
  EXPECT_TRUE(PumpUntil([&] { return main.players.size() > 0 && main.rules.size() > 0; }, 5000));
  Pump(300);
  QDir().mkpath(QStringLiteral(GAVRIX_SCREENSHOTS));
  EXPECT_TRUE(main.grab().save(QStringLiteral(GAVRIX_SCREENSHOTS "/main_window.png")));
  main.ui.About2->trigger();
  Pump(300);
  EXPECT_TRUE(program.about()->grab().save(QStringLiteral(GAVRIX_SCREENSHOTS "/about_box.png")));
  EXPECT_TRUE(boxes.shown.empty());
  lan.terminate();
  lan.waitForFinished(3000);
}
