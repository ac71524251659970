#include "ui/frmscoutoptions.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <numeric>

#include "records/codelists.h"
#include "records/cp1252.h"
#include "ui/formrules.h"
#include "ui/messages.h"
#include "ui/widgets.h"

namespace cm3::ui {
namespace {

QLabel* label(QWidget* parent, const QString& text, const QString& name = {}) {
  auto* l = new QLabel(text, parent);
  if (!name.isEmpty()) l->setObjectName(name);
  return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  return b;
}

QComboBox* combo(QWidget* parent, const char* name) {
  auto* c = new QComboBox(parent);
  c->setObjectName(QString::fromLatin1(name));
  return c;
}

// Box indexes of a table in the order of their record bytes, for the layout.
template <size_t N>
std::vector<size_t> byOffset(const std::array<search::ScoutBox, N>& boxes) {
  std::vector<size_t> order(N);
  std::iota(order.begin(), order.end(), size_t(0));
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return boxes[a].offset < boxes[b].offset; });
  return order;
}

}  // namespace

QLineEdit* FrmScoutOptions::numberBox(QWidget* parent, const char* name, int maxLength) {
  auto* e = new QLineEdit(QStringLiteral("0"), parent);
  e->setObjectName(QString::fromLatin1(name));
  if (maxLength > 0) e->setMaxLength(maxLength);
  e->setMaximumWidth(56);
  installSelectAll(e);
  return e;
}

FrmScoutOptions::FrmScoutOptions(search::ScoutCriteria& criteria, std::function<void()> stored,
                                 const QComboBox* nations, const std::vector<std::string>& comps)
    : QDialog(nullptr), criteria_(criteria), stored_(std::move(stored)) {
  setObjectName(QStringLiteral("frmScoutOptions"));
  setWindowTitle(QStringLiteral("Scout Options"));
  setModal(true);
  auto* top = new QVBoxLayout(this);

  // ---- Ratings, nation, age, job, league ---------------------------------
  auto* upper = new QHBoxLayout;
  fraAbility_ = new QGroupBox(QStringLiteral("Ratings"), this);
  fraAbility_->setObjectName(QStringLiteral("fraAbility"));
  {
    auto* g = new QGridLayout(fraAbility_);
    txtAbility_ = numberBox(fraAbility_, "txtAbility", 3);
    txtPotAbility_ = numberBox(fraAbility_, "txtPotAbility", 3);
    g->addWidget(label(fraAbility_, QStringLiteral("Cur Ability")), 0, 0);
    g->addWidget(txtAbility_, 0, 1);
    g->addWidget(label(fraAbility_, QStringLiteral("0-200 "), QStringLiteral("lblAbilityRange")), 0, 2);
    g->addWidget(label(fraAbility_, QStringLiteral("Pot Ability")), 1, 0);
    g->addWidget(txtPotAbility_, 1, 1);
    g->addWidget(label(fraAbility_, QStringLiteral("-2-200"), QStringLiteral("lblPotAbilityRange")), 1, 2);
    auto* reset = button(fraAbility_, "cmdResetRatings", QStringLiteral("Reset"));
    g->addWidget(reset, 2, 0, 1, 3);
    connect(reset, &QPushButton::clicked, this, &FrmScoutOptions::cmdResetRatings_Click);
  }
  upper->addWidget(fraAbility_);

  auto* filters = new QGridLayout;
  cmbnations_ = combo(this, "cmbnations");
  txtAge_ = numberBox(this, "txtAge", 0);
  lstOpt_ = new QListWidget(this);
  lstOpt_->setObjectName(QStringLiteral("lstOpt"));
  lstOpt_->addItems({QStringLiteral("Older Than"), QStringLiteral("Younger Than")});
  lstOpt_->setMaximumHeight(44);
  cmbClass_ = combo(this, "cmbClass");
  for (std::string_view job : codes::kClass) cmbClass_->addItem(QString::fromLatin1(job.data(), qsizetype(job.size())));
  cmbComp_ = combo(this, "cmbComp");
  filters->addWidget(label(this, QStringLiteral("Nation")), 0, 0);
  filters->addWidget(cmbnations_, 0, 1, 1, 2);
  filters->addWidget(label(this, QStringLiteral("Age")), 1, 0);
  filters->addWidget(txtAge_, 1, 1);
  filters->addWidget(lstOpt_, 1, 2);
  filters->addWidget(label(this, QStringLiteral("Job")), 2, 0);
  filters->addWidget(cmbClass_, 2, 1, 1, 2);
  filters->addWidget(label(this, QStringLiteral("League")), 3, 0);
  filters->addWidget(cmbComp_, 3, 1, 1, 2);
  filters->setColumnStretch(2, 1);
  upper->addLayout(filters, 1);
  top->addLayout(upper);

  // ---- Attributes and positions ------------------------------------------
  auto frame = [&](const char* name, const QString& caption, auto& table, std::vector<QLineEdit*>& boxes,
                   const char* resetName, void (FrmScoutOptions::*reset)(), int perRow) {
    auto* f = new QGroupBox(caption, this);
    f->setObjectName(QString::fromLatin1(name));
    auto* g = new QGridLayout(f);
    g->addWidget(label(f, QStringLiteral("0-20"), QString::fromLatin1(name) + QStringLiteral("Range")), 0, 0, 1, 2);
    boxes.assign(table.size(), nullptr);
    int k = 0;
    for (size_t i : byOffset(table)) {
      const search::ScoutBox& b = table[i];
      QLineEdit* e = numberBox(f, b.name, b.maxLength);
      const QString tip = QString::fromLatin1(b.tooltip);
      auto* l = label(f, QString::fromLatin1(b.caption));
      if (!tip.isEmpty()) {
        e->setToolTip(tip);
        l->setToolTip(tip);
      }
      l->setBuddy(e);
      const int row = 1 + k / perRow, col = 2 * (k % perRow);
      g->addWidget(l, row, col);
      g->addWidget(e, row, col + 1);
      boxes[i] = e;
      ++k;
    }
    auto* r = button(f, resetName, QStringLiteral("Reset"));
    g->addWidget(r, 2 + (k - 1) / perRow, 0, 1, 2);
    connect(r, &QPushButton::clicked, this, reset);
    top->addWidget(f);
    return f;
  };
  fraAtt_ = frame("fraAtt", QStringLiteral("Attributes"), search::kScoutAttributes, attributes_, "cmdResetAtt",
                  &FrmScoutOptions::cmdResetAtt_Click, 4);
  fraPositions_ = frame("fraPositions", QStringLiteral("Position"), search::kScoutPositions, positions_,
                        "cmdResetPositions", &FrmScoutOptions::cmdResetPositions_Click, 4);

  // ---- Buttons -------------------------------------------------------------
  auto* buttons = new QHBoxLayout;
  cmdReset_ = button(this, "cmdReset", QStringLiteral("Reset All"));
  cmdOk_ = button(this, "cmdOk", QStringLiteral("O&k"));
  buttons->addStretch(1);
  buttons->addWidget(cmdReset_);
  buttons->addSpacing(12);
  buttons->addWidget(cmdOk_);
  top->addLayout(buttons);
  DrawFrame3D(cmdReset_);
  DrawFrame3D(cmdOk_);

  // Form_Load: Older Than, the nation list, one row per competition, no
  // selection in the three filter lists.
  lstOpt_->setCurrentRow(0);
  if (nations) CopyComboItems(nations, {cmbnations_});
  QStringList compRows;
  compRows.reserve(qsizetype(comps.size()));
  for (const std::string& c : comps) compRows << q8(c);
  cmbComp_->addItems(compRows);
  for (QComboBox* c : {cmbnations_, cmbClass_, cmbComp_}) {
    c->setCurrentIndex(-1);
    c->installEventFilter(this);
    c->setToolTip(QStringLiteral("Delete clears the choice"));
  }

  for (QLineEdit* e : {txtAbility_, txtPotAbility_, txtAge_}) installKeyFilter(e, kDigits + QStringLiteral("-"));
  connect(cmbClass_, &QComboBox::currentIndexChanged, this, &FrmScoutOptions::cmbClass_Change);
  connect(cmdOk_, &QPushButton::clicked, this, &FrmScoutOptions::cmdOk_Click);
  connect(cmdReset_, &QPushButton::clicked, this, &FrmScoutOptions::cmdReset_Click);
}

