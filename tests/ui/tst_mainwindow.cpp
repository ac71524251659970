// The main window: opening, the search, the person pages and their input
// rules, Update, and the new-player mode.
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>

#include "database/settings.h"
#include "ui/formrules.h"
#include "uitest.h"

using namespace uitest;

class TestMainWindow : public QObject {
  Q_OBJECT
 private slots:
  void startStateOrWrongPathEnablesTheEditing();
  void searchOrPersonPagesShowTheWrongPeopleOrMode();
  void inputRulesLetOtherKeysThroughOrMissAName();
  void illegalValueWritesOrUpdateLosesABox();
  void newPlayerModeWritesOnNoOrLeavesOnARefusal();
};

void TestMainWindow::startStateOrWrongPathEnablesTheEditing() {
  QTemporaryDir prog, empty;
  cm3::writeSettings(prog.path().toStdString(), "C:\\games\\somewhere");
  cm3::ui::TolvPlayer w(prog.path());
  w.show();
  QCOMPARE(child<QLineEdit>(&w, "txtpath")->text(), QStringLiteral("C:\\games\\somewhere"));
  auto editingOff = [&] {
    for (const char* n : {"cmdSearch", "cmdNewPlayer", "cmdUpdate", "cmdScoutOpt", "cmdScout", "cmdTransfer"})
      if (child<QPushButton>(&w, n)->isEnabled()) return false;
    return !child<QTabWidget>(&w, "SSTab1")->isEnabled() && child<QPushButton>(&w, "cmdOpen")->isEnabled();
  };
  QVERIFY(editingOff());
  const QString typed = empty.path() + "/nothing_here";
  child<QLineEdit>(&w, "txtpath")->setText(typed);
  QCOMPARE(boxes([&] { click(&w, "cmdOpen"); }), QStringList{QString::fromLatin1(cm3::kWrongPathMessage)});
  QVERIFY(editingOff());
  QCOMPARE(QString::fromStdString(cm3::readSettings(prog.path().toStdString()).value_or("")), typed);
}

void TestMainWindow::searchOrPersonPagesShowTheWrongPeopleOrMode() {
  Session s;
  QVERIFY(s.open());
  QVERIFY(!child<QLineEdit>(s.w.get(), "txtpath")->isEnabled() && child<QPushButton>(s.w.get(), "cmdSearch")->isEnabled());
  cm3::Database& db = s.w->database();
  auto* search = child<QLineEdit>(s.w.get(), "txtSearch");
  auto* list = child<QListWidget>(s.w.get(), "lstplayers");
  const QString name = q8(db.personName(0));
  search->setText(name.toLower());
  click(s.w.get(), "cmdSearch");
  QVERIFY(list->count() >= 1);
  QCOMPARE(list->count(), int(s.w->matchTable().size()));
  QCOMPARE(list->item(0)->text(), name);
  QCOMPARE(s.w->statusText(), QStringLiteral("%1 Matches").arg(list->count()));
  search->setText(QString());
  click(s.w.get(), "cmdSearch");
  QCOMPARE(list->count(), 500);
  QCOMPARE(s.w->statusText(), QStringLiteral("500 Matches , please refine search"));
  search->setText(QStringLiteral("qqqzzz"));
  QTest::keyClick(search, Qt::Key_Return);  // Enter searches while the button is the default one
  QCOMPARE(s.w->statusText(), QStringLiteral("0 Matches"));

  const int player = s.firstPerson(true), staff = s.firstPerson(false);
  QWidget* page = child<QTabWidget>(s.w.get(), "SSTab1")->widget(1);
  s.showByClick(player);
  QCOMPARE(child<QLabel>(s.w.get(), "lblID")->text(), QString::number(player));
  QVERIFY(child<QWidget>(s.w.get(), "picPositions")->isVisibleTo(page));
  QVERIFY(!child<QWidget>(s.w.get(), "PicStaffAtt")->isVisibleTo(page));
  QVERIFY(!child<QComboBox>(s.w.get(), "cmbFormation")->isEnabled());
  s.showByClick(staff);
  QVERIFY(child<QWidget>(s.w.get(), "PicStaffAtt")->isVisibleTo(page));
  QVERIFY(!child<QWidget>(s.w.get(), "picPositions")->isVisibleTo(page));
  QVERIFY(!child<QWidget>(s.w.get(), "fraMental")->isEnabled());
  s.w->showStaffMember(-1);  // an "Empty" staff row
  QVERIFY(!child<QTabWidget>(s.w.get(), "SSTab1")->widget(0)->isEnabled());
  // Every box of both pages goes back into its field: saving unchanged writes nothing.
  for (int id : {player, staff}) {
    s.showByClick(id);
    QCOMPARE(boxes([&] { click(s.w.get(), "cmdUpdate"); }), QStringList());
  }
  QCOMPARE(s.closeAndCheck(), QString());
  QVERIFY(snapshot(s.data()) == s.before);
}

