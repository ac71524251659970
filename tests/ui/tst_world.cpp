// The club, competition and nation windows and the pickers of the person
// page, driven by object name on a generated game directory: what each
// window shows, what its Update writes into the game files, and the paths
// from a person to his club, its division and his nation.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStringListModel>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <functional>

#include "database/database.h"
#include "records/records.h"
#include "sample/generator.h"
#include "ui/formrules.h"
#include "ui/frmclub.h"
#include "ui/frmcomp.h"
#include "ui/frmnation.h"
#include "ui/mainwindow.h"
#include "ui/worldpanel.h"
#include "uitest.h"

using cm3::ui::FrmClub;
using cm3::ui::FrmComp;
using cm3::ui::FrmNation;
using cm3::ui::TolvPlayer;
using cm3::ui::WorldPanel;
using namespace uitest;

namespace {

// Runs `inside` once the modal window named `name` is the active modal
// widget; `inside` must close it. A window that does not come within five
// seconds is recorded in `failures` and whatever modal window is up is
// closed, so that a test never hangs.
void whenModal(const QString& name, std::function<void(QWidget*)> inside, QStringList* failures, int waited = 0) {
  QTimer::singleShot(20, [=] {
    QWidget* w = QApplication::activeModalWidget();
    if (w && w->objectName() == name) {
      inside(w);
      return;
    }
    if (waited > 5000) {
      failures->append(QStringLiteral("%1 did not open").arg(name));
      if (w) w->close();
      return;
    }
    whenModal(name, inside, failures, waited + 20);
  });
}

// Answers the next message box with `answer` and records its text.
void answer(QString* text, QMessageBox::StandardButton button = QMessageBox::Ok) { answerNextBox(text, button); }

template <class W>
W* in(QWidget* w, const char* name) {
  return child<W>(*w, name);
}

}  // namespace

class TestWorld : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void clubWindowShowsAClub();
  void clubWindowFillsItsListsOnce();
  void clubUpdateWritesTheRecords();
  void clubBadBoxWritesNothing();
  void clubStadiumCreatedAndDropped();
  void newClubs();
  void newClubAnsweredNo();
  void competitionWindow();
  void nationWindowRenamesTheRightCombo();
  void nationBadValueWritesNothing();
  void pickers();
  void fromAPersonToEverything();
  void screenshots();

 private:
  cm3::Database& db() { return w_->database(); }
  WorldPanel* panel() {
    for (cm3::ui::Panel* p : w_->panels())
      if (auto* wp = qobject_cast<WorldPanel*>(p)) return wp;
    qFatal("no world panel");
  }
  FrmClub* club() { return panel()->frmClub(); }
  // Shows club `id` in the club window without waiting on it.
  FrmClub* showClub(int id) {
    w_->ClickTeamID = id;
    FrmClub* c = club();
    c->showClub();
    c->show();
    return c;
  }
  template <class R>
  R record(int slot, int id) {
    return db().template read<R>(slot, id + 1);
  }
  void putClub(const cm3::ClubRecord& r) { db().write(cm3::kSlotClub, r.Id() + 1, r); }
  QString data() const { return game_->path() + "/Data"; }
  Bytes file(const char* name) const { return slurp(data() + "/" + name); }
  int32_t indexCount(int entry) { return db().readIndex(entry).Count(); }
  // A person with a club and one without.
  int personWithClub(bool withClub) {
    for (int i = 0; i < db().PeopleCount(); ++i)
      if ((record<cm3::StaffRecord>(cm3::kSlotStaff, i).ClubId() >= 0) == withClub) return i;
    qFatal("no such person");
  }

  std::unique_ptr<QTemporaryDir> prog_, game_;
  std::unique_ptr<TolvPlayer> w_;
  QStringList failures_;
};

void TestWorld::init() {
  failures_.clear();
  prog_ = std::make_unique<QTemporaryDir>();
  game_ = std::make_unique<QTemporaryDir>();
  cm3::sample::generate(game_->path().toStdString(), cm3::sample::smallPreset(), 5);
  w_ = std::make_unique<TolvPlayer>(prog_->path());
  w_->show();
  child<QLineEdit>(*w_, "txtpath")->setText(game_->path());
  QTest::mouseClick(child<QPushButton>(*w_, "cmdOpen"), Qt::LeftButton);
  QVERIFY(db().isOpen());
  QVERIFY(panel()->frmClub() && panel()->frmNation() && panel()->frmComp());
}

