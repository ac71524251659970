#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>
#include <utility>

#include "database/database.h"
#include "squads/squads.h"
#include "testutil.h"

using namespace cm3;
using namespace cm3::squads;
using cm3test::GameDir;
using cm3test::snapshot;

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
    bool a = answers.front();
    answers.pop_front();
    return a;
  }
  void message(const std::string& t) override { messages.push_back(t); }
  void wrote(int slot, int64_t record) override { writes.emplace_back(slot, record); }
};

PlayerSlots slotsOf(std::initializer_list<int32_t> occupied) {
  PlayerSlots s = emptyPlayerSlots();
  size_t k = 0;
  for (int32_t v : occupied) s[k++] = v;
  return s;
}

// Every person in at most one slot of one club, and in exactly the club his
// ClubId names.
void expectConsistent(const Database& db) {
  const int people = db.PeopleCount();
  const int64_t clubs = db.recordCount(GameFile::Club);
  std::vector<int64_t> seenIn(size_t(people), -1);
  for (int64_t c = 0; c < clubs; ++c) {
    ClubRecord r = db.read<ClubRecord>(kSlotClub, c + 1);
    std::vector<int32_t> members;
    for (int32_t v : decodePlayerSlots(r)) members.push_back(v);
    for (int32_t v : decodeStaffSlots(r)) members.push_back(v);
    for (int32_t v : members) {
      if (v < 0) continue;
      ASSERT_LT(v, people) << "club " << c;
      ASSERT_EQ(seenIn[size_t(v)], -1) << "person " << v << " in clubs " << seenIn[size_t(v)] << " and " << c;
      seenIn[size_t(v)] = c;
    }
  }
  for (int p = 0; p < people; ++p) {
    int32_t club = db.read<StaffRecord>(kSlotStaff, p + 1).ClubId();
    ASSERT_EQ(club < 0 ? -1 : club, seenIn[size_t(p)]) << "person " << p;
  }
}

class Squads : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(db_.open(game_.str())) << db_.OpenError; }
  void TearDown() override {
    if (db_.isOpen()) db_.close();
  }

  StaffRecord person(int32_t id) const { return db_.read<StaffRecord>(kSlotStaff, id + 1); }
  PlayerSlots stored(int club) const { return decodePlayerSlots(db_.read<ClubRecord>(kSlotClub, club + 1)); }
  void setClubOf(int32_t id, int32_t club) {
    StaffRecord s = person(id);
    s.setClubId(club);
    db_.write(kSlotStaff, id + 1, s);
  }
  // Gives `club` exactly these player slots and keeps every ClubId in step:
  // people dropped from the slots become clubless, people put in are taken
  // out of the slots of the club they were in.
  void setSquad(int club, const PlayerSlots& slots) {
    auto listed = [&](int32_t v) { return std::find(slots.begin(), slots.end(), v) != slots.end(); };
    for (int32_t v : stored(club))
      if (v >= 0 && !listed(v)) setClubOf(v, -1);
    for (int32_t v : slots) {
      if (v < 0) continue;
      const int32_t prev = person(v).ClubId();
      if (prev >= 0) {
        ClubRecord r = db_.read<ClubRecord>(kSlotClub, prev + 1);
        for (int k = 0; k < kPlayerSlots; ++k)
          if (r.PlayerSlot(k) == v) r.setPlayerSlot(k, -1);
        for (int k = 0; k < kStaffSlots; ++k)
          if (r.StaffSlot(k) == v) r.setStaffSlot(k, -1);
        db_.write(kSlotClub, prev + 1, r);
      }
      setClubOf(v, club);
    }
    ClubRecord r = db_.read<ClubRecord>(kSlotClub, club + 1);
    encodePlayerSlots(r, slots);
    db_.write(kSlotClub, club + 1, r);
  }
  std::vector<int32_t> clubless() const {
    std::vector<int32_t> out;
    for (int p = 0; p < db_.PeopleCount(); ++p)
      if (person(p).ClubId() < 0 && db_.read<StaffRecord>(kSlotStaff, p + 1).isPlayer()) out.push_back(p);
    return out;
  }
  std::map<std::string, std::vector<uint8_t>> files() const { return snapshot(game_.data()); }

  GameDir game_;
  Database db_;
  SquadState st_;
  Script q_;
};

