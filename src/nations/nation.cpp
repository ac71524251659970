#include "nations/nation.h"

#include <algorithm>

#include "clubs/boxvalues.h"
#include "records/boxrules.h"
#include "records/codelists.h"

namespace cm3::nations {
namespace {

using world::choiceValue;
using world::rowOf;

std::string num(int64_t v) { return std::to_string(v); }

static_assert(namesFields<NationRecord>(kNationBoxes) && namesFields<ContinentRecord>(kContinentBoxes),
              "a box names a field its record does not have");

// The refusal of a number box, in the window's words.
RefusedValue refusal(const char* field, const char* box, const char* label) {
  const FieldInfo& f = *findField(NationRecord::kFields, field);
  return RefusedValue(box, std::string(label) +
                              (f.integer() ? " must be a whole number from " + std::to_string(minValue(f)) + " to " +
                                                 std::to_string(maxValue(f))
                                           : std::string(" must be a number")) +
                              "; nothing was written.");
}

}  // namespace

ContinentForm loadContinent(const Database& db, int32_t continentIndex) {
  if (rowOf(continentIndex, db.continentNames.size()) < 0) return {};
  ContinentForm f;
  showBoxes<kContinentBoxes>(db.read<ContinentRecord>(kSlotContinent, recordOf(continentIndex)), f.boxes);
  return f;
}

NationForm loadNation(const Database& db, int32_t nationIndex) {
  NationForm f;
  const NationRecord n = db.read<NationRecord>(kSlotNation, recordOf(nationIndex));
  showBoxes<kNationBoxes>(n, f.boxes);
  f.development = rowOf(n.Development(), codes::kDevelopment.size());
  f.actualRegion = rowOf(n.ActualRegion(), codes::kActualRegion.size());
  f.region = rowOf(n.Region(), codes::kRegion.size());
  for (int k = 0; k < 3; ++k) f.languages[size_t(k)] = rowOf(n.Language(k), codes::kLanguage.size());
  f.group = rowOf(n.Group(), codes::kGroup.size());
  f.city = rowOf(n.CapitalCity(), db.cityNames.size());
  f.stadium = rowOf(n.NationalStadium(), db.stadiumNames.size());
  f.id = num(n.Id());
  f.continent = rowOf(n.ContinentId(), db.continentNames.size());
  f.continentBoxes = loadContinent(db, f.continent);
  return f;
}

void updateNation(Database& db, int32_t nationIndex, const NationForm& f) {
  db.checkFilesPresent();
  if (!db.has<NationRecord>(kSlotNation, recordOf(nationIndex)))
    throw RefusedValue("", "Nation " + std::to_string(nationIndex) + " is not in nation.dat; nothing was written.");
  NationRecord n = db.read<NationRecord>(kSlotNation, recordOf(nationIndex));
  const bool withContinent = rowOf(f.continent, db.continentNames.size()) >= 0;
  ContinentRecord c;
  if (withContinent) c = db.read<ContinentRecord>(kSlotContinent, recordOf(f.continent));

  // Every box first, so that a refused box leaves both records unwritten.
  try {
    takeBoxes<kNationBoxes>(n, f.boxes);
  } catch (const RefusedValue& e) {
    const FormBox& b = *findBox(kNationBoxes, e.box());
    throw refusal(b.field, b.box, b.label);
  }
  if (withContinent) {
    BoxTexts boxes = f.continentBoxes.boxes;
    for (const FormBox& b : kContinentBoxes)
      if (b.label && trim(boxes[b.box]).empty()) boxes[b.box] = boxText(c, b.field);
    try {
      takeBoxes<kContinentBoxes>(c, boxes);
    } catch (const RefusedValue& e) {
      throw RefusedValue(e.box(), std::string(findBox(kContinentBoxes, e.box())->label) +
                                     " must be a number (or empty to keep it); nothing was written.");
    }
  }

  n.setCapitalCity(int32_t(choiceValue(f.city, n.CapitalCity(), db.cityNames.size(), -1)));
  n.setNationalStadium(int32_t(choiceValue(f.stadium, n.NationalStadium(), db.stadiumNames.size(), -1)));
  n.setRegion(uint8_t(choiceValue(f.region, n.Region(), codes::kRegion.size(), 255)));
  n.setActualRegion(uint8_t(choiceValue(f.actualRegion, n.ActualRegion(), codes::kActualRegion.size(), 255)));
  n.setDevelopment(uint8_t(choiceValue(f.development, n.Development(), codes::kDevelopment.size(), 255)));
  for (int k = 0; k < 3; ++k)
    n.setLanguage(k, uint8_t(choiceValue(f.languages[size_t(k)], n.Language(k), codes::kLanguage.size(), 255)));
  n.setGroup(uint8_t(choiceValue(f.group, n.Group(), codes::kGroup.size(), 255)));

  n.setContinentId(int32_t(choiceValue(f.continent, n.ContinentId(), db.continentNames.size(), -1)));

  JournalAction action(db, "Update nation " + n.Name());
  if (withContinent) {
    db.write(kSlotContinent, recordOf(f.continent), c);
  }
  db.write(kSlotNation, recordOf(nationIndex), n);
  if (size_t(nationIndex) < db.nationNames.size()) db.nationNames[size_t(nationIndex)] = n.Name();
}

}  // namespace cm3::nations
