#include "ui/frmcomp.h"

#include <QPushButton>

#include "ui_frmcomp.h"

#include "ui/binder.h"
#include "ui/formrules.h"
#include "ui/mainwindow.h"
#include "ui/messages.h"
#include "ui/worldpanel.h"
#include "ui/widgets.h"

namespace cm3::ui {

FrmComp::FrmComp(TolvPlayer* main) : main_(main), ui_(std::make_unique<Ui::FrmComp>()) {
  ui_->setupUi(this);
  using comps::CompForm;
  binder_ = std::make_unique<Binder<CompForm>>(
      this, bindings<CompForm>({{"cmbNation", &CompForm::nation},
                                {"cmbContinent", &CompForm::continent},
                                {"cmbBackground", &CompForm::background},
                                {"cmbForeground", &CompForm::foreground}},
                               &CompForm::boxes, {comps::kCompBoxes}));
  // Sized before the name lists come: a combo sizes itself by measuring every
  // row of its list.
  adjustSize();
  for (QComboBox* combo : {ui_->cmbContinent, ui_->cmbNation}) world::makeClearable(combo);
  ui_->cmbContinent->setModel(main_->names().continents());
  ui_->cmbNation->setModel(main_->names().nations());
  for (QComboBox* c : {ui_->cmbBackground, ui_->cmbForeground}) world::showColours(c, main_->names().colours());
  for (QLineEdit* box : {ui_->txtReputation, ui_->txtSelected, ui_->txtScope}) installSelectAll(box);

  connect(ui_->cmdUpdate, &QPushButton::clicked, this, [this] { cmdUpdate_Click(); });
  connect(ui_->cmdOk, &QPushButton::clicked, this, &FrmComp::cmdOk_Click);
}

FrmComp::~FrmComp() = default;

void FrmComp::Form_Load() {
  CentreOverMain(this, main_);
  DrawFrame3D(ui_->cmdUpdate);
  DrawFrame3D(ui_->cmdOk);
}

void FrmComp::fill(const comps::CompForm& f) { binder_->fill(f); }

comps::CompForm FrmComp::form() const { return binder_->read(); }

void FrmComp::fillFrom(int compIndex, Source source) {
  source_ = source;
  compIndex_ = compIndex;
  fill(comps::loadComp(main_->database(), compIndex));
}

void FrmComp::openOn(int compIndex, Source source) {
  fillFrom(compIndex, source);
  exec();
}

bool FrmComp::cmdUpdate_Click() {
  return writeOrRefuse<comps::CompError>(this, [&] {
    comps::updateComp(main_->database(), compIndex_, form());
    main_->names().reload(main_->database(), NameModels::Comps, compIndex_);
  });
}

void FrmComp::cmdOk_Click() { accept(); }

}  // namespace cm3::ui
