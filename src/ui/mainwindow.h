// The main window: opening the game database, searching people by name,
// showing and editing a person, and writing everything back when the window
// closes. The layout is the form mainwindow.ui; the squad, history, scouting
// and world areas live in panels of their own (panel.h).
#pragma once
#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "database/database.h"
#include "people/person.h"
#include "ui/namemodels.h"
#include "ui/panel.h"

class QLineEdit;

namespace Ui {
class TolvPlayer;
}

namespace cm3::ui {

template <class Form>
class Binder;

class TolvPlayer : public QMainWindow {
  Q_OBJECT
 public:
  explicit TolvPlayer(const QString& programDir, QWidget* parent = nullptr);
  ~TolvPlayer() override;

  Database& database() { return db_; }
  const QString& programDir() const { return programDir_; }

  // Row i of lstplayers shows person matchTable()[i].
  const std::vector<int>& matchTable() const { return matchTable_; }
  // Fills lstplayers with the given people (display names from
  // PersonNameTable) and makes them the MatchTable.
  void setMatches(std::vector<int> people);
  void setStatusText(const QString& text);
  QString statusText() const;

  // The window's controls, as its form lays them out.
  ::Ui::TolvPlayer& form() const { return *ui_; }

  // ---- Person pages ------------------------------------------------------
  // The person-list click: shows person `personId` on the person pages,
  // resets the edit colours, tells every panel (Panel::personShown), selects
  // the person's club in cmbSquad (which fills the squad lists and selects
  // the slot that holds him).
  void showPerson(int personId);
  // The staff-list click: shows person `personId` without touching the tab
  // pages, the club lists, the edit colours or the panels. A negative id (an
  // "Empty" row) switches the person boxes off until the next display.
  void showStaffMember(int personId);
  // Puts the texts of `form` into the boxes (the record-derived parts only:
  // the player page for a player, the staff page otherwise) and makes its
  // kind the kind of the person shown.
  void fillBoxes(const people::PersonForm& form);
  // Reads person `personId`, makes him the person shown and shows him on
  // the pages of his kind.
  void display(int personId);
  // The texts of every person box as they are now, for the person shown.
  people::PersonForm formFromBoxes() const;
  // Shows the player page (positions and attributes) or the staff page.
  void showPlayerPages(bool player);
  // Sets the colours of the reddened boxes back to normal.
  void blacken();
  // Runs `write`, a save of the person boxes, with the name-changed marks
  // and keeps the marks it leaves. A failure shows "Illegal value!", or
  // "Wrong path don't put slash at end" and closes the window when the game
  // folder is gone. Whether the save went through.
  bool writePerson(const std::function<void(people::NameFlags&)>& write);

  // The name lists of the database as models, shared by the combos of
  // every window.
  NameModels& names() const { return *names_; }

  // State tying the windows together.
  int CurrentPersonId = -1;
  bool NewPlayerMode = false;
  bool FirstNameChanged = false;
  bool SecondNameChanged = false;
  bool SelectPersonPending = false;
  int ClickTeamID = -1;
  bool EditingSecondNation = false;

  const std::vector<Panel*>& panels() const { return panels_; }

 public slots:
  void cmdOpen_Click();
  void cmdSearch_Click();
  void cmdUpdate_Click();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildPersonPages();

  QString programDir_;
  Database db_;
  std::vector<int> matchTable_;
  std::vector<Panel*> panels_;

  std::unique_ptr<::Ui::TolvPlayer> ui_;
  std::unique_ptr<Binder<people::PersonForm>> binder_;
  // Whether the person in the boxes is a player, set when he is shown.
  bool isPlayer_ = false;
  NameModels* names_ = nullptr;
  // The personal boxes and the two names: typed text shows red until a display.
  std::vector<QLineEdit*> reddened_;
};

}  // namespace cm3::ui
