// One run of the tool over a game directory: the database opened exactly as
// the editor opens it (Database::open: the lock, the working files of
// staff.dat and index.dat, the counts, the name lists and PersonNameTable)
// and closed as the editor closes it (Database::close, which folds the
// working files back so that the game files are in the game's layout).
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "database/database.h"

namespace cm3::cli {

class Session {
 public:
  // What to do when the directory holds a complete set of working files of
  // a run that did not close: opening would make new ones over them and
  // lose the edits they hold.
  enum class Leftovers {
    Refuse,      // CliError telling the user to run "recover"
    KeepClosed,  // leave the database unopened; leftovers() tells
  };

  // Opens the database; CliError with the editor's message when it cannot.
  // `locked` runs once the directory's lock is held, before anything of the
  // game directory is touched.
  explicit Session(const std::string& gameDir, Leftovers leftovers = Leftovers::Refuse,
                   const std::function<void()>& locked = {});
  ~Session();  // closes (writing back) when still open; errors go to stderr
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Database& db() { return db_; }
  bool isOpen() const { return db_.isOpen(); }
  // The leftover working files found (KeepClosed only); empty otherwise.
  const std::vector<std::string>& leftovers() const { return leftovers_; }

  // Closes with the write-back. Throws FileError when it fails.
  void close();
  // Gives the open up without writing back. Only for runs that wrote
  // nothing: the directory is left exactly as it was found.
  void discard();

 private:
  Database db_;
  std::vector<std::string> leftovers_;
  bool done_ = false;
};

// The message for a directory whose working files have to be recovered first.
std::string leftoverMessage(const std::string& gameDir, const std::vector<std::string>& files);

}  // namespace cm3::cli
