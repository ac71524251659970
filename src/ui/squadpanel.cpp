#include "ui/squadpanel.h"

#include <QEvent>
#include <QSignalBlocker>

#include "ui/binder.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"
#include "ui/widgets.h"

namespace cm3::ui {
namespace {

// The transfer questions and refusals as message boxes of the main window.
struct BoxQuestions : squads::Questions {
  explicit BoxQuestions(QWidget* p) : parent(p) {}
  bool ask(const std::string& question) override { return cm3::ui::ask(parent, q8(question)); }
  void message(const std::string& text) override { cm3::ui::message(parent, q8(text)); }
  QWidget* parent;
};

void fill(QListWidget* list, const Database& db, std::span<const int32_t> values) {
  list->clear();
  list->addItems(toList(squads::slotTexts(db, values)));
}

void select(QListWidget* list, int row) {
  if (row >= 0 && row < list->count()) list->setCurrentRow(row);
}

}  // namespace

SquadPanel::SquadPanel(TolvPlayer* w) : Panel(w) {
  watchCombo(ui.cmbSquad);
  watchCombo(ui.cmbTransclub);
  connect(ui.cmbSquad, &QComboBox::currentIndexChanged, this, [this] {
    if (opened_) cmbSquad_Click();
  });
  connect(ui.cmbTransclub, &QComboBox::currentIndexChanged, this, [this] {
    if (opened_) cmbTransclub_Click();
  });
  connectList(ui.lstSquad, state_.CurrentSquad, [this](int32_t id) {
    if (ui.cmbTransclub->currentIndex() < 0) ui.cmdTransfer->setText(QString::fromLatin1(squads::kCaptionFreeTransfer));
    ui.cmdTransfer->setEnabled(id >= 0);  // nobody to move from an empty slot
    showFromList(id, false);
  });
  connectList(ui.lstTranssquad, state_.TransferSquad, [this](int32_t id) { showFromList(id, true); });
  connectList(ui.lstStaff, state_.CurrentStaff, [this](int32_t id) {
    window()->showStaffMember(squads::readPerson(db, id) ? id : -1);
  });
  connect(ui.cmdTransfer, &QPushButton::clicked, this, &SquadPanel::cmdTransfer_Click);
  connect(ui.cmdNewPlayer, &QPushButton::clicked, this, &SquadPanel::cmdNewPlayer_Click);
}

void SquadPanel::watchCombo(QComboBox* combo) {
  combo->installEventFilter(this);
  combo->lineEdit()->installEventFilter(this);
  // Text edited away from the chosen club leaves the combo without a club,
  // the text as typed.
  connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, combo](const QString& text) {
    const int i = combo->currentIndex();
    if (i < 0 || combo->itemText(i) == text) return;
    const int cursor = combo->lineEdit()->cursorPosition();
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
    combo->lineEdit()->setCursorPosition(cursor);
    if (opened_) keyDown(combo);
  });
}

void SquadPanel::connectList(QListWidget* list, std::span<const int32_t> values, std::function<void(int32_t)> act) {
  list->viewport()->installEventFilter(this);
  auto chosen = [this, list, values, act](int row) {
    if (opened_ && row >= 0 && row < int(values.size()) && row < list->count()) act(values[size_t(row)]);
  };
  connect(list, &QListWidget::currentRowChanged, this, chosen);
  // A click on the row already chosen changes no row; it acts all the same.
  connect(list, &QListWidget::itemClicked, this, [this, list, chosen](QListWidgetItem* item) {
    const int row = list->row(item);
    const bool again = row == rowBeforePress_;
    rowBeforePress_ = -2;
    if (again) chosen(row);
  });
}

bool SquadPanel::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      for (QListWidget* list : {ui.lstSquad, ui.lstTranssquad, ui.lstStaff})
        if (watched == list->viewport()) rowBeforePress_ = list->currentRow();
      break;
    case QEvent::MouseButtonDblClick:
      if (opened_ && (watched == ui.cmbSquad || watched == ui.cmbSquad->lineEdit()) && ui.cmbSquad->currentIndex() >= 0) {
        window()->ClickTeamID = ui.cmbSquad->currentIndex();
        if (openClubWindow_) openClubWindow_(window()->ClickTeamID);
      }
      break;
    case QEvent::KeyPress:
      // Keys reach the combo first; it hands them on to its line edit.
      if (opened_ && (watched == ui.cmbSquad || watched == ui.cmbTransclub)) keyDown(static_cast<QComboBox*>(watched));
      break;
    default:
      break;
  }
  return Panel::eventFilter(watched, event);
}

// ---- Lifecycle --------------------------------------------------------------

void SquadPanel::databaseOpened() {
  opened_ = false;
  state_ = squads::SquadState{};
  ui.cmbSquad->setCurrentIndex(-1);
  ui.cmbTransclub->setCurrentIndex(-1);
  for (QListWidget* list : {ui.lstSquad, ui.lstStaff, ui.lstTranssquad}) list->clear();
  ui.cmdTransfer->setText(QString::fromLatin1(squads::kCaptionInitial));
  opened_ = true;
}

