#include "history/history.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/testkit.h"
#include "database/database.h"

using namespace cm3;
using cm3::history::HistoryRow;

namespace {

sample::Preset historyPreset() {
  sample::Preset p = sample::smallPreset();
  p.history = 5000;
  return p;
}

class History : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(db_.open(game_.str())) << db_.OpenError;
    ASSERT_EQ(db_.recordCount(GameFile::History), 5000);
  }

  HistoryRecord rec(int32_t id) const { return db_.read<HistoryRecord>(kSlotHistory, int64_t(id) + 1); }
  int64_t fileRecords() const { return int64_t(db_.file(kSlotHistory).size() / HistoryRecord::kSize); }

  // Gives record `id` to `person` with the given values, keeping byte 14.
  void plant(int32_t id, int32_t person, int16_t season, int32_t club, uint8_t apps, uint8_t goals) {
    HistoryRecord r = rec(id);
    r.setRecordId(id);
    r.setPersonId(person);
    r.setSeason(season);
    r.setClubId(club);
    r.setApps(apps);
    r.setGoals(goals);
    db_.write(kSlotHistory, int64_t(id) + 1, r);
  }
  // Takes every row away from `person`.
  void clearPerson(int32_t person) {
    for (int32_t id : history::findRecords(db_, person)) {
      HistoryRecord r = rec(id);
      r.setPersonId(-1);
      db_.write(kSlotHistory, int64_t(id) + 1, r);
    }
  }

  cm3test::GameDir game_{historyPreset(), 11};
  Database db_;
};

TEST_F(History, RowsComeInFileOrderTiedToTheirRecords) {
  const int32_t person = 17;
  clearPerson(person);
  plant(2999, person, 1996, 4, 30, 7);
  plant(6, person, 1994, 2, 12, 1);
  plant(11, person, 1995, -1, 0, 0);

  auto rows = history::loadRows(db_, person);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].recordId, 6);
  EXPECT_EQ(rows[1].recordId, 11);
  EXPECT_EQ(rows[2].recordId, 2999);
  EXPECT_EQ(rows[0].season, "1994");
  EXPECT_EQ(rows[0].club, db_.clubNames[2]);
  EXPECT_EQ(rows[0].clubId, 2);
  EXPECT_EQ(rows[0].apps, "12");
  EXPECT_EQ(rows[0].goals, "1");
  EXPECT_EQ(rows[1].club, "");  // no club
  EXPECT_EQ(rows[2].season, "1996");
  EXPECT_EQ(rows[2].apps, "30");
  EXPECT_EQ(history::findRecords(db_, person), (std::vector<int32_t>{6, 11, 2999}));

  // Another person sees none of them.
  for (const HistoryRow& r : history::loadRows(db_, person + 1))
    EXPECT_TRUE(r.recordId != 6 && r.recordId != 11 && r.recordId != 2999);
}

TEST_F(History, ScanMatchesEveryRecordOfThePerson) {
  // Against the raw file: every record whose person field is p, and only those.
  const auto& bytes = db_.file(kSlotHistory).data();
  for (int32_t person : {0, 1, 250, 599}) {
    std::vector<int32_t> expected;
    for (size_t i = 0; i + HistoryRecord::kSize <= bytes.size(); i += HistoryRecord::kSize)
      if (loadI32(bytes.data() + i + 4) == person) expected.push_back(int32_t(i / HistoryRecord::kSize));
    EXPECT_EQ(history::findRecords(db_, person), expected) << person;
  }
  EXPECT_TRUE(history::loadRows(db_, -1).empty());  // deleted rows belong to nobody
}

TEST_F(History, PersonWithoutRowsAndRecordOneStaysAddressable) {
  const int32_t person = 3;
  clearPerson(person);
  EXPECT_TRUE(history::loadRows(db_, person).empty());

  plant(0, person, 1990, 1, 5, 2);  // record number 1, identifier 0
  auto rows = history::loadRows(db_, person);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].recordId, 0);
  rows[0].season = "1991";
  rows[0].goals = "3";
  history::saveRows(db_, person, rows, db_.clubNames);
  EXPECT_EQ(rec(0).Season(), 1991);
  EXPECT_EQ(rec(0).Goals(), 3);
  EXPECT_EQ(rec(0).PersonId(), person);
}

