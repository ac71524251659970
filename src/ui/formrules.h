// Form routines shared by every window: select-all on focus, the key filter
// of number boxes, event hooks, the edit colours, the bevel frame drawn around controls
// and centring over the main window.
#pragma once
#include <QColor>
#include <QString>
#include <functional>

class QEvent;
class QLineEdit;
class QObject;
class QWidget;

namespace cm3::ui {

// Runs `handle` on every event that reaches `watched`, before `watched`
// sees it; true from it swallows the event. The handler lives as long as
// `owner` (by default `watched`).
using EventHandler = std::function<bool(QObject* watched, QEvent* event)>;
void onEvent(QObject* watched, EventHandler handle, QObject* owner = nullptr);

// Selects the whole text of `box` whenever it gets the focus.
void installSelectAll(QLineEdit* box);

// Keys that carry a character are dropped unless they are one of `allowed`,
// Backspace or Enter. Keys without a character (arrows, Delete, Tab) and
// shortcuts with Ctrl pass. `accepted` runs after every accepted character.
inline const QString kDigits = QStringLiteral("1234567890");
void installKeyFilter(QLineEdit* box, const QString& allowed, std::function<void()> accepted = {});
// Every key carrying a character runs `typed` (the name boxes).
inline void installKeyWatch(QLineEdit* box, std::function<void()> typed) {
  installKeyFilter(box, QString(), std::move(typed));
}

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
