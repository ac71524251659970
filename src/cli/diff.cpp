// cm3db diff A B: what differs between two game directories.
#include <cstdio>
#include <filesystem>
#include <memory>

#include "cli/commands.h"
#include "cli/common.h"
#include "cli/session.h"
#include "database/errors.h"
#include "database/textfile.h"
#include "diff/diff.h"
#include "diff/patch.h"

namespace cm3::cli {

namespace {

// An open of either directory that fails is a command line that cannot be used.
std::unique_ptr<Session> openForDiff(const std::string& dir) {
  try {
    return std::make_unique<Session>(dir);
  } catch (const CliError& e) {
    throw CliError(e.what(), 2);
  } catch (const std::exception& e) {
    throw CliError(dir + ": " + e.what(), 2);
  }
}

void printText(const diff::Result& r) {
  for (const diff::RecordChange& c : r.records) {
    std::string line = c.file + " " + std::to_string(c.id);
    if (!c.label.empty()) line += " \"" + utf8(c.label) + "\"";
    if (c.kind != diff::RecordChange::Kind::Changed) {
      line += std::string(": ") + diff::kindName(c.kind);
    } else {
      const char* sep = ": ";
      for (const diff::FieldChange& f : c.fields) {
        line += sep + f.field + " " + diff::valueText(f.before, f.kept) + " -> " + diff::valueText(f.after, f.kept);
        sep = ", ";
      }
    }
    std::printf("%s\n", line.c_str());
  }
  for (const std::string& p : r.problems) std::printf("%s\n", p.c_str());
}

}  // namespace

int cmdDiff(const std::string& dirA, const std::string& dirB, bool json, const std::string& patchFile) {
  std::error_code ec;
  diff::Result result;
  // One directory cannot be opened twice at once; it equals itself.
  if (!std::filesystem::equivalent(dirA, dirB, ec)) {
    auto a = openForDiff(dirA);
    auto b = openForDiff(dirB);
    result = diff::compare(a->db(), b->db());
    a->discard();
    b->discard();
  }
  // The patch text is made once for the file and the JSON output.
  const std::string patch = patchFile.empty() && !json ? std::string() : diff::toJson(result);
  try {
    if (!patchFile.empty()) writeTextFile(patchFile, patch);
  } catch (const FileError& e) {
    throw CliError(e.what(), 2);  // exit code 1 says "different"
  }
  if (json)
    std::fputs(patch.c_str(), stdout);
  else
    printText(result);
  return result.same() ? 0 : 1;
}

int cmdApply(const std::string& gameDir, const std::string& patchFile, bool force) {
  const diff::Result patch = diff::fromJson(readTextFile(patchFile));
  Session s(gameDir);
  const std::vector<diff::Conflict> conflicts = diff::apply(s.db(), patch, force);
  for (const diff::Conflict& c : conflicts) {
    std::fprintf(stderr, "%s\n", diff::describe(c).c_str());
  }
  if (diff::blocks(conflicts, force)) {
    s.discard();
    std::fprintf(stderr, "Nothing was written%s.\n", force ? "" : " (--force writes over conflicting fields)");
    return 1;
  }
  s.close();
  std::printf("%zu records changed or added\n", patch.records.size());
  return 0;
}

}  // namespace cm3::cli
