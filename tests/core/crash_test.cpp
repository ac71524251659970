// A process that edits a database and closes it is killed at every step that
// changes a file; opening again with recovery must give exactly the database
// that closing normally gives after the edits it had acknowledged.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string_view>

#include "database/database.h"
#include "database/fileimage.h"
#include "common/testkit.h"
#include "records/records.h"

using namespace cm3;
using namespace cm3test;

namespace {

// One write through a slot: a whole record for record slots, bytes at a
// byte position for byte slots.
struct Edit {
  int slot;
  int64_t where;
  Bytes bytes;
};

template <class R>
void writeEdit(Database& db, const Edit& e) {
  R r;
  std::copy(e.bytes.begin(), e.bytes.end(), r.bytes.begin());
  db.write(e.slot, e.where, r);
}

void apply(Database& db, const Edit& e) {
  switch (e.slot) {
    case kSlotStaff: writeEdit<StaffRecord>(db, e); break;
    case kSlotSecondNames:
    case kSlotFirstNames:
    case kSlotCommonNames: writeEdit<NameRecord>(db, e); break;
    case kSlotClub: writeEdit<ClubRecord>(db, e); break;
    case kSlotStaffAtt: writeEdit<PlayerAttRecord>(db, e); break;
    case kSlotHistory: writeEdit<HistoryRecord>(db, e); break;
    case kSlotIndexTemp: writeEdit<IndexRecord>(db, e); break;
    case kSlotStaffAtt2: writeEdit<StaffAttRecord>(db, e); break;
    default: db.file(e.slot).write(uint64_t(e.where), e.bytes.data(), e.bytes.size()); break;
  }
}

Bytes flipped(Bytes b, size_t from, size_t to) {
  for (size_t i = from; i < to && i < b.size(); ++i) b[i] = uint8_t(b[i] ^ (0x5A + i));
  return b;
}

// The edits of a session, worked out from the game files: changes in every
// kind of file, then a person added as adding a player does it (names,
// staff record, attribute record, the index entries one at a time), then
// one more change after the sections have moved.
std::vector<Edit> sessionEdits(const fs::path& data) {
  const Bytes staff = slurp(data / "staff.dat");
  const Bytes index = slurp(data / "index.dat");
  const SectionTable t = sectionsOf(index);
  Bytes entries = slice(index, 8, 1482);
  auto record = [](const Bytes& file, int64_t n, size_t size) { return slice(file, (n - 1) * int64_t(size), n * int64_t(size)); };
  auto entry = [&](int e) { return slice(entries, 67 * (e - 1), 67 * e); };
  auto changeEntry = [&](int e, size_t field, int32_t delta) {
    uint8_t* p = entries.data() + 67 * (e - 1) + field;
    storeI32(p, loadI32(p) + delta);
    return Edit{kSlotIndexTemp, e, entry(e)};
  };
  const Bytes firsts = slurp(data / "first_names.dat"), seconds = slurp(data / "second_names.dat");
  const int64_t r1 = int64_t(firsts.size()) / 60, r2 = int64_t(seconds.size()) / 60;

  std::vector<Edit> edits;
  edits.push_back({kSlotStaff, 3, flipped(record(staff, 3, 157), 78, 86)});
  edits.push_back({kSlotStaffAtt, 7, flipped(slice(staff, t.C + 6 * 70, t.C + 7 * 70), 27, 69)});
  edits.push_back({kSlotStaffAtt2, 2, flipped(slice(staff, t.B + 68, t.B + 136), 14, 35)});
  edits.push_back({kSlotUnknownBytes, 8, flipped(slice(staff, t.A + 8, t.A + 16), 0, 8)});
  edits.push_back({kSlotClub, 2, flipped(record(slurp(data / "club.dat"), 2, 581), 4, 30)});
  edits.push_back({kSlotHistory, 5, flipped(record(slurp(data / "staff_history.dat"), 5, 17), 14, 17)});

  Bytes second = record(seconds, 1, 60), first = record(firsts, 1, 60);
  std::fill_n(second.begin(), 51, 0);
  std::fill_n(first.begin(), 51, 0);
  std::copy_n("Crashtest", 9, second.begin());
  std::copy_n("Kim", 3, first.begin());
  storeI32(second.data() + 51, int32_t(r2));
  storeI32(first.data() + 51, int32_t(r1));
  edits.push_back({kSlotSecondNames, r2 + 1, second});
  edits.push_back({kSlotFirstNames, r1 + 1, first});
  edits.push_back(changeEntry(kEntryFirstNames, IndexRecord::CountOffset, int32_t(r1 + 1) - loadI32(entries.data() + 67 * 15 + 55)));
  edits.push_back(changeEntry(kEntrySecondNames, IndexRecord::CountOffset, int32_t(r2 + 1) - loadI32(entries.data() + 67 * 16 + 55)));
  Bytes person = record(staff, 1, 157);
  storeI32(person.data() + StaffRecord::PersonIdOffset, int32_t(t.N8));
  storeI32(person.data() + StaffRecord::FirstNameIdOffset, int32_t(r1));
  storeI32(person.data() + StaffRecord::SecondNameIdOffset, int32_t(r2));
  storeI32(person.data() + StaffRecord::PlayerAttIndexOffset, int32_t(t.N11));
  storeI32(person.data() + StaffRecord::ClubIdOffset, -1);
  edits.push_back({kSlotStaff, t.N8 + 1, person});
  edits.push_back(changeEntry(kEntryPeople, IndexRecord::CountOffset, 1));
  Bytes att = slice(staff, t.C, t.C + 70);
  storeI32(att.data(), int32_t(t.N11));
  edits.push_back({kSlotStaffAtt, t.N11 + 1, flipped(att, 40, 50)});
  edits.push_back(changeEntry(kEntrySection4, IndexRecord::CountOffset, 1));
  for (int e : {kEntrySection2, kEntrySection3, kEntrySection4})
    edits.push_back(changeEntry(e, IndexRecord::PositionOffset, 157));
  edits.push_back({kSlotStaffAtt, 1, flipped(slice(staff, t.C, t.C + 70), 5, 15)});
  return edits;
}

using Hashes = std::map<std::string, size_t>;

Hashes hashesOf(const Files& files) {
  Hashes h;
  for (const auto& [name, bytes] : files)
    h[name] = std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  return h;
}

std::string differing(const Hashes& a, const Hashes& b) {
  std::string out;
  for (const auto& [name, h] : a)
    if (!b.count(name) || b.at(name) != h) out += " " + name;
  for (const auto& [name, h] : b)
    if (!a.count(name)) out += " " + name + "(missing)";
  return out;
}

// A session: open, the edits (each acknowledged on ackFd once it returned),
// close (acknowledged with 'c').
int session(const std::string& dir, const std::vector<Edit>& edits, int ackFd) {
  try {
    Database db;
    if (!db.open(dir)) return 3;
    for (const Edit& e : edits) {
      apply(db, e);
      if (ackFd >= 0 && ::write(ackFd, "e", 1) != 1) return 5;
    }
    db.close();
    if (ackFd >= 0 && ::write(ackFd, "c", 1) != 1) return 5;
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
  bool closed = false;
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
  while (::read(fds[0], &c, 1) == 1) {
    if (c == 'e') ++o.acked;
    if (c == 'c') o.closed = true;
  }
  ::close(fds[0]);
  int status = 0;
  EXPECT_EQ(::waitpid(pid, &status, 0), pid);
  o.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  if (!o.killed) {
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  }
  return o;
}

class CrashScenario {
 public:
  CrashScenario(const sample::Preset& preset, const std::string& tag) : scratch_(tag) {
    pristine_ = scratch_.path() / "pristine";
    work_ = scratch_.path() / "work";
    sample::generate(pristine_.string(), preset, 11);
    edits_ = sessionEdits(pristine_ / "Data");
    // What closing normally gives after the first k edits, for every k.
    for (size_t k = 0; k <= edits_.size(); ++k) {
      fresh();
      std::vector<Edit> first(edits_.begin(), edits_.begin() + long(k));
      EXPECT_EQ(session(dir(), first, -1), 0);
      expected_.push_back(hashesOf(gameFiles(work_ / "Data")));
    }
    EXPECT_EQ(expected_.front(), hashesOf(gameFiles(pristine_ / "Data"))) << "no edits, no change";
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
  const std::vector<Edit>& edits() const { return edits_; }
  long steps() const { return steps_; }
  const Hashes& expected(size_t k) const { return expected_[k]; }
  size_t editCount() const { return edits_.size(); }

  // After a kill: the directory is consistent as it is when no leftovers are
  // there; after folding back and a plain open and close it holds what was
  // acknowledged.
  ::testing::AssertionResult check(const Outcome& o) {
    size_t k = size_t(o.acked);
    auto matches = [&](const Hashes& h) { return h == expected_[k]; };
    const bool leftovers = Database::hasLeftoverWorkingFiles(dir());
    if (!leftovers && !matches(hashesOf(gameFiles(data()))))
      return ::testing::AssertionFailure() << "no leftovers but the game files are not a closed database:"
                                           << differing(hashesOf(gameFiles(data())), expected_[k]);
    recoverIfNeeded(dir());
    const Hashes recovered = hashesOf(gameFiles(data()));
    if (!matches(recovered))
      return ::testing::AssertionFailure() << "after folding back (" << k << " edits acknowledged):"
                                           << differing(recovered, expected_[k]);
    Database db;
    if (!db.open(dir())) return ::testing::AssertionFailure() << "reopening failed: " << db.OpenError;
    db.close();
    if (hashesOf(gameFiles(data())) != recovered) return ::testing::AssertionFailure() << "open and close changed it";
    for (const std::string& name : fileNames(data()))
      if (isEditorFile(name) && name != "index_temp.dat")
        return ::testing::AssertionFailure() << name << " left in the Data folder";
    return ::testing::AssertionSuccess();
  }

 private:
  ScratchDir scratch_;
  fs::path pristine_, work_;
  std::vector<Edit> edits_;
  std::vector<Hashes> expected_;
  long steps_ = 0;
};

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSlowBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSlowBuild = true;
#else
constexpr bool kSlowBuild = false;
#endif
#else
constexpr bool kSlowBuild = false;
#endif

class CrashPresets : public ::testing::TestWithParam<std::string> {};
INSTANTIATE_TEST_SUITE_P(Presets, CrashPresets, ::testing::Values("small", "full"),
                         [](const auto& info) { return info.param; });

TEST_P(CrashPresets, KillAtAFileStepOfOpenEditOrCloseLosesOrHalfWritesAnEdit) {
  CrashScenario s(presetNamed(GetParam()), "crash_" + GetParam());
  ASSERT_GT(s.steps(), long(s.editCount()) + 10);
  // Every step; under the sanitizers every fourth one of the full preset.
  const long stride = kSlowBuild && GetParam() == "full" ? 4 : 1;
  for (long k = 1; k <= s.steps() + 1; k += (k > s.steps() - 3 ? 1 : stride)) {
    s.fresh();
    Outcome o = runChild([&](int fd) { return session(s.dir(), s.edits(), fd); }, k);
    EXPECT_EQ(o.killed, k <= s.steps()) << "step " << k;
    EXPECT_TRUE(s.check(o)) << "killed at step " << k << " of " << s.steps();
  }
}

TEST(CrashSafety, KillWhileFoldingBackLeftoversLosesTheRun) {
  CrashScenario s(sample::smallPreset(), "crash_recovery");
  int tried = 0;
  // First kills: in the middle of the edits, and at each step of closing.
  std::vector<long> first = {s.steps() / 2};
  for (long k = s.steps() - 12; k <= s.steps(); ++k) first.push_back(k);
  for (long k1 : first) {
    s.fresh();
    Outcome o = runChild([&](int fd) { return session(s.dir(), s.edits(), fd); }, k1);
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
