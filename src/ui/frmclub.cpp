#include "ui/worldpanel.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

#include "ui_frmclub.h"

#include "records/codelists.h"
#include "ui/mainwindow.h"
#include "ui/namemodels.h"
#include "ui/widgets.h"

namespace cm3::ui {

using clubs::ClubForm;
using clubs::StadiumForm;

namespace {

// The controls of the main and of the reserve stadium frame besides their
// boxes: the stadium index, city, nearby stadium, roof and heating.
constexpr std::array<const char*, 5> kStadiumControls[] = {
    {"lblStaID", "cmbCity", "cmbStaNear", "chkRoof", "chkHeating"},
    {"lblStaResID", "cmbCityRes", "cmbStaNearRes", "chkRoofRes", "chkHeatingRes"}};

// The club frame. The favourite and disliked people are rows of their lists;
// the stadium frames have forms of their own.
std::vector<Binding<ClubForm>> clubBindings() {
  return bindings<ClubForm>(
      {{"lblID", &ClubForm::id}, {"cmbStatus", &ClubForm::status}, {"cmbNation", &ClubForm::nation},
       {"cmbDivision", &ClubForm::division}, {"cmbLastDivision", &ClubForm::lastDivision},
       {"cmbOtherDivision", &ClubForm::otherDivision}, {"cmbHomeMatch", &ClubForm::homeMatchDay},
       {"cmbHomeText", &ClubForm::kits, 0}, {"cmbHomeBack", &ClubForm::kits, 1},
       {"cmbAwayText", &ClubForm::kits, 2}, {"cmbAwayBack", &ClubForm::kits, 3},
       {"cmbThirdText", &ClubForm::kits, 4}, {"cmbThirdBack", &ClubForm::kits, 5},
       {"cmbRival1", &ClubForm::rivals, 0}, {"cmbRival2", &ClubForm::rivals, 1},
       {"cmbRival3", &ClubForm::rivals, 2}, {"chkOwnClub", &ClubForm::ownsStadium}},
      &ClubForm::boxes, {clubs::kClubBoxes});
}

}  // namespace

FrmClub::FrmClub(TolvPlayer* main, FrmComp* comp) : FormWindow(main, clubBindings()), comp_(comp) {
  for (bool reserve : {false, true}) {
    const auto [id, city, nearby, roof, heating] = kStadiumControls[reserve];
    stadiums_[reserve] = std::make_unique<Binder<StadiumForm>>(
        this, bindings<StadiumForm>({{id, &StadiumForm::id}, {city, &StadiumForm::city},
                                     {nearby, &StadiumForm::nearby}, {roof, &StadiumForm::roof},
                                     {heating, &StadiumForm::heating}},
                                    &StadiumForm::boxes, {clubs::kStadiumBoxes[reserve]}));
    digitsOnly(StadiumRecord::kFields, clubs::kStadiumBoxes[reserve]);
  }
  digitsOnly(ClubRecord::kFields, clubs::kClubBoxes, ui_->txtClubReputation);
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
      if (list->currentIndex() < 0) return true;
      comp_->fillFrom(list->currentIndex());
      comp_->exec();
      return true;
    });
  connect(ui_->cmdAddNew, &QPushButton::clicked, this, &FrmClub::cmdAddNew_Click);
  connect(ui_->cmdUpdate, &QPushButton::clicked, this, &FrmClub::cmdUpdate_Click);
  connect(ui_->cmdOk, &QPushButton::clicked, this, &FrmClub::cmdOk_Click);
}

void FrmClub::fill(const ClubForm& f) {
  for (bool reserve : {false, true}) stadiums_[reserve]->fill(f.*clubs::kStadiumFrames[reserve]);
  binder_->fill(f);
  ui_->lstLiked->clear();
  ui_->lstDisliked->clear();
  ui_->lstLiked->addItems(toList(f.liked));
  ui_->lstDisliked->addItems(toList(f.disliked));
}

// The favourite and disliked people are shown only: the form leaves them out.
ClubForm FrmClub::form() const {
  ClubForm f = binder_->read();
  for (bool reserve : {false, true}) f.*clubs::kStadiumFrames[reserve] = stadiums_[reserve]->read();
  return f;
}

void FrmClub::cmdAddNew_Click() {
  ui_->cmdAddNew->setEnabled(false);
  NewClub = true;
  fill(clubs::newClubForm(main_->database(), form()));
}

void FrmClub::showClub() { fill(clubs::loadClub(main_->database(), main_->ClickTeamID)); }

bool FrmClub::cmdUpdate_Click() {
  if (NewClub && !ask(this, QString::fromLatin1(clubs::kAddNewClubQuestion))) return false;
  clubs::UpdateResult result;
  if (!writeOrRefuse(
          this, [&] { result = clubs::updateClub(main_->database(), main_->ClickTeamID, NewClub, form()); }))
    return false;
  // A new club is now the one on show, so that a further Update writes to it.
  NewClub = false;
  main_->ClickTeamID = result.clubId;
  for (const auto& [kind, row] : result.renamed) main_->names().reload(main_->database(), kind, row);
  ClubForm f = form();
  clubs::showStadiumState(f, result);
  for (bool reserve : {false, true}) stadiums_[reserve]->fill(f.*clubs::kStadiumFrames[reserve]);
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
  QDialog::closeEvent(event);
}

void FrmClub::keyPressEvent(QKeyEvent* event) {
  // Escape does not close the window (the key stays accepted); O&K and the
  // close box do.
  if (event->key() != Qt::Key_Escape) QDialog::keyPressEvent(event);
}

}  // namespace cm3::ui
