#include "competitions/comp.h"

#include "clubs/boxvalues.h"

namespace cm3::comps {
namespace {

using world::choiceValue;
using world::rowOf;

int64_t recordOf(int64_t id) { return id < 0 || id >= INT32_MAX ? 0 : id + 1; }

int64_t number(const std::string& text, int64_t min, int64_t max, const char* box, const char* label) {
  int64_t v = 0;
  if (world::parseWhole(text, min, max, v) == world::Fault::None) return v;
  throw CompError(box, std::string(label) + " must be a number from " + std::to_string(min) + " to " +
                           std::to_string(max) + "; nothing was written.");
}

}  // namespace

CompForm loadComp(const Database& db, int32_t compIndex) {
  const CompRecord r = db.read<CompRecord>(kSlotComp, recordOf(compIndex));
  CompForm f;
  f.longName = r.LongName();
  f.shortName = r.ShortName();
  f.threeLetter = r.ThreeLetterName();
  f.scope = std::to_string(r.Scope());
  f.selected = std::to_string(r.Selected());
  f.nation = rowOf(r.Nation(), db.nationNames.size());
  f.continent = rowOf(r.Continent(), db.continentNames.size());
  f.reputation = std::to_string(r.Reputation());
  f.background = rowOf(r.Background(), db.colours.size());
  f.foreground = rowOf(r.Foreground(), db.colours.size());
  return f;
}

void updateComp(Database& db, int32_t compIndex, const CompForm& f) {
  if (!db.has<CompRecord>(kSlotComp, recordOf(compIndex)))
    throw CompError("", "Competition " + std::to_string(compIndex) +
                            " is not in club_comp.dat; nothing was written.");
  CompRecord r = db.read<CompRecord>(kSlotComp, recordOf(compIndex));
  const auto reputation = int16_t(number(f.reputation, -32768, 32767, "txtReputation", "Reputation"));
  const auto scope = uint8_t(number(f.scope, 0, 255, "txtScope", "Competition Scope"));
  const auto selected = uint8_t(number(f.selected, 0, 255, "txtSelected", "Competition Selected"));

  encodeLeftTrimmed(f.longName, r.LongNameField(), CompRecord::LongNameWidth);
  encodeLeftTrimmed(f.shortName, r.ShortNameField(), CompRecord::ShortNameWidth);
  encodeLeftTrimmed(f.threeLetter, r.ThreeLetterNameField(), CompRecord::ThreeLetterNameWidth);
  r.setContinent(int32_t(choiceValue(f.continent, r.Continent(), db.continentNames.size(), -1)));
  r.setNation(int32_t(choiceValue(f.nation, r.Nation(), db.nationNames.size(), -1)));
  r.setReputation(reputation);
  r.setScope(scope);
  r.setSelected(selected);
  r.setForeground(int32_t(choiceValue(f.foreground, r.Foreground(), db.colours.size(), -1)));
  r.setBackground(int32_t(choiceValue(f.background, r.Background(), db.colours.size(), -1)));
  JournalAction action(db, "Update competition " + r.LongName());
  db.write(kSlotComp, recordOf(compIndex), r);
  if (size_t(compIndex) < db.compNames.size()) db.compNames[size_t(compIndex)] = r.LongName();
}

}  // namespace cm3::comps
