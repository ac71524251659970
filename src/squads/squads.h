// The squads of two clubs side by side and the moves between them.
//
// A club record holds 50 player slots and 17 staff slots, each a person ID or
// a negative value for an empty slot. SquadState mirrors the slots of the
// club chosen as current club (its players and staff) and of the club chosen
// as transfer club (its players), as last read or written. The transfer
// operations keep three things in step in the files: the person's ClubId,
// the slots of the club he leaves and the slots of the club he joins.
//
// Questions and refusals go through the Questions interface, so that the
// operations run the same with message boxes or with a scripted answerer.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "database/database.h"
#include "records/records.h"

namespace cm3::squads {

inline constexpr int kPlayerSlots = ClubRecord::kPlayerSlots;  // 50
inline constexpr int kStaffSlots = ClubRecord::kStaffSlots;    // 17
using PlayerSlots = std::array<int32_t, kPlayerSlots>;
using StaffSlots = std::array<int32_t, kStaffSlots>;

// Row texts.
inline constexpr const char* kEmptyRow = "Empty";

// Captions of the transfer button.
inline constexpr const char* kCaptionInitial = "&Transfer";
inline constexpr const char* kCaptionTransfer = "Transfer";
inline constexpr const char* kCaptionFreeTransfer = "Free Transfer";       // a squad row chosen, no transfer club
inline constexpr const char* kCaptionFreeTransferTyped = "Free transfer";  // transfer club cleared by typing

// Questions, refusals and status texts of the transfers.
inline constexpr const char* kSelectClubMessage = "Select a club to transfer to!";
inline constexpr const char* kSignQuestion = "Transfer Free player to Selected team?";
inline constexpr const char* kTeamFullMessage = "Team is already Full !";
inline constexpr const char* kNobodyMessage = "Nobody to transfer";
inline constexpr const char* kSameTeamMessage = "Can't transfer within the same team!";
inline constexpr const char* kFreeTransferQuestion = "Free Transfer player?";
inline constexpr const char* kSignedText = "   transfered to  ";
inline constexpr const char* kFreedText = "  free transfered from ";
inline constexpr const char* kTransferredText = " transfered from ";
inline constexpr const char* kToText = " to ";
// Refusals of moves whose selected slot, shown person and club disagree.
inline constexpr const char* kNoRowMessage = "Select the player to transfer in the squad list first.";
inline constexpr const char* kMismatchMessage =
    "The player shown is not the one selected in the squad list of his club. Select him there and try again.";
inline constexpr const char* kOutOfDateMessage =
    "The squad lists no longer match the club records. Choose the clubs again and retry.";

// ---- Slots ----------------------------------------------------------------
// The slot fields are decoded and encoded four bytes at a time (CVL/MKL).
PlayerSlots decodePlayerSlots(const ClubRecord& club);
StaffSlots decodeStaffSlots(const ClubRecord& club);
// Writes every slot; an empty (negative) slot is always written as -1. The
// other bytes of the record stay as they are.
void encodePlayerSlots(ClubRecord& club, const PlayerSlots& slots);

PlayerSlots emptyPlayerSlots();
StaffSlots emptyStaffSlots();

// Index of the lowest empty slot, -1 when every slot is occupied.
int FindEmptyPos(const PlayerSlots& slots);
int occupiedCount(const PlayerSlots& slots);
// Index of the first slot holding personId, -1 when none does.
int findSlot(std::span<const int32_t> slots, int32_t personId);

// The row text of a slot value: "Empty" for a negative value, the person's
// display name, or a placeholder naming the value when it addresses no
// person (peopleCount or more).
std::string slotText(const Database& db, int32_t value, int64_t peopleCount);
std::vector<std::string> slotTexts(const Database& db, std::span<const int32_t> slots);

// ---- The two chosen clubs ------------------------------------------------------
struct SquadState {
  int currentClubId = -1;  // the club chosen in the squad combo, -1 none
  PlayerSlots CurrentSquad = emptyPlayerSlots();
  StaffSlots CurrentStaff = emptyStaffSlots();
  int TransferClubId = -1;  // the club chosen in the transfer combo, -1 none
  PlayerSlots TransferSquad = emptyPlayerSlots();
  int TransferSquadCount = 0;  // occupied slots of TransferSquad; 50 = full
};

// True when clubId addresses a club of the open database.
bool isClub(const Database& db, int clubId);
// The stored record of person personId; empty when the ID addresses no
// person of the open database.
std::optional<StaffRecord> readPerson(const Database& db, int32_t personId);

// Makes clubId the current club: reads its record and decodes its player
// and staff slots. A clubId that addresses no club leaves the state without
// a current club and every slot empty.
void loadCurrentClub(const Database& db, SquadState& state, int clubId);
// The same for the transfer club; also counts TransferSquadCount.
void loadTransferClub(const Database& db, SquadState& state, int clubId);

// ---- Transfers -------------------------------------------------------------
class Questions {
 public:
  virtual ~Questions() = default;
  virtual bool ask(const std::string& question) = 0;   // true for Yes
  virtual void message(const std::string& text) = 0;   // a refusal
  // Told after each record a move writes (slot and 1-based record number).
  virtual void wrote(int slot, int64_t record) {
    (void)slot;
    (void)record;
  }
};

enum class Move { None, Signing, FreeTransfer, Transfer };

struct TransferResult {
  Move move = Move::None;  // None: refused or declined; nothing was written
  std::string status;      // the status-bar text of the move (8-bit)
  int squadRow = -1;       // row of the current club's squad list to select afterwards
  int transferRow = -1;    // row of the transfer list that holds the moved person
};

// The transfer button. personId is the person shown, selectedRow the selected
// row of the current club's squad list (-1 none). Depending on the person's
// ClubId as stored and on whether a transfer club is chosen it signs a free
// player, makes a free transfer or transfers, asking and refusing through q.
// The state is updated to the slots as written (a signing into the club that
// is also the current club updates CurrentSquad as well).
TransferResult cmdTransfer(Database& db, SquadState& state, int32_t personId, int selectedRow, Questions& q);

// The club-to-club move alone: vacates slot vacatedRow of the current club
// and puts personId into the lowest free slot of the transfer club, writing
// the club left, then the club joined. Refuses a full transfer club (and a
// row that does not hold personId) before changing anything. Returns the
// slot taken, -1 when refused. The person's ClubId is not written here.
int Transfer(Database& db, SquadState& state, int32_t personId, int vacatedRow, Questions& q);

// Writes TransferSquad into the transfer club's record.
void Add_Player(Database& db, const SquadState& state, Questions& q);

}  // namespace cm3::squads
