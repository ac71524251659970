// What the window does when the files let it down: the working files of a
// run that did not close, a game directory open in a second editor,
// read-only files and folders, a full disk, and a file deleted while open.
// Each test works on a fresh generated game directory.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "database/database.h"
#include "records/records.h"
#include "sample/generator.h"
#include "ui/mainwindow.h"
#include "uitest.h"
#include "../filefailures.h"

using cm3::Database;
using cm3::PlayerAttRecord;
using cm3::StaffRecord;
using cm3::ui::TolvPlayer;
using namespace uitest;
using filefailures::FileSizeLimit;
using filefailures::OrdinaryUser;
namespace fs = std::filesystem;

namespace {

// The names of the files that differ between two snapshots of the Data
// folder, or are in only one. index_temp.dat, which stays after a first
// Open, is left out.
QStringList changedFiles(const std::map<QString, Bytes>& now, const std::map<QString, Bytes>& then) {
  QStringList changed;
  const QString kept = QStringLiteral("index_temp.dat");
  for (const auto& [name, bytes] : now)
    if (name != kept && (!then.count(name) || then.at(name) != bytes)) changed << name;
  for (const auto& [name, bytes] : then)
    if (name != kept && !now.count(name)) changed << name;
  return changed;
}

}  // namespace

class TestSafety : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void unclosedRunIsOfferedBackAtOpen();
  void secondEditorIsRefused();
  void readOnlyFilesAndFolders();
  void fullDiskOnUpdateAndAtClosing();
  void deletedFileDuringUpdate();

 private:
  QString data() const { return game_->path() + "/Data"; }
  // Clicks Open; true when the database opened.
  bool clickOpen() {
    child<QLineEdit>(*w_, "txtpath")->setText(game_->path());
    QTest::mouseClick(child<QPushButton>(*w_, "cmdOpen"), Qt::LeftButton);
    return w_->database().isOpen();
  }
  void newWindow() {
    w_ = std::make_unique<TolvPlayer>(prog_->path());
    w_->show();
  }
  // A player and the record of his attributes (1-based).
  static std::pair<int, int64_t> firstPlayer(Database& db) {
    for (int i = 0; i < db.PeopleCount(); ++i) {
      StaffRecord s = db.read<StaffRecord>(cm3::kSlotStaff, i + 1);
      if (s.isPlayer()) return {i, int64_t(s.PlayerAttIndex()) + 1};
    }
    qFatal("no player");
  }
  int16_t potential(int64_t attRecord) {
    return w_->database().read<PlayerAttRecord>(cm3::kSlotStaffAtt, attRecord).PotentialAbility();
  }
  // Opens the directory with the core alone, changes one potential ability
  // and stops without closing, as a crash would: the change lives only in
  // the working files. Returns the attribute record and its new value.
  std::pair<int64_t, int16_t> crashAfterAnEdit() {
    Database db;
    if (!db.open(game_->path().toStdString())) qFatal("%s", db.OpenError.c_str());
    const int64_t att = firstPlayer(db).second;
    PlayerAttRecord a = db.read<PlayerAttRecord>(cm3::kSlotStaffAtt, att);
    const int16_t value = int16_t(a.PotentialAbility() == 177 ? 178 : 177);
    a.setPotentialAbility(value);
    db.write(cm3::kSlotStaffAtt, att, a);
    return {att, value};
  }
  // Shows the first player and types a new first name, which is appended
  // to first_names.dat on Update.
  void typeNewFirstName() {
    const int id = firstPlayer(w_->database()).first;
    w_->showPerson(id);
    QCOMPARE(w_->CurrentPersonId, id);
    auto* first = child<QLineEdit>(*w_, "txtFirstname");
    first->setFocus();
    first->end(false);
    QTest::sendKeyEvent(QTest::Click, first, Qt::Key_unknown, QStringLiteral("é"), Qt::NoModifier);
    QVERIFY(w_->FirstNameChanged);
  }

  std::unique_ptr<QTemporaryDir> prog_, game_;
  std::unique_ptr<TolvPlayer> w_;
  std::map<QString, Bytes> before_;
};

void TestSafety::init() {
  prog_ = std::make_unique<QTemporaryDir>();
  game_ = std::make_unique<QTemporaryDir>();
  cm3::sample::generate(game_->path().toStdString(), cm3::sample::smallPreset(), 41);
  before_ = snapshot(data());
  newWindow();
}

void TestSafety::cleanup() {
  if (w_) w_->close();
  w_.reset();
  game_.reset();
  prog_.reset();
}

void TestSafety::unclosedRunIsOfferedBackAtOpen() {
  // Yes folds the working files back first: the change is there, and stays
  // after a normal close.
  auto [att, value] = crashAfterAnEdit();
  QString question;
  answerNextBox(&question, QMessageBox::Yes);
  QVERIFY(clickOpen());
  QVERIFY2(question.contains(QStringLiteral("not closed properly")), qPrintable(question));
  QCOMPARE(potential(att), value);
  w_->close();
  QVERIFY(!Database::hasLeftoverWorkingFiles(game_->path().toStdString()));
  const QString problems = checkProblems(game_->path());
  QVERIFY2(problems.isEmpty(), qPrintable(problems));
  newWindow();
  QVERIFY(clickOpen());  // nothing is left to offer
  QCOMPARE(potential(att), value);
  w_->close();

  // No opens the game files as they are: the change of the lost run is gone.
  const int16_t kept = value;
  auto [att2, value2] = crashAfterAnEdit();
  QCOMPARE(att2, att);
  QVERIFY(value2 != kept);
  newWindow();
  answerNextBox(&question, QMessageBox::No);
  QVERIFY(clickOpen());
  QCOMPARE(potential(att), kept);
  w_->close();
  QVERIFY(!Database::hasLeftoverWorkingFiles(game_->path().toStdString()));
}

