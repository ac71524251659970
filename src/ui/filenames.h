// Paths in the windows are file names, not game texts: they go to and from the
// core in the platform's own encoding for file names (UTF-8 bytes on Linux),
// never through the Windows-1252 conversion of the game's texts.
#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>

#include <string>

namespace cm3::ui {

inline std::string nativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString pathText(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace cm3::ui