// ---- Slots --------------------------------------------------------------------

TEST(SquadSlots, DecodeAndEncodeTouchOnlyTheSlotBytes) {
  ClubRecord r;
  for (size_t i = 0; i < r.kSize; ++i) r.bytes[i] = uint8_t(i * 7 + 1);
  const ClubRecord original = r;
  PlayerSlots s;
  for (int k = 0; k < kPlayerSlots; ++k) s[size_t(k)] = k % 3 == 0 ? -7 : 1000 * k + 3;
  encodePlayerSlots(r, s);

  for (size_t i = 0; i < r.kSize; ++i) {
    if (i >= 215 && i < 415) continue;
    ASSERT_EQ(r.bytes[i], original.bytes[i]) << "byte " << i;
  }
  // Slot 1 is 1003 at bytes 219..222, little-endian; a negative slot is -1.
  EXPECT_EQ(r.bytes[219], 0xEB);
  EXPECT_EQ(r.bytes[220], 0x03);
  EXPECT_EQ(r.bytes[221], 0);
  for (int b = 0; b < 4; ++b) EXPECT_EQ(r.bytes[215 + b], 0xFF);

  PlayerSlots back = decodePlayerSlots(r);
  for (int k = 0; k < kPlayerSlots; ++k) EXPECT_EQ(back[size_t(k)], k % 3 == 0 ? -1 : 1000 * k + 3);
}

TEST(SquadSlots, StaffSlotsComeFromBothRunsInFileOrder) {
  ClubRecord r;
  r.bytes.fill(0xFF);
  storeI32(r.data() + 207, 11);
  storeI32(r.data() + 211, 12);
  storeI32(r.data() + 415, 13);
  storeI32(r.data() + 471, 27);
  storeI32(r.data() + 215, 99);  // a player slot, not staff
  StaffSlots s = decodeStaffSlots(r);
  EXPECT_EQ(s[0], 11);
  EXPECT_EQ(s[1], 12);
  EXPECT_EQ(s[2], 13);
  EXPECT_EQ(s[16], 27);
  for (int k = 3; k < 16; ++k) EXPECT_EQ(s[size_t(k)], -1);
}

TEST(SquadSlots, FindEmptyPosTakesTheLowestHole) {
  PlayerSlots s = slotsOf({4, 5, 6});
  EXPECT_EQ(FindEmptyPos(s), 3);
  s[1] = -1;
  EXPECT_EQ(FindEmptyPos(s), 1);
  s[1] = -200;  // any negative value is empty
  EXPECT_EQ(FindEmptyPos(s), 1);
  s.fill(8);
  EXPECT_EQ(FindEmptyPos(s), -1);
  s[49] = -1;
  EXPECT_EQ(FindEmptyPos(s), 49);
  EXPECT_EQ(occupiedCount(s), 49);
  EXPECT_EQ(occupiedCount(emptyPlayerSlots()), 0);
}

TEST_F(Squads, RowTextsShowEmptyNamesAndPlaceholders) {
  db_.PersonNameTable[3] = "Smith Ann";
  const int people = db_.PeopleCount();
  std::vector<int32_t> values = {-1, 3, -5, people, 45001, INT32_MAX};
  auto rows = slotTexts(db_, values);
  ASSERT_EQ(rows.size(), values.size());
  EXPECT_EQ(rows[0], "Empty");
  EXPECT_EQ(rows[1], "Smith Ann");
  EXPECT_EQ(rows[2], "Empty");
  for (size_t i = 3; i < rows.size(); ++i) {
    EXPECT_NE(rows[i], "Empty");
    EXPECT_NE(rows[i].find(std::to_string(values[i])), std::string::npos) << rows[i];
  }
}

// ---- Loading the two clubs --------------------------------------------------

