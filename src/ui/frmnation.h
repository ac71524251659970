// The nation window "Nation Properties": one nation of nation.dat with the
// continent it belongs to, opened from the nation labels of the person page.
// "U&pdate" writes both records and renames the nation in the main-window
// combo it was opened from; "O&k" hides the window.
#pragma once
#include <memory>

#include "nations/nation.h"
#include "ui/worldpanel.h"

namespace Ui { class FrmNation; }

namespace cm3::ui {

class FrmNation : public WorldWindow {
  Q_OBJECT
 public:
  explicit FrmNation(TolvPlayer* main);
  ~FrmNation() override;

  // The main-window combo the nation comes from: cmbnations2 while
  // EditingSecondNation is set, cmbnations otherwise.
  QComboBox* sourceCombo() const;
  // Fills the window from the nation chosen in sourceCombo(), without
  // waiting; false (nothing done) when that combo has no choice.
  bool fillFromMain();
  // fillFromMain, then shows the window modally.
  bool openOnMain();

  nations::NationForm form() const;
  void fill(const nations::NationForm& f);

  // Whether the records were written.
  bool cmdNationOk_Click();

 private:
  bool filling_ = false;
  std::unique_ptr<Ui::FrmNation> ui_;
  std::unique_ptr<Binder<nations::NationForm>> binder_;
  std::unique_ptr<Binder<nations::ContinentForm>> continent_;
};

}  // namespace cm3::ui
