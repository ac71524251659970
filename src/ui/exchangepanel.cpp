#include "ui/exchangepanel.h"

#include <QFileDialog>
#include <QInputDialog>

#include <fstream>
#include <sstream>

#include "diff/patch.h"
#include "exchange/exchange.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"
#include "ui/undopanel.h"
#include "ui/widgets.h"

namespace cm3::ui {

namespace {

// The first lines of a list of problems, for a message box.
QString firstLines(const std::vector<std::string>& lines) {
  constexpr size_t kShown = 10;
  QStringList out;
  for (size_t i = 0; i < lines.size() && i < kShown; ++i) out << QString::fromStdString(lines[i]);
  if (lines.size() > kShown) out << QStringLiteral("… and %1 more").arg(lines.size() - kShown);
  return out.join(u'\n');
}

QString firstLines(const std::vector<diff::Conflict>& conflicts) {
  std::vector<std::string> lines;
  for (const diff::Conflict& c : conflicts) lines.push_back(diff::describe(c));
  return firstLines(lines);
}

bool readFile(const QString& path, std::string& text) {
  QFile in(path);
  if (!in.open(QIODevice::ReadOnly)) return false;
  text = in.readAll().toStdString();
  return true;
}

}  // namespace

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
  Database& db = window()->database();
  if (!db.isOpen()) return;
  std::ostringstream text;
  // A failed export has been reported; no half-made file is written.
  if (!whileBusy(window(), [&] { exchange::exportCsv(db, kind.toStdString(), text); })) return;
  std::ofstream out(nativePath(path), std::ios::binary | std::ios::trunc);
  out << text.str();
  if (!out.flush()) {
    message(window(), QStringLiteral("%1 could not be written.").arg(path));
    return;
  }
  window()->setStatusText(QStringLiteral("Exported %1 to %2").arg(kind, path));
}

void ExchangePanel::importFrom(const QString& kind, const QString& path) {
  Database& db = window()->database();
  std::string text;
  if (!db.isOpen()) return;
  if (!readFile(path, text)) {
    message(window(), QStringLiteral("%1 could not be read.").arg(path));
    return;
  }
  const std::string what = kind.toStdString();
  const exchange::ImportResult plan = exchange::importCsv(db, what, text, nativePath(path), true);
  if (!plan.errors.empty()) {
    message(window(), QStringLiteral("Nothing was imported."), firstLines(plan.errors));
    return;
  }
  if (plan.cells == 0) {
    message(window(), QStringLiteral("The file holds no change."));
    return;
  }
  if (!ask(window(), QStringLiteral("Import %1 changed fields in %2 records?").arg(plan.cells).arg(plan.records))) return;
  write(plan.patch, false, exchange::importLabel(what));
}

void ExchangePanel::applyPatchFrom(const QString& path) {
  Database& db = window()->database();
  std::string text;
  if (!db.isOpen()) return;
  diff::Result patch;
  try {
    if (!readFile(path, text)) throw std::runtime_error(nativePath(path) + " could not be read");
    patch = diff::fromJson(text);
  } catch (const std::exception& e) {
    message(window(), QStringLiteral("Not a patch."), QString::fromLocal8Bit(e.what()));
    return;
  }
  const std::vector<diff::Conflict> conflicts = diff::apply(db, patch, false, {}, true);
  const QString counts = QStringLiteral("%1 fields in %2 records").arg(diff::changedFields(patch)).arg(patch.records.size());
  if (diff::blocks(conflicts, true)) {  // a refused value: not even forcing helps
    message(window(), QStringLiteral("The patch cannot be applied."), firstLines(conflicts));
    return;
  }
  const bool force = !conflicts.empty();
  const QString question = force ? QStringLiteral("%1 fields do not hold the patch's old value. Apply the patch (%2) "
                                                  "and write over them?")
                                       .arg(conflicts.size())
                                       .arg(counts)
                                 : QStringLiteral("Apply the patch: %1?").arg(counts);
  if (!ask(window(), question)) return;
  write(patch, force, "Apply patch");
}

void ExchangePanel::write(const diff::Result& patch, bool force, const std::string& label) {
  std::vector<diff::Conflict> conflicts;
  whileBusy(window(), [&] { conflicts = diff::apply(window()->database(), patch, force, label); });
  if (diff::blocks(conflicts, force)) message(window(), QStringLiteral("Nothing was written."), firstLines(conflicts));
  for (Panel* p : window()->panels())
    if (auto* undo = dynamic_cast<UndoPanel*>(p)) undo->reshow();
}

}  // namespace cm3::ui
