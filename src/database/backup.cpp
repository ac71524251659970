#include "database/backup.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "database/catalogue.h"
#include "database/database.h"
#include "database/errors.h"
#include "database/fileimage.h"
#include "database/gamepath.h"

namespace cm3::backup {
namespace {

namespace fs = std::filesystem;

struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

std::string base(const std::string& gameDir) { return resolveGamePath(gameDir, ""); }

// Copies one file, cloning it where the file system can.
void copyFile(const std::string& from, const std::string& to) {
  Fd in, out;
  in.fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in.fd < 0) throwFileError(from, errno);
  struct stat st;
  if (::fstat(in.fd, &st) != 0) throwFileError(from, errno);
  fileStep("create", to);
  out.fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0666);
  if (out.fd < 0) throwFileError(to, errno);
  fileStep("write", to);
  if (::ioctl(out.fd, FICLONE, in.fd) != 0) {
    off_t left = st.st_size;
    bool kernel = true;
    while (left > 0 && kernel) {
      ssize_t n = ::copy_file_range(in.fd, nullptr, out.fd, nullptr, size_t(left), 0);
      if (n > 0) {
        left -= n;
      } else if (n == 0) {
        break;
      } else if (errno == EINTR) {
        continue;
      } else if (left == st.st_size && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                                         errno == EOPNOTSUPP || errno == EBADF)) {
        kernel = false;
      } else {
        throwFileError(to, errno);
      }
    }
    if (!kernel) {
      std::vector<char> buf(size_t(1) << 20);
      for (;;) {
        ssize_t r = ::read(in.fd, buf.data(), buf.size());
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) throwFileError(from, errno);
        if (r == 0) break;
        for (ssize_t done = 0; done < r;) {
          ssize_t w = ::write(out.fd, buf.data() + done, size_t(r - done));
          if (w < 0 && errno == EINTR) continue;
          if (w <= 0) throwFileError(to, w < 0 ? errno : ENOSPC);
          done += w;
        }
      }
    }
  }
  fileStep("sync", to);
  if (::fdatasync(out.fd) != 0) throwFileError(to, errno);
}

// "20261207-101500" and "20261207-101500-2": the order they were made in.
bool isBackupName(const std::string& n) {
  if (n.size() < 15 || n[8] != '-') return false;
  for (size_t i = 0; i < 15; ++i)
    if (i != 8 && !std::isdigit(static_cast<unsigned char>(n[i]))) return false;
  if (n.size() == 15) return true;
  if (n[15] != '-' || n.size() == 16) return false;
  return std::all_of(n.begin() + 16, n.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}
bool madeBefore(const std::string& a, const std::string& b) {
  auto suffix = [](const std::string& n) { return n.size() > 16 ? std::stoll(n.substr(16)) : 1; };
  int c = a.compare(0, 15, b, 0, 15);
  return c != 0 ? c < 0 : suffix(a) < suffix(b);
}

std::vector<std::string> names(const std::string& gameDir) {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folderOf(gameDir), ec))
    if (e.is_directory() && isBackupName(e.path().filename().string())) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end(), madeBefore);
  return out;
}

void prune(const std::string& gameDir, size_t keep) {
  std::vector<std::string> all = names(gameDir);
  for (size_t i = 0; i + keep < all.size(); ++i) {
    std::error_code ec;
    fs::remove_all(fs::path(folderOf(gameDir)) / all[i], ec);
  }
}

std::string stamp() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
  return buf;
}

// The files of a backup folder, relative to it.
std::vector<std::string> filesIn(const fs::path& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) out.push_back(fs::relative(e.path(), dir).string());
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

std::string folderOf(const std::string& gameDir) { return base(gameDir) + "/" + kFolderName; }

std::vector<std::string> gameFilesOf(const std::string& gameDir) {
  const std::string root = base(gameDir);
  std::vector<std::string> out;
  for (const GameFileInfo& f : kGameFiles) {
    if (f.path == kPathStaffAtt || f.path == kPathStaffAtt2) continue;  // working files
    const std::string p = resolveGamePath(gameDir, f.path);
    if (!FileExists(p) || p.compare(0, root.size(), root) != 0) continue;
    std::string rel = p.substr(root.size());
    while (!rel.empty() && rel[0] == '/') rel.erase(0, 1);
    if (std::find(out.begin(), out.end(), rel) == out.end()) out.push_back(rel);
  }
  return out;
}

