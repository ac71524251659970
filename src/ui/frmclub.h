// The club window "Club Info": one club with its main and reserve stadium,
// kits, rivals and favourite and disliked people. "Update" writes the club
// on show (ClickTeamID of the main window) and its stadiums, or appends the
// club prepared by "Add New Club"; "O&K" hides the window. Double-clicking
// a division label opens that competition in the competition window.
#pragma once
#include <memory>

#include "clubs/club.h"
#include "ui/worldpanel.h"

namespace Ui { class FrmClub; }

namespace cm3::ui {

class FrmClub : public FormWindow<Ui::FrmClub, clubs::ClubForm> {
  Q_OBJECT
 public:
  FrmClub(TolvPlayer* main, FrmComp* comp);

  // Shows club ClickTeamID of the main window, without waiting.
  void showClub();

  bool NewClub = false;
  // True once the close box has unloaded the window; the next opening
  // loads a fresh one.
  bool unloaded() const { return unloaded_; }

  void cmdAddNew_Click();
  // Whether records were written.
  bool cmdUpdate_Click();
  void cmdOk_Click();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  clubs::ClubForm form() const;
  void fill(const clubs::ClubForm& f);

  FrmComp* comp_;
  bool unloaded_ = false;
  std::unique_ptr<Binder<clubs::StadiumForm>> stadiums_[2];  // the main and the reserve stadium frame
};

}  // namespace cm3::ui
