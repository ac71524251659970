#include "people/person.h"

#include <algorithm>

#include "records/convert.h"

namespace cm3::people {
namespace {

std::string num(int64_t v) { return std::to_string(v); }

GameFile nameFileOf(int slot) {
  switch (slot) {
    case kSlotFirstNames: return GameFile::FirstNames;
    case kSlotSecondNames: return GameFile::SecondNames;
    case kSlotCommonNames: return GameFile::CommonNames;
  }
  throw std::logic_error("not a name file slot");
}

int nameEntryOf(int slot) {
  switch (slot) {
    case kSlotFirstNames: return kEntryFirstNames;
    case kSlotSecondNames: return kEntrySecondNames;
    case kSlotCommonNames: return kEntryCommonNames;
  }
  throw std::logic_error("not a name file slot");
}

// Nation combo choice for a stored nation identifier: the nation record's own
// index when the record exists, none otherwise.
int nationChoice(const Database& db, int32_t id) {
  if (id < 0) return -1;
  if (!db.has<NationRecord>(kSlotNation, recordOf(id))) return -1;
  NationRecord n = db.read<NationRecord>(kSlotNation, recordOf(id));
  int32_t own = n.Id();
  if (own < 0 || own >= int32_t(db.nationNames.size())) return -1;
  return own;
}

}  // namespace

static_assert(namesFields<StaffRecord>(kPersonalBoxes) && namesFields<StaffRecord>(kContractBoxes) &&
                  namesFields<StaffRecord>(kMoneyBoxes) && namesFields<PlayerAttRecord>(kRatingBoxes) &&
                  namesFields<StaffAttRecord>(kRatingBoxes),
              "a box names a field its record does not have");

const FormBox* boxOfField(std::string_view field) {
  for (std::span<const FormBox> table : kPersonBoxTables)
    for (const FormBox& b : table)
      if (field == b.field) return &b;
  return nullptr;
}

template <class R, size_t N>
void show(const R& r, const char* field, std::array<std::string, N>& boxes) {
  const FieldInfo& f = *findField(R::kFields, field);
  for (size_t k = 0; k < N; ++k) boxes[k] = boxText(getField(r.data(), f, int(k)));
}

// Box texts into a record; any refused box refuses the save.
template <auto& Boxes, class R>
void take(R& r, const PersonForm& f) {
  try {
    takeBoxes<Boxes>(r, f.boxes);
  } catch (const RefusedValue&) {
    throw ValueError("Illegal value!");
  }
}
template <class R, size_t N>
void take(R& r, const char* field, const std::array<std::string, N>& boxes) {
  for (size_t k = 0; k < N; ++k) try {
      setFromBox(r, field, boxes[k], field, int(k));
    } catch (const RefusedValue&) {
      throw ValueError("Illegal value!");
    }
}

void setName(NameRecord& rec, const std::string& text) {
  if (!encodeName(text, rec.NameField(), NameRecord::NameWidth)) throw ValueError("Illegal value!");
}

void fillFromStaff(const Database& db, const StaffRecord& s, PersonForm& f) {
  f.personId = s.PersonId();
  f.firstNameId = num(s.FirstNameId());
  f.secondNameId = num(s.SecondNameId());
  f.nation = nationChoice(db, s.NationId());
  f.secondNation = nationChoice(db, s.SecondNationId());
  showBoxes<kPersonalBoxes>(s, f.boxes);
  showBoxes<kContractBoxes>(s, f.boxes);
  showBoxes<kMoneyBoxes>(s, f.boxes);
  f.playerAttIndex = num(s.PlayerAttIndex());
  f.staffAttIndex = num(s.StaffAttIndex());
  for (int k = 0; k < 8; ++k) f.mental[size_t(k)] = num(s.MentalRating(k));
  f.classCode = s.ClassCode();
  f.squadCode = s.SquadCode();
  f.classificationCode = s.ClassificationCode();
  f.isPlayer = s.isPlayer();
  f.clubId = s.ClubId();
  f.unknown53 = num(s.Unknown53());
}

void fillFromPlayerAtt(const PlayerAttRecord& a, PersonForm& f) {
  showBoxes<kRatingBoxes>(a, f.boxes);
  show(a, "PositionRatings", f.positions);
  show(a, "Attributes", f.attributes);
  f.squadNumber = num(a.SquadNumber());
}

void fillFromStaffAtt(const StaffAttRecord& a, PersonForm& f) {
  show(a, "StaffAttributes", f.staffAttributes);
  f.formation = a.PreferredFormation();
  showBoxes<kRatingBoxes>(a, f.boxes);
}

PersonForm loadPerson(const Database& db, int32_t personId) {
  if (personId < 0) throw ValueError("Illegal value!");
  PersonForm f;
  const StaffRecord s = db.read<StaffRecord>(kSlotStaff, recordOf(personId));
  fillFromStaff(db, s, f);
  // The caption of lblID is the record's own PersonId; a record that lies
  // past the end of staff.dat reads as zeros, so keep the id that was asked.
  if (!db.has<StaffRecord>(kSlotStaff, recordOf(personId))) f.personId = personId;

  f.secondName = db.read<NameRecord>(kSlotSecondNames, recordOf(s.SecondNameId())).Name();
  f.firstName = db.read<NameRecord>(kSlotFirstNames, recordOf(s.FirstNameId())).Name();
  f.commonName = db.read<NameRecord>(kSlotCommonNames, recordOf(s.CommonNameId())).Name();

  if (f.isPlayer)
    fillFromPlayerAtt(db.read<PlayerAttRecord>(kSlotStaffAtt, recordOf(s.PlayerAttIndex())), f);
  else
    fillFromStaffAtt(db.read<StaffAttRecord>(kSlotStaffAtt2, recordOf(s.StaffAttIndex())), f);
  if (s.ClubId() >= 0) f.clubName = db.read<ClubRecord>(kSlotClub, recordOf(s.ClubId())).LongName();
  return f;
}

int32_t appendName(Database& db, int slot, NameRecord name) {
  GameFile file = nameFileOf(slot);
  int64_t r = db.recordCount(file);
  if (r >= INT32_MAX) throw ValueError("Illegal value!");
  name.setId(int32_t(r));
  db.write(slot, r + 1, name);
  IndexRecord entry = db.readIndex(nameEntryOf(slot));
  entry.setCount(int32_t(r + 1));
  db.writeIndex(nameEntryOf(slot), entry);
  db.recordCount(file) = r + 1;
  return int32_t(r);
}

void setStaffBoxes(StaffRecord& s, const PersonForm& form) {
  s.setNationId(form.nation);
  s.setSecondNationId(form.secondNation);
  take<kPersonalBoxes>(s, form);
  take<kContractBoxes>(s, form);
  take<kMoneyBoxes>(s, form);
}

void savePerson(Database& db, const PersonForm& form, NameFlags& flags,
                const std::function<void(int32_t)>& historyStep) {
  const int32_t personId = form.personId;
  if (personId < 0 || personId >= kPersonNameTableSize) throw ValueError("Illegal value!");
  // Re-read the person and his names from the files.
  StaffRecord s = db.read<StaffRecord>(kSlotStaff, recordOf(personId));
  NameRecord second = db.read<NameRecord>(kSlotSecondNames, recordOf(s.SecondNameId()));
  NameRecord first = db.read<NameRecord>(kSlotFirstNames, recordOf(s.FirstNameId()));
  NameRecord common = db.read<NameRecord>(kSlotCommonNames, recordOf(s.CommonNameId()));
  setName(first, form.firstName);
  setName(second, form.secondName);
  setName(common, form.commonName);
  const std::string displayName =
      Database::displayName(std::string(trim(form.secondName)), std::string(trim(form.firstName)));

  // Every box of the person record.
  setStaffBoxes(s, form);
  for (int k = 0; k < 8; ++k) s.setMentalRating(k, toByteInRange(form.mental[size_t(k)]));
  s.setSquadCode(uint8_t(form.squadCode & 0xFF));

  // The attribute record, converted before anything is written. It is read
  // afresh, so bytes the window does not show are those of the file.
  const bool player = s.isPlayer();
  PlayerAttRecord pa;
  StaffAttRecord sa;
  if (player) {
    pa = db.read<PlayerAttRecord>(kSlotStaffAtt, recordOf(s.PlayerAttIndex()));
    take<kRatingBoxes>(pa, form);
    take(pa, "Attributes", form.attributes);
    take(pa, "PositionRatings", form.positions);
  } else {
    sa = db.read<StaffAttRecord>(kSlotStaffAtt2, recordOf(s.StaffAttIndex()));
    take(sa, "StaffAttributes", form.staffAttributes);
    take<kRatingBoxes>(sa, form);
  }
  const int64_t attRecord = player ? recordOf(s.PlayerAttIndex()) : recordOf(s.StaffAttIndex());
  if (attRecord < 1) throw ValueError("Illegal value!");

  // Everything converted, and every file still there. The history rows are
  // checked in full before their first write, so a refused cell stops the
  // save before anything is written.
  db.checkFilesPresent();
  JournalAction action(db, "Update " + displayName);
  if (historyStep) historyStep(personId);

  if (player) {
    db.write(kSlotStaffAtt, attRecord, pa);
  } else {
    db.write(kSlotStaffAtt2, attRecord, sa);
  }

  if (!form.commonName.empty() && s.CommonNameId() == 0) {
    s.setCommonNameId(appendName(db, kSlotCommonNames, common));
  } else if (s.CommonNameId() > 0) {
    db.write(kSlotCommonNames, recordOf(s.CommonNameId()), common);
  }

  if (flags.secondChanged) {
    s.setSecondNameId(appendName(db, kSlotSecondNames, second));
    flags.secondChanged = false;
  }
  if (flags.firstChanged) {
    s.setFirstNameId(appendName(db, kSlotFirstNames, first));
    flags.firstChanged = false;
  }

  db.write(kSlotStaff, recordOf(personId), s);
  // Only now that the files hold the new name does the search list it.
  if (db.PersonNameTable.size() < size_t(kPersonNameTableSize)) db.PersonNameTable.resize(kPersonNameTableSize);
  db.PersonNameTable[size_t(personId)] = displayName;
}

}  // namespace cm3::people
