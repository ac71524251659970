// The field tables of the records: for every record type one constexpr list
// of its fields in file order (records.h builds it from the same list that
// builds the accessors), and access to any field through its table entry.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace cm3 {

enum class FieldType : uint8_t {
  U8,     // unsigned 8-bit
  I16,    // signed 16-bit, little-endian
  I32,    // signed 32-bit, little-endian
  F64,    // IEEE double, little-endian
  Text,   // 8-bit text of `width` bytes, zero-padded
  Bytes,  // raw bytes
};

// The record a field refers to by its identifier (record number - 1).
enum class FieldRef : uint8_t {
  None, Person, FirstName, SecondName, CommonName, PlayerAtt, StaffAtt,
  Nation, Club, Comp, Stadium, City, Colour, Continent,
};

struct FieldInfo {
  std::string_view name;  // accessor name; arrays take the plural ("Attributes")
  uint16_t offset;
  uint16_t width;         // bytes of one element
  uint16_t count;         // elements; 1 unless `array`
  FieldType type;
  FieldRef ref;
  bool array;             // a list of `count` elements (may be one run of several, see below)
  bool kept;              // not interpreted by the editor; written back as read

  constexpr size_t size() const { return size_t(width) * count; }
  constexpr size_t end() const { return offset + size(); }
  constexpr size_t at(int k) const { return offset + size_t(width) * size_t(k); }
  constexpr bool integer() const { return type == FieldType::U8 || type == FieldType::I16 || type == FieldType::I32; }
};

using FieldTable = std::span<const FieldInfo>;

// A list held in several runs of the record (the club's staff slots) has
// one entry per run, all under the list's name, in file order; element k of
// the list is counted through the runs.
constexpr size_t listOffset(FieldTable t, std::string_view name, int k) {
  for (const FieldInfo& f : t)
    if (f.name == name) {
      if (k < f.count) return f.at(k);
      k -= f.count;
    }
  return size_t(-1);
}
constexpr int listCount(FieldTable t, std::string_view name) {
  int n = 0;
  for (const FieldInfo& f : t)
    if (f.name == name) n += f.count;
  return n;
}

// True when the entries lie in file order, each starting where the one
// before ends, and together cover exactly `size` bytes.
constexpr bool coversExactly(FieldTable t, size_t size) {
  size_t at = 0;
  for (const FieldInfo& f : t) {
    if (f.offset != at || f.count == 0 || f.width == 0) return false;
    at = f.end();
  }
  return at == size;
}

// The entry named `name` (any case), nullptr when there is none.
const FieldInfo* findField(FieldTable t, std::string_view name);

// The values a whole-number field holds: 0..255, -32768..32767, 32-bit.
int64_t minValue(const FieldInfo& f);
int64_t maxValue(const FieldInfo& f);

// One field value: whole numbers for U8/I16/I32, double for F64, the 8-bit
// text (up to its first zero byte) for Text, the raw bytes for Bytes.
using FieldValue = std::variant<int64_t, double, std::string>;

// Element k of field f of the record bytes `rec`.
FieldValue getField(const uint8_t* rec, const FieldInfo& f, int k = 0);
// Writes element k. Throws RefusedValue naming the field for a number outside
// the field's range, a text longer than the field or bytes of another
// length; std::invalid_argument for a value of the wrong kind.
void setField(uint8_t* rec, const FieldInfo& f, const FieldValue& v, int k = 0);

}  // namespace cm3
