#include "ui/frmscoutoptions.h"

#include <QKeyEvent>
#include <QPushButton>
#include <algorithm>
#include <numeric>

#include "ui_frmscoutoptions.h"

#include "records/codelists.h"
#include "ui/binder.h"
#include "ui/formrules.h"
#include "ui/messages.h"
#include "ui/widgets.h"

namespace cm3::ui {
namespace {

using search::ScoutForm;

// The controls that show a member of the criteria form; the attribute and
// position grids are read by the window, and the age option is its current
// row even while that row is not selected.
const Binding<ScoutForm> kBindings[] = {
    {"txtAbility", &ScoutForm::ability}, {"txtPotAbility", &ScoutForm::potAbility},
    {"cmbnations", &ScoutForm::nationRow}, {"txtAge", &ScoutForm::age},
    {"cmbClass", &ScoutForm::classRow},   {"cmbComp", &ScoutForm::compRow},
};

// Box indexes of a table in the order of their record bytes, for the layout.
template <size_t N>
std::vector<size_t> byOffset(const std::array<search::ScoutBox, N>& boxes) {
  std::vector<size_t> order(N);
  std::iota(order.begin(), order.end(), size_t(0));
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return boxes[a].offset < boxes[b].offset; });
  return order;
}

// Fills the grid of a threshold frame from its code list: the range
// caption, a box with its caption per entry, four to a row in the order of
// their record bytes, and the frame's Reset button. The boxes come back
// indexed like the list.
template <size_t N>
std::vector<QLineEdit*> thresholdGrid(QGroupBox* frame, const std::array<search::ScoutBox, N>& table,
                                      const char* resetName) {
  constexpr int perRow = 4;
  auto* grid = static_cast<QGridLayout*>(frame->layout());
  auto* range = make<QLabel>(frame, frame->objectName() + QStringLiteral("Range"));
  range->setText(QStringLiteral("0-20"));
  grid->addWidget(range, 0, 0, 1, 2);
  std::vector<QLineEdit*> boxes(N, nullptr);
  int k = 0;
  for (size_t i : byOffset(table)) {
    const search::ScoutBox& b = table[i];
    auto* e = make<QLineEdit>(frame, b.name);
    e->setText(QStringLiteral("0"));
    if (b.maxLength > 0) e->setMaxLength(b.maxLength);
    e->setMaximumWidth(56);
    installSelectAll(e);
    auto* l = new QLabel(QString::fromLatin1(b.caption), frame);
    const QString tip = QString::fromLatin1(b.tooltip);
    if (!tip.isEmpty()) {
      e->setToolTip(tip);
      l->setToolTip(tip);
    }
    l->setBuddy(e);
    const int row = 1 + k / perRow, col = 2 * (k % perRow);
    grid->addWidget(l, row, col);
    grid->addWidget(e, row, col + 1);
    boxes[i] = e;
    ++k;
  }
  auto* reset = make<QPushButton>(frame, resetName);
  reset->setText(QStringLiteral("Reset"));
  reset->setAutoDefault(false);
  grid->addWidget(reset, 2 + (k - 1) / perRow, 0, 1, 2);
  return boxes;
}

}  // namespace

FrmScoutOptions::FrmScoutOptions(search::ScoutCriteria& criteria, std::function<void()> stored,
                                 QAbstractItemModel* nations, QAbstractItemModel* comps)
    : QDialog(nullptr), criteria_(criteria), stored_(std::move(stored)), ui_(std::make_unique<Ui::FrmScoutOptions>()) {
  ui_->setupUi(this);
  for (QLineEdit* e : {ui_->txtAbility, ui_->txtPotAbility, ui_->txtAge}) installSelectAll(e);
  for (std::string_view job : codes::kClass)
    ui_->cmbClass->addItem(QString::fromLatin1(job.data(), qsizetype(job.size())));

  attributes_ = thresholdGrid(ui_->fraAtt, search::kScoutAttributes, "cmdResetAtt");
  positions_ = thresholdGrid(ui_->fraPositions, search::kScoutPositions, "cmdResetPositions");
  // The grids' boxes come before the window's own buttons when tabbing.
  auto* resetAtt = ui_->fraAtt->findChild<QPushButton*>(QStringLiteral("cmdResetAtt"));
  auto* resetPositions = ui_->fraPositions->findChild<QPushButton*>(QStringLiteral("cmdResetPositions"));
  setTabOrder(resetPositions, ui_->cmdReset);
  setTabOrder(ui_->cmdReset, ui_->cmdOk);
  DrawFrame3D(ui_->cmdReset);
  DrawFrame3D(ui_->cmdOk);
  binder_ = std::make_unique<Binder<ScoutForm>>(this, kBindings);

  // Form_Load: Older Than, the nation list, one row per competition, no
  // selection in the three filter lists.
  ui_->lstOpt->setCurrentRow(0);
  ui_->cmbnations->setModel(nations);
  ui_->cmbComp->setModel(comps);
  for (QComboBox* c : {ui_->cmbnations, ui_->cmbClass, ui_->cmbComp}) {
    c->setCurrentIndex(-1);
    c->installEventFilter(this);
  }

  for (QLineEdit* e : {ui_->txtAbility, ui_->txtPotAbility, ui_->txtAge})
    installKeyFilter(e, kDigits + QStringLiteral("-"));
  connect(ui_->cmdResetRatings, &QPushButton::clicked, this, &FrmScoutOptions::cmdResetRatings_Click);
  connect(resetAtt, &QPushButton::clicked, this, &FrmScoutOptions::cmdResetAtt_Click);
  connect(resetPositions, &QPushButton::clicked, this, &FrmScoutOptions::cmdResetPositions_Click);
  connect(ui_->cmbClass, &QComboBox::currentIndexChanged, this, &FrmScoutOptions::cmbClass_Change);
  connect(ui_->cmdOk, &QPushButton::clicked, this, &FrmScoutOptions::cmdOk_Click);
  connect(ui_->cmdReset, &QPushButton::clicked, this, &FrmScoutOptions::cmdReset_Click);
}

FrmScoutOptions::~FrmScoutOptions() = default;

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

ScoutForm FrmScoutOptions::form() const {
  ScoutForm f = binder_->read();
  for (size_t k = 0; k < attributes_.size(); ++k) f.attributes[k] = to8(attributes_[k]->text());
  for (size_t k = 0; k < positions_.size(); ++k) f.positions[k] = to8(positions_[k]->text());
  f.optRow = ui_->lstOpt->currentRow();
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
  ui_->txtAge->setText(QStringLiteral("0"));
  ui_->lstOpt->setCurrentRow(0);
  for (QComboBox* c : {ui_->cmbnations, ui_->cmbComp, ui_->cmbClass}) c->setCurrentIndex(-1);
}

void FrmScoutOptions::cmdResetAtt_Click() {
  for (QLineEdit* e : attributes_) e->setText(QStringLiteral("0"));
}

void FrmScoutOptions::cmdResetPositions_Click() {
  for (QLineEdit* e : positions_) e->setText(QStringLiteral("0"));
}

void FrmScoutOptions::cmdResetRatings_Click() {
  ui_->txtAbility->setText(QStringLiteral("0"));
  ui_->txtPotAbility->setText(QStringLiteral("0"));
}

void FrmScoutOptions::cmbClass_Change() {
  const int row = ui_->cmbClass->currentIndex();
  const bool playing = row < 0 || row >= codes::kFirstPlayingClass;
  for (QGroupBox* f : {ui_->fraAbility, ui_->fraPositions, ui_->fraAtt}) f->setEnabled(playing);
}

}  // namespace cm3::ui
