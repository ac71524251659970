#include "clubs/club.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <type_traits>

#include "clubs/boxvalues.h"
#include "records/boxrules.h"

namespace cm3::clubs {
namespace {

using world::choiceValue;
using world::rowOf;

std::string num(int64_t v) { return std::to_string(v); }

static_assert(namesFields<ClubRecord>(kClubBoxes) && namesFields<StadiumRecord>(kMainStadiumBoxes) &&
                  namesFields<StadiumRecord>(kReserveStadiumBoxes),
              "a box names a field its record does not have");

// The frame's marker, by whether the frame is the reserve's.
const char* marker(bool reserve) { return reserve ? kNoReserve : kUnknownStadium; }

template <class R>
bool isText(const FormBox& b) {
  return findField(R::kFields, b.field)->type == FieldType::Text;
}
// The stadium's name box.
const char* nameBox(bool reserve) {
  return std::find_if(kStadiumBoxes[reserve].begin(), kStadiumBoxes[reserve].end(), isText<StadiumRecord>)->box;
}
std::string_view name(const StadiumForm& f, bool reserve) {
  const auto it = f.boxes.find(nameBox(reserve));
  return it == f.boxes.end() ? std::string_view() : std::string_view(it->second);
}
bool hasName(const StadiumForm& f, bool reserve) { return !trim(name(f, reserve)).empty(); }
// Whether the name box holds the frame's marker, in any case.
bool markerTyped(const StadiumForm& f, bool reserve) {
  return world::upperTrimmed(name(f, reserve)) == world::upperTrimmed(marker(reserve));
}

// Every byte of a field, as a box wrote it.
template <class R>
void copyField(const R& from, R& to, std::string_view field) {
  const FieldInfo& f = *findField(R::kFields, field);
  std::memcpy(to.data() + f.offset, from.data() + f.offset, f.size());
}

void showStadium(const Database& db, const StadiumRecord& r, int32_t index, StadiumForm& f, bool reserve) {
  f.id = num(index);
  f.city = rowOf(r.City(), db.cityNames.size());
  if (reserve)
    showBoxes<kReserveStadiumBoxes>(r, f.boxes);
  else
    showBoxes<kMainStadiumBoxes>(r, f.boxes);
  f.nearby = rowOf(r.NearbyStadium(), db.stadiumNames.size());
  f.roof = r.RoofFlag() == 255;
  f.heating = r.HeatingFlag() == 255;
}

// A frame without stadium: its marker, zeros, no city and no nearby stadium
// and "N/A"; the ticks stay.
void showNoStadium(StadiumForm& f, bool reserve) {
  f = StadiumForm{.id = kNoStadiumId, .boxes = {}, .city = -1, .nearby = -1, .roof = f.roof, .heating = f.heating};
  for (const FormBox& b : kStadiumBoxes[reserve]) f.boxes[b.box] = isText<StadiumRecord>(b) ? marker(reserve) : "0";
}

std::vector<std::string> personRows(const Database& db, const ClubRecord& c, bool liked) {
  std::vector<std::string> rows;
  for (int k = 0; k < 3; ++k) {
    int32_t person = liked ? c.Favourite(k) : c.Dislike(k);
    rows.push_back(person >= 0 ? db.personName(person) : std::string(kEmptyPerson));
  }
  return rows;
}

// ---- Conversions ------------------------------------------------------------

// The converted values of a stadium frame; applying them cannot fail.
struct StadiumValues {
  int city = -1, nearby = -1;
  StadiumRecord boxes;  // the boxes, converted
  bool roof = false, heating = false;
};

StadiumValues convertStadium(const StadiumForm& f, bool reserve) {
  StadiumValues v{.city = f.city, .nearby = f.nearby, .boxes = {}, .roof = f.roof, .heating = f.heating};
  if (reserve)
    takeBoxes<kReserveStadiumBoxes>(v.boxes, f.boxes);
  else
    takeBoxes<kMainStadiumBoxes>(v.boxes, f.boxes);
  return v;
}

// `keep`: the record is one the window showed, so a reference it could not
// show survives while its list stays without a choice.
void applyStadium(const Database& db, const StadiumValues& v, bool keep, StadiumRecord& r) {
  for (const FormBox& b : kMainStadiumBoxes) copyField(v.boxes, r, b.field);
  r.setCity(int32_t(keep ? choiceValue(v.city, r.City(), db.cityNames.size(), -1) : v.city));
  r.setNearbyStadium(
      int32_t(keep ? choiceValue(v.nearby, r.NearbyStadium(), db.stadiumNames.size(), -1) : v.nearby));
  r.setRoofFlag(v.roof ? 255 : 0);
  r.setHeatingFlag(v.heating ? 255 : 0);
}

// Everything but the boxes, which the update has taken already.
void applyClub(const Database& db, const ClubForm& f, bool keep, ClubRecord& r) {
  auto choice = [&](int row, int64_t stored, size_t rows, int64_t none) {
    return keep ? choiceValue(row, stored, rows, none) : (row >= 0 ? row : none);
  };
  // A status the list has no row for stays as it is.
  if (f.status >= 0) r.setStatus(uint8_t(f.status));
  r.setNation(int32_t(choice(f.nation, r.Nation(), db.nationNames.size(), -1)));
  r.setDivision(int32_t(choice(f.division, r.Division(), db.compNames.size(), -1)));
  r.setLastDivision(int32_t(choice(f.lastDivision, r.LastDivision(), db.compNames.size(), -1)));
  r.setOtherDivision(int32_t(choice(f.otherDivision, r.OtherDivision(), db.compNames.size(), -1)));
  r.setHomeMatchDay(uint8_t(choice(f.homeMatchDay, r.HomeMatchDay(), 8, 255)));
  for (int k = 0; k < 3; ++k) r.setRival(k, int32_t(choice(f.rivals[size_t(k)], r.Rival(k), db.clubNames.size(), -1)));
  for (int k = 0; k < 6; ++k)
    r.setKitColour(k, int32_t(choice(f.kits[size_t(k)], r.KitColour(k), db.colours.size(), -1)));
}

void setFreshClubFields(ClubRecord& r) {
  for (int k = 0; k < 3; ++k) {
    r.setFavourite(k, -1);
    r.setDislike(k, -1);
  }
  for (int k = 0; k < ClubRecord::kPlayerSlots; ++k) r.setPlayerSlot(k, -1);
  for (int k = 0; k < ClubRecord::kStaffSlots; ++k) r.setStaffSlot(k, -1);
  r.setUnknown191(-1);
  std::memcpy(r.data() + ClubRecord::Unknown195Offset, "-1          ", 12);
}

// ---- Writing ----------------------------------------------------------------

void addToCount(Database& db, int entry) {
  IndexRecord e = db.readIndex(entry);
  e.setCount(e.Count() + 1);
  db.writeIndex(entry, e);
}

void noteName(std::vector<std::string>& names, int32_t id, const std::string& name) {
  if (id < 0) return;
  if (size_t(id) < names.size())
    names[size_t(id)] = name;
  else if (size_t(id) == names.size())
    names.push_back(name);
}

// Writes a club or a stadium and notes its name, the name row in `result`
// and the file's count.
template <class R>
void writeRecord(Database& db, int32_t id, const R& r, UpdateResult& result) {
  constexpr bool club = std::is_same_v<R, ClubRecord>;
  db.write(club ? kSlotClub : kSlotStadium, recordOf(id), r);
  noteName(club ? db.clubNames : db.stadiumNames, id, r.LongName());
  result.renamed.emplace_back(club ? FieldRef::Club : FieldRef::Stadium, id);
  const GameFile f = club ? GameFile::Club : GameFile::Stadium;
  db.recordCount(f) = std::max<int64_t>(db.recordCount(f), int64_t(id) + 1);
}

// Appends a stadium at the count of index entry 7 and counts it.
int32_t createStadium(Database& db, const StadiumValues& v, UpdateResult& result) {
  const int32_t n = db.readIndex(kEntryStadiums).Count();
  StadiumRecord r = db.read<StadiumRecord>(kSlotStadium, recordOf(n));
  r.setId(n);
  applyStadium(db, v, false, r);
  writeRecord(db, n, r, result);
  addToCount(db, kEntryStadiums);
  return n;
}

// A count that can take one more record without overwriting one already in
// the file.
void checkAppendable(const Database& db, int slot, int64_t count, int64_t extra, const char* what, const char* file) {
  if (extra <= 0) return;
  if (count < 0 || count >= INT32_MAX - extra)
    throw RefusedValue(0, "", std::string("index.dat holds a damaged count of ") + what + "; nothing was written.");
  for (int64_t k = 0; k < extra; ++k) {
    const bool present = slot == kSlotClub ? db.has<ClubRecord>(slot, count + k + 1)
                                           : db.has<StadiumRecord>(slot, count + k + 1);
    if (present)
      throw RefusedValue(0, "",
                        std::string("index.dat counts ") + std::to_string(count) + " " + what + " but " + file +
                            " holds more records; nothing was written, so that no record is overwritten.");
  }
}

void checkStadiumExists(const Database& db, int32_t index, bool reserve) {
  if (!db.has<StadiumRecord>(kSlotStadium, recordOf(index)))
    throw RefusedValue(0, nameBox(reserve),
                      std::string("The club's ") + (reserve ? "reserve" : "main") + " stadium (index " +
                          std::to_string(index) + ") is not in stadium.dat; nothing was written. Type " +
                          marker(reserve) + " as its name to drop the reference.");
}

}  // namespace

ClubForm loadClub(const Database& db, int32_t clubId) {
  ClubForm f;
  const ClubRecord c = db.read<ClubRecord>(kSlotClub, recordOf(clubId));

  if (c.MainStadium() < 0) showNoStadium(f.main, false);
  if (c.ReserveStadium() >= 0) {
    const StadiumRecord r = db.read<StadiumRecord>(kSlotStadium, recordOf(c.ReserveStadium()));
    showStadium(db, r, c.ReserveStadium(), f.reserve, true);
  } else {
    showNoStadium(f.reserve, true);
  }

  f.nation = rowOf(c.Nation(), db.nationNames.size());
  f.division = rowOf(c.Division(), db.compNames.size());
  f.lastDivision = rowOf(c.LastDivision(), db.compNames.size());
  f.otherDivision = rowOf(c.OtherDivision(), db.compNames.size());
  f.homeMatchDay = rowOf(c.HomeMatchDay(), 8);
  f.status = rowOf(c.Status(), 4);
  showBoxes<kClubBoxes>(c, f.boxes);
  for (int k = 0; k < 6; ++k) f.kits[size_t(k)] = rowOf(c.KitColour(k), db.colours.size());
  for (int k = 0; k < 3; ++k) f.rivals[size_t(k)] = rowOf(c.Rival(k), db.clubNames.size());
  f.liked = personRows(db, c, true);
  f.disliked = personRows(db, c, false);
  f.id = num(c.Id());

  if (c.MainStadium() >= 0) {
    const StadiumRecord r = db.read<StadiumRecord>(kSlotStadium, recordOf(c.MainStadium()));
    showStadium(db, r, c.MainStadium(), f.main, false);
    f.ownsStadium = c.OwnsStadiumFlag() == 0;
  }
  return f;
}

ClubForm newClubForm(const Database& db, const ClubForm& shown) {
  ClubForm f;
  const int32_t clubs = db.readIndex(kEntryClubs).Count();
  const int32_t stadiums = db.readIndex(kEntryStadiums).Count();
  f.id = num(clubs);
  for (const FormBox& b : kClubBoxes) f.boxes[b.box] = isText<ClubRecord>(b) ? kNewClubName : "0";
  f.status = 0;
  f.kits = shown.kits;
  f.ownsStadium = shown.ownsStadium;
  f.main = shown.main;
  f.reserve = shown.reserve;
  showNoStadium(f.main, false);
  showNoStadium(f.reserve, true);
  f.main.id = num(stadiums);
  f.reserve.id = num(int64_t(stadiums) + 1);
  return f;
}

UpdateResult updateClub(Database& db, int32_t clickTeamId, bool newClub, const ClubForm& form) {
  db.checkFilesPresent();
  const int32_t c = db.readIndex(kEntryClubs).Count();
  const int32_t s = db.readIndex(kEntryStadiums).Count();
  ClubRecord work = db.read<ClubRecord>(kSlotClub, recordOf(clickTeamId));
  const bool mainGone = markerTyped(form.main, false);
  const bool reserveGone = markerTyped(form.reserve, true);

  // Every box is converted, and every record to be written is checked,
  // before the first write.
  takeBoxes<kClubBoxes>(work, form.boxes);
  const std::string clubName = work.LongName();
  UpdateResult result;

  if (newClub) {
    const bool withMain = !mainGone && hasName(form.main, false);
    const bool withReserve = !reserveGone && hasName(form.reserve, true);
    StadiumValues mainValues, reserveValues;
    if (withMain) mainValues = convertStadium(form.main, false);
    if (withReserve) reserveValues = convertStadium(form.reserve, true);
    checkAppendable(db, kSlotClub, c, 1, "clubs", "club.dat");
    checkAppendable(db, kSlotStadium, s, int64_t(withMain) + int64_t(withReserve), "stadiums", "stadium.dat");

    work.setId(c);
    applyClub(db, form, false, work);
    setFreshClubFields(work);
    work.setMainStadium(withMain ? s : -1);
    work.setReserveStadium(withReserve ? (withMain ? s + 1 : s) : -1);
    JournalAction action(db, "New club " + clubName);
    writeRecord(db, c, work, result);
    addToCount(db, kEntryClubs);
    if (withMain) createStadium(db, mainValues, result);
    if (withReserve) createStadium(db, reserveValues, result);
    result.clubId = c;
    result.created = true;
    result.mainStadium = work.MainStadium();
    result.reserveStadium = work.ReserveStadium();
    return result;
  }

  if (!db.has<ClubRecord>(kSlotClub, recordOf(clickTeamId)))
    throw RefusedValue(0, "", "Club " + std::to_string(clickTeamId) + " is not in club.dat; nothing was written.");
  applyClub(db, form, true, work);
  if (mainGone) work.setMainStadium(-1);
  if (reserveGone) work.setReserveStadium(-1);

  // What happens to each frame: update the stadium the club refers to, append
  // one for a name that replaced the marker, or nothing.
  enum class Act { None, Update, Create };
  auto plan = [&](int32_t ref, bool gone, bool reserve) {
    if (ref >= 0) return Act::Update;
    return !gone && hasName(form.*kStadiumFrames[reserve], reserve) ? Act::Create : Act::None;
  };
  const Act mainAct = plan(work.MainStadium(), mainGone, false);
  const Act reserveAct = plan(work.ReserveStadium(), reserveGone, true);
  StadiumValues mainValues, reserveValues;
  if (mainAct != Act::None) mainValues = convertStadium(form.main, false);
  if (reserveAct != Act::None) reserveValues = convertStadium(form.reserve, true);
  if (mainAct == Act::Update) checkStadiumExists(db, work.MainStadium(), false);
  if (reserveAct == Act::Update) checkStadiumExists(db, work.ReserveStadium(), true);
  checkAppendable(db, kSlotStadium, s, int64_t(mainAct == Act::Create) + int64_t(reserveAct == Act::Create),
                  "stadiums", "stadium.dat");

  JournalAction action(db, "Update club " + clubName);
  writeRecord(db, clickTeamId, work, result);
  auto frame = [&](Act act, const StadiumValues& v, bool reserve) {
    const int32_t ref = reserve ? work.ReserveStadium() : work.MainStadium();
    if (act == Act::Update) {
      StadiumRecord r = db.read<StadiumRecord>(kSlotStadium, recordOf(ref));
      applyStadium(db, v, true, r);
      writeRecord(db, ref, r, result);
    } else if (act == Act::Create) {
      const int32_t n = createStadium(db, v, result);
      work = db.read<ClubRecord>(kSlotClub, recordOf(clickTeamId));
      if (reserve)
        work.setReserveStadium(n);
      else
        work.setMainStadium(n);
      writeRecord(db, clickTeamId, work, result);
    }
  };
  frame(mainAct, mainValues, false);
  frame(reserveAct, reserveValues, true);
  result.clubId = clickTeamId;
  result.mainStadium = work.MainStadium();
  result.reserveStadium = work.ReserveStadium();
  return result;
}

void showStadiumState(ClubForm& form, const UpdateResult& result) {
  auto one = [](StadiumForm& f, int32_t ref, bool reserve) {
    if (ref < 0)
      showNoStadium(f, reserve);
    else
      f.id = num(ref);
  };
  one(form.main, result.mainStadium, false);
  one(form.reserve, result.reserveStadium, true);
  if (result.created) form.id = num(result.clubId);
}

}  // namespace cm3::clubs
