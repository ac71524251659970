// Where the editor keeps tolvedit.tlv, seen by an ordinary user: the remembered
// game directory must survive a restart whether or not the program folder can
// be written.
#include <sys/stat.h>

#include <QTemporaryDir>
#include <QtTest>

#include "database/settings.h"
#include "common/filefailures.h"
#include "ui/widgets.h"

class TestSettingsFolder : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("tolvedit")); }
  void remembersAcrossStarts_data();
  void remembersAcrossStarts();
};

void TestSettingsFolder::remembersAcrossStarts_data() {
  QTest::addColumn<int>("folderMode");
  QTest::addColumn<int>("fileMode");  // 0: no settings file yet
  QTest::addColumn<bool>("besideProgram");
  QTest::newRow("unpacked copy, first start") << 0755 << 0 << true;
  QTest::newRow("unpacked copy, its own settings file") << 0555 << 0644 << true;
  QTest::newRow("installed: folder not writable") << 0555 << 0 << false;
  QTest::newRow("settings file beside it not writable") << 0755 << 0444 << false;
}

void TestSettingsFolder::remembersAcrossStarts() {
  QFETCH(int, folderMode);
  QFETCH(int, fileMode);
  QFETCH(bool, besideProgram);
  QTemporaryDir program, home;
  const std::string dir = program.path().toStdString();
  if (fileMode) {
    cm3::writeSettings(dir, "/games/old");
    QCOMPARE(::chmod(cm3::settingsPath(dir).c_str(), mode_t(fileMode)), 0);
  }
  QCOMPARE(::chmod(dir.c_str(), mode_t(folderMode)), 0);
  qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
  {
    filefailures::OrdinaryUser user({dir, home.path().toStdString()});
    const QString folder = cm3::ui::settingsFolder(program.path());
    QCOMPARE(folder, besideProgram ? program.path() : home.path() + QStringLiteral("/config/tolvedit"));
    cm3::writeSettings(folder.toStdString(), "/games/cm3");
    // The next start finds what this one wrote.
    const auto saved = cm3::readSettings(cm3::ui::settingsFolder(program.path()).toStdString());
    QCOMPARE(QString::fromStdString(saved.value_or("(no settings file)")), QStringLiteral("/games/cm3"));
  }
  ::chmod(dir.c_str(), 0755);
}

QTEST_GUILESS_MAIN(TestSettingsFolder)

#include "tst_settingsfolder.moc"
