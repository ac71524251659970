// A nation as the nation window shows and edits it, with the continent it
// belongs to: the box texts and list rows read from the nation and continent
// records, and the update that writes both back.
#pragma once
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "database/database.h"
#include "records/boxrules.h"
#include "records/convert.h"

namespace cm3::nations {

// The nation's boxes, with the name a refusal gives each number box.
inline constexpr FormBox kNationBoxes[] = {
    {"txtName", "Name"},
    {"txtshortnat", "ShortName"},
    {"txtNatSymb", "Symbol"},
    {"txtNationality", "Nationality"},
    {"txtGameImpt", "GameImportance", "Game Importance"},
    {"txtLeagueStandard", "LeagueStandard", "League Standard"},
    {"txtReputation", "Reputation", "Reputation"},
    {"txtCurFIFACOEFF", "CurrentFifaCoefficient", "Cur FIFACoefficient"},
    {"txtFIFA91", "FifaCoefficients", "FIFA91", 0}, {"txtFIFA92", "FifaCoefficients", "FIFA92", 1},
    {"txtFIFA93", "FifaCoefficients", "FIFA93", 2}, {"txtFIFA94", "FifaCoefficients", "FIFA94", 3},
    {"txtFIFA95", "FifaCoefficients", "FIFA95", 4}, {"txtFIFA96", "FifaCoefficients", "FIFA96", 5},
    {"txtUEFA91", "UefaCoefficients", "UEFA91", 0}, {"txtUEFA92", "UefaCoefficients", "UEFA92", 1},
    {"txtUEFA93", "UefaCoefficients", "UEFA93", 2}, {"txtUEFA94", "UefaCoefficients", "UEFA94", 3},
    {"txtUEFA95", "UefaCoefficients", "UEFA95", 4}, {"txtUEFA96", "UefaCoefficients", "UEFA96", 5},
};
// The continent frame's boxes; its one number box (the row with a label), a
// real, keeps the stored value when left empty.
inline constexpr FormBox kContinentBoxes[] = {
    {"txtShort", "ShortSymbol"}, {"txtLong", "FederationName"}, {"txtFederation", "FederationShortName"},
    {"txtType", "Type"},         {"txtStrength", "Strength", "Strength"},
};

// Texts are 8-bit (Windows-1252).
struct ContinentForm {
  BoxTexts boxes;  // kContinentBoxes
};

struct NationForm {
  std::string id;  // caption of lblNationID
  BoxTexts boxes;  // kNationBoxes
  // Rows of the code lists, -1 for none.
  int development = -1, region = -1, actualRegion = -1, group = -1;
  std::array<int, 3> languages{-1, -1, -1};
  int city = -1, stadium = -1;  // cmbCity, cmbNatStadium
  int continent = -1;  // cmbContinent
  ContinentForm continentBoxes;
};

// Reads nation `nationIndex` (nation.dat record nationIndex + 1) and, when
// it has one, the boxes of its continent. Lists of city and stadium rows are
// those of `db`.
NationForm loadNation(const Database& db, int32_t nationIndex);

// The boxes of continent `continentIndex`; empty boxes for a negative index.
ContinentForm loadContinent(const Database& db, int32_t continentIndex);

// Writes the form into nation `nationIndex` (the row chosen in the main
// window's nation combo) and, when a continent is chosen, into that
// continent. Both records are read afresh and only the window's fields are
// replaced, so every field the window does not show keeps its bytes.
// Every box is converted first: a RefusedValue leaves both files as they were.
// Afterwards the nation list of `db` holds the new name.
void updateNation(Database& db, int32_t nationIndex, const NationForm& form);

}  // namespace cm3::nations
