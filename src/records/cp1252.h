// Windows-1252 <-> UTF-8.
//
// Every text inside the core is kept exactly as the game files store it: a
// std::string of 8-bit Windows-1252 characters. Front ends convert at their
// edge with these functions. The mapping is a bijection on all 256 byte
// values: the five codes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) map to the C1 control characters of the same number, so any
// byte string survives a round trip.
#pragma once
#include <string>
#include <string_view>

namespace cm3::cp1252 {

// 8-bit text to UTF-8.
std::string toUtf8(std::string_view text8);

// UTF-8 to 8-bit text. Characters with no Windows-1252 code become '?';
// invalid UTF-8 bytes are taken as Windows-1252 bytes themselves.
std::string fromUtf8(std::string_view utf8);

// True when every character of the UTF-8 text has a Windows-1252 code.
bool representable(std::string_view utf8);

// Upper case of one Windows-1252 character, as the game's platform does it
// (ASCII letters, accented Latin-1 letters, and the three letters of the
// 0x80-0x9F block that have upper-case partners).
unsigned char upper(unsigned char c);
std::string upper(std::string_view text8);

}  // namespace cm3::cp1252
