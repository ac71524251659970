#include "ui/frmnation.h"

#include <QEvent>
#include <QPushButton>

#include "ui_frmnation.h"

#include "records/codelists.h"
#include "ui/binder.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"
#include "ui/namemodels.h"
#include "ui/widgets.h"

namespace cm3::ui {

using nations::ContinentForm;
using nations::NationForm;

FrmNation::FrmNation(TolvPlayer* main) : WorldWindow(main), ui_(std::make_unique<Ui::FrmNation>()) {
  ui_->setupUi(this);
  // The continent frame has its own form, shown again whenever another
  // continent is chosen.
  binder_ = std::make_unique<Binder<NationForm>>(
      this, bindings<NationForm>(
                {{"lblNationID", &NationForm::id}, {"cmbDevelopment", &NationForm::development},
                 {"cmbRegion", &NationForm::region}, {"cmbActualRegion", &NationForm::actualRegion},
                 {"lstGroup", &NationForm::group}, {"cmbLang1", &NationForm::languages, 0},
                 {"cmbLang2", &NationForm::languages, 1}, {"cmbLang3", &NationForm::languages, 2},
                 {"cmbCity", &NationForm::city}, {"cmbNatStadium", &NationForm::stadium},
                 {"cmbContinent", &NationForm::continent}},
                &NationForm::boxes, {nations::kNationBoxes}));
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
    if (!filling_) continent_->fill(row >= 0 ? nations::loadContinent(main_->database(), row) : ContinentForm{});
  });
  // Any key in the continent combo empties the continent boxes while the
  // combo has no choice.
  onEvent(ui_->cmbContinent->lineEdit(), [this](QObject*, QEvent* e) {
    if (e->type() == QEvent::KeyPress && ui_->cmbContinent->currentIndex() < 0) continent_->fill({});
    return false;
  });
  connect(ui_->cmdNationOk, &QPushButton::clicked, this, [this] { cmdNationOk_Click(); });
  connect(ui_->cmdCancel, &QPushButton::clicked, this, &QDialog::accept);
}

FrmNation::~FrmNation() = default;

QComboBox* FrmNation::sourceCombo() const {
  return main_->EditingSecondNation ? main_->form().cmbnations2 : main_->form().cmbnations;
}

void FrmNation::fill(const NationForm& f) {
  filling_ = true;
  binder_->fill(f);
  continent_->fill(f.continentBoxes);
  filling_ = false;
}

NationForm FrmNation::form() const {
  NationForm f = binder_->read();
  f.continentBoxes = continent_->read();
  return f;
}

bool FrmNation::fillFromMain() {
  QComboBox* combo = sourceCombo();
  if (!combo || combo->currentIndex() < 0) return false;
  fill(nations::loadNation(main_->database(), combo->currentIndex()));
  return true;
}

bool FrmNation::openOnMain() {
  if (!fillFromMain()) return false;
  exec();
  return true;
}

bool FrmNation::cmdNationOk_Click() {
  QComboBox* combo = sourceCombo();
  if (!combo || combo->currentIndex() < 0) {
    message(this, QStringLiteral("No nation is chosen in the main window; nothing was written."));
    return false;
  }
  const int index = combo->currentIndex();
  if (!writeOrRefuse<nations::NationError>(this, [&] { nations::updateNation(main_->database(), index, form()); }))
    return false;
  main_->names().reload(main_->database(), NameModels::Nations, index);
  return true;
}

}  // namespace cm3::ui
