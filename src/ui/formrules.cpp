#include "ui/formrules.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QVector>

namespace cm3::ui {
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
