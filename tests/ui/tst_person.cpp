// The person pages of the main window, driven by object name on a generated
// game directory: showing, the input rules, saving, and what lands in the
// game files after closing.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <fstream>
#include <iterator>
#include <map>

#include "database/database.h"
#include "records/cp1252.h"
#include "records/records.h"
#include "sample/generator.h"
#include "ui/formrules.h"
#include "ui/mainwindow.h"
#include "uitest.h"

using cm3::ui::TolvPlayer;


using namespace uitest;
class TestPerson : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void showsAPlayer();
  void showsANonPlayer();
  void inputRules();
  void updateWritesTheBoxesIntoTheFiles();
  void illegalValueLeavesEveryFileUntouched();
  void typedNamesAreAppended();
  void searchTexts();

 private:
  void openWindow();
  int firstPerson(bool player);
  // Searches the person's display name and clicks his row.
  void showByClick(int personId);
  void closeWindow() {
    w_->close();
    QVERIFY(child<QLineEdit>(*w_, "txtpath")->isEnabled());
  }
  cm3::StaffRecord staffAfterClose(int personId) {
    Bytes b = slurp(data() + "/staff.dat");
    cm3::StaffRecord s;
    std::copy_n(b.begin() + personId * 157, 157, s.bytes.begin());
    return s;
  }
  QString data() const { return game_->path() + "/Data"; }

  std::unique_ptr<QTemporaryDir> prog_, game_;
  std::unique_ptr<TolvPlayer> w_;
  std::map<QString, Bytes> before_;
};

void TestPerson::init() {
  prog_ = std::make_unique<QTemporaryDir>();
  game_ = std::make_unique<QTemporaryDir>();
  cm3::sample::generate(game_->path().toStdString(), cm3::sample::smallPreset(), 11);
  before_ = snapshot(data());
  openWindow();
}

void TestPerson::cleanup() {
  // Whatever the test did, the files it leaves must be consistent.
  if (w_) w_->close();
  w_.reset();
  const QString problems = checkProblems(game_->path());
  game_.reset();
  prog_.reset();
  QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

void TestPerson::openWindow() {
  w_ = std::make_unique<TolvPlayer>(prog_->path());
  w_->show();
  w_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(w_.get()));
  child<QLineEdit>(*w_, "txtpath")->setText(game_->path());
  QTest::mouseClick(child<QPushButton>(*w_, "cmdOpen"), Qt::LeftButton);
  QVERIFY(w_->database().isOpen());
  // The progress window took the activation; give it back for the focus rules.
  w_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(w_.get()));
}

int TestPerson::firstPerson(bool player) {
  auto& db = w_->database();
  for (int i = 0; i < db.PeopleCount(); ++i)
    if (db.read<cm3::StaffRecord>(cm3::kSlotStaff, i + 1).isPlayer() == player) return i;
  qFatal("no such person");
}

