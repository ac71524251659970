// The scout criteria window and the scout run of the main window, driven by
// object name on a generated game directory.
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "database/database.h"
#include "records/cp1252.h"
#include "records/records.h"
#include "sample/generator.h"
#include "search/scout.h"
#include "ui/frmscoutoptions.h"
#include "ui/mainwindow.h"
#include "uitest.h"
#include "ui/scoutpanel.h"

using cm3::search::kScoutAttributes;
using cm3::search::kScoutPositions;
using cm3::ui::FrmScoutOptions;
using cm3::ui::ScoutPanel;
using cm3::ui::TolvPlayer;

using namespace uitest;
class TestScout : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase();
  void init();
  void cleanup();
  void windowContents();
  void okStoresAndEnablesScout();
  void failedOkStoresThePartBefore();
  void characterFilters();
  void jobGreysTheThresholdFrames();
  void resets();
  void closeBoxStoresNothing();
  void scoutRunFillsTheList();
  void scoutStopsAtTheLimit();

 private:
  FrmScoutOptions& dlg() {
    FrmScoutOptions* d = panel()->frmScoutOptions();
    if (!d) qFatal("criteria window not loaded");
    return *d;
  }
  ScoutPanel* panel() {
    for (auto* p : w_->panels())
      if (auto* s = dynamic_cast<ScoutPanel*>(p)) return s;
    qFatal("no scout panel");
  }
  QLineEdit* box(const QString& name) { return child<QLineEdit>(dlg(), name); }
  QLineEdit* box(const char* name) { return child<QLineEdit>(dlg(), name); }
  QComboBox* combo(const char* name) { return child<QComboBox>(dlg(), name); }
  QPushButton* cmdScout() { return child<QPushButton>(*w_, "cmdScout"); }
  void ok() { QTest::mouseClick(child<QPushButton>(dlg(), "cmdOk"), Qt::LeftButton); }
  void showDialog() {
    dlg().show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg()));
  }

  QTemporaryDir game_;
  std::unique_ptr<QTemporaryDir> prog_;
  std::unique_ptr<TolvPlayer> w_;
};

void TestScout::initTestCase() {
  cm3::sample::Preset p = cm3::sample::smallPreset();
  p.people = 1600;
  p.players = 1400;
  cm3::sample::generate(game_.path().toStdString(), p, 31);
}

void TestScout::init() {
  prog_ = std::make_unique<QTemporaryDir>();
  w_ = std::make_unique<TolvPlayer>(prog_->path());
  w_->show();
  QVERIFY(!panel()->frmScoutOptions());
  child<QLineEdit>(*w_, "txtpath")->setText(game_.path());
  QTest::mouseClick(child<QPushButton>(*w_, "cmdOpen"), Qt::LeftButton);
  QVERIFY(w_->database().isOpen());
}

void TestScout::cleanup() {
  // Gives the run up without writing back, and without leaving working
  // files for the next Open to offer back: every test starts from the
  // generated files.
  w_->database().abortOpen();
  w_.reset();
  prog_.reset();
}

