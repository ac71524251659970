#include "ui/undopanel.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QSignalBlocker>

#include "database/backup.h"
#include "ui/filenames.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"
#include "ui/messages.h"
#include "ui/widgets.h"
#include "ui/worldpanel.h"

namespace cm3::ui {
namespace {

using world::choose;

// A label as a menu text: '&' would otherwise mark a shortcut letter.
QString menuText(const char* verb, const std::string& label8) {
  if (label8.empty()) return QString::fromLatin1(verb);
  return QString::fromLatin1(verb) + QLatin1Char(' ') + q8(label8).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString megabytes(uint64_t bytes) { return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1) + " MB"; }

}  // namespace

UndoPanel::UndoPanel(TolvPlayer* w) : Panel(w) {
  QMenu* edit = w->menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("mnuEdit"));
  actUndo_ = edit->addAction(QStringLiteral("&Undo"), this, &UndoPanel::actUndo_Click);
  actUndo_->setObjectName(QStringLiteral("actUndo"));
  actUndo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  actRedo_ = edit->addAction(QStringLiteral("&Redo"), this, &UndoPanel::actRedo_Click);
  actRedo_->setObjectName(QStringLiteral("actRedo"));
  actRedo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  // On the window too, so that the keys work while the menu bar is hidden.
  w->addAction(actUndo_);
  w->addAction(actRedo_);

  dockChanges_ = new QDockWidget(QStringLiteral("Changes"), w);
  dockChanges_->setObjectName(QStringLiteral("dockChanges"));
  lstChanges_ = new QListWidget(dockChanges_);
  lstChanges_->setObjectName(QStringLiteral("lstChanges"));
  lstChanges_->setSelectionMode(QAbstractItemView::NoSelection);
  dockChanges_->setWidget(lstChanges_);
  w->addDockWidget(Qt::RightDockWidgetArea, dockChanges_);
  dockChanges_->hide();
  edit->addSeparator();
  QAction* list = dockChanges_->toggleViewAction();
  list->setText(QStringLiteral("&Change list"));
  list->setObjectName(QStringLiteral("actChanges"));
  edit->addAction(list);

  edit->addSeparator();
  actRestore_ = edit->addAction(QStringLiteral("Restore a &backup…"), this, &UndoPanel::actRestore_Click);
  actRestore_->setObjectName(QStringLiteral("actRestore"));

  w->database().journalChanged = [this] { showJournal(); };
  showJournal();
  qApp->installEventFilter(this);
}

bool UndoPanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride) return Panel::eventFilter(watched, event);
  auto* box = qobject_cast<QLineEdit*>(watched);
  if (!box || box->window() != window()) return Panel::eventFilter(watched, event);
  const QKeyCombination key = static_cast<QKeyEvent*>(event)->keyCombination();
  const bool undoKey = key == QKeyCombination(Qt::ControlModifier, Qt::Key_Z);
  const bool redoKey = key == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z) ||
                       key == QKeyCombination(Qt::ControlModifier, Qt::Key_Y);
  // Left unaccepted, the key reaches the menu's shortcut instead of the box.
  return (undoKey && !box->isUndoAvailable()) || (redoKey && !box->isRedoAvailable());
}

void UndoPanel::databaseOpened() { showJournal(); }

void UndoPanel::databaseClosing() {
  lstChanges_->clear();
  actUndo_->setEnabled(false);
  actRedo_->setEnabled(false);
  actRestore_->setEnabled(true);
}

void UndoPanel::showJournal() {
  const Database& db = window()->database();
  const Journal& j = db.journal();
  actUndo_->setEnabled(db.isOpen() && j.canUndo());
  actUndo_->setText(menuText("&Undo", j.undoLabel()));
  actRedo_->setEnabled(db.isOpen() && j.canRedo());
  actRedo_->setText(menuText("&Redo", j.redoLabel()));
  actRestore_->setEnabled(!db.isOpen());
  lstChanges_->clear();
  const QColor undone = lstChanges_->palette().color(QPalette::Disabled, QPalette::Text);
  for (size_t i = 0; i < j.entries().size(); ++i) {
    auto* item = new QListWidgetItem(q8(j.entries()[i].label), lstChanges_);
    if (i >= j.doneCount()) item->setForeground(undone);
  }
}

