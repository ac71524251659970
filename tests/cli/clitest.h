// Running the built cm3db from a test: arguments in, exit code and the text
// of stdout and stderr out.
#pragma once
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/testutil.h"

extern char** environ;

namespace cm3test {

struct Result {
  int code = -1;
  std::string out, err;
  nlohmann::ordered_json json() const { return nlohmann::ordered_json::parse(out); }
  // One JSON object per line.
  std::vector<nlohmann::json> lines() const {
    std::vector<nlohmann::json> rows;
    size_t at = 0;
    while (at < out.size()) {
      size_t end = out.find('\n', at);
      if (end == std::string::npos) end = out.size();
      if (end > at) rows.push_back(nlohmann::json::parse(out.substr(at, end - at)));
      at = end + 1;
    }
    return rows;
  }
};

inline std::string readText(const fs::path& p) {
  std::vector<uint8_t> b = slurp(p);
  return std::string(b.begin(), b.end());
}

inline Result cm3db(const std::vector<std::string>& args) {
  static int counter = 0;
  const fs::path base = fs::path(::testing::TempDir()) /
                        ("cm3db_run_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
  const std::string outPath = base.string() + ".out", errPath = base.string() + ".err";
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
  fs::remove(outPath);
  fs::remove(errPath);
  return r;
}

}  // namespace cm3test
