// A club as the club window shows and edits it: the texts of its boxes and
// the rows chosen in its lists, read from the club record and its two
// stadium records, and the update that writes them back or appends a new
// club with its stadiums.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "database/database.h"
#include "records/boxrules.h"
#include "records/convert.h"

namespace cm3::clubs {

inline constexpr const char* kUnknownStadium = "<Unknown>";
inline constexpr const char* kNoReserve = "<None>";
inline constexpr const char* kNewClubName = "<New Club>";
inline constexpr const char* kNoStadiumId = "N/A";
inline constexpr const char* kEmptyPerson = "Empty";
// The question asked before a new club is written.
inline constexpr const char* kAddNewClubQuestion = "Add New Club";

// The boxes of the club frame and of the two stadium frames.
inline constexpr FormBox kClubBoxes[] = {
    {"txtLongName", "LongName"},
    {"txtShortName", "ShortName"},
    {"txtLastPos", "LastPosition"},
    {"txtTrainingFacility", "TrainingFacility"},
    {"txtCash", "Cash"},
    {"txtAvgAttendance", "AvgAttendance"},
    {"txtMinAttendance", "MinAttendance"},
    {"txtMaxAttendance", "MaxAttendance"},
    {"txtClubReputation", "Reputation"},
};
inline constexpr FormBox kMainStadiumBoxes[] = {
    {"txtStaLongName", "LongName"},
    {"txtStaCapacity", "Capacity"},
    {"txtStaSeating", "Seating"},
    {"txtStaExpansion", "Expansion"},
};
inline constexpr FormBox kReserveStadiumBoxes[] = {
    {"txtStaResLongName", "LongName"},
    {"txtStaResCapacity", "Capacity"},
    {"txtStaResSeating", "Seating"},
    {"txtStaResExpansion", "Expansion"},
};
// The boxes of the main and of the reserve stadium frame.
inline constexpr std::span<const FormBox> kStadiumBoxes[] = {kMainStadiumBoxes, kReserveStadiumBoxes};

// One stadium frame. Every text is 8-bit (Windows-1252) as in the files; a
// list choice is the row, -1 for none.
struct StadiumForm {
  std::string id;  // the stadium index or "N/A"
  BoxTexts boxes;  // kMainStadiumBoxes or kReserveStadiumBoxes
  int city = -1, nearby = -1;
  bool roof = false, heating = false;
};

struct ClubForm {
  std::string id;
  BoxTexts boxes;  // kClubBoxes
  int status = -1, nation = -1, division = -1, lastDivision = -1, otherDivision = -1;
  int homeMatchDay = -1;  // row 0..7, -1 when the day is not set
  std::array<int, 6> kits{-1, -1, -1, -1, -1, -1};  // the order of ClubRecord::KitColour
  std::array<int, 3> rivals{-1, -1, -1};
  // Rows of the favourite and disliked people (three each when a club is
  // shown, none for a new club).
  std::vector<std::string> liked, disliked;
  bool ownsStadium = false;  // shown only
  StadiumForm main, reserve;
};
// The main and the reserve stadium frame of a club form.
inline constexpr StadiumForm ClubForm::*kStadiumFrames[] = {&ClubForm::main, &ClubForm::reserve};

// Reads club `clubId` (club.dat record clubId + 1) and its stadiums into the
// form. A club index outside club.dat reads as an empty record.
ClubForm loadClub(const Database& db, int32_t clubId);

// The form "Add New Club" shows: the club and stadium indexes the new club
// and its stadiums get, zeros, the markers and "<New Club>", status row 0,
// every other list without a choice, no favourites or dislikes. The kit
// lists and the check boxes keep what `shown` holds.
ClubForm newClubForm(const Database& db, const ClubForm& shown);

struct UpdateResult {
  int32_t clubId = -1;     // the club written
  bool created = false;    // a new club was appended
  int32_t mainStadium = -1, reserveStadium = -1;  // the club's references afterwards
  // The rows of the club and stadium name lists the update set, in the order
  // it set them: a row appended comes right after the list's last row.
  std::vector<std::pair<FieldRef, int32_t>> renamed;
};

// Writes the form. With `newClub` clear it updates club `clickTeamId` and
// its stadiums, appending a stadium for a frame whose marker was replaced by
// a name. With `newClub` set it appends a new club (the record of
// `clickTeamId` gives the fields the window does not set) and a stadium for
// each frame that holds a name. Counts come from index entries 1 and 7 and
// grow with every record appended; the name lists of `db` grow with them.
// Every box is converted before anything is written: a RefusedValue leaves
// every file as it was.
UpdateResult updateClub(Database& db, int32_t clickTeamId, bool newClub, const ClubForm& form);

// The stadium frames after an update: a frame without stadium shows its
// marker, zeros, no city and no nearby stadium and "N/A"; otherwise its
// index.
void showStadiumState(ClubForm& form, const UpdateResult& result);

}  // namespace cm3::clubs
