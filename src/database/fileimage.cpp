#include "database/fileimage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "database/errors.h"

namespace cm3 {

void throwFileError(const std::string& path, int err) {
  FileError::Kind kind = FileError::Kind::Io;
  switch (err) {
    case ENOENT:
    case ENOTDIR: kind = FileError::Kind::PathNotFound; break;
    case EACCES:
    case EPERM:
    case EROFS: kind = FileError::Kind::AccessDenied; break;
    case ENOSPC:
    case EDQUOT: kind = FileError::Kind::DiskFull; break;
    case EWOULDBLOCK: kind = FileError::Kind::Locked; break;
    default: break;
  }
  throw FileError(kind, path, std::strerror(err));
}

std::shared_ptr<FileImage> FileImage::open(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) throwFileError(path, errno);
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    int err = errno;
    ::close(fd);
    throwFileError(path, err);
  }
  std::vector<uint8_t> data(size_t(st.st_size));
  size_t done = 0;
  while (done < data.size()) {
    ssize_t r = ::pread(fd, data.data() + done, data.size() - done, off_t(done));
    if (r < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      throwFileError(path, err);
    }
    if (r == 0) break;
    done += size_t(r);
  }
  data.resize(done);
  return std::shared_ptr<FileImage>(new FileImage(path, fd, std::move(data)));
}

FileImage::FileImage(std::string path, int fd, std::vector<uint8_t> data)
    : path_(std::move(path)), fd_(fd), data_(std::move(data)) {}

FileImage::~FileImage() {
  if (fd_ >= 0) ::close(fd_);
}

size_t FileImage::read(uint64_t pos, void* dst, size_t n) const {
  auto* out = static_cast<uint8_t*>(dst);
  size_t inside = 0;
  if (pos < data_.size()) inside = size_t(std::min<uint64_t>(n, data_.size() - pos));
  if (inside) std::memcpy(out, data_.data() + pos, inside);
  if (inside < n) std::memset(out + inside, 0, n - inside);
  return inside;
}

const uint8_t* FileImage::peek(uint64_t pos, size_t n) const {
  if (pos > data_.size() || data_.size() - pos < n) return nullptr;
  return data_.data() + pos;
}

static void writeAll(int fd, const std::string& path, uint64_t pos, const uint8_t* src, size_t n) {
  size_t done = 0;
  while (done < n) {
    ssize_t w = ::pwrite(fd, src + done, n - done, off_t(pos + done));
    if (w < 0) {
      if (errno == EINTR) continue;
      throwFileError(path, errno);
    }
    done += size_t(w);
  }
}

void FileImage::write(uint64_t pos, const void* src, size_t n) {
  const auto* in = static_cast<const uint8_t*>(src);
  if (pos > data_.size()) {
    // Fill the gap first so the file never holds undefined bytes.
    std::vector<uint8_t> zeros(size_t(pos - data_.size()), 0);
    writeAll(fd_, path_, data_.size(), zeros.data(), zeros.size());
    data_.resize(size_t(pos), 0);
  }
  writeAll(fd_, path_, pos, in, n);
  if (pos + n > data_.size()) data_.resize(size_t(pos + n));
  std::memcpy(data_.data() + pos, in, n);
}

void FileImage::replaceAll(const std::vector<uint8_t>& content) {
  writeAll(fd_, path_, 0, content.data(), content.size());
  if (content.size() < data_.size() && ::ftruncate(fd_, off_t(content.size())) != 0) throwFileError(path_, errno);
  data_ = content;
}

void FileImage::sync() {
  if (::fsync(fd_) != 0) throwFileError(path_, errno);
}

}  // namespace cm3
