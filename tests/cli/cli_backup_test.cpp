// backup list and restore over what a set backs up.

#include "clitest.h"

namespace {

using namespace cm3test;

TEST(CliBackup, SetIsBackedUpFirstAndRestoreOfTheNewestGivesThoseBytes) {
  GameDir game;
  const Files atStart = gameFiles(game.data());
  ASSERT_EQ(cm3db({"set", game.str(), "person", "0", "Caps=3"}).code, 0);

  const Result listed = cm3db({"backup", "list", game.str()});
  ASSERT_EQ(listed.code, 0) << listed.err;
  const auto rows = listed.lines();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]["files"], atStart.size());

  const Result restored = cm3db({"restore", game.str()});
  ASSERT_EQ(restored.code, 0) << restored.err;
  EXPECT_EQ(restored.json()["restored"], rows[0]["name"]);
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), atStart));
  EXPECT_EQ(cm3db({"backup", "list", game.str()}).lines().back()["name"], restored.json()["previousFilesIn"]);
}

}  // namespace
