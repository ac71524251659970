// Backups of the game's files: a copy of every game file the editor can
// change, made before the first write of a session, kept in
// <game directory>/tolvedit-backups/<YYYYMMDD-HHMMSS>/ beside the Data
// folder with the files' own relative paths (Data/staff.dat, ...). The
// newest kKept backups are kept.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cm3::backup {

inline constexpr const char* kFolderName = "tolvedit-backups";
inline constexpr size_t kKept = 10;

struct BackupInfo {
  std::string name;  // the folder name, e.g. 20261207-101500 (a -2, -3 ... when made in the same second)
  std::string date;  // "2026-12-07 10:15:00", local time
  uint64_t bytes = 0;
  size_t files = 0;
};

// The folder that holds the backups of a game directory.
std::string folderOf(const std::string& gameDir);

// The game files present in the game directory, relative to it as they are
// spelt on disk ("Data/staff.dat"). The working files of an open database
// are not game files and are never among them.
std::vector<std::string> gameFilesOf(const std::string& gameDir);

// Copies the game files into a new backup folder (the cheapest copy the file
// system offers: a clone, an in-kernel copy, else read and write), forces it
// to the disk, then removes the oldest backups beyond `keep` (none with keep
// 0). Returns the new backup's name. Throws FileError: the backup folder is
// then removed again and nothing of the game is touched.
std::string make(const std::string& gameDir, size_t keep = kKept);

// The backups, oldest first.
std::vector<BackupInfo> list(const std::string& gameDir);

// A backup as a row of a list to choose from: "2026-12-07 10:15:00   (31 files, 4.2 MB)".
std::string describe(const BackupInfo& b);

// Puts backup `name` (the newest when empty) back: refused (FileError,
// Locked) while the game directory is open in an editor or holds the
// working files of a run that did not close. The present files are backed
// up first, so that a restore can be undone by restoring that backup; each
// file is then replaced whole (written beside it and renamed over it).
// Returns the name of the backup of the files as they were.
std::string restore(const std::string& gameDir, const std::string& name = {});

}  // namespace cm3::backup
