// The world editors on the main window: the club, nation and competition
// windows, loaded when the database is opened, and the ways the main window
// opens them (double-clicks on the person page's "Club", "Nation" and "2nd
// Nation" labels and on the club list cmbSquad).
#pragma once
#include <memory>

#include "ui/panel.h"

class QComboBox;
class QAbstractItemModel;

namespace cm3::ui {

class FrmClub;
class FrmComp;
class FrmNation;

// ---- Helpers shared by the three windows -------------------------------------
namespace world {

// An ordinary list whose choice the user can also clear: an editable combo
// that inserts nothing, where a typed text equal to an item (any case)
// chooses that item and any other text, the empty one included, leaves the
// list without a choice.
void makeClearable(QComboBox* combo);

// Shows the colour rows (name and swatch) of `colours` in a kit list.
void showColours(QComboBox* combo, QAbstractItemModel* colours);

}  // namespace world

class WorldPanel : public Panel {
  Q_OBJECT
 public:
  explicit WorldPanel(TolvPlayer* window);
  ~WorldPanel() override;

  void databaseOpened() override;
  void databaseClosing() override;
  // The windows are hidden then; loaded afresh they show the stored values.
  void databaseChanged() override { databaseOpened(); }

  // The windows (top-level, so that their controls never shadow the main
  // window's controls of the same names); null while no database is open.
  // The club window is loaded again after its close box unloaded it.
  FrmClub* frmClub();
  FrmNation* frmNation() const { return nation_.get(); }
  FrmComp* frmComp() const { return comp_.get(); }

 private:
  // Shows club `clubId` in the club window, modally (ClickTeamID := clubId).
  void openClub(int clubId);
  // The club of the person on show.
  void openPersonClub();
  void openNation(bool second);

  std::unique_ptr<FrmComp> comp_;
  std::unique_ptr<FrmNation> nation_;
  std::unique_ptr<FrmClub> club_;
};

}  // namespace cm3::ui
