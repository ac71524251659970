#include "ui/historypanel.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include "database/errors.h"
#include "history/history.h"
#include "records/cp1252.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"
#include "ui/messages.h"
#include "ui/widgets.h"

namespace cm3::ui {
namespace {

constexpr int kColumns = 4;
constexpr int kColumnWidths[kColumns] = {60, 113, 45, 45};  // the club's 1700 twips at 15 twips a pixel
const int kClubIdRole = Qt::UserRole + 1;

}  // namespace

int16_t HistoryPanel::Fgi(int16_t row, int16_t column, int16_t columns) { return int16_t(row * columns + column); }

HistoryPanel::HistoryPanel(TolvPlayer* w) : Panel(w) {
  // The controls are laid out in the main window's form.
  grid_ = w->form().grdHistory;
  txtSeason_ = w->form().txtSeason;
  cmbHistClub_ = w->form().cmbHistClub;
  txtApp_ = w->form().txtApp;
  txtGoals_ = w->form().txtGoals;
  cmdHistory_ = w->form().cmdHistory;
  cmdAdd_ = w->form().cmdAdd;
  cmdDel_ = w->form().cmdDel;
  grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int c = 0; c < kColumns; ++c) grid_->setColumnWidth(c, kColumnWidths[c]);
  cmbHistClub_->setModel(w->names().clubs());
  cmbHistClub_->setCurrentIndex(-1);

  connect(cmdHistory_, &QPushButton::clicked, this, &HistoryPanel::cmdHistory_Click);
  connect(cmdAdd_, &QPushButton::clicked, this, &HistoryPanel::cmdAdd_Click);
  connect(cmdDel_, &QPushButton::clicked, this, &HistoryPanel::cmdDel_Click);
  connect(grid_, &QTableWidget::cellClicked, this, [this] { grdHistory_RowColChange(); });
  connect(grid_, &QTableWidget::currentCellChanged, this, [this] { grdHistory_RowColChange(); });
  connect(txtSeason_, &QLineEdit::textChanged, this, [this](const QString& t) { writeCell(0, t); });
  connect(txtApp_, &QLineEdit::textChanged, this, [this](const QString& t) { writeCell(2, t); });
  connect(txtGoals_, &QLineEdit::textChanged, this, [this](const QString& t) { writeCell(3, t); });
  connect(cmbHistClub_, &QComboBox::activated, this, [this](int index) {
    const int row = selectedDataRow();
    if (row < 0 || index < 0) return;
    writeCell(1, cmbHistClub_->itemText(index));
    if (QTableWidgetItem* it = grid_->item(row, 1)) it->setData(kClubIdRole, index);
  });
  // The staff list shows a person without telling the panels; a queued look
  // after the click, once the person is on show, resets the view for him.
  QListWidget* staff = w->form().lstStaff;
  connect(staff, &QListWidget::itemClicked, this, &HistoryPanel::onStaffClick, Qt::QueuedConnection);
  connect(staff, &QListWidget::currentRowChanged, this, &HistoryPanel::onStaffClick, Qt::QueuedConnection);

  ClearGrid();
  resetView();
  cmdHistory_->setEnabled(false);  // until a person is shown
}

void HistoryPanel::databaseOpened() {
  ClearGrid();
  resetView();
  cmdHistory_->setEnabled(false);
}

void HistoryPanel::databaseClosing() {
  ClearGrid();
  rowRecords_.clear();
  loadedPerson_ = -1;
}

void HistoryPanel::databaseChanged() {
  // A grid on show is filled again from the stored rows; rows that were
  // added but not saved are gone with the undo.
  if (loadedPerson_ < 0) return;
  if (loadedPerson_ >= window()->database().PeopleCount()) {  // an added person taken back
    resetView();
    cmdHistory_->setEnabled(false);
    return;
  }
  ShowHistory();
  grid_->setCurrentCell(-1, -1);
  setEditing(false);
}

void HistoryPanel::personShown(int personId) {
  resetView();
  cmdHistory_->setEnabled(personId >= 0);
}

void HistoryPanel::onStaffClick() {
  const int shown = window()->CurrentPersonId;
  if (loadedPerson_ >= 0 && shown != loadedPerson_) {
    personShown(shown);
  } else if (loadedPerson_ < 0) {
    cmdHistory_->setEnabled(shown >= 0);
  }
}

void HistoryPanel::ClearGrid() {
  grid_->setRowCount(1);
  for (int c = 0; c < kColumns; ++c) grid_->setItem(0, c, new QTableWidgetItem);
}

void HistoryPanel::resetView() {
  ClearGrid();
  rowRecords_.clear();
  loadedPerson_ = -1;
  grid_->setEnabled(false);
  cmdAdd_->setEnabled(false);
  cmdDel_->setEnabled(false);
  setEditing(false);
  cmdHistory_->setEnabled(true);
}

void HistoryPanel::setEditing(bool on) {
  for (QWidget* c : std::initializer_list<QWidget*>{txtSeason_, txtApp_, txtGoals_, cmbHistClub_}) c->setEnabled(on);
  cmdDel_->setEnabled(on && loadedPerson_ >= 0);
}

