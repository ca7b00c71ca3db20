// The settings file's folder.
#include "app/settings_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <unistd.h>

namespace gavrix {

QString SettingsFilePath(const QString& exeFolder, const QString& xdgConfigHome, const QString& home) {
  const QString beside = QDir(exeFolder).filePath(QStringLiteral("gavrix.ini"));
  if (QFileInfo::exists(beside) || ::access(QFile::encodeName(exeFolder).constData(), W_OK) == 0) return beside;
  // The base directory specification ignores relative paths in its variables.
  const QString config = !xdgConfigHome.isEmpty() && QDir::isAbsolutePath(xdgConfigHome)
                             ? xdgConfigHome
                             : QDir(home).filePath(QStringLiteral(".config"));
  return QDir(config).filePath(QStringLiteral("gavrix/gavrix.ini"));
}

QString SettingsFilePath() {
  return SettingsFilePath(QCoreApplication::applicationDirPath(), qEnvironmentVariable("XDG_CONFIG_HOME"),
                          QDir::homePath());
}

}  // namespace gavrix
