// Import: an exported CSV taken back after editing in a spreadsheet. Only the
// field-table columns ("staff.Wage") are read; rows are matched by their
// identifier in the first column; a cell that differs from the file is
// written, all or nothing, through the same rules as a patch.
#include <map>
#include <optional>
#include <tuple>

#include "database/errors.h"
#include "database/textfile.h"
#include "diff/patch.h"
#include "exchange/csv.h"
#include "exchange/csvfields.h"
#include "exchange/exchange.h"
#include "records/boxrules.h"
#include "records/convert.h"
#include "records/cp1252.h"

namespace cm3::exchange {

namespace {

struct Place {
  size_t line;
  std::string column;
};

// The cell as a value of the field, taken as the field's window box takes
// its text; the reason when it is not one.
std::optional<FieldValue> parseCell(const std::string& cell, const CsvColumn& c, const FieldValue& stored,
                                    std::string& why) {
  const FieldInfo& f = *c.field;
  if (f.kept || f.type == FieldType::Bytes) {
    std::string bytes;
    auto nibble = [](char c) {
      return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    };
    for (size_t i = 0; i + 1 < cell.size(); i += 2) {
      const int hi = nibble(cell[i]), lo = nibble(cell[i + 1]);
      if (hi < 0 || lo < 0) break;
      bytes += char(hi * 16 + lo);
    }
    if (bytes.size() * 2 == cell.size() && bytes.size() == f.width) return FieldValue(bytes);
    why = "kept bytes are " + std::to_string(f.width * 2) + " hex digits";
    return std::nullopt;
  }
  if (!cp1252::representable(cell)) {
    why = "the text has characters the files cannot hold";
    return std::nullopt;
  }
  try {
    return fromBox(c.file->fields, f, cp1252::fromUtf8(cell), stored, c.name);
  } catch (const RefusedValue& e) {
    why = e.what();
    return std::nullopt;
  }
}

// The journal label of an import of `what`.
std::string importLabel(std::string_view what) { return "Import " + std::string(what); }

}  // namespace

ImportResult importCsv(Database& db, std::string_view what, std::string_view text, const std::string& file,
                       bool dryRun) {
  ImportResult result;
  std::vector<std::string>& errors = result.errors;
  const std::vector<CsvColumn> columns = csvColumns(what);
  const std::vector<CsvRow> rows = readCsv(text);
  if (columns.empty() || rows.empty()) {
    errors.push_back(file + ": " + (columns.empty() ? "no such kind of record" : "no header row"));
    return result;
  }
  // Header cell -> field-table column.
  std::vector<const CsvColumn*> byCell(rows[0].cells.size(), nullptr);
  size_t mapped = 0;
  for (size_t i = 0; i < rows[0].cells.size(); ++i)
    for (const CsvColumn& c : columns)
      if (c.name == rows[0].cells[i]) byCell[i] = &c, ++mapped;
  if (mapped == 0) {
    errors.push_back(file + ": no field columns such as \"" + columns.front().name + "\" (export writes them)");
    return result;
  }
  const CsvColumn& first = columns.front();
  const int64_t count = what == "people" ? db.PeopleCount()
                                         : int64_t(db.file(first.source->slot).size() / first.file->fields.back().end());
  auto error = [&](size_t line, const std::string& column, const std::string& message) {
    errors.push_back(file + ":" + std::to_string(line) + ": column " + column + ": " + message);
  };

  diff::Result patch;
  std::map<std::tuple<std::string, int64_t, std::string>, Place> places;
  for (size_t r = 1; r < rows.size(); ++r) {
    const CsvRow& row = rows[r];
    if (row.cells.size() == 1 && row.cells[0].empty()) continue;  // a blank line
    const std::string& idCell = row.cells.empty() ? std::string() : row.cells[0];
    const auto id = parseWhole(idCell, 0, count - 1);
    if (!id) {
      error(row.line, rows[0].cells[0], "\"" + idCell + "\" is no record of " + std::string(what));
      continue;
    }
    std::map<int, diff::RecordChange> changes;  // by source slot
    for (size_t i = 0; i < byCell.size() && i < row.cells.size(); ++i) {
      const CsvColumn* c = byCell[i];
      if (!c) continue;
      const std::string& cell = row.cells[i];
      const int64_t record = c->source->record(db, *id);
      if (record < 0) {
        if (!cell.empty()) error(row.line, c->name, "this row has no " + std::string(c->source->prefix) + " record");
        continue;
      }
      const uint8_t* rec = db.peek(c->source->slot, record + 1, c->file->fields.back().end());
      if (!rec) continue;
      const FieldValue current = getField(rec, *c->field, c->element);
      // A cell as exported is left alone, whatever its box would make of it.
      if (cell == diff::valueText(current, c->field->kept || c->field->type == FieldType::Bytes)) continue;
      std::string why;
      const auto value = parseCell(cell, *c, current, why);
      if (!value) {
        error(row.line, c->name, why);
        continue;
      }
      if (current == *value) continue;
      diff::RecordChange& change = changes[c->source->slot];
      change.file = std::string(slotInfo(c->source->slot).path);
      change.id = record;
      diff::FieldChange fc;
      fc.field = diff::fieldName(c->file->fields, *c->field, c->element);
      fc.before = current;
      fc.after = *value;
      places[{change.file, record, fc.field}] = {row.line, c->name};
      change.fields.push_back(std::move(fc));
    }
    for (auto& [slot, change] : changes) patch.records.push_back(std::move(change));
  }

  if (errors.empty()) {
    for (const diff::Conflict& c : diff::apply(db, patch, false, importLabel(what), dryRun)) {
      const auto it = places.find({c.file, c.id, c.field});
      if (it != places.end())
        error(it->second.line, it->second.column, c.message);
      else
        errors.push_back(file + ": " + diff::describe(c));
    }
  }
  result.records = patch.records.size();
  result.cells = diff::changedFields(patch);
  result.patch = std::move(patch);
  return result;
}

diff::Plan planImport(Database& db, std::string_view what, const std::string& path) {
  diff::Plan plan;
  plan.label = importLabel(what);
  std::string text;
  try {
    text = readTextFile(path);
  } catch (const FileError&) {
    plan.refusal = path + " could not be read.";
    return plan;
  }
  ImportResult result = importCsv(db, what, text, path, true);
  if (!result.errors.empty())
    plan.refusal = "Nothing was imported.";
  else if (result.cells == 0)
    plan.refusal = "The file holds no change.";
  else
    plan.question = "Import " + std::to_string(result.cells) + " changed fields in " + std::to_string(result.records) +
                    " records?";
  plan.patch = std::move(result.patch);
  plan.problems = std::move(result.errors);
  return plan;
}

}  // namespace cm3::exchange
