#include <gtest/gtest.h>

#include <cstring>

#include "database/database.h"
#include "people/newplayer.h"
#include "search/namesearch.h"
#include "testutil.h"

using namespace cm3;
using namespace cm3::people;
using cm3test::GameDir;
using cm3test::slurp;
using cm3test::snapshot;

namespace {

// The boxes of a new player as the window leaves them after clearing.
PersonForm newForm(const std::string& first, const std::string& second, const std::string& common = "") {
  PersonForm f;
  f.firstName = first;
  f.secondName = second;
  f.commonName = common;
  f.nation = 2;
  f.secondNation = -1;
  f.intGoals = "0";
  f.caps = "0";
  f.birthYear = "1900";
  f.birthDay = "0";
  f.contractExpiry = "2001";
  f.contractJoin = "1998";
  f.value = "0";
  f.wage = "0";
  return f;
}

std::vector<uint8_t> bytesOf(const std::vector<uint8_t>& file, size_t from, size_t n) {
  EXPECT_LE(from + n, file.size());
  if (from + n > file.size()) return {};
  return std::vector<uint8_t>(file.begin() + ptrdiff_t(from), file.begin() + ptrdiff_t(from + n));
}

class NewPlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    original_ = snapshot(game_.data());
    ASSERT_TRUE(db_.open(game_.str())) << db_.OpenError;
  }
  void TearDown() override {
    if (db_.isOpen()) db_.close();
  }
  int firstWhere(bool player) const {
    for (int i = 0; i < db_.PeopleCount(); ++i)
      if (db_.read<StaffRecord>(kSlotStaff, i + 1).isPlayer() == player) return i;
    ADD_FAILURE() << "no such person in the sample";
    return 0;
  }
  int32_t count(int entry) const { return db_.readIndex(entry).Count(); }
  int32_t position(int entry) const { return db_.readIndex(entry).Position(); }

  GameDir game_;
  std::map<std::string, std::vector<uint8_t>> original_;
  Database db_;
  NameFlags flags_;
};

TEST_F(NewPlayer, TheTemplateOfANonPlayerHasNeutralAttributes) {
  EXPECT_THROW(templateOf(db_, -1), ValueError);
  EXPECT_THROW(templateOf(db_, db_.PeopleCount()), ValueError);
  NewPlayerTemplate t = templateOf(db_, firstWhere(false));
  EXPECT_EQ(t.playerAtt, PlayerAttRecord{});
  NewPlayerResult r = addNewPlayer(db_, t, newForm("Ann", "Smith"), flags_);
  StaffRecord s = db_.read<StaffRecord>(kSlotStaff, r.personId + 1);
  EXPECT_EQ(s.PlayerAttIndex(), r.attIndex);  // a player now
  PlayerAttRecord a = db_.read<PlayerAttRecord>(kSlotStaffAtt, r.attIndex + 1);
  EXPECT_EQ(a.AttId(), r.attIndex);
  for (int k = 0; k < 42; ++k) EXPECT_EQ(a.Attribute(k), 0);
}

