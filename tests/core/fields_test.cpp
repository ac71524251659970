// Every field of every record type, reached through its field table.

#include <cstring>
#include <variant>

#include "records/convert.h"
#include "common/testkit.h"

namespace {

using namespace cm3;
using namespace cm3test;

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

TEST(FieldTables, WritingAFieldThroughItsEntryChangesOnlyThatFieldAndItsOwnValueNothing) {
  GameDir game;
  OpenDatabase db(game.str());
  roundTripFile<StaffRecord>(db, kSlotStaff, "staff");
  roundTripFile<PlayerAttRecord>(db, kSlotStaffAtt, "staff_att");
  roundTripFile<StaffAttRecord>(db, kSlotStaffAtt2, "staff_att2");
  roundTripFile<NameRecord>(db, kSlotFirstNames, "first_names");
  roundTripFile<IndexRecord>(db, kSlotIndexTemp, "index_temp");
  roundTripFile<HistoryRecord>(db, kSlotHistory, "staff_history");
  roundTripFile<ClubRecord>(db, kSlotClub, "club");
  roundTripFile<StadiumRecord>(db, kSlotStadium, "stadium");
  roundTripFile<CityRecord>(db, kSlotCity, "city");
  roundTripFile<ColourRecord>(db, kSlotColour, "colour");
  roundTripFile<NationRecord>(db, kSlotNation, "nation");
  roundTripFile<ContinentRecord>(db, kSlotContinent, "continent");
  roundTripFile<CompRecord>(db, kSlotComp, "comp");
  db.abortOpen();

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
