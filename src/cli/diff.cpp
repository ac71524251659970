// cm3db diff A B: what differs between two game directories.
#include <cstdio>
#include <filesystem>
#include <memory>

#include "cli/commands.h"
#include "cli/common.h"
#include "cli/session.h"
#include "diff/diff.h"

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

Json jsonValue(const FieldValue& v, bool kept) {
  if (const auto* n = std::get_if<int64_t>(&v)) return *n;
  if (const auto* d = std::get_if<double>(&v)) return *d;
  return diff::valueText(v, kept);
}

const char* kindName(diff::RecordChange::Kind k) {
  switch (k) {
    case diff::RecordChange::Kind::Added: return "added";
    case diff::RecordChange::Kind::Removed: return "removed";
    case diff::RecordChange::Kind::Changed: break;
  }
  return "changed";
}

void printText(const diff::Result& r) {
  for (const diff::RecordChange& c : r.records) {
    std::string line = c.file + " " + std::to_string(c.id);
    if (!c.label.empty()) line += " \"" + utf8(c.label) + "\"";
    if (c.kind != diff::RecordChange::Kind::Changed) {
      line += std::string(": ") + kindName(c.kind);
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

void printJson(const diff::Result& r) {
  Json records = Json::array();
  for (const diff::RecordChange& c : r.records) {
    Json fields = Json::array();
    for (const diff::FieldChange& f : c.fields) {
      Json e = Json::object();
      e["field"] = f.field;
      if (c.kind != diff::RecordChange::Kind::Added) e["old"] = jsonValue(f.before, f.kept);
      if (c.kind != diff::RecordChange::Kind::Removed) e["new"] = jsonValue(f.after, f.kept);
      if (f.kept) e["kept"] = true;
      fields.push_back(std::move(e));
    }
    Json e = Json::object();
    e["file"] = c.file;
    e["id"] = c.id;
    e["label"] = utf8(c.label);
    e["kind"] = kindName(c.kind);
    e["fields"] = std::move(fields);
    records.push_back(std::move(e));
  }
  Json out = Json::object();
  out["records"] = std::move(records);
  out["problems"] = r.problems;
  std::printf("%s\n", out.dump(2).c_str());
}

}  // namespace

int cmdDiff(const std::string& dirA, const std::string& dirB, bool json) {
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
  json ? printJson(result) : printText(result);
  return result.same() ? 0 : 1;
}

}  // namespace cm3::cli
