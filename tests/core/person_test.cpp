#include <gtest/gtest.h>

#include "database/database.h"
#include "history/history.h"
#include "people/person.h"
#include "records/convert.h"
#include "records/cp1252.h"
#include "testutil.h"

using namespace cm3;
using cm3::people::NameFlags;
using cm3::people::PersonForm;
using cm3test::GameDir;
using cm3test::snapshot;

namespace {

std::string w(const char* utf8) { return cp1252::fromUtf8(utf8); }

class Person : public ::testing::Test {
 protected:
  void SetUp() override {
    before_ = snapshot(game_.data());
    ASSERT_TRUE(db_.open(game_.str())) << db_.OpenError;
  }
  void TearDown() override {
    if (db_.isOpen()) db_.close();
  }
  int firstWhere(bool player) {
    for (int i = 0; i < db_.PeopleCount(); ++i)
      if (db_.read<StaffRecord>(kSlotStaff, i + 1).isPlayer() == player) return i;
    ADD_FAILURE() << "no such person in the sample";
    return 0;
  }
  void closeAndExpectUnchanged() {
    db_.close();
    auto after = snapshot(game_.data());
    for (auto& [name, bytes] : before_) {
      if (name == "index_temp.dat") continue;
      EXPECT_EQ(after[name], bytes) << name;
    }
  }

