#include "ui/formrules.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
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
        if (box) SelectAllText(box);
      });
    }
    return false;
  }
};

class KeyFilter : public QObject {
 public:
  KeyFilter(QObject* parent, QString allowed, bool filter, std::function<void()> accepted)
      : QObject(parent), allowed_(std::move(allowed)), filter_(filter), accepted_(std::move(accepted)) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::KeyPress) return false;
    auto* k = static_cast<QKeyEvent*>(e);
    const QString text = k->text();
    if (text.isEmpty() || (k->modifiers() & Qt::ControlModifier)) return false;
    const QChar c = text.at(0);
    const bool ok = !filter_ || allowed_.contains(c) || c == QChar(8) || c == QChar(13) ||
                    k->key() == Qt::Key_Backspace || k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
    if (!ok) return true;
    if (accepted_) accepted_();
    return false;
  }

 private:
  QString allowed_;
  bool filter_;
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
  static void ring(QPainter& p, int x1, int y1, int x2, int y2, QColor topLeft, QColor bottomRight) {
    p.setPen(topLeft);
    p.drawLine(x1, y1, x2, y1);  // top
    p.setPen(bottomRight);
    p.drawLine(x2, y1, x2, y2);  // right
    p.drawLine(x2, y2, x1, y2);  // bottom
    p.setPen(topLeft);
    p.drawLine(x1, y2, x1, y1);  // left
  }
  static void paintAround(QPainter& p, const QRect& r) {
    const int x = r.x(), y = r.y(), w = r.width(), h = r.height();
    ring(p, x - 3, y - 3, x + w + 2, y + h + 2, QColor(0, 0, 0), QColor(255, 255, 255));
    ring(p, x - 2, y - 2, x + w + 1, y + h + 1, QColor(0x80, 0x80, 0x80), QColor(0xE0, 0xE0, 0xE0));
    ring(p, x - 1, y - 1, x + w, y + h, QColor(255, 255, 255), QColor(0, 0, 0));
  }
  QWidget* host_;
  QVector<QPointer<QWidget>> controls_;
};

}  // namespace

void SelectAllText(QLineEdit* box) { box->setSelection(0, int(box->text().size())); }

void installSelectAll(QLineEdit* box) { box->installEventFilter(new FocusSelect(box)); }

void installKeyFilter(QLineEdit* box, const QString& allowed, std::function<void()> accepted) {
  box->installEventFilter(new KeyFilter(box, allowed, true, std::move(accepted)));
}

void installKeyWatch(QLineEdit* box, std::function<void()> typed) {
  box->installEventFilter(new KeyFilter(box, QString(), false, std::move(typed)));
}

void setTextColour(QWidget* box, const QColor& colour) {
  QPalette p = box->palette();
  p.setColor(QPalette::Text, colour);
  box->setPalette(p);
}

QColor textColour(const QWidget* box) { return box->palette().color(QPalette::Text); }

void setNormalColour(QWidget* box) {
  QPalette p = box->palette();
  p.setColor(QPalette::Text, QApplication::palette(box).color(QPalette::Text));
  box->setPalette(p);
}

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

int findPrefix(const QComboBox* combo, const QString& prefix) {
  for (int i = 0; i < combo->count(); ++i)
    if (combo->itemText(i).startsWith(prefix, Qt::CaseInsensitive)) return i;
  return -1;
}

}  // namespace cm3::ui
