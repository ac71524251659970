// The generator, and the consistency checks over generated databases with
// faults planted in their files.

#include "common/faults.h"

namespace {

using namespace cm3;
using namespace cm3test;

std::string describe(const search::CheckReport& r) {
  std::string s;
  for (const auto& [name, n] : r.counts) s += " " + name + "=" + std::to_string(n);
  for (size_t i = 0; i < std::min<size_t>(r.findings.size(), 5); ++i) s += "\n  " + r.findings[i].message;
  return s;
}

search::CheckReport checkDir(const std::string& dir) {
  search::CheckReport r;
  search::checkLeftoverFiles(dir, r);
  OpenDatabase db(dir);
  search::checkDatabase(db, r);
  db.close();
  return r;
}

TEST(Sample, SameSeedGivesOtherBytes) {
  ScratchDir dir;
  const sample::Preset p = sample::smallPreset();
  const fs::path a = dir.path() / "a", b = dir.path() / "b";
  sample::generate(a.string(), p, 7);
  sample::generate(b.string(), p, 8);
  EXPECT_NE(slurp(a / "Data" / "staff.dat"), slurp(b / "Data" / "staff.dat"));
  sample::generate(b.string(), p, 7);  // over an existing folder: replaced
  EXPECT_TRUE(sameFiles(snapshot(b / "Data"), snapshot(a / "Data")));
}

TEST(Check, GeneratedDatabaseFoundInconsistent) {
  const std::vector<std::pair<std::string, uint64_t>> runs = {{"small", 1}, {"small", 2}, {"small", 99}, {"full", 7}};
  for (const auto& [preset, seed] : runs) {
    GameDir game(presetNamed(preset), seed);
    const search::CheckReport r = checkDir(game.str());
    EXPECT_TRUE(r.clean()) << preset << " seed " << seed << ":" << describe(r);
  }
}

class CheckFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(CheckFaults, PlantedFaultMissedOrReportedUnderAnotherRule) {
  const Fault& f = GetParam();
  GameDir game;
  f.plant(World(game.data()));
  const search::CheckReport r = checkDir(game.str());
  EXPECT_EQ(std::make_pair(r.counts.size(), r.count(f.check) > 0), std::make_pair(size_t(1), true)) << describe(r);
  for (const search::Finding& x : r.findings) EXPECT_FALSE(x.message.empty());
}

INSTANTIATE_TEST_SUITE_P(Rules, CheckFaults, ::testing::ValuesIn(plantedFaults()),
                         [](const ::testing::TestParamInfo<Fault>& i) { return i.param.name; });

TEST(Check, FindingLacksTheRecordOrThePeopleConcerned) {
  GameDir game;
  const World w(game.data());
  const World::Squad q = w.squad();
  const int32_t agent = w.freeAgent();
  editRecord<ClubRecord>(game.file("club.dat"), q.club + 1, [&](ClubRecord& r) { r.setPlayerSlot(q.empty, agent); });
  OpenDatabase db(game.str());
  const search::CheckReport r = search::checkDatabase(db);
  ASSERT_EQ(r.findings.size(), 1u) << describe(r);
  const search::Finding& f = r.findings[0];
  EXPECT_EQ(f.file, "club.dat");
  EXPECT_EQ(f.record, q.club + 1);
  for (const std::string& part :
       {db.personName(agent), db.clubNames[size_t(q.club)], "slot " + std::to_string(q.empty)})
    EXPECT_NE(f.message.find(part), std::string::npos) << f.message;
}

TEST(Check, FindingsOverTheLimitKeptOrNotCounted) {
  GameDir game;
  Bytes b = slurp(game.file("staff_history.dat"));
  int64_t planted = 0;
  for (size_t at = HistoryRecord::PersonIdOffset; at + 4 <= b.size(); at += HistoryRecord::kSize)
    if (loadI32(b.data() + at) >= 0) {
      storeI32(b.data() + at, 1000000);
      ++planted;
    }
  spit(game.file("staff_history.dat"), b);
  OpenDatabase db(game.str());
  search::CheckReport r;
  r.limitPerCheck = 25;
  search::checkDatabase(db, r);
  db.close();
  EXPECT_EQ(std::make_tuple(r.count(search::kCheckHistoryPerson), r.total(), r.findings.size()),
            std::make_tuple(planted, planted, size_t(25)));
}

// A new player is written over the first bytes of section 2 and his
// attribute record after the last one: the sections are judged by the
// working files, so the open database is still consistent.
using OpenCheck = OpenGame;
TEST_F(OpenCheck, OpenDatabaseWithANewPlayerFoundInconsistent) {
  kEditActions[1].run(db_);  // NewPlayer
  const search::CheckReport r = search::checkDatabase(db_);
  EXPECT_TRUE(r.clean()) << describe(r);
  db_.close();
  EXPECT_TRUE(checkDir(game_.str()).clean());
}

TEST(Check, LeftoversOfAnUnclosedRunOrItsTemporaryFileMissed) {
  GameDir game;
  { Database db; ASSERT_TRUE(db.open(game.str())); }  // destroyed without close()
  std::vector<std::string> left = search::leftoverWorkingFiles(game.str());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{std::string(kPathStaffAtt), std::string(kPathStaffAtt2),
                                             std::string(kPathUnknown)}));
  for (const char* f : {"staff_att.dat", "staff_att2.dat", "staff_unknown.dat"}) fs::remove(game.file(f));
  const std::string tmp = temporaryPathFor(game.file("staff.dat").string());
  spit(tmp, {1, 2, 3});
  search::CheckReport r;
  search::checkLeftoverFiles(game.str(), r);
  ASSERT_EQ(r.count(search::kCheckLeftoverFiles), 1);
  EXPECT_NE(r.findings[0].message.find(tmp), std::string::npos);
  fs::remove(tmp);
  EXPECT_TRUE(search::leftoverWorkingFiles(game.str()).empty()) << "index_temp.dat is no leftover";
  Database closed;
  EXPECT_THROW(search::checkDatabase(closed), std::logic_error);
}

}  // namespace
