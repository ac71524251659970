#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "clubs/boxvalues.h"
#include "clubs/club.h"
#include "database/database.h"
#include "common/testkit.h"

using namespace cm3;
using namespace std::literals;
using cm3::clubs::ClubForm;
using cm3::clubs::UpdateError;
using cm3test::GameDir;
using cm3test::slurp;
using namespace std::string_literals;

namespace {

// ---- Box values -------------------------------------------------------------

TEST(WorldBoxValues, WholeNumbersWithTheirFaults) {
  using world::Fault;
  int64_t v = 0;
  EXPECT_EQ(world::parseWhole("12", 0, 255, v), Fault::None);
  EXPECT_EQ(v, 12);
  EXPECT_EQ(world::parseWhole(" -3 ", -10, 10, v), Fault::None);
  EXPECT_EQ(v, -3);
  EXPECT_EQ(world::parseWhole("+7", 0, 10, v), Fault::None);
  EXPECT_EQ(v, 7);
  EXPECT_EQ(world::parseWhole("1e3", 0, 5000, v), Fault::None);
  EXPECT_EQ(v, 1000);
  // Rounded half to even.
  EXPECT_EQ(world::parseWhole("2.5", 0, 10, v), Fault::None);
  EXPECT_EQ(v, 2);
  EXPECT_EQ(world::parseWhole("3.5", 0, 10, v), Fault::None);
  EXPECT_EQ(v, 4);
  EXPECT_EQ(world::parseWhole("255", 0, 255, v), Fault::None);
  EXPECT_EQ(v, 255);

  for (const char* bad : {"", "   ", "abc", "1a", "1.2.3", "- 5", "inf", "nan", "-", "1,000", "0x10"})
    EXPECT_EQ(world::parseWhole(bad, 0, 1000, v), Fault::NotANumber) << bad;
  EXPECT_EQ(world::parseWhole("256", 0, 255, v), Fault::Overflow);
  EXPECT_EQ(world::parseWhole("-1", 0, 255, v), Fault::Overflow);
  EXPECT_EQ(world::parseWhole("2147483648", INT32_MIN, INT32_MAX, v), Fault::Overflow);
  EXPECT_EQ(world::parseWhole(std::string(400, '9'), INT32_MIN, INT32_MAX, v), Fault::Overflow);
  EXPECT_EQ(world::parseWhole("1e999", INT32_MIN, INT32_MAX, v), Fault::Overflow);
  EXPECT_EQ(world::parseWhole("1e-999", 0, 10, v), Fault::None);
  EXPECT_EQ(v, 0);
}

TEST(WorldBoxValues, RealsShowAtMostFifteenDigits) {
  EXPECT_EQ(world::formatReal(12.5), "12.5");
  EXPECT_EQ(world::formatReal(0.1), "0.1");
  EXPECT_EQ(world::formatReal(0.0), "0");
  EXPECT_EQ(world::formatReal(-0.0), "0");
  EXPECT_EQ(world::formatReal(-0.001), "-0.001");
  EXPECT_EQ(world::formatReal(1e20), "1E+20");
  EXPECT_EQ(world::formatReal(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(world::formatReal(123456789012345678.0), "1.23456789012346E+17");

  // A box left as shown gives back the exact stored bits; an edited box is parsed.
  const double fine = 0.1 + 0.2;  // needs 17 digits
  ASSERT_EQ(world::formatReal(fine), "0.3");
  EXPECT_EQ(*world::realFromBox("0.3", fine), fine);
  EXPECT_EQ(*world::realFromBox(" 0.3 ", fine), fine);
  EXPECT_EQ(*world::realFromBox("0.30", fine), 0.3);
  EXPECT_EQ(*world::realFromBox("4", fine), 4.0);
  EXPECT_FALSE(world::realFromBox("x", fine).has_value());
  EXPECT_FALSE(world::parseReal("").has_value());
  EXPECT_EQ(*world::parseReal("-2.25E1"), -22.5);
}

TEST(WorldBoxValues, ListChoices) {
  EXPECT_EQ(world::rowOf(3, 4), 3);
  EXPECT_EQ(world::rowOf(4, 4), -1);
  EXPECT_EQ(world::rowOf(-1, 4), -1);
  EXPECT_EQ(world::rowOf(-7, 4), -1);
  // A chosen row is stored; no choice stores `none` unless the stored value
  // had no row to show it.
  EXPECT_EQ(world::choiceValue(2, 9, 4, -1), 2);
  EXPECT_EQ(world::choiceValue(-1, 3, 4, -1), -1);
  EXPECT_EQ(world::choiceValue(-1, 9, 4, -1), 9);
  EXPECT_EQ(world::choiceValue(-1, -7, 4, -1), -7);
  EXPECT_EQ(world::choiceValue(-1, 255, 4, 255), 255);
  EXPECT_EQ(world::choiceValue(-1, 40, 33, 255), 40);
  EXPECT_EQ(world::upperTrimmed(" <unknown> "), "<UNKNOWN>");
  EXPECT_EQ(world::upperTrimmed("   "), "");
}

// ---- The club window's records -----------------------------------------------

class Club : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(db_.open(game_.str())) << db_.OpenError; }
  void TearDown() override {
    if (db_.isOpen()) db_.close();
  }

  int32_t clubs() const { return db_.readIndex(kEntryClubs).Count(); }
  int32_t stadiums() const { return db_.readIndex(kEntryStadiums).Count(); }
  ClubRecord club(int32_t id) const { return db_.read<ClubRecord>(kSlotClub, id + 1); }
  StadiumRecord stadium(int32_t id) const { return db_.read<StadiumRecord>(kSlotStadium, id + 1); }
  void put(const ClubRecord& r) { db_.write(kSlotClub, r.Id() + 1, r); }

  // The first club whose record satisfies `pred`; fails the test when none does.
  template <class P>
  int32_t findClub(P pred) {
    for (int32_t i = 0; i < clubs(); ++i)
      if (pred(club(i))) return i;
    ADD_FAILURE() << "no such club in the sample";
    return 0;
  }
  // A club with a main stadium and no reserve, made from the first club.
  int32_t clubWithMainOnly() {
    ClubRecord r = club(0);
    r.setMainStadium(3);
    r.setReserveStadium(-1);
    put(r);
    return 0;
  }

  struct Files {
    std::vector<uint8_t> club, stadium, index;
    bool operator==(const Files&) const = default;
  };
  Files files() const {
    return {slurp(game_.file("club.dat")), slurp(game_.file("stadium.dat")), slurp(game_.file("index_temp.dat"))};
  }

  GameDir game_;
  Database db_;
};

void expectSameBytes(const ClubRecord& a, const ClubRecord& b, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i) EXPECT_EQ(a.bytes[i], b.bytes[i]) << "club byte " << i;
}

