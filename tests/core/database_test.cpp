// Opening, the working files of staff.dat, reading and writing through the
// slots, closing, paths, damaged databases and the settings file.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "database/database.h"
#include "database/errors.h"
#include "database/gamepath.h"
#include "database/settings.h"
#include "database_helpers.h"
#include "records/records.h"

using namespace cm3;
using namespace cm3test;

namespace {

sample::Preset presetNamed(const std::string& name) {
  sample::Preset p;
  EXPECT_TRUE(sample::presetByName(name, p));
  return p;
}

class DatabasePresets : public ::testing::TestWithParam<std::string> {
 protected:
  DatabasePresets() : game_(presetNamed(GetParam()), 7) {}
  GameDir game_;
};

INSTANTIATE_TEST_SUITE_P(Presets, DatabasePresets, ::testing::Values("small", "full"),
                         [](const auto& info) { return info.param; });

// ---- Splitting and stapling -------------------------------------------------

TEST_P(DatabasePresets, OpenThenCloseLeavesEveryGameFileUnchanged) {
  const Files before = gameFiles(game_.data());
  const std::vector<std::string> namesBefore = fileNames(game_.data());
  Database db;
  ASSERT_TRUE(db.open(game_.str())) << db.OpenError;
  EXPECT_TRUE(db.isOpen());
  db.close();
  EXPECT_FALSE(db.isOpen());

  EXPECT_TRUE(sameFiles(gameFiles(game_.data()), before));
  // Only index_temp.dat is left behind, holding the 22 entries.
  std::vector<std::string> namesAfter = namesBefore;
  namesAfter.push_back("index_temp.dat");
  std::sort(namesAfter.begin(), namesAfter.end());
  EXPECT_EQ(fileNames(game_.data()), namesAfter);
  EXPECT_EQ(slurp(game_.file("index_temp.dat")), slice(before.at("index.dat"), 8, 1482));
}

TEST_P(DatabasePresets, WorkingFilesHoldTheSectionsInTheirBlocks) {
  const Bytes staff = slurp(game_.file("staff.dat"));
  const Bytes index = slurp(game_.file("index.dat"));
  const SectionTable t = sectionsOf(index);
  ASSERT_GT(t.N9, 0);
  ASSERT_GT(t.N10, 0);
  ASSERT_GT(t.N11, 0);
  ASSERT_GT(int64_t(staff.size()), t.D) << "the generated staff.dat has a tail";

  Database db;
  ASSERT_TRUE(db.open(game_.str())) << db.OpenError;
  const Bytes unknown = slurp(game_.file("staff_unknown.dat"));
  const Bytes att2 = slurp(game_.file("staff_att2.dat"));
  const Bytes att = slurp(game_.file("staff_att.dat"));
  EXPECT_EQ(unknown.size(), size_t(8 * t.N9));
  EXPECT_EQ(att2.size(), size_t(68 * t.N10));
  // Whole 4480-byte blocks, but never more than staff.dat holds from C on.
  const int64_t blocks = (70 * t.N11 + 4479) / 4480;
  EXPECT_EQ(int64_t(att.size()), std::min<int64_t>(blocks * 4480, int64_t(staff.size()) - t.C));
  EXPECT_EQ(unknown, slice(staff, t.A, t.B));
  EXPECT_EQ(att2, slice(staff, t.B, t.C));
  EXPECT_EQ(att, slice(staff, t.C, t.C + int64_t(att.size())));
  EXPECT_EQ(slurp(game_.file("index_temp.dat")), slice(index, 8, 1482));

  const SectionTable s = db.sections();
  EXPECT_EQ(s.A, 157 * t.N8);
  EXPECT_EQ(s.B, s.A + 8 * t.N9);
  EXPECT_EQ(s.C, s.B + 68 * t.N10);
  EXPECT_EQ(s.D, s.C + 70 * t.N11);
  EXPECT_EQ(db.PeopleCount(), t.N8);
  // staff.dat counts more whole records than there are people.
  EXPECT_GT(db.recordCount(GameFile::Staff), db.PeopleCount());
  EXPECT_EQ(db.recordCount(GameFile::Staff), int64_t(staff.size()) / 157);
  EXPECT_EQ(db.recordCount(GameFile::StaffAtt), int64_t(att.size()) / 70);
  db.close();
}

TEST_P(DatabasePresets, PersonNameTableHoldsSecondNameSpaceFirstName) {
  Database db;
  ASSERT_TRUE(db.open(game_.str())) << db.OpenError;
  ASSERT_EQ(db.PersonNameTable.size(), size_t(kPersonNameTableSize));
  const Bytes firsts = slurp(game_.file("first_names.dat"));
  const Bytes seconds = slurp(game_.file("second_names.dat"));
  for (int32_t id : {0, db.PeopleCount() / 2, db.PeopleCount() - 1}) {
    StaffRecord s = db.read<StaffRecord>(kSlotStaff, id + 1);
    std::string second = fieldText(seconds.data() + size_t(s.SecondNameId()) * 60, 51);
    std::string first = fieldText(firsts.data() + size_t(s.FirstNameId()) * 60, 51);
    EXPECT_EQ(db.PersonNameTable[size_t(id)], second + " " + first);
  }
  for (size_t i = size_t(db.PeopleCount()); i < db.PersonNameTable.size(); ++i)
    ASSERT_TRUE(db.PersonNameTable[i].empty()) << i;
  EXPECT_EQ(db.personName(-1), "");
  EXPECT_EQ(db.personName(kPersonNameTableSize), "");
  db.close();
}

TEST(Database, SectionTwoEmptyGivesEmptyWorkingFileAndSectionThreeAtA) {
  GameDir game;
  Bytes staff = slurp(game.file("staff.dat"));
  const Bytes index = slurp(game.file("index.dat"));
  const SectionTable t = sectionsOf(index);
  // Take section 2 out of staff.dat and out of the index.
  staff.erase(staff.begin() + t.A, staff.begin() + t.B);
  spit(game.file("staff.dat"), staff);
  setEntryCountOnDisk(game.file("index.dat"), kEntrySection2, 0);
  const Files before = gameFiles(game.data());

  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  EXPECT_TRUE(slurp(game.file("staff_unknown.dat")).empty());
  EXPECT_EQ(slurp(game.file("staff_att2.dat")), slice(staff, t.A, t.A + 68 * t.N10));
  EXPECT_EQ(db.sections().B, db.sections().A);
  db.close();
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), before));
}

