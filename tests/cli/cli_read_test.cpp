// make-sample, info, search, show and export, and the command line itself.
#include <gtest/gtest.h>

#include "cli/clitest.h"
#include "cli/faults.h"
#include "core/database_helpers.h"
#include "database/database.h"
#include "records/cp1252.h"

namespace {

using namespace cm3;
using namespace cm3test;
using Json = nlohmann::ordered_json;

std::vector<uint8_t> unhex(const std::string& s) {
  std::vector<uint8_t> b;
  for (size_t i = 0; i + 1 < s.size(); i += 2) b.push_back(uint8_t(std::stoi(s.substr(i, 2), nullptr, 16)));
  return b;
}

std::vector<std::string> keys(const Json& j) {
  std::vector<std::string> k;
  for (const auto& [name, v] : j.items()) k.push_back(name);
  return k;
}

// Every "Kept<offset>" value of a shown record is the hex of the record's
// bytes at that offset, and the kept runs are what the named fields leave.
template <size_t N>
void expectKeptBytes(const Json& shown, const std::array<uint8_t, N>& bytes,
                     const std::vector<std::pair<size_t, size_t>>& expectedRuns) {
  std::vector<std::pair<size_t, size_t>> runs;
  for (const auto& [name, v] : shown.items()) {
    if (name.rfind("Kept", 0) != 0) continue;
    const size_t off = std::stoul(name.substr(4));
    const std::vector<uint8_t> b = unhex(v.template get<std::string>());
    ASSERT_LE(off + b.size(), N) << name;
    EXPECT_TRUE(std::equal(b.begin(), b.end(), bytes.begin() + std::ptrdiff_t(off))) << name;
    runs.emplace_back(off, b.size());
  }
  EXPECT_EQ(runs, expectedRuns);
}

// A tiny reader for the CSV the tool writes: quoted cells with doubled quotes.
std::vector<std::vector<std::string>> readCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1);
  std::string cell;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') cell.push_back('"'), ++i;
      else if (c == '"') quoted = false;
      else cell.push_back(c);
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().push_back(cell), cell.clear();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.back().push_back(cell), cell.clear();
      rows.emplace_back();
      ++i;
    } else {
      cell.push_back(c);
    }
  }
  if (rows.back().empty()) rows.pop_back();
  return rows;
}

TEST(MakeSampleCli, WritesTheGeneratorsDatabase) {
  ScratchDir scratch("sample");
  const fs::path a = scratch.path() / "a", b = scratch.path() / "b";
  const Result r = cm3db({"make-sample", a.string(), "--seed", "42"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.json()["people"], sample::smallPreset().people);
  sample::generate(b.string(), sample::smallPreset(), 42);
  EXPECT_EQ(snapshot(a / "Data"), snapshot(b / "Data"));
  ASSERT_EQ(cm3db({"make-sample", b.string(), "--seed", "43"}).code, 0);
  EXPECT_NE(slurp(a / "Data" / "staff.dat"), slurp(b / "Data" / "staff.dat"));

  const Result bad = cm3db({"make-sample", a.string(), "--preset", "huge"});
  EXPECT_EQ(bad.code, 2);
  EXPECT_FALSE(bad.err.empty());
}

TEST(InfoCli, CountsAndSectionTableOfTheFiles) {
  GameDir game;
  const sample::Preset p = sample::smallPreset();
  const auto before = gameFiles(game.data());
  const Result r = cm3db({"info", game.str()});
  ASSERT_EQ(r.code, 0) << r.err;
  const Json j = r.json();
  EXPECT_EQ(j["PeopleCount"], p.people);
  for (const Json& f : j["files"]) {
    const std::string name = f["file"];
    ASSERT_TRUE(f["RecordLength"].get<int>() > 0) << name;
    EXPECT_EQ(f["RecordCount"].get<int64_t>(), f["bytes"].get<int64_t>() / f["RecordLength"].get<int64_t>()) << name;
  }
  EXPECT_EQ(j["files"].size(), size_t(kGameFileCount));
  EXPECT_EQ(j["files"][4]["file"], "club.dat");
  EXPECT_EQ(j["files"][4]["RecordCount"], p.clubs);

  const Json& t = j["sections"];
  EXPECT_EQ(t["N8"], p.people);
  EXPECT_EQ(t["N10"], p.people - p.players);
  EXPECT_EQ(t["N11"], p.players);
  EXPECT_EQ(t["A"], 157 * p.people);
  EXPECT_EQ(t["D"].get<int64_t>(), t["C"].get<int64_t>() + 70 * p.players);
  EXPECT_EQ(t["tailBytes"], p.tailBytes);
  EXPECT_EQ(t["staffBytes"].get<int64_t>(), int64_t(fs::file_size(game.file("staff.dat"))));

  std::vector<int> entries;
  for (const Json& e : j["index"]) entries.push_back(e["entry"]);
  EXPECT_EQ(entries, (std::vector<int>{1, 7, 8, 9, 10, 11, 16, 17, 18}));
  EXPECT_EQ(j["index"][0]["Count"], p.clubs);
  EXPECT_EQ(j["index"][3]["Position"], t["A"]);
  EXPECT_EQ(j["index"][8]["Count"], p.commonNames);
  EXPECT_EQ(j["index"][2]["EntryName"], readEntry(game.data(), 8).EntryName());

  // The game's files as they were; the index working file stays, as after
  // every close of the editor.
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), before));
  EXPECT_FALSE(fs::exists(game.file("staff_att.dat")));
}

