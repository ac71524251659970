// Writing comma-separated values: one header row, then one row per record.
// A cell is quoted when it holds a comma, a quote, a line break or leading
// or trailing spaces; quotes inside are doubled. Lines end with CRLF.
#pragma once
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace cm3::exchange {

class CsvWriter {
 public:
  explicit CsvWriter(std::ostream& out) : out_(out) {}
  void row(const std::vector<std::string>& cells);

  // Adds cells to each row before it is written; row 0 is the header.
  std::function<void(std::vector<std::string>& cells, size_t row)> extend;

 private:
  std::ostream& out_;
  size_t rows_ = 0;
};

std::string csvCell(std::string_view text);

// Reading what a spreadsheet saves: UTF-8 with or without a byte-order mark,
// cells separated by commas or (as many spreadsheet locales write) by
// semicolons, the separator being the one the header row uses; quoted cells
// may hold separators, doubled quotes and line breaks. Each row keeps the
// line it starts on (1-based).
struct CsvRow {
  size_t line;
  std::vector<std::string> cells;
};
std::vector<CsvRow> readCsv(std::string_view text);

}  // namespace cm3::exchange
