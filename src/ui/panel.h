// A panel is one area of the main window's behaviour (squads, history,
// scouting, the world pickers) kept in a file of its own. The main window
// builds the shared controls, creates every panel once and tells each of the
// moments that concern it. A panel reaches the window's controls through
// `ui`, the window's form.
#pragma once
#include <QObject>

namespace Ui {
class TolvPlayer;
}

namespace cm3 {
class Database;
}

namespace cm3::ui {

class TolvPlayer;

class Panel : public QObject {
  Q_OBJECT
 public:
  explicit Panel(TolvPlayer* window);  // owned by the window

  // The database has been opened and the shared lists are filled.
  virtual void databaseOpened() {}
  // A person has just been shown (personId >= 0) or the person pages were
  // cleared for a new player (personId == -1).
  virtual void personShown(int /*personId*/) {}
  // At the start of "Update": a panel that handles this press itself (the
  // new-player mode) does its work and returns true; the person save is then
  // skipped.
  virtual bool updateInstead() { return false; }
  // Inside "Update", at the history step, after every person box has been
  // converted and before the person's records are written: write what this
  // panel owns for the person. Throw cm3::ValueError to stop the save with
  // "Illegal value!". The staff-list view does not call personShown, so
  // personId may differ from the person the panel's rows were loaded for:
  // rows of another person must never be written under personId.
  virtual void saveStep(int /*personId*/) {}
  // An undo or a redo changed the files: show the stored values again.
  virtual void databaseChanged() {}
  // The main window is closing the database.
  virtual void databaseClosing() {}

 protected:
  TolvPlayer* window() const { return window_; }

 private:
  TolvPlayer* window_;

 protected:
  const ::Ui::TolvPlayer& ui;  // the window's controls
  Database& db;                // the window's database
};

}  // namespace cm3::ui
