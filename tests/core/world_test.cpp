// The club, stadium, nation, continent and competition editors.

#include "clubs/boxvalues.h"
#include "clubs/club.h"
#include "common/testkit.h"
#include "competitions/comp.h"
#include "nations/nation.h"

using namespace cm3;
using namespace cm3test;
using clubs::ClubForm;
using cm3::RefusedValue;

namespace {

// The box and message of the refusal `update` throws; "accepted" when none.
std::pair<std::string, std::string> refusal(const std::function<void()>& update) {
  try {
    update();
  } catch (const RefusedValue& e) {
    return {e.box(), e.message()};
  }
  return {"accepted", ""};
}

TEST(WorldBoxValues, WholeNumberAcceptedOutOfRangeOrRoundedWrongly) {
  using Fault = NumberFault;
  const std::vector<std::tuple<const char*, int64_t, int64_t, Fault, int64_t>> cases = {
      {" -3 ", -10, 10, Fault::None, -3}, {"+7", 0, 10, Fault::None, 7},        {"1e3", 0, 5000, Fault::None, 1000},
      {"2.5", 0, 10, Fault::None, 2},     {"3.5", 0, 10, Fault::None, 4},       {"1e-999", 0, 10, Fault::None, 0},
      {"256", 0, 255, Fault::Overflow, 0}, {"-1", 0, 255, Fault::Overflow, 0},
      {"2147483648", INT32_MIN, INT32_MAX, Fault::Overflow, 0}, {"1e999", INT32_MIN, INT32_MAX, Fault::Overflow, 0}};
  for (const auto& [text, lo, hi, fault, value] : cases) {
    int64_t v = -99;
    EXPECT_EQ(parseWhole(text, WholeRules{lo, hi, true}, v), fault) << text;
    if (fault == Fault::None) {
      EXPECT_EQ(v, value) << text;
    }
  }
  int64_t v = 0;
  for (const char* bad : {"", "   ", "1a", "1.2.3", "- 5", "inf", "nan", "1,000", "0x10"})
    EXPECT_EQ(parseWhole(bad, WholeRules{0, 1000, true}, v), Fault::NotANumber) << bad;
}

TEST(WorldBoxValues, RealShownWithMoreThanFifteenDigitsOrUneditedBoxLosesBits) {
  EXPECT_EQ(formatReal(-0.0), "0");
  EXPECT_EQ(formatReal(1e20), "1E+20");
  EXPECT_EQ(formatReal(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(formatReal(123456789012345678.0), "1.23456789012346E+17");
  const double fine = 0.1 + 0.2;
  ASSERT_EQ(formatReal(fine), "0.3");
  EXPECT_EQ(*realFromBox(" 0.3 ", fine), fine);
  EXPECT_EQ(*realFromBox("0.30", fine), 0.3);
  EXPECT_FALSE(realFromBox("x", fine).has_value());
  EXPECT_EQ(*parseReal("-2.25E1"), -22.5);
}

class World : public OpenGame {
 protected:
  int32_t clubs() const { return count(kEntryClubs); }
  int32_t stadiums() const { return count(kEntryStadiums); }
  ClubRecord club(int32_t id) const { return db_.read<ClubRecord>(kSlotClub, id + 1); }
  StadiumRecord stadium(int32_t id) const { return db_.read<StadiumRecord>(kSlotStadium, id + 1); }
  ClubRecord withStadiums(int32_t id, int32_t main, int32_t reserve) {
    return change<ClubRecord>(kSlotClub, id, {{"MainStadium", main}, {"ReserveStadium", reserve}});
  }
  Files files() const { return snapshot(game_.data()); }
};

TEST_F(World, ClubFormShowsTheWrongStadiumsOrNames) {
  withStadiums(5, 7, 9);
  const ClubRecord r = change<ClubRecord>(kSlotClub, 5, {{"Favourites", 12, 0}, {"Favourites", -1, 1}, {"Nation", -5},
                                                         {"KitColours", int64_t(db_.colours.size()), 3},  // one past the list
                                                         {"HomeMatchDay", 255}});
  const StadiumRecord st = change<StadiumRecord>(kSlotStadium, 7, {{"RoofFlag", 255}, {"HeatingFlag", 1}});  // only 255 ticks
  ClubForm f = clubs::loadClub(db_, 5);
  EXPECT_EQ(std::vector<std::string>({f.boxes.at("txtLongName"), f.liked[0], f.liked[1], f.main.id,
                                      f.main.boxes.at("txtStaLongName"), f.reserve.boxes.at("txtStaResLongName")}),
            std::vector<std::string>({r.LongName(), db_.personName(12), "Empty", "7", st.LongName(), stadium(9).LongName()}));
  EXPECT_EQ(std::vector<int>({f.nation, f.kits[3], f.homeMatchDay, f.main.roof, f.main.heating}),
            std::vector<int>({-1, -1, -1, 1, 0}));
  withStadiums(5, -1, -1);
  f = clubs::loadClub(db_, 5);
  EXPECT_EQ(std::vector<std::string>({f.main.boxes.at("txtStaLongName"), f.main.id, f.main.boxes.at("txtStaCapacity"),
                                      f.reserve.boxes.at("txtStaResLongName"), f.reserve.boxes.at("txtStaResSeating")}),
            std::vector<std::string>({"<Unknown>", "N/A", "0", "<None>", "0"}));
  EXPECT_EQ(clubs::loadClub(db_, 1 << 20).boxes.at("txtLongName"), "");
}

// Each editor, shown and written back untouched, with values its lists and
// boxes cannot show.
TEST_F(World, UneditedSaveChangesAByte) {
  withStadiums(4, 6, 8);
  change<ClubRecord>(kSlotClub, 4, {{"Nation", -5}, {"KitColours", 4000, 1}, {"Status", 9}, {"HomeMatchDay", 77}});
  // ticks are written back as 255 or 0
  change<StadiumRecord>(kSlotStadium, 6, {{"RoofFlag", 255}, {"HeatingFlag", 0}, {"City", -9}});
  change<StadiumRecord>(kSlotStadium, 8, {{"RoofFlag", 0}, {"HeatingFlag", 255}, {"City", -9}});
  const NationRecord n = change<NationRecord>(kSlotNation, 5, {{"CurrentFifaCoefficient", 0.1 + 0.2}, {"Region", 255},
                                                               {"UefaCoefficients", 2.0 / 3.0}, {"Languages", 40, 2}});
  change<ContinentRecord>(kSlotContinent, n.ContinentId(), {{"Strength", 1.0 / 7.0}});
  change<CompRecord>(kSlotComp, 2, {{"Foreground", -77}});
  const Files before = files();
  clubs::updateClub(db_, 4, false, clubs::loadClub(db_, 4));
  nations::updateNation(db_, 5, nations::loadNation(db_, 5));
  comps::updateComp(db_, 2, comps::loadComp(db_, 2));
  EXPECT_TRUE(sameFiles(files(), before));
}

TEST_F(World, ClubUpdateWritesABoxWrongOrLosesACarriedByte) {
  const ClubRecord before = withStadiums(0, 3, -1);
  const StadiumRecord stBefore = stadium(3);
  StadiumRecord dirty = with(stBefore, {{"LongName", "Quay Park"}});
  dirty.data()[54] = 'x';  // after the name's end: a kept name is still written whole
  db_.write(kSlotStadium, 4, dirty);
  // liked is never written, ownsStadium only shown; the long name is cut at
  // 51 bytes without terminator.
  const ClubForm f{.id = {}, .boxes = {{"txtLongName", std::string(60, 'L')}, {"txtShortName", "  Sh  "},
                   {"txtLastPos", "17"}, {"txtCash", "-1234567"}, {"txtTrainingFacility", "20"},
                   {"txtClubReputation", "-3"}, {"txtAvgAttendance", "15000"}, {"txtMinAttendance", "900"},
                   {"txtMaxAttendance", "2147483647"}}, .status = 2, .nation = 1, .division = 2, .lastDivision = -1,
                   .otherDivision = 4, .homeMatchDay = -1, .kits = {0, 1, 2, 3, 4, -1}, .rivals = {7, -1, 9},
                   .liked = {"someone else"}, .disliked = {}, .ownsStadium = before.OwnsStadiumFlag() == 0,
                   .main = {.id = {}, .boxes = {{"txtStaLongName", " Quay Park"}, {"txtStaCapacity", "40000"},
                            {"txtStaSeating", "30000"}, {"txtStaExpansion", "0"}}, .city = 5, .nearby = -1,
                            .roof = true, .heating = false}, .reserve = {}};
  clubs::updateClub(db_, 0, false, f);
  EXPECT_EQ(club(0), with(before, {{"LongName", std::string(51, 'L')}, {"ShortName", "Sh"}, {"Status", 2},
                                   {"Nation", 1}, {"Division", 2}, {"LastDivision", -1}, {"OtherDivision", 4},
                                   {"LastPosition", 17}, {"Cash", -1234567}, {"TrainingFacility", 20},
                                   {"Reputation", -3}, {"HomeMatchDay", 255}, {"AvgAttendance", 15000},
                                   {"MinAttendance", 900}, {"MaxAttendance", 2147483647}, {"KitColours", 0, 0},
                                   {"KitColours", 1, 1}, {"KitColours", 2, 2}, {"KitColours", 3, 3},
                                   {"KitColours", 4, 4}, {"KitColours", -1, 5}, {"Rivals", 7, 0},
                                   {"Rivals", -1, 1}, {"Rivals", 9, 2}}));
  EXPECT_EQ(stadium(3), with(stBefore, {{"LongName", "Quay Park"}, {"City", 5}, {"Capacity", 40000},
                                        {"Seating", 30000}, {"Expansion", 0}, {"NearbyStadium", -1},
                                        {"RoofFlag", 255}, {"HeatingFlag", 0}}));
  EXPECT_EQ(db_.clubNames[0], std::string(51, 'L'));
  EXPECT_EQ(db_.stadiumNames[3], "Quay Park");
}

TEST_F(World, MarkerKeepsTheStadiumOrANewNameMakesNone) {
  withStadiums(3, 10, 11);
  const Bytes stadiumsBefore = slurp(game_.file("stadium.dat"));
  ClubForm f = clubs::loadClub(db_, 3);
  f.main.boxes["txtStaLongName"] = "<unknown>";
  f.reserve.boxes["txtStaResLongName"] = " <NONE> ";
  f.main.boxes["txtStaCapacity"] = "not looked at";
  clubs::UpdateResult out = clubs::updateClub(db_, 3, false, f);
  EXPECT_EQ(std::make_pair(club(3).MainStadium(), club(3).ReserveStadium()), std::make_pair(-1, -1));
  EXPECT_EQ(slurp(game_.file("stadium.dat")), stadiumsBefore) << "the records themselves stay";
  clubs::showStadiumState(f, out);
  EXPECT_EQ(f.main.boxes.at("txtStaLongName"), "<Unknown>");
  EXPECT_EQ(f.reserve.id, "N/A");

  const int32_t s = stadiums();
  f = clubs::loadClub(db_, 3);
  f.main = {.id = {}, .boxes = {{"txtStaLongName", "New Ground"}, {"txtStaCapacity", "5000"}, {"txtStaSeating", "4000"},
                                {"txtStaExpansion", "100"}}, .heating = true};
  f.reserve = {.id = {}, .boxes = {{"txtStaResLongName", "Reserve Field"}, {"txtStaResCapacity", "800"},
                                   {"txtStaResSeating", "0"}, {"txtStaResExpansion", "0"}}};
  out = clubs::updateClub(db_, 3, false, f);
  EXPECT_EQ(out.renamed, (std::vector<std::pair<FieldRef, int32_t>>{{FieldRef::Club, 3}, {FieldRef::Stadium, s},
                                                                    {FieldRef::Club, 3}, {FieldRef::Stadium, s + 1},
                                                                    {FieldRef::Club, 3}}));
  EXPECT_EQ(stadiums(), s + 2);
  EXPECT_EQ(std::make_pair(club(3).MainStadium(), club(3).ReserveStadium()), std::make_pair(s, s + 1));
  EXPECT_EQ(std::vector<std::string>({stadium(s).LongName(), stadium(s + 1).LongName()}),
            std::vector<std::string>({"New Ground", "Reserve Field"}));
  EXPECT_EQ(std::vector<int>({stadium(s).Id(), stadium(s).HeatingFlag(), stadium(s + 1).Id(), stadium(s + 1).Capacity()}),
            std::vector<int>({s, 255, s + 1, 800}));
  EXPECT_EQ(int64_t(fs::file_size(game_.file("stadium.dat"))), int64_t(s + 2) * StadiumRecord::kSize);
  EXPECT_EQ(db_.stadiumNames.back(), "Reserve Field");
  clubs::showStadiumState(f, out);
  EXPECT_EQ(f.reserve.id, std::to_string(s + 1));
  // An empty name box leaves a club without stadium as it is.
  withStadiums(9, -1, -1);
  f = clubs::loadClub(db_, 9);
  f.main.boxes["txtStaLongName"] = "  ";
  clubs::updateClub(db_, 9, false, f);
  EXPECT_EQ(stadiums(), s + 2);
}

// The stadium names typed, where the club's main and reserve stadium land
// after the last stadium (-1: none), and the stadiums made as "name capacity".
struct NewClubCase {
  const char *name, *main, *reserve;
  int mainAt, reserveAt;
  std::vector<std::string> made;
};
class NewClubs : public World, public ::testing::WithParamInterface<NewClubCase> {};
INSTANTIATE_TEST_SUITE_P(
    Stadiums, NewClubs,
    ::testing::Values(NewClubCase{"Both", "Main Road", "Back Lane", 0, 1, {"Main Road 12000", "Back Lane 3000"}},
                      NewClubCase{"MainOnly", "Only Ground", "<none>", 0, -1, {"Only Ground 12000"}},
                      NewClubCase{"ReserveOnly", "<Unknown>", "Only Reserve", -1, 0, {"Only Reserve 3000"}},
                      NewClubCase{"None", "<Unknown>", "<None>", -1, -1, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(NewClubs, NewClubOrItsStadiumsGetWrongIndexesOrFields) {
  const NewClubCase& k = GetParam();
  const int32_t c = clubs(), s = stadiums(), templ = 6;
  ClubForm shown = clubs::loadClub(db_, templ);
  shown.kits = {5, 4, 3, 2, 1, 0};
  ClubForm f = clubs::newClubForm(db_, shown);
  EXPECT_EQ(std::vector<std::string>({f.id, f.main.id, f.reserve.id, f.boxes.at("txtLongName"), f.boxes.at("txtCash")}),
            std::vector<std::string>({std::to_string(c), std::to_string(s), std::to_string(s + 1), "<New Club>", "0"}));
  EXPECT_EQ(f.kits, shown.kits);
  EXPECT_TRUE(f.liked.empty());
  f.boxes["txtLongName"] = "Fresh Start FC";
  f.nation = 2;
  f.boxes["txtCash"] = "1000";
  f.rivals = {templ, -1, -1};
  f.main.boxes["txtStaLongName"] = k.main;
  f.main.boxes["txtStaCapacity"] = "12000";
  f.reserve.boxes["txtStaResLongName"] = k.reserve;
  f.reserve.boxes["txtStaResCapacity"] = "3000";
  const clubs::UpdateResult out = clubs::updateClub(db_, templ, true, f);
  EXPECT_TRUE(out.created);
  EXPECT_EQ(std::vector<int64_t>({out.clubId, clubs(), stadiums(), db_.recordCount(GameFile::Club),
                                  db_.recordCount(GameFile::Stadium)}),
            std::vector<int64_t>({c, c + 1, s + int64_t(k.made.size()), c + 1, s + int64_t(k.made.size())}));
  EXPECT_EQ(db_.clubNames.back(), "Fresh Start FC");
  const ClubRecord r = club(c), t = club(templ);
  EXPECT_EQ(std::vector<int>({r.Id(), r.Nation(), r.Cash(), r.Division(), r.HomeMatchDay(), r.Rival(0), r.KitColour(0),
                              r.Favourite(2), r.Unknown191()}),
            std::vector<int>({c, 2, 1000, -1, 255, templ, 5, -1, -1}));
  EXPECT_EQ(slice(bytesOf(r), 207, 475), Bytes(268, 0xFF)) << "every player and staff slot empty";
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + 195), 12), "-1          ");
  EXPECT_EQ(slice(bytesOf(r), 475, 581), slice(bytesOf(t), 475, 581)) << "taken from the club on show";
  EXPECT_EQ(std::make_pair(r.MainStadium(), r.ReserveStadium()),
            std::make_pair(k.mainAt < 0 ? -1 : s + k.mainAt, k.reserveAt < 0 ? -1 : s + k.reserveAt));
  std::vector<std::string> made;
  for (int32_t i = s; i < stadiums(); ++i) made.push_back(stadium(i).LongName() + " " + std::to_string(stadium(i).Capacity()));
  EXPECT_EQ(made, k.made);
  EXPECT_EQ(clubs::updateClub(db_, templ, true, clubs::newClubForm(db_, f)).clubId, c + 1) << "a second follows";
}

TEST_F(World, RefusedClubBoxOrDamagedReferenceOrCountWritesSomething) {
  withStadiums(0, 3, -1);
  Files before = files();
  const ClubForm good = clubs::loadClub(db_, 0);
  const std::vector<std::tuple<const char*, const char*, int>> cases = {
      {"txtCash", "", 13},           {"txtCash", "99999999999", 6},       {"txtLastPos", "300", 6},
      {"txtClubReputation", "40000", 6}, {"txtMaxAttendance", "12a", 13}, {"txtStaCapacity", "", 13},
      {"txtStaExpansion", "3000000000", 6}, {"txtStaResSeating", "lots", 13}};
  for (const auto& [box, text, code] : cases) {
    for (bool newClub : {false, true}) {
      ClubForm f = newClub ? clubs::newClubForm(db_, good) : good;
      if (newClub) f.main.boxes["txtStaLongName"] = "Ground";
      f.reserve.boxes["txtStaResLongName"] = "Somewhere";
      for (BoxTexts* frame : {&f.boxes, &f.main.boxes, &f.reserve.boxes})
        if (frame->find(box) != frame->end()) (*frame)[box] = text;
      EXPECT_EQ(refusal([&] { clubs::updateClub(db_, 0, newClub, f); }),
                std::make_pair(std::string(box), "Error " + std::to_string(code)));
      EXPECT_TRUE(sameFiles(files(), before)) << box;
    }
  }
  ClubForm f = good;
  f.reserve.boxes["txtStaResCapacity"] = "";  // a frame without stadium is never looked at
  EXPECT_NO_THROW(clubs::updateClub(db_, 0, false, f));

  // A damaged reference or count.
  withStadiums(2, 100000, -1);  // past stadium.dat
  before = files();
  f = clubs::loadClub(db_, 2);
  const auto [box, message] = refusal([&] { clubs::updateClub(db_, 2, false, f); });
  EXPECT_EQ(box, "txtStaLongName");
  EXPECT_NE(message.find("not in stadium.dat"), std::string::npos) << message;
  EXPECT_THROW(clubs::updateClub(db_, 1 << 20, false, f), RefusedValue);
  EXPECT_TRUE(sameFiles(files(), before));
  f.main.boxes["txtStaLongName"] = "<Unknown>";  // the way out
  clubs::updateClub(db_, 2, false, f);
  EXPECT_EQ(club(2).MainStadium(), -1);
  IndexRecord e = db_.readIndex(kEntryClubs);
  e.setCount(e.Count() - 1);  // a new club would land on the last one
  db_.writeIndex(kEntryClubs, e);
  before = files();
  EXPECT_THROW(clubs::updateClub(db_, 2, true, clubs::newClubForm(db_, f)), RefusedValue);
  EXPECT_TRUE(sameFiles(files(), before));
}

TEST_F(World, NationUpdateWritesABoxWrongOrLosesACarriedByte) {
  const NationRecord before = db_.read<NationRecord>(kSlotNation, 5);
  const int32_t cont = before.ContinentId();
  ASSERT_GE(cont, 0);
  const ContinentRecord cBefore = db_.read<ContinentRecord>(kSlotContinent, cont + 1);
  nations::NationForm f = nations::loadNation(db_, 4);
  EXPECT_EQ(f.boxes.at("txtUEFA96"), formatReal(before.UefaCoefficient(5)));
  for (auto [box, text] : BoxTexts{{"txtName", "   " + std::string(60, 'N')}, {"txtNatSymb", "ABCDE"},
                                   {"txtReputation", "-1234"}, {"txtCurFIFACOEFF", "12.345"}, {"txtFIFA91", "-1.5"},
                                   {"txtUEFA96", "1e2"}})
    f.boxes[box] = text;
  f.region = -1;
  f.languages = {22, -1, 32};
  f.city = -1;
  f.continentBoxes.boxes["txtLong"] = std::string(120, 'F');
  f.continentBoxes.boxes["txtStrength"] = "";  // keeps the strength
  nations::updateNation(db_, 4, f);
  EXPECT_EQ(db_.read<NationRecord>(kSlotNation, 5),
            with(before, {{"Name", std::string(51, 'N')}, {"Symbol", "ABCD"}, {"Reputation", -1234}, {"Region", 255},
                          {"Languages", 22, 0}, {"Languages", 255, 1}, {"Languages", 32, 2}, {"CapitalCity", -1},
                          {"CurrentFifaCoefficient", 12.345}, {"FifaCoefficients", -1.5, 0},
                          {"UefaCoefficients", 100.0, 5}}));
  EXPECT_EQ(db_.read<ContinentRecord>(kSlotContinent, cont + 1), with(cBefore, {{"FederationName", std::string(101, 'F')}}));
  EXPECT_EQ(db_.nationNames[4], std::string(51, 'N'));
  // Another continent is written in its own record; none writes none.
  f.continent = cont == 0 ? 1 : 0;
  f.continentBoxes = nations::loadContinent(db_, f.continent);
  f.continentBoxes.boxes["txtType"] = "Changed";
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
  for (const auto& [box, text] : BoxTexts{{"txtGameImpt", "256"}, {"txtLeagueStandard", "-1"},
                                          {"txtReputation", "40000"}, {"txtCurFIFACOEFF", "abc"}, {"txtFIFA94", ""},
                                          {"txtUEFA96", "1.2.3"}, {"txtStrength", "strong"}}) {
    nations::NationForm f = nation;
    f.boxes["txtName"] = "Should Not Land";
    (box == "txtStrength" ? f.continentBoxes.boxes : f.boxes)[box] = text;
    const auto [refused, message] = refusal([&] { nations::updateNation(db_, 0, f); });
    EXPECT_EQ(refused, box);
    EXPECT_NE(message.find("nothing was written"), std::string::npos) << message;
  }
  EXPECT_THROW(nations::updateNation(db_, 1 << 20, nation), RefusedValue);
  const comps::CompForm comp = comps::loadComp(db_, 1);
  for (const auto& [box, text] : BoxTexts{{"txtScope", "256"}, {"txtSelected", "yes"}, {"txtReputation", "40000"}}) {
    comps::CompForm f = comp;
    f.boxes["txtLong"] = "Not Written";
    f.boxes[box] = text;
    EXPECT_EQ(refusal([&] { comps::updateComp(db_, 1, f); }).first, box);
  }
  EXPECT_THROW(comps::updateComp(db_, -1, comp), RefusedValue);
  EXPECT_THROW(comps::updateComp(db_, 1 << 20, comp), RefusedValue);
  EXPECT_TRUE(sameFiles(files(), before));
  EXPECT_NE(db_.nationNames[0], "Should Not Land");
}

TEST_F(World, CompetitionUpdateWritesABoxWrongOrLosesACarriedByte) {
  const CompRecord before = db_.read<CompRecord>(kSlotComp, 8);
  EXPECT_EQ(comps::loadComp(db_, 7).boxes.at("txtThreeLetter"), before.ThreeLetterName());
  comps::CompForm f{.boxes = {{"txtLong", std::string(52, 'C')}, {"txtShort", "   "}, {"txtThreeLetter", "  AB"},
                              {"txtScope", "255"}, {"txtSelected", "0"}, {"txtReputation", "13.5"}},
                    .continent = 2, .nation = -1, .foreground = 3, .background = -1};  // reputation rounded
  comps::updateComp(db_, 7, f);
  EXPECT_EQ(db_.read<CompRecord>(kSlotComp, 8),
            with(before, {{"LongName", std::string(51, 'C')}, {"ShortName", ""}, {"ThreeLetterName", "AB"},
                          {"Scope", 255}, {"Selected", 0}, {"Reputation", 14}, {"Nation", -1}, {"Continent", 2},
                          {"Foreground", 3}, {"Background", -1}}));
  EXPECT_EQ(db_.compNames[7], std::string(51, 'C'));
}

}  // namespace
