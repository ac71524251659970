// screenshot GAMEDIR OUTDIR — opens GAMEDIR in the editor, shows its first
// player with a club and saves pictures of the main window and of the club
// (three pages), competition and nation windows into OUTDIR, for the
// documentation.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "ui/worldpanel.h"
#include "ui/mainwindow.h"

using namespace cm3::ui;

namespace {

WorldPanel* worldPanel(TolvPlayer& w) {
  for (Panel* p : w.panels())
    if (auto* world = qobject_cast<WorldPanel*>(p)) return world;
  return nullptr;
}

bool save(QWidget* window, const QDir& out, const char* name) {
  window->show();
  QApplication::processEvents();
  return window->grab().save(out.filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: screenshot GAMEDIR OUTDIR\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[2]));
  QTemporaryDir programDir;
  TolvPlayer w(programDir.path());
  w.show();
  w.findChild<QLineEdit*>(QStringLiteral("txtpath"))->setText(QString::fromLocal8Bit(argv[1]));
  w.cmdOpen_Click();
  if (!w.database().isOpen()) return 1;
  w.findChild<QLineEdit*>(QStringLiteral("txtSearch"))->setText(QStringLiteral("a"));
  w.cmdSearch_Click();
  // The first player with a club, so that the squad lists are filled.
  auto& db = w.database();
  int club = -1;
  for (int i = 0; i < db.PeopleCount() && club < 0; ++i) {
    cm3::StaffRecord s = db.read<cm3::StaffRecord>(cm3::kSlotStaff, i + 1);
    if (s.isPlayer() && s.ClubId() >= 0) {
      w.showPerson(i);
      club = s.ClubId();
    }
  }
  WorldPanel* world = worldPanel(w);
  if (club < 0 || !world) return 1;

  int rc = 0;
  // After the main window has been laid out and painted once.
  QTimer::singleShot(0, [&] {
    bool ok = save(&w, out, "main-window");
    FrmClub* frmClub = world->frmClub();
    w.ClickTeamID = club;
    frmClub->showClub();
    auto* pages = frmClub->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    for (auto [page, name] : {std::pair{0, "frmClub"}, {1, "frmClub-stadiums"}, {2, "frmClub-kits"}}) {
      pages->setCurrentIndex(page);
      ok = save(frmClub, out, name) && ok;
    }
    frmClub->hide();
    world->frmComp()->fillFrom(0);
    ok = save(world->frmComp(), out, "frmComp") && ok;
    world->frmComp()->hide();
    if (world->frmNation()->fillFromMain()) ok = save(world->frmNation(), out, "frmNation") && ok;
    world->frmNation()->hide();
    rc = ok ? 0 : 1;
    w.database().close();
    app.quit();
  });
  app.exec();
  return rc;
}
