// cm3db: its command line, exit codes and output formats, on generated game
// databases. The rules behind the commands are the core tests' business.
#include "cli/clitest.h"
#include "common/faults.h"
#include "records/cp1252.h"
#include "search/namesearch.h"

namespace {

using namespace cm3;
using namespace cm3test;

TEST(Cli, CommandUndocumentedOrBadCommandLineNotExitTwo) {
  const Result top = cm3db({"--help"});
  EXPECT_EQ(top.code, 0) << top.err;
  for (const char* command : {"make-sample", "info", "check", "search", "show", "export", "set", "transfer", "recover"}) {
    EXPECT_NE(top.out.find(command), std::string::npos) << command;
    const Result r = cm3db({command, "--help"});
    EXPECT_TRUE(r.code == 0 && r.out.find("Usage:") != std::string::npos) << command;
  }
  const Result check = cm3db({"check", "--help"});
  for (std::string_view rule : search::checkNames()) EXPECT_NE(check.out.find(std::string(rule)), std::string::npos) << rule;
  GameDir game;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"frobnicate", game.str()}, {"show", game.str(), "player", "1"}, {"show", game.str(), "club"},
        {"export", game.str(), "people"}, {"make-sample", game.str(), "--preset", "huge"},
        {"set", game.str(), "person", "1", "Bogus=1"}, {"set", game.str(), "person", "1", "Caps"}}) {
    const Result r = cm3db(args);
    EXPECT_TRUE(r.code == 2 && !r.err.empty()) << args[0] << " " << args.back() << ": " << r.code;
  }
}

TEST(Cli, InfoReportsWrongCountsOrLeavesWorkingFiles) {
  GameDir game;
  const sample::Preset p = sample::smallPreset();
  const Files before = gameFiles(game.data());
  const Result r = cm3db({"info", game.str()});
  ASSERT_EQ(r.code, 0) << r.err;
  const Json j = r.json();
  const Json& t = j["sections"];
  EXPECT_EQ(Json::array({j["PeopleCount"], j["files"].size(), j["files"][4]["file"], j["files"][4]["RecordCount"],
                         t["N11"], t["A"], t["tailBytes"]}),
            Json::array({p.people, kGameFileCount, "club.dat", p.clubs, p.players, 157 * p.people, p.tailBytes}));
  std::vector<int> entries;
  for (const Json& e : j["index"]) entries.push_back(e["entry"]);
  EXPECT_EQ(entries, (std::vector<int>{1, 7, 8, 9, 10, 11, 16, 17, 18}));
  EXPECT_EQ(j["index"][3]["Position"], t["A"]);
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), before));
  EXPECT_FALSE(fs::exists(game.file("staff_att.dat")));
}

TEST(Cli, CheckExitCodeOrReportFormatWrong) {
  GameDir game;
  const World w(game.data());
  const int32_t agent = w.freeAgent();
  ASSERT_EQ(cm3db({"set", game.str(), "person", std::to_string(agent), "FirstName=J\xC3\xBCrgen"}).code, 0);
  Result r = cm3db({"check", game.str()});
  EXPECT_EQ(r.code, 0) << r.out << r.err;
  EXPECT_EQ(Json::array({r.json()["clean"], r.json()["total"]}), Json::array({true, 0}));
  // A free agent in a slot, named in the finding with his accented name in UTF-8.
  const World::Squad q = w.squad();
  editRecord<ClubRecord>(game.file("club.dat"), q.club + 1, [&](ClubRecord& c) { c.setPlayerSlot(q.empty, agent); });
  r = cm3db({"check", game.str()});
  EXPECT_EQ(r.code, 1);
  const Json j = r.json();
  const std::string rule(search::kCheckSlotClub);
  EXPECT_EQ(Json::array({j["clean"], j["counts"][rule], j["findings"][0]["check"]}), Json::array({false, 1, rule}));
  EXPECT_NE(j["findings"][0]["message"].get<std::string>().find("J\xC3\xBCrgen"), std::string::npos) << j["findings"][0];
  EXPECT_NE(r.err.find("problem(s) found"), std::string::npos) << r.err;
}

