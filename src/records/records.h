// Byte layouts of every record the editor reads or writes.
//
// A record is its raw bytes; the accessors below read and write the fields
// at their offsets (little-endian, packed). Because a record is never decoded
// into anything else, every byte the editor does not interpret survives a
// read-modify-write unchanged. Texts are 8-bit Windows-1252 (see cp1252.h).
//
// Each layout is written once, as a list of rows X(Kind, Name, Offset, N,
// Ref) in file order. The list makes both the accessors and the record's
// field table `kFields` (fields.h); static_asserts hold that the record is
// its bytes alone and that the table covers each of them once. Kinds:
//   I32 I16 U8 F64           one number: Name(), setName(v), NameOffset
//   TEXT (N = width)         Name(), NameField(), NameOffset, NameWidth
//   I32_ARRAY U8_ARRAY F64_ARRAY (N = count)
//                            Name(k), setName(k, v), NameOffset, NameCount;
//                            the table names the list in the plural
//   KEPT (N = width)         bytes not interpreted; NameOffset only
//   KEPT_I32 KEPT_U8         not interpreted, but with number accessors
//   I32_RUN (N = count)      one run of a list held in several runs: no
//                            accessors, the record writes its own
// Ref names the record the field's identifiers address (FieldRef).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "records/bytes.h"
#include "records/fields.h"
#include "records/text.h"

namespace cm3 {

template <size_t N>
struct Record {
  static constexpr size_t kSize = N;
  std::array<uint8_t, N> bytes{};

  uint8_t* data() { return bytes.data(); }
  const uint8_t* data() const { return bytes.data(); }
  bool operator==(const Record& o) const { return bytes == o.bytes; }

