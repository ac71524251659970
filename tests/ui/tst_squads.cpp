// The squad lists and transfers of the main window on a game whose clubs are
// arranged first: club 4 holds three players, club 6 two with a hole between
// them, club 9 is full, club 12 empty, and one player has no club.
#include <QComboBox>
#include <QLabel>

#include "common/squadkit.h"
#include "ui/squadpanel.h"
#include "uitest.h"

using namespace uitest;
using cm3::ui::SquadPanel;
using squadkit::slotsOf;

class TestSquads : public QObject {
  Q_OBJECT
  QWidget* w() { return s_->w.get(); }
  QString name(int id) { return q8(s_->w->database().personName(id)); }
  QString club(int id) { return q8(s_->w->database().clubNames[size_t(id)]); }
  QComboBox* combo(const char* n) { return child<QComboBox>(w(), n); }
  QListWidget* list(const char* n) { return child<QListWidget>(w(), n); }
  QPushButton* transfer() { return child<QPushButton>(w(), "cmdTransfer"); }
  int32_t clubOf(int id) { return s_->w->database().read<cm3::StaffRecord>(cm3::kSlotStaff, id + 1).ClubId(); }

  std::unique_ptr<Session> s_;
  std::vector<int32_t> a_, b_;  // the players of clubs 4 and 6
  int32_t free_ = -1;

 private slots:
  void cleanup() { s_.reset(); }

  void init() {
    s_ = std::make_unique<Session>();
    {
      cm3::Database db;
      QVERIFY(db.open(s_->game.path().toStdString()));
      const std::vector<int32_t> clubless = squadkit::players(db, false), others = squadkit::players(db, true);
      QVERIFY(clubless.size() >= 6 && others.size() >= 150);
      cm3::squads::PlayerSlots full;
      std::copy(others.begin() + 100, others.begin() + 150, full.begin());
      squadkit::setSquad(db, 9, full);
      a_ = {clubless[0], clubless[1], clubless[2]};
      b_ = {clubless[3], clubless[4]};
      free_ = clubless[5];
      squadkit::setSquad(db, 4, slotsOf({a_[0], a_[1], a_[2]}));
      squadkit::setSquad(db, 6, slotsOf({b_[0], -1, b_[1]}));
      squadkit::setSquad(db, 12, cm3::squads::emptyPlayerSlots());
      db.close();
    }
    s_->before = snapshot(s_->data());
    QVERIFY(s_->open());
  }

  void listsOrTheButtonFollowTheWrongRow() {
    QCOMPARE(list("lstSquad")->count(), 0);
    combo("cmbSquad")->setCurrentIndex(4);
    QCOMPARE(list("lstSquad")->count() + list("lstStaff")->count(), 67);
    QCOMPARE(list("lstSquad")->item(2)->text() + "|" + list("lstSquad")->item(3)->text(), name(a_[2]) + "|Empty");
    QCOMPARE(list("lstSquad")->currentRow(), 0);  // row 0 chosen, showing its person
    QCOMPARE(s_->w->CurrentPersonId, a_[0]);
    QCOMPARE(child<QLineEdit>(w(), "txtClub")->text() + "|" + transfer()->text(), club(4) + "|Free Transfer");
    combo("cmbTransclub")->setCurrentIndex(6);
    QCOMPARE(list("lstTranssquad")->item(1)->text() + "|" + list("lstTranssquad")->item(2)->text(), "Empty|" + name(b_[1]));
    QCOMPARE(s_->panel<SquadPanel>()->state().TransferSquadCount, 2);
    QCOMPARE(transfer()->text(), QStringLiteral("Transfer"));
    // The transfer list shows its person and leaves the button alone.
    transfer()->setEnabled(false);
    clickRow(list("lstTranssquad"), 2);
    QCOMPARE(s_->w->CurrentPersonId, b_[1]);
    QVERIFY(!transfer()->isEnabled());
    clickRow(list("lstSquad"), 1);
    QVERIFY(transfer()->isEnabled());
    clickRow(list("lstSquad"), 3);  // "Empty": nobody new shown, no transfer
    QCOMPARE(s_->w->CurrentPersonId, a_[1]);
    QVERIFY(!transfer()->isEnabled());
    // Typing the transfer club away gives it up.
    combo("cmbTransclub")->setFocus();
    combo("cmbTransclub")->lineEdit()->selectAll();
    QTest::keyClick(combo("cmbTransclub"), Qt::Key_Backspace);
    QCOMPARE(s_->panel<SquadPanel>()->state().TransferClubId, -1);
    QCOMPARE(transfer()->text(), QStringLiteral("Free transfer"));
    // A clubless person chosen in the person list empties the lists.
    s_->showByClick(free_);
    QCOMPARE(combo("cmbSquad")->currentIndex(), -1);
    QCOMPARE(list("lstSquad")->count(), 0);
    // A double click on the club list opens the club chosen.
    std::vector<int> opened;
    s_->panel<SquadPanel>()->setClubWindowOpener([&](int c) { opened.push_back(c); });
    combo("cmbSquad")->setCurrentIndex(4);
    QTest::mouseDClick(combo("cmbSquad")->lineEdit(), Qt::LeftButton);
    QCOMPARE(opened, std::vector<int>{4});
  }

