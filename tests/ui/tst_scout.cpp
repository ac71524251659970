// The scout criteria window and the scout run of the main window.
#include <QComboBox>
#include <QGroupBox>

#include "search/scout.h"
#include "ui/frmscoutoptions.h"
#include "ui/scoutpanel.h"
#include "uitest.h"

using namespace uitest;
using cm3::ui::FrmScoutOptions;
using cm3::ui::ScoutPanel;

class TestScout : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup() { s_.reset(); }
  void okStoresTheWrongCriteriaOrFailsSilently();
  void jobFrameCloseBoxOrResetWrong();
  void scoutRunListsOtherPeopleOrPassesTheLimit();

 private:
  ScoutPanel* panel() { return s_->panel<ScoutPanel>(); }
  FrmScoutOptions* dlg() { return panel()->frmScoutOptions(); }
  QLineEdit* box(const char* n) { return child<QLineEdit>(dlg(), n); }
  QComboBox* combo(const char* n) { return child<QComboBox>(dlg(), n); }
  void showDialog() {
    dlg()->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg()));
  }
  std::unique_ptr<Session> s_;
};

void TestScout::init() {
  cm3::sample::Preset p = cm3::sample::smallPreset();
  p.people = 1600;
  p.players = 1400;
  s_ = std::make_unique<Session>(p, 31);
  QVERIFY(s_->open());
}

void TestScout::okStoresTheWrongCriteriaOrFailsSilently() {
  QVERIFY(!child<QPushButton>(s_->w.get(), "cmdScout")->isEnabled());
  QVERIFY(dlg()->parent() == nullptr);  // its boxes do not shadow the main window's
  // Through the main window's button the window is shown modally.
  QVERIFY(whenShown(QStringLiteral("frmScoutOptions"), [&] { click(s_->w.get(), "cmdScoutOpt"); },
                    [&](QWidget*) {
                      box("txtAbility")->setText(QStringLiteral("150"));
                      box("txtBravery")->setText(QStringLiteral(" 12.5 "));
                      combo("cmbClass")->setCurrentIndex(11);
                      combo("cmbComp")->setCurrentIndex(3);
                      combo("cmbnations")->setCurrentIndex(2);
                      child<QListWidget>(dlg(), "lstOpt")->setCurrentRow(1);
                      box("txtAge")->setText(QStringLiteral("23"));
                      click(dlg(), "cmdOk");
                    }));
  QVERIFY(!dlg()->isVisible());
  QVERIFY(child<QPushButton>(s_->w.get(), "cmdScout")->isEnabled());
  const cm3::search::ScoutCriteria c = panel()->ScoutCriteria();  // txtBravery rounded half to even
  QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5 %6 %7").arg(c.MinCurrentAbility).arg(c.MinAttribute[31]).arg(c.JobClass)
               .arg(c.LeagueIndex).arg(c.NationIndex).arg(c.AgeLimit).arg(c.OlderThan),
           QStringLiteral("150 12 11 3 2 23 0"));
  // A failing box: the message, the window stays, the boxes before it are stored.
  showDialog();
  box("txtAbility")->setText(QStringLiteral("80"));
  box("txtDecision")->setText(QString());
  box("txtGoalKeeper")->setText(QStringLiteral("7"));
  QCOMPARE(boxes([&] { click(dlg(), "cmdOk"); }), QStringList{"Illegal value!"});
  QVERIFY(dlg()->isVisible());
  QCOMPARE(panel()->ScoutCriteria().MinCurrentAbility, 80);
  QCOMPARE(int(panel()->ScoutCriteria().MinPosition[0]), 0);
  // Key filters: digits and minus only in the rating and age boxes.
  box("txtPotAbility")->clear();
  QTest::keyClicks(box("txtPotAbility"), QStringLiteral("a-1.b2x"));
  QCOMPARE(box("txtPotAbility")->text(), QStringLiteral("-12"));
}

void TestScout::jobFrameCloseBoxOrResetWrong() {
  showDialog();
  auto frames = [&] {
    return child<QGroupBox>(dlg(), "fraAbility")->isEnabled() + child<QGroupBox>(dlg(), "fraPositions")->isEnabled() +
           child<QGroupBox>(dlg(), "fraAtt")->isEnabled();
  };
  QCOMPARE(frames(), 3);
  for (const auto& [row, enabled] : std::vector<std::pair<int, int>>{{10, 0}, {0, 0}, {11, 3}, {8, 0}, {-1, 3}}) {
    combo("cmbClass")->setCurrentIndex(row);
    QCOMPARE(frames(), enabled);
  }
  box("txtAbility")->setText(QStringLiteral("20"));
  click(dlg(), "cmdOk");
  showDialog();
  box("txtAbility")->setText(QStringLiteral("199"));
  dlg()->close();  // the close box stores nothing
  QCOMPARE(panel()->ScoutCriteria().MinCurrentAbility, 20);
  showDialog();
  click(dlg(), "cmdResetAtt");
  QCOMPARE(box("txtVis")->text(), QStringLiteral("0"));
  QCOMPARE(box("txtAbility")->text(), QStringLiteral("199"));
  click(dlg(), "cmdReset");
  for (QLineEdit* e : dlg()->findChildren<QLineEdit*>()) QCOMPARE(e->text(), QStringLiteral("0"));
  QCOMPARE(panel()->ScoutCriteria().MinCurrentAbility, 20);  // until the next Ok
  click(dlg(), "cmdOk");
  QVERIFY(panel()->ScoutCriteria() == cm3::search::ScoutCriteria{});
}

void TestScout::scoutRunListsOtherPeopleOrPassesTheLimit() {
  showDialog();
  box("txtAbility")->setText(QStringLiteral("120"));
  box("txtAge")->setText(QStringLiteral("25"));
  child<QListWidget>(dlg(), "lstOpt")->setCurrentRow(1);
  click(dlg(), "cmdOk");
  click(s_->w.get(), "cmdScout");
  const auto expected = cm3::search::scout(s_->w->database(), panel()->ScoutCriteria());
  QVERIFY(!expected.empty() && expected.size() < 500);
  auto* list = child<QListWidget>(s_->w.get(), "lstplayers");
  QCOMPARE(s_->w->matchTable(), expected);
  QCOMPARE(list->item(0)->text(), q8(s_->w->database().personName(expected[0])));
  QCOMPARE(s_->w->statusText(), QStringLiteral("%1 Matches").arg(expected.size()));
  clickRow(list, list->count() - 1);
  QCOMPARE(s_->w->CurrentPersonId, expected.back());
  showDialog();
  click(dlg(), "cmdReset");
  click(dlg(), "cmdOk");
  click(s_->w.get(), "cmdScout");
  QCOMPARE(list->count(), 500);
  QCOMPARE(s_->w->statusText(), QStringLiteral("500 Matches , please refine search"));
}

QTEST_MAIN(TestScout)
#include "tst_scout.moc"
