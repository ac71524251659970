// Folding leftover working files back after a run that did not close, the
// failures of the file system while opening, writing and closing, and a run
// killed at any step that changes a file.
#include <signal.h>
#include <sys/wait.h>

#include <string_view>

#include "common/testkit.h"
#include "database/fileimage.h"
#include "people/person.h"

using namespace cm3;
using namespace cm3test;

namespace {

// Leaves the game as a run that stopped does: opened, a record changed, and
// the Database gone without closing, its working files left behind.
void editAndStop(const GameDir& game) {
  OpenDatabase db(game.str());
  db.write(kSlotStaffAtt, 9, with(db.read<PlayerAttRecord>(kSlotStaffAtt, 9), {{"CurrentAbility", 199}}));
}

// Folding back when leftovers are there, as Open does when the user agrees.
void recoverIfNeeded(const std::string& dir) {
  if (!Database::hasLeftoverWorkingFiles(dir)) return;
  Database db;
  ASSERT_TRUE(db.beginOpen(dir)) << db.OpenError;
  db.recoverLeftovers();
  db.abortOpen();
}

TEST(Recovery, DamagedOrIncompleteLeftoversFoldedBackOrTouched) {
  GameDir game;
  editAndStop(game);
  const Bytes indexTemp = slurp(game.file("index_temp.dat"));
  Bytes negative = indexTemp;
  storeI32(negative.data() + 67 * (kEntrySection3 - 1) + IndexRecord::CountOffset, -5);
  const std::vector<std::tuple<const char*, std::function<void()>, const char*>> damages = {
      {"index_temp.dat cut short", [&] { spit(game.file("index_temp.dat"), slice(indexTemp, 0, 1000)); },
       "Nothing was written back"},
      {"a negative count in it", [&] { spit(game.file("index_temp.dat"), negative); }, "Nothing was written back"},
      {"staff_att.dat missing",
       [&] {
         spit(game.file("index_temp.dat"), indexTemp);
         fs::remove(game.file("staff_att.dat"));
       },
       "no leftover working files"}};
  for (const auto& [what, damage, text] : damages) {
    SCOPED_TRACE(what);
    damage();
    const Files before = snapshot(game.data());
    Database db;
    if (Database::hasLeftoverWorkingFiles(game.str())) {
      OpenHooks hooks;
      hooks.leftovers = [] { return LeftoverChoice::FoldBack; };
      EXPECT_FALSE(db.open(game.str(), hooks)) << "opened over leftovers that were not folded back";
      EXPECT_NE(db.OpenError.find(text), std::string::npos) << db.OpenError;
    } else {
      ASSERT_TRUE(db.beginOpen(game.str()));
      EXPECT_TRUE(failsWith([&] { db.recoverLeftovers(); }, FileError::Kind::PathNotFound, text));
      db.abortOpen();
    }
    EXPECT_TRUE(sameFiles(snapshot(game.data()), before));
  }
}

TEST(Recovery, RecoveryRunsWithoutTheLockOrUnderAnotherEditor) {
  GameDir game;
  editAndStop(game);
  Database unlocked;
  unlocked.GameDir = game.str();
  EXPECT_THROW(unlocked.recoverLeftovers(), std::logic_error);

  Database first;
  ASSERT_TRUE(first.beginOpen(game.str()));
  Database second;
  EXPECT_FALSE(second.beginOpen(game.str()));
  EXPECT_EQ(second.OpenError, kAlreadyOpenMessage);
  first.recoverLeftovers();
  first.abortOpen();
  EXPECT_TRUE(second.beginOpen(game.str()));
}

// ---- The file system says no --------------------------------------------------

TEST(FileFailures, ReadOnlyGameFileOpenedOrLeavesWorkingFiles) {
  GameDir game;
  for (const char* name : {"staff.dat", "club.dat", "index.dat"}) {
    SCOPED_TRACE(name);
    OrdinaryUser user(game.str());
    fs::permissions(game.file(name), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const Files before = snapshot(game.data());
    Database db;
    EXPECT_FALSE(db.open(game.str()));
    EXPECT_NE(db.OpenError.find(name), std::string::npos) << db.OpenError;
    EXPECT_NE(db.OpenError.find("read-only"), std::string::npos) << db.OpenError;
    EXPECT_TRUE(sameFiles(snapshot(game.data()), before)) << "no working file is left behind";
    fs::permissions(game.file(name), fs::perms::owner_write, fs::perm_options::add);
  }
  OpenDatabase(game.str()).close();
}

TEST(FileFailures, UnwritableFolderAtClosingLosesTheRun) {
  GameDir game;
  Files staffBefore;
  {
    OrdinaryUser user(game.str());
    OpenDatabase db(game.str());
    db.write(kSlotStaffAtt, 2, with(db.read<PlayerAttRecord>(kSlotStaffAtt, 2), {{"PotentialAbility", 188}}));
    staffBefore = gameFiles(game.data());
    fs::permissions(game.data(), fs::perms::owner_all, fs::perm_options::remove);
    fs::permissions(game.data(), fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::add);
    EXPECT_TRUE(failsWith([&] { db.close(); }, FileError::Kind::AccessDenied, "staff.dat"));
    EXPECT_FALSE(db.isOpen());
    fs::permissions(game.data(), fs::perms::owner_write, fs::perm_options::add);
  }
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), staffBefore)) << "staff.dat and index.dat untouched";
  EXPECT_TRUE(Database::hasLeftoverWorkingFiles(game.str()));
  for (const std::string& name : fileNames(game.data())) EXPECT_FALSE(name.ends_with(".new")) << name;
  recoverIfNeeded(game.str());
  EXPECT_EQ(OpenDatabase(game.str()).read<PlayerAttRecord>(kSlotStaffAtt, 2).PotentialAbility(), 188);
}

