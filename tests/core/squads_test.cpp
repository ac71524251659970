// Squad slots, the two chosen clubs and the transfers between them.

#include <deque>

#include "common/testkit.h"

using namespace cm3;
using namespace cm3::squads;
using namespace cm3test;
using squadkit::setSquad;
using squadkit::slotsOf;

namespace {

// Answers questions from a script and records everything it is told.
struct Script : Questions {
  std::deque<bool> answers;
  std::vector<std::string> asked, messages;
  std::vector<std::pair<int, int64_t>> writes;
  bool ask(const std::string& q) override {
    asked.push_back(q);
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected question: " << q;
      return false;
    }
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  void message(const std::string& t) override { messages.push_back(t); }
  void wrote(int slot, int64_t record) override { writes.emplace_back(slot, record); }
};

TEST(SquadSlots, EncodeTouchesOtherBytesOrKeepsANegativeSlot) {
  ClubRecord r;
  for (size_t i = 0; i < r.kSize; ++i) r.bytes[i] = uint8_t(i * 7 + 1);
  const ClubRecord original = r;
  PlayerSlots s;
  for (int k = 0; k < kPlayerSlots; ++k) s[size_t(k)] = k % 3 == 0 ? -7 : 1000 * k + 3;
  encodePlayerSlots(r, s);
  EXPECT_EQ(slice(bytesOf(r), 0, 215), slice(bytesOf(original), 0, 215));
  EXPECT_EQ(slice(bytesOf(r), 415, r.kSize), slice(bytesOf(original), 415, r.kSize));
  EXPECT_EQ(std::vector<int32_t>({loadI32(r.data() + 215), loadI32(r.data() + 219)}), std::vector<int32_t>({-1, 1003}));
  const PlayerSlots back = decodePlayerSlots(r);
  for (int k = 0; k < kPlayerSlots; ++k) EXPECT_EQ(back[size_t(k)], k % 3 == 0 ? -1 : 1000 * k + 3);
  r.bytes.fill(0xFF);
  storeI32(r.data() + 211, 12);
  storeI32(r.data() + 415, 13);
  storeI32(r.data() + 215, 99);  // a player slot, not staff
  const StaffSlots st = decodeStaffSlots(r);
  EXPECT_EQ(std::vector<int32_t>(st.begin() + 1, st.begin() + 4), std::vector<int32_t>({12, 13, -1}));
}

TEST(SquadSlots, FindEmptyPosMissesTheLowestHole) {
  PlayerSlots s = slotsOf({4, 5, 6});
  EXPECT_EQ(FindEmptyPos(s), 3);
  s[1] = -200;  // any negative value is empty
  EXPECT_EQ(FindEmptyPos(s), 1);
  s.fill(8);
  EXPECT_EQ(FindEmptyPos(s), -1);
  s[49] = -1;
  EXPECT_EQ(FindEmptyPos(s), 49);
  EXPECT_EQ(occupiedCount(s), 49);
}

class Squads : public OpenGame {
 protected:
  void SetUp() override {
    OpenGame::SetUp();
    free_ = squadkit::players(db_, false);
    ASSERT_GE(free_.size(), 6u);
  }
  StaffRecord person(int32_t id) const { return db_.read<StaffRecord>(kSlotStaff, id + 1); }
  PlayerSlots stored(int club) const { return decodePlayerSlots(db_.read<ClubRecord>(kSlotClub, club + 1)); }
  void fillClub(int club) {
    const std::vector<int32_t> others = squadkit::players(db_, true);
    PlayerSlots full;
    for (int k = 0; k < kPlayerSlots; ++k) full[size_t(k)] = others.at(size_t(k) + 60);
    setSquad(db_, club, full);
  }

