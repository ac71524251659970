#include "database/fileimage.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "database/errors.h"

namespace cm3 {

namespace {

FileStepHook g_stepHook = nullptr;

// Large writes go out in pieces of this size, each announced as a step, so
// that a test can stop the process in the middle of a file.
constexpr size_t kWriteChunk = size_t(1) << 20;

void writeAll(int fd, const std::string& path, uint64_t pos, const uint8_t* src, size_t n) {
  size_t done = 0;
  while (done < n) {
    ssize_t w = ::pwrite(fd, src + done, n - done, off_t(pos + done));
    if (w < 0) {
      if (errno == EINTR) continue;
      throwFileError(path, errno);
    }
    if (w == 0) throwFileError(path, ENOSPC);
    done += size_t(w);
  }
}

}  // namespace

void setFileStepHook(FileStepHook hook) { g_stepHook = hook; }

void fileStep(const char* step, const std::string& path) {
  if (g_stepHook) g_stepHook(step, path);
}

// What an errno means to the user, and which kind of failure it is.
struct ErrnoMeaning {
  std::initializer_list<int> codes;
  FileError::Kind kind;
  const char* reason;
};
const ErrnoMeaning kErrnoMeanings[] = {
    {{ENOENT, ENOTDIR}, FileError::Kind::PathNotFound, "the file or its folder does not exist"},
    {{EACCES, EPERM},
     FileError::Kind::AccessDenied,
     "permission denied: the file or its folder is read-only, or you may not change it"},
    {{EROFS}, FileError::Kind::AccessDenied, "the disk is read-only"},
    {{ENOSPC, EDQUOT}, FileError::Kind::DiskFull, "the disk is full"},
    {{EFBIG}, FileError::Kind::DiskFull, "the file cannot grow any larger (the disk or the system allows no more)"},
    {{EWOULDBLOCK, EBUSY, ETXTBSY}, FileError::Kind::Locked, "the file is locked or in use by another program"},
};

void throwFileError(const std::string& path, int err) {
  for (const ErrnoMeaning& m : kErrnoMeanings)
    for (int code : m.codes)
      if (code == err) throw FileError(m.kind, path, m.reason);
  throw FileError(FileError::Kind::Io, path, std::strerror(err));
}

std::string temporaryPathFor(const std::string& path) { return path + ".new"; }

void removeFile(const std::string& path) {
  fileStep("delete", path);
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) throwFileError(path, errno);
}

void syncFolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fileStep("sync", dir);
  (void)::fsync(fd);
  ::close(fd);
}

int writeReplacing(const std::string& path, const std::vector<ByteRun>& content, bool durable, int mode,
                   const std::function<void(uint64_t, uint64_t)>& progress) {
  uint64_t total = 0;
  for (const ByteRun& r : content) total += r.size;
  if (total > kMaxFileSize) throwFileError(path, EFBIG);

  const std::string tmp = temporaryPathFor(path);
  fileStep("create", tmp);
  int fd = ::open(tmp.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) throwFileError(tmp, errno);
  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(tmp.c_str());
    throwFileError(tmp, err);
  };
  if (::fchmod(fd, mode_t(mode)) != 0 && errno != EPERM) fail(errno);
  try {
    uint64_t done = 0;
    for (const ByteRun& r : content) {
      for (size_t off = 0; off < r.size;) {
        size_t n = std::min(kWriteChunk, r.size - off);
        fileStep("write", tmp);
        writeAll(fd, tmp, done, r.data + off, n);
        off += n;
        done += n;
        if (progress) progress(done, total);
      }
    }
  } catch (const FileError&) {
    ::close(fd);
    ::unlink(tmp.c_str());
    throw;
  }
  if (durable) {
    fileStep("sync", tmp);
    if (::fdatasync(fd) != 0) fail(errno);
  }
  fileStep("rename", path);
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::close(fd);
    ::unlink(tmp.c_str());
    throwFileError(path, err);
  }
  if (durable) syncFolderOf(path);
  return fd;
}

// Every mapping spans the largest file the editor makes, so that it never
// has to move when the file grows: the bytes a write appends are seen
// through it at once.
constexpr size_t kMapWindow = size_t(kMaxFileSize) + 1;

std::shared_ptr<FileImage> FileImage::open(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) throwFileError(path, errno);
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    int err = errno;
    ::close(fd);
    throwFileError(path, err);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    throw FileError(FileError::Kind::Io, path, "this is not a file");
  }
  if (uint64_t(st.st_size) > kMaxFileSize) {
    ::close(fd);
    throw FileError(FileError::Kind::Io, path, "the file is too large to be a game file");
  }
  return std::shared_ptr<FileImage>(new FileImage(path, fd, uint64_t(st.st_size)));
}

