#include "ui/mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStackedLayout>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <optional>
#include <utility>

#include "ui_mainwindow.h"

#include "database/settings.h"
#include "ui/filenames.h"
#include "records/codelists.h"
#include "records/cp1252.h"
#include "search/namesearch.h"
#include "ui/binder.h"
#include "ui/formrules.h"
#include "ui/exchangepanel.h"
#include "ui/historypanel.h"
#include "ui/messages.h"
#include "ui/progressdialog.h"
#include "ui/scoutpanel.h"
#include "ui/squadpanel.h"
#include "ui/undopanel.h"
#include "ui/worldpanel.h"
#include "ui/widgets.h"

namespace cm3::ui {
namespace {

QString caption(const char* what = "") {
  return QString::fromLatin1(kCaptionStem) + QString::fromLatin1(kVersion) + QString::fromLatin1(what);
}

// A combo's choice for a stored code: the item, or no item for a code the
// list has no entry for.
void choose(QComboBox* combo, int index) { combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1); }

constexpr const char* kPositionBoxes[12] = {"txtGoalKeeper", "txtSweeper", "txtDefender", "txtAnchor",
                                            "txtMidField",   "txtSupport", "txtAttacker", "txtWingBack",
                                            "txtRight",      "txtLeft",    "txtCenter",   "txtFreeRole"};
constexpr const char* kMentalBoxes[8] = {"txtAdaptibility", "txtAmbition",        "txtDetermination", "txtLoyalty",
                                         "txtPressure",     "txtProfessionalism", "txtSportmanship",  "txtTemperament"};

// The names of a row of boxes "stem_0", "stem_1", ... (kept for the life of
// the program: bindings hold the pointers).
template <size_t N>
const std::array<std::string, N>& numberedNames(const char* stem) {
  static const std::array<std::string, N> names = [stem] {
    std::array<std::string, N> out;
    for (size_t k = 0; k < N; ++k) out[k] = stem + std::to_string(k);
    return out;
  }();
  return names;
}
const auto& attBoxes() { return numberedNames<42>("txtAtt_"); }
const auto& staffAttBoxes() { return numberedNames<21>("txtStaffAtt_"); }

using PF = people::PersonForm;
const char* cstr(const char* name) { return name; }
const char* cstr(const std::string& name) { return name.c_str(); }

// Entry k of the array member `Array` shown in box names[k], for every k.
template <auto Array, class Names, size_t... K>
void bindEach(std::vector<Binding<PF>>& table, const Names& names, std::index_sequence<K...>) {
  (table.emplace_back(cstr(names[K]), &element<Array, K>), ...);
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
        &PF::boxes, {people::kPersonalBoxes, people::kContractBoxes, people::kMoneyBoxes, people::kRatingBoxes});
    bindEach<&PF::mental>(t, kMentalBoxes, std::make_index_sequence<8>());
    bindEach<&PF::positions>(t, kPositionBoxes, std::make_index_sequence<12>());
    bindEach<&PF::attributes>(t, attBoxes(), std::make_index_sequence<42>());
    bindEach<&PF::staffAttributes>(t, staffAttBoxes(), std::make_index_sequence<21>());
    return t;
  }();
  return table;
}

}  // namespace

Panel::Panel(TolvPlayer* window) : QObject(window), window_(window) {}

