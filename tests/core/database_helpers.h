// Helpers of the database, recovery and crash tests: the game files of a
// folder, index entries edited on disk, and the layout of staff.dat.
#pragma once
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "database/catalogue.h"
#include "database/database.h"
#include "records/bytes.h"
#include "testutil.h"

namespace cm3test {

using Bytes = std::vector<uint8_t>;
using Files = std::map<std::string, Bytes>;

// Files the editor makes while a database is open (and index_temp.dat,
// which it leaves behind), and the temporary names files are built under.
inline bool isEditorFile(const std::string& name) {
  static const std::set<std::string> kNames = {"staff_att.dat", "staff_att2.dat", "staff_unknown.dat",
                                               "index_temp.dat"};
  return kNames.count(name) > 0 || (name.size() > 4 && name.compare(name.size() - 4, 4, ".new") == 0);
}

// The game's own files of a Data folder with their bytes.
inline Files gameFiles(const fs::path& data) {
  Files all = snapshot(data);
  for (auto it = all.begin(); it != all.end();) it = isEditorFile(it->first) ? all.erase(it) : std::next(it);
  return all;
}

// Equal file sets; on failure names the files that differ, not their bytes.
inline ::testing::AssertionResult sameFiles(const Files& actual, const Files& expected) {
  std::string diff;
  for (const auto& [name, bytes] : actual) {
    auto it = expected.find(name);
    if (it == expected.end())
      diff += " " + name + " (not expected)";
    else if (it->second != bytes)
      diff += " " + name + " (" + std::to_string(bytes.size()) + " bytes, expected " +
              std::to_string(it->second.size()) + (bytes.size() == it->second.size() ? ", others differ)" : ")");
  }
  for (const auto& [name, bytes] : expected)
    if (!actual.count(name)) diff += " " + name + " (missing)";
  if (diff.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "files differ:" << diff;
}

inline std::vector<std::string> fileNames(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Index entry fields in the bytes of index.dat (with its 8-byte header).
inline size_t entryOffset(int entry, size_t field) { return size_t(cm3::kIndexHeader + 67 * (entry - 1)) + field; }
inline int32_t entryCount(const Bytes& index, int entry) {
  return cm3::loadI32(index.data() + entryOffset(entry, cm3::IndexRecord::CountOffset));
}
inline int32_t entryPosition(const Bytes& index, int entry) {
  return cm3::loadI32(index.data() + entryOffset(entry, cm3::IndexRecord::PositionOffset));
}
inline void setEntryCountOnDisk(const fs::path& indexFile, int entry, int32_t count) {
  Bytes b = slurp(indexFile);
  cm3::storeI32(b.data() + entryOffset(entry, cm3::IndexRecord::CountOffset), count);
  spit(indexFile, b);
}

inline cm3::SectionTable sectionsOf(const Bytes& index) {
  return cm3::sectionTableFrom(entryCount(index, cm3::kEntryPeople), entryCount(index, cm3::kEntrySection2),
                               entryCount(index, cm3::kEntrySection3), entryCount(index, cm3::kEntrySection4));
}

inline Bytes slice(const Bytes& b, int64_t from, int64_t to) {
  from = std::clamp<int64_t>(from, 0, int64_t(b.size()));
  to = std::clamp<int64_t>(to, from, int64_t(b.size()));
  return Bytes(b.begin() + from, b.begin() + to);
}

inline void copyTree(const fs::path& from, const fs::path& to) {
  fs::remove_all(to);
  fs::copy(from, to, fs::copy_options::recursive);
}

// A scratch folder of its own under the test temp dir, removed at the end.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& tag) {
    static int counter = 0;
    path_ = fs::path(::testing::TempDir()) /
            ("cm3db_" + tag + "_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

}  // namespace cm3test
