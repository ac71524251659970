#include "records/cp1252.h"

#include <array>
#include <cstdint>

namespace cm3::cp1252 {
namespace {

// Unicode code points for bytes 0x80..0x9F.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t toUnicode(unsigned char c) {
  if (c >= 0x80 && c <= 0x9F) return kHigh[c - 0x80];
  return c;
}

int fromUnicode(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return int(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[size_t(i)] == cp) return 0x80 + i;
  return -1;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(char(cp));
  } else if (cp < 0x800) {
    out.push_back(char(0xC0 | (cp >> 6)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(char(0xE0 | (cp >> 12)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (cp >> 18)));
    out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at s[i]; returns its length or 0 when invalid.
size_t decodeUtf8(std::string_view s, size_t i, char32_t& cp) {
  auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = b(i);
  size_t len;
  if (c < 0x80) { cp = c; return 1; }
  if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; }
  else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; }
  else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; }
  else return 0;
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF)
    return 0;
  return len;
}

}  // namespace

std::string toUtf8(std::string_view text8) {
  std::string out;
  out.reserve(text8.size());
  for (char ch : text8) appendUtf8(out, toUnicode(static_cast<unsigned char>(ch)));
  return out;
}

std::string fromUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp;
    size_t len = decodeUtf8(utf8, i, cp);
    if (len == 0) {
      out.push_back(utf8[i]);
      ++i;
      continue;
    }
    int code = fromUnicode(cp);
    out.push_back(code < 0 ? '?' : char(code));
    i += len;
  }
  return out;
}

bool representable(std::string_view utf8) {
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp;
    size_t len = decodeUtf8(utf8, i, cp);
    if (len == 0) return false;
    if (fromUnicode(cp) < 0) return false;
    i += len;
  }
  return true;
}

unsigned char upper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  if (c == 0x9A) return 0x8A;  // š -> Š
  if (c == 0x9C) return 0x8C;  // œ -> Œ
  if (c == 0x9E) return 0x8E;  // ž -> Ž
  if (c == 0xFF) return 0x9F;  // ÿ -> Ÿ
  return c;
}

std::string upper(std::string_view text8) {
  std::string out(text8);
  for (char& ch : out) ch = static_cast<char>(upper(static_cast<unsigned char>(ch)));
  return out;
}

}  // namespace cm3::cp1252
