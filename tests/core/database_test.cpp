// Opening, the working files of staff.dat, reading and writing through the
// slots, closing, paths, damaged databases and the settings file.

#include "common/testkit.h"
#include "database/gamepath.h"
#include "database/settings.h"

using namespace cm3;
using namespace cm3test;

namespace {

class DatabasePresets : public ::testing::TestWithParam<std::string> {
 protected:
  DatabasePresets() : game_(presetNamed(GetParam()), 7) {}
  GameDir game_;
};
INSTANTIATE_TEST_SUITE_P(Presets, DatabasePresets, ::testing::Values("small", "full"),
                         [](const auto& info) { return info.param; });

TEST_P(DatabasePresets, WorkingFilesSplitStaffFileAtWrongBoundariesOrCloseChangesAGameFile) {
  const Files before = gameFiles(game_.data());
  std::vector<std::string> names = fileNames(game_.data());
  names.push_back("index_temp.dat");
  std::sort(names.begin(), names.end());
  const Bytes staff = slurp(game_.file("staff.dat"));
  const SectionTable t = sectionsOf(slurp(game_.file("index.dat")));
  ASSERT_TRUE(t.N9 > 0 && t.N10 > 0 && t.N11 > 0 && int64_t(staff.size()) > t.D);
  OpenDatabase db(game_.str());
  const Bytes att = slurp(game_.file("staff_att.dat"));
  EXPECT_EQ(slurp(game_.file("staff_unknown.dat")), slice(staff, t.A, t.B));
  EXPECT_EQ(slurp(game_.file("staff_att2.dat")), slice(staff, t.B, t.C));
  // Whole 4480-byte blocks, but never more than staff.dat holds from C on.
  const int64_t blocks = (70 * t.N11 + 4479) / 4480;
  EXPECT_EQ(int64_t(att.size()), std::min<int64_t>(blocks * 4480, int64_t(staff.size()) - t.C));
  EXPECT_EQ(att, slice(staff, t.C, t.C + int64_t(att.size())));
  const SectionTable s = db.sections();
  EXPECT_EQ(std::vector<int64_t>({s.A, s.B, s.C, s.D, db.recordCount(GameFile::Staff), db.recordCount(GameFile::StaffAtt)}),
            std::vector<int64_t>({157 * t.N8, t.A + 8 * t.N9, t.B + 68 * t.N10, t.C + 70 * t.N11,
                                  int64_t(staff.size()) / 157, int64_t(att.size()) / 70}));
  ASSERT_EQ(db.PersonNameTable.size(), size_t(kPersonNameTableSize));
  EXPECT_TRUE(db.PersonNameTable[size_t(db.PeopleCount())].empty());
  EXPECT_EQ(db.personName(-1) + db.personName(kPersonNameTableSize), "");
  db.close();
  EXPECT_TRUE(sameFiles(gameFiles(game_.data()), before));
  EXPECT_EQ(fileNames(game_.data()), names);
  EXPECT_EQ(slurp(game_.file("index_temp.dat")), slice(before.at("index.dat"), 8, 1482));
}

TEST_P(DatabasePresets, PeopleAddedWhileOpenLandInTheWrongPlaceOfStaffFile) {
  const Bytes staff0 = slurp(game_.file("staff.dat")), index0 = slurp(game_.file("index.dat"));
  const SectionTable t0 = sectionsOf(index0);
  const int added = int(std::min<int64_t>(2, kPersonNameTableSize - t0.N8));  // the full preset has room for one
  ASSERT_GE(added, 1);
  const char* const names[][2] = {{"Ann", "Smith"}, {"Bo", "Jones"}};
  std::vector<StaffRecord> people;
  std::vector<PlayerAttRecord> atts;
  {
    OpenDatabase db(game_.str());
    for (int k = 0; k < added; ++k) {
      for (const auto& step : addPersonSteps(names[k][0], names[k][1])) step(db);
      people.push_back(db.read<StaffRecord>(kSlotStaff, t0.N8 + k + 1));
      atts.push_back(db.read<PlayerAttRecord>(kSlotStaffAtt, t0.N11 + k + 1));
    }
    db.close();
  }
  const Bytes staff = slurp(game_.file("staff.dat")), index = slurp(game_.file("index.dat"));
  const SectionTable t = sectionsOf(index);
  EXPECT_EQ(std::vector<int64_t>({t.N8, t.N11, entryPosition(index, kEntrySection2), entryPosition(index, kEntrySection3),
                                  entryPosition(index, kEntrySection4)}),
            std::vector<int64_t>({t0.N8 + added, t0.N11 + added, entryPosition(index0, kEntrySection2) + added * 157,
                                  entryPosition(index0, kEntrySection3) + added * 157,
                                  entryPosition(index0, kEntrySection4) + added * 157}));
  EXPECT_EQ(slice(staff, 0, t0.A), slice(staff0, 0, t0.A));
  EXPECT_EQ(slice(staff, t.A, t.B), slice(staff0, t0.A, t0.B));
  EXPECT_EQ(slice(staff, t.B, t.C), slice(staff0, t0.B, t0.C));
  EXPECT_EQ(slice(staff, t.C, t.C + 70 * t0.N11), slice(staff0, t0.C, t0.D));
  OpenDatabase db(game_.str());
  for (int k = 0; k < added; ++k) {
    EXPECT_EQ(slice(staff, t0.A + 157 * k, t0.A + 157 * (k + 1)), bytesOf(people[size_t(k)]));
    EXPECT_EQ(db.PersonNameTable[size_t(t0.N8 + k)], std::string(names[k][1]) + " " + names[k][0]);
    EXPECT_EQ(db.read<PlayerAttRecord>(kSlotStaffAtt, t0.N11 + k + 1), atts[size_t(k)]);
  }
  EXPECT_EQ(bytesOf(db.read<StaffAttRecord>(kSlotStaffAtt2, t0.N10)), slice(staff0, t0.C - 68, t0.C));
}

TEST(Database, EmptySectionTwoMisplacesSectionThree) {
  GameDir game;
  Bytes staff = slurp(game.file("staff.dat"));
  const SectionTable t = sectionsOf(slurp(game.file("index.dat")));
  staff.erase(staff.begin() + t.A, staff.begin() + t.B);
  spit(game.file("staff.dat"), staff);
  editEntry(game.data(), kEntrySection2, [&](IndexRecord& r) { r.setCount(0); });
  const Files before = gameFiles(game.data());
  OpenDatabase db(game.str());
  EXPECT_TRUE(slurp(game.file("staff_unknown.dat")).empty());
  EXPECT_EQ(slurp(game.file("staff_att2.dat")), slice(staff, t.A, t.A + 68 * t.N10));
  db.close();
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), before));
}