class SearchCli : public ::testing::Test {
 protected:
  void SetUp() override {
    Database db;
    ASSERT_TRUE(db.open(game.str()));
    names.assign(db.PersonNameTable.begin(), db.PersonNameTable.begin() + db.PeopleCount());
    db.close();
  }
  GameDir game;
  std::vector<std::string> names;  // 8-bit
};

TEST_F(SearchCli, RowsArePeopleWhoseNameHoldsTheTextInAnyCase) {
  const Result r = cm3db({"search", game.str(), "J\xC3\x9CRG"});  // "JÜRG" in UTF-8
  ASSERT_EQ(r.code, 0) << r.err;
  std::vector<int> expected;
  for (size_t i = 0; i < names.size(); ++i)
    if (cp1252::upper(names[i]).find("J\xDCRG") != std::string::npos) expected.push_back(int(i));
  ASSERT_FALSE(expected.empty());
  std::vector<int> got;
  for (const auto& row : r.lines()) {
    got.push_back(row["PersonId"]);
    EXPECT_EQ(row["name"], cp1252::toUtf8(names[size_t(row["PersonId"].get<int>())]));
  }
  EXPECT_EQ(got, expected);
  EXPECT_EQ(r.err, "");
}

TEST_F(SearchCli, WildcardsAndTheRowLimit) {
  // Person 0's surname with its second letter left open.
  std::string key = names[0].substr(0, names[0].find(' '));
  ASSERT_GE(key.size(), 3u);
  key[1] = '?';
  auto holds = [&](const std::string& name) {
    const std::string n = cp1252::upper(name), k = cp1252::upper(key);
    for (size_t at = 0; at + k.size() <= n.size(); ++at) {
      bool all = true;
      for (size_t i = 0; i < k.size() && all; ++i) all = k[i] == '?' || k[i] == n[at + i];
      if (all) return true;
    }
    return false;
  };
  std::vector<int> expected;
  for (size_t i = 0; i < names.size(); ++i)
    if (holds(names[i])) expected.push_back(int(i));
  const Result r = cm3db({"search", game.str(), cp1252::toUtf8(key)});
  ASSERT_EQ(r.code, 0) << r.err;
  std::vector<int> got;
  for (const auto& row : r.lines()) got.push_back(row["PersonId"]);
  EXPECT_EQ(got, expected);
  EXPECT_EQ(got.front(), 0);

  const Result all = cm3db({"search", game.str(), "*"});
  ASSERT_EQ(all.code, 0);
  const auto rows = all.lines();
  ASSERT_EQ(rows.size(), 500u);
  EXPECT_EQ(rows.front()["PersonId"], 0);
  EXPECT_EQ(rows.back()["PersonId"], 499);
  EXPECT_EQ(all.err, "500 Matches , please refine search\n");

  const Result none = cm3db({"search", game.str(), "qqqzzz"});
  EXPECT_EQ(none.code, 0);
  EXPECT_EQ(none.out, "");
}

