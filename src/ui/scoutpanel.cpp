#include "ui/scoutpanel.h"

#include <QKeyEvent>
#include <algorithm>

#include "ui_frmscoutoptions.h"

#include "records/codelists.h"
#include "ui/binder.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"
#include "ui/widgets.h"

namespace cm3::ui {
namespace {

using search::ScoutForm;

// The controls that show a member of the criteria form, the boxes of the
// threshold grids included; the age option is read by the window: it is its
// current row even while that row is not selected.
std::vector<Binding<ScoutForm>> bindings() {
  std::vector<Binding<ScoutForm>> t = {
      {"txtAbility", &ScoutForm::ability}, {"txtPotAbility", &ScoutForm::potAbility},
      {"cmbnations", &ScoutForm::nationRow}, {"txtAge", &ScoutForm::age},
      {"cmbClass", &ScoutForm::classRow},   {"cmbComp", &ScoutForm::compRow},
  };
  for (size_t k = 0; k < search::kScoutAttributes.size(); ++k)
    t.emplace_back(search::kScoutAttributes[k].name, &ScoutForm::attributes, k);
  for (size_t k = 0; k < search::kScoutPositions.size(); ++k)
    t.emplace_back(search::kScoutPositions[k].name, &ScoutForm::positions, k);
  return t;
}

void zero(const QList<QLineEdit*>& boxes) {
  for (QLineEdit* e : boxes) e->setText(QStringLiteral("0"));
}

// Fills the grid of a threshold frame from its code list: the range
// caption, a box with its caption per entry, four to a row in the order of
// their record bytes, and the frame's Reset button, which sets the boxes to
// 0.
template <size_t N>
QPushButton* thresholdGrid(QGroupBox* frame, const std::array<search::ScoutBox, N>& table, const char* resetName) {
  constexpr int perRow = 4;
  auto* grid = static_cast<QGridLayout*>(frame->layout());
  auto* range = make<QLabel>(frame, frame->objectName() + QStringLiteral("Range"));
  range->setText(QStringLiteral("0-20"));
  grid->addWidget(range, 0, 0, 1, 2);
  std::vector<const search::ScoutBox*> order;
  for (const search::ScoutBox& b : table) order.push_back(&b);
  std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->offset < b->offset; });
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
  }
  auto* reset = make<QPushButton>(frame, resetName);
  reset->setText(QStringLiteral("Reset"));
  reset->setAutoDefault(false);
  grid->addWidget(reset, 2 + (int(N) - 1) / perRow, 0, 1, 2);
  QObject::connect(reset, &QPushButton::clicked, frame, [frame] { zero(frame->findChildren<QLineEdit*>()); });
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
  thresholdGrid(ui_->fraAtt, search::kScoutAttributes, "cmdResetAtt");
  // The grids' boxes come before the window's own buttons when tabbing.
  setTabOrder(thresholdGrid(ui_->fraPositions, search::kScoutPositions, "cmdResetPositions"), ui_->cmdReset);
  setTabOrder(ui_->cmdReset, ui_->cmdOk);
  DrawFrame3D(ui_->cmdReset);
  DrawFrame3D(ui_->cmdOk);
  binder_ = std::make_unique<Binder<ScoutForm>>(this, bindings());

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
  for (QGroupBox* frame : {ui_->fraAtt, ui_->fraPositions}) zero(frame->findChildren<QLineEdit*>());
  ui_->lstOpt->setCurrentRow(0);
  for (QComboBox* c : {ui_->cmbnations, ui_->cmbComp, ui_->cmbClass}) c->setCurrentIndex(-1);
}

// ---- The main window's side -------------------------------------------------

ScoutPanel::ScoutPanel(TolvPlayer* w) : Panel(w) {
  ui.cmdScoutOpt->setToolTip(QStringLiteral("Set Properties for a Scout Search"));
  connect(ui.cmdScoutOpt, &QPushButton::clicked, this, &ScoutPanel::showOptions);
  connect(ui.cmdScout, &QPushButton::clicked, this, &ScoutPanel::runScout);
}

ScoutPanel::~ScoutPanel() = default;

void ScoutPanel::databaseOpened() {
  criteria_ = search::ScoutCriteria{};
  QPushButton* scout = ui.cmdScout;
  scout->setEnabled(false);
  options_ = std::make_unique<FrmScoutOptions>(criteria_, [scout] { scout->setEnabled(true); },
                                               window()->names().nations(), window()->names().comps());
}

void ScoutPanel::databaseClosing() { options_.reset(); }

void ScoutPanel::showOptions() {
  if (!options_) return;
  options_->adjustSize();
  CentreOverMain(options_.get(), window());
  options_->exec();
}

void ScoutPanel::runScout() {
  if (!db.isOpen()) return;
  QListWidget* list = ui.lstplayers;
  list->clear();
  list->setEnabled(false);
  whileBusy(window(), [&] {
    std::vector<int> found = search::scout(db, criteria_);
    const size_t count = found.size();
    window()->setMatches(std::move(found));
    window()->setStatusText(QString::fromStdString(search::matchStatusText(count)));
  });
  list->setEnabled(true);
}

}  // namespace cm3::ui