TEST_F(Squads, LoadingMirrorsTheRecordAndCountsTheTransferClub) {
  const int club = 3;  // the sample keeps a hole in slot 2 of this club
  ClubRecord r = db_.read<ClubRecord>(kSlotClub, club + 1);
  loadCurrentClub(db_, st_, club);
  loadTransferClub(db_, st_, club);
  EXPECT_EQ(st_.currentClubId, club);
  EXPECT_EQ(st_.TransferClubId, club);
  int occupied = 0;
  for (int k = 0; k < kPlayerSlots; ++k) {
    EXPECT_EQ(st_.CurrentSquad[size_t(k)], r.PlayerSlot(k));
    occupied += r.PlayerSlot(k) >= 0;
  }
  for (int k = 0; k < kStaffSlots; ++k) EXPECT_EQ(st_.CurrentStaff[size_t(k)], r.StaffSlot(k));
  EXPECT_EQ(st_.CurrentSquad[2], -1);
  EXPECT_EQ(st_.TransferSquadCount, occupied);

  setSquad(5, emptyPlayerSlots());
  loadTransferClub(db_, st_, 5);
  EXPECT_EQ(st_.TransferSquadCount, 0);
  // A club that does not exist leaves no club chosen and every slot empty.
  loadCurrentClub(db_, st_, int(db_.recordCount(GameFile::Club)));
  EXPECT_EQ(st_.currentClubId, -1);
  EXPECT_EQ(st_.CurrentSquad, emptyPlayerSlots());
  EXPECT_EQ(st_.CurrentStaff, emptyStaffSlots());
}

// ---- Signing a free player ------------------------------------------------------

TEST_F(Squads, SigningNeedsATransferClubAndAYes) {
  int32_t free = clubless().at(0);
  auto before = files();
  EXPECT_EQ(cmdTransfer(db_, st_, free, -1, q_).move, Move::None);
  EXPECT_EQ(q_.messages, std::vector<std::string>{"Select a club to transfer to!"});
  EXPECT_TRUE(q_.asked.empty());

  loadTransferClub(db_, st_, 7);
  const PlayerSlots squad = st_.TransferSquad;
  q_.answers = {false};
  TransferResult r = cmdTransfer(db_, st_, free, -1, q_);
  EXPECT_EQ(r.move, Move::None);
  EXPECT_TRUE(r.status.empty());
  EXPECT_EQ(q_.asked, std::vector<std::string>{"Transfer Free player to Selected team?"});
  EXPECT_EQ(q_.messages.size(), 1u);
  EXPECT_EQ(files(), before);
  EXPECT_EQ(st_.TransferSquad, squad);
}

TEST_F(Squads, SigningFillsTheLowestHoleAndWritesPersonThenClub) {
  auto free = clubless();
  ASSERT_GE(free.size(), 5u);
  setSquad(7, slotsOf({free[1], -1, free[2], free[3]}));
  db_.PersonNameTable[size_t(free[0])] = "Smith Ann";
  loadTransferClub(db_, st_, 7);
  q_.answers = {true};
  TransferResult r = cmdTransfer(db_, st_, free[0], -1, q_);

  EXPECT_EQ(r.move, Move::Signing);
  EXPECT_EQ(r.status, "Smith Ann   transfered to  " + db_.clubNames[7]);
  EXPECT_EQ(person(free[0]).ClubId(), 7);
  EXPECT_EQ(stored(7), slotsOf({free[1], free[0], free[2], free[3]}));
  EXPECT_EQ(st_.TransferSquad, stored(7));
  EXPECT_EQ(st_.TransferSquadCount, 4);
  EXPECT_EQ(r.transferRow, 1);
  EXPECT_EQ(r.squadRow, -1);
  EXPECT_TRUE(q_.messages.empty());
  std::vector<std::pair<int, int64_t>> order = {{kSlotStaff, free[0] + 1}, {kSlotClub, 8}};
  EXPECT_EQ(q_.writes, order);
  expectConsistent(db_);
}

TEST_F(Squads, SigningIntoAFullClubIsRefusedAfterTheQuestion) {
  PlayerSlots full;
  for (int k = 0; k < kPlayerSlots; ++k) full[size_t(k)] = k;
  setSquad(9, full);
  const int32_t free = clubless().at(0);
  loadTransferClub(db_, st_, 9);
  ASSERT_EQ(st_.TransferSquadCount, 50);
  auto before = files();
  q_.answers = {true};
  TransferResult r = cmdTransfer(db_, st_, free, -1, q_);
  EXPECT_EQ(r.move, Move::None);
  EXPECT_EQ(q_.asked.size(), 1u);
  EXPECT_EQ(q_.messages, std::vector<std::string>{"Team is already Full !"});
  EXPECT_EQ(files(), before);
}