TEST_F(Club, ShowsAClubWithBothStadiums) {
  ClubRecord r = club(5);
  r.setMainStadium(7);
  r.setReserveStadium(9);
  r.setOwnsStadiumFlag(0);
  r.setFavourite(0, 12);
  r.setFavourite(1, -1);
  r.setDislike(2, 3);
  put(r);
  StadiumRecord st = stadium(7);
  st.setRoofFlag(255);
  st.setHeatingFlag(1);
  db_.write(kSlotStadium, 8, st);

  ClubForm f = clubs::loadClub(db_, 5);
  EXPECT_EQ(f.id, "5");
  EXPECT_EQ(f.longName, r.LongName());
  EXPECT_EQ(f.shortName, r.ShortName());
  EXPECT_EQ(f.nation, r.Nation());
  EXPECT_EQ(f.division, r.Division());
  EXPECT_EQ(f.lastDivision, r.LastDivision());
  EXPECT_EQ(f.lastPosition, std::to_string(r.LastPosition()));
  EXPECT_EQ(f.status, r.Status());
  EXPECT_EQ(f.cash, std::to_string(r.Cash()));
  EXPECT_EQ(f.avgAttendance, std::to_string(r.AvgAttendance()));
  EXPECT_EQ(f.minAttendance, std::to_string(r.MinAttendance()));
  EXPECT_EQ(f.maxAttendance, std::to_string(r.MaxAttendance()));
  EXPECT_EQ(f.trainingFacility, std::to_string(r.TrainingFacility()));
  EXPECT_EQ(f.reputation, std::to_string(r.Reputation()));
  for (int k = 0; k < 6; ++k) EXPECT_EQ(f.kits[size_t(k)], r.KitColour(k));
  EXPECT_TRUE(f.ownsStadium);
  ASSERT_EQ(f.liked.size(), 3u);
  EXPECT_EQ(f.liked[0], db_.personName(12));
  EXPECT_FALSE(f.liked[0].empty());
  EXPECT_EQ(f.liked[1], "Empty");
  EXPECT_EQ(f.disliked[2], db_.personName(3));

  EXPECT_EQ(f.main.id, "7");
  EXPECT_EQ(f.main.name, st.LongName());
  EXPECT_EQ(f.main.city, st.City());
  EXPECT_EQ(f.main.capacity, std::to_string(st.Capacity()));
  EXPECT_EQ(f.main.seating, std::to_string(st.Seating()));
  EXPECT_EQ(f.main.expansion, std::to_string(st.Expansion()));
  EXPECT_TRUE(f.main.roof);
  EXPECT_FALSE(f.main.heating);  // only 255 ticks
  StadiumRecord res = stadium(9);
  EXPECT_EQ(f.reserve.id, "9");
  EXPECT_EQ(f.reserve.name, res.LongName());
  EXPECT_EQ(f.reserve.capacity, std::to_string(res.Capacity()));
  EXPECT_EQ(db_.current.club, r);
  EXPECT_EQ(db_.current.stadium, st);  // the main stadium is read last
}

