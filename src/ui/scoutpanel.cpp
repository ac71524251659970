#include "ui/scoutpanel.h"

#include "ui/frmscoutoptions.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"
#include "ui/widgets.h"

namespace cm3::ui {

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
