// Records to and from CSV files: the export of people, clubs, nations and
// competitions, and the import that takes an edited export back.
#pragma once
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "database/database.h"
#include "diff/patch.h"

namespace cm3::exchange {

// The kinds of record an export or import handles.
inline constexpr std::string_view kKinds[] = {"people", "clubs", "nations", "comps"};

// Writes the export of `what` (one of kKinds): a header row, then one row per
// record. False for another `what`.
bool exportCsv(Database& db, std::string_view what, std::ostream& out);

struct ImportResult {
  // The refused cells, each "FILE:LINE: column NAME: message"; when there are
  // any, nothing was written.
  std::vector<std::string> errors;
  size_t records = 0, cells = 0;  // what changed (or would change)
  // The changes as a patch: after a dry run, diff::apply writes them.
  diff::Result patch;
};

// Takes back the CSV text of an export of `what` (`fileName` names it in the
// messages): rows matched by the identifier in the first column, every
// field-table column ("staff.Wage") that differs from the files written, all
// or nothing, as one action of the journal. With `dryRun` nothing is written
// and the result tells what would change.
ImportResult importCsv(Database& db, std::string_view what, std::string_view text, const std::string& fileName,
                       bool dryRun = false);

// The plan of the import of the file at `path`, from a dry run: refused when
// the file cannot be read, with the refused cells when there are any, or
// when no cell changes a field; else the question with the counts.
diff::Plan planImport(Database& db, std::string_view what, const std::string& path);

}  // namespace cm3::exchange
