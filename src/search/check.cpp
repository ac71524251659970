#include "search/check.h"

#include <algorithm>
#include <stdexcept>
#include <type_traits>
#include <variant>

#include "database/gamepath.h"
#include "squads/squads.h"

namespace cm3::search {

const std::vector<std::string_view>& checkNames() {
  static const std::vector<std::string_view> names = {
      kCheckLeftoverFiles, kCheckFileSize,     kCheckIndexCount,     kCheckSectionTable, kCheckRecordId,
      kCheckNameId,        kCheckNationId,     kCheckClubId,         kCheckAttributeId,  kCheckAttributeShared,
      kCheckSlotPerson,    kCheckSlotDuplicate, kCheckSlotClub,      kCheckUnslotted,    kCheckHistoryPerson,
      kCheckReference};
  return names;
}

std::string_view checkDescription(std::string_view name) {
  static const std::pair<std::string_view, std::string_view> texts[] = {
      {kCheckLeftoverFiles, "working files of a run that did not close"},
      {kCheckFileSize, "a file ending inside a record, or index.dat not 1482 bytes long"},
      {kCheckIndexCount, "an index.dat count that differs from the records of its file"},
      {kCheckSectionTable, "the sections of staff.dat against their index entries"},
      {kCheckRecordId, "a record whose own identifier is not its record number - 1"},
      {kCheckNameId, "a person's first, second or common name identifier out of range"},
      {kCheckNationId, "a person's nation or second nation out of range"},
      {kCheckClubId, "a person's club out of range"},
      {kCheckAttributeId, "a person's attribute record out of range"},
      {kCheckAttributeShared, "two people sharing one attribute record"},
      {kCheckSlotPerson, "a club's squad or staff slot naming no person"},
      {kCheckSlotDuplicate, "a person in more than one slot"},
      {kCheckSlotClub, "a person in a club's slots whose ClubId is another"},
      {kCheckUnslotted, "a person whose ClubId is set but who is in none of that club's slots"},
      {kCheckHistoryPerson, "a history row of a person who does not exist"},
      {kCheckReference, "any other identifier (stadium, city, colour, nation, ...) out of range"},
  };
  for (const auto& [n, text] : texts)
    if (n == name) return text;
  return {};
}

int64_t CheckReport::total() const {
  int64_t n = 0;
  for (const auto& [name, c] : counts) n += c;
  return n;
}

int64_t CheckReport::count(std::string_view check) const {
  auto it = counts.find(std::string(check));
  return it == counts.end() ? 0 : it->second;
}

void CheckReport::add(std::string_view check, std::string file, int64_t record, std::string message) {
  int64_t& n = counts[std::string(check)];
  if (size_t(n) < limitPerCheck) findings.push_back({std::string(check), std::move(file), record, std::move(message)});
  ++n;
}

// ---- Working files ----------------------------------------------------------

std::vector<std::string> leftoverWorkingFiles(const std::string& gameDir) {
  std::vector<std::string> found;
  for (std::string_view p : {kPathStaffAtt, kPathStaffAtt2, kPathUnknown})
    if (FileExists(resolveGamePath(gameDir, p))) found.emplace_back(p);
  // A write-back builds the new files under temporary names first.
  for (std::string_view p : {kPathStaff, kPathIndex, kPathIndexTemp, kPathStaffAtt, kPathStaffAtt2, kPathUnknown}) {
    const std::string tmp = temporaryPathFor(resolveGamePath(gameDir, p));
    if (FileExists(tmp)) found.push_back(tmp);
  }
  return found;
}

void checkLeftoverFiles(const std::string& gameDir, CheckReport& report) {
  for (const std::string& f : leftoverWorkingFiles(gameDir))
    report.add(kCheckLeftoverFiles, std::string(), 0,
               "working file " + f + " is left from a run that did not close");
}

// ---- The open database ----------------------------------------------------------

namespace {

std::string fileName(std::string_view gamePath) {
  size_t cut = gamePath.find_last_of("\\/");
  return std::string(cut == std::string_view::npos ? gamePath : gamePath.substr(cut + 1));
}

std::string num(int64_t v) { return std::to_string(v); }

class Checker {
 public:
  Checker(const Database& db, CheckReport& report) : db_(db), r_(report) {}

