// The history page of the main window, driven by object name on a generated
// game directory: loading a person's rows, selecting, editing, adding,
// deleting and saving them, and what the files hold afterwards.
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "database/database.h"
#include "history/history.h"
#include "records/cp1252.h"
#include "records/records.h"
#include "sample/generator.h"
#include "ui/historypanel.h"
#include "ui/mainwindow.h"
#include "uitest.h"

using cm3::ui::HistoryPanel;
using cm3::ui::TolvPlayer;

using namespace uitest;
class TestHistory : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void headingsAndStateBeforeLoad();
  void loadShowsTheRowsInFileOrder();
  void selectingRowsFillsTheEditControls();
  void typingWritesEveryKeystroke();
  void addEditAndSave();
  void deleteWritesAtOnce();
  void badCellStopsTheUpdate();
  void anotherPersonResetsTheGrid();
  void staffViewNeverSavesRowsUnderAnotherPerson();
  void recordOneAndManyRows();
  void savedRowsSurviveCloseAndReopen();

 private:
  void openWindow();
  void show(int person) {
    w_->showPerson(person);
    QCOMPARE(w_->CurrentPersonId, person);
  }
  void load() {
    QVERIFY(cmdHistory()->isEnabled());
    QTest::mouseClick(cmdHistory(), Qt::LeftButton);
    QVERIFY(!cmdHistory()->isEnabled());
  }
  void clickRow(int row) {
    QTableWidget* g = grid();
    QTableWidgetItem* item = g->item(row, 0);
    QVERIFY(item);
    g->scrollToItem(item);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(item).center());
    QCOMPARE(g->currentRow(), row);
  }
  void update() { QTest::mouseClick(child<QPushButton>(*w_, "cmdUpdate"), Qt::LeftButton); }
  // A person with at least `n` rows.
  int personWithRows(size_t n) {
    for (int p = 0; p < w_->database().PeopleCount(); ++p)
      if (cm3::history::findRecords(w_->database(), p).size() >= n) return p;
    qFatal("no person with enough rows");
  }
  cm3::HistoryRecord rec(int32_t id) { return w_->database().read<cm3::HistoryRecord>(cm3::kSlotHistory, id + 1); }
  QString cell(int r, int c) { return grid()->item(r, c) ? grid()->item(r, c)->text() : QString(); }

  QTableWidget* grid() { return child<QTableWidget>(*w_, "grdHistory"); }
  QPushButton* cmdHistory() { return child<QPushButton>(*w_, "cmdHistory"); }
  QPushButton* cmdAdd() { return child<QPushButton>(*w_, "cmdAdd"); }
  QPushButton* cmdDel() { return child<QPushButton>(*w_, "cmdDel"); }
  QLineEdit* txt(const char* n) { return child<QLineEdit>(*w_, n); }
  QComboBox* cmbHistClub() { return child<QComboBox>(*w_, "cmbHistClub"); }
  HistoryPanel* panel() {
    for (auto* p : w_->panels())
      if (auto* h = dynamic_cast<HistoryPanel*>(p)) return h;
    qFatal("no history panel");
  }
  bool editing() {
    return txt("txtSeason")->isEnabled() && txt("txtApp")->isEnabled() && txt("txtGoals")->isEnabled() &&
           cmbHistClub()->isEnabled();
  }
  bool noneEditing() {
    return !txt("txtSeason")->isEnabled() && !txt("txtApp")->isEnabled() && !txt("txtGoals")->isEnabled() &&
           !cmbHistClub()->isEnabled();
  }

  std::unique_ptr<QTemporaryDir> prog_, game_;
  std::unique_ptr<TolvPlayer> w_;
};

void TestHistory::init() {
  prog_ = std::make_unique<QTemporaryDir>();
  game_ = std::make_unique<QTemporaryDir>();
  cm3::sample::generate(game_->path().toStdString(), cm3::sample::smallPreset(), 23);
  openWindow();
}