  void moveNotWrittenOrListsNotFollowing() {
    combo("cmbSquad")->setCurrentIndex(4);
    clickRow(list("lstSquad"), 1);
    combo("cmbTransclub")->setCurrentIndex(6);
    QCOMPARE(boxes([&] { click(w(), "cmdTransfer"); }), QStringList());  // a transfer asks nothing
    QCOMPARE(s_->w->statusText(), name(a_[1]) + " transfered from " + club(4) + " to " + club(6));
    QCOMPARE(list("lstTranssquad")->item(1)->text() + "|" + list("lstSquad")->item(1)->text(), name(a_[1]) + "|Empty");
    // Rows chosen afterwards: the hole filled in the transfer list, the next row of the squad.
    QCOMPARE(QPoint(list("lstTranssquad")->currentRow(), list("lstSquad")->currentRow()), QPoint(1, 2));
    QCOMPARE(s_->w->CurrentPersonId, a_[2]);
    QCOMPARE(clubOf(a_[1]), 6);
    // Free transfer: No changes nothing, Yes leaves a hole.
    combo("cmbTransclub")->setCurrentIndex(-1);
    const Files whileOpen = snapshot(s_->data());
    QCOMPARE(boxes([&] { click(w(), "cmdTransfer"); }, {QMessageBox::No}), QStringList{"Free Transfer player?"});
    QVERIFY(snapshot(s_->data()) == whileOpen);
    QCOMPARE(boxes([&] { click(w(), "cmdTransfer"); }, {QMessageBox::Yes}), QStringList{"Free Transfer player?"});
    QCOMPARE(s_->w->statusText(), name(a_[2]) + "  free transfered from " + club(4));
    QCOMPARE(list("lstSquad")->item(2)->text(), QStringLiteral("Empty"));
    QCOMPARE(clubOf(a_[2]), -1);
    // Signing a free player.
    s_->showByClick(free_);
    combo("cmbTransclub")->setCurrentIndex(12);
    QCOMPARE(boxes([&] { click(w(), "cmdTransfer"); }, {QMessageBox::Yes}),
             QStringList{"Transfer Free player to Selected team?"});
    QCOMPARE(s_->w->statusText(), name(free_) + "   transfered to  " + club(12));
    QCOMPARE(list("lstTranssquad")->item(0)->text(), name(free_));
    QCOMPARE(clubOf(free_), 12);
    QCOMPARE(s_->closeAndCheck(), QString());
  }

  void refusalWithoutItsMessageOrWithAWrite() {
    auto refused = [&](std::vector<QMessageBox::StandardButton> answers) {
      return boxes([&] { s_->panel<SquadPanel>()->cmdTransfer_Click(); }, answers);
    };
    combo("cmbSquad")->setCurrentIndex(4);
    clickRow(list("lstSquad"), 0);
    combo("cmbTransclub")->setCurrentIndex(9);
    QCOMPARE(refused({}), QStringList{"Team is already Full !"});
    combo("cmbTransclub")->setCurrentIndex(6);
    clickRow(list("lstTranssquad"), 0);  // shown from the transfer list: not the squad row chosen
    combo("cmbTransclub")->setCurrentIndex(12);
    QCOMPARE(refused({}), QStringList{QString::fromLatin1(cm3::squads::kMismatchMessage)});
    s_->showByClick(free_);
    combo("cmbTransclub")->setCurrentIndex(9);
    QCOMPARE(refused({QMessageBox::Yes}), QStringList({"Transfer Free player to Selected team?", "Team is already Full !"}));
    QCOMPARE(s_->closeAndCheck(), QString());
    QVERIFY(snapshot(s_->data()) == s_->before);
  }
};

QTEST_MAIN(TestSquads)
#include "tst_squads.moc"