void SquadPanel::databaseChanged() {
  if (!opened_) return;
  // The lists again from the stored squads, with the same rows chosen and
  // no person shown because of it.
  const int row = ui.lstSquad->currentRow(), transferRow = ui.lstTranssquad->currentRow();
  const QSignalBlocker b1(ui.lstSquad), b2(ui.lstStaff), b3(ui.lstTranssquad);
  squads::loadCurrentClub(db, state_, ui.cmbSquad->currentIndex());
  squads::loadTransferClub(db, state_, ui.cmbTransclub->currentIndex());
  showClubs(true);
  ui.lstSquad->setCurrentRow(row);
  ui.lstTranssquad->setCurrentRow(transferRow);
}

void SquadPanel::showClubs(bool emptyOthers) {
  if (state_.currentClubId >= 0) {
    fill(ui.lstSquad, db, state_.CurrentSquad);
    fill(ui.lstStaff, db, state_.CurrentStaff);
  } else if (emptyOthers) {
    ui.lstSquad->clear();
    ui.lstStaff->clear();
  }
  if (state_.TransferClubId >= 0)
    fill(ui.lstTranssquad, db, state_.TransferSquad);
  else if (emptyOthers)
    ui.lstTranssquad->clear();
}

void SquadPanel::personShown(int personId) {
  // The person list shows a person and then chooses his club in cmbSquad,
  // whose choice fills the lists and selects him. When that club is chosen
  // already the combo does not change: fill and select here.
  TolvPlayer* w = window();
  if (!opened_ || !w->SelectPersonPending) return;
  const std::optional<StaffRecord> person = squads::readPerson(db, personId);
  if (!person || person->ClubId() < 0) return;  // the person list empties the lists itself
  QComboBox* combo = ui.cmbSquad;
  const int club = person->ClubId() < combo->count() ? person->ClubId() : -1;
  if (club != combo->currentIndex()) return;
  if (club >= 0)
    cmbSquad_Click();
  else
    w->SelectPersonPending = false;
}

// ---- The club combos -----------------------------------------------------------

void SquadPanel::cmbSquad_Click() {
  TolvPlayer* w = window();
  const int club = ui.cmbSquad->currentIndex();
  if (club < 0) {
    state_.currentClubId = -1;
    w->SelectPersonPending = false;
    return;
  }
  squads::loadCurrentClub(db, state_, club);
  fill(ui.lstSquad, db, state_.CurrentSquad);
  fill(ui.lstStaff, db, state_.CurrentStaff);
  if (!w->SelectPersonPending) {
    ui.lstSquad->setCurrentRow(0);
    return;
  }
  // The person shown, chosen by the slot that holds him: two people of a
  // club may share a name.
  w->SelectPersonPending = false;
  const int id = w->CurrentPersonId;
  const std::optional<StaffRecord> person = squads::readPerson(db, id);
  if (!person) return;
  select(ui.lstSquad, squads::findSlot(state_.CurrentSquad, id));
  if (!person->isPlayer()) {
    select(ui.lstStaff, squads::findSlot(state_.CurrentStaff, id));
    ui.cmdTransfer->setEnabled(false);
  }
}

void SquadPanel::cmbTransclub_Click() {
  TolvPlayer* w = window();
  const int club = ui.cmbTransclub->currentIndex();
  squads::loadTransferClub(db, state_, club);
  if (club >= 0) {
    fill(ui.lstTranssquad, db, state_.TransferSquad);
    ui.cmdTransfer->setText(QString::fromLatin1(squads::kCaptionTransfer));
  }
  const std::optional<StaffRecord> shown = squads::readPerson(db, w->CurrentPersonId);
  if (shown && shown->ClubId() < 0) ui.cmdTransfer->setEnabled(true);
}

void SquadPanel::keyDown(QComboBox* combo) {
  const bool chosen = combo->currentIndex() >= 0;
  if (combo == ui.cmbSquad) {
    if (!chosen) ui.lstSquad->clear();
    ui.cmdTransfer->setEnabled(chosen);
    return;
  }
  ui.cmdSearch->setDefault(false);
  if (chosen) return;
  ui.lstTranssquad->clear();
  if (ui.cmbSquad->currentIndex() >= 0) ui.cmdTransfer->setText(QString::fromLatin1(squads::kCaptionFreeTransferTyped));
}

// ---- The lists -------------------------------------------------------------------

