#include "ui/scoutpanel.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include "ui/formrules.h"
#include "ui/frmscoutoptions.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"
#include "ui/messages.h"

namespace cm3::ui {

ScoutPanel::ScoutPanel(TolvPlayer* w) : Panel(w) {
  cmdScoutOpt_ = w->form().cmdScoutOpt;
  cmdScout_ = w->form().cmdScout;
  if (cmdScoutOpt_) {
    cmdScoutOpt_->setToolTip(QStringLiteral("Set Properties for a Scout Search"));
    connect(cmdScoutOpt_, &QPushButton::clicked, this, &ScoutPanel::cmdScoutOpt_Click);
  }
  if (cmdScout_) {
    cmdScout_->setEnabled(false);
    connect(cmdScout_, &QPushButton::clicked, this, &ScoutPanel::cmdScout_Click);
  }
}

ScoutPanel::~ScoutPanel() = default;

void ScoutPanel::databaseOpened() {
  criteria_ = search::ScoutCriteria{};
  if (cmdScout_) cmdScout_->setEnabled(false);
  options_ = std::make_unique<FrmScoutOptions>(
      criteria_, [this] { if (cmdScout_) cmdScout_->setEnabled(true); },
      window()->names().nations(), window()->names().comps());
}

void ScoutPanel::databaseClosing() {
  if (options_) options_->hide();
  options_.reset();
}

void ScoutPanel::cmdScoutOpt_Click() {
  if (!options_) return;
  options_->adjustSize();
  CentreOverMain(options_.get(), window());
  options_->exec();
}

void ScoutPanel::cmdScout_Click() {
  Database& db = window()->database();
  if (!db.isOpen()) return;
  auto* list = window()->form().lstplayers;
  if (list) {
    list->clear();
    list->setEnabled(false);
  }
  whileBusy(window(), [&] {
    std::vector<int> found = search::scout(db, criteria_);
    const size_t count = found.size();
    window()->setMatches(std::move(found));
    window()->setStatusText(QString::fromStdString(search::matchStatusText(count)));
  });
  if (list) list->setEnabled(true);
}

}  // namespace cm3::ui