// ---- A person with a club ---------------------------------------------------------

TEST_F(Squads, EmptyRowMissingRowAndStrangersAreRefused) {
  auto free = clubless();
  setSquad(4, slotsOf({free[0], -1, free[1]}));
  setSquad(5, slotsOf({free[2]}));
  loadCurrentClub(db_, st_, 4);
  auto before = files();

  EXPECT_EQ(cmdTransfer(db_, st_, free[0], 1, q_).move, Move::None);  // row 1 is empty
  EXPECT_EQ(cmdTransfer(db_, st_, free[0], -1, q_).move, Move::None);  // no row
  EXPECT_EQ(cmdTransfer(db_, st_, free[0], 2, q_).move, Move::None);   // row 2 holds another
  EXPECT_EQ(cmdTransfer(db_, st_, free[2], 0, q_).move, Move::None);   // shown person of another club
  EXPECT_EQ(cmdTransfer(db_, st_, -1, 0, q_).move, Move::None);        // nobody shown
  EXPECT_EQ(cmdTransfer(db_, st_, db_.PeopleCount(), 0, q_).move, Move::None);
  std::vector<std::string> expected = {kNobodyMessage, kNoRowMessage, kMismatchMessage, kMismatchMessage,
                                       kNobodyMessage, kNobodyMessage};
  EXPECT_EQ(q_.messages, expected);
  EXPECT_TRUE(q_.asked.empty());
  EXPECT_EQ(files(), before);
}

TEST_F(Squads, ASquadOutOfStepWithItsRecordIsRefused) {
  auto free = clubless();
  setSquad(4, slotsOf({free[0], free[1]}));
  loadCurrentClub(db_, st_, 4);
  setSquad(4, slotsOf({free[0], free[1], free[2]}));  // written behind the state's back
  auto before = files();
  EXPECT_EQ(cmdTransfer(db_, st_, free[0], 0, q_).move, Move::None);
  EXPECT_EQ(q_.messages, std::vector<std::string>{kOutOfDateMessage});
  EXPECT_EQ(files(), before);
}

TEST_F(Squads, FreeTransferAnsweredNoChangesNothing) {
  auto free = clubless();
  setSquad(4, slotsOf({free[0], free[1]}));
  loadCurrentClub(db_, st_, 4);
  auto before = files();
  q_.answers = {false};
  TransferResult r = cmdTransfer(db_, st_, free[1], 1, q_);
  EXPECT_EQ(r.move, Move::None);
  EXPECT_TRUE(r.status.empty());
  EXPECT_EQ(q_.asked, std::vector<std::string>{"Free Transfer player?"});
  EXPECT_EQ(files(), before);
  EXPECT_EQ(st_.CurrentSquad, stored(4));
}

TEST_F(Squads, FreeTransferLeavesAHoleAndWritesPersonThenClub) {
  auto free = clubless();
  setSquad(4, slotsOf({free[0], free[1], free[2]}));
  db_.PersonNameTable[size_t(free[1])] = "Smith Ann";
  loadCurrentClub(db_, st_, 4);
  q_.answers = {true};
  TransferResult r = cmdTransfer(db_, st_, free[1], 1, q_);
  EXPECT_EQ(r.move, Move::FreeTransfer);
  EXPECT_EQ(r.status, "Smith Ann  free transfered from " + db_.clubNames[4]);
  EXPECT_EQ(person(free[1]).ClubId(), -1);
  EXPECT_EQ(stored(4), slotsOf({free[0], -1, free[2]}));
  EXPECT_EQ(st_.CurrentSquad, stored(4));
  EXPECT_EQ(slotTexts(db_, st_.CurrentSquad)[1], "Empty");
  EXPECT_EQ(r.squadRow, 2);
  std::vector<std::pair<int, int64_t>> order = {{kSlotStaff, free[1] + 1}, {kSlotClub, 5}};
  EXPECT_EQ(q_.writes, order);
  expectConsistent(db_);
}