TEST(ShowCli, PersonWithEveryFieldOfHisRecords) {
  GameDir game;
  const World w(game.data());
  const int32_t id = w.player(3);
  const StaffRecord s = w.person(id);
  const Result r = cm3db({"show", game.str(), "person", std::to_string(id)});
  ASSERT_EQ(r.code, 0) << r.err;
  const Json j = r.json();
  EXPECT_EQ(keys(j), (std::vector<std::string>{"PersonId", "DisplayName", "FirstName", "SecondName", "CommonName",
                                               "StaffRecord", "PlayerAttRecord"}));
  const NameRecord first = readRecord<NameRecord>(game.file("first_names.dat"), s.FirstNameId() + 1);
  EXPECT_EQ(j["FirstName"], cp1252::toUtf8(first.Name()));

  const Json& staff = j["StaffRecord"];
  EXPECT_EQ(keys(staff),
            (std::vector<std::string>{"PersonId",      "FirstNameId",     "SecondNameId",   "CommonNameId",
                                      "BirthDay",      "BirthYear",       "Kept20",         "NationId",
                                      "SecondNationId", "Caps",           "IntGoals",       "Kept36",
                                      "Unknown53",     "ClubId",          "ClassCode",      "Kept62",
                                      "ContractJoinYear", "Kept66",       "ContractExpiryYear", "Kept74",
                                      "Wage",          "Value",           "Adaptability",   "Ambition",
                                      "Determination", "Loyalty",         "Pressure",       "Professionalism",
                                      "Sportsmanship", "Temperament",     "SquadCode",      "ClassificationCode",
                                      "Kept96",        "PlayerAttIndex",  "Kept149",        "StaffAttIndex"}));
  EXPECT_EQ(staff["BirthYear"], s.BirthYear());
  EXPECT_EQ(staff["Wage"], s.Wage());
  EXPECT_EQ(staff["Temperament"], s.Temperament());
  expectKeptBytes(staff, s.bytes, {{20, 6}, {36, 17}, {62, 2}, {66, 6}, {74, 4}, {96, 49}, {149, 4}});

  const std::vector<uint8_t> staffFile = slurp(game.file("staff.dat"));
  const int64_t c = sectionsOf(slurp(game.file("index.dat"))).C;
  PlayerAttRecord att;
  std::copy_n(staffFile.begin() + c + 70 * s.PlayerAttIndex(), 70, att.bytes.begin());
  const Json& pa = j["PlayerAttRecord"];
  EXPECT_EQ(pa["AttId"], s.PlayerAttIndex());
  EXPECT_EQ(pa["PotentialAbility"], att.PotentialAbility());
  ASSERT_EQ(pa["Attributes"].size(), 42u);
  ASSERT_EQ(pa["PositionRatings"].size(), 12u);
  for (int k = 0; k < 42; ++k) EXPECT_EQ(pa["Attributes"][size_t(k)], att.Attribute(k)) << k;
  for (int k = 0; k < 12; ++k) EXPECT_EQ(pa["PositionRatings"][size_t(k)], att.PositionRating(k)) << k;
  expectKeptBytes(pa, att.bytes, {{69, 1}});
}

TEST(ShowCli, NonPlayerShowsHisStaffAttributes) {
  GameDir game;
  const World w(game.data());
  const int32_t id = w.find([](const StaffRecord& s) { return !s.isPlayer(); });
  const StaffRecord s = w.person(id);
  const Result r = cm3db({"show", game.str(), "person", std::to_string(id)});
  ASSERT_EQ(r.code, 0) << r.err;
  const Json j = r.json();
  ASSERT_TRUE(j.contains("StaffAttRecord"));
  EXPECT_FALSE(j.contains("PlayerAttRecord"));
  const std::vector<uint8_t> staffFile = slurp(game.file("staff.dat"));
  const int64_t b = sectionsOf(slurp(game.file("index.dat"))).B;
  StaffAttRecord sa;
  std::copy_n(staffFile.begin() + b + 68 * s.StaffAttIndex(), 68, sa.bytes.begin());
  const Json& shown = j["StaffAttRecord"];
  EXPECT_EQ(shown["CurrentAbility"], sa.CurrentAbility());
  EXPECT_EQ(shown["PreferredFormation"], sa.PreferredFormation());
  ASSERT_EQ(shown["StaffAttributes"].size(), 21u);
  for (int k = 0; k < 21; ++k) EXPECT_EQ(shown["StaffAttributes"][size_t(k)], sa.StaffAttribute(k));
  expectKeptBytes(shown, sa.bytes, {{0, 4}, {35, 32}});
}