void SquadPanel::showFromList(int32_t personId, bool transferList) {
  TolvPlayer* w = window();
  if (!squads::readPerson(db, personId)) return;
  people::PersonForm f;
  try {
    f = people::loadPerson(db, personId);
  } catch (const std::exception&) {
    return;
  }
  ui.SSTab1->setEnabled(false);
  w->NewPlayerMode = false;
  w->blacken();
  w->CurrentPersonId = f.personId;
  for (Panel* p : w->panels())
    if (p != this) p->personShown(w->CurrentPersonId);
  if (f.isPlayer) {
    w->showPlayerPages(true);
    w->fillBoxes(f);
    if (!transferList) ui.txtUn->setText(q8(f.unknown53));
  } else {
    // No attribute page for a non-player here: the rating and attribute
    // boxes keep what they show.
    const people::PersonForm shown = w->formFromBoxes();
    for (const FormBox& b : people::kRatingBoxes) f.boxes[b.box] = shown.boxes.at(b.box);
    f.staffAttributes = shown.staffAttributes;
    f.formation = shown.formation;
    w->fillBoxes(f);
    if (transferList) ui.picPositions->hide();
  }
  ui.SSTab1->setEnabled(true);
}

// ---- Transfers ---------------------------------------------------------------------

void SquadPanel::cmdTransfer_Click() {
  TolvPlayer* w = window();
  if (!opened_ || !db.isOpen()) return;
  // The core works on the clubs the combos name now.
  if (ui.cmbSquad->currentIndex() != state_.currentClubId) state_.currentClubId = -1;
  if (ui.cmbTransclub->currentIndex() < 0) squads::loadTransferClub(db, state_, -1);
  const int selected = ui.lstSquad->count() > 0 ? ui.lstSquad->currentRow() : -1;

  BoxQuestions q(w);
  squads::TransferResult r;
  if (!attempt(w, [&] { r = squads::cmdTransfer(db, state_, w->CurrentPersonId, selected, q); })) {
    // Show the clubs as the files now hold them.
    if (state_.currentClubId >= 0) squads::loadCurrentClub(db, state_, state_.currentClubId);
    if (state_.TransferClubId >= 0) squads::loadTransferClub(db, state_, state_.TransferClubId);
    showClubs(false);
    return;
  }
  if (r.move == squads::Move::None) return;
  w->setStatusText(q8(r.status));
  // The lists the move changed. The moved person is chosen in the transfer
  // list without being shown; the squad list moves on to the next row.
  if (r.move != squads::Move::FreeTransfer) {
    ui.cmdTransfer->setEnabled(false);
    fill(ui.lstTranssquad, db, state_.TransferSquad);
    const QSignalBlocker quiet(ui.lstTranssquad);
    select(ui.lstTranssquad, r.transferRow);
  }
  if (r.move != squads::Move::Signing || state_.currentClubId == state_.TransferClubId)  // signed into the club on show
    fill(ui.lstSquad, db, state_.CurrentSquad);
  if (r.move == squads::Move::Transfer) fill(ui.lstStaff, db, state_.CurrentStaff);
  if (r.move != squads::Move::Signing) ui.lstSquad->setCurrentRow(r.squadRow);
}

// ---- New players ---------------------------------------------------------------------

void SquadPanel::ClearFieldsNewPlayer() {
  for (QLineEdit* box : {ui.txtFirstname, ui.txtSurname, ui.txtCommon, ui.txtClub}) box->clear();
  for (QLineEdit* box : lineEditsOf(window(), {people::kPersonalBoxes, people::kMoneyBoxes}))
    box->setText(QStringLiteral("0"));
  ui.txtBirthyear->setText(QStringLiteral("1900"));
  for (QComboBox* combo : {ui.cmbnations, ui.cmbnations2}) combo->setCurrentIndex(-1);
}

void SquadPanel::cmdNewPlayer_Click() {
  TolvPlayer* w = window();
  // A new player not yet added is no template.
  const int shown = w->CurrentPersonId;
  if (!opened_ || w->NewPlayerMode || !squads::readPerson(db, shown)) return;
  template_ = people::templateOf(db, shown);
  templateId_ = shown;

  w->NewPlayerMode = true;
  ClearFieldsNewPlayer();
  for (Panel* p : w->panels())
    if (p != this) p->personShown(-1);
  ui.txtFirstname->setFocus();
  ui.lblID->setText(QString::number(people::nextPersonId(db)));
}

bool SquadPanel::updateInstead() {
  TolvPlayer* w = window();
  if (!w->NewPlayerMode) return false;
  w->blacken();
  if (!ask(w, QString::fromLatin1(people::kAddPlayerQuestion))) {
    w->NewPlayerMode = false;
    // Back to the template person as stored, so that the boxes cleared for
    // the new player and the identifier he would have got are not saved
    // over anybody by the next Update.
    if (squads::readPerson(db, templateId_)) w->showPerson(templateId_);
    return true;
  }
  const people::PersonForm form = w->formFromBoxes();
  people::NewPlayerResult r;
  if (!w->writePerson([&](people::NameFlags& f) { r = people::addNewPlayer(db, template_, form, f); }))
    return true;
  w->setStatusText(q8(r.status));
  w->NewPlayerMode = false;
  // The window now shows the person just added.
  w->CurrentPersonId = r.personId;
  ui.txtFirstnamid->setText(QString::number(r.firstNameId));
  ui.txtsurnameid->setText(QString::number(r.secondNameId));
  ui.txtID2->setText(QString::number(r.attIndex));
  return true;
}

}  // namespace cm3::ui