TEST(Database, IndexHeaderIsNeverWritten) {
  GameDir game;
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  // Someone else changes the header while the database is open; an entry is
  // changed through the editor.
  Bytes index = slurp(game.file("index.dat"));
  const Bytes header = {0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x02, 0x03, 0x04};
  std::copy(header.begin(), header.end(), index.begin());
  spit(game.file("index.dat"), index);
  IndexRecord e = db.readIndex(20);
  e.setCount(e.Count() + 5);
  db.writeIndex(20, e);
  db.close();

  const Bytes after = slurp(game.file("index.dat"));
  ASSERT_EQ(after.size(), size_t(kIndexFileSize));
  EXPECT_EQ(slice(after, 0, 8), header);
  EXPECT_EQ(entryCount(after, 20), entryCount(index, 20) + 5);
  // Every other byte of the entries as before.
  Bytes expected = index;
  storeI32(expected.data() + entryOffset(20, IndexRecord::CountOffset), entryCount(index, 20) + 5);
  EXPECT_EQ(after, expected);
}

// ---- Reading and writing through the slots ----------------------------------

template <class R>
void roundTrip(Database& db, int slot, int64_t n, uint8_t salt) {
  SCOPED_TRACE("slot " + std::to_string(slot));
  ASSERT_TRUE(db.has<R>(slot, n));
  R before = db.read<R>(slot, n);
  R changed = before;
  for (size_t i = 0; i < R::kSize; ++i) changed.bytes[i] = uint8_t(changed.bytes[i] ^ (salt + i));
  db.write(slot, n, changed);
  EXPECT_EQ(db.read<R>(slot, n), changed);
  // The neighbours are untouched.
  if (db.has<R>(slot, n + 1)) {
    R next = db.read<R>(slot, n + 1);
    db.write(slot, n, before);
    EXPECT_EQ(db.read<R>(slot, n + 1), next);
    db.write(slot, n, changed);
  }
}

