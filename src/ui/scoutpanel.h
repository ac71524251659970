// The scout search on the main window: "Scout &Opts" shows the criteria
// window, "S&cout" (usable after the first successful Ok there) lists every
// person who meets the stored criteria in lstplayers.
#pragma once
#include <memory>

#include "search/scout.h"
#include "ui/panel.h"

namespace cm3::ui {

class FrmScoutOptions;

class ScoutPanel : public Panel {
  Q_OBJECT
 public:
  explicit ScoutPanel(TolvPlayer* window);
  ~ScoutPanel() override;

  void databaseOpened() override;
  void databaseClosing() override;

  // The criteria in force (replaced by every successful Ok).
  const search::ScoutCriteria& ScoutCriteria() const { return criteria_; }
  // The criteria window; null until the database is open.
  FrmScoutOptions* frmScoutOptions() const { return options_.get(); }

 private:
  void showOptions();
  void runScout();

  search::ScoutCriteria criteria_;
  // Top-level (no parent widget), so that its boxes never shadow the main
  // window's boxes of the same names in a lookup by name.
  std::unique_ptr<FrmScoutOptions> options_;
};

}  // namespace cm3::ui
