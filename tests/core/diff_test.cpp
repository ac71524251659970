#include <gtest/gtest.h>

#include <algorithm>

#include "database/database.h"
#include "diff/diff.h"
#include "people/newplayer.h"
#include "people/person.h"
#include "testutil.h"

using namespace cm3;
using cm3test::GameDir;

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

TEST_F(Diff, TwoCopiesOfOneGameShowNoDifference) { EXPECT_TRUE(diff::compare(a_, b_).same()); }

TEST_F(Diff, AnEditedPersonShowsEachChangedFieldByNameWithOldAndNewValue) {
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

TEST_F(Diff, ANewPlayerShowsAsAddedRecordsWithEveryField) {
  const int32_t newId = b_.PeopleCount();
  people::PersonForm f = people::loadPerson(b_, 0);
  f.firstName = "Ann";
  f.secondName = "Newcomer";
  people::NameFlags flags{true, true};
  people::addNewPlayer(b_, people::templateOf(b_, 0), f, flags);

  const diff::Result r = diff::compare(a_, b_);
  const diff::RecordChange* added = find(r, kSlotStaff, newId);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->kind, diff::RecordChange::Kind::Added);
  EXPECT_EQ(added->label, "Newcomer Ann");
  EXPECT_EQ(added->fields.size(), StaffRecord::kFields.size());
  const diff::RecordChange* name = find(r, kSlotSecondNames, b_.read<StaffRecord>(kSlotStaff, newId + 1).SecondNameId());
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->label, "Newcomer");
}
