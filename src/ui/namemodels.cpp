#include "ui/namemodels.h"

#include <QPainter>
#include <QPixmap>

#include "database/database.h"
#include "ui/widgets.h"

namespace cm3::ui {
namespace {

void setName(QStringListModel* m, int row, const QString& name) {
  const QModelIndex at = m->index(row);
  if (at.data().toString() != name) m->setData(at, name);
}

void follow(QStringListModel* m, const std::vector<std::string>& names8) {
  const int have = m->rowCount(), want = int(names8.size());
  if (have == 0 || want < have) return m->setStringList(toList(names8));
  if (want > have) m->insertRows(have, want - have);
  for (int row = 0; row < m->rowCount(); ++row) setName(m, row, q8(names8[size_t(row)]));
}

QIcon swatch(const ColourItem& c) {
  QPixmap p(24, 14);
  p.fill(QColor(c.red, c.green, c.blue));
  QPainter painter(&p);
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, p.width() - 1, p.height() - 1);
  return QIcon(p);
}

}  // namespace

NameModels::NameModels(QObject* parent) : QObject(parent) {
  for (FieldRef kind : Database::kNamedKinds) lists_[kind] = new QStringListModel(this);
}

void NameModels::reload(const Database& db) {
  for (FieldRef kind : Database::kNamedKinds) follow(lists_.at(kind), *db.names(kind));
  colours_->setRowCount(0);
  QList<QStandardItem*> rows;
  for (const ColourItem& c : db.colours) {
    auto* item = new QStandardItem(swatch(c), q8(c.name));
    item->setEditable(false);
    rows << item;
  }
  colours_->invisibleRootItem()->appendRows(rows);
}

void NameModels::reload(const Database& db, FieldRef kind, int row) {
  const std::vector<std::string>& names = *db.names(kind);
  QStringListModel* m = lists_.at(kind);
  if (row < 0 || size_t(row) >= names.size() || row > m->rowCount()) return;
  if (row == m->rowCount() && !m->insertRows(row, 1)) return;
  setName(m, row, q8(names[size_t(row)]));
}

}  // namespace cm3::ui
