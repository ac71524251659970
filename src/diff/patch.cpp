#include "diff/patch.h"

#include "records/boxrules.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>

#include "database/catalogue.h"
#include "database/errors.h"
#include "database/journal.h"
#include "database/textfile.h"
#include "records/convert.h"
#include "records/cp1252.h"
#include "search/check.h"

namespace cm3::diff {

namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kFormat = "cm3 patch";
constexpr int kVersion = 1;

Json jsonValue(const FieldValue& v, bool kept) {
  if (const auto* n = std::get_if<int64_t>(&v)) return *n;
  if (const auto* d = std::get_if<double>(&v)) return *d;
  return valueText(v, kept);
}

[[noreturn]] void bad(const std::string& what) { throw ValueError("Not a usable patch: " + what); }

// "Attributes[3]" -> the table entry and its element 3; a list held in
// several runs counts its elements on through the runs.
std::pair<const FieldInfo*, int> fieldOf(FieldTable t, const std::string& name) {
  const size_t open = name.find('[');
  if (open == std::string::npos || name.back() != ']') {
    const FieldInfo* f = findField(t, name);
    return {f && !f->array ? f : nullptr, 0};
  }
  const std::string base = name.substr(0, open);
  const auto n = parseWhole(name.substr(open + 1, name.size() - open - 2), 0, 65535);
  if (!n) return {nullptr, 0};
  int k = int(*n);
  for (const FieldInfo& f : t) {
    if (!f.array || f.name != base) continue;
    if (k < f.count) return {&f, k};
    k -= f.count;
  }
  return {nullptr, 0};
}

FieldValue valueOf(const Json& j, const FieldInfo& f, const std::string& where) {
  if (f.integer()) {
    if (!j.is_number_integer()) bad(where + ": a whole number is expected");
    return FieldValue(j.get<int64_t>());
  }
  if (f.type == FieldType::F64) {
    if (!j.is_number()) bad(where + ": a number is expected");
    return FieldValue(j.get<double>());
  }
  if (!j.is_string()) bad(where + ": a text is expected");
  const std::string s = j.get<std::string>();
  if (f.type == FieldType::Bytes || f.kept) {
    auto nibble = [&](char c) -> int {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      if (c >= 'A' && c <= 'F') return c - 'A' + 10;
      bad(where + ": kept bytes are written in hex");
    };
    if (s.size() % 2) bad(where + ": kept bytes are written in hex");
    std::string bytes;
    for (size_t i = 0; i < s.size(); i += 2) bytes += char(nibble(s[i]) * 16 + nibble(s[i + 1]));
    return FieldValue(bytes);
  }
  if (!cp1252::representable(s)) bad(where + ": the text has characters the files cannot hold");
  return FieldValue(cp1252::fromUtf8(s));
}

std::vector<std::string> describeAll(const std::vector<Conflict>& conflicts) {
  std::vector<std::string> lines;
  for (const Conflict& c : conflicts) lines.push_back(describe(c));
  return lines;
}

}  // namespace

std::string toJson(const Result& r) {
  Json records = Json::array();
  for (const RecordChange& c : r.records) {
    Json fields = Json::array();
    for (const FieldChange& f : c.fields) {
      Json e = Json::object();
      e["field"] = f.field;
      if (c.kind != RecordChange::Kind::Added) e["old"] = jsonValue(f.before, f.kept);
      if (c.kind != RecordChange::Kind::Removed) e["new"] = jsonValue(f.after, f.kept);
      if (f.kept) e["kept"] = true;
      fields.push_back(std::move(e));
    }
    Json e = Json::object();
    e["file"] = c.file;
    e["id"] = c.id;
    e["label"] = cp1252::toUtf8(c.label);
    e["kind"] = kindName(c.kind);
    e["fields"] = std::move(fields);
    records.push_back(std::move(e));
  }
  Json out = Json::object();
  out["format"] = kFormat;
  out["version"] = kVersion;
  out["records"] = std::move(records);
  out["problems"] = r.problems;
  return out.dump(2) + "\n";
}

