// The editor's message boxes: title "TOLVEDIT", Ok for messages, Yes/No for questions.
#pragma once
#include <QString>

class QWidget;

namespace cm3::ui {
void message(QWidget* parent, const QString& text);
bool ask(QWidget* parent, const QString& text);
}  // namespace cm3::ui
