// The small pieces every window uses: the one conversion between Qt strings
// and the game's 8-bit texts, the one widget factory, and list rows.
#pragma once
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace cm3::ui {

// Windows-1252 game text to and from a Qt string, exactly both ways.
QString q8(const std::string& text8);
std::string to8(const QString& text);

// A new child widget with its object name.
template <class W>
W* make(QWidget* parent, const QString& name) {
  auto* w = new W(parent);
  w->setObjectName(name);
  return w;
}

// The rows of a list: game texts, or the items of a code list.
QStringList toList(const std::vector<std::string>& names);
template <size_t N>
QStringList toList(const std::array<std::string_view, N>& items) {
  QStringList out;
  for (auto v : items) out << QString::fromUtf8(v.data(), qsizetype(v.size()));
  return out;
}

}  // namespace cm3::ui