TEST_F(Squads, MovingTheLastSlotSelectsRowZeroAfterwards) {
  auto free = clubless();
  PlayerSlots s = emptyPlayerSlots();
  s[49] = free[0];
  s[10] = free[1];
  setSquad(4, s);
  setSquad(6, slotsOf({free[2]}));
  loadCurrentClub(db_, st_, 4);
  q_.answers = {true};
  EXPECT_EQ(cmdTransfer(db_, st_, free[0], 49, q_).squadRow, 0);  // free transfer
  loadTransferClub(db_, st_, 6);
  EXPECT_EQ(cmdTransfer(db_, st_, free[1], 10, q_).squadRow, 11);  // transfer
  expectConsistent(db_);
}

// ---- Transfers between clubs ------------------------------------------------------------

TEST_F(Squads, TransferWithinTheSameTeamIsRefused) {
  auto free = clubless();
  setSquad(4, slotsOf({free[0]}));
  loadCurrentClub(db_, st_, 4);
  loadTransferClub(db_, st_, 4);
  auto before = files();
  EXPECT_EQ(cmdTransfer(db_, st_, free[0], 0, q_).move, Move::None);
  EXPECT_EQ(q_.messages, std::vector<std::string>{"Can't transfer within the same team!"});
  EXPECT_EQ(files(), before);
}

TEST_F(Squads, TransferIntoAFullClubIsRefused) {
  PlayerSlots full;
  for (int k = 0; k < kPlayerSlots; ++k) full[size_t(k)] = k;
  setSquad(9, full);
  auto free = clubless();
  setSquad(4, slotsOf({free[0]}));
  loadCurrentClub(db_, st_, 4);
  loadTransferClub(db_, st_, 9);
  auto before = files();
  EXPECT_EQ(cmdTransfer(db_, st_, free[0], 0, q_).move, Move::None);
  EXPECT_EQ(q_.messages, std::vector<std::string>{"Team is already Full !"});
  EXPECT_TRUE(q_.asked.empty());
  EXPECT_EQ(files(), before);

  // The move alone refuses a full club too.
  EXPECT_EQ(Transfer(db_, st_, free[0], 0, q_), -1);
  EXPECT_EQ(q_.messages.back(), "Team is already Full !");
  EXPECT_EQ(files(), before);
  EXPECT_EQ(st_.CurrentSquad, stored(4));
}

TEST_F(Squads, TransferTakesTheLowestHoleAndWritesLeftJoinedPerson) {
  auto free = clubless();
  ASSERT_GE(free.size(), 6u);
  setSquad(4, slotsOf({free[0], free[1]}));
  setSquad(6, slotsOf({free[2], -1, free[3], free[4]}));
  db_.PersonNameTable[size_t(free[1])] = "Smith Ann";
  loadCurrentClub(db_, st_, 4);
  loadTransferClub(db_, st_, 6);
  TransferResult r = cmdTransfer(db_, st_, free[1], 1, q_);

  EXPECT_EQ(r.move, Move::Transfer);
  EXPECT_TRUE(q_.asked.empty());  // a transfer asks nothing
  EXPECT_EQ(r.status, "Smith Ann transfered from " + db_.clubNames[4] + " to " + db_.clubNames[6]);
  EXPECT_EQ(person(free[1]).ClubId(), 6);
  EXPECT_EQ(stored(4), slotsOf({free[0]}));
  EXPECT_EQ(stored(6), slotsOf({free[2], free[1], free[3], free[4]}));
  EXPECT_EQ(st_.CurrentSquad, stored(4));
  EXPECT_EQ(st_.TransferSquad, stored(6));
  EXPECT_EQ(st_.TransferSquadCount, 4);
  EXPECT_EQ(r.transferRow, 1);
  EXPECT_EQ(r.squadRow, 2);
  std::vector<std::pair<int, int64_t>> order = {{kSlotClub, 5}, {kSlotClub, 7}, {kSlotStaff, free[1] + 1}};
  EXPECT_EQ(q_.writes, order);

  // The next transfer into the same club goes after the occupied slots.
  loadTransferClub(db_, st_, 6);
  EXPECT_EQ(cmdTransfer(db_, st_, free[0], 0, q_).transferRow, 4);
  expectConsistent(db_);
}

