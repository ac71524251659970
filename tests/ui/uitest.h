// Support for the window tests: controls by object name, the one helper for
// message boxes, modal windows, and a session on a fresh generated game.
#pragma once
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "records/cp1252.h"
#include "sample/generator.h"
#include "ui/mainwindow.h"

namespace uitest {

using Bytes = std::vector<uint8_t>;
using Files = std::map<QString, Bytes>;

template <class W = QWidget>
W* child(QWidget* w, const char* name) {
  W* c = w->findChild<W*>(QString::fromLatin1(name));
  if (!c) qFatal("missing child %s", name);
  return c;
}
inline void click(QWidget* w, const char* name) { QTest::mouseClick(child<QPushButton>(w, name), Qt::LeftButton); }
inline void clickRow(QAbstractItemView* view, int row) {
  const QModelIndex at = view->model()->index(row, 0);
  view->scrollTo(at);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(at).center());
}

inline QString q8(const std::string& s) { return QString::fromStdString(cm3::cp1252::toUtf8(s)); }

// Every file of a folder but index_temp.dat (left by every close) with its bytes.
inline Files snapshot(const QString& dir) {
  Files files;
  for (const QString& name : QDir(dir).entryList(QDir::Files)) {
    std::ifstream in((dir + "/" + name).toStdString(), std::ios::binary);
    if (name != QLatin1String("index_temp.dat")) files[name] = Bytes(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

// Runs `action`, calling `shown` for each widget shown meanwhile.
inline void watchShows(const std::function<void()>& action, const std::function<void(QWidget*)>& shown) {
  struct Watcher : QObject {
    std::function<void(QWidget*)> shown;
    bool eventFilter(QObject* o, QEvent* e) override {
      if (auto* w = qobject_cast<QWidget*>(o); w && e->type() == QEvent::Show) shown(w);
      return false;
    }
  } watcher;
  watcher.shown = shown;
  qApp->installEventFilter(&watcher);
  action();
  qApp->removeEventFilter(&watcher);
}

// Runs `action`, answering the message boxes it shows in turn with `answers`
// (then Ok or No), and returns their texts, each with its reason after a
// newline: a box that does not come is missing from the list.
inline QStringList boxes(const std::function<void()>& action, std::vector<QMessageBox::StandardButton> answers = {}) {
  QStringList texts;
  watchShows(action, [&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (!box) return;
    texts << box->text() + (box->informativeText().isEmpty() ? QString() : "\n" + box->informativeText());
    const auto b = size_t(texts.size()) <= answers.size() ? answers[size_t(texts.size() - 1)] : QMessageBox::Ok;
    QMetaObject::invokeMethod(
        box,
        [box, b] {
          QAbstractButton* button = box->button(b);
          if (!button) button = box->button(QMessageBox::No);
          button->click();
        },
        Qt::QueuedConnection);
  });
  return texts;
}

// Runs `action`; once the window `name` is shown modally from inside it, runs
// `inside` on it, which must close it. Returns whether the window came.
inline bool whenShown(const QString& name, const std::function<void()>& action, const std::function<void(QWidget*)>& inside) {
  bool came = false;
  watchShows(action, [&](QWidget* w) {
    if (came || !w->isWindow() || w->objectName() != name) return;
    came = true;
    QMetaObject::invokeMethod(w, [&inside, w] { inside(w); }, Qt::QueuedConnection);
  });
  return came;
}

// A main window on a fresh copy of a game generated once per test program.
class Session {
 public:
  explicit Session(const cm3::sample::Preset& preset = cm3::sample::smallPreset(), uint64_t seed = 11) {
    static std::map<std::pair<int, uint64_t>, std::unique_ptr<QTemporaryDir>> made;
    auto& pristine = made[{preset.people * 7 + preset.history, seed}];
    if (!pristine) {
      pristine = std::make_unique<QTemporaryDir>();
      cm3::sample::generate(pristine->path().toStdString(), preset, seed);
    }
    std::filesystem::copy(pristine->path().toStdString(), game.path().toStdString(),
                          std::filesystem::copy_options::recursive);
    before = snapshot(data());
    newWindow();
  }
  ~Session() {
    if (w) w->database().abortOpen();  // no write-back, no working files left
  }
  QString data() const { return game.path() + "/Data"; }
  void newWindow() {
    w = std::make_unique<cm3::ui::TolvPlayer>(prog.path());
    w->show();
  }
  // Types the game path and clicks Open; true when the database opened.
  bool open() {
    child<QLineEdit>(w.get(), "txtpath")->setText(game.path());
    click(w.get(), "cmdOpen");
    w->activateWindow();
    return w->database().isOpen();
  }
  // Closes the window (writing the database back) and runs cm3db check on
  // the game directory: empty when it is consistent.
  QString closeAndCheck() {
    w->close();
    QProcess p;
    p.start(QStringLiteral(CM3DB_PATH), {QStringLiteral("check"), game.path()});
    if (!p.waitForFinished(60000)) return QStringLiteral("cm3db check did not finish");
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
  }
  // Searches the person's display name and clicks his row.
  void showByClick(int personId) {
    child<QLineEdit>(w.get(), "txtSearch")->setText(q8(w->database().personName(personId)));
    click(w.get(), "cmdSearch");
    const auto& table = w->matchTable();
    const auto it = std::find(table.begin(), table.end(), personId);
    if (it == table.end()) qFatal("person %d not found", personId);
    clickRow(child<QListWidget>(w.get(), "lstplayers"), int(it - table.begin()));
  }
  template <class P>
  P* panel() {
    for (auto* p : w->panels())
      if (auto* q = dynamic_cast<P*>(p)) return q;
    qFatal("no such panel");
  }

  QTemporaryDir prog, game;
  std::unique_ptr<cm3::ui::TolvPlayer> w;
  Files before;  // the game's files as generated
};

}  // namespace uitest
