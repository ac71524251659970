#include "cli/recordjson.h"

#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "people/person.h"

namespace cm3::cli {
namespace {

struct Span {
  size_t offset, size;
};

template <class R>
struct Field {
  const char* name;
  std::vector<Span> spans;
  std::function<Json(const R&)> value;
};

// The named fields in file order, with the bytes no field covers put in
// between as "Kept<offset>" runs. A layout whose fields overlap or run past
// the record is a programming error.
template <class R>
Json layout(const R& r, const std::vector<Field<R>>& fields) {
  std::vector<int> owner(R::kSize, -1);
  for (size_t f = 0; f < fields.size(); ++f)
    for (const Span& s : fields[f].spans)
      for (size_t b = s.offset; b < s.offset + s.size; ++b) {
        if (b >= R::kSize || owner[b] != -1) throw std::logic_error(std::string("bad layout at ") + fields[f].name);
        owner[b] = int(f);
      }
  Json j = Json::object();
  for (size_t b = 0; b < R::kSize;) {
    if (owner[b] < 0) {
      size_t e = b;
      while (e < R::kSize && owner[e] < 0) ++e;
      j["Kept" + std::to_string(b)] = hex(r.data() + b, e - b);
      b = e;
      continue;
    }
    const Field<R>& f = fields[size_t(owner[b])];
    if (b == f.spans.front().offset) j[f.name] = f.value(r);
    ++b;
  }
  return j;
}

template <class T, class Get>
Json array(int n, Get get) {
  Json a = Json::array();
  for (int k = 0; k < n; ++k) a.push_back(T(get(k)));
  return a;
}

}  // namespace

#define F_NUM(R, Name, Size) \
  Field<R> { #Name, {{R::Name##Offset, Size}}, [](const R& r) { return Json(r.Name()); } }
#define F_I32(R, Name) F_NUM(R, Name, 4)
#define F_I16(R, Name) F_NUM(R, Name, 2)
#define F_U8(R, Name) F_NUM(R, Name, 1)
#define F_F64(R, Name) F_NUM(R, Name, 8)
#define F_TEXT(R, Name) \
  Field<R> { #Name, {{R::Name##Offset, R::Name##Width}}, [](const R& r) { return Json(utf8(r.Name())); } }
// An array field of N elements shown under its layout name (JsonName), read
// through the record's element accessor.
#define F_ARRAY(R, JsonName, Accessor, N, Width, T)                                   \
  Field<R> {                                                                          \
    JsonName, {{R::Accessor##Offset, size_t(N) * Width}}, [](const R& r) {            \
      return array<T>(N, [&](int k) { return r.Accessor(k); });                       \
    }                                                                                 \
  }

std::string hex(const uint8_t* p, size_t n) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  s.reserve(2 * n);
  for (size_t i = 0; i < n; ++i) {
    s.push_back(digits[p[i] >> 4]);
    s.push_back(digits[p[i] & 15]);
  }
  return s;
}

Json toJson(const StaffRecord& r) {
  using R = StaffRecord;
  static const std::vector<Field<R>> fields = {
      F_I32(R, PersonId),        F_I32(R, FirstNameId),     F_I32(R, SecondNameId),       F_I32(R, CommonNameId),
      F_I16(R, BirthDay),        F_I16(R, BirthYear),       F_I32(R, NationId),           F_I32(R, SecondNationId),
      F_U8(R, Caps),             F_U8(R, IntGoals),         F_I32(R, Unknown53),          F_I32(R, ClubId),
      F_U8(R, ClassCode),        F_I16(R, ContractJoinYear), F_I16(R, ContractExpiryYear), F_I32(R, Wage),
      F_I32(R, Value),           F_U8(R, Adaptability),     F_U8(R, Ambition),            F_U8(R, Determination),
      F_U8(R, Loyalty),          F_U8(R, Pressure),         F_U8(R, Professionalism),     F_U8(R, Sportsmanship),
      F_U8(R, Temperament),      F_U8(R, SquadCode),        F_U8(R, ClassificationCode),  F_I32(R, PlayerAttIndex),
      F_I32(R, StaffAttIndex)};
  return layout(r, fields);
}

Json toJson(const PlayerAttRecord& r) {
  using R = PlayerAttRecord;
  static const std::vector<Field<R>> fields = {
      F_I32(R, AttId),
      F_U8(R, SquadNumber),
      F_I16(R, CurrentAbility),
      F_I16(R, PotentialAbility),
      F_I16(R, HomeReputation),
      F_I16(R, CurrentReputation),
      F_I16(R, WorldReputation),
      F_ARRAY(R, "PositionRatings", PositionRating, 12, 1, int),
      F_ARRAY(R, "Attributes", Attribute, 42, 1, int)};
  return layout(r, fields);
}

Json toJson(const StaffAttRecord& r) {
  using R = StaffAttRecord;
  static const std::vector<Field<R>> fields = {
      F_I16(R, CurrentAbility),    F_I16(R, PotentialAbility), F_I16(R, HomeReputation),
      F_I16(R, CurrentReputation), F_I16(R, WorldReputation),  F_ARRAY(R, "StaffAttributes", StaffAttribute, 21, 1, int),
      F_U8(R, PreferredFormation)};
  return layout(r, fields);
}

Json toJson(const NameRecord& r) {
  using R = NameRecord;
  static const std::vector<Field<R>> fields = {F_TEXT(R, Name), F_I32(R, Id)};
  return layout(r, fields);
}

Json toJson(const IndexRecord& r) {
  using R = IndexRecord;
  static const std::vector<Field<R>> fields = {F_TEXT(R, EntryName), F_I32(R, Count), F_I32(R, Position)};
  return layout(r, fields);
}

Json toJson(const HistoryRecord& r) {
  using R = HistoryRecord;
  // The byte at offset 14 has no meaning for the editor: it is shown as kept.
  static const std::vector<Field<R>> fields = {F_I32(R, RecordId), F_I32(R, PersonId), F_I16(R, Season),
                                               F_I32(R, ClubId),   F_U8(R, Apps),      F_U8(R, Goals)};
  return layout(r, fields);
}

Json toJson(const ClubRecord& r) {
  using R = ClubRecord;
  static const std::vector<Field<R>> fields = {
      F_I32(R, Id),
      F_TEXT(R, LongName),
      F_TEXT(R, ShortName),
      F_I32(R, Nation),
      F_I32(R, Division),
      F_I32(R, LastDivision),
      F_U8(R, LastPosition),
      F_I32(R, OtherDivision),
      F_U8(R, Status),
      F_I32(R, Cash),
      F_I32(R, MainStadium),
      F_U8(R, OwnsStadiumFlag),
      F_I32(R, ReserveStadium),
      F_U8(R, HomeMatchDay),
      F_I32(R, AvgAttendance),
      F_I32(R, MinAttendance),
      F_I32(R, MaxAttendance),
      F_U8(R, TrainingFacility),
      F_I16(R, Reputation),
      F_ARRAY(R, "KitColours", KitColour, 6, 4, int32_t),
      F_ARRAY(R, "Favourites", Favourite, 3, 4, int32_t),
      F_ARRAY(R, "Dislikes", Dislike, 3, 4, int32_t),
      F_ARRAY(R, "Rivals", Rival, 3, 4, int32_t),
      // The 17 staff slots are one list made of two runs of the record.
      Field<R>{"StaffSlots",
               {{R::staffSlotOffset(0), 8}, {R::staffSlotOffset(2), size_t(R::kStaffSlots - 2) * 4}},
               [](const R& c) { return array<int32_t>(R::kStaffSlots, [&](int k) { return c.StaffSlot(k); }); }},
      F_ARRAY(R, "PlayerSlots", PlayerSlot, R::kPlayerSlots, 4, int32_t)};
  return layout(r, fields);
}

Json toJson(const StadiumRecord& r) {
  using R = StadiumRecord;
  static const std::vector<Field<R>> fields = {F_I32(R, Id),        F_TEXT(R, LongName),     F_I32(R, City),
                                               F_I32(R, Capacity),  F_I32(R, Seating),       F_I32(R, Expansion),
                                               F_I32(R, NearbyStadium), F_U8(R, RoofFlag),   F_U8(R, HeatingFlag)};
  return layout(r, fields);
}

Json toJson(const CityRecord& r) {
  using R = CityRecord;
  static const std::vector<Field<R>> fields = {F_I32(R, Id), F_TEXT(R, Name)};
  return layout(r, fields);
}

Json toJson(const ColourRecord& r) {
  using R = ColourRecord;
  static const std::vector<Field<R>> fields = {F_I32(R, Id), F_TEXT(R, Name), F_U8(R, Red), F_U8(R, Green),
                                               F_U8(R, Blue)};
  return layout(r, fields);
}

Json toJson(const NationRecord& r) {
  using R = NationRecord;
  static const std::vector<Field<R>> fields = {F_I32(R, Id),
                                               F_TEXT(R, Name),
                                               F_TEXT(R, ShortName),
                                               F_TEXT(R, Symbol),
                                               F_TEXT(R, Nationality),
                                               F_I32(R, ContinentId),
                                               F_U8(R, Region),
                                               F_U8(R, ActualRegion),
                                               F_ARRAY(R, "Languages", Language, 3, 1, int),
                                               F_I32(R, CapitalCity),
                                               F_U8(R, Development),
                                               F_U8(R, Group),
                                               F_I32(R, NationalStadium),
                                               F_U8(R, GameImportance),
                                               F_U8(R, LeagueStandard),
                                               F_I16(R, Reputation),
                                               F_F64(R, CurrentFifaCoefficient),
                                               F_ARRAY(R, "FifaCoefficients", FifaCoefficient, 6, 8, double),
                                               F_ARRAY(R, "UefaCoefficients", UefaCoefficient, 6, 8, double)};
  return layout(r, fields);
}

Json toJson(const ContinentRecord& r) {
  using R = ContinentRecord;
  static const std::vector<Field<R>> fields = {F_I32(R, Id),   F_TEXT(R, Name),           F_TEXT(R, ShortSymbol),
                                               F_TEXT(R, Type), F_TEXT(R, FederationName), F_TEXT(R, FederationShortName),
                                               F_F64(R, Strength)};
  return layout(r, fields);
}

Json toJson(const CompRecord& r) {
  using R = CompRecord;
  static const std::vector<Field<R>> fields = {F_I32(R, Id),         F_TEXT(R, LongName),  F_TEXT(R, ShortName),
                                               F_TEXT(R, ThreeLetterName), F_U8(R, Scope), F_U8(R, Selected),
                                               F_I32(R, Continent),  F_I32(R, Nation),     F_I32(R, Foreground),
                                               F_I32(R, Background), F_I16(R, Reputation)};
  return layout(r, fields);
}

Json personJson(Database& db, int64_t personId) {
  if (personId < 0 || personId >= db.PeopleCount() || !db.has<StaffRecord>(kSlotStaff, personId + 1))
    throw CliError("No such person: " + std::to_string(personId));
  const people::PersonForm f = people::loadPerson(db, int32_t(personId));
  const StaffRecord& s = db.current.staff;
  Json j = Json::object();
  j["PersonId"] = personId;
  j["DisplayName"] = utf8(db.personName(personId));
  j["FirstName"] = utf8(f.firstName);
  j["SecondName"] = utf8(f.secondName);
  j["CommonName"] = utf8(f.commonName);
  j["StaffRecord"] = toJson(s);
  if (f.isPlayer) {
    const bool there = db.has<PlayerAttRecord>(kSlotStaffAtt, people::recordOf(s.PlayerAttIndex()));
    j["PlayerAttRecord"] = there ? toJson(db.current.playerAtt) : Json();
  } else {
    const bool there = db.has<StaffAttRecord>(kSlotStaffAtt2, people::recordOf(s.StaffAttIndex()));
    j["StaffAttRecord"] = there ? toJson(db.current.staffAtt) : Json();
  }
  return j;
}

}  // namespace cm3::cli