void UndoPanel::actUndo_Click() { step(true); }
void UndoPanel::actRedo_Click() { step(false); }

void UndoPanel::step(bool back) {
  Database& db = window()->database();
  if (!db.isOpen() || !(back ? db.journal().canUndo() : db.journal().canRedo())) return;
  const std::string label = back ? db.journal().undoLabel() : db.journal().redoLabel();
  try {
    back ? db.undo() : db.redo();
  } catch (const std::exception& e) {
    message(window(),
            back ? QStringLiteral("The change could not be undone.") : QStringLiteral("The change could not be made again."),
            QString::fromLocal8Bit(e.what()));
  }
  reshow();
  window()->setStatusText((back ? QStringLiteral("Undone: ") : QStringLiteral("Redone: ")) + q8(label));
}

void UndoPanel::reshow() {
  TolvPlayer* w = window();
  Database& db = w->database();

  // The shared lists; the club combos keep their choice and tell nobody, the
  // squad panel fills its lists below.
  auto* cmbSquad = w->form().cmbSquad;
  auto* cmbTransclub = w->form().cmbTransclub;
  {
    const QSignalBlocker b1(cmbSquad), b2(cmbTransclub);
    const int squad = cmbSquad->currentIndex(), transfer = cmbTransclub->currentIndex();
    w->names().reload(db);
    choose(cmbSquad, squad);
    choose(cmbTransclub, transfer);
  }

  // The person list without people that are gone, under their names now.
  auto* lstplayers = w->form().lstplayers;
  {
    const QSignalBlocker block(lstplayers);
    const int row = lstplayers->currentRow();
    std::vector<int> people;
    for (int id : w->matchTable())
      if (id < db.PeopleCount()) people.push_back(id);
    w->setMatches(std::move(people));
    if (row < lstplayers->count()) lstplayers->setCurrentRow(row);
  }

  // The person on display, unless the boxes hold a new player being made.
  if (!w->NewPlayerMode && w->CurrentPersonId >= 0) {
    w->FirstNameChanged = false;
    w->SecondNameChanged = false;
    if (w->CurrentPersonId < db.PeopleCount()) {
      const people::PersonForm f = people::loadPerson(db, w->CurrentPersonId);
      w->blacken();
      w->showPlayerPages(f.isPlayer);
      w->fillBoxes(f);
    } else {
      w->CurrentPersonId = -1;
      w->showStaffMember(-1);
    }
  }
  for (Panel* p : w->panels())
    if (p != this) p->databaseChanged();
}

void UndoPanel::actRestore_Click() {
  TolvPlayer* w = window();
  if (w->database().isOpen()) return;
  QString dir = w->form().txtpath->text();
  if (dir.isEmpty()) dir = w->programDir();
  const std::string gameDir = nativePath(dir);
  const std::vector<backup::BackupInfo> all = backup::list(gameDir);
  if (all.empty()) {
    const QString folder = pathText(backup::folderOf(gameDir));
    message(w, QStringLiteral("There are no backups in %1.").arg(folder));
    return;
  }
  QStringList rows;
  for (auto it = all.rbegin(); it != all.rend(); ++it)
    rows << QStringLiteral("%1   (%2 files, %3)")
                .arg(QString::fromStdString(it->date))
                .arg(it->files)
                .arg(megabytes(it->bytes));
  bool ok = false;
  const QString chosen = QInputDialog::getItem(w, QStringLiteral("TOLVEDIT"),
                                               QStringLiteral("Restore the game's files as they were at:"), rows, 0,
                                               false, &ok);
  if (!ok) return;
  const backup::BackupInfo& b = all[all.size() - 1 - size_t(rows.indexOf(chosen))];
  try {
    const std::string previous = backup::restore(gameDir, b.name);
    message(w, QStringLiteral("The files of %1 are back. The files as they were are kept as backup %2; "
                              "restoring that one undoes this.")
                   .arg(QString::fromStdString(b.date), QString::fromStdString(previous)));
  } catch (const std::exception& e) {
    message(w, QStringLiteral("The backup could not be restored."), QString::fromLocal8Bit(e.what()));
  }
}

}  // namespace cm3::ui