TEST_F(NewPlayer, AppendsEveryRecordAndKeepsTheIndexInStep) {
  const int tplId = firstWhere(true);
  NewPlayerTemplate t = templateOf(db_, tplId);
  const int32_t n8 = count(8), n11 = count(11), n16 = count(16), n17 = count(17), n18 = count(18);
  const int32_t p9 = position(9), p10 = position(10), p11 = position(11);
  const int64_t r1 = db_.recordCount(GameFile::FirstNames), r2 = db_.recordCount(GameFile::SecondNames),
                r3 = db_.recordCount(GameFile::CommonNames);
  flags_ = {true, true};
  PersonForm f = newForm("Ann", "Smith", "Annie");
  f.caps = "12";
  f.intGoals = "3";
  f.birthDay = "100";
  f.value = "250000";
  f.wage = "-5";
  f.secondNation = 4;
  NewPlayerResult r = addNewPlayer(db_, t, f, flags_);

  EXPECT_EQ(r.personId, n8);
  EXPECT_EQ(r.attIndex, n11);
  EXPECT_EQ(r.firstNameId, r1);
  EXPECT_EQ(r.secondNameId, r2);
  EXPECT_EQ(r.commonNameId, r3);
  EXPECT_EQ(r.status, "Smith Ann added to cm3 Database!");
  EXPECT_FALSE(flags_.firstChanged);
  EXPECT_FALSE(flags_.secondChanged);
  EXPECT_EQ(db_.PersonNameTable[size_t(n8)], "Smith Ann");

  EXPECT_EQ(count(8), n8 + 1);
  EXPECT_EQ(db_.PeopleCount(), n8 + 1);
  EXPECT_EQ(count(11), n11 + 1);
  EXPECT_EQ(count(16), r1 + 1);
  EXPECT_EQ(count(17), r2 + 1);
  EXPECT_EQ(count(18), r3 + 1);
  EXPECT_EQ(n16, r1);  // the sample keeps the name entries equal to the files
  EXPECT_EQ(n17, r2);
  EXPECT_EQ(n18, r3);
  EXPECT_EQ(position(9), p9 + 157);
  EXPECT_EQ(position(10), p10 + 157);
  EXPECT_EQ(position(11), p11 + 157);
  EXPECT_EQ(db_.recordCount(GameFile::FirstNames), r1 + 1);
  EXPECT_EQ(db_.recordCount(GameFile::SecondNames), r2 + 1);
  EXPECT_EQ(db_.recordCount(GameFile::CommonNames), r3 + 1);

  // Name records: the template's with the new text and identifier.
  NameRecord first = db_.read<NameRecord>(kSlotFirstNames, r1 + 1);
  NameRecord second = db_.read<NameRecord>(kSlotSecondNames, r2 + 1);
  NameRecord common = db_.read<NameRecord>(kSlotCommonNames, r3 + 1);
  EXPECT_EQ(first.Name(), "Ann");
  EXPECT_EQ(first.Id(), r1);
  EXPECT_EQ(second.Name(), "Smith");
  EXPECT_EQ(second.Id(), r2);
  EXPECT_EQ(common.Name(), "Annie");
  EXPECT_EQ(common.Id(), r3);
  EXPECT_EQ(bytesOf({first.bytes.begin(), first.bytes.end()}, 55, 5),
            bytesOf({t.firstName.bytes.begin(), t.firstName.bytes.end()}, 55, 5));

  // The StaffRecord: the template with the fields of a new person replaced.
  StaffRecord s = db_.read<StaffRecord>(kSlotStaff, n8 + 1);
  StaffRecord expected = t.staff;
  expected.setPersonId(n8);
  expected.setFirstNameId(int32_t(r1));
  expected.setSecondNameId(int32_t(r2));
  expected.setCommonNameId(int32_t(r3));
  expected.setClubId(-1);
  expected.setPlayerAttIndex(n11);
  expected.setNationId(2);
  expected.setSecondNationId(4);
  expected.setCaps(12);
  expected.setIntGoals(3);
  expected.setBirthYear(1900);
  expected.setBirthDay(100);
  expected.setContractExpiryYear(2001);
  expected.setContractJoinYear(1998);
  expected.setValue(250000);
  expected.setWage(-5);
  EXPECT_EQ(s, expected);  // every other byte is the template's
  EXPECT_EQ(nextPersonId(db_), n8 + 1);

  PlayerAttRecord a = db_.read<PlayerAttRecord>(kSlotStaffAtt, n11 + 1);
  PlayerAttRecord expectedAtt = t.playerAtt;
  expectedAtt.setAttId(n11);
  EXPECT_EQ(a, expectedAtt);
}

TEST_F(NewPlayer, AnEmptyCommonNameWritesNoCommonName) {
  NewPlayerTemplate t = templateOf(db_, firstWhere(true));
  t.staff.setCommonNameId(5);  // a template with a common name of his own
  const auto commons = db_.file(kSlotCommonNames).data();
  const int32_t n18 = count(18);
  NewPlayerResult r = addNewPlayer(db_, t, newForm("  Ann", "Smith"), flags_);
  EXPECT_EQ(db_.file(kSlotCommonNames).data(), commons);
  EXPECT_EQ(count(18), n18);
  EXPECT_EQ(r.commonNameId, 0);
  EXPECT_EQ(db_.read<StaffRecord>(kSlotStaff, r.personId + 1).CommonNameId(), 0);

  // Leading spaces are dropped: three letters and 48 zero bytes.
  NameRecord first = db_.read<NameRecord>(kSlotFirstNames, r.firstNameId + 1);
  EXPECT_EQ(std::memcmp(first.data(), "Ann", 3), 0);
  for (size_t i = 3; i < 51; ++i) EXPECT_EQ(first.bytes[i], 0) << i;
  EXPECT_EQ(r.status, "Smith Ann added to cm3 Database!");
}

