// A panel is one area of the main window's behaviour (squads, history,
// scouting, the world pickers) kept in a file of its own. The main window
// builds the shared controls, creates every panel once and tells each of the
// moments that concern it. A panel finds the controls it uses by object name
// (TolvPlayer::control) and may add controls of its own to the areas the main
// window gives out (TolvPlayer::area).
#pragma once
#include <QObject>

namespace cm3::ui {

class TolvPlayer;

class Panel : public QObject {
  Q_OBJECT
 public:
  explicit Panel(TolvPlayer* window);  // owned by the window
  ~Panel() override = default;

  // The database has been opened and the shared lists are filled.
  virtual void databaseOpened() {}
  // A person has just been shown (personId >= 0) or the person pages were
  // cleared for a new player (personId == -1).
  virtual void personShown(int personId) { (void)personId; }
  // Inside "Update", at the history step: write what this panel owns for the
  // person. Throw cm3::ValueError to stop the save with "Illegal value!".
  virtual void saveStep(int personId) { (void)personId; }
  // The main window is closing the database.
  virtual void databaseClosing() {}

 protected:
  TolvPlayer* window() const { return window_; }

 private:
  TolvPlayer* window_;
};

}  // namespace cm3::ui
