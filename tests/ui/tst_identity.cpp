// What the user points at is what the editor uses: the path typed is the path
// opened and remembered, the person clicked is the person shown, the club
// chosen is the club saved, and a failed handler gives the cursor back.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include <stdexcept>

#include "history/history.h"
#include "sample/generator.h"
#include "squads/squads.h"
#include "ui/filenames.h"
#include "ui/mainwindow.h"
#include "ui/messages.h"
#include "uitest.h"

using cm3::ui::TolvPlayer;
using namespace uitest;

namespace {

// Answers every message box shown while it lives and keeps their texts.
class BoxLog {
 public:
  BoxLog() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        texts << box->text();
        box->accept();
      }
    });
    timer_.start();
  }
  QStringList texts;

 private:
  QTimer timer_;
};

// Types the path and presses Open; the text of any box that came instead.
QString open(TolvPlayer& w, const QString& gameDir) {
  BoxLog boxes;
  child<QLineEdit>(w, "txtpath")->setText(gameDir);
  QTest::mouseClick(child<QPushButton>(w, "cmdOpen"), Qt::LeftButton);
  if (child<QLineEdit>(w, "txtpath")->isEnabled() && boxes.texts.isEmpty()) return QStringLiteral("not opened");
  return boxes.texts.join(u'\n');
}

void clickRow(QListWidget* list, int row) {
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

}  // namespace

class TestIdentity : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void aPathWithAccentsOpensAndComesBackUnmangled();
  void twoNamesakesInASquadShowThePersonClicked();
  void theHistoryClubChosenIsSavedWhenAnEarlierClubSharesItsBeginning();
  void aFailingHandlerGivesTheCursorBackAndSaysWhy();

 private:
  QTemporaryDir root_;
  QString prog_, game_;
};

void TestIdentity::init() {
  // A game of its own for each test, so that a failed test leaves nothing to the next.
  static int run = 0;
  prog_ = root_.path() + QStringLiteral("/program");
  game_ = root_.path() + QStringLiteral("/game%1").arg(++run);
  QVERIFY(QDir().mkpath(prog_) && QDir().mkpath(game_));
  cm3::sample::generate(game_.toStdString(), cm3::sample::smallPreset(), 7);
}

void TestIdentity::aPathWithAccentsOpensAndComesBackUnmangled() {
  const QString prog = root_.path() + QStringLiteral("/progr\u00E4m");
  const QString game = root_.path() + QStringLiteral("/jos\u00E9/cm3");
  QVERIFY(QDir().mkpath(prog) && QDir().mkpath(game));
  cm3::sample::generate(cm3::ui::nativePath(game), cm3::sample::smallPreset(), 7);
  {
    TolvPlayer w(prog);
    QCOMPARE(open(w, game), QString());
    w.close();
  }
  TolvPlayer again(prog);
  QCOMPARE(child<QLineEdit>(again, "txtpath")->text(), game);
}

void TestIdentity::twoNamesakesInASquadShowThePersonClicked() {
  TolvPlayer w(prog_);
  QCOMPARE(open(w, game_), QString());
  cm3::Database& db = w.database();
  // Two players of one club get one display name, the later slot's man listed second.
  int club = -1, first = -1, second = -1;
  for (int c = 0; c < int(db.clubNames.size()) && second < 0; ++c) {
    const auto squadSlots = cm3::squads::decodePlayerSlots(db.read<cm3::ClubRecord>(cm3::kSlotClub, c + 1));
    std::vector<int> people;
    for (int32_t id : squadSlots)
      if (id >= 0 && id < db.PeopleCount()) people.push_back(id);
    if (people.size() >= 2 && people[0] < people[1]) club = c, first = people[0], second = people[1];
  }
  QVERIFY2(second >= 0, "the sample has no club with two players");
  db.PersonNameTable[size_t(first)] = db.PersonNameTable[size_t(second)] = "Zzyzx Twin";
  child<QLineEdit>(w, "txtSearch")->setText(QStringLiteral("Zzyzx Twin"));
  QTest::mouseClick(child<QPushButton>(w, "cmdSearch"), Qt::LeftButton);
  auto* players = child<QListWidget>(w, "lstplayers");
  QCOMPARE(players->count(), 2);

  clickRow(players, 1);
  QCOMPARE(child<QLabel>(w, "lblID")->text(), QString::number(second));
  QCOMPARE(w.CurrentPersonId, second);
  QCOMPARE(child<QComboBox>(w, "cmbSquad")->currentIndex(), club);
  const auto squadSlots = cm3::squads::decodePlayerSlots(db.read<cm3::ClubRecord>(cm3::kSlotClub, club + 1));
  QCOMPARE(child<QListWidget>(w, "lstSquad")->currentRow(), cm3::squads::findSlot(squadSlots, second));
  w.close();
}

void TestIdentity::theHistoryClubChosenIsSavedWhenAnEarlierClubSharesItsBeginning() {
  TolvPlayer w(prog_);
  QCOMPARE(open(w, game_), QString());
  cm3::Database& db = w.database();
  int person = -1;
  for (int id = 0; id < db.PeopleCount() && person < 0; ++id)
    if (!cm3::history::findRecords(db, id).empty()) person = id;
  QVERIFY2(person >= 0, "the sample has no history rows");
  // Club 1 is "Real Madrid", club 4 "Real": choosing club 4 must save 4.
  const int earlier = 1, chosen = 4;
  QVERIFY(int(db.clubNames.size()) > chosen);
  db.clubNames[earlier] = "Real Madrid";
  db.clubNames[chosen] = "Real";
  w.clubModel()->setData(w.clubModel()->index(earlier), QStringLiteral("Real Madrid"));
  w.clubModel()->setData(w.clubModel()->index(chosen), QStringLiteral("Real"));

  w.showPerson(person);
  QTest::mouseClick(child<QPushButton>(w, "cmdHistory"), Qt::LeftButton);
  auto* grid = child<QTableWidget>(w, "grdHistory");
  grid->setCurrentCell(0, 0);
  auto* combo = child<QComboBox>(w, "cmbHistClub");
  combo->setCurrentIndex(chosen);
  emit combo->activated(chosen);
  QTest::mouseClick(child<QPushButton>(w, "cmdUpdate"), Qt::LeftButton);

  const int32_t record = cm3::history::findRecords(db, person).front();
  QCOMPARE(db.read<cm3::HistoryRecord>(cm3::kSlotHistory, int64_t(record) + 1).ClubId(), chosen);
  w.close();
}

void TestIdentity::aFailingHandlerGivesTheCursorBackAndSaysWhy() {
  QWidget parent;
  BoxLog boxes;
  const bool ended = cm3::ui::whileBusy(&parent, [] {
    QVERIFY(QApplication::overrideCursor() != nullptr);
    throw std::runtime_error("disk gone");
  });
  QVERIFY(!ended);
  QCOMPARE(QApplication::overrideCursor(), nullptr);
  QCOMPARE(boxes.texts, QStringList{QStringLiteral("The operation failed.")});
}

QTEST_MAIN(TestIdentity)
#include "tst_identity.moc"
