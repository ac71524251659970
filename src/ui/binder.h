// The one way a window moves a form of the core into its controls and back.
// A window states, once, which control shows which member of its form; the
// binder finds each control by its object name when the window is made.
#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QWidget>

#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "records/boxrules.h"
#include "records/convert.h"
#include "ui/widgets.h"

namespace cm3::ui {

// A text member shows in a line edit or label. A whole-number member is the
// row of a combo or of a list's selected item (-1 none) or, for a check box,
// 255 ticked and 0 not; a yes/no member is a check box. A binding names a
// member, or element k of an array member. A box of a table of the core
// shows the entry of the form's box texts under its own object name.
template <class Form>
struct Binding {
  template <class T>
  using Reach = std::function<T&(Form&)>;
  using Member = std::variant<Reach<std::string>, Reach<int>, Reach<bool>, BoxTexts Form::*>;

  template <class T>
  Binding(const char* c, T Form::*m) : control(c), member(Reach<T>([m](Form& f) -> T& { return f.*m; })) {}
  template <class T, size_t N>
  Binding(const char* c, std::array<T, N> Form::*a, size_t k)
      : control(c), member(Reach<T>([a, k](Form& f) -> T& { return (f.*a)[k]; })) {}
  Binding(const char* c, BoxTexts Form::*texts) : control(c), member(texts) {}

  const char* control;
  Member member;
};

// The line edit that shows box `b` under `root`, and those of the boxes of
// `tables`, in table order.
inline QLineEdit* lineEditOf(const QWidget* root, const FormBox& b) {
  return root->findChild<QLineEdit*>(QString::fromLatin1(b.box));
}
inline std::vector<QLineEdit*> lineEditsOf(const QWidget* root,
                                           std::initializer_list<std::span<const FormBox>> tables) {
  std::vector<QLineEdit*> out;
  for (std::span<const FormBox> table : tables)
    for (const FormBox& b : table) out.push_back(lineEditOf(root, b));
  return out;
}

// A binding table: `own` and, shown through `texts`, the boxes of the
// core's tables.
template <class Form, class Tables = std::initializer_list<std::span<const FormBox>>>
std::vector<Binding<Form>> bindings(std::vector<Binding<Form>> all, BoxTexts Form::*texts, const Tables& tables) {
  for (std::span<const FormBox> table : tables)
    for (const FormBox& b : table) all.emplace_back(b.box, texts);
  return all;
}

template <class Form>
class Binder {
 public:
  Binder(QWidget* root, std::span<const Binding<Form>> table) {
    controls_.reserve(table.size());
    for (const Binding<Form>& b : table) {
      auto* w = root->findChild<QWidget*>(QString::fromLatin1(b.control));
      Q_ASSERT_X(w, "Binder", b.control);
      controls_.push_back({w, b});
    }
  }

  // Fills the controls `keep` takes (by default all); the others keep what
  // they show.
  template <class Keep = bool (*)(const QWidget*)>
  void fill(const Form& f, Keep keep = [](const QWidget*) { return true; }) const {
    for (const auto& [widget, b] : controls_) {
      if (!keep(static_cast<const QWidget*>(widget))) continue;
      std::visit([&](const auto& m) { show(widget, shown(f, m, b.control)); }, b.member);
      // Long texts show from their start.
      if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->setCursorPosition(0);
      if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->lineEdit())
        combo->lineEdit()->setCursorPosition(0);
    }
  }

  // The controls' values over `f`: members without a control keep theirs.
  Form read(Form f = {}) const {
    for (const auto& [widget, b] : controls_)
      std::visit([&](const auto& m) { take(widget, ref(f, m, b.control)); }, b.member);
    return f;
  }

 private:
  template <class M>
  static auto& ref(Form& f, const M& m, const char* key) {
    if constexpr (std::is_same_v<M, BoxTexts Form::*>)
      return (f.*m)[key];
    else
      return m(f);
  }

  // What `m` holds in `f`; a box text missing from the form shows empty.
  template <class M>
  static const auto& shown(const Form& f, const M& m, const char* key) {
    if constexpr (std::is_same_v<M, BoxTexts Form::*>) {
      static const std::string none;
      const auto it = (f.*m).find(key);
      return it == (f.*m).end() ? none : it->second;
    } else {
      // The accessors only name a member; nothing is written through them.
      return ref(const_cast<Form&>(f), m, key);
    }
  }

  static void show(QWidget* w, const std::string& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(w))
      edit->setText(q8(text));
    else if (auto* label = qobject_cast<QLabel*>(w))
      label->setText(q8(text));
  }
  static void show(QWidget* w, int value) {
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
      combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
      list->setCurrentRow(value >= 0 && value < list->count() ? value : -1);
      if (value < 0) list->clearSelection();
    } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
      check->setChecked(value != 0);
    }
  }
  static void show(QWidget* w, bool value) { show(w, int(value)); }

  static void take(QWidget* w, std::string& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(w))
      text = to8(edit->text());
    else if (auto* label = qobject_cast<QLabel*>(w))
      text = to8(label->text());
  }
  static void take(QWidget* w, int& value) {
    if (auto* combo = qobject_cast<QComboBox*>(w))
      value = combo->currentIndex();
    else if (auto* list = qobject_cast<QListWidget*>(w))
      value = list->currentItem() && list->currentItem()->isSelected() ? list->currentRow() : -1;
    else if (auto* check = qobject_cast<QCheckBox*>(w))
      value = check->isChecked() ? 255 : 0;
  }
  static void take(QWidget* w, bool& value) {
    if (auto* check = qobject_cast<QCheckBox*>(w)) value = check->isChecked();
  }

  std::vector<std::pair<QWidget*, Binding<Form>>> controls_;
};

// Runs `write`, a write of the core over a window's form. A box the core
// refuses (a RefusedValue naming the box) shows its message and gets the
// focus; any other failure shows its text. Whether the write went through.
inline bool writeOrRefuse(QWidget* window, const std::function<void()>& write) {
  try {
    write();
    return true;
  } catch (const RefusedValue& e) {
    message(window, q8(e.message()));
    if (auto* box = window->findChild<QLineEdit*>(QString::fromStdString(e.box()))) box->setFocus();
  } catch (const std::exception& e) {
    message(window, QString::fromLocal8Bit(e.what()));
  }
  return false;
}

}  // namespace cm3::ui
