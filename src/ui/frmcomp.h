// The competition window "Competition Properties": one competition of
// club_comp.dat, opened from the division labels of the club window.
// "Update" writes it back and keeps the window open; "O&K" hides it.
#pragma once
#include "competitions/comp.h"
#include "ui/worldpanel.h"

namespace Ui { class FrmComp; }

namespace cm3::ui {

class FrmComp : public FormWindow<Ui::FrmComp, comps::CompForm> {
  Q_OBJECT
 public:
  explicit FrmComp(TolvPlayer* main);

  // Reads competition `compIndex` and shows it, without waiting.
  void fillFrom(int compIndex);
  // Whether the record was written.
  bool cmdUpdate_Click();

 private:
  int compIndex_ = -1;
};

}  // namespace cm3::ui
