// A person's pages: loading, saving, names; and adding a new player.

#include "common/testkit.h"
#include "history/history.h"
#include "people/newplayer.h"
#include "people/person.h"
#include "records/cp1252.h"

using namespace cm3;
using namespace cm3test;
using people::NameFlags;
using people::PersonForm;

namespace {

std::string w(const char* utf8) { return cp1252::fromUtf8(utf8); }

using Person = OpenGame;

TEST_F(Person, SavingEveryoneUnchangedChangesAByte) {
  NameFlags flags;
  for (int i = 0; i < db_.PeopleCount(); ++i) people::savePerson(db_, people::loadPerson(db_, i), flags);
  closeAndExpectUnchanged();
}

TEST_F(Person, BadIdentifiersCrashTheForm) {
  const int id = firstPerson(db_, true);
  change<StaffRecord>(kSlotStaff, id, {{"FirstNameId", INT32_MAX}, {"SecondNameId", -5}, {"NationId", -1},
                                       {"SecondNationId", 1 << 30}, {"ClubId", 99999999}, {"PlayerAttIndex", 77777777}});
  PersonForm f = people::loadPerson(db_, id);
  EXPECT_EQ(f.firstName + f.secondName + f.clubName + f.attributes[0], "0");
  EXPECT_EQ(f.nation + f.secondNation, -2);
  EXPECT_EQ(people::loadPerson(db_, 44000).personId, 44000);
  EXPECT_THROW(people::loadPerson(db_, -1), ValueError);
}

TEST_F(Person, EditLandsInAnotherField) {
  const int id = firstPerson(db_, true);
  PersonForm f = people::loadPerson(db_, id);
  f.attributes[3] = "300";
  f.positions[0] = "-1";
  f.boxes["txtCaps"] = "200";
  f.boxes["txtwages"] = "-5";
  f.boxes["txtBirthyear"] = "1975";
  f.mental[7] = "19";
  f.nation = -1;
  f.squadCode = -1;
  NameFlags flags;
  people::savePerson(db_, f, flags);
  const StaffRecord s = db_.read<StaffRecord>(kSlotStaff, id + 1);
  const PlayerAttRecord a = db_.read<PlayerAttRecord>(kSlotStaffAtt, s.PlayerAttIndex() + 1);
  EXPECT_EQ(std::vector<int>({a.Attribute(3), a.PositionRating(0), s.Caps(), s.Wage(), s.BirthYear(), s.Temperament(),
                              s.NationId(), s.SquadCode()}),
            std::vector<int>({44, 255, 200, -5, 1975, 19, -1, 255}));
}

// Each form below is refused: by a box before the history is saved, or (the
// last, its boxes all valid) by a history cell.
TEST_F(Person, RefusedBoxOrHistoryCellWritesSomethingOrChangesTheSearchName) {
  const int id = firstPerson(db_, true), staff = firstPerson(db_, false);
  auto rows = history::loadRows(db_, id);
  rows.push_back({history::addRecord(db_), "1999", "", "1", "1", -1});
  rows.push_back({history::addRecord(db_), "2000", "", "300", "0", -1});
  NameFlags flags{true, true};
  const std::vector<std::pair<int, std::function<void(PersonForm&)>>> cases = {
      {id, [](PersonForm& f) { f.boxes["txtCaps"] = "300"; }},
      {id, [](PersonForm& f) { f.boxes["txtdays"] = ""; }},
      {id, [](PersonForm& f) { f.attributes[41] = "abc"; }},
      {id, [](PersonForm& f) { f.boxes["txtvalue"] = "1e5"; }},
      {id, [](PersonForm& f) { f.firstName = std::string(52, 'x'); }},
      {id, [](PersonForm& f) { f.personId = kPersonNameTableSize; }},
      {staff, [](PersonForm& f) { f.staffAttributes[20] = "256"; }},
      {staff, [](PersonForm& f) { f.boxes["txtWorldRep"] = "40000"; }},
      {id, [](PersonForm& f) { f.secondName = "Renamed"; }}};
  for (size_t k = 0; k < cases.size(); ++k) {
    const auto& [who, edit] = cases[k];
    const std::string shown = db_.personName(who);
    PersonForm f = people::loadPerson(db_, who);
    f.commonName = "Someone";
    edit(f);
    bool historyRan = false;
    const auto saveHistory = [&](int32_t p) {
      historyRan = true;
      history::saveRows(db_, p, rows, db_.clubNames);
    };
    EXPECT_THROW(people::savePerson(db_, f, flags, saveHistory), ValueError) << "form " << k;
    EXPECT_EQ(historyRan, k + 1 == cases.size()) << "form " << k;
    EXPECT_EQ(db_.personName(who), shown) << "form " << k;
    EXPECT_TRUE(flags.firstChanged && flags.secondChanged);
  }
  closeAndExpectUnchanged();
}

TEST_F(Person, TypedNameNotAppendedOrOverwritesASharedRecord) {
  const int id = firstPerson(db_, true);
  const int64_t seconds = db_.recordCount(GameFile::SecondNames), firsts = db_.recordCount(GameFile::FirstNames);
  const StaffRecord old = db_.read<StaffRecord>(kSlotStaff, id + 1);
  const NameRecord oldSecond = db_.read<NameRecord>(kSlotSecondNames, old.SecondNameId() + 1);
  PersonForm f = people::loadPerson(db_, id);
  f.secondName = w("  Müller ");
  NameFlags flags{false, true};
  people::savePerson(db_, f, flags);
  EXPECT_FALSE(flags.secondChanged);
  const NameRecord added = db_.read<NameRecord>(kSlotSecondNames, seconds + 1);
  EXPECT_EQ(added.Name(), w("Müller "));
  EXPECT_EQ(std::vector<int64_t>({db_.read<StaffRecord>(kSlotStaff, id + 1).SecondNameId(), added.Id(), count(kEntrySecondNames)}),
            std::vector<int64_t>({seconds, seconds, seconds + 1}));
  EXPECT_EQ(db_.read<NameRecord>(kSlotSecondNames, old.SecondNameId() + 1), oldSecond);
  EXPECT_EQ(db_.personName(id), w("Müller ") + f.firstName);
  f = people::loadPerson(db_, id);
  f.firstName = w("Zoë");
  f.secondName = w("Ångström");
  flags = {true, true};
  people::savePerson(db_, f, flags);
  EXPECT_EQ(std::vector<int64_t>({db_.read<StaffRecord>(kSlotStaff, id + 1).FirstNameId(), count(kEntryFirstNames)}),
            std::vector<int64_t>({firsts, firsts + 1}));
  EXPECT_EQ(db_.personName(id), w("Ångström Zoë"));
}

TEST_F(Person, CommonNameNotAppendedOrAppendedTwice) {
  int id = -1;
  for (int i = 0; i < db_.PeopleCount() && id < 0; ++i)
    if (db_.read<StaffRecord>(kSlotStaff, i + 1).CommonNameId() == 0) id = i;
  const int64_t commons = db_.recordCount(GameFile::CommonNames);
  NameFlags flags;
  PersonForm f = people::loadPerson(db_, id);
  f.commonName = w("Pelé");
  people::savePerson(db_, f, flags);
  EXPECT_EQ(std::vector<int64_t>({db_.read<StaffRecord>(kSlotStaff, id + 1).CommonNameId(), count(kEntryCommonNames)}),
            std::vector<int64_t>({commons, commons + 1}));
  // His own record now: emptied in place.
  f = people::loadPerson(db_, id);
  f.commonName = "";
  people::savePerson(db_, f, flags);
  EXPECT_EQ(db_.recordCount(GameFile::CommonNames), commons + 1);
  const NameRecord r = db_.read<NameRecord>(kSlotCommonNames, commons + 1);
  EXPECT_EQ(Bytes(r.bytes.begin(), r.bytes.begin() + 51), Bytes(51, 0));
  EXPECT_EQ(r.Id(), commons);
}

// ---- New players ------------------------------------------------------------

// The boxes of a new player as the window leaves them after clearing.
PersonForm newForm(const std::string& first, const std::string& second, const std::string& common = "") {
  PersonForm f;
  f.firstName = first;
  f.secondName = second;
  f.commonName = common;
  f.nation = 2;
  f.boxes = {{"txtIntGoals", "0"},       {"txtCaps", "0"},          {"txtdays", "0"},  {"txtvalue", "0"},
             {"txtwages", "0"},          {"txtBirthyear", "1900"},  {"txtcontractexp", "2001"}, {"txtJoin", "1998"}};
  return f;
}

using NewPlayer = OpenGame;

TEST_F(NewPlayer, RecordOrIndexCountNotKeptInStep) {
  const people::NewPlayerTemplate t = people::templateOf(db_, firstPerson(db_, true));
  const int32_t n8 = count(8), n11 = count(11);
  const int32_t positions[] = {db_.readIndex(9).Position(), db_.readIndex(10).Position(), db_.readIndex(11).Position()};
  const int32_t r1 = count(16), r2 = count(17), r3 = count(18);
  NameFlags flags{true, true};
  PersonForm f = newForm("Ann", "Smith", "Annie");
  f.boxes["txtCaps"] = "12";
  f.boxes["txtdays"] = "100";
  f.boxes["txtvalue"] = "250000";
  f.boxes["txtwages"] = "-5";
  f.secondNation = 4;
  const people::NewPlayerResult r = people::addNewPlayer(db_, t, f, flags);
  EXPECT_EQ(std::make_pair(r.personId, r.attIndex), std::make_pair(n8, n11));
  EXPECT_EQ(r.status, "Smith Ann added to cm3 Database!");
  EXPECT_FALSE(flags.firstChanged || flags.secondChanged);
  EXPECT_EQ(db_.PersonNameTable[size_t(n8)], "Smith Ann");
  const std::pair<int, int32_t> counts[] = {{8, n8}, {11, n11}, {16, r1}, {17, r2}, {18, r3}};
  for (auto [e, n] : counts) EXPECT_EQ(count(e), n + 1) << e;
  for (int e : {9, 10, 11}) EXPECT_EQ(db_.readIndex(e).Position(), positions[e - 9] + 157) << e;
  EXPECT_EQ(db_.recordCount(GameFile::CommonNames), r3 + 1);
  const NameRecord first = db_.read<NameRecord>(kSlotFirstNames, r1 + 1);
  EXPECT_EQ(std::make_pair(first.Name(), first.Id()), std::make_pair(std::string("Ann"), r1));
  EXPECT_EQ(slice(bytesOf(first), 55, 60), slice(bytesOf(t.firstName), 55, 60));
  EXPECT_EQ(db_.read<NameRecord>(kSlotCommonNames, r3 + 1).Name(), "Annie");
  // The template with the fields of a new person replaced, every other byte kept.
  EXPECT_EQ(db_.read<StaffRecord>(kSlotStaff, n8 + 1),
            with(t.staff, {{"PersonId", n8}, {"FirstNameId", r1}, {"SecondNameId", r2}, {"CommonNameId", r3},
                           {"ClubId", -1}, {"PlayerAttIndex", n11}, {"NationId", 2}, {"SecondNationId", 4},
                           {"Caps", 12}, {"IntGoals", 0}, {"BirthYear", 1900}, {"BirthDay", 100}, {"Value", 250000},
                           {"Wage", -5}, {"ContractJoinYear", 1998}, {"ContractExpiryYear", 2001}}));
  EXPECT_EQ(db_.read<PlayerAttRecord>(kSlotStaffAtt, n11 + 1), with(t.playerAtt, {{"AttId", n11}}));
  EXPECT_EQ(people::nextPersonId(db_), n8 + 1);
}

// A staff member as template, with a common name the new player must not take.
TEST_F(NewPlayer, NonPlayerTemplateGivesHisAttributesOrCommonNameOrAnEmptyOneIsWritten) {
  EXPECT_THROW(people::templateOf(db_, -1), ValueError);
  EXPECT_THROW(people::templateOf(db_, db_.PeopleCount()), ValueError);
  people::NewPlayerTemplate t = people::templateOf(db_, firstPerson(db_, false));
  EXPECT_EQ(t.playerAtt, PlayerAttRecord{});
  t.staff.setCommonNameId(5);
  const Bytes commons = db_.file(kSlotCommonNames).data();
  NameFlags flags;
  const people::NewPlayerResult r = people::addNewPlayer(db_, t, newForm("  Ann", "Smith"), flags);
  const StaffRecord s = db_.read<StaffRecord>(kSlotStaff, r.personId + 1);
  EXPECT_EQ(std::vector<int64_t>({s.PlayerAttIndex(), r.commonNameId, s.CommonNameId()}),
            std::vector<int64_t>({r.attIndex, 0, 0}));
  EXPECT_EQ(db_.read<PlayerAttRecord>(kSlotStaffAtt, r.attIndex + 1), with(PlayerAttRecord{}, {{"AttId", r.attIndex}}));
  EXPECT_EQ(db_.file(kSlotCommonNames).data(), commons);
  EXPECT_EQ(db_.read<NameRecord>(kSlotFirstNames, r.firstNameId + 1).Name(), "Ann");
}

TEST_F(NewPlayer, RefusedBoxOrFullTableWritesOrphanNamesOrRaisesCounts) {
  const people::NewPlayerTemplate t = people::templateOf(db_, firstPerson(db_, true));
  const Files before = snapshot(game_.data());
  const int32_t people = db_.PeopleCount();
  NameFlags flags{true, true};
  std::vector<PersonForm> refused = {newForm("Ann", std::string(52, 'x')), newForm("Ann", "Smith", std::string(60, 'c'))};
  for (const char* bad : {"", "abc", "256"}) {
    refused.push_back(newForm("Ann", "Smith", "Annie"));
    refused.back().boxes["txtCaps"] = bad;
  }
  for (const PersonForm& f : refused) EXPECT_THROW(people::addNewPlayer(db_, t, f, flags), ValueError) << f.boxes.at("txtCaps");
  EXPECT_TRUE(sameFiles(snapshot(game_.data()), before));
  EXPECT_TRUE(db_.PersonNameTable[size_t(people)].empty());
  const IndexRecord real = db_.readIndex(8);
  IndexRecord full = real;
  full.setCount(kPersonNameTableSize);
  db_.writeIndex(8, full);
  const Files whileFull = snapshot(game_.data());
  EXPECT_THROW(people::addNewPlayer(db_, t, newForm("Ann", "Smith"), flags), ValueError);
  EXPECT_TRUE(sameFiles(snapshot(game_.data()), whileFull));
  db_.writeIndex(8, real);
  EXPECT_TRUE(flags.firstChanged && flags.secondChanged);
  EXPECT_NO_THROW(people::addNewPlayer(db_, t, newForm("  " + std::string(51, 'a') + "  ", "Smith"), flags));
}

}  // namespace
