#include "ui/worldpanel.h"

#include <QComboBox>
#include <QCompleter>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>

#include "records/cp1252.h"
#include "ui/formrules.h"
#include "ui/frmclub.h"
#include "ui/frmcomp.h"
#include "ui/frmnation.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"
#include "ui/squadpanel.h"
#include "ui/widgets.h"

namespace cm3::ui {

// ---- Helpers ----------------------------------------------------------------
namespace world {

void choose(QComboBox* combo, int row) { combo->setCurrentIndex(row >= 0 && row < combo->count() ? row : -1); }

void makeClearable(QComboBox* combo) {
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  if (QCompleter* c = combo->completer()) {
    c->setCaseSensitivity(Qt::CaseInsensitive);
    c->setCompletionMode(QCompleter::PopupCompletion);
  }
  QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, combo, [combo](const QString& text) {
    int row = -1;
    for (int i = 0; i < combo->count(); ++i)
      if (combo->itemText(i).compare(text, Qt::CaseInsensitive) == 0) {
        row = i;
        break;
      }
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

QLabel* caption(QWidget* parent, const QString& text, const char* name) {
  auto* l = new QLabel(text, parent);
  if (name) l->setObjectName(QString::fromLatin1(name));
  return l;
}

}  // namespace world

// ---- The panel --------------------------------------------------------------

WorldPanel::WorldPanel(TolvPlayer* w) : Panel(w) {
  lblClub_ = w->form().lblClub;
  lblNation_ = w->form().lblNation;
  lblnatid2_ = w->form().lblnatid2;
  cmbSquad_ = w->form().cmbSquad;
  for (QObject* o : std::initializer_list<QObject*>{lblClub_, lblNation_, lblnatid2_}) o->installEventFilter(this);
  hookSquadList();
}

void WorldPanel::hookSquadList() {
  // The squad panel owns the club list's double-click and hands the club on.
  for (Panel* p : window()->panels())
    if (auto* squads = qobject_cast<SquadPanel*>(p)) squads->setClubWindowOpener([this](int club) { openClub(club); });
}

WorldPanel::~WorldPanel() = default;

void WorldPanel::databaseOpened() {
  club_.reset();
  nation_.reset();
  comp_.reset();
  hookSquadList();
  comp_ = std::make_unique<FrmComp>(window());
  comp_->Form_Load();
  nation_ = std::make_unique<FrmNation>(window());
  nation_->Form_Load();
  frmClub();
}

void WorldPanel::databaseClosing() {
  for (QWidget* d : std::initializer_list<QWidget*>{club_.get(), nation_.get(), comp_.get()})
    if (d) d->hide();
  club_.reset();
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
  if (!window()->database().isOpen() || clubId < 0) return;
  FrmClub* club = frmClub();
  if (!club) return;
  window()->ClickTeamID = clubId;
  club->openClub();
  if (club_ && club_->unloaded()) club_.reset();
}

void WorldPanel::lblClub_DblClick() {
  // The club of the person on show, by its ID: two clubs may share a name.
  TolvPlayer* w = window();
  const Database& db = w->database();
  if (!db.isOpen() || w->NewPlayerMode || w->form().txtClub->text().trimmed().isEmpty()) return;
  const int person = w->CurrentPersonId;
  if (person < 0 || person >= db.PeopleCount()) return;
  const int32_t club = db.read<StaffRecord>(kSlotStaff, int64_t(person) + 1).ClubId();
  if (club >= 0 && club < int(db.clubNames.size())) openClub(club);
}

void WorldPanel::cmbSquad_DblClick() {
  if (cmbSquad_->currentIndex() >= 0) openClub(cmbSquad_->currentIndex());
}

void WorldPanel::openNation(bool second) {
  if (!nation_ || !window()->database().isOpen()) return;
  window()->EditingSecondNation = second;
  nation_->openOnMain();
  window()->EditingSecondNation = false;
}

void WorldPanel::lblNation_DblClick() { openNation(false); }
void WorldPanel::lblnatid2_DblClick() { openNation(true); }

bool WorldPanel::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::MouseButtonDblClick) {
    if (watched == lblClub_) lblClub_DblClick();
    else if (watched == lblNation_) lblNation_DblClick();
    else if (watched == lblnatid2_) lblnatid2_DblClick();
    else return false;
    return true;
  }
  return false;
}

}  // namespace cm3::ui
