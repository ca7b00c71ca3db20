// Program entry: the application with its title, the desktop services, the
// program's windows and the message loop.
#include "app/application.h"

#include <QApplication>

#include "widgets/icons_qt.h"
#include "app/platform/end_signals.h"
#include "app/program.h"
#include "app/settings_location.h"
#include "util/message_box_qt.h"

namespace gavrix {

int RunApplication(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(kAppTitle);
  QApplication::setApplicationDisplayName(kAppTitle);
  QApplication::setWindowIcon(AppIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("gavrix"));

  Program program(NativeDesktop(kAppTitle), {SettingsFilePath()});
  if (!program.started()) return 0;
  EndSignals endSignals;
  QObject::connect(&endSignals, &EndSignals::endRequested, &program, &Program::requestEnd);
  return program.exec();
}

}  // namespace gavrix
