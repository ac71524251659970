#include <gtest/gtest.h>

#include <cstring>

#include "clubs/boxvalues.h"
#include "database/database.h"
#include "nations/nation.h"
#include "common/testkit.h"

using namespace cm3;
using cm3::nations::NationError;
using cm3::nations::NationForm;
using cm3test::GameDir;
using cm3test::slurp;

namespace {

class Nation : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(db_.open(game_.str())) << db_.OpenError; }
  void TearDown() override {
    if (db_.isOpen()) db_.close();
  }
  NationRecord nation(int32_t id) const { return db_.read<NationRecord>(kSlotNation, id + 1); }
  ContinentRecord continent(int32_t id) const { return db_.read<ContinentRecord>(kSlotContinent, id + 1); }
  void put(const NationRecord& r) { db_.write(kSlotNation, r.Id() + 1, r); }
  std::pair<std::vector<uint8_t>, std::vector<uint8_t>> files() const {
    return {slurp(game_.file("nation.dat")), slurp(game_.file("continent.dat"))};
  }

  GameDir game_;
  Database db_;
};

TEST_F(Nation, ShowsANationWithItsContinent) {
  NationRecord r = nation(3);
  r.setLanguage(0, 22);
  r.setFifaCoefficient(2, 12.25);
  r.setUefaCoefficient(5, 1.0 / 3.0);
  r.setCurrentFifaCoefficient(0.1 + 0.2);
  put(r);
  NationForm f = nations::loadNation(db_, 3);
  EXPECT_EQ(f.id, "3");
  EXPECT_EQ(f.name, r.Name());
  EXPECT_EQ(f.shortName, r.ShortName());
  EXPECT_EQ(f.symbol, r.Symbol());
  EXPECT_EQ(f.nationality, r.Nationality());
  EXPECT_EQ(f.leagueStandard, std::to_string(r.LeagueStandard()));
  EXPECT_EQ(f.gameImportance, std::to_string(r.GameImportance()));
  EXPECT_EQ(f.reputation, std::to_string(r.Reputation()));
  EXPECT_EQ(f.development, r.Development());
  EXPECT_EQ(f.region, r.Region());
  EXPECT_EQ(f.actualRegion, r.ActualRegion());
  EXPECT_EQ(f.languages[0], 22);  // "Norwegian", the 23rd item of the list
  EXPECT_EQ(f.group, r.Group());
  EXPECT_EQ(f.city, r.CapitalCity());
  EXPECT_EQ(f.stadium, r.NationalStadium());
  EXPECT_EQ(f.fifa[2], "12.25");
  EXPECT_EQ(f.uefa[5], "0.333333333333333");
  EXPECT_EQ(f.currentFifa, "0.3");
  ASSERT_GE(r.ContinentId(), 0);
  EXPECT_EQ(f.continent, r.ContinentId());
  const ContinentRecord c = continent(r.ContinentId());
  EXPECT_EQ(f.continentBoxes.shortSymbol, c.ShortSymbol());
  EXPECT_EQ(f.continentBoxes.federationName, c.FederationName());
  EXPECT_EQ(f.continentBoxes.federationShort, c.FederationShortName());
  EXPECT_EQ(f.continentBoxes.type, c.Type());
  EXPECT_EQ(f.continentBoxes.strength, world::formatReal(c.Strength()));
  EXPECT_EQ(db_.current.nation, r);
  EXPECT_EQ(db_.current.continent, c);
}

TEST_F(Nation, NoContinentAndCodesWithoutItems) {
  NationRecord r = nation(1);
  r.setContinentId(-1);
  r.setLanguage(2, 40);   // beyond the list
  r.setRegion(255);       // no choice
  r.setCapitalCity(-4);
  r.setNationalStadium(1 << 20);
  put(r);
  NationForm f = nations::loadNation(db_, 1);
  EXPECT_EQ(f.continent, -1);
  EXPECT_EQ(f.continentBoxes.shortSymbol, "");
  EXPECT_EQ(f.continentBoxes.strength, "");
  EXPECT_EQ(f.languages[2], -1);
  EXPECT_EQ(f.region, -1);
  EXPECT_EQ(f.city, -1);
  EXPECT_EQ(f.stadium, -1);

  // Written back untouched, the values the lists could not show survive and
  // no continent record is written.
  const auto before = files();
  nations::updateNation(db_, 1, f);
  EXPECT_TRUE(files() == before);
  EXPECT_TRUE(nations::loadContinent(db_, -1).type.empty());
}

