// The settings file's folder.
#include "app/settings_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <unistd.h>

namespace gavrix {

QString SettingsFilePath(const QString& exeFolder, bool exeFolderWritable, const QString& xdgConfigHome,
                         const QString& home) {
  const QString beside = QDir(exeFolder).filePath(QStringLiteral("gavrix.ini"));
  if (exeFolderWritable || QFileInfo::exists(beside)) return beside;
  // The base directory specification ignores relative paths in its variables.
  const QString config = !xdgConfigHome.isEmpty() && QDir::isAbsolutePath(xdgConfigHome)
                             ? xdgConfigHome
                             : QDir(home).filePath(QStringLiteral(".config"));
  return QDir(config).filePath(QStringLiteral("gavrix/gavrix.ini"));
}

QString SettingsFilePath() {
  const QString folder = QCoreApplication::applicationDirPath();
  const bool writable = ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
  return SettingsFilePath(folder, writable, qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath());
}

}  // namespace gavrix
