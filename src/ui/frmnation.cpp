#include "ui/frmnation.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>

#include "records/codelists.h"
#include "ui/formrules.h"
#include "ui/mainwindow.h"
#include "ui/messages.h"
#include "ui/worldpanel.h"
#include "ui/widgets.h"

namespace cm3::ui {

using world::caption;
using world::choose;

FrmNation::FrmNation(TolvPlayer* main) : main_(main) {
  setObjectName(QStringLiteral("frmNation"));
  setWindowTitle(QStringLiteral("Nation Properties"));
  setModal(true);

  PicNation_ = make<QWidget>(this, "PicNation");
  auto* pic = new QGridLayout(PicNation_);
  pic->setSpacing(8);

  // Nation.
  auto* fraNation = make<QGroupBox>(PicNation_, "fraNation");
  fraNation->setTitle(QStringLiteral("Nation"));
  auto* n = new QGridLayout(fraNation);
  lblNationID_ = make<QLabel>(fraNation, "lblNationID");
  txtName_ = make<QLineEdit>(fraNation, "txtName");
  txtNationality_ = make<QLineEdit>(fraNation, "txtNationality");
  txtNatSymb_ = make<QLineEdit>(fraNation, "txtNatSymb");
  txtshortnat_ = make<QLineEdit>(fraNation, "txtshortnat");
  cmbCity_ = make<QComboBox>(fraNation, "cmbCity");
  cmbDevelopment_ = make<QComboBox>(fraNation, "cmbDevelopment");
  cmbRegion_ = make<QComboBox>(fraNation, "cmbRegion");
  cmbActualRegion_ = make<QComboBox>(fraNation, "cmbActualRegion");
  lstGroup_ = make<QListWidget>(fraNation, "lstGroup");
  cmbNatStadium_ = make<QComboBox>(fraNation, "cmbNatStadium");
  int row = 0;
  auto pair = [&](const QString& text, QWidget* w, int col = 0) {
    n->addWidget(caption(fraNation, text), row, col);
    n->addWidget(w, row, col + 1);
  };
  pair(QStringLiteral("ID"), lblNationID_);
  ++row;
  pair(QStringLiteral("Nation "), txtName_);
  pair(QStringLiteral("Nationality"), txtNationality_, 2);
  ++row;
  pair(QStringLiteral("Short Nation   "), txtshortnat_);
  pair(QStringLiteral("Nat Symb  "), txtNatSymb_, 2);
  ++row;
  pair(QStringLiteral("Capital City"), cmbCity_);
  pair(QStringLiteral("Nat Stadium"), cmbNatStadium_, 2);
  ++row;
  pair(QStringLiteral("Development"), cmbDevelopment_);
  pair(QStringLiteral("Region"), cmbRegion_, 2);
  ++row;
  pair(QStringLiteral("Actual Region"), cmbActualRegion_);
  n->addWidget(lstGroup_, row, 2, 1, 2);
  lstGroup_->setMaximumHeight(44);
  n->setColumnStretch(1, 1);
  n->setColumnStretch(3, 1);

  // Languages.
  auto* fraLanguages = make<QGroupBox>(PicNation_, "fraLanguages");
  fraLanguages->setTitle(QStringLiteral("Languages"));
  auto* l = new QGridLayout(fraLanguages);
  const QString langCaptions[3] = {QStringLiteral("First Language"), QStringLiteral("2nd Language"),
                                   QStringLiteral("3rd Language")};
  for (int k = 0; k < 3; ++k) {
    cmbLang_[size_t(k)] = make<QComboBox>(fraLanguages, QStringLiteral("cmbLang%1").arg(k + 1));
    l->addWidget(caption(fraLanguages, langCaptions[k]), k, 0);
    l->addWidget(cmbLang_[size_t(k)], k, 1);
  }

  // Ratings.
  auto* frame1 = make<QGroupBox>(PicNation_, "Frame1");
  frame1->setTitle(QStringLiteral("Nation Ratings"));
  auto* rt = new QGridLayout(frame1);
  txtCurFIFACOEFF_ = make<QLineEdit>(frame1, "txtCurFIFACOEFF");
  txtLeagueStandard_ = make<QLineEdit>(frame1, "txtLeagueStandard");
  txtGameImpt_ = make<QLineEdit>(frame1, "txtGameImpt");
  txtReputation_ = make<QLineEdit>(frame1, "txtReputation");
  rt->addWidget(caption(frame1, QStringLiteral("Cur FIFACoefficient")), 0, 0);
  rt->addWidget(txtCurFIFACOEFF_, 0, 1);
  rt->addWidget(caption(frame1, QStringLiteral("League Standard")), 1, 0);
  rt->addWidget(txtLeagueStandard_, 1, 1);
  rt->addWidget(caption(frame1, QStringLiteral("Game Importance")), 2, 0);
  rt->addWidget(txtGameImpt_, 2, 1);
  rt->addWidget(caption(frame1, QStringLiteral("Reputation")), 3, 0);
  rt->addWidget(txtReputation_, 3, 1);

  // Coefficients.
  auto* fraCoeff = make<QGroupBox>(PicNation_, "fraCoeff");
  fraCoeff->setTitle(QStringLiteral("Coefficients"));
  auto* co = new QGridLayout(fraCoeff);
  for (int k = 0; k < 6; ++k) {
    const QString year = QString::number(91 + k);
    txtFIFA_[size_t(k)] = make<QLineEdit>(fraCoeff, QStringLiteral("txtFIFA") + year);
    txtUEFA_[size_t(k)] = make<QLineEdit>(fraCoeff, QStringLiteral("txtUEFA") + year);
    co->addWidget(caption(fraCoeff, QStringLiteral("FIFA") + year), k, 0);
    co->addWidget(txtFIFA_[size_t(k)], k, 1);
    co->addWidget(caption(fraCoeff, QStringLiteral("UEFA") + year), k, 2);
    co->addWidget(txtUEFA_[size_t(k)], k, 3);
  }

  // Continent.
  auto* fraContinent = make<QGroupBox>(PicNation_, "fraContinent");
  fraContinent->setTitle(QStringLiteral("Continent"));
  auto* ct = new QGridLayout(fraContinent);
  cmbContinent_ = make<QComboBox>(fraContinent, "cmbContinent");
  txtShort_ = make<QLineEdit>(fraContinent, "txtShort");
  txtType_ = make<QLineEdit>(fraContinent, "txtType");
  txtLong_ = make<QLineEdit>(fraContinent, "txtLong");
  txtFederation_ = make<QLineEdit>(fraContinent, "txtFederation");
  txtStrength_ = make<QLineEdit>(fraContinent, "txtStrength");
  ct->addWidget(cmbContinent_, 0, 0, 1, 4);
  ct->addWidget(caption(fraContinent, QStringLiteral("Short Symb")), 1, 0);
  ct->addWidget(txtShort_, 1, 1);
  ct->addWidget(caption(fraContinent, QStringLiteral("Short")), 1, 2);
  ct->addWidget(txtFederation_, 1, 3);
  ct->addWidget(caption(fraContinent, QStringLiteral("Type")), 2, 0);
  ct->addWidget(txtType_, 2, 1, 1, 3);
  ct->addWidget(caption(fraContinent, QStringLiteral("Federation")), 3, 0);
  ct->addWidget(txtLong_, 3, 1, 1, 3);
  ct->addWidget(caption(fraContinent, QStringLiteral("Strength")), 4, 0);
  ct->addWidget(txtStrength_, 4, 1);
  ct->setColumnStretch(1, 1);
  ct->setColumnStretch(3, 2);

  pic->addWidget(fraNation, 0, 0, 1, 2);
  pic->addWidget(fraLanguages, 1, 0);
  pic->addWidget(frame1, 1, 1);
  pic->addWidget(fraCoeff, 2, 0);
  pic->addWidget(fraContinent, 2, 1);
  pic->setColumnStretch(0, 1);
  pic->setColumnStretch(1, 1);
  setMinimumWidth(680);

  cmdNationOk_ = make<QPushButton>(this, "cmdNationOk");
  cmdNationOk_->setText(QStringLiteral("U&pdate"));
  cmdCancel_ = make<QPushButton>(this, "cmdCancel");
  cmdCancel_->setText(QStringLiteral("O&k"));
  for (QPushButton* b : {cmdNationOk_, cmdCancel_}) b->setAutoDefault(false);
  auto* lay = new QVBoxLayout(this);
  lay->setSpacing(10);
  lay->addWidget(PicNation_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdNationOk_);
  buttons->addWidget(cmdCancel_);
  lay->addLayout(buttons);

  // Lists.
  cmbDevelopment_->addItems(toList(codes::kDevelopment));
  cmbRegion_->addItems(toList(codes::kRegion));
  cmbActualRegion_->addItems(toList(codes::kActualRegion));
  for (QComboBox* c : cmbLang_) c->addItems(toList(codes::kLanguage));
  lstGroup_->addItems(toList(codes::kGroup));
  cmbContinent_->setModel(main_->continentModel());
  for (QComboBox* c : {cmbCity_, cmbDevelopment_, cmbRegion_, cmbActualRegion_, cmbNatStadium_, cmbContinent_})
    world::makeClearable(c);
  for (QComboBox* c : cmbLang_) world::makeClearable(c);

  // Input rules.
  for (QLineEdit* box : {txtCurFIFACOEFF_, txtGameImpt_, txtLeagueStandard_, txtReputation_, txtStrength_})
    installSelectAll(box);
  for (QLineEdit* box : txtFIFA_) installSelectAll(box);
  for (QLineEdit* box : txtUEFA_) installSelectAll(box);
  for (QLineEdit* box : {txtGameImpt_, txtLeagueStandard_, txtReputation_}) installKeyFilter(box, kDigits);
  txtName_->setMaxLength(51);

  connect(cmbContinent_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) cmbContinent_Click();
  });
  if (cmbContinent_->lineEdit()) cmbContinent_->lineEdit()->installEventFilter(this);
  connect(cmdNationOk_, &QPushButton::clicked, this, [this] { cmdNationOk_Click(); });
  connect(cmdCancel_, &QPushButton::clicked, this, &FrmNation::cmdCancel_Click);
}

