// The editor's message boxes: title "TOLVEDIT", Ok for messages, Yes/No for questions.
#pragma once
#include <QString>

class QWidget;

namespace cm3::ui {
void message(QWidget* parent, const QString& text);
// A message with the system's reason beneath it (a file that could not be
// written, and why).
void message(QWidget* parent, const QString& text, const QString& detail);
bool ask(QWidget* parent, const QString& text);
}  // namespace cm3::ui
