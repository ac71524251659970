// A competition as the competition window shows and edits it: the box texts
// and list rows of its record, and the update that writes them back.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

#include "database/database.h"
#include "records/boxrules.h"
#include "records/convert.h"

namespace cm3::comps {

// The competition's boxes, with the name a refusal gives each.
inline constexpr FormBox kCompBoxes[] = {
    {"txtLong", "LongName"},
    {"txtShort", "ShortName"},
    {"txtThreeLetter", "ThreeLetterName"},
    {"txtReputation", "Reputation", "Reputation"},
    {"txtScope", "Scope", "Competition Scope"},
    {"txtSelected", "Selected", "Competition Selected"},
};

// Texts are 8-bit (Windows-1252); a list choice is the row, -1 for none.
struct CompForm {
  BoxTexts boxes;                                 // kCompBoxes
  int continent = -1, nation = -1;                // cmbContinent, cmbNation
  int foreground = -1, background = -1;           // cmbForeground, cmbBackground
};

// Reads competition `compIndex` (club_comp.dat record compIndex + 1).
CompForm loadComp(const Database& db, int32_t compIndex);

// Writes the form over competition `compIndex`: the record read afresh, the
// window's fields replaced, everything else (the identifier included) kept
// as read. All three numbers are converted first; a RefusedValue leaves the
// file as it was. Afterwards the competition list of `db` holds the new name.
void updateComp(Database& db, int32_t compIndex, const CompForm& form);

}  // namespace cm3::comps
