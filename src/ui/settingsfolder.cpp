#include "ui/settingsfolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QStandardPaths>

#include "database/settings.h"
#include "ui/filenames.h"

namespace cm3::ui {

QString settingsFolder(const QString& programDir) {
  // Asked for the effective user, the one that will write the file.
  auto may = [](const std::string& path, int mode) { return ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0; };
  const std::string dir = nativePath(programDir);
  const std::string file = settingsPath(dir);
  if (may(file, F_OK) ? may(file, W_OK) : may(dir, W_OK)) return programDir;
  const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  QDir().mkpath(config);
  return config;
}

}  // namespace cm3::ui