void HistoryPanel::cmdHistory_Click() {
  const int person = window()->CurrentPersonId;
  if (person < 0 || !window()->database().isOpen()) return;
  {
    WaitCursor wait;
    loadedPerson_ = person;
    ShowHistory();
  }
  grid_->setCurrentCell(-1, -1);
  setEditing(false);  // until a row is chosen
  cmdHistory_->setEnabled(false);
  grid_->setEnabled(true);
  cmdAdd_->setEnabled(true);
  cmdDel_->setEnabled(true);
}

void HistoryPanel::ShowHistory() {
  const std::vector<history::HistoryRow> rows = history::loadRows(window()->database(), loadedPerson_);
  QSignalBlocker block(grid_);
  ClearGrid();
  rowRecords_.clear();
  rowRecords_.reserve(rows.size());
  grid_->setRowCount(int(rows.size()) + 1);
  for (size_t k = 0; k < rows.size(); ++k) {
    const history::HistoryRow& r = rows[k];
    const QString texts[kColumns] = {q8(r.season), q8(r.club), q8(r.apps), q8(r.goals)};
    for (int c = 0; c < kColumns; ++c) {
      const int16_t cell = Fgi(int16_t(k), int16_t(c));
      auto* item = new QTableWidgetItem(texts[c]);
      if (c == 1) item->setData(kClubIdRole, r.clubId);
      grid_->setItem(cell / kColumns, cell % kColumns, item);
    }
    rowRecords_.push_back(r.recordId);
  }
  for (int c = 0; c < kColumns; ++c) grid_->setItem(int(rows.size()), c, new QTableWidgetItem);
}

int HistoryPanel::selectedDataRow() const {
  const int row = grid_->currentRow();
  if (row < 0 || row >= int(rowRecords_.size()) || row >= grid_->rowCount() - 1) return -1;
  return row;
}

void HistoryPanel::grdHistory_RowColChange() {
  if (loadedPerson_ < 0) return;
  const int row = selectedDataRow();
  if (row < 0) {
    setEditing(false);
    return;
  }
  setEditing(true);
  filling_ = true;
  auto text = [&](int c) { return grid_->item(row, c) ? grid_->item(row, c)->text() : QString(); };
  txtSeason_->setText(text(0));
  txtApp_->setText(text(2));
  txtGoals_->setText(text(3));
  QTableWidgetItem* clubItem = grid_->item(row, 1);
  const int hint = clubItem && clubItem->data(kClubIdRole).isValid() ? clubItem->data(kClubIdRole).toInt() : -1;
  const int club = history::findClub(window()->database().clubNames, to8(text(1)), hint);
  cmbHistClub_->setCurrentIndex(club);
  filling_ = false;
  if (club >= 0 && clubItem) {
    clubItem->setText(cmbHistClub_->itemText(club));
    clubItem->setData(kClubIdRole, club);
  }
}

void HistoryPanel::writeCell(int column, const QString& text) {
  if (filling_) return;
  const int row = selectedDataRow();
  if (row < 0) return;
  QTableWidgetItem* item = grid_->item(row, column);
  if (!item) {
    item = new QTableWidgetItem;
    grid_->setItem(row, column, item);
  }
  item->setText(text);
}

void HistoryPanel::cmdAdd_Click() {
  if (loadedPerson_ < 0) return;
  int32_t id = 0;
  try {
    id = history::addRecord(window()->database());
  } catch (const std::exception& e) {
    message(window(), QString::fromLocal8Bit(e.what()));
    return;
  }
  QSignalBlocker block(grid_);
  const int last = grid_->rowCount();
  grid_->insertRow(last);
  for (int c = 0; c < kColumns; ++c) grid_->setItem(last, c, new QTableWidgetItem);
  rowRecords_.push_back(id);
}

void HistoryPanel::cmdDel_Click() {
  if (loadedPerson_ < 0) return;
  const int row = selectedDataRow();
  if (row < 0) {
    setEditing(false);
    return;
  }
  try {
    history::deleteRecord(window()->database(), rowRecords_[size_t(row)]);
  } catch (const std::exception& e) {
    message(window(), QString::fromLocal8Bit(e.what()));
    return;
  }
  rowRecords_.erase(rowRecords_.begin() + row);
  grid_->removeRow(row);
  grdHistory_RowColChange();
}

void HistoryPanel::saveStep(int personId) {
  if (loadedPerson_ < 0) return;
  if (personId != loadedPerson_) {
    // The rows on the grid are another person's: never write them under this one.
    personShown(window()->CurrentPersonId);
    return;
  }
  std::vector<history::HistoryRow> rows;
  rows.reserve(rowRecords_.size());
  for (size_t k = 0; k < rowRecords_.size(); ++k) {
    const int r = int(k);
    auto text = [&](int c) { return grid_->item(r, c) ? to8(grid_->item(r, c)->text()) : std::string(); };
    history::HistoryRow row;
    row.recordId = rowRecords_[k];
    row.season = text(0);
    row.club = text(1);
    row.apps = text(2);
    row.goals = text(3);
    QTableWidgetItem* clubItem = grid_->item(r, 1);
    row.clubId = clubItem && clubItem->data(kClubIdRole).isValid() ? clubItem->data(kClubIdRole).toInt() : -1;
    rows.push_back(std::move(row));
  }
  Database& db = window()->database();
  history::saveRows(db, personId, rows, db.clubNames);
}

}  // namespace cm3::ui
