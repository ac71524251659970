#include "search/scout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "common/testkit.h"
#include "database/database.h"

using namespace cm3;
using namespace cm3::search;

namespace {

TEST(ScoutNumbers, WholeNumberRoundedWronglyOrAcceptedOutOfRange) {
  const std::vector<std::pair<const char*, int>> good = {
      {"  12  ", 12}, {"\t-7", -7}, {"+3", 3},     {"2.5", 2},       {"3.5", 4},         {"-2.5", -2},
      {"-3.5", -4},   {"2.51", 3},   {"-0.5", 0},   {".6", 1},        {"7.", 7},          {"32767.4", 32767},
      {"-32768.5", -32768},          {"00000000000000000000042", 42}};
  for (const auto& [text, value] : good) EXPECT_EQ(whole16(text), value) << text;
  for (const char* bad : {"", "   ", "-", ".", "1a", "1 2", "1,5", "1e3", "--1", "32768", "-32769", "32767.5",
                          "-32768.51", "99999999999999999999999"})
    EXPECT_FALSE(whole16(bad).has_value()) << '"' << bad << '"';
  EXPECT_EQ(wholeNumber("255", 0, 255), 255);
  EXPECT_FALSE(wholeNumber("256", 0, 255).has_value());
  EXPECT_EQ(matchStatusText(499), "499 Matches");
  EXPECT_EQ(matchStatusText(500), "500 Matches , please refine search");
}

TEST(ScoutCriteriaStore, BoxStoredInAnotherFieldOrUntouchedFormSetsALimit) {
  ScoutCriteria c;
  c.MinCurrentAbility = 77;
  c.JobClass = 4;
  ASSERT_FALSE(storeCriteria(ScoutForm{}, c).has_value());
  EXPECT_EQ(c, ScoutCriteria{});
  EXPECT_TRUE(c.NationIndex == -1 && c.JobClass == -1 && c.LeagueIndex == -1 && c.OlderThan && c.AgeLimit == 0);
  ScoutForm f;
  f.ability = "120";
  f.potAbility = "-2";
  f.nationRow = 7;
  f.age = " 21 ";
  for (size_t k = 0; k < f.attributes.size(); ++k) f.attributes[k] = std::to_string(k);
  for (size_t k = 0; k < f.positions.size(); ++k) f.positions[k] = std::to_string(100 + k);
  f.classRow = 9;
  f.compRow = 300;
  f.optRow = 1;
  ASSERT_FALSE(storeCriteria(f, c).has_value());
  ScoutCriteria expected;
  expected.MinCurrentAbility = 120;
  expected.MinPotentialAbility = -2;
  expected.NationIndex = 7;
  expected.AgeLimit = 21;
  for (size_t k = 0; k < c.MinAttribute.size(); ++k) expected.MinAttribute[k] = int16_t(k);
  for (size_t k = 0; k < c.MinPosition.size(); ++k) expected.MinPosition[k] = int16_t(100 + k);
  expected.JobClass = 9;
  expected.LeagueIndex = 300;
  expected.OlderThan = false;
  EXPECT_EQ(c, expected);
}

// The boxes are stored in the window's order and storing stops at the
// first that does not convert.
TEST(ScoutCriteriaStore, FailedBoxStoresMoreOrLessThanTheBoxesBefore) {
  ScoutCriteria old;
  old.MinAttribute.fill(5);
  old.MinPosition.fill(6);
  old.JobClass = 7;
  ScoutForm f;
  f.ability = "50";
  f.age = "30";
  f.attributes.fill("11");
  f.attributes[3] = "";
  f.positions.fill("12");
  f.classRow = 1;
  ScoutCriteria c = old;
  EXPECT_EQ(storeCriteria(f, c), std::optional<std::string>("txtDecision"));
  EXPECT_EQ(kScoutAttributes[3].name, std::string("txtDecision"));
  EXPECT_EQ(c.MinCurrentAbility, 50);
  EXPECT_EQ(c.AgeLimit, 30);
  EXPECT_EQ(c.MinAttribute[2], 11);
  EXPECT_EQ(c.MinAttribute[3], 5);
  EXPECT_EQ(c.MinPosition, old.MinPosition);
  EXPECT_EQ(c.JobClass, 7);
  c = old;
  f.attributes[3] = "11";
  f.ability = "40000";
  EXPECT_EQ(storeCriteria(f, c), std::optional<std::string>("txtAbility"));
  EXPECT_EQ(c, old);
  f.ability = "1";
  f.positions[11] = "x";
  EXPECT_EQ(storeCriteria(f, c), std::optional<std::string>("txtFreeRole"));
  EXPECT_EQ(c.MinAttribute[31], 11);
  EXPECT_EQ(c.MinPosition[10], 12);
  EXPECT_EQ(c.MinPosition[11], 6);
}

TEST(ScoutBoxes, TwoBoxesReadTheSameByte) {
  std::set<int> offsets;
  for (const auto& b : kScoutAttributes) offsets.insert(b.offset >= 27 && b.offset <= 68 ? b.offset : -1);
  for (const auto& b : kScoutPositions) offsets.insert(b.offset >= 15 && b.offset <= 26 ? b.offset : -1);
  EXPECT_EQ(offsets.size(), 44u);
  EXPECT_EQ(offsets.count(-1), 0u);
}

// ---- The search over a generated database with planted people -------------

sample::Preset scoutPreset() {
  sample::Preset p = sample::smallPreset();
  p.people = 1600;
  p.players = 1400;
  return p;
}

class Scout : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(db_.open(game_.str())) << db_.OpenError;
    ASSERT_EQ(db_.PeopleCount(), 1600);
    for (int i = 0; i < db_.PeopleCount(); ++i) (staff(i).isPlayer() ? players_ : staffOnly_).push_back(i);
  }

  StaffRecord staff(int i) const { return db_.read<StaffRecord>(kSlotStaff, i + 1); }
  void put(const StaffRecord& s) { db_.write(kSlotStaff, s.PersonId() + 1, s); }
  PlayerAttRecord att(int i) const { return db_.read<PlayerAttRecord>(kSlotStaffAtt, staff(i).PlayerAttIndex() + 1); }
  void put(int i, const PlayerAttRecord& a) { db_.write(kSlotStaffAtt, staff(i).PlayerAttIndex() + 1, a); }
  bool hasAtt(int i) const { return staff(i).PlayerAttIndex() >= 0; }

  // An ordinary player: passes the untouched criteria, every threshold byte 10.
  int plantPlayer(int k, int16_t birthYear = 1980) {
    int i = players_.at(size_t(k));
    StaffRecord s = staff(i);
    s.setBirthYear(birthYear);
    s.setClassCode(11);
    put(s);
    PlayerAttRecord a = att(i);
    a.setCurrentAbility(100);
    a.setPotentialAbility(120);
    for (int p = 0; p < 12; ++p) a.setPositionRating(p, 10);
    for (int q = 0; q < 42; ++q) a.setAttribute(q, 10);
    put(i, a);
    return i;
  }
  static bool listed(const std::vector<int>& r, int i) { return std::find(r.begin(), r.end(), i) != r.end(); }
  std::vector<int> run(const ScoutCriteria& c) const { return scout(db_, c, 1 << 20); }
  void expectAll(const std::vector<int>& r, const std::function<bool(int)>& pred, const char* what) const {
    for (int i : r) ASSERT_TRUE(pred(i)) << what << ": person " << i;
  }
  static ScoutCriteria untouched() {
    ScoutCriteria c;
    EXPECT_FALSE(storeCriteria(ScoutForm{}, c).has_value());
    return c;
  }

  cm3test::GameDir game_{scoutPreset(), 5};
  Database db_;
  std::vector<int> players_, staffOnly_;
};

