// Helpers shared by the core tests: scratch game directories and file snapshots.
#pragma once
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "sample/generator.h"

namespace cm3test {

namespace fs = std::filesystem;

inline std::vector<uint8_t> slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void spit(const fs::path& p, const std::vector<uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Every file of a folder with its bytes.
inline std::map<std::string, std::vector<uint8_t>> snapshot(const fs::path& dir) {
  std::map<std::string, std::vector<uint8_t>> files;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_regular_file()) files[e.path().filename().string()] = slurp(e.path());
  return files;
}

// A fresh game directory, removed again by the destructor.
class GameDir {
 public:
  explicit GameDir(const cm3::sample::Preset& preset = cm3::sample::smallPreset(), uint64_t seed = 1) {
    static std::atomic<int> counter{0};
    dir_ = fs::path(::testing::TempDir()) /
           ("cm3game_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(dir_);
    cm3::sample::generate(dir_.string(), preset, seed);
  }
  ~GameDir() { fs::remove_all(dir_); }
  std::string str() const { return dir_.string(); }
  fs::path data() const { return dir_ / "Data"; }
  fs::path file(const std::string& name) const { return data() / name; }

 private:
  fs::path dir_;
};

}  // namespace cm3test