void TestSafety::secondEditorIsRefused() {
  Database other;
  QVERIFY(other.open(game_->path().toStdString()));
  QString text;
  answerNextBox(&text);
  QVERIFY(!clickOpen());
  QCOMPARE(text, QString::fromLatin1(cm3::kAlreadyOpenMessage));
  QVERIFY(child<QLineEdit>(*w_, "txtpath")->isEnabled());
  // The first editor's files are untouched by the refusal.
  other.close();
  QCOMPARE(changedFiles(snapshot(data()), before_), QStringList());
  QVERIFY(clickOpen());
}

void TestSafety::readOnlyFilesAndFolders() {
  OrdinaryUser user(std::vector<fs::path>{game_->path().toStdString(), prog_->path().toStdString()});
  const QString staff = data() + "/staff.dat";

  // A read-only game file: a message naming it, nothing opened, no
  // working file left behind.
  QFile::setPermissions(staff, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
  QString text;
  answerNextBox(&text);
  QVERIFY(!clickOpen());
  QVERIFY2(text.contains(QStringLiteral("staff.dat")) && text.contains(QStringLiteral("read-only")), qPrintable(text));
  QVERIFY(child<QLineEdit>(*w_, "txtpath")->isEnabled());
  QCOMPARE(changedFiles(snapshot(data()), before_), QStringList());
  QFile::setPermissions(staff, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);

  // A folder that turns read-only while open: closing says the changes were
  // not written back, and the next Open puts them back.
  QVERIFY(clickOpen());
  auto& db = w_->database();
  const int64_t att = firstPlayer(db).second;
  PlayerAttRecord a = db.read<PlayerAttRecord>(cm3::kSlotStaffAtt, att);
  const int16_t value = int16_t(a.PotentialAbility() == 150 ? 151 : 150);
  a.setPotentialAbility(value);
  db.write(cm3::kSlotStaffAtt, att, a);
  const QFile::Permissions folder = QFile::permissions(data());
  QFile::setPermissions(data(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
  answerNextBox(&text);
  w_->close();
  QVERIFY2(text.contains(QStringLiteral("could not be written back")), qPrintable(text));
  QVERIFY(child<QLineEdit>(*w_, "txtpath")->isEnabled());
  QFile::setPermissions(data(), folder);
  QCOMPARE(slurp(staff), before_[QStringLiteral("staff.dat")]);

  newWindow();
  answerNextBox(&text, QMessageBox::Yes);
  QVERIFY(clickOpen());
  QVERIFY2(text.contains(QStringLiteral("not closed properly")), qPrintable(text));
  QCOMPARE(potential(att), value);
  w_->close();
  const QString problems = checkProblems(game_->path());
  QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

void TestSafety::fullDiskOnUpdateAndAtClosing() {
  QVERIFY(clickOpen());
  w_->database().autoBackup = false;  // the backup before the first write would meet the full disk first
  typeNewFirstName();
  const QString names = data() + "/first_names.dat";
  QString text, detail;
  {
    // No room for the appended name: the Update is refused with the reason,
    // and the name stays marked as typed for a later try.
    FileSizeLimit limit(rlim_t(QFileInfo(names).size()));
    answerNextBox(&text, QMessageBox::NoButton, &detail);
    QTest::mouseClick(child<QPushButton>(*w_, "cmdUpdate"), Qt::LeftButton);
    QCOMPARE(text, QStringLiteral("Illegal value!"));
    QVERIFY2(detail.contains(QStringLiteral("first_names.dat")), qPrintable(detail));
    QVERIFY(w_->FirstNameChanged);

    // Closing on the full disk keeps the working files and the game's own
    // staff.dat whole.
    answerNextBox(&text);
    w_->close();
    QVERIFY2(text.contains(QStringLiteral("could not be written back")), qPrintable(text));
  }
  QCOMPARE(snapshot(data()).count(QStringLiteral("staff.dat.new")), size_t(0));
  QCOMPARE(slurp(data() + "/staff.dat"), before_[QStringLiteral("staff.dat")]);
  QCOMPARE(slurp(names), before_[QStringLiteral("first_names.dat")]);

  // With room again, Open folds the run back; nothing of the refused Update
  // landed in any game file.
  newWindow();
  answerNextBox(&text, QMessageBox::Yes);
  QVERIFY(clickOpen());
  w_->close();
  QCOMPARE(changedFiles(snapshot(data()), before_), QStringList());
}

void TestSafety::deletedFileDuringUpdate() {
  QVERIFY(clickOpen());
  typeNewFirstName();
  QVERIFY(QFile::remove(data() + "/first_names.dat"));
  QString text, detail;
  answerNextBox(&text, QMessageBox::NoButton, &detail);
  QTest::mouseClick(child<QPushButton>(*w_, "cmdUpdate"), Qt::LeftButton);
  QCOMPARE(text, QStringLiteral("Illegal value!"));
  QVERIFY2(detail.contains(QStringLiteral("first_names.dat")), qPrintable(detail));
  QVERIFY(w_->database().isOpen());
  // The refused Update wrote nothing: the other files close as they were,
  // and the deleted file is not made again behind the user's back.
  w_->close();
  QVERIFY(!QFile::exists(data() + "/first_names.dat"));
  QCOMPARE(changedFiles(snapshot(data()), before_), QStringList{QStringLiteral("first_names.dat")});
}

QTEST_MAIN(TestSafety)
#include "tst_safety.moc"