TEST(Database, EveryRecordSlotReadsBackWhatWasWrittenAndKeepsItAfterClosing) {
  GameDir game;
  const Bytes staffBefore = slurp(game.file("staff.dat"));
  const SectionTable t = sectionsOf(slurp(game.file("index.dat")));
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  roundTrip<StaffRecord>(db, kSlotStaff, 5, 1);
  roundTrip<NameRecord>(db, kSlotSecondNames, 7, 2);
  roundTrip<NameRecord>(db, kSlotFirstNames, 8, 3);
  roundTrip<NationRecord>(db, kSlotNation, 3, 4);
  roundTrip<ClubRecord>(db, kSlotClub, 9, 5);
  roundTrip<PlayerAttRecord>(db, kSlotStaffAtt, 11, 6);
  roundTrip<NameRecord>(db, kSlotCommonNames, 2, 7);
  roundTrip<HistoryRecord>(db, kSlotHistory, 100, 8);
  roundTrip<ContinentRecord>(db, kSlotContinent, 2, 9);
  roundTrip<CompRecord>(db, kSlotComp, 4, 10);
  roundTrip<StadiumRecord>(db, kSlotStadium, 6, 12);
  roundTrip<CityRecord>(db, kSlotCity, 12, 13);
  roundTrip<StaffAttRecord>(db, kSlotStaffAtt2, 13, 14);
  roundTrip<ColourRecord>(db, kSlotColour, 3, 15);
  // Index entry 21 is not one the section table depends on.
  roundTrip<IndexRecord>(db, kSlotIndexTemp, 21, 11);
  // staff_unknown.dat only as bytes.
  const uint8_t eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  db.file(kSlotUnknownBytes).write(16, eight, 8);

  const StaffRecord person = db.read<StaffRecord>(kSlotStaff, 5);
  const PlayerAttRecord att = db.read<PlayerAttRecord>(kSlotStaffAtt, 11);
  const StaffAttRecord att2 = db.read<StaffAttRecord>(kSlotStaffAtt2, 13);
  const IndexRecord entry = db.readIndex(21);
  const ClubRecord club = db.read<ClubRecord>(kSlotClub, 9);
  db.close();

  // Everything is in the game's own files now, the working-file records in
  // their sections of staff.dat.
  const Bytes staff = slurp(game.file("staff.dat"));
  ASSERT_EQ(staff.size(), staffBefore.size());
  EXPECT_EQ(slice(staff, 4 * 157, 5 * 157), Bytes(person.bytes.begin(), person.bytes.end()));
  EXPECT_EQ(slice(staff, t.C + 10 * 70, t.C + 11 * 70), Bytes(att.bytes.begin(), att.bytes.end()));
  EXPECT_EQ(slice(staff, t.B + 12 * 68, t.B + 13 * 68), Bytes(att2.bytes.begin(), att2.bytes.end()));
  EXPECT_EQ(slice(staff, t.A + 16, t.A + 24), Bytes(eight, eight + 8));
  EXPECT_EQ(slice(slurp(game.file("index.dat")), entryOffset(21, 0), entryOffset(22, 0)),
            Bytes(entry.bytes.begin(), entry.bytes.end()));
  EXPECT_EQ(slice(slurp(game.file("club.dat")), 8 * 581, 9 * 581), Bytes(club.bytes.begin(), club.bytes.end()));

  Database again;
  ASSERT_TRUE(again.open(game.str())) << again.OpenError;
  EXPECT_EQ(again.read<StaffRecord>(kSlotStaff, 5), person);
  EXPECT_EQ(again.read<PlayerAttRecord>(kSlotStaffAtt, 11), att);
  EXPECT_EQ(again.read<StaffAttRecord>(kSlotStaffAtt2, 13), att2);
  EXPECT_EQ(again.readIndex(21), entry);
  again.close();
}

TEST(Database, AWriteThroughOneSlotIsSeenThroughTheOtherSlotOfTheSameFile) {
  GameDir game;
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  struct Pair {
    int recordSlot, byteSlot;
    size_t size;
  };
  for (Pair p : {Pair{kSlotStaff, kSlotStaffBytes, 157}, Pair{kSlotStaffAtt, kSlotStaffAttBytes, 70},
                 Pair{kSlotStaffAtt2, kSlotStaffAtt2Bytes, 68}, Pair{kSlotIndexTemp, kSlotIndexTempBytes, 67}}) {
    SCOPED_TRACE("slot " + std::to_string(p.recordSlot));
    EXPECT_EQ(&db.file(p.recordSlot), &db.file(p.byteSlot));
    // Record slot → byte slot.
    Bytes rec(p.size, 0x5A);
    db.file(p.recordSlot).write(2 * p.size, rec.data(), rec.size());
    Bytes seen(p.size);
    db.file(p.byteSlot).read(2 * p.size, seen.data(), seen.size());
    EXPECT_EQ(seen, rec);
    // Byte slot → record slot, and on disk.
    Bytes other(p.size, 0xA5);
    db.file(p.byteSlot).write(3 * p.size, other.data(), other.size());
    const uint8_t* q = db.peek(p.recordSlot, 4, p.size);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(Bytes(q, q + p.size), other);
    EXPECT_EQ(slice(slurp(db.file(p.recordSlot).path()), 3 * p.size, 4 * p.size), other);
  }
  // Index entries 8-11 are left alone above, so closing works as usual.
  db.close();
}

TEST(Database, RecordNumbersOutsideTheFileReadAsZeroAndCannotBeWrittenWild) {
  GameDir game;
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  const int64_t clubs = db.recordCount(GameFile::Club);
  const StaffRecord zero{};
  for (int64_t n : {int64_t(0), int64_t(-1), int64_t(-100000), int64_t(1) << 40, INT64_MAX, INT64_MIN}) {
    EXPECT_EQ(db.read<StaffRecord>(kSlotStaff, n), zero) << n;
    EXPECT_FALSE(db.has<StaffRecord>(kSlotStaff, n)) << n;
    EXPECT_EQ(db.peek(kSlotClub, n, 581), nullptr) << n;
  }
  EXPECT_FALSE(db.has<ClubRecord>(kSlotClub, clubs + 1));
  EXPECT_TRUE(db.has<ClubRecord>(kSlotClub, clubs));
  const Bytes club = slurp(game.file("club.dat"));
  ClubRecord c = db.read<ClubRecord>(kSlotClub, 1);
  EXPECT_THROW(db.write(kSlotClub, 0, c), ValueError);
  EXPECT_THROW(db.write(kSlotClub, -3, c), ValueError);
  EXPECT_THROW(db.write(kSlotClub, int64_t(1) << 40, c), ValueError);
  EXPECT_THROW(db.write(kSlotClub, INT64_MAX, c), ValueError);
  EXPECT_EQ(slurp(game.file("club.dat")), club);
  // Appending the next record is allowed.
  db.write(kSlotClub, clubs + 1, c);
  EXPECT_EQ(db.read<ClubRecord>(kSlotClub, clubs + 1), c);
  EXPECT_EQ(slurp(game.file("club.dat")).size(), club.size() + 581);
  db.close();
  EXPECT_THROW(db.file(kSlotCity), std::logic_error) << "no slot is open after closing";
  EXPECT_EQ(db.read<ClubRecord>(kSlotClub, 1), ClubRecord{});
}

