#include "cli/common.h"

#include "records/convert.h"
#include "records/cp1252.h"

namespace cm3::cli {

std::string utf8(std::string_view text8) { return cp1252::toUtf8(text8); }

std::string fromUtf8Strict(std::string_view utf8Text) {
  if (!cp1252::representable(utf8Text)) throw CliError(kIllegalValue);
  return cp1252::fromUtf8(utf8Text);
}

int64_t parseNumber(std::string_view text, int64_t min, int64_t max, const std::string& what) {
  auto v = parseWhole(text, min, max);
  if (!v)
    throw RefusedValue(what, what + ": \"" + std::string(text) + "\" is not a whole number from " + std::to_string(min) +
                   " to " + std::to_string(max));
  return *v;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

}  // namespace cm3::cli
