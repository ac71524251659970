// The club window "Club Info": one club with its main and reserve stadium,
// kits, rivals and favourite and disliked people. "Update" writes the club
// on show (ClickTeamID of the main window) and its stadiums, or appends the
// club prepared by "Add New Club"; "O&K" hides the window. Double-clicking
// a division label opens that competition in the competition window.
#pragma once
#include <QDialog>
#include <array>

#include "clubs/club.h"
#include "ui/frmcomp.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStandardItemModel;
class QStringListModel;
class QTabWidget;

namespace cm3::ui {

class FrmNation;
class TolvPlayer;

class FrmClub : public QDialog {
  Q_OBJECT
 public:
  FrmClub(TolvPlayer* main, FrmComp* comp, FrmNation* nation);

  // Fills the window's lists, and those lists of the competition and nation
  // windows that are still empty.
  void Form_Load();

  // Shows club ClickTeamID of the main window, without waiting.
  void showClub();
  // showClub, then shows the window modally.
  void openClub();

  clubs::ClubForm form() const;
  void fill(const clubs::ClubForm& f);

  bool NewClub = false;
  // True once the close box has unloaded the window; the next opening
  // loads a fresh one.
  bool unloaded() const { return unloaded_; }

  void cmdAddNew_Click();
  // Whether records were written.
  bool cmdUpdate_Click();
  void cmdOk_Click();
  // The division labels; nothing happens when their list has no choice.
  void lblDivision_DblClick();
  void lblLastDivision_DblClick();
  void lblOtherDivision_DblClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct StadiumFrame {
    QGroupBox* frame = nullptr;
    QLabel* id = nullptr;
    QLineEdit *name = nullptr, *capacity = nullptr, *seating = nullptr, *expansion = nullptr;
    QComboBox *city = nullptr, *nearby = nullptr;
    QCheckBox *roof = nullptr, *heating = nullptr;
  };
  StadiumFrame stadiumFrame(QWidget* parent, bool reserve);
  void fillStadium(const StadiumFrame& w, const clubs::StadiumForm& f);
  clubs::StadiumForm stadiumForm(const StadiumFrame& w) const;
  void openComp(QComboBox* list, FrmComp::Source source);
  void afterUpdate(const clubs::UpdateResult& result);

  TolvPlayer* main_;
  FrmComp* comp_;
  FrmNation* nation_;
  bool unloaded_ = false;

  QTabWidget* SSTab1_;
  QLabel* lblID_;
  QLineEdit *txtLongName_, *txtShortName_, *txtLastPos_, *txtCash_, *txtTrainingFacility_, *txtClubReputation_,
      *txtAvgAttendance_, *txtMinAttendance_, *txtMaxAttendance_;
  QComboBox *cmbStatus_, *cmbNation_, *cmbDivision_, *cmbLastDivision_, *cmbOtherDivision_, *cmbHomeMatch_;
  QLabel *lblDivision_, *lblLastDivision_, *lblOtherDivision_;
  std::array<QComboBox*, 6> kits_{};  // cmbHomeText .. cmbThirdBack
  std::array<QComboBox*, 3> rivals_{};
  QListWidget *lstLiked_, *lstDisliked_;
  StadiumFrame main_stadium_, reserve_;
  QCheckBox* chkOwnClub_;
  QPushButton *cmdAddNew_, *cmdUpdate_, *cmdOk_;
  QStandardItemModel* colours_ = nullptr;
  QStringListModel* divisions_ = nullptr;
};

}  // namespace cm3::ui
