// Record fields, each reached at its offset and through its field table;
// fixed-width texts and Windows-1252.
#include <cstring>

#include "common/testkit.h"
#include "records/codelists.h"
#include "records/convert.h"
#include "records/cp1252.h"
#include "records/text.h"

using namespace cm3;
using namespace cm3test;

TEST(RecordLayout, FieldsWrongEndianOrAtAWrongOffset) {
  StaffRecord s;
  s.setPersonId(0x01020304);
  s.setBirthYear(-2);
  s.setClubId(-1);
  s.setPlayerAttIndex(7);
  EXPECT_EQ(std::vector<int>({s.bytes[0], s.bytes[3], s.bytes[18], s.bytes[19], s.bytes[145]}),
            std::vector<int>({4, 1, 0xFE, 0xFF, 7}));
  EXPECT_EQ(loadI32(s.data() + 57), -1);
  PlayerAttRecord a;
  a.setAttribute(41, 255);
  EXPECT_EQ(a.bytes[68], 255);
  ClubRecord c;
  c.setPlayerSlot(49, -1);
  EXPECT_EQ(loadI32(c.data() + 411), -1);
  ContinentRecord k;
  k.setStrength(1.25);  // 0x3FF4000000000000: the sign and exponent byte last
  EXPECT_EQ(std::vector<int>({k.bytes[196], k.bytes[197]}), std::vector<int>({0xF4, 0x3F}));
  NationRecord n;
  n.setUefaCoefficient(5, 3.5);
  EXPECT_EQ(loadF64(n.data() + 264), 3.5);
}

namespace {

// Writes each field of `rec` with its own value, and the smallest and the
// largest whole number the field holds (read back as written, no byte
// outside the field touched). Returns the failures as text.
template <class R>
std::string roundTrip(const R& rec) {
  std::string faults;
  for (const FieldInfo& f : R::kFields)
    for (int k = 0; k < f.count; ++k) {
      R copy = rec;
      setField(copy.data(), f, getField(rec.data(), f, k), k);
      if (!(copy == rec)) faults += " " + std::string(f.name) + "[" + std::to_string(k) + "] own value;";
      if (!f.integer()) continue;
      for (int64_t v : {minValue(f), maxValue(f)}) {
        R changed = rec;
        setField(changed.data(), f, v, k);
        if (getField(changed.data(), f, k) != FieldValue(v)) faults += " " + std::string(f.name) + " reads back;";
        for (size_t b = 0; b < R::kSize; ++b)
          if ((b < f.at(k) || b >= f.at(k) + f.width) && changed.bytes[b] != rec.bytes[b])
            faults += " " + std::string(f.name) + " touches byte " + std::to_string(b) + ";";
      }
    }
  return faults;
}

template <class R>
void roundTripFile(const Database& db, int slot, const char* what) {
  for (int64_t n = 1; n <= 20 && db.has<R>(slot, n); ++n)
    EXPECT_EQ(roundTrip(db.read<R>(slot, n)), "") << what << " record " << n;
}

TEST_F(OpenGame, WritingAFieldThroughItsEntryChangesOnlyThatFieldAndItsOwnValueNothing) {
  roundTripFile<StaffRecord>(db_, kSlotStaff, "staff");
  roundTripFile<PlayerAttRecord>(db_, kSlotStaffAtt, "staff_att");
  roundTripFile<StaffAttRecord>(db_, kSlotStaffAtt2, "staff_att2");
  roundTripFile<NameRecord>(db_, kSlotFirstNames, "first_names");
  roundTripFile<IndexRecord>(db_, kSlotIndexTemp, "index_temp");
  roundTripFile<HistoryRecord>(db_, kSlotHistory, "staff_history");
  roundTripFile<ClubRecord>(db_, kSlotClub, "club");
  roundTripFile<StadiumRecord>(db_, kSlotStadium, "stadium");
  roundTripFile<CityRecord>(db_, kSlotCity, "city");
  roundTripFile<ColourRecord>(db_, kSlotColour, "colour");
  roundTripFile<NationRecord>(db_, kSlotNation, "nation");
  roundTripFile<ContinentRecord>(db_, kSlotContinent, "continent");
  roundTripFile<CompRecord>(db_, kSlotComp, "comp");
  CityRecord city;  // bytes after the end of a text, as game files hold them
  std::memcpy(city.NameField(), "Rome\0xyz", 8);
  EXPECT_EQ(roundTrip(city), "");
}

TEST(FieldTables, OutOfRangeOrOversizedValuesAreRefusedNamingTheField) {
  struct Case {
    const char* field;
    FieldValue value;
  };
  const Case cases[] = {{"Caps", int64_t(256)},      {"Caps", int64_t(-1)},          {"BirthYear", int64_t(32768)},
                        {"Wage", int64_t(1) << 31}, {"Name", std::string(27, 'x')}};
  for (const Case& c : cases) {
    const FieldTable t = findField(StaffRecord::kFields, c.field) ? FieldTable(StaffRecord::kFields)
                                                                  : FieldTable(CityRecord::kFields);
    const FieldInfo* f = findField(t, c.field);
    ASSERT_NE(f, nullptr) << c.field;
    std::array<uint8_t, 157> rec{};
    try {
      setField(rec.data(), *f, c.value);
      ADD_FAILURE() << c.field << " took a value it cannot hold";
    } catch (const RefusedValue& e) {
      EXPECT_EQ(e.box(), c.field);
    }
    EXPECT_EQ(rec, (std::array<uint8_t, 157>{})) << c.field << " written although refused";
  }
}

}  // namespace