TEST_F(Nation, UpdateWithoutEditsKeepsEveryByte) {
  // Values that 15 digits cannot show exactly.
  NationRecord r = nation(5);
  r.setCurrentFifaCoefficient(0.1 + 0.2);
  r.setUefaCoefficient(0, 2.0 / 3.0);
  put(r);
  ContinentRecord c = continent(r.ContinentId());
  c.setStrength(1.0 / 7.0);
  db_.write(kSlotContinent, r.ContinentId() + 1, c);
  const auto before = files();
  nations::updateNation(db_, 5, nations::loadNation(db_, 5));
  EXPECT_TRUE(files() == before);
}

TEST_F(Nation, UpdateWritesTheBoxes) {
  const NationRecord before = nation(4);
  const int32_t cont = before.ContinentId();
  const ContinentRecord cBefore = continent(cont);
  NationForm f = nations::loadNation(db_, 4);
  f.name = "   " + std::string(60, 'N');
  f.shortName = "Short";
  f.symbol = "ABCDE";
  f.nationality = " Northish";
  f.gameImportance = "200";
  f.leagueStandard = "0";
  f.reputation = "-1234";
  f.development = 3;
  f.region = -1;
  f.actualRegion = 14;
  f.languages = {22, -1, 32};
  f.group = 1;
  f.city = -1;
  f.stadium = 6;
  f.currentFifa = "12.345";
  f.fifa[0] = "-1.5";
  f.uefa[5] = "1e2";
  f.continentBoxes.shortSymbol = "XY";
  f.continentBoxes.federationName = std::string(120, 'F');
  f.continentBoxes.federationShort = "FED";
  f.continentBoxes.type = "Kind";
  f.continentBoxes.strength = "";  // keeps the strength
  nations::updateNation(db_, 4, f);

  const NationRecord n = nation(4);
  EXPECT_EQ(n.Name(), std::string(51, 'N'));
  EXPECT_EQ(n.ShortName(), "Short");
  for (size_t i = 56 + 5; i < 82; ++i) EXPECT_EQ(n.bytes[i], 0) << i;
  EXPECT_EQ(n.Symbol(), "ABCD");
  EXPECT_EQ(n.Nationality(), "Northish");
  EXPECT_EQ(n.GameImportance(), 200);
  EXPECT_EQ(n.LeagueStandard(), 0);
  EXPECT_EQ(n.Reputation(), -1234);
  EXPECT_EQ(n.Development(), 3);
  EXPECT_EQ(n.Region(), 255);
  EXPECT_EQ(n.ActualRegion(), 14);
  EXPECT_EQ(n.Language(0), 22);
  EXPECT_EQ(n.Language(1), 255);
  EXPECT_EQ(n.Language(2), 32);
  EXPECT_EQ(n.Group(), 1);
  EXPECT_EQ(n.CapitalCity(), -1);
  EXPECT_EQ(n.NationalStadium(), 6);
  EXPECT_EQ(n.CurrentFifaCoefficient(), 12.345);
  EXPECT_EQ(n.FifaCoefficient(0), -1.5);
  EXPECT_EQ(n.FifaCoefficient(1), before.FifaCoefficient(1));
  EXPECT_EQ(n.UefaCoefficient(5), 100.0);
  EXPECT_EQ(n.ContinentId(), cont);
  EXPECT_EQ(n.Id(), before.Id());
  // Carried bytes.
  for (size_t i : {size_t(55), size_t(82)}) EXPECT_EQ(n.bytes[i], before.bytes[i]) << i;
  for (size_t i = 134; i < 142; ++i) EXPECT_EQ(n.bytes[i], before.bytes[i]) << i;
  for (size_t i = 144; i < 168; ++i) EXPECT_EQ(n.bytes[i], before.bytes[i]) << i;
  for (size_t i = 272; i < NationRecord::kSize; ++i) EXPECT_EQ(n.bytes[i], before.bytes[i]) << i;

  const ContinentRecord c = continent(cont);
  EXPECT_EQ(c.ShortSymbol(), "XY");
  EXPECT_EQ(c.FederationName(), std::string(101, 'F'));
  EXPECT_EQ(c.FederationShortName(), "FED");
  EXPECT_EQ(c.Type(), "Kind");
  EXPECT_EQ(c.Strength(), cBefore.Strength());
  EXPECT_EQ(c.Name(), cBefore.Name());
  for (size_t i : {size_t(0), size_t(30), size_t(162), size_t(189)}) EXPECT_EQ(c.bytes[i], cBefore.bytes[i]) << i;
  EXPECT_EQ(db_.nationNames[4], std::string(51, 'N'));

  f.continentBoxes.strength = "7.5";
  nations::updateNation(db_, 4, f);
  EXPECT_EQ(continent(cont).Strength(), 7.5);
}

