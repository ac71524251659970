#include "ui/mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStackedLayout>
#include <QStatusBar>
#include <QStringListModel>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "database/settings.h"
#include "ui/filenames.h"
#include "records/codelists.h"
#include "records/cp1252.h"
#include "search/namesearch.h"
#include "ui/formrules.h"
#include "ui/exchangepanel.h"
#include "ui/historypanel.h"
#include "ui/messages.h"
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

QPushButton* button(QWidget* parent, const char* name, const QString& text, const QString& tip = {}) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::fromLatin1(name));
  if (!tip.isEmpty()) b->setToolTip(tip);
  return b;
}

QLabel* label(QWidget* parent, const QString& text, const char* name = nullptr) {
  auto* l = new QLabel(text, parent);
  if (name) l->setObjectName(QString::fromLatin1(name));
  return l;
}

// A combo's choice for a stored code: the item, or no item for a code the
// list has no entry for.
void choose(QComboBox* combo, int index) { combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1); }

// A modal progress dialog whose work runs once it is shown, then closes it.
void runProgressDialog(QWidget* parent, const char* name, const QString& text, const char* barName,
                       const std::function<void(const Progress&)>& work) {
  QDialog dlg(parent);
  dlg.setObjectName(QString::fromLatin1(name));
  dlg.setWindowTitle(QStringLiteral("TOLVEDIT"));
  auto* lay = new QVBoxLayout(&dlg);
  auto* lbl = make<QLabel>(&dlg, "lblRecon");
  lbl->setText(text);
  auto* bar = make<QProgressBar>(&dlg, barName);
  bar->setRange(0, 1000);
  lay->addWidget(lbl);
  lay->addWidget(bar);
  Progress progress = [bar](int64_t value, int64_t maximum) {
    int v = maximum > 0 ? int(std::clamp<int64_t>(value * 1000 / maximum, 0, 1000)) : 0;
    bar->setValue(v);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  };
  std::exception_ptr failure;
  QTimer::singleShot(0, &dlg, [&] {
    try {
      work(progress);
    } catch (...) {
      failure = std::current_exception();
    }
    dlg.accept();
  });
  dlg.exec();
  if (failure) std::rethrow_exception(failure);
}

constexpr const char* kPositionBoxes[12] = {"txtGoalKeeper", "txtSweeper", "txtDefender", "txtAnchor",
                                            "txtMidField",   "txtSupport", "txtAttacker", "txtWingBack",
                                            "txtRight",      "txtLeft",    "txtCenter",   "txtFreeRole"};
constexpr const char* kMentalBoxes[8] = {"txtAdaptibility", "txtAmbition",        "txtDetermination", "txtLoyalty",
                                         "txtPressure",     "txtProfessionalism", "txtSportmanship",  "txtTemperament"};
constexpr const char* kRatingBoxes[5] = {"txtAbility", "txtPotAbility", "txtHomRep", "txtCurRep", "txtWorldRep"};
constexpr const char* kRatingLabels[5] = {"Cur Ability", "Pot Ability", "Home Rep", "Current Rep", "World Rep"};

}  // namespace

Panel::Panel(TolvPlayer* window) : QObject(window), window_(window) {}

