#include "clubs/boxvalues.h"

#include <cstdio>

namespace cm3::world {

namespace {

std::string_view trimmedBox(std::string_view text) {
  size_t b = text.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  return text.substr(b, text.find_last_not_of(" \t") - b + 1);
}

}  // namespace

std::string formatReal(double value) {
  if (value == 0) return "0";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15G", value);
  return buf;
}

std::optional<double> realFromBox(std::string_view text, double stored) {
  if (trimmedBox(text) == formatReal(stored)) return stored;
  return parseReal(text);
}

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