TEST_F(Nation, ChoosingAnotherContinentOrNone) {
  NationRecord r = nation(2);
  r.setContinentId(0);
  put(r);
  const auto continentsBefore = slurp(game_.file("continent.dat"));
  NationForm f = nations::loadNation(db_, 2);
  // Another continent is shown from its own record and written there.
  f.continent = 1;
  f.continentBoxes = nations::loadContinent(db_, 1);
  EXPECT_EQ(db_.current.continent, continent(1));
  f.continentBoxes.type = "Changed";
  nations::updateNation(db_, 2, f);
  EXPECT_EQ(nation(2).ContinentId(), 1);
  EXPECT_EQ(continent(1).Type(), "Changed");
  EXPECT_EQ(continent(0).Type(), db_.read<ContinentRecord>(kSlotContinent, 1).Type());
  // No continent: -1 in the nation, no continent record written.
  const auto after = slurp(game_.file("continent.dat"));
  f.continent = -1;
  f.continentBoxes = {};
  nations::updateNation(db_, 2, f);
  EXPECT_EQ(nation(2).ContinentId(), -1);
  EXPECT_EQ(slurp(game_.file("continent.dat")), after);
  EXPECT_NE(after, continentsBefore);
}

TEST_F(Nation, ABadBoxWritesNothing) {
  const auto before = files();
  const NationForm good = nations::loadNation(db_, 0);
  struct Case {
    const char* box;
    std::function<void(NationForm&)> edit;
  };
  const std::vector<Case> cases = {
      {"txtGameImpt", [](NationForm& f) { f.gameImportance = ""; }},
      {"txtGameImpt", [](NationForm& f) { f.gameImportance = "256"; }},
      {"txtLeagueStandard", [](NationForm& f) { f.leagueStandard = "-1"; }},
      {"txtReputation", [](NationForm& f) { f.reputation = "40000"; }},
      {"txtCurFIFACOEFF", [](NationForm& f) { f.currentFifa = "abc"; }},
      {"txtFIFA94", [](NationForm& f) { f.fifa[3] = ""; }},
      {"txtUEFA96", [](NationForm& f) { f.uefa[5] = "1.2.3"; }},
      {"txtStrength", [](NationForm& f) { f.continentBoxes.strength = "strong"; }},
  };
  for (const Case& c : cases) {
    NationForm f = good;
    f.name = "Should Not Land";
    c.edit(f);
    try {
      nations::updateNation(db_, 0, f);
      ADD_FAILURE() << c.box << " was accepted";
    } catch (const NationError& e) {
      EXPECT_EQ(e.box(), c.box);
      EXPECT_NE(std::string(e.what()).find("nothing was written"), std::string::npos);
    }
    EXPECT_TRUE(files() == before) << c.box;
  }
  EXPECT_NE(db_.nationNames[0], "Should Not Land");
  EXPECT_THROW(nations::updateNation(db_, 1 << 20, good), NationError);
  EXPECT_TRUE(files() == before);
}

}  // namespace
