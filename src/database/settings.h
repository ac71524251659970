// The settings file tolvedit.tlv in the program folder: one line holding the
// game directory in double quotes, followed by CR LF. The directory is a file
// name: its bytes are those the platform uses for file names (UTF-8 on
// Linux), stored and returned unchanged.
#pragma once
#include <optional>
#include <string>

namespace cm3 {

std::string settingsPath(const std::string& programDir);

// The remembered game directory; nullopt when there is no settings file.
// A file too short to hold the quotes and line end reads as "".
std::optional<std::string> readSettings(const std::string& programDir);

// Writes the game directory as it is. Throws FileError.
void writeSettings(const std::string& programDir, const std::string& gameDir);

}  // namespace cm3
