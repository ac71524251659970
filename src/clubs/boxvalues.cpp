#include "clubs/boxvalues.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace cm3::world {

namespace {

std::string_view trimmedBox(std::string_view text) {
  size_t b = text.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  return text.substr(b, text.find_last_not_of(" \t") - b + 1);
}

// Reads a whole box text as a number: None with the value, NotANumber, or
// Overflow for a number beyond the range of a double.
Fault scan(std::string_view text, double& value) {
  std::string_view t = trimmedBox(text);
  if (!t.empty() && t[0] == '+') t.remove_prefix(1);
  if (t.empty()) return Fault::NotANumber;
  // from_chars also takes "inf" and "nan"; a box number starts with a digit,
  // a point, or a minus sign followed by one of those.
  auto digitOrPoint = [](char c) { return (c >= '0' && c <= '9') || c == '.'; };
  if (!(digitOrPoint(t[0]) || (t[0] == '-' && t.size() > 1 && digitOrPoint(t[1])))) return Fault::NotANumber;
  value = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value, std::chars_format::general);
  if (end != t.data() + t.size()) return Fault::NotANumber;
  if (ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; a magnitude beyond a double does not fit anything.
    size_t ePos = t.find_first_of("eE");
    if (ePos != std::string_view::npos && ePos + 1 < t.size() && t[ePos + 1] == '-') {
      value = 0;
      return Fault::None;
    }
    return Fault::Overflow;
  }
  if (ec != std::errc() || !std::isfinite(value)) return Fault::NotANumber;
  return Fault::None;
}

}  // namespace

std::optional<double> parseReal(std::string_view text) {
  double v = 0;
  if (scan(text, v) != Fault::None) return std::nullopt;
  return v;
}

Fault parseWhole(std::string_view text, int64_t min, int64_t max, int64_t& out) {
  double v = 0;
  if (Fault f = scan(text, v); f != Fault::None) return f;
  double r = std::nearbyint(v);
  if (r < double(min) || r > double(max)) return Fault::Overflow;
  out = int64_t(r);
  return Fault::None;
}

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
