#pragma once
#include <stdexcept>
#include <string>

namespace cm3 {

// A failure of the file system. `kind` lets front ends pick the message the
// user sees; what() names the file and the system's own reason.
class FileError : public std::runtime_error {
 public:
  // Removed: the file was deleted from its folder while it was open.
  enum class Kind { PathNotFound, AccessDenied, DiskFull, Locked, Io, Removed };
  FileError(Kind kind, const std::string& path, const std::string& reason)
      : std::runtime_error(path + ": " + reason), kind_(kind), path_(path) {}
  Kind kind() const { return kind_; }
  const std::string& path() const { return path_; }

 private:
  Kind kind_;
  std::string path_;
};

// A value that cannot be stored (bad number, name too long, no such record).
class ValueError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace cm3
