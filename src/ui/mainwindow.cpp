#include "ui/mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QStackedLayout>

#include <array>
#include <optional>
#include <utility>

#include "ui_mainwindow.h"

#include "database/settings.h"
#include "records/codelists.h"
#include "search/namesearch.h"
#include "search/scout.h"
#include "ui/binder.h"
#include "ui/historypanel.h"
#include "ui/menus.h"
#include "ui/scoutpanel.h"
#include "ui/squadpanel.h"
#include "ui/widgets.h"
#include "ui/worldpanel.h"

namespace cm3::ui {
namespace {

template <size_t N>
std::array<std::string, N> numbered(const char* stem) {
  std::array<std::string, N> names;
  for (size_t k = 0; k < N; ++k) names[k] = stem + std::to_string(k);
  return names;
}
// The box names live as long as the program: bindings hold them.
const std::array<std::string, 8> kMentalBoxes = {"txtAdaptibility", "txtAmbition",        "txtDetermination",
                                                 "txtLoyalty",      "txtPressure",        "txtProfessionalism",
                                                 "txtSportmanship", "txtTemperament"};
const std::array<std::string, 12> kPositionBoxes = {"txtGoalKeeper", "txtSweeper", "txtDefender", "txtAnchor",
                                                    "txtMidField",   "txtSupport", "txtAttacker", "txtWingBack",
                                                    "txtRight",      "txtLeft",    "txtCenter",   "txtFreeRole"};
const auto kAttBoxes = numbered<42>("txtAtt_");
const auto kStaffAttBoxes = numbered<21>("txtStaffAtt_");

using PF = people::PersonForm;

// Entry k of the array member `array` shown in box names[k], for every k.
template <class T, size_t N>
void bindEach(std::vector<Binding<PF>>& table, std::array<T, N> PF::*array, const std::array<std::string, N>& names) {
  for (size_t k = 0; k < N; ++k) table.emplace_back(names[k].c_str(), array, k);
}

// Every person box and the member of the person form it shows.
const std::vector<Binding<PF>>& personBindings() {
  static const std::vector<Binding<PF>> table = [] {
    std::vector<Binding<PF>> t = bindings<PF>(
        {{"txtFirstnamid", &PF::firstNameId},     {"txtsurnameid", &PF::secondNameId},
         {"txtSurname", &PF::secondName},         {"txtFirstname", &PF::firstName},
         {"txtCommon", &PF::commonName},          {"cmbnations", &PF::nation},
         {"cmbnations2", &PF::secondNation},      {"txtID2", &PF::playerAttIndex},
         {"txtID3", &PF::staffAttIndex},          {"cmbClass", &PF::classCode},
         {"cmbPlaysin", &PF::squadCode},          {"cmbClassification", &PF::classificationCode},
         {"txtSquadNo", &PF::squadNumber},        {"cmbFormation", &PF::formation},
         {"txtClub", &PF::clubName},              {"txtUn", &PF::unknown53}},
        &PF::boxes, people::kPersonBoxTables);
    bindEach(t, &PF::mental, kMentalBoxes);
    bindEach(t, &PF::positions, kPositionBoxes);
    bindEach(t, &PF::attributes, kAttBoxes);
    bindEach(t, &PF::staffAttributes, kStaffAttBoxes);
    return t;
  }();
  return table;
}

}  // namespace

Panel::Panel(TolvPlayer* window) : QObject(window), window_(window), ui(window->form()), db(window->database()) {}

TolvPlayer::TolvPlayer(const QString& programDir, QWidget* parent)
    : QMainWindow(parent), programDir_(programDir), ui_(std::make_unique<::Ui::TolvPlayer>()) {
  ui_->setupUi(this);
  buildPersonPages();
  binder_ = std::make_unique<Binder<people::PersonForm>>(this, personBindings());

  names_ = new NameModels(this);
  for (QComboBox* c : {ui_->cmbnations, ui_->cmbnations2, ui_->cmbStaffNation}) c->setModel(names_->nations());
  for (QComboBox* c : {ui_->cmbSquad, ui_->cmbTransclub}) c->setModel(names_->clubs());
  statusBar()->addPermanentWidget(ui_->ccrpStatusBar_panel1, 1);

  if (auto saved = readSettings(nativePath(programDir_))) ui_->txtpath->setText(pathText(*saved));

  connect(ui_->cmdOpen, &QPushButton::clicked, this, &TolvPlayer::cmdOpen_Click);
  connect(ui_->cmdSearch, &QPushButton::clicked, this, &TolvPlayer::cmdSearch_Click);
  connect(ui_->cmdUpdate, &QPushButton::clicked, this, &TolvPlayer::cmdUpdate_Click);
  connect(ui_->txtSearch, &QLineEdit::textChanged, this, [this] {
    ui_->cmdSearch->setAutoDefault(true);
    ui_->cmdSearch->setDefault(true);
  });
  // Enter runs the search only while the search button is the default one.
  connect(ui_->txtSearch, &QLineEdit::returnPressed, this, [this] {
    if (ui_->cmdSearch->isDefault()) cmdSearch_Click();
  });
  for (auto chosen : {&QListWidget::itemClicked, &QListWidget::itemActivated})
    connect(ui_->lstplayers, chosen, this, [this](QListWidgetItem* item) {
      const int row = ui_->lstplayers->row(item);
      if (row >= 0 && row < int(matchTable_.size())) showPerson(matchTable_[size_t(row)]);
    });

  panels_ = {new HistoryPanel(this), new ScoutPanel(this), new SquadPanel(this),
             new WorldPanel(this),   new UndoPanel(this),  new ExchangePanel(this)};

  drawMarkedBevels(this);

  if (QScreen* s = QGuiApplication::primaryScreen()) {
    const QRect g = s->availableGeometry();
    move(g.left() + (g.width() - width()) / 2, g.top() + (g.height() - height()) / 2);
  }
}

TolvPlayer::~TolvPlayer() = default;

void TolvPlayer::buildPersonPages() {
  // The grids made from code lists: item k's label and box at row and column
  // pair at(k); each box takes its place in the tab order after the one before it.
  QWidget* previous = ui_->txtID3;
  auto grid = [&](QGridLayout* layout, const auto& items, const auto& names, auto at, const QString& labels = {}) {
    std::vector<QLineEdit*> boxes;
    QWidget* page = layout->parentWidget();
    for (size_t k = 0; k < items.size(); ++k) {
      const auto [row, pair] = at(int(k));
      auto* label = new QLabel(QString::fromUtf8(items[k].data(), qsizetype(items[k].size())), page);
      if (!labels.isEmpty()) label->setObjectName(labels.arg(k));
      layout->addWidget(label, row, pair * 2);
      auto* box = make<QLineEdit>(page, QString::fromStdString(names[k]));
      layout->addWidget(box, row, pair * 2 + 1);
      QWidget::setTabOrder(previous, box);
      boxes.push_back(box);
      previous = box;
    }
    return boxes;
  };
  grid(ui_->fraMentalLayout, codes::kMental, kMentalBoxes, [](int k) { return std::pair(k / 4, k % 4); });
  auto positions =
      grid(ui_->fraPositionsLayout, codes::kPosition, kPositionBoxes, [](int k) { return std::pair(k / 6, k % 6); });
  auto attributes = grid(ui_->fraAttLayout, codes::kPlayerAttribute, kAttBoxes,
                         [](int k) { return std::pair(k % 14, k / 14); }, QStringLiteral("lblAtt_%1"));
  ui_->fraAtt->findChild<QLabel*>(QStringLiteral("lblAtt_30"))->setObjectName(QStringLiteral("lblPositioning"));
  previous = ui_->cmdSuper;
  auto staffAttributes = grid(ui_->PicStaffAttLayout, codes::kStaffAttribute, kStaffAttBoxes,
                              [](int k) { return std::pair(k % 7, k / 7); }, QStringLiteral("Label14_%1"));
  // The player page and the staff page share the attributes tab, one shown
  // at a time. Pages 1 and 2 are available from the start: the staff page
  // and the ratings of a non-player live there too.
  auto* stack = new QStackedLayout(ui_->tabAttributes);
  stack->setStackingMode(QStackedLayout::StackAll);
  stack->addWidget(ui_->picPositions);
  stack->addWidget(ui_->PicStaffAtt);

  ui_->cmbFormation->addItems(toList(codes::kFormation));
  ui_->cmbClass->addItems(toList(codes::kClass));
  ui_->cmbClassification->addItems(toList(codes::kClassification));
  ui_->cmbPlaysin->addItems(toList(codes::kSquad));

  // Input rules of the person boxes: digits only in the number boxes, and
  // typed personal numbers and names show red until the next display.
  const Ui::TolvPlayer& u = *ui_;
  for (QLineEdit* box : positions) installKeyFilter(box, kDigits);
  std::vector<QLineEdit*> contract = lineEditsOf(this, {people::kContractBoxes});
  for (QLineEdit* box : lineEditsOf(this, {people::kContractBoxes, people::kMoneyBoxes})) installKeyFilter(box, kDigits);
  reddened_ = lineEditsOf(this, {people::kPersonalBoxes});
  for (QLineEdit* box : reddened_) installKeyFilter(box, kDigits, [box] { setTextColour(box, kEditColour); });
  for (const auto* row : {&positions, &contract, &reddened_, &attributes, &staffAttributes})
    for (QLineEdit* box : *row) installSelectAll(box);
  installSelectAll(u.txtClub);
  reddened_.insert(reddened_.end(), {u.txtFirstname, u.txtSurname});
  for (auto [box, changed] :
       {std::pair(u.txtFirstname, &FirstNameChanged), std::pair(u.txtSurname, &SecondNameChanged)})
    installKeyFilter(box, QString(), [box, changed] {
      setTextColour(box, kEditColour);
      *changed = true;
    });
  for (auto [button, row] : {std::pair(u.cmdSuper, attributes), std::pair(u.cmdStaffSuper, staffAttributes)})
    connect(button, &QPushButton::clicked, this, [row] {
      for (QLineEdit* box : row) box->setText(QStringLiteral("20"));
    });
}

void TolvPlayer::setStatusText(const QString& text) { ui_->ccrpStatusBar_panel1->setText(text); }
QString TolvPlayer::statusText() const { return ui_->ccrpStatusBar_panel1->text(); }

void TolvPlayer::setMatches(std::vector<int> people) {
  matchTable_ = std::move(people);
  QStringList rows;
  rows.reserve(qsizetype(matchTable_.size()));
  for (int id : matchTable_) rows << q8(db_.personName(id));
  ui_->lstplayers->setEnabled(false);
  ui_->lstplayers->clear();
  ui_->lstplayers->addItems(rows);
  ui_->lstplayers->setEnabled(true);
}

void TolvPlayer::blacken() {
  for (QLineEdit* box : reddened_) setNormalColour(box);
}

void TolvPlayer::showPlayerPages(bool player) {
  const Ui::TolvPlayer& u = *ui_;
  u.fraMental->setEnabled(player);
  (player ? u.PicStaffAtt : u.picPositions)->hide();
  (player ? u.picPositions : u.PicStaffAtt)->show();
  u.lblFormation->setEnabled(!player);
  u.cmbFormation->setEnabled(!player);
  // Enabling a tab enables its page too, which a blank staff row disabled.
  if (player)
    for (int t : {1, 2}) u.SSTab1->setTabEnabled(t, true);
  u.txtSquadNo->setVisible(player);
  u.lblSquadNo->setVisible(player);
}

void TolvPlayer::fillBoxes(const people::PersonForm& f) {
  isPlayer_ = f.isPlayer;
  ui_->lblID->setText(QString::number(f.personId));
  ui_->lblID->repaint();
  // The page of the other kind keeps what it shows; txtUn is the squad lists' own.
  QWidget* otherPage = f.isPlayer ? ui_->PicStaffAtt : ui_->picPositions;
  binder_->fill(f, [&](const QWidget* box) {
    return box != ui_->txtUn && !otherPage->isAncestorOf(box) && (f.isPlayer || box != ui_->txtSquadNo);
  });
}

people::PersonForm TolvPlayer::formFromBoxes() const {
  people::PersonForm f = binder_->read();
  f.personId = CurrentPersonId;
  f.isPlayer = isPlayer_;
  return f;
}

void TolvPlayer::showPerson(int personId) {
  if (!db_.isOpen() || personId < 0) return;
  WaitCursor wait;
  ui_->SSTab1->setEnabled(false);
  NewPlayerMode = false;
  SelectPersonPending = true;
  blacken();
  people::PersonForm f = people::loadPerson(db_, personId);
  CurrentPersonId = f.personId;
  for (Panel* p : panels_) p->personShown(CurrentPersonId);
  showPlayerPages(f.isPlayer);
  fillBoxes(f);
  QComboBox* club = ui_->cmbSquad;
  if (f.clubId >= 0) {
    // Choosing his club fills the squad lists, which select his slot; a
    // club the list lacks chooses none.
    club->setCurrentIndex(f.clubId < club->count() ? f.clubId : -1);
  } else {
    club->setCurrentIndex(-1);
    if (ui_->cmbTransclub->currentIndex() >= 0) ui_->cmdTransfer->setEnabled(true);
    SelectPersonPending = false;
    ui_->lstStaff->clear();
    ui_->lstSquad->clear();
    ui_->txtClub->clear();
  }
  ui_->SSTab1->setEnabled(true);
}

void TolvPlayer::showStaffMember(int personId) {
  NewPlayerMode = false;
  ui_->cmdTransfer->setEnabled(false);
  const bool shown = db_.isOpen() && personId >= 0;
  for (int t = 0; t < 3; ++t) ui_->SSTab1->widget(t)->setEnabled(shown);
  if (shown) display(personId);
}

void TolvPlayer::display(int personId) {
  const people::PersonForm f = people::loadPerson(db_, personId);
  CurrentPersonId = f.personId;
  showPlayerPages(f.isPlayer);
  fillBoxes(f);
}

bool TolvPlayer::writePerson(const std::function<void(people::NameFlags&)>& write) {
  people::NameFlags flags{FirstNameChanged, SecondNameChanged};
  QString refusal, reason;
  bool pathGone = false;
  try {
    write(flags);
  } catch (const FileError& e) {
    pathGone = e.kind() == FileError::Kind::PathNotFound;
    refusal = QString::fromLatin1(pathGone ? "Wrong path don't put slash at end" : "Illegal value!");
    reason = QString::fromLocal8Bit(e.what());
  } catch (const std::exception&) {
    refusal = QStringLiteral("Illegal value!");
  }
  FirstNameChanged = flags.firstChanged;
  SecondNameChanged = flags.secondChanged;
  if (refusal.isEmpty()) return true;
  message(this, refusal, reason);  // no reason: a plain message
  if (pathGone) close();
  return false;
}

void TolvPlayer::cmdUpdate_Click() {
  if (!db_.isOpen()) return;
  for (Panel* p : panels_)
    if (p->updateInstead()) return;
  blacken();
  if (ui_->lblID->text().isEmpty()) return;
  const people::PersonForm form = formFromBoxes();
  const bool saved = writePerson([&](people::NameFlags& flags) {
    WaitCursor wait;
    people::savePerson(db_, form, flags, [this](int32_t id) {
      for (Panel* p : panels_) p->saveStep(id);
    });
  });
  if (!saved) return;
  const StaffRecord s = db_.read<StaffRecord>(kSlotStaff, int64_t(form.personId) + 1);
  ui_->txtFirstnamid->setText(QString::number(s.FirstNameId()));
  ui_->txtsurnameid->setText(QString::number(s.SecondNameId()));
}

void TolvPlayer::cmdSearch_Click() {
  if (!db_.isOpen()) return;
  ui_->cmdSearch->setDefault(false);
  WaitCursor wait;
  constexpr int kMaxRows = 500;
  setMatches(search::findNames(db_.PersonNameTable, db_.PeopleCount(), to8(ui_->txtSearch->text()), kMaxRows));
  setStatusText(QString::fromStdString(search::matchStatusText(matchTable_.size(), kMaxRows)));
}

void TolvPlayer::cmdOpen_Click() {
  QString gameDir = ui_->txtpath->text();
  try {
    if (!gameDir.isEmpty()) writeSettings(nativePath(programDir_), nativePath(gameDir));
  } catch (const FileError&) {
    // The settings file is only a convenience; opening goes on without it.
  }
  if (gameDir.isEmpty()) gameDir = programDir_;

  OpenHooks hooks;
  hooks.leftovers = [this] {
    // No opens the game files as they are; new working files replace the old.
    return ask(this, QStringLiteral("The editor was not closed properly last time, and its changes are still in the "
                                    "working files. Put them back into the database before opening?"))
               ? LeftoverChoice::FoldBack
               : LeftoverChoice::Overwrite;
  };
  hooks.run = progressDialogs(this);
  const QString title = windowTitle();
  std::optional<WaitCursor> wait;
  hooks.step = [&](OpenStep step) {
    if (step == OpenStep::OpeningFiles) {
      wait.emplace();
      setWindowTitle(title + QStringLiteral(" Opening Data Files"));
      return;
    }
    names_->reload(db_);
    for (Panel* p : panels_) p->databaseOpened();
    setWindowTitle(title + QStringLiteral(" Initializing Player Database"));
  };
  bool ok = false;
  QString failure;
  try {
    ok = db_.open(nativePath(gameDir), hooks);
    if (!ok) failure = QString::fromLocal8Bit(db_.OpenError.empty() ? std::string(kWrongPathMessage) : db_.OpenError);
  } catch (const std::exception& e) {
    failure = QString::fromLocal8Bit(e.what());
  }
  setWindowTitle(title);
  wait.reset();
  if (!ok) return message(this, failure);
  ui_->cmdOpen->setEnabled(false);
  ui_->txtpath->setEnabled(false);
  const Ui::TolvPlayer& u = *ui_;
  for (QWidget* w : std::initializer_list<QWidget*>{u.cmdSearch, u.cmdNewPlayer, u.cmdUpdate, u.cmdScoutOpt, u.txtSearch,
                                                    u.cmbSquad, u.cmbTransclub, u.lstplayers, u.lstSquad,
                                                    u.lstTranssquad, u.lstStaff, u.SSTab1})
    w->setEnabled(true);
  ui_->txtSearch->setFocus();
}

void TolvPlayer::closeEvent(QCloseEvent* event) {
  if (db_.isOpen()) {
    for (Panel* p : panels_) p->databaseClosing();
    try {
      db_.close(progressDialogs(this));
    } catch (const std::exception& e) {
      message(this, QStringLiteral("The database could not be written back (%1). Your changes remain in the working "
                                   "files and are recovered at the next Open.")
                        .arg(QString::fromLocal8Bit(e.what())));
    }
    ui_->txtpath->setEnabled(true);
  }
  event->accept();
}

}  // namespace cm3::ui