TolvPlayer::TolvPlayer(const QString& programDir, QWidget* parent)
    : QMainWindow(parent), programDir_(programDir), ui_(std::make_unique<::Ui::TolvPlayer>()) {
  ui_->setupUi(this);
  txtpath_ = ui_->txtpath;
  cmbnations_ = ui_->cmbnations;
  cmbnations2_ = ui_->cmbnations2;
  cmbStaffNation_ = ui_->cmbStaffNation;
  cmbSquad_ = ui_->cmbSquad;
  cmbTransclub_ = ui_->cmbTransclub;
  setWindowTitle(QString::fromLatin1(kCaption));
  buildPersonPages();
  binder_ = std::make_unique<Binder<people::PersonForm>>(this, personBindings());

  names_ = new NameModels(this);
  for (QComboBox* c : {cmbnations_, cmbnations2_, cmbStaffNation_}) c->setModel(names_->nations());
  for (QComboBox* c : {cmbSquad_, cmbTransclub_}) c->setModel(names_->clubs());

  statusPanel_ = make<QLabel>(statusBar(), "ccrpStatusBar_panel1");
  statusPanel_->setFrameShape(QFrame::Panel);
  statusPanel_->setFrameShadow(QFrame::Sunken);
  statusBar()->addPermanentWidget(statusPanel_, 1);

  const Ui::TolvPlayer& u = *ui_;
  for (QWidget* w : std::initializer_list<QWidget*>{u.cmdSearch, u.cmdNewPlayer, u.cmdUpdate, u.cmdScoutOpt, u.txtSearch,
                                                    u.cmbSquad, u.cmbTransclub, u.lstplayers, u.lstSquad,
                                                    u.lstTranssquad, u.lstStaff, u.cmdScout, u.cmdTransfer,
                                                    u.cmdRetire, u.SSTab1})
    w->setEnabled(false);

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
  connect(ui_->lstplayers, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { lstplayers_Click(ui_->lstplayers->row(item)); });
  connect(ui_->lstplayers, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { lstplayers_Click(ui_->lstplayers->row(item)); });

  installPanels();

  // The bevel frames of the window's controls.
  for (QWidget* w : std::initializer_list<QWidget*>{u.cmdOpen, u.cmdTransfer, u.cmdSuper, u.cmdSearch, u.cmdScout,
                                                    u.cmbSquad, u.cmbTransclub, u.cmdNewPlayer, u.cmdUpdate,
                                                    u.cmdScoutOpt, u.txtSearch, u.lstSquad, u.lstTranssquad,
                                                    u.lstStaff, u.lstplayers, u.txtpath, u.cmdRetire, u.lblSearch,
                                                    u.lblSquad, u.lblTransSquad, u.lblStaff})
    DrawFrame3D(w);
  if (auto* history = control<QWidget>(QStringLiteral("cmdHistory"))) DrawFrame3D(history);

  resize(1180, 760);
  if (QScreen* s = QGuiApplication::primaryScreen()) {
    const QRect g = s->availableGeometry();
    move(g.left() + (g.width() - width()) / 2, g.top() + (g.height() - height()) / 2);
  }
}

TolvPlayer::~TolvPlayer() = default;

void TolvPlayer::buildPersonPages() {
  // The grids made from code lists; each box takes its place in the tab
  // order after the one before it.
  QWidget* previous = ui_->txtID3;
  auto box = [&](QWidget* parent, const std::string& name, QGridLayout* grid, int r, int c) {
    auto* b = make<QLineEdit>(parent, QString::fromStdString(name));
    grid->addWidget(b, r, c);
    QWidget::setTabOrder(previous, b);
    previous = b;
    return b;
  };
  auto label = [](QWidget* parent, std::string_view text, QGridLayout* grid, int r, int c) {
    auto* l = new QLabel(QString::fromUtf8(text.data(), qsizetype(text.size())), parent);
    grid->addWidget(l, r, c);
    return l;
  };
  for (int k = 0; k < 8; ++k) {
    label(ui_->fraMental, codes::kMental[size_t(k)], ui_->fraMentalLayout, k / 4, (k % 4) * 2);
    box(ui_->fraMental, kMentalBoxes[k], ui_->fraMentalLayout, k / 4, (k % 4) * 2 + 1);
  }
  for (int k = 0; k < 12; ++k) {
    label(ui_->fraPositions, codes::kPosition[size_t(k)], ui_->fraPositionsLayout, k / 6, (k % 6) * 2);
    positions_[size_t(k)] = box(ui_->fraPositions, kPositionBoxes[k], ui_->fraPositionsLayout, k / 6, (k % 6) * 2 + 1);
  }
  for (int k = 0; k < 42; ++k) {
    auto* l = label(ui_->fraAtt, codes::kPlayerAttribute[size_t(k)], ui_->fraAttLayout, k % 14, (k / 14) * 2);
    l->setObjectName(k == 30 ? QStringLiteral("lblPositioning") : QStringLiteral("lblAtt_%1").arg(k));
    txtAtt_[size_t(k)] = box(ui_->fraAtt, attBoxes()[size_t(k)], ui_->fraAttLayout, k % 14, (k / 14) * 2 + 1);
  }
  previous = ui_->cmdSuper;
  for (int k = 0; k < 21; ++k) {
    auto* l = label(ui_->PicStaffAtt, codes::kStaffAttribute[size_t(k)], ui_->PicStaffAttLayout, k % 7, (k / 7) * 2);
    l->setObjectName(QStringLiteral("Label14_%1").arg(k));
    txtStaffAtt_[size_t(k)] =
        box(ui_->PicStaffAtt, staffAttBoxes()[size_t(k)], ui_->PicStaffAttLayout, k % 7, (k / 7) * 2 + 1);
  }
  // The player page and the staff page share the attributes tab, one shown at a time.
  auto* stack = new QStackedLayout(ui_->tabAttributes);
  stack->setStackingMode(QStackedLayout::StackAll);
  stack->addWidget(ui_->picPositions);
  stack->addWidget(ui_->PicStaffAtt);
  ui_->PicStaffAtt->hide();
  // Pages 1 and 2 are available from the start: the staff page and the
  // ratings of a non-player live there too.

  ui_->cmbFormation->addItems(toList(codes::kFormation));
  ui_->cmbClass->addItems(toList(codes::kClass));
  ui_->cmbClassification->addItems(toList(codes::kClassification));
  ui_->cmbPlaysin->addItems(toList(codes::kSquad));

  // Input rules of the person boxes.
  const Ui::TolvPlayer& u = *ui_;
  auto red = [](QLineEdit* box) { return [box] { setTextColour(box, kEditColour); }; };
  for (QLineEdit* box : positions_) {
    installKeyFilter(box, kDigits);
    installSelectAll(box);
  }
  for (QLineEdit* box : boxes({people::kContractBoxes})) {
    installKeyFilter(box, kDigits);
    installSelectAll(box);
  }
  for (QLineEdit* box : boxes({people::kMoneyBoxes})) installKeyFilter(box, kDigits);
  reddened_ = boxes({people::kPersonalBoxes});
  for (QLineEdit* box : reddened_) {
    installKeyFilter(box, kDigits, red(box));
    installSelectAll(box);
  }
  reddened_.insert(reddened_.end(), {u.txtFirstname, u.txtSurname});
  installKeyWatch(u.txtFirstname, [this] {
    setTextColour(ui_->txtFirstname, kEditColour);
    FirstNameChanged = true;
  });
  installKeyWatch(u.txtSurname, [this] {
    setTextColour(ui_->txtSurname, kEditColour);
    SecondNameChanged = true;
  });
  for (QLineEdit* box : txtAtt_) installSelectAll(box);
  for (QLineEdit* box : txtStaffAtt_) installSelectAll(box);
  installSelectAll(u.txtClub);

  connect(u.cmdSuper, &QPushButton::clicked, this, [this] {
    for (QLineEdit* box : txtAtt_) box->setText(QStringLiteral("20"));
  });
  connect(u.cmdStaffSuper, &QPushButton::clicked, this, [this] {
    for (QLineEdit* box : txtStaffAtt_) box->setText(QStringLiteral("20"));
  });
  DrawFrame3D(u.cmdSuper);
}

