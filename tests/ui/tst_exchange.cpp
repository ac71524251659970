// The File menu: an import and a patch say what they will change, ask, write
// as one undoable action, and the boxes show the written values.
#include <QAction>
#include <QLineEdit>

#include <fstream>

#include "diff/patch.h"
#include "ui/exchangepanel.h"
#include "uitest.h"

using namespace uitest;

class TestExchange : public QObject {
  Q_OBJECT
 private slots:
  void importOrPatchWritesWithoutAskingOrNotAsOneUndoableAction();
};

void TestExchange::importOrPatchWritesWithoutAskingOrNotAsOneUndoableAction() {
  Session s;
  QVERIFY(s.open());
  cm3::Database& db = s.w->database();
  const int person = s.firstPerson(true);
  s.w->showPerson(person);
  auto* caps = child<QLineEdit>(s.w.get(), "txtCaps");
  const int before = caps->text().toInt(), edited = before == 7 ? 8 : 7;
  auto* panel = s.panel<cm3::ui::ExchangePanel>();

  // An export with one cell changed, taken back.
  const QString csv = s.game.path() + "/people.csv";
  panel->exportTo(QStringLiteral("people"), csv);
  const Bytes bytes = slurp(csv);
  std::string text(bytes.begin(), bytes.end());
  const size_t header = text.find("\r\n"), column = size_t(std::count(text.begin(), text.begin() + text.find("staff.Caps"), ','));
  size_t at = header + 2;
  for (int row = 0; row < person; ++row) at = text.find("\r\n", at) + 2;
  for (size_t c = 0; c < column; ++c) at = text.find(',', at) + 1;
  text.replace(at, text.find(',', at) - at, std::to_string(edited));
  std::ofstream(csv.toStdString(), std::ios::binary) << text;
  QCOMPARE(boxes([&] { panel->importFrom(QStringLiteral("people"), csv); }, {QMessageBox::Yes}),
           QStringList{QStringLiteral("Import 1 changed fields in 1 records?")});
  QCOMPARE(caps->text().toInt(), edited);
  s.w->findChild<QAction*>(QStringLiteral("actUndo"))->trigger();
  QCOMPARE(caps->text().toInt(), before);

  // A patch of the same field; "No" writes nothing, "Yes" writes it.
  cm3::diff::Result patch;
  patch.records.push_back({cm3::diff::RecordChange::Kind::Changed, "\\Data\\staff.dat", person, "",
                           {{"Caps", cm3::FieldValue(int64_t(before)), cm3::FieldValue(int64_t(edited)), false}}});
  const QString file = s.game.path() + "/caps.json";
  std::ofstream(file.toStdString(), std::ios::binary) << cm3::diff::toJson(patch);
  QCOMPARE(boxes([&] { panel->applyPatchFrom(file); }), QStringList{QStringLiteral("Apply the patch: 1 fields in 1 records?")});
  QCOMPARE(caps->text().toInt(), before);
  boxes([&] { panel->applyPatchFrom(file); }, {QMessageBox::Yes});
  QCOMPARE(caps->text().toInt(), edited);
  QCOMPARE(db.read<cm3::StaffRecord>(cm3::kSlotStaff, person + 1).Caps(), uint8_t(edited));
}

QTEST_MAIN(TestExchange)
#include "tst_exchange.moc"