TEST_F(OpenGame, ClosingWritesTheIndexHeaderOrOtherEntryBytes) {
  Bytes index = slurp(game_.file("index.dat"));
  std::fill_n(index.begin(), 8, 0xA5);  // a header closing must not write
  spit(game_.file("index.dat"), index);
  IndexRecord e = db_.readIndex(20);
  e.setCount(e.Count() + 5);
  db_.writeIndex(20, e);
  db_.close();
  storeI32(index.data() + entryOffset(20, IndexRecord::CountOffset), entryCount(index, 20) + 5);
  EXPECT_EQ(slurp(game_.file("index.dat")), index);
}

// A changed record through its slot: read back at once, its neighbour
// untouched. Returns the check that it is there again after reopening.
template <class R>
std::function<void(const Database&)> roundTrip(Database& db, int slot, int64_t n) {
  SCOPED_TRACE("slot " + std::to_string(slot));
  EXPECT_TRUE(db.has<R>(slot, n + 1));
  const R next = db.read<R>(slot, n + 1);
  R changed = db.read<R>(slot, n);
  for (size_t i = 0; i < R::kSize; ++i) changed.bytes[i] = uint8_t(changed.bytes[i] ^ (slot + i));
  db.write(slot, n, changed);
  EXPECT_EQ(db.read<R>(slot, n), changed);
  EXPECT_EQ(db.read<R>(slot, n + 1), next);
  return [=](const Database& again) { EXPECT_EQ(again.read<R>(slot, n), changed) << "slot " << slot; };
}