TolvPlayer::TolvPlayer(const QString& programDir, QWidget* parent) : QMainWindow(parent), programDir_(programDir) {
  setObjectName(QStringLiteral("TOLVPLAYER"));
  setWindowTitle(QString::fromLatin1(kCaption));

  auto* central = new QWidget(this);
  setCentralWidget(central);
  auto* grid = new QGridLayout(central);
  grid->setSpacing(10);

  txtpath_ = make<QLineEdit>(central, "txtpath");
  cmdOpen_ = button(central, "cmdOpen", QStringLiteral("Open"));
  txtSearch_ = make<QLineEdit>(central, "txtSearch");
  cmdSearch_ = button(central, "cmdSearch", QStringLiteral("&Search"),
                      QStringLiteral("Search for player by name or players by club"));
  cmdNewPlayer_ = button(central, "cmdNewPlayer", QStringLiteral("&Add Player"));
  cmdUpdate_ = button(central, "cmdUpdate", QStringLiteral("&Update"), QStringLiteral("Update Player / Save Changes"));
  cmdScoutOpt_ = button(central, "cmdScoutOpt", QStringLiteral("Scout &Opts"));
  cmdScout_ = button(central, "cmdScout", QStringLiteral("S&cout"), QStringLiteral("Activate scout search"));
  cmdTransfer_ = button(central, "cmdTransfer", QStringLiteral("&Transfer"));
  cmdRetire_ = button(central, "cmdRetire", QStringLiteral("&Retire Player"), QStringLiteral("Not Yet Implemented"));
  cmbSquad_ = make<QComboBox>(central, "cmbSquad");
  cmbTransclub_ = make<QComboBox>(central, "cmbTransclub");
  lstplayers_ = make<QListWidget>(central, "lstplayers");
  lstSquad_ = make<QListWidget>(central, "lstSquad");
  lstTranssquad_ = make<QListWidget>(central, "lstTranssquad");
  lstStaff_ = make<QListWidget>(central, "lstStaff");
  auto* lblSearch = label(central, QStringLiteral("Search Results"), "lblSearch");
  auto* lblSquad = label(central, QStringLiteral("Squad"), "lblSquad");
  auto* lblTransSquad = label(central, QStringLiteral("Transfer Club"), "lblTransSquad");
  auto* lblStaff = label(central, QStringLiteral("Staff"), "lblStaff");
  auto* lblPath = label(central, QStringLiteral("cm3 directory"), "lblPath");

  SSTab1_ = make<QTabWidget>(central, "SSTab1");
  buildPersonPages();
  squadsArea_ = make<QWidget>(central, "squadsArea");
  scoutArea_ = make<QWidget>(central, "scoutArea");

  auto* left = new QVBoxLayout;
  auto* searchRow = new QHBoxLayout;
  searchRow->addWidget(txtSearch_);
  searchRow->addWidget(cmdSearch_);
  left->addLayout(searchRow);
  left->addWidget(lblSearch);
  left->addWidget(lstplayers_, 1);
  auto* scoutRow = new QHBoxLayout;
  scoutRow->addWidget(cmdScoutOpt_);
  scoutRow->addWidget(cmdScout_);
  left->addLayout(scoutRow);
  left->addWidget(scoutArea_);

  auto* right = new QGridLayout;
  right->setSpacing(10);
  right->addWidget(lblSquad, 0, 0);
  right->addWidget(cmbSquad_, 1, 0);
  right->addWidget(lstSquad_, 2, 0);
  right->addWidget(lblStaff, 3, 0);
  right->addWidget(lstStaff_, 4, 0);
  right->addWidget(lblTransSquad, 0, 1);
  right->addWidget(cmbTransclub_, 1, 1);
  right->addWidget(lstTranssquad_, 2, 1, 3, 1);
  right->addWidget(cmdTransfer_, 5, 0, 1, 2);
  right->addWidget(squadsArea_, 6, 0, 1, 2);

  auto* top = new QHBoxLayout;
  top->addWidget(lblPath);
  top->addWidget(txtpath_, 1);
  top->addWidget(cmdOpen_);
  grid->addLayout(top, 0, 0, 1, 3);
  grid->addLayout(left, 1, 0);
  grid->addWidget(SSTab1_, 1, 1);
  grid->addLayout(right, 1, 2);
  auto* buttons = new QHBoxLayout;
  for (auto* b : {cmdNewPlayer_, cmdUpdate_, cmdRetire_}) buttons->addWidget(b);
  buttons->addStretch(1);
  grid->addLayout(buttons, 2, 0, 1, 3);
  grid->setColumnStretch(1, 1);

  names_ = new NameModels(this);
  for (QComboBox* c : {cmbnations_, cmbnations2_, cmbStaffNation_}) c->setModel(names_->nations());
  for (QComboBox* c : {cmbSquad_, cmbTransclub_}) c->setModel(names_->clubs());

  statusBar()->setObjectName(QStringLiteral("ccrpStatusBar"));
  statusPanel_ = make<QLabel>(statusBar(), "ccrpStatusBar_panel1");
  statusPanel_->setFrameShape(QFrame::Panel);
  statusPanel_->setFrameShadow(QFrame::Sunken);
  statusBar()->addPermanentWidget(statusPanel_, 1);

  for (QWidget* w : std::initializer_list<QWidget*>{cmdSearch_, cmdNewPlayer_, cmdUpdate_, cmdScoutOpt_, txtSearch_,
                                                    cmbSquad_, cmbTransclub_, lstplayers_, lstSquad_, lstTranssquad_,
                                                    lstStaff_, cmdScout_, cmdTransfer_, cmdRetire_, SSTab1_})
    w->setEnabled(false);

  if (auto saved = readSettings(nativePath(programDir_))) txtpath_->setText(pathText(*saved));

  connect(cmdOpen_, &QPushButton::clicked, this, &TolvPlayer::cmdOpen_Click);
  connect(cmdSearch_, &QPushButton::clicked, this, &TolvPlayer::cmdSearch_Click);
  connect(cmdUpdate_, &QPushButton::clicked, this, &TolvPlayer::cmdUpdate_Click);
  connect(txtSearch_, &QLineEdit::textChanged, this, [this] {
    cmdSearch_->setAutoDefault(true);
    cmdSearch_->setDefault(true);
  });
  // Enter runs the search only while the search button is the default one.
  connect(txtSearch_, &QLineEdit::returnPressed, this, [this] {
    if (cmdSearch_->isDefault()) cmdSearch_Click();
  });
  connect(lstplayers_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { lstplayers_Click(lstplayers_->row(item)); });
  connect(lstplayers_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { lstplayers_Click(lstplayers_->row(item)); });

  installPanels();

  // The bevel frames of the window's controls.
  for (QWidget* w : std::initializer_list<QWidget*>{cmdOpen_, cmdTransfer_, cmdSuper_, cmdSearch_, cmdScout_, cmbSquad_,
                                                    cmbTransclub_, cmdNewPlayer_, cmdUpdate_, cmdScoutOpt_, txtSearch_,
                                                    lstSquad_, lstTranssquad_, lstStaff_, lstplayers_, txtpath_,
                                                    cmdRetire_, lblSearch, lblSquad, lblTransSquad, lblStaff})
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
  // Page 0: the person.
  auto* personPage = make<QWidget>(SSTab1_, "tabPerson");
  auto* pg = new QGridLayout(personPage);
  int row = 0;
  auto lineBox = [&](const char* name, const QString& caption, int r, int c, const char* labelName = nullptr) {
    auto* box = make<QLineEdit>(personPage, name);
    auto* l = label(personPage, caption, labelName);
    l->setBuddy(box);
    pg->addWidget(l, r, c);
    pg->addWidget(box, r, c + 1);
    return box;
  };
  auto comboBox = [&](const char* name, const QString& caption, int r, int c, const char* labelName = nullptr) {
    auto* box = make<QComboBox>(personPage, name);
    auto* l = label(personPage, caption, labelName);
    pg->addWidget(l, r, c);
    pg->addWidget(box, r, c + 1);
    return box;
  };
  pg->addWidget(label(personPage, QStringLiteral("ID")), row, 0);
  lblID_ = make<QLabel>(personPage, "lblID");
  pg->addWidget(lblID_, row, 1);
  txtFirstnamid_ = lineBox("txtFirstnamid", QStringLiteral("First Name ID"), row, 2);
  txtsurnameid_ = lineBox("txtsurnameid", QStringLiteral("Surname ID"), row, 4);
  ++row;
  txtFirstname_ = lineBox("txtFirstname", QStringLiteral("First Name"), row, 0);
  txtSurname_ = lineBox("txtSurname", QStringLiteral("Surname"), row, 2);
  txtCommon_ = lineBox("txtCommon", QStringLiteral("Common Name"), row, 4);
  ++row;
  txtdays_ = lineBox("txtdays", QStringLiteral("Days"), row, 0);
  txtBirthyear_ = lineBox("txtBirthyear", QStringLiteral("Birth Year"), row, 2);
  cmbClassification_ = comboBox("cmbClassification", QStringLiteral("Classification"), row, 4);
  ++row;
  cmbnations_ = comboBox("cmbnations", QStringLiteral("Nation"), row, 0, "lblNation");
  cmbnations2_ = comboBox("cmbnations2", QStringLiteral("2nd Nation"), row, 2, "lblnatid2");
  cmbClass_ = comboBox("cmbClass", QStringLiteral("Job"), row, 4);
  ++row;
  txtCaps_ = lineBox("txtCaps", QStringLiteral("Caps"), row, 0);
  txtIntGoals_ = lineBox("txtIntGoals", QStringLiteral("Int Goals"), row, 2);
  cmbPlaysin_ = comboBox("cmbPlaysin", QStringLiteral("Squad"), row, 4);
  ++row;
  txtClub_ = lineBox("txtClub", QStringLiteral("Club"), row, 0, "lblClub");
  txtJoin_ = lineBox("txtJoin", QStringLiteral("Contract Join"), row, 2);
  txtcontractexp_ = lineBox("txtcontractexp", QStringLiteral("Contract Exp"), row, 4);
  ++row;
  txtwages_ = lineBox("txtwages", QStringLiteral("Wages"), row, 0);
  txtvalue_ = lineBox("txtvalue", QStringLiteral("Value"), row, 2);
  txtUn_ = make<QLineEdit>(personPage, "txtUn");
  pg->addWidget(txtUn_, row, 5);
  ++row;
  txtID2_ = lineBox("txtID2", QStringLiteral("Att ID"), row, 0);
  txtID3_ = lineBox("txtID3", QStringLiteral("Staff Att ID"), row, 2);
  ++row;
  fraMental_ = make<QGroupBox>(personPage, "fraMental");
  fraMental_->setTitle(QStringLiteral("Mental"));
  auto* mg = new QGridLayout(fraMental_);
  for (int k = 0; k < 8; ++k) {
    mental_[size_t(k)] = make<QLineEdit>(fraMental_, kMentalBoxes[k]);
    mg->addWidget(label(fraMental_, QString::fromUtf8(codes::kMental[size_t(k)].data())), k / 4, (k % 4) * 2);
    mg->addWidget(mental_[size_t(k)], k / 4, (k % 4) * 2 + 1);
  }
  pg->addWidget(fraMental_, row, 0, 1, 6);
  pg->setRowStretch(row + 1, 1);
  SSTab1_->addTab(personPage, QStringLiteral("Player Info"));

  // Page 1: attributes (player) or staff attributes (non-player), one at a time.
  auto* attPage = make<QWidget>(SSTab1_, "tabAttributes");
  auto* stack = new QStackedLayout(attPage);
  stack->setStackingMode(QStackedLayout::StackAll);
  picPositions_ = make<QWidget>(attPage, "picPositions");
  auto* pp = new QGridLayout(picPositions_);
  auto* fraPositions = make<QGroupBox>(picPositions_, "fraPositions");
  fraPositions->setTitle(QStringLiteral("Positions"));
  auto* fp = new QGridLayout(fraPositions);
  for (int k = 0; k < 12; ++k) {
    positions_[size_t(k)] = make<QLineEdit>(fraPositions, kPositionBoxes[k]);
    fp->addWidget(label(fraPositions, QString::fromUtf8(codes::kPosition[size_t(k)].data())), k / 6, (k % 6) * 2);
    fp->addWidget(positions_[size_t(k)], k / 6, (k % 6) * 2 + 1);
  }
  pp->addWidget(fraPositions, 0, 0, 1, 6);
  auto* fraAtt = make<QGroupBox>(picPositions_, "fraAtt");
  fraAtt->setTitle(QStringLiteral("Attributes"));
  auto* fa = new QGridLayout(fraAtt);
  for (int k = 0; k < 42; ++k) {
    txtAtt_[size_t(k)] = make<QLineEdit>(fraAtt, QStringLiteral("txtAtt_%1").arg(k));
    auto* l = label(fraAtt, QString::fromUtf8(codes::kPlayerAttribute[size_t(k)].data()));
    l->setObjectName(k == 30 ? QStringLiteral("lblPositioning") : QStringLiteral("lblAtt_%1").arg(k));
    fa->addWidget(l, k % 14, (k / 14) * 2);
    fa->addWidget(txtAtt_[size_t(k)], k % 14, (k / 14) * 2 + 1);
  }
  pp->addWidget(fraAtt, 1, 0, 1, 6);
  cmdSuper_ = button(picPositions_, "cmdSuper", QStringLiteral("MAX!!!!!"));
  pp->addWidget(cmdSuper_, 2, 5);

  PicStaffAtt_ = make<QWidget>(attPage, "PicStaffAtt");
  auto* sp = new QGridLayout(PicStaffAtt_);
  for (int k = 0; k < 21; ++k) {
    txtStaffAtt_[size_t(k)] = make<QLineEdit>(PicStaffAtt_, QStringLiteral("txtStaffAtt_%1").arg(k));
    auto* l = make<QLabel>(PicStaffAtt_, QStringLiteral("Label14_%1").arg(k));
    l->setText(QString::fromUtf8(codes::kStaffAttribute[size_t(k)].data()));
    sp->addWidget(l, k % 7, (k / 7) * 2);
    sp->addWidget(txtStaffAtt_[size_t(k)], k % 7, (k / 7) * 2 + 1);
  }
  lblFormation_ = label(PicStaffAtt_, QStringLiteral("Formation Prefered"), "lblFormation");
  cmbFormation_ = make<QComboBox>(PicStaffAtt_, "cmbFormation");
  cmbFormation_->addItems(toList(codes::kFormation));
  sp->addWidget(lblFormation_, 7, 0);
  sp->addWidget(cmbFormation_, 7, 1);
  sp->addWidget(label(PicStaffAtt_, QStringLiteral("Nation")), 7, 2);
  cmbStaffNation_ = make<QComboBox>(PicStaffAtt_, "cmbStaffNation");
  sp->addWidget(cmbStaffNation_, 7, 3);
  cmdStaffSuper_ = button(PicStaffAtt_, "cmdStaffSuper", QStringLiteral("MAX!!!!!"));
  sp->addWidget(cmdStaffSuper_, 8, 5);
  sp->setRowStretch(9, 1);
  stack->addWidget(picPositions_);
  stack->addWidget(PicStaffAtt_);
  PicStaffAtt_->hide();
  SSTab1_->addTab(attPage, QStringLiteral("Attributes"));

  // Page 2: abilities and reputations.
  auto* ratingPage = make<QWidget>(SSTab1_, "tabRatings");
  auto* rg = new QGridLayout(ratingPage);
  auto* fraAbility = make<QGroupBox>(ratingPage, "fraAbility");
  fraAbility->setTitle(QStringLiteral("Ratings"));
  auto* ra = new QGridLayout(fraAbility);
  for (int k = 0; k < 5; ++k) {
    ratings_[size_t(k)] = make<QLineEdit>(fraAbility, kRatingBoxes[k]);
    ra->addWidget(label(fraAbility, QString::fromLatin1(kRatingLabels[k])), k, 0);
    ra->addWidget(ratings_[size_t(k)], k, 1);
  }
  lblSquadNo_ = label(fraAbility, QStringLiteral("Squad #"), "lblSquadNo");
  txtSquadNo_ = make<QLineEdit>(fraAbility, "txtSquadNo");
  ra->addWidget(lblSquadNo_, 5, 0);
  ra->addWidget(txtSquadNo_, 5, 1);
  rg->addWidget(fraAbility, 0, 0);
  auto* special = make<QGroupBox>(ratingPage, "fraRatings");
  special->setTitle(QStringLiteral("Special rating Values"));
  auto* sv = new QVBoxLayout(special);
  sv->addWidget(label(special, QStringLiteral("-1 - Good Potential")));
  sv->addWidget(label(special, QStringLiteral("-2 -Massive Potential")));
  sv->addWidget(label(special, QStringLiteral("Normally given to young players")));
  rg->addWidget(special, 0, 1, Qt::AlignTop);
  rg->setRowStretch(1, 1);
  SSTab1_->addTab(ratingPage, QStringLiteral("Ratings"));

  // Page 3: the career history (its panel fills the area).
  auto* historyPage = make<QWidget>(SSTab1_, "tabHistory");
  auto* historyLay = new QVBoxLayout(historyPage);
  historyArea_ = make<QWidget>(historyPage, "historyArea");
  historyLay->addWidget(historyArea_, 1);
  SSTab1_->addTab(historyPage, QStringLiteral("History"));
  // Pages 1 and 2 are available from the start: the staff page and the
  // ratings of a non-player live there too.

  cmbClass_->addItems(toList(codes::kClass));
  cmbClassification_->addItems(toList(codes::kClassification));
  cmbPlaysin_->addItems(toList(codes::kSquad));

  // Input rules of the person boxes.
  auto red = [](QLineEdit* box) { return [box] { setTextColour(box, kEditColour); }; };
  for (QLineEdit* box : positions_) {
    installKeyFilter(box, kDigits);
    installSelectAll(box);
  }
  for (QLineEdit* box : {txtJoin_, txtcontractexp_}) {
    installKeyFilter(box, kDigits);
    installSelectAll(box);
  }
  for (QLineEdit* box : {txtvalue_, txtwages_}) installKeyFilter(box, kDigits);
  for (QLineEdit* box : {txtBirthyear_, txtdays_, txtCaps_, txtIntGoals_}) {
    installKeyFilter(box, kDigits, red(box));
    installSelectAll(box);
  }
  installKeyWatch(txtFirstname_, [this] {
    setTextColour(txtFirstname_, kEditColour);
    FirstNameChanged = true;
  });
  installKeyWatch(txtSurname_, [this] {
    setTextColour(txtSurname_, kEditColour);
    SecondNameChanged = true;
  });
  for (QLineEdit* box : txtAtt_) installSelectAll(box);
  for (QLineEdit* box : txtStaffAtt_) installSelectAll(box);
  installSelectAll(txtClub_);

  connect(cmdSuper_, &QPushButton::clicked, this, [this] {
    for (QLineEdit* box : txtAtt_) box->setText(QStringLiteral("20"));
  });
  connect(cmdStaffSuper_, &QPushButton::clicked, this, [this] {
    for (QLineEdit* box : txtStaffAtt_) box->setText(QStringLiteral("20"));
  });
  DrawFrame3D(cmdSuper_);
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
    case Area::Squads: return squadsArea_;
    case Area::History: return historyArea_;
    case Area::Scout: return scoutArea_;
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
  lstplayers_->setEnabled(false);
  lstplayers_->clear();
  lstplayers_->addItems(rows);
  lstplayers_->setEnabled(true);
}