  std::vector<int32_t> free_;
  SquadState st_;
  Script q_;
};

TEST_F(Squads, RowTextHidesAnEmptySlotOrAValueBeyondThePeople) {
  db_.PersonNameTable[3] = "Smith Ann";
  const std::vector<int32_t> values = {-1, 3, -5, db_.PeopleCount(), INT32_MAX};
  const auto rows = slotTexts(db_, values);
  EXPECT_EQ(std::vector<std::string>(rows.begin(), rows.begin() + 3), std::vector<std::string>({"Empty", "Smith Ann", "Empty"}));
  for (size_t i = 3; i < rows.size(); ++i) EXPECT_NE(rows[i].find(std::to_string(values[i])), std::string::npos) << rows[i];
}

TEST_F(Squads, LoadedClubsDifferFromTheirRecords) {
  setSquad(db_, 3, slotsOf({free_[0], -1, free_[1]}));
  const ClubRecord r = db_.read<ClubRecord>(kSlotClub, 4);
  loadCurrentClub(db_, st_, 3);
  loadTransferClub(db_, st_, 3);
  EXPECT_EQ(st_.CurrentStaff, decodeStaffSlots(r));
  EXPECT_EQ(st_.TransferSquadCount, occupiedCount(decodePlayerSlots(r)));
  loadCurrentClub(db_, st_, int(db_.recordCount(GameFile::Club)));  // no such club
  EXPECT_EQ(st_.currentClubId, -1);
  EXPECT_EQ(st_.CurrentSquad, emptyPlayerSlots());
}

// A refused or declined move: its question and message, and no byte written.
struct Refusal {
  const char* name;
  int currentClub, transferClub;
  int who;  // index into the people arranged below; -1 nobody, 99 one past the last person
  int row;
  std::vector<bool> answers;
  const char* asked;
  const char* message;
  bool stale = false;  // club 4 written behind the state's back
};

class SquadRefusals : public Squads, public ::testing::WithParamInterface<Refusal> {};

TEST_P(SquadRefusals, RefusedMoveWritesOrTellsTheWrongText) {
  const Refusal& c = GetParam();
  // Club 4: people 0, a hole, 1; club 5: person 2; person 3 has no club; club 9 is full.
  fillClub(9);
  setSquad(db_, 4, slotsOf({free_[0], -1, free_[1]}));
  setSquad(db_, 5, slotsOf({free_[2]}));
  if (c.currentClub >= 0) loadCurrentClub(db_, st_, c.currentClub);
  if (c.transferClub >= 0) loadTransferClub(db_, st_, c.transferClub);
  if (c.stale) setSquad(db_, 4, slotsOf({free_[0], free_[4], free_[1]}));
  const Files before = snapshot(game_.data());
  q_.answers.assign(c.answers.begin(), c.answers.end());
  const int32_t who = c.who < 0 ? -1 : c.who == 99 ? db_.PeopleCount() : free_[size_t(c.who)];
  const TransferResult r = cmdTransfer(db_, st_, who, c.row, q_);
  EXPECT_EQ(std::make_pair(r.move, r.status), std::make_pair(Move::None, std::string()));
  EXPECT_EQ(q_.asked, c.asked ? std::vector<std::string>{c.asked} : std::vector<std::string>{});
  EXPECT_EQ(q_.messages, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
  EXPECT_TRUE(sameFiles(snapshot(game_.data()), before));
}

INSTANTIATE_TEST_SUITE_P(
    Moves, SquadRefusals,
    ::testing::Values(Refusal{"SigningWithoutTransferClub", -1, -1, 3, -1, {}, nullptr, kSelectClubMessage},
                      Refusal{"SigningAnsweredNo", -1, 7, 3, -1, {false}, kSignQuestion, nullptr},
                      Refusal{"SigningIntoFullClub", -1, 9, 3, -1, {true}, kSignQuestion, kTeamFullMessage},
                      Refusal{"EmptyRow", 4, -1, 0, 1, {}, nullptr, kNobodyMessage},
                      Refusal{"NoRow", 4, -1, 0, -1, {}, nullptr, kNoRowMessage},
                      Refusal{"RowOfAnother", 4, -1, 0, 2, {}, nullptr, kMismatchMessage},
                      Refusal{"PersonOfAnotherClub", 4, -1, 2, 0, {}, nullptr, kMismatchMessage},
                      Refusal{"NobodyShown", 4, -1, -1, 0, {}, nullptr, kNobodyMessage},
                      Refusal{"PersonPastTheEnd", 4, -1, 99, 0, {}, nullptr, kNobodyMessage},
                      Refusal{"FreeTransferAnsweredNo", 4, -1, 1, 2, {false}, kFreeTransferQuestion, nullptr},
                      Refusal{"WithinTheSameTeam", 4, 4, 0, 0, {}, nullptr, kSameTeamMessage},
                      Refusal{"TransferIntoFullClub", 4, 9, 0, 0, {}, nullptr, kTeamFullMessage},
                      Refusal{"SquadOutOfDate", 4, -1, 0, 0, {}, nullptr, kOutOfDateMessage, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Squads, SigningTakesAnotherSlotOrWritesInTheWrongOrder) {
  setSquad(db_, 7, slotsOf({free_[1], -1, free_[2], free_[3]}));
  loadTransferClub(db_, st_, 7);
  q_.answers = {true};
  const TransferResult r = cmdTransfer(db_, st_, free_[0], -1, q_);
  EXPECT_EQ(r.status, db_.personName(free_[0]) + "   transfered to  " + db_.clubNames[7]);
  EXPECT_EQ(std::vector<int>({int(r.move), person(free_[0]).ClubId(), st_.TransferSquadCount, r.transferRow}),
            std::vector<int>({int(Move::Signing), 7, 4, 1}));
  EXPECT_EQ(stored(7), slotsOf({free_[1], free_[0], free_[2], free_[3]}));
  EXPECT_EQ(st_.TransferSquad, stored(7));
  EXPECT_EQ(q_.writes, (std::vector<std::pair<int, int64_t>>{{kSlotStaff, free_[0] + 1}, {kSlotClub, 8}}));
}

TEST_F(Squads, FreeTransferLeavesNoHoleOrWritesInTheWrongOrder) {
  setSquad(db_, 4, slotsOf({free_[0], free_[1], free_[2]}));
  loadCurrentClub(db_, st_, 4);
  q_.answers = {true};
  const TransferResult r = cmdTransfer(db_, st_, free_[1], 1, q_);
  EXPECT_EQ(r.status, db_.personName(free_[1]) + "  free transfered from " + db_.clubNames[4]);
  EXPECT_EQ(std::vector<int>({int(r.move), person(free_[1]).ClubId(), r.squadRow}),
            std::vector<int>({int(Move::FreeTransfer), -1, 2}));
  EXPECT_EQ(stored(4), slotsOf({free_[0], -1, free_[2]}));
  EXPECT_EQ(st_.CurrentSquad, stored(4));
  EXPECT_EQ(q_.writes, (std::vector<std::pair<int, int64_t>>{{kSlotStaff, free_[1] + 1}, {kSlotClub, 5}}));
}

TEST_F(Squads, TransferTakesAnotherSlotOrWritesInTheWrongOrder) {
  setSquad(db_, 4, slotsOf({free_[0], free_[1]}));
  setSquad(db_, 6, slotsOf({free_[2], -1, free_[3], free_[4]}));
  loadCurrentClub(db_, st_, 4);
  loadTransferClub(db_, st_, 6);
  const TransferResult r = cmdTransfer(db_, st_, free_[1], 1, q_);  // asks nothing
  EXPECT_EQ(r.status, db_.personName(free_[1]) + " transfered from " + db_.clubNames[4] + " to " + db_.clubNames[6]);
  EXPECT_EQ(std::vector<int>({int(r.move), person(free_[1]).ClubId(), st_.TransferSquadCount, r.transferRow, r.squadRow}),
            std::vector<int>({int(Move::Transfer), 6, 4, 1, 2}));
  EXPECT_EQ(stored(4), slotsOf({free_[0]}));
  EXPECT_EQ(stored(6), slotsOf({free_[2], free_[1], free_[3], free_[4]}));
  EXPECT_EQ(st_.CurrentSquad, stored(4));
  EXPECT_EQ(st_.TransferSquad, stored(6));
  EXPECT_EQ(q_.writes,
            (std::vector<std::pair<int, int64_t>>{{kSlotClub, 5}, {kSlotClub, 7}, {kSlotStaff, free_[1] + 1}}));
  EXPECT_EQ(cmdTransfer(db_, st_, free_[0], 0, q_).transferRow, 4) << "the next goes after the occupied slots";
}

TEST_F(Squads, MoveFromTheLastSlotSelectsAWrongRow) {
  PlayerSlots s = emptyPlayerSlots();
  s[49] = free_[0];
  s[10] = free_[1];
  setSquad(db_, 4, s);
  setSquad(db_, 6, slotsOf({free_[2]}));
  loadCurrentClub(db_, st_, 4);
  q_.answers = {true};
  EXPECT_EQ(cmdTransfer(db_, st_, free_[0], 49, q_).squadRow, 0);
  loadTransferClub(db_, st_, 6);
  EXPECT_EQ(cmdTransfer(db_, st_, free_[1], 10, q_).squadRow, 11);
}

TEST_F(Squads, MoveAloneFillsAFullClub) {
  fillClub(9);
  setSquad(db_, 4, slotsOf({free_[0]}));
  loadCurrentClub(db_, st_, 4);
  loadTransferClub(db_, st_, 9);
  const Files before = snapshot(game_.data());
  EXPECT_EQ(Transfer(db_, st_, free_[0], 0, q_), -1);
  EXPECT_EQ(q_.messages, std::vector<std::string>{kTeamFullMessage});
  EXPECT_TRUE(sameFiles(snapshot(game_.data()), before));
  EXPECT_EQ(st_.CurrentSquad, stored(4));
}

}  // namespace
