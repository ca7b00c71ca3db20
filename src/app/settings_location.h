// Where gavrix.ini lives: beside the executable for a portable copy, in the
// user's configuration folder for an installed one.
#pragma once

#include <QString>

namespace gavrix {

// exeFolder/gavrix.ini when that folder is writable or already holds a
// gavrix.ini; otherwise configHome/gavrix/gavrix.ini, where configHome is
// $XDG_CONFIG_HOME when it is an absolute path, else home/.config.
QString SettingsFilePath(const QString& exeFolder, bool exeFolderWritable, const QString& xdgConfigHome,
                         const QString& home);

// The path for this process, from its executable's folder and environment.
QString SettingsFilePath();

}  // namespace gavrix
