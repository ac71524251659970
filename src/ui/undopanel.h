// Undo and redo of the session's actions and the backups: the Edit menu of
// the main window ("Undo <label>", "Redo <label>", the change list and
// "Restore a backup…") and the change-list dock, which shows every action of
// the session by its label, the undone ones greyed.
#pragma once
#include "ui/panel.h"

namespace cm3::ui {

class UndoPanel : public Panel {
  Q_OBJECT
 public:
  explicit UndoPanel(TolvPlayer* window);

  void databaseOpened() override { showJournal(); }
  void databaseClosing() override;
  // After the files changed under the windows (an undo, a redo, an import):
  // every list, combo and box from the files.
  void reshow();

 private:
  // Menu texts, enabled states and change-list rows from the journal.
  void showJournal();
  // Undo (`back`) or redo the next action, then show the files.
  void step(bool back);
  void restoreBackup();
};

}  // namespace cm3::ui