// Closing puts each record back in its place of the game file (the working
// files at their offsets of staff.dat, index_temp.dat in index.dat).
TEST_F(OpenGame, RecordOfSomeTypeNotWrittenBackByteForByte) {
  const std::vector<std::function<void(const Database&)>> reread = {
      roundTrip<StaffRecord>(db_, kSlotStaff, 5),          roundTrip<NameRecord>(db_, kSlotSecondNames, 7),
      roundTrip<NameRecord>(db_, kSlotFirstNames, 8),      roundTrip<NameRecord>(db_, kSlotCommonNames, 2),
      roundTrip<NationRecord>(db_, kSlotNation, 3),        roundTrip<ClubRecord>(db_, kSlotClub, 9),
      roundTrip<PlayerAttRecord>(db_, kSlotStaffAtt, 11),  roundTrip<HistoryRecord>(db_, kSlotHistory, 100),
      roundTrip<ContinentRecord>(db_, kSlotContinent, 2),  roundTrip<CompRecord>(db_, kSlotComp, 4),
      roundTrip<StadiumRecord>(db_, kSlotStadium, 6),      roundTrip<CityRecord>(db_, kSlotCity, 12),
      roundTrip<StaffAttRecord>(db_, kSlotStaffAtt2, 13),  roundTrip<ColourRecord>(db_, kSlotColour, 3),
      roundTrip<IndexRecord>(db_, kSlotIndexTemp, 21)};  // not an entry of the section table
  const Bytes eight = {1, 2, 3, 4, 5, 6, 7, 8};
  db_.file(kSlotUnknownBytes).write(16, eight.data(), 8);
  db_.close();
  EXPECT_EQ(fs::file_size(game_.file("staff.dat")), before_.at("staff.dat").size());
  ASSERT_TRUE(db_.open(game_.str())) << db_.OpenError;
  for (const auto& check : reread) check(db_);
  const uint8_t* unknown = db_.peek(kSlotUnknownBytes, 3, 8);
  ASSERT_NE(unknown, nullptr);
  EXPECT_EQ(Bytes(unknown, unknown + 8), eight);
}

TEST_F(OpenGame, WriteThroughOneSlotNotSeenThroughTheOtherSlotOfItsFile) {
  struct Pair {
    int recordSlot, byteSlot;
    size_t size;
  };
  for (Pair p : {Pair{kSlotStaff, kSlotStaffBytes, 157}, Pair{kSlotStaffAtt, kSlotStaffAttBytes, 70},
                 Pair{kSlotStaffAtt2, kSlotStaffAtt2Bytes, 68}, Pair{kSlotIndexTemp, kSlotIndexTempBytes, 67}}) {
    SCOPED_TRACE("slot " + std::to_string(p.recordSlot));
    const Bytes other(p.size, 0xA5);
    db_.file(p.byteSlot).write(3 * p.size, other.data(), other.size());  // index entries 4, left alone by closing
    const uint8_t* q = db_.peek(p.recordSlot, 4, p.size);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(Bytes(q, q + p.size), other);
    EXPECT_EQ(slice(slurp(db_.file(p.recordSlot).path()), 3 * p.size, 4 * p.size), other);
  }
}

TEST_F(OpenGame, RecordNumberOutsideTheFileReadOrWrittenWild) {
  const int64_t clubs = db_.recordCount(GameFile::Club);
  for (int64_t n : {int64_t(0), int64_t(-1), int64_t(1) << 40, INT64_MAX, INT64_MIN}) {
    EXPECT_EQ(db_.read<StaffRecord>(kSlotStaff, n), StaffRecord{}) << n;
    EXPECT_TRUE(!db_.has<StaffRecord>(kSlotStaff, n) && db_.peek(kSlotClub, n, 581) == nullptr) << n;
  }
  const Bytes club = slurp(game_.file("club.dat"));
  const ClubRecord c = db_.read<ClubRecord>(kSlotClub, 1);
  for (int64_t n : {int64_t(0), int64_t(-3), int64_t(1) << 40, INT64_MAX}) EXPECT_THROW(db_.write(kSlotClub, n, c), ValueError);
  EXPECT_EQ(slurp(game_.file("club.dat")), club);
  db_.write(kSlotClub, clubs + 1, c);  // appending the next record is allowed
  EXPECT_EQ(slurp(game_.file("club.dat")).size(), club.size() + 581);
  db_.close();
  EXPECT_THROW(db_.file(kSlotCity), std::logic_error);
}

TEST(Database, GamePathMatchedWithRegardToCaseOrSeparators) {
  GameDir game;
  const fs::path upper = game.data().parent_path() / "DATA";
  fs::rename(game.data(), upper);
  fs::rename(upper / "staff.dat", upper / "STAFF.DAT");
  fs::rename(upper / "index.dat", upper / "Index.Dat");
  const Files before = gameFiles(upper);
  std::string backslashed = game.str();
  std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
  for (const std::string& dir : {game.str(), game.str() + "/", backslashed + "\\"}) {
    SCOPED_TRACE(dir);
    OpenDatabase db(dir);
    EXPECT_EQ(db.file(kSlotStaff).path(), (upper / "STAFF.DAT").string());
    db.close();
    EXPECT_FALSE(fs::exists(game.data())) << "no second Data folder";
    EXPECT_TRUE(sameFiles(gameFiles(upper), before));
  }
  EXPECT_EQ(resolveGamePath(game.str() + "//", "\\data\\\\INDEX.dat"), (upper / "Index.Dat").string());
  EXPECT_EQ(resolveGamePath(game.str(), "\\data\\nothing.dat"), (upper / "nothing.dat").string());
}