TEST_F(Club, ShowsMarkersAndEmptyChoices) {
  ClubRecord r = club(2);
  r.setMainStadium(-1);
  r.setReserveStadium(-1);
  r.setHomeMatchDay(255);
  r.setNation(-5);         // below -1: not shown
  r.setDivision(100000);   // no such competition
  r.setKitColour(3, 999);  // no such colour
  r.setRival(0, -1);
  r.setStatus(9);
  for (int k = 0; k < 3; ++k) r.setFavourite(k, -1);
  put(r);
  ClubForm f = clubs::loadClub(db_, 2);
  EXPECT_EQ(f.main.name, "<Unknown>");
  EXPECT_EQ(f.main.id, "N/A");
  EXPECT_EQ(f.main.capacity, "0");
  EXPECT_EQ(f.main.seating, "0");
  EXPECT_EQ(f.main.expansion, "0");
  EXPECT_EQ(f.main.city, -1);
  EXPECT_FALSE(f.main.roof || f.main.heating);
  EXPECT_EQ(f.reserve.name, "<None>");
  EXPECT_EQ(f.reserve.id, "N/A");
  EXPECT_EQ(f.reserve.expansion, "0");
  EXPECT_EQ(f.homeMatchDay, -1);
  EXPECT_EQ(f.nation, -1);
  EXPECT_EQ(f.division, -1);
  EXPECT_EQ(f.kits[3], -1);
  EXPECT_EQ(f.rivals[0], -1);
  EXPECT_EQ(f.status, -1);
  EXPECT_EQ(f.liked, (std::vector<std::string>{"Empty", "Empty", "Empty"}));

  r.setHomeMatchDay(0);
  put(r);
  EXPECT_EQ(clubs::loadClub(db_, 2).homeMatchDay, 0);
  // A club index past club.dat reads as an empty record instead of failing.
  ClubForm none = clubs::loadClub(db_, 1 << 20);
  EXPECT_EQ(none.longName, "");
  EXPECT_EQ(none.id, "0");
}

TEST_F(Club, UpdateWithoutEditsKeepsEveryByte) {
  ClubRecord r = club(4);
  r.setMainStadium(6);
  r.setReserveStadium(8);
  r.setNation(-5);          // values the window cannot show survive
  r.setKitColour(1, 4000);
  r.setStatus(9);
  r.setHomeMatchDay(77);
  put(r);
  StadiumRecord m = stadium(6), res = stadium(8);
  m.setRoofFlag(255);
  m.setHeatingFlag(0);
  res.setRoofFlag(0);
  res.setHeatingFlag(255);
  m.setCity(-9);
  db_.write(kSlotStadium, 7, m);
  db_.write(kSlotStadium, 9, res);
  const auto before = files();

  ClubForm f = clubs::loadClub(db_, 4);
  clubs::UpdateResult out = clubs::updateClub(db_, 4, false, f);
  EXPECT_EQ(out.clubId, 4);
  EXPECT_FALSE(out.created);
  EXPECT_TRUE(out.createdStadiums.empty());
  EXPECT_EQ(out.mainStadium, 6);
  EXPECT_EQ(out.reserveStadium, 8);
  EXPECT_TRUE(files() == before);
}