void TestWorld::cleanup() {
  QVERIFY2(failures_.isEmpty(), qPrintable(failures_.join(QStringLiteral("; "))));
  // Whatever the test did, the files it leaves must be consistent.
  if (w_) w_->close();
  w_.reset();
  const QString problems = checkProblems(game_->path());
  game_.reset();
  prog_.reset();
  QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

// ---- The club window ------------------------------------------------------------

void TestWorld::clubWindowShowsAClub() {
  cm3::ClubRecord r = record<cm3::ClubRecord>(cm3::kSlotClub, 3);
  r.setMainStadium(4);
  r.setReserveStadium(5);
  r.setOwnsStadiumFlag(0);
  r.setHomeMatchDay(0);
  r.setFavourite(0, 7);
  r.setFavourite(1, -1);
  r.setRival(0, 11);
  putClub(r);
  cm3::StadiumRecord st = record<cm3::StadiumRecord>(cm3::kSlotStadium, 4);
  st.setRoofFlag(255);
  st.setHeatingFlag(1);
  db().write(cm3::kSlotStadium, 5, st);
  const cm3::StadiumRecord res = record<cm3::StadiumRecord>(cm3::kSlotStadium, 5);

  FrmClub* c = showClub(3);
  QCOMPARE(c->windowTitle(), QStringLiteral("Club Info"));
  QCOMPARE(in<QLabel>(c, "lblID")->text(), QStringLiteral("3"));
  QCOMPARE(in<QLineEdit>(c, "txtLongName")->text(), q8(r.LongName()));
  QCOMPARE(in<QComboBox>(c, "cmbNation")->currentText(), q8(db().nationNames[size_t(r.Nation())]));
  QCOMPARE(in<QComboBox>(c, "cmbDivision")->currentText(), q8(db().compNames[size_t(r.Division())]));
  QCOMPARE(in<QComboBox>(c, "cmbHomeMatch")->currentText(), QStringLiteral("None"));
  QCOMPARE(in<QLineEdit>(c, "txtCash")->text(), QString::number(r.Cash()));
  QCOMPARE(in<QComboBox>(c, "cmbRival1")->currentText(), q8(db().clubNames[11]));
  QCOMPARE(in<QComboBox>(c, "cmbAwayBack")->currentText(), q8(db().colours[size_t(r.KitColour(3))].name));
  // Kit rows carry their colour swatch.
  const QIcon icon = in<QComboBox>(c, "cmbHomeText")->itemIcon(0);
  QVERIFY(!icon.isNull());
  const cm3::ColourItem& c0 = db().colours[0];
  QCOMPARE(icon.pixmap(24, 14).toImage().pixelColor(10, 7), QColor(c0.red, c0.green, c0.blue));
  auto* liked = in<QListWidget>(c, "lstLiked");
  QCOMPARE(liked->count(), 3);
  QCOMPARE(liked->item(0)->text(), q8(db().personName(7)));
  QCOMPARE(liked->item(1)->text(), QStringLiteral("Empty"));
  // The stadiums.
  QCOMPARE(in<QLabel>(c, "lblStaID")->text(), QStringLiteral("4"));
  QCOMPARE(in<QLineEdit>(c, "txtStaLongName")->text(), q8(st.LongName()));
  QCOMPARE(in<QLineEdit>(c, "txtStaCapacity")->text(), QString::number(st.Capacity()));
  QVERIFY(in<QCheckBox>(c, "chkRoof")->isChecked());
  QVERIFY(!in<QCheckBox>(c, "chkHeating")->isChecked());  // 1 is not ticked
  QVERIFY(in<QCheckBox>(c, "chkOwnClub")->isChecked());
  QCOMPARE(in<QLabel>(c, "lblStaResID")->text(), QStringLiteral("5"));
  QCOMPARE(in<QLineEdit>(c, "txtStaResLongName")->text(), q8(res.LongName()));
  // Captions and tooltips.
  QCOMPARE(in<QPushButton>(c, "cmdAddNew")->text(), QStringLiteral("Add New Club"));
  QCOMPARE(in<QPushButton>(c, "cmdOk")->text(), QStringLiteral("O&K"));
  QCOMPARE(in<QLineEdit>(c, "txtLongName")->toolTip(), QStringLiteral("The full name of the club."));
  QCOMPARE(in<QComboBox>(c, "cmbCityRes")->toolTip(), QStringLiteral("The city or town that it is located in."));
  QCOMPARE(in<QCheckBox>(c, "chkOwnClub")->toolTip(), QStringLiteral("Whether Club Owns Stadium"));
  QCOMPARE(in<QLabel>(c, "lblOtherDivision")->text(), QStringLiteral("Reserve Div"));
  QVERIFY(in<QLineEdit>(c, "txtTrainingFacility")->toolTip().startsWith(QStringLiteral("A rating indicating")));
  QCOMPARE(in<QLineEdit>(c, "txtShortName")->maxLength(), 27);
  QCOMPARE(in<QLineEdit>(c, "txtLastPos")->maxLength(), 2);
  // The number filter.
  auto* cash = in<QLineEdit>(c, "txtCash");
  cash->clear();
  QTest::keyClicks(cash, QStringLiteral("12a-3"));
  QCOMPARE(cash->text(), QStringLiteral("123"));

  // A club without stadiums and with a day that is not set.
  r = record<cm3::ClubRecord>(cm3::kSlotClub, 8);
  r.setMainStadium(-1);
  r.setReserveStadium(-1);
  r.setHomeMatchDay(255);
  for (int k = 0; k < 3; ++k) r.setDislike(k, -1);
  putClub(r);
  showClub(8);
  QCOMPARE(in<QLineEdit>(c, "txtStaLongName")->text(), QStringLiteral("<Unknown>"));
  QCOMPARE(in<QLabel>(c, "lblStaID")->text(), QStringLiteral("N/A"));
  QCOMPARE(in<QComboBox>(c, "cmbCity")->currentIndex(), -1);
  QCOMPARE(in<QLineEdit>(c, "txtStaResLongName")->text(), QStringLiteral("<None>"));
  QCOMPARE(in<QLabel>(c, "lblStaResID")->text(), QStringLiteral("N/A"));
  QCOMPARE(in<QComboBox>(c, "cmbHomeMatch")->currentIndex(), -1);
  QCOMPARE(in<QListWidget>(c, "lstDisliked")->item(2)->text(), QStringLiteral("Empty"));
  c->hide();
}

void TestWorld::clubWindowFillsItsListsOnce() {
  const int colours = int(db().colours.size()), cities = int(db().cityNames.size()),
            stadiums = int(db().stadiumNames.size());
  auto counts = [&] {
    FrmComp* comp = panel()->frmComp();
    FrmNation* nation = panel()->frmNation();
    return std::vector<int>{in<QComboBox>(comp, "cmbBackground")->count(), in<QComboBox>(comp, "cmbForeground")->count(),
                            in<QComboBox>(comp, "cmbNation")->count(),     in<QComboBox>(nation, "cmbCity")->count(),
                            in<QComboBox>(nation, "cmbNatStadium")->count()};
  };
  const std::vector<int> expected{colours, colours, int(db().nationNames.size()), cities, stadiums};
  QCOMPARE(counts(), expected);
  FrmClub* c = showClub(1);
  QCOMPARE(in<QComboBox>(c, "cmbThirdBack")->count(), colours);
  QCOMPARE(in<QComboBox>(c, "cmbCityRes")->count(), cities);
  QCOMPARE(in<QComboBox>(c, "cmbStaNearRes")->count(), stadiums);
  QCOMPARE(in<QComboBox>(c, "cmbLastDivision")->count(), int(db().compNames.size()));
  QCOMPARE(in<QComboBox>(c, "cmbRival3")->count(), int(db().clubNames.size()));
  QCOMPARE(in<QComboBox>(panel()->frmComp(), "cmbBackground")->itemText(2), q8(db().colours[2].name));
  QCOMPARE(in<QComboBox>(panel()->frmNation(), "cmbCity")->itemText(5), q8(db().cityNames[5]));

  // "Add New Club" once per loading: the close box unloads the window and
  // the next opening loads it again, without doubling any list.
  QTest::mouseClick(in<QPushButton>(c, "cmdAddNew"), Qt::LeftButton);
  QVERIFY(!in<QPushButton>(c, "cmdAddNew")->isEnabled());
  QVERIFY(c->NewClub);
  c->close();
  QVERIFY(!panel()->clubLoaded() || c->unloaded());
  FrmClub* again = showClub(1);
  QVERIFY(!again->unloaded());
  QVERIFY(in<QPushButton>(again, "cmdAddNew")->isEnabled());
  QVERIFY(!again->NewClub);
  QCOMPARE(in<QComboBox>(again, "cmbHomeText")->count(), colours);
  QCOMPARE(in<QComboBox>(again, "cmbCity")->count(), cities);
  QCOMPARE(counts(), expected);
  again->hide();
}

void TestWorld::clubUpdateWritesTheRecords() {
  cm3::ClubRecord r = record<cm3::ClubRecord>(cm3::kSlotClub, 6);
  r.setMainStadium(2);
  r.setReserveStadium(3);
  putClub(r);
  const cm3::ClubRecord before = r;
  const cm3::StadiumRecord mainBefore = record<cm3::StadiumRecord>(cm3::kSlotStadium, 2);
  const cm3::StadiumRecord resBefore = record<cm3::StadiumRecord>(cm3::kSlotStadium, 3);
  const Bytes stadiumFile = file("stadium.dat");
  const Bytes index = file("index_temp.dat");

  FrmClub* c = showClub(6);
  in<QLineEdit>(c, "txtLongName")->setText(QStringLiteral("  Lakeside Wanderers "));
  in<QLineEdit>(c, "txtCash")->setText(QStringLiteral("750000"));
  in<QComboBox>(c, "cmbRival2")->setCurrentIndex(14);
  in<QComboBox>(c, "cmbThirdText")->setCurrentIndex(2);
  in<QComboBox>(c, "cmbHomeMatch")->setCurrentIndex(6);
  // Typing a text that is no item clears the list's choice.
  auto* other = in<QComboBox>(c, "cmbOtherDivision");
  other->setCurrentIndex(3);
  other->lineEdit()->selectAll();
  QTest::keyClicks(other->lineEdit(), QStringLiteral("zz"));
  QCOMPARE(other->currentIndex(), -1);
  in<QLineEdit>(c, "txtStaResCapacity")->setText(QStringLiteral("2500"));
  in<QCheckBox>(c, "chkHeatingRes")->setChecked(true);
  QVERIFY(c->cmdUpdate_Click());

  const cm3::ClubRecord a = record<cm3::ClubRecord>(cm3::kSlotClub, 6);
  QCOMPARE(QString::fromStdString(a.LongName()), QStringLiteral("Lakeside Wanderers"));
  QCOMPARE(a.Cash(), 750000);
  QCOMPARE(a.Rival(1), 14);
  QCOMPARE(a.KitColour(4), 2);
  QCOMPARE(int(a.HomeMatchDay()), 6);
  QCOMPARE(a.OtherDivision(), -1);
  // Every other byte as it was.
  cm3::ClubRecord expect = before;
  cm3::encodeTrimmed("Lakeside Wanderers", expect.LongNameField(), 51);
  expect.setCash(750000);
  expect.setRival(1, 14);
  expect.setKitColour(4, 2);
  expect.setHomeMatchDay(6);
  expect.setOtherDivision(-1);
  QVERIFY(a == expect);

  cm3::StadiumRecord res = resBefore;
  res.setCapacity(2500);
  res.setHeatingFlag(255);
  res.setRoofFlag(resBefore.RoofFlag() == 255 ? 255 : 0);
  QVERIFY(record<cm3::StadiumRecord>(cm3::kSlotStadium, 3) == res);
  cm3::StadiumRecord m = mainBefore;
  m.setRoofFlag(mainBefore.RoofFlag() == 255 ? 255 : 0);
  m.setHeatingFlag(mainBefore.HeatingFlag() == 255 ? 255 : 0);
  QVERIFY(record<cm3::StadiumRecord>(cm3::kSlotStadium, 2) == m);
  QCOMPARE(file("stadium.dat").size(), stadiumFile.size());
  QCOMPARE(file("index_temp.dat"), index);
  // The club lists show the new name.
  QCOMPARE(w_->clubModel()->index(6).data().toString(), QStringLiteral("Lakeside Wanderers"));
  QCOMPARE(in<QLabel>(c, "lblStaID")->text(), QStringLiteral("2"));
  c->hide();
}

void TestWorld::clubBadBoxWritesNothing() {
  FrmClub* c = showClub(2);
  const auto before = snapshot(data());
  struct Case {
    const char* box;
    QString text;
    QString message;
  };
  const std::vector<Case> cases = {
      {"txtCash", QString(), QStringLiteral("Error 13")},
      {"txtCash", QStringLiteral("99999999999"), QStringLiteral("Error 6")},
      {"txtClubReputation", QStringLiteral("x"), QStringLiteral("Error 13")},
      {"txtMinAttendance", QStringLiteral("3000000000"), QStringLiteral("Error 6")},
  };
  for (const Case& k : cases) {
    showClub(2);
    in<QLineEdit>(c, "txtLongName")->setText(QStringLiteral("Never Written"));
    in<QLineEdit>(c, k.box)->setText(k.text);
    QString text;
    answer(&text);
    QVERIFY(!c->cmdUpdate_Click());
    QCOMPARE(text, k.message);
    QVERIFY2(snapshot(data()) == before, k.box);
  }
  // A bad stadium box of a club given a new stadium: nothing either.
  cm3::ClubRecord r = record<cm3::ClubRecord>(cm3::kSlotClub, 2);
  r.setMainStadium(-1);
  putClub(r);
  const auto before2 = snapshot(data());
  showClub(2);
  in<QLineEdit>(c, "txtStaLongName")->setText(QStringLiteral("Fresh Ground"));
  in<QLineEdit>(c, "txtStaCapacity")->setText(QString());
  QString text;
  answer(&text);
  QVERIFY(!c->cmdUpdate_Click());
  QCOMPARE(text, QStringLiteral("Error 13"));
  QVERIFY(snapshot(data()) == before2);
  QCOMPARE(w_->clubModel()->index(2).data().toString(), q8(r.LongName()));
  c->hide();
}

void TestWorld::clubStadiumCreatedAndDropped() {
  cm3::ClubRecord r = record<cm3::ClubRecord>(cm3::kSlotClub, 9);
  r.setMainStadium(-1);
  r.setReserveStadium(7);
  putClub(r);
  const int32_t s = indexCount(cm3::kEntryStadiums);
  FrmClub* c = showClub(9);
  in<QLineEdit>(c, "txtStaLongName")->setText(QStringLiteral("Canal Side"));
  in<QLineEdit>(c, "txtStaCapacity")->setText(QStringLiteral("9000"));
  in<QLineEdit>(c, "txtStaResLongName")->setText(QStringLiteral("<none>"));
  QVERIFY(c->cmdUpdate_Click());
  const cm3::ClubRecord a = record<cm3::ClubRecord>(cm3::kSlotClub, 9);
  QCOMPARE(a.MainStadium(), s);
  QCOMPARE(a.ReserveStadium(), -1);
  QCOMPARE(indexCount(cm3::kEntryStadiums), s + 1);
  const cm3::StadiumRecord st = record<cm3::StadiumRecord>(cm3::kSlotStadium, s);
  QCOMPARE(st.Id(), s);
  QCOMPARE(QString::fromStdString(st.LongName()), QStringLiteral("Canal Side"));
  QCOMPARE(st.Capacity(), 9000);
  QCOMPARE(in<QLabel>(c, "lblStaID")->text(), QString::number(s));
  QCOMPARE(in<QLabel>(c, "lblStaResID")->text(), QStringLiteral("N/A"));
  QCOMPARE(in<QLineEdit>(c, "txtStaResLongName")->text(), QStringLiteral("<None>"));
  QCOMPARE(in<QLineEdit>(c, "txtStaResCapacity")->text(), QStringLiteral("0"));
  // The new stadium is a row of the nearby lists, also in the nation window.
  QCOMPARE(in<QComboBox>(c, "cmbStaNear")->itemText(s), QStringLiteral("Canal Side"));
  QCOMPARE(in<QComboBox>(panel()->frmNation(), "cmbNatStadium")->itemText(s), QStringLiteral("Canal Side"));
  c->hide();
}

void TestWorld::newClubs() {
  struct Case {
    QString main, reserve;
    int created;
  };
  const std::vector<Case> cases = {{QStringLiteral("North End"), QStringLiteral("South End"), 2},
                                   {QStringLiteral("Only Park"), QStringLiteral("<None>"), 1},
                                   {QStringLiteral("<Unknown>"), QStringLiteral("<None>"), 0}};
  int round = 0;
  for (const Case& k : cases) {
    const int32_t c0 = indexCount(cm3::kEntryClubs), s0 = indexCount(cm3::kEntryStadiums);
    const int rows = w_->clubModel()->rowCount();
    const cm3::ClubRecord templ = record<cm3::ClubRecord>(cm3::kSlotClub, 4);
    FrmClub* c = showClub(4);
    QTest::mouseClick(in<QPushButton>(c, "cmdAddNew"), Qt::LeftButton);
    QCOMPARE(in<QLabel>(c, "lblID")->text(), QString::number(c0));
    QCOMPARE(in<QLabel>(c, "lblStaID")->text(), QString::number(s0));
    QCOMPARE(in<QLabel>(c, "lblStaResID")->text(), QString::number(s0 + 1));
    QCOMPARE(in<QLineEdit>(c, "txtLongName")->text(), QStringLiteral("<New Club>"));
    QCOMPARE(in<QLineEdit>(c, "txtCash")->text(), QStringLiteral("0"));
    QCOMPARE(in<QComboBox>(c, "cmbStatus")->currentIndex(), 0);
    QCOMPARE(in<QListWidget>(c, "lstLiked")->count(), 0);
    const QString name = QStringLiteral("New Club %1").arg(round++);
    in<QLineEdit>(c, "txtLongName")->setText(name);
    in<QLineEdit>(c, "txtShortName")->setText(QStringLiteral("NC"));
    in<QComboBox>(c, "cmbNation")->setCurrentIndex(3);
    in<QLineEdit>(c, "txtStaLongName")->setText(k.main);
    in<QLineEdit>(c, "txtStaCapacity")->setText(QStringLiteral("1000"));
    in<QLineEdit>(c, "txtStaResLongName")->setText(k.reserve);
    QString question;
    answer(&question, QMessageBox::Yes);
    QVERIFY(c->cmdUpdate_Click());
    QCOMPARE(question, QStringLiteral("Add New Club"));
    QVERIFY(!c->NewClub);
    QCOMPARE(w_->ClickTeamID, c0);

    QCOMPARE(indexCount(cm3::kEntryClubs), c0 + 1);
    QCOMPARE(indexCount(cm3::kEntryStadiums), s0 + k.created);
    const cm3::ClubRecord a = record<cm3::ClubRecord>(cm3::kSlotClub, c0);
    QCOMPARE(a.Id(), c0);
    QCOMPARE(q8(a.LongName()), name);
    QCOMPARE(a.Nation(), 3);
    QCOMPARE(a.MainStadium(), k.created >= 1 ? s0 : -1);
    QCOMPARE(a.ReserveStadium(), k.created == 2 ? s0 + 1 : -1);
    QCOMPARE(std::memcmp(a.data() + 475, templ.data() + 475, 106), 0);
    QCOMPARE(Bytes(file("club.dat")).size(), size_t(c0 + 1) * cm3::ClubRecord::kSize);
    QCOMPARE(file("stadium.dat").size(), size_t(s0 + k.created) * cm3::StadiumRecord::kSize);
    if (k.created >= 1) {
      QCOMPARE(q8(record<cm3::StadiumRecord>(cm3::kSlotStadium, s0).LongName()), k.main);
      QCOMPARE(record<cm3::StadiumRecord>(cm3::kSlotStadium, s0).Capacity(), 1000);
    }
    if (k.created == 2) QCOMPARE(q8(record<cm3::StadiumRecord>(cm3::kSlotStadium, s0 + 1).LongName()), k.reserve);
    // The new last row of the main window's club lists.
    QCOMPARE(w_->clubModel()->rowCount(), rows + 1);
    auto* squad = child<QComboBox>(*w_, "cmbSquad");
    auto* trans = child<QComboBox>(*w_, "cmbTransclub");
    QCOMPARE(squad->itemText(c0), name);
    QCOMPARE(trans->itemText(trans->count() - 1), name);
    QCOMPARE(in<QLabel>(c, "lblStaID")->text(), k.created >= 1 ? QString::number(s0) : QStringLiteral("N/A"));

    // A further Update writes to the new club, not to the one shown before.
    in<QLineEdit>(c, "txtCash")->setText(QStringLiteral("55"));
    QVERIFY(c->cmdUpdate_Click());
    QCOMPARE(record<cm3::ClubRecord>(cm3::kSlotClub, c0).Cash(), 55);
    QCOMPARE(record<cm3::ClubRecord>(cm3::kSlotClub, 4).Cash(), templ.Cash());
    QCOMPARE(indexCount(cm3::kEntryClubs), c0 + 1);
    c->close();  // unloads: the next round may add a club again
  }
}

void TestWorld::newClubAnsweredNo() {
  FrmClub* c = showClub(0);
  QTest::mouseClick(in<QPushButton>(c, "cmdAddNew"), Qt::LeftButton);
  in<QLineEdit>(c, "txtStaLongName")->setText(QStringLiteral("Somewhere"));
  const auto before = snapshot(data());
  QString question;
  answer(&question, QMessageBox::No);
  QVERIFY(!c->cmdUpdate_Click());
  QCOMPARE(question, QStringLiteral("Add New Club"));
  QVERIFY(snapshot(data()) == before);
  QVERIFY(c->NewClub);
  QCOMPARE(in<QLineEdit>(c, "txtLongName")->text(), QStringLiteral("<New Club>"));
  // The next Update asks again; O&K leaves the new-club mode.
  answer(&question, QMessageBox::No);
  question.clear();
  QVERIFY(!c->cmdUpdate_Click());
  QCOMPARE(question, QStringLiteral("Add New Club"));
  QTest::mouseClick(in<QPushButton>(c, "cmdOk"), Qt::LeftButton);
  QVERIFY(!c->NewClub);
  QVERIFY(!c->isVisible());
  QVERIFY(snapshot(data()) == before);
}

// ---- The competition window ----------------------------------------------------------

void TestWorld::competitionWindow() {
  cm3::ClubRecord r = record<cm3::ClubRecord>(cm3::kSlotClub, 5);
  r.setDivision(12);
  r.setOtherDivision(-1);
  putClub(r);
  const cm3::CompRecord before = record<cm3::CompRecord>(cm3::kSlotComp, 12);
  const Bytes compFile = file("club_comp.dat");
  FrmClub* c = showClub(5);

  // No reserve division: the label opens nothing.
  QTest::mouseDClick(in<QLabel>(c, "lblOtherDivision"), Qt::LeftButton);
  QVERIFY(!panel()->frmComp()->isVisible());

  QString seenName, seenTitle, badMessage;
  bool unchangedAfterBad = false;
  int source = -1;
  whenModal(
      QStringLiteral("frmComp"),
      [&](QWidget* d) {
        auto* comp = static_cast<FrmComp*>(d);
        seenTitle = comp->windowTitle();
        seenName = in<QLineEdit>(comp, "txtLong")->text();
        source = int(comp->source());
        in<QLineEdit>(comp, "txtLong")->setText(QStringLiteral("Premier Test League"));
        in<QLineEdit>(comp, "txtScope")->setText(QStringLiteral("300"));
        answer(&badMessage);
        comp->cmdUpdate_Click();
        unchangedAfterBad = file("club_comp.dat") == compFile;
        in<QLineEdit>(comp, "txtScope")->setText(QStringLiteral("2"));
        in<QLineEdit>(comp, "txtReputation")->setText(QStringLiteral("17"));
        in<QComboBox>(comp, "cmbNation")->setCurrentIndex(-1);
        in<QComboBox>(comp, "cmbForeground")->setCurrentIndex(4);
        QTest::mouseClick(in<QPushButton>(comp, "cmdUpdate"), Qt::LeftButton);
        QTest::mouseClick(in<QPushButton>(comp, "cmdOk"), Qt::LeftButton);
      },
      &failures_);
  QTest::mouseDClick(in<QLabel>(c, "lblDivision"), Qt::LeftButton);
  QVERIFY(failures_.isEmpty());
  QCOMPARE(seenTitle, QStringLiteral("Competition Properties"));
  QCOMPARE(seenName, q8(before.LongName()));
  QCOMPARE(source, int(FrmComp::Source::Division));
  QVERIFY(badMessage.contains(QStringLiteral("Competition Scope")));
  QVERIFY(unchangedAfterBad);

  cm3::CompRecord expect = before;
  cm3::encodeLeftTrimmed("Premier Test League", expect.LongNameField(), 51);
  expect.setScope(2);
  expect.setReputation(17);
  expect.setNation(-1);
  expect.setForeground(4);
  QVERIFY(record<cm3::CompRecord>(cm3::kSlotComp, 12) == expect);
  // Only that record changed; the division list shows the new name.
  Bytes after = file("club_comp.dat");
  std::copy(before.bytes.begin(), before.bytes.end(), after.begin() + 12 * 107);
  QCOMPARE(after, compFile);
  QCOMPARE(in<QComboBox>(c, "cmbDivision")->currentText(), QStringLiteral("Premier Test League"));
  QCOMPARE(record<cm3::ClubRecord>(cm3::kSlotClub, 5).Division(), 12);
  c->hide();
}

// ---- The nation window ------------------------------------------------------------------

void TestWorld::nationWindowRenamesTheRightCombo() {
  w_->showPerson(personWithClub(true));
  auto* n1 = child<QComboBox>(*w_, "cmbnations");
  auto* n2 = child<QComboBox>(*w_, "cmbnations2");
  n1->setCurrentIndex(2);
  n2->setCurrentIndex(9);  // chosen, not saved
  const cm3::NationRecord a = record<cm3::NationRecord>(cm3::kSlotNation, 2);
  const cm3::NationRecord b = record<cm3::NationRecord>(cm3::kSlotNation, 9);
  const Bytes continents = file("continent.dat");

  QString shownId, shownName, caption;
  bool second = false;
  whenModal(
      QStringLiteral("frmNation"),
      [&](QWidget* d) {
        second = w_->EditingSecondNation;
        caption = d->windowTitle();
        shownId = in<QLabel>(d, "lblNationID")->text();
        shownName = in<QLineEdit>(d, "txtName")->text();
        in<QLineEdit>(d, "txtName")->setText(QStringLiteral("Republic of Testland"));
        in<QLineEdit>(d, "txtFIFA93")->setText(QStringLiteral("42.125"));
        auto* rep = in<QLineEdit>(d, "txtReputation");
        rep->clear();
        QTest::keyClicks(rep, QStringLiteral("1x5"));
        in<QComboBox>(d, "cmbLang2")->setCurrentIndex(22);
        QTest::mouseClick(in<QPushButton>(d, "cmdNationOk"), Qt::LeftButton);
        QTest::mouseClick(in<QPushButton>(d, "cmdCancel"), Qt::LeftButton);
      },
      &failures_);
  QTest::mouseDClick(child<QLabel>(*w_, "lblnatid2"), Qt::LeftButton);
  QVERIFY(failures_.isEmpty());
  QVERIFY(second);
  QVERIFY(!w_->EditingSecondNation);
  QCOMPARE(caption, QStringLiteral("Nation Properties"));
  QCOMPARE(shownId, QStringLiteral("9"));
  QCOMPARE(shownName, q8(b.Name()));

  cm3::NationRecord expect = b;
  cm3::encodeLeftTrimmed("Republic of Testland", expect.NameField(), 51);
  expect.setFifaCoefficient(2, 42.125);
  expect.setReputation(15);
  expect.setLanguage(1, 22);
  QVERIFY(record<cm3::NationRecord>(cm3::kSlotNation, 9) == expect);
  QVERIFY(record<cm3::NationRecord>(cm3::kSlotNation, 2) == a);
  QCOMPARE(file("continent.dat").size(), continents.size());
  // The item renamed is the one of cmbnations2; cmbnations keeps its nation.
  QCOMPARE(n2->currentIndex(), 9);
  QCOMPARE(n2->currentText(), QStringLiteral("Republic of Testland"));
  QCOMPARE(n1->currentIndex(), 2);
  QCOMPARE(n1->currentText(), q8(a.Name()));
  QCOMPARE(q8(db().nationNames[9]), QStringLiteral("Republic of Testland"));

  // From the first nation label the first combo's nation is opened.
  whenModal(
      QStringLiteral("frmNation"),
      [&](QWidget* d) {
        second = w_->EditingSecondNation;
        shownId = in<QLabel>(d, "lblNationID")->text();
        static_cast<FrmNation*>(d)->cmdCancel_Click();
      },
      &failures_);
  QTest::mouseDClick(child<QLabel>(*w_, "lblNation"), Qt::LeftButton);
  QVERIFY(!second);
  QCOMPARE(shownId, QStringLiteral("2"));
}

void TestWorld::nationBadValueWritesNothing() {
  auto* n1 = child<QComboBox>(*w_, "cmbnations");
  n1->setCurrentIndex(4);
  FrmNation* nat = panel()->frmNation();
  w_->EditingSecondNation = false;
  QVERIFY(nat->fillFromMain());
  nat->show();
  const auto before = snapshot(data());
  const std::vector<std::pair<const char*, QString>> cases = {
      {"txtGameImpt", QString()},
      {"txtUEFA91", QStringLiteral("abc")},
      {"txtStrength", QStringLiteral("strong")},
  };
  for (const auto& [box, text] : cases) {
    QVERIFY(nat->fillFromMain());
    in<QLineEdit>(nat, "txtName")->setText(QStringLiteral("Not Written"));
    in<QLineEdit>(nat, box)->setText(text);
    QString message;
    answer(&message);
    QVERIFY(!nat->cmdNationOk_Click());
    QVERIFY2(message.contains(QStringLiteral("nothing was written")), box);
    QVERIFY2(snapshot(data()) == before, box);
    QCOMPARE(n1->itemText(4), q8(db().nationNames[4]));
  }

  // Clearing the continent by typing empties its boxes; Update stores -1
  // and writes no continent record.
  QVERIFY(nat->fillFromMain());
  auto* cont = in<QComboBox>(nat, "cmbContinent");
  QVERIFY(cont->currentIndex() >= 0);
  QVERIFY(!in<QLineEdit>(nat, "txtType")->text().isEmpty());
  cont->lineEdit()->selectAll();
  QTest::keyClicks(cont->lineEdit(), QStringLiteral("q"));
  QCOMPARE(cont->currentIndex(), -1);
  QCOMPARE(in<QLineEdit>(nat, "txtType")->text(), QString());
  QCOMPARE(in<QLineEdit>(nat, "txtStrength")->text(), QString());
  const Bytes continents = file("continent.dat");
  QVERIFY(nat->cmdNationOk_Click());
  QCOMPARE(record<cm3::NationRecord>(cm3::kSlotNation, 4).ContinentId(), -1);
  QCOMPARE(file("continent.dat"), continents);
  // Choosing a continent shows its record.
  cont->setCurrentIndex(1);
  QCOMPARE(in<QLineEdit>(nat, "txtLong")->text(),
           q8(record<cm3::ContinentRecord>(cm3::kSlotContinent, 1).FederationName()));
  nat->hide();
}

// ---- The pickers ------------------------------------------------------------------------

void TestWorld::pickers() {
  auto* txtClub = child<QLineEdit>(*w_, "txtClub");
  auto* n1 = child<QComboBox>(*w_, "cmbnations");
  // A person without club: no club window.
  w_->showPerson(personWithClub(false));
  QCOMPARE(txtClub->text(), QString());
  bool opened = false;
  QTimer::singleShot(200, [&] {
    if (QWidget* m = QApplication::activeModalWidget()) {
      opened = true;
      m->close();
    }
  });
  QTest::mouseDClick(child<QLabel>(*w_, "lblClub"), Qt::LeftButton);
  // A club name that is no club.
  txtClub->setText(QStringLiteral("No Such Club Anywhere"));
  QTest::mouseDClick(child<QLabel>(*w_, "lblClub"), Qt::LeftButton);
  // No nation chosen.
  n1->setCurrentIndex(-1);
  QTest::mouseDClick(child<QLabel>(*w_, "lblNation"), Qt::LeftButton);
  QTest::qWait(250);
  QVERIFY(!opened);

  // A person with club: his club by its ID, even when an earlier club of the
  // list bears the same name.
  const int p = personWithClub(true);
  w_->showPerson(p);
  const int clubId = record<cm3::StaffRecord>(cm3::kSlotStaff, p).ClubId();
  QVERIFY2(clubId > 0, "the sample's first person with a club plays for club 0");
  auto* squadCombo = child<QComboBox>(*w_, "cmbSquad");
  squadCombo->setItemText(0, squadCombo->itemText(clubId));
  QString shownId;
  whenModal(
      QStringLiteral("frmClub"),
      [&](QWidget* d) {
        shownId = in<QLabel>(d, "lblID")->text();
        static_cast<FrmClub*>(d)->cmdOk_Click();
      },
      &failures_);
  QTest::mouseDClick(child<QLabel>(*w_, "lblClub"), Qt::LeftButton);
  QCOMPARE(w_->ClickTeamID, clubId);
  QCOMPARE(shownId, QString::number(record<cm3::ClubRecord>(cm3::kSlotClub, clubId).Id()));

  // The club list's double-click opens the chosen club.
  auto* squad = child<QComboBox>(*w_, "cmbSquad");
  squad->setCurrentIndex(13);
  shownId.clear();
  whenModal(
      QStringLiteral("frmClub"),
      [&](QWidget* d) {
        shownId = in<QLabel>(d, "lblID")->text();
        static_cast<FrmClub*>(d)->cmdOk_Click();
      },
      &failures_);
  if (squad->lineEdit())
    QTest::mouseDClick(squad->lineEdit(), Qt::LeftButton);
  else
    panel()->cmbSquad_DblClick();
  QCOMPARE(shownId, QStringLiteral("13"));
  QCOMPARE(w_->ClickTeamID, 13);
}

// A person's club, its division and his nation, each edited, found in the
// game files after the editor has closed.
void TestWorld::fromAPersonToEverything() {
  const int p = personWithClub(true);
  w_->showPerson(p);
  const int clubId = child<QComboBox>(*w_, "cmbSquad")->currentIndex();
  QVERIFY(clubId >= 0);
  const int division = record<cm3::ClubRecord>(cm3::kSlotClub, clubId).Division();
  QVERIFY(division >= 0);
  const int nation = child<QComboBox>(*w_, "cmbnations")->currentIndex();
  QVERIFY(nation >= 0);

  whenModal(
      QStringLiteral("frmClub"),
      [&](QWidget* d) {
        in<QLineEdit>(d, "txtCash")->setText(QStringLiteral("31337"));
        QTest::mouseClick(in<QPushButton>(d, "cmdUpdate"), Qt::LeftButton);
        whenModal(
            QStringLiteral("frmComp"),
            [&](QWidget* comp) {
              in<QLineEdit>(comp, "txtShort")->setText(QStringLiteral("Top Flight"));
              QTest::mouseClick(in<QPushButton>(comp, "cmdUpdate"), Qt::LeftButton);
              QTest::mouseClick(in<QPushButton>(comp, "cmdOk"), Qt::LeftButton);
            },
            &failures_);
        QTest::mouseDClick(in<QLabel>(d, "lblDivision"), Qt::LeftButton);
        QTest::mouseClick(in<QPushButton>(d, "cmdOk"), Qt::LeftButton);
      },
      &failures_);
  QTest::mouseDClick(child<QLabel>(*w_, "lblClub"), Qt::LeftButton);
  whenModal(
      QStringLiteral("frmNation"),
      [&](QWidget* d) {
        in<QLineEdit>(d, "txtNationality")->setText(QStringLiteral("Testish"));
        QTest::mouseClick(in<QPushButton>(d, "cmdNationOk"), Qt::LeftButton);
        QTest::mouseClick(in<QPushButton>(d, "cmdCancel"), Qt::LeftButton);
      },
      &failures_);
  QTest::mouseDClick(child<QLabel>(*w_, "lblNation"), Qt::LeftButton);
  QVERIFY(failures_.isEmpty());

  w_->close();
  QVERIFY(!db().isOpen());
  auto recordIn = [&](const char* name, size_t size, int id) {
    Bytes b = file(name);
    return Bytes(b.begin() + qsizetype(size) * id, b.begin() + qsizetype(size) * (id + 1));
  };
  cm3::ClubRecord club;
  Bytes cb = recordIn("club.dat", cm3::ClubRecord::kSize, clubId);
  std::copy(cb.begin(), cb.end(), club.bytes.begin());
  QCOMPARE(club.Cash(), 31337);
  cm3::CompRecord comp;
  Bytes kb = recordIn("club_comp.dat", cm3::CompRecord::kSize, division);
  std::copy(kb.begin(), kb.end(), comp.bytes.begin());
  QCOMPARE(QString::fromStdString(comp.ShortName()), QStringLiteral("Top Flight"));
  cm3::NationRecord nat;
  Bytes nb = recordIn("nation.dat", cm3::NationRecord::kSize, nation);
  std::copy(nb.begin(), nb.end(), nat.bytes.begin());
  QCOMPARE(QString::fromStdString(nat.Nationality()), QStringLiteral("Testish"));
}

// CM3_SHOT_DIR=docs QT_QPA_PLATFORM=offscreen tst_world screenshots
void TestWorld::screenshots() {
  const QString dir = qEnvironmentVariable("CM3_SHOT_DIR");
  if (dir.isEmpty()) QSKIP("set CM3_SHOT_DIR to the folder for the window pictures");
  cm3::ClubRecord r = record<cm3::ClubRecord>(cm3::kSlotClub, 3);
  r.setMainStadium(4);
  r.setReserveStadium(5);
  putClub(r);
  FrmClub* c = showClub(3);
  c->adjustSize();
  QTest::qWait(50);
  QVERIFY(c->grab().save(dir + "/frmClub.png"));
  c->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
  QTest::qWait(50);
  QVERIFY(c->grab().save(dir + "/frmClub-stadiums.png"));
  c->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(2);
  QTest::qWait(50);
  QVERIFY(c->grab().save(dir + "/frmClub-kits.png"));
  c->hide();
  FrmComp* comp = panel()->frmComp();
  comp->fillFrom(r.Division(), FrmComp::Source::Division);
  comp->show();
  QTest::qWait(50);
  QVERIFY(comp->grab().save(dir + "/frmComp.png"));
  comp->hide();
  child<QComboBox>(*w_, "cmbnations")->setCurrentIndex(r.Nation());
  w_->EditingSecondNation = false;
  FrmNation* nat = panel()->frmNation();
  QVERIFY(nat->fillFromMain());
  nat->show();
  QTest::qWait(50);
  QVERIFY(nat->grab().save(dir + "/frmNation.png"));
  nat->hide();
}

QTEST_MAIN(TestWorld)
#include "tst_world.moc"