// A plain file as game folder (the CLI tests try an empty and a missing one).
TEST(Database, FileAsGameFolderNotReportedAsAWrongPathOrSomethingCreated) {
  ScratchDir scratch;
  spit(scratch.path() / "afile", Bytes{1, 2, 3});
  Database db;
  EXPECT_FALSE(db.open((scratch.path() / "afile").string()));
  EXPECT_EQ(db.OpenError, kWrongPathMessage);
  EXPECT_EQ(fileNames(scratch.path()), std::vector<std::string>{"afile"});
}

TEST(Database, MissingGameFileNotCreatedEmpty) {
  GameDir game;
  for (const char* f : {"club.dat", "colour.dat", "staff.dat"}) fs::remove(game.file(f));
  OpenDatabase db(game.str());
  EXPECT_EQ(std::make_pair(fs::file_size(game.file("club.dat")), db.recordCount(GameFile::Club)), std::make_pair(uintmax_t(0), int64_t(0)));
  EXPECT_TRUE(db.clubNames.empty() && db.colours.empty() && !db.has<StaffRecord>(kSlotStaff, 1) && !db.nationNames.empty());
}

// ---- Damaged databases --------------------------------------------------------

struct BadIndex {
  const char* what;
  std::function<void(const GameDir&)> damage;
  const char* messagePart;
};

std::function<void(const GameDir&)> setCount(int entry, int32_t count) {
  return [=](const GameDir& g) { editEntry(g.data(), entry, [&](IndexRecord& r) { r.setCount(count); }); };
}
class DamagedIndex : public ::testing::TestWithParam<BadIndex> {};
INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedIndex,
    ::testing::Values(BadIndex{"NegativePeople", setCount(kEntryPeople, -1), "negative"},
                      BadIndex{"NegativeSection3", setCount(kEntrySection3, INT32_MIN), "negative"},
                      BadIndex{"TooManyPeople", setCount(kEntryPeople, kPersonNameTableSize + 1), "45001"},
                      BadIndex{"HugeSection2", setCount(kEntrySection2, INT32_MAX), "2 GB"},
                      BadIndex{"HugeSection4", setCount(kEntrySection4, 40000000), "2 GB"},
                      BadIndex{"CutShort",
                               [](const GameDir& g) { spit(g.file("index.dat"), slice(slurp(g.file("index.dat")), 0, 700)); },
                               "index.dat is damaged"}),
    [](const auto& info) { return std::string(info.param.what); });

// Without staff.dat too: opening once made an empty staff.dat before it
// looked at index.dat.
TEST_P(DamagedIndex, RefusedWithoutAClearMessageOrTouchesAFileOrKeepsTheLock) {
  for (bool withoutStaff : {false, true}) {
    GameDir game;
    GetParam().damage(game);
    if (withoutStaff) fs::remove(game.file("staff.dat"));
    const Files before = snapshot(game.data());
    Database db;
    EXPECT_FALSE(db.open(game.str()));
    EXPECT_NE(db.OpenError.find(GetParam().messagePart), std::string::npos) << db.OpenError;
    EXPECT_TRUE(sameFiles(snapshot(game.data()), before)) << "no file written, none made";
    Database other;
    EXPECT_TRUE(other.beginOpen(game.str())) << "the lock is given back";
  }
}

TEST(Database, EmptyIndexOrMostPeopleRefused) {
  GameDir game;
  editEntry(game.data(), kEntryPeople, [&](IndexRecord& r) { r.setCount(kPersonNameTableSize); });
  OpenDatabase db(game.str());
  EXPECT_EQ(db.PeopleCount(), kPersonNameTableSize);
  db.close();
  spit(game.file("index.dat"), Bytes{});
  ASSERT_TRUE(db.open(game.str())) << db.OpenError;
  EXPECT_EQ(std::make_pair(int64_t(db.PeopleCount()), fs::file_size(game.file("staff_att.dat"))), std::make_pair(int64_t(0), uintmax_t(0)));
}

