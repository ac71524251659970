// export, diff, apply, import, backup and restore from the command line: exit
// codes, the patch file, the CSV a spreadsheet saves and the backup list.
#include "clitest.h"
#include "common/faults.h"
#include "exchange/csv.h"

using namespace cm3test;

namespace {

// An export with cell (row, column) set to `value`, saved as a spreadsheet
// would: a byte-order mark and `sep` between the cells.
std::string editCsv(std::string csv, const std::string& column, int row, const std::string& value, char sep) {
  EXPECT_EQ(csv.find('"'), std::string::npos) << "the cells are expected without quotes";
  const size_t col = size_t(std::count(csv.begin(), csv.begin() + std::ptrdiff_t(csv.find(column)), ','));
  size_t at = 0;
  for (int r = 0; r < row; ++r) at = csv.find("\r\n", at) + 2;
  for (size_t c = 0; c < col; ++c) at = csv.find(',', at) + 1;
  csv.replace(at, csv.find_first_of(",\r", at) - at, value);
  std::replace(csv.begin(), csv.end(), ',', sep);
  return "\xEF\xBB\xBF" + csv;
}

}  // namespace

TEST(CliDiff, ExitCodeSaysSameDifferentOrUnusableAndThePatchRebuildsTheEditedCopy) {
  GameDir a, b, c;  // copies of one generated game
  EXPECT_EQ(cm3db({"diff", a.str(), b.str()}).code, 0);
  EXPECT_EQ(cm3db({"diff", a.str(), b.str() + "/missing"}).code, 2);
  EXPECT_EQ(cm3db({"diff", a.str(), b.str(), "--patch", b.str() + "/no/p.json"}).code, 2);

  const int caps = cm3db({"show", a.str(), "person", "3"}).json()["StaffRecord"]["Caps"].get<int>();
  const int newCaps = caps == 9 ? 10 : 9;
  ASSERT_EQ(cm3db({"set", b.str(), "person", "3", "Caps=" + std::to_string(newCaps), "FirstName=Zo\xC3\xAB"}).code, 0);
  const std::string patch = b.str() + "/patch.json";
  const Result d = cm3db({"diff", a.str(), b.str(), "--patch", patch});
  EXPECT_EQ(d.code, 1);
  EXPECT_NE(d.out.find("Caps " + std::to_string(caps) + " -> " + std::to_string(newCaps)), std::string::npos) << d.out;

  const Result applied = cm3db({"apply", c.str(), patch});
  EXPECT_EQ(applied.code, 0) << applied.err;
  EXPECT_EQ(snapshot(c.data()), snapshot(b.data()));
  // Applied again, every field conflicts.
  const Result again = cm3db({"apply", c.str(), patch});
  EXPECT_EQ(again.code, 1);
  EXPECT_NE(again.err.find("Caps: holds " + std::to_string(newCaps) + ", not " + std::to_string(caps)), std::string::npos)
      << again.err;
}

TEST(CliImport, ExportDiffersFromShowOrAnUnchangedImportChangesBytesOrABadCellGoesUnnamed) {
  GameDir game;
  const fs::path csv = game.str() + ".csv", edited = game.str() + ".edited.csv";
  ASSERT_EQ(cm3db({"export", game.str(), "people", "--csv", csv.string()}).code, 0);
  const std::string text = readText(csv);
  const auto rows = cm3::exchange::readCsv(text);  // the importer's reader
  ASSERT_EQ(rows.size(), size_t(sample::smallPreset().people) + 1);
  const std::vector<std::string>& head = rows[0].cells;
  for (const auto& row : rows) ASSERT_EQ(row.cells.size(), head.size());
  auto col = [&](const std::string& name) { return size_t(std::find(head.begin(), head.end(), name) - head.begin()); };
  const int32_t id = World(game.data()).player(2);
  const Json p = show(game, "person", id);
  const std::vector<std::string>& row = rows[size_t(id) + 1].cells;
  EXPECT_EQ(row[col("PersonId")], std::to_string(id));
  EXPECT_EQ(row[col("SecondName")], p["SecondName"]);
  EXPECT_EQ(row[col("Free Kicks")], std::to_string(p["PlayerAttRecord"]["Attributes"][14].get<int>()));
  EXPECT_EQ(row[col("Staff Tactics")], "");

  const auto before = snapshot(game.data());
  EXPECT_EQ(cm3db({"import", game.str(), "people", csv.string()}).code, 0);
  EXPECT_EQ(snapshot(game.data()), before);

  std::ofstream(edited, std::ios::binary) << editCsv(text, "staff.Caps", 10, "300", ',');
  const Result bad = cm3db({"import", game.str(), "people", edited.string()});
  EXPECT_EQ(bad.code, 1);
  EXPECT_NE(bad.err.find(edited.string() + ":11: column staff.Caps: \"300\" is not a whole number from 0 to 255"),
            std::string::npos)
      << bad.err;
  EXPECT_EQ(snapshot(game.data()), before);

  // Semicolons and a byte-order mark, as spreadsheets in many locales save.
  std::ofstream(edited, std::ios::binary) << editCsv(text, "staff.Caps", 10, "42", ';');
  EXPECT_EQ(cm3db({"import", game.str(), "people", edited.string()}).code, 0);
  EXPECT_EQ(cm3db({"show", game.str(), "person", "9"}).json()["StaffRecord"]["Caps"], 42);
}

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
