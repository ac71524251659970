#include "ui/exchangepanel.h"

#include <QFileDialog>
#include <QInputDialog>

#include <sstream>

#include "database/errors.h"
#include "database/textfile.h"
#include "exchange/exchange.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"
#include "ui/undopanel.h"
#include "ui/widgets.h"

namespace cm3::ui {

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
