// A person as the main window shows and edits him: the texts of every person
// box and the chosen list items, read from the person's records, and the save
// that converts them back and writes the records in place.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "database/database.h"
#include "records/boxrules.h"

namespace cm3::people {

// The person pages' boxes that each show one field of a record. The first
// three hold fields of the staff record, grouped as the window treats them:
// the person's own numbers (caps, international goals, birth year and day),
// his contract years, his value and wage.
inline constexpr FormBox kPersonalBoxes[] = {
    {"txtCaps", "Caps"}, {"txtIntGoals", "IntGoals"}, {"txtBirthyear", "BirthYear"}, {"txtdays", "BirthDay"}};
inline constexpr FormBox kContractBoxes[] = {{"txtJoin", "ContractJoinYear"}, {"txtcontractexp", "ContractExpiryYear"}};
inline constexpr FormBox kMoneyBoxes[] = {{"txtwages", "Wage"}, {"txtvalue", "Value"}};
// The ratings, which the player and the non-player attribute records both hold.
inline constexpr FormBox kRatingBoxes[] = {
    {"txtAbility", "CurrentAbility"},  {"txtPotAbility", "PotentialAbility"}, {"txtHomRep", "HomeReputation"},
    {"txtCurRep", "CurrentReputation"}, {"txtWorldRep", "WorldReputation"}};
// The four tables, in the order the command line lists their fields.
inline constexpr std::span<const FormBox> kPersonBoxTables[] = {kPersonalBoxes, kContractBoxes, kMoneyBoxes,
                                                                kRatingBoxes};

// The box of the tables above that shows the field named `field`, nullptr
// when none does.
const FormBox* boxOfField(std::string_view field);

// Every text is 8-bit (Windows-1252), as stored in the files. A list choice
// is the item index, -1 for none.
struct PersonForm {
  int32_t personId = -1;  // caption of lblID
  std::string firstNameId, secondNameId;       // txtFirstnamid, txtsurnameid
  std::string firstName, secondName, commonName;  // txtFirstname, txtSurname, txtCommon
  int nation = -1, secondNation = -1;          // cmbnations, cmbnations2
  BoxTexts boxes;  // kPersonalBoxes, kContractBoxes, kMoneyBoxes, kRatingBoxes
  std::string playerAttIndex, staffAttIndex;   // txtID2, txtID3
  // Adaptability, Ambition, Determination, Loyalty, Pressure,
  // Professionalism, Sportsmanship, Temperament (the record's order).
  std::array<std::string, 8> mental;
  int classCode = -1, squadCode = -1, classificationCode = -1;  // cmbClass, cmbPlaysin, cmbClassification

  bool isPlayer = false;
  // Player page: the twelve positions in the record's order, txtAtt 0..41, txtSquadNo.
  std::array<std::string, 12> positions;
  std::array<std::string, 42> attributes;
  std::string squadNumber;
  // Staff page: txtStaffAtt 0..20 and cmbFormation.
  std::array<std::string, 21> staffAttributes;
  int formation = -1;

  int32_t clubId = -1;
  std::string clubName;  // txtClub
  std::string unknown53; // txtUn (squad-list view only)
};

// Reads person `personId` (staff.dat record personId + 1) and everything the
// person pages show. Identifiers out of range read as empty records.
// Throws ValueError when personId is negative.
PersonForm loadPerson(const Database& db, int32_t personId);

// The record-derived parts alone, for views that fill only some boxes.
void fillFromStaff(const Database& db, const StaffRecord& s, PersonForm& f);
void fillFromPlayerAtt(const PlayerAttRecord& a, PersonForm& f);
void fillFromStaffAtt(const StaffAttRecord& a, PersonForm& f);

// Name-changed marks of the window; the save clears a mark once it has
// appended the name.
struct NameFlags {
  bool firstChanged = false;
  bool secondChanged = false;
};

// The boxes a person and a new player share, converted into the staff
// record: the nations and the staff record's boxes.
// Throws ValueError ("Illegal value!") for a box that does not convert.
void setStaffBoxes(StaffRecord& s, const PersonForm& form);

// Saves `form` over person form.personId in place (update mode). Every box is
// converted before anything is written; a refused box throws ValueError
// ("Illegal value!") and leaves every file as it was. `historyStep` runs
// between the conversions and the writes (it may write the history rows and
// may throw ValueError itself). File errors propagate as FileError.
void savePerson(Database& db, const PersonForm& form, NameFlags& flags,
                const std::function<void(int32_t personId)>& historyStep = {});

// Appends `name` (already holding the new text) as a new record of the name
// file behind `slot` (kSlotFirstNames, kSlotSecondNames, kSlotCommonNames):
// its identifier becomes the file's RecordCount, the entry's count grows to
// RecordCount + 1, RecordCount grows by one. Returns the new identifier.
int32_t appendName(Database& db, int slot, NameRecord name);

// Puts `text` into a name record with the 51-character rule; ValueError when
// the trimmed text is longer than 51 characters.
void setName(NameRecord& rec, const std::string& text);

}  // namespace cm3::people
