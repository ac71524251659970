// The editor's message boxes: title "TOLVEDIT", Ok for messages, Yes/No for questions.
#pragma once
#include <QString>

#include <functional>

class QWidget;

namespace cm3::ui {
// `detail` is the system's reason beneath the text (a file that could not
// be written, and why).
void message(QWidget* parent, const QString& text, const QString& detail = {});
bool ask(QWidget* parent, const QString& text);

// The wait cursor for as long as the guard lives: every way out of a handler
// restores the cursor.
class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// Runs `work` under the wait cursor. A failure of the work is shown as a
// message, with its reason beneath it, once the cursor is back; returns
// whether the work ended normally.
bool whileBusy(QWidget* parent, const std::function<void()>& work);
}  // namespace cm3::ui
