#include "ui/menus.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QSignalBlocker>

#include <sstream>

#include "database/backup.h"
#include "database/errors.h"
#include "database/textfile.h"
#include "exchange/exchange.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"
#include "ui/widgets.h"

namespace cm3::ui {
namespace {

// A label as a menu text: '&' would otherwise mark a shortcut letter.
QString menuText(const char* verb, const std::string& label8) {
  if (label8.empty()) return QString::fromLatin1(verb);
  return QString::fromLatin1(verb) + QLatin1Char(' ') + q8(label8).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

UndoPanel::UndoPanel(TolvPlayer* w) : Panel(w) {
  connect(ui.actUndo, &QAction::triggered, this, [this] { step(true); });
  connect(ui.actRedo, &QAction::triggered, this, [this] { step(false); });
  connect(ui.actRestore, &QAction::triggered, this, &UndoPanel::restoreBackup);
  ui.actRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  // The menu item and the dock's own close box show and hide it alike.
  connect(ui.actChanges, &QAction::triggered, ui.dockChanges->toggleViewAction(), &QAction::trigger);
  connect(ui.dockChanges->toggleViewAction(), &QAction::toggled, ui.actChanges, &QAction::setChecked);
  db.journalChanged = [this] { showJournal(); };
  showJournal();
  // Ctrl+Z and Ctrl+Y go to a text box while it has typing of its own to
  // undo or redo, and to the Edit menu otherwise.
  auto keyToBox = [w](QObject* watched, QEvent* event) {
    auto* box = event->type() == QEvent::ShortcutOverride ? qobject_cast<QLineEdit*>(watched) : nullptr;
    if (!box || box->window() != w) return false;
    const QKeyCombination key = static_cast<QKeyEvent*>(event)->keyCombination();
    const bool undoKey = key == QKeyCombination(Qt::ControlModifier, Qt::Key_Z);
    const bool redoKey = key == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z) ||
                         key == QKeyCombination(Qt::ControlModifier, Qt::Key_Y);
    // Left unaccepted, the key reaches the menu's shortcut instead of the box.
    return (undoKey && !box->isUndoAvailable()) || (redoKey && !box->isRedoAvailable());
  };
  onEvent(qApp, keyToBox, this);
}

void UndoPanel::databaseClosing() {
  ui.lstChanges->clear();
  ui.actUndo->setEnabled(false);
  ui.actRedo->setEnabled(false);
  ui.actRestore->setEnabled(true);
}

void UndoPanel::showJournal() {
  const Journal& j = db.journal();
  ui.actUndo->setEnabled(db.isOpen() && j.canUndo());
  ui.actUndo->setText(menuText("&Undo", j.undoLabel()));
  ui.actRedo->setEnabled(db.isOpen() && j.canRedo());
  ui.actRedo->setText(menuText("&Redo", j.redoLabel()));
  ui.actRestore->setEnabled(!db.isOpen());
  ui.lstChanges->clear();
  const QColor undone = ui.lstChanges->palette().color(QPalette::Disabled, QPalette::Text);
  for (size_t i = 0; i < j.entries().size(); ++i) {
    auto* item = new QListWidgetItem(q8(j.entries()[i].label), ui.lstChanges);
    if (i >= j.doneCount()) item->setForeground(undone);
  }
}

void UndoPanel::step(bool back) {
  if (!db.isOpen() || !(back ? db.journal().canUndo() : db.journal().canRedo())) return;
  const std::string label = back ? db.journal().undoLabel() : db.journal().redoLabel();
  const QString failed = back ? QStringLiteral("The change could not be undone.")
                              : QStringLiteral("The change could not be made again.");
  attempt(window(), [&] { back ? db.undo() : db.redo(); }, failed);
  reshow();
  window()->setStatusText((back ? QStringLiteral("Undone: ") : QStringLiteral("Redone: ")) + q8(label));
}

void UndoPanel::reshow() {
  TolvPlayer* w = window();

  // The shared lists; the club combos keep their choice and tell nobody, the
  // squad panel fills its lists below.
  {
    const QSignalBlocker b1(ui.cmbSquad), b2(ui.cmbTransclub);
    const int squad = ui.cmbSquad->currentIndex(), transfer = ui.cmbTransclub->currentIndex();
    w->names().reload(db);
    ui.cmbSquad->setCurrentIndex(squad < ui.cmbSquad->count() ? squad : -1);
    ui.cmbTransclub->setCurrentIndex(transfer < ui.cmbTransclub->count() ? transfer : -1);
  }

  // The person list without people that are gone, under their names now.
  {
    const QSignalBlocker block(ui.lstplayers);
    const int row = ui.lstplayers->currentRow();
    std::vector<int> people;
    for (int id : w->matchTable())
      if (id < db.PeopleCount()) people.push_back(id);
    w->setMatches(std::move(people));
    if (row < ui.lstplayers->count()) ui.lstplayers->setCurrentRow(row);
  }

  // The person on display, unless the boxes hold a new player being made.
  if (!w->NewPlayerMode && w->CurrentPersonId >= 0) {
    w->FirstNameChanged = false;
    w->SecondNameChanged = false;
    if (w->CurrentPersonId < db.PeopleCount()) {
      w->blacken();
      w->display(w->CurrentPersonId);
    } else {
      w->CurrentPersonId = -1;
      w->showStaffMember(-1);
    }
  }
  for (Panel* p : w->panels())
    if (p != this) p->databaseChanged();
}

void UndoPanel::restoreBackup() {
  TolvPlayer* w = window();
  if (db.isOpen()) return;
  const QString dir = ui.txtpath->text();
  const std::string gameDir = nativePath(dir.isEmpty() ? w->programDir() : dir);
  const std::vector<backup::BackupInfo> all = backup::list(gameDir);
  if (all.empty()) {
    message(w, QStringLiteral("There are no backups in %1.").arg(pathText(backup::folderOf(gameDir))));
    return;
  }
  QStringList rows;  // newest first
  for (auto it = all.rbegin(); it != all.rend(); ++it) rows << QString::fromStdString(backup::describe(*it));
  bool ok = false;
  const QString chosen = QInputDialog::getItem(w, QStringLiteral("TOLVEDIT"),
                                               QStringLiteral("Restore the game's files as they were at:"), rows, 0,
                                               false, &ok);
  if (!ok) return;
  const backup::BackupInfo& b = all[all.size() - 1 - size_t(rows.indexOf(chosen))];
  std::string previous;
  const QString failed = QStringLiteral("The backup could not be restored.");
  if (attempt(w, [&] { previous = backup::restore(gameDir, b.name); }, failed))
    message(w, QStringLiteral("The files of %1 are back. The files as they were are kept as backup %2; "
                              "restoring that one undoes this.")
                   .arg(QString::fromStdString(b.date), QString::fromStdString(previous)));
}

// ---- The File menu -----------------------------------------------------------

ExchangePanel::ExchangePanel(TolvPlayer* w) : Panel(w) {
  // The kind of record, then the file.
  auto csv = [this](bool out) {
    const QString title = out ? QStringLiteral("Export to CSV") : QStringLiteral("Import from CSV");
    QStringList kinds;
    for (std::string_view k : exchange::kKinds) kinds << QString::fromUtf8(k.data(), qsizetype(k.size()));
    bool ok = false;
    const QString kind = QInputDialog::getItem(window(), title, QStringLiteral("Records"), kinds, 0, false, &ok);
    if (!ok) return;
    const QString filter = QStringLiteral("CSV files (*.csv)");
    const QString path = out ? QFileDialog::getSaveFileName(window(), title, kind + ".csv", filter)
                             : QFileDialog::getOpenFileName(window(), title, {}, filter);
    if (!path.isEmpty()) out ? exportTo(kind, path) : importFrom(kind, path);
  };
  connect(ui.actExport, &QAction::triggered, this, [csv] { csv(true); });
  connect(ui.actImport, &QAction::triggered, this, [csv] { csv(false); });
  connect(ui.actApplyPatch, &QAction::triggered, this, [this] {
    const QString path = QFileDialog::getOpenFileName(window(), QStringLiteral("Apply patch"), {},
                                                      QStringLiteral("Patches (*.json)"));
    if (!path.isEmpty()) applyPatchFrom(path);
  });
}

void ExchangePanel::enable(bool open) {
  for (QAction* a : {ui.actExport, ui.actImport, ui.actApplyPatch}) a->setEnabled(open);
}

void ExchangePanel::exportTo(const QString& kind, const QString& path) {
  if (!db.isOpen()) return;
  std::ostringstream text;
  // A failed export has been reported; no half-made file is written.
  if (!whileBusy(window(), [&] { exchange::exportCsv(db, kind.toStdString(), text); })) return;
  try {
    writeTextFile(nativePath(path), text.str());
  } catch (const FileError&) {
    message(window(), QStringLiteral("%1 could not be written.").arg(path));
    return;
  }
  window()->setStatusText(QStringLiteral("Exported %1 to %2").arg(kind, path));
}

void ExchangePanel::importFrom(const QString& kind, const QString& path) {
  if (db.isOpen()) carryOut(exchange::planImport(db, kind.toStdString(), nativePath(path)));
}

void ExchangePanel::applyPatchFrom(const QString& path) {
  if (db.isOpen()) carryOut(diff::planPatch(db, nativePath(path)));
}

void ExchangePanel::carryOut(const diff::Plan& plan) {
  if (!plan.refusal.empty()) {
    message(window(), QString::fromStdString(plan.refusal), QString::fromStdString(diff::firstLines(plan.problems)));
    return;
  }
  if (!ask(window(), QString::fromStdString(plan.question))) return;
  std::vector<std::string> problems;
  whileBusy(window(), [&] { problems = diff::write(db, plan); });
  if (!problems.empty())
    message(window(), QStringLiteral("Nothing was written."), QString::fromStdString(diff::firstLines(problems)));
  for (Panel* p : window()->panels())
    if (auto* undo = dynamic_cast<UndoPanel*>(p)) undo->reshow();
}

}  // namespace cm3::ui
