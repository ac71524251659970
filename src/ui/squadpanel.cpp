#include "ui/squadpanel.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

#include "records/cp1252.h"
#include "ui/formrules.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"
#include "ui/messages.h"
#include "ui/widgets.h"

namespace cm3::ui {
namespace {

// The transfer questions and refusals as message boxes of the main window.
class BoxQuestions : public squads::Questions {
 public:
  explicit BoxQuestions(QWidget* parent) : parent_(parent) {}
  bool ask(const std::string& question) override { return cm3::ui::ask(parent_, q8(question)); }
  void message(const std::string& text) override { cm3::ui::message(parent_, q8(text)); }

 private:
  QWidget* parent_;
};

void fill(QListWidget* list, const std::vector<std::string>& rows) {
  QStringList items;
  items.reserve(qsizetype(rows.size()));
  for (const auto& r : rows) items << q8(r);
  list->clear();
  list->addItems(items);
}

}  // namespace

SquadPanel::SquadPanel(TolvPlayer* w) : Panel(w) {
  cmbSquad_ = w->form().cmbSquad;
  cmbTransclub_ = w->form().cmbTransclub;
  lstSquad_ = w->form().lstSquad;
  lstStaff_ = w->form().lstStaff;
  lstTranssquad_ = w->form().lstTranssquad;
  cmdTransfer_ = w->form().cmdTransfer;
  cmdNewPlayer_ = w->form().cmdNewPlayer;

  makeEditable(cmbSquad_, &SquadPanel::cmbSquad_KeyDown);
  makeEditable(cmbTransclub_, &SquadPanel::cmbTransclub_KeyDown);
  connect(cmbSquad_, &QComboBox::currentIndexChanged, this, [this] {
    if (opened_) cmbSquad_Click();
  });
  connect(cmbTransclub_, &QComboBox::currentIndexChanged, this, [this] {
    if (opened_) cmbTransclub_Click();
  });
  connectList(lstSquad_, &SquadPanel::lstSquad_Click);
  connectList(lstTranssquad_, &SquadPanel::lstTranssquad_Click);
  connectList(lstStaff_, &SquadPanel::lstStaff_Click);
  connect(cmdTransfer_, &QPushButton::clicked, this, &SquadPanel::cmdTransfer_Click);
  connect(cmdNewPlayer_, &QPushButton::clicked, this, &SquadPanel::cmdNewPlayer_Click);
  cmdTransfer_->setText(QString::fromLatin1(squads::kCaptionInitial));
}

void SquadPanel::makeEditable(QComboBox* combo, void (SquadPanel::*keyDown)()) {
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);  // the club lists share one model
  combo->installEventFilter(this);
  combo->lineEdit()->installEventFilter(this);
  // Text edited away from the chosen club leaves the combo without a club,
  // the text as typed.
  connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, combo, keyDown](const QString& text) {
    const int i = combo->currentIndex();
    if (i < 0 || combo->itemText(i) == text) return;
    const int cursor = combo->lineEdit()->cursorPosition();
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
    combo->lineEdit()->setCursorPosition(cursor);
    if (opened_) (this->*keyDown)();
  });
}

void SquadPanel::connectList(QListWidget* list, void (SquadPanel::*handler)(int)) {
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->viewport()->installEventFilter(this);
  connect(list, &QListWidget::currentRowChanged, this, [this, handler](int row) {
    if (opened_) (this->*handler)(row);
  });
  // A click on the row already chosen changes no row; it acts all the same.
  connect(list, &QListWidget::itemClicked, this, [this, list, handler](QListWidgetItem* item) {
    const int row = list->row(item);
    const bool again = row == rowBeforePress_;
    rowBeforePress_ = -2;
    if (opened_ && again) (this->*handler)(row);
  });
}

bool SquadPanel::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      for (QListWidget* list : {lstSquad_, lstTranssquad_, lstStaff_})
        if (watched == list->viewport()) rowBeforePress_ = list->currentRow();
      break;
    case QEvent::MouseButtonDblClick:
      if (watched == cmbSquad_ || watched == cmbSquad_->lineEdit()) cmbSquad_DblClick();
      break;
    case QEvent::KeyPress:
      // Keys reach the combo first; it hands them on to its line edit.
      if (!opened_) break;
      if (watched == cmbSquad_) cmbSquad_KeyDown();
      if (watched == cmbTransclub_) cmbTransclub_KeyDown();
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
  TransferListBusy = false;
  cmbSquad_->setCurrentIndex(-1);
  cmbTransclub_->setCurrentIndex(-1);
  lstSquad_->clear();
  lstStaff_->clear();
  lstTranssquad_->clear();
  cmdTransfer_->setText(QString::fromLatin1(squads::kCaptionInitial));
  opened_ = true;
}

