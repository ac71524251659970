// The world editors on the main window: the club, nation and competition
// windows, loaded when the database is opened, and the ways the main window
// opens them (double-clicks on the person page's "Club", "Nation" and "2nd
// Nation" labels and on the club list cmbSquad).
#pragma once
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "database/database.h"
#include "ui/panel.h"

class QComboBox;
class QLabel;
class QAbstractItemModel;
class QWidget;

namespace cm3::ui {

class FrmClub;
class FrmComp;
class FrmNation;

// ---- Helpers shared by the three windows -------------------------------------
namespace world {

// Selects `row` when the combo has it, else nothing.
void choose(QComboBox* combo, int row);

// An ordinary list whose choice the user can also clear: an editable combo
// that inserts nothing, where a typed text equal to an item (any case)
// chooses that item and any other text, the empty one included, leaves the
// list without a choice.
void makeClearable(QComboBox* combo);

// Shows the colour rows (name and swatch) of `colours` in a kit list.
void showColours(QComboBox* combo, QAbstractItemModel* colours);

// A label with a caption and an object name.
QLabel* caption(QWidget* parent, const QString& text, const char* name = nullptr);

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
  // True while the club window is loaded.
  bool clubLoaded() const { return bool(club_); }

  // Shows club `clubId` in the club window, modally (ClickTeamID := clubId).
  void openClub(int clubId);
  // The pickers of the person page.
  void lblClub_DblClick();
  void lblNation_DblClick();
  void lblnatid2_DblClick();
  // The club list's double-click (received from the squad panel): the club
  // chosen in cmbSquad.
  void cmbSquad_DblClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void openNation(bool second);
  void hookSquadList();

  std::unique_ptr<FrmComp> comp_;
  std::unique_ptr<FrmNation> nation_;
  std::unique_ptr<FrmClub> club_;
  QLabel* lblClub_ = nullptr;
  QLabel* lblNation_ = nullptr;
  QLabel* lblnatid2_ = nullptr;
  QComboBox* cmbSquad_ = nullptr;
};

}  // namespace cm3::ui
