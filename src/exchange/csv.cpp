#include "exchange/csv.h"

namespace cm3::exchange {

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
  std::vector<std::string> all = cells;
  if (extend) extend(all, rows_);
  ++rows_;
  for (size_t i = 0; i < all.size(); ++i) {
    if (i) out_ << ',';
    out_ << csvCell(all[i]);
  }
  out_ << "\r\n";
}

std::vector<CsvRow> readCsv(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  // The header's separator: the first comma or semicolon outside quotes.
  char sep = ',';
  for (size_t i = 0, quoted = 0; i < text.size() && text[i] != '\n'; ++i) {
    if (text[i] == '"') quoted ^= 1;
    if (!quoted && (text[i] == ',' || text[i] == ';')) {
      sep = text[i];
      break;
    }
  }
  std::vector<CsvRow> rows;
  CsvRow row{1, {}};
  std::string cell;
  size_t line = 1;
  bool quoted = false, any = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    any = true;
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        cell += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        if (c == '\n') ++line;
        cell += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == sep) {
      row.cells.push_back(std::move(cell));
      cell.clear();
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      row.cells.push_back(std::move(cell));
      cell.clear();
      rows.push_back(std::move(row));
      row = CsvRow{++line, {}};
      any = false;
    } else {
      cell += c;
    }
  }
  if (any) {
    row.cells.push_back(std::move(cell));
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace cm3::exchange
