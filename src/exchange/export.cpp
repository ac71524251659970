// Export: one CSV row per person, club, nation or competition.
#include <algorithm>
#include <charconv>
#include <functional>
#include <span>
#include <variant>
#include <ostream>

#include "exchange/exchange.h"
#include "exchange/csv.h"
#include "exchange/csvfields.h"
#include "people/person.h"
#include "records/cp1252.h"
#include "records/codelists.h"
#include "squads/squads.h"

namespace cm3::exchange {
namespace {

std::string utf8(std::string_view text8) { return cp1252::toUtf8(text8); }

using Row = std::vector<std::string>;

std::string num(int64_t v) { return std::to_string(v); }

std::string real(double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

// The name of list item `id` (UTF-8), empty for none or an id past the list.
std::string item(const std::vector<std::string>& names, int64_t id) {
  return id >= 0 && id < int64_t(names.size()) ? utf8(names[size_t(id)]) : std::string();
}

// The text of a code, or the number itself when the list has no such item.
std::string code(std::span<const std::string_view> list, int64_t v) {
  return v >= 0 && v < int64_t(list.size()) ? std::string(list[size_t(v)]) : num(v);
}

void people(Database& db, CsvWriter& csv) {
  Row head = {"PersonId", "FirstName", "SecondName", "CommonName", "NationId", "Nation", "SecondNationId",
              "SecondNation", "ClubId", "Club", "BirthYear", "Job", "Player"};
  for (const FormBox& b : people::kRatingBoxes) head.emplace_back(b.field);
  for (std::string_view p : codes::kPosition) head.emplace_back(p);
  for (std::string_view a : codes::kPlayerAttribute) head.emplace_back(a);
  for (std::string_view a : codes::kStaffAttribute) head.push_back("Staff " + std::string(a));
  csv.row(head);

  const int64_t people = db.PeopleCount();
  for (int64_t i = 0; i < people && db.has<StaffRecord>(kSlotStaff, i + 1); ++i) {
    const people::PersonForm f = people::loadPerson(db, int32_t(i));
    Row r = {num(i),
             utf8(f.firstName),
             utf8(f.secondName),
             utf8(f.commonName),
             f.nation >= 0 ? num(f.nation) : "",
             item(db.nationNames, f.nation),
             f.secondNation >= 0 ? num(f.secondNation) : "",
             item(db.nationNames, f.secondNation),
             f.clubId >= 0 ? num(f.clubId) : "",
             utf8(f.clubName),
             f.boxes.at("txtBirthyear"),
             code(codes::kClass, f.classCode),
             f.isPlayer ? "1" : "0"};
    for (const FormBox& b : people::kRatingBoxes) r.push_back(f.boxes.at(b.box));
    for (const std::string& p : f.positions) r.push_back(f.isPlayer ? p : "");
    for (const std::string& a : f.attributes) r.push_back(f.isPlayer ? a : "");
    for (const std::string& a : f.staffAttributes) r.push_back(f.isPlayer ? "" : a);
    csv.row(r);
  }
}

// The name of record `id` of the list a field refers to (UTF-8), empty for
// none or an identifier past the list.
std::string refName(const Database& db, FieldRef ref, int64_t id) {
  switch (ref) {
    case FieldRef::Nation: return item(db.nationNames, id);
    case FieldRef::Comp: return item(db.compNames, id);
    case FieldRef::Stadium: return item(db.stadiumNames, id);
    case FieldRef::Continent: return item(db.continentNames, id);
    case FieldRef::City: return item(db.cityNames, id);
    case FieldRef::Colour:
      return id >= 0 && id < int64_t(db.colours.size()) ? utf8(db.colours[size_t(id)].name) : std::string();
    default: return std::string();
  }
}

// A field written otherwise than by the rule of its type: left out, or as
// items of a code list. An array is written only with a ColumnRule, its
// elements headed by `element` and their number from 1.
struct ColumnRule {
  std::string_view field;
  std::span<const std::string_view> codes = {};
  std::string_view element = {};
  bool unsetIs255 = false;  // 255 is written as an empty cell
  bool skip = false;
};

// One world file as CSV: every field of its table in file order but the
// kept bytes, the arrays and the fields a ColumnRule leaves out. The record's
// own Id is its place in the file; a whole number or real stands as it is,
// a text in UTF-8; a field naming a record of a name list gives two columns,
// the identifier and the name (headed "NationId", "Nation").
template <class R>
void world(Database& db, CsvWriter& csv, int slot, GameFile file, std::span<const ColumnRule> rules,
           const std::function<void(const R&, Row&)>& extra = {}, const Row& extraHead = {}) {
  auto ruleOf = [&](const FieldInfo& f) -> const ColumnRule* {
    for (const ColumnRule& rule : rules)
      if (rule.field == f.name) return &rule;
    return nullptr;
  };
  auto wanted = [&](const FieldInfo& f) {
    const ColumnRule* rule = ruleOf(f);
    return !f.kept && (rule ? !rule->skip : !f.array);
  };
  Row head;
  for (const FieldInfo& f : R::kFields) {
    if (!wanted(f)) continue;
    const std::string name(f.name);
    const ColumnRule* rule = ruleOf(f);
    if (f.array) {
      for (int k = 0; k < f.count; ++k)
        head.push_back(std::string(rule->element) + std::to_string(k + 1));
    } else if (f.ref != FieldRef::None) {
      const bool id = name.size() > 2 && name.ends_with("Id");
      head.push_back(id ? name : name + "Id");
      head.push_back(id ? name.substr(0, name.size() - 2) : name);
    } else {
      head.push_back(name);
    }
  }
  head.insert(head.end(), extraHead.begin(), extraHead.end());
  csv.row(head);

  const int64_t n = db.recordCount(file);
  for (int64_t i = 0; i < n; ++i) {
    const R r = db.read<R>(slot, i + 1);
    Row row;
    for (const FieldInfo& f : R::kFields) {
      if (!wanted(f)) continue;
      const ColumnRule* rule = ruleOf(f);
      for (int k = 0; k < f.count; ++k) {
        const FieldValue v = getField(r.data(), f, k);
        if (const double* d = std::get_if<double>(&v)) {
          row.push_back(real(*d));
        } else if (const std::string* t = std::get_if<std::string>(&v)) {
          row.push_back(utf8(*t));
        } else {
          const int64_t x = std::get<int64_t>(v);
          if (rule && !rule->codes.empty())
            row.push_back(rule->unsetIs255 && x == 255 ? std::string() : code(rule->codes, x));
          else
            row.push_back(num(f.name == "Id" ? i : x));
          if (f.ref != FieldRef::None) row.push_back(refName(db, f.ref, x));
        }
      }
    }
    if (extra) extra(r, row);
    csv.row(row);
  }
}

void clubs(Database& db, CsvWriter& csv) {
  static constexpr ColumnRule rules[] = {{"Status", codes::kClubStatus},
                                         {"HomeMatchDay", codes::kHomeMatchDay, {}, true},
                                         {"OwnsStadiumFlag", {}, {}, false, true}};
  world<ClubRecord>(
      db, csv, kSlotClub, GameFile::Club, rules,
      [](const ClubRecord& r, Row& row) {
        const squads::StaffSlots staff = squads::decodeStaffSlots(r);
        row.push_back(num(squads::occupiedCount(squads::decodePlayerSlots(r))));
        row.push_back(num(std::count_if(staff.begin(), staff.end(), [](int32_t v) { return v >= 0; })));
      },
      {"Players", "Staff"});
}

void nations(Database& db, CsvWriter& csv) {
  static constexpr ColumnRule rules[] = {{"Region", codes::kRegion},
                                         {"ActualRegion", codes::kActualRegion},
                                         {"Languages", codes::kLanguage, "Language"},
                                         {"Development", codes::kDevelopment},
                                         {"Group", codes::kGroup},
                                         {"FifaCoefficients", {}, "FIFA9"},
                                         {"UefaCoefficients", {}, "UEFA9"}};
  world<NationRecord>(db, csv, kSlotNation, GameFile::Nation, rules);
}

void comps(Database& db, CsvWriter& csv) { world<CompRecord>(db, csv, kSlotComp, GameFile::Comp, {}); }

}  // namespace

bool exportCsv(Database& db, std::string_view what, std::ostream& out) {
  void (*write)(Database&, CsvWriter&) = nullptr;
  if (what == "people") write = people;
  else if (what == "clubs") write = clubs;
  else if (what == "nations") write = nations;
  else if (what == "comps") write = comps;
  else return false;
  CsvWriter csv(out);
  // After the columns for reading, every field of the records behind a row.
  const std::vector<CsvColumn> columns = csvColumns(what);
  csv.extend = [&](std::vector<std::string>& cells, size_t row) {
    for (const CsvColumn& c : columns) cells.push_back(row == 0 ? c.name : csvValue(db, c, int64_t(row) - 1));
  };
  write(db, csv);
  return true;
}

}  // namespace cm3::exchange