using FailingWrites = OpenGame;

TEST_F(FailingWrites, FullDiskLeavesPartOfAnAppendedRecord) {
  db_.autoBackup = false;  // the backup of the first write would meet the full disk first
  const int64_t clubs = db_.recordCount(GameFile::Club);
  const uintmax_t size = fs::file_size(game_.file("club.dat"));
  ClubRecord c = db_.read<ClubRecord>(kSlotClub, 1);
  for (rlim_t room : {rlim_t(0), rlim_t(100), rlim_t(580)}) {
    SCOPED_TRACE(room);
    FileSizeLimit limit(size + room);
    EXPECT_TRUE(failsWith([&] { db_.write(kSlotClub, clubs + 1, c); }, FileError::Kind::DiskFull));
    EXPECT_EQ(fs::file_size(game_.file("club.dat")), size);
    EXPECT_FALSE(db_.has<ClubRecord>(kSlotClub, clubs + 1));
    // Writing in place needs no room.
    ClubRecord d = c;
    d.bytes[100] ^= 0xFF;
    db_.write(kSlotClub, 1, d);
    EXPECT_EQ(db_.read<ClubRecord>(kSlotClub, 1), d);
    db_.write(kSlotClub, 1, c);
  }
}

TEST_F(FailingWrites, DataFolderGoneAtClosingMadeAgainOrUnreported) {
  const fs::path moved = game_.data().parent_path() / "Elsewhere";
  fs::rename(game_.data(), moved);
  EXPECT_TRUE(failsWith([&] { db_.close(); }, FileError::Kind::PathNotFound, "does not exist"));
  EXPECT_FALSE(fs::exists(game_.data())) << "no new folder made";
}

