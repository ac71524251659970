#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "database/settings.h"
#include "ui/mainwindow.h"
#include "uitest.h"
#ifdef CM3_HAVE_SAMPLE
#include "sample/generator.h"
#endif

using cm3::ui::TolvPlayer;

using namespace uitest;
class TestMainWindow : public QObject {
  Q_OBJECT
 private slots:
  void startState();
  void wrongPathKeepsStartState();
#ifdef CM3_HAVE_SAMPLE
  void openAndSearch();
#endif
};

void TestMainWindow::startState() {
  QTemporaryDir prog;
  cm3::writeSettings(prog.path().toStdString(), "C:\\games\\somewhere");
  TolvPlayer w(prog.path());
  QCOMPARE(w.objectName(), QStringLiteral("TOLVPLAYER"));
  QCOMPARE(w.windowTitle(), QStringLiteral("TOLVPLAYER EDITOR BETA 0.80"));
  QCOMPARE(child<QLineEdit>(w, "txtpath")->text(), QStringLiteral("C:\\games\\somewhere"));
  QVERIFY(child<QPushButton>(w, "cmdOpen")->isEnabled());
  for (const char* n : {"cmdSearch", "cmdNewPlayer", "cmdUpdate", "cmdScoutOpt", "cmdScout", "cmdTransfer", "cmdRetire"})
    QVERIFY2(!child<QPushButton>(w, n)->isEnabled(), n);
  QVERIFY(!child<QLineEdit>(w, "txtSearch")->isEnabled());
  QVERIFY(!child<QListWidget>(w, "lstplayers")->isEnabled());
  QVERIFY(!child<QComboBox>(w, "cmbSquad")->isEnabled());
  QVERIFY(!child<QTabWidget>(w, "SSTab1")->isEnabled());
  QCOMPARE(child<QPushButton>(w, "cmdRetire")->toolTip(), QStringLiteral("Not Yet Implemented"));
  QVERIFY(w.findChild<QLabel*>(QStringLiteral("ccrpStatusBar_panel1")) != nullptr);
}

void TestMainWindow::wrongPathKeepsStartState() {
  QTemporaryDir prog;
  QTemporaryDir empty;
  TolvPlayer w(prog.path());
  w.show();
  child<QLineEdit>(w, "txtpath")->setText(empty.path() + QStringLiteral("/nothing_here"));
  QString text;
  answerNextBox(&text);
  QTest::mouseClick(child<QPushButton>(w, "cmdOpen"), Qt::LeftButton);
  QCOMPARE(text, QString::fromLatin1(cm3::kWrongPathMessage));
  QVERIFY(child<QPushButton>(w, "cmdOpen")->isEnabled());
  QVERIFY(child<QLineEdit>(w, "txtpath")->isEnabled());
  QVERIFY(!child<QPushButton>(w, "cmdSearch")->isEnabled());
  // The path typed was remembered in the settings file.
  auto saved = cm3::readSettings(prog.path().toStdString());
  QVERIFY(saved.has_value());
  QCOMPARE(QString::fromStdString(*saved), empty.path() + QStringLiteral("/nothing_here"));
}

#ifdef CM3_HAVE_SAMPLE
void TestMainWindow::openAndSearch() {
  QTemporaryDir prog;
  QTemporaryDir game;
  cm3::sample::generate(game.path().toStdString(), cm3::sample::smallPreset(), 7);
  {
    TolvPlayer w(prog.path());
    w.show();
    child<QLineEdit>(w, "txtpath")->setText(game.path());
    QTest::mouseClick(child<QPushButton>(w, "cmdOpen"), Qt::LeftButton);
    QVERIFY(!child<QPushButton>(w, "cmdOpen")->isEnabled());
    QVERIFY(!child<QLineEdit>(w, "txtpath")->isEnabled());
    QVERIFY(child<QPushButton>(w, "cmdSearch")->isEnabled());
    QVERIFY(child<QTabWidget>(w, "SSTab1")->isEnabled());
    auto& db = w.database();
    QCOMPARE(child<QComboBox>(w, "cmbnations")->count(), int(db.nationNames.size()));
    QVERIFY(child<QComboBox>(w, "cmbnations")->count() > 0);
    QCOMPARE(child<QComboBox>(w, "cmbSquad")->count(), int(db.clubNames.size()));
    QVERIFY(child<QComboBox>(w, "cmbSquad")->count() > 0);

    // Search for a word of the first person's name.
    std::string name = db.personName(0);
    QVERIFY(!name.empty());
    std::string key = name.substr(0, name.find(' '));
    child<QLineEdit>(w, "txtSearch")->setText(QString::fromStdString(key));
    QTest::mouseClick(child<QPushButton>(w, "cmdSearch"), Qt::LeftButton);
    auto* list = child<QListWidget>(w, "lstplayers");
    QVERIFY(list->count() >= 1);
    QCOMPARE(list->count(), int(w.matchTable().size()));
    QCOMPARE(w.matchTable().front(), 0);
    for (int i = 0; i < list->count(); ++i)
      QVERIFY(list->item(i)->text().contains(QString::fromStdString(key), Qt::CaseInsensitive));
    QCOMPARE(child<QLabel>(w, "ccrpStatusBar_panel1")->text(), QStringLiteral("%1 Matches").arg(list->count()));
    w.close();
    QVERIFY(child<QLineEdit>(w, "txtpath")->isEnabled());
  }
  // Closing wrote the database back: it opens again.
  cm3::Database again;
  QVERIFY2(again.open(game.path().toStdString()), again.OpenError.c_str());
}
#endif

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
