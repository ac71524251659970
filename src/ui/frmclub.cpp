#include "ui/frmclub.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTabWidget>
#include <QVBoxLayout>

#include "records/codelists.h"
#include "ui/formrules.h"
#include "ui/frmnation.h"
#include "ui/mainwindow.h"
#include "ui/messages.h"
#include "ui/worldpanel.h"
#include "ui/widgets.h"

namespace cm3::ui {

using world::caption;
using world::choose;

namespace {

// A box with its caption and tooltip in the next row of a grid.
template <class W>
W* field(QWidget* parent, QGridLayout* grid, int row, int col, const char* name, const QString& text,
         const QString& tip = {}, const char* labelName = nullptr) {
  W* w = make<W>(parent, name);
  QLabel* l = caption(parent, text, labelName);
  if (!tip.isEmpty()) {
    w->setToolTip(tip);
    l->setToolTip(tip);
  }
  grid->addWidget(l, row, col);
  grid->addWidget(w, row, col + 1);
  return w;
}

constexpr const char* kKitNames[6] = {"cmbHomeText", "cmbHomeBack", "cmbAwayText",
                                      "cmbAwayBack", "cmbThirdText", "cmbThirdBack"};
constexpr const char* kKitCaptions[6] = {"Home kit Text", "Home kit Back", "Away kit Text",
                                         "Away kit Back", "Third kit Text", "Third kit Back"};

}  // namespace

FrmClub::StadiumFrame FrmClub::stadiumFrame(QWidget* parent, bool reserve) {
  StadiumFrame s;
  s.frame = make<QGroupBox>(parent, reserve ? "fraReserve" : "fraStadium");
  s.frame->setTitle(reserve ? QStringLiteral("Reserve Stadium") : QStringLiteral("Main Stadium"));
  auto* g = new QGridLayout(s.frame);
  int row = 0;
  g->addWidget(caption(s.frame, QStringLiteral("ID")), row, 0);
  s.id = make<QLabel>(s.frame, reserve ? "lblStaResID" : "lblStaID");
  g->addWidget(s.id, row++, 1);
  s.name = field<QLineEdit>(s.frame, g, row++, 0, reserve ? "txtStaResLongName" : "txtStaLongName",
                            QStringLiteral("Long Name"));
  s.city = field<QComboBox>(s.frame, g, row++, 0, reserve ? "cmbCityRes" : "cmbCity", QStringLiteral("City"),
                            QStringLiteral("The city or town that it is located in."));
  s.capacity = field<QLineEdit>(s.frame, g, row++, 0, reserve ? "txtStaResCapacity" : "txtStaCapacity",
                                QStringLiteral("Capacity"), QStringLiteral("Its total capacity."));
  s.seating = field<QLineEdit>(s.frame, g, row++, 0, reserve ? "txtStaResSeating" : "txtStaSeating",
                               QStringLiteral("Seating"), QStringLiteral("Its seating capacity."));
  s.expansion =
      field<QLineEdit>(s.frame, g, row++, 0, reserve ? "txtStaResExpansion" : "txtStaExpansion",
                       QStringLiteral("Expansion"),
                       QStringLiteral("The number of seats by which it could be expanded in the future."));
  s.nearby = field<QComboBox>(s.frame, g, row++, 0, reserve ? "cmbStaNearRes" : "cmbStaNear",
                              QStringLiteral("Nearby Stadium"),
                              QStringLiteral("A nearby stadium that is too close to host a match at the same time."));
  s.roof = make<QCheckBox>(s.frame, reserve ? "chkRoofRes" : "chkRoof");
  s.roof->setText(QStringLiteral("Retractable Roof"));
  s.heating = make<QCheckBox>(s.frame, reserve ? "chkHeatingRes" : "chkHeating");
  s.heating->setText(QStringLiteral("Under Soil Heating"));
  g->addWidget(s.roof, row, 0);
  g->addWidget(s.heating, row++, 1);
  s.name->setMaxLength(51);
  for (QLineEdit* box : {s.capacity, s.seating, s.expansion}) installKeyFilter(box, kDigits);
  for (QComboBox* c : {s.city, s.nearby}) world::makeClearable(c);
  g->setColumnStretch(1, 1);
  g->setRowStretch(row + 1, 1);
  return s;
}

FrmClub::FrmClub(TolvPlayer* main, FrmComp* comp, FrmNation* nation) : main_(main), comp_(comp), nation_(nation) {
  setObjectName(QStringLiteral("frmClub"));
  setWindowTitle(QStringLiteral("Club Info"));
  setModal(true);

  SSTab1_ = make<QTabWidget>(this, "SSTab1");

  // Page 0: the club.
  auto* clubPage = make<QWidget>(SSTab1_, "tabClub");
  auto* g = new QGridLayout(clubPage);
  g->addWidget(caption(clubPage, QStringLiteral("ID")), 0, 0);
  lblID_ = make<QLabel>(clubPage, "lblID");
  g->addWidget(lblID_, 0, 1);
  txtLongName_ = field<QLineEdit>(clubPage, g, 1, 0, "txtLongName", QStringLiteral("Long Name"),
                                  QStringLiteral("The full name of the club."));
  txtShortName_ = field<QLineEdit>(clubPage, g, 1, 2, "txtShortName", QStringLiteral("Short Name"),
                                   QStringLiteral("The shorter more commonly used name of the club."));
  cmbStatus_ =
      field<QComboBox>(clubPage, g, 2, 0, "cmbStatus", QStringLiteral("Status"),
                       QStringLiteral("Its professional status (professional, semi-professional, or amateur)."));
  cmbNation_ = field<QComboBox>(clubPage, g, 2, 2, "cmbNation", QStringLiteral("Nation"),
                                QStringLiteral("The nation whose competitions it plays in."));
  cmbDivision_ = field<QComboBox>(clubPage, g, 3, 0, "cmbDivision", QStringLiteral("Division"),
                                  QStringLiteral("The league division it plays in."), "lblDivision");
  cmbOtherDivision_ =
      field<QComboBox>(clubPage, g, 3, 2, "cmbOtherDivision", QStringLiteral("Reserve Div"),
                       QStringLiteral("The other division a team plays in (or can play in)."), "lblOtherDivision");
  cmbLastDivision_ =
      field<QComboBox>(clubPage, g, 4, 0, "cmbLastDivision", QStringLiteral("Last Div"), {}, "lblLastDivision");
  txtLastPos_ = field<QLineEdit>(clubPage, g, 4, 2, "txtLastPos", QStringLiteral("Last Pos"));
  txtCash_ = field<QLineEdit>(
      clubPage, g, 5, 0, "txtCash", QStringLiteral("Cash"),
      QStringLiteral("The approximate amount of cash in English pounds it currently has available for new staff."));
  cmbHomeMatch_ = field<QComboBox>(
      clubPage, g, 5, 2, "cmbHomeMatch", QStringLiteral("Home Match  Day"),
      QStringLiteral("The day of the week it plays its home matches, if different from the normal match day."));
  txtTrainingFacility_ = field<QLineEdit>(
      clubPage, g, 6, 0, "txtTrainingFacility", QStringLiteral("Training Facility"),
      QStringLiteral("A rating indicating the standard of the club's training facilities on a world scale of 1-20, "
                     "where 1=the worst training facilities in a competitive league anywhere in the world ever, and "
                     "20=the best training facilities in a competitive league anywhere in the world ever."));
  txtClubReputation_ = field<QLineEdit>(
      clubPage, g, 6, 2, "txtClubReputation", QStringLiteral("Club Reputation"),
      QStringLiteral("A rating indicating the reputation of its team on a world scale of 1-20, where 1=the worst "
                     "club team in a competitive league anywhere in the world ever, and 20=the best club team in a "
                     "competitive league anywhere in the world ever."));
  txtAvgAttendance_ = field<QLineEdit>(clubPage, g, 7, 0, "txtAvgAttendance", QStringLiteral("Avg Attendance"),
                                       QStringLiteral("Its average expected home attendance in its current situation."));
  txtMinAttendance_ =
      field<QLineEdit>(clubPage, g, 8, 0, "txtMinAttendance", QStringLiteral("Min Attendance"),
                       QStringLiteral("Its average expected home attendance in its worst foreseeable situation."));
  txtMaxAttendance_ =
      field<QLineEdit>(clubPage, g, 8, 2, "txtMaxAttendance", QStringLiteral("Max Attendance"),
                       QStringLiteral("Its average expected home attendance in its best foreseeable situation."));
  lblDivision_ = findChild<QLabel*>(QStringLiteral("lblDivision"));
  lblLastDivision_ = findChild<QLabel*>(QStringLiteral("lblLastDivision"));
  lblOtherDivision_ = findChild<QLabel*>(QStringLiteral("lblOtherDivision"));
  g->setColumnStretch(1, 1);
  g->setColumnStretch(3, 1);
  g->setRowStretch(9, 1);
  SSTab1_->addTab(clubPage, QStringLiteral("Club"));

  // Page 1: the stadiums.
  auto* stadiumPage = make<QWidget>(SSTab1_, "tabStadium");
  auto* sp = new QHBoxLayout(stadiumPage);
  main_stadium_ = stadiumFrame(stadiumPage, false);
  reserve_ = stadiumFrame(stadiumPage, true);
  chkOwnClub_ = make<QCheckBox>(main_stadium_.frame, "chkOwnClub");
  chkOwnClub_->setText(QStringLiteral("Club Owns Stadium"));
  chkOwnClub_->setToolTip(QStringLiteral("Whether Club Owns Stadium"));
  static_cast<QGridLayout*>(main_stadium_.frame->layout())->addWidget(chkOwnClub_, 8, 0, 1, 2);
  sp->addWidget(main_stadium_.frame, 1);
  sp->addWidget(reserve_.frame, 1);
  SSTab1_->addTab(stadiumPage, QStringLiteral("Stadium"));

  // Page 2: kits, rivals and people.
  auto* kitPage = make<QWidget>(SSTab1_, "tabKits");
  auto* kp = new QGridLayout(kitPage);
  for (int k = 0; k < 6; ++k) {
    kits_[size_t(k)] = field<QComboBox>(kitPage, kp, k / 2, (k % 2) * 2, kKitNames[k],
                                        QString::fromLatin1(kKitCaptions[k]));
  }
  for (int k = 0; k < 3; ++k) {
    rivals_[size_t(k)] = field<QComboBox>(kitPage, kp, 3 + k, 0, QString(QStringLiteral("cmbRival%1").arg(k + 1))
                                                                     .toLatin1()
                                                                     .constData(),
                                          QStringLiteral("Rival Club %1").arg(k + 1));
  }
  lstLiked_ = make<QListWidget>(kitPage, "lstLiked");
  lstDisliked_ = make<QListWidget>(kitPage, "lstDisliked");
  kp->addWidget(caption(kitPage, QStringLiteral("Favourite Players/Staff")), 6, 0, 1, 2);
  kp->addWidget(caption(kitPage, QStringLiteral("Disliked Players/Staff")), 6, 2, 1, 2);
  kp->addWidget(lstLiked_, 7, 0, 1, 2);
  kp->addWidget(lstDisliked_, 7, 2, 1, 2);
  for (QListWidget* l : {lstLiked_, lstDisliked_}) l->setMaximumHeight(80);
  kp->setColumnStretch(1, 1);
  kp->setColumnStretch(3, 1);
  kp->setRowStretch(8, 1);
  SSTab1_->addTab(kitPage, QStringLiteral("Kits && People"));

  cmdAddNew_ = make<QPushButton>(this, "cmdAddNew");
  cmdAddNew_->setText(QStringLiteral("Add New Club"));
  cmdUpdate_ = make<QPushButton>(this, "cmdUpdate");
  cmdUpdate_->setText(QStringLiteral("Update"));
  cmdOk_ = make<QPushButton>(this, "cmdOk");
  cmdOk_->setText(QStringLiteral("O&K"));
  for (QPushButton* b : {cmdAddNew_, cmdUpdate_, cmdOk_}) b->setAutoDefault(false);
  auto* lay = new QVBoxLayout(this);
  lay->setSpacing(10);
  lay->addWidget(SSTab1_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdAddNew_);
  buttons->addStretch(1);
  buttons->addWidget(cmdUpdate_);
  buttons->addWidget(cmdOk_);
  lay->addLayout(buttons);

  // Fixed lists, field limits, input rules.
  cmbStatus_->addItems(toList(codes::kClubStatus));
  cmbHomeMatch_->addItems(toList(codes::kHomeMatchDay));
  for (QComboBox* c : {cmbNation_, cmbDivision_, cmbLastDivision_, cmbOtherDivision_, cmbHomeMatch_})
    world::makeClearable(c);
  for (QComboBox* c : rivals_) world::makeClearable(c);
  txtLongName_->setMaxLength(51);
  txtShortName_->setMaxLength(27);
  for (QLineEdit* box : {txtLastPos_, txtTrainingFacility_, txtClubReputation_}) {
    box->setMaxLength(2);
    installSelectAll(box);
  }
  for (QLineEdit* box : {txtAvgAttendance_, txtCash_, txtLastPos_, txtMaxAttendance_, txtMinAttendance_,
                         txtTrainingFacility_})
    installKeyFilter(box, kDigits);

  for (QLabel* l : {lblDivision_, lblLastDivision_, lblOtherDivision_}) l->installEventFilter(this);
  connect(cmdAddNew_, &QPushButton::clicked, this, &FrmClub::cmdAddNew_Click);
  connect(cmdUpdate_, &QPushButton::clicked, this, [this] { cmdUpdate_Click(); });
  connect(cmdOk_, &QPushButton::clicked, this, &FrmClub::cmdOk_Click);
}

void FrmClub::Form_Load() {
  const Database& db = main_->database();
  adjustSize();
  CentreOverMain(this, main_);

  // The colour rows: the six kit lists share one list of rows; the two
  // colour lists of the competition window get theirs while they are empty.
  colours_ = world::colourModel(this, db.colours);
  for (QComboBox* k : kits_) {
    k->setModel(colours_);
    k->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    k->setMinimumContentsLength(14);
  }
  for (const char* name : {"cmbBackground", "cmbForeground"})
    if (auto* c = comp_->findChild<QComboBox*>(QString::fromLatin1(name)); c && c->count() == 0)
      world::addColourRows(c, db.colours);

  if (cmbNation_->count() > 0) return;
  for (QWidget* w : std::initializer_list<QWidget*>{cmdAddNew_, cmdUpdate_, cmdOk_, SSTab1_}) DrawFrame3D(w);

  cmbNation_->setModel(main_->nationModel());
  if (auto* c = comp_->findChild<QComboBox*>(QStringLiteral("cmbNation")); c && c->count() == 0)
    c->setModel(main_->nationModel());
  divisions_ = new QStringListModel(toList(db.compNames), this);
  for (QComboBox* c : {cmbDivision_, cmbLastDivision_, cmbOtherDivision_}) c->setModel(divisions_);
  for (QComboBox* c : rivals_) c->setModel(main_->clubModel());

  main_stadium_.city->addItems(toList(db.cityNames));
  QComboBox* nationCity = nation_->findChild<QComboBox*>(QStringLiteral("cmbCity"));
  CopyComboItems(main_stadium_.city, {reserve_.city});
  if (nationCity && nationCity->count() == 0) CopyComboItems(main_stadium_.city, {nationCity});
  main_stadium_.nearby->addItems(toList(db.stadiumNames));
  QComboBox* nationStadium = nation_->findChild<QComboBox*>(QStringLiteral("cmbNatStadium"));
  CopyComboItems(main_stadium_.nearby, {reserve_.nearby});
  if (nationStadium && nationStadium->count() == 0) CopyComboItems(main_stadium_.nearby, {nationStadium});
  for (QComboBox* c : {main_stadium_.city, main_stadium_.nearby, reserve_.city, reserve_.nearby})
    c->setCurrentIndex(-1);
}

void FrmClub::fillStadium(const StadiumFrame& w, const clubs::StadiumForm& f) {
  w.id->setText(q8(f.id));
  w.name->setText(q8(f.name));
  choose(w.city, f.city);
  w.capacity->setText(q8(f.capacity));
  w.seating->setText(q8(f.seating));
  w.expansion->setText(q8(f.expansion));
  choose(w.nearby, f.nearby);
  w.roof->setChecked(f.roof);
  w.heating->setChecked(f.heating);
}

clubs::StadiumForm FrmClub::stadiumForm(const StadiumFrame& w) const {
  clubs::StadiumForm f;
  f.id = to8(w.id->text());
  f.name = to8(w.name->text());
  f.city = w.city->currentIndex();
  f.capacity = to8(w.capacity->text());
  f.seating = to8(w.seating->text());
  f.expansion = to8(w.expansion->text());
  f.nearby = w.nearby->currentIndex();
  f.roof = w.roof->isChecked();
  f.heating = w.heating->isChecked();
  return f;
}

void FrmClub::fill(const clubs::ClubForm& f) {
  // The stadium tab and the reserve frame stay available, so that a club
  // without a stadium can be given one by typing its name.
  SSTab1_->setTabEnabled(1, true);
  reserve_.frame->setEnabled(true);
  fillStadium(main_stadium_, f.main);
  fillStadium(reserve_, f.reserve);
  txtLongName_->setText(q8(f.longName));
  txtShortName_->setText(q8(f.shortName));
  choose(cmbNation_, f.nation);
  choose(cmbDivision_, f.division);
  choose(cmbLastDivision_, f.lastDivision);
  choose(cmbOtherDivision_, f.otherDivision);
  txtLastPos_->setText(q8(f.lastPosition));
  choose(cmbHomeMatch_, f.homeMatchDay);
  choose(cmbStatus_, f.status);
  txtCash_->setText(q8(f.cash));
  txtAvgAttendance_->setText(q8(f.avgAttendance));
  txtMinAttendance_->setText(q8(f.minAttendance));
  txtMaxAttendance_->setText(q8(f.maxAttendance));
  txtTrainingFacility_->setText(q8(f.trainingFacility));
  txtClubReputation_->setText(q8(f.reputation));
  for (size_t k = 0; k < 6; ++k) choose(kits_[k], f.kits[k]);
  for (size_t k = 0; k < 3; ++k) choose(rivals_[k], f.rivals[k]);
  lstLiked_->clear();
  lstDisliked_->clear();
  lstLiked_->addItems(toList(f.liked));
  lstDisliked_->addItems(toList(f.disliked));
  lblID_->setText(q8(f.id));
  chkOwnClub_->setChecked(f.ownsStadium);
  for (QLineEdit* box : findChildren<QLineEdit*>()) box->setCursorPosition(0);
}

clubs::ClubForm FrmClub::form() const {
  clubs::ClubForm f;
  f.id = to8(lblID_->text());
  f.longName = to8(txtLongName_->text());
  f.shortName = to8(txtShortName_->text());
  f.status = cmbStatus_->currentIndex();
  f.nation = cmbNation_->currentIndex();
  f.division = cmbDivision_->currentIndex();
  f.lastDivision = cmbLastDivision_->currentIndex();
  f.otherDivision = cmbOtherDivision_->currentIndex();
  f.lastPosition = to8(txtLastPos_->text());
  f.cash = to8(txtCash_->text());
  f.trainingFacility = to8(txtTrainingFacility_->text());
  f.reputation = to8(txtClubReputation_->text());
  f.homeMatchDay = cmbHomeMatch_->currentIndex();
  f.avgAttendance = to8(txtAvgAttendance_->text());
  f.minAttendance = to8(txtMinAttendance_->text());
  f.maxAttendance = to8(txtMaxAttendance_->text());
  for (size_t k = 0; k < 6; ++k) f.kits[k] = kits_[k]->currentIndex();
  for (size_t k = 0; k < 3; ++k) f.rivals[k] = rivals_[k]->currentIndex();
  for (int i = 0; i < lstLiked_->count(); ++i) f.liked.push_back(to8(lstLiked_->item(i)->text()));
  for (int i = 0; i < lstDisliked_->count(); ++i) f.disliked.push_back(to8(lstDisliked_->item(i)->text()));
  f.ownsStadium = chkOwnClub_->isChecked();
  f.main = stadiumForm(main_stadium_);
  f.reserve = stadiumForm(reserve_);
  return f;
}

void FrmClub::showClub() { fill(clubs::loadClub(main_->database(), main_->ClickTeamID)); }

void FrmClub::openClub() {
  showClub();
  exec();
}

void FrmClub::cmdAddNew_Click() {
  cmdAddNew_->setEnabled(false);
  NewClub = true;
  fill(clubs::newClubForm(main_->database(), form()));
}

bool FrmClub::cmdUpdate_Click() {
  if (NewClub && !ask(this, QString::fromLatin1(clubs::kAddNewClubQuestion))) return false;
  clubs::UpdateResult result;
  try {
    result = clubs::updateClub(main_->database(), main_->ClickTeamID, NewClub, form());
  } catch (const clubs::UpdateError& e) {
    message(this, q8(e.message()));
    if (auto* box = findChild<QLineEdit*>(QString::fromStdString(e.box()))) box->setFocus();
    return false;
  } catch (const std::exception& e) {
    message(this, QString::fromLocal8Bit(e.what()));
    return false;
  }
  afterUpdate(result);
  return true;
}

void FrmClub::afterUpdate(const clubs::UpdateResult& result) {
  const Database& db = main_->database();
  QStringListModel* clubs = main_->clubModel();
  if (result.created) {
    // A new last row of the club lists; its row number is the new club's index.
    const int row = clubs->rowCount();
    if (row == result.clubId && clubs->insertRows(row, 1))
      clubs->setData(clubs->index(row), q8(result.newClubName));
    NewClub = false;
    // The window now shows the new club, so a further Update writes to it.
    main_->ClickTeamID = result.clubId;
  } else if (result.clubId >= 0 && result.clubId < clubs->rowCount()) {
    clubs->setData(clubs->index(result.clubId), q8(db.clubNames[size_t(result.clubId)]));
  }
  // New stadiums become rows of the stadium lists.
  QComboBox* nationStadium = nation_->findChild<QComboBox*>(QStringLiteral("cmbNatStadium"));
  for (int32_t id : result.createdStadiums) {
    const QString name = q8(db.stadiumNames.size() > size_t(id) ? db.stadiumNames[size_t(id)] : std::string());
    for (QComboBox* c : {main_stadium_.nearby, reserve_.nearby, nationStadium})
      if (c && c->count() == id) c->addItem(name);
  }
  clubs::ClubForm f = form();
  clubs::showStadiumState(f, result);
  fillStadium(main_stadium_, f.main);
  fillStadium(reserve_, f.reserve);
  lblID_->setText(q8(f.id));
}

void FrmClub::cmdOk_Click() {
  NewClub = false;
  main_->update();
  accept();
}

void FrmClub::openComp(QComboBox* list, FrmComp::Source source) {
  const int row = list->currentIndex();
  if (row < 0) return;
  comp_->openOn(row, source);
  // A renamed competition shows its new name in the division lists.
  const Database& db = main_->database();
  if (divisions_ && size_t(row) < db.compNames.size() && row < divisions_->rowCount())
    divisions_->setData(divisions_->index(row), q8(db.compNames[size_t(row)]));
}

void FrmClub::lblDivision_DblClick() { openComp(cmbDivision_, FrmComp::Source::Division); }
void FrmClub::lblLastDivision_DblClick() { openComp(cmbLastDivision_, FrmComp::Source::LastDivision); }
void FrmClub::lblOtherDivision_DblClick() { openComp(cmbOtherDivision_, FrmComp::Source::OtherDivision); }

bool FrmClub::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    if (watched == lblDivision_) lblDivision_DblClick();
    else if (watched == lblLastDivision_) lblLastDivision_DblClick();
    else if (watched == lblOtherDivision_) lblOtherDivision_DblClick();
    else return QDialog::eventFilter(watched, event);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void FrmClub::closeEvent(QCloseEvent* event) {
  // The close box unloads the window: the next opening loads it afresh.
  unloaded_ = true;
  NewClub = false;
  QDialog::closeEvent(event);
}

void FrmClub::keyPressEvent(QKeyEvent* event) {
  // Escape does not close the window; O&K and the close box do.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace cm3::ui
