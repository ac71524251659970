// Folding leftover working files back after a run that did not close, and
// the failures of the file system while opening, writing and closing.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "database/database.h"
#include "database/errors.h"
#include "database_helpers.h"
#include "filefailures.h"
#include "people/person.h"
#include "records/records.h"

using namespace cm3;
using namespace cm3test;

namespace {

// A few edits of every kind: a person in place, attribute records in the
// working files, an entry, a name, and a person added at the end.
void editSome(Database& db) {
  StaffRecord s = db.read<StaffRecord>(kSlotStaff, 4);
  s.setWage(s.Wage() + 1000);
  db.write(kSlotStaff, 4, s);
  PlayerAttRecord a = db.read<PlayerAttRecord>(kSlotStaffAtt, 9);
  a.setCurrentAbility(199);
  db.write(kSlotStaffAtt, 9, a);
  StaffAttRecord b = db.read<StaffAttRecord>(kSlotStaffAtt2, 2);
  b.setWorldReputation(1234);
  db.write(kSlotStaffAtt2, 2, b);
  const uint8_t eight[8] = {9, 8, 7, 6, 5, 4, 3, 2};
  db.file(kSlotUnknownBytes).write(0, eight, 8);
  NameRecord n = db.read<NameRecord>(kSlotFirstNames, 3);
  ASSERT_TRUE(encodeName("Renamed", n.NameField()));
  db.write(kSlotFirstNames, 3, n);

  // A person added at the end moves sections 2-4 by one staff record.
  const int32_t id = db.readIndex(kEntryPeople).Count();
  const int32_t att = db.readIndex(kEntrySection4).Count();
  StaffRecord p = db.read<StaffRecord>(kSlotStaff, 1);
  p.setPersonId(id);
  p.setPlayerAttIndex(att);
  db.write(kSlotStaff, id + 1, p);
  IndexRecord e = db.readIndex(kEntryPeople);
  e.setCount(id + 1);
  db.writeIndex(kEntryPeople, e);
  PlayerAttRecord pa = db.read<PlayerAttRecord>(kSlotStaffAtt, 1);
  pa.setAttId(att);
  db.write(kSlotStaffAtt, att + 1, pa);
  e = db.readIndex(kEntrySection4);
  e.setCount(att + 1);
  db.writeIndex(kEntrySection4, e);
  for (int k : {kEntrySection2, kEntrySection3, kEntrySection4}) {
    e = db.readIndex(k);
    e.setPosition(e.Position() + 157);
    db.writeIndex(k, e);
  }
}

// The game files as closing normally after editSome gives them.
Files closedAfterEdits(const sample::Preset& preset, uint64_t seed) {
  GameDir twin(preset, seed);
  Database db;
  EXPECT_TRUE(db.open(twin.str())) << db.OpenError;
  editSome(db);
  db.close();
  return gameFiles(twin.data());
}

// Leaves the game directory as a run that stopped after editSome does: the
// Database goes away without closing.
void editAndStop(const GameDir& game) {
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  editSome(db);
}

class RecoveryPresets : public ::testing::TestWithParam<std::string> {};
INSTANTIATE_TEST_SUITE_P(Presets, RecoveryPresets, ::testing::Values("small", "full"),
                         [](const auto& info) { return info.param; });

TEST_P(RecoveryPresets, LeftoversFoldBackIntoTheBytesClosingGives) {
  sample::Preset preset;
  ASSERT_TRUE(sample::presetByName(GetParam(), preset));
  const Files expected = closedAfterEdits(preset, 5);
  GameDir game(preset, 5);
  const Files pristine = gameFiles(game.data());
  ASSERT_NE(expected, pristine);
  editAndStop(game);
  ASSERT_TRUE(Database::hasLeftoverWorkingFiles(game.str()));

  Database db;
  ASSERT_TRUE(db.beginOpen(game.str())) << db.OpenError;
  db.recoverLeftovers();
  EXPECT_FALSE(Database::hasLeftoverWorkingFiles(game.str()));
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), expected));
  // Then the usual open, still holding the lock, and a plain close.
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  EXPECT_EQ(db.PeopleCount(), preset.people + 1);
  EXPECT_EQ(db.read<PlayerAttRecord>(kSlotStaffAtt, 9).CurrentAbility(), 199);
  db.close();
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), expected));
  std::vector<std::string> names = fileNames(game.data());
  EXPECT_EQ(std::count_if(names.begin(), names.end(), isEditorFile), 1) << "only index_temp.dat";
}