void TolvPlayer::blacken() {
  for (QLineEdit* box : {txtFirstname_, txtSurname_, txtIntGoals_, txtCaps_, txtBirthyear_, txtdays_})
    setNormalColour(box);
}

void TolvPlayer::showPlayerPages(bool player) {
  if (player) {
    fraMental_->setEnabled(true);
    PicStaffAtt_->hide();
    picPositions_->show();
    lblFormation_->setEnabled(false);
    cmbFormation_->setEnabled(false);
    SSTab1_->setTabEnabled(1, true);
    SSTab1_->setTabEnabled(2, true);
    txtSquadNo_->show();
    lblSquadNo_->show();
  } else {
    picPositions_->hide();
    PicStaffAtt_->show();
    lblFormation_->setEnabled(true);
    cmbFormation_->setEnabled(true);
    fraMental_->setEnabled(false);
    txtSquadNo_->hide();
    lblSquadNo_->hide();
  }
}

void TolvPlayer::fillBoxes(const people::PersonForm& f) {
  lblID_->setText(QString::number(f.personId));
  lblID_->repaint();
  txtFirstnamid_->setText(q8(f.firstNameId));
  txtsurnameid_->setText(q8(f.secondNameId));
  txtSurname_->setText(q8(f.secondName));
  txtFirstname_->setText(q8(f.firstName));
  txtCommon_->setText(q8(f.commonName));
  choose(cmbnations_, f.nation);
  choose(cmbnations2_, f.secondNation);
  txtIntGoals_->setText(q8(f.intGoals));
  txtCaps_->setText(q8(f.caps));
  txtBirthyear_->setText(q8(f.birthYear));
  txtdays_->setText(q8(f.birthDay));
  txtcontractexp_->setText(q8(f.contractExpiry));
  txtvalue_->setText(q8(f.value));
  txtwages_->setText(q8(f.wage));
  txtJoin_->setText(q8(f.contractJoin));
  txtID2_->setText(q8(f.playerAttIndex));
  txtID3_->setText(q8(f.staffAttIndex));
  for (size_t k = 0; k < 8; ++k) mental_[k]->setText(q8(f.mental[k]));
  choose(cmbClass_, f.classCode);
  choose(cmbPlaysin_, f.squadCode);
  choose(cmbClassification_, f.classificationCode);
  const std::array<const std::string*, 5> ratings = {&f.currentAbility, &f.potentialAbility, &f.homeReputation,
                                                     &f.currentReputation, &f.worldReputation};
  for (size_t k = 0; k < 5; ++k) ratings_[k]->setText(q8(*ratings[k]));
  if (f.isPlayer) {
    for (size_t k = 0; k < 12; ++k) positions_[k]->setText(q8(f.positions[k]));
    for (size_t k = 0; k < 42; ++k) txtAtt_[k]->setText(q8(f.attributes[k]));
    txtSquadNo_->setText(q8(f.squadNumber));
  } else {
    for (size_t k = 0; k < 21; ++k) txtStaffAtt_[k]->setText(q8(f.staffAttributes[k]));
    choose(cmbFormation_, f.formation);
  }
  txtClub_->setText(q8(f.clubName));
}

