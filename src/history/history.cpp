#include "history/history.h"

#include <algorithm>
#include <cstring>

#include "records/bytes.h"
#include "records/cp1252.h"
#include "records/convert.h"

namespace cm3::history {

namespace {

// Records of staff_history.dat the editor may look at: those the record
// count covers and that lie wholly in the file.
int64_t recordsInFile(const Database& db) {
  if (!db.slotOpen(kSlotHistory)) return 0;
  int64_t inFile = int64_t(db.file(kSlotHistory).size() / HistoryRecord::kSize);
  return std::clamp<int64_t>(db.recordCount(GameFile::History), 0, inFile);
}

template <class Fn>
void forEachRow(const Database& db, int32_t personId, Fn fn) {
  const int64_t n = recordsInFile(db);
  if (n == 0) return;
  const uint8_t* base = db.file(kSlotHistory).data().data();
  for (int64_t i = 0; i < n; ++i) {
    const uint8_t* r = base + i * int64_t(HistoryRecord::kSize);
    if (loadI32(r + HistoryRecord::PersonIdOffset) == personId) fn(int32_t(i), r);
  }
}

bool validClub(const std::vector<std::string>& names, int32_t id) { return id >= 0 && size_t(id) < names.size(); }

}  // namespace

std::vector<int32_t> findRecords(const Database& db, int32_t personId) {
  std::vector<int32_t> ids;
  if (personId < 0) return ids;
  forEachRow(db, personId, [&](int32_t id, const uint8_t*) { ids.push_back(id); });
  return ids;
}

std::vector<HistoryRow> loadRows(const Database& db, int32_t personId) {
  std::vector<HistoryRow> rows;
  if (personId < 0) return rows;
  forEachRow(db, personId, [&](int32_t id, const uint8_t* p) {
    HistoryRecord r;
    std::memcpy(r.data(), p, HistoryRecord::kSize);
    HistoryRow row;
    row.recordId = id;
    row.season = std::to_string(r.Season());
    row.clubId = r.ClubId();
    row.club = clubText(db.clubNames, row.clubId);
    row.apps = std::to_string(r.Apps());
    row.goals = std::to_string(r.Goals());
    rows.push_back(std::move(row));
  });
  return rows;
}

std::string clubText(const std::vector<std::string>& clubNames, int32_t clubId) {
  return validClub(clubNames, clubId) ? clubNames[size_t(clubId)] : std::string();
}

int32_t findClub(const std::vector<std::string>& clubNames, std::string_view text, int32_t hint) {
  if (validClub(clubNames, hint) && clubNames[size_t(hint)] == text) return hint;
  if (text.empty()) return -1;
  const std::string key = cp1252::upper(text);
  for (size_t i = 0; i < clubNames.size(); ++i) {
    const std::string& name = clubNames[i];
    if (name.size() < key.size()) continue;
    bool same = true;
    for (size_t k = 0; k < key.size() && same; ++k) same = cp1252::upper(uint8_t(name[k])) == uint8_t(key[k]);
    if (same) return int32_t(i);
  }
  return -1;
}

int32_t addRecord(Database& db) {
  int64_t& count = db.recordCount(GameFile::History);
  if (count < 0) count = 0;
  if (count >= INT32_MAX) throw ValueError("staff_history.dat has no room for another row");
  return int32_t(count++);
}

void writeRecord(Database& db, int32_t recordId, const HistoryRecord& record) {
  if (recordId < 0) throw ValueError("Bad history record ID " + std::to_string(recordId));
  const int64_t have = int64_t(db.file(kSlotHistory).size() / HistoryRecord::kSize);
  if (recordId > have) {
    std::vector<uint8_t> gap(size_t(recordId - have) * HistoryRecord::kSize, 0);
    for (int64_t k = have; k < recordId; ++k) {
      uint8_t* p = gap.data() + size_t(k - have) * HistoryRecord::kSize;
      storeI32(p + HistoryRecord::RecordIdOffset, int32_t(k));
      storeI32(p + HistoryRecord::PersonIdOffset, -1);
      storeI32(p + HistoryRecord::ClubIdOffset, -1);
    }
    db.writeBytes(kSlotHistory, uint64_t(have) * HistoryRecord::kSize, gap.data(), gap.size());
  }
  db.write(kSlotHistory, int64_t(recordId) + 1, record);
  int64_t& count = db.recordCount(GameFile::History);
  count = std::max<int64_t>(count, int64_t(recordId) + 1);
}

void deleteRecord(Database& db, int32_t recordId) {
  if (recordId < 0) throw ValueError("Bad history record ID " + std::to_string(recordId));
  HistoryRecord r = db.read<HistoryRecord>(kSlotHistory, int64_t(recordId) + 1);
  const bool existed = db.has<HistoryRecord>(kSlotHistory, int64_t(recordId) + 1);
  JournalAction action(db, "Delete history row of " + db.personName(r.PersonId()));
  r.setRecordId(recordId);
  r.setPersonId(-1);
  if (!existed) r.setClubId(-1);
  writeRecord(db, recordId, r);
}

void saveRows(Database& db, int32_t personId, const std::vector<HistoryRow>& rows,
              const std::vector<std::string>& clubNames) {
  if (personId < 0) throw ValueError("History rows need a person");
  JournalAction action(db, "Save history of " + db.personName(personId));
  // Every row is converted before the first one is written, so that a
  // refused cell leaves the file as it was.
  std::vector<HistoryRecord> records;
  records.reserve(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const HistoryRow& row = rows[i];
    const auto season = parseWhole(row.season, -32768, 32767);
    const auto apps = parseWhole(row.apps, 0, 255);
    const auto goals = parseWhole(row.goals, 0, 255);
    if (!season || !apps || !goals)
      throw ValueError("History row " + std::to_string(i + 1) + ": " + (!season ? "season" : !apps ? "apps" : "goals") +
                       " is not a valid number");
    if (row.recordId < 0) throw ValueError("History row " + std::to_string(i + 1) + " has no record");
    HistoryRecord r = db.read<HistoryRecord>(kSlotHistory, int64_t(row.recordId) + 1);
    int32_t club = findClub(clubNames, row.club, row.clubId);
    if (club < 0 && row.club.empty() && !validClub(clubNames, row.clubId)) club = row.clubId;
    r.setRecordId(row.recordId);
    r.setPersonId(personId);
    r.setSeason(int16_t(*season));
    r.setClubId(club);
    r.setApps(uint8_t(*apps));
    r.setGoals(uint8_t(*goals));
    records.push_back(r);
  }
  for (size_t i = 0; i < rows.size(); ++i) writeRecord(db, rows[i].recordId, records[i]);
}

}  // namespace cm3::history