  void run() {
    measure();
    fileSizes();
    indexCounts();
    sectionTable();
    people();
    clubs();
    unslotted();
    worldFiles();
    playerAttIds();
    history();
  }

 private:
  struct Person {
    int32_t clubId = -1;
    int32_t slotClub = -1;  // the club whose slots hold him first, -1 none
    bool inOwnClub = false;
  };

  int64_t records(int slot, size_t length) const { return int64_t(db_.file(slot).size() / length); }
  std::string fileOf(int slot) const { return fileName(slotInfo(slot).path); }

  std::string person(int64_t id) const {
    const std::string& n = db_.personName(id);
    return "person " + num(id) + (n.empty() ? std::string() : " (" + n + ")");
  }
  std::string club(int64_t id) const {
    std::string s = "club " + num(id);
    if (id >= 0 && id < int64_t(db_.clubNames.size())) s += " (" + db_.clubNames[size_t(id)] + ")";
    return s;
  }

  // An identifier that has to be negative (none) or address one of `count`
  // records.
  void ref(std::string_view check, int slot, int64_t record, const std::string& owner, const char* field,
           int32_t value, int64_t count, const char* target) {
    if (value < 0 || value < count) return;
    r_.add(check, fileOf(slot), record,
           owner + ": " + field + " " + num(value) + " addresses no record of " + target + " (" + num(count) +
               " records)");
  }

  struct Target {
    int64_t count;
    const char* file;  // nullptr: a field of this kind has a rule of its own
  };
  Target target(FieldRef ref) const {
    switch (ref) {
      case FieldRef::Person: return {people_, "the people"};
      case FieldRef::Nation: return {nations_, "nation.dat"};
      case FieldRef::Club: return {clubs_, "club.dat"};
      case FieldRef::Comp: return {comps_, "club_comp.dat"};
      case FieldRef::Stadium: return {stadiums_, "stadium.dat"};
      case FieldRef::City: return {cities_, "city.dat"};
      case FieldRef::Colour: return {colours_, "colour.dat"};
      case FieldRef::Continent: return {continents_, "continent.dat"};
      default: return {0, nullptr};
    }
  }

  // Every identifier field of the record's table but those named in `own`
  // (checked by rules of their own). A person's nations and club have rules
  // of their own; every other field falls under "reference".
  template <class R>
  void references(const R& rec, int slot, int64_t record, const std::string& who,
                  std::initializer_list<std::string_view> own = {}) {
    for (const FieldInfo& f : R::kFields) {
      const Target t = target(f.ref);
      if (!t.file || f.kept || std::find(own.begin(), own.end(), f.name) != own.end()) continue;
      std::string_view rule = kCheckReference;
      if constexpr (std::is_same_v<R, StaffRecord>) rule = f.ref == FieldRef::Nation ? kCheckNationId : kCheckClubId;
      const std::string name(f.name);
      for (int k = 0; k < f.count; ++k)
        ref(rule, slot, record, who, name.c_str(), int32_t(std::get<int64_t>(getField(rec.data(), f, k))), t.count,
            t.file);
    }
  }

  void measure() {
    people_ = std::clamp<int64_t>(db_.readIndex(kEntryPeople).Count(), 0, kPersonNameTableSize);
    people_ = std::min(people_, records(kSlotStaff, StaffRecord::kSize));
    nations_ = records(kSlotNation, NationRecord::kSize);
    clubs_ = records(kSlotClub, ClubRecord::kSize);
    continents_ = records(kSlotContinent, ContinentRecord::kSize);
    comps_ = records(kSlotComp, CompRecord::kSize);
    stadiums_ = records(kSlotStadium, StadiumRecord::kSize);
    cities_ = records(kSlotCity, CityRecord::kSize);
    colours_ = records(kSlotColour, ColourRecord::kSize);
    firstNames_ = records(kSlotFirstNames, NameRecord::kSize);
    secondNames_ = records(kSlotSecondNames, NameRecord::kSize);
    commonNames_ = records(kSlotCommonNames, NameRecord::kSize);
    t_ = db_.sections();
  }

