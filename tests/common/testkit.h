// Support for the core and command-line tests (GoogleTest, no Qt): files as
// bytes, generated game directories (generated once per preset and seed in a
// test binary, copied fresh for every test), game-file comparisons, records
// and index entries edited on disk, and the OpenGame fixture.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/filefailures.h"
#include "clubs/club.h"
#include "common/squadkit.h"
#include "database/catalogue.h"
#include "database/database.h"
#include "database/errors.h"
#include "history/history.h"
#include "nations/nation.h"
#include "people/newplayer.h"
#include "people/person.h"
#include "records/bytes.h"
#include "records/fields.h"
#include "records/records.h"
#include "sample/generator.h"

namespace cm3test {

namespace fs = std::filesystem;
namespace sample = cm3::sample;
using Bytes = std::vector<uint8_t>;
using Files = std::map<std::string, Bytes>;
using filefailures::FileSizeLimit;
using filefailures::OrdinaryUser;

inline Bytes slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
inline void spit(const fs::path& p, const Bytes& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
inline std::string readText(const fs::path& p) {
  Bytes b = slurp(p);
  return std::string(b.begin(), b.end());
}
inline Bytes slice(const Bytes& b, int64_t from, int64_t to) {
  from = std::clamp<int64_t>(from, 0, int64_t(b.size()));
  to = std::clamp<int64_t>(to, from, int64_t(b.size()));
  return Bytes(b.begin() + from, b.begin() + to);
}
template <class R>
Bytes bytesOf(const R& r) {
  return Bytes(r.bytes.begin(), r.bytes.end());
}

// Every file of a folder with its bytes.
inline Files snapshot(const fs::path& dir) {
  Files files;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_regular_file()) files[e.path().filename().string()] = slurp(e.path());
  return files;
}
inline std::vector<std::string> fileNames(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}
inline void copyTree(const fs::path& from, const fs::path& to) {
  fs::remove_all(to);
  fs::copy(from, to, fs::copy_options::recursive);
}

// Files the editor makes while a database is open (and index_temp.dat, which
// it leaves behind), and the temporary names files are built under.
inline bool isEditorFile(const std::string& name) {
  static const std::set<std::string> kNames = {"staff_att.dat", "staff_att2.dat", "staff_unknown.dat",
                                               "index_temp.dat"};
  return kNames.count(name) > 0 || (name.size() > 4 && name.compare(name.size() - 4, 4, ".new") == 0);
}
// The game's own files of a Data folder with their bytes.
inline Files gameFiles(const fs::path& data) {
  Files all = snapshot(data);
  for (auto it = all.begin(); it != all.end();) it = isEditorFile(it->first) ? all.erase(it) : std::next(it);
  return all;
}
// Equal file sets; on failure names the files that differ, not their bytes.
inline ::testing::AssertionResult sameFiles(const Files& actual, const Files& expected) {
  std::string diff;
  for (const auto& [name, bytes] : actual) {
    auto it = expected.find(name);
    if (it == expected.end())
      diff += " " + name + " (not expected)";
    else if (it->second != bytes)
      diff += " " + name + " (" + std::to_string(bytes.size()) + " bytes, expected " +
              std::to_string(it->second.size()) + ")";
  }
  for (const auto& [name, bytes] : expected)
    if (!actual.count(name)) diff += " " + name + " (missing)";
  if (diff.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "files differ:" << diff;
}

// A scratch folder of its own under the test temp dir, removed at the end.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& tag = "scratch") {
    static int counter = 0;
    path_ = fs::path(::testing::TempDir()) /
            ("cm3_" + tag + "_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const fs::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

 private:
  fs::path path_;
};

inline sample::Preset presetNamed(const std::string& name) {
  sample::Preset p;
  if (!sample::presetByName(name, p)) throw std::invalid_argument("no preset " + name);
  return p;
}

// A fresh game directory (a copy of one generated once per preset and seed),
// removed again by the destructor.
class GameDir {
 public:
  explicit GameDir(const sample::Preset& preset = sample::smallPreset(), uint64_t seed = 1) : dir_("game") {
    static ScratchDir cache("generated");
    static std::map<std::string, fs::path> made;
    std::string key = std::to_string(seed);
    for (int v : {preset.people, preset.players, preset.firstNames, preset.secondNames, preset.commonNames,
                  preset.clubs, preset.nations, preset.continents, preset.comps, preset.stadiums, preset.cities,
                  preset.colours, preset.history, preset.tailBytes})
      key += "_" + std::to_string(v);
    auto it = made.find(key);
    if (it == made.end()) {
      const fs::path p = cache.path() / key;
      sample::generate(p.string(), preset, seed);
      it = made.emplace(key, p).first;
    }
    fs::copy(it->second, dir_.path(), fs::copy_options::recursive);
  }
  std::string str() const { return dir_.str(); }
  fs::path data() const { return dir_.path() / "Data"; }
  fs::path file(const std::string& name) const { return data() / name; }

 private:
  ScratchDir dir_;
};

// A database opened on `dir`; a failed open ends the test with its error.
struct OpenDatabase : cm3::Database {
  explicit OpenDatabase(const std::string& dir) {
    if (!open(dir)) throw std::runtime_error("open failed: " + OpenError);
  }
};

// ---- Records and index entries on disk --------------------------------------

inline size_t entryOffset(int entry, size_t field = 0) { return size_t(cm3::kIndexHeader + 67 * (entry - 1)) + field; }
inline int32_t entryCount(const Bytes& index, int entry) {
  return cm3::loadI32(index.data() + entryOffset(entry, cm3::IndexRecord::CountOffset));
}
inline int32_t entryPosition(const Bytes& index, int entry) {
  return cm3::loadI32(index.data() + entryOffset(entry, cm3::IndexRecord::PositionOffset));
}
inline cm3::SectionTable sectionsOf(const Bytes& index) {
  return cm3::sectionTableFrom(entryCount(index, cm3::kEntryPeople), entryCount(index, cm3::kEntrySection2),
                               entryCount(index, cm3::kEntrySection3), entryCount(index, cm3::kEntrySection4));
}

// `r` with fields set by the names of its field table: (field, value, element).
struct Set {
  const char* field;
  cm3::FieldValue value;
  int k = 0;
};
template <class R>
R with(R r, std::initializer_list<Set> sets) {
  for (const Set& s : sets) {
    const cm3::FieldInfo* f = cm3::findField(R::kFields, s.field);
    if (!f) throw std::invalid_argument(s.field);
    cm3::setField(r.data(), *f, s.value, s.k);
  }
  return r;
}

// Record n (1-based) of a record file after `header` bytes, read and edited
// in place; index entries are the records of index.dat.
template <class R>
R readRecord(const fs::path& file, int64_t n, size_t header = 0) {
  const Bytes b = slurp(file);
  const size_t at = header + size_t(n - 1) * R::kSize;
  if (n < 1 || at + R::kSize > b.size()) throw std::out_of_range(file.string() + ": no record " + std::to_string(n));
  R r;
  std::copy_n(b.begin() + std::ptrdiff_t(at), R::kSize, r.bytes.begin());
  return r;
}
template <class R, class Edit>
void editRecord(const fs::path& file, int64_t n, Edit edit, size_t header = 0) {
  R r = readRecord<R>(file, n, header);
  edit(r);
  Bytes b = slurp(file);
  std::copy(r.bytes.begin(), r.bytes.end(), b.begin() + std::ptrdiff_t(header + size_t(n - 1) * R::kSize));
  spit(file, b);
}
template <class R>
void editRecord(const fs::path& file, int64_t n, std::initializer_list<Set> sets) {
  editRecord<R>(file, n, [&](R& r) { r = with(r, sets); });
}
template <class Edit>
void editEntry(const fs::path& data, int entry, Edit edit) {
  editRecord<cm3::IndexRecord>(data / "index.dat", entry, edit, cm3::kIndexHeader);
}

// ---- An open game --------------------------------------------------------------

using squadkit::firstPerson;

// Adding a person by hand as adding a player does it, one write a step: the
// new name records and their index counts, the staff record after the last
// person and its count, the attribute record after the last one and its
// count, and sections 2-4 moved by 157 bytes.
inline std::vector<std::function<void(cm3::Database&)>> addPersonSteps(const std::string& first,
                                                                      const std::string& second) {
  using namespace cm3;
  auto name = [](int slot, GameFile file, const std::string& text) {
    return [=](Database& db) {
      NameRecord r = db.read<NameRecord>(slot, 1);
      ASSERT_TRUE(encodeName(text, r.NameField()));
      const int32_t n = int32_t(db.recordCount(file)++);
      r.setId(n);
      db.write(slot, n + 1, r);
    };
  };
  auto entry = [](int e, int32_t countDelta, int32_t posDelta) {
    return [=](Database& db) {
      IndexRecord r = db.readIndex(e);
      r.setCount(r.Count() + countDelta);
      r.setPosition(r.Position() + posDelta);
      db.writeIndex(e, r);
    };
  };
  return {name(kSlotSecondNames, GameFile::SecondNames, second), name(kSlotFirstNames, GameFile::FirstNames, first),
          entry(kEntryFirstNames, 1, 0), entry(kEntrySecondNames, 1, 0),
          [](Database& db) {
            const int32_t id = db.readIndex(kEntryPeople).Count();
            StaffRecord p = db.read<StaffRecord>(kSlotStaff, 1);
            p.setPersonId(id);
            p.setFirstNameId(int32_t(db.recordCount(GameFile::FirstNames)) - 1);
            p.setSecondNameId(int32_t(db.recordCount(GameFile::SecondNames)) - 1);
            p.setPlayerAttIndex(db.readIndex(kEntrySection4).Count());
            p.setClubId(-1);
            p.setWage(4242);
            db.write(kSlotStaff, id + 1, p);
          },
          entry(kEntryPeople, 1, 0),
          [](Database& db) {
            const int32_t att = db.readIndex(kEntrySection4).Count();
            PlayerAttRecord a = db.read<PlayerAttRecord>(kSlotStaffAtt, 1);
            a.setAttId(att);
            a.setCurrentAbility(int16_t(100 + att % 50));
            db.write(kSlotStaffAtt, att + 1, a);
          },
          entry(kEntrySection4, 1, 0), entry(kEntrySection2, 0, 157), entry(kEntrySection3, 0, 157),
          entry(kEntrySection4, 0, 157)};
}

// `fn` must throw FileError of `kind` whose text holds `text`.
inline ::testing::AssertionResult failsWith(const std::function<void()>& fn, cm3::FileError::Kind kind,
                                            const std::string& text = "") {
  try {
    fn();
  } catch (const cm3::FileError& e) {
    if (e.kind() != kind) return ::testing::AssertionFailure() << "other kind of FileError: " << e.what();
    if (std::string(e.what()).find(text) == std::string::npos)
      return ::testing::AssertionFailure() << "\"" << e.what() << "\" lacks \"" << text << "\"";
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "no FileError";
}

// Fixture: a fresh generated game, opened; closed (if still open) at the end.
// `before_` holds the game's files as generated.
class OpenGame : public ::testing::Test {
 protected:
  explicit OpenGame(const sample::Preset& preset = sample::smallPreset(), uint64_t seed = 1) : game_(preset, seed) {}
  void SetUp() override {
    before_ = gameFiles(game_.data());
    ASSERT_TRUE(db_.open(game_.str())) << db_.OpenError;
  }
  void TearDown() override {
    if (db_.isOpen()) db_.close();
  }
  // Closes and expects every game file as generated.
  void closeAndExpectUnchanged() {
    db_.close();
    EXPECT_TRUE(sameFiles(gameFiles(game_.data()), before_));
  }
  int32_t count(int entry) const { return db_.readIndex(entry).Count(); }
  // Record `id` (0-based) of `slot` with these fields set, written and returned.
  template <class R>
  R change(int slot, int64_t id, std::initializer_list<Set> sets) {
    const R r = with(db_.read<R>(slot, id + 1), sets);
    db_.write(slot, id + 1, r);
    return r;
  }

  GameDir game_;
  Files before_;
  cm3::Database db_;
};

// ---- Edits as the windows make them ------------------------------------------

namespace editing {
using namespace cm3;

// Says yes to every question of a squad move; a refusal fails the test.
struct YesToAll : cm3::squads::Questions {
  bool ask(const std::string&) override { return true; }
  void message(const std::string& text) override { ADD_FAILURE() << "refused: " << text; }
};

// Moves the first player in a squad to the first other club with room, or
// (toOtherClub false) releases him.
inline void transferFirstPlayer(cm3::Database& db, bool toOtherClub) {
  const int32_t person = squadkit::players(db, true).front();
  squads::SquadState state;
  squads::loadCurrentClub(db, state, db.read<StaffRecord>(kSlotStaff, person + 1).ClubId());
  for (int c = 0; toOtherClub && c < int(db.clubNames.size()); ++c) {
    if (c == state.currentClubId) continue;
    squads::loadTransferClub(db, state, c);
    if (state.TransferSquadCount < squads::kPlayerSlots) break;
  }
  YesToAll yes;
  const int row = squads::findSlot(state.CurrentSquad, person);
  EXPECT_NE(squads::cmdTransfer(db, state, person, row, yes).move, squads::Move::None);
}

// The editor's own operations, each one undoable action.
struct EditAction {
  const char* name;
  std::function<void(Database&)> run;
};
inline void PrintTo(const EditAction& a, std::ostream* os) { *os << a.name; }

inline const EditAction kEditActions[] = {
    {"UpdatePersonWithNewNames",
     [](Database& db) {
       people::PersonForm f = people::loadPerson(db, 3);
       f.secondName = "M\xFCller";
       f.firstName = "Ann";
       f.boxes["txtCaps"] = "7";
       people::NameFlags flags{true, true};
       people::savePerson(db, f, flags, [&](int32_t id) {
         std::vector<history::HistoryRow> rows = history::loadRows(db, id);
         rows.push_back({history::addRecord(db), "1999", "", "12", "3"});
         history::saveRows(db, id, rows, db.clubNames);
       });
     }},
    {"NewPlayer",
     [](Database& db) {
       people::PersonForm f = people::loadPerson(db, 0);
       f.firstName = "Kai";
       f.secondName = "Newcomer";
       f.commonName = "Kaiser";
       people::NameFlags flags{true, true};
       people::addNewPlayer(db, people::templateOf(db, 0), f, flags);
     }},
    {"Transfer", [](Database& db) { transferFirstPlayer(db, true); }},
    {"FreeTransfer", [](Database& db) { transferFirstPlayer(db, false); }},
    {"DeleteHistoryRowPastTheEnd",
     [](Database& db) { history::deleteRecord(db, int32_t(db.recordCount(GameFile::History)) + 2); }},
    {"UpdateClub",
     [](Database& db) {
       clubs::ClubForm f = clubs::loadClub(db, 2);
       f.boxes["txtLongName"] = "Renamed Rovers";
       f.boxes["txtCash"] = "4242";
       clubs::updateClub(db, 2, false, f);
     }},
    {"NewClubWithTwoStadiums",
     [](Database& db) {
       clubs::ClubForm f = clubs::newClubForm(db, clubs::loadClub(db, 1));
       f.boxes["txtLongName"] = "Karg\xF6 Rovers";
       f.main.boxes["txtStaLongName"] = "Karg\xF6 Park";
       f.reserve.boxes["txtStaResLongName"] = "Karg\xF6 Lane";
       clubs::updateClub(db, 1, true, f);
     }},
    {"UpdateNation",
     [](Database& db) {
       nations::NationForm f = nations::loadNation(db, 1);
       f.boxes["txtName"] = "Renamed Land";
       nations::updateNation(db, 1, f);
     }},
};

}  // namespace editing
using editing::EditAction;
using editing::kEditActions;

}  // namespace cm3test