 protected:
  int32_t i32(size_t off) const { return loadI32(bytes.data() + off); }
  int16_t i16(size_t off) const { return loadI16(bytes.data() + off); }
  uint8_t u8(size_t off) const { return bytes[off]; }
  double f64(size_t off) const { return loadF64(bytes.data() + off); }
  void seti32(size_t off, int32_t v) { storeI32(bytes.data() + off, v); }
  void seti16(size_t off, int16_t v) { storeI16(bytes.data() + off, v); }
  void setu8(size_t off, uint8_t v) { bytes[off] = v; }
  void setf64(size_t off, double v) { storeF64(bytes.data() + off, v); }
};

// Accessors of one row.
#define CM3_SCALAR(T, load, store, Name, Off)               \
  static constexpr size_t Name##Offset = Off;              \
  T Name() const { return load(Off); }                     \
  void set##Name(T v) { store(Off, v); }
#define CM3_LIST(T, load, store, W, Name, Off, N)                         \
  static constexpr size_t Name##Offset = Off;                             \
  static constexpr int Name##Count = N;                                   \
  T Name(int k) const { return load(Off + W * size_t(k)); }               \
  void set##Name(int k, T v) { store(Off + W * size_t(k), v); }
#define CM3_ACC_I32(Name, Off, N) CM3_SCALAR(int32_t, i32, seti32, Name, Off)
#define CM3_ACC_I16(Name, Off, N) CM3_SCALAR(int16_t, i16, seti16, Name, Off)
#define CM3_ACC_U8(Name, Off, N) CM3_SCALAR(uint8_t, u8, setu8, Name, Off)
#define CM3_ACC_F64(Name, Off, N) CM3_SCALAR(double, f64, setf64, Name, Off)
#define CM3_ACC_KEPT_I32 CM3_ACC_I32
#define CM3_ACC_KEPT_U8 CM3_ACC_U8
#define CM3_ACC_TEXT(Name, Off, N)                                      \
  static constexpr size_t Name##Offset = Off;                           \
  static constexpr size_t Name##Width = N;                              \
  std::string Name() const { return fieldText(bytes.data() + Off, N); } \
  uint8_t* Name##Field() { return bytes.data() + Off; }
#define CM3_ACC_I32_ARRAY(Name, Off, N) CM3_LIST(int32_t, i32, seti32, 4, Name, Off, N)
#define CM3_ACC_U8_ARRAY(Name, Off, N) CM3_LIST(uint8_t, u8, setu8, 1, Name, Off, N)
#define CM3_ACC_F64_ARRAY(Name, Off, N) CM3_LIST(double, f64, setf64, 8, Name, Off, N)
#define CM3_ACC_KEPT(Name, Off, N) static constexpr size_t Name##Offset = Off;
#define CM3_ACC_I32_RUN(Name, Off, N)
#define CM3_ACCESSORS(Kind, Name, Off, N, Ref) CM3_ACC_##Kind(Name, Off, N)

// Table entry of one row: name, offset, width, count, type, ref, array, kept.
#define CM3_INFO_I32(S, Off, N, R) {S, Off, 4, 1, FieldType::I32, R, false, false}
#define CM3_INFO_I16(S, Off, N, R) {S, Off, 2, 1, FieldType::I16, R, false, false}
#define CM3_INFO_U8(S, Off, N, R) {S, Off, 1, 1, FieldType::U8, R, false, false}
#define CM3_INFO_F64(S, Off, N, R) {S, Off, 8, 1, FieldType::F64, R, false, false}
#define CM3_INFO_TEXT(S, Off, N, R) {S, Off, N, 1, FieldType::Text, R, false, false}
#define CM3_INFO_I32_ARRAY(S, Off, N, R) {S "s", Off, 4, N, FieldType::I32, R, true, false}
#define CM3_INFO_U8_ARRAY(S, Off, N, R) {S "s", Off, 1, N, FieldType::U8, R, true, false}
#define CM3_INFO_F64_ARRAY(S, Off, N, R) {S "s", Off, 8, N, FieldType::F64, R, true, false}
#define CM3_INFO_I32_RUN CM3_INFO_I32_ARRAY
#define CM3_INFO_KEPT(S, Off, N, R) {S, Off, N, 1, FieldType::Bytes, R, false, true}
#define CM3_INFO_KEPT_I32(S, Off, N, R) {S, Off, 4, 1, FieldType::I32, R, false, true}
#define CM3_INFO_KEPT_U8(S, Off, N, R) {S, Off, 1, 1, FieldType::U8, R, false, true}
#define CM3_INFO(Kind, Name, Off, N, Ref) FieldInfo CM3_INFO_##Kind(#Name, Off, N, FieldRef::Ref),

// The accessors and the field table of a record from its row list.
#define CM3_FIELDS(LIST) \
  LIST(CM3_ACCESSORS)    \
  static constexpr std::array kFields{LIST(CM3_INFO)};
#define CM3_LAYOUT_CHECK(R)                                                                                   \
  static_assert(sizeof(R) == R::kSize, #R ": a record is its bytes and nothing else");                        \
  static_assert(coversExactly(R::kFields, R::kSize), #R ": fields out of order, overlapping or not covering the record")

// staff.dat section 1, one per person.
#define CM3_STAFF_FIELDS(X)                              \
  X(I32, PersonId, 0, 1, None)                           \
  X(I32, FirstNameId, 4, 1, FirstName)                   \
  X(I32, SecondNameId, 8, 1, SecondName)                 \
  X(I32, CommonNameId, 12, 1, CommonName)                \
  X(I16, BirthDay, 16, 1, None)                          \
  X(I16, BirthYear, 18, 1, None)                         \
  X(KEPT, Kept20, 20, 6, None)                           \
  X(I32, NationId, 26, 1, Nation)                        \
  X(I32, SecondNationId, 30, 1, Nation)                  \
  X(U8, Caps, 34, 1, None)                               \
  X(U8, IntGoals, 35, 1, None)                           \
  X(KEPT, Kept36, 36, 17, None)                          \
  /* not interpreted; shown in the squad view's unlabelled box */ \
  X(I32, Unknown53, 53, 1, None)                         \
  X(I32, ClubId, 57, 1, Club)                            \
  X(U8, ClassCode, 61, 1, None)                          \
  X(KEPT, Kept62, 62, 2, None)                           \
  X(I16, ContractJoinYear, 64, 1, None)                  \
  X(KEPT, Kept66, 66, 6, None)                           \
  X(I16, ContractExpiryYear, 72, 1, None)                \
  X(KEPT, Kept74, 74, 4, None)                           \
  X(I32, Wage, 78, 1, None)                              \
  X(I32, Value, 82, 1, None)                             \
  /* the mental ratings, also MentalRating(k) */         \
  X(U8, Adaptability, 86, 1, None)                       \
  X(U8, Ambition, 87, 1, None)                           \
  X(U8, Determination, 88, 1, None)                      \
  X(U8, Loyalty, 89, 1, None)                            \
  X(U8, Pressure, 90, 1, None)                           \
  X(U8, Professionalism, 91, 1, None)                    \
  X(U8, Sportsmanship, 92, 1, None)                      \
  X(U8, Temperament, 93, 1, None)                        \
  X(U8, SquadCode, 94, 1, None)                          \
  X(U8, ClassificationCode, 95, 1, None)                 \
  X(KEPT, Kept96, 96, 49, None)                          \
  X(I32, PlayerAttIndex, 145, 1, PlayerAtt)              \
  X(KEPT, Kept149, 149, 4, None)                         \
  X(I32, StaffAttIndex, 153, 1, StaffAtt)

struct StaffRecord : Record<157> {
  CM3_FIELDS(CM3_STAFF_FIELDS)
  // The eight mental ratings as one list, Adaptability first.
  CM3_ACC_U8_ARRAY(MentalRating, AdaptabilityOffset, 8)

  bool isPlayer() const { return PlayerAttIndex() != -1; }
};
CM3_LAYOUT_CHECK(StaffRecord);
static_assert(StaffRecord::TemperamentOffset == StaffRecord::MentalRatingOffset + StaffRecord::MentalRatingCount - 1);

// staff_att.dat (staff.dat section 4), one per player.
#define CM3_PLAYER_ATT_FIELDS(X)           \
  X(I32, AttId, 0, 1, None)                \
  X(U8, SquadNumber, 4, 1, None)           \
  X(I16, CurrentAbility, 5, 1, None)       \
  X(I16, PotentialAbility, 7, 1, None)     \
  X(I16, HomeReputation, 9, 1, None)       \
  X(I16, CurrentReputation, 11, 1, None)   \
  X(I16, WorldReputation, 13, 1, None)     \
  /* goalkeeper, sweeper, defender, anchor, midfielder, support, attacker, \
     wing back, right, left, centre, free role */ \
  X(U8_ARRAY, PositionRating, 15, 12, None) \
  X(U8_ARRAY, Attribute, 27, 42, None)     \
  X(KEPT, Kept69, 69, 1, None)

struct PlayerAttRecord : Record<70> {
  CM3_FIELDS(CM3_PLAYER_ATT_FIELDS)
};
CM3_LAYOUT_CHECK(PlayerAttRecord);

// staff_att2.dat (staff.dat section 3), one per non-player.
#define CM3_STAFF_ATT_FIELDS(X)              \
  X(KEPT, Kept0, 0, 4, None)                 \
  X(I16, CurrentAbility, 4, 1, None)         \
  X(I16, PotentialAbility, 6, 1, None)       \
  X(I16, HomeReputation, 8, 1, None)         \
  X(I16, CurrentReputation, 10, 1, None)     \
  X(I16, WorldReputation, 12, 1, None)       \
  X(U8_ARRAY, StaffAttribute, 14, 21, None)  \
  X(KEPT, Kept35, 35, 32, None)              \
  X(U8, PreferredFormation, 67, 1, None)

struct StaffAttRecord : Record<68> {
  CM3_FIELDS(CM3_STAFF_ATT_FIELDS)
};
CM3_LAYOUT_CHECK(StaffAttRecord);

// first_names.dat, second_names.dat, common_names.dat.
#define CM3_NAME_FIELDS(X)  \
  X(TEXT, Name, 0, 51, None) \
  X(I32, Id, 51, 1, None)   \
  X(KEPT, Kept55, 55, 5, None)

struct NameRecord : Record<60> {
  CM3_FIELDS(CM3_NAME_FIELDS)
};
CM3_LAYOUT_CHECK(NameRecord);

// index_temp.dat records; index.dat holds the same after an 8-byte header.
#define CM3_INDEX_FIELDS(X)         \
  X(TEXT, EntryName, 0, 51, None)   \
  X(KEPT, Kept51, 51, 4, None)      \
  X(I32, Count, 55, 1, None)        \
  X(I32, Position, 59, 1, None)     \
  X(KEPT, Kept63, 63, 4, None)

struct IndexRecord : Record<67> {
  CM3_FIELDS(CM3_INDEX_FIELDS)
};
CM3_LAYOUT_CHECK(IndexRecord);

// staff_history.dat, one row of a person's career.
#define CM3_HISTORY_FIELDS(X)        \
  X(I32, RecordId, 0, 1, None)       \
  X(I32, PersonId, 4, 1, Person)     \
  X(I16, Season, 8, 1, None)         \
  X(I32, ClubId, 10, 1, Club)        \
  X(KEPT_U8, Byte14, 14, 1, None)    \
  X(U8, Apps, 15, 1, None)           \
  X(U8, Goals, 16, 1, None)

struct HistoryRecord : Record<17> {
  CM3_FIELDS(CM3_HISTORY_FIELDS)
};
CM3_LAYOUT_CHECK(HistoryRecord);

#define CM3_CLUB_FIELDS(X)                      \
  X(I32, Id, 0, 1, None)                        \
  X(TEXT, LongName, 4, 51, None)                \
  X(KEPT, Kept55, 55, 1, None)                  \
  X(TEXT, ShortName, 56, 26, None)              \
  X(KEPT, Kept82, 82, 1, None)                  \
  X(I32, Nation, 83, 1, Nation)                 \
  X(I32, Division, 87, 1, Comp)                 \
  X(I32, LastDivision, 91, 1, Comp)             \
  X(U8, LastPosition, 95, 1, None)              \
  X(I32, OtherDivision, 96, 1, Comp)            \
  X(U8, Status, 100, 1, None)                   \
  X(I32, Cash, 101, 1, None)                    \
  X(I32, MainStadium, 105, 1, Stadium)          \
  X(U8, OwnsStadiumFlag, 109, 1, None)          \
  X(I32, ReserveStadium, 110, 1, Stadium)       \
  X(U8, HomeMatchDay, 114, 1, None)             \
  X(I32, AvgAttendance, 115, 1, None)           \
  X(I32, MinAttendance, 119, 1, None)           \
  X(I32, MaxAttendance, 123, 1, None)           \
  X(U8, TrainingFacility, 127, 1, None)         \
  X(I16, Reputation, 128, 1, None)              \
  X(KEPT, Kept130, 130, 1, None)                \
  /* home text, home background, away text, away background, third text, third background */ \
  X(I32_ARRAY, KitColour, 131, 6, Colour)       \
  X(I32_ARRAY, Favourite, 155, 3, Person)       \
  X(I32_ARRAY, Dislike, 167, 3, Person)         \
  X(I32_ARRAY, Rival, 179, 3, Club)             \
  X(KEPT_I32, Unknown191, 191, 1, None)         \
  X(KEPT, Unknown195, 195, 12, None)            \
  /* the 17 staff slots are one list in two runs: 0-1 here, 2-16 after the players */ \
  X(I32_RUN, StaffSlot, 207, 2, Person)         \
  X(I32_ARRAY, PlayerSlot, 215, 50, Person)     \
  X(I32_RUN, StaffSlot, 415, 15, Person)        \
  X(KEPT, Kept475, 475, 106, None)

struct ClubRecord : Record<581> {
  CM3_FIELDS(CM3_CLUB_FIELDS)

  static constexpr int kPlayerSlots = PlayerSlotCount;
  static constexpr int kStaffSlots = listCount(kFields, "StaffSlots");
  // Where each staff slot lies, counted through the runs once, when compiling.
  static constexpr std::array<uint16_t, kStaffSlots> kStaffSlotOffsets = [] {
    std::array<uint16_t, kStaffSlots> at{};
    for (int k = 0; k < kStaffSlots; ++k) at[size_t(k)] = uint16_t(listOffset(kFields, "StaffSlots", k));
    return at;
  }();
  static constexpr size_t staffSlotOffset(int k) { return kStaffSlotOffsets[size_t(k)]; }
  int32_t StaffSlot(int k) const { return i32(staffSlotOffset(k)); }
  void setStaffSlot(int k, int32_t v) { seti32(staffSlotOffset(k), v); }
};
CM3_LAYOUT_CHECK(ClubRecord);

#define CM3_STADIUM_FIELDS(X)              \
  X(I32, Id, 0, 1, None)                   \
  X(TEXT, LongName, 4, 51, None)           \
  X(KEPT, Kept55, 55, 1, None)             \
  X(I32, City, 56, 1, City)                \
  X(I32, Capacity, 60, 1, None)            \
  X(I32, Seating, 64, 1, None)             \
  X(I32, Expansion, 68, 1, None)           \
  X(I32, NearbyStadium, 72, 1, Stadium)    \
  X(U8, RoofFlag, 76, 1, None)             \
  X(U8, HeatingFlag, 77, 1, None)

struct StadiumRecord : Record<78> {
  CM3_FIELDS(CM3_STADIUM_FIELDS)
};
CM3_LAYOUT_CHECK(StadiumRecord);

#define CM3_CITY_FIELDS(X)       \
  X(I32, Id, 0, 1, None)         \
  X(TEXT, Name, 4, 26, None)     \
  X(KEPT, Kept30, 30, 26, None)

struct CityRecord : Record<56> {
  CM3_FIELDS(CM3_CITY_FIELDS)
};
CM3_LAYOUT_CHECK(CityRecord);

#define CM3_COLOUR_FIELDS(X)     \
  X(I32, Id, 0, 1, None)         \
  X(TEXT, Name, 4, 51, None)     \
  X(U8, Red, 55, 1, None)        \
  X(U8, Green, 56, 1, None)      \
  X(U8, Blue, 57, 1, None)

struct ColourRecord : Record<58> {
  CM3_FIELDS(CM3_COLOUR_FIELDS)
};
CM3_LAYOUT_CHECK(ColourRecord);

#define CM3_NATION_FIELDS(X)                          \
  X(I32, Id, 0, 1, None)                              \
  X(TEXT, Name, 4, 51, None)                          \
  X(KEPT, Kept55, 55, 1, None)                        \
  X(TEXT, ShortName, 56, 26, None)                    \
  X(KEPT, Kept82, 82, 1, None)                        \
  X(TEXT, Symbol, 83, 4, None)                        \
  X(TEXT, Nationality, 87, 26, None)                  \
  X(I32, ContinentId, 113, 1, Continent)              \
  X(U8, Region, 117, 1, None)                         \
  X(U8, ActualRegion, 118, 1, None)                   \
  X(U8_ARRAY, Language, 119, 3, None)                 \
  X(I32, CapitalCity, 122, 1, City)                   \
  X(U8, Development, 126, 1, None)                    \
  X(U8, Group, 127, 1, None)                          \
  X(I32, NationalStadium, 128, 1, Stadium)            \
  X(U8, GameImportance, 132, 1, None)                 \
  X(U8, LeagueStandard, 133, 1, None)                 \
  X(KEPT, Kept134, 134, 8, None)                      \
  X(I16, Reputation, 142, 1, None)                    \
  X(KEPT, Kept144, 144, 24, None)                     \
  X(F64, CurrentFifaCoefficient, 168, 1, None)        \
  X(F64_ARRAY, FifaCoefficient, 176, 6, None) /* FIFA91 .. FIFA96 */ \
  X(F64_ARRAY, UefaCoefficient, 224, 6, None) /* UEFA91 .. UEFA96 */ \
  X(KEPT, Kept272, 272, 18, None)

struct NationRecord : Record<290> {
  CM3_FIELDS(CM3_NATION_FIELDS)
};
CM3_LAYOUT_CHECK(NationRecord);

#define CM3_CONTINENT_FIELDS(X)                   \
  X(I32, Id, 0, 1, None)                          \
  X(TEXT, Name, 4, 26, None)                      \
  X(KEPT, Kept30, 30, 1, None)                    \
  X(TEXT, ShortSymbol, 31, 4, None)               \
  X(TEXT, Type, 35, 26, None)                     \
  X(TEXT, FederationName, 61, 101, None)          \
  X(KEPT, Kept162, 162, 1, None)                  \
  X(TEXT, FederationShortName, 163, 26, None)     \
  X(KEPT, Kept189, 189, 1, None)                  \
  X(F64, Strength, 190, 1, None)

struct ContinentRecord : Record<198> {
  CM3_FIELDS(CM3_CONTINENT_FIELDS)
};
CM3_LAYOUT_CHECK(ContinentRecord);

// club_comp.dat, one per competition.
#define CM3_COMP_FIELDS(X)                  \
  X(I32, Id, 0, 1, None)                    \
  X(TEXT, LongName, 4, 51, None)            \
  X(KEPT, Kept55, 55, 1, None)              \
  X(TEXT, ShortName, 56, 26, None)          \
  X(KEPT, Kept82, 82, 1, None)              \
  X(TEXT, ThreeLetterName, 83, 4, None)     \
  X(U8, Scope, 87, 1, None)                 \
  X(U8, Selected, 88, 1, None)              \
  X(I32, Continent, 89, 1, Continent)       \
  X(I32, Nation, 93, 1, Nation)             \
  X(I32, Foreground, 97, 1, Colour)         \
  X(I32, Background, 101, 1, Colour)        \
  X(I16, Reputation, 105, 1, None)

struct CompRecord : Record<107> {
  CM3_FIELDS(CM3_COMP_FIELDS)
};
CM3_LAYOUT_CHECK(CompRecord);

#undef CM3_SCALAR
#undef CM3_LIST
#undef CM3_ACC_I32
#undef CM3_ACC_I16
#undef CM3_ACC_U8
#undef CM3_ACC_F64
#undef CM3_ACC_KEPT_I32
#undef CM3_ACC_KEPT_U8
#undef CM3_ACC_TEXT
#undef CM3_ACC_I32_ARRAY
#undef CM3_ACC_U8_ARRAY
#undef CM3_ACC_F64_ARRAY
#undef CM3_ACC_KEPT
#undef CM3_ACC_I32_RUN
#undef CM3_ACCESSORS
#undef CM3_INFO_I32
#undef CM3_INFO_I16
#undef CM3_INFO_U8
#undef CM3_INFO_F64
#undef CM3_INFO_TEXT
#undef CM3_INFO_I32_ARRAY
#undef CM3_INFO_U8_ARRAY
#undef CM3_INFO_F64_ARRAY
#undef CM3_INFO_I32_RUN
#undef CM3_INFO_KEPT
#undef CM3_INFO_KEPT_I32
#undef CM3_INFO_KEPT_U8
#undef CM3_INFO
#undef CM3_FIELDS
#undef CM3_LAYOUT_CHECK
#undef CM3_STAFF_FIELDS
#undef CM3_PLAYER_ATT_FIELDS
#undef CM3_STAFF_ATT_FIELDS
#undef CM3_NAME_FIELDS
#undef CM3_INDEX_FIELDS
#undef CM3_HISTORY_FIELDS
#undef CM3_CLUB_FIELDS
#undef CM3_STADIUM_FIELDS
#undef CM3_CITY_FIELDS
#undef CM3_COLOUR_FIELDS
#undef CM3_NATION_FIELDS
#undef CM3_CONTINENT_FIELDS
#undef CM3_COMP_FIELDS

}  // namespace cm3
