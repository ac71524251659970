// List choices for stored identifiers, and the stadium markers' text, for
// the club, nation and competition windows.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cm3::world {

// The list row that shows a stored identifier or code: the value itself when
// the list has that row, else -1 (no selection).
inline int rowOf(int64_t stored, size_t rows) {
  return stored >= 0 && stored < int64_t(rows) ? int(stored) : -1;
}

// The value a list choice stores back: the chosen row, or `none` when nothing
// is chosen; a stored value that the list could not show (no row for it) is
// kept while the list stays without a choice, so that reading and writing a
// record never loses a value the window cannot display.
inline int64_t choiceValue(int row, int64_t stored, size_t rows, int64_t none) {
  if (row >= 0) return row;
  return rowOf(stored, rows) < 0 && stored != none ? stored : none;
}

// Upper-case of the 8-bit text without spaces around it, for the stadium
// markers.
std::string upperTrimmed(std::string_view text);

}  // namespace cm3::world