std::shared_ptr<FileImage> FileImage::create(const std::string& path, const ByteBuffer& content) {
  int fd = writeReplacing(path, {ByteRun{content.data(), content.size()}}, false, 0644);
  return std::shared_ptr<FileImage>(new FileImage(path, fd, content.size()));
}

FileImage::FileImage(std::string path, int fd, uint64_t size) : path_(std::move(path)), fd_(fd) {
  void* m = ::mmap(nullptr, kMapWindow, PROT_READ, MAP_SHARED, fd_, 0);
  if (m != MAP_FAILED) {
    map_ = static_cast<uint8_t*>(m);
    setSize(size);
    return;
  }
  // No mapping on this file system: keep a copy, kept in step by write().
  copy_.resize(size_t(size));
  size_t done = 0;
  while (done < copy_.size()) {
    ssize_t r = ::pread(fd_, copy_.data() + done, copy_.size() - done, off_t(done));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) {
      int err = errno;
      ::close(fd_);
      throwFileError(path_, err);
    }
    if (r == 0) break;
    done += size_t(r);
  }
  copy_.resize(done);
  setSize(done);
}

FileImage::~FileImage() {
  if (map_) ::munmap(map_, kMapWindow);
  if (fd_ >= 0) ::close(fd_);
}

void FileImage::setSize(uint64_t size) {
  if (map_) {
    bytes_ = FileBytes(map_, size_t(size));
  } else {
    copy_.resize(size_t(size), 0);
    bytes_ = FileBytes(copy_.data(), copy_.size());
  }
}

size_t FileImage::read(uint64_t pos, void* dst, size_t n) const {
  auto* out = static_cast<uint8_t*>(dst);
  size_t inside = 0;
  if (pos < size()) inside = size_t(std::min<uint64_t>(n, size() - pos));
  if (inside) std::memcpy(out, bytes_.data() + pos, inside);
  if (inside < n) std::memset(out + inside, 0, n - inside);
  return inside;
}

const uint8_t* FileImage::peek(uint64_t pos, size_t n) const {
  if (pos > size() || size() - pos < n) return nullptr;
  return bytes_.data() + pos;
}

void FileImage::write(uint64_t pos, const void* src, size_t n) {
  if (pos > kMaxFileSize || n > kMaxFileSize - pos) throwFileError(path_, EFBIG);
  checkPresent();
  const auto* in = static_cast<const uint8_t*>(src);
  const uint64_t oldSize = size();
  // The bytes about to be replaced, to put back should the write fail half-way.
  const size_t overlap = pos < oldSize ? size_t(std::min<uint64_t>(n, oldSize - pos)) : 0;
  std::vector<uint8_t> before(bytes_.data() + (overlap ? pos : 0), bytes_.data() + (overlap ? pos : 0) + overlap);
  fileStep("write", path_);
  try {
    // A gap before the record reads as zero bytes once the file is extended.
    if (pos > oldSize && ::ftruncate(fd_, off_t(pos)) != 0) throwFileError(path_, errno);
    writeAll(fd_, path_, pos, in, n);
  } catch (const FileError&) {
    if (overlap) (void)::pwrite(fd_, before.data(), overlap, off_t(pos));
    if (pos + n > oldSize) (void)::ftruncate(fd_, off_t(oldSize));
    throw;
  }
  setSize(std::max<uint64_t>(oldSize, pos + n));
  if (!map_) std::memcpy(copy_.data() + pos, in, n);
}

void FileImage::truncate(uint64_t size) {
  if (size >= this->size()) return;
  checkPresent();
  fileStep("truncate", path_);
  if (::ftruncate(fd_, off_t(size)) != 0) throwFileError(path_, errno);
  setSize(size);
}

int FileImage::mode() const {
  struct stat st;
  return ::fstat(fd_, &st) == 0 ? int(st.st_mode & 07777) : 0644;
}

void FileImage::checkPresent() const {
  struct stat st;
  if (::fstat(fd_, &st) == 0 && st.st_nlink == 0)
    throw FileError(FileError::Kind::Removed, path_,
                    "the file has been deleted from the game folder since it was opened, so nothing was written to "
                    "it");
}

void FileImage::sync() {
  fileStep("sync", path_);
  if (::fdatasync(fd_) != 0) throwFileError(path_, errno);
}

}  // namespace cm3
