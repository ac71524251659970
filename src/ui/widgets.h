// The small pieces every window uses: the one conversion between Qt strings
// and the game's 8-bit texts, file names, the one widget factory, list rows,
// the message boxes, the wait cursor, the progress windows, and the form
// routines (select-all on focus, key filters, event hooks, edit colours,
// bevels, centring).
#pragma once
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "database/database.h"

class QEvent;
class QLineEdit;

namespace cm3::ui {

// Windows-1252 game text to and from a Qt string, exactly both ways.
QString q8(const std::string& text8);
std::string to8(const QString& text);

// Paths in the windows are file names, not game texts: they go to and from
// the core in the platform's own encoding for file names (UTF-8 bytes on
// Linux), never through the Windows-1252 conversion of the game's texts.
inline std::string nativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString pathText(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

// Where the editor keeps its settings file tolvedit.tlv: the program folder
// when the settings file there can be written, or made (a copy unpacked
// anywhere keeps its settings beside it); otherwise, as for an installed
// copy, the user's configuration folder, made when missing so that the
// settings can be written into it.
QString settingsFolder(const QString& programDir);

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

// The editor's message boxes: title "TOLVEDIT", Ok for messages, Yes/No for
// questions. `detail` is the system's reason beneath the text (a file that
// could not be written, and why).
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

// Runs `work` (under the wait cursor when `busy`); returns whether it ended
// normally. A failure of the work is shown, once the cursor is back, as
// `text` with its reason beneath, or as the reason alone when `text` is empty.
bool attempt(QWidget* parent, const std::function<void()>& work, const QString& text = {}, bool busy = false);
// attempt under the wait cursor, a failure shown as "The operation failed.".
bool whileBusy(QWidget* parent, const std::function<void()>& work);

// The modal progress windows of the long steps of opening and closing:
// frmLoad while the working files are made, frmRecon while they are put
// back into the game files. Each long step runs in its window (shown
// modally, with the wait cursor): the work starts once the window is shown,
// and the window closes when it ends. An exception of the work comes out
// after the window has closed.
StepRunner progressDialogs(QWidget* parent);

// Runs `handle` on every event that reaches `watched`, before `watched`
// sees it; true from it swallows the event. The handler lives as long as
// `owner` (by default `watched`).
using EventHandler = std::function<bool(QObject* watched, QEvent* event)>;
void onEvent(QObject* watched, EventHandler handle, QObject* owner = nullptr);

// Selects the whole text of `box` whenever it gets the focus.
void installSelectAll(QLineEdit* box);

// Keys that carry a character are dropped unless they are one of `allowed`
// (any, when it is null), Backspace or Enter. Keys without a character
// (arrows, Delete, Tab) and shortcuts with Ctrl pass. `accepted` runs after
// every accepted character.
inline const QString kDigits = QStringLiteral("1234567890");
void installKeyFilter(QLineEdit* box, const QString& allowed, std::function<void()> accepted = {});

// Text colours of the person boxes.
inline const QColor kEditColour = QColor(255, 0, 0);
void setTextColour(QWidget* box, const QColor& colour);
QColor textColour(const QWidget* box);
void setNormalColour(QWidget* box);

// The sunken double bevel with a raised inner edge, drawn on the control's
// parent around the control; the control's own border is switched off.
void DrawFrame3D(QWidget* control);
// DrawFrame3D for every control under `root` that its form marks with the
// property "bevel".
void drawMarkedBevels(QWidget* root);

// Moves `window` so that it is centred over `main`.
void CentreOverMain(QWidget* window, const QWidget* main);

}  // namespace cm3::ui
