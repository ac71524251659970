#include "ui/frmclub.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

#include "ui_frmclub.h"

#include "records/codelists.h"
#include "ui/binder.h"
#include "ui/frmcomp.h"
#include "ui/mainwindow.h"
#include "ui/namemodels.h"
#include "ui/widgets.h"

namespace cm3::ui {

using clubs::ClubForm;
using clubs::StadiumForm;

FrmClub::FrmClub(TolvPlayer* main, FrmComp* comp) : WorldWindow(main), comp_(comp), ui_(std::make_unique<Ui::FrmClub>()) {
  ui_->setupUi(this);
  // The favourite and disliked people are rows of their lists; the stadium
  // frames have forms of their own.
  binder_ = std::make_unique<Binder<ClubForm>>(
      this, bindings<ClubForm>(
                {{"lblID", &ClubForm::id}, {"cmbStatus", &ClubForm::status}, {"cmbNation", &ClubForm::nation},
                 {"cmbDivision", &ClubForm::division}, {"cmbLastDivision", &ClubForm::lastDivision},
                 {"cmbOtherDivision", &ClubForm::otherDivision}, {"cmbHomeMatch", &ClubForm::homeMatchDay},
                 {"cmbHomeText", &ClubForm::kits, 0}, {"cmbHomeBack", &ClubForm::kits, 1},
                 {"cmbAwayText", &ClubForm::kits, 2}, {"cmbAwayBack", &ClubForm::kits, 3},
                 {"cmbThirdText", &ClubForm::kits, 4}, {"cmbThirdBack", &ClubForm::kits, 5},
                 {"cmbRival1", &ClubForm::rivals, 0}, {"cmbRival2", &ClubForm::rivals, 1},
                 {"cmbRival3", &ClubForm::rivals, 2}, {"chkOwnClub", &ClubForm::ownsStadium}},
                &ClubForm::boxes, {clubs::kClubBoxes}));
  mainStadium_ = std::make_unique<Binder<StadiumForm>>(
      this, bindings<StadiumForm>({{"lblStaID", &StadiumForm::id}, {"cmbCity", &StadiumForm::city},
                                   {"cmbStaNear", &StadiumForm::nearby}, {"chkRoof", &StadiumForm::roof},
                                   {"chkHeating", &StadiumForm::heating}},
                                  &StadiumForm::boxes, {clubs::kMainStadiumBoxes}));
  reserveStadium_ = std::make_unique<Binder<StadiumForm>>(
      this, bindings<StadiumForm>({{"lblStaResID", &StadiumForm::id}, {"cmbCityRes", &StadiumForm::city},
                                   {"cmbStaNearRes", &StadiumForm::nearby}, {"chkRoofRes", &StadiumForm::roof},
                                   {"chkHeatingRes", &StadiumForm::heating}},
                                  &StadiumForm::boxes, {clubs::kReserveStadiumBoxes}));

  digitsOnly(ClubRecord::kFields, clubs::kClubBoxes, ui_->txtClubReputation);
  digitsOnly(StadiumRecord::kFields, clubs::kMainStadiumBoxes);
  digitsOnly(StadiumRecord::kFields, clubs::kReserveStadiumBoxes);
  ui_->cmbStatus->addItems(toList(codes::kClubStatus));
  ui_->cmbHomeMatch->addItems(toList(codes::kHomeMatchDay));
  const NameModels& names = main_->names();
  showLists({{names.nations(), {ui_->cmbNation}},
             {names.comps(), {ui_->cmbDivision, ui_->cmbLastDivision, ui_->cmbOtherDivision}},
             {names.clubs(), {ui_->cmbRival1, ui_->cmbRival2, ui_->cmbRival3}},
             {names.cities(), {ui_->cmbCity, ui_->cmbCityRes}},
             {names.stadiums(), {ui_->cmbStaNear, ui_->cmbStaNearRes}}},
            {ui_->cmbHomeText, ui_->cmbHomeBack, ui_->cmbAwayText, ui_->cmbAwayBack, ui_->cmbThirdText,
             ui_->cmbThirdBack});
  for (QLineEdit* box : {ui_->txtLastPos, ui_->txtTrainingFacility, ui_->txtClubReputation}) installSelectAll(box);

  // A division label opens its competition; nothing happens while its list
  // has no choice.
  for (auto [label, list] : {std::pair{ui_->lblDivision, ui_->cmbDivision},
                             {ui_->lblLastDivision, ui_->cmbLastDivision},
                             {ui_->lblOtherDivision, ui_->cmbOtherDivision}})
    onEvent(label, [this, list](QObject*, QEvent* e) {
      if (e->type() != QEvent::MouseButtonDblClick) return false;
      if (list->currentIndex() >= 0) comp_->openOn(list->currentIndex());
      return true;
    });
  connect(ui_->cmdAddNew, &QPushButton::clicked, this, &FrmClub::cmdAddNew_Click);
  connect(ui_->cmdUpdate, &QPushButton::clicked, this, [this] { cmdUpdate_Click(); });
  connect(ui_->cmdOk, &QPushButton::clicked, this, &FrmClub::cmdOk_Click);
}

FrmClub::~FrmClub() = default;

void FrmClub::fill(const ClubForm& f) {
  // The stadium tab and the reserve frame stay available, so that a club
  // without a stadium can be given one by typing its name.
  ui_->SSTab1->setTabEnabled(1, true);
  ui_->fraReserve->setEnabled(true);
  mainStadium_->fill(f.main);
  reserveStadium_->fill(f.reserve);
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
  const Database& db = main_->database();
  NameModels& names = main_->names();
  if (result.created) {
    NewClub = false;
    // The window now shows the new club, so a further Update writes to it.
    main_->ClickTeamID = result.clubId;
  }
  // Appended stadiums first, in order, so that each lands on its own row.
  for (int32_t id : result.createdStadiums) names.reload(db, NameModels::Stadiums, id);
  for (int32_t id : {result.mainStadium, result.reserveStadium}) names.reload(db, NameModels::Stadiums, id);
  names.reload(db, NameModels::Clubs, result.clubId);
  ClubForm f = form();
  clubs::showStadiumState(f, result);
  mainStadium_->fill(f.main);
  reserveStadium_->fill(f.reserve);
  ui_->lblID->setText(q8(f.id));
  return true;
}

void FrmClub::cmdOk_Click() {
  NewClub = false;
  main_->update();
  accept();
}

void FrmClub::closeEvent(QCloseEvent* event) {
  // The close box unloads the window: the next opening loads it afresh.
  unloaded_ = true;
  NewClub = false;
  QDialog::closeEvent(event);
}

void FrmClub::keyPressEvent(QKeyEvent* event) {
  // Escape does not close the window (the key stays accepted); O&K and the
  // close box do.
  if (event->key() != Qt::Key_Escape) QDialog::keyPressEvent(event);
}

}  // namespace cm3::ui
