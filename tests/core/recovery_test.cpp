// Folding leftover working files back after a run that did not close, and
// the failures of the file system while opening, writing and closing.
#include "common/testkit.h"
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
    std::string error;
    if (Database::hasLeftoverWorkingFiles(game.str())) {
      OpenHooks hooks;
      hooks.leftovers = [] { return LeftoverChoice::FoldBack; };
      EXPECT_FALSE(db.open(game.str(), hooks)) << "opened over leftovers that were not folded back";
      error = db.OpenError;
    } else {
      ASSERT_TRUE(db.beginOpen(game.str()));
      try {
        db.recoverLeftovers();
        ADD_FAILURE() << "damaged leftovers were folded back";
      } catch (const FileError& e) {
        error = e.what();
      }
      db.abortOpen();
    }
    EXPECT_NE(error.find(text), std::string::npos) << error;
    EXPECT_TRUE(sameFiles(snapshot(game.data()), before));
  }
  EXPECT_FALSE(Database::hasLeftoverWorkingFiles(game.str())) << "an incomplete set is no leftover";
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
  Database db;
  ASSERT_TRUE(db.beginOpen(game.str()));
  db.recoverLeftovers();
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  EXPECT_EQ(db.read<PlayerAttRecord>(kSlotStaffAtt, 2).PotentialAbility(), 188);
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
  db_.write(kSlotClub, clubs + 1, c);
  EXPECT_EQ(fs::file_size(game_.file("club.dat")), size + 581);
}

TEST_F(FailingWrites, DataFolderGoneAtClosingMadeAgainOrUnreported) {
  const fs::path moved = game_.data().parent_path() / "Elsewhere";
  fs::rename(game_.data(), moved);
  EXPECT_TRUE(failsWith([&] { db_.close(); }, FileError::Kind::PathNotFound, "does not exist"));
  EXPECT_FALSE(fs::exists(game_.data())) << "no new folder made";
  fs::rename(moved, game_.data());
  EXPECT_TRUE(Database::hasLeftoverWorkingFiles(game_.str()));
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

}  // namespace