void TolvPlayer::installPanels() {
  // One line per panel: panels_.push_back(new SomePanel(this));
  panels_.push_back(new HistoryPanel(this));
  panels_.push_back(new ScoutPanel(this));
  panels_.push_back(new SquadPanel(this));
  panels_.push_back(new WorldPanel(this));
  panels_.push_back(new UndoPanel(this));
  panels_.push_back(new ExchangePanel(this));
}

QWidget* TolvPlayer::area(Area a) const {
  switch (a) {
    case Area::Squads: return ui_->squadsArea;
    case Area::History: return ui_->historyArea;
    case Area::Scout: return ui_->scoutArea;
  }
  return nullptr;
}

void TolvPlayer::setStatusText(const QString& text) { statusPanel_->setText(text); }
QString TolvPlayer::statusText() const { return statusPanel_->text(); }

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

std::vector<QLineEdit*> TolvPlayer::boxes(std::initializer_list<std::span<const FormBox>> tables) const {
  std::vector<QLineEdit*> out;
  for (std::span<const FormBox> table : tables)
    for (const FormBox& b : table) out.push_back(control<QLineEdit>(QString::fromLatin1(b.box)));
  return out;
}

void TolvPlayer::blacken() {
  for (QLineEdit* box : reddened_) setNormalColour(box);
}

