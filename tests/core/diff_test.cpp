
#include <sstream>

#include "database/textfile.h"
#include "diff/diff.h"
#include "diff/patch.h"
#include "exchange/csv.h"
#include "exchange/exchange.h"
#include "common/testkit.h"

using namespace cm3;
using namespace cm3test;

namespace {

// Two copies of one generated game, both open.
class Diff : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(a_.open(gameA_.str())) << a_.OpenError;
    ASSERT_TRUE(b_.open(gameB_.str())) << b_.OpenError;
  }
  const diff::RecordChange* find(const diff::Result& r, int slot, int64_t id) {
    const std::string file(slotInfo(slot).path);
    auto it = std::find_if(r.records.begin(), r.records.end(),
                           [&](const diff::RecordChange& c) { return c.file == file && c.id == id; });
    return it == r.records.end() ? nullptr : &*it;
  }

  GameDir gameA_, gameB_;
  Database a_, b_;
};

}  // namespace

TEST_F(Diff, AnEditedFieldMissedOrMisnamedOrItsOldValueLost) {
  const int id = firstPerson(b_, true);
  const int32_t attId = b_.read<StaffRecord>(kSlotStaff, id + 1).PlayerAttIndex();
  const int oldAttribute = a_.read<PlayerAttRecord>(kSlotStaffAtt, attId + 1).Attribute(3);
  people::PersonForm f = people::loadPerson(b_, id);
  std::string& box = f.boxes.at("txtCaps");
  const std::string caps = box;
  box = caps == "7" ? "8" : "7";
  f.attributes[3] = oldAttribute == 1 ? "2" : "1";
  people::NameFlags flags;
  people::savePerson(b_, f, flags);

  const diff::Result r = diff::compare(a_, b_);
  ASSERT_EQ(r.records.size(), 2u);
  const diff::RecordChange *person = find(r, kSlotStaff, id), *att = find(r, kSlotStaffAtt, attId);
  ASSERT_TRUE(person && att && person->fields.size() == 1 && att->fields.size() == 1);
  EXPECT_EQ(person->label, a_.personName(id));
  const diff::FieldChange &caps1 = person->fields[0], &att1 = att->fields[0];
  EXPECT_EQ(std::tie(caps1.field, caps1.before, caps1.after),
            std::make_tuple("Caps", FieldValue(int64_t(std::stoi(caps))), FieldValue(int64_t(std::stoi(box)))));
  EXPECT_EQ(std::tie(att1.field, att1.before), std::make_tuple("Attributes[3]", FieldValue(int64_t(oldAttribute))));
}

// B is edited by the editor's own operations; the patch of A -> B applied to
// a fresh copy C of A must give B's files byte for byte.
TEST_F(Diff, APatchAppliedToAnotherCopyMissesAByteOfTheEditedFiles) {
  const int32_t newId = b_.PeopleCount();
  for (const EditAction& a : kEditActions) a.run(b_);
  const diff::Result r = diff::compare(a_, b_);
  const diff::RecordChange* added = find(r, kSlotStaff, newId);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->kind, diff::RecordChange::Kind::Added);
  EXPECT_EQ(added->label, "Newcomer Kai");
  EXPECT_EQ(added->fields.size(), StaffRecord::kFields.size());
  const std::string patch = diff::toJson(r);
  GameDir gameC;
  OpenDatabase cdb(gameC.str());
  EXPECT_TRUE(diff::apply(cdb, diff::fromJson(patch), false).empty());
  EXPECT_TRUE(diff::compare(b_, cdb).same());
  cdb.close();
  b_.close();
  EXPECT_EQ(snapshot(gameC.data()), snapshot(gameB_.data()));
}

namespace {

// The export of `what` from `db`, as rows.
std::vector<exchange::CsvRow> exported(Database& db, std::string_view what) {
  std::ostringstream out;
  EXPECT_TRUE(exchange::exportCsv(db, what, out));
  return exchange::readCsv(out.str());
}

// The cell of `column` in the first row.
std::string& cellOf(std::vector<exchange::CsvRow>& rows, const std::string& column) {
  const auto at = std::find(rows[0].cells.begin(), rows[0].cells.end(), column);
  if (at == rows[0].cells.end()) throw std::runtime_error("no column " + column);
  return rows[1].cells[size_t(at - rows[0].cells.begin())];
}

std::string csvText(const std::vector<exchange::CsvRow>& rows) {
  std::ostringstream text;
  exchange::CsvWriter writer(text);
  for (const exchange::CsvRow& r : rows) writer.row(r.cells);
  return text.str();
}

}  // namespace

// A cell is taken as the window's box of its field takes its text.
TEST_F(Diff, ImportTakesACellOtherwiseThanItsWindowBoxOrRoundsAnUnchangedReal) {
  struct Case {
    const char *what, *column, *typed, *stored;
  };
  for (const Case& c : {Case{"people", "att.Attributes[3]", "300", "44"}, Case{"clubs", "club.Cash", "2.5", "2"},
                        Case{"clubs", "club.LongName", "  Padded Town  ", "Padded Town"}}) {
    auto rows = exported(a_, c.what);
    cellOf(rows, c.column) = c.typed;
    const auto result = exchange::importCsv(a_, c.what, csvText(rows), "x.csv");
    EXPECT_TRUE(result.errors.empty()) << c.column << ": " << (result.errors.empty() ? "" : result.errors[0]);
    rows = exported(a_, c.what);
    EXPECT_EQ(cellOf(rows, c.column), c.stored);
  }
  // A real the export shows rounded to 15 digits is not written back rounded.
  NationRecord n = a_.read<NationRecord>(kSlotNation, 1);
  n.setFifaCoefficient(0, 0.1 + 0.2);
  a_.write(kSlotNation, 1, n);
  const auto result = exchange::importCsv(a_, "nations", csvText(exported(a_, "nations")), "x.csv");
  EXPECT_TRUE(result.errors.empty());
  EXPECT_EQ(result.cells, 0u);
  EXPECT_EQ(a_.read<NationRecord>(kSlotNation, 1).FifaCoefficient(0), 0.1 + 0.2);
}

