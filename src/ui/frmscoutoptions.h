// The scout criteria window: thresholds for abilities, age, 32 attributes
// and 12 positions, and the nation, job and league filters. "O&k" stores
// every field into the criteria in a fixed order and hides the window; the
// close box hides it without storing anything. The window keeps its fields
// between showings.
#pragma once
#include <QDialog>
#include <functional>
#include <memory>

#include "search/scout.h"

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

}  // namespace cm3::ui
