#include "nations/nation.h"

#include <algorithm>
#include <tuple>

#include "clubs/boxvalues.h"
#include "records/boxrules.h"
#include "records/codelists.h"

namespace cm3::nations {
namespace {

using world::choiceValue;
using world::rowOf;

std::string num(int64_t v) { return std::to_string(v); }
int64_t recordOf(int64_t id) { return id < 0 || id >= INT32_MAX ? 0 : id + 1; }

constexpr const char* kFifaBoxes[6] = {"txtFIFA91", "txtFIFA92", "txtFIFA93", "txtFIFA94", "txtFIFA95", "txtFIFA96"};
constexpr const char* kUefaBoxes[6] = {"txtUEFA91", "txtUEFA92", "txtUEFA93", "txtUEFA94", "txtUEFA95", "txtUEFA96"};
constexpr const char* kFifaLabels[6] = {"FIFA91", "FIFA92", "FIFA93", "FIFA94", "FIFA95", "FIFA96"};
constexpr const char* kUefaLabels[6] = {"UEFA91", "UEFA92", "UEFA93", "UEFA94", "UEFA95", "UEFA96"};

// The nation's number boxes, with the name a refusal gives each.
constexpr MemberBox<NationForm> kNumbers[] = {
    {&NationForm::gameImportance, "GameImportance", "txtGameImpt", "Game Importance"},
    {&NationForm::leagueStandard, "LeagueStandard", "txtLeagueStandard", "League Standard"},
    {&NationForm::reputation, "Reputation", "txtReputation", "Reputation"},
    {&NationForm::currentFifa, "CurrentFifaCoefficient", "txtCurFIFACOEFF", "Cur FIFACoefficient"},
};
static_assert(membersName<NationRecord>(kNumbers), "a box names a field its record does not have");

// The refusal of a number box, in the window's words.
NationError refusal(const char* field, const char* box, const char* label) {
  const FieldInfo& f = *findField(NationRecord::kFields, field);
  return NationError(box, std::string(label) +
                              (f.integer() ? " must be a whole number from " + std::to_string(minValue(f)) + " to " +
                                                 std::to_string(maxValue(f))
                                           : std::string(" must be a number")) +
                              "; nothing was written.");
}

ContinentForm continentBoxes(const ContinentRecord& r) {
  ContinentForm f;
  f.shortSymbol = r.ShortSymbol();
  f.federationName = r.FederationName();
  f.federationShort = r.FederationShortName();
  f.type = r.Type();
  f.strength = formatReal(r.Strength());
  return f;
}

}  // namespace

ContinentForm loadContinent(const Database& db, int32_t continentIndex) {
  if (rowOf(continentIndex, db.continentNames.size()) < 0) return {};
  return continentBoxes(db.read<ContinentRecord>(kSlotContinent, recordOf(continentIndex)));
}

NationForm loadNation(const Database& db, int32_t nationIndex) {
  NationForm f;
  const NationRecord n = db.read<NationRecord>(kSlotNation, recordOf(nationIndex));
  f.name = n.Name();
  f.shortName = n.ShortName();
  f.symbol = n.Symbol();
  f.nationality = n.Nationality();
  showMembers<kNumbers>(n, f);
  f.development = rowOf(n.Development(), codes::kDevelopment.size());
  f.actualRegion = rowOf(n.ActualRegion(), codes::kActualRegion.size());
  f.region = rowOf(n.Region(), codes::kRegion.size());
  for (int k = 0; k < 3; ++k) f.languages[size_t(k)] = rowOf(n.Language(k), codes::kLanguage.size());
  f.group = rowOf(n.Group(), codes::kGroup.size());
  for (int k = 0; k < 6; ++k) {
    f.uefa[size_t(k)] = boxText(n, "UefaCoefficients", k);
    f.fifa[size_t(k)] = boxText(n, "FifaCoefficients", k);
  }
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
    throw NationError("", "Nation " + std::to_string(nationIndex) + " is not in nation.dat; nothing was written.");
  NationRecord n = db.read<NationRecord>(kSlotNation, recordOf(nationIndex));
  const bool withContinent = rowOf(f.continent, db.continentNames.size()) >= 0;
  ContinentRecord c;
  if (withContinent) c = db.read<ContinentRecord>(kSlotContinent, recordOf(f.continent));

  // Every number first, so that a refused box leaves both records unwritten.
  try {
    takeMembers<kNumbers>(n, f);
  } catch (const RefusedValue& e) {
    const MemberBox<NationForm>& b = *findMember(kNumbers, e.box());
    throw refusal(b.field, b.box, b.label);
  }
  for (auto [field, texts, boxes, labels] : {std::tuple{"FifaCoefficients", &f.fifa, kFifaBoxes, kFifaLabels},
                                             std::tuple{"UefaCoefficients", &f.uefa, kUefaBoxes, kUefaLabels}})
    for (int k = 0; k < 6; ++k) try {
        setFromBox(n, field, (*texts)[size_t(k)], boxes[k], k);
      } catch (const RefusedValue&) {
        throw refusal(field, boxes[k], labels[k]);
      }
  double strength = withContinent ? c.Strength() : 0;
  if (withContinent && !trim(f.continentBoxes.strength).empty()) {
    auto v = realFromBox(f.continentBoxes.strength, c.Strength());
    if (!v) throw NationError("txtStrength", "Strength must be a number (or empty to keep it); nothing was written.");
    strength = *v;
  }

  encodeLeftTrimmed(f.name, n.NameField(), NationRecord::NameWidth);
  encodeLeftTrimmed(f.nationality, n.NationalityField(), NationRecord::NationalityWidth);
  encodeLeftTrimmed(f.shortName, n.ShortNameField(), NationRecord::ShortNameWidth);
  encodeLeftTrimmed(f.symbol, n.SymbolField(), NationRecord::SymbolWidth);

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
    const ContinentForm& b = f.continentBoxes;
    encodeLeftTrimmed(b.shortSymbol, c.ShortSymbolField(), ContinentRecord::ShortSymbolWidth);
    encodeLeftTrimmed(b.federationName, c.FederationNameField(), ContinentRecord::FederationNameWidth);
    encodeLeftTrimmed(b.federationShort, c.FederationShortNameField(), ContinentRecord::FederationShortNameWidth);
    encodeLeftTrimmed(b.type, c.TypeField(), ContinentRecord::TypeWidth);
    c.setStrength(strength);
    db.write(kSlotContinent, recordOf(f.continent), c);
  }
  db.write(kSlotNation, recordOf(nationIndex), n);
  if (size_t(nationIndex) < db.nationNames.size()) db.nationNames[size_t(nationIndex)] = n.Name();
}

}  // namespace cm3::nations