void FrmNation::Form_Load() {
  adjustSize();
  CentreOverMain(this, main_);
  for (QWidget* w : std::initializer_list<QWidget*>{PicNation_, cmdNationOk_, cmdCancel_}) DrawFrame3D(w);
}

QComboBox* FrmNation::sourceCombo() const {
  return main_->control<QComboBox>(main_->EditingSecondNation ? QStringLiteral("cmbnations2")
                                                              : QStringLiteral("cmbnations"));
}

void FrmNation::fillContinent(const nations::ContinentForm& c) {
  txtShort_->setText(q8(c.shortSymbol));
  txtLong_->setText(q8(c.federationName));
  txtLong_->setCursorPosition(0);
  txtFederation_->setText(q8(c.federationShort));
  txtType_->setText(q8(c.type));
  txtStrength_->setText(q8(c.strength));
}

void FrmNation::fill(const nations::NationForm& f) {
  filling_ = true;
  txtName_->setText(q8(f.name));
  txtshortnat_->setText(q8(f.shortName));
  txtNatSymb_->setText(q8(f.symbol));
  txtNationality_->setText(q8(f.nationality));
  txtLeagueStandard_->setText(q8(f.leagueStandard));
  txtGameImpt_->setText(q8(f.gameImportance));
  txtReputation_->setText(q8(f.reputation));
  choose(cmbDevelopment_, f.development);
  choose(cmbActualRegion_, f.actualRegion);
  choose(cmbRegion_, f.region);
  for (int k = 0; k < 3; ++k) choose(cmbLang_[size_t(k)], f.languages[size_t(k)]);
  lstGroup_->setCurrentRow(f.group >= 0 && f.group < lstGroup_->count() ? f.group : -1);
  if (f.group < 0) lstGroup_->clearSelection();
  for (int k = 0; k < 6; ++k) {
    txtUEFA_[size_t(k)]->setText(q8(f.uefa[size_t(k)]));
    txtFIFA_[size_t(k)]->setText(q8(f.fifa[size_t(k)]));
  }
  txtCurFIFACOEFF_->setText(q8(f.currentFifa));
  choose(cmbCity_, f.city);
  choose(cmbNatStadium_, f.stadium);
  lblNationID_->setText(q8(f.id));
  choose(cmbContinent_, f.continent);
  fillContinent(f.continentBoxes);
  filling_ = false;
  // Long texts show from their start.
  for (QLineEdit* box : findChildren<QLineEdit*>()) box->setCursorPosition(0);
}

