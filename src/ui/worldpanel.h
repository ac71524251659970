// The world editors on the main window: the club, nation and competition
// windows, loaded when the database is opened, and the ways the main window
// opens them (double-clicks on the person page's "Club", "Nation" and "2nd
// Nation" labels and on the club list cmbSquad).
#pragma once
#include <QDialog>
#include <memory>
#include <span>

#include "clubs/club.h"
#include "competitions/comp.h"
#include "nations/nation.h"
#include "records/boxrules.h"
#include "ui/binder.h"
#include "ui/panel.h"

class QComboBox;
class QAbstractItemModel;
class QLineEdit;

namespace Ui {
class FrmClub;
class FrmComp;
class FrmNation;
}  // namespace Ui

namespace cm3::ui {

// The shape the club, nation and competition windows share.
class WorldWindow : public QDialog {
 protected:
  explicit WorldWindow(TolvPlayer* main) : main_(main) {}
  using Lists = std::initializer_list<std::pair<QAbstractItemModel*, std::initializer_list<QComboBox*>>>;
  // Centres the window over the main window and draws the bevels of the
  // controls whose form sets their "bevel" property.
  void Form_Load();
  // Once the form is set up: sizes the window, runs Form_Load, makes its
  // editable combos clearable, gives each combo of `lists` its model and no
  // choice, and each kit list of `kits` the colours.
  void showLists(Lists lists, std::initializer_list<QComboBox*> kits = {});
  // Digits only in the number boxes of `boxes`, boxes of a `record`, but
  // `except`.
  void digitsOnly(FieldTable record, std::span<const FormBox> boxes, const QLineEdit* except = nullptr);
  // The boxes of `boxes` that have a label select their text on entry.
  void selectLabelled(std::span<const FormBox> boxes);

  TolvPlayer* main_;
};

// A world window on the Designer form `Form` whose controls show `Shown`, a
// form of the core, as the window's binding table says.
template <class Form, class Shown>
class FormWindow : public WorldWindow {
 protected:
  FormWindow(TolvPlayer* main, const std::vector<Binding<Shown>>& table)
      : WorldWindow(main), ui_(std::make_shared<Form>()) {
    ui_->setupUi(this);
    binder_ = std::make_unique<Binder<Shown>>(this, table);
  }

  // Shared, so that it is deleted the way it was made: the windows' headers
  // need not see the form's class.
  const std::shared_ptr<Form> ui_;
  std::unique_ptr<Binder<Shown>> binder_;
};

// The competition window "Competition Properties": one competition of
// club_comp.dat, opened from the division labels of the club window.
// "Update" writes it back and keeps the window open; "O&K" hides it.
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

// The nation window "Nation Properties": one nation of nation.dat with the
// continent it belongs to, opened from the nation labels of the person page.
// "U&pdate" writes both records and renames the nation in the main-window
// combo it was opened from; "O&k" hides the window.
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

// The club window "Club Info": one club with its main and reserve stadium,
// kits, rivals and favourite and disliked people. "Update" writes the club
// on show (ClickTeamID of the main window) and its stadiums, or appends the
// club prepared by "Add New Club"; "O&K" hides the window. Double-clicking
// a division label opens that competition in the competition window.
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
