#include "ui/messages.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>

namespace cm3::ui {

void message(QWidget* parent, const QString& text, const QString& detail) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("TOLVEDIT"), text, QMessageBox::Ok, parent);
  box.setInformativeText(detail);
  box.exec();
}

bool ask(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("TOLVEDIT"), text, QMessageBox::Yes | QMessageBox::No, parent);
  return box.exec() == QMessageBox::Yes;
}

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }

bool whileBusy(QWidget* parent, const std::function<void()>& work) {
  QString failure;
  try {
    WaitCursor wait;
    work();
    return true;
  } catch (const std::exception& e) {
    failure = QString::fromLocal8Bit(e.what());
  } catch (...) {
    failure = QStringLiteral("unknown error");
  }
  message(parent, QStringLiteral("The operation failed."), failure);
  return false;
}

}  // namespace cm3::ui
