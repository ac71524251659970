// The nation window "Nation Properties": one nation of nation.dat with the
// continent it belongs to, opened from the nation labels of the person page.
// "U&pdate" writes both records and renames the nation in the main-window
// combo it was opened from; "O&k" hides the window.
#pragma once
#include <QDialog>
#include <array>

#include "nations/nation.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace cm3::ui {

class TolvPlayer;

class FrmNation : public QDialog {
  Q_OBJECT
 public:
  explicit FrmNation(TolvPlayer* main);

  // Draws the bevels and centres the window.
  void Form_Load();

  // The main-window combo the nation comes from: cmbnations2 while
  // EditingSecondNation is set, cmbnations otherwise.
  QComboBox* sourceCombo() const;
  // Fills the window from the nation chosen in sourceCombo(), without
  // waiting; false (nothing done) when that combo has no choice.
  bool fillFromMain();
  // fillFromMain, then shows the window modally.
  bool openOnMain();

  nations::NationForm form() const;
  void fill(const nations::NationForm& f);

  void cmbContinent_Click();
  // Whether the records were written.
  bool cmdNationOk_Click();
  void cmdCancel_Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fillContinent(const nations::ContinentForm& c);

  TolvPlayer* main_;
  bool filling_ = false;

  QWidget* PicNation_;
  QLabel* lblNationID_;
  QLineEdit *txtName_, *txtNationality_, *txtNatSymb_, *txtshortnat_;
  QComboBox *cmbCity_, *cmbDevelopment_, *cmbRegion_, *cmbActualRegion_, *cmbNatStadium_;
  QListWidget* lstGroup_;
  std::array<QComboBox*, 3> cmbLang_{};
  QLineEdit *txtCurFIFACOEFF_, *txtLeagueStandard_, *txtGameImpt_, *txtReputation_;
  std::array<QLineEdit*, 6> txtFIFA_{}, txtUEFA_{};
  QComboBox* cmbContinent_;
  QLineEdit *txtShort_, *txtType_, *txtLong_, *txtFederation_, *txtStrength_;
  QPushButton *cmdNationOk_, *cmdCancel_;
};

}  // namespace cm3::ui
