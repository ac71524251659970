#include <gtest/gtest.h>

#include <algorithm>

#include "database/database.h"
#include "clubs/club.h"
#include "diff/diff.h"
#include "diff/patch.h"
#include "history/history.h"
#include "people/newplayer.h"
#include "people/person.h"
#include "common/testkit.h"

using namespace cm3;
using cm3test::GameDir;
using cm3test::snapshot;

namespace {

// Two copies of one generated game, both open.
class Diff : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(a_.open(gameA_.str())) << a_.OpenError;
    ASSERT_TRUE(b_.open(gameB_.str())) << b_.OpenError;
  }
  void TearDown() override {
    for (Database* db : {&a_, &b_})
      if (db->isOpen()) db->close();
  }
  const diff::RecordChange* find(const diff::Result& r, int slot, int64_t id) {
    const std::string file(slotInfo(slot).path);
    auto it = std::find_if(r.records.begin(), r.records.end(),
                           [&](const diff::RecordChange& c) { return c.file == file && c.id == id; });
    return it == r.records.end() ? nullptr : &*it;
  }

  GameDir gameA_, gameB_;
  Database a_, b_;
};

}  // namespace

TEST_F(Diff, TwoCopiesOfOneGameShowADifference) { EXPECT_TRUE(diff::compare(a_, b_).same()); }

TEST_F(Diff, AnEditedFieldMissedOrMisnamedOrItsOldValueLost) {
  int id = 0;
  while (!b_.read<StaffRecord>(kSlotStaff, id + 1).isPlayer()) ++id;
  const int32_t attId = b_.read<StaffRecord>(kSlotStaff, id + 1).PlayerAttIndex();
  const int oldAttribute = a_.read<PlayerAttRecord>(kSlotStaffAtt, attId + 1).Attribute(3);
  people::PersonForm f = people::loadPerson(b_, id);
  const std::string caps = f.caps;
  f.caps = caps == "7" ? "8" : "7";
  f.attributes[3] = oldAttribute == 1 ? "2" : "1";
  people::NameFlags flags;
  people::savePerson(b_, f, flags);

  const diff::Result r = diff::compare(a_, b_);
  const diff::RecordChange* person = find(r, kSlotStaff, id);
  ASSERT_NE(person, nullptr);
  EXPECT_EQ(person->label, a_.personName(id));
  ASSERT_EQ(person->fields.size(), 1u);
  EXPECT_EQ(person->fields[0].field, "Caps");
  EXPECT_EQ(person->fields[0].before, FieldValue(int64_t(std::stoi(caps))));
  EXPECT_EQ(person->fields[0].after, FieldValue(int64_t(std::stoi(f.caps))));
  const diff::RecordChange* att = find(r, kSlotStaffAtt, attId);
  ASSERT_NE(att, nullptr);
  ASSERT_EQ(att->fields.size(), 1u);
  EXPECT_EQ(att->fields[0].field, "Attributes[3]");
  EXPECT_EQ(att->fields[0].before, FieldValue(int64_t(oldAttribute)));
  EXPECT_EQ(r.records.size(), 2u);
}

// B is edited by the editor's own operations; the patch of A -> B applied to
// a fresh copy C of A must give B's files byte for byte.
TEST_F(Diff, APatchAppliedToAnotherCopyMissesAByteOfTheEditedFiles) {
  people::NameFlags flags{true, false};
  people::PersonForm f = people::loadPerson(b_, 2);
  f.firstName = "Zo\xEB";
  f.caps = "12";
  people::savePerson(b_, f, flags);
  const int32_t newId = b_.PeopleCount();
  people::PersonForm n = people::loadPerson(b_, 0);
  n.firstName = "Ann";
  n.secondName = "Newcomer";
  flags = {true, true};
  people::addNewPlayer(b_, people::templateOf(b_, 0), n, flags);
  clubs::ClubForm c = clubs::newClubForm(b_, clubs::loadClub(b_, 0));
  c.longName = "Karg\xF6 Rovers";
  c.shortName = "Kargo";
  c.main.name = "Rover Park";
  c.main.capacity = "9000";
  clubs::updateClub(b_, 0, true, c);
  history::deleteRecord(b_, history::findRecords(b_, 1).front());

  const diff::Result r = diff::compare(a_, b_);
  const diff::RecordChange* added = find(r, kSlotStaff, newId);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->kind, diff::RecordChange::Kind::Added);
  EXPECT_EQ(added->label, "Newcomer Ann");
  EXPECT_EQ(added->fields.size(), StaffRecord::kFields.size());
  const std::string patch = diff::toJson(r);
  GameDir gameC;
  Database cdb;
  ASSERT_TRUE(cdb.open(gameC.str())) << cdb.OpenError;
  EXPECT_TRUE(diff::apply(cdb, diff::fromJson(patch), false).empty());
  EXPECT_TRUE(diff::compare(b_, cdb).same());
  cdb.close();
  b_.close();
  EXPECT_EQ(snapshot(gameC.data()), snapshot(gameB_.data()));
}

TEST_F(Diff, APatchMeetingOtherValuesOrAValueTooBigWritesSomething) {
  const StaffRecord original = a_.read<StaffRecord>(kSlotStaff, 3);
  people::PersonForm f = people::loadPerson(b_, 2);
  f.caps = f.caps == "12" ? "13" : "12";
  people::NameFlags flags;
  people::savePerson(b_, f, flags);
  const diff::Result patch = diff::compare(a_, b_);
  // Applied where it was made, every field holds its new value already.
  const StaffRecord edited = b_.read<StaffRecord>(kSlotStaff, 3);
  const auto conflicts = diff::apply(b_, patch, false);
  ASSERT_EQ(conflicts.size(), 1u);
  EXPECT_EQ(conflicts[0].field, "Caps");
  EXPECT_FALSE(conflicts[0].refused);

  diff::Result tooBig = patch;
  tooBig.records[0].fields[0].after = FieldValue(int64_t(300));
  const auto refused = diff::apply(a_, tooBig, true);
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_TRUE(refused[0].refused);
  EXPECT_EQ(a_.read<StaffRecord>(kSlotStaff, 3).bytes, original.bytes);
  EXPECT_EQ(b_.read<StaffRecord>(kSlotStaff, 3).bytes, edited.bytes);
}
