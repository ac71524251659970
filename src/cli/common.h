// Shared pieces of the command-line tool: its error type, the JSON type and
// the conversions at the tool's edge (the core keeps 8-bit texts, the
// terminal and the JSON output use UTF-8).
#pragma once
#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string>
#include <string_view>

namespace cm3::cli {

// Fields keep the order they are added in: the order of the record layouts.
using Json = nlohmann::ordered_json;

// A failure the tool reports on stderr and ends with `exitCode`.
class CliError : public std::runtime_error {
 public:
  explicit CliError(const std::string& message, int exitCode = 1)
      : std::runtime_error(message), exitCode_(exitCode) {}
  int exitCode() const { return exitCode_; }

 private:
  int exitCode_;
};

// The message text of the windows for a value that cannot be stored.
inline constexpr const char* kIllegalValue = "Illegal value!";

// 8-bit (Windows-1252) text of the files to UTF-8, and back. fromUtf8Strict
// refuses text with characters the files cannot hold.
std::string utf8(std::string_view text8);
std::string fromUtf8Strict(std::string_view utf8Text);

// A whole decimal number (optionally signed) in min..max; RefusedValue
// naming `what` ("<what>: ... is not a whole number from ...") otherwise.
int64_t parseNumber(std::string_view text, int64_t min, int64_t max, const std::string& what);

// Lower-case ASCII, for matching field names and list items.
std::string lower(std::string_view s);

}  // namespace cm3::cli
