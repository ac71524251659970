// Career history: finding one person's rows in staff_history.dat, adding
// and deleting rows, and writing edited rows back.
//
// staff_history.dat holds the rows of every person together, in no order;
// a deleted row stays in the file with person -1. A row of the editor is
// tied to one record by its record ID (record number - 1) and carries the
// four cell texts the user edits; nothing is written until saveRows, except
// a deletion, which is written at once.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "database/database.h"

namespace cm3::history {

// One row as the grid shows it. Texts are 8-bit.
struct HistoryRow {
  int32_t recordId = -1;
  std::string season, club, apps, goals;
  // The club the club text was taken from (the stored club ID at load, the
  // chosen list item after an edit). It decides between clubs whose names
  // share a beginning, and keeps a stored ID that names no known club.
  int32_t clubId = -1;
};

// The rows of `personId` in file order. Only records that lie wholly in the
// file are looked at, and each row is tied to the record it was found in.
// No limit on the number of rows.
std::vector<HistoryRow> loadRows(const Database& db, int32_t personId);

// Record IDs of the rows of `personId`, in file order.
std::vector<int32_t> findRecords(const Database& db, int32_t personId);

// The club cell for a club ID: the club's name, or empty for -1 and for an
// ID outside the club list.
std::string clubText(const std::vector<std::string>& clubNames, int32_t clubId);

// The club for a club cell: `hint` when it is a club whose name is exactly
// the text; otherwise, for a non-empty text, the first club whose name
// begins with the text ignoring case; -1 when none (an empty text matches
// no club).
int32_t findClub(const std::vector<std::string>& clubNames, std::string_view text, int32_t hint = -1);

// Ties a new row to a new record just past the last one: returns the
// record count of staff_history.dat and raises it by one. The file grows
// when the row is saved or deleted.
int32_t addRecord(Database& db);

// Writes person -1 into record `recordId` at once (the record is created
// when it lies past the end of the file). Throws FileError or ValueError.
void deleteRecord(Database& db, int32_t recordId);

// Writes every row for `personId`, in order, each into its own record: the
// stored record is read first so that the byte at offset 14 is kept; record
// ID, person ID, season, club, apps and goals are replaced. A row whose
// season, apps or goals is not a whole decimal number in range (season
// -32768..32767, apps and goals 0..255; spaces around it allowed, as for the
// person boxes) stops the save with ValueError before any row is written.
// A club text matching no club saves -1;
// an empty club text keeps a stored ID that names no known club.
void saveRows(Database& db, int32_t personId, const std::vector<HistoryRow>& rows,
              const std::vector<std::string>& clubNames);

// Writes one history record as record `recordId` + 1. Records between the
// end of the file and it are written as deleted rows (own ID, person -1),
// so that a gap never reads as a row of person 0.
void writeRecord(Database& db, int32_t recordId, const HistoryRecord& record);

}  // namespace cm3::history