TEST_F(Scout, UntouchedCriteriaListOtherPeople) {
  const int pa2 = plantPlayer(0);
  PlayerAttRecord a = att(pa2);
  a.setPotentialAbility(-2);
  put(pa2, a);
  const int pa1 = plantPlayer(1);
  a = att(pa1);
  a.setPotentialAbility(-1);
  put(pa1, a);
  const int born0 = plantPlayer(2, 0);
  const int born2000 = plantPlayer(3, 2000);  // age -1
  const int plain = plantPlayer(4);

  auto r = run(untouched());
  EXPECT_FALSE(listed(r, pa2));
  EXPECT_FALSE(listed(r, pa1));
  EXPECT_TRUE(listed(r, born0));
  EXPECT_FALSE(listed(r, born2000));
  EXPECT_TRUE(listed(r, plain));
  EXPECT_TRUE(std::is_sorted(r.begin(), r.end()));
  // Exactly the people with an attribute record, CA and PA of 0 or more and
  // a birth year up to 1999.
  for (int i = 0; i < db_.PeopleCount(); ++i) {
    bool expected = hasAtt(i) && att(i).CurrentAbility() >= 0 && att(i).PotentialAbility() >= 0 &&
                    staff(i).BirthYear() <= 1999;
    ASSERT_EQ(listed(r, i), expected) << "person " << i;
  }
}

