// The Edit and File menus: Undo and Redo follow the session's actions, an
// import or a patch says what it will change, asks, and writes as one
// undoable action, and after each the boxes and lists show what the files hold.
#include <QAction>
#include <QComboBox>
#include <QStringListModel>

#include "clubs/club.h"
#include "common/squadkit.h"
#include "diff/patch.h"
#include "ui/exchangepanel.h"
#include "uitest.h"

using namespace uitest;

class TestUndo : public QObject {
  Q_OBJECT
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

 private slots:
  void init() { s_ = std::make_unique<Session>(); }
  void cleanup() { s_.reset(); }

  void menuFollowsTheJournalAndUndoShowsTheStoredValues() {
    cm3::ui::TolvPlayer* w_ = s_->w.get();
    auto* undo = w_->findChild<QAction*>(QStringLiteral("actUndo"));
    auto* redo = w_->findChild<QAction*>(QStringLiteral("actRedo"));
    auto* restore = w_->findChild<QAction*>(QStringLiteral("actRestore"));
    QVERIFY(undo && redo && restore);
    QVERIFY(restore->isEnabled());
    QVERIFY(s_->open());
    cm3::Database& db = w_->database();
    QVERIFY(QTest::qWaitForWindowActive(w_));  // back from the progress window of the open
    QVERIFY(!undo->isEnabled() && !redo->isEnabled() && !restore->isEnabled());

    // A player in a squad, shown, and a club with room to move him to.
    const int person = squadkit::players(db, true).front();
    const int from = db.read<cm3::StaffRecord>(cm3::kSlotStaff, person + 1).ClubId();
    w_->showPerson(person);
    const QString caps = c<QLineEdit>("txtCaps")->text();
    const QString newCaps = caps == QLatin1String("9") ? QStringLiteral("8") : QStringLiteral("9");
    c<QLineEdit>("txtCaps")->setText(newCaps);
    click(w_, "cmdUpdate");
    QCOMPARE(undo->text(), "&Undo Update " + name(person));
    c<QComboBox>("cmbTransclub")->setCurrentIndex(from == 1 ? 2 : 1);
    const QStringList squadBefore = rows("lstSquad"), transferBefore = rows("lstTranssquad");
    click(w_, "cmdTransfer");
    QVERIFY(rows("lstTranssquad").contains(name(person)));

    // Undo the transfer: both squads as stored before it; its row stays in
    // the change list, greyed.
    undo->trigger();
    QCOMPARE(QList({rows("lstSquad"), rows("lstTranssquad")}), QList({squadBefore, transferBefore}));
    QVERIFY(redo->isEnabled() && redo->text().startsWith(QStringLiteral("&Redo Transfer ")));
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

  // An export taken before an Update imports the old caps back; a patch
  // writes the new ones again.
  void importOrPatchWritesWithoutAskingOrNotAsOneUndoableAction() {
    QVERIFY(s_->open());
    const int person = s_->firstPerson(true);
    s_->w->showPerson(person);
    auto* caps = c<QLineEdit>("txtCaps");
    const int before = caps->text().toInt(), edited = before == 7 ? 8 : 7;
    auto* panel = s_->panel<cm3::ui::ExchangePanel>();
    const QString csv = s_->game.path() + "/people.csv";
    panel->exportTo(QStringLiteral("people"), csv);
    caps->setText(QString::number(edited));
    click(s_->w.get(), "cmdUpdate");
    QCOMPARE(boxes([&] { panel->importFrom(QStringLiteral("people"), csv); }, {QMessageBox::Yes}),
             QStringList{QStringLiteral("Import 1 changed fields in 1 records?")});
    QCOMPARE(caps->text().toInt(), before);
    s_->w->findChild<QAction*>(QStringLiteral("actUndo"))->trigger();
    QCOMPARE(caps->text().toInt(), edited);

    // "No" writes nothing, "Yes" writes it.
    cm3::diff::Result patch;
    patch.records.push_back({cm3::diff::RecordChange::Kind::Changed, "\\Data\\staff.dat", person, "",
                             {{"Caps", cm3::FieldValue(int64_t(edited)), cm3::FieldValue(int64_t(before)), false}}});
    const QString file = s_->game.path() + "/caps.json";
    std::ofstream(file.toStdString(), std::ios::binary) << cm3::diff::toJson(patch);
    QCOMPARE(boxes([&] { panel->applyPatchFrom(file); }), QStringList{QStringLiteral("Apply the patch: 1 fields in 1 records?")});
    QCOMPARE(caps->text().toInt(), edited);
    boxes([&] { panel->applyPatchFrom(file); }, {QMessageBox::Yes});
    QCOMPARE(caps->text().toInt(), before);
    QCOMPARE(s_->w->database().read<cm3::StaffRecord>(cm3::kSlotStaff, person + 1).Caps(), uint8_t(before));
  }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
