#include "database/settings.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "database/errors.h"
#include "database/fileimage.h"
#include "database/gamepath.h"
#include "database/textfile.h"

namespace cm3 {

std::string settingsPath(const std::string& programDir) { return resolveGamePath(programDir, "tolvedit.tlv"); }

std::optional<std::string> readSettings(const std::string& programDir) {
  std::string path = settingsPath(programDir);
  if (!FileExists(path)) return std::nullopt;
  std::string content;
  try {
    content = readTextFile(path);
  } catch (const FileError&) {
    // A settings file that cannot be read remembers no folder.
  }
  if (content.size() < 4) return std::string();
  // The whole length minus the line end, without the two quotes.
  std::string quoted = content.substr(0, content.size() - 2);
  return quoted.substr(1, quoted.size() - 2);
}

void writeSettings(const std::string& programDir, const std::string& gameDir) {
  std::string path = settingsPath(programDir);
  std::string line = "\"" + gameDir + "\"\r\n";
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throwFileError(path, errno);
  ssize_t w = ::write(fd, line.data(), line.size());
  int err = errno;
  ::close(fd);
  if (w != ssize_t(line.size())) throwFileError(path, w < 0 ? err : ENOSPC);
}

}  // namespace cm3
