#include "ui/worldpanel.h"

#include <QComboBox>
#include <QCompleter>
#include <QEvent>
#include <QLineEdit>

#include "ui/formrules.h"
#include "ui/frmclub.h"
#include "ui/frmcomp.h"
#include "ui/frmnation.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"
#include "ui/squadpanel.h"

namespace cm3::ui {

namespace world {

void makeClearable(QComboBox* combo) {
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  if (QCompleter* c = combo->completer()) {
    c->setCaseSensitivity(Qt::CaseInsensitive);
    c->setCompletionMode(QCompleter::PopupCompletion);
  }
  QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, combo, [combo](const QString& text) {
    int row = -1;
    for (int i = 0; i < combo->count() && row < 0; ++i)
      if (combo->itemText(i).compare(text, Qt::CaseInsensitive) == 0) row = i;
    if (row == combo->currentIndex()) return;
    QLineEdit* edit = combo->lineEdit();
    const int cursor = edit->cursorPosition();
    combo->setCurrentIndex(row);
    // Choosing a row (or none) replaces the typed text; keep what was typed.
    edit->setText(text);
    edit->setCursorPosition(cursor);
  });
}

void showColours(QComboBox* combo, QAbstractItemModel* colours) {
  combo->setModel(colours);
  combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  combo->setMinimumContentsLength(14);
  combo->setCurrentIndex(-1);
}

}  // namespace world

WorldPanel::WorldPanel(TolvPlayer* w) : Panel(w) {
  const Ui::TolvPlayer& u = w->form();
  for (QLabel* label : {u.lblClub, u.lblNation, u.lblnatid2}) {
    const bool club = label == u.lblClub, second = label == u.lblnatid2;
    auto open = [this, club, second](QObject*, QEvent* e) {
      if (e->type() != QEvent::MouseButtonDblClick) return false;
      club ? openPersonClub() : openNation(second);
      return true;
    };
    onEvent(label, open, this);
  }
}

WorldPanel::~WorldPanel() = default;

void WorldPanel::databaseOpened() {
  databaseClosing();
  // The squad panel owns the club list's double-click and hands the club on.
  for (Panel* p : window()->panels())
    if (auto* squads = qobject_cast<SquadPanel*>(p)) squads->setClubWindowOpener([this](int club) { openClub(club); });
  comp_ = std::make_unique<FrmComp>(window());
  comp_->Form_Load();
  nation_ = std::make_unique<FrmNation>(window());
  nation_->Form_Load();
  frmClub();
}

void WorldPanel::databaseClosing() {
  club_.reset();  // before the competition window it refers to
  nation_.reset();
  comp_.reset();
}

FrmClub* WorldPanel::frmClub() {
  if (!comp_ || !nation_) return nullptr;
  if (club_ && club_->unloaded()) club_.reset();
  if (!club_) {
    club_ = std::make_unique<FrmClub>(window(), comp_.get());
    club_->Form_Load();
  }
  return club_.get();
}

void WorldPanel::openClub(int clubId) {
  FrmClub* club = window()->database().isOpen() && clubId >= 0 ? frmClub() : nullptr;
  if (!club) return;
  window()->ClickTeamID = clubId;
  club->openClub();
  if (club_ && club_->unloaded()) club_.reset();
}

void WorldPanel::openPersonClub() {
  // By the club's ID: two clubs may share a name.
  TolvPlayer* w = window();
  const Database& db = w->database();
  const int person = w->CurrentPersonId;
  if (!db.isOpen() || w->NewPlayerMode || w->form().txtClub->text().trimmed().isEmpty() || person < 0 ||
      person >= db.PeopleCount())
    return;
  const int32_t club = db.read<StaffRecord>(kSlotStaff, int64_t(person) + 1).ClubId();
  if (club >= 0 && club < int(db.clubNames.size())) openClub(club);
}

void WorldPanel::openNation(bool second) {
  if (!nation_ || !window()->database().isOpen()) return;
  window()->EditingSecondNation = second;
  nation_->openOnMain();
  window()->EditingSecondNation = false;
}

}  // namespace cm3::ui
