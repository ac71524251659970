// The competition window "Competition Properties": one competition of
// club_comp.dat, opened from the division labels of the club window.
// "Update" writes it back and keeps the window open; "O&K" hides it.
#pragma once
#include <memory>

#include "competitions/comp.h"
#include "ui/worldpanel.h"

namespace Ui { class FrmComp; }

namespace cm3::ui {

class FrmComp : public WorldWindow {
  Q_OBJECT
 public:
  explicit FrmComp(TolvPlayer* main);
  ~FrmComp() override;

  // Reads competition `compIndex` and shows it, without waiting.
  void fillFrom(int compIndex);

 private:
  int compIndex_ = -1;
  std::unique_ptr<Ui::FrmComp> ui_;
  std::unique_ptr<Binder<comps::CompForm>> binder_;
};

}  // namespace cm3::ui
