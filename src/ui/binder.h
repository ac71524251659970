// The one way a window moves a form of the core into its controls and back.
// A window states, once, which control shows which member of its form; the
// binder finds each control by its object name when the window is made.
#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <span>
#include <string>
#include <variant>
#include <vector>

#include "ui/widgets.h"

namespace cm3::ui {

// A text member shows in a line edit or label; a whole-number member is the
// row of a combo (-1 none) or, for a check box, 255 ticked and 0 not.
template <class Form>
struct Binding {
  const char* control;
  std::variant<std::string Form::*, int Form::*> member;
};

template <class Form>
class Binder {
 public:
  Binder(QWidget* root, std::span<const Binding<Form>> table) {
    controls_.reserve(table.size());
    for (const Binding<Form>& b : table) {
      auto* w = root->findChild<QWidget*>(QString::fromLatin1(b.control));
      Q_ASSERT_X(w, "Binder", b.control);
      controls_.push_back({w, b.member});
    }
  }

  void fill(const Form& f) const {
    for (const Bound& b : controls_) {
      if (auto* text = std::get_if<std::string Form::*>(&b.member)) {
        const QString value = q8(f.**text);
        if (auto* edit = qobject_cast<QLineEdit*>(b.widget)) {
          edit->setText(value);
          edit->setCursorPosition(0);
        } else if (auto* label = qobject_cast<QLabel*>(b.widget)) {
          label->setText(value);
        }
      } else {
        const int value = f.*std::get<int Form::*>(b.member);
        if (auto* combo = qobject_cast<QComboBox*>(b.widget))
          combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
        else if (auto* check = qobject_cast<QCheckBox*>(b.widget))
          check->setChecked(value != 0);
      }
    }
  }

  // The controls' values over `f`: members without a control keep theirs.
  Form read(Form f = {}) const {
    for (const Bound& b : controls_) {
      if (auto* text = std::get_if<std::string Form::*>(&b.member)) {
        if (auto* edit = qobject_cast<QLineEdit*>(b.widget))
          f.**text = to8(edit->text());
        else if (auto* label = qobject_cast<QLabel*>(b.widget))
          f.**text = to8(label->text());
      } else {
        int& value = f.*std::get<int Form::*>(b.member);
        if (auto* combo = qobject_cast<QComboBox*>(b.widget))
          value = combo->currentIndex();
        else if (auto* check = qobject_cast<QCheckBox*>(b.widget))
          value = check->isChecked() ? 255 : 0;
      }
    }
    return f;
  }

 private:
  struct Bound {
    QWidget* widget;
    std::variant<std::string Form::*, int Form::*> member;
  };
  std::vector<Bound> controls_;
};

}  // namespace cm3::ui
