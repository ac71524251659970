// Faults planted into the files of a closed game directory, one or more for
// each consistency rule, with the rules each fault may set off besides its
// own; and World, what the generated files hold, for choosing the records
// to spoil.
#pragma once
#include <filesystem>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "database/catalogue.h"
#include "records/records.h"
#include "search/check.h"
#include "common/testkit.h"

namespace cm3test {

// What the generated files hold, for choosing the records to spoil.
struct World {
  explicit World(const fs::path& data) : data(data) {
    people = readEntry(data, cm3::kEntryPeople).Count();
    players = readEntry(data, cm3::kEntrySection4).Count();
    clubs = int32_t(fs::file_size(data / "club.dat") / cm3::ClubRecord::kSize);
    nations = int32_t(fs::file_size(data / "nation.dat") / cm3::NationRecord::kSize);
    stadiums = int32_t(fs::file_size(data / "stadium.dat") / cm3::StadiumRecord::kSize);
    firstNames = int32_t(fs::file_size(data / "first_names.dat") / cm3::NameRecord::kSize);
  }
  cm3::StaffRecord person(int32_t id) const { return readRecord<cm3::StaffRecord>(data / "staff.dat", id + 1); }
  cm3::ClubRecord club(int32_t id) const { return readRecord<cm3::ClubRecord>(data / "club.dat", id + 1); }

  // The first person matching `pred`.
  template <class Pred>
  int32_t find(Pred pred) const {
    for (int32_t i = 0; i < people; ++i)
      if (pred(person(i))) return i;
    throw std::runtime_error("no such person in the generated world");
  }
  int32_t freeAgent() const {
    return find([](const cm3::StaffRecord& s) { return s.ClubId() < 0; });
  }
  int32_t player(int skip = 0) const {
    return find([&](const cm3::StaffRecord& s) { return s.isPlayer() && skip-- == 0; });
  }
  // A club, its first occupied player slot and its first empty one.
  struct Squad {
    int32_t club, occupied, empty;
  };
  Squad squad() const {
    for (int32_t c = 0; c < clubs; ++c) {
      const cm3::ClubRecord r = club(c);
      int occupied = -1, empty = -1;
      for (int k = 0; k < cm3::ClubRecord::kPlayerSlots; ++k) {
        if (r.PlayerSlot(k) >= 0 && occupied < 0) occupied = k;
        if (r.PlayerSlot(k) < 0 && empty < 0) empty = k;
      }
      if (occupied >= 0 && empty >= 0) return {c, occupied, empty};
    }
    throw std::runtime_error("no club with both an occupied and an empty slot");
  }

