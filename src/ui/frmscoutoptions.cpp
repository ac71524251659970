#include "ui/frmscoutoptions.h"

#include <QKeyEvent>
#include <algorithm>

#include "ui_frmscoutoptions.h"

#include "records/codelists.h"
#include "ui/binder.h"
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

void zero(const std::vector<QLineEdit*>& boxes) {
  for (QLineEdit* e : boxes) e->setText(QStringLiteral("0"));
}

// Fills the grid of a threshold frame from its code list: the range
// caption, a box with its caption per entry, four to a row in the order of
// their record bytes, and the frame's Reset button, which sets the boxes to
// 0. `boxes` comes back indexed like the list.
template <size_t N>
QPushButton* thresholdGrid(QGroupBox* frame, const std::array<search::ScoutBox, N>& table, const char* resetName,
                           std::vector<QLineEdit*>& boxes) {
  constexpr int perRow = 4;
  auto* grid = static_cast<QGridLayout*>(frame->layout());
  auto* range = make<QLabel>(frame, frame->objectName() + QStringLiteral("Range"));
  range->setText(QStringLiteral("0-20"));
  grid->addWidget(range, 0, 0, 1, 2);
  std::vector<const search::ScoutBox*> order;
  for (const search::ScoutBox& b : table) order.push_back(&b);
  std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->offset < b->offset; });
  boxes.assign(N, nullptr);
  for (int k = 0; k < int(N); ++k) {
    const search::ScoutBox& b = *order[size_t(k)];
    auto* e = make<QLineEdit>(frame, b.name);
    e->setText(QStringLiteral("0"));
    if (b.maxLength > 0) e->setMaxLength(b.maxLength);
    e->setMaximumWidth(56);
    installSelectAll(e);
    auto* l = new QLabel(QString::fromLatin1(b.caption), frame);
    if (*b.tooltip) {
      e->setToolTip(QString::fromLatin1(b.tooltip));
      l->setToolTip(e->toolTip());
    }
    l->setBuddy(e);
    grid->addWidget(l, 1 + k / perRow, 2 * (k % perRow));
    grid->addWidget(e, 1 + k / perRow, 2 * (k % perRow) + 1);
    boxes[size_t(&b - table.data())] = e;
  }
  auto* reset = make<QPushButton>(frame, resetName);
  reset->setText(QStringLiteral("Reset"));
  reset->setAutoDefault(false);
  grid->addWidget(reset, 2 + (int(N) - 1) / perRow, 0, 1, 2);
  QObject::connect(reset, &QPushButton::clicked, frame, [&boxes] { zero(boxes); });
  return reset;
}

}  // namespace

FrmScoutOptions::FrmScoutOptions(search::ScoutCriteria& criteria, std::function<void()> stored,
                                 QAbstractItemModel* nations, QAbstractItemModel* comps)
    : QDialog(nullptr), criteria_(criteria), stored_(std::move(stored)), ui_(std::make_unique<Ui::FrmScoutOptions>()) {
  ui_->setupUi(this);
  for (QLineEdit* e : {ui_->txtAbility, ui_->txtPotAbility, ui_->txtAge}) {
    installSelectAll(e);
    installKeyFilter(e, kDigits + QStringLiteral("-"));
  }
  ui_->cmbClass->addItems(toList(codes::kClass));
  thresholdGrid(ui_->fraAtt, search::kScoutAttributes, "cmdResetAtt", attributes_);
  // The grids' boxes come before the window's own buttons when tabbing.
  setTabOrder(thresholdGrid(ui_->fraPositions, search::kScoutPositions, "cmdResetPositions", positions_), ui_->cmdReset);
  setTabOrder(ui_->cmdReset, ui_->cmdOk);
  DrawFrame3D(ui_->cmdReset);
  DrawFrame3D(ui_->cmdOk);
  binder_ = std::make_unique<Binder<ScoutForm>>(this, kBindings);

  // Older Than, the shared name lists, no choice in the three filter lists.
  ui_->lstOpt->setCurrentRow(0);
  ui_->cmbnations->setModel(nations);
  ui_->cmbComp->setModel(comps);
  for (QComboBox* c : {ui_->cmbnations, ui_->cmbClass, ui_->cmbComp}) {
    c->setCurrentIndex(-1);
    // Delete or Backspace takes the choice away (any nation, any job, any league).
    onEvent(c, [c](QObject*, QEvent* e) {
      const int key = e->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(e)->key() : 0;
      if (key != Qt::Key_Delete && key != Qt::Key_Backspace) return false;
      c->setCurrentIndex(-1);
      return true;
    });
  }

  connect(ui_->cmdResetRatings, &QPushButton::clicked, this, [this] { zero({ui_->txtAbility, ui_->txtPotAbility}); });
  connect(ui_->cmbClass, &QComboBox::currentIndexChanged, this, [this](int row) {
    const bool playing = row < 0 || row >= codes::kFirstPlayingClass;
    for (QGroupBox* f : {ui_->fraAbility, ui_->fraPositions, ui_->fraAtt}) f->setEnabled(playing);
  });
  connect(ui_->cmdOk, &QPushButton::clicked, this, &FrmScoutOptions::ok);
  connect(ui_->cmdReset, &QPushButton::clicked, this, &FrmScoutOptions::resetAll);
}

FrmScoutOptions::~FrmScoutOptions() = default;

void FrmScoutOptions::ok() {
  ScoutForm f = binder_->read();
  for (size_t k = 0; k < attributes_.size(); ++k) f.attributes[k] = to8(attributes_[k]->text());
  for (size_t k = 0; k < positions_.size(); ++k) f.positions[k] = to8(positions_[k]->text());
  f.optRow = ui_->lstOpt->currentRow();
  if (search::storeCriteria(f, criteria_)) {
    message(this, QStringLiteral("Illegal value!"));
    return;
  }
  if (stored_) stored_();
  accept();
}

void FrmScoutOptions::resetAll() {
  zero({ui_->txtAbility, ui_->txtPotAbility, ui_->txtAge});
  zero(attributes_);
  zero(positions_);
  ui_->lstOpt->setCurrentRow(0);
  for (QComboBox* c : {ui_->cmbnations, ui_->cmbComp, ui_->cmbClass}) c->setCurrentIndex(-1);
}

}  // namespace cm3::ui
