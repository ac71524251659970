#include "sample/generator.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "records/records.h"
#include "records/text.h"

namespace cm3::sample {

Preset smallPreset() { return {600, 450, 300, 500, 40, 60, 20, 7, 30, 50, 80, 30, 2000, 389}; }
Preset fullPreset() { return {45000, 35000, 12000, 40000, 3000, 6000, 250, 7, 400, 4000, 8000, 120, 200000, 36277}; }

bool presetByName(const std::string& name, Preset& preset) {
  if (name == "small") {
    preset = smallPreset();
    return true;
  }
  if (name == "full") {
    preset = fullPreset();
    return true;
  }
  return false;
}

namespace {

// splitmix64: tiny, fast and gives the same sequence on every platform.
class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed) {}
  uint64_t next() {
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in lo..hi (inclusive); the modulo bias is irrelevant here.
  int32_t range(int64_t lo, int64_t hi) { return int32_t(lo + int64_t(next() % uint64_t(hi - lo + 1))); }
  bool chance(int percent) { return int(next() % 100) < percent; }
  // Bytes 1..255, so that kept bytes are never mistaken for untouched zeros.
  void noise(uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i) p[i] = uint8_t(1 + next() % 255);
  }

 private:
  uint64_t s_;
};

// Syllables in Windows-1252: a few carry accented letters.
constexpr std::array<std::string_view, 40> kSyllables = {
    "an", "ber", "car", "do", "el", "fer", "gar", "han", "is", "jo", "kar", "lo", "mar", "ni", "or",
    "pe", "ros", "san", "to", "ul", "vi", "wal", "zan", "bran", "ste", "gus", "ric", "ton", "mil", "sen",
    "m\xFC", "jos\xE9", "\xF8s", "\xF1iz", "g\xF6", "r\xE1", "l\xE4", "\xE7" "a", "b\xED", "n\xE6"};
constexpr std::array<std::string_view, 24> kFirstNames = {
    "Jos\xE9", "Peter", "Marco", "Jan", "Luis", "Andr\xE9", "J\xFCrgen", "Anders", "Paolo", "John",
    "Fran\xE7ois", "S\xF8ren", "Michael", "Carlos", "Stefan", "David", "Ra\xFAl", "Ivan", "Thomas", "Ji\xF8\xED",
    "Lars", "Bj\xF6rn", "Miguel", "Nicol\xE1s"};
constexpr std::array<std::string_view, 24> kSecondNames = {
    "M\xFC" "ller", "Ca\xF1" "izares", "\xD8stergaard", "Smith", "Rossi", "Garc\xED" "a", "Jensen", "Dubois", "Silva",
    "Schr\xF6" "der", "Kowalski", "van Dijk", "O'Neill", "Jones", "Fern\xE1" "ndez", "Nov\xE1k", "Brown", "Ferreira",
    "Hansen", "Petrovi\xE6", "Johansson", "L\xF3pez", "Wilson", "Bianchi"};
constexpr std::array<std::string_view, 12> kClubWords = {"United", "City", "Athletic", "Rovers", "Wanderers", "FC",
                                                         "Town", "Albion", "Sporting", "Real", "Dynamo", "Olympic"};
constexpr std::array<std::string_view, 7> kContinents = {"Europe", "South America", "North America", "Africa",
                                                         "Asia", "Oceania", "Central America"};
constexpr std::array<std::string_view, 8> kCompWords = {"Premier Division", "First Division", "Second Division",
                                                        "Third Division", "Cup", "League Cup", "Super Cup",
                                                        "Conference"};
constexpr std::array<std::string_view, 12> kColours = {"White", "Black", "Red", "Blue", "Yellow", "Green",
                                                       "Orange", "Claret", "Navy", "Sky Blue", "Maroon", "Grey"};

