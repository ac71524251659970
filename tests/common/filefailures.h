// Conditions under which the game's files fail, for core and window tests
// alike: OrdinaryUser (read-only files even as root, uid 65534) and
// FileSizeLimit (a full disk through RLIMIT_FSIZE). A condition that cannot
// be set up aborts the test program.
#pragma once
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace filefailures {

inline void require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "test set-up failed: %s\n", what);
  std::abort();
}

// Root may write anything; while it lives the process acts as an ordinary
// user, to whom the given folders are handed first.
class OrdinaryUser {
 public:
  explicit OrdinaryUser(const std::filesystem::path& dir) : OrdinaryUser(std::vector{dir}) {}
  explicit OrdinaryUser(const std::vector<std::filesystem::path>& dirs) {
    if (::geteuid() != 0) return;
    for (const auto& dir : dirs) {
      for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
        require(::chown(e.path().c_str(), kNobody, kNobody) == 0, "chown");
      require(::chown(dir.c_str(), kNobody, kNobody) == 0, "chown");
    }
    require(::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0, "switching to an ordinary user");
    switched_ = true;
  }
  ~OrdinaryUser() {
    if (switched_) require(::seteuid(0) == 0 && ::setegid(0) == 0, "switching back to root");
  }
  OrdinaryUser(const OrdinaryUser&) = delete;
  OrdinaryUser& operator=(const OrdinaryUser&) = delete;

 private:
  static constexpr uid_t kNobody = 65534;
  bool switched_ = false;
};

// While it lives, no file of the process may grow beyond `bytes`: writes
// past it fail as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    old_ = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit r = saved_;
    r.rlim_cur = bytes;
    require(::setrlimit(RLIMIT_FSIZE, &r) == 0, "setrlimit");
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, old_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*old_)(int);
};

}  // namespace filefailures
