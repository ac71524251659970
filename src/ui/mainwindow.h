// The main window: opening the game database, searching people by name,
// and writing everything back when the window closes.
#pragma once
#include <QMainWindow>
#include <QString>

#include <vector>

#include "database/database.h"
#include "ui/panel.h"

class QLineEdit;
class QPushButton;
class QComboBox;
class QListWidget;
class QTabWidget;
class QLabel;
class QStringListModel;

namespace cm3::ui {

inline constexpr const char* kCaption = "TOLVPLAYER EDITOR BETA 0.80";

class TolvPlayer : public QMainWindow {
  Q_OBJECT
 public:
  explicit TolvPlayer(const QString& programDir, QWidget* parent = nullptr);

  Database& database() { return db_; }
  // Row i of lstplayers shows person matchTable()[i].
  const std::vector<int>& matchTable() const { return matchTable_; }
  // Fills lstplayers with the given people (display names from
  // PersonNameTable) and makes them the MatchTable.
  void setMatches(std::vector<int> people);
  void setStatusText(const QString& text);
  QString statusText() const;

  // A control of the window by its object name (control arrays: "txtAtt_3").
  template <class W = QWidget>
  W* control(const QString& name) const {
    return findChild<W*>(name);
  }
  // Areas of the window where panels put controls of their own.
  enum class Area { Squads, History, Scout };
  QWidget* area(Area a) const;

  // Shows person `personId` on the person pages (the person-list click).
  void showPerson(int personId);

  // The shared item models of the nation, club and continent lists (item
  // index = identifier). Combos of every window share them.
  QStringListModel* nationModel() const { return nationModel_; }
  QStringListModel* clubModel() const { return clubModel_; }
  QStringListModel* continentModel() const { return continentModel_; }

  // State tying the windows together.
  int CurrentPersonId = -1;
  bool NewPlayerMode = false;
  bool FirstNameChanged = false;
  bool SecondNameChanged = false;
  int ClickTeamID = -1;
  bool EditingSecondNation = false;

  const std::vector<Panel*>& panels() const { return panels_; }

 public slots:
  void cmdOpen_Click();
  void cmdSearch_Click();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void setOpenedState();
  bool runOpenDialog();
  // Creates every panel; one line per panel.
  void installPanels();

  std::vector<Panel*> panels_;
  QWidget* squadsArea_ = nullptr;
  QWidget* historyArea_ = nullptr;
  QWidget* scoutArea_ = nullptr;
  QStringListModel* continentModel_ = nullptr;

  QString programDir_;
  Database db_;
  std::vector<int> matchTable_;

  QLineEdit* txtpath_ = nullptr;
  QLineEdit* txtSearch_ = nullptr;
  QPushButton* cmdOpen_ = nullptr;
  QPushButton* cmdSearch_ = nullptr;
  QPushButton* cmdNewPlayer_ = nullptr;
  QPushButton* cmdUpdate_ = nullptr;
  QPushButton* cmdScoutOpt_ = nullptr;
  QPushButton* cmdScout_ = nullptr;
  QPushButton* cmdTransfer_ = nullptr;
  QPushButton* cmdRetire_ = nullptr;
  QComboBox* cmbSquad_ = nullptr;
  QComboBox* cmbTransclub_ = nullptr;
  QComboBox* cmbnations_ = nullptr;
  QComboBox* cmbnations2_ = nullptr;
  QComboBox* cmbHistClub_ = nullptr;
  QListWidget* lstplayers_ = nullptr;
  QListWidget* lstSquad_ = nullptr;
  QListWidget* lstTranssquad_ = nullptr;
  QListWidget* lstStaff_ = nullptr;
  QTabWidget* SSTab1_ = nullptr;
  QLabel* statusPanel_ = nullptr;
  QStringListModel* nationModel_ = nullptr;
  QStringListModel* clubModel_ = nullptr;
};

}  // namespace cm3::ui