TEST_F(Scout, NegativeMinimumTakenAsALowerBound) {
  const int i = plantPlayer(0);
  PlayerAttRecord a = att(i);
  a.setCurrentAbility(50);
  a.setPotentialAbility(-2);
  put(i, a);
  ScoutCriteria c = untouched();
  c.MinPotentialAbility = -2;
  auto r = run(c);
  EXPECT_TRUE(listed(r, i));
  EXPECT_FALSE(r.empty());
  expectAll(r, [&](int p) { return att(p).PotentialAbility() == -2; }, "PA -2");
  c.MinCurrentAbility = 60;  // the CA half still counts
  r = run(c);
  EXPECT_FALSE(listed(r, i));
  expectAll(r, [&](int p) { return att(p).CurrentAbility() >= 60 && att(p).PotentialAbility() == -2; }, "CA 60");
  c.MinCurrentAbility = 50;
  EXPECT_TRUE(listed(run(c), i));
  c.MinPotentialAbility = -1;
  r = run(c);
  EXPECT_FALSE(listed(r, i));
  expectAll(r, [&](int p) { return att(p).PotentialAbility() == -1; }, "PA -1");
  c.MinCurrentAbility = -3;  // a CA of exactly -3 only
  a.setCurrentAbility(-3);
  a.setPotentialAbility(-1);
  put(i, a);
  r = run(c);
  EXPECT_EQ(r, std::vector<int>{i});
}

TEST_F(Scout, AgeBoundExclusiveOrNotCountedFrom1999) {
  const int b1978 = plantPlayer(0, 1978), b1977 = plantPlayer(1, 1977);
  const int b1969 = plantPlayer(2, 1969), b1970 = plantPlayer(3, 1970);
  const int b0 = plantPlayer(4, 0), wrapped = plantPlayer(5, -31000);  // 1999 + 31000 wraps to negative
  ScoutCriteria c = untouched();
  c.OlderThan = false;
  c.AgeLimit = 21;
  auto r = run(c);
  EXPECT_TRUE(listed(r, b1978));
  EXPECT_FALSE(listed(r, b1977));
  EXPECT_TRUE(listed(r, wrapped));
  expectAll(r, [&](int p) { return staff(p).BirthYear() >= 1978 || staff(p).BirthYear() < -30768; }, "young");
  c.OlderThan = true;
  c.AgeLimit = 30;
  r = run(c);
  EXPECT_TRUE(listed(r, b1969));
  EXPECT_FALSE(listed(r, b1970));
  EXPECT_TRUE(listed(r, b0));
  EXPECT_FALSE(listed(r, wrapped));
  expectAll(r, [&](int p) { return staff(p).BirthYear() <= 1969; }, "old");
  c.AgeLimit = 1999;
  EXPECT_EQ(run(c), std::vector<int>{b0});
}

