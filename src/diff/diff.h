// What differs between two game databases, record by record and field by
// field, with the field names of the records' field tables.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "database/database.h"
#include "records/fields.h"

namespace cm3::diff {

struct FieldChange {
  std::string field;  // the field table's name; an array element as Name[k]
  FieldValue before, after;
  bool kept = false;  // bytes the editor does not interpret
};

struct RecordChange {
  enum class Kind { Changed, Added, Removed };
  Kind kind = Kind::Changed;
  std::string file;   // the game file, as the game names it ("\Data\staff.dat")
  int64_t id = 0;     // identifier: record number - 1
  std::string label;  // the person's, club's, nation's ... name, 8-bit text; may be empty
  std::vector<FieldChange> fields;  // Changed: the fields that differ; Added: every field of the new record
};

struct Result {
  std::vector<RecordChange> records;
  // Files that cannot be compared field by field (bytes of a file without
  // records, a partial record at the end): one line each.
  std::vector<std::string> problems;
  bool same() const { return records.empty() && problems.empty(); }
};

// A record file of an open database with its field table, the list that
// names its records (null: none), and, for the sections of staff.dat, the
// count of its records in the section table.
struct RecordFile {
  int slot;
  FieldTable fields;
  const std::vector<std::string> Database::*names;
  int64_t SectionTable::*section;
  // Writes record n (1-based) of the file from its bytes, as its record type.
  void (*write)(Database& db, int slot, int64_t n, const uint8_t* bytes);
};
std::span<const RecordFile> recordFiles();
// The record file under a game path as compare writes it; null when none.
const RecordFile* recordFile(std::string_view path);

// Compares two open databases. People and every other record are matched by
// identifier, which the editor keeps equal to the record's place in its file.
Result compare(const Database& a, const Database& b);

// The name of element k of table entry f: the field's name, "Name[k]" for a
// list, counting on through a list held in several runs.
std::string fieldName(FieldTable t, const FieldInfo& f, int k);

// "changed", "added" or "removed", as text and patches name a change.
const char* kindName(RecordChange::Kind k);

// A value as text: numbers in decimal, texts as UTF-8, kept bytes in hex.
std::string valueText(const FieldValue& v, bool kept);

}  // namespace cm3::diff
