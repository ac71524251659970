#include "cli/csv.h"

namespace cm3::cli {

std::string csvCell(std::string_view text) {
  const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                     (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quote) return std::string(text);
  std::string s = "\"";
  for (char c : text) {
    if (c == '"') s.push_back('"');
    s.push_back(c);
  }
  s.push_back('"');
  return s;
}

void CsvWriter::row(const std::vector<std::string>& cells) {
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i) out_ << ',';
    out_ << csvCell(cells[i]);
  }
  out_ << "\r\n";
}

}  // namespace cm3::cli