TEST_F(Club, UpdateWritesTheBoxesAndCarriesTheRest) {
  const int32_t id = clubWithMainOnly();
  const ClubRecord before = club(id);
  const StadiumRecord stBefore = stadium(3);
  const int64_t clubFileSize = slurp(game_.file("club.dat")).size();

  ClubForm f = clubs::loadClub(db_, id);
  f.longName = "  Harbour Town Rovers  ";
  f.shortName = std::string(27, 'S');  // the box takes 27, the field 26
  f.status = 2;
  f.nation = 1;
  f.division = 2;
  f.lastDivision = -1;
  f.otherDivision = 4;
  f.lastPosition = "17";
  f.cash = "-1234567";
  f.trainingFacility = "20";
  f.reputation = "-3";
  f.homeMatchDay = -1;
  f.avgAttendance = "15000";
  f.minAttendance = "900";
  f.maxAttendance = "2147483647";
  f.kits = {0, 1, 2, 3, 4, -1};
  f.rivals = {7, -1, 9};
  f.liked = {"someone else"};  // the window never writes favourites
  f.ownsStadium = !f.ownsStadium;
  f.main.name = " Quay Park";
  f.main.city = 5;
  f.main.capacity = "40000";
  f.main.seating = "30000";
  f.main.expansion = "0";
  f.main.nearby = -1;
  f.main.roof = true;
  f.main.heating = false;
  clubs::updateClub(db_, id, false, f);

  const ClubRecord r = club(id);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + 4), 23), "Harbour Town Rovers\0\0\0\0"s);
  for (size_t i = 4 + 19; i < 55; ++i) EXPECT_EQ(r.bytes[i], 0) << i;
  EXPECT_EQ(r.ShortName(), std::string(26, 'S'));
  EXPECT_EQ(r.Status(), 2);
  EXPECT_EQ(r.Nation(), 1);
  EXPECT_EQ(r.Division(), 2);
  EXPECT_EQ(r.LastDivision(), -1);
  EXPECT_EQ(r.OtherDivision(), 4);
  EXPECT_EQ(r.LastPosition(), 17);
  EXPECT_EQ(r.Cash(), -1234567);
  EXPECT_EQ(r.TrainingFacility(), 20);
  EXPECT_EQ(r.Reputation(), -3);
  EXPECT_EQ(r.HomeMatchDay(), 255);
  EXPECT_EQ(r.AvgAttendance(), 15000);
  EXPECT_EQ(r.MinAttendance(), 900);
  EXPECT_EQ(r.MaxAttendance(), 2147483647);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(r.KitColour(k), k);
  EXPECT_EQ(r.KitColour(5), -1);
  EXPECT_EQ(r.Rival(0), 7);
  EXPECT_EQ(r.Rival(1), -1);
  EXPECT_EQ(r.Rival(2), 9);
  EXPECT_EQ(r.Id(), before.Id());
  EXPECT_EQ(r.MainStadium(), 3);
  EXPECT_EQ(r.ReserveStadium(), -1);
  // Carried: the unnamed bytes, the owns-stadium flag, favourites,
  // dislikes, the squad and everything after it.
  EXPECT_EQ(r.bytes[55], before.bytes[55]);
  EXPECT_EQ(r.bytes[82], before.bytes[82]);
  EXPECT_EQ(r.bytes[130], before.bytes[130]);
  EXPECT_EQ(r.OwnsStadiumFlag(), before.OwnsStadiumFlag());
  expectSameBytes(r, before, 155, 179);
  expectSameBytes(r, before, 191, ClubRecord::kSize);
  EXPECT_EQ(int64_t(slurp(game_.file("club.dat")).size()), clubFileSize);

  const StadiumRecord s = stadium(3);
  EXPECT_EQ(s.LongName(), "Quay Park");
  EXPECT_EQ(s.Id(), stBefore.Id());
  EXPECT_EQ(s.City(), 5);
  EXPECT_EQ(s.Capacity(), 40000);
  EXPECT_EQ(s.Seating(), 30000);
  EXPECT_EQ(s.Expansion(), 0);
  EXPECT_EQ(s.NearbyStadium(), -1);
  EXPECT_EQ(s.RoofFlag(), 255);
  EXPECT_EQ(s.HeatingFlag(), 0);
  EXPECT_EQ(s.bytes[55], stBefore.bytes[55]);
  EXPECT_EQ(db_.clubNames[size_t(id)], "Harbour Town Rovers");
  EXPECT_EQ(db_.stadiumNames[3], "Quay Park");
}

