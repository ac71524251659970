// Byte layouts of every record the editor reads or writes.
//
// A record is its raw bytes; the accessors below read and write the fields
// at their offsets (little-endian, packed). Because a record is never decoded
// into anything else, every byte the editor does not interpret survives a
// read-modify-write unchanged. Texts are 8-bit Windows-1252 (see cp1252.h).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "records/bytes.h"
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

#define CM3_I32(Name, Off)                              \
  static constexpr size_t Name##Offset = Off;           \
  int32_t Name() const { return i32(Off); }             \
  void set##Name(int32_t v) { seti32(Off, v); }
#define CM3_I16(Name, Off)                              \
  static constexpr size_t Name##Offset = Off;           \
  int16_t Name() const { return i16(Off); }             \
  void set##Name(int16_t v) { seti16(Off, v); }
#define CM3_U8(Name, Off)                               \
  static constexpr size_t Name##Offset = Off;           \
  uint8_t Name() const { return u8(Off); }              \
  void set##Name(uint8_t v) { setu8(Off, v); }
#define CM3_F64(Name, Off)                              \
  static constexpr size_t Name##Offset = Off;           \
  double Name() const { return f64(Off); }              \
  void set##Name(double v) { setf64(Off, v); }
#define CM3_TEXT(Name, Off, W)                                          \
  static constexpr size_t Name##Offset = Off;                           \
  static constexpr size_t Name##Width = W;                              \
  std::string Name() const { return fieldText(bytes.data() + Off, W); } \
  uint8_t* Name##Field() { return bytes.data() + Off; }
#define CM3_I32_ARRAY(Name, Off, N)                                      \
  static constexpr size_t Name##Offset = Off;                            \
  static constexpr int Name##Count = N;                                  \
  int32_t Name(int k) const { return i32(Off + 4 * size_t(k)); }         \
  void set##Name(int k, int32_t v) { seti32(Off + 4 * size_t(k), v); }
#define CM3_U8_ARRAY(Name, Off, N)                                       \
  static constexpr size_t Name##Offset = Off;                            \
  static constexpr int Name##Count = N;                                  \
  uint8_t Name(int k) const { return u8(Off + size_t(k)); }              \
  void set##Name(int k, uint8_t v) { setu8(Off + size_t(k), v); }
#define CM3_F64_ARRAY(Name, Off, N)                                      \
  static constexpr size_t Name##Offset = Off;                            \
  static constexpr int Name##Count = N;                                  \
  double Name(int k) const { return f64(Off + 8 * size_t(k)); }          \
  void set##Name(int k, double v) { setf64(Off + 8 * size_t(k), v); }

// staff.dat section 1, one per person.
struct StaffRecord : Record<157> {
  CM3_I32(PersonId, 0)
  CM3_I32(FirstNameId, 4)
  CM3_I32(SecondNameId, 8)
  CM3_I32(CommonNameId, 12)
  CM3_I16(BirthDay, 16)
  CM3_I16(BirthYear, 18)
  CM3_I32(NationId, 26)
  CM3_I32(SecondNationId, 30)
  CM3_U8(Caps, 34)
  CM3_U8(IntGoals, 35)
  CM3_I32(Unknown53, 53)  // not interpreted; shown in the squad view's unlabelled box
  CM3_I32(ClubId, 57)
  CM3_U8(ClassCode, 61)
  CM3_I16(ContractJoinYear, 64)
  CM3_I16(ContractExpiryYear, 72)
  CM3_I32(Wage, 78)
  CM3_I32(Value, 82)
  // Mental ratings, offsets 86..93.
  CM3_U8_ARRAY(MentalRating, 86, 8)
  CM3_U8(Adaptability, 86)
  CM3_U8(Ambition, 87)
  CM3_U8(Determination, 88)
  CM3_U8(Loyalty, 89)
  CM3_U8(Pressure, 90)
  CM3_U8(Professionalism, 91)
  CM3_U8(Sportsmanship, 92)
  CM3_U8(Temperament, 93)
  CM3_U8(SquadCode, 94)
  CM3_U8(ClassificationCode, 95)
  CM3_I32(PlayerAttIndex, 145)
  CM3_I32(StaffAttIndex, 153)