// ---- Paths ---------------------------------------------------------------------

TEST(Database, GamePathsAreMatchedWithoutRegardToCase) {
  GameDir game;
  fs::path upper = game.data().parent_path() / "DATA";
  fs::rename(game.data(), upper);
  fs::rename(upper / "staff.dat", upper / "STAFF.DAT");
  fs::rename(upper / "index.dat", upper / "Index.Dat");
  fs::rename(upper / "club.dat", upper / "Club.dat");
  const Files before = gameFiles(upper);

  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  EXPECT_TRUE(fs::exists(upper / "staff_att.dat"));
  EXPECT_FALSE(fs::exists(game.data())) << "no second Data folder";
  EXPECT_GT(db.recordCount(GameFile::Club), 0);
  EXPECT_GT(db.PeopleCount(), 0);
  EXPECT_EQ(&db.file(kSlotStaff), &db.file(kSlotStaffBytes));
  db.close();
  EXPECT_TRUE(sameFiles(gameFiles(upper), before));
  EXPECT_EQ(fileNames(upper).size(), before.size() + 1);
}

TEST(Database, GameDirectoryWithTrailingSeparatorOrBackslashesOpensTheSameFiles) {
  GameDir game;
  const Files before = gameFiles(game.data());
  std::string backslashed = game.str();
  std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
  for (const std::string& dir : {game.str() + "/", game.str() + "\\", backslashed, backslashed + "\\"}) {
    SCOPED_TRACE(dir);
    Database db;
    ASSERT_TRUE(db.open(dir)) << db.OpenError;
    EXPECT_EQ(db.GameDir, dir) << "kept as typed";
    EXPECT_EQ(db.file(kSlotStaff).path(), (game.data() / "staff.dat").string());
    EXPECT_EQ(db.PeopleCount(), sample::smallPreset().people);
    db.close();
    EXPECT_TRUE(sameFiles(gameFiles(game.data()), before));
  }
  EXPECT_EQ(resolveGamePath(game.str() + "//", "\\data\\\\INDEX.dat"), (game.data() / "index.dat").string());
  EXPECT_EQ(resolveGamePath(game.str(), "\\data\\nothing.dat"), (game.data() / "nothing.dat").string());
}

TEST(Database, MissingGameDirectoryOrDataFolderGivesTheWrongPathMessageAndCreatesNothing) {
  ScratchDir scratch("wrongpath");
  const fs::path missing = scratch.path() / "nowhere";
  const fs::path empty = scratch.path() / "empty";
  const fs::path notDir = scratch.path() / "afile";
  fs::create_directories(empty);
  spit(notDir, Bytes{1, 2, 3});
  for (const fs::path& dir : {missing, empty, notDir}) {
    SCOPED_TRACE(dir.string());
    Database db;
    EXPECT_FALSE(db.open(dir.string()));
    EXPECT_EQ(db.OpenError, kWrongPathMessage);
    EXPECT_FALSE(db.isOpen());
    db.close();  // nothing to write back
  }
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_TRUE(fs::is_empty(empty));
  EXPECT_EQ(slurp(notDir), (Bytes{1, 2, 3}));
  EXPECT_EQ(fileNames(scratch.path()), (std::vector<std::string>{"afile", "empty"}));

  // The steps on their own say the same.
  Database db;
  EXPECT_FALSE(db.PrepareDatabase(missing.string()));
  EXPECT_EQ(db.OpenError, kWrongPathMessage);
}

TEST(Database, MissingGameFilesAreCreatedEmptyAndReadAsNoRecords) {
  GameDir game;
  fs::remove(game.file("club.dat"));
  fs::remove(game.file("colour.dat"));
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  EXPECT_TRUE(fs::exists(game.file("club.dat")));
  EXPECT_EQ(fs::file_size(game.file("club.dat")), 0u);
  EXPECT_EQ(db.recordCount(GameFile::Club), 0);
  EXPECT_TRUE(db.clubNames.empty());
  EXPECT_TRUE(db.colours.empty());
  EXPECT_FALSE(db.nationNames.empty());
  db.close();
}

// ---- Damaged databases --------------------------------------------------------

struct BadIndex {
  const char* what;
  int entry;
  int32_t count;
  const char* messagePart;
};

