// The windows on a fresh copy of a generated game, each control, message and
// list as the user meets them, and what they do when the files let them down.
#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QTabWidget>
#include <QTableWidget>

#include <optional>
#include <stdexcept>

#include "common/filefailures.h"
#include "common/squadkit.h"
#include "database/settings.h"
#include "diff/patch.h"
#include "history/history.h"
#include "ui/binder.h"
#include "ui/worldpanel.h"
#include "ui/historypanel.h"
#include "ui/menus.h"
#include "ui/scoutpanel.h"
#include "ui/squadpanel.h"
#include "ui/widgets.h"
#include "uitest.h"

using namespace uitest;
using cm3::ui::FrmClub;

namespace {

struct Form {
  std::string name, id, untouched = "kept";
  int row = -1, group = -1, flag = 0;
  bool ticked = false;
  std::array<int, 2> pair{-1, -1};
};

// Opens the game with the core alone, changes the potential ability in the
// first player attribute record and stops without closing, as a crash
// would. Returns the new value.
int16_t crashAfterAnEdit(const QString& dir) {
  cm3::Database db;
  if (!db.open(dir.toStdString())) qFatal("%s", db.OpenError.c_str());
  cm3::PlayerAttRecord a = db.read<cm3::PlayerAttRecord>(cm3::kSlotStaffAtt, 1);
  a.setPotentialAbility(int16_t(a.PotentialAbility() == 177 ? 178 : 177));
  db.write(cm3::kSlotStaffAtt, 1, a);
  return a.PotentialAbility();
}

const QString kUnclosed = QStringLiteral("not closed properly");


}  // namespace

