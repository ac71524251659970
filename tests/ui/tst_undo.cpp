// The Edit menu: Undo and Redo follow the session's actions, and after an
// undo the person boxes, squad lists, club lists and change list show what
// the files hold.
#include <QAction>
#include <QComboBox>
#include <QStringListModel>

#include "clubs/club.h"
#include "common/squadkit.h"
#include "uitest.h"

using cm3::ui::TolvPlayer;
using namespace uitest;

class TestUndo : public QObject {
  Q_OBJECT
 private slots:
  void menuFollowsTheJournalAndUndoShowsTheStoredValues();

 private:
  template <class W>
  W* c(const char* name) {
    return child<W>(s_->w.get(), name);
  }
  QStringList rows(const char* list) {
    QStringList out;
    for (int i = 0; i < c<QListWidget>(list)->count(); ++i) out << c<QListWidget>(list)->item(i)->text();
    return out;
  }
  QString name(int id) { return q8(s_->w->database().personName(id)); }

  std::unique_ptr<Session> s_;
};

void TestUndo::menuFollowsTheJournalAndUndoShowsTheStoredValues() {
  s_ = std::make_unique<Session>();
  TolvPlayer* w_ = s_->w.get();
  w_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(w_));
  auto* undo = w_->findChild<QAction*>(QStringLiteral("actUndo"));
  auto* redo = w_->findChild<QAction*>(QStringLiteral("actRedo"));
  auto* restore = w_->findChild<QAction*>(QStringLiteral("actRestore"));
  QVERIFY(undo && redo && restore);
  QVERIFY(restore->isEnabled());
  QVERIFY(s_->open());
  cm3::Database& db = w_->database();
  w_->activateWindow();  // back from the progress window of the open
  QVERIFY(QTest::qWaitForWindowActive(w_));
  QVERIFY(!undo->isEnabled() && !redo->isEnabled() && !restore->isEnabled());

  // A player in a squad, shown, and a club with room to move him to.
  const int person = squadkit::players(db, true).front();
  const int from = db.read<cm3::StaffRecord>(cm3::kSlotStaff, person + 1).ClubId();
  w_->showPerson(person);
  const QString caps = c<QLineEdit>("txtCaps")->text();
  const QString newCaps = caps == QLatin1String("9") ? QStringLiteral("8") : QStringLiteral("9");
  c<QLineEdit>("txtCaps")->setText(newCaps);
  QTest::mouseClick(c<QPushButton>("cmdUpdate"), Qt::LeftButton);
  QVERIFY(undo->isEnabled());
  QCOMPARE(undo->text(), "&Undo Update " + name(person));

  const int to = from == 1 ? 2 : 1;
  c<QComboBox>("cmbTransclub")->setCurrentIndex(to);
  const QStringList squadBefore = rows("lstSquad"), transferBefore = rows("lstTranssquad");
  QTest::mouseClick(c<QPushButton>("cmdTransfer"), Qt::LeftButton);
  QVERIFY(rows("lstTranssquad").contains(name(person)));

  // Undo the transfer: both squads as stored before it; its row stays in
  // the change list, greyed.
  undo->trigger();
  QCOMPARE(rows("lstSquad"), squadBefore);
  QCOMPARE(rows("lstTranssquad"), transferBefore);
  QVERIFY(redo->isEnabled());
  QVERIFY(redo->text().startsWith(QStringLiteral("&Redo Transfer ")));
  auto* changes = c<QListWidget>("lstChanges");
  QCOMPARE(changes->count(), 2);
  QVERIFY(changes->item(1)->foreground() != changes->item(0)->foreground());

  // Undo the update of the person on display: the boxes show the stored
  // caps; the redo shortcut writes them again.
  w_->showPerson(person);
  QCOMPARE(c<QLineEdit>("txtCaps")->text(), newCaps);
  undo->trigger();
  QCOMPARE(c<QLineEdit>("txtCaps")->text(), caps);
  QVERIFY(!undo->isEnabled());
  QTest::keyClick(w_, Qt::Key_Y, Qt::ControlModifier);
  QCOMPARE(c<QLineEdit>("txtCaps")->text(), newCaps);

  // A new action ends the redo list; a new club comes and goes in the
  // shared club list with redo and undo.
  const int clubs = w_->names().clubs()->rowCount();
  cm3::clubs::ClubForm f = cm3::clubs::newClubForm(db, cm3::clubs::loadClub(db, 0));
  f.longName = "Undone Athletic";
  cm3::clubs::updateClub(db, 0, true, f);
  QVERIFY(!redo->isEnabled());
  QTest::keyClick(w_, Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(w_, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(w_->names().clubs()->rowCount(), clubs + 1);
  QTest::keyClick(w_, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(w_->names().clubs()->rowCount(), clubs);

  const QString problems = s_->closeAndCheck();
  QVERIFY(restore->isEnabled() && !undo->isEnabled());
  QCOMPARE(problems, QString());
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
