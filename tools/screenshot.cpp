// screenshot GAMEDIR OUT.png — opens GAMEDIR in the editor, shows its first
// player with a club and saves a picture of the main window (for the documentation).
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "ui/mainwindow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: screenshot GAMEDIR OUT.png\n");
    return 2;
  }
  QTemporaryDir programDir;
  cm3::ui::TolvPlayer w(programDir.path());
  w.show();
  w.control<QLineEdit>(QStringLiteral("txtpath"))->setText(QString::fromLocal8Bit(argv[1]));
  w.cmdOpen_Click();
  if (!w.database().isOpen()) return 1;
  w.control<QLineEdit>(QStringLiteral("txtSearch"))->setText(QStringLiteral("a"));
  w.cmdSearch_Click();
  // The first player with a club, so that the squad lists are filled.
  auto& db = w.database();
  for (int i = 0; i < db.PeopleCount(); ++i) {
    cm3::StaffRecord s = db.read<cm3::StaffRecord>(cm3::kSlotStaff, i + 1);
    if (s.isPlayer() && s.ClubId() >= 0) {
      w.showPerson(i);
      break;
    }
  }
  int rc = 0;
  QTimer::singleShot(300, [&] {
    if (!w.grab().save(QString::fromLocal8Bit(argv[2]))) rc = 1;
    w.database().close();
    app.quit();
  });
  app.exec();
  return rc;
}
