// Where the editor keeps its settings file tolvedit.tlv.
#pragma once
#include <QString>

namespace cm3::ui {

// The program folder when the settings file there can be written, or made
// (a copy unpacked anywhere keeps its settings beside it); otherwise, as
// for an installed copy, the user's configuration folder, made when
// missing so that the settings can be written into it.
QString settingsFolder(const QString& programDir);

}  // namespace cm3::ui
