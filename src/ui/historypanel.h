// The career-history page: the grid grdHistory with the rows of the shown
// person, loaded on request with "Load History", edited through four
// controls below it, rows added and deleted, and written back as a step of
// the person's "Update".
//
// Grid layout: the four headings are the grid's column headings; table row
// k (from 0) shows the k-th history row of the person and is tied to the
// record whose ID is HistoryRowRecords[k]; the last table row is the empty
// trailing row, never tied to a record. The table keeps one entry per row,
// its size being the count of used entries, so record ID 0 is an ordinary
// entry; it has no fixed bound, so a person with more than 31 rows sees and
// keeps them all.
#pragma once
#include <cstdint>
#include <vector>

#include "ui/panel.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace cm3::ui {

class HistoryPanel : public Panel {
  Q_OBJECT
 public:
  explicit HistoryPanel(TolvPlayer* window);

  void databaseOpened() override;
  void personShown(int personId) override;
  void saveStep(int personId) override;
  void databaseClosing() override;
  void databaseChanged() override;

  // The person whose rows the grid holds; -1 when nothing is loaded.
  int loadedPerson() const { return loadedPerson_; }
  const std::vector<int32_t>& HistoryRowRecords() const { return rowRecords_; }

  // Handlers, public so that tests and the window can drive them directly.
  void cmdHistory_Click();
  void cmdAdd_Click();
  void cmdDel_Click();
  void grdHistory_RowColChange();

  // Flat cell index of (row, column) in a grid of `columns` columns.
  static int16_t Fgi(int16_t row, int16_t column, int16_t columns = 4);

 private:
  void ClearGrid();
  void resetView();
  void ShowHistory();
  void setEditing(bool on);
  void writeCell(int column, const QString& text);
  void onStaffClick();
  int selectedDataRow() const;  // -1 when no data row is selected

  QTableWidget* grid_ = nullptr;
  QPushButton* cmdHistory_ = nullptr;
  QPushButton* cmdAdd_ = nullptr;
  QPushButton* cmdDel_ = nullptr;
  QLineEdit* txtSeason_ = nullptr;
  QLineEdit* txtApp_ = nullptr;
  QLineEdit* txtGoals_ = nullptr;
  QComboBox* cmbHistClub_ = nullptr;

  int loadedPerson_ = -1;
  std::vector<int32_t> rowRecords_;
  bool filling_ = false;  // the edit controls are being filled from the grid
};

}  // namespace cm3::ui
