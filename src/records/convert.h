// Reading the texts of boxes and command lines as numbers, and the error for
// a value that cannot be stored.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "database/errors.h"

namespace cm3 {

// Why a text does not convert: not a number at all (an empty text included),
// or a number that does not fit.
enum class NumberFault { None, NotANumber, Overflow };

// The rules a text is read as a whole number by. Always: spaces and tabs
// around it, an optional sign and decimal digits, a value in [min, max].
// With `fraction` a decimal fraction and an exponent are taken as well and
// the number is rounded half to even ("2.5" is 2, "1e3" is 1000), as the
// number boxes of the club, nation and competition windows read.
struct WholeRules {
  int64_t min;
  int64_t max;
  bool fraction = false;
};

NumberFault parseWhole(std::string_view text, const WholeRules& rules, int64_t& out);

// The plain rules (no fraction); nullopt for any refused text.
std::optional<int64_t> parseWhole(std::string_view text, int64_t min, int64_t max);

// A decimal number with an optional sign, fraction and exponent, spaces
// around it allowed ("12", " -3 ", "2.5", "1e3"). Non-finite values refused.
std::optional<double> parseReal(std::string_view text);

// The decimal text of a double with at most 15 significant digits, without
// trailing zeros ("12.5", "0", "1E+20", "-0.001").
std::string formatReal(double value);

// A text that still reads as the value shown for `stored` converts back to
// the stored bits, so that a box the user left alone never changes its field
// through rounding to 15 digits. Otherwise the text is parsed.
std::optional<double> realFromBox(std::string_view text, double stored);

// The person attribute and position boxes: any 16-bit number, of which the
// byte keeps the low 8 bits.
inline constexpr WholeRules kWrappedByte{-32768, 32767};

// A value that cannot be stored, naming the box or field it came from (empty
// when the fault is not one box's). what() is the message for the user;
// `code` the fault number a window shows instead of it ("Error 13": not a
// number, "Error 6": too large for its field), 0 for none.
inline constexpr int kNotANumber = 13;
inline constexpr int kTooLarge = 6;
class RefusedValue : public ValueError {
 public:
  RefusedValue(const std::string& box, const std::string& text) : ValueError(text), box_(box) {}
  RefusedValue(int code, const std::string& box, const std::string& text)
      : ValueError(text), code_(code), box_(box) {}
  const std::string& box() const { return box_; }
  int code() const { return code_; }
  std::string message() const { return code_ ? "Error " + std::to_string(code_) : std::string(what()); }

 private:
  int code_ = 0;
  std::string box_;
};

// The mental rating boxes: a whole number 0..255; throws ValueError.
uint8_t toByteInRange(std::string_view text);

}  // namespace cm3
