// The history page: loading a person's rows, the edit controls, adding,
// deleting and saving rows.
#include <QComboBox>
#include <QTabWidget>
#include <QTableWidget>

#include "history/history.h"
#include "ui/historypanel.h"
#include "uitest.h"

using namespace uitest;
using cm3::ui::HistoryPanel;

class TestHistory : public QObject {
  Q_OBJECT
  cm3::Database& db() { return s_->w->database(); }
  QTableWidget* grid() { return child<QTableWidget>(s_->w.get(), "grdHistory"); }
  QLineEdit* txt(const char* n) { return child<QLineEdit>(s_->w.get(), n); }
  HistoryPanel* panel() { return s_->panel<HistoryPanel>(); }
  QString cell(int r, int c) { return grid()->item(r, c) ? grid()->item(r, c)->text() : QString(); }
  bool editing() { return txt("txtSeason")->isEnabled() && child<QComboBox>(s_->w.get(), "cmbHistClub")->isEnabled(); }
  void show(int person) {
    s_->w->showPerson(person);
    click(s_->w.get(), "cmdHistory");
  }
  void clickRow(int row) {
    QTableWidgetItem* item = grid()->item(row, 0);
    QVERIFY(item);
    grid()->scrollToItem(item);
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, grid()->visualItemRect(item).center());
    QCOMPARE(grid()->currentRow(), row);
  }
  int personWithRows(size_t n) {
    for (int p = 0; p < db().PeopleCount(); ++p)
      if (cm3::history::findRecords(db(), p).size() >= n) return p;
    qFatal("no person with enough rows");
  }
  cm3::HistoryRecord rec(int32_t id) { return db().read<cm3::HistoryRecord>(cm3::kSlotHistory, id + 1); }

  std::unique_ptr<Session> s_;

 private slots:
  void cleanup() { s_.reset(); }

  void init() {
    s_ = std::make_unique<Session>();
    QVERIFY(s_->open());
    auto* tabs = child<QTabWidget>(s_->w.get(), "SSTab1");
    for (int i = 0; i < tabs->count(); ++i)
      if (tabs->widget(i)->isAncestorOf(grid())) tabs->setCurrentIndex(i);
  }

  void rowsOrModesWrongAfterLoadSelectOrAnotherPerson() {
    QVERIFY(!child<QPushButton>(s_->w.get(), "cmdHistory")->isEnabled());  // nobody shown
    const int person = personWithRows(3);
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
    clickRow(1);
    QVERIFY(editing());
    QCOMPARE(txt("txtSeason")->text(), QString::number(r.Season()));
    clickRow(int(ids.size()));
    QVERIFY(!editing());
    QVERIFY(!child<QPushButton>(s_->w.get(), "cmdDel")->isEnabled());
    // Typing lands in the row at once, the file only on Update.
    clickRow(0);
    const cm3::HistoryRecord stored = rec(ids[0]);
    txt("txtApp")->setText(QString::number((stored.Apps() + 1) % 256));
    QCOMPARE(cell(0, 2), QString::number((stored.Apps() + 1) % 256));
    QCOMPARE(rec(ids[0]), stored);
    // Another person resets the grid until his rows are loaded.
    s_->w->showPerson(person + 1);
    QCOMPARE(grid()->rowCount(), 1);
    QVERIFY(panel()->HistoryRowRecords().empty());
    QVERIFY(!grid()->isEnabled());
    QVERIFY(child<QPushButton>(s_->w.get(), "cmdHistory")->isEnabled());
  }

  void editAddOrDeleteNotWrittenAsShown() {
    const int person = personWithRows(3);
    show(person);
    const auto before = panel()->HistoryRowRecords();
    const int64_t count = db().recordCount(cm3::GameFile::History);
    click(s_->w.get(), "cmdAdd");
    QCOMPARE(int64_t(panel()->HistoryRowRecords().back()), count);
    const int added = int(before.size());
    clickRow(added);
    txt("txtSeason")->setText(QStringLiteral("1997"));
    txt("txtApp")->setText(QStringLiteral("21"));
    txt("txtGoals")->setText(QStringLiteral("5"));
    auto* clubs = child<QComboBox>(s_->w.get(), "cmbHistClub");
    clubs->setCurrentIndex(3);
    emit clubs->activated(3);
    QCOMPARE(cell(added, 1), q8(db().clubNames[3]));
    clickRow(0);
    txt("txtGoals")->setText(QStringLiteral("7"));
    click(s_->w.get(), "cmdUpdate");
    const cm3::HistoryRecord a = rec(int32_t(count));
    QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5").arg(a.PersonId()).arg(a.Season()).arg(a.Apps()).arg(a.Goals()).arg(a.ClubId()),
             QStringLiteral("%1 1997 21 5 3").arg(person));
    QCOMPARE(int(rec(before[0]).Goals()), 7);
    // Delete writes at once.
    clickRow(1);
    click(s_->w.get(), "cmdDel");
    QCOMPARE(rec(before[1]).PersonId(), -1);
    QCOMPARE(grid()->rowCount(), int(before.size()) + 1);
    QCOMPARE(s_->closeAndCheck(), QString());
  }

  void badCellOrStaffViewWritesRows() {
    const int person = personWithRows(2);
    show(person);
    const auto ids = panel()->HistoryRowRecords();
    const cm3::HistoryRecord first = rec(ids[0]), second = rec(ids[1]);
    clickRow(0);
    txt("txtGoals")->setText(QString::number((first.Goals() + 1) % 256));
    clickRow(1);
    txt("txtApp")->setText(QStringLiteral("300"));
    QCOMPARE(boxes([&] { click(s_->w.get(), "cmdUpdate"); }), QStringList{"Illegal value!"});
    QCOMPARE(rec(ids[0]), first);  // not even the row before the refused one
    QCOMPARE(rec(ids[1]), second);
    // The staff view tells no panel: an Update then saves no row for anybody.
    txt("txtApp")->setText(QStringLiteral("3"));
    const Bytes bytes = db().file(cm3::kSlotHistory).data();
    s_->w->showStaffMember(person == 0 ? 1 : 0);
    click(s_->w.get(), "cmdUpdate");
    QCOMPARE(db().file(cm3::kSlotHistory).data(), bytes);
    QVERIFY(panel()->HistoryRowRecords().empty());
  }
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