void SquadPanel::databaseClosing() {
  opened_ = false;
  state_ = squads::SquadState{};
}

void SquadPanel::databaseChanged() {
  if (!opened_) return;
  // The lists again from the stored squads, with the same rows chosen and
  // no person shown because of it.
  Database& db = window()->database();
  const int row = lstSquad_->currentRow(), transferRow = lstTranssquad_->currentRow();
  const QSignalBlocker b1(lstSquad_), b2(lstStaff_), b3(lstTranssquad_);
  squads::loadCurrentClub(db, state_, cmbSquad_->currentIndex());
  squads::loadTransferClub(db, state_, cmbTransclub_->currentIndex());
  if (state_.currentClubId >= 0) {
    squadlist();
    stafflist();
    lstSquad_->setCurrentRow(row);
  } else {
    lstSquad_->clear();
    lstStaff_->clear();
  }
  if (state_.TransferClubId >= 0) {
    squadlist2();
    lstTranssquad_->setCurrentRow(transferRow);
  } else {
    lstTranssquad_->clear();
  }
}

void SquadPanel::personShown(int personId) {
  // The person list shows a person and then chooses his club in cmbSquad,
  // whose choice fills the lists and selects him. When that club is chosen
  // already the combo does not change: fill and select here.
  TolvPlayer* w = window();
  if (!opened_ || personId < 0 || !w->SelectPersonPending || !isPerson(personId)) return;
  const int32_t club = w->database().read<StaffRecord>(kSlotStaff, int64_t(personId) + 1).ClubId();
  if (club < 0) return;  // the person list empties the lists itself
  const int target = club < cmbSquad_->count() ? club : -1;
  if (target != cmbSquad_->currentIndex()) return;
  if (target >= 0)
    cmbSquad_Click();
  else
    w->SelectPersonPending = false;
}

bool SquadPanel::isPerson(int32_t id) const {
  const Database& db = window()->database();
  return db.isOpen() && id >= 0 && id < db.PeopleCount();
}

// ---- Filling the lists ------------------------------------------------------

void SquadPanel::squadlist() { fill(lstSquad_, squads::slotTexts(window()->database(), state_.CurrentSquad)); }

void SquadPanel::squadlist2() {
  state_.TransferSquadCount = squads::occupiedCount(state_.TransferSquad);
  fill(lstTranssquad_, squads::slotTexts(window()->database(), state_.TransferSquad));
}

void SquadPanel::stafflist() { fill(lstStaff_, squads::slotTexts(window()->database(), state_.CurrentStaff)); }

// ---- The club combos -----------------------------------------------------------

void SquadPanel::cmbSquad_Click() {
  TolvPlayer* w = window();
  const int club = cmbSquad_->currentIndex();
  if (club < 0) {
    state_.currentClubId = -1;
    w->SelectPersonPending = false;
    return;
  }
  squads::loadCurrentClub(w->database(), state_, club);
  squadlist();
  stafflist();
  if (w->SelectPersonPending) {
    w->SelectPersonPending = false;
    SelectPlayer();
  } else {
    lstSquad_->setCurrentRow(0);
  }
}

void SquadPanel::cmbTransclub_Click() {
  TolvPlayer* w = window();
  const int club = cmbTransclub_->currentIndex();
  squads::loadTransferClub(w->database(), state_, club);
  if (club >= 0) {
    squadlist2();
    cmdTransfer_->setText(QString::fromLatin1(squads::kCaptionTransfer));
  }
  if (isPerson(w->CurrentPersonId) &&
      w->database().read<StaffRecord>(kSlotStaff, int64_t(w->CurrentPersonId) + 1).ClubId() < 0)
    cmdTransfer_->setEnabled(true);
}

void SquadPanel::cmbSquad_KeyDown() {
  if (cmbSquad_->currentIndex() >= 0) {
    cmdTransfer_->setEnabled(true);
  } else {
    lstSquad_->clear();
    cmdTransfer_->setEnabled(false);
  }
}

void SquadPanel::cmbTransclub_KeyDown() {
  window()->form().cmdSearch->setDefault(false);
  if (cmbTransclub_->currentIndex() < 0) {
    lstTranssquad_->clear();
    if (cmbSquad_->currentIndex() >= 0) cmdTransfer_->setText(QString::fromLatin1(squads::kCaptionFreeTransferTyped));
  }
}

