#include "ui/frmcomp.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>

#include "ui/formrules.h"
#include "ui/mainwindow.h"
#include "ui/messages.h"
#include "ui/worldpanel.h"
#include "ui/widgets.h"

namespace cm3::ui {

using world::caption;
using world::choose;

FrmComp::FrmComp(TolvPlayer* main) : main_(main) {
  setObjectName(QStringLiteral("frmComp"));
  setWindowTitle(QStringLiteral("Competition Properties"));
  setModal(true);

  auto* fraComp = make<QGroupBox>(this, "fraComp");
  fraComp->setTitle(QStringLiteral("Competition Info"));
  auto* g = new QGridLayout(fraComp);
  txtLong_ = make<QLineEdit>(fraComp, "txtLong");
  txtShort_ = make<QLineEdit>(fraComp, "txtShort");
  txtThreeLetter_ = make<QLineEdit>(fraComp, "txtThreeLetter");
  cmbContinent_ = make<QComboBox>(fraComp, "cmbContinent");
  cmbNation_ = make<QComboBox>(fraComp, "cmbNation");
  g->addWidget(caption(fraComp, QStringLiteral("Competition Name"), "lblCompName"), 0, 0);
  g->addWidget(txtLong_, 0, 1);
  g->addWidget(caption(fraComp, QStringLiteral("Short Name"), "lblCompShort"), 1, 0);
  g->addWidget(txtShort_, 1, 1);
  g->addWidget(caption(fraComp, QStringLiteral("Three Letter Name"), "Label1"), 2, 0);
  g->addWidget(txtThreeLetter_, 2, 1);
  g->addWidget(caption(fraComp, QStringLiteral("Continent"), "Label4"), 3, 0);
  g->addWidget(cmbContinent_, 3, 1);
  g->addWidget(caption(fraComp, QStringLiteral("Nation"), "Label5"), 4, 0);
  g->addWidget(cmbNation_, 4, 1);
  g->setColumnStretch(1, 1);

  auto* fraRatings = make<QGroupBox>(this, "fraRatings");
  fraRatings->setTitle(QStringLiteral("Competition Ratings"));
  auto* r = new QGridLayout(fraRatings);
  txtReputation_ = make<QLineEdit>(fraRatings, "txtReputation");
  txtSelected_ = make<QLineEdit>(fraRatings, "txtSelected");
  txtScope_ = make<QLineEdit>(fraRatings, "txtScope");
  r->addWidget(caption(fraRatings, QStringLiteral("Reputation"), "Label7"), 0, 0);
  r->addWidget(txtReputation_, 0, 1);
  r->addWidget(caption(fraRatings, QStringLiteral("Competition Selected"), "Label3"), 1, 0);
  r->addWidget(txtSelected_, 1, 1);
  r->addWidget(caption(fraRatings, QStringLiteral("Competition Scope"), "Label2"), 2, 0);
  r->addWidget(txtScope_, 2, 1);

  auto* fraColor = make<QGroupBox>(this, "fraColor");
  fraColor->setTitle(QStringLiteral("Competition Colors"));
  auto* c = new QGridLayout(fraColor);
  cmbForeground_ = make<QComboBox>(fraColor, "cmbForeground");
  cmbBackground_ = make<QComboBox>(fraColor, "cmbBackground");
  c->addWidget(caption(fraColor, QStringLiteral("Foreground"), "Label6"), 0, 0);
  c->addWidget(cmbForeground_, 0, 1);
  c->addWidget(caption(fraColor, QStringLiteral("Background"), "lblHomekitback"), 1, 0);
  c->addWidget(cmbBackground_, 1, 1);
  c->setColumnStretch(1, 1);

  cmdUpdate_ = make<QPushButton>(this, "cmdUpdate");
  cmdUpdate_->setText(QStringLiteral("Update"));
  cmdOk_ = make<QPushButton>(this, "cmdOk");
  cmdOk_->setText(QStringLiteral("O&K"));
  for (QPushButton* b : {cmdUpdate_, cmdOk_}) b->setAutoDefault(false);

  auto* lay = new QVBoxLayout(this);
  lay->setSpacing(10);
  lay->addWidget(fraComp);
  auto* mid = new QHBoxLayout;
  mid->addWidget(fraRatings);
  mid->addWidget(fraColor, 1);
  lay->addLayout(mid);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdUpdate_);
  buttons->addWidget(cmdOk_);
  lay->addLayout(buttons);

  cmbContinent_->setModel(main_->continentModel());
  for (QComboBox* combo : {cmbContinent_, cmbNation_}) world::makeClearable(combo);
  for (QLineEdit* box : {txtReputation_, txtSelected_, txtScope_}) installSelectAll(box);

  connect(cmdUpdate_, &QPushButton::clicked, this, [this] { cmdUpdate_Click(); });
  connect(cmdOk_, &QPushButton::clicked, this, &FrmComp::cmdOk_Click);
}

void FrmComp::Form_Load() {
  adjustSize();
  CentreOverMain(this, main_);
  DrawFrame3D(cmdUpdate_);
  DrawFrame3D(cmdOk_);
}

void FrmComp::fill(const comps::CompForm& f) {
  txtLong_->setText(q8(f.longName));
  txtShort_->setText(q8(f.shortName));
  txtThreeLetter_->setText(q8(f.threeLetter));
  txtScope_->setText(q8(f.scope));
  txtSelected_->setText(q8(f.selected));
  choose(cmbNation_, f.nation);
  choose(cmbContinent_, f.continent);
  txtReputation_->setText(q8(f.reputation));
  choose(cmbBackground_, f.background);
  choose(cmbForeground_, f.foreground);
  for (QLineEdit* box : findChildren<QLineEdit*>()) box->setCursorPosition(0);
}

comps::CompForm FrmComp::form() const {
  comps::CompForm f;
  f.longName = to8(txtLong_->text());
  f.shortName = to8(txtShort_->text());
  f.threeLetter = to8(txtThreeLetter_->text());
  f.scope = to8(txtScope_->text());
  f.selected = to8(txtSelected_->text());
  f.reputation = to8(txtReputation_->text());
  f.continent = cmbContinent_->currentIndex();
  f.nation = cmbNation_->currentIndex();
  f.foreground = cmbForeground_->currentIndex();
  f.background = cmbBackground_->currentIndex();
  return f;
}

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
  try {
    comps::updateComp(main_->database(), compIndex_, form());
  } catch (const comps::CompError& e) {
    message(this, q8(e.what()));
    if (auto* box = findChild<QLineEdit*>(QString::fromStdString(e.box()))) box->setFocus();
    return false;
  } catch (const std::exception& e) {
    message(this, QString::fromLocal8Bit(e.what()));
    return false;
  }
  return true;
}

void FrmComp::cmdOk_Click() { accept(); }

}  // namespace cm3::ui