TEST_F(History, MoreThanThirtyOneRowsAllLoadAndSave) {
  const int32_t person = 42;
  clearPerson(person);
  std::vector<int32_t> ids;
  for (int k = 0; k < 40; ++k) {
    ids.push_back(100 + 37 * k);
    plant(ids.back(), person, int16_t(1950 + k), k % 5, uint8_t(k), 0);
  }
  auto rows = history::loadRows(db_, person);
  ASSERT_EQ(rows.size(), 40u);
  for (size_t k = 0; k < rows.size(); ++k) {
    EXPECT_EQ(rows[k].recordId, ids[k]);
    rows[k].goals = std::to_string(k);
  }
  history::saveRows(db_, person, rows, db_.clubNames);
  for (size_t k = 0; k < ids.size(); ++k) {
    EXPECT_EQ(rec(ids[k]).PersonId(), person);
    EXPECT_EQ(rec(ids[k]).Goals(), k);
    EXPECT_EQ(rec(ids[k]).Season(), 1950 + int(k));
  }
}

TEST_F(History, SaveKeepsByte14AndWritesEveryField) {
  const int32_t person = 8;
  clearPerson(person);
  plant(20, person, 1993, 1, 10, 2);
  const uint8_t byte14 = rec(20).Byte14();
  const auto before = db_.file(kSlotHistory).data();

  auto rows = history::loadRows(db_, person);
  ASSERT_EQ(rows.size(), 1u);
  rows[0].season = " -5 ";
  rows[0].apps = "255";
  rows[0].goals = "0";
  rows[0].club = db_.clubNames[7];
  rows[0].clubId = 7;
  history::saveRows(db_, person, rows, db_.clubNames);
  HistoryRecord r = rec(20);
  EXPECT_EQ(r.RecordId(), 20);
  EXPECT_EQ(r.PersonId(), person);
  EXPECT_EQ(r.Season(), -5);
  EXPECT_EQ(r.ClubId(), 7);
  EXPECT_EQ(r.Apps(), 255);
  EXPECT_EQ(r.Goals(), 0);
  EXPECT_EQ(r.Byte14(), byte14);
  // Nothing else in the file moved.
  const auto& after = db_.file(kSlotHistory).data();
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    if (i / HistoryRecord::kSize == 20) continue;
    ASSERT_EQ(after[i], before[i]) << "byte " << i;
  }
}

TEST_F(History, UnchangedRowsSaveByteForByte) {
  const int32_t person = 99;
  auto rows = history::loadRows(db_, person);
  ASSERT_FALSE(rows.empty());
  const auto before = db_.file(kSlotHistory).data();
  history::saveRows(db_, person, rows, db_.clubNames);
  EXPECT_EQ(db_.file(kSlotHistory).data(), before);
}

TEST_F(History, BadCellStopsAtThatRow) {
  const int32_t person = 5;
  clearPerson(person);
  plant(30, person, 1990, 1, 1, 1);
  plant(31, person, 1991, 1, 1, 1);
  plant(32, person, 1992, 1, 1, 1);
  auto rows = history::loadRows(db_, person);
  ASSERT_EQ(rows.size(), 3u);
  for (auto& r : rows) r.goals = "9";
  rows[1].apps = "300";
  EXPECT_THROW(history::saveRows(db_, person, rows, db_.clubNames), ValueError);
  EXPECT_EQ(rec(30).Goals(), 9);  // written before the bad row
  EXPECT_EQ(rec(31).Goals(), 1);  // the bad row is not written
  EXPECT_EQ(rec(32).Goals(), 1);  // nor anything after it

  for (const char* bad : {"", "abc", "70000", "-32769", "1.5"}) {
    auto r2 = history::loadRows(db_, person);
    r2[0].season = bad;
    EXPECT_THROW(history::saveRows(db_, person, r2, db_.clubNames), ValueError) << bad;
  }
  for (const char* bad : {"-1", "256", "", "x"}) {
    auto r2 = history::loadRows(db_, person);
    r2[0].goals = bad;
    EXPECT_THROW(history::saveRows(db_, person, r2, db_.clubNames), ValueError) << bad;
  }
  auto r3 = history::loadRows(db_, person);
  r3[0].season = "-32768";
  r3[0].apps = "0";
  EXPECT_NO_THROW(history::saveRows(db_, person, r3, db_.clubNames));
  EXPECT_EQ(rec(30).Season(), -32768);
}