  void fileSizes() {
    for (int slot : {kSlotSecondNames, kSlotFirstNames, kSlotNation, kSlotClub, kSlotCommonNames, kSlotHistory,
                     kSlotContinent, kSlotComp, kSlotStadium, kSlotCity, kSlotColour}) {
      const uint64_t size = db_.file(slot).size();
      const uint64_t len = uint64_t(slotInfo(slot).recordLength);
      if (size % len != 0)
        r_.add(kCheckFileSize, fileOf(slot), 0,
               fileOf(slot) + " holds " + num(int64_t(size)) + " bytes, not a whole number of " + num(int64_t(len)) +
                   "-byte records (" + num(int64_t(size % len)) + " bytes left over)");
    }
    const uint64_t index = db_.file(kSlotIndexBytes).size();
    if (index != uint64_t(kIndexFileSize))
      r_.add(kCheckFileSize, "index.dat", 0,
             "index.dat holds " + num(int64_t(index)) + " bytes instead of " + num(kIndexFileSize));
  }

  void indexCounts() {
    struct Entry {
      int entry;
      int slot;
      int64_t count;
    };
    const Entry entries[] = {{kEntryClubs, kSlotClub, clubs_},
                             {kEntryStadiums, kSlotStadium, stadiums_},
                             {kEntryFirstNames, kSlotFirstNames, firstNames_},
                             {kEntrySecondNames, kSlotSecondNames, secondNames_},
                             {kEntryCommonNames, kSlotCommonNames, commonNames_}};
    for (const Entry& e : entries) {
      const int32_t counted = db_.readIndex(e.entry).Count();
      if (counted != e.count)
        r_.add(kCheckIndexCount, "index.dat", e.entry,
               "index entry " + num(e.entry) + " counts " + num(counted) + " records of " + fileOf(e.slot) +
                   ", the file holds " + num(e.count));
    }
  }

  void sectionTable() {
    const int64_t counts[] = {t_.N8, t_.N9, t_.N10, t_.N11};
    for (int k = 0; k < 4; ++k)
      if (counts[k] < 0)
        r_.add(kCheckSectionTable, "index.dat", kEntryPeople + k,
               "index entry " + num(kEntryPeople + k) + " counts " + num(counts[k]) + " records");
    if (t_.N8 > kPersonNameTableSize)
      r_.add(kCheckSectionTable, "index.dat", kEntryPeople,
             "index entry 8 counts " + num(t_.N8) + " people, more than the " + num(kPersonNameTableSize) +
                 " the editor can hold");

    // Each section as far as it is present: staff.dat holds the people in
    // place, the working files the copies of sections 2 to 4 (as much of
    // each as staff.dat had).
    struct Section {
      int number;
      int slot;
      int64_t count;
      int64_t size;
    };
    const Section sections[] = {{1, kSlotStaffBytes, t_.N8, 157},
                                {2, kSlotUnknownBytes, t_.N9, 8},
                                {3, kSlotStaffAtt2Bytes, t_.N10, 68},
                                {4, kSlotStaffAttBytes, t_.N11, 70}};
    for (const Section& s : sections) {
      if (s.count <= 0) continue;
      const int64_t present = int64_t(db_.file(s.slot).size()) / s.size;
      if (present < s.count)
        r_.add(kCheckSectionTable, "staff.dat", 0,
               "staff.dat ends inside section " + num(s.number) + ": index entry " + num(kEntryPeople + s.number - 1) +
                   " counts " + num(s.count) + " records of " + num(s.size) + " bytes, " + num(present) +
                   " are there");
    }

    const int64_t starts[] = {t_.A, t_.B, t_.C};
    for (int k = 0; k < 3; ++k) {
      const int entry = kEntrySection2 + k;
      const int32_t pos = db_.readIndex(entry).Position();
      if (pos != starts[k])
        r_.add(kCheckSectionTable, "index.dat", entry,
               "index entry " + num(entry) + " puts section " + num(k + 2) + " of staff.dat at byte " + num(pos) +
                   ", the counts of entries 8 to 11 put it at byte " + num(starts[k]));
    }
  }

