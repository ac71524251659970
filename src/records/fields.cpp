#include "records/fields.h"

#include <cstring>
#include <stdexcept>

#include "records/bytes.h"
#include "records/convert.h"
#include "records/text.h"

namespace cm3 {

namespace {
char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  return true;
}
}  // namespace

const FieldInfo* findField(FieldTable t, std::string_view name) {
  for (const FieldInfo& f : t)
    if (sameName(f.name, name)) return &f;
  return nullptr;
}

int64_t minValue(const FieldInfo& f) {
  switch (f.type) {
    case FieldType::I16: return INT16_MIN;
    case FieldType::I32: return INT32_MIN;
    default: return 0;
  }
}

int64_t maxValue(const FieldInfo& f) {
  switch (f.type) {
    case FieldType::U8: return UINT8_MAX;
    case FieldType::I16: return INT16_MAX;
    case FieldType::I32: return INT32_MAX;
    default: return 0;
  }
}

FieldValue getField(const uint8_t* rec, const FieldInfo& f, int k) {
  const uint8_t* p = rec + f.at(k);
  switch (f.type) {
    case FieldType::U8: return int64_t(*p);
    case FieldType::I16: return int64_t(loadI16(p));
    case FieldType::I32: return int64_t(loadI32(p));
    case FieldType::F64: return loadF64(p);
    case FieldType::Text: return fieldText(p, f.width);
    case FieldType::Bytes: break;
  }
  return std::string(reinterpret_cast<const char*>(p), f.width);
}

void setField(uint8_t* rec, const FieldInfo& f, const FieldValue& v, int k) {
  uint8_t* p = rec + f.at(k);
  const std::string name(f.name);
  if (f.integer()) {
    const int64_t* n = std::get_if<int64_t>(&v);
    if (!n) throw std::invalid_argument(name + " holds a whole number");
    if (*n < minValue(f) || *n > maxValue(f))
      throw RefusedValue(name, name + ": " + std::to_string(*n) + " is not in " + std::to_string(minValue(f)) + ".." +
                       std::to_string(maxValue(f)));
    if (f.type == FieldType::U8) *p = uint8_t(*n);
    else if (f.type == FieldType::I16) storeI16(p, int16_t(*n));
    else storeI32(p, int32_t(*n));
    return;
  }
  if (f.type == FieldType::F64) {
    const double* d = std::get_if<double>(&v);
    if (!d) throw std::invalid_argument(name + " holds a real number");
    storeF64(p, *d);
    return;
  }
  const std::string* s = std::get_if<std::string>(&v);
  if (!s) throw std::invalid_argument(name + " holds text or bytes");
  if (f.type == FieldType::Bytes ? s->size() != f.width : s->size() > f.width)
    throw RefusedValue(name, name + ": " + std::to_string(s->size()) + " bytes do not fit its " + std::to_string(f.width));
  // A text field keeps the bytes after its end while its text stays the same.
  if (f.type == FieldType::Text && fieldText(p, f.width) == *s) return;
  std::memset(p, 0, f.width);
  std::memcpy(p, s->data(), s->size());
}

}  // namespace cm3
