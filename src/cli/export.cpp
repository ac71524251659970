// export: one CSV row per person, club, nation or competition.
#include <charconv>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/commands.h"
#include "cli/common.h"
#include "cli/csv.h"
#include "cli/session.h"
#include "people/person.h"
#include "records/codelists.h"
#include "squads/squads.h"

namespace cm3::cli {
namespace {

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
template <size_t N>
std::string code(const std::array<std::string_view, N>& list, int64_t v) {
  return v >= 0 && v < int64_t(N) ? std::string(list[size_t(v)]) : num(v);
}

void people(Database& db, CsvWriter& csv) {
  Row head = {"PersonId", "FirstName", "SecondName", "CommonName", "NationId", "Nation", "SecondNationId",
              "SecondNation", "ClubId", "Club", "BirthYear", "Job", "Player", "CurrentAbility", "PotentialAbility",
              "HomeReputation", "CurrentReputation", "WorldReputation"};
  for (std::string_view p : codes::kPosition) head.emplace_back(p);
  for (std::string_view a : codes::kPlayerAttribute) head.emplace_back(a);
  for (std::string_view a : codes::kStaffAttribute) head.push_back("Staff " + std::string(a));
  csv.row(head);

  const int64_t people = db.PeopleCount();
  for (int64_t i = 0; i < people && db.has<StaffRecord>(kSlotStaff, i + 1); ++i) {
    const people::PersonForm f = people::loadPerson(db, int32_t(i));
    const StaffRecord& s = db.current.staff;
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
             f.birthYear,
             code(codes::kClass, s.ClassCode()),
             f.isPlayer ? "1" : "0",
             f.currentAbility,
             f.potentialAbility,
             f.homeReputation,
             f.currentReputation,
             f.worldReputation};
    for (const std::string& p : f.positions) r.push_back(f.isPlayer ? p : "");
    for (const std::string& a : f.attributes) r.push_back(f.isPlayer ? a : "");
    for (const std::string& a : f.staffAttributes) r.push_back(f.isPlayer ? "" : a);
    csv.row(r);
  }
}

void clubs(Database& db, CsvWriter& csv) {
  csv.row({"Id", "LongName", "ShortName", "NationId", "Nation", "DivisionId", "Division", "LastDivisionId",
           "LastDivision", "LastPosition", "OtherDivisionId", "OtherDivision", "Status", "Cash", "MainStadiumId",
           "MainStadium", "ReserveStadiumId", "ReserveStadium", "HomeMatchDay", "AvgAttendance", "MinAttendance",
           "MaxAttendance", "TrainingFacility", "Reputation", "Players", "Staff"});
  const int64_t n = db.recordCount(GameFile::Club);
  for (int64_t c = 0; c < n; ++c) {
    const ClubRecord r = db.read<ClubRecord>(kSlotClub, c + 1);
    const squads::StaffSlots staff = squads::decodeStaffSlots(r);
    const int64_t staffCount = std::count_if(staff.begin(), staff.end(), [](int32_t v) { return v >= 0; });
    csv.row({num(c), utf8(r.LongName()), utf8(r.ShortName()), num(r.Nation()), item(db.nationNames, r.Nation()),
             num(r.Division()), item(db.compNames, r.Division()), num(r.LastDivision()),
             item(db.compNames, r.LastDivision()), num(r.LastPosition()), num(r.OtherDivision()),
             item(db.compNames, r.OtherDivision()), code(codes::kClubStatus, r.Status()), num(r.Cash()),
             num(r.MainStadium()), item(db.stadiumNames, r.MainStadium()), num(r.ReserveStadium()),
             item(db.stadiumNames, r.ReserveStadium()),
             r.HomeMatchDay() == 255 ? std::string() : code(codes::kHomeMatchDay, r.HomeMatchDay()),
             num(r.AvgAttendance()), num(r.MinAttendance()), num(r.MaxAttendance()), num(r.TrainingFacility()),
             num(r.Reputation()), num(squads::occupiedCount(squads::decodePlayerSlots(r))), num(staffCount)});
  }
}

void nations(Database& db, CsvWriter& csv) {
  Row head = {"Id",         "Name",        "ShortName",     "Symbol",          "Nationality",    "ContinentId",
              "Continent",  "Region",      "ActualRegion",  "Language1",       "Language2",      "Language3",
              "CapitalCityId", "CapitalCity", "Development", "Group",         "NationalStadiumId", "NationalStadium",
              "GameImportance", "LeagueStandard", "Reputation", "CurrentFifaCoefficient"};
  for (int k = 0; k < 6; ++k) head.push_back("FIFA9" + num(int64_t(k + 1)));
  for (int k = 0; k < 6; ++k) head.push_back("UEFA9" + num(int64_t(k + 1)));
  csv.row(head);
  const int64_t n = db.recordCount(GameFile::Nation);
  for (int64_t i = 0; i < n; ++i) {
    const NationRecord r = db.read<NationRecord>(kSlotNation, i + 1);
    Row row = {num(i),
               utf8(r.Name()),
               utf8(r.ShortName()),
               utf8(r.Symbol()),
               utf8(r.Nationality()),
               num(r.ContinentId()),
               item(db.continentNames, r.ContinentId()),
               code(codes::kRegion, r.Region()),
               code(codes::kActualRegion, r.ActualRegion()),
               code(codes::kLanguage, r.Language(0)),
               code(codes::kLanguage, r.Language(1)),
               code(codes::kLanguage, r.Language(2)),
               num(r.CapitalCity()),
               item(db.cityNames, r.CapitalCity()),
               code(codes::kDevelopment, r.Development()),
               code(codes::kGroup, r.Group()),
               num(r.NationalStadium()),
               item(db.stadiumNames, r.NationalStadium()),
               num(r.GameImportance()),
               num(r.LeagueStandard()),
               num(r.Reputation()),
               real(r.CurrentFifaCoefficient())};
    for (int k = 0; k < 6; ++k) row.push_back(real(r.FifaCoefficient(k)));
    for (int k = 0; k < 6; ++k) row.push_back(real(r.UefaCoefficient(k)));
    csv.row(row);
  }
}

void comps(Database& db, CsvWriter& csv) {
  csv.row({"Id", "LongName", "ShortName", "ThreeLetterName", "Scope", "Selected", "ContinentId", "Continent",
           "NationId", "Nation", "ForegroundId", "Foreground", "BackgroundId", "Background", "Reputation"});
  auto colour = [&](int32_t id) {
    return id >= 0 && id < int64_t(db.colours.size()) ? utf8(db.colours[size_t(id)].name) : std::string();
  };
  const int64_t n = db.recordCount(GameFile::Comp);
  for (int64_t i = 0; i < n; ++i) {
    const CompRecord r = db.read<CompRecord>(kSlotComp, i + 1);
    csv.row({num(i), utf8(r.LongName()), utf8(r.ShortName()), utf8(r.ThreeLetterName()), num(r.Scope()),
             num(r.Selected()), num(r.Continent()), item(db.continentNames, r.Continent()), num(r.Nation()),
             item(db.nationNames, r.Nation()), num(r.Foreground()), colour(r.Foreground()), num(r.Background()),
             colour(r.Background()), num(r.Reputation())});
  }
}

}  // namespace

int cmdExport(const std::string& gameDir, const std::string& what, const std::string& file) {
  void (*write)(Database&, CsvWriter&) = nullptr;
  if (what == "people") write = people;
  else if (what == "clubs") write = clubs;
  else if (what == "nations") write = nations;
  else if (what == "comps") write = comps;
  else throw CliError("Unknown export \"" + what + "\" (people, clubs, nations or comps)", 2);

  std::ostringstream text;
  {
    Session s(gameDir);
    CsvWriter csv(text);
    write(s.db(), csv);
    s.close();
  }
  if (file == "-") {
    std::cout << text.str();
    return 0;
  }
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) throw CliError("Cannot create " + file);
  out << text.str();
  out.close();
  if (!out) throw CliError("Cannot write " + file);
  return 0;
}

}  // namespace cm3::cli