class TestWindows : public QObject {
  Q_OBJECT
  template <class W = QWidget>
  W* c(const char* name) {
    return child<W>(s_->w.get(), name);
  }
  cm3::Database& db() { return s_->w->database(); }
  QTableWidget* grid() { return child<QTableWidget>(s_->w.get(), "grdHistory"); }
  cm3::ui::HistoryPanel* panel() { return s_->panel<cm3::ui::HistoryPanel>(); }
  QString cell(int r, int c) { return grid()->item(r, c) ? grid()->item(r, c)->text() : QString(); }
  bool editing() { return c<QLineEdit>("txtSeason")->isEnabled() && child<QComboBox>(s_->w.get(), "cmbHistClub")->isEnabled(); }
  // The history page in front, so that its rows can be clicked.
  void historyTab() {
    auto* tabs = c<QTabWidget>("SSTab1");
    for (int i = 0; i < tabs->count(); ++i)
      if (tabs->widget(i)->isAncestorOf(grid())) tabs->setCurrentIndex(i);
  }
  cm3::HistoryRecord rec(int32_t id) { return db().read<cm3::HistoryRecord>(cm3::kSlotHistory, id + 1); }
  QStringList rows(const char* list) {
    QStringList out;
    for (int i = 0; i < c<QListWidget>(list)->count(); ++i) out << c<QListWidget>(list)->item(i)->text();
    return out;
  }
  QString name(int id) { return q8(s_->w->database().personName(id)); }
  QString club(int id) { return q8(s_->w->database().clubNames[size_t(id)]); }
  QPushButton* transfer() { return child<QPushButton>(s_->w.get(), "cmdTransfer"); }
  // Arranges the clubs of a closed game, then opens it: club 4 holds three
  // players, club 6 two with a hole between them, club 9 is full, club 12
  // empty, and one player has no club.
  bool arrangeSquads() {
    closed();
    {
      cm3::Database db;
      if (!db.open(s_->game.path().toStdString())) return false;
      const std::vector<int32_t> clubless = squadkit::players(db, false), others = squadkit::players(db, true);
      if (clubless.size() < 6 || others.size() < 150) return false;
      cm3::squads::PlayerSlots full;
      std::copy(others.begin() + 100, others.begin() + 150, full.begin());
      squadkit::setSquad(db, 9, full);
      a_ = {clubless[0], clubless[1], clubless[2]};
      b_ = {clubless[3], clubless[4]};
      free_ = clubless[5];
      squadkit::setSquad(db, 4, squadkit::slotsOf({a_[0], a_[1], a_[2]}));
      squadkit::setSquad(db, 6, squadkit::slotsOf({b_[0], -1, b_[1]}));
      squadkit::setSquad(db, 12, cm3::squads::emptyPlayerSlots());
      db.close();
    }
    return s_->open();
  }
  // The game as the window would leave it, before any Open.
  Session& closed() {
    s_->w->database().abortOpen();
    s_->newWindow();
    return *s_;
  }
  FrmClub* showClub(int id) {
    s_->w->ClickTeamID = id;
    FrmClub* c = s_->panel<cm3::ui::WorldPanel>()->frmClub();
    c->showClub();
    c->show();
    return c;
  }
  template <class R>
  R record(int slot, int id) {
    return db().template read<R>(slot, id + 1);
  }
  cm3::ui::ScoutPanel* scout() { return s_->panel<cm3::ui::ScoutPanel>(); }
  cm3::ui::FrmScoutOptions* dlg() { return scout()->frmScoutOptions(); }
  QLineEdit* box(const char* n) { return child<QLineEdit>(dlg(), n); }
  QComboBox* dlgCombo(const char* n) { return child<QComboBox>(dlg(), n); }
  void showDialog() {
    dlg()->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg()));
  }
  std::unique_ptr<Session> s_;
  std::vector<int32_t> a_, b_;  // the players of clubs 4 and 6
  int32_t free_ = -1;

 private slots:
  void init() {
    s_ = std::make_unique<Session>();
    QVERIFY(s_->open());
  }
  void cleanup() { s_.reset(); }

  // A wrong path keeps the editing off; a path with accents opens and is
  // remembered for the next start.
  void pathRefusedOrMangledOrEditingOnTooEarly() {
    QTemporaryDir root;
    const QString prog = root.path() + QStringLiteral("/progr\u00E4m"), game = root.path() + QStringLiteral("/jos\u00E9/cm3");
    QVERIFY(QDir().mkpath(prog) && QDir().mkpath(game));
    cm3::sample::generate(cm3::ui::nativePath(game), cm3::sample::smallPreset(), 7);
    {
      cm3::ui::TolvPlayer w(prog);
      w.show();
      auto editingOff = [&] {
        for (const char* n : {"cmdSearch", "cmdNewPlayer", "cmdUpdate", "cmdScoutOpt", "cmdScout", "cmdTransfer"})
          if (child<QPushButton>(&w, n)->isEnabled()) return false;
        return !child<QTabWidget>(&w, "SSTab1")->isEnabled() && child<QPushButton>(&w, "cmdOpen")->isEnabled();
      };
      QVERIFY(editingOff());
      const QString wrong = root.path() + "/nothing_here";
      child<QLineEdit>(&w, "txtpath")->setText(wrong);
      QCOMPARE(boxes([&] { click(&w, "cmdOpen"); }), QStringList{QString::fromLatin1(cm3::kWrongPathMessage)});
      QVERIFY(editingOff());
      QCOMPARE(QString::fromStdString(cm3::readSettings(cm3::ui::nativePath(prog)).value_or("")), wrong);
      child<QLineEdit>(&w, "txtpath")->setText(game);
      QCOMPARE(boxes([&] { click(&w, "cmdOpen"); }), QStringList());
      QVERIFY(w.database().isOpen());
      w.close();
    }
    cm3::ui::TolvPlayer again(prog);
    QCOMPARE(child<QLineEdit>(&again, "txtpath")->text(), game);
  }

  void searchOrPersonPagesShowTheWrongPeopleOrMode() {
    QVERIFY(!c<QLineEdit>("txtpath")->isEnabled() && c<QPushButton>("cmdSearch")->isEnabled());
    auto* search = c<QLineEdit>("txtSearch");
    auto* list = c<QListWidget>("lstplayers");
    search->setText(name(0).toLower());
    click(s_->w.get(), "cmdSearch");
    QCOMPARE(list->count(), int(s_->w->matchTable().size()));
    QCOMPARE(list->item(0)->text(), name(0));
    QCOMPARE(s_->w->statusText(), QStringLiteral("%1 Matches").arg(list->count()));
    search->setText(QString());
    click(s_->w.get(), "cmdSearch");
    QCOMPARE(s_->w->statusText(), QStringLiteral("500 Matches , please refine search"));
    search->setText(QStringLiteral("qqqzzz"));
    QTest::keyClick(search, Qt::Key_Return);  // Enter searches while the button is the default one
    QCOMPARE(s_->w->statusText(), QStringLiteral("0 Matches"));

    QWidget* page = c<QTabWidget>("SSTab1")->widget(1);
    auto shown = [&](const char* n) { return c(n)->isVisibleTo(page); };
    // Each kind's page; every box of it goes back into its field: saving unchanged writes nothing.
    for (bool player : {true, false}) {
      const int id = squadkit::firstPerson(db(), player);
      s_->showByClick(id);
      QCOMPARE(c<QLabel>("lblID")->text(), QString::number(id));
      QVERIFY(shown("picPositions") == player && shown("PicStaffAtt") != player);
      QVERIFY(c("cmbFormation")->isEnabled() != player && c("fraMental")->isEnabled() == player);
      QCOMPARE(boxes([&] { click(s_->w.get(), "cmdUpdate"); }), QStringList());
    }
    s_->w->showStaffMember(-1);  // an "Empty" staff row
    QVERIFY(!c<QTabWidget>("SSTab1")->widget(0)->isEnabled());
    QCOMPARE(s_->closeAndCheck(), QString());
    QVERIFY(snapshot(s_->data()) == s_->before);
  }

  void illegalValueWritesOrInputRulesLetOtherKeysThroughOrMissAName() {
    const int id = squadkit::firstPerson(db(), true);
    const Files whileOpen = snapshot(s_->data());
    s_->showByClick(id);
    c<QLineEdit>("txtCaps")->setText(QStringLiteral("300"));
    QCOMPARE(boxes([&] { click(s_->w.get(), "cmdUpdate"); }), QStringList{QStringLiteral("Illegal value!")});
    QVERIFY(snapshot(s_->data()) == whileOpen);
    c<QLineEdit>("txtCaps")->setText(QStringLiteral("77"));
    auto* surname = c<QLineEdit>("txtSurname");
    surname->setFocus();
    surname->end(false);
    QTest::sendKeyEvent(QTest::Click, surname, Qt::Key_unknown, QStringLiteral("é"), Qt::NoModifier);
    const QString typed = surname->text();
    click(s_->w.get(), "cmdUpdate");
    QVERIFY(!s_->w->SecondNameChanged);  // or the next Update appends the name again
    QCOMPARE(int(record<cm3::StaffRecord>(cm3::kSlotStaff, id).Caps()), 77);
    QVERIFY(name(id).startsWith(typed.trimmed() + " "));
    s_->showByClick(id);
    auto* caps = c<QLineEdit>("txtCaps");
    const QColor normal = cm3::ui::textColour(caps);
    caps->setFocus();
    caps->setText(QStringLiteral("12"));
    caps->setCursorPosition(2);
    QTest::keyClicks(caps, QStringLiteral("a-7"));
    QCOMPARE(caps->text(), QStringLiteral("127"));
    QCOMPARE(cm3::ui::textColour(caps), cm3::ui::kEditColour);
    auto* first = c<QLineEdit>("txtFirstname");
    QVERIFY(!s_->w->FirstNameChanged);
    first->setFocus();
    first->selectAll();
    QTest::keyClicks(first, first->text().left(1));  // the same letter still marks the name
    QVERIFY(s_->w->FirstNameChanged && !s_->w->SecondNameChanged);
    // A display sets the colours back but keeps the name marks.
    s_->showByClick(squadkit::firstPerson(db(), false));
    QCOMPARE(cm3::ui::textColour(caps), normal);
    QVERIFY(s_->w->FirstNameChanged);
    c<QTabWidget>("SSTab1")->setCurrentIndex(1);
    click(s_->w.get(), "cmdStaffSuper");
    QCOMPARE(c<QLineEdit>("txtStaffAtt_7")->text(), QStringLiteral("20"));
  }

  void newPlayerModeWritesOnNoOrLeavesOnARefusal() {
    click(s_->w.get(), "cmdNewPlayer");
    QVERIFY(!s_->w->NewPlayerMode);  // nobody shown yet
    const int tpl = squadkit::firstPerson(db(), true), people = s_->w->database().PeopleCount();
    s_->showByClick(tpl);
    click(s_->w.get(), "cmdNewPlayer");
    QVERIFY(s_->w->NewPlayerMode);
    QCOMPARE(c<QLabel>("lblID")->text(), QString::number(people));
    QCOMPARE(c<QLineEdit>("txtSurname")->text() + c<QLineEdit>("txtBirthyear")->text() + c<QLineEdit>("txtwages")->text(),
             QStringLiteral("19000"));
    QCOMPARE(s_->w->focusWidget(), c<QLineEdit>("txtFirstname"));
    const Files whileOpen = snapshot(s_->data());
    QCOMPARE(boxes([&] { click(s_->w.get(), "cmdUpdate"); }, {QMessageBox::No}), QStringList{QStringLiteral("Add New Player")});
    QVERIFY(!s_->w->NewPlayerMode);
    QCOMPARE(c<QLabel>("lblID")->text(), QString::number(tpl));
    QVERIFY(snapshot(s_->data()) == whileOpen);
    click(s_->w.get(), "cmdNewPlayer");
    c<QLineEdit>("txtFirstname")->setText(QStringLiteral("  Ann"));
    c<QLineEdit>("txtSurname")->setText(QStringLiteral("Quxworthy"));
    c<QLineEdit>("txtCaps")->setText(QString());
    QCOMPARE(boxes([&] { click(s_->w.get(), "cmdUpdate"); }, {QMessageBox::Yes}), QStringList({"Add New Player", "Illegal value!"}));
    QVERIFY(s_->w->NewPlayerMode);
    c<QLineEdit>("txtCaps")->setText(QStringLiteral("7"));
    QCOMPARE(boxes([&] { click(s_->w.get(), "cmdUpdate"); }, {QMessageBox::Yes}), QStringList{QStringLiteral("Add New Player")});
    QCOMPARE(s_->w->statusText(), QStringLiteral("Quxworthy Ann added to cm3 Database!"));
    QVERIFY(!s_->w->NewPlayerMode);
    QCOMPARE(s_->w->CurrentPersonId, people);
    QCOMPARE(s_->closeAndCheck(), QString());
  }

  // Display names shared with others: the window keeps to the ID of what was
  // chosen. Two players of club 4 share a name (the later slot's man is listed
  // second); the first club of the squad list bears the name of club 4.
  void sameDisplayNameTakenForAnotherPersonOrClub() {
    QVERIFY(arrangeSquads());
    db().PersonNameTable[size_t(a_[0])] = db().PersonNameTable[size_t(a_[1])] = "Zzyzx Twin";
    c<QLineEdit>("txtSearch")->setText(QStringLiteral("Zzyzx Twin"));
    click(s_->w.get(), "cmdSearch");
    auto* players = c<QListWidget>("lstplayers");
    QCOMPARE(players->count(), 2);
    clickRow(players, 1);
    QCOMPARE(QList({c<QLabel>("lblID")->text().toInt(), c<QComboBox>("cmbSquad")->currentIndex(), c<QListWidget>("lstSquad")->currentRow()}),
             QList({a_[1], 4, 1}));

    QString shown;
    auto opened = [&] {
      return whenShown(QStringLiteral("frmClub"), [&] { QTest::mouseDClick(c<QLabel>("lblClub"), Qt::LeftButton); },
                       [&](QWidget* d) {
                         shown = child<QLabel>(d, "lblID")->text();
                         static_cast<FrmClub*>(d)->cmdOk_Click();
                       });
    };
    s_->w->showPerson(free_);
    QVERIFY(!opened());
    c<QLineEdit>("txtClub")->setText(QStringLiteral("No Such Club Anywhere"));
    QVERIFY(!opened());
    s_->w->showPerson(a_[0]);
    auto* squad = c<QComboBox>("cmbSquad");
    squad->setItemText(0, squad->itemText(4));
    QVERIFY(opened());
    QCOMPARE(shown, QString::number(record<cm3::ClubRecord>(cm3::kSlotClub, 4).Id()));
  }

  void failingHandlerKeepsTheWaitCursor() {
    QWidget parent;
    bool ended = true;
    const QStringList shown = boxes([&] {
      ended = cm3::ui::whileBusy(&parent, [] {
        QVERIFY(QApplication::overrideCursor() != nullptr);
        throw std::runtime_error("disk gone");
      });
    });
    QVERIFY(!ended);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(shown, QStringList{QStringLiteral("The operation failed.\ndisk gone")});
  }

  void historyRowsOrModesWrongOrNotWrittenAsShown() {
    QVERIFY(!child<QPushButton>(s_->w.get(), "cmdHistory")->isEnabled());  // nobody shown
    historyTab();
    int person = 0;  // one with three rows at least
    while (cm3::history::findRecords(db(), person).size() < 3) QVERIFY(++person < db().PeopleCount());
    s_->w->showPerson(person);
    QVERIFY(!grid()->isEnabled() && !editing());
    click(s_->w.get(), "cmdHistory");
    QVERIFY(!child<QPushButton>(s_->w.get(), "cmdHistory")->isEnabled());
    const auto ids = cm3::history::findRecords(db(), person);
    QCOMPARE(panel()->HistoryRowRecords(), ids);
    QCOMPARE(grid()->rowCount(), int(ids.size()) + 1);  // and the trailing empty row
    const cm3::HistoryRecord r = rec(ids[1]);
    QCOMPARE(cell(1, 0) + "|" + cell(1, 2) + "|" + cell(1, 3),
             QStringLiteral("%1|%2|%3").arg(r.Season()).arg(r.Apps()).arg(r.Goals()));
    clickRow(grid(), 1);
    QVERIFY(editing());
    QCOMPARE(c<QLineEdit>("txtSeason")->text(), QString::number(r.Season()));
    clickRow(grid(), int(ids.size()));
    QVERIFY(!editing() && !c("cmdDel")->isEnabled());
    // Typing lands in the row at once, the file only on Update.
    clickRow(grid(), 0);
    const cm3::HistoryRecord stored = rec(ids[0]);
    c<QLineEdit>("txtApp")->setText(QString::number((stored.Apps() + 1) % 256));
    QCOMPARE(cell(0, 2), QString::number((stored.Apps() + 1) % 256));
    QCOMPARE(rec(ids[0]), stored);
    // Another person resets the grid until his rows are loaded.
    s_->w->showPerson(person + 1);
    QCOMPARE(grid()->rowCount(), 1);
    QVERIFY(panel()->HistoryRowRecords().empty() && !grid()->isEnabled() && c("cmdHistory")->isEnabled());
    // Back to him: rows added, edited, deleted and refused.
    s_->w->showPerson(person);
    click(s_->w.get(), "cmdHistory");
    const int64_t count = db().recordCount(cm3::GameFile::History);
    click(s_->w.get(), "cmdAdd");
    const int added = int(ids.size());
    clickRow(grid(), added);
    c<QLineEdit>("txtSeason")->setText(QStringLiteral("1997"));
    c<QLineEdit>("txtApp")->setText(QStringLiteral("21"));
    c<QLineEdit>("txtGoals")->setText(QStringLiteral("5"));
    // Club 3 is "Real" and club 1 "Real Madrid": the row keeps to the index chosen.
    for (const auto& [id, text] : {std::pair{1, "Real Madrid"}, std::pair{3, "Real"}}) {
      db().clubNames[size_t(id)] = text;
      s_->w->names().clubs()->setData(s_->w->names().clubs()->index(id), QString::fromLatin1(text));
    }
    auto* clubs = child<QComboBox>(s_->w.get(), "cmbHistClub");
    clubs->setCurrentIndex(3);
    emit clubs->activated(3);
    QCOMPARE(cell(added, 1), q8(db().clubNames[3]));
    clickRow(grid(), 0);
    c<QLineEdit>("txtGoals")->setText(QStringLiteral("7"));
    click(s_->w.get(), "cmdUpdate");
    const cm3::HistoryRecord a = rec(int32_t(count));
    QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5").arg(a.PersonId()).arg(a.Season()).arg(a.Apps()).arg(a.Goals()).arg(a.ClubId()),
             QStringLiteral("%1 1997 21 5 3").arg(person));
    QCOMPARE(int(rec(ids[0]).Goals()), 7);
    // Delete writes at once.
    clickRow(grid(), 1);
    click(s_->w.get(), "cmdDel");
    QCOMPARE(rec(ids[1]).PersonId(), -1);
    QCOMPARE(grid()->rowCount(), int(ids.size()) + 1);
    clickRow(grid(), 1);
    c<QLineEdit>("txtApp")->setText(QStringLiteral("300"));
    QCOMPARE(boxes([&] { click(s_->w.get(), "cmdUpdate"); }), QStringList{"Illegal value!"});
    // The staff view tells no panel: an Update then saves no row for anybody.
    c<QLineEdit>("txtApp")->setText(QStringLiteral("3"));
    const Bytes bytes = db().file(cm3::kSlotHistory).data();
    s_->w->showStaffMember(person == 0 ? 1 : 0);
    click(s_->w.get(), "cmdUpdate");
    QCOMPARE(db().file(cm3::kSlotHistory).data(), bytes);
    QVERIFY(panel()->HistoryRowRecords().empty());
    QCOMPARE(s_->closeAndCheck(), QString());
  }

  void menuFollowsTheJournalAndUndoShowsTheStoredValues() {
    cm3::ui::TolvPlayer* w_ = closed().w.get();
    auto* undo = child<QAction>(w_, "actUndo");
    auto* redo = child<QAction>(w_, "actRedo");
    auto* restore = child<QAction>(w_, "actRestore");
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
    undo->trigger();
    QCOMPARE(c<QLineEdit>("txtCaps")->text(), caps);
    QVERIFY(!undo->isEnabled());
    QTest::keyClick(w_, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(c<QLineEdit>("txtCaps")->text(), newCaps);

    // A new action ends the redo list; a new club comes and goes in the
    // shared club list with redo and undo.
    const int clubs = w_->names().clubs()->rowCount();
    cm3::clubs::ClubForm f = cm3::clubs::newClubForm(db, cm3::clubs::loadClub(db, 0));
    f.boxes["txtLongName"] = "Undone Athletic";
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
    const int person = squadkit::firstPerson(db(), true);
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
    QCOMPARE(boxes([&] { panel->importFrom(QStringLiteral("people"), csv); }),
             QStringList{QStringLiteral("The file holds no change.")});
  }

  void unclosedRunNotOfferedOrFoldedBackOnNo() {
    Session& s = closed();
    const int16_t value = crashAfterAnEdit(s.game.path());
    QStringList seen = boxes([&] { QVERIFY(s.open()); }, {QMessageBox::Yes});
    QVERIFY(seen.size() == 1 && seen[0].contains(kUnclosed));
    QCOMPARE(s.w->database().read<cm3::PlayerAttRecord>(cm3::kSlotStaffAtt, 1).PotentialAbility(), value);
    QCOMPARE(s.closeAndCheck(), QString());
    s.newWindow();
    QCOMPARE(boxes([&] { QVERIFY(s.open()); }), QStringList());  // nothing left to offer
    s.w->close();
    // No opens the game files as they are: the lost run's change is gone.
    QVERIFY(crashAfterAnEdit(s.game.path()) != value);
    s.newWindow();
    seen = boxes([&] { QVERIFY(s.open()); }, {QMessageBox::No});
    QVERIFY(seen.size() == 1 && seen[0].contains(kUnclosed));
    QCOMPARE(s.w->database().read<cm3::PlayerAttRecord>(cm3::kSlotStaffAtt, 1).PotentialAbility(), value);
  }

  void secondEditorOrReadOnlyFilesNotRefusedOrLoseTheRun() {
    Session& s = closed();
    cm3::Database other;
    QVERIFY(other.open(s.game.path().toStdString()));
    QCOMPARE(boxes([&] { QVERIFY(!s.open()); }), QStringList{QString::fromLatin1(cm3::kAlreadyOpenMessage)});
    QVERIFY(child<QLineEdit>(s.w.get(), "txtpath")->isEnabled());
    other.close();
    QVERIFY(snapshot(s.data()) == s.before);
    filefailures::OrdinaryUser user(std::vector<std::filesystem::path>{s.game.path().toStdString(), s.prog.path().toStdString()});
    const QString staff = s.data() + "/staff.dat";
    QFile::setPermissions(staff, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QStringList seen = boxes([&] { QVERIFY(!s.open()); });
    QVERIFY2(seen.size() == 1 && seen[0].contains("staff.dat") && seen[0].contains("read-only"), qPrintable(seen.join('|')));
    QFile::setPermissions(staff, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);

    // A folder that turns read-only while open: closing says the changes were
    // not written back.
    QVERIFY(s.open());
    cm3::PlayerAttRecord a = s.w->database().read<cm3::PlayerAttRecord>(cm3::kSlotStaffAtt, 1);
    a.setPotentialAbility(int16_t(a.PotentialAbility() == 150 ? 151 : 150));
    s.w->database().write(cm3::kSlotStaffAtt, 1, a);
    const QFile::Permissions folder = QFile::permissions(s.data());
    QFile::setPermissions(s.data(), QFile::ReadOwner | QFile::ExeOwner);
    seen = boxes([&] { s.w->close(); });
    QVERIFY2(seen.size() == 1 && seen[0].contains("could not be written back"), qPrintable(seen.join('|')));
    QFile::setPermissions(s.data(), folder);
  }

  void fullDiskOrDeletedFileHalfWritesAnUpdate() {
    for (bool deleted : {false, true}) {
      Session& s = *(s_ = std::make_unique<Session>());  // the failed close leaves its working files behind
      QVERIFY(s.open());
      s.w->database().autoBackup = false;  // the backup before the first write would meet the fault first
      s.w->showPerson(squadkit::firstPerson(s.w->database(), true));
      auto* first = child<QLineEdit>(s.w.get(), "txtFirstname");
      first->setFocus();
      first->end(false);
      QTest::sendKeyEvent(QTest::Click, first, Qt::Key_unknown, QStringLiteral("é"), Qt::NoModifier);  // appended on Update
      const QString names = s.data() + "/first_names.dat";
      std::optional<filefailures::FileSizeLimit> limit;
      if (deleted) QVERIFY(QFile::remove(names));
      else limit.emplace(rlim_t(QFileInfo(names).size()));
      QStringList seen = boxes([&] { click(s.w.get(), "cmdUpdate"); });
      QVERIFY2(seen.size() == 1 && seen[0].startsWith("Illegal value!\n") && seen[0].contains("first_names.dat"),
               qPrintable(seen.join('|')));
      if (deleted) continue;
      QVERIFY2(s.w->FirstNameChanged, "kept for a later try");
      limit.reset();
      s.w->close();
      QVERIFY2(snapshot(s.data()) == s.before, "nothing of the refused Update landed");
    }
  }

  void squadListsFollowTheWrongRowOrTransfersWriteOrRefuseWrongly() {
    QVERIFY(arrangeSquads());
    auto* panel = s_->panel<cm3::ui::SquadPanel>();
    QCOMPARE(c<QListWidget>("lstSquad")->count(), 0);
    c<QComboBox>("cmbSquad")->setCurrentIndex(4);
    QCOMPARE(c<QListWidget>("lstSquad")->count() + c<QListWidget>("lstStaff")->count(), 67);
    QCOMPARE(c<QListWidget>("lstSquad")->item(2)->text() + "|" + c<QListWidget>("lstSquad")->item(3)->text(), name(a_[2]) + "|Empty");
    QCOMPARE(c<QListWidget>("lstSquad")->currentRow(), 0);  // row 0 chosen, showing its person
    QCOMPARE(s_->w->CurrentPersonId, a_[0]);
    QCOMPARE(child<QLineEdit>(s_->w.get(), "txtClub")->text() + "|" + transfer()->text(), club(4) + "|Free Transfer");
    c<QComboBox>("cmbTransclub")->setCurrentIndex(6);
    QCOMPARE(c<QListWidget>("lstTranssquad")->item(1)->text() + "|" + c<QListWidget>("lstTranssquad")->item(2)->text(), "Empty|" + name(b_[1]));
    QCOMPARE(transfer()->text(), QStringLiteral("Transfer"));
    // The transfer list shows its person and leaves the button alone.
    transfer()->setEnabled(false);
    clickRow(c<QListWidget>("lstTranssquad"), 2);
    QCOMPARE(s_->w->CurrentPersonId, b_[1]);
    QVERIFY(!transfer()->isEnabled());
    clickRow(c<QListWidget>("lstSquad"), 1);
    QVERIFY(transfer()->isEnabled());
    clickRow(c<QListWidget>("lstSquad"), 3);  // "Empty": nobody new shown, no transfer
    QCOMPARE(s_->w->CurrentPersonId, a_[1]);
    QVERIFY(!transfer()->isEnabled());
    // Typing the transfer club away gives it up.
    c<QComboBox>("cmbTransclub")->setFocus();
    c<QComboBox>("cmbTransclub")->lineEdit()->selectAll();
    QTest::keyClick(c<QComboBox>("cmbTransclub"), Qt::Key_Backspace);
    QCOMPARE(panel->state().TransferClubId, -1);
    QCOMPARE(transfer()->text(), QStringLiteral("Free transfer"));
    // A clubless person chosen in the person list empties the lists; a full club refuses him.
    s_->showByClick(free_);
    QCOMPARE(c<QComboBox>("cmbSquad")->currentIndex(), -1);
    QCOMPARE(c<QListWidget>("lstSquad")->count(), 0);
    Files whileOpen = snapshot(s_->data());
    c<QComboBox>("cmbTransclub")->setCurrentIndex(9);
    QCOMPARE(boxes([&] { panel->cmdTransfer_Click(); }, {QMessageBox::Yes}),
             QStringList({"Transfer Free player to Selected team?", "Team is already Full !"}));
    // A double click on the club list opens the club chosen.
    std::vector<int> opened;
    panel->setClubWindowOpener([&](int c) { opened.push_back(c); });
    c<QComboBox>("cmbSquad")->setCurrentIndex(4);
    QTest::mouseDClick(c<QComboBox>("cmbSquad")->lineEdit(), Qt::LeftButton);
    QCOMPARE(opened, std::vector<int>{4});
    // A person shown from the transfer list is not the squad row chosen.
    c<QComboBox>("cmbTransclub")->setCurrentIndex(6);
    clickRow(c<QListWidget>("lstTranssquad"), 0);
    c<QComboBox>("cmbTransclub")->setCurrentIndex(12);
    QCOMPARE(boxes([&] { panel->cmdTransfer_Click(); }), QStringList{QString::fromLatin1(cm3::squads::kMismatchMessage)});
    QVERIFY(snapshot(s_->data()) == whileOpen);  // neither refusal wrote
    // Moves.
    c<QComboBox>("cmbSquad")->setCurrentIndex(4);
    clickRow(c<QListWidget>("lstSquad"), 1);
    c<QComboBox>("cmbTransclub")->setCurrentIndex(6);
    QCOMPARE(boxes([&] { click(s_->w.get(), "cmdTransfer"); }), QStringList());  // a transfer asks nothing
    QCOMPARE(s_->w->statusText(), name(a_[1]) + " transfered from " + club(4) + " to " + club(6));
    QCOMPARE(c<QListWidget>("lstTranssquad")->item(1)->text() + "|" + c<QListWidget>("lstSquad")->item(1)->text(), name(a_[1]) + "|Empty");
    // Rows chosen afterwards: the hole filled in the transfer list, the next row of the squad.
    QCOMPARE(QPoint(c<QListWidget>("lstTranssquad")->currentRow(), c<QListWidget>("lstSquad")->currentRow()), QPoint(1, 2));
    QCOMPARE(s_->w->CurrentPersonId, a_[2]);
    // Free transfer: No changes nothing, Yes leaves a hole.
    c<QComboBox>("cmbTransclub")->setCurrentIndex(-1);
    whileOpen = snapshot(s_->data());
    QCOMPARE(boxes([&] { click(s_->w.get(), "cmdTransfer"); }, {QMessageBox::No}), QStringList{"Free Transfer player?"});
    QVERIFY(snapshot(s_->data()) == whileOpen);
    QCOMPARE(boxes([&] { click(s_->w.get(), "cmdTransfer"); }, {QMessageBox::Yes}), QStringList{"Free Transfer player?"});
    QCOMPARE(c<QListWidget>("lstSquad")->item(2)->text(), QStringLiteral("Empty"));
    s_->showByClick(free_);
    c<QComboBox>("cmbTransclub")->setCurrentIndex(12);
    QCOMPARE(boxes([&] { click(s_->w.get(), "cmdTransfer"); }, {QMessageBox::Yes}),
             QStringList{"Transfer Free player to Selected team?"});
    QCOMPARE(c<QListWidget>("lstTranssquad")->item(0)->text(), name(free_));
    QCOMPARE(s_->closeAndCheck(), QString());
  }

  void clubWindowShowsWritesOrAddsTheWrongRecord() {
    cm3::ClubRecord r = record<cm3::ClubRecord>(cm3::kSlotClub, 6);
    r.setMainStadium(2);
    r.setReserveStadium(-1);
    r.setHomeMatchDay(0);
    db().write(cm3::kSlotClub, 7, r);
    FrmClub* c = showClub(6);
    QCOMPARE(QStringList({child<QLabel>(c, "lblID")->text(), child<QLineEdit>(c, "txtLongName")->text(),
                          child<QComboBox>(c, "cmbHomeMatch")->currentText(), child<QLabel>(c, "lblStaID")->text(),
                          child<QLineEdit>(c, "txtStaResLongName")->text(), child<QLabel>(c, "lblStaResID")->text()}),
             QStringList({"6", q8(r.LongName()), "None", "2", "<None>", "N/A"}));
    auto* cash = child<QLineEdit>(c, "txtCash");
    cash->clear();
    QTest::keyClicks(cash, QStringLiteral("75a-0000"));
    QCOMPARE(cash->text(), QStringLiteral("750000"));
    child<QLineEdit>(c, "txtLongName")->setText(QStringLiteral("  Lakeside Wanderers "));
    child<QComboBox>(c, "cmbRival2")->setCurrentIndex(14);
    child<QComboBox>(c, "cmbThirdText")->setCurrentIndex(2);
    child<QComboBox>(c, "cmbHomeMatch")->setCurrentIndex(6);
    auto* other = child<QComboBox>(c, "cmbOtherDivision");  // text that is no item: no choice
    other->setCurrentIndex(3);
    other->lineEdit()->selectAll();
    QTest::keyClicks(other->lineEdit(), QStringLiteral("zz"));
    QVERIFY(c->cmdUpdate_Click());
    const cm3::ClubRecord a = record<cm3::ClubRecord>(cm3::kSlotClub, 6);
    QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5 %6").arg(q8(a.LongName())).arg(a.Cash()).arg(a.Rival(1)).arg(a.KitColour(4))
                 .arg(a.HomeMatchDay()).arg(a.OtherDivision()),
             QStringLiteral("Lakeside Wanderers 750000 14 2 6 -1"));
    QCOMPARE(s_->w->names().clubs()->index(6).data().toString(), QStringLiteral("Lakeside Wanderers"));
    // A new main stadium from its name shows its index and joins the lists.
    const int32_t s = db().readIndex(cm3::kEntryStadiums).Count();
    child<QLineEdit>(c, "txtStaLongName")->setText(QStringLiteral("<unknown>"));  // drops the reference first
    QVERIFY(c->cmdUpdate_Click());
    child<QLineEdit>(c, "txtStaLongName")->setText(QStringLiteral("Canal Side"));
    QVERIFY(c->cmdUpdate_Click());
    QCOMPARE(child<QLabel>(c, "lblStaID")->text(), QString::number(s));
    QCOMPARE(child<QComboBox>(s_->panel<cm3::ui::WorldPanel>()->frmNation(), "cmbNatStadium")->itemText(s), QStringLiteral("Canal Side"));
    // A refused box and a new club.
    c = showClub(2);
    const Files before = snapshot(s_->data());
    child<QLineEdit>(c, "txtLongName")->setText(QStringLiteral("Never Written"));
    child<QLineEdit>(c, "txtMinAttendance")->setText(QStringLiteral("3000000000"));
    QCOMPARE(boxes([&] { QVERIFY(!c->cmdUpdate_Click()); }), QStringList{"Error 6"});
    QVERIFY(snapshot(s_->data()) == before);
    click(c, "cmdAddNew");
    QVERIFY(!child<QPushButton>(c, "cmdAddNew")->isEnabled());
    const int32_t c0 = db().readIndex(cm3::kEntryClubs).Count();
    QCOMPARE(child<QLineEdit>(c, "txtLongName")->text(), QStringLiteral("<New Club>"));
    child<QLineEdit>(c, "txtStaLongName")->setText(QStringLiteral("North End"));
    QCOMPARE(boxes([&] { QVERIFY(!c->cmdUpdate_Click()); }, {QMessageBox::No}), QStringList{"Add New Club"});
    QVERIFY(snapshot(s_->data()) == before);
    child<QLineEdit>(c, "txtLongName")->setText(QStringLiteral("New Club 1"));
    QCOMPARE(boxes([&] { QVERIFY(c->cmdUpdate_Click()); }, {QMessageBox::Yes}), QStringList{"Add New Club"});
    QVERIFY(!c->NewClub);
    QCOMPARE(child<QComboBox>(s_->w.get(), "cmbSquad")->itemText(c0), QStringLiteral("New Club 1"));
    auto* trans = child<QComboBox>(s_->w.get(), "cmbTransclub");
    QCOMPARE(trans->itemText(trans->count() - 1), QStringLiteral("New Club 1"));
    child<QLineEdit>(c, "txtCash")->setText(QStringLiteral("55"));
    QVERIFY(c->cmdUpdate_Click());  // the new club, not the one shown before
    QCOMPARE(record<cm3::ClubRecord>(cm3::kSlotClub, c0).Cash(), 55);
    c->close();  // unloads the window: Add New Club once more
    FrmClub* again = showClub(1);
    QVERIFY(child<QPushButton>(again, "cmdAddNew")->isEnabled());
    again->hide();
    QCOMPARE(s_->closeAndCheck(), QString());
  }

  void competitionOrNationWindowWritesTheWrongOneOrLeavesAListStale() {
    cm3::ClubRecord r = record<cm3::ClubRecord>(cm3::kSlotClub, 5);
    r.setDivision(12);
    db().write(cm3::kSlotClub, 6, r);
    const cm3::CompRecord comp = record<cm3::CompRecord>(cm3::kSlotComp, 12);
    FrmClub* c = showClub(5);
    QStringList bad;
    QVERIFY(whenShown(QStringLiteral("frmComp"), [&] { QTest::mouseDClick(child<QLabel>(c, "lblDivision"), Qt::LeftButton); },
                      [&](QWidget* d) {
                        QCOMPARE(child<QLineEdit>(d, "txtLong")->text(), q8(comp.LongName()));
                        child<QLineEdit>(d, "txtLong")->setText(QStringLiteral("Premier Test League"));
                        child<QLineEdit>(d, "txtScope")->setText(QStringLiteral("300"));
                        bad = boxes([&] { click(d, "cmdUpdate"); });
                        child<QLineEdit>(d, "txtScope")->setText(QStringLiteral("2"));
                        click(d, "cmdUpdate");
                        click(d, "cmdOk");
                      }));
    QVERIFY(bad.size() == 1 && bad[0].contains("Competition Scope"));
    QCOMPARE(child<QComboBox>(c, "cmbDivision")->currentText(), QStringLiteral("Premier Test League"));
    QWidget* scout = s_->panel<cm3::ui::ScoutPanel>()->frmScoutOptions();  // stays loaded through undo
    QCOMPARE(child<QComboBox>(scout, "cmbComp")->itemText(12), QStringLiteral("Premier Test League"));
    c->hide();

    // The nation label of the second nation edits and renames that one only.
    s_->w->showPerson(0);
    auto* n1 = child<QComboBox>(s_->w.get(), "cmbnations");
    auto* n2 = child<QComboBox>(s_->w.get(), "cmbnations2");
    n1->setCurrentIndex(2);
    n2->setCurrentIndex(9);
    const QString first = n1->currentText(), second = n2->currentText();
    QString shownId;
    QVERIFY(whenShown(QStringLiteral("frmNation"), [&] { QTest::mouseDClick(child<QLabel>(s_->w.get(), "lblnatid2"), Qt::LeftButton); },
                      [&](QWidget* d) {
                        shownId = child<QLabel>(d, "lblNationID")->text();
                        child<QLineEdit>(d, "txtGameImpt")->setText(QString());
                        bad = boxes([&] { click(d, "cmdNationOk"); });
                        child<QLineEdit>(d, "txtGameImpt")->setText(QStringLiteral("5"));
                        child<QLineEdit>(d, "txtName")->setText(QStringLiteral("Republic of Testland"));
                        click(d, "cmdNationOk");
                        click(d, "cmdCancel");
                      }));
    QCOMPARE(shownId, QStringLiteral("9"));
    QVERIFY(bad.size() == 1 && bad[0].contains("nothing was written"));
    QCOMPARE(QStringList({n1->currentText(), n2->currentText(), child<QComboBox>(scout, "cmbnations")->itemText(9)}),
             QStringList({first, "Republic of Testland", "Republic of Testland"}));
    QVERIFY(!s_->w->EditingSecondNation);
    s_->w->findChild<QAction*>(QStringLiteral("actUndo"))->trigger();
    QCOMPARE(child<QComboBox>(scout, "cmbnations")->itemText(9), second);
    QCOMPARE(s_->closeAndCheck(), QString());
  }


  // Enough people that a scout run without limits passes the 500 rows.
  void scoutWindowStoresWrongCriteriaListsOtherPeopleOrPassesTheLimit() {
    cm3::sample::Preset p = cm3::sample::smallPreset();
    p.people = 1600;
    p.players = 1400;
    s_ = std::make_unique<Session>(p, 31);
    QVERIFY(s_->open());
    QVERIFY(!child<QPushButton>(s_->w.get(), "cmdScout")->isEnabled());
    QVERIFY(dlg()->parent() == nullptr);  // its boxes do not shadow the main window's
    // Through the main window's button the window is shown modally.
    QVERIFY(whenShown(QStringLiteral("frmScoutOptions"), [&] { click(s_->w.get(), "cmdScoutOpt"); },
                      [&](QWidget*) {
                        box("txtAbility")->setText(QStringLiteral("150"));
                        box("txtBravery")->setText(QStringLiteral(" 12.5 "));
                        dlgCombo("cmbClass")->setCurrentIndex(11);
                        dlgCombo("cmbComp")->setCurrentIndex(3);
                        dlgCombo("cmbnations")->setCurrentIndex(2);
                        child<QListWidget>(dlg(), "lstOpt")->setCurrentRow(1);
                        box("txtAge")->setText(QStringLiteral("23"));
                        click(dlg(), "cmdOk");
                      }));
    QVERIFY(child<QPushButton>(s_->w.get(), "cmdScout")->isEnabled());
    const cm3::search::ScoutCriteria c = scout()->ScoutCriteria();  // txtBravery rounded half to even
    QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5 %6 %7").arg(c.MinCurrentAbility).arg(c.MinAttribute[31]).arg(c.JobClass)
                 .arg(c.LeagueIndex).arg(c.NationIndex).arg(c.AgeLimit).arg(c.OlderThan),
             QStringLiteral("150 12 11 3 2 23 0"));
    showDialog();
    auto frames = [&] {
      return child<QGroupBox>(dlg(), "fraAbility")->isEnabled() + child<QGroupBox>(dlg(), "fraPositions")->isEnabled() +
             child<QGroupBox>(dlg(), "fraAtt")->isEnabled();
    };
    for (const auto& [row, enabled] : std::vector<std::pair<int, int>>{{10, 0}, {0, 0}, {11, 3}, {8, 0}, {-1, 3}}) {
      dlgCombo("cmbClass")->setCurrentIndex(row);
      QCOMPARE(frames(), enabled);
    }
    box("txtAbility")->setText(QStringLiteral("20"));
    click(dlg(), "cmdOk");
    showDialog();
    box("txtAbility")->setText(QStringLiteral("199"));
    dlg()->close();  // the close box stores nothing
    QCOMPARE(scout()->ScoutCriteria().MinCurrentAbility, 20);
    showDialog();
    click(dlg(), "cmdResetAtt");
    QCOMPARE(box("txtVis")->text(), QStringLiteral("0"));
    QCOMPARE(box("txtAbility")->text(), QStringLiteral("199"));
    click(dlg(), "cmdReset");
    for (QLineEdit* e : dlg()->findChildren<QLineEdit*>()) QCOMPARE(e->text(), QStringLiteral("0"));
    QCOMPARE(scout()->ScoutCriteria().MinCurrentAbility, 20);  // until the next Ok
    click(dlg(), "cmdOk");
    QVERIFY(scout()->ScoutCriteria() == cm3::search::ScoutCriteria{});
    click(s_->w.get(), "cmdScout");
    QCOMPARE(s_->w->statusText(), QStringLiteral("500 Matches , please refine search"));
    showDialog();
    box("txtAbility")->setText(QStringLiteral("120"));
    box("txtAge")->setText(QStringLiteral("25"));
    child<QListWidget>(dlg(), "lstOpt")->setCurrentRow(1);
    click(dlg(), "cmdOk");
    click(s_->w.get(), "cmdScout");
    const auto expected = cm3::search::scout(s_->w->database(), scout()->ScoutCriteria());
    QVERIFY(!expected.empty() && expected.size() < 500);
    QCOMPARE(s_->w->matchTable(), expected);
    QCOMPARE(s_->w->statusText(), QStringLiteral("%1 Matches").arg(expected.size()));
    // A failing box: the message, and the window stays.
    showDialog();
    box("txtAbility")->setText(QStringLiteral("80"));
    box("txtDecision")->setText(QString());
    box("txtGoalKeeper")->setText(QStringLiteral("7"));
    QCOMPARE(boxes([&] { click(dlg(), "cmdOk"); }), QStringList{"Illegal value!"});
    QVERIFY(dlg()->isVisible());
    // Key filters: digits and minus only in the rating and age boxes.
    box("txtPotAbility")->clear();
    QTest::keyClicks(box("txtPotAbility"), QStringLiteral("a-1.b2x"));
    QCOMPARE(box("txtPotAbility")->text(), QStringLiteral("-12"));
  }



  // A conversion that loses or moves a value: a Windows-1252 text, an array
  // entry landing in the wrong entry, a check box that is not 255/0, a
  // member without a control overwritten by read, a deselected list row
  // read as chosen.
  void binderLosesOrMovesAValue() {
    using cm3::ui::make;
    QWidget root;
    for (const char* name : {"cmbRow", "cmbSecond"}) make<QComboBox>(&root, name)->addItems({"a", "b", "c"});
    auto* list = make<QListWidget>(&root, "lstGroup");
    list->addItems({"x", "y"});
    auto* text = make<QLineEdit>(&root, "txtName");
    make<QLabel>(&root, "lblID");
    for (const char* name : {"chkFlag", "chkTicked"}) make<QCheckBox>(&root, name);
    const cm3::ui::Binding<Form> table[] = {
        {"txtName", &Form::name},   {"lblID", &Form::id},     {"cmbRow", &Form::row},
        {"lstGroup", &Form::group}, {"chkFlag", &Form::flag}, {"chkTicked", &Form::ticked},
        {"cmbSecond", &Form::pair, 1},
    };
    const cm3::ui::Binder<Form> binder(&root, table);
    Form shown{"Caf\xE9 Rovers", "12", "not read", 2, 1, 255, true, {0, 1}};
    binder.fill(shown);
    QCOMPARE(text->text(), QStringLiteral("Café Rovers"));
    QCOMPARE(text->cursorPosition(), 0);
    QCOMPARE(binder.read(shown).untouched, std::string("not read"));
    const Form back = binder.read();
    QCOMPARE(back.name + "|" + back.id, shown.name + "|" + shown.id);
    QCOMPARE((std::array{back.row, back.group, back.flag, back.pair[0], back.pair[1], int(back.ticked)}),
             (std::array{2, 1, 255, -1, 1, 1}));
    binder.fill(Form{});
    const Form cleared = binder.read();
    QCOMPARE((std::array{cleared.row, cleared.group, cleared.flag, cleared.pair[1], int(cleared.ticked)}),
             (std::array{-1, -1, 0, -1, 0}));
    list->setCurrentRow(1);
    list->currentItem()->setSelected(false);
    QCOMPARE(binder.read().group, -1);
  }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
