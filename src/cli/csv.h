// Writing comma-separated values: one header row, then one row per record.
// A cell is quoted when it holds a comma, a quote, a line break or leading
// or trailing spaces; quotes inside are doubled. Lines end with CRLF.
#pragma once
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace cm3::cli {

class CsvWriter {
 public:
  explicit CsvWriter(std::ostream& out) : out_(out) {}
  void row(const std::vector<std::string>& cells);

 private:
  std::ostream& out_;
};

std::string csvCell(std::string_view text);

}  // namespace cm3::cli
