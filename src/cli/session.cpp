#include "cli/session.h"

#include <cstdio>

#include "cli/common.h"

namespace cm3::cli {

std::string leftoverMessage(const std::string& gameDir, const std::vector<std::string>& files) {
  std::string list;
  for (const std::string& f : files) list += (list.empty() ? "" : ", ") + f;
  return "The game directory holds the working files of a run that did not close (" + list +
         "). Run \"cm3db recover " + gameDir + "\" to fold them back into the game files first.";
}

Session::Session(const std::string& gameDir, Leftovers leftovers, const std::function<void()>& locked) {
  OpenHooks hooks;
  // Leftovers are looked for under the lock: while another editor has the
  // directory open its working files are not leftovers.
  hooks.locked = locked;
  hooks.leftovers = [&] {
    std::vector<std::string> files = {std::string(kPathStaffAtt), std::string(kPathStaffAtt2),
                                      std::string(kPathUnknown)};
    if (leftovers == Leftovers::Refuse) throw CliError(leftoverMessage(gameDir, files));
    leftovers_ = std::move(files);
    return LeftoverChoice::StayClosed;
  };
  if (!db_.open(gameDir, hooks)) {
    done_ = true;
    if (!leftovers_.empty()) return;
    throw CliError(db_.OpenError.empty() ? kWrongPathMessage : db_.OpenError);
  }
}

Session::~Session() {
  if (done_) return;
  try {
    db_.close();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "cm3db: the database could not be written back: %s\n", e.what());
  }
}

void Session::close() {
  if (done_) return;
  done_ = true;
  db_.close();
}

void Session::discard() {
  if (done_) return;
  done_ = true;
  db_.abortOpen();
}

}  // namespace cm3::cli
