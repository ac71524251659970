#include "ui/worldpanel.h"

#include <QEvent>
#include <QPushButton>

#include "ui_frmnation.h"

#include "records/codelists.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"
#include "ui/namemodels.h"
#include "ui/widgets.h"

namespace cm3::ui {

using nations::ContinentForm;
using nations::NationForm;

FrmNation::FrmNation(TolvPlayer* main)
    : FormWindow(main, bindings<NationForm>(
                           {{"lblNationID", &NationForm::id}, {"cmbDevelopment", &NationForm::development},
                            {"cmbRegion", &NationForm::region}, {"cmbActualRegion", &NationForm::actualRegion},
                            {"lstGroup", &NationForm::group}, {"cmbLang1", &NationForm::languages, 0},
                            {"cmbLang2", &NationForm::languages, 1},
                            {"cmbLang3", &NationForm::languages, 2}, {"cmbCity", &NationForm::city},
                            {"cmbNatStadium", &NationForm::stadium}, {"cmbContinent", &NationForm::continent}},
                           &NationForm::boxes, {nations::kNationBoxes})) {
  // The continent frame has its own form, shown again whenever another
  // continent is chosen.
  continent_ = std::make_unique<Binder<ContinentForm>>(
      this, bindings<ContinentForm>({}, &ContinentForm::boxes, {nations::kContinentBoxes}));

  ui_->lstGroup->addItems(toList(codes::kGroup));
  const NameModels& names = main_->names();
  showLists({{names.continents(), {ui_->cmbContinent}},
             {names.cities(), {ui_->cmbCity}},
             {names.stadiums(), {ui_->cmbNatStadium}}});
  ui_->cmbDevelopment->addItems(toList(codes::kDevelopment));
  ui_->cmbRegion->addItems(toList(codes::kRegion));
  ui_->cmbActualRegion->addItems(toList(codes::kActualRegion));
  for (QComboBox* c : {ui_->cmbLang1, ui_->cmbLang2, ui_->cmbLang3}) c->addItems(toList(codes::kLanguage));
  selectLabelled(nations::kNationBoxes);
  selectLabelled(nations::kContinentBoxes);
  digitsOnly(NationRecord::kFields, nations::kNationBoxes);

  connect(ui_->cmbContinent, &QComboBox::currentIndexChanged, this, [this](int row) {
    continent_->fill(row >= 0 ? nations::loadContinent(main_->database(), row) : ContinentForm{});
  });
  // Any key in the continent combo empties the continent boxes while the
  // combo has no choice.
  onEvent(ui_->cmbContinent->lineEdit(), [this](QObject*, QEvent* e) {
    if (e->type() == QEvent::KeyPress && ui_->cmbContinent->currentIndex() < 0) continent_->fill({});
    return false;
  });
  connect(ui_->cmdNationOk, &QPushButton::clicked, this, &FrmNation::cmdNationOk_Click);
  connect(ui_->cmdCancel, &QPushButton::clicked, this, &QDialog::accept);
}

void FrmNation::cmdNationOk_Click() {
  const int index = mainNation();
  if (index < 0) return message(this, QStringLiteral("No nation is chosen in the main window; nothing was written."));
  NationForm f = binder_->read();
  f.continentBoxes = continent_->read();
  if (writeOrRefuse(this, [&] { nations::updateNation(main_->database(), index, f); }))
    main_->names().reload(main_->database(), FieldRef::Nation, index);
}

int FrmNation::mainNation() const {
  return (main_->EditingSecondNation ? main_->form().cmbnations2 : main_->form().cmbnations)->currentIndex();
}

bool FrmNation::fillFromMain() {
  if (mainNation() < 0) return false;
  const NationForm f = nations::loadNation(main_->database(), mainNation());
  binder_->fill(f);
  continent_->fill(f.continentBoxes);
  return true;
}

}  // namespace cm3::ui