uint8_t upper(uint8_t c) {
  if (c >= 'a' && c <= 'z') return uint8_t(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return uint8_t(c - 32);
  return c;
}

// A made-up word from the digits of k: different k give different digit
// strings, so the words are (nearly always) distinct.
std::string word(uint64_t k, int minSyllables) {
  std::string s;
  uint64_t v = k;
  int n = 0;
  do {
    s += kSyllables[v % kSyllables.size()];
    v /= kSyllables.size();
    ++n;
  } while (v > 0 || n < minSyllables);
  s[0] = char(upper(uint8_t(s[0])));
  return s;
}

std::string baseOr(const auto& base, int k, int syllables, uint64_t salt) {
  if (size_t(k) < base.size()) return std::string(base[size_t(k)]);
  return word(uint64_t(k) * 7919 + salt, syllables);
}

template <class R>
void append(std::vector<uint8_t>& out, const R& r) {
  out.insert(out.end(), r.bytes.begin(), r.bytes.end());
}

void writeFile(const std::filesystem::path& p, const std::vector<uint8_t>& bytes) {
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  if (!f) throw std::runtime_error("cannot create " + p.string());
  f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  f.close();
  if (!f) throw std::runtime_error("cannot write " + p.string());
}

std::vector<uint8_t> nameFile(Rng& rng, int count, auto nameOf) {
  std::vector<uint8_t> out;
  out.reserve(size_t(count) * NameRecord::kSize);
  for (int i = 0; i < count; ++i) {
    NameRecord r;
    std::string n = nameOf(i);
    if (!encodeName(n, r.NameField())) encodeName(n.substr(0, 51), r.NameField());
    r.setId(i);
    rng.noise(r.data() + 55, 5);
    append(out, r);
  }
  return out;
}

void check(const Preset& p) {
  auto bad = [](const char* what) { throw std::runtime_error(std::string("bad preset: ") + what); };
  if (p.people < 1 || p.people > 45001) bad("people must be 1..45001");
  if (p.players < 0 || p.players > p.people) bad("players must be 0..people");
  if (p.firstNames < 1 || p.secondNames < 1 || p.commonNames < 1) bad("every name file needs a record");
  if (p.clubs < 1 || p.nations < 1 || p.continents < 1 || p.comps < 1 || p.stadiums < 1 || p.cities < 1 ||
      p.colours < 1)
    bad("every reference file needs a record");
  if (p.history < 0 || p.tailBytes < 0) bad("negative count");
}

}  // namespace

