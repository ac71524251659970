#include "records/convert.h"

#include <limits>

#include "database/errors.h"

namespace cm3 {

std::optional<int64_t> parseWhole(std::string_view text, int64_t min, int64_t max) {
  size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  if (b == e) return std::nullopt;
  bool negative = false;
  if (text[b] == '-' || text[b] == '+') {
    negative = text[b] == '-';
    ++b;
  }
  if (b == e) return std::nullopt;
  int64_t value = 0;
  for (size_t i = b; i < e; ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > int64_t(1) << 40) return std::nullopt;  // far beyond every field
  }
  if (negative) value = -value;
  if (value < min || value > max) return std::nullopt;
  return value;
}

namespace {
int64_t need(std::string_view text, int64_t min, int64_t max) {
  auto v = parseWhole(text, min, max);
  if (!v) throw ValueError("Illegal value!");
  return *v;
}
}  // namespace

uint8_t toByteInRange(std::string_view text) { return uint8_t(need(text, 0, 255)); }
uint8_t toByteWrapped(std::string_view text) { return uint8_t(need(text, -32768, 32767) & 0xFF); }
int16_t toInt16(std::string_view text) { return int16_t(need(text, -32768, 32767)); }
int32_t toInt32(std::string_view text) {
  return int32_t(need(text, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace cm3