bool FrmScoutOptions::eventFilter(QObject* watched, QEvent* event) {
  // Delete or Backspace on a filter list takes its choice away (any nation,
  // any job, any league).
  if (event->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(event);
    if (k->key() == Qt::Key_Delete || k->key() == Qt::Key_Backspace) {
      if (auto* c = qobject_cast<QComboBox*>(watched)) {
        c->setCurrentIndex(-1);
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

search::ScoutForm FrmScoutOptions::form() const {
  search::ScoutForm f;
  f.ability = to8(txtAbility_->text());
  f.potAbility = to8(txtPotAbility_->text());
  f.nationRow = cmbnations_->currentIndex();
  f.age = to8(txtAge_->text());
  for (size_t k = 0; k < attributes_.size(); ++k) f.attributes[k] = to8(attributes_[k]->text());
  for (size_t k = 0; k < positions_.size(); ++k) f.positions[k] = to8(positions_[k]->text());
  f.classRow = cmbClass_->currentIndex();
  f.compRow = cmbComp_->currentIndex();
  f.optRow = lstOpt_->currentRow();
  return f;
}

void FrmScoutOptions::cmdOk_Click() {
  if (search::storeCriteria(form(), criteria_)) {
    message(this, QStringLiteral("Illegal value!"));
    return;
  }
  if (stored_) stored_();
  accept();
}

void FrmScoutOptions::cmdReset_Click() {
  cmdResetRatings_Click();
  cmdResetAtt_Click();
  cmdResetPositions_Click();
  txtAge_->setText(QStringLiteral("0"));
  lstOpt_->setCurrentRow(0);
  for (QComboBox* c : {cmbnations_, cmbComp_, cmbClass_}) c->setCurrentIndex(-1);
}

void FrmScoutOptions::cmdResetAtt_Click() {
  for (QLineEdit* e : attributes_) e->setText(QStringLiteral("0"));
}

void FrmScoutOptions::cmdResetPositions_Click() {
  for (QLineEdit* e : positions_) e->setText(QStringLiteral("0"));
}

void FrmScoutOptions::cmdResetRatings_Click() {
  txtAbility_->setText(QStringLiteral("0"));
  txtPotAbility_->setText(QStringLiteral("0"));
}

void FrmScoutOptions::cmbClass_Change() {
  const int row = cmbClass_->currentIndex();
  const bool playing = row < 0 || row >= codes::kFirstPlayingClass;
  for (QGroupBox* f : {fraAbility_, fraPositions_, fraAtt_}) f->setEnabled(playing);
}

}  // namespace cm3::ui
