#include "ui/settingsfolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QStandardPaths>

#include "database/settings.h"
#include "ui/filenames.h"

namespace cm3::ui {

namespace {

// Asked for the effective user, the one that will write the file.
bool writable(const std::string& path) { return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0; }

}  // namespace

QString settingsFolder(const QString& programDir) {
  const std::string dir = nativePath(programDir);
  const std::string file = settingsPath(dir);
  const bool exists = ::faccessat(AT_FDCWD, file.c_str(), F_OK, AT_EACCESS) == 0;
  if (exists ? writable(file) : writable(dir)) return programDir;
  const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  QDir().mkpath(config);
  return config;
}

}  // namespace cm3::ui