TEST_F(History, AddedRowGoesPastTheEnd) {
  const int32_t person = 12;
  clearPerson(person);
  plant(40, person, 1990, 1, 1, 1);
  plant(41, person, 1991, 1, 1, 1);
  auto rows = history::loadRows(db_, person);
  ASSERT_EQ(rows.size(), 2u);

  HistoryRow added;
  added.recordId = history::addRecord(db_);
  EXPECT_EQ(added.recordId, 5000);
  EXPECT_EQ(db_.recordCount(GameFile::History), 5001);
  EXPECT_EQ(fileRecords(), 5000);  // the file grows only on save
  EXPECT_EQ(history::findRecords(db_, 0).size(), history::loadRows(db_, 0).size());
  for (int32_t id : history::findRecords(db_, 0)) EXPECT_LT(id, 5000);  // not the unsaved one

  added.season = "1997";
  added.apps = "20";
  added.goals = "4";
  rows.push_back(added);
  history::saveRows(db_, person, rows, db_.clubNames);
  EXPECT_EQ(fileRecords(), 5001);
  HistoryRecord r = rec(5000);
  EXPECT_EQ(r.RecordId(), 5000);
  EXPECT_EQ(r.PersonId(), person);
  EXPECT_EQ(r.Season(), 1997);
  EXPECT_EQ(r.ClubId(), -1);  // empty club cell
  EXPECT_EQ(r.Byte14(), 0);
  EXPECT_EQ(history::findRecords(db_, person), (std::vector<int32_t>{40, 41, 5000}));
}

TEST_F(History, DiscardedIdsAreNotReusedAndLeaveNoPhantomRows) {
  const int32_t person = 13;
  clearPerson(person);
  const size_t rowsOfZero = history::findRecords(db_, 0).size();
  const int32_t discarded = history::addRecord(db_);  // another person's unsaved row
  HistoryRow row;
  row.recordId = history::addRecord(db_);
  EXPECT_EQ(row.recordId, discarded + 1);
  row.season = "1998";
  row.apps = "1";
  row.goals = "0";
  history::saveRows(db_, person, {row}, db_.clubNames);
  EXPECT_EQ(fileRecords(), int64_t(row.recordId) + 1);
  // The gap is a deleted row, not a row of person 0.
  EXPECT_EQ(rec(discarded).PersonId(), -1);
  EXPECT_EQ(rec(discarded).RecordId(), discarded);
  EXPECT_EQ(history::findRecords(db_, 0).size(), rowsOfZero);
  EXPECT_EQ(history::findRecords(db_, person), (std::vector<int32_t>{row.recordId}));
}

TEST_F(History, DeleteWritesAtOnce) {
  const int32_t person = 14;
  clearPerson(person);
  plant(50, person, 1990, 1, 1, 1);
  plant(60, person, 1991, 2, 2, 2);
  const HistoryRecord before = rec(50);
  history::deleteRecord(db_, 50);
  HistoryRecord after = rec(50);
  EXPECT_EQ(after.PersonId(), -1);
  EXPECT_EQ(after.Season(), before.Season());
  EXPECT_EQ(after.Byte14(), before.Byte14());
  EXPECT_EQ(history::findRecords(db_, person), (std::vector<int32_t>{60}));

  // An added row deleted before its first save still becomes a deleted record.
  const int32_t id = history::addRecord(db_);
  history::deleteRecord(db_, id);
  EXPECT_EQ(fileRecords(), int64_t(id) + 1);
  EXPECT_EQ(rec(id).PersonId(), -1);
  EXPECT_EQ(rec(id).RecordId(), id);
  EXPECT_THROW(history::deleteRecord(db_, -1), ValueError);
}

TEST_F(History, RecordIdOfTheRowIsItsPosition) {
  // A record whose ID field disagrees with its place is still saved in place:
  // the save never writes over another record.
  const int32_t person = 21;
  clearPerson(person);
  plant(70, person, 1990, 1, 1, 1);
  HistoryRecord r = rec(70);
  r.setRecordId(3);
  db_.write(kSlotHistory, 71, r);
  const HistoryRecord four = rec(3);
  auto rows = history::loadRows(db_, person);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].recordId, 70);
  history::saveRows(db_, person, rows, db_.clubNames);
  EXPECT_EQ(rec(3), four);
  EXPECT_EQ(rec(70).RecordId(), 70);
}

TEST_F(History, RecordCountBoundsTheScan) {
  const int32_t person = 22;
  clearPerson(person);
  plant(4999, person, 1990, 1, 1, 1);
  db_.recordCount(GameFile::History) = 4999;  // the last record is not counted
  EXPECT_TRUE(history::findRecords(db_, person).empty());
  db_.recordCount(GameFile::History) = 1 << 30;  // more than the file holds
  EXPECT_EQ(history::findRecords(db_, person), (std::vector<int32_t>{4999}));
  db_.recordCount(GameFile::History) = -8;
  EXPECT_TRUE(history::findRecords(db_, person).empty());
  EXPECT_EQ(history::addRecord(db_), 0);  // a damaged count starts again at 0, not below
}

