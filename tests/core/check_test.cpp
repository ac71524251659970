// The consistency checks over generated databases, with faults planted in
// their files.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli/faults.h"
#include "database/database.h"
#include "people/newplayer.h"
#include "search/check.h"
#include "testutil.h"

namespace {

using namespace cm3;
using namespace cm3test;

search::CheckReport checkOpened(const std::string& dir) {
  Database db;
  if (!db.open(dir)) throw std::runtime_error("open failed: " + db.OpenError);
  search::CheckReport r = search::checkDatabase(db);
  db.close();
  return r;
}

std::string describe(const search::CheckReport& r) {
  std::string s;
  for (const auto& [name, n] : r.counts) s += " " + name + "=" + std::to_string(n);
  for (size_t i = 0; i < std::min<size_t>(r.findings.size(), 5); ++i) s += "\n  " + r.findings[i].message;
  return s;
}

TEST(Check, GeneratedDatabasesAreClean) {
  for (uint64_t seed : {1, 2, 3, 99}) {
    GameDir game(sample::smallPreset(), seed);
    search::CheckReport r;
    search::checkLeftoverFiles(game.str(), r);
    Database db;
    ASSERT_TRUE(db.open(game.str())) << db.OpenError;
    search::checkDatabase(db, r);
    db.close();
    EXPECT_TRUE(r.clean()) << "seed " << seed << ":" << describe(r);
  }
  GameDir full(sample::fullPreset(), 7);
  const search::CheckReport r = checkOpened(full.str());
  EXPECT_TRUE(r.clean()) << describe(r);
}

class CheckFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(CheckFaults, PlantedFaultIsFoundUnderItsOwnRule) {
  const Fault& f = GetParam();
  GameDir game;
  f.plant(World(game.data()));
  search::CheckReport r;
  search::checkLeftoverFiles(game.str(), r);
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  search::checkDatabase(db, r);
  db.close();
  EXPECT_GE(r.count(f.check), 1) << describe(r);
  for (const auto& [name, n] : r.counts)
    EXPECT_TRUE(name == f.check || f.alsoAllowed.count(name)) << "unexpected " << name << ":" << describe(r);
  for (const search::Finding& x : r.findings) EXPECT_FALSE(x.message.empty());
}

INSTANTIATE_TEST_SUITE_P(Rules, CheckFaults, ::testing::ValuesIn(plantedFaults()),
                         [](const ::testing::TestParamInfo<Fault>& i) { return i.param.name; });

TEST(Check, EveryRuleHasAPlantedFault) {
  const std::vector<Fault> faults = plantedFaults();
  for (std::string_view name : search::checkNames())
    EXPECT_TRUE(std::any_of(faults.begin(), faults.end(), [&](const Fault& f) { return f.check == name; }))
        << name;
}

TEST(Check, FindingsNameTheRecordAndThePeopleConcerned) {
  GameDir game;
  const World w(game.data());
  const World::Squad q = w.squad();
  const int32_t agent = w.freeAgent();
  editRecord<ClubRecord>(game.file("club.dat"), q.club + 1, [&](ClubRecord& r) { r.setPlayerSlot(q.empty, agent); });
  Database db;
  ASSERT_TRUE(db.open(game.str()));
  const search::CheckReport r = search::checkDatabase(db);
  ASSERT_EQ(r.findings.size(), 1u) << describe(r);
  const search::Finding& f = r.findings[0];
  EXPECT_EQ(f.file, "club.dat");
  EXPECT_EQ(f.record, q.club + 1);
  EXPECT_NE(f.message.find(db.personName(agent)), std::string::npos) << f.message;
  EXPECT_NE(f.message.find(db.clubNames[size_t(q.club)]), std::string::npos) << f.message;
  EXPECT_NE(f.message.find("slot " + std::to_string(q.empty)), std::string::npos) << f.message;
  db.close();
}

TEST(Check, ManyFindingsAreCountedButKeptToTheLimit) {
  GameDir game;
  // Every history row of a person points at nobody.
  const int64_t rows = int64_t(fs::file_size(game.file("staff_history.dat")) / HistoryRecord::kSize);
  std::vector<uint8_t> b = slurp(game.file("staff_history.dat"));
  int64_t planted = 0;
  for (int64_t k = 0; k < rows; ++k) {
    uint8_t* p = b.data() + k * HistoryRecord::kSize + HistoryRecord::PersonIdOffset;
    if (loadI32(p) >= 0) {
      storeI32(p, 1000000);
      ++planted;
    }
  }
  spit(game.file("staff_history.dat"), b);
  ASSERT_GT(planted, 300);

  Database db;
  ASSERT_TRUE(db.open(game.str()));
  search::CheckReport r;
  r.limitPerCheck = 25;
  search::checkDatabase(db, r);
  db.close();
  EXPECT_EQ(r.count(search::kCheckHistoryPerson), planted);
  EXPECT_EQ(r.total(), planted);
  EXPECT_EQ(r.findings.size(), 25u);
}

TEST(Check, StaysCleanAfterEditsWhileTheDatabaseIsOpen) {
  // A new player is written over the first bytes of section 2 and his
  // attribute record after the last one: the sections are judged by the
  // working files, so the open database is still consistent.
  GameDir game;
  Database db;
  ASSERT_TRUE(db.open(game.str()));
  people::PersonForm form = people::loadPerson(db, 0);
  people::NameFlags flags{true, true};
  form.firstName = "Ann";
  form.secondName = "Newcomer";
  people::addNewPlayer(db, people::templateOf(db, World(game.data()).player()), form, flags);
  search::CheckReport r = search::checkDatabase(db);
  EXPECT_TRUE(r.clean()) << describe(r);
  db.close();
  r = checkOpened(game.str());
  EXPECT_TRUE(r.clean()) << describe(r);
}

TEST(Check, LeftoversOfARunThatDidNotClose) {
  GameDir game;
  EXPECT_TRUE(search::leftoverWorkingFiles(game.str()).empty());
  {
    Database db;
    ASSERT_TRUE(db.open(game.str()));
    // Destroyed without close(): the working files stay.
  }
  std::vector<std::string> left = search::leftoverWorkingFiles(game.str());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{std::string(kPathStaffAtt), std::string(kPathStaffAtt2),
                                             std::string(kPathUnknown)}));
  // A write-back that stopped before its rename leaves a temporary file.
  fs::remove(game.file("staff_att.dat"));
  fs::remove(game.file("staff_att2.dat"));
  fs::remove(game.file("staff_unknown.dat"));
  const std::string tmp = temporaryPathFor(game.file("staff.dat").string());
  spit(tmp, {1, 2, 3});
  search::CheckReport r;
  search::checkLeftoverFiles(game.str(), r);
  ASSERT_EQ(r.count(search::kCheckLeftoverFiles), 1);
  EXPECT_NE(r.findings[0].message.find(tmp), std::string::npos);
  // index_temp.dat is left by every close and is no leftover.
  fs::remove(tmp);
  EXPECT_TRUE(fs::exists(game.file("index_temp.dat")));
  EXPECT_TRUE(search::leftoverWorkingFiles(game.str()).empty());
}