TEST(Cli, LeftoversTouchedOrCommandsRunOverThem) {
  GameDir game;
  int32_t person = -1;
  {
    OpenDatabase db(game.str());  // destroyed without close(): the edit lives in the working files only
    person = firstPerson(db, true);
    const int64_t att = db.read<StaffRecord>(kSlotStaff, person + 1).PlayerAttIndex() + 1;
    db.write(kSlotStaffAtt, att, with(db.read<PlayerAttRecord>(kSlotStaffAtt, att), {{"Attributes", 99, 5}}));
  }
  const Files before = snapshot(game.data());
  Result r = cm3db({"check", game.str()});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(Json::array({r.json()["checked"], r.json()["counts"]["leftover-files"]}), Json::array({false, 3}));
  EXPECT_NE(r.json()["note"].get<std::string>().find("cm3db recover"), std::string::npos);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"info", game.str()}, {"set", game.str(), "person", "0", "Caps=3"},
        {"transfer", game.str(), "0", "free"}}) {
    r = cm3db(args);
    EXPECT_EQ(r.code, 1) << args[0];
    EXPECT_NE(r.err.find("did not close"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_TRUE(sameFiles(snapshot(game.data()), before));
  ASSERT_EQ(cm3db({"recover", game.str()}).code, 0);
  EXPECT_EQ(show(game, "person", person)["PlayerAttRecord"]["Attributes"][5], 99);
  r = cm3db({"recover", game.str()});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("no working files"), std::string::npos) << r.err;
}

TEST(Cli, SearchRowsOrLimitTextWrong) {
  GameDir game;
  OpenDatabase db(game.str());
  std::string key = db.personName(0).substr(0, db.personName(0).find(' '));
  key[1] = '?';
  const std::vector<int> expected = search::findNames(db.PersonNameTable, db.PeopleCount(), key, 500);
  db.close();
  Result r = cm3db({"search", game.str(), cp1252::toUtf8(key)});
  ASSERT_EQ(r.code, 0) << r.err;
  std::vector<int> got;
  for (const Json& row : r.lines()) {
    got.push_back(row["PersonId"]);
    EXPECT_TRUE(row.contains("name"));
  }
  EXPECT_EQ(got, expected);
  EXPECT_EQ(r.err, "");
  r = cm3db({"search", game.str(), "*"});
  EXPECT_EQ(r.lines().size(), 500u);
  EXPECT_EQ(r.err, "500 Matches , please refine search\n");
}

TEST(Cli, ShowLeavesOutAFieldOrKeptBytes) {
  GameDir game;
  const int32_t id = World(game.data()).player(3);
  const StaffRecord s = readRecord<StaffRecord>(game.file("staff.dat"), id + 1);
  const Json j = show(game, "person", id);
  std::vector<std::string> keys;
  for (const auto& [name, v] : j.items()) keys.push_back(name);
  EXPECT_EQ(keys, (std::vector<std::string>{"PersonId", "DisplayName", "FirstName", "SecondName", "CommonName",
                                               "StaffRecord", "PlayerAttRecord"}));
  const Json& staff = j["StaffRecord"];
  // Every byte no field names is shown as hex under its offset.
  for (const FieldInfo& f : StaffRecord::kFields)
    EXPECT_TRUE(!f.kept || staff.contains(std::string(f.name))) << f.name;
  char hex[3];
  std::snprintf(hex, sizeof hex, "%02x", s.bytes[20]);
  EXPECT_EQ(staff.at("Kept20").get<std::string>().substr(0, 2), hex);
  EXPECT_EQ(j["PlayerAttRecord"]["Attributes"].size(), 42u);
}

TEST(Cli, SetSavesAnotherValueOrPrintsAnotherRecord) {
  GameDir game;
  const int32_t id = World(game.data()).player(1);
  Result r = cm3db({"set", game.str(), "person", std::to_string(id), "FirstName=J\xC3\xBCrgen", "SquadCode=Reserve Sqd",
                    "Wage=2147483647", "Attributes[Work Rate]=-1", "PositionRatings[attacker]=20", "CurrentAbility=199"});
  ASSERT_EQ(r.code, 0) << r.err;
  const Json after = show(game, "person", id);
  EXPECT_EQ(r.json(), after) << "set prints the person as saved";
  const Json& att = after["PlayerAttRecord"];
  EXPECT_EQ(Json::array({after["FirstName"], after["StaffRecord"]["SquadCode"], after["StaffRecord"]["Wage"],
                         att["Attributes"][41], att["PositionRatings"][6], att["CurrentAbility"]}),
            Json::array({"J\xC3\xBCrgen", 2, 2147483647, 255, 20, 199}));
}

TEST(Cli, TransferReportsAnotherMove) {
  GameDir game;
  const World w(game.data());
  const World::Squad q = w.squad();
  const int32_t person = w.club(q.club).PlayerSlot(q.occupied), to = (q.club + 3) % w.clubs;
  Result r = cm3db({"transfer", game.str(), std::to_string(person), std::to_string(to)});
  ASSERT_EQ(r.code, 0) << r.err;
  Json j = r.json();
  EXPECT_EQ(Json::array({j["move"], j["fromClubId"], j["ClubId"]}), Json::array({"Transfer", q.club, to}));
  const std::string name = show(game, "person", person)["DisplayName"];
  EXPECT_EQ(j["status"], name + " transfered from " + cp1252::toUtf8(w.club(q.club).LongName()) + " to " +
                             cp1252::toUtf8(w.club(to).LongName()));
  EXPECT_EQ(show(game, "club", to)["PlayerSlots"][size_t(j["slot"].get<int>())], person);
  EXPECT_EQ(cm3db({"transfer", game.str(), std::to_string(person), "free"}).json()["move"], "FreeTransfer");
  r = cm3db({"transfer", game.str(), std::to_string(person), std::to_string(q.club)});
  EXPECT_EQ(r.json()["move"], "Signing");
  EXPECT_EQ(r.json()["slot"], std::min(q.occupied, q.empty));
}

// A refused command exits with 1, its message on stderr and nothing on
// stdout, and changes no byte and makes no file: a folder that holds no game,
// records that are not there, values a field cannot take, moves the squad
// rules forbid, a game another editor has open.
TEST(Cli, RefusalExitsOtherwiseOrWritesOrPrintsAnotherMessage) {
  GameDir game;
  const World w(game.data());
  const World::Squad q = w.squad();
  const std::string g = game.str(), player = std::to_string(w.player(1)),
                    slotted = std::to_string(w.club(q.club).PlayerSlot(q.occupied));
  const ScratchDir empty;
  const std::string wrongPath = std::string(kWrongPathMessage) + "\n";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"check", empty.str()}, wrongPath}, {{"check", (empty.path() / "missing").string()}, wrongPath},
      {{"show", g, "person", "600"}, "No such person: 600\n"}, {{"show", g, "club", "60"}, "No such club: 60\n"},
      {{"show", g, "history", "2000"}, "No such history row: 2000\n"},
      {{"set", g, "person", player, "Caps=5", "Caps=300"}, "Illegal value!"},
      {{"set", g, "person", player, "Caps=5", "FirstName=\xCE\xA9mega"}, "Illegal value!"},
      {{"set", g, "person", player, "Caps=5", "NationId=Atlantis"}, "Illegal value!"},
      {{"set", g, "person", player, "Caps=5", "StaffAttributes[2]=5"}, "StaffAttributes: person"},
      {{"set", g, "person", player, "Caps=5", "ClubId=3"}, "ClubId is changed by a transfer"},
      {{"set", g, "person", player, "Caps=5", "Kept20=00"}, "Kept20 holds bytes"},
      {{"transfer", g, slotted, std::to_string(q.club)}, "Can't transfer within the same team!\n"},
      {{"transfer", g, std::to_string(w.freeAgent()), "free"}, "Select a club to transfer to!\n"},
      {{"transfer", g, "99999", "3"}, "Nobody to transfer\n"},
      {{"transfer", g, slotted, "9999"}, "No such club: 9999\n"}};
  OpenDatabase(g).close();  // the index_temp.dat every open leaves
  const Files before = snapshot(game.data());
  for (const auto& [args, err] : cases) {
    const Result r = cm3db(args);
    EXPECT_EQ(std::make_tuple(r.code, r.err.substr(0, err.size()), r.out), std::make_tuple(1, err, "")) << args.back();
  }
  EXPECT_TRUE(sameFiles(snapshot(game.data()), before));
  EXPECT_TRUE(fs::is_empty(empty.path()));
  OpenDatabase editor(g);
  const Files open = snapshot(game.data());
  const Result r = cm3db({"info", g});
  EXPECT_EQ(std::make_tuple(r.code, r.err), std::make_tuple(1, std::string(kAlreadyOpenMessage) + "\n"));
  EXPECT_TRUE(sameFiles(snapshot(game.data()), open));
}

