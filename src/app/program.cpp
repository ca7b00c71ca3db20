// Program start and end in the order the windows depend on each other.
#include "app/program.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>

#include "app/about_box.h"
#include "app/main_window.h"
#include "launch/join_dialogs_qt.h"
#include "settings/ini_file.h"
#include "settings/settings_dialog_qt.h"
#include "util/message_box_qt.h"
#include "widgets/placement_qt.h"
#include "widgets/tray_qt.h"

namespace gavrix {

Program::Program(Desktop desktop, Options options) : desktop_(std::move(desktop)) {
  if (desktop_.singleCopy && desktop_.singleCopy->otherCopyRunning()) return;
  // Only the main window's close ends the program; hiding the last shown window does not.
  QApplication::setQuitOnLastWindowClosed(false);

  main_ = std::make_unique<TForm1>(options.udpPort);
  main_->web = desktop_.web.get();
  GlobalHotkey* hotkey = desktop_.hotkey.get();
  if (hotkey && hotkey->available()) {
    hotkeyRegistered_ = hotkey->registerHotkey(kHotkeyId, Qt::AltModifier | Qt::ShiftModifier, Qt::Key_S);
    if (!hotkeyRegistered_) Boxes().message(main_.get(), kAppTitle, kHotkeyFailed, BoxIcon::None);
    connect(hotkey, &GlobalHotkey::pressed, main_.get(), &TForm1::WMHotKey);
  }
  if (desktop_.makeTray) tray_ = desktop_.makeTray(main_->ui.PMTray);
  if (tray_) {
    main_->join.setTray(tray_.get());  // auto-connect cycles its images
    connect(tray_.get(), &Tray::doubleClicked, main_.get(), &TForm1::TrayIconDblClick);
    connect(tray_.get(), &Tray::showRequested, main_.get(), &TForm1::TrayShowClick);
    connect(tray_.get(), &Tray::exitRequested, main_.get(), &TForm1::TrayExitClick);
  }
  if (desktop_.singleCopy) connect(desktop_.singleCopy.get(), &SingleCopy::showRequested, main_.get(), &TForm1::showInFront);

  // An installed copy keeps its settings in a folder of its own that may not exist yet.
  QDir().mkpath(QFileInfo(options.iniPath).absolutePath());
  ini_ = std::make_unique<IniFile>(options.iniPath.toStdString());
  settings_ = std::make_unique<TSettings>(main_->settingsParts(), *ini_);

  about_ = std::make_unique<TFormAbout>(&settings_->settings, desktop_.web.get());
  settings_->addTranslucentWindow(about_.get());
  main_->aboutBox = about_.get();

  pass_ = std::make_unique<TFormPass>(*ini_);
  auto_ = std::make_unique<TFormAuto>();
  const Settings* shared = &settings_->settings;
  auto translucency = [shared] { return std::make_pair(shared->Trans, shared->TransLevel); };
  pass_->setTranslucencySource(translucency);
  auto_->setTranslucencySource(translucency);
  settings_->addTranslucentWindow(pass_.get());
  settings_->addTranslucentWindow(auto_.get());
  main_->join.attachDialogs(pass_.get(), auto_.get());

  if (desktop_.taskbar) desktop_.taskbar->hideEntry(main_.get());
  // The end of the desktop session closes the program the normal way.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { requestEnd(); });
}

Program::~Program() {
  if (!main_) return;
  if (hotkeyRegistered_) desktop_.hotkey->unregisterHotkey(kHotkeyId);
  main_->aboutBox = nullptr;
  main_->join.attachDialogs(nullptr, nullptr);
  auto_.reset();
  pass_.reset();      // writes section Password
  about_.reset();
  settings_.reset();  // the exit save
  ini_.reset();
  // The tray icon goes last: auto-connect, part of the main window, holds it until the end.
  main_.reset();
  tray_.reset();
}

int Program::exec() {
  if (!main_) return 0;
  // Centred at the size the settings gave it.
  CentreOnScreen(main_.get());
  main_->show();
  return QApplication::exec();
}

void Program::requestEnd() {
  if (!main_ || ending_) return;
  // A close during a scan is refused and stops the scan; the scan's handler
  // returns at its next pump, and the close is asked for again.
  if (main_->close()) return;
  ending_ = true;
  QTimer::singleShot(20, this, [this] {
    ending_ = false;
    requestEnd();
  });
}

}  // namespace gavrix
