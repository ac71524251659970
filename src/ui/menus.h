// The menus of the main window.
//
// Edit: undo and redo of the session's actions and the backups ("Undo
// <label>", "Redo <label>", the change list and "Restore a backup…") and the
// change-list dock, which shows every action of the session by its label,
// the undone ones greyed.
//
// File: "Export to CSV…", "Import from CSV…" and "Apply patch…". An import or
// a patch first says how many records and fields it will change (and any
// conflicts) and asks before it writes; what it writes is one action of the
// Edit menu's undo.
#pragma once
#include <QString>

#include "diff/patch.h"
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

class ExchangePanel : public Panel {
  Q_OBJECT
 public:
  explicit ExchangePanel(TolvPlayer* window);

  void databaseOpened() override { enable(true); }
  void databaseClosing() override { enable(false); }

  // The menu items ask for the kind of record and the file, then call these.
  void exportTo(const QString& kind, const QString& path);
  void importFrom(const QString& kind, const QString& path);
  void applyPatchFrom(const QString& path);

 private:
  void enable(bool open);
  // Says why the plan cannot be written, or asks its question and writes
  // it as one action; then shows what refused it (if anything) and the
  // stored values in every window.
  void carryOut(const diff::Plan& plan);
};

}  // namespace cm3::ui