// ---- A long run of moves -------------------------------------------------------------

TEST(SquadsProperty, RandomMovesKeepSquadsAndClubIdsInStep) {
  GameDir game(cm3::sample::smallPreset(), 5);
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  expectConsistent(db);
  if (::testing::Test::HasFatalFailure()) return;

  const int people = db.PeopleCount();
  const int clubs = int(db.recordCount(GameFile::Club));
  std::vector<int32_t> model(static_cast<size_t>(people), -1);
  for (int p = 0; p < people; ++p) model[size_t(p)] = std::max(-1, db.read<StaffRecord>(kSlotStaff, p + 1).ClubId());

  std::mt19937 rng(20240611);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  SquadState st;
  Script q;
  int moves[4] = {0, 0, 0, 0};
  int fullRefusals = 0;
  for (int step = 0; step < 3000; ++step) {
    // Mostly the three crowded clubs, so that they fill up.
    const int transferClub = pick(0, 3) == 0 ? -1 : (pick(0, 1) ? pick(0, 2) : pick(0, clubs - 1));
    int32_t shown = pick(0, people - 1);
    int row = -1;
    if (pick(0, 4) != 0 && model[size_t(shown)] >= 0) {
      loadCurrentClub(db, st, model[size_t(shown)]);
      row = findSlot(st.CurrentSquad, shown);
      if (pick(0, 9) == 0) row = pick(-1, 49);  // a stray selection
    } else {
      loadCurrentClub(db, st, pick(0, clubs - 1));
      row = pick(-1, 49);
    }
    loadTransferClub(db, st, transferClub);
    const PlayerSlots before = st.TransferSquad;
    const int freeSlot = FindEmptyPos(before);
    const auto clubBytes = db.file(kSlotClub).data();
    const auto staffBytes = db.file(kSlotStaff).data();
    q.answers = {pick(0, 4) != 0};
    q.messages.clear();
    TransferResult r = cmdTransfer(db, st, shown, row, q);
    moves[int(r.move)]++;
    fullRefusals += !q.messages.empty() && q.messages.back() == kTeamFullMessage;

    switch (r.move) {
      case Move::None:
        ASSERT_EQ(db.file(kSlotClub).data(), clubBytes) << "step " << step;
        ASSERT_EQ(db.file(kSlotStaff).data(), staffBytes) << "step " << step;
        break;
      case Move::Signing:
      case Move::Transfer:
        ASSERT_EQ(r.transferRow, freeSlot) << "step " << step;
        model[size_t(shown)] = transferClub;
        break;
      case Move::FreeTransfer:
        model[size_t(shown)] = -1;
        break;
    }
    // The state mirrors the records.
    if (st.currentClubId >= 0) {
      ASSERT_EQ(st.CurrentSquad, decodePlayerSlots(db.read<ClubRecord>(kSlotClub, st.currentClubId + 1)));
    }
    if (st.TransferClubId >= 0) {
      ASSERT_EQ(st.TransferSquad, decodePlayerSlots(db.read<ClubRecord>(kSlotClub, st.TransferClubId + 1)));
      ASSERT_EQ(st.TransferSquadCount, occupiedCount(st.TransferSquad));
    }
    q.answers.clear();
    if (step % 100 == 0) {
      expectConsistent(db);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
  for (int p = 0; p < people; ++p)
    ASSERT_EQ(std::max(-1, db.read<StaffRecord>(kSlotStaff, p + 1).ClubId()), model[size_t(p)]) << "person " << p;
  // Every kind of move and the refusal of a full club happened.
  EXPECT_GT(moves[int(Move::Signing)], 10);
  EXPECT_GT(moves[int(Move::FreeTransfer)], 10);
  EXPECT_GT(moves[int(Move::Transfer)], 10);
  EXPECT_GT(fullRefusals, 0);

  // What was written survives closing and opening again.
  db.close();
  Database again;
  ASSERT_TRUE(again.open(game.str())) << again.OpenError;
  expectConsistent(again);
  for (int p = 0; p < people; ++p)
    ASSERT_EQ(std::max(-1, again.read<StaffRecord>(kSlotStaff, p + 1).ClubId()), model[size_t(p)]) << "person " << p;
  again.close();
}

}  // namespace
