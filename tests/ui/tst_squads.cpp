// The squad lists, transfers and new players of the main window, driven by
// object name on a generated game directory whose clubs are arranged first:
// club 4 holds three players, club 6 two with a hole between them, club 9 is
// full, club 12 empty, and one player has no club.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <utility>
#include <QtTest>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>

#include "database/database.h"
#include "records/records.h"
#include "sample/generator.h"
#include "squads/squads.h"
#include "ui/formrules.h"
#include "ui/mainwindow.h"
#include "ui/squadpanel.h"
#include "uitest.h"

using cm3::ui::SquadPanel;
using cm3::ui::TolvPlayer;
using namespace uitest;

namespace {

// Gives `club` these player slots, keeping every ClubId in step.
void setSquad(cm3::Database& db, int club, const cm3::squads::PlayerSlots& squad) {
  auto person = [&](int32_t id) { return db.read<cm3::StaffRecord>(cm3::kSlotStaff, id + 1); };
  auto setClub = [&](int32_t id, int32_t c) {
    cm3::StaffRecord s = person(id);
    s.setClubId(c);
    db.write(cm3::kSlotStaff, id + 1, s);
  };
  cm3::ClubRecord r = db.read<cm3::ClubRecord>(cm3::kSlotClub, club + 1);
  for (int32_t v : cm3::squads::decodePlayerSlots(r))
    if (v >= 0 && std::find(squad.begin(), squad.end(), v) == squad.end()) setClub(v, -1);
  for (int32_t v : squad) {
    if (v < 0) continue;
    const int32_t prev = person(v).ClubId();
    if (prev >= 0) {
      cm3::ClubRecord old = db.read<cm3::ClubRecord>(cm3::kSlotClub, prev + 1);
      for (int k = 0; k < cm3::squads::kPlayerSlots; ++k)
        if (old.PlayerSlot(k) == v) old.setPlayerSlot(k, -1);
      for (int k = 0; k < cm3::squads::kStaffSlots; ++k)
        if (old.StaffSlot(k) == v) old.setStaffSlot(k, -1);
      db.write(cm3::kSlotClub, prev + 1, old);
    }
    setClub(v, club);
  }
  r = db.read<cm3::ClubRecord>(cm3::kSlotClub, club + 1);
  cm3::squads::encodePlayerSlots(r, squad);
  db.write(cm3::kSlotClub, club + 1, r);
}

cm3::squads::PlayerSlots slotsOf(std::initializer_list<int32_t> occupied) {
  cm3::squads::PlayerSlots s = cm3::squads::emptyPlayerSlots();
  size_t k = 0;
  for (int32_t v : occupied) s[k++] = v;
  return s;
}

// Answers the coming message boxes one after the other, recording their texts.
void answerInTurn(std::deque<QMessageBox::StandardButton> answers, QStringList* texts) {
  QTimer::singleShot(20, [answers, texts]() mutable {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box && box->isVisible()) {
      texts->append(box->text());
      if (QAbstractButton* b = box->button(answers.front()))
        b->click();
      else
        box->accept();
      answers.pop_front();
    }
    if (!answers.empty()) answerInTurn(std::move(answers), texts);
  });
}

int32_t i32At(const Bytes& b, size_t off) {
  return int32_t(uint32_t(b[off]) | uint32_t(b[off + 1]) << 8 | uint32_t(b[off + 2]) << 16 | uint32_t(b[off + 3]) << 24);
}

}  // namespace

