// Squads arranged by hand for core and window tests alike (no test
// framework here): slot arrays, a club given exactly some players (every
// ClubId kept in step), and the people to arrange them from.
#pragma once
#include <algorithm>
#include <initializer_list>
#include <stdexcept>
#include <vector>

#include "database/database.h"
#include "squads/squads.h"

namespace squadkit {

inline cm3::squads::PlayerSlots slotsOf(std::initializer_list<int32_t> occupied) {
  cm3::squads::PlayerSlots s = cm3::squads::emptyPlayerSlots();
  std::copy(occupied.begin(), occupied.end(), s.begin());
  return s;
}

// Gives `club` exactly these player slots: people dropped from them become
// clubless, people put in are taken out of the squad of their former club.
inline void setSquad(cm3::Database& db, int club, const cm3::squads::PlayerSlots& squad) {
  using namespace cm3;
  auto setClubOf = [&](int32_t id, int32_t c) {
    StaffRecord s = db.read<StaffRecord>(kSlotStaff, id + 1);
    s.setClubId(c);
    db.write(kSlotStaff, id + 1, s);
  };
  for (int32_t v : squads::decodePlayerSlots(db.read<ClubRecord>(kSlotClub, club + 1)))
    if (v >= 0 && std::find(squad.begin(), squad.end(), v) == squad.end()) setClubOf(v, -1);
  for (int32_t v : squad) {
    if (v < 0) continue;
    const int32_t prev = db.read<StaffRecord>(kSlotStaff, v + 1).ClubId();
    if (prev >= 0) {
      ClubRecord r = db.read<ClubRecord>(kSlotClub, prev + 1);
      for (int k = 0; k < squads::kPlayerSlots; ++k)
        if (r.PlayerSlot(k) == v) r.setPlayerSlot(k, -1);
      for (int k = 0; k < squads::kStaffSlots; ++k)
        if (r.StaffSlot(k) == v) r.setStaffSlot(k, -1);
      db.write(kSlotClub, prev + 1, r);
    }
    setClubOf(v, club);
  }
  ClubRecord r = db.read<ClubRecord>(kSlotClub, club + 1);
  squads::encodePlayerSlots(r, squad);
  db.write(kSlotClub, club + 1, r);
}

// The first person (0-based) who is a player, or who is not.
inline int32_t firstPerson(const cm3::Database& db, bool player, int skip = 0) {
  for (int32_t i = 0; i < db.PeopleCount(); ++i)
    if (db.read<cm3::StaffRecord>(cm3::kSlotStaff, i + 1).isPlayer() == player && skip-- == 0) return i;
  throw std::runtime_error("the generated game has no such person");
}

// Players with (or without) a club, in file order.
inline std::vector<int32_t> players(const cm3::Database& db, bool withClub) {
  std::vector<int32_t> out;
  for (int32_t p = 0; p < db.PeopleCount(); ++p) {
    const cm3::StaffRecord s = db.read<cm3::StaffRecord>(cm3::kSlotStaff, p + 1);
    if (s.isPlayer() && (s.ClubId() >= 0) == withClub) out.push_back(p);
  }
  return out;
}

}  // namespace squadkit
