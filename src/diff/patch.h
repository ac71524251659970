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

// What a front end does with a patch (or an import) before it writes it:
// either says why it cannot, or asks a question and, on yes, writes.
struct Plan {
  Result patch;
  std::string label;     // of the journal action
  std::string refusal;   // when set, nothing is to be written and this is said
  std::string question;  // otherwise, asked before writing
  bool force = false;    // the writing goes over the conflicts
  // One line each: why it is refused, or the conflicts the writing goes over.
  std::vector<std::string> problems;
};

// The plan of applying the patch in the file at `path` to `db`, found by a
// dry run: refused when the file holds no patch or a value cannot be stored
// even forced, else the question, which counts the conflicts to write over.
Plan planPatch(Database& db, const std::string& path);

// Writes the patch of `plan` as one action of the journal. Returns what kept
// it from being written (the files changed since it was planned, a rule of
// the world it would break), one line each; empty when it was written.
std::vector<std::string> write(Database& db, const Plan& plan);

// The first ten of `lines` for a message, one a line, then "… and N more".
std::string firstLines(const std::vector<std::string>& lines);

}  // namespace cm3::diff