  bool isPlayer() const { return PlayerAttIndex() != -1; }
};

// staff_att.dat (staff.dat section 4), one per player.
struct PlayerAttRecord : Record<70> {
  CM3_I32(AttId, 0)
  CM3_U8(SquadNumber, 4)
  CM3_I16(CurrentAbility, 5)
  CM3_I16(PotentialAbility, 7)
  CM3_I16(HomeReputation, 9)
  CM3_I16(CurrentReputation, 11)
  CM3_I16(WorldReputation, 13)
  // goalkeeper, sweeper, defender, anchor, midfielder, support, attacker,
  // wing back, right, left, centre, free role
  CM3_U8_ARRAY(PositionRating, 15, 12)
  CM3_U8_ARRAY(Attribute, 27, 42)
};

// staff_att2.dat (staff.dat section 3), one per non-player.
struct StaffAttRecord : Record<68> {
  CM3_I16(CurrentAbility, 4)
  CM3_I16(PotentialAbility, 6)
  CM3_I16(HomeReputation, 8)
  CM3_I16(CurrentReputation, 10)
  CM3_I16(WorldReputation, 12)
  CM3_U8_ARRAY(StaffAttribute, 14, 21)
  CM3_U8(PreferredFormation, 67)
};

// first_names.dat, second_names.dat, common_names.dat.
struct NameRecord : Record<60> {
  CM3_TEXT(Name, 0, 51)
  CM3_I32(Id, 51)
};

// index_temp.dat records; index.dat holds the same after an 8-byte header.
struct IndexRecord : Record<67> {
  CM3_TEXT(EntryName, 0, 51)
  CM3_I32(Count, 55)
  CM3_I32(Position, 59)
};

// staff_history.dat, one row of a person's career.
struct HistoryRecord : Record<17> {
  CM3_I32(RecordId, 0)
  CM3_I32(PersonId, 4)
  CM3_I16(Season, 8)
  CM3_I32(ClubId, 10)
  CM3_U8(Byte14, 14)
  CM3_U8(Apps, 15)
  CM3_U8(Goals, 16)
};

struct ClubRecord : Record<581> {
  static constexpr int kPlayerSlots = 50;
  static constexpr int kStaffSlots = 17;

  CM3_I32(Id, 0)
  CM3_TEXT(LongName, 4, 51)
  CM3_TEXT(ShortName, 56, 26)
  CM3_I32(Nation, 83)
  CM3_I32(Division, 87)
  CM3_I32(LastDivision, 91)
  CM3_U8(LastPosition, 95)
  CM3_I32(OtherDivision, 96)
  CM3_U8(Status, 100)
  CM3_I32(Cash, 101)
  CM3_I32(MainStadium, 105)
  CM3_U8(OwnsStadiumFlag, 109)
  CM3_I32(ReserveStadium, 110)
  CM3_U8(HomeMatchDay, 114)
  CM3_I32(AvgAttendance, 115)
  CM3_I32(MinAttendance, 119)
  CM3_I32(MaxAttendance, 123)
  CM3_U8(TrainingFacility, 127)
  CM3_I16(Reputation, 128)
  // home text, home background, away text, away background, third text, third background
  CM3_I32_ARRAY(KitColour, 131, 6)
  CM3_I32_ARRAY(Favourite, 155, 3)
  CM3_I32_ARRAY(Dislike, 167, 3)
  CM3_I32_ARRAY(Rival, 179, 3)
  CM3_I32(Unknown191, 191)
  static constexpr size_t Unknown195Offset = 195;  // 12 bytes, not shown
  CM3_I32_ARRAY(PlayerSlot, 215, 50)

  // Staff slots 0-1 lie at offset 207, slots 2-16 at offset 415.
  static constexpr size_t staffSlotOffset(int k) { return k < 2 ? 207 + 4 * size_t(k) : 415 + 4 * size_t(k - 2); }
  int32_t StaffSlot(int k) const { return i32(staffSlotOffset(k)); }
  void setStaffSlot(int k, int32_t v) { seti32(staffSlotOffset(k), v); }
};