TEST(ShowCli, WorldRecordsWithTheirKeptBytes) {
  GameDir game;
  const World w(game.data());
  const ClubRecord club = w.club(5);
  Result r = cm3db({"show", game.str(), "club", "5"});
  ASSERT_EQ(r.code, 0) << r.err;
  Json j = r.json();
  EXPECT_EQ(j["LongName"], cp1252::toUtf8(club.LongName()));
  for (int k = 0; k < 50; ++k) EXPECT_EQ(j["PlayerSlots"][size_t(k)], club.PlayerSlot(k));
  ASSERT_EQ(j["StaffSlots"].size(), 17u);
  for (int k = 0; k < 17; ++k) EXPECT_EQ(j["StaffSlots"][size_t(k)], club.StaffSlot(k));
  EXPECT_EQ(j["KitColours"].size(), 6u);
  expectKeptBytes(j, club.bytes, {{55, 1}, {82, 1}, {130, 1}, {191, 16}, {475, 106}});

  const NationRecord nation = readRecord<NationRecord>(game.file("nation.dat"), 3);
  r = cm3db({"show", game.str(), "nation", "2"});
  ASSERT_EQ(r.code, 0);
  j = r.json();
  EXPECT_EQ(j["Name"], cp1252::toUtf8(nation.Name()));
  EXPECT_DOUBLE_EQ(j["UefaCoefficients"][5].get<double>(), nation.UefaCoefficient(5));
  expectKeptBytes(j, nation.bytes, {{55, 1}, {82, 1}, {134, 8}, {144, 24}, {272, 18}});

  const ContinentRecord cont = readRecord<ContinentRecord>(game.file("continent.dat"), 2);
  r = cm3db({"show", game.str(), "continent", "1"});
  j = r.json();
  EXPECT_DOUBLE_EQ(j["Strength"].get<double>(), cont.Strength());
  EXPECT_EQ(j["FederationName"], cp1252::toUtf8(cont.FederationName()));
  expectKeptBytes(j, cont.bytes, {{30, 1}, {162, 1}, {189, 1}});

  const HistoryRecord h = readRecord<HistoryRecord>(game.file("staff_history.dat"), 8);
  r = cm3db({"show", game.str(), "history", "7"});
  j = r.json();
  EXPECT_EQ(j["PersonId"], h.PersonId());
  EXPECT_EQ(j["Season"], h.Season());
  expectKeptBytes(j, h.bytes, {{14, 1}});

  struct Kind {
    const char* kind;
    const char* file;
    std::vector<std::string> names;
  };
  for (const Kind& k : std::vector<Kind>{
           {"stadium", "stadium.dat", {"Id", "LongName", "Kept55", "City", "Capacity", "Seating", "Expansion",
                                       "NearbyStadium", "RoofFlag", "HeatingFlag"}},
           {"comp", "club_comp.dat", {"Id", "LongName", "Kept55", "ShortName", "Kept82", "ThreeLetterName", "Scope",
                                      "Selected", "Continent", "Nation", "Foreground", "Background", "Reputation"}},
           {"city", "city.dat", {"Id", "Name", "Kept30"}},
           {"colour", "colour.dat", {"Id", "Name", "Red", "Green", "Blue"}}}) {
    r = cm3db({"show", game.str(), k.kind, "4"});
    ASSERT_EQ(r.code, 0) << k.kind << r.err;
    EXPECT_EQ(keys(r.json()), k.names) << k.kind;
    EXPECT_EQ(r.json()["Id"], 4) << k.kind;
  }
}

TEST(ShowCli, IdentifiersOutsideTheFilesAreRefused) {
  GameDir game;
  const auto before = gameFiles(game.data());
  for (const auto& [kind, id, text] : std::vector<std::tuple<std::string, std::string, std::string>>{
           {"person", "600", "No such person: 600"},
           {"person", "-1", "No such person: -1"},
           {"club", "60", "No such club: 60"},
           {"history", "2000", "No such history row: 2000"}}) {
    const Result r = cm3db({"show", game.str(), kind, id});
    EXPECT_EQ(r.code, 1) << kind;
    EXPECT_EQ(r.err, text + "\n");
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(cm3db({"show", game.str(), "player", "1"}).code, 2);
  EXPECT_EQ(cm3db({"show", game.str(), "club"}).code, 2);
  EXPECT_EQ(cm3db({"frobnicate", game.str()}).code, 2);
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), before));
}

