#include "search/namesearch.h"

#include "records/cp1252.h"

namespace cm3::search {
namespace {

using U = unsigned char;

// Tries the set starting at p[0] == '['. Returns the length of the set in the
// pattern (0 when unclosed) and whether c belongs to it.
size_t parseSet(std::string_view p, U c, bool& hit) {
  size_t i = 1;
  bool negate = false;
  if (i < p.size() && p[i] == '!') {
    negate = true;
    ++i;
  }
  size_t close = p.find(']', i);
  if (close == std::string_view::npos) return 0;
  bool in = false;
  for (size_t k = i; k < close; ++k) {
    U lo = U(p[k]);
    if (k + 2 < close && p[k + 1] == '-') {
      U hi = U(p[k + 2]);
      if (c >= lo && c <= hi) in = true;
      k += 2;
    } else if (c == lo) {
      in = true;
    }
  }
  hit = negate ? !in : in;
  return close + 1;
}

bool match(std::string_view t, std::string_view p) {
  // Iterative with one backtrack point for the last '*'.
  size_t ti = 0, pi = 0;
  size_t starP = std::string_view::npos, starT = 0;
  while (ti < t.size()) {
    bool advanced = false;
    if (pi < p.size()) {
      char pc = p[pi];
      if (pc == '*') {
        starP = ++pi;
        starT = ti;
        continue;
      }
      U c = U(t[ti]);
      if (pc == '?') {
        ++pi, ++ti, advanced = true;
      } else if (pc == '#') {
        if (c >= '0' && c <= '9') ++pi, ++ti, advanced = true;
      } else if (pc == '[') {
        bool hit = false;
        size_t len = parseSet(p.substr(pi), c, hit);
        if (len == 0) {
          if (c == '[') ++pi, ++ti, advanced = true;
        } else if (hit) {
          pi += len, ++ti, advanced = true;
        }
      } else if (U(pc) == c) {
        ++pi, ++ti, advanced = true;
      }
    }
    if (advanced) continue;
    if (starP == std::string_view::npos) return false;
    pi = starP;
    ti = ++starT;
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace

bool likeMatch(std::string_view text8, std::string_view pattern8) {
  std::string t = cp1252::upper(text8);
  std::string p = cp1252::upper(pattern8);
  return match(t, p);
}

std::vector<int> findNames(const std::vector<std::string>& table, int count, std::string_view key8, int limit) {
  std::vector<int> out;
  std::string p = "*" + cp1252::upper(key8) + "*";
  int n = count < int(table.size()) ? count : int(table.size());
  for (int i = 0; i < n && int(out.size()) < limit; ++i) {
    if (match(cp1252::upper(table[size_t(i)]), p)) out.push_back(i);
  }
  return out;
}

}  // namespace cm3::search
