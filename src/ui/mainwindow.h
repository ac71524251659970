// The main window: opening the game database, searching people by name,
// and writing everything back when the window closes.
#pragma once
#include <QMainWindow>
#include <QString>

#include "database/database.h"

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
  void setStatusText(const QString& text);

 public slots:
  void cmdOpen_Click();
  void cmdSearch_Click();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void setOpenedState();
  bool runOpenDialog();

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