void SquadPanel::cmbSquad_DblClick() {
  const int club = cmbSquad_->currentIndex();
  if (!opened_ || club < 0) return;
  window()->ClickTeamID = club;
  if (openClubWindow_) openClubWindow_(club);
}

// ---- The lists -------------------------------------------------------------------

void SquadPanel::showFromList(int personId, bool transferList) {
  TolvPlayer* w = window();
  Database& db = w->database();
  auto* tabs = w->form().SSTab1;
  people::PersonForm f;
  try {
    f = people::loadPerson(db, personId);
  } catch (const std::exception&) {
    return;
  }
  tabs->setEnabled(false);
  w->NewPlayerMode = false;
  w->blacken();
  w->CurrentPersonId = f.personId;
  for (Panel* p : w->panels())
    if (p != this) p->personShown(w->CurrentPersonId);
  if (f.isPlayer) {
    w->showPlayerPages(true);
    w->fillBoxes(f);
    if (!transferList)
      w->form().txtUn->setText(q8(f.unknown53));
  } else {
    // No attribute page for a non-player here: the rating and attribute
    // boxes keep what they show.
    const people::PersonForm shown = w->formFromBoxes();
    for (const FormBox& b : people::kRatingBoxes) f.boxes[b.box] = shown.boxes.at(b.box);
    f.staffAttributes = shown.staffAttributes;
    f.formation = shown.formation;
    f.isPlayer = false;
    w->fillBoxes(f);
    if (transferList)
      w->form().picPositions->hide();
  }
  tabs->setEnabled(true);
}

void SquadPanel::lstSquad_Click(int row) {
  if (row < 0 || row >= squads::kPlayerSlots || row >= lstSquad_->count()) return;
  if (cmbTransclub_->currentIndex() < 0) cmdTransfer_->setText(QString::fromLatin1(squads::kCaptionFreeTransfer));
  cmdTransfer_->setEnabled(true);
  const int32_t id = state_.CurrentSquad[size_t(row)];
  if (isPerson(id)) showFromList(id, false);
  if (lstSquad_->item(row)->text() == QLatin1String(squads::kEmptyRow)) cmdTransfer_->setEnabled(false);
}

void SquadPanel::lstTranssquad_Click(int row) {
  if (TransferListBusy) return;
  if (row < 0 || row >= squads::kPlayerSlots || row >= lstTranssquad_->count()) return;
  const int32_t id = state_.TransferSquad[size_t(row)];
  if (isPerson(id)) showFromList(id, true);
}

void SquadPanel::lstStaff_Click(int row) {
  if (row < 0 || row >= squads::kStaffSlots || row >= lstStaff_->count()) return;
  const int32_t id = state_.CurrentStaff[size_t(row)];
  window()->showStaffMember(isPerson(id) ? id : -1);
}

void SquadPanel::SelectTransferedPlayer(int personId) {
  const int row = squads::findSlot(state_.TransferSquad, personId);
  if (row >= 0 && row < lstTranssquad_->count()) lstTranssquad_->setCurrentRow(row);
}

void SquadPanel::SelectPlayer() {
  TolvPlayer* w = window();
  const int id = w->CurrentPersonId;
  if (!isPerson(id)) return;
  // The row of the slot that holds him: two people of a club may share a name.
  const int r = squads::findSlot(state_.CurrentSquad, id);
  if (r >= 0 && r < lstSquad_->count()) lstSquad_->setCurrentRow(r);
  if (!w->database().read<StaffRecord>(kSlotStaff, int64_t(id) + 1).isPlayer()) {
    const int s = squads::findSlot(state_.CurrentStaff, id);
    if (s >= 0 && s < lstStaff_->count()) lstStaff_->setCurrentRow(s);
    cmdTransfer_->setEnabled(false);
  }
}

// ---- Transfers ---------------------------------------------------------------------