Result fromJson(std::string_view text) {
  const Json j = Json::parse(text, nullptr, false);
  if (j.is_discarded() || !j.is_object()) bad("not JSON");
  if (j.value("format", "") != kFormat || j.value("version", 0) != kVersion) bad("not a cm3 patch of version 1");
  if (!j.contains("records") || !j["records"].is_array()) bad("no record list");
  Result r;
  for (const Json& rec : j["records"]) {
    RecordChange c;
    if (!rec.is_object() || !rec.contains("file") || !rec["file"].is_string() || !rec.contains("id") ||
        !rec["id"].is_number_integer() || !rec.contains("fields") || !rec["fields"].is_array())
      bad("a record without file, id or fields");
    c.file = rec["file"].get<std::string>();
    c.id = rec["id"].get<int64_t>();
    const std::string where = c.file + " " + std::to_string(c.id);
    const RecordFile* file = recordFile(c.file);
    if (!file) bad(where + ": no such record file");
    const std::string kind = rec.value("kind", "changed");
    if (kind == "added")
      c.kind = RecordChange::Kind::Added;
    else if (kind == "removed")
      c.kind = RecordChange::Kind::Removed;
    else if (kind != "changed")
      bad(where + ": kind " + kind);
    if (rec.contains("label") && rec["label"].is_string()) c.label = cp1252::fromUtf8(rec["label"].get<std::string>());
    for (const Json& fj : rec["fields"]) {
      if (!fj.is_object() || !fj.contains("field") || !fj["field"].is_string()) bad(where + ": a field without name");
      FieldChange fc;
      fc.field = fj["field"].get<std::string>();
      const auto [f, k] = fieldOf(file->fields, fc.field);
      if (!f) bad(where + ": no field " + fc.field);
      fc.kept = f->kept || f->type == FieldType::Bytes;
      const std::string at = where + " " + fc.field;
      if (c.kind != RecordChange::Kind::Added) {
        if (!fj.contains("old")) bad(at + ": no old value");
        fc.before = valueOf(fj["old"], *f, at);
      }
      if (c.kind != RecordChange::Kind::Removed) {
        if (!fj.contains("new")) bad(at + ": no new value");
        fc.after = valueOf(fj["new"], *f, at);
      }
      c.fields.push_back(std::move(fc));
    }
    r.records.push_back(std::move(c));
  }
  return r;
}

bool blocks(const std::vector<Conflict>& conflicts, bool force) {
  return std::any_of(conflicts.begin(), conflicts.end(), [&](const Conflict& c) { return c.refused || !force; });
}

std::string describe(const Conflict& c) {
  return c.file + " " + std::to_string(c.id) + (c.field.empty() ? "" : " " + c.field) + ": " + c.message;
}

size_t changedFields(const Result& patch) {
  size_t n = 0;
  for (const RecordChange& c : patch.records) n += c.fields.size();
  return n;
}

Plan planPatch(Database& db, const std::string& path) {
  Plan plan;
  plan.label = "Apply patch";
  Result patch;
  try {
    patch = fromJson(readTextFile(path));
  } catch (const std::exception& e) {
    plan.refusal = "Not a patch.";
    plan.problems = {e.what()};
    return plan;
  }
  const std::vector<Conflict> conflicts = apply(db, patch, false, {}, true);
  plan.problems = describeAll(conflicts);
  const std::string counts =
      std::to_string(changedFields(patch)) + " fields in " + std::to_string(patch.records.size()) + " records";
  if (blocks(conflicts, true)) {
    plan.refusal = "The patch cannot be applied.";
  } else if (!conflicts.empty()) {
    plan.force = true;
    plan.question = std::to_string(conflicts.size()) +
                    " fields do not hold the patch's old value. Apply the patch (" + counts + ") and write over them?";
  } else {
    plan.question = "Apply the patch: " + counts + "?";
  }
  plan.patch = std::move(patch);
  return plan;
}

std::vector<std::string> write(Database& db, const Plan& plan) {
  const std::vector<Conflict> conflicts = apply(db, plan.patch, plan.force, plan.label);
  return blocks(conflicts, plan.force) ? describeAll(conflicts) : std::vector<std::string>();
}

std::string firstLines(const std::vector<std::string>& lines) {
  constexpr size_t kShown = 10;
  std::string text;
  for (size_t i = 0; i < lines.size() && i < kShown; ++i) text += (i ? "\n" : "") + lines[i];
  if (lines.size() > kShown) text += "\n… and " + std::to_string(lines.size() - kShown) + " more";
  return text;
}

