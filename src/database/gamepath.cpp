#include "database/gamepath.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <vector>

namespace cm3 {
namespace {

void splitInto(std::string_view s, std::vector<std::string>& parts) {
  std::string cur;
  for (char c : s) {
    if (c == '/' || c == '\\') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  if (!cur.empty()) parts.push_back(cur);
}

bool exists(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0;
}

std::string matchComponent(const std::string& parent, const std::string& name) {
  std::string direct = parent + (parent.empty() || parent.back() == '/' ? "" : "/") + name;
  if (exists(direct)) return direct;
  DIR* dir = ::opendir(parent.empty() ? "." : parent.c_str());
  if (!dir) return direct;
  std::string found;
  while (dirent* e = ::readdir(dir)) {
    if (::strcasecmp(e->d_name, name.c_str()) == 0) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(dir);
  if (found.empty()) return direct;
  return parent + (parent.empty() || parent.back() == '/' ? "" : "/") + found;
}

}  // namespace

std::string resolveGamePath(std::string_view gameDir, std::string_view relative) {
  std::vector<std::string> parts;
  splitInto(gameDir, parts);
  splitInto(relative, parts);
  bool absolute = !gameDir.empty() && (gameDir[0] == '/' || gameDir[0] == '\\');
  std::string path = absolute ? "/" : "";
  for (const auto& part : parts) {
    if (part == "." ) continue;
    if (part == "..") {
      path += (path.empty() || path.back() == '/' ? "" : "/") + part;
      continue;
    }
    path = matchComponent(path, part);
  }
  if (path.empty()) path = ".";
  return path;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace cm3