void TestScout::windowContents() {
  QVERIFY(child<QPushButton>(*w_, "cmdScoutOpt")->isEnabled());
  QVERIFY(!cmdScout()->isEnabled());
  QCOMPARE(child<QPushButton>(*w_, "cmdScoutOpt")->toolTip(), QStringLiteral("Set Properties for a Scout Search"));
  FrmScoutOptions& d = dlg();
  QCOMPARE(d.objectName(), QStringLiteral("frmScoutOptions"));
  QCOMPARE(d.windowTitle(), QStringLiteral("Scout Options"));
  QVERIFY(d.parent() == nullptr);  // its boxes do not shadow the main window's
  QVERIFY(w_->control<QLineEdit>(QStringLiteral("txtAbility")) != box("txtAbility"));

  QCOMPARE(child<QGroupBox>(d, "fraAtt")->title(), QStringLiteral("Attributes"));
  QCOMPARE(child<QGroupBox>(d, "fraPositions")->title(), QStringLiteral("Position"));
  QCOMPARE(child<QGroupBox>(d, "fraAbility")->title(), QStringLiteral("Ratings"));
  QCOMPARE(child<QLabel>(d, "lblAbilityRange")->text(), QStringLiteral("0-200 "));
  QCOMPARE(child<QLabel>(d, "lblPotAbilityRange")->text(), QStringLiteral("-2-200"));
  QCOMPARE(child<QLabel>(d, "fraAttRange")->text(), QStringLiteral("0-20"));
  QCOMPARE(child<QLabel>(d, "fraPositionsRange")->text(), QStringLiteral("0-20"));
  QCOMPARE(child<QPushButton>(d, "cmdOk")->text(), QStringLiteral("O&k"));
  QCOMPARE(child<QPushButton>(d, "cmdReset")->text(), QStringLiteral("Reset All"));

  auto* att = child<QGroupBox>(d, "fraAtt");
  for (const auto& b : kScoutAttributes) {
    QLineEdit* e = child<QLineEdit>(*att, b.name);
    QCOMPARE(e->text(), QStringLiteral("0"));
    QCOMPARE(e->toolTip(), QString::fromLatin1(b.tooltip));
    QCOMPARE(e->maxLength(), b.maxLength ? b.maxLength : 32767);
    bool captioned = false;
    for (QLabel* l : att->findChildren<QLabel*>())
      if (l->buddy() == e) captioned = l->text() == QString::fromLatin1(b.caption);
    QVERIFY2(captioned, b.name);
  }
  QCOMPARE(box("txtVis")->maxLength(), 2);
  QCOMPARE(box("txtFlair")->toolTip(), QStringLiteral("How likely he is to do the unexpecte"));
  auto* pos = child<QGroupBox>(d, "fraPositions");
  for (const auto& b : kScoutPositions) {
    QLineEdit* e = child<QLineEdit>(*pos, b.name);
    QCOMPARE(e->text(), QStringLiteral("0"));
    QCOMPARE(e->maxLength(), 4);
  }
  QCOMPARE(box("txtAbility")->maxLength(), 3);
  QCOMPARE(box("txtPotAbility")->maxLength(), 3);
  QCOMPARE(box("txtAge")->text(), QStringLiteral("0"));
  QCOMPARE(d.findChildren<QLineEdit*>().size(), 47);

  QCOMPARE(combo("cmbClass")->count(), 16);
  QCOMPARE(combo("cmbClass")->itemText(9), QStringLiteral("Scout"));
  QCOMPARE(combo("cmbClass")->itemText(15), QStringLiteral("General Player Manager"));
  QCOMPARE(combo("cmbnations")->count(), int(w_->database().nationNames.size()));
  QCOMPARE(combo("cmbnations")->itemText(2), child<QComboBox>(*w_, "cmbnations")->itemText(2));
  QCOMPARE(combo("cmbComp")->count(), int(w_->database().compNames.size()));
  QCOMPARE(combo("cmbComp")->itemText(4), q8(w_->database().compNames[4]));
  for (const char* c : {"cmbnations", "cmbClass", "cmbComp"}) QCOMPARE(combo(c)->currentIndex(), -1);
  auto* opt = child<QListWidget>(d, "lstOpt");
  QCOMPARE(opt->count(), 2);
  QCOMPARE(opt->item(0)->text(), QStringLiteral("Older Than"));
  QCOMPARE(opt->item(1)->text(), QStringLiteral("Younger Than"));
  QCOMPARE(opt->currentRow(), 0);
}

void TestScout::okStoresAndEnablesScout() {
  // Through the main window's button: the window is shown modally.
  bool seen = false;
  QTimer::singleShot(50, [&] {
    seen = QApplication::activeModalWidget() == &dlg();
    box("txtAbility")->setText(QStringLiteral("150"));
    box("txtBravery")->setText(QStringLiteral(" 12.5 "));
    combo("cmbClass")->setCurrentIndex(11);
    combo("cmbComp")->setCurrentIndex(3);
    combo("cmbnations")->setCurrentIndex(2);
    child<QListWidget>(dlg(), "lstOpt")->setCurrentRow(1);
    box("txtAge")->setText(QStringLiteral("23"));
    ok();
  });
  QTest::mouseClick(child<QPushButton>(*w_, "cmdScoutOpt"), Qt::LeftButton);
  QVERIFY(seen);
  QVERIFY(!dlg().isVisible());
  QVERIFY(cmdScout()->isEnabled());
  const auto& c = panel()->ScoutCriteria();
  QCOMPARE(c.MinCurrentAbility, 150);
  QCOMPARE(int(c.MinAttribute[31]), 12);  // txtBravery, half to even
  QCOMPARE(int(c.JobClass), 11);
  QCOMPARE(int(c.LeagueIndex), 3);
  QCOMPARE(c.NationIndex, 2);
  QCOMPARE(c.AgeLimit, 23);
  QVERIFY(!c.OlderThan);
  // The fields stay for the next showing.
  QCOMPARE(box("txtAbility")->text(), QStringLiteral("150"));
}

