#include <gtest/gtest.h>

#include <functional>

#include "competitions/comp.h"
#include "database/database.h"
#include "common/testkit.h"

using namespace cm3;
using cm3::comps::CompError;
using cm3::comps::CompForm;
using cm3test::GameDir;
using cm3test::slurp;

namespace {

class Comp : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(db_.open(game_.str())) << db_.OpenError; }
  void TearDown() override {
    if (db_.isOpen()) db_.close();
  }
  CompRecord comp(int32_t id) const { return db_.read<CompRecord>(kSlotComp, id + 1); }
  std::vector<uint8_t> file() const { return slurp(game_.file("club_comp.dat")); }

  GameDir game_;
  Database db_;
};

TEST_F(Comp, ShowsACompetition) {
  CompRecord r = comp(4);
  r.setNation(-1);
  r.setBackground(9999);
  db_.write(kSlotComp, 5, r);
  CompForm f = comps::loadComp(db_, 4);
  EXPECT_EQ(f.longName, r.LongName());
  EXPECT_EQ(f.shortName, r.ShortName());
  EXPECT_EQ(f.threeLetter, r.ThreeLetterName());
  EXPECT_EQ(f.scope, std::to_string(r.Scope()));
  EXPECT_EQ(f.selected, std::to_string(r.Selected()));
  EXPECT_EQ(f.reputation, std::to_string(r.Reputation()));
  EXPECT_EQ(f.continent, r.Continent());
  EXPECT_EQ(f.nation, -1);
  EXPECT_EQ(f.foreground, r.Foreground());
  EXPECT_EQ(f.background, -1);
  EXPECT_EQ(db_.current.comp, r);
}

TEST_F(Comp, UpdateWithoutEditsKeepsEveryByte) {
  CompRecord r = comp(2);
  r.setForeground(-77);  // a value no row can show
  db_.write(kSlotComp, 3, r);
  const auto before = file();
  const CompForm f = comps::loadComp(db_, 2);
  comps::updateComp(db_, 2, f);
  EXPECT_EQ(file(), before);
  comps::updateComp(db_, 2, f);  // twice, the same
  EXPECT_EQ(file(), before);
}

TEST_F(Comp, UpdateWritesTheBoxes) {
  const CompRecord before = comp(7);
  CompForm f = comps::loadComp(db_, 7);
  f.longName = std::string(52, 'C');
  f.shortName = "   ";
  f.threeLetter = "  AB";
  f.scope = "255";
  f.selected = "0";
  f.reputation = "12.5";  // rounded half to even
  f.nation = -1;
  f.continent = 2;
  f.foreground = 3;
  f.background = -1;
  comps::updateComp(db_, 7, f);
  const CompRecord r = comp(7);
  EXPECT_EQ(r.LongName(), std::string(51, 'C'));
  for (size_t i = 56; i < 82; ++i) EXPECT_EQ(r.bytes[i], 0) << i;
  EXPECT_EQ(r.ThreeLetterName(), "AB");
  EXPECT_EQ(r.bytes[85], 0);
  EXPECT_EQ(r.Scope(), 255);
  EXPECT_EQ(r.Selected(), 0);
  EXPECT_EQ(r.Reputation(), 12);
  for (size_t i = 93; i < 97; ++i) EXPECT_EQ(r.bytes[i], 0xFF) << i;
  EXPECT_EQ(r.Continent(), 2);
  EXPECT_EQ(r.Foreground(), 3);
  EXPECT_EQ(r.Background(), -1);
  EXPECT_EQ(r.Id(), before.Id());
  EXPECT_EQ(r.bytes[55], before.bytes[55]);
  EXPECT_EQ(r.bytes[82], before.bytes[82]);
  EXPECT_EQ(db_.compNames[7], std::string(51, 'C'));
  // Other records stay.
  EXPECT_EQ(comp(6), db_.read<CompRecord>(kSlotComp, 7));
  f.reputation = "13.5";
  comps::updateComp(db_, 7, f);
  EXPECT_EQ(comp(7).Reputation(), 14);
}

TEST_F(Comp, ABadNumberWritesNothing) {
  const auto before = file();
  const CompForm good = comps::loadComp(db_, 1);
  const std::vector<std::pair<const char*, std::function<void(CompForm&)>>> cases = {
      {"txtScope", [](CompForm& f) { f.scope = "256"; }},
      {"txtScope", [](CompForm& f) { f.scope = "-1"; }},
      {"txtSelected", [](CompForm& f) { f.selected = "yes"; }},
      {"txtReputation", [](CompForm& f) { f.reputation = "40000"; }},
      {"txtReputation", [](CompForm& f) { f.reputation = ""; }},
  };
  for (const auto& [box, edit] : cases) {
    CompForm f = good;
    f.longName = "Not Written";
    edit(f);
    try {
      comps::updateComp(db_, 1, f);
      ADD_FAILURE() << box << " was accepted";
    } catch (const CompError& e) {
      EXPECT_EQ(e.box(), box);
    }
    EXPECT_EQ(file(), before) << box;
  }
  EXPECT_THROW(comps::updateComp(db_, -1, good), CompError);
  EXPECT_THROW(comps::updateComp(db_, 1 << 20, good), CompError);
  EXPECT_EQ(file(), before);
}

}  // namespace
