// What the user points at is what the editor uses: the path typed is the path
// opened and remembered, the person clicked is the person shown, the club
// chosen is the club saved, and a failed handler gives the cursor back.
#include <QComboBox>
#include <QLabel>
#include <QStringListModel>
#include <QTableWidget>

#include <stdexcept>

#include "history/history.h"
#include "squads/squads.h"
#include "ui/filenames.h"
#include "ui/messages.h"
#include "uitest.h"

using namespace uitest;

class TestIdentity : public QObject {
  Q_OBJECT
 private slots:
  void pathWithAccentsRefusedOrMangled();
  void namesakeInASquadShownInsteadOfThePersonClicked();
  void historyClubSavedAsAnEarlierClubSharingItsBeginning();
  void failingHandlerKeepsTheWaitCursor();
};

void TestIdentity::pathWithAccentsRefusedOrMangled() {
  QTemporaryDir root;
  const QString prog = root.path() + QStringLiteral("/progr\u00E4m"), game = root.path() + QStringLiteral("/jos\u00E9/cm3");
  QVERIFY(QDir().mkpath(prog) && QDir().mkpath(game));
  cm3::sample::generate(cm3::ui::nativePath(game), cm3::sample::smallPreset(), 7);
  {
    cm3::ui::TolvPlayer w(prog);
    w.show();
    child<QLineEdit>(&w, "txtpath")->setText(game);
    QCOMPARE(boxes([&] { click(&w, "cmdOpen"); }), QStringList());
    QVERIFY(w.database().isOpen());
    w.close();
  }
  cm3::ui::TolvPlayer again(prog);
  QCOMPARE(child<QLineEdit>(&again, "txtpath")->text(), game);
}

void TestIdentity::namesakeInASquadShownInsteadOfThePersonClicked() {
  Session s;
  QVERIFY(s.open());
  cm3::Database& db = s.w->database();
  // Two players of one club get one display name; the later slot's man is listed second.
  int club = -1, first = -1, second = -1;
  for (int c = 0; c < int(db.clubNames.size()) && second < 0; ++c) {
    std::vector<int> people;
    for (int32_t id : cm3::squads::decodePlayerSlots(db.read<cm3::ClubRecord>(cm3::kSlotClub, c + 1)))
      if (id >= 0 && id < db.PeopleCount()) people.push_back(id);
    if (people.size() >= 2 && people[0] < people[1]) club = c, first = people[0], second = people[1];
  }
  QVERIFY2(second >= 0, "the sample has no club with two players");
  db.PersonNameTable[size_t(first)] = db.PersonNameTable[size_t(second)] = "Zzyzx Twin";
  child<QLineEdit>(s.w.get(), "txtSearch")->setText(QStringLiteral("Zzyzx Twin"));
  click(s.w.get(), "cmdSearch");
  auto* players = child<QListWidget>(s.w.get(), "lstplayers");
  QCOMPARE(players->count(), 2);

  clickRow(players, 1);
  QCOMPARE(child<QLabel>(s.w.get(), "lblID")->text(), QString::number(second));
  QCOMPARE(child<QComboBox>(s.w.get(), "cmbSquad")->currentIndex(), club);
  const auto squadSlots = cm3::squads::decodePlayerSlots(db.read<cm3::ClubRecord>(cm3::kSlotClub, club + 1));
  QCOMPARE(child<QListWidget>(s.w.get(), "lstSquad")->currentRow(), cm3::squads::findSlot(squadSlots, second));
}

void TestIdentity::historyClubSavedAsAnEarlierClubSharingItsBeginning() {
  Session s;
  QVERIFY(s.open());
  cm3::Database& db = s.w->database();
  int person = 0;
  while (person < db.PeopleCount() && cm3::history::findRecords(db, person).empty()) ++person;
  QVERIFY2(person < db.PeopleCount(), "the sample has no history rows");
  // Club 1 is "Real Madrid", club 4 "Real": choosing club 4 must save 4.
  const int earlier = 1, chosen = 4;
  QVERIFY(int(db.clubNames.size()) > chosen);
  db.clubNames[earlier] = "Real Madrid";
  db.clubNames[chosen] = "Real";
  s.w->names().clubs()->setData(s.w->names().clubs()->index(earlier), QStringLiteral("Real Madrid"));
  s.w->names().clubs()->setData(s.w->names().clubs()->index(chosen), QStringLiteral("Real"));

  s.w->showPerson(person);
  click(s.w.get(), "cmdHistory");
  child<QTableWidget>(s.w.get(), "grdHistory")->setCurrentCell(0, 0);
  auto* combo = child<QComboBox>(s.w.get(), "cmbHistClub");
  combo->setCurrentIndex(chosen);
  emit combo->activated(chosen);
  QCOMPARE(boxes([&] { click(s.w.get(), "cmdUpdate"); }), QStringList());
  const int32_t record = cm3::history::findRecords(db, person).front();
  QCOMPARE(db.read<cm3::HistoryRecord>(cm3::kSlotHistory, int64_t(record) + 1).ClubId(), chosen);
}

void TestIdentity::failingHandlerKeepsTheWaitCursor() {
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

QTEST_MAIN(TestIdentity)
#include "tst_identity.moc"