std::vector<Conflict> apply(Database& db, const Result& patch, bool force, const std::string& label, bool dryRun) {
  struct Write {
    const RecordFile* file;
    int slot;
    int64_t id;
    std::vector<uint8_t> bytes;
  };
  std::vector<Conflict> conflicts;
  std::vector<Write> writes;
  // Records each file will hold once the writes before are made.
  std::map<int, int64_t> counts;

  for (const RecordChange& c : patch.records) {
    const RecordFile* file = recordFile(c.file);
    if (!file) {
      conflicts.push_back({c.file, c.id, "", "no such record file", true});
      continue;
    }
    const size_t size = file->fields.back().end();
    if (!counts.count(file->slot)) {
      int64_t n = db.slotOpen(file->slot) ? int64_t(db.file(file->slot).size() / size) : 0;
      if (file->section) n = std::min(n, db.sections().*file->section);
      counts[file->slot] = n;
    }
    int64_t& count = counts[file->slot];
    if (c.kind == RecordChange::Kind::Removed) {
      conflicts.push_back({c.file, c.id, "", "a patch cannot remove records", true});
      continue;
    }
    std::vector<uint8_t> bytes(size, 0);
    const bool exists = c.id >= 0 && c.id < count;
    if (c.kind == RecordChange::Kind::Changed || exists) {
      if (!exists) {
        conflicts.push_back({c.file, c.id, "", "no such record", true});
        continue;
      }
      if (const uint8_t* p = db.peek(file->slot, c.id + 1, size)) std::copy(p, p + size, bytes.begin());
      for (const Write& w : writes)
        if (w.slot == file->slot && w.id == c.id) bytes = w.bytes;
      if (c.kind == RecordChange::Kind::Added)
        conflicts.push_back({c.file, c.id, "", "the record to add is there already", false});
    } else if (c.id != count) {
      conflicts.push_back({c.file, c.id, "", "a record is added after the last one (" + std::to_string(count) + ")",
                           true});
      continue;
    }
    for (const FieldChange& fc : c.fields) {
      const auto [f, k] = fieldOf(file->fields, fc.field);
      if (!f) {
        conflicts.push_back({c.file, c.id, fc.field, "no such field", true});
        continue;
      }
      if (c.kind == RecordChange::Kind::Changed && getField(bytes.data(), *f, k) != fc.before)
        conflicts.push_back({c.file, c.id, fc.field,
                             "holds " + valueText(getField(bytes.data(), *f, k), fc.kept) + ", not " +
                                 valueText(fc.before, fc.kept),
                             false});
      try {
        setField(bytes.data(), *f, fromBox(file->fields, *f, fc.after, fc.field), k);
      } catch (const std::exception& e) {
        conflicts.push_back({c.file, c.id, fc.field, e.what(), true});
      }
    }
    if (c.id >= count) count = c.id + 1;
    writes.push_back({file, file->slot, c.id, std::move(bytes)});
  }

  if (blocks(conflicts, force) || dryRun) return conflicts;

  db.checkFilesPresent();
  // The world's rules (squad slots and ClubId, index counts, references)
  // hold afterwards wherever they held before, whatever the patch wrote:
  // otherwise the action is taken back.
  const search::CheckReport before = search::checkDatabase(db);
  {
    JournalAction action(db, label);
    for (const Write& w : writes) w.file->write(db, w.slot, w.id + 1, w.bytes.data());
    for (const GameFileInfo& g : kGameFiles) {
      auto it = counts.find(g.slot);
      if (it != counts.end() && g.recordLength > 0 && g.file != GameFile::Staff && g.file != GameFile::StaffAtt &&
          g.file != GameFile::StaffAtt2)
        db.recordCount(g.file) = std::max(db.recordCount(g.file), it->second);
    }
    db.loadNameLists();
    db.buildPersonNameTable();
  }
  const search::CheckReport after = search::checkDatabase(db);
  std::vector<Conflict> broken;
  for (const auto& [name, n] : after.counts) {
    const std::string& rule = name;  // a lambda cannot capture a structured binding in every compiler
    if (n <= before.count(rule)) continue;
    const auto f = std::find_if(after.findings.begin(), after.findings.end(),
                                [&](const search::Finding& x) { return x.check == rule; });
    broken.push_back({f == after.findings.end() ? std::string() : f->file, f == after.findings.end() ? 0 : f->record - 1,
                      "", "would break the rule " + rule + " (" + std::to_string(n - before.count(rule)) +
                              " more, such as: " + (f == after.findings.end() ? "" : f->message) + ")",
                      true});
  }
  if (!broken.empty()) {
    db.takeBack();
    conflicts.insert(conflicts.end(), broken.begin(), broken.end());
  }
  return conflicts;
}

}  // namespace cm3::diff
