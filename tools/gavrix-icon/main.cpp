// Writes the program's icon as PNG files in the hicolor theme's layout:
// <folder>/<n>x<n>/apps/gavrix.png for each size a desktop looks for.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "widgets/icons_qt.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gavrix-icon FOLDER\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString name = QStringLiteral("%1x%1/apps").arg(size);
    if (!folder.mkpath(name) || !gavrix::RenderAppIcon(size).save(folder.filePath(name + QStringLiteral("/gavrix.png")))) {
      std::fprintf(stderr, "gavrix-icon: cannot write %s\n", qPrintable(folder.filePath(name)));
      return 1;
    }
  }
  return 0;
}
