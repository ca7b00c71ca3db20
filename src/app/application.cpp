// Program start and end: the application title, the main window, the settings
// dialog (whose creation loads gavrix.ini), the message loop, and the windows'
// destruction in reverse order (the settings dialog's writes the file).
#include "app/application.h"

#include <QApplication>
#include <QDir>
#include <QScreen>

#include "app/icons.h"
#include "app/main_window.h"
#include "launch/join_dialogs_qt.h"
#include "settings/ini_file.h"
#include "settings/settings_dialog_qt.h"
#include "util/message_box_qt.h"

namespace gavrix {

int RunApplication(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(kAppTitle);
  QApplication::setWindowIcon(AppIcon());

  TForm1 main;
  // The settings file lives beside the executable, whatever the working folder.
  IniFile ini(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("gavrix.ini")).toStdString());
  int rc = 0;
  {
    TSettings settings(main, ini);
    // The password dialog writes its section just before the settings dialog's exit save.
    TFormPass pass(ini);
    TFormAuto autoDialog;
    auto translucency = [&settings] { return std::make_pair(settings.settings.Trans, settings.settings.TransLevel); };
    pass.setTranslucencySource(translucency);
    autoDialog.setTranslucencySource(translucency);
    settings.addTranslucentWindow(&pass);
    settings.addTranslucentWindow(&autoDialog);
    main.join.attachDialogs(&pass, &autoDialog);
    if (QScreen* screen = main.screen()) {
      QRect frame = main.frameGeometry();
      frame.moveCenter(screen->availableGeometry().center());
      main.move(frame.topLeft());
    }
    main.show();
    rc = QApplication::exec();
  }
  return rc;
}

}  // namespace gavrix