  GameDir game_;
  std::map<std::string, std::vector<uint8_t>> before_;
  Database db_;
};

TEST(Convert, BoxTextsToNumbers) {
  EXPECT_EQ(toByteInRange("255"), 255);
  EXPECT_EQ(toByteInRange(" 7 "), 7);
  EXPECT_THROW(toByteInRange("256"), ValueError);
  EXPECT_THROW(toByteInRange("-1"), ValueError);
  EXPECT_THROW(toByteInRange(""), ValueError);
  EXPECT_THROW(toByteInRange("1a"), ValueError);
  EXPECT_THROW(toByteInRange("1.5"), ValueError);
  EXPECT_EQ(toByteWrapped("300"), 44);
  EXPECT_EQ(toByteWrapped("-1"), 255);
  EXPECT_THROW(toByteWrapped("32768"), ValueError);
  EXPECT_EQ(toInt16("-32768"), -32768);
  EXPECT_THROW(toInt16("32768"), ValueError);
  EXPECT_EQ(toInt32("-2147483648"), INT32_MIN);
  EXPECT_THROW(toInt32("2147483648"), ValueError);
  EXPECT_THROW(toInt32("99999999999999999999999"), ValueError);
}

TEST_F(Person, SavingEveryoneUnchangedKeepsEveryFileByteForByte) {
  NameFlags flags;
  for (int i = 0; i < db_.PeopleCount(); ++i) {
    PersonForm f = people::loadPerson(db_, i);
    ASSERT_EQ(f.personId, i);
    people::savePerson(db_, f, flags);
  }
  closeAndExpectUnchanged();
}

TEST_F(Person, ShowsTheRecordsFields) {
  int id = firstWhere(true);
  StaffRecord s = db_.read<StaffRecord>(kSlotStaff, id + 1);
  PersonForm f = people::loadPerson(db_, id);
  EXPECT_TRUE(f.isPlayer);
  EXPECT_EQ(f.firstName, db_.read<NameRecord>(kSlotFirstNames, s.FirstNameId() + 1).Name());
  EXPECT_EQ(db_.personName(id), f.secondName + " " + f.firstName);
  EXPECT_EQ(f.birthYear, std::to_string(s.BirthYear()));
  EXPECT_EQ(f.clubId, s.ClubId());
  PlayerAttRecord a = db_.read<PlayerAttRecord>(kSlotStaffAtt, s.PlayerAttIndex() + 1);
  EXPECT_EQ(f.attributes[41], std::to_string(a.Attribute(41)));
  EXPECT_EQ(f.potentialAbility, std::to_string(a.PotentialAbility()));
  EXPECT_EQ(db_.current.playerAtt, a);

  int staff = firstWhere(false);
  PersonForm g = people::loadPerson(db_, staff);
  EXPECT_FALSE(g.isPlayer);
  StaffRecord t = db_.read<StaffRecord>(kSlotStaff, staff + 1);
  StaffAttRecord sa = db_.read<StaffAttRecord>(kSlotStaffAtt2, t.StaffAttIndex() + 1);
  EXPECT_EQ(g.staffAttributes[20], std::to_string(sa.StaffAttribute(20)));
  EXPECT_EQ(g.formation, sa.PreferredFormation());
  EXPECT_EQ(g.worldReputation, std::to_string(sa.WorldReputation()));
}

TEST_F(Person, BadIdentifiersReadAsEmptyInsteadOfCrashing) {
  int id = firstWhere(true);
  StaffRecord s = db_.read<StaffRecord>(kSlotStaff, id + 1);
  s.setFirstNameId(INT32_MAX);
  s.setSecondNameId(-5);
  s.setNationId(-1);
  s.setSecondNationId(1 << 30);
  s.setClubId(99999999);
  s.setPlayerAttIndex(77777777);
  db_.write(kSlotStaff, id + 1, s);
  PersonForm f = people::loadPerson(db_, id);
  EXPECT_EQ(f.firstName, "");
  EXPECT_EQ(f.secondName, "");
  EXPECT_EQ(f.nation, -1);
  EXPECT_EQ(f.secondNation, -1);
  EXPECT_EQ(f.clubName, "");
  EXPECT_EQ(f.attributes[0], "0");
  // A person far past the end of staff.dat shows as an empty record.
  PersonForm g = people::loadPerson(db_, 44000);
  EXPECT_EQ(g.personId, 44000);
  EXPECT_THROW(people::loadPerson(db_, -1), ValueError);
}

TEST_F(Person, EditsLandInTheirFieldsAndAttributesWrap) {
  int id = firstWhere(true);
  PersonForm f = people::loadPerson(db_, id);
  f.attributes[3] = "300";
  f.positions[0] = "-1";
  f.caps = "200";
  f.wage = "-5";
  f.birthYear = "1975";
  f.mental[7] = "19";
  f.nation = -1;
  f.squadCode = -1;
  NameFlags flags;
  people::savePerson(db_, f, flags);
  StaffRecord s = db_.read<StaffRecord>(kSlotStaff, id + 1);
  PlayerAttRecord a = db_.read<PlayerAttRecord>(kSlotStaffAtt, s.PlayerAttIndex() + 1);
  EXPECT_EQ(a.Attribute(3), 44);
  EXPECT_EQ(a.PositionRating(0), 255);
  EXPECT_EQ(s.Caps(), 200);
  EXPECT_EQ(s.Wage(), -5);
  EXPECT_EQ(s.BirthYear(), 1975);
  EXPECT_EQ(s.Temperament(), 19);
  EXPECT_EQ(s.NationId(), -1);
  EXPECT_EQ(s.SquadCode(), 255);

  // After closing, the edits are in staff.dat itself and a reopen shows them.
  db_.close();
  Database again;
  ASSERT_TRUE(again.open(game_.str()));
  PersonForm g = people::loadPerson(again, id);
  EXPECT_EQ(g.attributes[3], "44");
  EXPECT_EQ(g.caps, "200");
  again.close();
}

TEST_F(Person, AnyRefusedBoxWritesNothing) {
  int id = firstWhere(true);
  int staff = firstWhere(false);
  NameFlags flags{true, true};
  auto refuse = [&](int who, auto edit) {
    PersonForm f = people::loadPerson(db_, who);
    f.commonName = "Someone";
    edit(f);
    bool historyRan = false;
    EXPECT_THROW(people::savePerson(db_, f, flags, [&](int32_t) { historyRan = true; }), ValueError);
    EXPECT_FALSE(historyRan);
    EXPECT_TRUE(flags.firstChanged && flags.secondChanged);
  };
  refuse(id, [](PersonForm& f) { f.caps = "300"; });
  refuse(id, [](PersonForm& f) { f.birthDay = ""; });
  refuse(id, [](PersonForm& f) { f.attributes[41] = "abc"; });
  refuse(id, [](PersonForm& f) { f.value = "1e5"; });
  refuse(id, [](PersonForm& f) { f.firstName = std::string(52, 'x'); });
  refuse(staff, [](PersonForm& f) { f.staffAttributes[20] = "256"; });
  refuse(staff, [](PersonForm& f) { f.worldReputation = "40000"; });
  PersonForm f = people::loadPerson(db_, id);
  f.personId = kPersonNameTableSize;
  EXPECT_THROW(people::savePerson(db_, f, flags), ValueError);
  EXPECT_EQ(db_.personName(id), people::loadPerson(db_, id).secondName + " " + people::loadPerson(db_, id).firstName);
  closeAndExpectUnchanged();
}

TEST_F(Person, ARefusedHistoryCellLeavesTheSearchNameAndEveryRowAsTheyWere) {
  const int id = firstWhere(true);
  const std::string shown = db_.personName(id);
  auto rows = history::loadRows(db_, id);
  rows.push_back({history::addRecord(db_), "1999", "", "1", "1", -1});
  rows.push_back({history::addRecord(db_), "2000", "", "300", "0", -1});
  PersonForm f = people::loadPerson(db_, id);
  f.secondName = "Renamed";
  NameFlags flags{false, true};
  EXPECT_THROW(people::savePerson(db_, f, flags,
                                  [&](int32_t who) { history::saveRows(db_, who, rows, db_.clubNames); }),
               ValueError);
  EXPECT_EQ(db_.personName(id), shown);
  EXPECT_TRUE(flags.secondChanged);
  closeAndExpectUnchanged();
}

TEST_F(Person, ChangedNamesAreAppendedAndCounted) {
  int id = firstWhere(true);
  const int64_t seconds = db_.recordCount(GameFile::SecondNames);
  const int64_t firsts = db_.recordCount(GameFile::FirstNames);
  StaffRecord old = db_.read<StaffRecord>(kSlotStaff, id + 1);
  NameRecord oldSecond = db_.read<NameRecord>(kSlotSecondNames, old.SecondNameId() + 1);

  PersonForm f = people::loadPerson(db_, id);
  f.secondName = w("  Müller ");
  NameFlags flags{false, true};
  people::savePerson(db_, f, flags);
  EXPECT_FALSE(flags.secondChanged);
  StaffRecord s = db_.read<StaffRecord>(kSlotStaff, id + 1);
  EXPECT_EQ(s.SecondNameId(), seconds);
  EXPECT_EQ(s.FirstNameId(), old.FirstNameId());
  NameRecord added = db_.read<NameRecord>(kSlotSecondNames, seconds + 1);
  EXPECT_EQ(added.Name(), w("Müller "));
  EXPECT_EQ(added.Id(), seconds);
  // The old record is untouched: other people may share it.
  EXPECT_EQ(db_.read<NameRecord>(kSlotSecondNames, old.SecondNameId() + 1), oldSecond);
  EXPECT_EQ(db_.readIndex(kEntrySecondNames).Count(), seconds + 1);
  EXPECT_EQ(db_.recordCount(GameFile::SecondNames), seconds + 1);
  EXPECT_EQ(db_.personName(id), w("Müller ") + f.firstName);

  // Saving again without typing appends nothing.
  people::savePerson(db_, people::loadPerson(db_, id), flags);
  EXPECT_EQ(db_.recordCount(GameFile::SecondNames), seconds + 1);

  // Both names at once.
  f = people::loadPerson(db_, id);
  f.firstName = w("Zoë");
  f.secondName = w("Ångström");
  flags = {true, true};
  people::savePerson(db_, f, flags);
  s = db_.read<StaffRecord>(kSlotStaff, id + 1);
  EXPECT_EQ(s.SecondNameId(), seconds + 1);
  EXPECT_EQ(s.FirstNameId(), firsts);
  EXPECT_EQ(db_.readIndex(kEntryFirstNames).Count(), firsts + 1);

  // The names survive closing, and a reopen builds the name table from them.
  db_.close();
  Database again;
  ASSERT_TRUE(again.open(game_.str()));
  EXPECT_EQ(again.personName(id), w("Ångström Zoë"));
  EXPECT_EQ(again.recordCount(GameFile::SecondNames), seconds + 2);
  again.close();
}

TEST_F(Person, CommonNameAppendedOnlyWhenNewAndTyped) {
  int id = -1;
  for (int i = 0; i < db_.PeopleCount() && id < 0; ++i)
    if (db_.read<StaffRecord>(kSlotStaff, i + 1).CommonNameId() == 0) id = i;
  ASSERT_GE(id, 0);
  const int64_t commons = db_.recordCount(GameFile::CommonNames);
  NameFlags flags;
  PersonForm f = people::loadPerson(db_, id);
  f.commonName = "";
  people::savePerson(db_, f, flags);
  EXPECT_EQ(db_.recordCount(GameFile::CommonNames), commons);

  f.commonName = w("Pelé");
  people::savePerson(db_, f, flags);
  StaffRecord s = db_.read<StaffRecord>(kSlotStaff, id + 1);
  EXPECT_EQ(s.CommonNameId(), commons);
  EXPECT_EQ(db_.readIndex(kEntryCommonNames).Count(), commons + 1);

  // Now the person has his own record: a change overwrites it in place,
  // and an empty box empties it.
  f = people::loadPerson(db_, id);
  EXPECT_EQ(f.commonName, w("Pelé"));
  f.commonName = "";
  people::savePerson(db_, f, flags);
  EXPECT_EQ(db_.recordCount(GameFile::CommonNames), commons + 1);
  NameRecord r = db_.read<NameRecord>(kSlotCommonNames, commons + 1);
  for (size_t k = 0; k < 51; ++k) EXPECT_EQ(r.bytes[k], 0) << k;
  EXPECT_EQ(r.Id(), commons);
}

TEST_F(Person, NonPlayerSavesHisStaffRecordOnly) {
  int id = firstWhere(false);
  std::vector<uint8_t> playerAtts = db_.file(kSlotStaffAtt).data();
  PersonForm f = people::loadPerson(db_, id);
  f.staffAttributes[0] = "20";
  f.currentAbility = "150";
  // Hidden player boxes hold nothing that converts; they are not read.
  f.attributes.fill("");
  f.positions.fill("x");
  NameFlags flags;
  people::savePerson(db_, f, flags);
  StaffRecord s = db_.read<StaffRecord>(kSlotStaff, id + 1);
  StaffAttRecord a = db_.read<StaffAttRecord>(kSlotStaffAtt2, s.StaffAttIndex() + 1);
  EXPECT_EQ(a.StaffAttribute(0), 20);
  EXPECT_EQ(a.CurrentAbility(), 150);
  EXPECT_EQ(db_.file(kSlotStaffAtt).data(), playerAtts);
}

}  // namespace