std::string make(const std::string& gameDir, size_t keep) {
  const std::string root = base(gameDir);
  const std::string folder = folderOf(gameDir);
  if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) throwFileError(folder, errno);
  // Named after the newest backup of the same second, never after one that
  // was pruned: a reused name would sort before the backups that outlived it.
  const std::string now = stamp();
  std::string name = now;
  long long last = 0;
  for (const std::string& n : names(gameDir))
    if (n.compare(0, 15, now) == 0) last = std::max(last, n.size() > 16 ? std::stoll(n.substr(16)) : 1);
  long long n = last + 1;
  if (last > 0) name = now + "-" + std::to_string(n);
  while (fs::exists(folder + "/" + name + ".partial")) name = now + "-" + std::to_string(++n);
  // Built under a name the list does not show, and renamed once complete.
  const std::string partial = folder + "/" + name + ".partial";
  try {
    if (::mkdir(partial.c_str(), 0755) != 0) throwFileError(partial, errno);
    for (const std::string& rel : gameFilesOf(gameDir)) {
      const fs::path to = fs::path(partial) / rel;
      std::error_code ec;
      fs::create_directories(to.parent_path(), ec);
      if (ec) throwFileError(to.parent_path().string(), ec.value());
      copyFile(root + "/" + rel, to.string());
    }
    fileStep("rename", folder + "/" + name);
    if (::rename(partial.c_str(), (folder + "/" + name).c_str()) != 0) throwFileError(folder + "/" + name, errno);
  } catch (...) {
    std::error_code ec;
    fs::remove_all(partial, ec);
    throw;
  }
  syncFolderOf(folder + "/" + name);
  if (keep > 0) prune(gameDir, keep);
  return name;
}

std::vector<BackupInfo> list(const std::string& gameDir) {
  std::vector<BackupInfo> out;
  for (const std::string& n : names(gameDir)) {
    BackupInfo b;
    b.name = n;
    b.date = n.substr(0, 4) + "-" + n.substr(4, 2) + "-" + n.substr(6, 2) + " " + n.substr(9, 2) + ":" +
             n.substr(11, 2) + ":" + n.substr(13, 2);
    const fs::path dir = fs::path(folderOf(gameDir)) / n;
    std::error_code ec;
    for (const auto& rel : filesIn(dir)) {
      b.bytes += fs::file_size(dir / rel, ec);
      ++b.files;
    }
    out.push_back(std::move(b));
  }
  return out;
}

std::string describe(const BackupInfo& b) {
  char size[32];
  std::snprintf(size, sizeof size, "%.1f MB", double(b.bytes) / (1024.0 * 1024.0));
  return b.date + "   (" + std::to_string(b.files) + " files, " + size + ")";
}

std::string restore(const std::string& gameDir, const std::string& wanted) {
  const std::vector<std::string> all = names(gameDir);
  if (all.empty()) throw FileError(FileError::Kind::PathNotFound, folderOf(gameDir), "there are no backups.");
  const std::string name = wanted.empty() ? all.back() : wanted;
  if (std::find(all.begin(), all.end(), name) == all.end())
    throw FileError(FileError::Kind::PathNotFound, folderOf(gameDir) + "/" + name, "there is no such backup.");

  // The lock an editor holds on index.dat while the database is open.
  const std::string lockPath = resolveGamePath(gameDir, kPathIndex);
  Fd lock;
  lock.fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (lock.fd < 0) throwFileError(lockPath, errno);
  if (::flock(lock.fd, LOCK_EX | LOCK_NB) != 0)
    throw FileError(FileError::Kind::Locked, gameDir, std::string(kAlreadyOpenMessage) + " Nothing was restored.");
  if (Database::hasLeftoverWorkingFiles(gameDir))
    throw FileError(FileError::Kind::Locked, gameDir,
                    "the editor was not closed properly last time and its changes are still in the working files. "
                    "Open the database (or run cm3db recover) first. Nothing was restored.");

  const std::string root = base(gameDir);
  const fs::path from = fs::path(folderOf(gameDir)) / name;
  const std::string before = make(gameDir, 0);
  for (const std::string& rel : filesIn(from)) {
    auto src = FileImage::open((from / rel).string());
    const std::string target = root + "/" + rel;
    struct stat st;
    const int mode = ::stat(target.c_str(), &st) == 0 ? int(st.st_mode & 07777) : 0644;
    ::close(writeReplacing(target, {ByteRun{src->data().data(), src->data().size()}}, true, mode));
  }
  prune(gameDir, kKept);
  return before;
}

}  // namespace cm3::backup