people::PersonForm TolvPlayer::formFromBoxes() const {
  people::PersonForm f;
  f.personId = CurrentPersonId;
  f.firstNameId = to8(txtFirstnamid_->text());
  f.secondNameId = to8(txtsurnameid_->text());
  f.firstName = to8(txtFirstname_->text());
  f.secondName = to8(txtSurname_->text());
  f.commonName = to8(txtCommon_->text());
  f.nation = cmbnations_->currentIndex();
  f.secondNation = cmbnations2_->currentIndex();
  f.intGoals = to8(txtIntGoals_->text());
  f.caps = to8(txtCaps_->text());
  f.birthYear = to8(txtBirthyear_->text());
  f.birthDay = to8(txtdays_->text());
  f.contractExpiry = to8(txtcontractexp_->text());
  f.contractJoin = to8(txtJoin_->text());
  f.value = to8(txtvalue_->text());
  f.wage = to8(txtwages_->text());
  f.playerAttIndex = to8(txtID2_->text());
  f.staffAttIndex = to8(txtID3_->text());
  for (size_t k = 0; k < 8; ++k) f.mental[k] = to8(mental_[k]->text());
  f.classCode = cmbClass_->currentIndex();
  f.squadCode = cmbPlaysin_->currentIndex();
  f.classificationCode = cmbClassification_->currentIndex();
  f.isPlayer = picPositions_->isVisibleTo(SSTab1_->widget(1));
  std::array<std::string*, 5> ratings = {&f.currentAbility, &f.potentialAbility, &f.homeReputation,
                                         &f.currentReputation, &f.worldReputation};
  for (size_t k = 0; k < 5; ++k) *ratings[k] = to8(ratings_[k]->text());
  for (size_t k = 0; k < 12; ++k) f.positions[k] = to8(positions_[k]->text());
  for (size_t k = 0; k < 42; ++k) f.attributes[k] = to8(txtAtt_[k]->text());
  f.squadNumber = to8(txtSquadNo_->text());
  for (size_t k = 0; k < 21; ++k) f.staffAttributes[k] = to8(txtStaffAtt_[k]->text());
  f.formation = cmbFormation_->currentIndex();
  f.clubName = to8(txtClub_->text());
  f.unknown53 = to8(txtUn_->text());
  return f;
}

