#include "clubs/boxvalues.h"

#include <cstdio>

namespace cm3::world {

std::string upperTrimmed(std::string_view text) {
  size_t b = text.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  std::string_view t = text.substr(b, text.find_last_not_of(' ') - b + 1);
  std::string out(t);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return out;
}

}  // namespace cm3::world