TEST_F(Scout, LeagueFilterIgnoresTheClubsDivisionOrListsClubless) {
  const int clubbed = plantPlayer(0), clubless = plantPlayer(1), farClub = plantPlayer(2);
  StaffRecord s = staff(clubless);
  s.setClubId(-1);
  put(s);
  s = staff(farClub);
  s.setClubId(int32_t(db_.recordCount(GameFile::Club)) + 10);  // no such club record
  put(s);
  const int32_t club = staff(clubbed).ClubId() >= 0 ? staff(clubbed).ClubId() : 0;
  s = staff(clubbed);
  s.setClubId(club);
  put(s);
  const int32_t league = db_.read<ClubRecord>(kSlotClub, club + 1).Division();

  ScoutCriteria c = untouched();
  EXPECT_TRUE(listed(run(c), clubless));  // no league filter: the club is not looked at
  EXPECT_TRUE(listed(run(c), farClub));
  c.LeagueIndex = int16_t(league);
  auto r = run(c);
  EXPECT_TRUE(listed(r, clubbed));
  EXPECT_FALSE(listed(r, clubless));
  EXPECT_FALSE(listed(r, farClub));
  expectAll(r, [&](int p) {
    int32_t cl = staff(p).ClubId();
    return cl >= 0 && db_.read<ClubRecord>(kSlotClub, cl + 1).Division() == league;
  }, "division");
  // Another division for the club takes its players out.
  ClubRecord cr = db_.read<ClubRecord>(kSlotClub, club + 1);
  cr.setDivision(league + 1);
  db_.write(kSlotClub, club + 1, cr);
  r = run(c);
  EXPECT_FALSE(listed(r, clubbed));
  // Nobody is clubless under a league filter, also for the division 0.
  c.LeagueIndex = 0;
  expectAll(run(c), [&](int p) { return staff(p).ClubId() >= 0; }, "clubless");
}

TEST_F(Scout, JobFilterAppliesPlayerTestsToStaffWithoutAttributes) {
  ASSERT_GE(staffOnly_.size(), 2u);
  StaffRecord scoutNoAtt = staff(staffOnly_[0]);
  scoutNoAtt.setClassCode(9);
  scoutNoAtt.setBirthYear(1960);
  put(scoutNoAtt);
  const int scoutWithAtt = plantPlayer(0);
  StaffRecord s = staff(scoutWithAtt);
  s.setClassCode(9);
  put(s);

  ScoutCriteria c = untouched();
  c.JobClass = 9;
  c.MinCurrentAbility = 200;
  c.MinAttribute.fill(20);
  c.MinPosition.fill(20);
  auto r = run(c);
  EXPECT_TRUE(listed(r, scoutNoAtt.PersonId()));
  EXPECT_FALSE(listed(r, scoutWithAtt));
  expectAll(r, [&](int p) { return staff(p).ClassCode() == 9; }, "scouts only");
  // The other tests still apply to him.
  c.NationIndex = scoutNoAtt.NationId() + 1;
  EXPECT_FALSE(listed(run(c), scoutNoAtt.PersonId()));
  c.NationIndex = -1;
  c.AgeLimit = 50;  // born 1960: 39
  EXPECT_FALSE(listed(run(c), scoutNoAtt.PersonId()));

  // A scout with an attribute record passes only on his values.
  c = untouched();
  c.JobClass = 9;
  c.MinAttribute.fill(10);
  EXPECT_TRUE(listed(run(c), scoutWithAtt));
  c.MinAttribute[5] = 11;
  EXPECT_FALSE(listed(run(c), scoutWithAtt));

  // With any job allowed, nobody without an attribute record is listed.
  c = untouched();
  r = run(c);
  EXPECT_FALSE(listed(r, scoutNoAtt.PersonId()));
  expectAll(r, [&](int p) { return hasAtt(p); }, "attribute record");
  // Another job shows neither.
  c.JobClass = 8;
  r = run(c);
  EXPECT_FALSE(listed(r, scoutNoAtt.PersonId()));
  EXPECT_FALSE(listed(r, scoutWithAtt));
}

