// The world editors on the main window: the club, nation and competition
// windows, loaded when the database is opened, and the ways the main window
// opens them (double-clicks on the person page's "Club", "Nation" and "2nd
// Nation" labels and on the club list cmbSquad).
#pragma once
#include <QDialog>
#include <memory>
#include <span>

#include "records/boxrules.h"
#include "ui/binder.h"
#include "ui/panel.h"

class QComboBox;
class QAbstractItemModel;
class QLineEdit;

namespace cm3::ui {

class FrmClub;
class FrmComp;
class FrmNation;

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
