// The scout search: the criteria window frmScoutOptions and the main
// window's side of it. "Scout &Opts" shows the criteria window, "S&cout"
// (usable after the first successful Ok there) lists every person who meets
// the stored criteria in lstplayers.
//
// The criteria window holds thresholds for abilities, age, 32 attributes
// and 12 positions, and the nation, job and league filters. "O&k" stores
// every field into the criteria in a fixed order and hides the window; the
// close box hides it without storing anything. The window keeps its fields
// between showings.
#pragma once
#include <QDialog>
#include <functional>
#include <memory>

#include "search/scout.h"
#include "ui/panel.h"

class QAbstractItemModel;

namespace Ui {
class FrmScoutOptions;
}

namespace cm3::ui {

template <class Form>
class Binder;

class FrmScoutOptions : public QDialog {
  Q_OBJECT
 public:
  // `criteria` is the criteria in force; `stored` runs after every
  // successful Ok. cmbnations shows `nations`, cmbComp shows `comps`.
  FrmScoutOptions(search::ScoutCriteria& criteria, std::function<void()> stored, QAbstractItemModel* nations,
                  QAbstractItemModel* comps);
  ~FrmScoutOptions() override;

 private:
  void ok();
  void resetAll();

  search::ScoutCriteria& criteria_;
  std::function<void()> stored_;
  std::unique_ptr<Ui::FrmScoutOptions> ui_;
  std::unique_ptr<Binder<search::ScoutForm>> binder_;
};

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
