// Fixed-width 8-bit text fields and the write rules the editor applies.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cm3 {

// The text of a fixed field: its bytes up to the first zero byte (the whole
// field when there is none).
std::string fieldText(const uint8_t* field, size_t width);

// Spaces only, as the game's platform trims.
std::string_view trimLeft(std::string_view s);
std::string_view trimRight(std::string_view s);
std::string_view trim(std::string_view s);

// Person names (first, second and common names, 51 bytes): the text with its
// leading spaces removed and zero bytes after it, cut at the width; trailing
// spaces stay. Returns false, writing nothing, when the text without leading
// and trailing spaces is longer than the width.
bool encodeName(std::string_view text, uint8_t* field, size_t width = 51);

// Club and stadium names: leading and trailing spaces removed, zero bytes to
// the width; a longer text is cut at the width.
void encodeTrimmed(std::string_view text, uint8_t* field, size_t width);

// Nation, continent and competition texts: leading spaces removed, zero
// bytes to the width; a longer text is cut at the width.
void encodeLeftTrimmed(std::string_view text, uint8_t* field, size_t width);

// The 4-byte integer/text conversions used for squad slot fields.
int32_t CVL(std::string_view fourChars);  // fewer than 4 characters read as zero bytes
std::string MKL(int32_t value);

}  // namespace cm3