void TestPerson::showByClick(int personId) {
  auto& db = w_->database();
  auto* search = child<QLineEdit>(*w_, "txtSearch");
  search->setText(q8(db.personName(personId)));
  QTest::mouseClick(child<QPushButton>(*w_, "cmdSearch"), Qt::LeftButton);
  auto* list = child<QListWidget>(*w_, "lstplayers");
  const auto& table = w_->matchTable();
  auto it = std::find(table.begin(), table.end(), personId);
  QVERIFY(it != table.end());
  int row = int(it - table.begin());
  list->scrollToItem(list->item(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
  QCOMPARE(w_->CurrentPersonId, personId);
}

void TestPerson::showsAPlayer() {
  auto& db = w_->database();
  int id = firstPerson(true);
  auto* tabs = child<QTabWidget>(*w_, "SSTab1");
  showByClick(id);
  cm3::StaffRecord s = db.read<cm3::StaffRecord>(cm3::kSlotStaff, id + 1);
  cm3::PlayerAttRecord a = db.read<cm3::PlayerAttRecord>(cm3::kSlotStaffAtt, s.PlayerAttIndex() + 1);
  QCOMPARE(child<QLabel>(*w_, "lblID")->text(), QString::number(id));
  QCOMPARE(child<QLineEdit>(*w_, "txtBirthyear")->text(), QString::number(s.BirthYear()));
  QCOMPARE(child<QLineEdit>(*w_, "txtwages")->text(), QString::number(s.Wage()));
  QCOMPARE(child<QLineEdit>(*w_, "txtTemperament")->text(), QString::number(s.Temperament()));
  QCOMPARE(child<QLineEdit>(*w_, "txtAtt_41")->text(), QString::number(a.Attribute(41)));
  QCOMPARE(child<QLineEdit>(*w_, "txtFreeRole")->text(), QString::number(a.PositionRating(11)));
  QCOMPARE(child<QLineEdit>(*w_, "txtPotAbility")->text(), QString::number(a.PotentialAbility()));
  QCOMPARE(child<QComboBox>(*w_, "cmbClass")->currentIndex(), int(s.ClassCode()));
  QCOMPARE(child<QComboBox>(*w_, "cmbnations")->currentIndex(), s.NationId() < 0 ? -1 : s.NationId());
  QVERIFY(tabs->isEnabled());
  QVERIFY(tabs->isTabEnabled(1) && tabs->isTabEnabled(2));
  QVERIFY(child<QWidget>(*w_, "picPositions")->isVisibleTo(tabs->widget(1)));
  QVERIFY(!child<QWidget>(*w_, "PicStaffAtt")->isVisibleTo(tabs->widget(1)));
  QVERIFY(!child<QComboBox>(*w_, "cmbFormation")->isEnabled());
  if (s.ClubId() >= 0) {
    QCOMPARE(child<QLineEdit>(*w_, "txtClub")->text(), q8(db.clubNames[size_t(s.ClubId())]));
    QCOMPARE(child<QComboBox>(*w_, "cmbSquad")->currentIndex(), s.ClubId());
  }
}

void TestPerson::showsANonPlayer() {
  auto& db = w_->database();
  // A player first, so that stale player boxes would show if left behind.
  showByClick(firstPerson(true));
  int id = firstPerson(false);
  showByClick(id);
  cm3::StaffRecord s = db.read<cm3::StaffRecord>(cm3::kSlotStaff, id + 1);
  cm3::StaffAttRecord a = db.read<cm3::StaffAttRecord>(cm3::kSlotStaffAtt2, s.StaffAttIndex() + 1);
  auto* page = child<QTabWidget>(*w_, "SSTab1")->widget(1);
  QVERIFY(child<QWidget>(*w_, "PicStaffAtt")->isVisibleTo(page));
  QVERIFY(!child<QWidget>(*w_, "picPositions")->isVisibleTo(page));
  QVERIFY(!child<QWidget>(*w_, "fraMental")->isEnabled());
  QVERIFY(child<QComboBox>(*w_, "cmbFormation")->isEnabled());
  QCOMPARE(child<QComboBox>(*w_, "cmbFormation")->currentIndex(), int(a.PreferredFormation()));
  for (int k = 0; k < 21; ++k)
    QCOMPARE(child<QLineEdit>(*w_, QStringLiteral("txtStaffAtt_%1").arg(k))->text(),
             QString::number(a.StaffAttribute(k)));
  QCOMPARE(child<QLineEdit>(*w_, "txtWorldRep")->text(), QString::number(a.WorldReputation()));
  QCOMPARE(child<QLabel>(*w_, "Label14_20")->text(), QStringLiteral("Acceleration"));

  // The staff view shows the same person boxes.
  w_->showStaffMember(firstPerson(true));
  QVERIFY(child<QWidget>(*w_, "picPositions")->isVisibleTo(page));
  w_->showStaffMember(id);
  QCOMPARE(child<QLineEdit>(*w_, "txtStaffAtt_0")->text(), QString::number(a.StaffAttribute(0)));
  w_->showStaffMember(-1);
  QVERIFY(!child<QTabWidget>(*w_, "SSTab1")->widget(0)->isEnabled());

  // Saving him unchanged writes the same bytes.
  showByClick(id);
  QTest::mouseClick(child<QPushButton>(*w_, "cmdUpdate"), Qt::LeftButton);
  closeWindow();
  auto after = snapshot(data());
  for (auto& [name, bytes] : before_) QVERIFY2(after[name] == bytes, qPrintable(name));
}

void TestPerson::inputRules() {
  showByClick(firstPerson(true));
  auto* caps = child<QLineEdit>(*w_, "txtCaps");
  const QColor normal = cm3::ui::textColour(caps);
  caps->setFocus();
  caps->setText(QStringLiteral("12"));
  caps->setCursorPosition(2);
  QTest::keyClick(caps, Qt::Key_A);
  QTest::keyClick(caps, Qt::Key_Minus);
  QCOMPARE(caps->text(), QStringLiteral("12"));
  QCOMPARE(cm3::ui::textColour(caps), normal);
  QTest::keyClick(caps, Qt::Key_7);
  QCOMPARE(caps->text(), QStringLiteral("127"));
  QCOMPARE(cm3::ui::textColour(caps), cm3::ui::kEditColour);

  auto* value = child<QLineEdit>(*w_, "txtvalue");
  value->setFocus();
  value->setText(QStringLiteral("123"));
  value->setCursorPosition(3);
  QTest::keyClick(value, Qt::Key_Backspace);
  QTest::keyClick(value, Qt::Key_X);
  QCOMPARE(value->text(), QStringLiteral("12"));
  QCOMPARE(cm3::ui::textColour(value), normal);  // no colour rule on the value box

  // Entering an attribute box selects it; the next digit replaces it.
  auto* att = child<QLineEdit>(*w_, "txtAtt_3");
  att->setText(QStringLiteral("15"));
  child<QTabWidget>(*w_, "SSTab1")->setCurrentIndex(1);
  QTest::mouseClick(att, Qt::LeftButton);
  QTRY_COMPARE(att->selectedText(), QStringLiteral("15"));
  QTest::keyClick(att, Qt::Key_9);
  QCOMPARE(att->text(), QStringLiteral("9"));

  // A key in a name box marks the name changed, even over the same letter.
  auto* first = child<QLineEdit>(*w_, "txtFirstname");
  QVERIFY(!w_->FirstNameChanged);
  first->setFocus();
  first->selectAll();
  const QString old = first->text();
  QTest::keyClicks(first, old.left(1));
  QVERIFY(w_->FirstNameChanged);
  QVERIFY(!w_->SecondNameChanged);
  QCOMPARE(cm3::ui::textColour(first), cm3::ui::kEditColour);

  // A display sets the colours back but keeps the name marks.
  showByClick(firstPerson(false));
  child<QTabWidget>(*w_, "SSTab1")->setCurrentIndex(1);
  QCOMPARE(cm3::ui::textColour(first), normal);
  QCOMPARE(cm3::ui::textColour(caps), normal);
  QVERIFY(w_->FirstNameChanged);

  QTest::mouseClick(child<QPushButton>(*w_, "cmdStaffSuper"), Qt::LeftButton);
  for (int k = 0; k < 21; ++k)
    QCOMPARE(child<QLineEdit>(*w_, QStringLiteral("txtStaffAtt_%1").arg(k))->text(), QStringLiteral("20"));
}

void TestPerson::updateWritesTheBoxesIntoTheFiles() {
  int id = firstPerson(true);
  showByClick(id);
  const cm3::StaffRecord old = w_->database().read<cm3::StaffRecord>(cm3::kSlotStaff, id + 1);
  child<QLineEdit>(*w_, "txtCaps")->setText(QStringLiteral("77"));
  child<QLineEdit>(*w_, "txtBirthyear")->setText(QStringLiteral("1980"));
  child<QLineEdit>(*w_, "txtvalue")->setText(QStringLiteral("-1500000"));
  child<QComboBox>(*w_, "cmbnations2")->setCurrentIndex(3);
  child<QTabWidget>(*w_, "SSTab1")->setCurrentIndex(1);
  QTest::mouseClick(child<QPushButton>(*w_, "cmdSuper"), Qt::LeftButton);
  child<QLineEdit>(*w_, "txtAtt_0")->setText(QStringLiteral("300"));
  QTest::mouseClick(child<QPushButton>(*w_, "cmdUpdate"), Qt::LeftButton);
  closeWindow();

  cm3::StaffRecord s = staffAfterClose(id);
  QCOMPARE(int(s.Caps()), 77);
  QCOMPARE(int(s.BirthYear()), 1980);
  QCOMPARE(s.Value(), -1500000);
  QCOMPARE(s.SecondNationId(), 3);
  // Every other byte of the record is as before.
  for (size_t i = 0; i < s.kSize; ++i) {
    const bool edited = i == 18 || i == 19 || (i >= 30 && i < 34) || i == 34 || (i >= 82 && i < 86);
    if (!edited) QVERIFY2(s.bytes[i] == old.bytes[i], qPrintable(QString::number(i)));
  }
  // The attributes went back into staff.dat: a fresh open reads them.
  cm3::Database db;
  QVERIFY(db.open(game_->path().toStdString()));
  cm3::PlayerAttRecord a = db.read<cm3::PlayerAttRecord>(cm3::kSlotStaffAtt, s.PlayerAttIndex() + 1);
  QCOMPARE(int(a.Attribute(0)), 44);
  for (int k = 1; k < 42; ++k) QCOMPARE(int(a.Attribute(k)), 20);
  db.close();
}

void TestPerson::illegalValueLeavesEveryFileUntouched() {
  const std::vector<std::pair<const char*, QString>> bad = {
      {"txtCaps", "300"}, {"txtdays", ""}, {"txtwages", "12x"}, {"txtAtt_5", "40000"}, {"txtSurname", QString(52, 'x')}};
  for (const auto& [box, text] : bad) {
    showByClick(firstPerson(true));
    auto* b = child<QLineEdit>(*w_, box);
    const QString was = b->text();
    b->setText(text);
    QString shown;
    answerNextBox(&shown);
    QTest::mouseClick(child<QPushButton>(*w_, "cmdUpdate"), Qt::LeftButton);
    QCOMPARE(shown, QStringLiteral("Illegal value!"));
    b->setText(was);
  }
  closeWindow();
  auto after = snapshot(data());
  for (auto& [name, bytes] : before_) QVERIFY2(after[name] == bytes, qPrintable(name));
}

void TestPerson::typedNamesAreAppended() {
  int id = firstPerson(true);
  showByClick(id);
  auto* surname = child<QLineEdit>(*w_, "txtSurname");
  surname->setFocus();
  surname->end(false);
  QTest::sendKeyEvent(QTest::Click, surname, Qt::Key_unknown, QStringLiteral("é"), Qt::NoModifier);
  QVERIFY(w_->SecondNameChanged);
  const QString expected = surname->text();
  QTest::mouseClick(child<QPushButton>(*w_, "cmdUpdate"), Qt::LeftButton);
  QVERIFY(!w_->SecondNameChanged);
  QCOMPARE(cm3::ui::textColour(surname), cm3::ui::textColour(child<QLineEdit>(*w_, "txtCommon")));
  // Saving again appends nothing more.
  QTest::mouseClick(child<QPushButton>(*w_, "cmdUpdate"), Qt::LeftButton);
  closeWindow();

  const size_t before = before_[QStringLiteral("second_names.dat")].size();
  Bytes names = slurp(data() + "/second_names.dat");
  QCOMPARE(names.size(), before + 60);
  cm3::NameRecord added;
  std::copy_n(names.end() - 60, 60, added.bytes.begin());
  QCOMPARE(q8(added.Name()), expected);
  cm3::StaffRecord s = staffAfterClose(id);
  QCOMPARE(s.SecondNameId(), int32_t(before / 60));
  QCOMPARE(before_[QStringLiteral("first_names.dat")], slurp(data() + "/first_names.dat"));
  // The index counts the new name; a reopen lists the person under it.
  cm3::Database db;
  QVERIFY(db.open(game_->path().toStdString()));
  QCOMPARE(db.readIndex(cm3::kEntrySecondNames).Count(), int32_t(before / 60 + 1));
  QVERIFY(q8(db.personName(id)).startsWith(expected.trimmed() + " "));
  db.close();
}

void TestPerson::searchTexts() {
  auto* search = child<QLineEdit>(*w_, "txtSearch");
  auto* button = child<QPushButton>(*w_, "cmdSearch");
  auto* list = child<QListWidget>(*w_, "lstplayers");
  auto* status = child<QLabel>(*w_, "ccrpStatusBar_panel1");
  const int people = w_->database().PeopleCount();
  QVERIFY(people >= 500);
  search->setText(QString());
  QTest::mouseClick(button, Qt::LeftButton);
  QCOMPARE(list->count(), 500);
  QCOMPARE(status->text(), QStringLiteral("500 Matches , please refine search"));
  QCOMPARE(w_->matchTable().back(), 499);

  search->setText(QStringLiteral("qqqzzz"));
  QVERIFY(button->isDefault());
  QTest::keyClick(search, Qt::Key_Return);
  QCOMPARE(list->count(), 0);
  QCOMPARE(status->text(), QStringLiteral("0 Matches"));
  QVERIFY(!button->isDefault());
  // Enter again without an edit does not search again.
  list->addItem(QStringLiteral("marker"));
  QTest::keyClick(search, Qt::Key_Return);
  QCOMPARE(list->count(), 1);

  // Lower and upper case find the same rows; an unclosed "[" is harmless.
  const QString name = q8(w_->database().personName(0));
  search->setText(name.toLower());
  QTest::mouseClick(button, Qt::LeftButton);
  const int lower = list->count();
  QVERIFY(lower >= 1);
  QCOMPARE(list->item(0)->text(), name);
  search->setText(name.toUpper());
  QTest::mouseClick(button, Qt::LeftButton);
  QCOMPARE(list->count(), lower);
  search->setText(QStringLiteral("[ab"));
  QTest::mouseClick(button, Qt::LeftButton);
  QVERIFY(status->text().endsWith(QStringLiteral(" Matches")));
}

QTEST_MAIN(TestPerson)
#include "tst_person.moc"
