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

#include "history/history.h"
#include "ui/panel.h"

namespace cm3::ui {

class HistoryPanel : public Panel {
  Q_OBJECT
 public:
  explicit HistoryPanel(TolvPlayer* window);

  void databaseOpened() override { resetView(false); }
  void personShown(int personId) override { resetView(personId >= 0); }
  void saveStep(int personId) override;
  void databaseClosing() override { resetView(false); }
  void databaseChanged() override;

  const std::vector<int32_t>& HistoryRowRecords() const { return rowRecords_; }

 private:
  void cmdHistory_Click();
  void cmdAdd_Click();
  void cmdDel_Click();
  void grdHistory_RowColChange();
  // An empty grid, nothing loaded; "Load History" is on when `canLoad`.
  void resetView(bool canLoad);
  // The stored rows of loadedPerson_, none of them chosen.
  void showRows();
  void putRow(int row, const history::HistoryRow& r);
  void setEditing(bool on);
  void writeCell(int column, const QString& text);
  int selectedDataRow() const;  // -1 when no data row is selected

  int loadedPerson_ = -1;
  std::vector<int32_t> rowRecords_;
  bool filling_ = false;  // the edit controls are being filled from the grid
};

}  // namespace cm3::ui