TEST(ExportCli, PeopleRowsMatchWhatShowGives) {
  GameDir game;
  const fs::path csvPath = game.data().parent_path() / "people.csv";
  const Result r = cm3db({"export", game.str(), "people", "--csv", csvPath.string()});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto rows = readCsv(readText(csvPath));
  ASSERT_EQ(rows.size(), size_t(sample::smallPreset().people) + 1);
  const std::vector<std::string>& head = rows[0];
  // The columns for reading, then every field of the records behind a row.
  ASSERT_GT(head.size(), 18u + 12 + 42 + 21);
  EXPECT_EQ(head[18 + 12 + 42 + 21], "staff.PersonId");
  for (const auto& row : rows) ASSERT_EQ(row.size(), head.size());
  auto col = [&](const std::string& name) {
    return size_t(std::find(head.begin(), head.end(), name) - head.begin());
  };
  ASSERT_LT(col("Free Kicks"), head.size());
  ASSERT_LT(col("Staff Tactics"), head.size());

  const World w(game.data());
  for (int32_t id : {w.player(2), w.find([](const StaffRecord& s) { return !s.isPlayer() && s.ClubId() >= 0; })}) {
    const Json p = cm3db({"show", game.str(), "person", std::to_string(id)}).json();
    const std::vector<std::string>& row = rows[size_t(id) + 1];
    EXPECT_EQ(row[col("PersonId")], std::to_string(id));
    EXPECT_EQ(row[col("FirstName")], p["FirstName"]);
    EXPECT_EQ(row[col("SecondName")], p["SecondName"]);
    EXPECT_EQ(row[col("BirthYear")], std::to_string(p["StaffRecord"]["BirthYear"].get<int>()));
    EXPECT_EQ(row[col("ClubId")], p["StaffRecord"]["ClubId"].get<int>() < 0 ? "" : std::to_string(p["StaffRecord"]["ClubId"].get<int>()));
    if (p.contains("PlayerAttRecord")) {
      EXPECT_EQ(row[col("Player")], "1");
      EXPECT_EQ(row[col("Free Kicks")], std::to_string(p["PlayerAttRecord"]["Attributes"][14].get<int>()));
      EXPECT_EQ(row[col("Staff Tactics")], "");
    } else {
      EXPECT_EQ(row[col("Player")], "0");
      EXPECT_EQ(row[col("Staff Tactics")], std::to_string(p["StaffAttRecord"]["StaffAttributes"][18].get<int>()));
      EXPECT_EQ(row[col("Free Kicks")], "");
      EXPECT_NE(row[col("Club")], "");
    }
  }
}

TEST(ExportCli, WorldFilesOneRowPerRecord) {
  GameDir game;
  const sample::Preset p = sample::smallPreset();
  for (const auto& [what, count, firstColumn] : std::vector<std::tuple<std::string, int, std::string>>{
           {"clubs", p.clubs, "Id"}, {"nations", p.nations, "Id"}, {"comps", p.comps, "Id"}}) {
    const Result r = cm3db({"export", game.str(), what, "--csv", "-"});
    ASSERT_EQ(r.code, 0) << what << r.err;
    const auto rows = readCsv(r.out);
    ASSERT_EQ(rows.size(), size_t(count) + 1) << what;
    EXPECT_EQ(rows[0][0], firstColumn);
    EXPECT_EQ(rows[count][0], std::to_string(count - 1));
  }
  const auto clubs = readCsv(cm3db({"export", game.str(), "clubs", "--csv", "-"}).out);
  const ClubRecord c = World(game.data()).club(7);
  EXPECT_EQ(clubs[8][1], cp1252::toUtf8(c.LongName()));
  int players = 0, staff = 0;
  for (int k = 0; k < 50; ++k) players += c.PlayerSlot(k) >= 0;
  for (int k = 0; k < 17; ++k) staff += c.StaffSlot(k) >= 0;
  const size_t playersCol = size_t(std::find(clubs[0].begin(), clubs[0].end(), "Players") - clubs[0].begin());
  ASSERT_LT(playersCol + 1, clubs[0].size());
  EXPECT_EQ(clubs[0][playersCol + 1], "Staff");
  EXPECT_EQ(clubs[8][playersCol], std::to_string(players));
  EXPECT_EQ(clubs[8][playersCol + 1], std::to_string(staff));

  EXPECT_EQ(cm3db({"export", game.str(), "people"}).code, 2);  // --csv is required
}

}  // namespace
