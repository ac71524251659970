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

class FocusSelect : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::FocusIn) {
      QPointer<QLineEdit> box = qobject_cast<QLineEdit*>(o);
      // After the mouse press that gave the focus has placed the cursor.
      QTimer::singleShot(0, box, [box] {
        if (box) box->selectAll();
      });
    }
    return false;
  }
};

// A null `allowed` lets every character through.
class KeyFilter : public QObject {
 public:
  KeyFilter(QObject* parent, QString allowed, std::function<void()> accepted)
      : QObject(parent), allowed_(std::move(allowed)), accepted_(std::move(accepted)) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::KeyPress) return false;
    auto* k = static_cast<QKeyEvent*>(e);
    const QString text = k->text();
    if (text.isEmpty() || (k->modifiers() & Qt::ControlModifier)) return false;
    const QChar c = text.at(0);
    const bool ok = allowed_.isNull() || allowed_.contains(c) || c == QChar(8) || c == QChar(13) ||
                    k->key() == Qt::Key_Backspace || k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
    if (!ok) return true;
    if (accepted_) accepted_();
    return false;
  }

 private:
  QString allowed_;
  std::function<void()> accepted_;
};

// Paints the bevels of the registered children of one widget.
class BevelPainter : public QObject {
 public:
  explicit BevelPainter(QWidget* host) : QObject(host), host_(host) {}
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

void installSelectAll(QLineEdit* box) { box->installEventFilter(new FocusSelect(box)); }

void installKeyFilter(QLineEdit* box, const QString& allowed, std::function<void()> accepted) {
  box->installEventFilter(new KeyFilter(box, allowed, std::move(accepted)));
}

void installKeyWatch(QLineEdit* box, std::function<void()> typed) {
  box->installEventFilter(new KeyFilter(box, QString(), std::move(typed)));
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
  auto* painter = dynamic_cast<BevelPainter*>(
      host->findChild<QObject*>(QStringLiteral("cm3BevelPainter"), Qt::FindDirectChildrenOnly));
  if (!painter) {
    painter = new BevelPainter(host);
    painter->setObjectName(QStringLiteral("cm3BevelPainter"));
    host->installEventFilter(painter);
  }
  painter->add(control);
  host->update();
}

void CentreOverMain(QWidget* window, const QWidget* main) {
  const QRect m = main->frameGeometry();
  window->move(m.left() + (m.width() - window->width()) / 2, m.top() + (m.height() - window->height()) / 2);
}

}  // namespace cm3::ui
