#include "records/text.h"

#include <algorithm>
#include <cstring>

#include "records/bytes.h"

namespace cm3 {

std::string fieldText(const uint8_t* field, size_t width) {
  const void* nul = std::memchr(field, 0, width);
  size_t n = nul ? size_t(static_cast<const uint8_t*>(nul) - field) : width;
  return std::string(reinterpret_cast<const char*>(field), n);
}

std::string_view trimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return s.substr(i);
}

std::string_view trimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return s.substr(0, n);
}

std::string_view trim(std::string_view s) { return trimRight(trimLeft(s)); }

static void putPadded(std::string_view text, uint8_t* field, size_t width) {
  size_t n = std::min(text.size(), width);
  std::memcpy(field, text.data(), n);
  std::memset(field + n, 0, width - n);
}

bool encodeName(std::string_view text, uint8_t* field, size_t width) {
  if (trim(text).size() > width) return false;
  putPadded(trimLeft(text), field, width);
  return true;
}

void encodeTrimmed(std::string_view text, uint8_t* field, size_t width) {
  putPadded(trim(text), field, width);
}

void encodeLeftTrimmed(std::string_view text, uint8_t* field, size_t width) {
  putPadded(trimLeft(text), field, width);
}

int32_t CVL(std::string_view fourChars) {
  uint8_t b[4] = {0, 0, 0, 0};
  std::memcpy(b, fourChars.data(), std::min<size_t>(4, fourChars.size()));
  return loadI32(b);
}

std::string MKL(int32_t value) {
  uint8_t b[4];
  storeI32(b, value);
  return std::string(reinterpret_cast<const char*>(b), 4);
}

}  // namespace cm3
