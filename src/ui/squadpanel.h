// The squads of the main window: the current club (cmbSquad) with its
// player list lstSquad and staff list lstStaff, the transfer club
// (cmbTransclub) with its list lstTranssquad, the transfer button
// cmdTransfer, and "&Add Player" with the new-player mode that turns the
// next "&Update" into adding a player.
//
// Row r of lstSquad and lstTranssquad always shows slot r of the club's
// player slots, row r of lstStaff staff slot r, empty slots included. The
// club combos are editable but never insert what is typed (they share one
// model): editing the text away from a club name leaves the combo without a
// club, which is how a transfer club is given up (a free transfer needs
// none chosen).
#pragma once
#include <functional>
#include <span>

#include "people/newplayer.h"
#include "squads/squads.h"
#include "ui/panel.h"

class QComboBox;
class QListWidget;

namespace cm3::ui {

class SquadPanel : public Panel {
  Q_OBJECT
 public:
  explicit SquadPanel(TolvPlayer* window);

  void databaseOpened() override;
  void personShown(int personId) override;
  bool updateInstead() override;
  void databaseClosing() override {
    opened_ = false;
    state_ = squads::SquadState{};
  }
  void databaseChanged() override;

  // The slots of the two chosen clubs as last read or written.
  const squads::SquadState& state() const { return state_; }

  // Opens the club window for club `clubId` (the owner of that window sets
  // this); a double-click on cmbSquad calls it with ClickTeamID set.
  void setClubWindowOpener(std::function<void(int clubId)> open) { openClubWindow_ = std::move(open); }

  void cmdTransfer_Click();
  void ClearFieldsNewPlayer();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void cmbSquad_Click();
  void cmbTransclub_Click();
  // A key or an edit in a club combo.
  void keyDown(QComboBox* combo);
  void cmdNewPlayer_Click();
  // Shows person `personId` from a squad list: the person-list display
  // without touching the club lists, the squad-list variant of the pages.
  void showFromList(int32_t personId, bool transferList);
  // Runs act(slot value) when a row of `list` is chosen, or chosen again.
  void connectList(QListWidget* list, std::span<const int32_t> values, std::function<void(int32_t)> act);
  void watchCombo(QComboBox* combo);
  // The lists of the clubs loaded in state_; the lists of a club not loaded
  // are emptied when `emptyOthers`, left as they are otherwise.
  void showClubs(bool emptyOthers);

  squads::SquadState state_;
  people::NewPlayerTemplate template_;
  int templateId_ = -1;  // the person template_ was taken from
  bool opened_ = false;
  int rowBeforePress_ = -2;  // current row of the pressed list before the press
  std::function<void(int)> openClubWindow_;
};

}  // namespace cm3::ui