TEST_F(NewPlayer, ANameTooLongWritesNothing) {
  NewPlayerTemplate t = templateOf(db_, firstWhere(true));
  const auto before = snapshot(game_.data());
  const int64_t r1 = db_.recordCount(GameFile::FirstNames);
  flags_ = {true, true};
  EXPECT_THROW(addNewPlayer(db_, t, newForm("Ann", std::string(52, 'x')), flags_), ValueError);
  EXPECT_THROW(addNewPlayer(db_, t, newForm("Ann", "Smith", std::string(60, 'c')), flags_), ValueError);
  EXPECT_EQ(snapshot(game_.data()), before);
  EXPECT_EQ(db_.recordCount(GameFile::FirstNames), r1);
  EXPECT_TRUE(flags_.firstChanged);
  EXPECT_TRUE(db_.PersonNameTable[size_t(db_.PeopleCount())].empty());
  // 51 characters after trimming still fit.
  EXPECT_NO_THROW(addNewPlayer(db_, t, newForm("  " + std::string(51, 'a') + "  ", "Smith"), flags_));
}

TEST_F(NewPlayer, ABadNumberBoxWritesNoOrphanNamesNorRaisesCounts) {
  NewPlayerTemplate t = templateOf(db_, firstWhere(true));
  std::vector<std::vector<uint8_t>> files;
  for (int slot : {kSlotFirstNames, kSlotSecondNames, kSlotCommonNames, kSlotStaff, kSlotStaffAtt})
    files.push_back(db_.file(slot).data());
  std::vector<IndexRecord> entries;
  for (int e = 1; e <= kIndexEntries; ++e) entries.push_back(db_.readIndex(e));
  const int64_t r1 = db_.recordCount(GameFile::FirstNames), r2 = db_.recordCount(GameFile::SecondNames);
  const int32_t people = db_.PeopleCount();

  flags_ = {true, true};
  for (auto bad : {&PersonForm::caps, &PersonForm::birthDay, &PersonForm::wage}) {
    PersonForm f = newForm("Ann", "Smith", "Annie");
    f.*bad = bad == &PersonForm::wage ? "2147483648" : "abc";
    EXPECT_THROW(addNewPlayer(db_, t, f, flags_), ValueError);
  }
  size_t k = 0;
  for (int slot : {kSlotFirstNames, kSlotSecondNames, kSlotCommonNames, kSlotStaff, kSlotStaffAtt})
    EXPECT_EQ(db_.file(slot).data(), files[k++]) << "slot " << slot;
  for (int e = 1; e <= kIndexEntries; ++e) EXPECT_EQ(db_.readIndex(e), entries[size_t(e - 1)]) << "entry " << e;
  EXPECT_EQ(db_.recordCount(GameFile::FirstNames), r1);
  EXPECT_EQ(db_.recordCount(GameFile::SecondNames), r2);
  EXPECT_TRUE(db_.PersonNameTable[size_t(people)].empty());
  EXPECT_TRUE(flags_.firstChanged && flags_.secondChanged);
}

TEST_F(NewPlayer, NoRoomInTheNameTableWritesNothing) {
  const IndexRecord real = db_.readIndex(8);
  IndexRecord full = real;
  full.setCount(kPersonNameTableSize);
  db_.writeIndex(8, full);
  NewPlayerTemplate t = templateOf(db_, 0);
  const auto before = snapshot(game_.data());
  EXPECT_THROW(addNewPlayer(db_, t, newForm("Ann", "Smith"), flags_), ValueError);
  EXPECT_EQ(snapshot(game_.data()), before);
  db_.writeIndex(8, real);
}