// show and set speak of the same fields, by the same names and in the same
// form.
std::string text(const Json& v) { return v.is_string() ? v.get<std::string>() : v.dump(); }

std::vector<std::string> setArgs(const GameDir& game, int32_t id, const std::string& name, const Json& v) {
  std::vector<std::string> args = {"set", game.str(), "person", std::to_string(id)};
  if (v.is_array())
    for (size_t k = 0; k < v.size(); ++k) args.push_back(name + "[" + std::to_string(k) + "]=" + text(v[k]));
  else
    args.push_back(name + "=" + text(v));
  return args;
}

// Sets each field of `table` of person `id`, one field a run, to a value it
// does not hold (1, or 2 where it holds 1), under the name and in the form
// show gives it; show must then give that value for that field and nothing
// else changed. A field set refuses must be one it refuses by design, and
// leave every byte as it was.
void changeEachField(const GameDir& game, int32_t id, const std::string& record, FieldTable table) {
  for (const FieldInfo& f : table) {
    if (f.kept) continue;
    const std::string name(f.name);
    Json expected = show(game, "person", id);
    Json& v = expected[record].at(name);
    if (v.is_array())
      for (Json& e : v) e = e == 1 ? 2 : 1;
    else
      v = v == 1 ? 2 : 1;
    const Files before = gameFiles(game.data());
    const Result r = cm3db(setArgs(game, id, name, v));
    if (r.code == 0) {
      EXPECT_EQ(show(game, "person", id)[record], expected[record]) << name;
      continue;
    }
    EXPECT_TRUE(r.err.find("keeps the value read") != std::string::npos ||
                r.err.find("is changed by a transfer") != std::string::npos)
        << name << ": " << r.err;
    EXPECT_TRUE(sameFiles(gameFiles(game.data()), before)) << name;
  }
}

TEST(ShowSetCli, EachFieldSetUnderItsShownNameChangesThatFieldAloneAndNamesSetAsShownChangeNoByte) {
  GameDir game;
  const World w(game.data());
  for (int32_t id : {w.player(), w.find([](const StaffRecord& s) { return !s.isPlayer(); })}) {
    const Json person = show(game, "person", id);
    const Files before = gameFiles(game.data());
    for (const char* n : {"FirstName", "SecondName", "CommonName"})
      EXPECT_EQ(cm3db(setArgs(game, id, n, person[n])).code, 0) << n;
    EXPECT_TRUE(sameFiles(gameFiles(game.data()), before));

    changeEachField(game, id, "StaffRecord", StaffRecord::kFields);
    if (person.contains("PlayerAttRecord"))
      changeEachField(game, id, "PlayerAttRecord", PlayerAttRecord::kFields);
    else
      changeEachField(game, id, "StaffAttRecord", StaffAttRecord::kFields);
  }
}

}  // namespace
