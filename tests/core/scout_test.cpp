#include "search/scout.h"

#include "common/testkit.h"

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
}

TEST(ScoutCriteriaStore, BoxStoredInAnotherFieldOrUntouchedFormSetsALimit) {
  ScoutCriteria c{.MinCurrentAbility = 77, .JobClass = 4};
  ASSERT_FALSE(storeCriteria(ScoutForm{}, c).has_value());
  EXPECT_EQ(c, ScoutCriteria{});
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
  ScoutCriteria expected{.MinCurrentAbility = 120, .MinPotentialAbility = -2, .NationIndex = 7, .AgeLimit = 21,
                         .OlderThan = false, .MinAttribute = {}, .MinPosition = {}, .JobClass = 9, .LeagueIndex = 300};
  for (size_t k = 0; k < c.MinAttribute.size(); ++k) expected.MinAttribute[k] = int16_t(k);
  for (size_t k = 0; k < c.MinPosition.size(); ++k) expected.MinPosition[k] = int16_t(100 + k);
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
  EXPECT_EQ(std::make_tuple(c.MinCurrentAbility, c.AgeLimit, c.MinAttribute[2], c.MinAttribute[3], c.JobClass),
            std::make_tuple(50, 30, 11, 5, 7));
  EXPECT_EQ(c.MinPosition, old.MinPosition);
  c = old;
  f.attributes[3] = "11";
  f.ability = "40000";
  EXPECT_EQ(storeCriteria(f, c), std::optional<std::string>("txtAbility"));
  EXPECT_EQ(c, old);
  f.ability = "1";
  f.positions[11] = "x";
  EXPECT_EQ(storeCriteria(f, c), std::optional<std::string>("txtFreeRole"));
  EXPECT_EQ(std::make_tuple(c.MinAttribute[31], c.MinPosition[10], c.MinPosition[11]), std::make_tuple(11, 12, 6));
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

class Scout : public cm3test::OpenGame {
 protected:
  Scout() : OpenGame(scoutPreset(), 5) {}
  void SetUp() override {
    OpenGame::SetUp();
    for (int i = 0; i < db_.PeopleCount(); ++i) (staff(i).isPlayer() ? players_ : staffOnly_).push_back(i);
  }
  StaffRecord staff(int i) const { return db_.read<StaffRecord>(kSlotStaff, i + 1); }
  PlayerAttRecord att(int i) const { return db_.read<PlayerAttRecord>(kSlotStaffAtt, staff(i).PlayerAttIndex() + 1); }
  void edit(int i, std::initializer_list<cm3test::Set> sets) { change<StaffRecord>(kSlotStaff, i, sets); }
  void editAtt(int i, std::initializer_list<cm3test::Set> sets) {
    change<PlayerAttRecord>(kSlotStaffAtt, staff(i).PlayerAttIndex(), sets);
  }
  // Player k made ordinary: passes the untouched criteria, every threshold byte 10.
  int plant(int k, int16_t birthYear = 1980) {
    const int i = players_.at(size_t(k));
    edit(i, {{"BirthYear", birthYear}, {"ClassCode", 11}});
    PlayerAttRecord a = att(i);
    a.setCurrentAbility(100);
    a.setPotentialAbility(120);
    for (int p = 0; p < 12; ++p) a.setPositionRating(p, 10);
    for (int q = 0; q < 42; ++q) a.setAttribute(q, 10);
    db_.write(kSlotStaffAtt, staff(i).PlayerAttIndex() + 1, a);
    return i;
  }
  static bool listed(const std::vector<int>& r, int i) { return std::find(r.begin(), r.end(), i) != r.end(); }
  // {} are the criteria the untouched window stores.
  std::vector<int> run(const ScoutCriteria& c) const { return scout(db_, c, 1 << 20); }
  // Runs `c`: the people of `in` listed, those of `out` not, and everyone
  // listed satisfies `pred`.
  ::testing::AssertionResult lists(const ScoutCriteria& c, const std::vector<int>& in, const std::vector<int>& out,
                                   const std::function<bool(int)>& pred = [](int) { return true; }) const {
    const std::vector<int> r = run(c);
    for (int i : in)
      if (!listed(r, i)) return ::testing::AssertionFailure() << "person " << i << " not listed";
    for (int i : r)
      if (!pred(i) || std::find(out.begin(), out.end(), i) != out.end())
        return ::testing::AssertionFailure() << "person " << i << " listed";
    return ::testing::AssertionSuccess();
  }
  std::vector<int> players_, staffOnly_;
};

TEST_F(Scout, UntouchedCriteriaListOtherPeople) {
  editAtt(plant(0), {{"PotentialAbility", -2}});
  editAtt(plant(1), {{"CurrentAbility", -1}});
  plant(2, 0);
  plant(3, 2000);  // age -1
  const auto r = run({});
  EXPECT_TRUE(std::is_sorted(r.begin(), r.end()));
  // Exactly the people with an attribute record, CA and PA of 0 or more and
  // a birth year up to 1999.
  for (int i = 0; i < db_.PeopleCount(); ++i) {
    const bool expected = staff(i).PlayerAttIndex() >= 0 && att(i).CurrentAbility() >= 0 &&
                          att(i).PotentialAbility() >= 0 && staff(i).BirthYear() <= 1999;
    ASSERT_EQ(listed(r, i), expected) << "person " << i;
  }
}

TEST_F(Scout, NegativeMinimumTakenAsALowerBound) {
  const int i = plant(0);
  editAtt(i, {{"CurrentAbility", 50}, {"PotentialAbility", -2}});
  ScoutCriteria c;
  c.MinPotentialAbility = -2;  // exactly -2
  EXPECT_TRUE(lists(c, {i}, {}, [&](int p) { return att(p).PotentialAbility() == -2; }));
  c.MinCurrentAbility = 60;  // the CA half still counts
  EXPECT_TRUE(lists(c, {}, {i}));
  c.MinPotentialAbility = -1;
  c.MinCurrentAbility = 0;
  EXPECT_TRUE(lists(c, {}, {i}, [&](int p) { return att(p).PotentialAbility() == -1; }));
  c.MinCurrentAbility = -3;
  editAtt(i, {{"CurrentAbility", -3}, {"PotentialAbility", -1}});
  EXPECT_EQ(run(c), std::vector<int>{i});
}

TEST_F(Scout, AgeBoundExclusiveOrNotCountedFrom1999) {
  const int b1978 = plant(0, 1978), b1977 = plant(1, 1977), b1969 = plant(2, 1969), b1970 = plant(3, 1970);
  const int b0 = plant(4, 0), wrapped = plant(5, -31000);  // 1999 + 31000 wraps to negative
  ScoutCriteria c;
  c.OlderThan = false;
  c.AgeLimit = 21;
  EXPECT_TRUE(lists(c, {b1978, wrapped}, {b1977},
                    [&](int p) { return staff(p).BirthYear() >= 1978 || staff(p).BirthYear() < -30768; }));
  c.OlderThan = true;
  c.AgeLimit = 30;
  EXPECT_TRUE(lists(c, {b1969, b0}, {b1970, wrapped}, [&](int p) { return staff(p).BirthYear() <= 1969; }));
  c.AgeLimit = 1999;
  EXPECT_EQ(run(c), std::vector<int>{b0});
}

TEST_F(Scout, LeagueOrNationFilterIgnoresTheRecordsOrListsClubless) {
  const int clubbed = plant(0), clubless = plant(1), farClub = plant(2);
  edit(clubless, {{"ClubId", -1}});
  edit(farClub, {{"ClubId", db_.recordCount(GameFile::Club) + 10}});
  edit(clubbed, {{"ClubId", 3}});
  ClubRecord club = db_.read<ClubRecord>(kSlotClub, 4);
  ScoutCriteria c;
  EXPECT_TRUE(lists(c, {clubless, farClub}, {})) << "no league filter: the club is not read";
  c.LeagueIndex = int16_t(club.Division());
  EXPECT_TRUE(lists(c, {clubbed}, {clubless, farClub}, [&](int p) {
    const int32_t cl = staff(p).ClubId();
    return cl >= 0 && db_.read<ClubRecord>(kSlotClub, cl + 1).Division() == club.Division();
  }));
  club.setDivision(club.Division() + 1);
  db_.write(kSlotClub, 4, club);
  EXPECT_TRUE(lists(c, {}, {clubbed}));
  c = {};
  c.NationIndex = staff(clubbed).NationId();
  EXPECT_TRUE(lists(c, {clubbed}, {}, [&](int p) { return staff(p).NationId() == c.NationIndex; }));
}

TEST_F(Scout, JobFilterAppliesPlayerTestsToStaffWithoutAttributes) {
  const int noAtt = staffOnly_.at(0), withAtt = plant(0);
  edit(noAtt, {{"ClassCode", 9}, {"BirthYear", 1960}});
  edit(withAtt, {{"ClassCode", 9}});
  ScoutCriteria c;
  c.JobClass = 9;
  c.MinCurrentAbility = 200;
  c.MinAttribute.fill(20);
  EXPECT_TRUE(lists(c, {noAtt}, {withAtt}, [&](int p) { return staff(p).ClassCode() == 9; }));
  c.AgeLimit = 50;  // born 1960: 39, and the age still counts for him
  EXPECT_FALSE(listed(run(c), noAtt));
  c = {};
  c.JobClass = 9;
  c.MinAttribute.fill(10);
  EXPECT_TRUE(listed(run(c), withAtt));
  c.MinAttribute[5] = 11;
  EXPECT_FALSE(listed(run(c), withAtt));
  // An attribute index outside the file is none.
  edit(withAtt, {{"PlayerAttIndex", 1 << 24}});
  EXPECT_FALSE(listed(run({}), withAtt));
  c.MinAttribute.fill(0);
  EXPECT_TRUE(listed(run(c), withAtt));
}

TEST_F(Scout, ThresholdReadsAnotherByteOrASignedByte) {
  const int exact = plant(0), below = plant(1);
  editAtt(exact, {{"Attributes", 20, 40}, {"PositionRatings", 15, 7}});  // Vision, wing back
  editAtt(below, {{"Attributes", 19, 40}, {"PositionRatings", 200, 7}});
  ScoutCriteria c;
  c.MinAttribute[0] = 20;  // Vision
  EXPECT_TRUE(lists(c, {exact}, {below}, [&](int p) { return att(p).Attribute(40) >= 20; }));
  c = {};
  c.MinPosition[7] = 150;  // wing back; bytes are unsigned: 200 passes
  EXPECT_TRUE(lists(c, {below}, {exact}, [&](int p) { return att(p).PositionRating(7) >= 150; }));
  c = {};
  c.MinAttribute.fill(-300);  // a negative threshold lets every byte through
  c.MinPosition.fill(-1);
  EXPECT_EQ(run(c), run({}));
}

TEST_F(Scout, LimitNotKeptOrCountBeyondTheFileInventsPeople) {
  const auto all = run({});
  ASSERT_GT(all.size(), 500u);
  EXPECT_EQ(scout(db_, {}), std::vector<int>(all.begin(), all.begin() + 500));
  EXPECT_TRUE(scout(db_, {}, 0).empty());
  const IndexRecord real = db_.readIndex(kEntryPeople);
  IndexRecord e = real;
  e.setCount(45001);  // more records than staff.dat holds
  db_.writeIndex(kEntryPeople, e);
  const int inFile = int(db_.file(kSlotStaff).size() / StaffRecord::kSize);
  EXPECT_TRUE(lists({}, {}, {}, [&](int p) { return p < inFile; }));
  e.setCount(-5);
  db_.writeIndex(kEntryPeople, e);
  EXPECT_TRUE(run({}).empty());
  db_.writeIndex(kEntryPeople, real);  // closing refuses a negative count
}

}  // namespace