void TolvPlayer::lstplayers_Click(int row) {
  if (row < 0 || row >= int(matchTable_.size())) return;
  showPerson(matchTable_[size_t(row)]);
}

void TolvPlayer::showPerson(int personId) {
  if (!db_.isOpen() || personId < 0) return;
  WaitCursor wait;
  SSTab1_->setEnabled(false);
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
    if (cmbTransclub_->currentIndex() >= 0) cmdTransfer_->setEnabled(true);
    SelectPersonPending = false;
    lstStaff_->clear();
    lstSquad_->clear();
    txtClub_->clear();
  }
  SSTab1_->setEnabled(true);
}

void TolvPlayer::showStaffMember(int personId) {
  NewPlayerMode = false;
  cmdTransfer_->setEnabled(false);
  if (!db_.isOpen() || personId < 0) {
    for (int t = 0; t < 3; ++t) SSTab1_->widget(t)->setEnabled(false);
    return;
  }
  for (int t = 0; t < 3; ++t) SSTab1_->widget(t)->setEnabled(true);
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
  if (lblID_->text().isEmpty()) return;
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
  txtFirstnamid_->setText(QString::number(s.FirstNameId()));
  txtsurnameid_->setText(QString::number(s.SecondNameId()));
}

void TolvPlayer::cmdSearch_Click() {
  if (!db_.isOpen()) return;
  cmdSearch_->setDefault(false);
  WaitCursor wait;
  constexpr int kMaxRows = 500;
  setMatches(search::findNames(db_.PersonNameTable, db_.PeopleCount(), to8(txtSearch_->text()), kMaxRows));
  if (int(matchTable_.size()) >= kMaxRows)
    setStatusText(QStringLiteral("500 Matches , please refine search"));
  else
    setStatusText(QStringLiteral("%1 Matches").arg(matchTable_.size()));
}

