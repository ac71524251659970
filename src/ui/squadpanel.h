// The squads of the main window: the current club (cmbSquad) with its
// player list lstSquad and staff list lstStaff, the transfer club
// (cmbTransclub) with its list lstTranssquad, the transfer button
// cmdTransfer, and "&Add Player" with the new-player mode that turns the
// next "&Update" into adding a player.
//
// Row r of lstSquad and lstTranssquad always shows slot r of the club's
// player slots, row r of lstStaff staff slot r, empty slots included. The
// club combos are editable: editing the text away from a club name leaves
// the combo without a club, which is how a transfer club is given up (a
// free transfer needs none chosen).
#pragma once
#include <functional>

#include "people/newplayer.h"
#include "squads/squads.h"
#include "ui/panel.h"

class QComboBox;
class QListWidget;
class QPushButton;

namespace cm3::ui {

class SquadPanel : public Panel {
  Q_OBJECT
 public:
  explicit SquadPanel(TolvPlayer* window);

  void databaseOpened() override;
  void personShown(int personId) override;
  bool updateInstead() override;
  void databaseClosing() override;
  void databaseChanged() override;

  // The slots of the two chosen clubs as last read or written.
  const squads::SquadState& state() const { return state_; }
  // Set while the panel itself selects a row of lstTranssquad.
  bool TransferListBusy = false;

  // Opens the club window for club `clubId` (the owner of that window sets
  // this); a double-click on cmbSquad calls it with ClickTeamID set.
  void setClubWindowOpener(std::function<void(int clubId)> open) { openClubWindow_ = std::move(open); }

  // Handlers, public so that tests and other panels can drive them.
  void cmbSquad_Click();
  void cmbTransclub_Click();
  void lstSquad_Click(int row);
  void lstTranssquad_Click(int row);
  void lstStaff_Click(int row);
  void cmbSquad_KeyDown();
  void cmbTransclub_KeyDown();
  void cmbSquad_DblClick();
  void cmdTransfer_Click();
  void cmdNewPlayer_Click();

  void squadlist();
  void squadlist2();
  void stafflist();
  // Selects the row of lstTranssquad whose slot holds personId.
  void SelectTransferedPlayer(int personId);
  // Selects the shown person's row in lstSquad (and, for a non-player, in
  // lstStaff) by his row text in the person list.
  void SelectPlayer();
  void ClearFieldsNewPlayer();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Shows person `personId` from a squad list: the person-list display
  // without touching the club lists, the squad-list variant of the pages.
  void showFromList(int personId, bool transferList);
  void connectList(QListWidget* list, void (SquadPanel::*handler)(int));
  void makeEditable(QComboBox* combo, void (SquadPanel::*keyDown)());
  bool isPerson(int32_t id) const;

  squads::SquadState state_;
  people::NewPlayerTemplate template_;
  int templateId_ = -1;  // the person template_ was taken from
  bool opened_ = false;
  int rowBeforePress_ = -2;  // current row of the pressed list before the press
  std::function<void(int)> openClubWindow_;

  QComboBox* cmbSquad_ = nullptr;
  QComboBox* cmbTransclub_ = nullptr;
  QListWidget* lstSquad_ = nullptr;
  QListWidget* lstStaff_ = nullptr;
  QListWidget* lstTranssquad_ = nullptr;
  QPushButton* cmdTransfer_ = nullptr;
  QPushButton* cmdNewPlayer_ = nullptr;
};

}  // namespace cm3::ui