class TestSquads : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void listsShowEverySlot();
  void captionsAndTheKeysOfTheClubCombos();
  void thePersonListSelectsHisRow();
  void transferBetweenClubsThenReopen();
  void freeTransferAnsweredNoThenYes();
  void signingAFreePlayer();
  void refusalsChangeNothing();
  void slotValuesBeyondThePeople();
  void doubleClickOpensTheClubWindow();
  void addingAPlayerThenReopen();

 private:
  void arrange(const std::function<void(cm3::Database&)>& change);
  void openWindow();
  void closeWindow() {
    w_->close();
    QVERIFY(child<QLineEdit>(*w_, "txtpath")->isEnabled());
  }
  void showByClick(int personId);
  void clickRow(QListWidget* list, int row);
  SquadPanel* panel() const {
    for (auto* p : w_->panels())
      if (auto* s = qobject_cast<SquadPanel*>(p)) return s;
    qFatal("no squad panel");
  }
  QString name(int id) { return q8(w_->database().personName(id)); }
  QString club(int id) { return q8(w_->database().clubNames[size_t(id)]); }
  int32_t clubIdInFile(int id) { return i32At(slurp(data() + "/staff.dat"), size_t(id) * 157 + 57); }
  QStringList rows(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
  }
  QString data() const { return game_->path() + "/Data"; }

  QComboBox* cmbSquad() { return child<QComboBox>(*w_, "cmbSquad"); }
  QComboBox* cmbTransclub() { return child<QComboBox>(*w_, "cmbTransclub"); }
  QListWidget* lstSquad() { return child<QListWidget>(*w_, "lstSquad"); }
  QListWidget* lstTranssquad() { return child<QListWidget>(*w_, "lstTranssquad"); }
  QListWidget* lstStaff() { return child<QListWidget>(*w_, "lstStaff"); }
  QPushButton* cmdTransfer() { return child<QPushButton>(*w_, "cmdTransfer"); }

  std::unique_ptr<QTemporaryDir> prog_, game_;
  std::unique_ptr<TolvPlayer> w_;
  std::map<QString, Bytes> before_;
  bool plantedFault_ = false;  // the test spoils a club on purpose
  std::vector<int32_t> a_, b_;  // the players of clubs 4 and 6
  int32_t free_ = -1;           // a player without a club
};

void TestSquads::arrange(const std::function<void(cm3::Database&)>& change) {
  cm3::Database db;
  QVERIFY(db.open(game_->path().toStdString()));
  change(db);
  db.close();
}

void TestSquads::init() {
  prog_ = std::make_unique<QTemporaryDir>();
  game_ = std::make_unique<QTemporaryDir>();
  cm3::sample::generate(game_->path().toStdString(), cm3::sample::smallPreset(), 17);
  arrange([this](cm3::Database& db) {
    std::vector<int32_t> clubless, players;
    for (int p = 0; p < db.PeopleCount(); ++p) {
      cm3::StaffRecord s = db.read<cm3::StaffRecord>(cm3::kSlotStaff, p + 1);
      if (!s.isPlayer()) continue;
      (s.ClubId() < 0 ? clubless : players).push_back(p);
    }
    QVERIFY(clubless.size() >= 6);
    a_ = {clubless[0], clubless[1], clubless[2]};
    b_ = {clubless[3], clubless[4]};
    free_ = clubless[5];
    setSquad(db, 4, slotsOf({a_[0], a_[1], a_[2]}));
    setSquad(db, 6, slotsOf({b_[0], -1, b_[1]}));
    setSquad(db, 12, cm3::squads::emptyPlayerSlots());
    cm3::squads::PlayerSlots full;
    for (int k = 0; k < 50; ++k) full[size_t(k)] = players[size_t(k) + 100];
    setSquad(db, 9, full);
  });
  before_ = snapshot(data());
  openWindow();
}

void TestSquads::cleanup() {
  // Whatever the test did, the files it leaves must be consistent.
  if (w_) w_->close();
  w_.reset();
  const QString problems = checkProblems(game_->path());
  game_.reset();
  prog_.reset();
  if (std::exchange(plantedFault_, false))
    QVERIFY2(problems.contains(QStringLiteral("45123")), qPrintable(problems));
  else
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

void TestSquads::openWindow() {
  w_ = std::make_unique<TolvPlayer>(prog_->path());
  w_->show();
  w_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(w_.get()));
  child<QLineEdit>(*w_, "txtpath")->setText(game_->path());
  QTest::mouseClick(child<QPushButton>(*w_, "cmdOpen"), Qt::LeftButton);
  QVERIFY(w_->database().isOpen());
  w_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(w_.get()));
}

