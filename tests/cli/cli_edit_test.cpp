// set and transfer: the changes they make, and that a refused one changes
// no byte of the game directory.
#include <gtest/gtest.h>

#include "cli/clitest.h"
#include "cli/faults.h"
#include "core/database_helpers.h"
#include "database/database.h"
#include "records/cp1252.h"
#include "squads/squads.h"

namespace {

using namespace cm3;
using namespace cm3test;
using Json = nlohmann::ordered_json;

int64_t recordsOf(const fs::path& file, size_t length) { return int64_t(fs::file_size(file) / length); }

Json show(const GameDir& game, const std::string& kind, int64_t id) {
  const Result r = cm3db({"show", game.str(), kind, std::to_string(id)});
  if (r.code != 0) throw std::runtime_error("show failed: " + r.err);
  return r.json();
}

std::vector<std::string> setArgs(const GameDir& game, int32_t id, std::vector<std::string> assignments) {
  std::vector<std::string> args = {"set", game.str(), "person", std::to_string(id)};
  args.insert(args.end(), assignments.begin(), assignments.end());
  return args;
}

TEST(SetCli, EveryKindOfPlayerFieldRoundTrips) {
  GameDir game;
  const World w(game.data());
  const int32_t id = w.find([](const StaffRecord& s) { return s.isPlayer() && s.CommonNameId() == 0; });
  const Json before = show(game, "person", id);
  const int64_t firsts = recordsOf(game.file("first_names.dat"), 60);
  const int64_t seconds = recordsOf(game.file("second_names.dat"), 60);
  const int64_t commons = recordsOf(game.file("common_names.dat"), 60);

  const Result r = cm3db(setArgs(game, id,
                                 {"FirstName=J\xC3\xBCrgen", "SecondName= \xC3\x91u\xC3\xB1" "ez", "CommonName=Kaiser",
                                  "NationId=3", "SecondNationId=-1", "SquadCode=Reserve Sqd", "Caps=250",
                                  "IntGoals=0", "BirthYear=1977", "BirthDay=-5", "ContractJoinYear=1999",
                                  "ContractExpiryYear=2003", "Wage=2147483647", "Value=-1", "Determination=0",
                                  "temperament=255", "CurrentAbility=199", "PotentialAbility=-2",
                                  "HomeReputation=32767", "CurrentReputation=-32768", "WorldReputation= 10 ",
                                  "Attributes[0]=300", "Attributes[Work Rate]=-1", "PositionRatings[attacker]=20",
                                  "PositionRatings[0]=1"}));
  ASSERT_EQ(r.code, 0) << r.err;
  const Json after = show(game, "person", id);
  EXPECT_EQ(r.json(), after);  // set prints the person as saved

  EXPECT_EQ(after["FirstName"], "J\xC3\xBCrgen");
  EXPECT_EQ(after["SecondName"], "\xC3\x91u\xC3\xB1" "ez");  // leading space dropped
  EXPECT_EQ(after["CommonName"], "Kaiser");
  EXPECT_EQ(after["DisplayName"], "\xC3\x91u\xC3\xB1" "ez J\xC3\xBCrgen");
  const Json& s = after["StaffRecord"];
  // Changed names are appended as new records; the common name too, as the
  // person had none.
  EXPECT_EQ(s["FirstNameId"], firsts);
  EXPECT_EQ(s["SecondNameId"], seconds);
  EXPECT_EQ(s["CommonNameId"], commons);
  EXPECT_EQ(recordsOf(game.file("first_names.dat"), 60), firsts + 1);
  EXPECT_EQ(recordsOf(game.file("common_names.dat"), 60), commons + 1);
  EXPECT_EQ(readEntry(game.data(), kEntryFirstNames).Count(), firsts + 1);
  EXPECT_EQ(readEntry(game.data(), kEntrySecondNames).Count(), seconds + 1);
  EXPECT_EQ(readEntry(game.data(), kEntryCommonNames).Count(), commons + 1);

  EXPECT_EQ(s["NationId"], 3);
  EXPECT_EQ(s["SecondNationId"], -1);
  EXPECT_EQ(s["SquadCode"], 2);
  EXPECT_EQ(s["Caps"], 250);
  EXPECT_EQ(s["IntGoals"], 0);
  EXPECT_EQ(s["BirthYear"], 1977);
  EXPECT_EQ(s["BirthDay"], -5);
  EXPECT_EQ(s["ContractJoinYear"], 1999);
  EXPECT_EQ(s["ContractExpiryYear"], 2003);
  EXPECT_EQ(s["Wage"], 2147483647);
  EXPECT_EQ(s["Value"], -1);
  EXPECT_EQ(s["Determination"], 0);
  EXPECT_EQ(s["Temperament"], 255);
  const Json& a = after["PlayerAttRecord"];
  EXPECT_EQ(a["CurrentAbility"], 199);
  EXPECT_EQ(a["PotentialAbility"], -2);
  EXPECT_EQ(a["HomeReputation"], 32767);
  EXPECT_EQ(a["CurrentReputation"], -32768);
  EXPECT_EQ(a["WorldReputation"], 10);
  EXPECT_EQ(a["Attributes"][0], 44);    // 300 keeps its low 8 bits
  EXPECT_EQ(a["Attributes"][41], 255);  // so does -1
  EXPECT_EQ(a["PositionRatings"][6], 20);
  EXPECT_EQ(a["PositionRatings"][0], 1);

  // Everything else as it was: the untouched fields and every kept byte.
  for (const auto& [name, v] : before["StaffRecord"].items()) {
    if (name.rfind("Kept", 0) == 0 || name == "ClubId" || name == "ClassCode" || name == "PlayerAttIndex" ||
        name == "Adaptability" || name == "Unknown53") {
      EXPECT_EQ(s[name], v) << name;
    }
  }
  for (const char* f : {"AttId", "SquadNumber", "Kept69"}) EXPECT_EQ(a[f], before["PlayerAttRecord"][f]) << f;
  for (int k = 1; k < 41; ++k) EXPECT_EQ(a["Attributes"][size_t(k)], before["PlayerAttRecord"]["Attributes"][size_t(k)]);

  EXPECT_EQ(cm3db({"check", game.str()}).code, 0);
}

TEST(SetCli, NonPlayerFieldsAndAnOwnCommonName) {
  GameDir game;
  const World w(game.data());
  const int32_t id = w.find([](const StaffRecord& s) { return !s.isPlayer() && s.CommonNameId() > 0; });
  const Json before = show(game, "person", id);
  const int64_t commons = recordsOf(game.file("common_names.dat"), 60);
  const Result r = cm3db(setArgs(game, id, {"StaffAttributes[Tactics]=19", "StaffAttributes[0]=0", "CurrentAbility=150",
                                            "Loyalty=7", "CommonName=The Boss"}));
  ASSERT_EQ(r.code, 0) << r.err;
  const Json after = show(game, "person", id);
  const Json& sa = after["StaffAttRecord"];
  EXPECT_EQ(sa["StaffAttributes"][18], 19);
  EXPECT_EQ(sa["StaffAttributes"][0], 0);
  EXPECT_EQ(sa["CurrentAbility"], 150);
  EXPECT_EQ(sa["PreferredFormation"], before["StaffAttRecord"]["PreferredFormation"]);
  EXPECT_EQ(sa["Kept35"], before["StaffAttRecord"]["Kept35"]);
  EXPECT_EQ(after["StaffRecord"]["Loyalty"], 7);
  // The person's own common-name record is overwritten, not appended.
  EXPECT_EQ(after["CommonName"], "The Boss");
  EXPECT_EQ(after["StaffRecord"]["CommonNameId"], before["StaffRecord"]["CommonNameId"]);
  EXPECT_EQ(recordsOf(game.file("common_names.dat"), 60), commons);
  // No names were changed: none appended.
  EXPECT_EQ(after["StaffRecord"]["FirstNameId"], before["StaffRecord"]["FirstNameId"]);

  // Giving a name its own text again appends nothing either.
  const int64_t firsts = recordsOf(game.file("first_names.dat"), 60);
  ASSERT_EQ(cm3db(setArgs(game, id, {"FirstName=" + before["FirstName"].get<std::string>()})).code, 0);
  EXPECT_EQ(recordsOf(game.file("first_names.dat"), 60), firsts);
  EXPECT_EQ(cm3db({"check", game.str()}).code, 0);
}

TEST(SetCli, RefusedValueLeavesEveryFileAsItWas) {
  GameDir game;
  const World w(game.data());
  const int32_t player = w.player(1);
  const std::string tooLong(52, 'a');
  struct Case {
    std::vector<std::string> assignments;
    int code;
    std::string err;  // start of stderr
  };
  const std::vector<Case> cases = {
      {{"Caps=300"}, 1, "Illegal value!"},
      {{"BirthYear=19x7"}, 1, "Illegal value!"},
      {{"Wage=2147483648"}, 1, "Illegal value!"},
      {{"Attributes[3]=40000"}, 1, "Illegal value!"},
      {{"Loyalty="}, 1, "Illegal value!"},
      {{"FirstName=" + tooLong}, 1, "Illegal value!"},
      {{"CommonName=" + tooLong}, 1, "Illegal value!"},
      {{"FirstName=\xCE\xA9mega"}, 1, "Illegal value!"},  // no Windows-1252 code
      {{"NationId=20"}, 1, "Illegal value!"},
      {{"NationId=Atlantis"}, 1, "Illegal value!"},
      {{"SquadCode=3"}, 1, "Illegal value!"},
      {{"Caps=5", "FirstName=Ann", "Wage=lots"}, 1, "Illegal value!"},
      {{"StaffAttributes[2]=5"}, 1, "StaffAttributes: person"},
      {{"ClubId=3"}, 1, "ClubId is changed by a transfer"},
      {{"SquadNumber=9"}, 1, "SquadNumber is not saved"},
      {{"Kept20=00"}, 1, "Kept20 holds bytes"},
      {{"Attributes[Nope]=5"}, 1, "Attributes: no element"},
      {{"Bogus=1"}, 2, "Unknown person field"},
      {{"Attributes=5"}, 2, "Attributes needs an element"},
      {{"Caps"}, 2, "\"Caps\" is not FIELD=VALUE"},
  };
  const auto before = snapshot(game.data());
  for (const Case& c : cases) {
    const Result r = cm3db(setArgs(game, player, c.assignments));
    EXPECT_EQ(r.code, c.code) << c.assignments[0] << ": " << r.err;
    EXPECT_EQ(r.err.substr(0, c.err.size()), c.err) << c.assignments[0];
    EXPECT_EQ(r.out, "");
    // Not a byte changed, and no working file (not even index_temp.dat) made.
    EXPECT_TRUE(sameFiles(snapshot(game.data()), before)) << c.assignments[0];
  }
  const Result nobody = cm3db(setArgs(game, 600, {"Caps=1"}));
  EXPECT_EQ(nobody.code, 1);
  EXPECT_EQ(nobody.err, "No such person: 600\n");
  EXPECT_TRUE(sameFiles(snapshot(game.data()), before));
}

// ---- transfer -----------------------------------------------------------------

struct Slotted {
  int32_t person, club, slot;
};

Slotted slottedPlayer(const World& w) {
  const World::Squad q = w.squad();
  return {w.club(q.club).PlayerSlot(q.occupied), q.club, q.occupied};
}

int firstEmpty(const ClubRecord& c) {
  for (int k = 0; k < 50; ++k)
    if (c.PlayerSlot(k) < 0) return k;
  return -1;
}

TEST(TransferCli, MovesKeepTheFilesConsistent) {
  GameDir game;
  const World w(game.data());
  const Slotted p = slottedPlayer(w);
  const int32_t to = (p.club + 3) % w.clubs;
  const int expectedSlot = firstEmpty(w.club(to));
  ASSERT_GE(expectedSlot, 0);

  Result r = cm3db({"transfer", game.str(), std::to_string(p.person), std::to_string(to)});
  ASSERT_EQ(r.code, 0) << r.err;
  Json j = r.json();
  EXPECT_EQ(j["move"], "Transfer");
  EXPECT_EQ(j["fromClubId"], p.club);
  EXPECT_EQ(j["ClubId"], to);
  EXPECT_EQ(j["slot"], expectedSlot);
  const std::string name = show(game, "person", p.person)["DisplayName"];
  EXPECT_EQ(j["status"], name + " transfered from " + cp1252::toUtf8(w.club(p.club).LongName()) + " to " +
                             cp1252::toUtf8(w.club(to).LongName()));
  EXPECT_EQ(show(game, "club", p.club)["PlayerSlots"][size_t(p.slot)], -1);
  EXPECT_EQ(show(game, "club", to)["PlayerSlots"][size_t(expectedSlot)], p.person);
  EXPECT_EQ(show(game, "person", p.person)["StaffRecord"]["ClubId"], to);
  EXPECT_EQ(cm3db({"check", game.str()}).code, 0);

  r = cm3db({"transfer", game.str(), std::to_string(p.person), "free"});
  ASSERT_EQ(r.code, 0) << r.err;
  j = r.json();
  EXPECT_EQ(j["move"], "FreeTransfer");
  EXPECT_EQ(j["ClubId"], -1);
  EXPECT_EQ(j["status"], name + "  free transfered from " + cp1252::toUtf8(w.club(to).LongName()));
  EXPECT_EQ(show(game, "club", to)["PlayerSlots"][size_t(expectedSlot)], -1);
  EXPECT_EQ(cm3db({"check", game.str()}).code, 0);

  // Signed back by his old club: into its lowest free slot, the one he left.
  r = cm3db({"transfer", game.str(), std::to_string(p.person), std::to_string(p.club)});
  ASSERT_EQ(r.code, 0) << r.err;
  j = r.json();
  EXPECT_EQ(j["move"], "Signing");
  EXPECT_EQ(j["ClubId"], p.club);
  EXPECT_EQ(j["slot"], firstEmpty(w.club(p.club)) < p.slot ? firstEmpty(w.club(p.club)) : p.slot);
  EXPECT_EQ(j["status"], name + "   transfered to  " + cp1252::toUtf8(w.club(p.club).LongName()));
  EXPECT_EQ(cm3db({"check", game.str()}).code, 0);
}

// Fills every empty player slot of `club` with players of other clubs than
// `spare`, moved as the editor would move them.
void fillClub(const GameDir& game, int32_t club, int32_t spare) {
  Database db;
  if (!db.open(game.str())) throw std::runtime_error(db.OpenError);
  ClubRecord full = db.read<ClubRecord>(kSlotClub, club + 1);
  int32_t donor = 0;
  for (int k = 0; k < 50; ++k) {
    if (full.PlayerSlot(k) >= 0) continue;
    for (;; donor = (donor + 1) % int32_t(db.recordCount(GameFile::Club))) {
      if (donor == club || donor == spare) continue;
      ClubRecord d = db.read<ClubRecord>(kSlotClub, donor + 1);
      int from = -1;
      for (int j = 0; j < 50 && from < 0; ++j)
        if (d.PlayerSlot(j) >= 0) from = j;
      if (from < 0) continue;
      const int32_t p = d.PlayerSlot(from);
      d.setPlayerSlot(from, -1);
      db.write(kSlotClub, donor + 1, d);
      StaffRecord s = db.read<StaffRecord>(kSlotStaff, p + 1);
      s.setClubId(club);
      db.write(kSlotStaff, p + 1, s);
      full.setPlayerSlot(k, p);
      break;
    }
  }
  db.write(kSlotClub, club + 1, full);
  db.close();
}

TEST(TransferCli, RefusalsGiveTheWindowsMessagesAndChangeNothing) {
  GameDir game;
  const World w(game.data());
  const Slotted p = slottedPlayer(w);
  const int32_t full = (p.club + 1) % w.clubs;
  fillClub(game, full, p.club);
  ASSERT_EQ(cm3db({"check", game.str()}).code, 0);
  ASSERT_EQ(firstEmpty(w.club(full)), -1);
  ASSERT_EQ(cm3db({"info", game.str()}).code, 0);  // index_temp.dat made once, as by every close

  const int32_t agent = w.freeAgent();
  struct Case {
    std::string person, club, err;
  };
  const std::vector<Case> cases = {
      {std::to_string(p.person), std::to_string(full), "Team is already Full !"},
      {std::to_string(agent), std::to_string(full), "Team is already Full !"},
      {std::to_string(p.person), std::to_string(p.club), "Can't transfer within the same team!"},
      {std::to_string(agent), "free", "Select a club to transfer to!"},
      {"99999", "3", "Nobody to transfer"},
      {std::to_string(p.person), "9999", "No such club: 9999"},
  };
  const auto before = snapshot(game.data());
  for (const Case& c : cases) {
    const Result r = cm3db({"transfer", game.str(), c.person, c.club});
    EXPECT_EQ(r.code, 1) << c.err;
    EXPECT_EQ(r.err, c.err + "\n");
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(sameFiles(snapshot(game.data()), before)) << c.err;
  }
  const Result bad = cm3db({"transfer", game.str(), std::to_string(p.person), "nowhere"});
  EXPECT_NE(bad.code, 0);
  EXPECT_NE(bad.err.find("CLUB_ID"), std::string::npos) << bad.err;
  EXPECT_TRUE(sameFiles(snapshot(game.data()), before));
}

}  // namespace
