// Conversions of box texts into record numbers. A text converts when it is a
// whole decimal number, optionally signed, optionally surrounded by spaces,
// and lies within the field's range; anything else (empty, letters, a
// fraction, out of range) is refused.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace cm3 {

std::optional<int64_t> parseWhole(std::string_view text, int64_t min, int64_t max);

// The conversions of the person boxes; each throws ValueError on a refused text.
uint8_t toByteInRange(std::string_view text);    // 0..255
uint8_t toByteWrapped(std::string_view text);    // -32768..32767, low 8 bits kept
int16_t toInt16(std::string_view text);          // -32768..32767
int32_t toInt32(std::string_view text);          // 32-bit signed

}  // namespace cm3
