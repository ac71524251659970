// Patches: the differences of a compare, written as JSON and applied to
// another copy of the database. A changed field carries its old and new
// value; an added record every field. Applying is all or nothing: a field
// whose value is not the patch's old value is a conflict, and nothing is
// written unless conflicts are forced; a value a field cannot hold is always
// refused.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "diff/diff.h"

namespace cm3::diff {

// The JSON text of a compare: {"format": "cm3 patch", "version": 1,
// "records": [...], "problems": [...]}; texts are UTF-8, kept bytes hex.
std::string toJson(const Result& r);
// Reads that text back. Throws ValueError naming what is wrong with it.
Result fromJson(std::string_view json);

struct Conflict {
  std::string file;
  int64_t id = 0;
  std::string field;  // empty for the record as a whole
  std::string message;
  bool refused = false;  // a value the field cannot hold: never forced
};

// Whether `conflicts` stop a patch from being written: any refused value, or
// any conflict at all without `force`.
bool blocks(const std::vector<Conflict>& conflicts, bool force);

// "<file> <id> <field>: <message>", as the conflict is reported.
std::string describe(const Conflict& c);

// Applies `patch` to `db`. Returns the conflicts; when there are any that
// are not forced (all of them without `force`, refused values always),
// nothing has been written. A patch that would break a rule of the world
// that held before (a squad slot and its person's ClubId, an index count, a
// reference; see search/check.h) is taken back after writing and reported as
// refused. Afterwards the counts and name lists of `db` follow the files.
// The writes are one action of the session's journal, labelled `label`.
// With `dryRun` nothing is written: the conflicts tell whether it would be.
std::vector<Conflict> apply(Database& db, const Result& patch, bool force, const std::string& label = "Apply patch",
                            bool dryRun = false);

// Fields changed and records added by a patch.
size_t changedFields(const Result& patch);

}  // namespace cm3::diff
