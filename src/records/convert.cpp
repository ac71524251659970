#include "records/convert.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace cm3 {

namespace {

std::string_view trimmed(std::string_view text) {
  size_t b = text.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  return text.substr(b, text.find_last_not_of(" \t") - b + 1);
}

// Reads a trimmed text as a number: None with the value, NotANumber, or
// Overflow for a number beyond the range of a double.
NumberFault scan(std::string_view t, double& value) {
  if (!t.empty() && t[0] == '+') t.remove_prefix(1);
  if (t.empty()) return NumberFault::NotANumber;
  // from_chars also takes "inf" and "nan"; a number starts with a digit, a
  // point, or a minus sign followed by one of those.
  auto digitOrPoint = [](char c) { return (c >= '0' && c <= '9') || c == '.'; };
  if (!(digitOrPoint(t[0]) || (t[0] == '-' && t.size() > 1 && digitOrPoint(t[1])))) return NumberFault::NotANumber;
  value = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value, std::chars_format::general);
  if (end != t.data() + t.size()) return NumberFault::NotANumber;
  if (ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; a magnitude beyond a double does not fit anything.
    size_t ePos = t.find_first_of("eE");
    if (ePos != std::string_view::npos && ePos + 1 < t.size() && t[ePos + 1] == '-') {
      value = 0;
      return NumberFault::None;
    }
    return NumberFault::Overflow;
  }
  if (ec != std::errc() || !std::isfinite(value)) return NumberFault::NotANumber;
  return NumberFault::None;
}

}  // namespace

NumberFault parseWhole(std::string_view text, const WholeRules& rules, int64_t& out) {
  const std::string_view t = trimmed(text);
  if (!rules.fraction) {
    const size_t digits = !t.empty() && (t[0] == '-' || t[0] == '+') ? 1 : 0;
    if (digits == t.size() || t.find_first_not_of("0123456789", digits) != std::string_view::npos)
      return NumberFault::NotANumber;
  }
  double v = 0;
  if (NumberFault f = scan(t, v); f != NumberFault::None) return f;
  const double r = std::nearbyint(v);
  if (r < double(rules.min) || r > double(rules.max)) return NumberFault::Overflow;
  out = int64_t(r);
  return NumberFault::None;
}

std::optional<int64_t> parseWhole(std::string_view text, int64_t min, int64_t max) {
  int64_t v = 0;
  if (parseWhole(text, WholeRules{min, max}, v) != NumberFault::None) return std::nullopt;
  return v;
}

std::optional<double> parseReal(std::string_view text) {
  double v = 0;
  if (scan(trimmed(text), v) != NumberFault::None) return std::nullopt;
  return v;
}

std::string formatReal(double value) {
  if (value == 0) return "0";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15G", value);
  return buf;
}

std::optional<double> realFromBox(std::string_view text, double stored) {
  if (trimmed(text) == formatReal(stored)) return stored;
  return parseReal(text);
}

uint8_t toByteInRange(std::string_view text) {
  const auto v = parseWhole(text, 0, 255);
  if (!v) throw ValueError("Illegal value!");
  return uint8_t(*v);
}

}  // namespace cm3