void TolvPlayer::setOpenedState() {
  cmdOpen_->setEnabled(false);
  txtpath_->setEnabled(false);
  for (QWidget* w : std::initializer_list<QWidget*>{cmdSearch_, cmdNewPlayer_, cmdUpdate_, cmdScoutOpt_, txtSearch_,
                                                    cmbSquad_, cmbTransclub_, lstplayers_, lstSquad_, lstTranssquad_,
                                                    lstStaff_, SSTab1_})
    w->setEnabled(true);
  txtSearch_->setFocus();
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
  const std::string gameDirPath = nativePath(gameDir);

  bool ok = false;
  try {
    ok = db_.beginOpen(gameDirPath);
  } catch (const std::exception& e) {
    if (db_.OpenError.empty()) db_.OpenError = e.what();
  }
  if (ok && !recoverUnclosedRun(gameDirPath)) return;

  if (ok) {
    WaitCursor wait;
    try {
      runProgressDialog(this, "frmLoad", QStringLiteral("Splicing Database Please Wait"), "pbrSplice",
                        [&](const Progress& p) { ok = db_.filechop(p); });
      if (ok) ok = db_.measureFiles();
    } catch (const std::exception& e) {
      if (db_.OpenError.empty()) db_.OpenError = e.what();
      ok = false;
    }
  }
  if (!ok) {
    QString err = QString::fromLocal8Bit(db_.OpenError.empty() ? std::string(kWrongPathMessage) : db_.OpenError);
    db_.abortOpen();
    message(this, err);
    return;
  }

  try {
    WaitCursor wait;
    setWindowTitle(caption(" Opening Data Files"));
    db_.openRecordFiles();
    db_.loadNameLists();
    names_->reload(db_);
    for (Panel* p : panels_) p->databaseOpened();
    setWindowTitle(caption(" Initializing Player Database"));
    db_.buildPersonNameTable();
    setWindowTitle(QString::fromLatin1(kCaption));
  } catch (const std::exception& e) {
    setWindowTitle(QString::fromLatin1(kCaption));
    db_.abortOpen();
    message(this, QString::fromLocal8Bit(e.what()));
    return;
  }
  setOpenedState();
}