TEST(Database, TruncatedStaffFileReadPastItsEndOrChangedAtClosing) {
  GameDir game;
  const Bytes staff = slurp(game.file("staff.dat"));
  const SectionTable t = sectionsOf(slurp(game.file("index.dat")));
  for (int64_t cut : {int64_t(157 * 10 + 50), t.C + 70 * 20 + 33}) {  // inside person 11, inside section 4
    SCOPED_TRACE(cut);
    spit(game.file("staff.dat"), slice(staff, 0, cut));
    const Files before = gameFiles(game.data());
    OpenDatabase db(game.str());
    const int64_t whole = std::min<int64_t>(cut / 157, t.N8);
    EXPECT_FALSE(db.PersonNameTable[size_t(whole - 1)].empty());
    if (whole < t.N8) {
      EXPECT_TRUE(db.PersonNameTable[size_t(whole)].empty());
      EXPECT_EQ(db.read<StaffRecord>(kSlotStaff, whole + 1), StaffRecord{});
    }
    EXPECT_EQ(int64_t(fs::file_size(game.file("staff_att.dat"))), std::max<int64_t>(0, cut - t.C));
    db.close();
    EXPECT_TRUE(sameFiles(gameFiles(game.data()), before));
  }
  const Bytes clubs = slurp(game.file("club.dat"));
  spit(game.file("club.dat"), slice(clubs, 0, 581 * 4 + 300));
  OpenDatabase db(game.str());
  EXPECT_EQ(std::vector<int64_t>({db.recordCount(GameFile::Club), int64_t(db.clubNames.size())}), std::vector<int64_t>({4, 4}));
  db.close();
  EXPECT_EQ(fs::file_size(game.file("club.dat")), 581u * 4 + 300) << "the partial record is kept";
}

TEST(Database, NameWithoutZeroByteOrWildNameIdMisread) {
  GameDir game;
  const int32_t f = readRecord<StaffRecord>(game.file("staff.dat"), 1).FirstNameId();
  editRecord<NameRecord>(game.file("first_names.dat"), f + 1, [](NameRecord& r) { std::fill_n(r.bytes.begin(), 51, 'F'); });
  editRecord<ClubRecord>(game.file("club.dat"), 1, [](ClubRecord& r) { std::fill_n(r.bytes.begin() + 4, 51, 'C'); });
  editRecord<StaffRecord>(game.file("staff.dat"), 2, {{"FirstNameId", -1}, {"SecondNameId", 1000000000}});
  editRecord<StaffRecord>(game.file("staff.dat"), 3, {{"FirstNameId", INT32_MIN}, {"SecondNameId", INT32_MAX}});
  OpenDatabase db(game.str());
  EXPECT_EQ(db.PersonNameTable[0].substr(db.PersonNameTable[0].size() - 52), " " + std::string(51, 'F'));
  EXPECT_EQ(db.PersonNameTable[1] + db.PersonNameTable[2], "  ");
  EXPECT_EQ(db.clubNames[0], std::string(51, 'C'));
}

TEST_P(DatabasePresets, DatabaseHeldTwiceOrAbove64MiB) {
  OpenDatabase db(game_.str());
  size_t files = 0;
  for (const auto& e : fs::directory_iterator(game_.data())) files += size_t(e.file_size());
  EXPECT_GE(db.memoryUsage(), files - fs::file_size(game_.file("index.dat")));
  EXPECT_LT(db.memoryUsage(), size_t(64) << 20);
}

TEST(Settings, DirectoryNotStoredInQuotesWithCrLfAsItsFileNameBytes) {
  ScratchDir program;
  const fs::path file = program.path() / "tolvedit.tlv";
  const std::string dir = program.str();
  EXPECT_EQ(readSettings(dir), std::nullopt);
  writeSettings(dir, "C:\\Games\\cm3");
  writeSettings(dir, "/spil/caf\xC3\xA9");  // shorter: replaces the content entirely
  // A path is a file name, not a game text: its bytes are stored unchanged.
  EXPECT_EQ(slurp(file), (Bytes{'"', '/', 's', 'p', 'i', 'l', '/', 'c', 'a', 'f', 0xC3, 0xA9, '"', 13, 10}));
  EXPECT_EQ(readSettings(dir), "/spil/caf\xC3\xA9");
  for (const Bytes& b : {Bytes{}, Bytes{'"', '"', 13}, Bytes{'"', '"', 13, 10}}) {
    spit(file, b);
    EXPECT_EQ(readSettings(dir), "") << b.size();
  }
  spit(file, Bytes{'x', '/', 'g', 'y', '!', '!'});  // the length minus the line end, without first and last
  EXPECT_EQ(readSettings(dir), "/g");
}

}  // namespace
