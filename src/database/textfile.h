// Whole text files a front end reads or writes beside the game: exports,
// CSV files taken back, patches.
#pragma once
#include <string>
#include <string_view>

namespace cm3 {

// The content of the file at `path`, byte for byte. Throws FileError naming
// the file and the reason.
std::string readTextFile(const std::string& path);

// Makes the file at `path` hold `text`, keeping the permissions of the file
// it replaces. The text goes to a temporary file beside it that is renamed
// into place, so the file is either the old one or the complete new one.
// Throws FileError naming the file and the reason.
void writeTextFile(const std::string& path, std::string_view text);

}  // namespace cm3
