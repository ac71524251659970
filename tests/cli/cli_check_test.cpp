// cm3db check, and how every command treats leftover working files, a
// wrong path and a directory that another editor has open.
#include <gtest/gtest.h>

#include "cli/clitest.h"
#include "cli/faults.h"
#include "core/database_helpers.h"
#include "database/database.h"
#include "records/cp1252.h"

namespace {

using namespace cm3;
using namespace cm3test;

TEST(CheckCli, GeneratedDatabasesPass) {
  std::vector<std::unique_ptr<GameDir>> games;
  games.push_back(std::make_unique<GameDir>(sample::smallPreset(), 1));
  games.push_back(std::make_unique<GameDir>(sample::smallPreset(), 5));
  games.push_back(std::make_unique<GameDir>(sample::fullPreset(), 2));
  for (const auto& g : games) {
    const Result r = cm3db({"check", g->str()});
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    const auto j = r.json();
    EXPECT_TRUE(j["checked"].get<bool>());
    EXPECT_TRUE(j["clean"].get<bool>());
    EXPECT_EQ(j["total"], 0);
    EXPECT_TRUE(j["findings"].empty());
    EXPECT_EQ(r.err, "");
    // Checking leaves the game's layout: no working files behind.
    EXPECT_FALSE(fs::exists(g->file("staff_att.dat")));
    EXPECT_FALSE(fs::exists(g->file("staff_att2.dat")));
  }
}

class CheckCliFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(CheckCliFaults, PlantedFaultFailsTheCheck) {
  const Fault& f = GetParam();
  GameDir game;
  f.plant(World(game.data()));
  const Result r = cm3db({"check", game.str()});
  EXPECT_EQ(r.code, 1) << r.out << r.err;
  const auto j = r.json();
  EXPECT_FALSE(j["clean"].get<bool>());
  ASSERT_TRUE(j["counts"].contains(f.check)) << r.out;
  EXPECT_GE(j["counts"][f.check].get<int>(), 1);
  for (const auto& [name, n] : j["counts"].items())
    EXPECT_TRUE(name == f.check || f.alsoAllowed.count(name)) << "unexpected " << name << "\n" << r.out;
  bool listed = false;
  for (const auto& finding : j["findings"]) listed = listed || finding["check"] == f.check;
  EXPECT_TRUE(listed);
  EXPECT_NE(r.err.find("problem(s) found"), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Rules, CheckCliFaults, ::testing::ValuesIn(plantedFaults()),
                         [](const ::testing::TestParamInfo<Fault>& i) { return i.param.name; });

TEST(CheckCli, FindingTextsAreUtf8) {
  GameDir game;
  const World w(game.data());
  // A person named in a finding: his generated names carry accented letters.
  Database db;
  ASSERT_TRUE(db.open(game.str()));
  int32_t accented = -1;
  for (int32_t i = 0; i < w.people && accented < 0; ++i)
    if (db.personName(i).find('\xFC') != std::string::npos && w.person(i).ClubId() < 0) accented = i;
  ASSERT_GE(accented, 0);
  const std::string name = db.personName(accented);
  db.close();
  const World::Squad q = w.squad();
  editRecord<ClubRecord>(game.file("club.dat"), q.club + 1, [&](ClubRecord& r) { r.setPlayerSlot(q.empty, accented); });
  const Result r = cm3db({"check", game.str()});
  ASSERT_EQ(r.code, 1);
  const std::string message = r.json()["findings"][0]["message"];
  EXPECT_NE(message.find(cp1252::toUtf8(name)), std::string::npos) << message;
}

// Working files of an editor run that ended without closing, holding an
// attribute edit that exists nowhere else.
struct Unclosed {
  explicit Unclosed(const GameDir& game) {
    Database db;
    if (!db.open(game.str())) throw std::runtime_error(db.OpenError);
    person = World(game.data()).player();
    const StaffRecord s = db.read<StaffRecord>(kSlotStaff, person + 1);
    PlayerAttRecord a = db.read<PlayerAttRecord>(kSlotStaffAtt, s.PlayerAttIndex() + 1);
    a.setAttribute(5, 99);
    db.write(kSlotStaffAtt, s.PlayerAttIndex() + 1, a);
  }  // destroyed without close()
  int32_t person = -1;
};

TEST(CheckCli, LeftoversAreReportedWithoutTouchingThem) {
  GameDir game;
  const Unclosed run(game);
  const auto before = snapshot(game.data());
  const Result r = cm3db({"check", game.str()});
  EXPECT_EQ(r.code, 1);
  const auto j = r.json();
  EXPECT_FALSE(j["checked"].get<bool>());
  EXPECT_EQ(j["counts"]["leftover-files"], 3);
  EXPECT_NE(j["note"].get<std::string>().find("cm3db recover"), std::string::npos);
  EXPECT_TRUE(sameFiles(snapshot(game.data()), before));
}

TEST(CheckCli, OtherCommandsRefuseLeftoversUntilRecovered) {
  GameDir game;
  const Unclosed run(game);
  const auto before = snapshot(game.data());
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"info", game.str()}, {"show", game.str(), "person", "0"},
        {"set", game.str(), "person", "0", "Caps=3"}, {"transfer", game.str(), "0", "free"}}) {
    const Result r = cm3db(args);
    EXPECT_EQ(r.code, 1) << args[0];
    EXPECT_NE(r.err.find("did not close"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_TRUE(sameFiles(snapshot(game.data()), before));

  const Result rec = cm3db({"recover", game.str()});
  ASSERT_EQ(rec.code, 0) << rec.err;
  EXPECT_FALSE(fs::exists(game.file("staff_att.dat")));
  const Result shown = cm3db({"show", game.str(), "person", std::to_string(run.person)});
  ASSERT_EQ(shown.code, 0) << shown.err;
  EXPECT_EQ(shown.json()["PlayerAttRecord"]["Attributes"][5], 99);
  EXPECT_EQ(cm3db({"check", game.str()}).code, 0);
  // Nothing left to recover now.
  const Result again = cm3db({"recover", game.str()});
  EXPECT_EQ(again.code, 1);
  EXPECT_NE(again.err.find("no working files"), std::string::npos) << again.err;
}

TEST(CheckCli, WrongPathGivesTheEditorsMessage) {
  ScratchDir scratch("nodata");
  for (const std::string& dir : {scratch.path().string(), (scratch.path() / "missing").string()}) {
    const Result r = cm3db({"check", dir});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, std::string(kWrongPathMessage) + "\n");
    EXPECT_EQ(r.out, "");
  }
  EXPECT_TRUE(fs::is_empty(scratch.path()));
}

TEST(CheckCli, DirectoryOpenInAnotherEditorIsRefusedAndItsWorkingFilesKept) {
  GameDir game;
  Database editor;
  ASSERT_TRUE(editor.open(game.str()));
  const auto before = snapshot(game.data());
  for (const char* cmd : {"check", "info"}) {
    const Result r = cm3db({cmd, game.str()});
    EXPECT_EQ(r.code, 1) << cmd;
    EXPECT_EQ(r.err, std::string(kAlreadyOpenMessage) + "\n");
  }
  EXPECT_TRUE(sameFiles(snapshot(game.data()), before));
  editor.close();
  EXPECT_EQ(cm3db({"check", game.str()}).code, 0);
}

TEST(HelpCli, EveryCommandIsDocumented) {
  const Result top = cm3db({"--help"});
  EXPECT_EQ(top.code, 0) << top.err;
  for (const char* command : {"make-sample", "info", "check", "search", "show", "export", "set", "transfer", "recover"}) {
    SCOPED_TRACE(command);
    EXPECT_NE(top.out.find(command), std::string::npos);
    const Result r = cm3db({command, "--help"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Usage:"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(command), std::string::npos) << r.out;
  }
  // check names every rule its report can count; set names the fields it takes.
  const Result check = cm3db({"check", "--help"});
  for (std::string_view rule : search::checkNames()) {
    EXPECT_NE(check.out.find(std::string(rule)), std::string::npos) << rule;
    EXPECT_FALSE(search::checkDescription(rule).empty()) << rule;
  }
  const Result set = cm3db({"set", "--help"});
  for (const char* field : {"FirstName", "NationId", "SquadCode", "CurrentAbility", "Determination", "Attributes[k]",
                            "StaffAttributes[k]", "PositionRatings[k]"})
    EXPECT_NE(set.out.find(field), std::string::npos) << field;
}

}  // namespace