// The game files after closing: the new people fit in after the old ones and
// every section behind them moved on, so a second open reads everything.
TEST_F(NewPlayer, SurvivesClosingAndOpeningAgain) {
  const SectionTable t0 = db_.sections();
  const int tplId = firstWhere(true);
  NewPlayerTemplate t = templateOf(db_, tplId);
  NewPlayerResult a = addNewPlayer(db_, t, newForm("Zebedee", "Quxworth", "Zeb"), flags_);
  NewPlayerResult b = addNewPlayer(db_, t, newForm("Ann", "Smith"), flags_);
  const PlayerAttRecord tplAtt = t.playerAtt;
  db_.close();

  const auto& oldStaff = original_.at("staff.dat");
  const auto newStaff = slurp(game_.file("staff.dat"));
  // Old people in place, then the two new ones, then the sections each two
  // StaffRecords further on, byte for byte.
  EXPECT_EQ(bytesOf(newStaff, 0, size_t(t0.A)), bytesOf(oldStaff, 0, size_t(t0.A)));
  EXPECT_EQ(bytesOf(newStaff, size_t(t0.A) + 314, size_t(t0.D - t0.A)), bytesOf(oldStaff, size_t(t0.A), size_t(t0.D - t0.A)));
  EXPECT_EQ(bytesOf(slurp(game_.file("index.dat")), 0, 8), bytesOf(original_.at("index.dat"), 0, 8));

  Database again;
  ASSERT_TRUE(again.open(game_.str())) << again.OpenError;
  const SectionTable t1 = again.sections();
  EXPECT_EQ(t1.N8, t0.N8 + 2);
  EXPECT_EQ(t1.N9, t0.N9);
  EXPECT_EQ(t1.N10, t0.N10);
  EXPECT_EQ(t1.N11, t0.N11 + 2);
  // The working files of the second open hold the old sections (and the
  // two new attribute records).
  EXPECT_EQ(slurp(game_.file("staff_unknown.dat")), bytesOf(oldStaff, size_t(t0.A), size_t(t0.B - t0.A)));
  EXPECT_EQ(slurp(game_.file("staff_att2.dat")), bytesOf(oldStaff, size_t(t0.B), size_t(t0.C - t0.B)));
  const auto att = slurp(game_.file("staff_att.dat"));
  EXPECT_EQ(bytesOf(att, 0, size_t(t0.D - t0.C)), bytesOf(oldStaff, size_t(t0.C), size_t(t0.D - t0.C)));

  for (const NewPlayerResult* r : {&a, &b}) {
    StaffRecord s = again.read<StaffRecord>(kSlotStaff, r->personId + 1);
    EXPECT_EQ(s.PersonId(), r->personId);
    PlayerAttRecord pa = again.read<PlayerAttRecord>(kSlotStaffAtt, s.PlayerAttIndex() + 1);
    PlayerAttRecord expected = tplAtt;
    expected.setAttId(r->attIndex);
    EXPECT_EQ(pa, expected);
  }
  EXPECT_EQ(again.personName(a.personId), "Quxworth Zebedee");
  EXPECT_EQ(again.personName(b.personId), "Smith Ann");
  EXPECT_EQ(again.read<NameRecord>(kSlotCommonNames, a.commonNameId + 1).Name(), "Zeb");
  auto found = search::findNames(again.PersonNameTable, again.PeopleCount(), "quxworth", 100);
  EXPECT_EQ(found, std::vector<int>{a.personId});
  again.close();
}

// The counts of a full-sized example: people, names and index counts.
TEST(NewPlayerCounts, TheIdentifiersFollowTheCounts) {
  cm3::sample::Preset p = cm3::sample::smallPreset();
  p.people = 12000;
  p.players = 9000;
  p.firstNames = 9000;
  p.secondNames = 11000;
  p.commonNames = 2000;
  GameDir game(p, 3);
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  NameFlags flags;
  NewPlayerTemplate t = templateOf(db, 0);
  NewPlayerResult r = addNewPlayer(db, t, newForm("Ann", "Smith", "Annie"), flags);
  EXPECT_EQ(r.personId, 12000);
  EXPECT_EQ(r.firstNameId, 9000);
  EXPECT_EQ(r.secondNameId, 11000);
  EXPECT_EQ(r.commonNameId, 2000);
  EXPECT_EQ(db.read<StaffRecord>(kSlotStaff, 12001).PersonId(), 12000);
  EXPECT_EQ(db.readIndex(8).Count(), 12001);
  EXPECT_EQ(db.readIndex(16).Count(), 9001);
  EXPECT_EQ(db.readIndex(17).Count(), 11001);
  EXPECT_EQ(db.readIndex(18).Count(), 2001);
  db.close();
}

}  // namespace
