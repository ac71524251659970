#include "ui/mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStringListModel>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "database/settings.h"
#include "records/cp1252.h"
#include "search/namesearch.h"
#include "ui/messages.h"

namespace cm3::ui {
namespace {

QString q8(const std::string& text8) { return QString::fromStdString(cp1252::toUtf8(text8)); }
std::string to8(const QString& s) { return cp1252::fromUtf8(s.toStdString()); }

QPushButton* button(QWidget* parent, const char* name, const QString& text, const QString& tip = {}) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::fromLatin1(name));
  if (!tip.isEmpty()) b->setToolTip(tip);
  return b;
}

template <class W>
W* named(QWidget* parent, const char* name) {
  auto* w = new W(parent);
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

QStringList toList(const std::vector<std::string>& names) {
  QStringList out;
  out.reserve(qsizetype(names.size()));
  for (const auto& n : names) out << q8(n);
  return out;
}

// A modal progress dialog whose work runs once it is shown, then closes it.
void runProgressDialog(QWidget* parent, const char* name, const QString& text, const char* barName,
                       const std::function<void(const Progress&)>& work) {
  QDialog dlg(parent);
  dlg.setObjectName(QString::fromLatin1(name));
  dlg.setWindowTitle(QStringLiteral("TOLVEDIT"));
  auto* lay = new QVBoxLayout(&dlg);
  auto* lbl = named<QLabel>(&dlg, "lblRecon");
  lbl->setText(text);
  auto* bar = named<QProgressBar>(&dlg, barName);
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

struct WaitCursor {
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

TolvPlayer::TolvPlayer(const QString& programDir, QWidget* parent) : QMainWindow(parent), programDir_(programDir) {
  setObjectName(QStringLiteral("TOLVPLAYER"));
  setWindowTitle(QString::fromLatin1(kCaption));

  auto* central = new QWidget(this);
  setCentralWidget(central);
  auto* grid = new QGridLayout(central);

  txtpath_ = named<QLineEdit>(central, "txtpath");
  cmdOpen_ = button(central, "cmdOpen", QStringLiteral("Open"));
  txtSearch_ = named<QLineEdit>(central, "txtSearch");
  cmdSearch_ = button(central, "cmdSearch", QStringLiteral("&Search"),
                      QStringLiteral("Search for player by name or players by club"));
  cmdNewPlayer_ = button(central, "cmdNewPlayer", QStringLiteral("&Add Player"));
  cmdUpdate_ = button(central, "cmdUpdate", QStringLiteral("&Update"), QStringLiteral("Update Player / Save Changes"));
  cmdScoutOpt_ = button(central, "cmdScoutOpt", QStringLiteral("Scout &Opts"));
  cmdScout_ = button(central, "cmdScout", QStringLiteral("S&cout"), QStringLiteral("Activate scout search"));
  cmdTransfer_ = button(central, "cmdTransfer", QStringLiteral("&Transfer"));
  cmdRetire_ = button(central, "cmdRetire", QStringLiteral("&Retire Player"), QStringLiteral("Not Yet Implemented"));
  cmbSquad_ = named<QComboBox>(central, "cmbSquad");
  cmbTransclub_ = named<QComboBox>(central, "cmbTransclub");
  lstplayers_ = named<QListWidget>(central, "lstplayers");
  lstSquad_ = named<QListWidget>(central, "lstSquad");
  lstTranssquad_ = named<QListWidget>(central, "lstTranssquad");
  lstStaff_ = named<QListWidget>(central, "lstStaff");

  SSTab1_ = named<QTabWidget>(central, "SSTab1");
  auto* personPage = new QWidget(SSTab1_);
  auto* personLay = new QGridLayout(personPage);
  cmbnations_ = named<QComboBox>(personPage, "cmbnations");
  cmbnations2_ = named<QComboBox>(personPage, "cmbnations2");
  personLay->addWidget(new QLabel(QStringLiteral("Nation"), personPage), 0, 0);
  personLay->addWidget(cmbnations_, 0, 1);
  personLay->addWidget(new QLabel(QStringLiteral("Second nation"), personPage), 1, 0);
  personLay->addWidget(cmbnations2_, 1, 1);
  SSTab1_->addTab(personPage, QStringLiteral("Personal"));
  auto* historyPage = new QWidget(SSTab1_);
  auto* historyLay = new QVBoxLayout(historyPage);
  cmbHistClub_ = named<QComboBox>(historyPage, "cmbHistClub");
  historyLay->addWidget(cmbHistClub_);
  SSTab1_->addTab(historyPage, QStringLiteral("History"));
  historyArea_ = new QWidget(historyPage);
  historyArea_->setObjectName(QStringLiteral("historyArea"));
  historyLay->addWidget(historyArea_);
  squadsArea_ = new QWidget(central);
  squadsArea_->setObjectName(QStringLiteral("squadsArea"));
  scoutArea_ = new QWidget(central);
  scoutArea_->setObjectName(QStringLiteral("scoutArea"));

  grid->addWidget(txtpath_, 0, 0, 1, 3);
  grid->addWidget(cmdOpen_, 0, 3);
  grid->addWidget(txtSearch_, 1, 0, 1, 2);
  grid->addWidget(cmdSearch_, 1, 2);
  grid->addWidget(cmdNewPlayer_, 1, 3);
  grid->addWidget(lstplayers_, 2, 0, 3, 1);
  grid->addWidget(SSTab1_, 2, 1, 3, 3);
  grid->addWidget(cmbSquad_, 5, 0);
  grid->addWidget(lstSquad_, 6, 0);
  grid->addWidget(lstStaff_, 7, 0);
  grid->addWidget(cmbTransclub_, 5, 1);
  grid->addWidget(lstTranssquad_, 6, 1);
  auto* buttons = new QHBoxLayout;
  for (auto* b : {cmdUpdate_, cmdScoutOpt_, cmdScout_, cmdTransfer_, cmdRetire_}) buttons->addWidget(b);
  grid->addLayout(buttons, 8, 0, 1, 4);
  grid->addWidget(squadsArea_, 7, 1, 1, 3);
  grid->addWidget(scoutArea_, 9, 0, 1, 4);

  nationModel_ = new QStringListModel(this);
  clubModel_ = new QStringListModel(this);
  continentModel_ = new QStringListModel(this);
  cmbnations_->setModel(nationModel_);
  cmbnations2_->setModel(nationModel_);
  cmbSquad_->setModel(clubModel_);
  cmbTransclub_->setModel(clubModel_);
  cmbHistClub_->setModel(clubModel_);

  statusBar()->setObjectName(QStringLiteral("ccrpStatusBar"));
  statusPanel_ = named<QLabel>(statusBar(), "ccrpStatusBar_panel1");
  statusBar()->addPermanentWidget(statusPanel_, 1);

  for (QWidget* w : std::initializer_list<QWidget*>{cmdSearch_, cmdNewPlayer_, cmdUpdate_, cmdScoutOpt_, txtSearch_,
                                                    cmbSquad_, cmbTransclub_, lstplayers_, lstSquad_, lstTranssquad_,
                                                    lstStaff_, cmdScout_, cmdTransfer_, cmdRetire_, SSTab1_})
    w->setEnabled(false);

  if (auto saved = readSettings(programDir_.toStdString())) txtpath_->setText(q8(*saved));

  connect(cmdOpen_, &QPushButton::clicked, this, &TolvPlayer::cmdOpen_Click);
  connect(cmdSearch_, &QPushButton::clicked, this, &TolvPlayer::cmdSearch_Click);
  connect(txtSearch_, &QLineEdit::textChanged, this, [this] {
    cmdSearch_->setAutoDefault(true);
    cmdSearch_->setDefault(true);
  });
  connect(txtSearch_, &QLineEdit::returnPressed, this, &TolvPlayer::cmdSearch_Click);

  installPanels();

  resize(900, 650);
  if (QScreen* s = QGuiApplication::primaryScreen()) move(s->availableGeometry().center() - rect().center());
}

Panel::Panel(TolvPlayer* window) : QObject(window), window_(window) {}

void TolvPlayer::installPanels() {
  // One line per panel: panels_.push_back(new SomePanel(this));
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
  lstplayers_->clear();
  for (int id : matchTable_) lstplayers_->addItem(q8(db_.personName(id)));
}

void TolvPlayer::showPerson(int personId) {
  CurrentPersonId = personId;
  for (Panel* p : panels_) p->personShown(personId);
}

void TolvPlayer::cmdOpen_Click() {
  QString gameDir = txtpath_->text();
  if (!gameDir.isEmpty()) {
    try {
      writeSettings(programDir_.toStdString(), to8(gameDir));
    } catch (const FileError&) {
      // The settings file is only a convenience; opening goes on without it.
    }
  } else {
    gameDir = programDir_;
  }
  const std::string dir8 = to8(gameDir);

  bool ok = false;
  {
    WaitCursor wait;
    try {
      runProgressDialog(this, "frmLoad", QStringLiteral("Splicing Database Please Wait"), "pbrSplice",
                        [&](const Progress& p) { ok = db_.beginOpen(dir8) && db_.filechop(p); });
      if (ok) ok = db_.measureFiles();
    } catch (const std::exception& e) {
      if (db_.OpenError.empty()) db_.OpenError = e.what();
      ok = false;
    }
  }
  if (!ok) {
    QString err = q8(db_.OpenError.empty() ? std::string(kWrongPathMessage) : db_.OpenError);
    db_.abortOpen();
    message(this, err);
    return;
  }

  try {
    WaitCursor wait;
    setWindowTitle(QString::fromLatin1(kCaption) + QStringLiteral(" Opening Data Files"));
    db_.openRecordFiles();
    db_.loadNameLists();
    nationModel_->setStringList(toList(db_.nationNames));
    clubModel_->setStringList(toList(db_.clubNames));
    continentModel_->setStringList(toList(db_.continentNames));
    setWindowTitle(QString::fromLatin1(kCaption) + QStringLiteral(" Initializing Player Database"));
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

void TolvPlayer::setOpenedState() {
  cmdOpen_->setEnabled(false);
  txtpath_->setEnabled(false);
  for (QWidget* w : std::initializer_list<QWidget*>{cmdSearch_, cmdNewPlayer_, cmdUpdate_, cmdScoutOpt_, txtSearch_,
                                                    cmbSquad_, cmbTransclub_, lstplayers_, lstSquad_, lstTranssquad_,
                                                    lstStaff_, SSTab1_})
    w->setEnabled(true);
  txtSearch_->setFocus();
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

void TolvPlayer::closeEvent(QCloseEvent* event) {
  if (!txtpath_->isEnabled()) {
    try {
      WaitCursor wait;
      runProgressDialog(this, "frmRecon", QStringLiteral("Reconstructing Database Please Wait"), "pbrRecon",
                        [&](const Progress& p) { db_.close(p); });
    } catch (const FileError& e) {
      message(this, QStringLiteral("The database could not be written back (%1). Your changes remain in the working "
                                   "files and are recovered at the next Open.")
                        .arg(QString::fromLocal8Bit(e.what())));
    }
    txtpath_->setEnabled(true);
  }
  event->accept();
}

}  // namespace cm3::ui