struct StadiumRecord : Record<78> {
  CM3_I32(Id, 0)
  CM3_TEXT(LongName, 4, 51)
  CM3_I32(City, 56)
  CM3_I32(Capacity, 60)
  CM3_I32(Seating, 64)
  CM3_I32(Expansion, 68)
  CM3_I32(NearbyStadium, 72)
  CM3_U8(RoofFlag, 76)
  CM3_U8(HeatingFlag, 77)
};

struct CityRecord : Record<56> {
  CM3_I32(Id, 0)
  CM3_TEXT(Name, 4, 26)
};

struct ColourRecord : Record<58> {
  CM3_I32(Id, 0)
  CM3_TEXT(Name, 4, 51)
  CM3_U8(Red, 55)
  CM3_U8(Green, 56)
  CM3_U8(Blue, 57)
};

struct NationRecord : Record<290> {
  CM3_I32(Id, 0)
  CM3_TEXT(Name, 4, 51)
  CM3_TEXT(ShortName, 56, 26)
  CM3_TEXT(Symbol, 83, 4)
  CM3_TEXT(Nationality, 87, 26)
  CM3_I32(ContinentId, 113)
  CM3_U8(Region, 117)
  CM3_U8(ActualRegion, 118)
  CM3_U8_ARRAY(Language, 119, 3)
  CM3_I32(CapitalCity, 122)
  CM3_U8(Development, 126)
  CM3_U8(Group, 127)
  CM3_I32(NationalStadium, 128)
  CM3_U8(GameImportance, 132)
  CM3_U8(LeagueStandard, 133)
  CM3_I16(Reputation, 142)
  CM3_F64(CurrentFifaCoefficient, 168)
  CM3_F64_ARRAY(FifaCoefficient, 176, 6)  // FIFA91 .. FIFA96
  CM3_F64_ARRAY(UefaCoefficient, 224, 6)  // UEFA91 .. UEFA96
};

struct ContinentRecord : Record<198> {
  CM3_I32(Id, 0)
  CM3_TEXT(Name, 4, 26)
  CM3_TEXT(ShortSymbol, 31, 4)
  CM3_TEXT(Type, 35, 26)
  CM3_TEXT(FederationName, 61, 101)
  CM3_TEXT(FederationShortName, 163, 26)
  CM3_F64(Strength, 190)
};

// club_comp.dat, one per competition.
struct CompRecord : Record<107> {
  CM3_I32(Id, 0)
  CM3_TEXT(LongName, 4, 51)
  CM3_TEXT(ShortName, 56, 26)
  CM3_TEXT(ThreeLetterName, 83, 4)
  CM3_U8(Scope, 87)
  CM3_U8(Selected, 88)
  CM3_I32(Continent, 89)
  CM3_I32(Nation, 93)
  CM3_I32(Foreground, 97)
  CM3_I32(Background, 101)
  CM3_I16(Reputation, 105)
};

static_assert(StaffRecord::MentalRatingOffset + StaffRecord::MentalRatingCount <= StaffRecord::kSize);
static_assert(PlayerAttRecord::AttributeOffset + PlayerAttRecord::AttributeCount <= PlayerAttRecord::kSize);
static_assert(StaffAttRecord::StaffAttributeOffset + StaffAttRecord::StaffAttributeCount <= StaffAttRecord::kSize);
static_assert(ClubRecord::PlayerSlotOffset + 4 * ClubRecord::kPlayerSlots == ClubRecord::staffSlotOffset(2));
static_assert(ClubRecord::staffSlotOffset(ClubRecord::kStaffSlots - 1) + 4 <= ClubRecord::kSize);
static_assert(NationRecord::UefaCoefficientOffset + 8 * NationRecord::UefaCoefficientCount <= NationRecord::kSize);

#undef CM3_I32
#undef CM3_I16
#undef CM3_U8
#undef CM3_F64
#undef CM3_TEXT
#undef CM3_I32_ARRAY
#undef CM3_U8_ARRAY
#undef CM3_F64_ARRAY

}  // namespace cm3
