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

class FrmNation : public FormWindow<Ui::FrmNation, nations::NationForm> {
  Q_OBJECT
 public:
  explicit FrmNation(TolvPlayer* main);

  // Fills the window from the nation chosen in the main window, without
  // waiting; false (nothing done) when none is chosen.
  bool fillFromMain();
  void cmdNationOk_Click();

 private:
  // The nation chosen in the main-window combo the window comes from
  // (cmbnations2 while EditingSecondNation is set, cmbnations otherwise),
  // -1 for none.
  int mainNation() const;

  std::unique_ptr<Binder<nations::ContinentForm>> continent_;
};

}  // namespace cm3::ui