void TestMainWindow::inputRulesLetOtherKeysThroughOrMissAName() {
  Session s;
  QVERIFY(s.open());
  s.showByClick(s.firstPerson(true));
  auto* caps = child<QLineEdit>(s.w.get(), "txtCaps");
  const QColor normal = cm3::ui::textColour(caps);
  caps->setFocus();
  caps->setText(QStringLiteral("12"));
  caps->setCursorPosition(2);
  QTest::keyClicks(caps, QStringLiteral("a-7"));
  QCOMPARE(caps->text(), QStringLiteral("127"));
  QCOMPARE(cm3::ui::textColour(caps), cm3::ui::kEditColour);
  auto* first = child<QLineEdit>(s.w.get(), "txtFirstname");
  QVERIFY(!s.w->FirstNameChanged);
  first->setFocus();
  first->selectAll();
  QTest::keyClicks(first, first->text().left(1));  // the same letter still marks the name
  QVERIFY(s.w->FirstNameChanged);
  QVERIFY(!s.w->SecondNameChanged);
  // A display sets the colours back but keeps the name marks.
  s.showByClick(s.firstPerson(false));
  QCOMPARE(cm3::ui::textColour(caps), normal);
  QVERIFY(s.w->FirstNameChanged);
  child<QTabWidget>(s.w.get(), "SSTab1")->setCurrentIndex(1);
  click(s.w.get(), "cmdStaffSuper");
  QCOMPARE(child<QLineEdit>(s.w.get(), "txtStaffAtt_7")->text(), QStringLiteral("20"));
}

void TestMainWindow::illegalValueWritesOrUpdateLosesABox() {
  Session s;
  QVERIFY(s.open());
  const int id = s.firstPerson(true);
  const std::vector<std::pair<const char*, QString>> bad = {{"txtCaps", "300"}, {"txtSurname", QString(52, 'x')}};
  for (const auto& [box, text] : bad) {
    s.showByClick(id);
    child<QLineEdit>(s.w.get(), box)->setText(text);
    QCOMPARE(boxes([&] { click(s.w.get(), "cmdUpdate"); }), QStringList{QStringLiteral("Illegal value!")});
  }
  QVERIFY(s.unchanged());
  s.showByClick(id);
  child<QLineEdit>(s.w.get(), "txtCaps")->setText(QStringLiteral("77"));
  auto* surname = child<QLineEdit>(s.w.get(), "txtSurname");
  surname->setFocus();
  surname->end(false);
  QTest::sendKeyEvent(QTest::Click, surname, Qt::Key_unknown, QStringLiteral("é"), Qt::NoModifier);
  const QString typed = surname->text();
  click(s.w.get(), "cmdUpdate");
  QVERIFY(!s.w->SecondNameChanged);
  click(s.w.get(), "cmdUpdate");  // again: no second name appended
  QCOMPARE(s.closeAndCheck(), QString());
  QCOMPARE(slurp(s.data() + "/second_names.dat").size(), s.before[QStringLiteral("second_names.dat")].size() + 60);
  cm3::Database db;
  QVERIFY(db.open(s.game.path().toStdString()));
  QCOMPARE(int(db.read<cm3::StaffRecord>(cm3::kSlotStaff, id + 1).Caps()), 77);
  QVERIFY(q8(db.personName(id)).startsWith(typed.trimmed() + " "));
}

void TestMainWindow::newPlayerModeWritesOnNoOrLeavesOnARefusal() {
  Session s;
  QVERIFY(s.open());
  cm3::Database& db = s.w->database();
  click(s.w.get(), "cmdNewPlayer");
  QVERIFY(!s.w->NewPlayerMode);  // nobody shown yet
  const int tpl = s.firstPerson(true), people = db.PeopleCount();
  s.showByClick(tpl);
  click(s.w.get(), "cmdNewPlayer");
  QVERIFY(s.w->NewPlayerMode);
  QCOMPARE(child<QLabel>(s.w.get(), "lblID")->text(), QString::number(people));
  QCOMPARE(child<QLineEdit>(s.w.get(), "txtSurname")->text() + child<QLineEdit>(s.w.get(), "txtBirthyear")->text(),
           QStringLiteral("1900"));
  QCOMPARE(s.w->focusWidget(), child<QLineEdit>(s.w.get(), "txtFirstname"));
  const Files whileOpen = snapshot(s.data());
  QCOMPARE(boxes([&] { click(s.w.get(), "cmdUpdate"); }, {QMessageBox::No}), QStringList{QStringLiteral("Add New Player")});
  QVERIFY(!s.w->NewPlayerMode);
  QCOMPARE(child<QLabel>(s.w.get(), "lblID")->text(), QString::number(tpl));
  QVERIFY(snapshot(s.data()) == whileOpen);
  click(s.w.get(), "cmdNewPlayer");
  child<QLineEdit>(s.w.get(), "txtFirstname")->setText(QStringLiteral("  Ann"));
  child<QLineEdit>(s.w.get(), "txtSurname")->setText(QStringLiteral("Quxworthy"));
  child<QLineEdit>(s.w.get(), "txtCaps")->setText(QString());
  QCOMPARE(boxes([&] { click(s.w.get(), "cmdUpdate"); }, {QMessageBox::Yes}),
           QStringList({"Add New Player", "Illegal value!"}));
  QVERIFY(s.w->NewPlayerMode);
  child<QLineEdit>(s.w.get(), "txtCaps")->setText(QStringLiteral("7"));
  QCOMPARE(boxes([&] { click(s.w.get(), "cmdUpdate"); }, {QMessageBox::Yes}), QStringList{QStringLiteral("Add New Player")});
  QCOMPARE(s.w->statusText(), QStringLiteral("Quxworthy Ann added to cm3 Database!"));
  QVERIFY(!s.w->NewPlayerMode);
  QCOMPARE(db.PeopleCount(), people + 1);
  QCOMPARE(s.w->CurrentPersonId, people);
  QCOMPARE(s.closeAndCheck(), QString());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
