#include "ui/frmnation.h"

#include <QEvent>
#include <QPushButton>

#include "ui_frmnation.h"

#include "records/codelists.h"
#include "ui/binder.h"
#include "ui/formrules.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"
#include "ui/messages.h"
#include "ui/worldpanel.h"
#include "ui/widgets.h"

namespace cm3::ui {

namespace {

using nations::ContinentForm;
using nations::NationForm;

// The controls that show the nation form beyond its boxes; the continent
// frame has its own form, shown again whenever another continent is chosen.
const Binding<NationForm> kNationBindings[] = {
    {"lblNationID", &NationForm::id},
    {"cmbDevelopment", &NationForm::development},
    {"cmbRegion", &NationForm::region},
    {"cmbActualRegion", &NationForm::actualRegion},
    {"lstGroup", &NationForm::group},
    {"cmbLang1", element<&NationForm::languages, 0>}, {"cmbLang2", element<&NationForm::languages, 1>},
    {"cmbLang3", element<&NationForm::languages, 2>},
    {"cmbCity", &NationForm::city},
    {"cmbNatStadium", &NationForm::stadium},
    {"cmbContinent", &NationForm::continent},
};

}  // namespace

FrmNation::FrmNation(TolvPlayer* main) : main_(main), ui_(std::make_unique<Ui::FrmNation>()) {
  ui_->setupUi(this);
  binder_ = std::make_unique<Binder<NationForm>>(
      this, bindings<NationForm>({std::begin(kNationBindings), std::end(kNationBindings)}, &NationForm::boxes,
                                 {nations::kNationBoxes}));
  continent_ = std::make_unique<Binder<ContinentForm>>(
      this, bindings<ContinentForm>({}, &ContinentForm::boxes, {nations::kContinentBoxes}));

  ui_->cmbDevelopment->addItems(toList(codes::kDevelopment));
  ui_->cmbRegion->addItems(toList(codes::kRegion));
  ui_->cmbActualRegion->addItems(toList(codes::kActualRegion));
  for (QComboBox* c : {ui_->cmbLang1, ui_->cmbLang2, ui_->cmbLang3}) c->addItems(toList(codes::kLanguage));
  ui_->lstGroup->addItems(toList(codes::kGroup));
  // Sized before the name lists come: a combo sizes itself by measuring every
  // row of its list.
  adjustSize();
  for (QComboBox* c : {ui_->cmbCity, ui_->cmbDevelopment, ui_->cmbRegion, ui_->cmbActualRegion, ui_->cmbNatStadium,
                       ui_->cmbContinent, ui_->cmbLang1, ui_->cmbLang2, ui_->cmbLang3})
    world::makeClearable(c);
  const NameModels& names = main_->names();
  ui_->cmbContinent->setModel(names.continents());
  ui_->cmbCity->setModel(names.cities());
  ui_->cmbNatStadium->setModel(names.stadiums());

  // Input rules: the rating and coefficient boxes select their text on
  // entry; three of them take digits only.
  for (std::span<const FormBox> table : {std::span<const FormBox>(nations::kNationBoxes), {nations::kContinentBoxes}})
    for (const FormBox& b : table)
      if (b.label) installSelectAll(findChild<QLineEdit*>(QString::fromLatin1(b.box)));
  for (QLineEdit* box : {ui_->txtGameImpt, ui_->txtLeagueStandard, ui_->txtReputation}) installKeyFilter(box, kDigits);

  connect(ui_->cmbContinent, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) cmbContinent_Click();
  });
  if (ui_->cmbContinent->lineEdit()) ui_->cmbContinent->lineEdit()->installEventFilter(this);
  connect(ui_->cmdNationOk, &QPushButton::clicked, this, [this] { cmdNationOk_Click(); });
  connect(ui_->cmdCancel, &QPushButton::clicked, this, &FrmNation::cmdCancel_Click);
}

FrmNation::~FrmNation() = default;

void FrmNation::Form_Load() {
  CentreOverMain(this, main_);
  for (QWidget* w : std::initializer_list<QWidget*>{ui_->PicNation, ui_->cmdNationOk, ui_->cmdCancel}) DrawFrame3D(w);
}

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

void FrmNation::cmbContinent_Click() {
  const int row = ui_->cmbContinent->currentIndex();
  continent_->fill(row >= 0 ? nations::loadContinent(main_->database(), row) : ContinentForm{});
}

bool FrmNation::eventFilter(QObject* watched, QEvent* event) {
  // Any key in the continent combo empties the continent boxes while the
  // combo has no choice.
  QComboBox* combo = ui_->cmbContinent;
  if (event->type() == QEvent::KeyPress && combo->lineEdit() && watched == combo->lineEdit() &&
      combo->currentIndex() < 0)
    continent_->fill({});
  return QDialog::eventFilter(watched, event);
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

void FrmNation::cmdCancel_Click() { accept(); }

}  // namespace cm3::ui