void TestHistory::cleanup() {
  // Whatever the test did, the files it leaves must be consistent.
  if (w_) w_->close();
  w_.reset();
  const QString problems = checkProblems(game_->path());
  game_.reset();
  prog_.reset();
  QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

void TestHistory::openWindow() {
  w_ = std::make_unique<TolvPlayer>(prog_->path());
  w_->show();
  child<QLineEdit>(*w_, "txtpath")->setText(game_->path());
  QTest::mouseClick(child<QPushButton>(*w_, "cmdOpen"), Qt::LeftButton);
  QVERIFY(w_->database().isOpen());
  auto* tabs = child<QTabWidget>(*w_, "SSTab1");
  for (int i = 0; i < tabs->count(); ++i)
    if (tabs->widget(i)->isAncestorOf(grid())) tabs->setCurrentIndex(i);
  QVERIFY(grid()->isVisible());
}

void TestHistory::headingsAndStateBeforeLoad() {
  QTableWidget* g = grid();
  QCOMPARE(g->columnCount(), 4);
  QCOMPARE(g->horizontalHeaderItem(0)->text(), QStringLiteral("Season"));
  QCOMPARE(g->horizontalHeaderItem(1)->text(), QStringLiteral("Club       "));
  QCOMPARE(g->horizontalHeaderItem(2)->text(), QStringLiteral("Apps"));
  QCOMPARE(g->horizontalHeaderItem(3)->text(), QStringLiteral("Goals"));
  QCOMPARE(g->rowCount(), 1);  // the trailing empty row
  QCOMPARE(g->columnWidth(1), 113);
  QVERIFY(!cmdHistory()->isEnabled());  // nobody shown yet
  QCOMPARE(cmdHistory()->text(), QStringLiteral("Load History"));
  QCOMPARE(cmdAdd()->text(), QStringLiteral("Add"));
  QCOMPARE(cmdDel()->text(), QStringLiteral("Delete"));
  QCOMPARE(cmbHistClub()->count(), int(w_->database().clubNames.size()));

  show(personWithRows(1));
  QVERIFY(cmdHistory()->isEnabled());
  QVERIFY(!g->isEnabled());
  QVERIFY(!cmdAdd()->isEnabled());
  QVERIFY(!cmdDel()->isEnabled());
  QVERIFY(noneEditing());
  QVERIFY(panel()->HistoryRowRecords().empty());
}

void TestHistory::loadShowsTheRowsInFileOrder() {
  auto& db = w_->database();
  const int person = personWithRows(3);
  show(person);
  load();
  const auto ids = cm3::history::findRecords(db, person);
  QCOMPARE(panel()->HistoryRowRecords(), ids);
  QTableWidget* g = grid();
  QCOMPARE(g->rowCount(), int(ids.size()) + 1);
  QVERIFY(g->isEnabled());
  QVERIFY(cmdAdd()->isEnabled());
  QVERIFY(cmdDel()->isEnabled());
  for (size_t k = 0; k < ids.size(); ++k) {
    cm3::HistoryRecord r = rec(ids[k]);
    QCOMPARE(cell(int(k), 0), QString::number(r.Season()));
    QCOMPARE(cell(int(k), 1), r.ClubId() >= 0 ? q8(db.clubNames[size_t(r.ClubId())]) : QString());
    QCOMPARE(cell(int(k), 2), QString::number(r.Apps()));
    QCOMPARE(cell(int(k), 3), QString::number(r.Goals()));
  }
  for (int c = 0; c < 4; ++c) QVERIFY(cell(int(ids.size()), c).isEmpty());

  // A person without rows: only the trailing row.
  int nobody = -1;
  for (int p = 0; p < db.PeopleCount() && nobody < 0; ++p)
    if (cm3::history::findRecords(db, p).empty()) nobody = p;
  QVERIFY(nobody >= 0);
  show(nobody);
  load();
  QCOMPARE(g->rowCount(), 1);
  clickRow(0);
  QVERIFY(noneEditing());
  QVERIFY(!cmdDel()->isEnabled());
}

void TestHistory::selectingRowsFillsTheEditControls() {
  auto& db = w_->database();
  const int person = personWithRows(2);
  show(person);
  load();
  const auto ids = panel()->HistoryRowRecords();
  clickRow(1);
  QVERIFY(editing());
  QVERIFY(cmdDel()->isEnabled());
  cm3::HistoryRecord r = rec(ids[1]);
  QCOMPARE(txt("txtSeason")->text(), QString::number(r.Season()));
  QCOMPARE(txt("txtApp")->text(), QString::number(r.Apps()));
  QCOMPARE(txt("txtGoals")->text(), QString::number(r.Goals()));
  QCOMPARE(cmbHistClub()->currentIndex(), r.ClubId() >= 0 && size_t(r.ClubId()) < db.clubNames.size() ? r.ClubId() : -1);
  clickRow(int(ids.size()));  // the trailing row
  QVERIFY(noneEditing());
  QVERIFY(!cmdDel()->isEnabled());
  clickRow(0);
  QVERIFY(editing());
  QCOMPARE(txt("txtSeason")->text(), QString::number(rec(ids[0]).Season()));
}

void TestHistory::typingWritesEveryKeystroke() {
  show(personWithRows(2));
  load();
  const cm3::HistoryRecord stored = rec(panel()->HistoryRowRecords()[1]);
  clickRow(1);
  QLineEdit* season = txt("txtSeason");
  season->setFocus();
  season->selectAll();
  QTest::keyClick(season, Qt::Key_Backspace);
  QCOMPARE(cell(1, 0), QString());
  QStringList seen;
  for (QChar ch : QStringLiteral("1998")) {
    QTest::keyClick(season, ch.toLatin1());
    seen << cell(1, 0);
  }
  QCOMPARE(seen, (QStringList{"1", "19", "199", "1998"}));
  txt("txtApp")->setText(QStringLiteral("33"));
  QCOMPARE(cell(1, 2), QStringLiteral("33"));
  txt("txtGoals")->setText(QStringLiteral("4"));
  QCOMPARE(cell(1, 3), QStringLiteral("4"));
  QCOMPARE(cell(0, 2), QString::number(rec(panel()->HistoryRowRecords()[0]).Apps()));  // other rows untouched
  // Nothing is written before the update.
  QCOMPARE(rec(panel()->HistoryRowRecords()[1]), stored);
}

void TestHistory::addEditAndSave() {
  auto& db = w_->database();
  const int person = personWithRows(2);
  show(person);
  load();
  const auto before = panel()->HistoryRowRecords();
  const int64_t count = db.recordCount(cm3::GameFile::History);
  const uint64_t fileSize = db.file(cm3::kSlotHistory).size();
  QTest::mouseClick(cmdAdd(), Qt::LeftButton);
  QCOMPARE(grid()->rowCount(), int(before.size()) + 2);
  QCOMPARE(panel()->HistoryRowRecords().size(), before.size() + 1);
  QCOMPARE(int64_t(panel()->HistoryRowRecords().back()), count);
  QCOMPARE(db.recordCount(cm3::GameFile::History), count + 1);
  QCOMPARE(db.file(cm3::kSlotHistory).size(), fileSize);  // grows on save only

  const int newRow = int(before.size());
  clickRow(newRow);
  QVERIFY(editing());
  txt("txtSeason")->setText(QStringLiteral("1997"));
  txt("txtApp")->setText(QStringLiteral("21"));
  txt("txtGoals")->setText(QStringLiteral("5"));
  cmbHistClub()->setCurrentIndex(3);
  emit cmbHistClub()->activated(3);
  QCOMPARE(cell(newRow, 1), q8(db.clubNames[3]));
  // And an edit of an old row.
  clickRow(0);
  txt("txtGoals")->setText(QStringLiteral("7"));
  const uint8_t byte14 = rec(before[0]).Byte14();
  update();

  cm3::HistoryRecord added = rec(int32_t(count));
  QCOMPARE(added.RecordId(), int32_t(count));
  QCOMPARE(added.PersonId(), person);
  QCOMPARE(int(added.Season()), 1997);
  QCOMPARE(int(added.Apps()), 21);
  QCOMPARE(int(added.Goals()), 5);
  QCOMPARE(added.ClubId(), 3);
  QCOMPARE(int64_t(db.file(cm3::kSlotHistory).size()), (count + 1) * 17);
  QCOMPARE(int(rec(before[0]).Goals()), 7);
  QCOMPARE(rec(before[0]).Byte14(), byte14);
  QCOMPARE(rec(before[0]).PersonId(), person);
}

void TestHistory::deleteWritesAtOnce() {
  const int person = personWithRows(3);
  show(person);
  load();
  const auto ids = panel()->HistoryRowRecords();
  const QString second = cell(1, 0) + cell(1, 1) + cell(1, 2) + cell(1, 3);
  clickRow(0);
  QTest::mouseClick(cmdDel(), Qt::LeftButton);
  QCOMPARE(rec(ids[0]).PersonId(), -1);  // written without an update
  QCOMPARE(grid()->rowCount(), int(ids.size()));
  QCOMPARE(panel()->HistoryRowRecords(), std::vector<int32_t>(ids.begin() + 1, ids.end()));
  QCOMPARE(cell(0, 0) + cell(0, 1) + cell(0, 2) + cell(0, 3), second);
  QCOMPARE(rec(ids[1]).PersonId(), person);

  // Delete on the trailing row deletes nothing.
  clickRow(grid()->rowCount() - 1);
  QVERIFY(!cmdDel()->isEnabled());
  panel()->cmdDel_Click();
  QCOMPARE(panel()->HistoryRowRecords().size(), ids.size() - 1);
  QVERIFY(noneEditing());

  // Deleting every row leaves the trailing row alone.
  while (!panel()->HistoryRowRecords().empty()) {
    clickRow(0);
    QTest::mouseClick(cmdDel(), Qt::LeftButton);
  }
  QCOMPARE(grid()->rowCount(), 1);
  for (int32_t id : ids) QCOMPARE(rec(id).PersonId(), -1);
  QVERIFY(cm3::history::findRecords(w_->database(), person).empty());
}

void TestHistory::badCellStopsTheUpdate() {
  const int person = personWithRows(2);
  show(person);
  load();
  const auto ids = panel()->HistoryRowRecords();
  const cm3::HistoryRecord first = rec(ids[0]), second = rec(ids[1]);
  clickRow(0);
  txt("txtGoals")->setText(QString::number((first.Goals() + 1) % 256));
  clickRow(1);
  txt("txtApp")->setText(QStringLiteral("300"));
  QString text;
  answerNextBox(&text);
  update();
  QCOMPARE(text, QStringLiteral("Illegal value!"));
  QCOMPARE(rec(ids[0]), first);  // no row is written, not even the one before it
  QCOMPARE(rec(ids[1]), second);
  txt("txtApp")->setText(QStringLiteral("abc"));
  answerNextBox(&text);
  text.clear();
  update();
  QCOMPARE(text, QStringLiteral("Illegal value!"));
  QCOMPARE(rec(ids[1]), second);
}

void TestHistory::anotherPersonResetsTheGrid() {
  const int a = personWithRows(2);
  show(a);
  load();
  QVERIFY(grid()->rowCount() > 1);
  clickRow(0);
  QTest::mouseClick(cmdAdd(), Qt::LeftButton);
  int b = a + 1;
  show(b);
  QCOMPARE(grid()->rowCount(), 1);
  for (int c = 0; c < 4; ++c) QVERIFY(cell(0, c).isEmpty());
  QVERIFY(panel()->HistoryRowRecords().empty());
  QCOMPARE(panel()->loadedPerson(), -1);
  QVERIFY(!grid()->isEnabled());
  QVERIFY(!cmdAdd()->isEnabled() && !cmdDel()->isEnabled());
  QVERIFY(cmdHistory()->isEnabled());
  QVERIFY(noneEditing());
  load();
  QCOMPARE(panel()->HistoryRowRecords(), cm3::history::findRecords(w_->database(), b));
}

void TestHistory::staffViewNeverSavesRowsUnderAnotherPerson() {
  auto& db = w_->database();
  const int a = personWithRows(2);
  show(a);
  load();
  const auto idsA = panel()->HistoryRowRecords();
  clickRow(0);
  txt("txtSeason")->setText(QStringLiteral("1111"));
  QTest::mouseClick(cmdAdd(), Qt::LeftButton);
  const int b = a == 0 ? 1 : 0;
  const auto idsB = cm3::history::findRecords(db, b);
  const auto bytes = db.file(cm3::kSlotHistory).data();
  w_->showStaffMember(b);  // the staff view tells no panel
  QCOMPARE(w_->CurrentPersonId, b);
  update();
  QCOMPARE(db.file(cm3::kSlotHistory).data(), bytes);  // nothing written, for nobody
  QCOMPARE(cm3::history::findRecords(db, b), idsB);
  QCOMPARE(cm3::history::findRecords(db, a), idsA);
  QVERIFY(panel()->HistoryRowRecords().empty());
  QVERIFY(cmdHistory()->isEnabled());
}

void TestHistory::recordOneAndManyRows() {
  auto& db = w_->database();
  const int person = 5;
  for (int32_t id : cm3::history::findRecords(db, person)) cm3::history::deleteRecord(db, id);
  std::vector<int32_t> planted = {0};
  for (int k = 0; k < 39; ++k) planted.push_back(10 + 40 * k);
  for (size_t k = 0; k < planted.size(); ++k) {
    cm3::HistoryRecord r = rec(planted[k]);
    r.setPersonId(person);
    r.setSeason(int16_t(1950 + k));
    db.write(cm3::kSlotHistory, planted[k] + 1, r);
  }
  show(person);
  load();
  QCOMPARE(panel()->HistoryRowRecords(), planted);
  QCOMPARE(grid()->rowCount(), 41);
  QCOMPARE(cell(0, 0), QStringLiteral("1950"));
  clickRow(0);
  txt("txtSeason")->setText(QStringLiteral("1949"));
  clickRow(39);
  txt("txtSeason")->setText(QStringLiteral("2001"));
  update();
  QCOMPARE(int(rec(0).Season()), 1949);
  QCOMPARE(rec(0).PersonId(), person);
  QCOMPARE(int(rec(planted[39]).Season()), 2001);
  QCOMPARE(cm3::history::findRecords(db, person), planted);
}

void TestHistory::savedRowsSurviveCloseAndReopen() {
  const int person = personWithRows(3);
  show(person);
  load();
  clickRow(1);
  QTest::mouseClick(cmdDel(), Qt::LeftButton);
  QTest::mouseClick(cmdAdd(), Qt::LeftButton);
  const int newRow = grid()->rowCount() - 2;
  clickRow(newRow);
  txt("txtSeason")->setText(QStringLiteral("1998"));
  txt("txtApp")->setText(QStringLiteral("12"));
  txt("txtGoals")->setText(QStringLiteral("2"));
  cmbHistClub()->setCurrentIndex(4);
  emit cmbHistClub()->activated(4);
  clickRow(0);
  txt("txtApp")->setText(QStringLiteral("40"));
  update();
  QStringList shown;
  for (int r = 0; r < grid()->rowCount() - 1; ++r) shown << cell(r, 0) + "|" + cell(r, 1) + "|" + cell(r, 2) + "|" + cell(r, 3);
  const auto ids = panel()->HistoryRowRecords();
  w_->close();
  w_.reset();

  openWindow();
  show(person);
  load();
  QStringList again;
  for (int r = 0; r < grid()->rowCount() - 1; ++r) again << cell(r, 0) + "|" + cell(r, 1) + "|" + cell(r, 2) + "|" + cell(r, 3);
  QCOMPARE(again, shown);
  QCOMPARE(panel()->HistoryRowRecords(), ids);
}

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
