#include "people/newplayer.h"

#include "records/convert.h"

namespace cm3::people {
namespace {

void setEntryCount(Database& db, int entry, int64_t count) {
  IndexRecord r = db.readIndex(entry);
  r.setCount(int32_t(count));
  db.writeIndex(entry, r);
}

void growEntryCount(Database& db, int entry) {
  IndexRecord r = db.readIndex(entry);
  r.setCount(r.Count() + 1);
  db.writeIndex(entry, r);
}

void moveEntryPosition(Database& db, int entry, int32_t by) {
  IndexRecord r = db.readIndex(entry);
  r.setPosition(r.Position() + by);
  db.writeIndex(entry, r);
}

int32_t nameId(int64_t recordCount) {
  if (recordCount < 0 || recordCount >= INT32_MAX) throw ValueError("Illegal value!");
  return int32_t(recordCount);
}

}  // namespace

NewPlayerTemplate templateOf(const Database& db, int32_t personId) {
  if (personId < 0 || personId >= db.PeopleCount()) throw ValueError("Illegal value!");
  NewPlayerTemplate t;
  t.staff = db.read<StaffRecord>(kSlotStaff, int64_t(personId) + 1);
  t.firstName = db.read<NameRecord>(kSlotFirstNames, recordOf(t.staff.FirstNameId()));
  t.secondName = db.read<NameRecord>(kSlotSecondNames, recordOf(t.staff.SecondNameId()));
  t.commonName = db.read<NameRecord>(kSlotCommonNames, recordOf(t.staff.CommonNameId()));
  if (t.staff.isPlayer()) t.playerAtt = db.read<PlayerAttRecord>(kSlotStaffAtt, recordOf(t.staff.PlayerAttIndex()));
  return t;
}

int32_t nextPersonId(const Database& db) { return db.readIndex(kEntryPeople).Count(); }

NewPlayerResult addNewPlayer(Database& db, const NewPlayerTemplate& tpl, const PersonForm& form, NameFlags& flags) {
  const int32_t newId = db.readIndex(kEntryPeople).Count();
  const int32_t newAtt = db.readIndex(kEntrySection4).Count();
  if (newId < 0 || newId >= kPersonNameTableSize || newAtt < 0 || newAtt == INT32_MAX)
    throw ValueError("Illegal value!");

  NameRecord first = tpl.firstName, second = tpl.secondName, common = tpl.commonName;
  setName(first, form.firstName);
  setName(second, form.secondName);
  setName(common, form.commonName);

  // Every box is converted before anything is written.
  StaffRecord s = tpl.staff;
  s.setPersonId(newId);
  s.setPlayerAttIndex(newAtt);
  s.setClubId(-1);
  setStaffBoxes(s, form);

  NewPlayerResult result;
  result.personId = newId;
  result.attIndex = newAtt;
  db.checkFilesPresent();
  JournalAction action(db, "New player " + Database::displayName(second.Name(), first.Name()));

  // Second name, then first name; then the two entries.
  const int32_t r1 = nameId(db.recordCount(GameFile::FirstNames));
  const int32_t r2 = nameId(db.recordCount(GameFile::SecondNames));
  first.setId(r1);
  second.setId(r2);
  db.write(kSlotSecondNames, int64_t(r2) + 1, second);
  db.write(kSlotFirstNames, int64_t(r1) + 1, first);
  s.setFirstNameId(r1);
  s.setSecondNameId(r2);
  flags.firstChanged = false;
  flags.secondChanged = false;
  setEntryCount(db, kEntryFirstNames, int64_t(r1) + 1);
  setEntryCount(db, kEntrySecondNames, int64_t(r2) + 1);
  db.recordCount(GameFile::FirstNames) = int64_t(r1) + 1;
  db.recordCount(GameFile::SecondNames) = int64_t(r2) + 1;
  result.firstNameId = r1;
  result.secondNameId = r2;

  if (!form.commonName.empty()) {
    const int32_t r3 = nameId(db.recordCount(GameFile::CommonNames));
    common.setId(r3);
    db.write(kSlotCommonNames, int64_t(r3) + 1, common);
    s.setCommonNameId(r3);
    db.recordCount(GameFile::CommonNames) = int64_t(r3) + 1;
    setEntryCount(db, kEntryCommonNames, int64_t(r3) + 1);
  } else {
    // Sharing the template's common-name record would tie the two people
    // together: a later change of one would rename the other.
    s.setCommonNameId(0);
  }
  result.commonNameId = s.CommonNameId();

  db.write(kSlotStaff, int64_t(newId) + 1, s);
  growEntryCount(db, kEntryPeople);

  PlayerAttRecord a = tpl.playerAtt;
  a.setAttId(newAtt);
  db.write(kSlotStaffAtt, int64_t(newAtt) + 1, a);
  growEntryCount(db, kEntrySection4);

  for (int entry : {kEntrySection2, kEntrySection3, kEntrySection4})
    moveEntryPosition(db, entry, int32_t(StaffRecord::kSize));

  // The names as they are stored, so that the table reads the same after
  // the database is opened again.
  if (db.PersonNameTable.size() < size_t(kPersonNameTableSize)) db.PersonNameTable.resize(kPersonNameTableSize);
  db.PersonNameTable[size_t(newId)] = Database::displayName(second.Name(), first.Name());

  result.status = db.PersonNameTable[size_t(newId)] + kAddedText;
  return result;
}

}  // namespace cm3::people
