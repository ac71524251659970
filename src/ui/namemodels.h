// The name lists of the open database as item models, one per list, shared
// by every combo of every window that shows the list (row = identifier).
// The main window owns them; they follow the database after opening, undo
// and redo (every list) and after a save that renames or appends a record
// (that row).
#pragma once
#include <QObject>
#include <QStandardItemModel>
#include <QStringListModel>
#include <map>

#include "records/fields.h"

namespace cm3 {
class Database;
}

namespace cm3::ui {

class NameModels : public QObject {
 public:
  explicit NameModels(QObject* parent);

  // Makes every model hold the database's list. Rows are set in place and
  // new ones appended, so that combos keep their choice; a list that has
  // become shorter (or was empty) is reset. The colours are made afresh:
  // their lists are all in the world windows, which are loaded again after.
  void reload(const Database& db);
  // Row `row` of the list of `kind` alone: renamed, or appended when it is
  // one past the end. A row the database's list does not have is ignored.
  void reload(const Database& db, FieldRef kind, int row);

  QStringListModel* nations() const { return lists_.at(FieldRef::Nation); }
  QStringListModel* clubs() const { return lists_.at(FieldRef::Club); }
  QStringListModel* continents() const { return lists_.at(FieldRef::Continent); }
  QStringListModel* comps() const { return lists_.at(FieldRef::Comp); }
  QStringListModel* cities() const { return lists_.at(FieldRef::City); }
  QStringListModel* stadiums() const { return lists_.at(FieldRef::Stadium); }
  // One row per colour: its name with a swatch as icon.
  QStandardItemModel* colours() const { return colours_; }

 private:
  std::map<FieldRef, QStringListModel*> lists_;
  QStandardItemModel* const colours_ = new QStandardItemModel(this);
};

}  // namespace cm3::ui
