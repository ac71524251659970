// What the window does when the files let it down: the working files of a
// run that did not close, a second editor, read-only files and folders, a
// full disk, and a file deleted while open.
#include <QFile>

#include "common/filefailures.h"
#include "uitest.h"

using namespace uitest;
using filefailures::FileSizeLimit;
using filefailures::OrdinaryUser;

namespace {

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

int16_t potential(Session& s) {
  return s.w->database().read<cm3::PlayerAttRecord>(cm3::kSlotStaffAtt, 1).PotentialAbility();
}

const QString kUnclosed = QStringLiteral("not closed properly");
const QString kNotWrittenBack = QStringLiteral("could not be written back");

}  // namespace

class TestSafety : public QObject {
  Q_OBJECT

 private slots:


  void unclosedRunNotOfferedOrFoldedBackOnNo() {
    Session s;
    const int16_t value = crashAfterAnEdit(s.game.path());
    QStringList seen = boxes([&] { QVERIFY(s.open()); }, {QMessageBox::Yes});
    QVERIFY(seen.size() == 1 && seen[0].contains(kUnclosed));
    QCOMPARE(potential(s), value);
    QCOMPARE(s.closeAndCheck(), QString());
    s.newWindow();
    QCOMPARE(boxes([&] { QVERIFY(s.open()); }), QStringList());  // nothing left to offer
    s.w->close();
    // No opens the game files as they are: the lost run's change is gone.
    QVERIFY(crashAfterAnEdit(s.game.path()) != value);
    s.newWindow();
    seen = boxes([&] { QVERIFY(s.open()); }, {QMessageBox::No});
    QVERIFY(seen.size() == 1 && seen[0].contains(kUnclosed));
    QCOMPARE(potential(s), value);
    s.w->close();
    QVERIFY(!cm3::Database::hasLeftoverWorkingFiles(s.game.path().toStdString()));
  }

  void secondEditorNotRefused() {
    Session s;
    cm3::Database other;
    QVERIFY(other.open(s.game.path().toStdString()));
    QCOMPARE(boxes([&] { QVERIFY(!s.open()); }), QStringList{QString::fromLatin1(cm3::kAlreadyOpenMessage)});
    QVERIFY(child<QLineEdit>(s.w.get(), "txtpath")->isEnabled());
    other.close();
    QVERIFY(snapshot(s.data()) == s.before);
    QVERIFY(s.open());
  }

  void readOnlyFileOrFolderLosesTheRun() {
    Session s;
    OrdinaryUser user(std::vector<std::filesystem::path>{s.game.path().toStdString(), s.prog.path().toStdString()});
    const QString staff = s.data() + "/staff.dat";
    QFile::setPermissions(staff, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QStringList seen = boxes([&] { QVERIFY(!s.open()); });
    QVERIFY2(seen.size() == 1 && seen[0].contains("staff.dat") && seen[0].contains("read-only"), qPrintable(seen.join('|')));
    QVERIFY2(snapshot(s.data()) == s.before, "no working file left behind");
    QFile::setPermissions(staff, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);

    // A folder that turns read-only while open: closing says the changes were
    // not written back, and the next Open puts them back.
    QVERIFY(s.open());
    cm3::PlayerAttRecord a = s.w->database().read<cm3::PlayerAttRecord>(cm3::kSlotStaffAtt, 1);
    a.setPotentialAbility(int16_t(a.PotentialAbility() == 150 ? 151 : 150));
    s.w->database().write(cm3::kSlotStaffAtt, 1, a);
    const QFile::Permissions folder = QFile::permissions(s.data());
    QFile::setPermissions(s.data(), QFile::ReadOwner | QFile::ExeOwner);
    seen = boxes([&] { s.w->close(); });
    QVERIFY2(seen.size() == 1 && seen[0].contains(kNotWrittenBack), qPrintable(seen.join('|')));
    QFile::setPermissions(s.data(), folder);
    QCOMPARE(slurp(staff), s.before[QStringLiteral("staff.dat")]);
    s.newWindow();
    seen = boxes([&] { QVERIFY(s.open()); }, {QMessageBox::Yes});
    QVERIFY(seen.size() == 1 && seen[0].contains(kUnclosed));
    QCOMPARE(potential(s), a.PotentialAbility());
    QCOMPARE(s.closeAndCheck(), QString());
  }

  void fullDiskOrDeletedFileHalfWritesAnUpdate() {
    for (bool deleted : {false, true}) {
      Session s;
      QVERIFY(s.open());
      s.w->database().autoBackup = false;  // the backup before the first write would meet the fault first
      s.w->showPerson(s.firstPerson(true));
      auto* first = child<QLineEdit>(s.w.get(), "txtFirstname");
      first->setFocus();
      first->end(false);
      QTest::sendKeyEvent(QTest::Click, first, Qt::Key_unknown, QStringLiteral("é"), Qt::NoModifier);  // appended on Update
      const QString names = s.data() + "/first_names.dat";
      if (deleted) {
        QVERIFY(QFile::remove(names));
        const QStringList seen = boxes([&] { click(s.w.get(), "cmdUpdate"); });
        QVERIFY2(seen.size() == 1 && seen[0].startsWith("Illegal value!\n") && seen[0].contains("first_names.dat"),
                 qPrintable(seen.join('|')));
        s.w->close();
        QVERIFY2(!QFile::exists(names), "not made again behind the user's back");
        Files expected = s.before;
        expected.erase(QStringLiteral("first_names.dat"));
        QVERIFY(snapshot(s.data()) == expected);
        continue;
      }
      {
        FileSizeLimit limit(rlim_t(QFileInfo(names).size()));
        QStringList seen = boxes([&] { click(s.w.get(), "cmdUpdate"); });
        QVERIFY2(seen.size() == 1 && seen[0].startsWith("Illegal value!\n") && seen[0].contains("first_names.dat"),
                 qPrintable(seen.join('|')));
        QVERIFY2(s.w->FirstNameChanged, "kept for a later try");
        seen = boxes([&] { s.w->close(); });
        QVERIFY(seen.size() == 1 && seen[0].contains(kNotWrittenBack));
      }
      QCOMPARE(snapshot(s.data()).count(QStringLiteral("staff.dat.new")), size_t(0));
      QCOMPARE(slurp(s.data() + "/staff.dat"), s.before[QStringLiteral("staff.dat")]);
      s.newWindow();
      QCOMPARE(boxes([&] { QVERIFY(s.open()); }, {QMessageBox::Yes}).size(), 1);
      s.w->close();
      QVERIFY2(snapshot(s.data()) == s.before, "nothing of the refused Update landed");
    }
  }
};

QTEST_MAIN(TestSafety)
#include "tst_safety.moc"
