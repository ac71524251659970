// The main window: opening the game database, searching people by name,
// showing and editing a person, and writing everything back when the window
// closes. The squad, history, scouting and world areas live in panels of
// their own (panel.h) that find the shared controls by object name.
#pragma once
#include <QMainWindow>
#include <QString>
#include <array>
#include <vector>

#include "database/database.h"
#include "people/person.h"
#include "ui/namemodels.h"
#include "ui/panel.h"

class QLineEdit;
class QPushButton;
class QComboBox;
class QListWidget;
class QTabWidget;
class QLabel;
class QGroupBox;

namespace cm3::ui {

inline constexpr const char* kCaption = "TOLVPLAYER EDITOR BETA 0.80";
inline constexpr const char* kCaptionStem = "TOLVPLAYER EDITOR BETA ";
inline constexpr const char* kVersion = "0.80";

class TolvPlayer : public QMainWindow {
  Q_OBJECT
 public:
  explicit TolvPlayer(const QString& programDir, QWidget* parent = nullptr);
  ~TolvPlayer() override;

  Database& database() { return db_; }
  const QString& programDir() const { return programDir_; }

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

  // ---- Person pages ------------------------------------------------------
  // The person-list click: shows person `personId` on the person pages,
  // resets the edit colours, tells every panel (Panel::personShown), selects
  // the person's club in cmbSquad (which fills the squad lists and selects
  // the slot that holds him).
  void showPerson(int personId);
  // The staff-list click: shows person `personId` without touching the tab
  // pages, the club lists, the edit colours or the panels. A negative id (an
  // "Empty" row) switches the person boxes off until the next display.
  void showStaffMember(int personId);
  // Puts the texts of `form` into the boxes (the record-derived parts only:
  // the player page for a player, the staff page otherwise).
  void fillBoxes(const people::PersonForm& form);
  // The texts of every person box as they are now.
  people::PersonForm formFromBoxes() const;
  // Shows the player page (positions and attributes) or the staff page.
  void showPlayerPages(bool player);
  // Sets the six edited-box colours back to normal.
  void blacken();

  // The name lists of the database as models, shared by the combos of
  // every window.
  NameModels& names() const { return *names_; }

  // State tying the windows together.
  int CurrentPersonId = -1;
  bool NewPlayerMode = false;
  bool FirstNameChanged = false;
  bool SecondNameChanged = false;
  bool SelectPersonPending = false;
  int ClickTeamID = -1;
  bool EditingSecondNation = false;

  const std::vector<Panel*>& panels() const { return panels_; }

 public slots:
  void cmdOpen_Click();
  void cmdSearch_Click();
  void cmdUpdate_Click();
  void lstplayers_Click(int row);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildPersonPages();
  void setOpenedState();
  // Offers to fold back the working files of a run that did not close.
  // False when that was tried and failed: the open stops there.
  bool recoverUnclosedRun(const std::string& gameDirPath);
  // Creates every panel; one line per panel.
  void installPanels();

  QString programDir_;
  Database db_;
  std::vector<int> matchTable_;
  std::vector<Panel*> panels_;

  QWidget* squadsArea_ = nullptr;
  QWidget* historyArea_ = nullptr;
  QWidget* scoutArea_ = nullptr;

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
  QListWidget* lstplayers_ = nullptr;
  QListWidget* lstSquad_ = nullptr;
  QListWidget* lstTranssquad_ = nullptr;
  QListWidget* lstStaff_ = nullptr;
  QTabWidget* SSTab1_ = nullptr;
  QLabel* statusPanel_ = nullptr;
  NameModels* names_ = nullptr;

  // Person pages.
  QLabel* lblID_ = nullptr;
  QLineEdit *txtFirstnamid_ = nullptr, *txtsurnameid_ = nullptr, *txtFirstname_ = nullptr, *txtSurname_ = nullptr,
            *txtCommon_ = nullptr, *txtdays_ = nullptr, *txtBirthyear_ = nullptr, *txtCaps_ = nullptr,
            *txtIntGoals_ = nullptr, *txtClub_ = nullptr, *txtJoin_ = nullptr, *txtcontractexp_ = nullptr,
            *txtwages_ = nullptr, *txtvalue_ = nullptr, *txtID2_ = nullptr, *txtID3_ = nullptr, *txtUn_ = nullptr,
            *txtSquadNo_ = nullptr;
  QLabel* lblSquadNo_ = nullptr;
  QComboBox *cmbnations_ = nullptr, *cmbnations2_ = nullptr, *cmbClass_ = nullptr, *cmbPlaysin_ = nullptr,
            *cmbClassification_ = nullptr, *cmbFormation_ = nullptr, *cmbStaffNation_ = nullptr;
  QLabel* lblFormation_ = nullptr;
  QGroupBox* fraMental_ = nullptr;
  std::array<QLineEdit*, 8> mental_{};
  // txtAbility, txtPotAbility, txtHomRep, txtCurRep, txtWorldRep
  std::array<QLineEdit*, 5> ratings_{};
  std::array<QLineEdit*, 12> positions_{};
  std::array<QLineEdit*, 42> txtAtt_{};
  std::array<QLineEdit*, 21> txtStaffAtt_{};
  QWidget* picPositions_ = nullptr;
  QWidget* PicStaffAtt_ = nullptr;
  QPushButton *cmdSuper_ = nullptr, *cmdStaffSuper_ = nullptr;
};

}  // namespace cm3::ui