TEST_F(Club, NamesFillTheirFieldsExactly) {
  ClubRecord before = club(1);
  before.bytes[55] = 0x5A;  // a non-zero byte right after the name field
  put(before);
  ClubForm f = clubs::loadClub(db_, 1);
  f.longName = std::string(51, 'L');
  f.main.name = "<Unknown>";
  f.reserve.name = "<None>";
  clubs::updateClub(db_, 1, false, f);
  ClubRecord r = club(1);
  EXPECT_EQ(r.LongName(), std::string(51, 'L'));
  EXPECT_EQ(std::memcmp(r.data() + 4, std::string(51, 'L').data(), 51), 0);
  EXPECT_EQ(r.bytes[55], 0x5A);  // the field has no terminator and the byte after it is carried
  f.longName = std::string(60, 'M');
  f.shortName = "Sh";
  clubs::updateClub(db_, 1, false, f);
  r = club(1);
  EXPECT_EQ(r.LongName(), std::string(51, 'M'));
  EXPECT_EQ(r.ShortName(), "Sh");
  for (size_t i = 56 + 2; i < 82; ++i) EXPECT_EQ(r.bytes[i], 0) << i;
}

TEST_F(Club, MarkersDropTheStadiumReferences) {
  ClubRecord r = club(3);
  r.setMainStadium(10);
  r.setReserveStadium(11);
  put(r);
  const auto stadiumsBefore = slurp(game_.file("stadium.dat"));
  ClubForm f = clubs::loadClub(db_, 3);
  f.main.name = "<unknown>";  // any case
  f.reserve.name = " <NONE> ";
  f.main.capacity = "not looked at";
  clubs::UpdateResult out = clubs::updateClub(db_, 3, false, f);
  EXPECT_EQ(club(3).MainStadium(), -1);
  EXPECT_EQ(club(3).ReserveStadium(), -1);
  EXPECT_EQ(slurp(game_.file("stadium.dat")), stadiumsBefore);  // the records themselves stay

  clubs::showStadiumState(f, out);
  EXPECT_EQ(f.main.name, "<Unknown>");
  EXPECT_EQ(f.main.id, "N/A");
  EXPECT_EQ(f.main.capacity, "0");
  EXPECT_EQ(f.main.city, -1);
  EXPECT_EQ(f.reserve.name, "<None>");
  EXPECT_EQ(f.reserve.id, "N/A");
}

TEST_F(Club, ANameReplacingTheMarkerCreatesAStadium) {
  ClubRecord r = club(8);
  r.setMainStadium(-1);
  r.setReserveStadium(-1);
  put(r);
  const int32_t s = stadiums();
  const int32_t c = clubs();
  const size_t namesBefore = db_.stadiumNames.size();

  ClubForm f = clubs::loadClub(db_, 8);
  f.main.name = "New Ground";
  f.main.capacity = "5000";
  f.main.seating = "4000";
  f.main.expansion = "100";
  f.main.city = 2;
  f.main.nearby = 1;
  f.main.heating = true;
  f.reserve.name = "Reserve Field";
  f.reserve.capacity = "800";
  f.reserve.seating = "0";
  f.reserve.expansion = "0";
  clubs::UpdateResult out = clubs::updateClub(db_, 8, false, f);

  EXPECT_EQ(out.createdStadiums, (std::vector<int32_t>{s, s + 1}));
  EXPECT_EQ(stadiums(), s + 2);
  EXPECT_EQ(clubs(), c);
  EXPECT_EQ(club(8).MainStadium(), s);
  EXPECT_EQ(club(8).ReserveStadium(), s + 1);
  const StadiumRecord m = stadium(s), res = stadium(s + 1);
  EXPECT_EQ(m.Id(), s);
  EXPECT_EQ(m.LongName(), "New Ground");
  EXPECT_EQ(m.Capacity(), 5000);
  EXPECT_EQ(m.Seating(), 4000);
  EXPECT_EQ(m.Expansion(), 100);
  EXPECT_EQ(m.City(), 2);
  EXPECT_EQ(m.NearbyStadium(), 1);
  EXPECT_EQ(m.HeatingFlag(), 255);
  EXPECT_EQ(m.RoofFlag(), 0);
  EXPECT_EQ(res.Id(), s + 1);
  EXPECT_EQ(res.LongName(), "Reserve Field");
  EXPECT_EQ(res.Capacity(), 800);
  EXPECT_EQ(res.City(), -1);
  EXPECT_EQ(int64_t(slurp(game_.file("stadium.dat")).size()), int64_t(s + 2) * StadiumRecord::kSize);
  EXPECT_EQ(db_.stadiumNames.size(), namesBefore + 2);
  EXPECT_EQ(db_.stadiumNames.back(), "Reserve Field");

  clubs::showStadiumState(f, out);
  EXPECT_EQ(f.main.id, std::to_string(s));
  EXPECT_EQ(f.reserve.id, std::to_string(s + 1));

  // An empty name box leaves a club without stadium as it is.
  r = club(9);
  r.setMainStadium(-1);
  put(r);
  f = clubs::loadClub(db_, 9);
  f.main.name = "  ";
  clubs::updateClub(db_, 9, false, f);
  EXPECT_EQ(stadiums(), s + 2);
  EXPECT_EQ(club(9).MainStadium(), -1);
}

