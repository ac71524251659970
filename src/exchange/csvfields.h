// The field-table columns of an export, which import takes back: after the
// columns for reading, every field of the records behind a row, headed
// "<record>.<field>" ("staff.Wage", "att.Attributes[3]"), numbers in
// decimal, texts in UTF-8, kept bytes in hex. A cell of a record a row does
// not have (the player attributes of a non-player) is empty.
#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "database/database.h"
#include "diff/diff.h"

namespace cm3::exchange {

struct CsvSource {
  std::string_view prefix;  // "staff", "att", ...
  int slot;
  // The record of row `row` in this source's file, -1 when the row has none.
  int64_t (*record)(const Database& db, int64_t row);
};

// The sources of an export kind (people, clubs, nations, comps).
std::span<const CsvSource> csvSources(std::string_view what);

// One field-table column: its source, table entry and element.
struct CsvColumn {
  const CsvSource* source;
  const diff::RecordFile* file;
  const FieldInfo* field;
  int element;
  std::string name;
};
std::vector<CsvColumn> csvColumns(std::string_view what);

// The cell of a column for row `row`.
std::string csvValue(const Database& db, const CsvColumn& c, int64_t row);

}  // namespace cm3::exchange
