// How the window box of each field turns its text into the field's value.
// The windows' save functions convert with these rules, and so do CSV import
// and patches, so a text is taken (or refused) the same way whichever way it
// comes in.
#pragma once
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "records/fields.h"

namespace cm3 {

enum class BoxRule : uint8_t {
  Field,        // no box of its own: a whole number in the field's range, a real, a text that fits
  Wrapped,      // any 16-bit number; the byte keeps its low 8 bits (attribute and position boxes)
  Rounded,      // a decimal number rounded half to even, in the field's range (club, stadium, nation and
                // competition number boxes)
  Name,         // leading spaces dropped; refused when longer than the field without its outer spaces
  Trimmed,      // spaces around it dropped, cut at the field's width (club and stadium names)
  LeftTrimmed,  // leading spaces dropped, cut at the field's width (nation, continent and competition texts)
};

// The rule of field `f` of the record whose field table is `record`.
BoxRule boxRule(FieldTable record, const FieldInfo& f);

// The value the box of field `f` stores for the 8-bit `text`, given the
// field's `stored` value: a real whose text still reads as the stored value
// keeps its bits. Throws RefusedValue naming `box` for a text the box refuses,
// for a whole number with the code kNotANumber or kTooLarge.
FieldValue fromBox(FieldTable record, const FieldInfo& f, std::string_view text, const FieldValue& stored,
                   const std::string& box);

// The text a box shows for a value: a whole number in decimal, a real with
// at most 15 significant digits, a text as it is.
std::string boxText(const FieldValue& v);

// Element k of the field named `field` of record `r`, as its box shows it
// and from the text of its box, by the field's rule.
template <class R>
std::string boxText(const R& r, std::string_view field, int k = 0) {
  return boxText(getField(r.data(), *findField(R::kFields, field), k));
}
template <class R>
void setFromBox(R& r, const FieldInfo& f, std::string_view text, const std::string& box, int k = 0) {
  setField(r.data(), f, fromBox(R::kFields, f, text, getField(r.data(), f, k), box), k);
}
template <class R>
void setFromBox(R& r, std::string_view field, std::string_view text, const std::string& box, int k = 0) {
  setFromBox(r, *findField(R::kFields, field), text, box, k);
}

// The value the box of field `f` stores for a value given as such (a patch):
// a value the field holds is taken as it is; otherwise a wrapped byte keeps
// its low 8 bits and a text too long follows its text rule (cut, or refused
// for a name). Throws RefusedValue naming `box` for a value the box refuses.
FieldValue fromBox(FieldTable record, const FieldInfo& f, const FieldValue& given, const std::string& box);

// The texts of a window's boxes, by the object name of each box. A frame
// has a handful of boxes, so they are kept in one list searched in order:
// a form is made for each of 45 000 people by an export.
class BoxTexts {
 public:
  using value_type = std::pair<std::string, std::string>;
  using const_iterator = std::vector<value_type>::const_iterator;

  BoxTexts() = default;
  BoxTexts(std::initializer_list<value_type> texts) {
    for (const value_type& t : texts) (*this)[t.first] = t.second;
  }

  // The text of `box`, added empty when missing.
  std::string& operator[](std::string_view box) {
    for (value_type& t : texts_)
      if (t.first == box) return t.second;
    if (texts_.empty()) texts_.reserve(8);
    return texts_.emplace_back(std::string(box), std::string()).second;
  }
  // The text of `box`; std::out_of_range when missing.
  const std::string& at(std::string_view box) const {
    const auto it = find(box);
    if (it == end()) throw std::out_of_range("no box " + std::string(box));
    return it->second;
  }
  std::string& at(std::string_view box) { return const_cast<std::string&>(std::as_const(*this).at(box)); }
  const_iterator find(std::string_view box) const {
    return std::find_if(begin(), end(), [box](const value_type& t) { return t.first == box; });
  }
  const_iterator begin() const { return texts_.begin(); }
  const_iterator end() const { return texts_.end(); }

 private:
  std::vector<value_type> texts_;
};

// A window box that shows element `k` of a field of a record: `box` is its
// object name, `label` the name the window's messages give it. One table of
// these per frame of a window is both what the window binds and what the
// save takes.
struct FormBox {
  const char* box;
  const char* field;
  const char* label = nullptr;
  int k = 0;
};

// Whether every box of a table names a field of R (for a static_assert
// beside the table).
template <class R, size_t N>
constexpr bool namesFields(const FormBox (&boxes)[N]) {
  for (const FormBox& b : boxes)
    if (listCount(R::kFields, b.field) == 0) return false;
  return true;
}

// The field entries of the boxes of table `Boxes` in record R, looked up
// once (a person is shown 45 000 times by an export).
template <class R, auto& Boxes>
const auto& fieldsOf() {
  static const auto infos = [] {
    std::array<const FieldInfo*, std::size(Boxes)> a{};
    for (size_t i = 0; i < a.size(); ++i) a[i] = findField(R::kFields, Boxes[i].field);
    return a;
  }();
  return infos;
}

// The boxes of table `Boxes` from record `r` into `texts`, and back, in
// table order; a box missing from `texts` is empty. A window writes a text
// field whole: the bytes after the text are zeros. The first refused box
// throws RefusedValue naming it.
template <auto& Boxes, class R>
void showBoxes(const R& r, BoxTexts& texts) {
  const auto& infos = fieldsOf<R, Boxes>();
  for (size_t i = 0; i < infos.size(); ++i) texts[Boxes[i].box] = boxText(getField(r.data(), *infos[i], Boxes[i].k));
}
template <auto& Boxes, class R>
void takeBoxes(R& r, const BoxTexts& texts) {
  const auto& infos = fieldsOf<R, Boxes>();
  for (size_t i = 0; i < infos.size(); ++i) {
    const auto it = texts.find(Boxes[i].box);
    const std::string_view text = it == texts.end() ? std::string_view() : std::string_view(it->second);
    const int k = Boxes[i].k;
    FieldValue v = fromBox(R::kFields, *infos[i], text, getField(r.data(), *infos[i], k), Boxes[i].box);
    if (infos[i]->type == FieldType::Text) std::memset(r.data() + infos[i]->at(k), 0, infos[i]->width);
    setField(r.data(), *infos[i], v, k);
  }
}
// Every box of a table set to `text`.
template <size_t N>
void setBoxes(BoxTexts& texts, const FormBox (&boxes)[N], const std::string& text) {
  for (const FormBox& b : boxes) texts[b.box] = text;
}
// The box of a table named `box`, nullptr when none.
template <size_t N>
const FormBox* findBox(const FormBox (&boxes)[N], std::string_view box) {
  for (const FormBox& b : boxes)
    if (box == b.box) return &b;
  return nullptr;
}

}  // namespace cm3