void SquadPanel::cmdTransfer_Click() {
  TolvPlayer* w = window();
  Database& db = w->database();
  if (!opened_ || !db.isOpen()) return;
  // The core works on the clubs the combos name now.
  if (cmbSquad_->currentIndex() != state_.currentClubId) state_.currentClubId = -1;
  if (cmbTransclub_->currentIndex() < 0) squads::loadTransferClub(db, state_, -1);
  const int selected = lstSquad_->count() > 0 ? lstSquad_->currentRow() : -1;
  const int personId = w->CurrentPersonId;

  BoxQuestions q(w);
  squads::TransferResult r;
  try {
    r = squads::cmdTransfer(db, state_, personId, selected, q);
  } catch (const std::exception& e) {
    message(w, QString::fromLocal8Bit(e.what()));
    // Show the clubs as the files now hold them.
    if (state_.currentClubId >= 0) {
      squads::loadCurrentClub(db, state_, state_.currentClubId);
      squadlist();
      stafflist();
    }
    if (state_.TransferClubId >= 0) {
      squads::loadTransferClub(db, state_, state_.TransferClubId);
      squadlist2();
    }
    return;
  }

  switch (r.move) {
    case squads::Move::None:
      return;
    case squads::Move::Signing:
      w->setStatusText(q8(r.status));
      squadlist2();
      if (state_.currentClubId >= 0 && state_.currentClubId == state_.TransferClubId) squadlist();
      TransferListBusy = true;
      SelectTransferedPlayer(personId);
      TransferListBusy = false;
      cmdTransfer_->setEnabled(false);
      return;
    case squads::Move::FreeTransfer:
      w->setStatusText(q8(r.status));
      squadlist();
      lstSquad_->setCurrentRow(r.squadRow);
      return;
    case squads::Move::Transfer:
      w->setStatusText(q8(r.status));
      cmdTransfer_->setEnabled(false);
      squadlist2();
      squadlist();
      stafflist();
      TransferListBusy = true;
      SelectTransferedPlayer(personId);
      TransferListBusy = false;
      lstSquad_->setCurrentRow(r.squadRow);
      return;
  }
}

// ---- New players ---------------------------------------------------------------------

void SquadPanel::ClearFieldsNewPlayer() {
  const Ui::TolvPlayer& u = window()->form();
  for (QLineEdit* box : {u.txtFirstname, u.txtSurname, u.txtCommon, u.txtClub}) box->clear();
  for (QLineEdit* box : window()->boxes({people::kPersonalBoxes, people::kMoneyBoxes})) box->setText(QStringLiteral("0"));
  u.txtBirthyear->setText(QStringLiteral("1900"));
  for (QComboBox* combo : {u.cmbnations, u.cmbnations2}) combo->setCurrentIndex(-1);
}

void SquadPanel::cmdNewPlayer_Click() {
  TolvPlayer* w = window();
  Database& db = w->database();
  // A new player not yet added is no template.
  const int shown = w->CurrentPersonId;
  if (!opened_ || !db.isOpen() || w->NewPlayerMode || !isPerson(shown)) return;
  template_ = people::templateOf(db, shown);
  templateId_ = shown;

  w->NewPlayerMode = true;
  ClearFieldsNewPlayer();
  for (Panel* p : w->panels())
    if (p != this) p->personShown(-1);
  w->form().txtFirstname->setFocus();
  w->form().lblID->setText(QString::number(people::nextPersonId(db)));
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
    if (isPerson(templateId_)) w->showPerson(templateId_);
    return true;
  }
  const people::PersonForm form = w->formFromBoxes();
  people::NameFlags flags{w->FirstNameChanged, w->SecondNameChanged};
  people::NewPlayerResult r;
  try {
    r = people::addNewPlayer(w->database(), template_, form, flags);
  } catch (const FileError& e) {
    w->FirstNameChanged = flags.firstChanged;
    w->SecondNameChanged = flags.secondChanged;
    if (e.kind() == FileError::Kind::PathNotFound) {
      message(w, QStringLiteral("Wrong path don't put slash at end"), QString::fromLocal8Bit(e.what()));
      w->close();
    } else {
      message(w, QStringLiteral("Illegal value!"), QString::fromLocal8Bit(e.what()));
    }
    return true;
  } catch (const std::exception&) {
    w->FirstNameChanged = flags.firstChanged;
    w->SecondNameChanged = flags.secondChanged;
    message(w, QStringLiteral("Illegal value!"));
    return true;
  }
  w->FirstNameChanged = flags.firstChanged;
  w->SecondNameChanged = flags.secondChanged;
  w->setStatusText(q8(r.status));
  w->NewPlayerMode = false;
  // The window now shows the person just added.
  w->CurrentPersonId = r.personId;
  w->form().txtFirstnamid->setText(QString::number(r.firstNameId));
  w->form().txtsurnameid->setText(QString::number(r.secondNameId));
  w->form().txtID2->setText(QString::number(r.attIndex));
  return true;
}

}  // namespace cm3::ui
