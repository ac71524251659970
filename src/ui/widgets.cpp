#include "ui/widgets.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QVector>

#include <algorithm>
#include <exception>
#include <optional>

#include "database/settings.h"
#include "records/cp1252.h"
#include "ui_frmload.h"
#include "ui_frmrecon.h"

namespace cm3::ui {

QString q8(const std::string& text8) { return QString::fromStdString(cp1252::toUtf8(text8)); }
std::string to8(const QString& text) { return cp1252::fromUtf8(text.toStdString()); }

QStringList toList(const std::vector<std::string>& names) {
  QStringList out;
  out.reserve(qsizetype(names.size()));
  for (const auto& n : names) out << q8(n);
  return out;
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

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }

bool attempt(QWidget* parent, const std::function<void()>& work, const QString& text, bool busy) {
  QString failure;
  try {
    std::optional<WaitCursor> wait;
    if (busy) wait.emplace();
    work();
    return true;
  } catch (const std::exception& e) {
    failure = QString::fromLocal8Bit(e.what());
  } catch (...) {
    failure = QStringLiteral("unknown error");
  }
  if (text.isEmpty())
    message(parent, failure);
  else
    message(parent, text, failure);
  return false;
}

bool whileBusy(QWidget* parent, const std::function<void()>& work) {
  return attempt(parent, work, QStringLiteral("The operation failed."), true);
}

StepRunner progressDialogs(QWidget* parent) {
  return [parent](LongStep step, const std::function<void(const Progress&)>& work) {
    WaitCursor wait;
    QDialog dlg(parent);
    Ui::FrmLoad load;
    Ui::FrmRecon recon;
    QProgressBar* bar = nullptr;
    if (step == LongStep::Splice) {
      load.setupUi(&dlg);
      bar = load.pbrSplice;
    } else {
      recon.setupUi(&dlg);
      bar = recon.pbrRecon;
    }
    const int top = bar->maximum();
    Progress progress = [bar, top](int64_t value, int64_t maximum) {
      bar->setValue(maximum > 0 ? int(std::clamp<int64_t>(value * top / maximum, 0, top)) : 0);
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
  };
}

QString settingsFolder(const QString& programDir) {
  // Asked for the effective user, the one that will write the file.
  auto may = [](const std::string& path, int mode) { return ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0; };
  const std::string dir = nativePath(programDir);
  const std::string file = settingsPath(dir);
  if (may(file, F_OK) ? may(file, W_OK) : may(dir, W_OK)) return programDir;
  const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  QDir().mkpath(config);
  return config;
}

namespace {

class EventHook : public QObject {
 public:
  EventHook(QObject* owner, EventHandler handle) : QObject(owner), handle_(std::move(handle)) {}
  bool eventFilter(QObject* watched, QEvent* e) override { return handle_(watched, e); }

 private:
  EventHandler handle_;
};

// Paints the bevels of the registered children of one widget.
class BevelPainter : public QObject {
 public:
  explicit BevelPainter(QWidget* host) : QObject(host), host_(host) {
    setObjectName(kName);
    host->installEventFilter(this);
  }
  static inline const QString kName = QStringLiteral("cm3BevelPainter");
  void add(QWidget* control) { controls_.push_back(control); }
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == host_ && e->type() == QEvent::Paint) {
      QPainter p(host_);
      for (const QPointer<QWidget>& c : controls_)
        if (c && c->isVisible()) paintAround(p, c->geometry());
    }
    return false;
  }

 private:
  // Three rings, the outermost first, each drawn top, right, bottom, left.
  static void paintAround(QPainter& p, const QRect& r) {
    static const QColor colours[3][2] = {{QColor(0, 0, 0), QColor(255, 255, 255)},
                                         {QColor(0x80, 0x80, 0x80), QColor(0xE0, 0xE0, 0xE0)},
                                         {QColor(255, 255, 255), QColor(0, 0, 0)}};
    for (int i = 0; i < 3; ++i) {
      const int x1 = r.x() - 3 + i, y1 = r.y() - 3 + i, x2 = r.x() + r.width() + 2 - i, y2 = r.y() + r.height() + 2 - i;
      p.setPen(colours[i][0]);
      p.drawLine(x1, y1, x2, y1);
      p.setPen(colours[i][1]);
      p.drawLine(x2, y1, x2, y2);
      p.drawLine(x2, y2, x1, y2);
      p.setPen(colours[i][0]);
      p.drawLine(x1, y2, x1, y1);
    }
  }
  QWidget* host_;
  QVector<QPointer<QWidget>> controls_;
};

}  // namespace

void onEvent(QObject* watched, EventHandler handle, QObject* owner) {
  watched->installEventFilter(new EventHook(owner ? owner : watched, std::move(handle)));
}

void installSelectAll(QLineEdit* box) {
  onEvent(box, [box](QObject*, QEvent* e) {
    // After the mouse press that gave the focus has placed the cursor.
    if (e->type() == QEvent::FocusIn) QTimer::singleShot(0, box, &QLineEdit::selectAll);
    return false;
  });
}

void installKeyFilter(QLineEdit* box, const QString& allowed, std::function<void()> accepted) {
  onEvent(box, [allowed, accepted = std::move(accepted)](QObject*, QEvent* e) {
    const auto* k = e->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(e) : nullptr;
    if (!k || k->text().isEmpty() || (k->modifiers() & Qt::ControlModifier)) return false;
    const QChar c = k->text().at(0);
    const bool ok = allowed.isNull() || allowed.contains(c) || c == QChar(8) || c == QChar(13) ||
                    k->key() == Qt::Key_Backspace || k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
    if (ok && accepted) accepted();
    return !ok;
  });
}

void setTextColour(QWidget* box, const QColor& colour) {
  QPalette p = box->palette();
  p.setColor(QPalette::Text, colour);
  box->setPalette(p);
}

QColor textColour(const QWidget* box) { return box->palette().color(QPalette::Text); }

void setNormalColour(QWidget* box) { setTextColour(box, QApplication::palette(box).color(QPalette::Text)); }

void DrawFrame3D(QWidget* control) {
  QWidget* host = control->parentWidget();
  if (!host) return;
  if (auto* f = qobject_cast<QFrame*>(control)) f->setFrameShape(QFrame::NoFrame);
  if (auto* e = qobject_cast<QLineEdit*>(control)) e->setFrame(false);
  auto* painter =
      dynamic_cast<BevelPainter*>(host->findChild<QObject*>(BevelPainter::kName, Qt::FindDirectChildrenOnly));
  if (!painter) painter = new BevelPainter(host);
  painter->add(control);
  host->update();
}

void drawMarkedBevels(QWidget* root) {
  for (QWidget* w : root->findChildren<QWidget*>())
    if (w->property("bevel").toBool()) DrawFrame3D(w);
}

void CentreOverMain(QWidget* window, const QWidget* main) {
  const QRect m = main->frameGeometry();
  window->move(m.left() + (m.width() - window->width()) / 2, m.top() + (m.height() - window->height()) / 2);
}

}  // namespace cm3::ui