TEST(TextFields, NameRuleTrimsWrongSideOrWritesARefusedName) {
  uint8_t f[51];
  ASSERT_TRUE(encodeName("  Ann  ", f));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(f), 51), "Ann  " + std::string(46, '\0'));
  const std::string exact(51, 'a');
  EXPECT_TRUE(encodeName("   " + exact + "   ", f));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(f), 51), exact);
  std::memset(f, 7, sizeof f);
  EXPECT_FALSE(encodeName(std::string(52, 'a'), f));
  EXPECT_EQ(f[0], 7) << "a refused name writes nothing";

  uint8_t g[26];
  encodeTrimmed("  Rovers  ", g, 26);
  EXPECT_EQ(fieldText(g, 26), "Rovers");
  encodeLeftTrimmed("  Rovers  ", g, 26);
  EXPECT_EQ(fieldText(g, 26), "Rovers  ");
  encodeLeftTrimmed(std::string(60, 'n'), g, 26);
  EXPECT_EQ(fieldText(g, 26), std::string(26, 'n'));
}

TEST(Cp1252, ByteLostOrMappedWrongInEitherDirection) {
  std::string all;
  for (int c = 1; c < 256; ++c) all.push_back(char(c));
  EXPECT_EQ(cp1252::fromUtf8(cp1252::toUtf8(all)), all);
  EXPECT_EQ(cp1252::toUtf8("\x80"), "\xE2\x82\xAC");
  EXPECT_EQ(cp1252::toUtf8("M\xFCller"), "M\xC3\xBCller");
  EXPECT_EQ(cp1252::fromUtf8("\xE4\xB8\xAD"), "?");
  EXPECT_TRUE(cp1252::representable(cp1252::toUtf8(all)));
  EXPECT_FALSE(cp1252::representable("\xE4\xB8\xAD"));
}

TEST(Cp1252, UpperCaseOfAccentedLetters) {
  EXPECT_EQ(cp1252::upper("m\xFCller \xE9"), "M\xDCLLER \xC9");
  EXPECT_EQ(cp1252::upper("\xF7\xDF"), "\xF7\xDF");
  EXPECT_EQ(cp1252::upper(std::string("\x9A\xFF")), "\x8A\x9F");
}

TEST(CodeLists, ItemAtTheWrongCode) {
  EXPECT_EQ(std::vector<std::string_view>({codes::kClass[15], codes::kLanguage[22], codes::kActualRegion[14],
                                            codes::kPlayerAttribute[1], codes::kStaffAttribute[20], codes::kHomeMatchDay[7]}),
            std::vector<std::string_view>({"General Player Manager", "Norwegian", "Uk And Ireland", "Agression",
                                            "Acceleration", "Sunday"}));
}