void generate(const std::string& gameDir, const Preset& p, uint64_t seed) {
  check(p);
  namespace fs = std::filesystem;
  fs::path data = fs::path(gameDir) / "Data";
  std::error_code ec;
  fs::create_directories(data, ec);
  if (ec) throw std::runtime_error("cannot create " + data.string() + ": " + ec.message());

  Rng rng(seed ^ 0x636D3373616D706Cull);
  const int nonPlayers = p.people - p.players;

  // ---- Names --------------------------------------------------------------
  std::vector<std::string> cityNames;
  cityNames.reserve(size_t(p.cities));
  for (int i = 0; i < p.cities; ++i) cityNames.push_back(word(uint64_t(i) * 131 + 977, 2));
  std::vector<std::string> nationNames;
  for (int i = 0; i < p.nations; ++i) {
    static constexpr std::array<std::string_view, 5> ends = {"ia", "land", "stan", "ova", "ador"};
    nationNames.push_back(word(uint64_t(i) * 17 + 5, 1) + std::string(ends[size_t(i) % ends.size()]));
  }

  // ---- People: who plays, who is staff, and where they are ---------------
  std::vector<uint8_t> isPlayer(size_t(p.people), 0);
  std::fill(isPlayer.begin(), isPlayer.begin() + p.players, 1);
  for (int i = p.people - 1; i > 0; --i) std::swap(isPlayer[size_t(i)], isPlayer[size_t(rng.range(0, i))]);

  // A few clubs keep a hole between their occupied slots, so they have one
  // slot less of room.
  auto hasHole = [](int club) { return club % 7 == 3; };
  std::vector<std::vector<int32_t>> squadPlayers(size_t(p.clubs)), squadStaff(size_t(p.clubs));
  std::vector<int32_t> clubOf(size_t(p.people), -1);
  for (int i = 0; i < p.people; ++i) {
    if (rng.chance(8)) continue;  // a free agent
    bool player = isPlayer[size_t(i)];
    for (int attempt = 0; attempt < 4; ++attempt) {
      int c = rng.range(0, p.clubs - 1);
      auto& squad = player ? squadPlayers[size_t(c)] : squadStaff[size_t(c)];
      size_t room = size_t(player ? ClubRecord::kPlayerSlots : ClubRecord::kStaffSlots) - (hasHole(c) ? 1 : 0);
      if (squad.size() < room) {
        squad.push_back(i);
        clubOf[size_t(i)] = c;
        break;
      }
    }
  }

  // ---- staff.dat ----------------------------------------------------------
  const int n9 = std::max(1, p.people / 20);
  std::vector<uint8_t> staff;
  staff.reserve(size_t(p.people) * 157 + size_t(n9) * 8 + size_t(nonPlayers) * 68 + size_t(p.players) * 70 +
                size_t(p.tailBytes));
  int playerIdx = 0, staffIdx = 0;
  for (int i = 0; i < p.people; ++i) {
    StaffRecord r;
    rng.noise(r.data(), r.kSize);
    bool player = isPlayer[size_t(i)];
    r.setPersonId(i);
    r.setFirstNameId(rng.range(0, p.firstNames - 1));
    r.setSecondNameId(rng.range(0, p.secondNames - 1));
    r.setCommonNameId(p.commonNames > 1 && rng.chance(5) ? rng.range(1, p.commonNames - 1) : 0);
    r.setBirthDay(int16_t(rng.range(1, 365)));
    r.setBirthYear(int16_t(player ? rng.range(1965, 1983) : rng.range(1955, 1975)));
    r.setNationId(rng.range(0, p.nations - 1));
    r.setSecondNationId(rng.chance(6) ? rng.range(0, p.nations - 1) : -1);
    int caps = rng.chance(70) ? 0 : rng.range(1, 120);
    r.setCaps(uint8_t(caps));
    r.setIntGoals(uint8_t(caps ? rng.range(0, caps / 3) : 0));
    r.setUnknown53(rng.range(0, 3));
    r.setClubId(clubOf[size_t(i)]);
    r.setClassCode(uint8_t(player ? (rng.chance(5) ? rng.range(12, 15) : 11) : rng.range(1, 10)));
    int join = rng.range(1988, 1998);
    r.setContractJoinYear(int16_t(join));
    r.setContractExpiryYear(int16_t(join + rng.range(1, 5)));
    r.setWage(rng.range(1, 400) * 50);
    r.setValue(player ? rng.range(0, 2000) * 5000 : 0);
    for (int k = 0; k < 8; ++k) r.setMentalRating(k, uint8_t(rng.range(1, 20)));
    r.setSquadCode(uint8_t(rng.range(1, 2)));
    r.setClassificationCode(player ? 2 : 1);
    r.setPlayerAttIndex(player ? playerIdx++ : -1);
    r.setStaffAttIndex(player ? -1 : staffIdx++);
    append(staff, r);
  }
  for (int i = 0; i < n9; ++i) {
    uint8_t b[8];
    rng.noise(b, 8);
    staff.insert(staff.end(), b, b + 8);
  }
  for (int i = 0; i < nonPlayers; ++i) {
    StaffAttRecord r;
    rng.noise(r.data(), r.kSize);
    int ca = rng.range(1, 180);
    r.setCurrentAbility(int16_t(ca));
    r.setPotentialAbility(int16_t(std::min(200, ca + rng.range(0, 30))));
    int rep = rng.range(1, 9000);
    r.setHomeReputation(int16_t(rep));
    r.setCurrentReputation(int16_t(rng.range(1, rep)));
    r.setWorldReputation(int16_t(rng.range(1, rep)));
    for (int k = 0; k < 21; ++k) r.setStaffAttribute(k, uint8_t(rng.range(1, 20)));
    r.setPreferredFormation(uint8_t(rng.range(0, 9)));
    append(staff, r);
  }
  for (int i = 0; i < p.players; ++i) {
    PlayerAttRecord r;
    rng.noise(r.data(), r.kSize);
    r.setAttId(i);
    r.setSquadNumber(uint8_t(rng.range(0, 40)));
    int ca = rng.range(1, 200);
    r.setCurrentAbility(int16_t(ca));
    int pa = rng.chance(4) ? -1 : rng.chance(4) ? -2 : std::min(200, ca + rng.range(0, 60));
    r.setPotentialAbility(int16_t(pa));
    int rep = rng.range(1, 9000);
    r.setHomeReputation(int16_t(rep));
    r.setCurrentReputation(int16_t(rng.range(1, rep)));
    r.setWorldReputation(int16_t(rng.range(1, rep)));
    for (int k = 0; k < 12; ++k) r.setPositionRating(k, uint8_t(rng.range(1, 20)));
    for (int k = 0; k < 42; ++k) r.setAttribute(k, uint8_t(rng.range(1, 20)));
    append(staff, r);
  }
  {
    size_t at = staff.size();
    staff.resize(at + size_t(p.tailBytes));
    rng.noise(staff.data() + at, size_t(p.tailBytes));
  }

  // ---- Name files -----------------------------------------------------------
  auto firstNames = nameFile(rng, p.firstNames, [](int i) { return baseOr(kFirstNames, i, 2, 11); });
  auto secondNames = nameFile(rng, p.secondNames, [](int i) { return baseOr(kSecondNames, i, 2, 23); });
  auto commonNames = nameFile(rng, p.commonNames, [](int i) { return i == 0 ? std::string() : word(uint64_t(i) + 3, 2); });

  // ---- Reference files ------------------------------------------------------
  std::vector<uint8_t> continents;
  for (int i = 0; i < p.continents; ++i) {
    ContinentRecord r;
    rng.noise(r.data(), r.kSize);
    r.setId(i);
    std::string name = size_t(i) < kContinents.size() ? std::string(kContinents[size_t(i)]) : word(uint64_t(i), 2);
    encodeLeftTrimmed(name, r.NameField(), 26);
    std::string sym;
    for (char c : name.substr(0, 3)) sym += char(upper(uint8_t(c)));
    encodeLeftTrimmed(sym, r.ShortSymbolField(), 4);
    encodeLeftTrimmed("Continental", r.TypeField(), 26);
    encodeLeftTrimmed("Football Confederation of " + name, r.FederationNameField(), 101);
    encodeLeftTrimmed("FC" + sym, r.FederationShortNameField(), 26);
    r.setStrength(double(rng.range(10, 100)) / 10.0);
    append(continents, r);
  }

  std::vector<uint8_t> nations;
  for (int i = 0; i < p.nations; ++i) {
    NationRecord r;
    rng.noise(r.data(), r.kSize);
    r.setId(i);
    const std::string& name = nationNames[size_t(i)];
    encodeLeftTrimmed(name, r.NameField(), 51);
    encodeLeftTrimmed(name.substr(0, 20), r.ShortNameField(), 26);
    std::string sym = {char('A' + i / 676 % 26), char('A' + i / 26 % 26), char('A' + i % 26)};
    encodeLeftTrimmed(sym, r.SymbolField(), 4);
    encodeLeftTrimmed(name.substr(0, 18) + "ese", r.NationalityField(), 26);
    r.setContinentId(rng.range(0, p.continents - 1));
    r.setRegion(uint8_t(rng.range(0, 24)));
    r.setActualRegion(uint8_t(rng.range(0, 14)));
    for (int k = 0; k < 3; ++k) r.setLanguage(k, uint8_t(rng.range(0, 32)));
    r.setCapitalCity(rng.range(0, p.cities - 1));
    r.setDevelopment(uint8_t(rng.range(0, 3)));
    r.setGroup(uint8_t(rng.range(0, 1)));
    r.setNationalStadium(rng.range(0, p.stadiums - 1));
    r.setGameImportance(uint8_t(rng.range(0, 20)));
    r.setLeagueStandard(uint8_t(rng.range(0, 20)));
    r.setReputation(int16_t(rng.range(1, 20)));
    r.setCurrentFifaCoefficient(double(rng.range(0, 1000)) / 10.0);
    for (int k = 0; k < 6; ++k) {
      r.setFifaCoefficient(k, double(rng.range(0, 1000)) / 10.0);
      r.setUefaCoefficient(k, double(rng.range(0, 500)) / 10.0);
    }
    append(nations, r);
  }

  std::vector<uint8_t> comps;
  for (int i = 0; i < p.comps; ++i) {
    CompRecord r;
    rng.noise(r.data(), r.kSize);
    r.setId(i);
    int nation = i % p.nations;
    std::string_view what = kCompWords[size_t(i / p.nations) % kCompWords.size()];
    std::string longName = nationNames[size_t(nation)] + " " + std::string(what);
    encodeLeftTrimmed(longName, r.LongNameField(), 51);
    encodeLeftTrimmed(std::string(what), r.ShortNameField(), 26);
    std::string three = {char('A' + i % 26), char('A' + i / 26 % 26), char('0' + i / 676 % 10)};
    encodeLeftTrimmed(three, r.ThreeLetterNameField(), 4);
    r.setScope(uint8_t(rng.range(0, 3)));
    r.setSelected(uint8_t(rng.range(0, 1)));
    r.setContinent(rng.range(0, p.continents - 1));
    r.setNation(nation);
    r.setForeground(rng.range(0, p.colours - 1));
    r.setBackground(rng.range(0, p.colours - 1));
    r.setReputation(int16_t(rng.range(1, 20)));
    append(comps, r);
  }

  std::vector<uint8_t> cities;
  for (int i = 0; i < p.cities; ++i) {
    CityRecord r;
    rng.noise(r.data(), r.kSize);
    r.setId(i);
    encodeTrimmed(cityNames[size_t(i)], r.NameField(), 26);
    append(cities, r);
  }

  std::vector<uint8_t> stadiums;
  for (int i = 0; i < p.stadiums; ++i) {
    StadiumRecord r;
    rng.noise(r.data(), r.kSize);
    r.setId(i);
    int city = rng.range(0, p.cities - 1);
    static constexpr std::array<std::string_view, 4> kinds = {"Stadium", "Park", "Arena", "Ground"};
    encodeTrimmed(cityNames[size_t(city)] + " " + std::string(kinds[size_t(i) % kinds.size()]), r.LongNameField(),
                  51);
    r.setCity(city);
    int capacity = rng.range(2, 110) * 1000;
    r.setCapacity(capacity);
    r.setSeating(rng.range(0, capacity));
    r.setExpansion(rng.chance(20) ? rng.range(1, 20) * 1000 : 0);
    r.setNearbyStadium(rng.chance(10) ? rng.range(0, p.stadiums - 1) : -1);
    r.setRoofFlag(uint8_t(rng.range(0, 1)));
    r.setHeatingFlag(uint8_t(rng.range(0, 1)));
    append(stadiums, r);
  }

  std::vector<uint8_t> colours;
  for (int i = 0; i < p.colours; ++i) {
    ColourRecord r;
    r.setId(i);
    std::string name = std::string(kColours[size_t(i) % kColours.size()]);
    if (size_t(i) >= kColours.size()) name += " " + std::to_string(i / int(kColours.size()));
    encodeTrimmed(name, r.NameField(), 51);
    r.setRed(uint8_t(rng.range(0, 255)));
    r.setGreen(uint8_t(rng.range(0, 255)));
    r.setBlue(uint8_t(rng.range(0, 255)));
    append(colours, r);
  }

  std::vector<uint8_t> clubs;
  clubs.reserve(size_t(p.clubs) * ClubRecord::kSize);
  for (int c = 0; c < p.clubs; ++c) {
    ClubRecord r;
    rng.noise(r.data(), r.kSize);
    r.setId(c);
    std::string city = cityNames[size_t(c) % cityNames.size()];
    std::string_view kind = kClubWords[size_t(c / p.cities + c) % kClubWords.size()];
    std::string longName = c < p.cities ? city + " " + std::string(kind) : city + " " + std::string(kind) + " " + std::to_string(c / p.cities + 1);
    encodeTrimmed(longName, r.LongNameField(), 51);
    encodeTrimmed(longName.substr(0, 25), r.ShortNameField(), 26);
    r.setNation(rng.range(0, p.nations - 1));
    r.setDivision(rng.range(0, p.comps - 1));
    r.setLastDivision(rng.range(0, p.comps - 1));
    r.setLastPosition(uint8_t(rng.range(1, 24)));
    r.setOtherDivision(rng.chance(80) ? -1 : rng.range(0, p.comps - 1));
    r.setStatus(uint8_t(rng.range(1, 3)));
    r.setCash(rng.range(-500, 5000) * 1000);
    r.setMainStadium(rng.chance(10) ? -1 : rng.range(0, p.stadiums - 1));
    r.setOwnsStadiumFlag(uint8_t(rng.range(0, 1)));
    r.setReserveStadium(rng.chance(90) ? -1 : rng.range(0, p.stadiums - 1));
    r.setHomeMatchDay(uint8_t(rng.chance(10) ? 255 : rng.range(0, 7)));
    int minAtt = rng.range(100, 20000);
    int avgAtt = minAtt + rng.range(0, 20000);
    r.setMinAttendance(minAtt);
    r.setAvgAttendance(avgAtt);
    r.setMaxAttendance(avgAtt + rng.range(0, 20000));
    r.setTrainingFacility(uint8_t(rng.range(1, 10)));
    r.setReputation(int16_t(rng.range(1, 20)));
    for (int k = 0; k < 6; ++k) r.setKitColour(k, rng.range(0, p.colours - 1));
    for (int k = 0; k < 3; ++k) {
      r.setFavourite(k, rng.chance(50) ? rng.range(0, p.people - 1) : -1);
      r.setDislike(k, rng.chance(60) ? rng.range(0, p.people - 1) : -1);
      int rival = p.clubs > 1 && rng.chance(50) ? rng.range(0, p.clubs - 1) : -1;
      r.setRival(k, rival == c ? -1 : rival);
    }
    r.setUnknown191(-1);
    std::memcpy(r.data() + ClubRecord::Unknown195Offset, "-1          ", 12);
    auto fill = [&](const std::vector<int32_t>& members, int slots, auto set) {
      int k = 0;
      for (size_t m = 0; m < members.size(); ++m) {
        if (hasHole(c) && m == 2) set(k++, -1);
        set(k++, members[m]);
      }
      while (k < slots) set(k++, -1);
    };
    fill(squadPlayers[size_t(c)], ClubRecord::kPlayerSlots, [&](int k, int32_t v) { r.setPlayerSlot(k, v); });
    fill(squadStaff[size_t(c)], ClubRecord::kStaffSlots, [&](int k, int32_t v) { r.setStaffSlot(k, v); });
    append(clubs, r);
  }

  std::vector<uint8_t> history;
  history.reserve(size_t(p.history) * HistoryRecord::kSize);
  for (int i = 0; i < p.history; ++i) {
    HistoryRecord r;
    r.setRecordId(i);
    r.setPersonId(rng.chance(2) ? -1 : rng.range(0, p.people - 1));
    r.setSeason(int16_t(rng.range(1985, 1998)));
    r.setClubId(rng.range(0, p.clubs - 1));
    r.setByte14(uint8_t(rng.range(1, 255)));
    int apps = rng.range(0, 50);
    r.setApps(uint8_t(apps));
    r.setGoals(uint8_t(rng.range(0, apps / 2)));
    append(history, r);
  }

  // ---- index.dat ------------------------------------------------------------
  const int64_t A = int64_t(p.people) * 157, B = A + int64_t(n9) * 8, C = B + int64_t(nonPlayers) * 68;
  struct Entry {
    const char* name;
    int32_t count;
    int64_t position;
  };
  const std::array<Entry, 22> entries = {{
      {"club.dat", p.clubs, 0},
      {"nation.dat", p.nations, 0},
      {"continent.dat", p.continents, 0},
      {"club_comp.dat", p.comps, 0},
      {"city.dat", p.cities, 0},
      {"colour.dat", p.colours, 0},
      {"stadium.dat", p.stadiums, 0},
      {"staff.dat section 1", p.people, 0},
      {"staff.dat section 2", n9, A},
      {"staff.dat section 3", nonPlayers, B},
      {"staff.dat section 4", p.players, C},
      {"staff_history.dat", p.history, 0},
      {"reserved 13", 0, 0},
      {"reserved 14", 0, 0},
      {"reserved 15", 0, 0},
      {"first_names.dat", p.firstNames, 0},
      {"second_names.dat", p.secondNames, 0},
      {"common_names.dat", p.commonNames, 0},
      {"reserved 19", 0, 0},
      {"reserved 20", 0, 0},
      {"reserved 21", 0, 0},
      {"reserved 22", 0, 0},
  }};
  std::vector<uint8_t> index(8);
  rng.noise(index.data(), 8);
  for (const Entry& e : entries) {
    IndexRecord r;
    rng.noise(r.data(), r.kSize);
    encodeLeftTrimmed(e.name, r.EntryNameField(), 51);
    r.setCount(e.count);
    r.setPosition(int32_t(e.position));
    append(index, r);
  }

  writeFile(data / "staff.dat", staff);
  writeFile(data / "first_names.dat", firstNames);
  writeFile(data / "second_names.dat", secondNames);
  writeFile(data / "common_names.dat", commonNames);
  writeFile(data / "nation.dat", nations);
  writeFile(data / "club.dat", clubs);
  writeFile(data / "staff_history.dat", history);
  writeFile(data / "continent.dat", continents);
  writeFile(data / "club_comp.dat", comps);
  writeFile(data / "index.dat", index);
  writeFile(data / "stadium.dat", stadiums);
  writeFile(data / "city.dat", cities);
  writeFile(data / "colour.dat", colours);
}

}  // namespace cm3::sample