// A patch that moves a person out of his squad's club by hand (his ClubId
// without the slots) is taken back, even forced, and cannot be redone.
TEST_F(Diff, ForcedPatchLeavesASlottedPersonWithAnotherClubId) {
  const int32_t p = cm3test::firstPerson(a_, true);
  const StaffRecord s = a_.read<StaffRecord>(kSlotStaff, p + 1);
  ASSERT_GE(s.ClubId(), 0);
  diff::Result patch;
  patch.records.push_back({diff::RecordChange::Kind::Changed, std::string(slotInfo(kSlotStaff).path), p, "",
                           {{"ClubId", int64_t(s.ClubId()), int64_t(s.ClubId() == 0 ? 1 : 0), false}}});
  const auto conflicts = diff::apply(a_, patch, true);
  ASSERT_TRUE(diff::blocks(conflicts, true));
  EXPECT_NE(conflicts.back().message.find("would break the rule"), std::string::npos) << diff::describe(conflicts.back());
  EXPECT_FALSE(a_.journal().canRedo());
  a_.close();
  b_.close();
  EXPECT_EQ(snapshot(gameA_.data()), snapshot(gameB_.data()));
}

// What the File menu says or asks when a patch meets other values or holds
// one a field cannot store, or an import cannot be read or refuses a cell;
// planning writes nothing, and the plan that forces writes over the conflict.
TEST_F(Diff, PlanAsksOrRefusesOtherwiseThanTheWriteWouldGo) {
  const ScratchDir dir;
  const std::string json = dir.str() + "/caps.json", csv = dir.str() + "/people.csv";
  const StaffRecord original = a_.read<StaffRecord>(kSlotStaff, 3);
  const int caps = original.Caps();
  auto plan = [&](int before, int after) {
    diff::Result r;
    r.records.push_back({diff::RecordChange::Kind::Changed, std::string(slotInfo(kSlotStaff).path), 2, "",
                         {{"Caps", int64_t(before), int64_t(after), false}}});
    writeTextFile(json, diff::toJson(r));
    return diff::planPatch(a_, json);
  };
  const diff::Plan conflict = plan(caps + 2, caps + 1), tooBig = plan(caps, 300);
  EXPECT_EQ(std::tie(conflict.question, conflict.force),
            std::make_tuple("1 fields do not hold the patch's old value. Apply the patch (1 fields in 1 records) and "
                            "write over them?",
                            true));
  EXPECT_EQ(tooBig.refusal, "The patch cannot be applied.");
  // Forced, a patch holding a value its field cannot store writes none of its fields.
  diff::Result forced = tooBig.patch;
  forced.records[0].fields.push_back({"Wage", int64_t(original.Wage()), int64_t(original.Wage() + 1), false});
  diff::apply(a_, forced, true);
  EXPECT_EQ(a_.read<StaffRecord>(kSlotStaff, 3).bytes, original.bytes);
  EXPECT_TRUE(diff::write(a_, conflict).empty());
  EXPECT_EQ(a_.read<StaffRecord>(kSlotStaff, 3).Caps(), caps + 1);

  auto rows = exported(a_, "people");
  cellOf(rows, "staff.Caps") = "300";
  writeTextFile(csv, csvText(rows));
  const diff::Plan refused = exchange::planImport(a_, "people", csv);
  EXPECT_EQ(std::make_tuple(refused.refusal, refused.problems.size()), std::make_tuple("Nothing was imported.", 1u));
  EXPECT_EQ(exchange::planImport(a_, "people", csv + "x").refusal, csv + "x could not be read.");
  EXPECT_EQ(diff::planPatch(a_, csv).refusal, "Not a patch.");
}

TEST(Plan, FirstLinesMiscountWhatIsLeftOut) {
  const std::vector<std::string> twelve(12, "x");
  const std::string ten = "x\nx\nx\nx\nx\nx\nx\nx\nx\nx";
  EXPECT_EQ(diff::firstLines(twelve), ten + "\n… and 2 more");
  EXPECT_EQ(diff::firstLines({twelve.begin(), twelve.begin() + 10}), ten);
}

// A text comes back byte for byte past the read buffer; a replaced file
// keeps its permissions; a failure names the file chosen, not the temporary
// one beside it, and leaves nothing there.
TEST(TextFile, ReadBackDiffersOrAFailureNamesTheTemporaryFile) {
  const ScratchDir dir;
  const std::string path = dir.str() + "/out.csv";
  std::string text(200000, 'x');
  text[70000] = '\0';
  text += "\r\n";
  spit(path, Bytes{'o', 'l', 'd'});
  fs::permissions(path, fs::perms(0600));
  writeTextFile(path, text);
  EXPECT_EQ(readTextFile(path), text);
  EXPECT_EQ(fs::status(path).permissions(), fs::perms(0600));
  EXPECT_EQ(fileNames(dir.path()), std::vector<std::string>{"out.csv"});
  EXPECT_TRUE(failsWith([&] { writeTextFile(dir.str() + "/no/out.csv", text); }, FileError::Kind::PathNotFound,
                        "/no/out.csv: "));
  EXPECT_TRUE(failsWith([&] { readTextFile(dir.str() + "/none.csv"); }, FileError::Kind::PathNotFound, "none.csv: "));
}
