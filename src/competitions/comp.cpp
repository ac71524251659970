#include "competitions/comp.h"

#include <algorithm>

#include "clubs/boxvalues.h"
#include "records/boxrules.h"

namespace cm3::comps {
namespace {

using world::choiceValue;
using world::rowOf;


static_assert(namesFields<CompRecord>(kCompBoxes), "a box names a field its record does not have");

}  // namespace

CompForm loadComp(const Database& db, int32_t compIndex) {
  const CompRecord r = db.read<CompRecord>(kSlotComp, recordOf(compIndex));
  CompForm f;
  f.nation = rowOf(r.Nation(), db.nationNames.size());
  f.continent = rowOf(r.Continent(), db.continentNames.size());
  showBoxes<kCompBoxes>(r, f.boxes);
  f.background = rowOf(r.Background(), db.colours.size());
  f.foreground = rowOf(r.Foreground(), db.colours.size());
  return f;
}

void updateComp(Database& db, int32_t compIndex, const CompForm& f) {
  if (!db.has<CompRecord>(kSlotComp, recordOf(compIndex)))
    throw RefusedValue("", "Competition " + std::to_string(compIndex) +
                            " is not in club_comp.dat; nothing was written.");
  CompRecord r = db.read<CompRecord>(kSlotComp, recordOf(compIndex));
  try {
    takeBoxes<kCompBoxes>(r, f.boxes);
  } catch (const RefusedValue& e) {
    const FormBox& b = *findBox(kCompBoxes, e.box());
    const FieldInfo& field = *findField(CompRecord::kFields, b.field);
    throw RefusedValue(b.box, std::string(b.label) + " must be a number from " + std::to_string(minValue(field)) +
                               " to " + std::to_string(maxValue(field)) + "; nothing was written.");
  }

  r.setContinent(int32_t(choiceValue(f.continent, r.Continent(), db.continentNames.size(), -1)));
  r.setNation(int32_t(choiceValue(f.nation, r.Nation(), db.nationNames.size(), -1)));
  r.setForeground(int32_t(choiceValue(f.foreground, r.Foreground(), db.colours.size(), -1)));
  r.setBackground(int32_t(choiceValue(f.background, r.Background(), db.colours.size(), -1)));
  const std::string name = r.LongName();
  JournalAction action(db, "Update competition " + name);
  db.write(kSlotComp, recordOf(compIndex), r);
  if (size_t(compIndex) < db.compNames.size()) db.compNames[size_t(compIndex)] = name;
}

}  // namespace cm3::comps
