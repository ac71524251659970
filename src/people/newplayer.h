// Adding a new player: a copy of a template person with new names, appended
// to staff.dat and staff_att.dat, with the index entries kept in step so
// that the sections behind the people move on by one record when the
// database is written back.
#pragma once
#include <cstdint>
#include <string>

#include "database/database.h"
#include "people/person.h"

namespace cm3::people {

inline constexpr const char* kAddPlayerQuestion = "Add New Player";
inline constexpr const char* kAddedText = " added to cm3 Database!";

// The records a new player is made from.
struct NewPlayerTemplate {
  StaffRecord staff;
  PlayerAttRecord playerAtt;
  NameRecord firstName, secondName, commonName;
};

// The records of person `personId` as stored: his StaffRecord, his three
// name records and, for a player, his PlayerAttRecord. A person who is not a
// player has no attribute record; the template then holds one of zero bytes.
// Throws ValueError when personId addresses no person.
NewPlayerTemplate templateOf(const Database& db, int32_t personId);

// The PersonId the next new person gets: the count of index entry 8.
int32_t nextPersonId(const Database& db);

struct NewPlayerResult {
  int32_t personId = -1;
  int32_t attIndex = -1;
  int32_t firstNameId = -1, secondNameId = -1, commonNameId = -1;
  std::string status;  // the status-bar text (8-bit)
};

// Appends a new person made from `tpl`. From `form` it takes the three name
// texts, both nation choices, international goals and caps, birth year and
// day, contract expiry and join years, value and wage; every other field
// comes from the template. The new person has no club. An empty common name
// gives the person no common name (identifier 0).
//
// In this order: names are checked (a name too long throws ValueError and
// writes nothing); the display name goes into PersonNameTable; the second
// and first names are appended and index entries 16 and 17 set; the number
// boxes are converted (a refused box throws ValueError, leaving the names
// written); the common name is appended (entry 18); the StaffRecord is
// written after the last person (entry 8 + 1); the attribute record is
// appended to staff_att.dat (entry 11 + 1); the positions of entries 9, 10
// and 11 grow by one StaffRecord. `flags` are cleared once the names are
// appended.
NewPlayerResult addNewPlayer(Database& db, const NewPlayerTemplate& tpl, const PersonForm& form, NameFlags& flags);

}  // namespace cm3::people
