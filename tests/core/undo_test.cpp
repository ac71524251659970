// Undo and redo of every kind of write, and the backups made before the
// first write of a session.
#include "database/backup.h"
#include "common/testkit.h"

namespace cm3test {
namespace {

using namespace cm3;

// What the windows show besides the files: undo must give these back too.
struct Tables {
  std::array<int64_t, kGameFileCount> counts;
  std::vector<std::string> people, clubs, nations, comps, stadiums;
  bool operator==(const Tables&) const = default;
};
Tables tablesOf(const Database& db) {
  return {db.RecordCount, db.PersonNameTable, db.clubNames, db.nationNames, db.compNames, db.stadiumNames};
}

class UndoEachAction : public ::testing::TestWithParam<EditAction> {};

TEST_P(UndoEachAction, UndoGivesTheFilesAndTablesOfOpenAndRedoTheFilesOfDoingItOnce) {
  GameDir game, twin;
  const Files atOpen = gameFiles(game.data());
  OpenDatabase done(twin.str());
  GetParam().run(done);
  done.close();
  const Files once = gameFiles(twin.data());
  ASSERT_FALSE(sameFiles(once, atOpen)) << "the action changed no game file";

  OpenDatabase db(game.str());
  const Tables opened = tablesOf(db);
  GetParam().run(db);
  ASSERT_EQ(db.journal().entries().size(), 1u) << "one action must be one entry";
  db.undo();
  EXPECT_TRUE(tablesOf(db) == opened);
  db.close();
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), atOpen));

  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  GetParam().run(db);
  db.undo();
  db.redo();
  db.close();
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), once));
}

INSTANTIATE_TEST_SUITE_P(Kinds, UndoEachAction, ::testing::ValuesIn(kEditActions),
                         [](const auto& info) { return std::string(info.param.name); });

using Undo = OpenGame;
TEST_F(Undo, MixedSequenceUndoneToTheStartGivesTheFilesOfOpenAndANewActionEndsTheRedoList) {
  for (const EditAction& a : kEditActions) a.run(db_);
  ASSERT_EQ(db_.journal().entries().size(), std::size(kEditActions));
  EXPECT_EQ(db_.journal().undoLabel(), "Update nation Renamed Land");
  while (db_.journal().canUndo()) db_.undo();
  EXPECT_EQ(db_.journal().redoLabel(), "Update " + Database::displayName("M\xFCller", "Ann"));
  db_.redo();
  db_.redo();
  kEditActions[2].run(db_);  // the transfer again: the rest can no longer be redone
  EXPECT_EQ(db_.journal().entries().size(), 3u);
  EXPECT_FALSE(db_.journal().canRedo());
  while (db_.journal().canUndo()) db_.undo();
  closeAndExpectUnchanged();
}

using Backup = OpenGame;
TEST_F(Backup, FirstWriteBacksUpTheFilesOfOpenOnceAndRestoreGivesThemBack) {
  kEditActions[5].run(db_);
  kEditActions[7].run(db_);
  const std::string made = db_.sessionBackup();
  ASSERT_EQ(backup::list(game_.str()).size(), 1u);
  EXPECT_EQ(backup::list(game_.str())[0].name, made);
  EXPECT_EQ(backup::describe({made, "2026-12-07 10:15:00", 3 << 19, 31}), "2026-12-07 10:15:00   (31 files, 1.5 MB)");
  EXPECT_TRUE(sameFiles(gameFiles(fs::path(backup::folderOf(game_.str())) / made / "Data"), before_));
  EXPECT_THROW(backup::restore(game_.str()), FileError) << "restored while the database is open";
  db_.close();
  const Files edited = gameFiles(game_.data());

  const std::string before = backup::restore(game_.str(), made);
  EXPECT_TRUE(sameFiles(gameFiles(game_.data()), before_));
  // The restore is undone by restoring the backup it made first.
  backup::restore(game_.str(), before);
  EXPECT_TRUE(sameFiles(gameFiles(game_.data()), edited));
}

TEST_F(Backup, OnlyTheNewestTenAreKept) {
  std::vector<std::string> made;
  for (int i = 0; i < 12; ++i) made.push_back(backup::make(game_.str()));
  std::vector<std::string> kept;
  for (const auto& b : backup::list(game_.str())) kept.push_back(b.name);
  EXPECT_EQ(kept, std::vector<std::string>(made.begin() + 2, made.end()));
}

TEST_F(Backup, ThatCannotBeMadeStopsTheFirstWriteBeforeAnythingChanges) {
  spit(fs::path(game_.str()) / backup::kFolderName, {1});  // a file where the folder belongs
  EXPECT_THROW(kEditActions[5].run(db_), FileError);
  EXPECT_TRUE(db_.journal().entries().empty());
  closeAndExpectUnchanged();
}

}  // namespace
}  // namespace cm3test
