// make-sample, info, check, search, show and recover.
#include "cli/commands.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <iostream>

#include "cli/common.h"
#include "cli/recordjson.h"
#include "cli/session.h"
#include "sample/generator.h"
#include "search/check.h"
#include "search/namesearch.h"

namespace cm3::cli {
namespace {

void print(const Json& j) { std::cout << j.dump(2) << '\n'; }

std::string fileName(std::string_view gamePath) {
  size_t cut = gamePath.find_last_of("\\/");
  return std::string(cut == std::string_view::npos ? gamePath : gamePath.substr(cut + 1));
}

// Index entries the editor uses, with what each describes.
struct UsedEntry {
  int entry;
  const char* describes;
};
constexpr UsedEntry kUsedEntries[] = {
    {kEntryClubs, "club.dat"},
    {kEntryStadiums, "stadium.dat"},
    {kEntryPeople, "staff.dat section 1: people, 157 bytes each"},
    {kEntrySection2, "staff.dat section 2: 8-byte entries"},
    {kEntrySection3, "staff.dat section 3: StaffAttRecords, 68 bytes"},
    {kEntrySection4, "staff.dat section 4: PlayerAttRecords, 70 bytes"},
    {kEntryFirstNames, "first_names.dat"},
    {kEntrySecondNames, "second_names.dat"},
    {kEntryCommonNames, "common_names.dat"},
};

template <class R, int Slot>
Json recordJson(Database& db, int64_t id, const char* what) {
  if (id < 0 || !db.has<R>(Slot, id + 1)) throw CliError("No such " + std::string(what) + ": " + std::to_string(id));
  return toJson(db.read<R>(Slot, id + 1));
}

Json person(Database& db, int64_t id, const char*) { return personJson(db, id); }

// The record kinds of show, with the word its refusal names them by.
struct ShownKind {
  std::string_view kind;
  const char* what;
  Json (*json)(Database&, int64_t, const char*);
};
constexpr ShownKind kShownKinds[] = {
    {"person", "person", person},
    {"club", "club", recordJson<ClubRecord, kSlotClub>},
    {"stadium", "stadium", recordJson<StadiumRecord, kSlotStadium>},
    {"nation", "nation", recordJson<NationRecord, kSlotNation>},
    {"continent", "continent", recordJson<ContinentRecord, kSlotContinent>},
    {"comp", "competition", recordJson<CompRecord, kSlotComp>},
    {"history", "history row", recordJson<HistoryRecord, kSlotHistory>},
    {"city", "city", recordJson<CityRecord, kSlotCity>},
    {"colour", "colour", recordJson<ColourRecord, kSlotColour>},
};

}  // namespace

int cmdMakeSample(const std::string& dir, const std::string& presetName, uint64_t seed) {
  sample::Preset p;
  if (!sample::presetByName(presetName, p)) throw CliError("Unknown preset \"" + presetName + "\" (small or full)", 2);
  sample::generate(dir, p, seed);
  Json j = Json::object();
  j["dir"] = dir;
  j["preset"] = presetName;
  j["seed"] = seed;
  j["people"] = p.people;
  j["players"] = p.players;
  j["clubs"] = p.clubs;
  j["nations"] = p.nations;
  j["continents"] = p.continents;
  j["comps"] = p.comps;
  j["stadiums"] = p.stadiums;
  j["cities"] = p.cities;
  j["colours"] = p.colours;
  j["history"] = p.history;
  j["firstNames"] = p.firstNames;
  j["secondNames"] = p.secondNames;
  j["commonNames"] = p.commonNames;
  print(j);
  return 0;
}

int cmdInfo(const std::string& gameDir) {
  Session s(gameDir);
  Database& db = s.db();
  Json j = Json::object();
  j["GameDir"] = gameDir;
  j["PeopleCount"] = db.PeopleCount();

  Json files = Json::array();
  for (const GameFileInfo& f : kGameFiles) {
    Json e = Json::object();
    e["file"] = fileName(f.path);
    e["RecordLength"] = db.RecordLength[size_t(f.file)];
    e["RecordCount"] = db.recordCount(f.file);
    e["bytes"] = db.file(f.slot).size();
    files.push_back(e);
  }
  j["files"] = files;

  const SectionTable t = db.sections();
  const int64_t staffBytes = int64_t(db.file(kSlotStaffBytes).size());
  Json sections = Json::object();
  sections["N8"] = t.N8;
  sections["N9"] = t.N9;
  sections["N10"] = t.N10;
  sections["N11"] = t.N11;
  sections["A"] = t.A;
  sections["B"] = t.B;
  sections["C"] = t.C;
  sections["D"] = t.D;
  sections["staffBytes"] = staffBytes;
  sections["tailBytes"] = staffBytes - t.D;
  j["sections"] = sections;

  Json entries = Json::array();
  for (const UsedEntry& u : kUsedEntries) {
    const IndexRecord r = db.readIndex(u.entry);
    Json e = Json::object();
    e["entry"] = u.entry;
    e["describes"] = u.describes;
    e["EntryName"] = utf8(r.EntryName());
    e["Count"] = r.Count();
    e["Position"] = r.Position();
    entries.push_back(e);
  }
  j["index"] = entries;
  s.close();
  print(j);
  return 0;
}

int cmdCheck(const std::string& gameDir) {
  search::CheckReport report;
  // Any working file is reported; only a complete set keeps the database
  // closed (opening would make new working files over its edits).
  Session s(gameDir, Session::Leftovers::KeepClosed, [&] { search::checkLeftoverFiles(gameDir, report); });
  const bool opened = s.isOpen();
  if (opened) {
    search::checkDatabase(s.db(), report);
    s.close();
  }

  Json j = Json::object();
  j["GameDir"] = gameDir;
  j["checked"] = opened;
  j["clean"] = report.clean();
  j["total"] = report.total();
  Json counts = Json::object();
  for (std::string_view name : search::checkNames())
    if (report.count(name) > 0) counts[std::string(name)] = report.count(name);
  j["counts"] = counts;
  Json findings = Json::array();
  for (const search::Finding& f : report.findings) {
    Json e = Json::object();
    e["check"] = f.check;
    e["file"] = f.file;
    e["record"] = f.record;
    e["message"] = utf8(f.message);
    findings.push_back(e);
  }
  j["findings"] = findings;
  if (!opened) j["note"] = leftoverMessage(gameDir, s.leftovers());
  print(j);
  if (!report.clean())
    std::fprintf(stderr, "cm3db check: %lld problem(s) found\n", static_cast<long long>(report.total()));
  return report.clean() ? 0 : 1;
}

int cmdSearch(const std::string& gameDir, const std::string& pattern) {
  const std::string key = fromUtf8Strict(pattern);
  Session s(gameDir);
  Database& db = s.db();
  const std::vector<int> rows = search::findNames(db.PersonNameTable, db.PeopleCount(), key, kSearchLimit);
  std::string out;
  for (int id : rows) {
    Json e = Json::object();
    e["PersonId"] = id;
    e["name"] = utf8(db.personName(id));
    out += e.dump() + '\n';
  }
  s.close();
  std::cout << out;
  if (int(rows.size()) >= kSearchLimit) std::fprintf(stderr, "500 Matches , please refine search\n");
  return 0;
}

int cmdShow(const std::string& gameDir, const std::string& kind, int64_t id) {
  Session s(gameDir);
  Database& db = s.db();
  const auto* k = std::find_if(std::begin(kShownKinds), std::end(kShownKinds),
                               [&](const ShownKind& sk) { return sk.kind == kind; });
  if (k == std::end(kShownKinds)) throw CliError("Unknown record kind \"" + kind + "\"", 2);
  const Json j = k->json(db, id, k->what);
  s.close();
  print(j);
  return 0;
}

int cmdRecover(const std::string& gameDir) {
  Database db;
  if (!db.beginOpen(gameDir)) throw CliError(db.OpenError.empty() ? kWrongPathMessage : db.OpenError);
  if (!Database::hasLeftoverWorkingFiles(gameDir)) {
    db.close();
    throw CliError("There are no working files of an unclosed run to fold back.");
  }
  db.recoverLeftovers();
  db.close();
  Json j = Json::object();
  j["GameDir"] = gameDir;
  j["recovered"] = true;
  print(j);
  return 0;
}

}  // namespace cm3::cli