void TestSquads::showByClick(int personId) {
  auto* search = child<QLineEdit>(*w_, "txtSearch");
  search->setText(name(personId));
  QTest::mouseClick(child<QPushButton>(*w_, "cmdSearch"), Qt::LeftButton);
  auto* list = child<QListWidget>(*w_, "lstplayers");
  const auto& table = w_->matchTable();
  auto it = std::find(table.begin(), table.end(), personId);
  QVERIFY(it != table.end());
  clickRow(list, int(it - table.begin()));
  QCOMPARE(w_->CurrentPersonId, personId);
}

void TestSquads::clickRow(QListWidget* list, int row) {
  QVERIFY(row >= 0 && row < list->count());
  list->scrollToItem(list->item(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

// ---- The lists ------------------------------------------------------------------------

void TestSquads::listsShowEverySlot() {
  auto& db = w_->database();
  QCOMPARE(lstSquad()->count(), 0);  // nothing until a club is chosen
  QCOMPARE(cmbSquad()->currentIndex(), -1);
  cmbSquad()->setCurrentIndex(4);
  QStringList expected = {name(a_[0]), name(a_[1]), name(a_[2])};
  while (expected.size() < 50) expected << QStringLiteral("Empty");
  QCOMPARE(rows(lstSquad()), expected);
  cm3::ClubRecord r = db.read<cm3::ClubRecord>(cm3::kSlotClub, 5);
  QCOMPARE(lstStaff()->count(), 17);
  for (int k = 0; k < 17; ++k)
    QCOMPARE(lstStaff()->item(k)->text(), r.StaffSlot(k) < 0 ? QStringLiteral("Empty") : name(r.StaffSlot(k)));
  // Row 0 is chosen and shows its person.
  QCOMPARE(lstSquad()->currentRow(), 0);
  QCOMPARE(w_->CurrentPersonId, a_[0]);
  QCOMPARE(child<QLabel>(*w_, "lblID")->text(), QString::number(a_[0]));
  QCOMPARE(child<QLineEdit>(*w_, "txtClub")->text(), club(4));

  cmbTransclub()->setCurrentIndex(6);
  QCOMPARE(lstTranssquad()->count(), 50);
  QCOMPARE(lstTranssquad()->item(0)->text(), name(b_[0]));
  QCOMPARE(lstTranssquad()->item(1)->text(), QStringLiteral("Empty"));
  QCOMPARE(lstTranssquad()->item(2)->text(), name(b_[1]));
  QCOMPARE(panel()->state().TransferSquadCount, 2);
  QCOMPARE(panel()->state().TransferClubId, 6);
  QCOMPARE(cmdTransfer()->text(), QStringLiteral("Transfer"));

  // The transfer list shows its person and leaves the clubs and the button alone.
  cmdTransfer()->setEnabled(false);
  clickRow(lstTranssquad(), 2);
  QCOMPARE(w_->CurrentPersonId, b_[1]);
  QCOMPARE(child<QLineEdit>(*w_, "txtClub")->text(), club(6));
  QCOMPARE(cmbSquad()->currentIndex(), 4);
  QVERIFY(!cmdTransfer()->isEnabled());
  QCOMPARE(cmdTransfer()->text(), QStringLiteral("Transfer"));

  // An "Empty" row shows nobody and switches the button off.
  clickRow(lstSquad(), 1);
  QCOMPARE(w_->CurrentPersonId, a_[1]);
  QVERIFY(cmdTransfer()->isEnabled());
  const cm3::StaffRecord s = db.read<cm3::StaffRecord>(cm3::kSlotStaff, a_[1] + 1);
  QCOMPARE(child<QLineEdit>(*w_, "txtUn")->text(), QString::number(s.Unknown53()));
  clickRow(lstSquad(), 3);
  QCOMPARE(w_->CurrentPersonId, a_[1]);
  QCOMPARE(child<QLabel>(*w_, "lblID")->text(), QString::number(a_[1]));
  QVERIFY(!cmdTransfer()->isEnabled());
  // Clicking the chosen row again acts again.
  clickRow(lstSquad(), 1);
  cmdTransfer()->setEnabled(false);
  clickRow(lstSquad(), 1);
  QVERIFY(cmdTransfer()->isEnabled());

  // A staff row shows that staff member.
  int staffRow = -1;
  for (int k = 0; k < 17 && staffRow < 0; ++k)
    if (r.StaffSlot(k) >= 0) staffRow = k;
  if (staffRow >= 0) {
    clickRow(lstStaff(), staffRow);
    QCOMPARE(w_->CurrentPersonId, r.StaffSlot(staffRow));
    QVERIFY(!cmdTransfer()->isEnabled());
  }

  // An empty club.
  cmbTransclub()->setCurrentIndex(12);
  QCOMPARE(panel()->state().TransferSquadCount, 0);
  QCOMPARE(rows(lstTranssquad()), QStringList(50, QStringLiteral("Empty")));
}

void TestSquads::captionsAndTheKeysOfTheClubCombos() {
  cmbSquad()->setCurrentIndex(4);
  QCOMPARE(cmdTransfer()->text(), QStringLiteral("Free Transfer"));  // a squad row with no transfer club
  QVERIFY(cmdTransfer()->isEnabled());
  cmbTransclub()->setCurrentIndex(6);
  QCOMPARE(cmdTransfer()->text(), QStringLiteral("Transfer"));

  // Typing the transfer club away gives it up.
  auto* search = child<QPushButton>(*w_, "cmdSearch");
  search->setDefault(true);
  cmbTransclub()->setFocus();
  cmbTransclub()->lineEdit()->selectAll();
  QTest::keyClick(cmbTransclub(), Qt::Key_Backspace);
  QCOMPARE(cmbTransclub()->currentIndex(), -1);
  QCOMPARE(panel()->state().TransferClubId, -1);
  QCOMPARE(lstTranssquad()->count(), 0);
  QCOMPARE(cmdTransfer()->text(), QStringLiteral("Free transfer"));
  QVERIFY(!search->isDefault());
  // Typing a club's name and Enter chooses it again.
  QTest::keyClicks(cmbTransclub(), club(6));
  QTest::keyClick(cmbTransclub(), Qt::Key_Return);
  QVERIFY(cmbTransclub()->currentIndex() >= 0);
  QCOMPARE(cmbTransclub()->currentIndex(), cmbTransclub()->findText(club(6)));
  QCOMPARE(lstTranssquad()->count(), 50);

  // A key while a club is chosen offers the button; typing after clearing
  // the text empties the squad list and withdraws it.
  cmdTransfer()->setEnabled(false);
  cmbSquad()->setFocus();
  QTest::keyClick(cmbSquad(), Qt::Key_End);
  QVERIFY(cmdTransfer()->isEnabled());
  cmbSquad()->lineEdit()->selectAll();
  QTest::keyClick(cmbSquad(), Qt::Key_Delete);
  QCOMPARE(cmbSquad()->currentIndex(), -1);
  QTest::keyClick(cmbSquad(), Qt::Key_Q);
  QCOMPARE(lstSquad()->count(), 0);
  QVERIFY(!cmdTransfer()->isEnabled());
}

void TestSquads::thePersonListSelectsHisRow() {
  showByClick(a_[2]);
  QCOMPARE(cmbSquad()->currentIndex(), 4);
  QCOMPARE(lstSquad()->count(), 50);
  QCOMPARE(lstSquad()->currentRow(), 2);
  QVERIFY(!w_->SelectPersonPending);
  QVERIFY(cmdTransfer()->isEnabled());
  // Another person of the club already chosen.
  showByClick(a_[1]);
  QCOMPARE(lstSquad()->currentRow(), 1);
  QVERIFY(!w_->SelectPersonPending);
  // A person without a club empties both lists; choosing a transfer club
  // then offers the signing.
  cmdTransfer()->setEnabled(false);
  showByClick(free_);
  QCOMPARE(cmbSquad()->currentIndex(), -1);
  QCOMPARE(lstSquad()->count(), 0);
  QCOMPARE(lstStaff()->count(), 0);
  QCOMPARE(child<QLineEdit>(*w_, "txtClub")->text(), QString());
  QVERIFY(!cmdTransfer()->isEnabled());
  cmbTransclub()->setCurrentIndex(12);
  QVERIFY(cmdTransfer()->isEnabled());
  QCOMPARE(cmdTransfer()->text(), QStringLiteral("Transfer"));
}

// ---- Transfers ---------------------------------------------------------------------------

void TestSquads::transferBetweenClubsThenReopen() {
  cmbSquad()->setCurrentIndex(4);
  clickRow(lstSquad(), 1);
  cmbTransclub()->setCurrentIndex(6);
  const QString moved = name(a_[1]);
  QTest::mouseClick(cmdTransfer(), Qt::LeftButton);  // a transfer asks nothing

  QCOMPARE(w_->statusText(), moved + " transfered from " + club(4) + " to " + club(6));
  QCOMPARE(lstTranssquad()->item(1)->text(), moved);  // the hole is filled
  QCOMPARE(lstTranssquad()->currentRow(), 1);
  QCOMPARE(lstSquad()->item(1)->text(), QStringLiteral("Empty"));
  QCOMPARE(lstSquad()->currentRow(), 2);  // the next row, showing its person
  QCOMPARE(w_->CurrentPersonId, a_[2]);
  QVERIFY(cmdTransfer()->isEnabled());
  QCOMPARE(clubIdInFile(a_[1]), 6);

  closeWindow();
  // Only the moved person's ClubId and the two clubs' player slots changed.
  auto after = snapshot(data());
  for (auto& [file, bytes] : before_) {
    if (file == "index_temp.dat") continue;
    const Bytes& now = after[file];
    QCOMPARE(now.size(), bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (now[i] == bytes[i]) continue;
      bool allowed = false;
      if (file == "staff.dat") allowed = i >= size_t(a_[1]) * 157 + 57 && i < size_t(a_[1]) * 157 + 61;
      if (file == "club.dat")
        for (int c : {4, 6}) allowed |= i >= size_t(c) * 581 + 215 && i < size_t(c) * 581 + 415;
      QVERIFY2(allowed, qPrintable(QStringLiteral("%1 byte %2").arg(file).arg(i)));
    }
  }
  const Bytes clubs = after["club.dat"];
  QCOMPARE(i32At(clubs, 4 * 581 + 215 + 4), -1);
  QCOMPARE(i32At(clubs, 6 * 581 + 215 + 4), a_[1]);

  openWindow();
  cmbTransclub()->setCurrentIndex(6);
  QCOMPARE(lstTranssquad()->item(1)->text(), moved);
}

void TestSquads::freeTransferAnsweredNoThenYes() {
  cmbSquad()->setCurrentIndex(4);
  clickRow(lstSquad(), 2);
  const QString status = w_->statusText();
  const auto whileOpen = snapshot(data());
  QString text;
  answerNextBox(&text, QMessageBox::No);
  QTest::mouseClick(cmdTransfer(), Qt::LeftButton);
  QCOMPARE(text, QStringLiteral("Free Transfer player?"));
  QCOMPARE(w_->statusText(), status);
  QCOMPARE(lstSquad()->item(2)->text(), name(a_[2]));
  QVERIFY(snapshot(data()) == whileOpen);

  answerNextBox(&text, QMessageBox::Yes);
  QTest::mouseClick(cmdTransfer(), Qt::LeftButton);
  QCOMPARE(w_->statusText(), name(a_[2]) + "  free transfered from " + club(4));
  QCOMPARE(lstSquad()->item(2)->text(), QStringLiteral("Empty"));
  QCOMPARE(lstSquad()->currentRow(), 3);
  QVERIFY(!cmdTransfer()->isEnabled());  // row 3 is empty
  QCOMPARE(clubIdInFile(a_[2]), -1);
  closeWindow();
  QCOMPARE(i32At(slurp(data() + "/club.dat"), 4 * 581 + 215 + 8), -1);
}

void TestSquads::signingAFreePlayer() {
  showByClick(free_);
  cmbTransclub()->setCurrentIndex(6);
  QVERIFY(cmdTransfer()->isEnabled());
  // An edited box stays red unless the person is shown again.
  auto* surname = child<QLineEdit>(*w_, "txtSurname");
  surname->setFocus();
  QTest::keyClick(surname, Qt::Key_End);
  QTest::keyClick(surname, Qt::Key_X);
  QCOMPARE(cm3::ui::textColour(surname), cm3::ui::kEditColour);
  const QString who = name(free_);

  QString text;
  answerNextBox(&text, QMessageBox::Yes);
  QTest::mouseClick(cmdTransfer(), Qt::LeftButton);
  QCOMPARE(text, QStringLiteral("Transfer Free player to Selected team?"));
  QCOMPARE(w_->statusText(), who + "   transfered to  " + club(6));
  QCOMPARE(lstTranssquad()->item(1)->text(), who);
  QCOMPARE(lstTranssquad()->currentRow(), 1);
  QCOMPARE(cm3::ui::textColour(surname), cm3::ui::kEditColour);  // no reload by the selection
  QVERIFY(!cmdTransfer()->isEnabled());
  QVERIFY(!panel()->TransferListBusy);
  QCOMPARE(clubIdInFile(free_), 6);
  QCOMPARE(panel()->state().TransferSquadCount, 3);
  closeWindow();
  QCOMPARE(i32At(slurp(data() + "/club.dat"), 6 * 581 + 215 + 4), free_);
}

void TestSquads::refusalsChangeNothing() {
  auto check = [&](const QString& expected) {
    QString text;
    answerNextBox(&text, QMessageBox::Yes);
    panel()->cmdTransfer_Click();
    QCOMPARE(text, expected);
  };
  cmbSquad()->setCurrentIndex(4);
  clickRow(lstSquad(), 0);
  cmbTransclub()->setCurrentIndex(9);
  check(QStringLiteral("Team is already Full !"));
  cmbTransclub()->setCurrentIndex(4);
  check(QStringLiteral("Can't transfer within the same team!"));
  // The person shown from the transfer list is not the squad row chosen.
  cmbTransclub()->setCurrentIndex(6);
  clickRow(lstTranssquad(), 0);
  cmbTransclub()->setCurrentIndex(12);
  QCOMPARE(lstSquad()->currentRow(), 0);
  check(QString::fromLatin1(cm3::squads::kMismatchMessage));
  // A free player with no transfer club, and full club for him too.
  showByClick(free_);
  cmbTransclub()->setCurrentIndex(-1);
  check(QStringLiteral("Select a club to transfer to!"));
  cmbTransclub()->setCurrentIndex(9);
  QStringList texts;
  answerInTurn({QMessageBox::Yes, QMessageBox::Ok}, &texts);
  panel()->cmdTransfer_Click();
  QCOMPARE(texts, QStringList({"Transfer Free player to Selected team?", "Team is already Full !"}));

  closeWindow();
  auto after = snapshot(data());
  for (auto& [file, bytes] : before_)
    if (file != "index_temp.dat") QVERIFY2(after[file] == bytes, qPrintable(file));
}

void TestSquads::slotValuesBeyondThePeople() {
  plantedFault_ = true;
  closeWindow();
  int people = 0;
  arrange([&](cm3::Database& db) {
    people = db.PeopleCount();
    cm3::ClubRecord r = db.read<cm3::ClubRecord>(cm3::kSlotClub, 12);
    r.setPlayerSlot(0, 45123);
    r.setPlayerSlot(1, people);
    r.setPlayerSlot(2, -77);
    db.write(cm3::kSlotClub, 12, r);
  });
  openWindow();
  showByClick(a_[0]);
  cmbSquad()->setCurrentIndex(11);
  QVERIFY(lstSquad()->item(0)->text().contains(QStringLiteral("45123")));
  QVERIFY(lstSquad()->item(1)->text().contains(QString::number(people)));
  QCOMPARE(lstSquad()->item(2)->text(), QStringLiteral("Empty"));
  QCOMPARE(w_->CurrentPersonId, a_[0]);  // row 0 holds nobody to show
  clickRow(lstSquad(), 1);
  QCOMPARE(child<QLabel>(*w_, "lblID")->text(), QString::number(a_[0]));
  QVERIFY(cmdTransfer()->isEnabled());
  QString text;
  answerNextBox(&text);
  QTest::mouseClick(cmdTransfer(), Qt::LeftButton);
  QCOMPARE(text, QString::fromLatin1(cm3::squads::kMismatchMessage));
  QCOMPARE(clubIdInFile(a_[0]), 4);
}

void TestSquads::doubleClickOpensTheClubWindow() {
  std::vector<int> opened;
  panel()->setClubWindowOpener([&](int c) { opened.push_back(c); });
  QTest::mouseDClick(cmbSquad()->lineEdit(), Qt::LeftButton);
  QVERIFY(opened.empty());  // no club chosen
  cmbSquad()->setCurrentIndex(4);
  QTest::mouseDClick(cmbSquad()->lineEdit(), Qt::LeftButton);
  QCOMPARE(opened, std::vector<int>{4});
  QCOMPARE(w_->ClickTeamID, 4);
}

// ---- New players ------------------------------------------------------------------------

void TestSquads::addingAPlayerThenReopen() {
  auto& db = w_->database();
  auto* lblID = child<QLabel>(*w_, "lblID");
  auto* add = child<QPushButton>(*w_, "cmdNewPlayer");
  auto* update = child<QPushButton>(*w_, "cmdUpdate");
  QTest::mouseClick(add, Qt::LeftButton);
  QVERIFY(!w_->NewPlayerMode);  // nobody shown yet

  const int tpl = a_[0];
  showByClick(tpl);
  const int32_t people = db.PeopleCount();
  const cm3::SectionTable t0 = db.sections();
  const cm3::StaffRecord tplStaff = db.read<cm3::StaffRecord>(cm3::kSlotStaff, tpl + 1);
  const cm3::PlayerAttRecord tplAtt = db.read<cm3::PlayerAttRecord>(cm3::kSlotStaffAtt, tplStaff.PlayerAttIndex() + 1);

  // No: nothing is written, the mode ends and the template person is back.
  QTest::mouseClick(add, Qt::LeftButton);
  QVERIFY(w_->NewPlayerMode);
  const auto whileOpen = snapshot(data());
  QString text;
  answerNextBox(&text, QMessageBox::No);
  QTest::mouseClick(update, Qt::LeftButton);
  QCOMPARE(text, QStringLiteral("Add New Player"));
  QVERIFY(!w_->NewPlayerMode);
  QVERIFY(snapshot(data()) == whileOpen);
  QCOMPARE(lblID->text(), QString::number(tpl));
  QCOMPARE(child<QLineEdit>(*w_, "txtSurname")->text(), q8(db.read<cm3::NameRecord>(cm3::kSlotSecondNames, tplStaff.SecondNameId() + 1).Name()));

  // Entering the mode clears the boxes and shows the coming identifier.
  QTest::mouseClick(add, Qt::LeftButton);
  QVERIFY(w_->NewPlayerMode);
  QCOMPARE(lblID->text(), QString::number(people));
  for (const char* box : {"txtFirstname", "txtSurname", "txtCommon", "txtClub"})
    QCOMPARE(child<QLineEdit>(*w_, box)->text(), QString());
  for (const char* box : {"txtIntGoals", "txtCaps", "txtdays", "txtvalue", "txtwages"})
    QCOMPARE(child<QLineEdit>(*w_, box)->text(), QStringLiteral("0"));
  QCOMPARE(child<QLineEdit>(*w_, "txtBirthyear")->text(), QStringLiteral("1900"));
  QCOMPARE(child<QComboBox>(*w_, "cmbnations")->currentIndex(), -1);
  QCOMPARE(child<QComboBox>(*w_, "cmbnations2")->currentIndex(), -1);
  QCOMPARE(w_->focusWidget(), child<QLineEdit>(*w_, "txtFirstname"));

  // A refused box keeps the mode.
  child<QLineEdit>(*w_, "txtFirstname")->setText(QStringLiteral("  Ann"));
  child<QLineEdit>(*w_, "txtSurname")->setText(QStringLiteral("Quxworthy"));
  child<QLineEdit>(*w_, "txtCaps")->setText(QString());
  QStringList texts;
  answerInTurn({QMessageBox::Yes, QMessageBox::Ok}, &texts);
  QTest::mouseClick(update, Qt::LeftButton);
  QCOMPARE(texts, QStringList({"Add New Player", "Illegal value!"}));
  QVERIFY(w_->NewPlayerMode);

  child<QLineEdit>(*w_, "txtCaps")->setText(QStringLiteral("7"));
  child<QLineEdit>(*w_, "txtAtt_0")->setText(QStringLiteral("99"));  // not saved for a new player
  answerNextBox(nullptr, QMessageBox::Yes);
  QTest::mouseClick(update, Qt::LeftButton);
  QCOMPARE(w_->statusText(), QStringLiteral("Quxworthy Ann added to cm3 Database!"));
  QVERIFY(!w_->NewPlayerMode);
  QCOMPARE(db.PeopleCount(), people + 1);
  QCOMPARE(w_->CurrentPersonId, people);
  closeWindow();

  // The game files: old people in place, the new one after them, the other
  // sections one StaffRecord further on; names appended; history untouched.
  const Bytes& oldStaff = before_["staff.dat"];
  const Bytes staff = slurp(data() + "/staff.dat");
  QVERIFY(std::equal(oldStaff.begin(), oldStaff.begin() + t0.A, staff.begin()));
  QVERIFY(std::equal(oldStaff.begin() + t0.A, oldStaff.begin() + t0.D, staff.begin() + t0.A + 157));
  QCOMPARE(i32At(staff, size_t(t0.A)), people);
  QCOMPARE(slurp(data() + "/staff_history.dat"), before_["staff_history.dat"]);
  QCOMPARE(slurp(data() + "/club.dat"), before_["club.dat"]);
  // Only the accepted attempt appended a pair of names.
  for (const char* names : {"first_names.dat", "second_names.dat"}) {
    const Bytes now = slurp(data() + "/" + names);
    QCOMPARE(now.size(), before_[names].size() + 60);
    QVERIFY(std::equal(before_[names].begin(), before_[names].end(), now.begin()));
  }
  QCOMPARE(slurp(data() + "/common_names.dat"), before_["common_names.dat"]);  // none given

  openWindow();
  auto& again = w_->database();
  QCOMPARE(again.PeopleCount(), people + 1);
  child<QLineEdit>(*w_, "txtSearch")->setText(QStringLiteral("Quxworthy"));
  QTest::mouseClick(child<QPushButton>(*w_, "cmdSearch"), Qt::LeftButton);
  QCOMPARE(w_->matchTable(), std::vector<int>{people});
  clickRow(child<QListWidget>(*w_, "lstplayers"), 0);
  QCOMPARE(child<QLabel>(*w_, "lblID")->text(), QString::number(people));
  QCOMPARE(child<QLineEdit>(*w_, "txtFirstname")->text(), QStringLiteral("Ann"));
  QCOMPARE(child<QLineEdit>(*w_, "txtCaps")->text(), QStringLiteral("7"));
  for (int k = 0; k < 42; ++k)
    QCOMPARE(child<QLineEdit>(*w_, QStringLiteral("txtAtt_%1").arg(k))->text(), QString::number(tplAtt.Attribute(k)));
  QCOMPARE(child<QLineEdit>(*w_, "txtClub")->text(), QString());
  // Every other person, attribute record and staff record reads as before.
  for (int p = 0; p < people; ++p)
    QVERIFY(std::equal(oldStaff.begin() + p * 157, oldStaff.begin() + (p + 1) * 157,
                       again.read<cm3::StaffRecord>(cm3::kSlotStaff, p + 1).bytes.begin()));
  for (int64_t n = 0; n < t0.N11; ++n)
    QVERIFY(std::equal(oldStaff.begin() + t0.C + n * 70, oldStaff.begin() + t0.C + (n + 1) * 70,
                       again.read<cm3::PlayerAttRecord>(cm3::kSlotStaffAtt, n + 1).bytes.begin()));
  for (int64_t n = 0; n < t0.N10; ++n)
    QVERIFY(std::equal(oldStaff.begin() + t0.B + n * 68, oldStaff.begin() + t0.B + (n + 1) * 68,
                       again.read<cm3::StaffAttRecord>(cm3::kSlotStaffAtt2, n + 1).bytes.begin()));
  cm3::PlayerAttRecord added = again.read<cm3::PlayerAttRecord>(cm3::kSlotStaffAtt, t0.N11 + 1);
  QCOMPARE(added.AttId(), int32_t(t0.N11));
  QCOMPARE(added.Attribute(0), tplAtt.Attribute(0));
}

QTEST_MAIN(TestSquads)
#include "tst_squads.moc"
