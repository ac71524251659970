#include "ui/historypanel.h"

#include "ui/mainwindow.h"
#include "ui_mainwindow.h"
#include "ui/widgets.h"

namespace cm3::ui {
namespace {

constexpr int kColumns = 4;
constexpr int kColumnWidths[kColumns] = {60, 113, 45, 45};  // the club's 1700 twips at 15 twips a pixel
const int kClubIdRole = Qt::UserRole + 1;

}  // namespace

HistoryPanel::HistoryPanel(TolvPlayer* w) : Panel(w) {
  for (int c = 0; c < kColumns; ++c) ui.grdHistory->setColumnWidth(c, kColumnWidths[c]);
  ui.cmbHistClub->setModel(w->names().clubs());
  ui.cmbHistClub->setCurrentIndex(-1);

  connect(ui.cmdHistory, &QPushButton::clicked, this, &HistoryPanel::cmdHistory_Click);
  connect(ui.cmdAdd, &QPushButton::clicked, this, &HistoryPanel::cmdAdd_Click);
  connect(ui.cmdDel, &QPushButton::clicked, this, &HistoryPanel::cmdDel_Click);
  connect(ui.grdHistory, &QTableWidget::cellClicked, this, &HistoryPanel::grdHistory_RowColChange);
  connect(ui.grdHistory, &QTableWidget::currentCellChanged, this, &HistoryPanel::grdHistory_RowColChange);
  connect(ui.txtSeason, &QLineEdit::textChanged, this, [this](const QString& t) { writeCell(0, t); });
  connect(ui.txtApp, &QLineEdit::textChanged, this, [this](const QString& t) { writeCell(2, t); });
  connect(ui.txtGoals, &QLineEdit::textChanged, this, [this](const QString& t) { writeCell(3, t); });
  connect(ui.cmbHistClub, &QComboBox::activated, this, [this](int index) {
    const int row = selectedDataRow();
    if (row < 0 || index < 0) return;
    writeCell(1, ui.cmbHistClub->itemText(index));
    ui.grdHistory->item(row, 1)->setData(kClubIdRole, index);
  });
  // The staff list shows a person without telling the panels; a queued look
  // after the click, once the person is on show, resets the view for him.
  auto staffShown = [this] {
    const int shown = window()->CurrentPersonId;
    if (loadedPerson_ >= 0 && shown != loadedPerson_)
      personShown(shown);
    else if (loadedPerson_ < 0)
      ui.cmdHistory->setEnabled(shown >= 0);
  };
  connect(ui.lstStaff, &QListWidget::itemClicked, this, staffShown, Qt::QueuedConnection);
  connect(ui.lstStaff, &QListWidget::currentRowChanged, this, staffShown, Qt::QueuedConnection);
  resetView(false);  // until a person is shown
}

void HistoryPanel::databaseChanged() {
  // A grid on show is filled again from the stored rows; rows that were
  // added but not saved are gone with the undo.
  if (loadedPerson_ < 0) return;
  if (loadedPerson_ >= db.PeopleCount())  // an added person taken back
    resetView(false);
  else
    showRows();
}

void HistoryPanel::resetView(bool canLoad) {
  ui.grdHistory->setRowCount(1);
  putRow(0, {});
  rowRecords_.clear();
  loadedPerson_ = -1;
  ui.grdHistory->setEnabled(false);
  ui.cmdAdd->setEnabled(false);
  setEditing(false);
  ui.cmdHistory->setEnabled(canLoad);
}

void HistoryPanel::setEditing(bool on) {
  for (QWidget* c : std::initializer_list<QWidget*>{ui.txtSeason, ui.txtApp, ui.txtGoals, ui.cmbHistClub})
    c->setEnabled(on);
  ui.cmdDel->setEnabled(on && loadedPerson_ >= 0);
}

void HistoryPanel::cmdHistory_Click() {
  const int person = window()->CurrentPersonId;
  if (person < 0 || !db.isOpen()) return;
  {
    WaitCursor wait;
    loadedPerson_ = person;
    showRows();
  }
  ui.cmdHistory->setEnabled(false);
  ui.grdHistory->setEnabled(true);
  ui.cmdAdd->setEnabled(true);
  ui.cmdDel->setEnabled(true);
}

void HistoryPanel::showRows() {
  QTableWidget* grid = ui.grdHistory;
  const std::vector<history::HistoryRow> rows = history::loadRows(db, loadedPerson_);
  QSignalBlocker block(grid);
  rowRecords_.clear();
  grid->setRowCount(int(rows.size()) + 1);
  for (size_t k = 0; k < rows.size(); ++k) {
    putRow(int(k), rows[k]);
    rowRecords_.push_back(rows[k].recordId);
  }
  putRow(int(rows.size()), {});
  block.unblock();
  grid->setCurrentCell(-1, -1);
  setEditing(false);  // until a row is chosen
}

void HistoryPanel::putRow(int row, const history::HistoryRow& r) {
  QTableWidget* grid = ui.grdHistory;
  const QString texts[kColumns] = {q8(r.season), q8(r.club), q8(r.apps), q8(r.goals)};
  for (int c = 0; c < kColumns; ++c) grid->setItem(row, c, new QTableWidgetItem(texts[c]));
  grid->item(row, 1)->setData(kClubIdRole, r.clubId);
}

int HistoryPanel::selectedDataRow() const {
  const QTableWidget* grid = ui.grdHistory;
  const int row = grid->currentRow();
  if (row < 0 || row >= int(rowRecords_.size()) || row >= grid->rowCount() - 1) return -1;
  return row;
}

void HistoryPanel::grdHistory_RowColChange() {
  if (loadedPerson_ < 0) return;
  const int row = selectedDataRow();
  setEditing(row >= 0);
  if (row < 0) return;
  filling_ = true;
  ui.txtSeason->setText(ui.grdHistory->item(row, 0)->text());
  ui.txtApp->setText(ui.grdHistory->item(row, 2)->text());
  ui.txtGoals->setText(ui.grdHistory->item(row, 3)->text());
  QTableWidgetItem* clubItem = ui.grdHistory->item(row, 1);
  const int club =
      history::findClub(db.clubNames, to8(clubItem->text()), clubItem->data(kClubIdRole).toInt());
  ui.cmbHistClub->setCurrentIndex(club);
  filling_ = false;
  if (club >= 0) {
    clubItem->setText(ui.cmbHistClub->itemText(club));
    clubItem->setData(kClubIdRole, club);
  }
}

void HistoryPanel::writeCell(int column, const QString& text) {
  const int row = selectedDataRow();
  if (!filling_ && row >= 0) ui.grdHistory->item(row, column)->setText(text);
}

void HistoryPanel::cmdAdd_Click() {
  if (loadedPerson_ < 0) return;
  int32_t id = 0;
  if (!attempt(window(), [&] { id = history::addRecord(db); })) return;
  QTableWidget* grid = ui.grdHistory;
  QSignalBlocker block(grid);
  const int last = grid->rowCount();
  grid->insertRow(last);
  putRow(last, {});
  rowRecords_.push_back(id);
}

void HistoryPanel::cmdDel_Click() {
  if (loadedPerson_ < 0) return;
  const int row = selectedDataRow();
  if (row < 0) {
    setEditing(false);
    return;
  }
  if (!attempt(window(), [&] { history::deleteRecord(db, rowRecords_[size_t(row)]); })) return;
  rowRecords_.erase(rowRecords_.begin() + row);
  ui.grdHistory->removeRow(row);
  grdHistory_RowColChange();
}

void HistoryPanel::saveStep(int personId) {
  if (loadedPerson_ < 0) return;
  if (personId != loadedPerson_) {
    // The rows on the grid are another person's: never write them under this one.
    personShown(window()->CurrentPersonId);
    return;
  }
  const QTableWidget* grid = ui.grdHistory;
  std::vector<history::HistoryRow> rows;
  for (size_t k = 0; k < rowRecords_.size(); ++k) {
    auto text = [&](int c) { return to8(grid->item(int(k), c)->text()); };
    rows.push_back({rowRecords_[k], text(0), text(1), text(2), text(3), grid->item(int(k), 1)->data(kClubIdRole).toInt()});
  }
  history::saveRows(db, personId, rows, db.clubNames);
}

}  // namespace cm3::ui