bool TolvPlayer::recoverUnclosedRun(const std::string& gameDirPath) {
  if (!Database::hasLeftoverWorkingFiles(gameDirPath)) return true;
  if (!ask(this, QStringLiteral("The editor was not closed properly last time, and its changes are still in the "
                                "working files. Put them back into the database before opening?")))
    return true;  // opening makes new working files over the old ones
  try {
    WaitCursor wait;
    runProgressDialog(this, "frmRecon", QStringLiteral("Reconstructing Database Please Wait"), "pbrRecon",
                      [&](const Progress& p) { db_.recoverLeftovers(p); });
  } catch (const std::exception& e) {
    // The working files stay as they are, so that nothing is lost.
    db_.abortOpen();
    message(this, QStringLiteral("The changes of the last run could not be put back (%1). Nothing was opened.")
                      .arg(QString::fromLocal8Bit(e.what())));
    return false;
  }
  return true;
}

void TolvPlayer::closeEvent(QCloseEvent* event) {
  if (db_.isOpen()) {
    for (Panel* p : panels_) p->databaseClosing();
    try {
      WaitCursor wait;
      runProgressDialog(this, "frmRecon", QStringLiteral("Reconstructing Database Please Wait"), "pbrRecon",
                        [&](const Progress& p) { db_.close(p); });
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
