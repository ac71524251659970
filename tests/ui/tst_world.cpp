// The club, competition and nation windows and the pickers of the person
// page: what each shows, what its Update writes, and its messages.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QStringListModel>

#include "records/text.h"
#include "ui/frmclub.h"
#include "ui/frmcomp.h"
#include "ui/frmnation.h"
#include "ui/frmscoutoptions.h"
#include "ui/scoutpanel.h"
#include "ui/worldpanel.h"
#include "uitest.h"

using namespace uitest;
using cm3::ui::FrmClub;
using cm3::ui::WorldPanel;

class TestWorld : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup() { s_.reset(); }
  void clubWindowShowsOrWritesTheWrongRecord();
  void clubRefusalOrNewClubWritesTheWrongRecords();
  void competitionOrNationWindowWritesTheWrongOneOrLeavesAListStale();
  void pickerOpensTheWrongWindow();

 private:
  cm3::Database& db() { return s_->w->database(); }
  WorldPanel* panel() { return s_->panel<WorldPanel>(); }
  FrmClub* showClub(int id) {
    s_->w->ClickTeamID = id;
    FrmClub* c = panel()->frmClub();
    c->showClub();
    c->show();
    return c;
  }
  template <class R>
  R record(int slot, int id) {
    return db().template read<R>(slot, id + 1);
  }
  int32_t count(int entry) { return db().readIndex(entry).Count(); }
  std::unique_ptr<Session> s_;
};

void TestWorld::init() {
  s_ = std::make_unique<Session>(cm3::sample::smallPreset(), 5);
  QVERIFY(s_->open());
}

void TestWorld::clubWindowShowsOrWritesTheWrongRecord() {
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
  child<QLineEdit>(c, "txtStaLongName")->setText(QStringLiteral("<unknown>"));
  QVERIFY(c->cmdUpdate_Click());
  child<QLineEdit>(c, "txtStaLongName")->setText(QStringLiteral("Canal Side"));
  QVERIFY(c->cmdUpdate_Click());
  QCOMPARE(record<cm3::ClubRecord>(cm3::kSlotClub, 6).MainStadium(), s);
  QCOMPARE(child<QLabel>(c, "lblStaID")->text(), QString::number(s));
  QCOMPARE(child<QComboBox>(panel()->frmNation(), "cmbNatStadium")->itemText(s), QStringLiteral("Canal Side"));
  c->hide();
  QCOMPARE(s_->closeAndCheck(), QString());
}

void TestWorld::clubRefusalOrNewClubWritesTheWrongRecords() {
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
  const int32_t c0 = count(cm3::kEntryClubs), s0 = count(cm3::kEntryStadiums);
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
  QCOMPARE(record<cm3::ClubRecord>(cm3::kSlotClub, c0).MainStadium(), s0);
  QCOMPARE(child<QComboBox>(s_->w.get(), "cmbSquad")->itemText(c0), QStringLiteral("New Club 1"));
  auto* trans = child<QComboBox>(s_->w.get(), "cmbTransclub");
  QCOMPARE(trans->itemText(trans->count() - 1), QStringLiteral("New Club 1"));
  child<QLineEdit>(c, "txtCash")->setText(QStringLiteral("55"));
  QVERIFY(c->cmdUpdate_Click());  // the new club, not the one shown before
  QCOMPARE(record<cm3::ClubRecord>(cm3::kSlotClub, c0).Cash(), 55);
  QCOMPARE(count(cm3::kEntryClubs), c0 + 1);
  c->close();  // unloads the window: Add New Club once more
  FrmClub* again = showClub(1);
  QVERIFY(child<QPushButton>(again, "cmdAddNew")->isEnabled());
  again->hide();
  QCOMPARE(s_->closeAndCheck(), QString());
}

void TestWorld::competitionOrNationWindowWritesTheWrongOneOrLeavesAListStale() {
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

void TestWorld::pickerOpensTheWrongWindow() {
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

QTEST_MAIN(TestWorld)
#include "tst_world.moc"
