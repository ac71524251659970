// Running the built cm3db from a test: arguments in, exit code and the text
// of stdout and stderr out.
#pragma once
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <sstream>

#include <nlohmann/json.hpp>

#include "common/testkit.h"

extern char** environ;

namespace cm3test {

using Json = nlohmann::ordered_json;

struct Result {
  int code = -1;
  std::string out, err;
  Json json() const { return Json::parse(out); }
  std::vector<Json> lines() const {  // one JSON object per line
    std::vector<Json> rows;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
      if (!line.empty()) rows.push_back(Json::parse(line));
    return rows;
  }
};

inline Result cm3db(const std::vector<std::string>& args) {
  ScratchDir io("run");
  const std::string outPath = (io.path() / "out").string(), errPath = (io.path() / "err").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<std::string> all = {CM3DB_PATH};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  Result r;
  if (posix_spawn(&pid, CM3DB_PATH, &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  r.out = readText(outPath);
  r.err = readText(errPath);
  return r;
}

// What `show` prints for record `id` of `kind`.
inline Json show(const GameDir& game, const std::string& kind, int64_t id) {
  const Result r = cm3db({"show", game.str(), kind, std::to_string(id)});
  EXPECT_EQ(r.code, 0) << r.err;
  return r.json();
}

}  // namespace cm3test