TEST_F(Club, AddNewClubFormResetsTheWindow) {
  ClubForm shown = clubs::loadClub(db_, 0);
  shown.kits = {5, 4, 3, 2, 1, 0};
  shown.main.roof = true;
  shown.reserve.heating = true;
  ClubForm f = clubs::newClubForm(db_, shown);
  EXPECT_EQ(f.id, std::to_string(clubs()));
  EXPECT_EQ(f.main.id, std::to_string(stadiums()));
  EXPECT_EQ(f.reserve.id, std::to_string(stadiums() + 1));
  EXPECT_EQ(f.longName, "<New Club>");
  EXPECT_EQ(f.shortName, "<New Club>");
  EXPECT_EQ(f.main.name, "<Unknown>");
  EXPECT_EQ(f.reserve.name, "<None>");
  for (const std::string* t : {&f.lastPosition, &f.trainingFacility, &f.cash, &f.avgAttendance, &f.minAttendance,
                               &f.maxAttendance, &f.reputation, &f.main.capacity, &f.main.seating, &f.main.expansion,
                               &f.reserve.capacity, &f.reserve.seating, &f.reserve.expansion})
    EXPECT_EQ(*t, "0");
  EXPECT_EQ(f.status, 0);
  EXPECT_EQ(f.nation, -1);
  EXPECT_EQ(f.division, -1);
  EXPECT_EQ(f.homeMatchDay, -1);
  EXPECT_EQ(f.rivals, (std::array<int, 3>{-1, -1, -1}));
  EXPECT_TRUE(f.liked.empty() && f.disliked.empty());
  EXPECT_EQ(f.kits, shown.kits);
  EXPECT_TRUE(f.main.roof);
  EXPECT_TRUE(f.reserve.heating);
  EXPECT_EQ(f.main.city, -1);
}

class NewClub : public Club {
 protected:
  // A new club from the window's form on club `template`.
  clubs::UpdateResult add(int32_t templ, const std::string& mainName, const std::string& reserveName) {
    ClubForm f = clubs::newClubForm(db_, clubs::loadClub(db_, templ));
    f.longName = "Fresh Start FC";
    f.shortName = "Fresh";
    f.nation = 2;
    f.cash = "1000";
    f.rivals = {templ, -1, -1};
    f.main.name = mainName;
    f.main.capacity = "12000";
    f.reserve.name = reserveName;
    f.reserve.capacity = "3000";
    return clubs::updateClub(db_, templ, true, f);
  }
  void expectNewClubRecord(int32_t id, int32_t templ) {
    const ClubRecord r = club(id), t = club(templ);
    EXPECT_EQ(r.Id(), id);
    EXPECT_EQ(r.LongName(), "Fresh Start FC");
    EXPECT_EQ(r.ShortName(), "Fresh");
    EXPECT_EQ(r.Nation(), 2);
    EXPECT_EQ(r.Cash(), 1000);
    EXPECT_EQ(r.Status(), 0);
    EXPECT_EQ(r.Division(), -1);
    EXPECT_EQ(r.HomeMatchDay(), 255);
    EXPECT_EQ(r.Rival(0), templ);
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(r.Favourite(k), -1);
      EXPECT_EQ(r.Dislike(k), -1);
    }
    for (int k = 0; k < ClubRecord::kPlayerSlots; ++k) EXPECT_EQ(r.PlayerSlot(k), -1);
    for (int k = 0; k < ClubRecord::kStaffSlots; ++k) EXPECT_EQ(r.StaffSlot(k), -1);
    EXPECT_EQ(r.Unknown191(), -1);
    EXPECT_EQ(std::memcmp(r.data() + 195, "-1          ", 12), 0);
    // Fields the window does not set come from the club that was on show.
    EXPECT_EQ(r.OwnsStadiumFlag(), t.OwnsStadiumFlag());
    for (int k = 0; k < 6; ++k) EXPECT_EQ(r.KitColour(k), t.KitColour(k));
    expectSameBytes(r, t, 475, ClubRecord::kSize);
    EXPECT_EQ(r.bytes[130], t.bytes[130]);
  }
};

