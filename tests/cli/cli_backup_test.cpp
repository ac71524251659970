// backup list and restore: what a set backs up, and that a restore gives the
// backed-up bytes and is refused while an editor has the game open.
#include <gtest/gtest.h>

#include "cli/clitest.h"
#include "core/database_helpers.h"

namespace {

using namespace cm3test;

TEST(CliBackup, SetBacksUpFirstRestoreGivesThoseBytesAndIsRefusedWhileOpen) {
  GameDir game;
  const Files atStart = gameFiles(game.data());
  ASSERT_EQ(cm3db({"set", game.str(), "person", "0", "Caps=3"}).code, 0);
  const Files edited = gameFiles(game.data());

  const Result listed = cm3db({"backup", "list", game.str()});
  ASSERT_EQ(listed.code, 0) << listed.err;
  const auto rows = listed.lines();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]["files"], atStart.size());

  {
    cm3::Database editor;
    ASSERT_TRUE(editor.open(game.str())) << editor.OpenError;
    const Result refused = cm3db({"restore", game.str()});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("already open"), std::string::npos) << refused.err;
    editor.close();
  }
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), edited));

  const Result restored = cm3db({"restore", game.str()});
  ASSERT_EQ(restored.code, 0) << restored.err;
  EXPECT_EQ(restored.json()["restored"], rows[0]["name"]);
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), atStart));
  // The files as they were before the restore are a backup of their own.
  ASSERT_EQ(cm3db({"restore", game.str(), restored.json()["previousFilesIn"]}).code, 0);
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), edited));
}

}  // namespace
