#include "squads/squads.h"

#include <algorithm>
#include <cstring>

#include "records/text.h"

namespace cm3::squads {
namespace {

int32_t slotAt(const ClubRecord& club, size_t offset) {
  return CVL(std::string_view(reinterpret_cast<const char*>(club.data() + offset), 4));
}

void putSlot(ClubRecord& club, size_t offset, int32_t value) {
  const std::string four = MKL(value < 0 ? -1 : value);
  std::memcpy(club.data() + offset, four.data(), 4);
}

template <class R>
void put(Database& db, Questions& q, int slot, int64_t n, const R& rec) {
  db.write(slot, n, rec);
  q.wrote(slot, n);
}

PlayerSlots storedSquad(const Database& db, int clubId) {
  return decodePlayerSlots(db.read<ClubRecord>(kSlotClub, int64_t(clubId) + 1));
}

const std::string& clubName(const Database& db, int clubId) {
  static const std::string none;
  if (clubId < 0 || clubId >= int(db.clubNames.size())) return none;
  return db.clubNames[size_t(clubId)];
}

int rowAfter(int selectedRow) {
  const int next = selectedRow < 0 ? 0 : selectedRow + 1;
  return next >= kPlayerSlots ? 0 : next;
}

TransferResult signFreePlayer(Database& db, SquadState& state, int32_t personId, StaffRecord staff, Questions& q) {
  TransferResult none;
  if (!isClub(db, state.TransferClubId)) {
    q.message(kSelectClubMessage);
    return none;
  }
  if (!q.ask(kSignQuestion)) return none;
  if (state.TransferSquadCount >= kPlayerSlots || FindEmptyPos(state.TransferSquad) < 0) {
    q.message(kTeamFullMessage);
    return none;
  }
  if (storedSquad(db, state.TransferClubId) != state.TransferSquad) {
    q.message(kOutOfDateMessage);
    return none;
  }

  staff.setClubId(state.TransferClubId);
  put(db, q, kSlotStaff, int64_t(personId) + 1, staff);

  TransferResult r;
  r.move = Move::Signing;
  r.status = db.personName(personId) + kSignedText + clubName(db, state.TransferClubId);

  state.TransferSquad[size_t(FindEmptyPos(state.TransferSquad))] = personId;
  Add_Player(db, state, q);

  loadTransferClub(db, state, state.TransferClubId);
  // The same club may be on show as the current club too.
  if (state.currentClubId == state.TransferClubId) state.CurrentSquad = state.TransferSquad;
  r.transferRow = findSlot(state.TransferSquad, personId);
  return r;
}

}  // namespace

// ---- Slots ----------------------------------------------------------------

PlayerSlots decodePlayerSlots(const ClubRecord& club) {
  PlayerSlots s;
  for (int k = 0; k < kPlayerSlots; ++k) s[size_t(k)] = slotAt(club, ClubRecord::PlayerSlotOffset + 4 * size_t(k));
  return s;
}

StaffSlots decodeStaffSlots(const ClubRecord& club) {
  StaffSlots s;
  for (int k = 0; k < kStaffSlots; ++k) s[size_t(k)] = slotAt(club, ClubRecord::staffSlotOffset(k));
  return s;
}

void encodePlayerSlots(ClubRecord& club, const PlayerSlots& slots) {
  for (int k = 0; k < kPlayerSlots; ++k) putSlot(club, ClubRecord::PlayerSlotOffset + 4 * size_t(k), slots[size_t(k)]);
}

PlayerSlots emptyPlayerSlots() {
  PlayerSlots s;
  s.fill(-1);
  return s;
}

StaffSlots emptyStaffSlots() {
  StaffSlots s;
  s.fill(-1);
  return s;
}

int FindEmptyPos(const PlayerSlots& slots) {
  for (int k = 0; k < kPlayerSlots; ++k)
    if (slots[size_t(k)] < 0) return k;
  return -1;
}

int occupiedCount(const PlayerSlots& slots) {
  return int(std::count_if(slots.begin(), slots.end(), [](int32_t v) { return v >= 0; }));
}

int findSlot(std::span<const int32_t> slots, int32_t personId) {
  if (personId < 0) return -1;
  for (size_t k = 0; k < slots.size(); ++k)
    if (slots[k] == personId) return int(k);
  return -1;
}

std::string slotText(const Database& db, int32_t value, int64_t peopleCount) {
  if (value < 0) return kEmptyRow;
  if (value >= peopleCount || value >= int64_t(db.PersonNameTable.size()))
    return "(no such person: " + std::to_string(value) + ")";
  return db.personName(value);
}

std::vector<std::string> slotTexts(const Database& db, std::span<const int32_t> slots) {
  const int64_t people = db.isOpen() ? db.PeopleCount() : 0;
  std::vector<std::string> rows;
  rows.reserve(slots.size());
  for (int32_t v : slots) rows.push_back(slotText(db, v, people));
  return rows;
}

// ---- The two chosen clubs ------------------------------------------------------

bool isClub(const Database& db, int clubId) {
  return clubId >= 0 && db.has<ClubRecord>(kSlotClub, int64_t(clubId) + 1);
}

std::optional<StaffRecord> readPerson(const Database& db, int32_t personId) {
  if (!db.isOpen() || personId < 0 || personId >= db.PeopleCount()) return std::nullopt;
  return db.read<StaffRecord>(kSlotStaff, int64_t(personId) + 1);
}

void loadCurrentClub(const Database& db, SquadState& state, int clubId) {
  state.CurrentSquad = emptyPlayerSlots();
  state.CurrentStaff = emptyStaffSlots();
  state.currentClubId = -1;
  if (!isClub(db, clubId)) return;
  const ClubRecord club = db.read<ClubRecord>(kSlotClub, int64_t(clubId) + 1);
  state.currentClubId = clubId;
  state.CurrentSquad = decodePlayerSlots(club);
  state.CurrentStaff = decodeStaffSlots(club);
}

void loadTransferClub(const Database& db, SquadState& state, int clubId) {
  state.TransferSquad = emptyPlayerSlots();
  state.TransferSquadCount = 0;
  state.TransferClubId = -1;
  if (!isClub(db, clubId)) return;
  const ClubRecord club = db.read<ClubRecord>(kSlotClub, int64_t(clubId) + 1);
  state.TransferClubId = clubId;
  state.TransferSquad = decodePlayerSlots(club);
  state.TransferSquadCount = occupiedCount(state.TransferSquad);
}

// ---- Transfers -------------------------------------------------------------

void Add_Player(Database& db, const SquadState& state, Questions& q) {
  const int64_t n = int64_t(state.TransferClubId) + 1;
  ClubRecord club = db.read<ClubRecord>(kSlotClub, n);
  encodePlayerSlots(club, state.TransferSquad);
  put(db, q, kSlotClub, n, club);
}

int Transfer(Database& db, SquadState& state, int32_t personId, int vacatedRow, Questions& q) {
  if (state.TransferSquadCount >= kPlayerSlots || FindEmptyPos(state.TransferSquad) < 0) {
    q.message(kTeamFullMessage);
    return -1;
  }
  if (vacatedRow < 0 || vacatedRow >= kPlayerSlots || state.CurrentSquad[size_t(vacatedRow)] != personId ||
      !isClub(db, state.currentClubId) || !isClub(db, state.TransferClubId)) {
    q.message(kMismatchMessage);
    return -1;
  }
  if (state.currentClubId == state.TransferClubId) {
    q.message(kSameTeamMessage);
    return -1;
  }

  state.CurrentSquad[size_t(vacatedRow)] = -1;
  const int64_t left = int64_t(state.currentClubId) + 1;
  ClubRecord club = db.read<ClubRecord>(kSlotClub, left);
  encodePlayerSlots(club, state.CurrentSquad);
  put(db, q, kSlotClub, left, club);

  const int pos = FindEmptyPos(state.TransferSquad);
  state.TransferSquad[size_t(pos)] = personId;
  const int64_t joined = int64_t(state.TransferClubId) + 1;
  club = db.read<ClubRecord>(kSlotClub, joined);
  encodePlayerSlots(club, state.TransferSquad);
  put(db, q, kSlotClub, joined, club);
  state.TransferSquadCount = occupiedCount(state.TransferSquad);
  return pos;
}

TransferResult cmdTransfer(Database& db, SquadState& state, int32_t personId, int selectedRow, Questions& q) {
  db.checkFilesPresent();
  TransferResult none;
  const std::optional<StaffRecord> stored = readPerson(db, personId);
  if (!stored) {
    q.message(kNobodyMessage);
    return none;
  }
  StaffRecord staff = *stored;
  JournalAction action(db, "Transfer " + db.personName(personId) + " to " + clubName(db, state.TransferClubId));
  if (staff.ClubId() < 0) return signFreePlayer(db, state, personId, staff, q);

  // A person with a club: the selected row must hold him, in the squad of
  // the club his record names, as that squad is stored.
  if (selectedRow >= 0 && selectedRow < kPlayerSlots && state.CurrentSquad[size_t(selectedRow)] < 0) {
    q.message(kNobodyMessage);
    return none;
  }
  if (selectedRow < 0 || selectedRow >= kPlayerSlots) {
    q.message(kNoRowMessage);
    return none;
  }
  const int sourceClub = staff.ClubId();
  if (state.currentClubId != sourceClub || !isClub(db, sourceClub) ||
      state.CurrentSquad[size_t(selectedRow)] != personId) {
    q.message(kMismatchMessage);
    return none;
  }
  if (storedSquad(db, sourceClub) != state.CurrentSquad) {
    q.message(kOutOfDateMessage);
    return none;
  }

  TransferResult r;
  if (state.TransferClubId < 0) {
    // Free transfer: the person leaves his club and becomes clubless.
    if (!q.ask(kFreeTransferQuestion)) return none;
    action.setLabel("Free transfer " + db.personName(personId) + " from " + clubName(db, sourceClub));
    const int64_t left = int64_t(sourceClub) + 1;
    ClubRecord club = db.read<ClubRecord>(kSlotClub, left);
    staff.setClubId(-1);
    put(db, q, kSlotStaff, int64_t(personId) + 1, staff);
    state.CurrentSquad[size_t(selectedRow)] = -1;
    encodePlayerSlots(club, state.CurrentSquad);
    put(db, q, kSlotClub, left, club);
    r.move = Move::FreeTransfer;
    r.status = db.personName(personId) + kFreedText + clubName(db, sourceClub);
    r.squadRow = rowAfter(selectedRow);
    return r;
  }

  if (state.currentClubId == state.TransferClubId) {
    q.message(kSameTeamMessage);
    return none;
  }
  if (state.TransferSquadCount >= kPlayerSlots) {
    q.message(kTeamFullMessage);
    return none;
  }
  if (storedSquad(db, state.TransferClubId) != state.TransferSquad) {
    q.message(kOutOfDateMessage);
    return none;
  }
  if (Transfer(db, state, personId, selectedRow, q) < 0) return none;

  staff = db.read<StaffRecord>(kSlotStaff, int64_t(personId) + 1);
  staff.setClubId(state.TransferClubId);
  put(db, q, kSlotStaff, int64_t(personId) + 1, staff);

  r.move = Move::Transfer;
  r.status = db.personName(personId) + kTransferredText + clubName(db, sourceClub) + kToText +
             clubName(db, state.TransferClubId);
  r.transferRow = findSlot(state.TransferSquad, personId);
  r.squadRow = rowAfter(selectedRow);
  return r;
}

}  // namespace cm3::squads