TEST_F(Scout, AttributeRecordOutsideTheFileReadAsOne) {
  const int i = plantPlayer(0);
  StaffRecord s = staff(i);
  s.setPlayerAttIndex(1 << 24);
  s.setClassCode(10);
  put(s);
  ScoutCriteria c = untouched();
  EXPECT_FALSE(listed(run(c), i));
  c.JobClass = 10;
  EXPECT_TRUE(listed(run(c), i));
  s.setPlayerAttIndex(-7);
  put(s);
  EXPECT_TRUE(listed(run(c), i));
}

TEST_F(Scout, ThresholdReadsAnotherByteOrASignedByte) {
  const int exact = plantPlayer(0), below = plantPlayer(1);
  for (int i : {exact, below}) {
    PlayerAttRecord a = att(i);
    a.setAttribute(40, i == exact ? 20 : 19);  // Vision
    a.setPositionRating(7, i == exact ? 15 : 200);  // wing back
    put(i, a);
  }
  ScoutCriteria c = untouched();
  ASSERT_EQ(kScoutAttributes[0].name, std::string("txtVis"));
  c.MinAttribute[0] = 20;
  auto r = run(c);
  EXPECT_TRUE(listed(r, exact));
  EXPECT_FALSE(listed(r, below));
  expectAll(r, [&](int p) { return att(p).Attribute(40) >= 20; }, "vision");

  c = untouched();
  ASSERT_EQ(kScoutPositions[7].name, std::string("txtWingBack"));
  c.MinPosition[7] = 15;
  r = run(c);
  EXPECT_TRUE(listed(r, exact));
  EXPECT_TRUE(listed(r, below));
  expectAll(r, [&](int p) { return att(p).PositionRating(7) >= 15; }, "wing back");
  c.MinPosition[7] = 16;
  EXPECT_FALSE(listed(run(c), exact));
  // Bytes are unsigned: 200 passes a threshold of 150.
  c.MinPosition[7] = 150;
  EXPECT_TRUE(listed(run(c), below));
  // A negative threshold lets every byte through.
  c = untouched();
  c.MinAttribute.fill(-300);
  c.MinPosition.fill(-1);
  EXPECT_EQ(run(c), run(untouched()));
}

TEST_F(Scout, NationFilterIgnored) {
  const int i = plantPlayer(0);
  ScoutCriteria c = untouched();
  c.NationIndex = staff(i).NationId();
  auto r = run(c);
  EXPECT_TRUE(listed(r, i));
  expectAll(r, [&](int p) { return staff(p).NationId() == c.NationIndex; }, "nation");
  EXPECT_LT(r.size(), run(untouched()).size());
}

TEST_F(Scout, LimitNotKeptOrNotInFileOrder) {
  ScoutCriteria c = untouched();
  auto all = run(c);
  ASSERT_GT(all.size(), 500u);
  auto limited = scout(db_, c);
  ASSERT_EQ(limited.size(), 500u);
  EXPECT_TRUE(std::equal(limited.begin(), limited.end(), all.begin()));
  EXPECT_EQ(matchStatusText(limited.size()), "500 Matches , please refine search");
  EXPECT_EQ(scout(db_, c, 3), std::vector<int>(all.begin(), all.begin() + 3));
  EXPECT_TRUE(scout(db_, c, 0).empty());
}

TEST_F(Scout, CountBeyondTheFileInventsPeople) {
  IndexRecord e = db_.readIndex(kEntryPeople);
  e.setCount(45001);  // more records than staff.dat holds
  db_.writeIndex(kEntryPeople, e);
  const int inFile = int(db_.file(kSlotStaff).size() / StaffRecord::kSize);
  ASSERT_LT(inFile, 45001);
  auto r = run(untouched());
  EXPECT_GT(r.size(), 0u);
  expectAll(r, [&](int p) { return p < inFile; }, "in the file");
  e.setCount(-5);
  db_.writeIndex(kEntryPeople, e);
  EXPECT_TRUE(run(untouched()).empty());
}

}  // namespace