TEST_F(NewClub, WithBothStadiums) {
  const int32_t c = clubs(), s = stadiums();
  clubs::UpdateResult out = add(6, "Main Road", "Back Lane");
  EXPECT_TRUE(out.created);
  EXPECT_EQ(out.clubId, c);
  EXPECT_EQ(out.newClubName, "Fresh Start FC");
  EXPECT_EQ(clubs(), c + 1);
  EXPECT_EQ(stadiums(), s + 2);
  expectNewClubRecord(c, 6);
  EXPECT_EQ(club(c).MainStadium(), s);
  EXPECT_EQ(club(c).ReserveStadium(), s + 1);
  EXPECT_EQ(stadium(s).LongName(), "Main Road");
  EXPECT_EQ(stadium(s).Id(), s);
  EXPECT_EQ(stadium(s).Capacity(), 12000);
  EXPECT_EQ(stadium(s + 1).LongName(), "Back Lane");
  EXPECT_EQ(stadium(s + 1).Id(), s + 1);
  EXPECT_EQ(stadium(s + 1).Capacity(), 3000);
  EXPECT_EQ(int64_t(slurp(game_.file("club.dat")).size()), int64_t(c + 1) * ClubRecord::kSize);
  EXPECT_EQ(db_.clubNames.size(), size_t(c + 1));
  EXPECT_EQ(db_.clubNames.back(), "Fresh Start FC");
  EXPECT_EQ(db_.recordCount(GameFile::Club), c + 1);
  EXPECT_EQ(db_.recordCount(GameFile::Stadium), s + 2);
  // The rest of the world is untouched.
  EXPECT_EQ(club(6).PlayerSlot(0), db_.read<ClubRecord>(kSlotClub, 7).PlayerSlot(0));
}

TEST_F(NewClub, WithAMainStadiumOnly) {
  const int32_t c = clubs(), s = stadiums();
  clubs::UpdateResult out = add(0, "Only Ground", "<none>");
  EXPECT_EQ(out.createdStadiums, std::vector<int32_t>{s});
  EXPECT_EQ(stadiums(), s + 1);
  expectNewClubRecord(c, 0);
  EXPECT_EQ(club(c).MainStadium(), s);
  EXPECT_EQ(club(c).ReserveStadium(), -1);
}

TEST_F(NewClub, WithAReserveStadiumOnly) {
  const int32_t c = clubs(), s = stadiums();
  add(0, "<Unknown>", "Only Reserve");
  EXPECT_EQ(club(c).MainStadium(), -1);
  EXPECT_EQ(club(c).ReserveStadium(), s);
  EXPECT_EQ(stadium(s).LongName(), "Only Reserve");
  EXPECT_EQ(stadiums(), s + 1);
}

TEST_F(NewClub, WithoutStadiums) {
  const int32_t c = clubs();
  const auto stadiumsBefore = slurp(game_.file("stadium.dat"));
  const int32_t s = stadiums();
  clubs::UpdateResult out = add(1, "<Unknown>", "<None>");
  EXPECT_TRUE(out.createdStadiums.empty());
  expectNewClubRecord(c, 1);
  EXPECT_EQ(club(c).MainStadium(), -1);
  EXPECT_EQ(club(c).ReserveStadium(), -1);
  EXPECT_EQ(stadiums(), s);
  EXPECT_EQ(slurp(game_.file("stadium.dat")), stadiumsBefore);
  // A second new club follows the first.
  EXPECT_EQ(add(1, "<Unknown>", "<None>").clubId, c + 1);
  EXPECT_EQ(clubs(), c + 2);
}