TEST_F(FailingWrites, DeletedFileTakesWritesOrHalfASave) {
  ClubRecord c = db_.read<ClubRecord>(kSlotClub, 3);
  const Bytes clubBefore = slurp(game_.file("club.dat"));
  fs::remove(game_.file("club.dat"));
  c.bytes[40] ^= 0x5A;
  EXPECT_TRUE(failsWith([&] { db_.write(kSlotClub, 3, c); }, FileError::Kind::Removed, "club.dat"));
  spit(game_.file("club.dat"), clubBefore);

  // A person's save writes several files: with one of them gone it stops
  // before the first write, so no part of the person is saved.
  people::PersonForm f = people::loadPerson(db_, 0);
  ASSERT_TRUE(f.isPlayer);
  f.attributes[3] = f.attributes[3] == "7" ? "8" : "7";
  const std::string shownName = db_.PersonNameTable[0];
  const Bytes attBefore = slurp(game_.file("staff_att.dat"));
  const Bytes namesBefore = slurp(game_.file("first_names.dat"));
  fs::remove(game_.file("first_names.dat"));
  people::NameFlags flags;
  EXPECT_THROW(people::savePerson(db_, f, flags), FileError);
  EXPECT_EQ(slurp(game_.file("staff_att.dat")), attBefore);
  EXPECT_EQ(db_.PersonNameTable[0], shownName);
  spit(game_.file("first_names.dat"), namesBefore);

  fs::remove(game_.file("index.dat"));
  EXPECT_TRUE(failsWith([&] { db_.close(); }, FileError::Kind::Removed, "index.dat"));
  EXPECT_TRUE(Database::hasLeftoverWorkingFiles(game_.str()));
}

TEST(FileFailures, DeletedStaffFileNotBuiltAnew) {
  GameDir game, twin;
  const auto closeAfterEdit = [](const GameDir& g, bool deleteStaff) {
    OpenDatabase db(g.str());
    PlayerAttRecord a = db.read<PlayerAttRecord>(kSlotStaffAtt, 2);
    a.bytes[5] ^= 0x11;
    db.write(kSlotStaffAtt, 2, a);
    if (deleteStaff) fs::remove(g.file("staff.dat"));
    db.close();
  };
  closeAfterEdit(twin, false);
  closeAfterEdit(game, true);
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), gameFiles(twin.data())));
  EXPECT_FALSE(Database::hasLeftoverWorkingFiles(game.str()));
}

// ---- Killed at every file step ---------------------------------------------
// A process that edits a database and closes it is killed at every step that
// changes a file; opening again with recovery must give exactly the database
// that closing normally gives after the edits it had acknowledged.

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
  EXPECT_TRUE(o.killed || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << "child status " << status;
  return o;
}

struct CrashScenario {
  CrashScenario(const sample::Preset& preset, const std::string& tag) : scratch_(tag) {
    pristine_ = scratch_.path() / "pristine";
    work_ = scratch_.path() / "work";
    sample::generate(pristine_.string(), preset, 11);
    edits_ = sessionEdits();
    // What closing normally gives after the first k edits, for every k; the
    // last run, the whole session, counts its file steps.
    setFileStepHook(countStep);
    for (size_t k = 0; k <= edits_.size(); ++k) {
      fresh();
      g_steps = 0;
      std::vector<Edit> first(edits_.begin(), edits_.begin() + long(k));
      EXPECT_EQ(session(dir(), first, -1), 0);
      expected_.push_back(hashed(data()));
    }
    setFileStepHook(nullptr);
    steps_ = g_steps;
  }

  void fresh() { copyTree(pristine_, work_); }
  std::string dir() const { return work_.string(); }
  fs::path data() const { return work_ / "Data"; }

  // After a kill, folding back any leftovers gives what was acknowledged, and
  // a plain open and close keeps it.
  ::testing::AssertionResult check(const Outcome& o) {
    const Files& expected = expected_[size_t(o.acked)];
    recoverIfNeeded(dir());
    auto recovered = sameFiles(hashed(data()), expected);
    if (!recovered) return recovered << " (" << o.acked << " acknowledged edits)";
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
