// The club, stadium, nation, continent and competition editors.
#include <gtest/gtest.h>

#include "clubs/boxvalues.h"
#include "clubs/club.h"
#include "common/testkit.h"
#include "competitions/comp.h"
#include "nations/nation.h"

using namespace cm3;
using namespace cm3test;
using clubs::ClubForm;
using clubs::UpdateError;

namespace {

TEST(WorldBoxValues, WholeNumberAcceptedOutOfRangeOrRoundedWrongly) {
  using world::Fault;
  const std::vector<std::tuple<const char*, int64_t, int64_t, Fault, int64_t>> cases = {
      {" -3 ", -10, 10, Fault::None, -3}, {"+7", 0, 10, Fault::None, 7},        {"1e3", 0, 5000, Fault::None, 1000},
      {"2.5", 0, 10, Fault::None, 2},     {"3.5", 0, 10, Fault::None, 4},       {"1e-999", 0, 10, Fault::None, 0},
      {"256", 0, 255, Fault::Overflow, 0}, {"-1", 0, 255, Fault::Overflow, 0},
      {"2147483648", INT32_MIN, INT32_MAX, Fault::Overflow, 0}, {"1e999", INT32_MIN, INT32_MAX, Fault::Overflow, 0}};
  for (const auto& [text, lo, hi, fault, value] : cases) {
    int64_t v = -99;
    EXPECT_EQ(world::parseWhole(text, lo, hi, v), fault) << text;
    if (fault == Fault::None) {
      EXPECT_EQ(v, value) << text;
    }
  }
  int64_t v = 0;
  for (const char* bad : {"", "   ", "1a", "1.2.3", "- 5", "inf", "nan", "1,000", "0x10"})
    EXPECT_EQ(world::parseWhole(bad, 0, 1000, v), Fault::NotANumber) << bad;
}

TEST(WorldBoxValues, RealShownWithMoreThanFifteenDigitsOrUneditedBoxLosesBits) {
  EXPECT_EQ(world::formatReal(-0.0), "0");
  EXPECT_EQ(world::formatReal(1e20), "1E+20");
  EXPECT_EQ(world::formatReal(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(world::formatReal(123456789012345678.0), "1.23456789012346E+17");
  const double fine = 0.1 + 0.2;
  ASSERT_EQ(world::formatReal(fine), "0.3");
  EXPECT_EQ(*world::realFromBox(" 0.3 ", fine), fine);
  EXPECT_EQ(*world::realFromBox("0.30", fine), 0.3);
  EXPECT_FALSE(world::realFromBox("x", fine).has_value());
  EXPECT_EQ(*world::parseReal("-2.25E1"), -22.5);
}

TEST(WorldBoxValues, UnshownListValueLostWhenNothingIsChosen) {
  EXPECT_EQ(world::rowOf(3, 4), 3);
  EXPECT_EQ(world::rowOf(4, 4), -1);
  EXPECT_EQ(world::rowOf(-7, 4), -1);
  EXPECT_EQ(world::choiceValue(2, 9, 4, -1), 2);
  EXPECT_EQ(world::choiceValue(-1, 3, 4, -1), -1);
  EXPECT_EQ(world::choiceValue(-1, 9, 4, -1), 9);
  EXPECT_EQ(world::choiceValue(-1, -7, 4, -1), -7);
  EXPECT_EQ(world::choiceValue(-1, 40, 33, 255), 40);
  EXPECT_EQ(world::upperTrimmed(" <unknown> "), "<UNKNOWN>");
}

class World : public OpenGame {
 protected:
  int32_t clubs() const { return count(kEntryClubs); }
  int32_t stadiums() const { return count(kEntryStadiums); }
  ClubRecord club(int32_t id) const { return db_.read<ClubRecord>(kSlotClub, id + 1); }
  StadiumRecord stadium(int32_t id) const { return db_.read<StadiumRecord>(kSlotStadium, id + 1); }
  void put(const ClubRecord& r) { db_.write(kSlotClub, r.Id() + 1, r); }
  ClubRecord withStadiums(int32_t id, int32_t main, int32_t reserve) {
    ClubRecord r = club(id);
    r.setMainStadium(main);
    r.setReserveStadium(reserve);
    put(r);
    return r;
  }
  Files files() const { return snapshot(game_.data()); }
};

TEST_F(World, ClubFormShowsTheWrongStadiumsOrNames) {
  ClubRecord r = withStadiums(5, 7, 9);
  r.setFavourite(0, 12);
  r.setFavourite(1, -1);
  r.setNation(-5);
  r.setKitColour(3, 999);
  r.setHomeMatchDay(255);
  put(r);
  StadiumRecord st = stadium(7);
  st.setRoofFlag(255);
  st.setHeatingFlag(1);  // only 255 ticks
  db_.write(kSlotStadium, 8, st);
  ClubForm f = clubs::loadClub(db_, 5);
  EXPECT_EQ(std::vector<std::string>({f.longName, f.liked[0], f.liked[1], f.main.id, f.main.name, f.reserve.name}),
            std::vector<std::string>({r.LongName(), db_.personName(12), "Empty", "7", st.LongName(), stadium(9).LongName()}));
  EXPECT_EQ(std::vector<int>({f.nation, f.kits[3], f.homeMatchDay, f.main.roof, f.main.heating}),
            std::vector<int>({-1, -1, -1, 1, 0}));
  EXPECT_EQ(db_.current.stadium, st) << "the main stadium is read last";
  withStadiums(5, -1, -1);
  f = clubs::loadClub(db_, 5);
  EXPECT_EQ(std::vector<std::string>({f.main.name, f.main.id, f.main.capacity, f.reserve.name}),
            std::vector<std::string>({"<Unknown>", "N/A", "0", "<None>"}));
  EXPECT_EQ(clubs::loadClub(db_, 1 << 20).longName, "");
}

// Each editor, shown and written back untouched, with values its lists and
// boxes cannot show.
TEST_F(World, UneditedSaveChangesAByte) {
  ClubRecord r = withStadiums(4, 6, 8);
  r.setNation(-5);
  r.setKitColour(1, 4000);
  r.setStatus(9);
  r.setHomeMatchDay(77);
  put(r);
  for (int32_t id : {6, 8}) {  // ticks are written back as 255 or 0
    StadiumRecord m = stadium(id);
    m.setRoofFlag(id == 6 ? 255 : 0);
    m.setHeatingFlag(id == 6 ? 0 : 255);
    m.setCity(-9);
    db_.write(kSlotStadium, id + 1, m);
  }
  NationRecord n = db_.read<NationRecord>(kSlotNation, 6);
  n.setCurrentFifaCoefficient(0.1 + 0.2);
  n.setUefaCoefficient(0, 2.0 / 3.0);
  n.setRegion(255);
  n.setLanguage(2, 40);
  db_.write(kSlotNation, 6, n);
  ContinentRecord c = db_.read<ContinentRecord>(kSlotContinent, n.ContinentId() + 1);
  c.setStrength(1.0 / 7.0);
  db_.write(kSlotContinent, n.ContinentId() + 1, c);
  CompRecord k = db_.read<CompRecord>(kSlotComp, 3);
  k.setForeground(-77);
  db_.write(kSlotComp, 3, k);
  const Files before = files();
  const clubs::UpdateResult out = clubs::updateClub(db_, 4, false, clubs::loadClub(db_, 4));
  EXPECT_FALSE(out.created);
  EXPECT_TRUE(out.createdStadiums.empty());
  nations::updateNation(db_, 5, nations::loadNation(db_, 5));
  comps::updateComp(db_, 2, comps::loadComp(db_, 2));
  EXPECT_TRUE(sameFiles(files(), before));
}

TEST_F(World, ClubUpdateWritesABoxWrongOrLosesACarriedByte) {
  const ClubRecord before = withStadiums(0, 3, -1);
  const StadiumRecord stBefore = stadium(3);
  ClubForm f = clubs::loadClub(db_, 0);
  f.longName = std::string(60, 'L');  // cut at 51, no terminator
  f.shortName = "  Sh  ";
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
  f.liked = {"someone else"};  // never written
  f.ownsStadium = !f.ownsStadium;  // shown only
  f.main.name = " Quay Park";
  f.main.city = 5;
  f.main.capacity = "40000";
  f.main.seating = "30000";
  f.main.expansion = "0";
  f.main.nearby = -1;
  f.main.roof = true;
  f.main.heating = false;
  clubs::updateClub(db_, 0, false, f);
  ClubRecord expected = before;
  std::fill_n(expected.LongNameField(), 51, 'L');
  encodeTrimmed("Sh", expected.ShortNameField(), 26);
  expected.setStatus(2);
  expected.setNation(1);
  expected.setDivision(2);
  expected.setLastDivision(-1);
  expected.setOtherDivision(4);
  expected.setLastPosition(17);
  expected.setCash(-1234567);
  expected.setTrainingFacility(20);
  expected.setReputation(-3);
  expected.setHomeMatchDay(255);
  expected.setAvgAttendance(15000);
  expected.setMinAttendance(900);
  expected.setMaxAttendance(2147483647);
  for (int k = 0; k < 6; ++k) expected.setKitColour(k, f.kits[size_t(k)]);
  for (int k = 0; k < 3; ++k) expected.setRival(k, f.rivals[size_t(k)]);
  EXPECT_EQ(club(0), expected);
  StadiumRecord st = stBefore;
  encodeTrimmed("Quay Park", st.LongNameField(), 51);
  st.setCity(5);
  st.setCapacity(40000);
  st.setSeating(30000);
  st.setExpansion(0);
  st.setNearbyStadium(-1);
  st.setRoofFlag(255);
  st.setHeatingFlag(0);
  EXPECT_EQ(stadium(3), st);
  EXPECT_EQ(db_.clubNames[0], std::string(51, 'L'));
  EXPECT_EQ(db_.stadiumNames[3], "Quay Park");
}

TEST_F(World, MarkerKeepsTheStadiumOrANewNameMakesNone) {
  withStadiums(3, 10, 11);
  const Bytes stadiumsBefore = slurp(game_.file("stadium.dat"));
  ClubForm f = clubs::loadClub(db_, 3);
  f.main.name = "<unknown>";
  f.reserve.name = " <NONE> ";
  f.main.capacity = "not looked at";
  clubs::UpdateResult out = clubs::updateClub(db_, 3, false, f);
  EXPECT_EQ(club(3).MainStadium(), -1);
  EXPECT_EQ(club(3).ReserveStadium(), -1);
  EXPECT_EQ(slurp(game_.file("stadium.dat")), stadiumsBefore) << "the records themselves stay";
  clubs::showStadiumState(f, out);
  EXPECT_EQ(f.main.name, "<Unknown>");
  EXPECT_EQ(f.reserve.id, "N/A");

  const int32_t s = stadiums();
  f = clubs::loadClub(db_, 3);
  f.main.name = "New Ground";
  f.main.capacity = "5000";
  f.main.seating = "4000";
  f.main.expansion = "100";
  f.main.heating = true;
  f.reserve.name = "Reserve Field";
  f.reserve.capacity = "800";
  f.reserve.seating = f.reserve.expansion = "0";
  out = clubs::updateClub(db_, 3, false, f);
  EXPECT_EQ(out.createdStadiums, (std::vector<int32_t>{s, s + 1}));
  EXPECT_EQ(stadiums(), s + 2);
  EXPECT_EQ(club(3).MainStadium(), s);
  EXPECT_EQ(club(3).ReserveStadium(), s + 1);
  EXPECT_EQ(stadium(s).Id(), s);
  EXPECT_EQ(stadium(s).LongName(), "New Ground");
  EXPECT_EQ(stadium(s).HeatingFlag(), 255);
  EXPECT_EQ(stadium(s + 1).Id(), s + 1);
  EXPECT_EQ(stadium(s + 1).Capacity(), 800);
  EXPECT_EQ(int64_t(fs::file_size(game_.file("stadium.dat"))), int64_t(s + 2) * StadiumRecord::kSize);
  EXPECT_EQ(db_.stadiumNames.back(), "Reserve Field");
  clubs::showStadiumState(f, out);
  EXPECT_EQ(f.reserve.id, std::to_string(s + 1));
  // An empty name box leaves a club without stadium as it is.
  withStadiums(9, -1, -1);
  f = clubs::loadClub(db_, 9);
  f.main.name = "  ";
  clubs::updateClub(db_, 9, false, f);
  EXPECT_EQ(stadiums(), s + 2);
}

struct NewClubCase {
  const char* name;
  const char *main, *reserve;
  int created;
};
class NewClubs : public World, public ::testing::WithParamInterface<NewClubCase> {};
INSTANTIATE_TEST_SUITE_P(Stadiums, NewClubs,
                         ::testing::Values(NewClubCase{"Both", "Main Road", "Back Lane", 2},
                                           NewClubCase{"MainOnly", "Only Ground", "<none>", 1},
                                           NewClubCase{"ReserveOnly", "<Unknown>", "Only Reserve", 1},
                                           NewClubCase{"None", "<Unknown>", "<None>", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(NewClubs, NewClubOrItsStadiumsGetWrongIndexesOrFields) {
  const NewClubCase& k = GetParam();
  const int32_t c = clubs(), s = stadiums(), templ = 6;
  ClubForm shown = clubs::loadClub(db_, templ);
  shown.kits = {5, 4, 3, 2, 1, 0};
  ClubForm f = clubs::newClubForm(db_, shown);
  EXPECT_EQ(std::vector<std::string>({f.id, f.main.id, f.reserve.id, f.longName, f.cash}),
            std::vector<std::string>({std::to_string(c), std::to_string(s), std::to_string(s + 1), "<New Club>", "0"}));
  EXPECT_EQ(f.kits, shown.kits);
  EXPECT_TRUE(f.liked.empty());
  f.longName = "Fresh Start FC";
  f.nation = 2;
  f.cash = "1000";
  f.rivals = {templ, -1, -1};
  f.main.name = k.main;
  f.main.capacity = "12000";
  f.reserve.name = k.reserve;
  f.reserve.capacity = "3000";
  const clubs::UpdateResult out = clubs::updateClub(db_, templ, true, f);
  EXPECT_TRUE(out.created);
  EXPECT_EQ(out.newClubName, "Fresh Start FC");
  EXPECT_EQ(std::vector<int64_t>({out.clubId, clubs(), stadiums(), db_.recordCount(GameFile::Club),
                                  db_.recordCount(GameFile::Stadium)}),
            std::vector<int64_t>({c, c + 1, s + k.created, c + 1, s + k.created}));
  EXPECT_EQ(db_.clubNames.back(), "Fresh Start FC");
  const ClubRecord r = club(c), t = club(templ);
  EXPECT_EQ(std::vector<int>({r.Id(), r.Nation(), r.Cash(), r.Division(), r.HomeMatchDay(), r.Rival(0), r.KitColour(0),
                              r.Favourite(2), r.Unknown191()}),
            std::vector<int>({c, 2, 1000, -1, 255, templ, 5, -1, -1}));
  EXPECT_EQ(slice(bytesOf(r), 207, 475), Bytes(268, 0xFF)) << "every player and staff slot empty";
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + 195), 12), "-1          ");
  EXPECT_EQ(slice(bytesOf(r), 475, 581), slice(bytesOf(t), 475, 581)) << "taken from the club on show";
  const bool mainMade = std::string(k.main) != "<Unknown>";
  const bool reserveMade = k.created == 2 || (k.created == 1 && !mainMade);
  EXPECT_EQ(r.MainStadium(), mainMade ? s : -1);
  EXPECT_EQ(r.ReserveStadium(), reserveMade ? s + (mainMade ? 1 : 0) : -1);
  if (mainMade) {
    EXPECT_EQ(stadium(s).Capacity(), 12000);
  }
  if (reserveMade) {
    EXPECT_EQ(stadium(r.ReserveStadium()).LongName(), k.reserve);
  }
  EXPECT_EQ(clubs::updateClub(db_, templ, true, clubs::newClubForm(db_, f)).clubId, c + 1) << "a second follows";
}

TEST_F(World, RefusedClubBoxWritesSomething) {
  withStadiums(0, 3, -1);
  const Files before = files();
  const ClubForm good = clubs::loadClub(db_, 0);
  const std::vector<std::tuple<const char*, int, std::function<void(ClubForm&)>>> cases = {
      {"txtCash", 13, [](ClubForm& f) { f.cash = ""; }},
      {"txtCash", 6, [](ClubForm& f) { f.cash = "99999999999"; }},
      {"txtLastPos", 6, [](ClubForm& f) { f.lastPosition = "300"; }},
      {"txtClubReputation", 6, [](ClubForm& f) { f.reputation = "40000"; }},
      {"txtMaxAttendance", 13, [](ClubForm& f) { f.maxAttendance = "12a"; }},
      {"txtStaCapacity", 13, [](ClubForm& f) { f.main.capacity = ""; }},
      {"txtStaExpansion", 6, [](ClubForm& f) { f.main.expansion = "3000000000"; }},
      {"txtStaResSeating", 13, [](ClubForm& f) {
         f.reserve.name = "Somewhere";
         f.reserve.seating = "lots";
       }}};
  for (const auto& [box, code, edit] : cases) {
    for (bool newClub : {false, true}) {
      ClubForm f = newClub ? clubs::newClubForm(db_, good) : good;
      if (newClub) f.main.name = "Ground";
      edit(f);
      try {
        clubs::updateClub(db_, 0, newClub, f);
        ADD_FAILURE() << box << " was accepted";
      } catch (const UpdateError& e) {
        EXPECT_EQ(e.box(), box);
        EXPECT_EQ(e.message(), "Error " + std::to_string(code));
      }
      EXPECT_TRUE(sameFiles(files(), before)) << box;
    }
  }
  ClubForm f = good;
  f.reserve.capacity = "";  // a frame without stadium is never looked at
  EXPECT_NO_THROW(clubs::updateClub(db_, 0, false, f));
}

TEST_F(World, DamagedClubReferenceOrCountOverwritesARecord) {
  withStadiums(2, 100000, -1);  // past stadium.dat
  Files before = files();
  ClubForm f = clubs::loadClub(db_, 2);
  try {
    clubs::updateClub(db_, 2, false, f);
    ADD_FAILURE() << "accepted";
  } catch (const UpdateError& e) {
    EXPECT_EQ(e.box(), "txtStaLongName");
    EXPECT_NE(e.message().find("not in stadium.dat"), std::string::npos);
  }
  EXPECT_THROW(clubs::updateClub(db_, 1 << 20, false, f), UpdateError);
  EXPECT_TRUE(sameFiles(files(), before));
  f.main.name = "<Unknown>";  // the way out
  clubs::updateClub(db_, 2, false, f);
  EXPECT_EQ(club(2).MainStadium(), -1);
  IndexRecord e = db_.readIndex(kEntryClubs);
  e.setCount(e.Count() - 1);  // a new club would land on the last one
  db_.writeIndex(kEntryClubs, e);
  before = files();
  EXPECT_THROW(clubs::updateClub(db_, 2, true, clubs::newClubForm(db_, f)), UpdateError);
  EXPECT_TRUE(sameFiles(files(), before));
}

TEST_F(World, NationUpdateWritesABoxWrongOrLosesACarriedByte) {
  const NationRecord before = db_.read<NationRecord>(kSlotNation, 5);
  const int32_t cont = before.ContinentId();
  ASSERT_GE(cont, 0);
  const ContinentRecord cBefore = db_.read<ContinentRecord>(kSlotContinent, cont + 1);
  nations::NationForm f = nations::loadNation(db_, 4);
  EXPECT_EQ(f.uefa[5], world::formatReal(before.UefaCoefficient(5)));
  f.name = "   " + std::string(60, 'N');
  f.symbol = "ABCDE";
  f.reputation = "-1234";
  f.region = -1;
  f.languages = {22, -1, 32};
  f.city = -1;
  f.currentFifa = "12.345";
  f.fifa[0] = "-1.5";
  f.uefa[5] = "1e2";
  f.continentBoxes.federationName = std::string(120, 'F');
  f.continentBoxes.strength = "";  // keeps the strength
  nations::updateNation(db_, 4, f);
  NationRecord n = before;
  std::fill_n(n.NameField(), 51, 'N');
  encodeLeftTrimmed("ABCD", n.SymbolField(), 4);
  n.setReputation(-1234);
  n.setRegion(255);
  n.setLanguage(0, 22);
  n.setLanguage(1, 255);
  n.setLanguage(2, 32);
  n.setCapitalCity(-1);
  n.setCurrentFifaCoefficient(12.345);
  n.setFifaCoefficient(0, -1.5);
  n.setUefaCoefficient(5, 100.0);
  EXPECT_EQ(db_.read<NationRecord>(kSlotNation, 5), n);
  ContinentRecord c = cBefore;
  std::fill_n(c.FederationNameField(), 101, 'F');
  EXPECT_EQ(db_.read<ContinentRecord>(kSlotContinent, cont + 1), c);
  EXPECT_EQ(db_.nationNames[4], std::string(51, 'N'));
  // Another continent is written in its own record; none writes none.
  f.continent = cont == 0 ? 1 : 0;
  f.continentBoxes = nations::loadContinent(db_, f.continent);
  f.continentBoxes.type = "Changed";
  nations::updateNation(db_, 4, f);
  EXPECT_EQ(db_.read<NationRecord>(kSlotNation, 5).ContinentId(), f.continent);
  EXPECT_EQ(db_.read<ContinentRecord>(kSlotContinent, f.continent + 1).Type(), "Changed");
  const Bytes continents = slurp(game_.file("continent.dat"));
  f.continent = -1;
  f.continentBoxes = {};
  nations::updateNation(db_, 4, f);
  EXPECT_EQ(db_.read<NationRecord>(kSlotNation, 5).ContinentId(), -1);
  EXPECT_EQ(slurp(game_.file("continent.dat")), continents);
}

TEST_F(World, RefusedNationOrCompetitionBoxWritesSomething) {
  const Files before = files();
  const nations::NationForm nation = nations::loadNation(db_, 0);
  const std::vector<std::pair<const char*, std::function<void(nations::NationForm&)>>> nationCases = {
      {"txtGameImpt", [](nations::NationForm& f) { f.gameImportance = "256"; }},
      {"txtLeagueStandard", [](nations::NationForm& f) { f.leagueStandard = "-1"; }},
      {"txtReputation", [](nations::NationForm& f) { f.reputation = "40000"; }},
      {"txtCurFIFACOEFF", [](nations::NationForm& f) { f.currentFifa = "abc"; }},
      {"txtFIFA94", [](nations::NationForm& f) { f.fifa[3] = ""; }},
      {"txtUEFA96", [](nations::NationForm& f) { f.uefa[5] = "1.2.3"; }},
      {"txtStrength", [](nations::NationForm& f) { f.continentBoxes.strength = "strong"; }}};
  for (const auto& [box, edit] : nationCases) {
    nations::NationForm f = nation;
    f.name = "Should Not Land";
    edit(f);
    try {
      nations::updateNation(db_, 0, f);
      ADD_FAILURE() << box << " was accepted";
    } catch (const nations::NationError& e) {
      EXPECT_EQ(e.box(), box);
      EXPECT_NE(std::string(e.what()).find("nothing was written"), std::string::npos);
    }
  }
  EXPECT_THROW(nations::updateNation(db_, 1 << 20, nation), nations::NationError);
  const comps::CompForm comp = comps::loadComp(db_, 1);
  const std::vector<std::pair<const char*, std::function<void(comps::CompForm&)>>> compCases = {
      {"txtScope", [](comps::CompForm& f) { f.scope = "256"; }},
      {"txtSelected", [](comps::CompForm& f) { f.selected = "yes"; }},
      {"txtReputation", [](comps::CompForm& f) { f.reputation = "40000"; }}};
  for (const auto& [box, edit] : compCases) {
    comps::CompForm f = comp;
    f.longName = "Not Written";
    edit(f);
    try {
      comps::updateComp(db_, 1, f);
      ADD_FAILURE() << box << " was accepted";
    } catch (const comps::CompError& e) {
      EXPECT_EQ(e.box(), box);
    }
  }
  EXPECT_THROW(comps::updateComp(db_, -1, comp), comps::CompError);
  EXPECT_THROW(comps::updateComp(db_, 1 << 20, comp), comps::CompError);
  EXPECT_TRUE(sameFiles(files(), before));
  EXPECT_NE(db_.nationNames[0], "Should Not Land");
}

TEST_F(World, CompetitionUpdateWritesABoxWrongOrLosesACarriedByte) {
  const CompRecord before = db_.read<CompRecord>(kSlotComp, 8);
  comps::CompForm f = comps::loadComp(db_, 7);
  EXPECT_EQ(f.threeLetter, before.ThreeLetterName());
  f.longName = std::string(52, 'C');
  f.shortName = "   ";
  f.threeLetter = "  AB";
  f.scope = "255";
  f.selected = "0";
  f.reputation = "12.5";  // half to even
  f.nation = -1;
  f.continent = 2;
  f.foreground = 3;
  f.background = -1;
  comps::updateComp(db_, 7, f);
  CompRecord r = before;
  std::fill_n(r.LongNameField(), 51, 'C');
  encodeLeftTrimmed("", r.ShortNameField(), 26);
  encodeLeftTrimmed("AB", r.ThreeLetterNameField(), 4);
  r.setScope(255);
  r.setSelected(0);
  r.setReputation(12);
  r.setNation(-1);
  r.setContinent(2);
  r.setForeground(3);
  r.setBackground(-1);
  EXPECT_EQ(db_.read<CompRecord>(kSlotComp, 8), r);
  EXPECT_EQ(db_.compNames[7], std::string(51, 'C'));
  f.reputation = "13.5";
  comps::updateComp(db_, 7, f);
  EXPECT_EQ(db_.read<CompRecord>(kSlotComp, 8).Reputation(), 14);
}

}  // namespace
