#include "ui/frmclub.h"

#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStringListModel>

#include "ui_frmclub.h"

#include "records/codelists.h"
#include "ui/binder.h"
#include "ui/formrules.h"
#include "ui/frmnation.h"
#include "ui/mainwindow.h"
#include "ui/messages.h"
#include "ui/worldpanel.h"
#include "ui/widgets.h"

namespace cm3::ui {

namespace {

using clubs::ClubForm;
using clubs::StadiumForm;

// The controls that show a member of the club form. The favourite and
// disliked people are rows of their lists; the stadium frames have forms
// of their own.
const Binding<ClubForm> kClubBindings[] = {
    {"lblID", &ClubForm::id},
    {"txtLongName", &ClubForm::longName},
    {"txtShortName", &ClubForm::shortName},
    {"cmbStatus", &ClubForm::status},
    {"cmbNation", &ClubForm::nation},
    {"cmbDivision", &ClubForm::division},
    {"cmbLastDivision", &ClubForm::lastDivision},
    {"cmbOtherDivision", &ClubForm::otherDivision},
    {"txtLastPos", &ClubForm::lastPosition},
    {"txtCash", &ClubForm::cash},
    {"txtTrainingFacility", &ClubForm::trainingFacility},
    {"txtClubReputation", &ClubForm::reputation},
    {"cmbHomeMatch", &ClubForm::homeMatchDay},
    {"txtAvgAttendance", &ClubForm::avgAttendance},
    {"txtMinAttendance", &ClubForm::minAttendance},
    {"txtMaxAttendance", &ClubForm::maxAttendance},
    {"cmbHomeText", element<&ClubForm::kits, 0>},
    {"cmbHomeBack", element<&ClubForm::kits, 1>},
    {"cmbAwayText", element<&ClubForm::kits, 2>},
    {"cmbAwayBack", element<&ClubForm::kits, 3>},
    {"cmbThirdText", element<&ClubForm::kits, 4>},
    {"cmbThirdBack", element<&ClubForm::kits, 5>},
    {"cmbRival1", element<&ClubForm::rivals, 0>},
    {"cmbRival2", element<&ClubForm::rivals, 1>},
    {"cmbRival3", element<&ClubForm::rivals, 2>},
    {"chkOwnClub", &ClubForm::ownsStadium},
};

const Binding<StadiumForm> kMainStadium[] = {
    {"lblStaID", &StadiumForm::id},          {"txtStaLongName", &StadiumForm::name}, {"cmbCity", &StadiumForm::city},
    {"txtStaCapacity", &StadiumForm::capacity}, {"txtStaSeating", &StadiumForm::seating},
    {"txtStaExpansion", &StadiumForm::expansion}, {"cmbStaNear", &StadiumForm::nearby},
    {"chkRoof", &StadiumForm::roof},         {"chkHeating", &StadiumForm::heating},
};
const Binding<StadiumForm> kReserveStadium[] = {
    {"lblStaResID", &StadiumForm::id},       {"txtStaResLongName", &StadiumForm::name},
    {"cmbCityRes", &StadiumForm::city},      {"txtStaResCapacity", &StadiumForm::capacity},
    {"txtStaResSeating", &StadiumForm::seating}, {"txtStaResExpansion", &StadiumForm::expansion},
    {"cmbStaNearRes", &StadiumForm::nearby}, {"chkRoofRes", &StadiumForm::roof},
    {"chkHeatingRes", &StadiumForm::heating},
};

}  // namespace

FrmClub::FrmClub(TolvPlayer* main, FrmComp* comp, FrmNation* nation)
    : main_(main), comp_(comp), nation_(nation), ui_(std::make_unique<Ui::FrmClub>()) {
  ui_->setupUi(this);
  binder_ = std::make_unique<Binder<ClubForm>>(this, kClubBindings);
  mainStadium_ = std::make_unique<Binder<StadiumForm>>(this, kMainStadium);
  reserveStadium_ = std::make_unique<Binder<StadiumForm>>(this, kReserveStadium);

  // Fixed lists and input rules.
  for (QLineEdit* box : {ui_->txtStaCapacity, ui_->txtStaSeating, ui_->txtStaExpansion, ui_->txtStaResCapacity,
                         ui_->txtStaResSeating, ui_->txtStaResExpansion})
    installKeyFilter(box, kDigits);
  ui_->cmbStatus->addItems(toList(codes::kClubStatus));
  ui_->cmbHomeMatch->addItems(toList(codes::kHomeMatchDay));
  for (QComboBox* c : {ui_->cmbCity, ui_->cmbStaNear, ui_->cmbCityRes, ui_->cmbStaNearRes, ui_->cmbNation,
                       ui_->cmbDivision, ui_->cmbLastDivision, ui_->cmbOtherDivision, ui_->cmbHomeMatch,
                       ui_->cmbRival1, ui_->cmbRival2, ui_->cmbRival3})
    world::makeClearable(c);
  for (QLineEdit* box : {ui_->txtLastPos, ui_->txtTrainingFacility, ui_->txtClubReputation}) installSelectAll(box);
  for (QLineEdit* box : {ui_->txtAvgAttendance, ui_->txtCash, ui_->txtLastPos, ui_->txtMaxAttendance,
                         ui_->txtMinAttendance, ui_->txtTrainingFacility})
    installKeyFilter(box, kDigits);

  for (QLabel* l : {ui_->lblDivision, ui_->lblLastDivision, ui_->lblOtherDivision}) l->installEventFilter(this);
  connect(ui_->cmdAddNew, &QPushButton::clicked, this, &FrmClub::cmdAddNew_Click);
  connect(ui_->cmdUpdate, &QPushButton::clicked, this, [this] { cmdUpdate_Click(); });
  connect(ui_->cmdOk, &QPushButton::clicked, this, &FrmClub::cmdOk_Click);
}

FrmClub::~FrmClub() = default;

void FrmClub::Form_Load() {
  const Database& db = main_->database();
  adjustSize();
  CentreOverMain(this, main_);

  // The colour rows: the six kit lists share one list of rows; the two
  // colour lists of the competition window get theirs while they are empty.
  colours_ = world::colourModel(this, db.colours);
  for (QComboBox* k : {ui_->cmbHomeText, ui_->cmbHomeBack, ui_->cmbAwayText, ui_->cmbAwayBack, ui_->cmbThirdText,
                       ui_->cmbThirdBack}) {
    k->setModel(colours_);
    k->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    k->setMinimumContentsLength(14);
  }
  for (const char* name : {"cmbBackground", "cmbForeground"})
    if (auto* c = comp_->findChild<QComboBox*>(QString::fromLatin1(name)); c && c->count() == 0)
      world::addColourRows(c, db.colours);

  if (ui_->cmbNation->count() > 0) return;
  for (QWidget* w : std::initializer_list<QWidget*>{ui_->cmdAddNew, ui_->cmdUpdate, ui_->cmdOk, ui_->SSTab1})
    DrawFrame3D(w);

  ui_->cmbNation->setModel(main_->nationModel());
  if (auto* c = comp_->findChild<QComboBox*>(QStringLiteral("cmbNation")); c && c->count() == 0)
    c->setModel(main_->nationModel());
  divisions_ = new QStringListModel(toList(db.compNames), this);
  for (QComboBox* c : {ui_->cmbDivision, ui_->cmbLastDivision, ui_->cmbOtherDivision}) c->setModel(divisions_);
  for (QComboBox* c : {ui_->cmbRival1, ui_->cmbRival2, ui_->cmbRival3}) c->setModel(main_->clubModel());

  ui_->cmbCity->addItems(toList(db.cityNames));
  QComboBox* nationCity = nation_->findChild<QComboBox*>(QStringLiteral("cmbCity"));
  CopyComboItems(ui_->cmbCity, {ui_->cmbCityRes});
  if (nationCity && nationCity->count() == 0) CopyComboItems(ui_->cmbCity, {nationCity});
  ui_->cmbStaNear->addItems(toList(db.stadiumNames));
  QComboBox* nationStadium = nation_->findChild<QComboBox*>(QStringLiteral("cmbNatStadium"));
  CopyComboItems(ui_->cmbStaNear, {ui_->cmbStaNearRes});
  if (nationStadium && nationStadium->count() == 0) CopyComboItems(ui_->cmbStaNear, {nationStadium});
  for (QComboBox* c : {ui_->cmbCity, ui_->cmbStaNear, ui_->cmbCityRes, ui_->cmbStaNearRes}) c->setCurrentIndex(-1);
}

void FrmClub::fillStadiums(const ClubForm& f) {
  mainStadium_->fill(f.main);
  reserveStadium_->fill(f.reserve);
}

void FrmClub::fill(const ClubForm& f) {
  // The stadium tab and the reserve frame stay available, so that a club
  // without a stadium can be given one by typing its name.
  ui_->SSTab1->setTabEnabled(1, true);
  ui_->fraReserve->setEnabled(true);
  fillStadiums(f);
  binder_->fill(f);
  ui_->lstLiked->clear();
  ui_->lstDisliked->clear();
  ui_->lstLiked->addItems(toList(f.liked));
  ui_->lstDisliked->addItems(toList(f.disliked));
}

ClubForm FrmClub::form() const {
  ClubForm f = binder_->read();
  for (int i = 0; i < ui_->lstLiked->count(); ++i) f.liked.push_back(to8(ui_->lstLiked->item(i)->text()));
  for (int i = 0; i < ui_->lstDisliked->count(); ++i) f.disliked.push_back(to8(ui_->lstDisliked->item(i)->text()));
  f.main = mainStadium_->read();
  f.reserve = reserveStadium_->read();
  return f;
}

void FrmClub::showClub() { fill(clubs::loadClub(main_->database(), main_->ClickTeamID)); }

void FrmClub::openClub() {
  showClub();
  exec();
}

void FrmClub::cmdAddNew_Click() {
  ui_->cmdAddNew->setEnabled(false);
  NewClub = true;
  fill(clubs::newClubForm(main_->database(), form()));
}

bool FrmClub::cmdUpdate_Click() {
  if (NewClub && !ask(this, QString::fromLatin1(clubs::kAddNewClubQuestion))) return false;
  clubs::UpdateResult result;
  if (!writeOrRefuse<clubs::UpdateError>(
          this, [&] { result = clubs::updateClub(main_->database(), main_->ClickTeamID, NewClub, form()); }))
    return false;
  afterUpdate(result);
  return true;
}

void FrmClub::afterUpdate(const clubs::UpdateResult& result) {
  const Database& db = main_->database();
  QStringListModel* clubs = main_->clubModel();
  if (result.created) {
    // A new last row of the club lists; its row number is the new club's index.
    const int row = clubs->rowCount();
    if (row == result.clubId && clubs->insertRows(row, 1))
      clubs->setData(clubs->index(row), q8(result.newClubName));
    NewClub = false;
    // The window now shows the new club, so a further Update writes to it.
    main_->ClickTeamID = result.clubId;
  } else if (result.clubId >= 0 && result.clubId < clubs->rowCount()) {
    clubs->setData(clubs->index(result.clubId), q8(db.clubNames[size_t(result.clubId)]));
  }
  // New stadiums become rows of the stadium lists.
  QComboBox* nationStadium = nation_->findChild<QComboBox*>(QStringLiteral("cmbNatStadium"));
  for (int32_t id : result.createdStadiums) {
    const QString name = q8(db.stadiumNames.size() > size_t(id) ? db.stadiumNames[size_t(id)] : std::string());
    for (QComboBox* c : {ui_->cmbStaNear, ui_->cmbStaNearRes, nationStadium})
      if (c && c->count() == id) c->addItem(name);
  }
  ClubForm f = form();
  clubs::showStadiumState(f, result);
  fillStadiums(f);
  ui_->lblID->setText(q8(f.id));
}

void FrmClub::cmdOk_Click() {
  NewClub = false;
  main_->update();
  accept();
}

void FrmClub::openComp(QComboBox* list, FrmComp::Source source) {
  const int row = list->currentIndex();
  if (row < 0) return;
  comp_->openOn(row, source);
  // A renamed competition shows its new name in the division lists.
  const Database& db = main_->database();
  if (divisions_ && size_t(row) < db.compNames.size() && row < divisions_->rowCount())
    divisions_->setData(divisions_->index(row), q8(db.compNames[size_t(row)]));
}

void FrmClub::lblDivision_DblClick() { openComp(ui_->cmbDivision, FrmComp::Source::Division); }
void FrmClub::lblLastDivision_DblClick() { openComp(ui_->cmbLastDivision, FrmComp::Source::LastDivision); }
void FrmClub::lblOtherDivision_DblClick() { openComp(ui_->cmbOtherDivision, FrmComp::Source::OtherDivision); }

bool FrmClub::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    if (watched == ui_->lblDivision) lblDivision_DblClick();
    else if (watched == ui_->lblLastDivision) lblLastDivision_DblClick();
    else if (watched == ui_->lblOtherDivision) lblOtherDivision_DblClick();
    else return QDialog::eventFilter(watched, event);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void FrmClub::closeEvent(QCloseEvent* event) {
  // The close box unloads the window: the next opening loads it afresh.
  unloaded_ = true;
  NewClub = false;
  QDialog::closeEvent(event);
}

void FrmClub::keyPressEvent(QKeyEvent* event) {
  // Escape does not close the window; O&K and the close box do.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace cm3::ui