TEST_F(Club, ABadBoxWritesNothing) {
  const int32_t id = clubWithMainOnly();
  const auto before = files();
  const ClubForm good = clubs::loadClub(db_, id);
  struct Case {
    const char* box;
    int code;
    std::function<void(ClubForm&)> edit;
  };
  const std::vector<Case> cases = {
      {"txtCash", 13, [](ClubForm& f) { f.cash = ""; }},
      {"txtCash", 6, [](ClubForm& f) { f.cash = "99999999999"; }},
      {"txtLastPos", 6, [](ClubForm& f) { f.lastPosition = "300"; }},
      {"txtTrainingFacility", 13, [](ClubForm& f) { f.trainingFacility = "x"; }},
      {"txtClubReputation", 6, [](ClubForm& f) { f.reputation = "40000"; }},
      {"txtMaxAttendance", 13, [](ClubForm& f) { f.maxAttendance = "12a"; }},
      // A stadium box fails after the club boxes passed.
      {"txtStaCapacity", 13, [](ClubForm& f) { f.main.capacity = ""; }},
      {"txtStaExpansion", 6, [](ClubForm& f) { f.main.expansion = "3000000000"; }},
      // A reserve stadium to be created from a bad box.
      {"txtStaResSeating", 13,
       [](ClubForm& f) {
         f.reserve.name = "Somewhere";
         f.reserve.seating = "lots";
       }},
  };
  for (const Case& c : cases) {
    ClubForm f = good;
    c.edit(f);
    try {
      clubs::updateClub(db_, id, false, f);
      ADD_FAILURE() << c.box << " was accepted";
    } catch (const UpdateError& e) {
      EXPECT_EQ(e.code(), c.code) << c.box;
      EXPECT_EQ(e.box(), c.box);
      EXPECT_EQ(e.message(), "Error " + std::to_string(c.code));
    }
    EXPECT_TRUE(files() == before) << c.box;
  }
  // A bad box in a frame that has no stadium is never looked at.
  ClubForm f = good;
  f.reserve.capacity = "";
  EXPECT_NO_THROW(clubs::updateClub(db_, id, false, f));
}

TEST_F(NewClub, ABadStadiumBoxWritesNoClub) {
  const auto before = files();
  ClubForm f = clubs::newClubForm(db_, clubs::loadClub(db_, 0));
  f.main.name = "Ground";
  f.reserve.name = "Annex";
  f.reserve.capacity = "";
  try {
    clubs::updateClub(db_, 0, true, f);
    ADD_FAILURE() << "accepted";
  } catch (const UpdateError& e) {
    EXPECT_EQ(e.code(), 13);
    EXPECT_EQ(e.box(), "txtStaResCapacity");
  }
  EXPECT_TRUE(files() == before);
  EXPECT_EQ(db_.clubNames.size(), size_t(clubs()));
}

TEST_F(Club, DamagedReferencesAreRefused) {
  ClubRecord r = club(2);
  r.setMainStadium(100000);  // past stadium.dat
  put(r);
  auto before = files();
  ClubForm f = clubs::loadClub(db_, 2);
  EXPECT_EQ(f.main.capacity, "0");
  try {
    clubs::updateClub(db_, 2, false, f);
    ADD_FAILURE() << "accepted";
  } catch (const UpdateError& e) {
    EXPECT_EQ(e.code(), 0);
    EXPECT_EQ(e.box(), "txtStaLongName");
    EXPECT_NE(e.message().find("not in stadium.dat"), std::string::npos);
  }
  EXPECT_TRUE(files() == before);
  // The marker is the way out.
  f.main.name = "<Unknown>";
  clubs::updateClub(db_, 2, false, f);
  EXPECT_EQ(club(2).MainStadium(), -1);

  // A club index past club.dat is not written.
  before = files();
  EXPECT_THROW(clubs::updateClub(db_, 1 << 20, false, f), UpdateError);
  EXPECT_TRUE(files() == before);

  // A club count below the records of club.dat would overwrite a club.
  IndexRecord e = db_.readIndex(kEntryClubs);
  e.setCount(e.Count() - 1);
  db_.writeIndex(kEntryClubs, e);
  before = files();
  ClubForm n = clubs::newClubForm(db_, f);
  EXPECT_THROW(clubs::updateClub(db_, 2, true, n), UpdateError);
  EXPECT_TRUE(files() == before);
}

}  // namespace
