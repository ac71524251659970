#include "ui/worldpanel.h"

#include <QComboBox>
#include <QCompleter>
#include <QEvent>
#include <QLineEdit>

#include "squads/squads.h"
#include "ui/mainwindow.h"
#include "ui/namemodels.h"
#include "ui_mainwindow.h"
#include "ui/squadpanel.h"
#include "ui/widgets.h"

namespace cm3::ui {

void WorldWindow::Form_Load() {
  CentreOverMain(this, main_);
  drawMarkedBevels(this);
}

void WorldWindow::showLists(Lists lists, std::initializer_list<QComboBox*> kits) {
  // Sized before the name lists come: a combo sizes itself by measuring every
  // row of its list. The size is the window's own from here on, so showing
  // it does not size it again by its lists.
  adjustSize();
  resize(size());
  Form_Load();
  // The forms make the lists the user can clear editable, inserting nothing
  // (before their lists come: made editable over a long list, a combo
  // measures every row). A typed text equal to an item (any case) chooses
  // that item; any other text, the empty one included, leaves no choice.
  for (QComboBox* c : findChildren<QComboBox*>()) {
    if (!c->isEditable()) continue;
    c->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    c->completer()->setCompletionMode(QCompleter::PopupCompletion);
    connect(c->lineEdit(), &QLineEdit::textEdited, c, [c](const QString& text) {
      const int row = c->findText(text, Qt::MatchFixedString);
      if (row == c->currentIndex()) return;
      QLineEdit* edit = c->lineEdit();
      const int cursor = edit->cursorPosition();
      c->setCurrentIndex(row);
      // Choosing a row (or none) replaces the typed text; keep what was typed.
      edit->setText(text);
      edit->setCursorPosition(cursor);
    });
  }
  for (const auto& [model, combos] : lists)
    for (QComboBox* c : combos) {
      c->setModel(model);
      c->setCurrentIndex(-1);
    }
  for (QComboBox* c : kits) {
    c->setModel(main_->names().colours());
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(14);
    c->setCurrentIndex(-1);
  }
}

void WorldWindow::digitsOnly(FieldTable record, std::span<const FormBox> boxes, const QLineEdit* except) {
  for (const FormBox& b : boxes)
    if (QLineEdit* box = lineEditOf(this, b);
        box != except && boxRule(record, *findField(record, b.field)) == BoxRule::Rounded)
      installKeyFilter(box, kDigits);
}

void WorldWindow::selectLabelled(std::span<const FormBox> boxes) {
  for (const FormBox& b : boxes)
    if (b.label) installSelectAll(lineEditOf(this, b));
}

WorldPanel::WorldPanel(TolvPlayer* w) : Panel(w) {
  for (QLabel* label : {ui.lblClub, ui.lblNation, ui.lblnatid2}) {
    auto open = [this, label](QObject*, QEvent* e) {
      if (e->type() != QEvent::MouseButtonDblClick) return false;
      label == ui.lblClub ? openPersonClub() : openNation(label == ui.lblnatid2);
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
  nation_ = std::make_unique<FrmNation>(window());
  frmClub();
}

void WorldPanel::databaseClosing() {
  club_.reset();  // before the competition window it refers to
  nation_.reset();
  comp_.reset();
}

FrmClub* WorldPanel::frmClub() {
  if (!comp_ || !nation_) return nullptr;
  if (!club_ || club_->unloaded()) club_ = std::make_unique<FrmClub>(window(), comp_.get());
  return club_.get();
}

void WorldPanel::openClub(int clubId) {
  FrmClub* club = db.isOpen() && clubId >= 0 ? frmClub() : nullptr;
  if (!club) return;
  window()->ClickTeamID = clubId;
  club->showClub();
  club->exec();
}

void WorldPanel::openPersonClub() {
  // By the club's ID: two clubs may share a name.
  const std::optional<StaffRecord> person = squads::readPerson(db, window()->CurrentPersonId);
  if (!person || window()->NewPlayerMode || ui.txtClub->text().trimmed().isEmpty()) return;
  if (person->ClubId() < int(db.clubNames.size())) openClub(person->ClubId());
}

void WorldPanel::openNation(bool second) {
  if (!nation_ || !db.isOpen()) return;
  window()->EditingSecondNation = second;
  if (nation_->fillFromMain()) nation_->exec();
  window()->EditingSecondNation = false;
}

}  // namespace cm3::ui
