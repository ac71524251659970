// Damaged game directories found by the fuzz target (fuzz/fuzz_database.cpp),
// kept here so that what was fixed stays fixed.
#include <gtest/gtest.h>

#include "database/catalogue.h"
#include "database/database.h"
#include "database_helpers.h"

using namespace cm3;
using namespace cm3test;

namespace {

// staff.dat missing and index.dat refused: opening used to open (and so
// make) an empty staff.dat before it looked at index.dat, so the refused
// database was left with a file it did not have.
TEST(FuzzRegression, RefusedOpenWithoutStaffFileMakesNoStaffFile) {
  struct Damage {
    const char* what;
    void (*apply)(const GameDir&);
  };
  const Damage damages[] = {
      {"negative section count", [](const GameDir& g) { setEntryCountOnDisk(g.file("index.dat"), kEntrySection3, -1); }},
      {"too many people",
       [](const GameDir& g) { setEntryCountOnDisk(g.file("index.dat"), kEntryPeople, kPersonNameTableSize + 1); }},
      {"index.dat cut short",
       [](const GameDir& g) { spit(g.file("index.dat"), slice(slurp(g.file("index.dat")), 0, 700)); }},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.what);
    GameDir game;
    d.apply(game);
    fs::remove(game.file("staff.dat"));
    const Files before = snapshot(game.data());
    Database db;
    EXPECT_FALSE(db.open(game.str()));
    EXPECT_FALSE(db.OpenError.empty());
    EXPECT_NE(db.OpenError, kWrongPathMessage);
    EXPECT_FALSE(fs::exists(game.file("staff.dat")));
    EXPECT_TRUE(sameFiles(snapshot(game.data()), before));
  }
}

// The same folder with a good index.dat still opens, the missing staff.dat
// made empty as any other missing game file.
TEST(FuzzRegression, MissingStaffFileWithGoodIndexStillOpensAsNoPeople) {
  GameDir game;
  fs::remove(game.file("staff.dat"));
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  EXPECT_TRUE(fs::exists(game.file("staff.dat")));
  EXPECT_FALSE(db.has<StaffRecord>(kSlotStaff, 1));
  EXPECT_TRUE(db.PersonNameTable[0].empty());
  db.close();
}

}  // namespace
