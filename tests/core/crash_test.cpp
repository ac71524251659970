// A process that edits a database and closes it is killed at every step that
// changes a file; opening again with recovery must give exactly the database
// that closing normally gives after the edits it had acknowledged.
#include <signal.h>
#include <sys/wait.h>

#include <string_view>

#include "common/testkit.h"
#include "database/fileimage.h"

using namespace cm3;
using namespace cm3test;

namespace {

// One write of the session; each is acknowledged once it has returned.
using Edit = std::function<void(Database&)>;

template <class R>
Edit flip(int slot, int64_t n, size_t from, size_t to) {
  return [=](Database& db) {
    R r = db.read<R>(slot, n);
    for (size_t i = from; i < to; ++i) r.bytes[i] = uint8_t(r.bytes[i] ^ (0x5A + i));
    db.write(slot, n, r);
  };
}
// The edits of a session: changes in every kind of file, then a person
// added one write at a time, then one more change after the sections have
// moved.
std::vector<Edit> sessionEdits() {
  std::vector<Edit> edits = {
      flip<StaffRecord>(kSlotStaff, 3, 78, 86), flip<PlayerAttRecord>(kSlotStaffAtt, 7, 27, 69),
      flip<StaffAttRecord>(kSlotStaffAtt2, 2, 14, 35), flip<ClubRecord>(kSlotClub, 2, 4, 30),
      flip<HistoryRecord>(kSlotHistory, 5, 14, 17),
      [](Database& db) {
        uint8_t b[8];
        db.file(kSlotUnknownBytes).read(8, b, 8);
        for (uint8_t& x : b) x = uint8_t(x ^ 0xA5);
        db.file(kSlotUnknownBytes).write(8, b, 8);
      }};
  for (const Edit& e : addPersonSteps("Kim", "Crashtest")) edits.push_back(e);
  edits.push_back(flip<PlayerAttRecord>(kSlotStaffAtt, 1, 5, 15));
  return edits;
}

// The game files of a folder, each file's bytes replaced by a hash of them:
// the expected states are kept for every number of edits.
Files hashed(const fs::path& data) {
  Files h = gameFiles(data);
  for (auto& [name, bytes] : h) {
    const size_t x = std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    bytes.assign(reinterpret_cast<const uint8_t*>(&x), reinterpret_cast<const uint8_t*>(&x) + sizeof x);
  }
  return h;
}

// A session: open, the edits (each acknowledged on ackFd once it returned),
// close.
int session(const std::string& dir, const std::vector<Edit>& edits, int ackFd) {
  try {
    Database db;
    if (!db.open(dir)) return 3;
    for (const Edit& e : edits) {
      e(db);
      if (ackFd >= 0 && ::write(ackFd, "e", 1) != 1) return 5;
    }
    db.close();
    return 0;
  } catch (...) {
    return 4;
  }
}

// Folding back when leftovers are there, as Open does when the user agrees.
void recoverIfNeeded(const std::string& dir) {
  if (!Database::hasLeftoverWorkingFiles(dir)) return;
  Database db;
  ASSERT_TRUE(db.beginOpen(dir)) << db.OpenError;
  db.recoverLeftovers();
  db.abortOpen();
}

long g_steps = 0;
long g_killAt = -1;
void countStep(const char*, const std::string&) { ++g_steps; }
void killAtStep(const char*, const std::string&) {
  if (++g_steps == g_killAt) ::kill(::getpid(), SIGKILL);
}

struct Outcome {
  int acked = 0;
  bool killed = false;
};

// Runs `body` in a child process that is killed at file step `killAt`
// (counting from 1; 0: never).
Outcome runChild(const std::function<int(int ackFd)>& body, long killAt) {
  int fds[2];
  EXPECT_EQ(::pipe(fds), 0);
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    g_steps = 0;
    g_killAt = killAt;
    setFileStepHook(killAt > 0 ? killAtStep : nullptr);
    ::_exit(body(fds[1]));
  }
  ::close(fds[1]);
  Outcome o;
  char c;
  while (::read(fds[0], &c, 1) == 1) ++o.acked;
  ::close(fds[0]);
  int status = 0;
  EXPECT_EQ(::waitpid(pid, &status, 0), pid);
  o.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  if (!o.killed) {
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  }
  return o;
}

struct CrashScenario {
  CrashScenario(const sample::Preset& preset, const std::string& tag) : scratch_(tag) {
    pristine_ = scratch_.path() / "pristine";
    work_ = scratch_.path() / "work";
    sample::generate(pristine_.string(), preset, 11);
    edits_ = sessionEdits();
    // What closing normally gives after the first k edits, for every k.
    for (size_t k = 0; k <= edits_.size(); ++k) {
      fresh();
      std::vector<Edit> first(edits_.begin(), edits_.begin() + long(k));
      EXPECT_EQ(session(dir(), first, -1), 0);
      expected_.push_back(hashed(data()));
    }
    // The number of file steps of the whole session.
    fresh();
    g_steps = 0;
    setFileStepHook(countStep);
    EXPECT_EQ(session(dir(), edits_, -1), 0);
    setFileStepHook(nullptr);
    steps_ = g_steps;
  }

