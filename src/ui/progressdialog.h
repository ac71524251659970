// The modal progress windows of the long steps of opening and closing:
// frmLoad while the working files are made, frmRecon while they are put
// back into the game files.
#pragma once
#include "database/database.h"

class QWidget;

namespace cm3::ui {

// Runs each long step in its window (shown modally, with the wait cursor):
// the work starts once the window is shown, and the window closes when it
// ends. An exception of the work comes out after the window has closed.
StepRunner progressDialogs(QWidget* parent);

}  // namespace cm3::ui