  void people() {
    persons_.assign(size_t(people_), Person{});
    std::vector<int32_t> playerAttUser(size_t(std::max<int64_t>(0, t_.N11)), -1);
    std::vector<int32_t> staffAttUser(size_t(std::max<int64_t>(0, t_.N10)), -1);
    for (int64_t i = 0; i < people_; ++i) {
      const StaffRecord s = db_.read<StaffRecord>(kSlotStaff, i + 1);
      const std::string who = person(i);
      if (s.PersonId() != i)
        r_.add(kCheckRecordId, "staff.dat", i + 1, who + ": PersonId is " + num(s.PersonId()));

      auto nameRef = [&](const char* field, int32_t id, int64_t count, const char* file, bool zeroIsNone) {
        if (zeroIsNone && id == 0) return;
        if (id >= 0 && id < count) return;
        r_.add(kCheckNameId, "staff.dat", i + 1,
               who + ": " + field + " " + num(id) + " addresses no record of " + file + " (" + num(count) +
                   " records)");
      };
      nameRef("FirstNameId", s.FirstNameId(), firstNames_, "first_names.dat", false);
      nameRef("SecondNameId", s.SecondNameId(), secondNames_, "second_names.dat", false);
      nameRef("CommonNameId", s.CommonNameId(), commonNames_, "common_names.dat", true);

      references(s, kSlotStaff, i + 1, who);
      persons_[size_t(i)].clubId = s.ClubId();

      auto attRef = [&](const char* field, int32_t idx, int64_t count, std::vector<int32_t>& users,
                        const char* section) {
        if (idx < 0 || idx >= count) {
          r_.add(kCheckAttributeId, "staff.dat", i + 1,
                 who + ": " + field + " " + num(idx) + " addresses no record of " + section + " (" + num(count) +
                     " records)");
          return;
        }
        int32_t& user = users[size_t(idx)];
        if (user >= 0)
          r_.add(kCheckAttributeShared, "staff.dat", i + 1,
                 who + " and " + person(user) + " both have " + field + " " + num(idx));
        else
          user = int32_t(i);
      };
      if (s.isPlayer())
        attRef("PlayerAttIndex", s.PlayerAttIndex(), t_.N11, playerAttUser, "staff_att.dat");
      else
        attRef("StaffAttIndex", s.StaffAttIndex(), t_.N10, staffAttUser, "staff_att2.dat");
    }
  }

  void slot(int32_t clubId, const char* kind, int k, int32_t value) {
    if (value < 0) return;  // empty
    const std::string where = club(clubId) + ", " + kind + " slot " + num(k);
    if (value >= people_) {
      r_.add(kCheckSlotPerson, "club.dat", clubId + 1,
             where + ": holds " + num(value) + ", which addresses no person (" + num(people_) + " people)");
      return;
    }
    Person& p = persons_[size_t(value)];
    if (p.slotClub >= 0)
      r_.add(kCheckSlotDuplicate, "club.dat", clubId + 1,
             where + ": " + person(value) + " is in a slot of " + club(p.slotClub) + " already");
    else
      p.slotClub = clubId;
    if (p.clubId == clubId)
      p.inOwnClub = true;
    else
      r_.add(kCheckSlotClub, "club.dat", clubId + 1,
             where + ": " + person(value) + " has ClubId " + num(p.clubId));
  }

  void clubs() {
    for (int64_t c = 0; c < clubs_; ++c) {
      const ClubRecord rec = db_.read<ClubRecord>(kSlotClub, c + 1);
      const std::string who = club(c);
      if (rec.Id() != c) r_.add(kCheckRecordId, "club.dat", c + 1, who + ": Id is " + num(rec.Id()));

      const squads::PlayerSlots players = squads::decodePlayerSlots(rec);
      for (int k = 0; k < squads::kPlayerSlots; ++k) slot(int32_t(c), "player", k, players[size_t(k)]);
      const squads::StaffSlots staff = squads::decodeStaffSlots(rec);
      for (int k = 0; k < squads::kStaffSlots; ++k) slot(int32_t(c), "staff", k, staff[size_t(k)]);

      references(rec, kSlotClub, c + 1, who, {"PlayerSlots", "StaffSlots"});
    }
  }

