// Faults planted into the files of a closed game directory, one or more for
// each consistency rule, and World, what the generated files hold.
#pragma once
#include <stdexcept>

#include "search/check.h"
#include "common/testkit.h"

namespace cm3test {

// What the generated files hold, for choosing the records to spoil.
struct World {
  explicit World(const fs::path& data) : data(data) {
    people = readRecord<cm3::IndexRecord>(data / "index.dat", cm3::kEntryPeople, cm3::kIndexHeader).Count();
    players = readRecord<cm3::IndexRecord>(data / "index.dat", cm3::kEntrySection4, cm3::kIndexHeader).Count();
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
  std::string name;   // test name
  std::string_view check;  // the one rule it breaks
  std::function<void(const World&)> plant;
};

inline std::vector<Fault> plantedFaults() {
  using namespace cm3;
  namespace s = cm3::search;
  auto grow = [](const fs::path& file, size_t bytes) {
    Bytes b = slurp(file);
    b.resize(b.size() + bytes, 0);
    spit(file, b);
  };
  auto person = [](const World& w, int32_t id, std::initializer_list<Set> sets) {
    editRecord<StaffRecord>(w.data / "staff.dat", id + 1, sets);
  };
  auto club = [](const World& w, int32_t id, std::initializer_list<Set> sets) {
    editRecord<ClubRecord>(w.data / "club.dat", id + 1, sets);
  };
  auto entry = [](const World& w, int e, bool position, int32_t delta) {
    editEntry(w.data, e, [&](IndexRecord& r) { position ? r.setPosition(r.Position() + delta) : r.setCount(r.Count() + delta); });
  };
  return {
      {"StrayWorkingFile", s::kCheckLeftoverFiles, [](const World& w) { spit(w.data / "staff_unknown.dat", Bytes(16, 7)); }},
      {"PartialClubRecord", s::kCheckFileSize, [=](const World& w) { grow(w.data / "club.dat", 10); }},
      {"LongIndexFile", s::kCheckFileSize, [=](const World& w) { grow(w.data / "index.dat", 1); }},
      {"ClubCountOfIndex", s::kCheckIndexCount, [=](const World& w) { entry(w, kEntryClubs, false, 5); }},
      {"SecondNameCountOfIndex", s::kCheckIndexCount, [=](const World& w) { entry(w, kEntrySecondNames, false, -1); }},
      {"SectionPosition", s::kCheckSectionTable, [=](const World& w) { entry(w, kEntrySection3, true, 1); }},
      {"StaffFileEndsInsideSection4", s::kCheckSectionTable,
       [](const World& w) { spit(w.data / "staff.dat", slice(slurp(w.data / "staff.dat"), 0, int64_t(fs::file_size(w.data / "staff.dat")) - 1000)); }},
      {"ClubOwnId", s::kCheckRecordId, [=](const World& w) { club(w, 3, {{"Id", 1234}}); }},
      {"PersonOwnId", s::kCheckRecordId, [=](const World& w) { person(w, 5, {{"PersonId", 77}}); }},
      {"FirstNameOutOfRange", s::kCheckNameId, [=](const World& w) { person(w, 10, {{"FirstNameId", w.firstNames + 10}}); }},
      {"NationOutOfRange", s::kCheckNationId, [=](const World& w) { person(w, 11, {{"NationId", w.nations + 3}}); }},
      {"ClubOutOfRange", s::kCheckClubId, [=](const World& w) { person(w, w.freeAgent(), {{"ClubId", w.clubs + 3}}); }},
      {"PlayerAttributesOutOfRange", s::kCheckAttributeId,
       [=](const World& w) { person(w, w.player(), {{"PlayerAttIndex", w.players + 5}}); }},
      {"SharedPlayerAttributes", s::kCheckAttributeShared,
       [=](const World& w) { person(w, w.player(1), {{"PlayerAttIndex", w.person(w.player(0)).PlayerAttIndex()}}); }},
      {"SlotOfNobody", s::kCheckSlotPerson,
       [=](const World& w) { club(w, w.squad().club, {{"PlayerSlots", w.people + 10, w.squad().empty}}); }},
      {"PersonInTwoSlots", s::kCheckSlotDuplicate,
       [=](const World& w) {
         const World::Squad q = w.squad();
         club(w, q.club, {{"PlayerSlots", w.club(q.club).PlayerSlot(q.occupied), q.empty}});
       }},
      {"FreeAgentInASlot", s::kCheckSlotClub,
       [=](const World& w) { club(w, w.squad().club, {{"PlayerSlots", w.freeAgent(), w.squad().empty}}); }},
      {"SlotEmptiedUnderItsPlayer", s::kCheckUnslotted,
       [=](const World& w) { club(w, w.squad().club, {{"PlayerSlots", -1, w.squad().occupied}}); }},
      {"HistoryOfNobody", s::kCheckHistoryPerson,
       [](const World& w) { editRecord<HistoryRecord>(w.data / "staff_history.dat", 3, {{"PersonId", w.people + 3}}); }},
      {"MainStadiumOutOfRange", s::kCheckReference, [=](const World& w) { club(w, 2, {{"MainStadium", w.stadiums + 4}}); }},
  };
}

}  // namespace cm3test