void TolvPlayer::showPlayerPages(bool player) {
  const Ui::TolvPlayer& u = *ui_;
  if (player) {
    u.fraMental->setEnabled(true);
    u.PicStaffAtt->hide();
    u.picPositions->show();
    u.lblFormation->setEnabled(false);
    u.cmbFormation->setEnabled(false);
    u.SSTab1->setTabEnabled(1, true);
    u.SSTab1->setTabEnabled(2, true);
    u.txtSquadNo->show();
    u.lblSquadNo->show();
  } else {
    u.picPositions->hide();
    u.PicStaffAtt->show();
    u.lblFormation->setEnabled(true);
    u.cmbFormation->setEnabled(true);
    u.fraMental->setEnabled(false);
    u.txtSquadNo->hide();
    u.lblSquadNo->hide();
  }
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

void TolvPlayer::lstplayers_Click(int row) {
  if (row < 0 || row >= int(matchTable_.size())) return;
  showPerson(matchTable_[size_t(row)]);
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
  if (f.clubId >= 0) {
    // Choosing his club fills the squad lists, which select his slot.
    choose(cmbSquad_, f.clubId);
  } else {
    cmbSquad_->setCurrentIndex(-1);
    if (cmbTransclub_->currentIndex() >= 0) ui_->cmdTransfer->setEnabled(true);
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
  if (!db_.isOpen() || personId < 0) {
    for (int t = 0; t < 3; ++t) ui_->SSTab1->widget(t)->setEnabled(false);
    return;
  }
  for (int t = 0; t < 3; ++t) ui_->SSTab1->widget(t)->setEnabled(true);
  people::PersonForm f = people::loadPerson(db_, personId);
  CurrentPersonId = f.personId;
  showPlayerPages(f.isPlayer);
  fillBoxes(f);
}

void TolvPlayer::cmdUpdate_Click() {
  if (!db_.isOpen()) return;
  for (Panel* p : panels_)
    if (p->updateInstead()) return;
  blacken();
  if (ui_->lblID->text().isEmpty()) return;
  people::PersonForm form = formFromBoxes();
  people::NameFlags flags{FirstNameChanged, SecondNameChanged};
  try {
    WaitCursor wait;
    people::savePerson(db_, form, flags, [this](int32_t id) {
      for (Panel* p : panels_) p->saveStep(id);
    });
  } catch (const FileError& e) {
    FirstNameChanged = flags.firstChanged;
    SecondNameChanged = flags.secondChanged;
    if (e.kind() == FileError::Kind::PathNotFound) {
      message(this, QStringLiteral("Wrong path don't put slash at end"), QString::fromLocal8Bit(e.what()));
      close();
    } else {
      message(this, QStringLiteral("Illegal value!"), QString::fromLocal8Bit(e.what()));
    }
    return;
  } catch (const std::exception&) {
    FirstNameChanged = flags.firstChanged;
    SecondNameChanged = flags.secondChanged;
    message(this, QStringLiteral("Illegal value!"));
    return;
  }
  FirstNameChanged = flags.firstChanged;
  SecondNameChanged = flags.secondChanged;
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
  if (int(matchTable_.size()) >= kMaxRows)
    setStatusText(QStringLiteral("500 Matches , please refine search"));
  else
    setStatusText(QStringLiteral("%1 Matches").arg(matchTable_.size()));
}

void TolvPlayer::setOpenedState() {
  ui_->cmdOpen->setEnabled(false);
  ui_->txtpath->setEnabled(false);
  const Ui::TolvPlayer& u = *ui_;
  for (QWidget* w : std::initializer_list<QWidget*>{u.cmdSearch, u.cmdNewPlayer, u.cmdUpdate, u.cmdScoutOpt, u.txtSearch,
                                                    u.cmbSquad, u.cmbTransclub, u.lstplayers, u.lstSquad,
                                                    u.lstTranssquad, u.lstStaff, u.SSTab1})
    w->setEnabled(true);
  ui_->txtSearch->setFocus();
}

void TolvPlayer::cmdOpen_Click() {
  QString gameDir = txtpath_->text();
  if (!gameDir.isEmpty()) {
    try {
      writeSettings(nativePath(programDir_), nativePath(gameDir));
    } catch (const FileError&) {
      // The settings file is only a convenience; opening goes on without it.
    }
  } else {
    gameDir = programDir_;
  }

  OpenHooks hooks;
  hooks.leftovers = [this] {
    // No opens the game files as they are; new working files replace the old.
    return ask(this, QStringLiteral("The editor was not closed properly last time, and its changes are still in the "
                                    "working files. Put them back into the database before opening?"))
               ? LeftoverChoice::FoldBack
               : LeftoverChoice::Overwrite;
  };
  hooks.run = progressDialogs(this);
  std::optional<WaitCursor> wait;
  hooks.step = [&](OpenStep step) {
    if (step == OpenStep::OpeningFiles) {
      wait.emplace();
      setWindowTitle(caption(" Opening Data Files"));
      return;
    }
    names_->reload(db_);
    for (Panel* p : panels_) p->databaseOpened();
    setWindowTitle(caption(" Initializing Player Database"));
  };
  bool ok = false;
  QString failure;
  try {
    ok = db_.open(nativePath(gameDir), hooks);
    if (!ok) failure = QString::fromLocal8Bit(db_.OpenError.empty() ? std::string(kWrongPathMessage) : db_.OpenError);
  } catch (const std::exception& e) {
    failure = QString::fromLocal8Bit(e.what());
  }
  setWindowTitle(QString::fromLatin1(kCaption));
  wait.reset();
  if (!ok) {
    message(this, failure);
    return;
  }
  setOpenedState();
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
    txtpath_->setEnabled(true);
  }
  event->accept();
}

}  // namespace cm3::ui
