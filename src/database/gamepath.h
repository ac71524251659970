// Game paths such as "\Data\staff.dat" are written with backslashes and in
// whatever case the game's installer used. On a case-sensitive file system
// they are resolved against what really exists.
#pragma once
#include <string>
#include <string_view>

namespace cm3 {

// Joins the game directory and a relative game path. Either separator is
// accepted in both; empty components (a trailing separator, two in a row)
// are skipped. Each component is matched against the existing entries of its
// parent directory: an exact match first, then a case-insensitive one; a
// component that does not exist is kept as written (so a missing file can be
// created in an existing folder).
std::string resolveGamePath(std::string_view gameDir, std::string_view relative);

// True when the path names an existing regular file.
bool FileExists(const std::string& path);

// True when the path names an existing directory.
bool DirectoryExists(const std::string& path);

}  // namespace cm3