TEST_F(History, EditedRowsSurviveCloseAndReopen) {
  const int32_t person = 33;
  clearPerson(person);
  plant(80, person, 1990, 1, 1, 1);
  plant(90, person, 1991, 2, 2, 2);
  auto rows = history::loadRows(db_, person);
  rows[1].season = "1992";
  rows[1].club = db_.clubNames[5];
  rows[1].clubId = 5;
  HistoryRow added;
  added.recordId = history::addRecord(db_);
  added.season = "1993";
  added.apps = "11";
  added.goals = "3";
  added.club = db_.clubNames[6];
  added.clubId = 6;
  rows.push_back(added);
  history::saveRows(db_, person, rows, db_.clubNames);
  history::deleteRecord(db_, 80);
  rows.erase(rows.begin());
  db_.close();

  Database again;
  ASSERT_TRUE(again.open(game_.str())) << again.OpenError;
  auto back = history::loadRows(again, person);
  ASSERT_EQ(back.size(), 2u);
  for (size_t k = 0; k < back.size(); ++k) {
    EXPECT_EQ(back[k].recordId, rows[k].recordId);
    EXPECT_EQ(back[k].season, rows[k].season);
    EXPECT_EQ(back[k].club, rows[k].club);
    EXPECT_EQ(back[k].apps, rows[k].apps);
    EXPECT_EQ(back[k].goals, rows[k].goals);
  }
  EXPECT_EQ(again.recordCount(GameFile::History), 5001);
}

TEST(HistoryClubs, PrefixIgnoresCaseAndFollowsListOrder) {
  const std::vector<std::string> clubs = {"Bolton Wanderers", "Manchester United", "Man", "Bolton", "\xC9toile",
                                          ""};
  EXPECT_EQ(history::findClub(clubs, "Man"), 1);  // the first name that begins with it
  EXPECT_EQ(history::findClub(clubs, "mAN"), 1);
  EXPECT_EQ(history::findClub(clubs, "manchester united"), 1);
  EXPECT_EQ(history::findClub(clubs, "Bolton"), 0);
  EXPECT_EQ(history::findClub(clubs, "\xE9toi"), 4);  // accented letters by their upper case
  EXPECT_EQ(history::findClub(clubs, "Leeds"), -1);
  EXPECT_EQ(history::findClub(clubs, "Manchester United FC"), -1);
  EXPECT_EQ(history::findClub(clubs, ""), -1);
  // The club a row was taken from wins when its name is exactly the text.
  EXPECT_EQ(history::findClub(clubs, "Bolton", 3), 3);
  EXPECT_EQ(history::findClub(clubs, "Man", 2), 2);
  EXPECT_EQ(history::findClub(clubs, "Bolt", 3), 0);  // not exactly its name: prefix rule
  EXPECT_EQ(history::findClub(clubs, "", 5), 5);      // a club without a name
  EXPECT_EQ(history::findClub(clubs, "Bolton", 99), 0);

  EXPECT_EQ(history::clubText(clubs, 2), "Man");
  EXPECT_EQ(history::clubText(clubs, -1), "");
  EXPECT_EQ(history::clubText(clubs, 6), "");
}

TEST_F(History, ClubCellsSaveByPrefixAndKeepUnknownIds) {
  const int32_t person = 44;
  clearPerson(person);
  plant(100, person, 1990, 1, 1, 1);
  plant(101, person, 1990, 9999, 1, 1);  // an ID past the club list
  plant(102, person, 1990, 2, 1, 1);
  const std::vector<std::string> clubs = {"Bolton Wanderers", "Manchester United", "Man", "Bolton"};
  auto rows = history::loadRows(db_, person);
  ASSERT_EQ(rows.size(), 3u);
  rows[0].club = "man";  // typed text: the first club beginning with it
  rows[0].clubId = -1;
  rows[1].club = "";  // unknown club shown empty and left alone
  rows[2].club = "Nowhere";
  history::saveRows(db_, person, rows, clubs);
  EXPECT_EQ(rec(100).ClubId(), 1);
  EXPECT_EQ(rec(101).ClubId(), 9999);
  EXPECT_EQ(rec(102).ClubId(), -1);
  rows[1].club = "Bolton";
  rows[1].clubId = 3;  // chosen from the list
  history::saveRows(db_, person, rows, clubs);
  EXPECT_EQ(rec(101).ClubId(), 3);
}

}  // namespace