void TestScout::failedOkStoresThePartBefore() {
  showDialog();
  box("txtAbility")->setText(QStringLiteral("80"));
  box("txtPotAbility")->setText(QStringLiteral("90"));
  box("txtDecision")->setText(QString());  // fourth attribute stored
  box("txtVis")->setText(QStringLiteral("9"));
  box("txtGoalKeeper")->setText(QStringLiteral("7"));
  QString text;
  answerNextBox(&text);
  ok();
  QCOMPARE(text, QStringLiteral("Illegal value!"));
  QVERIFY(dlg().isVisible());
  QVERIFY(!cmdScout()->isEnabled());
  const auto& c = panel()->ScoutCriteria();
  QCOMPARE(c.MinCurrentAbility, 80);
  QCOMPARE(c.MinPotentialAbility, 90);
  QCOMPARE(int(c.MinAttribute[0]), 9);
  QCOMPARE(int(c.MinPosition[0]), 0);  // after the failing box: not stored
  box("txtDecision")->setText(QStringLiteral("3"));
  ok();
  QVERIFY(!dlg().isVisible());
  QVERIFY(cmdScout()->isEnabled());
  QCOMPARE(int(panel()->ScoutCriteria().MinPosition[0]), 7);
}

void TestScout::characterFilters() {
  showDialog();
  for (const char* name : {"txtAge", "txtAbility", "txtPotAbility"}) {
    QLineEdit* e = box(name);
    e->setFocus();
    e->clear();
    QTest::keyClicks(e, QStringLiteral("a1.b-2x"));
    QCOMPARE(e->text(), QStringLiteral("1-2"));
  }
  QLineEdit* pot = box("txtPotAbility");
  pot->clear();
  QTest::keyClicks(pot, QStringLiteral("-5"));
  QCOMPARE(pot->text(), QStringLiteral("-5"));
  QLineEdit* vis = box("txtVis");  // no filter on the attribute boxes
  vis->clear();
  QTest::keyClicks(vis, QStringLiteral("x"));
  QCOMPARE(vis->text(), QStringLiteral("x"));
  vis->setText(QStringLiteral("0"));
  box("txtAge")->setText(QStringLiteral("0"));
  box("txtAbility")->setText(QStringLiteral("0"));
  ok();
  QCOMPARE(panel()->ScoutCriteria().MinPotentialAbility, -5);
}

void TestScout::jobGreysTheThresholdFrames() {
  showDialog();
  QComboBox* job = combo("cmbClass");
  auto frames = [&] {
    return std::vector<bool>{child<QGroupBox>(dlg(), "fraAbility")->isEnabled(),
                             child<QGroupBox>(dlg(), "fraPositions")->isEnabled(),
                             child<QGroupBox>(dlg(), "fraAtt")->isEnabled()};
  };
  const std::vector<bool> on{true, true, true}, off{false, false, false};
  QCOMPARE(frames(), on);
  job->setCurrentIndex(10);  // Physio
  QCOMPARE(frames(), off);
  job->setCurrentIndex(0);  // Invalid
  QCOMPARE(frames(), off);
  job->setCurrentIndex(11);  // Player
  QCOMPARE(frames(), on);
  job->setCurrentIndex(8);  // Coach
  QCOMPARE(frames(), off);
  job->setFocus();
  QTest::keyClick(job, Qt::Key_Delete);  // no job
  QCOMPARE(job->currentIndex(), -1);
  QCOMPARE(frames(), on);
  // Greyed fields are still stored.
  job->setCurrentIndex(9);
  box("txtVis")->setText(QStringLiteral("15"));
  ok();
  QCOMPARE(int(panel()->ScoutCriteria().MinAttribute[0]), 15);
  QCOMPARE(int(panel()->ScoutCriteria().JobClass), 9);
}

void TestScout::resets() {
  showDialog();
  auto fill = [&] {
    for (QLineEdit* e : dlg().findChildren<QLineEdit*>()) e->setText(QStringLiteral("5"));
  };
  auto texts = [&](const char* frame) {
    QStringList t;
    for (QLineEdit* e : child<QGroupBox>(dlg(), frame)->findChildren<QLineEdit*>()) t << e->text();
    t.removeDuplicates();
    return t;
  };
  fill();
  QTest::mouseClick(child<QPushButton>(dlg(), "cmdResetAtt"), Qt::LeftButton);
  QCOMPARE(texts("fraAtt"), QStringList{"0"});
  QCOMPARE(texts("fraPositions"), QStringList{"5"});
  QCOMPARE(texts("fraAbility"), QStringList{"5"});
  QTest::mouseClick(child<QPushButton>(dlg(), "cmdResetPositions"), Qt::LeftButton);
  QCOMPARE(texts("fraPositions"), QStringList{"0"});
  QCOMPARE(texts("fraAbility"), QStringList{"5"});
  QTest::mouseClick(child<QPushButton>(dlg(), "cmdResetRatings"), Qt::LeftButton);
  QCOMPARE(texts("fraAbility"), QStringList{"0"});
  QCOMPARE(box("txtAge")->text(), QStringLiteral("5"));

  // Store something, then Reset All: the fields reset, the criteria and the
  // scout button stay until the next Ok.
  fill();
  combo("cmbnations")->setCurrentIndex(1);
  combo("cmbComp")->setCurrentIndex(1);
  combo("cmbClass")->setCurrentIndex(12);
  child<QListWidget>(dlg(), "lstOpt")->setCurrentRow(1);
  ok();
  QVERIFY(cmdScout()->isEnabled());
  const cm3::search::ScoutCriteria stored = panel()->ScoutCriteria();
  QCOMPARE(stored.AgeLimit, 5);
  showDialog();
  QTest::mouseClick(child<QPushButton>(dlg(), "cmdReset"), Qt::LeftButton);
  for (QLineEdit* e : dlg().findChildren<QLineEdit*>()) QCOMPARE(e->text(), QStringLiteral("0"));
  for (const char* c : {"cmbnations", "cmbClass", "cmbComp"}) QCOMPARE(combo(c)->currentIndex(), -1);
  QCOMPARE(child<QListWidget>(dlg(), "lstOpt")->currentRow(), 0);
  QVERIFY(cmdScout()->isEnabled());
  QVERIFY(panel()->ScoutCriteria() == stored);
  ok();
  QVERIFY(panel()->ScoutCriteria() == cm3::search::ScoutCriteria{});
}

