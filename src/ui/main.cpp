#include <QApplication>

#include "ui/mainwindow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  cm3::ui::TolvPlayer w(QCoreApplication::applicationDirPath());
  w.show();
  return app.exec();
}
