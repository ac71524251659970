// A person's career history rows in staff_history.dat.
#include "history/history.h"

#include "common/testkit.h"

using namespace cm3;
using namespace cm3test;
using history::HistoryRow;

namespace {

sample::Preset historyPreset() {
  sample::Preset p = sample::smallPreset();
  p.history = 5000;
  return p;
}

class History : public OpenGame {
 protected:
  History() : OpenGame(historyPreset(), 11) {}
  HistoryRecord rec(int32_t id) const { return db_.read<HistoryRecord>(kSlotHistory, int64_t(id) + 1); }
  int64_t fileRecords() const { return int64_t(db_.file(kSlotHistory).size() / HistoryRecord::kSize); }
  // Takes every row away from `person`, then gives him these records.
  void plant(int32_t person, const std::vector<int32_t>& ids) {
    for (int32_t id : history::findRecords(db_, person)) change<HistoryRecord>(kSlotHistory, id, {{"PersonId", -1}});
    for (int64_t k = 0; k < int64_t(ids.size()); ++k)
      change<HistoryRecord>(kSlotHistory, ids[size_t(k)], {{"RecordId", ids[size_t(k)]}, {"PersonId", person},
                                                           {"Season", 1990 + k}, {"ClubId", k % 5},
                                                           {"Apps", 10 + k}, {"Goals", 1}});
  }
  void save(int32_t person, const std::vector<HistoryRow>& rows) { history::saveRows(db_, person, rows, db_.clubNames); }
};

TEST_F(History, RowsOutOfFileOrderOrOfAnotherPerson) {
  plant(17, {2999, 6, 11});
  const auto rows = history::loadRows(db_, 17);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(history::findRecords(db_, 17), (std::vector<int32_t>{6, 11, 2999}));
  EXPECT_EQ(std::tie(rows[0].recordId, rows[0].season, rows[0].club, rows[0].apps),
            std::make_tuple(6, "1991", db_.clubNames[1], "11"));
  // Against the raw file: every record whose person field is p, and only those.
  const Bytes& bytes = db_.file(kSlotHistory).data();
  for (int32_t person : {0, 250, 599}) {
    std::vector<int32_t> expected;
    for (size_t i = 0; i + 17 <= bytes.size(); i += 17)
      if (loadI32(bytes.data() + i + 4) == person) expected.push_back(int32_t(i / 17));
    EXPECT_EQ(history::findRecords(db_, person), expected) << person;
  }
  EXPECT_TRUE(history::loadRows(db_, -1).empty()) << "deleted rows belong to nobody";
}

TEST_F(History, RecordWithIdZeroOrPastThirtyRowsNotSaved) {
  std::vector<int32_t> ids = {0};
  for (int k = 0; k < 39; ++k) ids.push_back(100 + 37 * k);
  plant(42, ids);
  auto rows = history::loadRows(db_, 42);
  for (size_t k = 0; k < rows.size(); ++k) rows[k].goals = std::to_string(k);
  save(42, rows);
  for (size_t k = 0; k < ids.size(); ++k)
    EXPECT_EQ(std::make_pair(rec(ids[k]).PersonId(), size_t(rec(ids[k]).Goals())), std::make_pair(42, k)) << ids[k];
}

TEST_F(History, SaveWritesAnotherFieldOrByteOrLosesByte14OrGoesByTheIdField) {
  plant(21, {70});  // its id field says 3: saved by its place, not over record 3
  change<HistoryRecord>(kSlotHistory, 70, {{"RecordId", 3}});
  const HistoryRecord four = rec(3);
  save(21, history::loadRows(db_, 21));
  EXPECT_EQ(rec(3), four);
  EXPECT_EQ(rec(70).RecordId(), 70);
  plant(8, {20});
  const uint8_t byte14 = rec(20).Byte14();
  Bytes expected = db_.file(kSlotHistory).data();
  auto rows = history::loadRows(db_, 8);
  save(8, rows);
  EXPECT_EQ(db_.file(kSlotHistory).data(), expected) << "unchanged rows save byte for byte";
  rows[0].season = " -5 ";
  rows[0].apps = "255";
  rows[0].goals = "0";
  rows[0].club = db_.clubNames[7];
  rows[0].clubId = 7;
  save(8, rows);
  const HistoryRecord r = with(rec(20), {{"Season", -5}, {"Apps", 255}, {"Goals", 0}, {"ClubId", 7}});
  std::copy(r.bytes.begin(), r.bytes.end(), expected.begin() + 20 * 17);
  EXPECT_EQ(db_.file(kSlotHistory).data(), expected);
  EXPECT_EQ(rec(20).Byte14(), byte14);
}

// A bad cell in the middle row: not even the row before it is written.
TEST_F(History, BadCellWritesAnyRow) {
  plant(5, {30, 31, 32});
  const std::vector<std::pair<std::string HistoryRow::*, const char*>> bad = {
      {&HistoryRow::season, ""}, {&HistoryRow::season, "abc"}, {&HistoryRow::season, "-32769"},
      {&HistoryRow::season, "1.5"}, {&HistoryRow::goals, "-1"}, {&HistoryRow::goals, "256"}, {&HistoryRow::goals, "x"},
      {&HistoryRow::apps, "300"}};
  for (const auto& [cell, text] : bad) {
    auto r = history::loadRows(db_, 5);
    for (auto& row : r) row.goals = "9";
    r[1].*cell = text;
    EXPECT_THROW(save(5, r), ValueError) << text;
    for (int id : {30, 31, 32}) EXPECT_EQ(rec(id).Goals(), 1) << text << ", record " << id;
  }
  auto rows = history::loadRows(db_, 5);
  rows[0].season = "-32768";
  EXPECT_NO_THROW(save(5, rows));
  EXPECT_EQ(rec(30).Season(), -32768);
}

TEST_F(History, AddedRowWrittenEarlyReusedOrShownAsPersonZero) {
  plant(12, {40, 41});
  auto rows = history::loadRows(db_, 12);
  const int32_t discarded = history::addRecord(db_);  // another person's row, never saved
  EXPECT_EQ(std::vector<int64_t>({discarded, db_.recordCount(GameFile::History), fileRecords()}),
            std::vector<int64_t>({5000, 5001, 5000})) << "the file grows only on save";
  const HistoryRow added{.recordId = history::addRecord(db_), .season = "1997", .club = "", .apps = "20", .goals = "4"};
  rows.push_back(added);
  save(12, rows);
  EXPECT_EQ(fileRecords(), 5002);
  const HistoryRecord r = rec(added.recordId);  // the empty club cell stored as -1
  EXPECT_EQ(std::make_tuple(r.RecordId(), r.PersonId(), int(r.Season()), r.ClubId(), int(r.Byte14())),
            std::make_tuple(added.recordId, 12, 1997, -1, 0));
  EXPECT_EQ(std::make_pair(rec(discarded).PersonId(), rec(discarded).RecordId()), std::make_pair(-1, discarded))
      << "the gap is a deleted row";
  EXPECT_EQ(history::findRecords(db_, 12), (std::vector<int32_t>{40, 41, added.recordId}));
}

TEST_F(History, DeleteWaitsForASaveOrClearsMoreThanThePerson) {
  plant(14, {50, 60});
  const HistoryRecord before = rec(50);
  history::deleteRecord(db_, 50);
  EXPECT_EQ(rec(50), with(before, {{"PersonId", -1}}));
  EXPECT_EQ(history::findRecords(db_, 14), (std::vector<int32_t>{60}));
  const int32_t id = history::addRecord(db_);  // deleted before its first save
  history::deleteRecord(db_, id);
  EXPECT_EQ(std::vector<int64_t>({fileRecords(), rec(id).PersonId(), rec(id).RecordId()}),
            std::vector<int64_t>({id + 1, -1, id}));
  EXPECT_THROW(history::deleteRecord(db_, -1), ValueError);
}

TEST_F(History, RecordCountIgnoredOrBelowZero) {
  plant(22, {4999});
  db_.recordCount(GameFile::History) = 4999;
  EXPECT_TRUE(history::findRecords(db_, 22).empty());
  db_.recordCount(GameFile::History) = 1 << 30;  // more than the file holds
  EXPECT_EQ(history::findRecords(db_, 22), (std::vector<int32_t>{4999}));
  db_.recordCount(GameFile::History) = -8;
  EXPECT_TRUE(history::findRecords(db_, 22).empty());
  EXPECT_EQ(history::addRecord(db_), 0);
}

// A typed club as saving takes it, the row's club as the hint; no text keeps
// a club id beyond the list (shown empty).
TEST_F(History, TypedClubMatchedByCaseOrNotByItsBeginningOrUnknownIdLost) {
  const std::vector<std::string> clubs = {"Bolton Wanderers", "Manchester United", "Man", "Bolton", "\xC9toile", ""};
  const std::vector<std::tuple<const char*, int32_t, int32_t>> cases = {
      {"mAN", -1, 1},       {"manchester united", -1, 1}, {"Bolton", -1, 0},  {"\xE9toi", -1, 4},
      {"Leeds", -1, -1},    {"Manchester United FC", -1, -1}, {"", -1, -1},   {"Bolton", 3, 3},
      {"Man", 2, 2},        {"Bolt", 3, 0},               {"", 5, 5},         {"Bolton", 99, 0},
      {"", 9999, 9999},     {"Nowhere", 9999, -1}};
  std::vector<int32_t> ids;
  for (size_t k = 0; k < cases.size(); ++k) ids.push_back(100 + int32_t(k));
  plant(44, ids);
  for (size_t k = 0; k < cases.size(); ++k)
    change<HistoryRecord>(kSlotHistory, ids[k], {{"ClubId", std::get<1>(cases[k])}});
  auto rows = history::loadRows(db_, 44);
  for (size_t k = 0; k < cases.size(); ++k) rows[k].club = std::get<0>(cases[k]);
  history::saveRows(db_, 44, rows, clubs);
  for (size_t k = 0; k < cases.size(); ++k)
    EXPECT_EQ(rec(ids[k]).ClubId(), std::get<2>(cases[k])) << std::get<0>(cases[k]) << " " << std::get<1>(cases[k]);
  EXPECT_EQ(std::vector<std::string>({history::clubText(clubs, 2), history::clubText(clubs, -1), history::clubText(clubs, 6)}),
            std::vector<std::string>({"Man", "", ""}));
}

}  // namespace