  fs::path data;
  int32_t people = 0, players = 0, clubs = 0, nations = 0, stadiums = 0, firstNames = 0;
};

struct Fault {
  std::string name;                 // test name
  std::string check;                // the rule it breaks
  std::set<std::string> alsoAllowed;  // other rules it may set off
  std::function<void(const World&)> plant;
};

inline std::vector<Fault> plantedFaults() {
  using namespace cm3;
  namespace s = cm3::search;
  return {
      {"StrayWorkingFile", std::string(s::kCheckLeftoverFiles), {},
       [](const World& w) { spit(w.data / "staff_unknown.dat", std::vector<uint8_t>(16, 7)); }},
      {"PartialClubRecord", std::string(s::kCheckFileSize), {},
       [](const World& w) {
         std::vector<uint8_t> b = slurp(w.data / "club.dat");
         b.resize(b.size() + 10, 0);
         spit(w.data / "club.dat", b);
       }},
      {"LongIndexFile", std::string(s::kCheckFileSize), {},
       [](const World& w) {
         std::vector<uint8_t> b = slurp(w.data / "index.dat");
         b.push_back(0);
         spit(w.data / "index.dat", b);
       }},
      {"ClubCountOfIndex", std::string(s::kCheckIndexCount), {},
       [](const World& w) { editEntry(w.data, kEntryClubs, [](IndexRecord& r) { r.setCount(r.Count() + 5); }); }},
      {"SecondNameCountOfIndex", std::string(s::kCheckIndexCount), {},
       [](const World& w) {
         editEntry(w.data, kEntrySecondNames, [](IndexRecord& r) { r.setCount(r.Count() - 1); });
       }},
      {"SectionPosition", std::string(s::kCheckSectionTable), {},
       [](const World& w) {
         editEntry(w.data, kEntrySection3, [](IndexRecord& r) { r.setPosition(r.Position() + 1); });
       }},
      {"StaffFileEndsInsideSection4", std::string(s::kCheckSectionTable), {},
       [](const World& w) {
         std::vector<uint8_t> b = slurp(w.data / "staff.dat");
         b.resize(b.size() - 1000);
         spit(w.data / "staff.dat", b);
       }},
      {"ClubOwnId", std::string(s::kCheckRecordId), {},
       [](const World& w) { editRecord<ClubRecord>(w.data / "club.dat", 4, [](ClubRecord& r) { r.setId(1234); }); }},
      {"PersonOwnId", std::string(s::kCheckRecordId), {},
       [](const World& w) {
         editRecord<StaffRecord>(w.data / "staff.dat", 6, [](StaffRecord& r) { r.setPersonId(77); });
       }},
      {"FirstNameOutOfRange", std::string(s::kCheckNameId), {},
       [](const World& w) {
         editRecord<StaffRecord>(w.data / "staff.dat", 11, [&](StaffRecord& r) { r.setFirstNameId(w.firstNames + 10); });
       }},
      {"NationOutOfRange", std::string(s::kCheckNationId), {},
       [](const World& w) {
         editRecord<StaffRecord>(w.data / "staff.dat", 12, [&](StaffRecord& r) { r.setNationId(w.nations + 3); });
       }},
      {"ClubOutOfRange", std::string(s::kCheckClubId), {},
       [](const World& w) {
         editRecord<StaffRecord>(w.data / "staff.dat", w.freeAgent() + 1, [&](StaffRecord& r) { r.setClubId(w.clubs + 3); });
       }},
      {"PlayerAttributesOutOfRange", std::string(s::kCheckAttributeId), {},
       [](const World& w) {
         editRecord<StaffRecord>(w.data / "staff.dat", w.player() + 1,
                                 [&](StaffRecord& r) { r.setPlayerAttIndex(w.players + 5); });
       }},
      {"SharedPlayerAttributes", std::string(s::kCheckAttributeShared), {},
       [](const World& w) {
         const int32_t shared = w.person(w.player(0)).PlayerAttIndex();
         editRecord<StaffRecord>(w.data / "staff.dat", w.player(1) + 1,
                                 [&](StaffRecord& r) { r.setPlayerAttIndex(shared); });
       }},
      {"SlotOfNobody", std::string(s::kCheckSlotPerson), {},
       [](const World& w) {
         const World::Squad q = w.squad();
         editRecord<ClubRecord>(w.data / "club.dat", q.club + 1,
                                [&](ClubRecord& r) { r.setPlayerSlot(q.empty, w.people + 10); });
       }},
      {"PersonInTwoSlots", std::string(s::kCheckSlotDuplicate), {},
       [](const World& w) {
         const World::Squad q = w.squad();
         editRecord<ClubRecord>(w.data / "club.dat", q.club + 1,
                                [&](ClubRecord& r) { r.setPlayerSlot(q.empty, r.PlayerSlot(q.occupied)); });
       }},
      {"FreeAgentInASlot", std::string(s::kCheckSlotClub), {},
       [](const World& w) {
         const World::Squad q = w.squad();
         const int32_t agent = w.freeAgent();
         editRecord<ClubRecord>(w.data / "club.dat", q.club + 1, [&](ClubRecord& r) { r.setPlayerSlot(q.empty, agent); });
       }},
      {"SlotEmptiedUnderItsPlayer", std::string(s::kCheckUnslotted), {},
       [](const World& w) {
         const World::Squad q = w.squad();
         editRecord<ClubRecord>(w.data / "club.dat", q.club + 1, [&](ClubRecord& r) { r.setPlayerSlot(q.occupied, -1); });
       }},
      {"HistoryOfNobody", std::string(s::kCheckHistoryPerson), {},
       [](const World& w) {
         editRecord<HistoryRecord>(w.data / "staff_history.dat", 3, [&](HistoryRecord& r) { r.setPersonId(w.people + 3); });
       }},
      {"MainStadiumOutOfRange", std::string(s::kCheckReference), {},
       [](const World& w) {
         editRecord<ClubRecord>(w.data / "club.dat", 3, [&](ClubRecord& r) { r.setMainStadium(w.stadiums + 4); });
       }},
  };
}

}  // namespace cm3test
