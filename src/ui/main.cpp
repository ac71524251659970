#include <QApplication>
#include <cstdio>
#include <cstring>

#include "ui/mainwindow.h"
#include "ui/widgets.h"

int main(int argc, char** argv) {
  // Answered before the window system is started, so it works without a display.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("tolvedit %s\n", CM3_VERSION);
    return 0;
  }
  QApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("tolvedit"));
  QCoreApplication::setApplicationVersion(QStringLiteral(CM3_VERSION));
  // The window keeps tolvedit.tlv in the folder it is given.
  cm3::ui::TolvPlayer w(cm3::ui::settingsFolder(QCoreApplication::applicationDirPath()));
  w.show();
  return app.exec();
}