  void fresh() { copyTree(pristine_, work_); }
  std::string dir() const { return work_.string(); }
  fs::path data() const { return work_ / "Data"; }

  // After a kill: the directory is consistent as it is when no leftovers are
  // there; after folding back and a plain open and close it holds what was
  // acknowledged.
  ::testing::AssertionResult check(const Outcome& o) {
    const Files& expected = expected_[size_t(o.acked)];
    if (!Database::hasLeftoverWorkingFiles(dir())) {
      auto closed = sameFiles(hashed(data()), expected);
      if (!closed) return closed << " (no leftovers, so it must be a closed database)";
    }
    recoverIfNeeded(dir());
    auto recovered = sameFiles(hashed(data()), expected);
    if (!recovered) return recovered << " (after folding back " << o.acked << " acknowledged edits)";
    Database db;
    if (!db.open(dir())) return ::testing::AssertionFailure() << "reopening failed: " << db.OpenError;
    db.close();
    if (!sameFiles(hashed(data()), expected)) return ::testing::AssertionFailure() << "open and close changed it";
    for (const std::string& name : fileNames(data()))
      if (isEditorFile(name) && name != "index_temp.dat")
        return ::testing::AssertionFailure() << name << " left in the Data folder";
    return ::testing::AssertionSuccess();
  }

  ScratchDir scratch_;
  fs::path pristine_, work_;
  std::vector<Edit> edits_;
  std::vector<Files> expected_;
  long steps_ = 0;
};

#if defined(__SANITIZE_ADDRESS__)
constexpr long kFullStride = 4;  // every fourth kill point of the full preset under the sanitizers
#else
constexpr long kFullStride = 1;
#endif

class CrashPresets : public ::testing::TestWithParam<std::string> {};
INSTANTIATE_TEST_SUITE_P(Presets, CrashPresets, ::testing::Values("small", "full"),
                         [](const auto& info) { return info.param; });

TEST_P(CrashPresets, KillAtAFileStepOfOpenEditOrCloseLosesOrHalfWritesAnEdit) {
  CrashScenario s(presetNamed(GetParam()), "crash_" + GetParam());
  ASSERT_GT(s.steps_, long(s.edits_.size()) + 10);
  const long stride = GetParam() == "full" ? kFullStride : 1;
  for (long k = 1; k <= s.steps_ + 1; k += (k > s.steps_ - 3 ? 1 : stride)) {
    s.fresh();
    Outcome o = runChild([&](int fd) { return session(s.dir(), s.edits_, fd); }, k);
    EXPECT_EQ(o.killed, k <= s.steps_) << "step " << k;
    EXPECT_TRUE(s.check(o)) << "killed at step " << k << " of " << s.steps_;
  }
}

TEST_P(CrashPresets, KillWhileFoldingBackLeftoversLosesTheRun) {
  CrashScenario s(presetNamed(GetParam()), "crash_recovery_" + GetParam());
  int tried = 0;
  // First kills: in the middle of the edits, and at each step of closing.
  std::vector<long> first = {s.steps_ / 2};
  for (long k = s.steps_ - 12; k <= s.steps_; ++k) first.push_back(k);
  for (long k1 : first) {
    s.fresh();
    Outcome o = runChild([&](int fd) { return session(s.dir(), s.edits_, fd); }, k1);
    if (!Database::hasLeftoverWorkingFiles(s.dir())) continue;
    // Count the steps of folding back on a copy of this state.
    const fs::path saved = s.data().parent_path().parent_path() / "saved";
    copyTree(s.data().parent_path(), saved);
    g_steps = 0;
    setFileStepHook(countStep);
    recoverIfNeeded(s.dir());
    setFileStepHook(nullptr);
    const long recoverySteps = g_steps;
    ASSERT_GT(recoverySteps, 3);
    for (long k2 = 1; k2 <= recoverySteps; ++k2) {
      copyTree(saved, s.data().parent_path());
      Outcome r = runChild(
          [&](int) {
            recoverIfNeeded(s.dir());
            return 0;
          },
          k2);
      EXPECT_TRUE(r.killed);
      ++tried;
      EXPECT_TRUE(s.check(o)) << "first kill at " << k1 << ", second at " << k2;
    }
  }
  EXPECT_GT(tried, 20);
}

}  // namespace