class DatabaseBadCounts : public ::testing::TestWithParam<BadIndex> {};

INSTANTIATE_TEST_SUITE_P(
    Counts, DatabaseBadCounts,
    ::testing::Values(BadIndex{"NegativePeople", kEntryPeople, -1, "negative"},
                      BadIndex{"NegativeSection2", kEntrySection2, -8, "negative"},
                      BadIndex{"NegativeSection3", kEntrySection3, INT32_MIN, "negative"},
                      BadIndex{"NegativeSection4", kEntrySection4, -1, "negative"},
                      BadIndex{"TooManyPeople", kEntryPeople, kPersonNameTableSize + 1, "45001"},
                      BadIndex{"HugeSection2", kEntrySection2, INT32_MAX, "2 GB"},
                      BadIndex{"HugeSection4", kEntrySection4, 40000000, "2 GB"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_P(DatabaseBadCounts, AreRefusedWithAClearMessageAndTouchNothing) {
  GameDir game;
  setEntryCountOnDisk(game.file("index.dat"), GetParam().entry, GetParam().count);
  const Files before = snapshot(game.data());
  Database db;
  EXPECT_FALSE(db.open(game.str()));
  EXPECT_NE(db.OpenError.find(GetParam().messagePart), std::string::npos) << db.OpenError;
  EXPECT_NE(db.OpenError, kWrongPathMessage);
  EXPECT_FALSE(db.isOpen());
  db.close();
  EXPECT_TRUE(sameFiles(snapshot(game.data()), before)) << "no file written, none made";
  // The lock is given back: a corrected database opens.
  setEntryCountOnDisk(game.file("index.dat"), GetParam().entry, 3);
  Database other;
  EXPECT_TRUE(other.open(game.str())) << other.OpenError;
  other.close();
}

TEST(Database, MostPeopleTheTableHoldsIsAccepted) {
  GameDir game;
  setEntryCountOnDisk(game.file("index.dat"), kEntryPeople, kPersonNameTableSize);
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  EXPECT_EQ(db.PeopleCount(), kPersonNameTableSize);
  // staff.dat holds far fewer: the table stops at its last whole record.
  const int64_t whole = int64_t(fs::file_size(game.file("staff.dat"))) / 157;
  EXPECT_FALSE(db.PersonNameTable[size_t(whole - 1)].empty());
  EXPECT_TRUE(db.PersonNameTable[size_t(whole)].empty());
  db.close();
}

TEST(Database, TruncatedIndexIsRefusedButAnEmptyOneOpensAsNoRecords) {
  GameDir game;
  const Bytes index = slurp(game.file("index.dat"));
  spit(game.file("index.dat"), slice(index, 0, 700));
  const Files before = snapshot(game.data());
  {
    Database db;
    EXPECT_FALSE(db.open(game.str()));
    EXPECT_NE(db.OpenError.find("index.dat is damaged"), std::string::npos) << db.OpenError;
    EXPECT_TRUE(sameFiles(snapshot(game.data()), before));
  }
  spit(game.file("index.dat"), Bytes{});
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  EXPECT_EQ(db.PeopleCount(), 0);
  EXPECT_TRUE(db.PersonNameTable[0].empty());
  EXPECT_EQ(fs::file_size(game.file("staff_att.dat")), 0u);
  EXPECT_GT(db.clubNames.size(), 0u) << "the other files are there as usual";
  db.close();
}

TEST(Database, TruncatedStaffFileOpensWithWhatItHoldsAndClosesUnchanged) {
  GameDir game;
  const Bytes staff = slurp(game.file("staff.dat"));
  const SectionTable t = sectionsOf(slurp(game.file("index.dat")));
  // In the middle of person 11, then in the middle of section 4.
  for (int64_t cut : {int64_t(157 * 10 + 50), t.C + 70 * 20 + 33}) {
    SCOPED_TRACE(cut);
    spit(game.file("staff.dat"), slice(staff, 0, cut));
    const Files before = gameFiles(game.data());
    Database db;
    ASSERT_TRUE(db.open(game.str())) << db.OpenError;
    const int64_t whole = std::min<int64_t>(cut / 157, t.N8);
    EXPECT_FALSE(db.PersonNameTable[size_t(whole - 1)].empty());
    if (whole < t.N8) {
      EXPECT_TRUE(db.PersonNameTable[size_t(whole)].empty());
      EXPECT_FALSE(db.has<StaffRecord>(kSlotStaff, whole + 1));
      EXPECT_EQ(db.read<StaffRecord>(kSlotStaff, whole + 1), StaffRecord{});
      EXPECT_EQ(fs::file_size(game.file("staff_unknown.dat")), 0u);
    }
    EXPECT_EQ(int64_t(fs::file_size(game.file("staff_att.dat"))), std::max<int64_t>(0, cut - t.C));
    db.close();
    EXPECT_TRUE(sameFiles(gameFiles(game.data()), before));
  }
}

TEST(Database, TruncatedRecordFilesCountOnlyWholeRecords) {
  GameDir game;
  const Bytes clubs = slurp(game.file("club.dat"));
  const Bytes nations = slurp(game.file("nation.dat"));
  spit(game.file("club.dat"), slice(clubs, 0, 581 * 4 + 300));
  spit(game.file("nation.dat"), slice(nations, 0, 100));
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  EXPECT_EQ(db.recordCount(GameFile::Club), 4);
  EXPECT_EQ(db.clubNames.size(), 4u);
  EXPECT_EQ(db.clubNames[3], fieldText(clubs.data() + 3 * 581 + 4, 51));
  EXPECT_EQ(db.recordCount(GameFile::Nation), 0);
  EXPECT_TRUE(db.nationNames.empty());
  EXPECT_FALSE(db.has<ClubRecord>(kSlotClub, 5));
  db.close();
  EXPECT_EQ(fs::file_size(game.file("club.dat")), 581u * 4 + 300) << "the partial record is kept";
}

TEST(Database, NamesWithoutZeroByteAreTakenWholeAndWildNameIdsReadAsEmpty) {
  GameDir game;
  Bytes staff = slurp(game.file("staff.dat"));
  Bytes firsts = slurp(game.file("first_names.dat"));
  Bytes seconds = slurp(game.file("second_names.dat"));
  Bytes clubs = slurp(game.file("club.dat"));
  // Person 1 gets names of 51 letters with no zero byte.
  const int32_t f = loadI32(staff.data() + StaffRecord::FirstNameIdOffset);
  const int32_t s = loadI32(staff.data() + StaffRecord::SecondNameIdOffset);
  std::fill_n(firsts.begin() + f * 60, 51, 'F');
  std::fill_n(seconds.begin() + s * 60, 51, 'S');
  std::fill_n(clubs.begin() + 4, 51, 'C');
  // Person 2 refers to names that do not exist.
  storeI32(staff.data() + 157 + StaffRecord::FirstNameIdOffset, -1);
  storeI32(staff.data() + 157 + StaffRecord::SecondNameIdOffset, 1000000000);
  // Person 3: the smallest identifier.
  storeI32(staff.data() + 2 * 157 + StaffRecord::FirstNameIdOffset, INT32_MIN);
  storeI32(staff.data() + 2 * 157 + StaffRecord::SecondNameIdOffset, INT32_MAX);
  spit(game.file("staff.dat"), staff);
  spit(game.file("first_names.dat"), firsts);
  spit(game.file("second_names.dat"), seconds);
  spit(game.file("club.dat"), clubs);

  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  EXPECT_EQ(db.PersonNameTable[0], std::string(51, 'S') + " " + std::string(51, 'F'));
  EXPECT_EQ(db.PersonNameTable[1], " ");
  EXPECT_EQ(db.PersonNameTable[2], " ");
  EXPECT_FALSE(db.PersonNameTable[3].empty());
  EXPECT_EQ(db.clubNames[0], std::string(51, 'C'));
  db.close();
}

// ---- People added while open ---------------------------------------------------

// Appends a person the way adding a player does: the staff record after the
// last person, the attribute record after the last one, new name records,
// and the index entries kept in step.
void appendPerson(Database& db, const std::string& first, const std::string& second) {
  const int32_t newId = db.readIndex(kEntryPeople).Count();
  const int32_t newAtt = db.readIndex(kEntrySection4).Count();
  NameRecord f = db.read<NameRecord>(kSlotFirstNames, 1), s = db.read<NameRecord>(kSlotSecondNames, 1);
  ASSERT_TRUE(encodeName(first, f.NameField()));
  ASSERT_TRUE(encodeName(second, s.NameField()));
  const int32_t r1 = int32_t(db.recordCount(GameFile::FirstNames));
  const int32_t r2 = int32_t(db.recordCount(GameFile::SecondNames));
  f.setId(r1);
  s.setId(r2);
  db.write(kSlotSecondNames, r2 + 1, s);
  db.write(kSlotFirstNames, r1 + 1, f);
  auto entry = [&](int e, int32_t count, int32_t posDelta) {
    IndexRecord r = db.readIndex(e);
    r.setCount(count);
    r.setPosition(r.Position() + posDelta);
    db.writeIndex(e, r);
  };
  entry(kEntryFirstNames, r1 + 1, 0);
  entry(kEntrySecondNames, r2 + 1, 0);
  ++db.recordCount(GameFile::FirstNames);
  ++db.recordCount(GameFile::SecondNames);

  StaffRecord p = db.read<StaffRecord>(kSlotStaff, 1);
  p.setPersonId(newId);
  p.setFirstNameId(r1);
  p.setSecondNameId(r2);
  p.setPlayerAttIndex(newAtt);
  p.setClubId(-1);
  p.setWage(4242);
  db.write(kSlotStaff, newId + 1, p);
  entry(kEntryPeople, newId + 1, 0);
  PlayerAttRecord a = db.read<PlayerAttRecord>(kSlotStaffAtt, 1);
  a.setAttId(newAtt);
  a.setCurrentAbility(int16_t(100 + newAtt % 50));
  db.write(kSlotStaffAtt, newAtt + 1, a);
  entry(kEntrySection4, newAtt + 1, 0);
  for (int e : {kEntrySection2, kEntrySection3, kEntrySection4}) entry(e, db.readIndex(e).Count(), 157);
}

TEST_P(DatabasePresets, PeopleAddedWhileOpenShiftTheSectionsAndReadBackRight) {
  const Bytes staff0 = slurp(game_.file("staff.dat"));
  const Bytes index0 = slurp(game_.file("index.dat"));
  const SectionTable t0 = sectionsOf(index0);
  // Two people where there is room for them (the full database has room for one).
  const int added = int(std::min<int64_t>(2, kPersonNameTableSize - t0.N8));
  ASSERT_GE(added, 1);
  const char* const names[][2] = {{"Ann", "Smith"}, {"Bo", "Jones"}};

  std::vector<StaffRecord> people;
  std::vector<PlayerAttRecord> atts;
  std::string lastOldName;
  {
    Database db;
    ASSERT_TRUE(db.open(game_.str())) << db.OpenError;
    lastOldName = db.PersonNameTable[size_t(t0.N8 - 1)];
    ASSERT_FALSE(lastOldName.empty());
    for (int k = 0; k < added; ++k) {
      appendPerson(db, names[k][0], names[k][1]);
      people.push_back(db.read<StaffRecord>(kSlotStaff, t0.N8 + k + 1));
      atts.push_back(db.read<PlayerAttRecord>(kSlotStaffAtt, t0.N11 + k + 1));
      EXPECT_EQ(people.back().PersonId(), t0.N8 + k);
      EXPECT_EQ(atts.back().AttId(), t0.N11 + k);
    }
    EXPECT_EQ(db.PeopleCount(), t0.N8 + added);
    db.close();
  }
  const Bytes staff = slurp(game_.file("staff.dat"));
  const Bytes index = slurp(game_.file("index.dat"));
  const SectionTable t = sectionsOf(index);
  EXPECT_EQ(t.N8, t0.N8 + added);
  EXPECT_EQ(t.N9, t0.N9);
  EXPECT_EQ(t.N10, t0.N10);
  EXPECT_EQ(t.N11, t0.N11 + added);
  for (int e : {kEntrySection2, kEntrySection3, kEntrySection4})
    EXPECT_EQ(entryPosition(index, e), entryPosition(index0, e) + added * 157) << e;
  EXPECT_EQ(entryCount(index, kEntryFirstNames), entryCount(index0, kEntryFirstNames) + added);
  EXPECT_EQ(slice(index, 0, 8), slice(index0, 0, 8));

  // Every section in its new place.
  EXPECT_EQ(slice(staff, 0, t0.A), slice(staff0, 0, t0.A));
  for (int k = 0; k < added; ++k) {
    EXPECT_EQ(slice(staff, t0.A + 157 * k, t0.A + 157 * (k + 1)), Bytes(people[size_t(k)].bytes.begin(), people[size_t(k)].bytes.end()));
    EXPECT_EQ(slice(staff, t0.C + 157 * added + 70 * (t0.N11 + k), t0.C + 157 * added + 70 * (t0.N11 + k + 1)),
              Bytes(atts[size_t(k)].bytes.begin(), atts[size_t(k)].bytes.end()));
  }
  EXPECT_EQ(slice(staff, t.A, t.B), slice(staff0, t0.A, t0.B));
  EXPECT_EQ(slice(staff, t.B, t.C), slice(staff0, t0.B, t0.C));
  EXPECT_EQ(slice(staff, t.C, t.C + 70 * t0.N11), slice(staff0, t0.C, t0.D));
  EXPECT_GE(staff.size(), staff0.size());

  // And opened again, every slot reads them right.
  Database db;
  ASSERT_TRUE(db.open(game_.str())) << db.OpenError;
  EXPECT_EQ(db.PeopleCount(), t0.N8 + added);
  for (int k = 0; k < added; ++k) {
    EXPECT_EQ(db.PersonNameTable[size_t(t0.N8 + k)], std::string(names[k][1]) + " " + names[k][0]);
    EXPECT_EQ(db.read<StaffRecord>(kSlotStaff, t0.N8 + k + 1), people[size_t(k)]);
    EXPECT_EQ(db.read<PlayerAttRecord>(kSlotStaffAtt, t0.N11 + k + 1), atts[size_t(k)]);
  }
  EXPECT_EQ(db.PersonNameTable[size_t(t0.N8 - 1)], lastOldName) << "the people before keep their names";
  EXPECT_EQ(slurp(game_.file("staff_unknown.dat")), slice(staff0, t0.A, t0.B));
  EXPECT_EQ(slurp(game_.file("staff_att2.dat")), slice(staff0, t0.B, t0.C));
  EXPECT_EQ(slice(slurp(game_.file("staff_att.dat")), 0, 70 * t0.N11), slice(staff0, t0.C, t0.D));
  const PlayerAttRecord firstAtt = db.read<PlayerAttRecord>(kSlotStaffAtt, 1);
  EXPECT_EQ(Bytes(firstAtt.bytes.begin(), firstAtt.bytes.end()), slice(staff0, t0.C, t0.C + 70));
  const StaffAttRecord lastStaffAtt = db.read<StaffAttRecord>(kSlotStaffAtt2, t0.N10);
  EXPECT_EQ(Bytes(lastStaffAtt.bytes.begin(), lastStaffAtt.bytes.end()), slice(staff0, t0.C - 68, t0.C));
  db.close();
}

// ---- Two editors -----------------------------------------------------------------

TEST(Database, ASecondEditorOnTheSameDirectoryIsRefusedWhileTheFirstIsOpen) {
  GameDir game;
  Database first;
  ASSERT_TRUE(first.open(game.str())) << first.OpenError;
  PlayerAttRecord a = first.read<PlayerAttRecord>(kSlotStaffAtt, 3);
  a.setCurrentAbility(177);
  first.write(kSlotStaffAtt, 3, a);
  const Files during = snapshot(game.data());

  Database second;
  EXPECT_FALSE(second.open(game.str()));
  EXPECT_EQ(second.OpenError, kAlreadyOpenMessage);
  EXPECT_FALSE(second.isOpen());
  EXPECT_TRUE(sameFiles(snapshot(game.data()), during)) << "the refused editor changed nothing";
  // Also through a different spelling of the same directory.
  Database third;
  EXPECT_FALSE(third.open(game.str() + "/"));
  EXPECT_EQ(third.OpenError, kAlreadyOpenMessage);
  EXPECT_TRUE(Database::hasLeftoverWorkingFiles(game.str())) << "the first editor's files are there";

  first.close();
  ASSERT_TRUE(second.open(game.str())) << second.OpenError;
  EXPECT_EQ(second.read<PlayerAttRecord>(kSlotStaffAtt, 3).CurrentAbility(), 177);
  second.close();
}

// ---- Memory ---------------------------------------------------------------------

TEST(Database, FullDatabaseHoldsLessThan64MiB) {
  GameDir game(sample::fullPreset(), 3);
  Database db;
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  size_t files = 0;
  for (const auto& e : fs::directory_iterator(game.data())) files += size_t(e.file_size());
  // Every file is held once, however many slots name it.
  EXPECT_GE(db.memoryUsage(), files - fs::file_size(game.file("index.dat")));
  EXPECT_LT(db.memoryUsage(), size_t(64) << 20);
  db.close();
}

// ---- Settings file ------------------------------------------------------------

TEST(Settings, HoldsTheDirectoryInQuotesFollowedByCarriageReturnAndLineFeed) {
  ScratchDir program("settings");
  const fs::path file = program.path() / "tolvedit.tlv";
  EXPECT_EQ(readSettings(program.path().string()), std::nullopt);

  writeSettings(program.path().string(), "C:\\Games\\cm3");
  const Bytes bytes = slurp(file);
  ASSERT_EQ(bytes.size(), 16u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "\"C:\\Games\\cm3\"\r\n");
  EXPECT_EQ(readSettings(program.path().string()), "C:\\Games\\cm3");

  // A shorter directory replaces the former content entirely.
  writeSettings(program.path().string(), "D:\\cm3");
  EXPECT_EQ(slurp(file), (Bytes{'"', 'D', ':', '\\', 'c', 'm', '3', '"', 13, 10}));
  EXPECT_EQ(readSettings(program.path().string()), "D:\\cm3");

  // A path is a file name, not a game text: its bytes are stored unchanged.
  writeSettings(program.path().string(), "/spil/caf\xC3\xA9");
  EXPECT_EQ(slurp(file), (Bytes{'"', '/', 's', 'p', 'i', 'l', '/', 'c', 'a', 'f', 0xC3, 0xA9, '"', 13, 10}));
  EXPECT_EQ(readSettings(program.path().string()), "/spil/caf\xC3\xA9");
}

TEST(Settings, FilesShorterThanQuotesAndLineEndReadAsEmpty) {
  ScratchDir program("settings");
  const fs::path file = program.path() / "tolvedit.tlv";
  for (const Bytes& b : {Bytes{}, Bytes{'"'}, Bytes{'"', '"', 13}}) {
    spit(file, b);
    EXPECT_EQ(readSettings(program.path().string()), "") << b.size();
  }
  spit(file, Bytes{'"', '"', 13, 10});
  EXPECT_EQ(readSettings(program.path().string()), "");
  // Read as the steps say: the length minus the line end, without the first
  // and last character.
  spit(file, Bytes{'"', 'a', 'b', 'c', '"', 13, 10});
  EXPECT_EQ(readSettings(program.path().string()), "abc");
  spit(file, Bytes{'x', '/', 'g', 'y', '!', '!'});
  EXPECT_EQ(readSettings(program.path().string()), "/g");
}

}  // namespace
