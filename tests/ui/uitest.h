// Helpers shared by the window tests: finding controls by object name,
// answering message boxes, and reading game files.
#pragma once
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "records/cp1252.h"

namespace uitest {

using Bytes = std::vector<uint8_t>;

// Answers the next modal message box with its default button (Ok or Yes), or
// with `answer`, and records its text and the reason shown beneath it.
inline void answerNextBox(QString* text, QMessageBox::StandardButton answer = QMessageBox::NoButton,
                          QString* detail = nullptr) {
  QTimer::singleShot(20, [text, answer, detail] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      if (text) *text = box->text();
      if (detail) *detail = box->informativeText();
      if (answer != QMessageBox::NoButton && box->button(answer))
        box->button(answer)->click();
      else
        box->accept();
    } else {
      answerNextBox(text, answer, detail);
    }
  });
}

template <class W>
W* child(QWidget& w, const QString& name) {
  W* c = w.findChild<W*>(name);
  if (!c) qFatal("missing child %s", qPrintable(name));
  return c;
}
template <class W>
W* child(QWidget& w, const char* name) {
  return child<W>(w, QString::fromLatin1(name));
}

inline QString q8(const std::string& s) { return QString::fromStdString(cm3::cp1252::toUtf8(s)); }

inline Bytes slurp(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every file of a folder with its bytes.
inline std::map<QString, Bytes> snapshot(const QString& dir) {
  std::map<QString, Bytes> files;
  for (const QString& name : QDir(dir).entryList(QDir::Files)) files[name] = slurp(dir + "/" + name);
  return files;
}

// Runs `cm3db check` on a game directory the window has closed. Returns an
// empty text when the database is consistent, else what the check printed.
inline QString checkProblems(const QString& gameDir) {
  QProcess p;
  p.start(QStringLiteral(CM3DB_PATH), {QStringLiteral("check"), gameDir});
  if (!p.waitForFinished(60000)) return QStringLiteral("cm3db check did not finish");
  if (p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) return {};
  return QStringLiteral("cm3db check exit %1: %2 %3")
      .arg(p.exitCode())
      .arg(QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError()));
}

}  // namespace uitest