nations::NationForm FrmNation::form() const {
  nations::NationForm f;
  f.id = to8(lblNationID_->text());
  f.name = to8(txtName_->text());
  f.shortName = to8(txtshortnat_->text());
  f.symbol = to8(txtNatSymb_->text());
  f.nationality = to8(txtNationality_->text());
  f.leagueStandard = to8(txtLeagueStandard_->text());
  f.gameImportance = to8(txtGameImpt_->text());
  f.reputation = to8(txtReputation_->text());
  f.development = cmbDevelopment_->currentIndex();
  f.region = cmbRegion_->currentIndex();
  f.actualRegion = cmbActualRegion_->currentIndex();
  for (int k = 0; k < 3; ++k) f.languages[size_t(k)] = cmbLang_[size_t(k)]->currentIndex();
  f.group = lstGroup_->currentItem() && lstGroup_->currentItem()->isSelected() ? lstGroup_->currentRow() : -1;
  f.city = cmbCity_->currentIndex();
  f.stadium = cmbNatStadium_->currentIndex();
  f.currentFifa = to8(txtCurFIFACOEFF_->text());
  for (int k = 0; k < 6; ++k) {
    f.fifa[size_t(k)] = to8(txtFIFA_[size_t(k)]->text());
    f.uefa[size_t(k)] = to8(txtUEFA_[size_t(k)]->text());
  }
  f.continent = cmbContinent_->currentIndex();
  f.continentBoxes.shortSymbol = to8(txtShort_->text());
  f.continentBoxes.federationName = to8(txtLong_->text());
  f.continentBoxes.federationShort = to8(txtFederation_->text());
  f.continentBoxes.type = to8(txtType_->text());
  f.continentBoxes.strength = to8(txtStrength_->text());
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
  if (cmbContinent_->currentIndex() >= 0)
    fillContinent(nations::loadContinent(main_->database(), cmbContinent_->currentIndex()));
  else
    fillContinent({});
}

bool FrmNation::eventFilter(QObject* watched, QEvent* event) {
  // Any key in the continent combo empties the continent boxes while the
  // combo has no choice.
  if (event->type() == QEvent::KeyPress && cmbContinent_->lineEdit() && watched == cmbContinent_->lineEdit() &&
      cmbContinent_->currentIndex() < 0)
    fillContinent({});
  return QDialog::eventFilter(watched, event);
}

bool FrmNation::cmdNationOk_Click() {
  QComboBox* combo = sourceCombo();
  if (!combo || combo->currentIndex() < 0) {
    message(this, QStringLiteral("No nation is chosen in the main window; nothing was written."));
    return false;
  }
  const int index = combo->currentIndex();
  try {
    nations::updateNation(main_->database(), index, form());
  } catch (const nations::NationError& e) {
    message(this, q8(e.what()));
    if (auto* box = findChild<QLineEdit*>(QString::fromStdString(e.box()))) box->setFocus();
    return false;
  } catch (const std::exception& e) {
    message(this, QString::fromLocal8Bit(e.what()));
    return false;
  }
  combo->setItemText(index, q8(main_->database().current.nation.Name()));
  return true;
}

void FrmNation::cmdCancel_Click() { accept(); }

}  // namespace cm3::ui
