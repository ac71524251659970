#include "ui/worldpanel.h"

#include <QPushButton>

#include "ui_frmcomp.h"

#include "ui/mainwindow.h"
#include "ui/namemodels.h"

namespace cm3::ui {

using comps::CompForm;

FrmComp::FrmComp(TolvPlayer* main)
    : FormWindow(main, bindings<CompForm>({{"cmbNation", &CompForm::nation}, {"cmbContinent", &CompForm::continent},
                                           {"cmbBackground", &CompForm::background},
                                           {"cmbForeground", &CompForm::foreground}},
                                          &CompForm::boxes, {comps::kCompBoxes})) {
  const NameModels& names = main_->names();
  showLists({{names.continents(), {ui_->cmbContinent}}, {names.nations(), {ui_->cmbNation}}},
            {ui_->cmbBackground, ui_->cmbForeground});
  selectLabelled(comps::kCompBoxes);
  connect(ui_->cmdUpdate, &QPushButton::clicked, this, &FrmComp::cmdUpdate_Click);
  connect(ui_->cmdOk, &QPushButton::clicked, this, &QDialog::accept);
}

bool FrmComp::cmdUpdate_Click() {
  return writeOrRefuse(this, [&] {
    comps::updateComp(main_->database(), compIndex_, binder_->read());
    main_->names().reload(main_->database(), FieldRef::Comp, compIndex_);
  });
}

void FrmComp::fillFrom(int compIndex) {
  compIndex_ = compIndex;
  binder_->fill(comps::loadComp(main_->database(), compIndex));
}

}  // namespace cm3::ui
