// Program start and end.
#include "app/application.h"

#include <QApplication>

namespace gavrix {

int RunApplication(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Gavrix_v1.99 beta"));
  return 0;
}

}  // namespace gavrix
