// The club, competition, nation and scout windows and the pickers of the
// person page: what each shows, what its Update or Ok stores, and its messages.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QStringListModel>

#include "search/scout.h"
#include "ui/frmclub.h"
#include "ui/frmnation.h"
#include "ui/frmscoutoptions.h"
#include "ui/scoutpanel.h"
#include "ui/worldpanel.h"
#include "uitest.h"

using namespace uitest;
using cm3::ui::FrmClub;
using cm3::ui::FrmScoutOptions;
using cm3::ui::ScoutPanel;

class TestWorld : public QObject {
  Q_OBJECT
  cm3::Database& db() { return s_->w->database(); }
  FrmClub* showClub(int id) {
    s_->w->ClickTeamID = id;
    FrmClub* c = s_->panel<cm3::ui::WorldPanel>()->frmClub();
    c->showClub();
    c->show();
    return c;
  }
  template <class R>
  R record(int slot, int id) {
    return db().template read<R>(slot, id + 1);
  }
  int32_t count(int entry) { return db().readIndex(entry).Count(); }
  ScoutPanel* scout() { return s_->panel<ScoutPanel>(); }
  FrmScoutOptions* dlg() { return scout()->frmScoutOptions(); }
  QLineEdit* box(const char* n) { return child<QLineEdit>(dlg(), n); }
  QComboBox* combo(const char* n) { return child<QComboBox>(dlg(), n); }
  void showDialog() {
    dlg()->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg()));
  }
  std::unique_ptr<Session> s_;

 private slots:
  // Enough people that a scout run without limits passes the 500 rows.
  void init() {
    cm3::sample::Preset p = cm3::sample::smallPreset();
    p.people = 1600;
    p.players = 1400;
    s_ = std::make_unique<Session>(p, 31);
    QVERIFY(s_->open());
  }
  void cleanup() { s_.reset(); }

  void clubWindowShowsOrWritesTheWrongRecord() {
    cm3::ClubRecord r = record<cm3::ClubRecord>(cm3::kSlotClub, 6);
    r.setMainStadium(2);
    r.setReserveStadium(-1);
    r.setHomeMatchDay(0);
    db().write(cm3::kSlotClub, 7, r);
    FrmClub* c = showClub(6);
    QCOMPARE(QStringList({child<QLabel>(c, "lblID")->text(), child<QLineEdit>(c, "txtLongName")->text(),
                          child<QComboBox>(c, "cmbHomeMatch")->currentText(), child<QLabel>(c, "lblStaID")->text(),
                          child<QLineEdit>(c, "txtStaResLongName")->text(), child<QLabel>(c, "lblStaResID")->text()}),
             QStringList({"6", q8(r.LongName()), "None", "2", "<None>", "N/A"}));
    auto* cash = child<QLineEdit>(c, "txtCash");
    cash->clear();
    QTest::keyClicks(cash, QStringLiteral("75a-0000"));
    QCOMPARE(cash->text(), QStringLiteral("750000"));
    child<QLineEdit>(c, "txtLongName")->setText(QStringLiteral("  Lakeside Wanderers "));
    child<QComboBox>(c, "cmbRival2")->setCurrentIndex(14);
    child<QComboBox>(c, "cmbThirdText")->setCurrentIndex(2);
    child<QComboBox>(c, "cmbHomeMatch")->setCurrentIndex(6);
    auto* other = child<QComboBox>(c, "cmbOtherDivision");  // text that is no item: no choice
    other->setCurrentIndex(3);
    other->lineEdit()->selectAll();
    QTest::keyClicks(other->lineEdit(), QStringLiteral("zz"));
    QVERIFY(c->cmdUpdate_Click());
    const cm3::ClubRecord a = record<cm3::ClubRecord>(cm3::kSlotClub, 6);
    QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5 %6").arg(q8(a.LongName())).arg(a.Cash()).arg(a.Rival(1)).arg(a.KitColour(4))
                 .arg(a.HomeMatchDay()).arg(a.OtherDivision()),
             QStringLiteral("Lakeside Wanderers 750000 14 2 6 -1"));
    QCOMPARE(s_->w->names().clubs()->index(6).data().toString(), QStringLiteral("Lakeside Wanderers"));
    // A new main stadium from its name shows its index and joins the lists.
    const int32_t s = count(cm3::kEntryStadiums);
    child<QLineEdit>(c, "txtStaLongName")->setText(QStringLiteral("<unknown>"));  // drops the reference first
    QVERIFY(c->cmdUpdate_Click());
    child<QLineEdit>(c, "txtStaLongName")->setText(QStringLiteral("Canal Side"));
    QVERIFY(c->cmdUpdate_Click());
    QCOMPARE(child<QLabel>(c, "lblStaID")->text(), QString::number(s));
    QCOMPARE(child<QComboBox>(s_->panel<cm3::ui::WorldPanel>()->frmNation(), "cmbNatStadium")->itemText(s), QStringLiteral("Canal Side"));
    c->hide();
    QCOMPARE(s_->closeAndCheck(), QString());
  }

  void clubRefusalOrNewClubWritesTheWrongRecords() {
    FrmClub* c = showClub(2);
    const Files before = snapshot(s_->data());
    for (const auto& [box, text, message] : std::vector<std::tuple<const char*, QString, QString>>{
             {"txtCash", "", "Error 13"}, {"txtMinAttendance", "3000000000", "Error 6"}}) {
      showClub(2);
      child<QLineEdit>(c, "txtLongName")->setText(QStringLiteral("Never Written"));
      child<QLineEdit>(c, box)->setText(text);
      QCOMPARE(boxes([&] { QVERIFY(!c->cmdUpdate_Click()); }), QStringList{message});
    }
    QVERIFY(snapshot(s_->data()) == before);
    click(c, "cmdAddNew");
    QVERIFY(!child<QPushButton>(c, "cmdAddNew")->isEnabled());
    const int32_t c0 = count(cm3::kEntryClubs);
    QCOMPARE(child<QLabel>(c, "lblID")->text(), QString::number(c0));
    QCOMPARE(child<QLineEdit>(c, "txtLongName")->text(), QStringLiteral("<New Club>"));
    child<QLineEdit>(c, "txtStaLongName")->setText(QStringLiteral("North End"));
    QCOMPARE(boxes([&] { QVERIFY(!c->cmdUpdate_Click()); }, {QMessageBox::No}), QStringList{"Add New Club"});
    QVERIFY(snapshot(s_->data()) == before);
    QVERIFY(c->NewClub);
    child<QLineEdit>(c, "txtLongName")->setText(QStringLiteral("New Club 1"));
    QCOMPARE(boxes([&] { QVERIFY(c->cmdUpdate_Click()); }, {QMessageBox::Yes}), QStringList{"Add New Club"});
    QVERIFY(!c->NewClub);
    QCOMPARE(s_->w->ClickTeamID, c0);
    QCOMPARE(child<QComboBox>(s_->w.get(), "cmbSquad")->itemText(c0), QStringLiteral("New Club 1"));
    auto* trans = child<QComboBox>(s_->w.get(), "cmbTransclub");
    QCOMPARE(trans->itemText(trans->count() - 1), QStringLiteral("New Club 1"));
    child<QLineEdit>(c, "txtCash")->setText(QStringLiteral("55"));
    QVERIFY(c->cmdUpdate_Click());  // the new club, not the one shown before
    QCOMPARE(record<cm3::ClubRecord>(cm3::kSlotClub, c0).Cash(), 55);
    c->close();  // unloads the window: Add New Club once more
    FrmClub* again = showClub(1);
    QVERIFY(child<QPushButton>(again, "cmdAddNew")->isEnabled());
    again->hide();
    QCOMPARE(s_->closeAndCheck(), QString());
  }

  void competitionOrNationWindowWritesTheWrongOneOrLeavesAListStale() {
    cm3::ClubRecord r = record<cm3::ClubRecord>(cm3::kSlotClub, 5);
    r.setDivision(12);
    db().write(cm3::kSlotClub, 6, r);
    const cm3::CompRecord comp = record<cm3::CompRecord>(cm3::kSlotComp, 12);
    FrmClub* c = showClub(5);
    QStringList bad;
    QVERIFY(whenShown(QStringLiteral("frmComp"), [&] { QTest::mouseDClick(child<QLabel>(c, "lblDivision"), Qt::LeftButton); },
                      [&](QWidget* d) {
                        QCOMPARE(child<QLineEdit>(d, "txtLong")->text(), q8(comp.LongName()));
                        child<QLineEdit>(d, "txtLong")->setText(QStringLiteral("Premier Test League"));
                        child<QLineEdit>(d, "txtScope")->setText(QStringLiteral("300"));
                        bad = boxes([&] { click(d, "cmdUpdate"); });
                        child<QLineEdit>(d, "txtScope")->setText(QStringLiteral("2"));
                        click(d, "cmdUpdate");
                        click(d, "cmdOk");
                      }));
    QVERIFY(bad.size() == 1 && bad[0].contains("Competition Scope"));
    QCOMPARE(int(record<cm3::CompRecord>(cm3::kSlotComp, 12).Scope()), 2);
    QCOMPARE(child<QComboBox>(c, "cmbDivision")->currentText(), QStringLiteral("Premier Test League"));
    QWidget* scout = s_->panel<cm3::ui::ScoutPanel>()->frmScoutOptions();  // stays loaded through undo
    QCOMPARE(child<QComboBox>(scout, "cmbComp")->itemText(12), QStringLiteral("Premier Test League"));
    c->hide();

    // The nation label of the second nation edits and renames that one only.
    s_->w->showPerson(0);
    auto* n1 = child<QComboBox>(s_->w.get(), "cmbnations");
    auto* n2 = child<QComboBox>(s_->w.get(), "cmbnations2");
    n1->setCurrentIndex(2);
    n2->setCurrentIndex(9);
    const QString first = n1->currentText(), second = n2->currentText();
    QString shownId;
    QVERIFY(whenShown(QStringLiteral("frmNation"), [&] { QTest::mouseDClick(child<QLabel>(s_->w.get(), "lblnatid2"), Qt::LeftButton); },
                      [&](QWidget* d) {
                        shownId = child<QLabel>(d, "lblNationID")->text();
                        child<QLineEdit>(d, "txtGameImpt")->setText(QString());
                        bad = boxes([&] { click(d, "cmdNationOk"); });
                        child<QLineEdit>(d, "txtGameImpt")->setText(QStringLiteral("5"));
                        child<QLineEdit>(d, "txtName")->setText(QStringLiteral("Republic of Testland"));
                        click(d, "cmdNationOk");
                        click(d, "cmdCancel");
                      }));
    QCOMPARE(shownId, QStringLiteral("9"));
    QVERIFY(bad.size() == 1 && bad[0].contains("nothing was written"));
    QCOMPARE(q8(record<cm3::NationRecord>(cm3::kSlotNation, 9).Name()), QStringLiteral("Republic of Testland"));
    QCOMPARE(QStringList({n2->currentText(), child<QComboBox>(scout, "cmbnations")->itemText(9)}),
             QStringList({"Republic of Testland", "Republic of Testland"}));
    QCOMPARE(n1->currentText(), first);
    QVERIFY(!s_->w->EditingSecondNation);
    s_->w->findChild<QAction*>(QStringLiteral("actUndo"))->trigger();
    QCOMPARE(child<QComboBox>(scout, "cmbnations")->itemText(9), second);
    QCOMPARE(s_->closeAndCheck(), QString());
  }

  void pickerOpensTheWrongWindow() {
    auto opened = [&](const char* label, QString* id = nullptr) {
      return whenShown(QStringLiteral("frmClub"), [&] { QTest::mouseDClick(child<QLabel>(s_->w.get(), label), Qt::LeftButton); },
                       [&](QWidget* d) {
                         if (id) *id = child<QLabel>(d, "lblID")->text();
                         static_cast<FrmClub*>(d)->cmdOk_Click();
                       });
    };
    int without = -1, with = -1;  // with: a person of a club other than club 0
    for (int i = 0; i < db().PeopleCount() && (without < 0 || with < 0); ++i) {
      const int club = record<cm3::StaffRecord>(cm3::kSlotStaff, i).ClubId();
      if (club != 0) (club > 0 ? with : without) = i;
    }
    QVERIFY(without >= 0 && with >= 0);
    s_->w->showPerson(without);
    QVERIFY(!opened("lblClub"));
    child<QLineEdit>(s_->w.get(), "txtClub")->setText(QStringLiteral("No Such Club Anywhere"));
    QVERIFY(!opened("lblClub"));
    s_->w->showPerson(with);
    const int clubId = record<cm3::StaffRecord>(cm3::kSlotStaff, with).ClubId();
    // His club by its ID, even when an earlier club of the list bears its name.
    auto* squad = child<QComboBox>(s_->w.get(), "cmbSquad");
    squad->setItemText(0, squad->itemText(clubId));
    QString shown;
    QVERIFY(opened("lblClub", &shown));
    QCOMPARE(shown, QString::number(record<cm3::ClubRecord>(cm3::kSlotClub, clubId).Id()));
  }


  void okStoresTheWrongCriteriaOrFailsSilently() {
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
    const cm3::search::ScoutCriteria c = scout()->ScoutCriteria();  // txtBravery rounded half to even
    QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5 %6 %7").arg(c.MinCurrentAbility).arg(c.MinAttribute[31]).arg(c.JobClass)
                 .arg(c.LeagueIndex).arg(c.NationIndex).arg(c.AgeLimit).arg(c.OlderThan),
             QStringLiteral("150 12 11 3 2 23 0"));
    // A failing box: the message, and the window stays.
    showDialog();
    box("txtAbility")->setText(QStringLiteral("80"));
    box("txtDecision")->setText(QString());
    box("txtGoalKeeper")->setText(QStringLiteral("7"));
    QCOMPARE(boxes([&] { click(dlg(), "cmdOk"); }), QStringList{"Illegal value!"});
    QVERIFY(dlg()->isVisible());
    // Key filters: digits and minus only in the rating and age boxes.
    box("txtPotAbility")->clear();
    QTest::keyClicks(box("txtPotAbility"), QStringLiteral("a-1.b2x"));
    QCOMPARE(box("txtPotAbility")->text(), QStringLiteral("-12"));
  }

  void jobFrameCloseBoxOrResetWrong() {
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
    QCOMPARE(scout()->ScoutCriteria().MinCurrentAbility, 20);
    showDialog();
    click(dlg(), "cmdResetAtt");
    QCOMPARE(box("txtVis")->text(), QStringLiteral("0"));
    QCOMPARE(box("txtAbility")->text(), QStringLiteral("199"));
    click(dlg(), "cmdReset");
    for (QLineEdit* e : dlg()->findChildren<QLineEdit*>()) QCOMPARE(e->text(), QStringLiteral("0"));
    QCOMPARE(scout()->ScoutCriteria().MinCurrentAbility, 20);  // until the next Ok
    click(dlg(), "cmdOk");
    QVERIFY(scout()->ScoutCriteria() == cm3::search::ScoutCriteria{});
  }

  void scoutRunListsOtherPeopleOrPassesTheLimit() {
    showDialog();
    box("txtAbility")->setText(QStringLiteral("120"));
    box("txtAge")->setText(QStringLiteral("25"));
    child<QListWidget>(dlg(), "lstOpt")->setCurrentRow(1);
    click(dlg(), "cmdOk");
    click(s_->w.get(), "cmdScout");
    const auto expected = cm3::search::scout(s_->w->database(), scout()->ScoutCriteria());
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

};

QTEST_MAIN(TestWorld)
#include "tst_world.moc"