  void unslotted() {
    for (int64_t i = 0; i < people_; ++i) {
      const Person& p = persons_[size_t(i)];
      if (p.clubId < 0 || p.clubId >= clubs_ || p.inOwnClub) continue;
      r_.add(kCheckUnslotted, "staff.dat", i + 1,
             person(i) + " has ClubId " + num(p.clubId) + " but is in no slot of " + club(p.clubId));
    }
  }

  // Each record of a world file: its own Id (unless the file counts it
  // otherwise) and every identifier field of its table. A record is named by
  // the first text of its table.
  template <class R>
  void worldFile(int slot, int64_t count, const char* what, bool ownId = true) {
    const FieldInfo& name = *std::find_if(R::kFields.begin(), R::kFields.end(),
                                          [](const FieldInfo& f) { return f.type == FieldType::Text; });
    for (int64_t n = 0; n < count; ++n) {
      const R rec = db_.read<R>(slot, n + 1);
      const std::string who =
          std::string(what) + " " + num(n) + " (" + std::get<std::string>(getField(rec.data(), name)) + ")";
      if (ownId && rec.Id() != n) r_.add(kCheckRecordId, fileOf(slot), n + 1, who + ": Id is " + num(rec.Id()));
      references(rec, slot, n + 1, who);
    }
  }

  void worldFiles() {
    worldFile<NationRecord>(kSlotNation, nations_, "nation");
    worldFile<ContinentRecord>(kSlotContinent, continents_, "continent");
    // A competition's own identifier is not checked: the records of the game
    // may count it from the record number or from the record number - 1.
    worldFile<CompRecord>(kSlotComp, comps_, "competition", false);
    worldFile<StadiumRecord>(kSlotStadium, stadiums_, "stadium");
    worldFile<CityRecord>(kSlotCity, cities_, "city");
    worldFile<ColourRecord>(kSlotColour, colours_, "colour");
    worldFile<NameRecord>(kSlotFirstNames, firstNames_, "first name");
    worldFile<NameRecord>(kSlotSecondNames, secondNames_, "second name");
    worldFile<NameRecord>(kSlotCommonNames, commonNames_, "common name");
  }

  void playerAttIds() {
    const int64_t n = std::min(t_.N11, records(kSlotStaffAtt, PlayerAttRecord::kSize));
    for (int64_t k = 0; k < n; ++k) {
      const PlayerAttRecord rec = db_.read<PlayerAttRecord>(kSlotStaffAtt, k + 1);
      if (rec.AttId() != k)
        r_.add(kCheckRecordId, "staff_att.dat", k + 1,
               "player attribute record " + num(k) + ": AttId is " + num(rec.AttId()));
    }
  }

  void history() {
    const int64_t n = records(kSlotHistory, HistoryRecord::kSize);
    for (int64_t k = 0; k < n; ++k) {
      const HistoryRecord rec = db_.read<HistoryRecord>(kSlotHistory, k + 1);
      const std::string who = "history row " + num(k);
      if (rec.RecordId() != k) r_.add(kCheckRecordId, "staff_history.dat", k + 1, who + ": record ID is " + num(rec.RecordId()));
      if (rec.PersonId() < 0) continue;  // a deleted row belongs to nobody
      if (rec.PersonId() >= people_)
        r_.add(kCheckHistoryPerson, "staff_history.dat", k + 1,
               who + ": person ID " + num(rec.PersonId()) + " addresses no person (" + num(people_) + " people)");
      references(rec, kSlotHistory, k + 1, who, {"PersonId"});
    }
  }

  const Database& db_;
  CheckReport& r_;
  SectionTable t_;
  int64_t people_ = 0, nations_ = 0, clubs_ = 0, continents_ = 0, comps_ = 0, stadiums_ = 0, cities_ = 0,
          colours_ = 0, firstNames_ = 0, secondNames_ = 0, commonNames_ = 0;
  std::vector<Person> persons_;
};

}  // namespace

void checkDatabase(const Database& db, CheckReport& report) {
  if (!db.isOpen()) throw std::logic_error("checkDatabase needs an open database");
  Checker(db, report).run();
}

CheckReport checkDatabase(const Database& db) {
  CheckReport report;
  checkDatabase(db, report);
  return report;
}

}  // namespace cm3::search
