#include "database/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "database/errors.h"
#include "database/fileimage.h"

namespace cm3 {

std::string readTextFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throwFileError(path, errno);
  std::string text;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      text.append(buffer, size_t(n));
    } else if (n == 0 || errno != EINTR) {
      const int err = errno;
      ::close(fd);
      if (n < 0) throwFileError(path, err);
      return text;
    }
  }
}

void writeTextFile(const std::string& path, std::string_view text) {
  struct stat st;
  const int mode = ::stat(path.c_str(), &st) == 0 ? int(st.st_mode & 07777) : 0644;
  try {
    ::close(writeReplacing(path, {ByteRun{reinterpret_cast<const uint8_t*>(text.data()), text.size()}}, true, mode));
  } catch (const FileError& e) {
    // The temporary file is the editor's business: the message names the file the user chose.
    throw FileError(e.kind(), path, std::string(e.what()).substr(e.path().size() + 2));
  }
}

}  // namespace cm3