void TestScout::closeBoxStoresNothing() {
  showDialog();
  box("txtAbility")->setText(QStringLiteral("20"));
  ok();
  showDialog();
  box("txtAbility")->setText(QStringLiteral("199"));
  combo("cmbClass")->setCurrentIndex(3);
  dlg().close();
  QVERIFY(!dlg().isVisible());
  QCOMPARE(panel()->ScoutCriteria().MinCurrentAbility, 20);
  QCOMPARE(int(panel()->ScoutCriteria().JobClass), -1);
  // Escape neither.
  showDialog();
  QTest::keyClick(&dlg(), Qt::Key_Escape);
  QVERIFY(!dlg().isVisible());
  QCOMPARE(panel()->ScoutCriteria().MinCurrentAbility, 20);
  QCOMPARE(box("txtAbility")->text(), QStringLiteral("199"));  // the fields stay
}

void TestScout::scoutRunFillsTheList() {
  auto& db = w_->database();
  showDialog();
  box("txtAbility")->setText(QStringLiteral("120"));
  box("txtAge")->setText(QStringLiteral("25"));
  child<QListWidget>(dlg(), "lstOpt")->setCurrentRow(1);
  ok();
  QTest::mouseClick(cmdScout(), Qt::LeftButton);
  const auto expected = cm3::search::scout(db, panel()->ScoutCriteria());
  QVERIFY(!expected.empty());
  QVERIFY(expected.size() < 500);
  auto* list = child<QListWidget>(*w_, "lstplayers");
  QVERIFY(list->isEnabled());
  QCOMPARE(w_->matchTable(), expected);
  QCOMPARE(list->count(), int(expected.size()));
  for (int r = 0; r < list->count(); ++r) {
    QCOMPARE(list->item(r)->text(), q8(db.personName(expected[size_t(r)])));
    auto s = db.read<cm3::StaffRecord>(cm3::kSlotStaff, expected[size_t(r)] + 1);
    auto a = db.read<cm3::PlayerAttRecord>(cm3::kSlotStaffAtt, s.PlayerAttIndex() + 1);
    QVERIFY(s.isPlayer());
    QVERIFY(a.CurrentAbility() >= 120);
    QVERIFY(1999 - s.BirthYear() <= 25);
  }
  QCOMPARE(w_->statusText(), QStringLiteral("%1 Matches").arg(expected.size()));
  // A click on a row opens that person.
  const int row = list->count() - 1;
  list->scrollToItem(list->item(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
  QCOMPARE(w_->CurrentPersonId, expected.back());

  // Criteria nobody meets: an empty list and "0 Matches".
  showDialog();
  box("txtAbility")->setText(QStringLiteral("999"));
  ok();
  QTest::mouseClick(cmdScout(), Qt::LeftButton);
  QCOMPARE(list->count(), 0);
  QCOMPARE(w_->statusText(), QStringLiteral("0 Matches"));
}

void TestScout::scoutStopsAtTheLimit() {
  showDialog();
  ok();
  QTest::mouseClick(cmdScout(), Qt::LeftButton);
  auto* list = child<QListWidget>(*w_, "lstplayers");
  QCOMPARE(list->count(), 500);
  QCOMPARE(w_->statusText(), QStringLiteral("500 Matches , please refine search"));
  const auto all = cm3::search::scout(w_->database(), panel()->ScoutCriteria(), 100000);
  QVERIFY(all.size() > 500);
  QVERIFY(std::equal(w_->matchTable().begin(), w_->matchTable().end(), all.begin()));
}

QTEST_MAIN(TestScout)
#include "tst_scout.moc"
