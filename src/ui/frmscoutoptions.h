// The scout criteria window: thresholds for abilities, age, 32 attributes
// and 12 positions, and the nation, job and league filters. "O&k" stores
// every field into the criteria in a fixed order and hides the window; the
// close box hides it without storing anything. The window keeps its fields
// between showings.
#pragma once
#include <QDialog>
#include <functional>
#include <vector>

#include "search/scout.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace cm3::ui {

class FrmScoutOptions : public QDialog {
  Q_OBJECT
 public:
  // `criteria` is the criteria in force; `stored` runs after every
  // successful Ok. `nations` is copied into cmbnations, `comps` (8-bit names)
  // fill cmbComp.
  FrmScoutOptions(search::ScoutCriteria& criteria, std::function<void()> stored, const QComboBox* nations,
                  const std::vector<std::string>& comps);

  // The window's fields as the core reads them.
  search::ScoutForm form() const;

  void cmdOk_Click();
  void cmdReset_Click();
  void cmdResetAtt_Click();
  void cmdResetPositions_Click();
  void cmdResetRatings_Click();
  void cmbClass_Change();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* numberBox(QWidget* parent, const char* name, int maxLength);

  search::ScoutCriteria& criteria_;
  std::function<void()> stored_;

  QGroupBox* fraAbility_ = nullptr;
  QGroupBox* fraPositions_ = nullptr;
  QGroupBox* fraAtt_ = nullptr;
  QLineEdit* txtAbility_ = nullptr;
  QLineEdit* txtPotAbility_ = nullptr;
  QLineEdit* txtAge_ = nullptr;
  std::vector<QLineEdit*> attributes_;  // indexed like kScoutAttributes
  std::vector<QLineEdit*> positions_;   // indexed like kScoutPositions
  QComboBox* cmbnations_ = nullptr;
  QComboBox* cmbClass_ = nullptr;
  QComboBox* cmbComp_ = nullptr;
  QListWidget* lstOpt_ = nullptr;
  QPushButton* cmdOk_ = nullptr;
  QPushButton* cmdReset_ = nullptr;
};

}  // namespace cm3::ui
