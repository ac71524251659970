// Consistency report of a game database: the rules that the game files have
// to keep for the editor (and the game) to read them as one world.
//
// The checks only read. They run on an open Database, except the test for
// working files left behind by a run that did not close, which has to look
// at the game directory before opening (opening makes new working files
// over the old ones).
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "database/database.h"

namespace cm3::search {

// The rules, by the short names findings carry.
inline constexpr std::string_view kCheckLeftoverFiles = "leftover-files";    // working files of an unclosed run
inline constexpr std::string_view kCheckFileSize = "file-size";              // partial record, index.dat not 1482 bytes
inline constexpr std::string_view kCheckIndexCount = "index-count";          // index count differs from its file
inline constexpr std::string_view kCheckSectionTable = "section-table";      // sections of staff.dat and their entries
inline constexpr std::string_view kCheckRecordId = "record-id";              // a record's own identifier is not record − 1
inline constexpr std::string_view kCheckNameId = "name-id";                  // a person's name identifier out of range
inline constexpr std::string_view kCheckNationId = "nation-id";              // a person's nation out of range
inline constexpr std::string_view kCheckClubId = "club-id";                  // a person's club out of range
inline constexpr std::string_view kCheckAttributeId = "attribute-id";        // attribute record index out of range
inline constexpr std::string_view kCheckAttributeShared = "attribute-shared";  // two people, one attribute record
inline constexpr std::string_view kCheckSlotPerson = "slot-person";          // a squad slot names no person
inline constexpr std::string_view kCheckSlotDuplicate = "slot-duplicate";    // a person in more than one slot
inline constexpr std::string_view kCheckSlotClub = "slot-club";              // slotted person with another ClubId
inline constexpr std::string_view kCheckUnslotted = "unslotted";             // ClubId set, but in none of its slots
inline constexpr std::string_view kCheckHistoryPerson = "history-person";    // history row of a missing person
inline constexpr std::string_view kCheckReference = "reference";             // any other identifier out of range

// Every rule name, in the order the checks run.
const std::vector<std::string_view>& checkNames();
// What a rule looks for, in one line.
std::string_view checkDescription(std::string_view name);

struct Finding {
  std::string check;    // one of the names above
  std::string file;     // file name of the record concerned ("club.dat"), may be empty
  int64_t record = 0;   // 1-based record number in that file, 0 for the file as a whole
  std::string message;  // 8-bit text (names as the files hold them)
};

struct CheckReport {
  // The findings, at most `limitPerCheck` of each rule.
  std::vector<Finding> findings;
  // How many findings each rule had in all (rules without findings absent).
  std::map<std::string, int64_t> counts;
  size_t limitPerCheck = 200;

  bool clean() const { return counts.empty(); }
  int64_t total() const;
  int64_t count(std::string_view check) const;
  void add(std::string_view check, std::string file, int64_t record, std::string message);
};

// Working files in gameDir/Data left by a run that did not close:
// staff_att.dat, staff_att2.dat, staff_unknown.dat and the temporary files a
// write-back builds. index_temp.dat is left in place by every close and is
// not one of them. Returns their game paths.
std::vector<std::string> leftoverWorkingFiles(const std::string& gameDir);
void checkLeftoverFiles(const std::string& gameDir, CheckReport& report);

// Every rule over an open database, as its files are now (sizes measured
// afresh, not the counts taken at opening). Throws std::logic_error when the
// database is not open.
void checkDatabase(const Database& db, CheckReport& report);
CheckReport checkDatabase(const Database& db);

}  // namespace cm3::search