TEST(Recovery, FoldingBackTwiceGivesTheSameBytes) {
  GameDir game;
  editAndStop(game);
  const Files leftovers = snapshot(game.data());
  Database db;
  ASSERT_TRUE(db.beginOpen(game.str()));
  db.recoverLeftovers();
  const Files once = gameFiles(game.data());
  // As if the first run had stopped after writing staff.dat back but before
  // deleting the working files.
  for (const char* name : {"staff_att.dat", "staff_att2.dat", "staff_unknown.dat", "index_temp.dat"})
    spit(game.file(name), leftovers.at(name));
  ASSERT_TRUE(Database::hasLeftoverWorkingFiles(game.str()));
  db.recoverLeftovers();
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), once));
  db.abortOpen();
}

TEST(Recovery, DamagedOrIncompleteLeftoversAreRefusedAndLeftAlone) {
  GameDir game;
  editAndStop(game);
  const Bytes indexTemp = slurp(game.file("index_temp.dat"));

  // index_temp.dat cut short.
  spit(game.file("index_temp.dat"), slice(indexTemp, 0, 1000));
  Files before = snapshot(game.data());
  {
    Database db;
    ASSERT_TRUE(db.beginOpen(game.str()));
    try {
      db.recoverLeftovers();
      ADD_FAILURE() << "damaged leftovers were folded back";
    } catch (const FileError& e) {
      EXPECT_NE(std::string(e.what()).find("index_temp.dat"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("Nothing was written back"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(sameFiles(snapshot(game.data()), before));
    db.abortOpen();
  }

  // Impossible counts in it.
  Bytes bad = indexTemp;
  storeI32(bad.data() + 67 * (kEntrySection3 - 1) + IndexRecord::CountOffset, -5);
  spit(game.file("index_temp.dat"), bad);
  before = snapshot(game.data());
  {
    Database db;
    ASSERT_TRUE(db.beginOpen(game.str()));
    EXPECT_THROW(db.recoverLeftovers(), FileError);
    EXPECT_TRUE(sameFiles(snapshot(game.data()), before));
    db.abortOpen();
  }

  // Without staff_att.dat the set is incomplete: nothing to fold back.
  spit(game.file("index_temp.dat"), indexTemp);
  fs::remove(game.file("staff_att.dat"));
  EXPECT_FALSE(Database::hasLeftoverWorkingFiles(game.str()));
  before = snapshot(game.data());
  Database db;
  ASSERT_TRUE(db.beginOpen(game.str()));
  EXPECT_THROW(db.recoverLeftovers(), FileError);
  EXPECT_TRUE(sameFiles(snapshot(game.data()), before));
  db.abortOpen();
}

TEST(Recovery, NeedsTheLockAndIsRefusedWhileAnotherEditorHasTheDirectory) {
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

TEST(Recovery, OpeningAsUsualOverLeftoversMakesAFreshCompleteSet) {
  GameDir game;
  const Bytes att0 = slurp(game.file("staff.dat"));
  editAndStop(game);
  // The stopped run's attribute edit is in its staff_att.dat only.
  const Bytes leftoverAtt = slurp(game.file("staff_att.dat"));
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  const Bytes freshAtt = slurp(game.file("staff_att.dat"));
  EXPECT_NE(freshAtt, leftoverAtt);
  const SectionTable t = db.sections();
  EXPECT_EQ(freshAtt, slice(att0, t.C, t.C + int64_t(freshAtt.size())));
  EXPECT_NE(db.read<PlayerAttRecord>(kSlotStaffAtt, 9).CurrentAbility(), 199);
  // The edit made in place in section 1 is there all the same.
  EXPECT_EQ(db.read<StaffRecord>(kSlotStaff, 4).Wage(), loadI32(att0.data() + 3 * 157 + StaffRecord::WageOffset) + 1000);
  db.close();
}

TEST(Recovery, AnOpenThatStoppedBeforeItsWorkingFilesWereCompleteLeavesNoLeftovers) {
  GameDir game;
  {
    Database db;
    ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  }
  // staff_att.dat is made last; a stop before it leaves an incomplete set.
  fs::remove(game.file("staff_att.dat"));
  EXPECT_FALSE(Database::hasLeftoverWorkingFiles(game.str()));
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  EXPECT_TRUE(Database::hasLeftoverWorkingFiles(game.str()));
  db.close();
}

// ---- The file system says no --------------------------------------------------

using filefailures::FileSizeLimit;
using filefailures::OrdinaryUser;

bool noTemporaryFiles(const fs::path& data) {
  for (const auto& name : fileNames(data))
    if (name.size() > 4 && name.substr(name.size() - 4) == ".new") return false;
  return true;
}

TEST(FileFailures, ReadOnlyGameFileStopsTheOpenWithAClearMessage) {
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
    EXPECT_FALSE(db.isOpen());
    EXPECT_TRUE(sameFiles(snapshot(game.data()), before)) << "no working file is left behind";
    fs::permissions(game.file(name), fs::perms::owner_write, fs::perm_options::add);
  }
  Database db;
  EXPECT_TRUE(db.open(game.str())) << db.OpenError;
  db.close();
}

TEST(FileFailures, FolderThatCannotBeWrittenAtClosingKeepsEverythingForRecovery) {
  GameDir game;
  Files staffBefore;
  {
    OrdinaryUser user(game.str());
    Database db;
    ASSERT_TRUE(db.open(game.str())) << db.OpenError;
    PlayerAttRecord a = db.read<PlayerAttRecord>(kSlotStaffAtt, 2);
    a.setPotentialAbility(188);
    db.write(kSlotStaffAtt, 2, a);
    staffBefore = gameFiles(game.data());
    fs::permissions(game.data(), fs::perms::owner_all, fs::perm_options::remove);
    fs::permissions(game.data(), fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::add);
    try {
      db.close();
      ADD_FAILURE() << "closing wrote into a read-only folder";
    } catch (const FileError& e) {
      EXPECT_EQ(e.kind(), FileError::Kind::AccessDenied);
      EXPECT_NE(std::string(e.what()).find("staff.dat"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(db.isOpen());
    fs::permissions(game.data(), fs::perms::owner_write, fs::perm_options::add);
  }
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), staffBefore)) << "staff.dat and index.dat untouched";
  EXPECT_TRUE(Database::hasLeftoverWorkingFiles(game.str()));
  EXPECT_TRUE(noTemporaryFiles(game.data()));
  Database db;
  ASSERT_TRUE(db.beginOpen(game.str()));
  db.recoverLeftovers();
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  EXPECT_EQ(db.read<PlayerAttRecord>(kSlotStaffAtt, 2).PotentialAbility(), 188);
  db.close();
}

TEST(FileFailures, FullDiskAtClosingLeavesStaffFileWholeAndTheWorkingFilesThere) {
  GameDir game;
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  PlayerAttRecord a = db.read<PlayerAttRecord>(kSlotStaffAtt, 5);
  a.setWorldReputation(9999);
  db.write(kSlotStaffAtt, 5, a);
  const Files before = gameFiles(game.data());
  {
    FileSizeLimit limit(fs::file_size(game.file("staff.dat")) / 2);
    try {
      db.close();
      ADD_FAILURE() << "closing succeeded on a full disk";
    } catch (const FileError& e) {
      EXPECT_EQ(e.kind(), FileError::Kind::DiskFull);
      EXPECT_NE(std::string(e.what()).find("staff.dat"), std::string::npos) << e.what();
    }
  }
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), before));
  EXPECT_TRUE(noTemporaryFiles(game.data()));
  ASSERT_TRUE(Database::hasLeftoverWorkingFiles(game.str()));
  Database again;
  ASSERT_TRUE(again.beginOpen(game.str())) << again.OpenError << " (the lock was given back)";
  again.recoverLeftovers();
  ASSERT_TRUE(again.open(game.str())) << again.OpenError;
  EXPECT_EQ(again.read<PlayerAttRecord>(kSlotStaffAtt, 5).WorldReputation(), 9999);
  again.close();
}

TEST(FileFailures, FullDiskDuringARecordWriteLeavesNoPartOfTheRecord) {
  GameDir game;
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  db.autoBackup = false;  // the backup of the first write would meet the full disk first
  const int64_t clubs = db.recordCount(GameFile::Club);
  const uintmax_t size = fs::file_size(game.file("club.dat"));
  ClubRecord c = db.read<ClubRecord>(kSlotClub, 1);
  for (rlim_t room : {rlim_t(0), rlim_t(100), rlim_t(580)}) {
    SCOPED_TRACE(room);
    FileSizeLimit limit(size + room);
    try {
      db.write(kSlotClub, clubs + 1, c);
      ADD_FAILURE() << "the record was written";
    } catch (const FileError& e) {
      EXPECT_EQ(e.kind(), FileError::Kind::DiskFull);
    }
    EXPECT_EQ(fs::file_size(game.file("club.dat")), size);
    EXPECT_FALSE(db.has<ClubRecord>(kSlotClub, clubs + 1));
    // Writing in place needs no room.
    ClubRecord d = c;
    d.bytes[100] ^= 0xFF;
    db.write(kSlotClub, 1, d);
    EXPECT_EQ(db.read<ClubRecord>(kSlotClub, 1), d);
    db.write(kSlotClub, 1, c);
  }
  db.write(kSlotClub, clubs + 1, c);
  EXPECT_EQ(fs::file_size(game.file("club.dat")), size + 581);
  db.close();
}

TEST(FileFailures, DataFolderGoneAtClosingIsReportedAndItsWorkingFilesKept) {
  GameDir game;
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  const fs::path moved = game.data().parent_path() / "Elsewhere";
  fs::rename(game.data(), moved);
  try {
    db.close();
    ADD_FAILURE() << "closing without a Data folder succeeded";
  } catch (const FileError& e) {
    EXPECT_EQ(e.kind(), FileError::Kind::PathNotFound);
    EXPECT_NE(std::string(e.what()).find("does not exist"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(fs::exists(game.data())) << "no new folder made";
  fs::rename(moved, game.data());
  EXPECT_TRUE(Database::hasLeftoverWorkingFiles(game.str()));
}

TEST(FileFailures, DeletedFilesTakeNoWritesAndADeletedIndexStopsTheWriteBack) {
  GameDir game;
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  ClubRecord c = db.read<ClubRecord>(kSlotClub, 3);
  const Bytes clubBefore = slurp(game.file("club.dat"));
  fs::remove(game.file("club.dat"));
  c.bytes[40] ^= 0x5A;
  try {
    db.write(kSlotClub, 3, c);
    ADD_FAILURE() << "a deleted file took a write";
  } catch (const FileError& e) {
    EXPECT_EQ(e.kind(), FileError::Kind::Removed);
    EXPECT_NE(std::string(e.what()).find("club.dat"), std::string::npos) << e.what();
  }
  spit(game.file("club.dat"), clubBefore);

  // A person's save writes several files: with one of them gone it stops
  // before the first write, so no part of the person is saved.
  people::PersonForm f = people::loadPerson(db, 0);
  ASSERT_TRUE(f.isPlayer);
  f.attributes[3] = f.attributes[3] == "7" ? "8" : "7";
  const std::string shownName = db.PersonNameTable[0];
  const Bytes attBefore = slurp(game.file("staff_att.dat"));
  const Bytes namesBefore = slurp(game.file("first_names.dat"));
  fs::remove(game.file("first_names.dat"));
  people::NameFlags flags;
  EXPECT_THROW(people::savePerson(db, f, flags), FileError);
  EXPECT_EQ(slurp(game.file("staff_att.dat")), attBefore);
  EXPECT_EQ(db.PersonNameTable[0], shownName);
  spit(game.file("first_names.dat"), namesBefore);

  fs::remove(game.file("index.dat"));
  try {
    db.close();
    ADD_FAILURE() << "closing without index.dat succeeded";
  } catch (const FileError& e) {
    EXPECT_EQ(e.kind(), FileError::Kind::Removed);
    EXPECT_NE(std::string(e.what()).find("index.dat"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(Database::hasLeftoverWorkingFiles(game.str()));
}

TEST(FileFailures, DeletedStaffFileIsBuiltAnewFromTheBytesHeldOpen) {
  GameDir game, twin;
  const auto closeAfterEdit = [](const GameDir& g, bool deleteStaff) {
    Database db;
    ASSERT_TRUE(db.open(g.str())) << db.OpenError;
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

}  // namespace
