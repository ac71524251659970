// backup list and restore: the backups the editor and cm3db make before the
// first write of a session.
#include <iostream>

#include "cli/commands.h"
#include "cli/common.h"
#include "database/backup.h"

namespace cm3::cli {

int cmdBackupList(const std::string& gameDir) {
  for (const backup::BackupInfo& b : backup::list(gameDir)) {
    Json j = Json::object();
    j["name"] = b.name;
    j["date"] = b.date;
    j["bytes"] = b.bytes;
    j["files"] = b.files;
    std::cout << j.dump() << '\n';
  }
  return 0;
}

int cmdRestore(const std::string& gameDir, const std::string& name) {
  const auto all = backup::list(gameDir);
  const std::string target = name.empty() && !all.empty() ? all.back().name : name;
  const std::string previous = backup::restore(gameDir, target);
  Json j = Json::object();
  j["GameDir"] = gameDir;
  j["restored"] = target;
  j["previousFilesIn"] = previous;
  std::cout << j.dump(2) << '\n';
  return 0;
}

}  // namespace cm3::cli
