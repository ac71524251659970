#include "ui/messages.h"

#include <QMessageBox>

namespace cm3::ui {

void message(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("TOLVEDIT"), text, QMessageBox::Ok, parent);
  box.exec();
}

void message(QWidget* parent, const QString& text, const QString& detail) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("TOLVEDIT"), text, QMessageBox::Ok, parent);
  box.setInformativeText(detail);
  box.exec();
}

bool ask(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("TOLVEDIT"), text, QMessageBox::Yes | QMessageBox::No, parent);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace cm3::ui