TEST(Check, NeedsAnOpenDatabase) {
  Database db;
  EXPECT_THROW(search::checkDatabase(db), std::logic_error);
}

TEST(Check, DamagedFilesGiveFindingsNotCrashes) {
  // Random bytes over every record file the checks read: whatever the
  // identifiers are, the checks only report.
  GameDir game;
  uint64_t x = 12345;
  auto noise = [&](const std::string& name) {
    std::vector<uint8_t> b = slurp(game.file(name));
    for (uint8_t& c : b) {
      x = x * 6364136223846793005ull + 1442695040888963407ull;
      c = uint8_t(x >> 56);
    }
    spit(game.file(name), b);
  };
  for (const char* f : {"club.dat", "nation.dat", "club_comp.dat", "stadium.dat", "staff_history.dat",
                        "first_names.dat", "city.dat", "colour.dat", "continent.dat"})
    noise(f);
  // The people too, but not past the first section (the index stays sane).
  std::vector<uint8_t> staff = slurp(game.file("staff.dat"));
  for (size_t i = 0; i < 600 * StaffRecord::kSize; ++i) {
    x = x * 6364136223846793005ull + 1442695040888963407ull;
    staff[i] = uint8_t(x >> 56);
  }
  spit(game.file("staff.dat"), staff);
  const search::CheckReport r = checkOpened(game.str());
  EXPECT_FALSE(r.clean());
  for (std::string_view rule : {search::kCheckRecordId, search::kCheckSlotPerson, search::kCheckReference,
                                search::kCheckNameId, search::kCheckAttributeId})
    EXPECT_GT(r.count(rule), 0) << rule;
}

}  // namespace
