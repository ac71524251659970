// The binder between a form of the core and a window's controls, on a small
// form of its own: each conversion kind both ways.
#include <QtTest>

#include <array>

#include "ui/binder.h"

using cm3::ui::Binder;
using cm3::ui::Binding;
using cm3::ui::element;

namespace {

struct Form {
  std::string name, id, untouched = "kept";
  int row = -1, group = -1, flag = 0;
  bool ticked = false;
  std::array<int, 2> pair{-1, -1};
};

const Binding<Form> kTable[] = {
    {"txtName", &Form::name}, {"lblID", &Form::id},       {"cmbRow", &Form::row},
    {"lstGroup", &Form::group}, {"chkFlag", &Form::flag}, {"chkTicked", &Form::ticked},
    {"cmbSecond", element<&Form::pair, 1>},
};

}  // namespace

class TestBinder : public QObject {
  Q_OBJECT
 private slots:
  void formSurvivesFillAndRead();
  void unselectedListRowReadsAsNone();
};

// A conversion that loses or moves a value: a Windows-1252 text, an array
// entry landing in the wrong entry, a check box that is not 255/0, a
// member without a control overwritten by read.
void TestBinder::formSurvivesFillAndRead() {
  QWidget root;
  for (const char* name : {"cmbRow", "cmbSecond"}) cm3::ui::make<QComboBox>(&root, name)->addItems({"a", "b", "c"});
  cm3::ui::make<QListWidget>(&root, "lstGroup")->addItems({"x", "y"});
  cm3::ui::make<QLineEdit>(&root, "txtName");
  cm3::ui::make<QLabel>(&root, "lblID");
  cm3::ui::make<QCheckBox>(&root, "chkFlag");
  cm3::ui::make<QCheckBox>(&root, "chkTicked");
  const Binder<Form> binder(&root, kTable);

  Form shown{"Caf\xE9 Rovers", "12", "not read", 2, 1, 255, true, {0, 1}};
  binder.fill(shown);
  QCOMPARE(root.findChild<QLineEdit*>("txtName")->text(), QStringLiteral("Café Rovers"));
  QCOMPARE(root.findChild<QComboBox*>("cmbSecond")->currentIndex(), 1);
  QCOMPARE(root.findChild<QLineEdit*>("txtName")->cursorPosition(), 0);

  QCOMPARE(binder.read(shown).untouched, std::string("not read"));
  const Form back = binder.read();
  QCOMPARE(back.name, shown.name);
  QCOMPARE(back.id, shown.id);
  QCOMPARE((std::array{back.row, back.group, back.flag, back.pair[0], back.pair[1]}),
           (std::array{2, 1, 255, -1, 1}));
  QVERIFY(back.ticked);

  binder.fill(Form{});
  const Form cleared = binder.read();
  QCOMPARE((std::array{cleared.row, cleared.group, cleared.flag, cleared.pair[1]}), (std::array{-1, -1, 0, -1}));
  QVERIFY(!cleared.ticked);
}

// A list whose current row has been deselected chooses nothing.
void TestBinder::unselectedListRowReadsAsNone() {
  QWidget root;
  auto* list = cm3::ui::make<QListWidget>(&root, "lstGroup");
  list->addItems({"x", "y"});
  const Binding<Form> table[] = {{"lstGroup", &Form::group}};
  const Binder<Form> binder(&root, table);
  list->setCurrentRow(1);
  list->currentItem()->setSelected(false);
  QCOMPARE(binder.read().group, -1);
}

QTEST_MAIN(TestBinder)
#include "tst_binder.moc"
