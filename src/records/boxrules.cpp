#include "records/boxrules.h"

#include <algorithm>

#include "records/convert.h"
#include "records/records.h"
#include "records/text.h"

namespace cm3 {

namespace {

struct RuleRow {
  FieldTable record;
  std::string_view field;
  BoxRule rule;
};

constexpr RuleRow kRules[] = {
    {NameRecord::kFields, "Name", BoxRule::Name},
    {PlayerAttRecord::kFields, "Attributes", BoxRule::Wrapped},
    {PlayerAttRecord::kFields, "PositionRatings", BoxRule::Wrapped},
    {ClubRecord::kFields, "LongName", BoxRule::Trimmed},
    {ClubRecord::kFields, "ShortName", BoxRule::Trimmed},
    {ClubRecord::kFields, "LastPosition", BoxRule::Rounded},
    {ClubRecord::kFields, "TrainingFacility", BoxRule::Rounded},
    {ClubRecord::kFields, "Cash", BoxRule::Rounded},
    {ClubRecord::kFields, "AvgAttendance", BoxRule::Rounded},
    {ClubRecord::kFields, "MinAttendance", BoxRule::Rounded},
    {ClubRecord::kFields, "MaxAttendance", BoxRule::Rounded},
    {ClubRecord::kFields, "Reputation", BoxRule::Rounded},
    {StadiumRecord::kFields, "LongName", BoxRule::Trimmed},
    {StadiumRecord::kFields, "Capacity", BoxRule::Rounded},
    {StadiumRecord::kFields, "Seating", BoxRule::Rounded},
    {StadiumRecord::kFields, "Expansion", BoxRule::Rounded},
    {NationRecord::kFields, "Name", BoxRule::LeftTrimmed},
    {NationRecord::kFields, "Nationality", BoxRule::LeftTrimmed},
    {NationRecord::kFields, "ShortName", BoxRule::LeftTrimmed},
    {NationRecord::kFields, "Symbol", BoxRule::LeftTrimmed},
    {NationRecord::kFields, "GameImportance", BoxRule::Rounded},
    {NationRecord::kFields, "LeagueStandard", BoxRule::Rounded},
    {NationRecord::kFields, "Reputation", BoxRule::Rounded},
    {ContinentRecord::kFields, "ShortSymbol", BoxRule::LeftTrimmed},
    {ContinentRecord::kFields, "Type", BoxRule::LeftTrimmed},
    {ContinentRecord::kFields, "FederationName", BoxRule::LeftTrimmed},
    {ContinentRecord::kFields, "FederationShortName", BoxRule::LeftTrimmed},
    {CompRecord::kFields, "LongName", BoxRule::LeftTrimmed},
    {CompRecord::kFields, "ShortName", BoxRule::LeftTrimmed},
    {CompRecord::kFields, "ThreeLetterName", BoxRule::LeftTrimmed},
    {CompRecord::kFields, "Reputation", BoxRule::Rounded},
    {CompRecord::kFields, "Scope", BoxRule::Rounded},
    {CompRecord::kFields, "Selected", BoxRule::Rounded},
};
static_assert(std::ranges::all_of(kRules, [](const RuleRow& r) { return listCount(r.record, r.field) > 0; }),
              "a box rule names a field its record does not have");

[[noreturn]] void refuse(const std::string& box, const std::string& why) { throw RefusedValue(box, why); }

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

FieldValue textValue(BoxRule rule, const FieldInfo& f, std::string_view text, const std::string& box) {
  switch (rule) {
    case BoxRule::Name:
      if (trim(text).size() > f.width) refuse(box, "longer than " + std::to_string(f.width) + " characters");
      text = trimLeft(text);
      break;
    case BoxRule::Trimmed: text = trim(text); break;
    case BoxRule::LeftTrimmed: text = trimLeft(text); break;
    default:
      if (text.size() > f.width) refuse(box, "longer than " + std::to_string(f.width) + " characters");
  }
  // The field holds the text up to its width and up to a zero byte.
  text = text.substr(0, f.width);
  return std::string(text.substr(0, text.find('\0')));
}

int64_t wholeValue(BoxRule rule, const FieldInfo& f, int64_t n, const std::string& box) {
  if (rule == BoxRule::Wrapped && f.type == FieldType::U8) {
    if (n < kWrappedByte.min || n > kWrappedByte.max)
      refuse(box, std::to_string(n) + " is not a whole number from -32768 to 32767");
    return n & 0xFF;
  }
  if (n < minValue(f) || n > maxValue(f))
    refuse(box, std::to_string(n) + " is not in " + std::to_string(minValue(f)) + ".." + std::to_string(maxValue(f)));
  return n;
}

}  // namespace

std::string boxText(const FieldValue& v) {
  if (const auto* n = std::get_if<int64_t>(&v)) return std::to_string(*n);
  if (const auto* d = std::get_if<double>(&v)) return formatReal(*d);
  return std::get<std::string>(v);
}

BoxRule boxRule(FieldTable record, const FieldInfo& f) {
  for (const RuleRow& r : kRules)
    if (r.record.data() == record.data() && r.field == f.name) return r.rule;
  return BoxRule::Field;
}

FieldValue fromBox(FieldTable record, const FieldInfo& f, std::string_view text, const FieldValue& stored,
                   const std::string& box) {
  const BoxRule rule = boxRule(record, f);
  if (f.integer()) {
    const bool wrapped = rule == BoxRule::Wrapped && f.type == FieldType::U8;
    const WholeRules rules = wrapped ? kWrappedByte : WholeRules{minValue(f), maxValue(f), rule == BoxRule::Rounded};
    int64_t n = 0;
    if (const NumberFault fault = parseWhole(text, rules, n); fault != NumberFault::None)
      throw RefusedValue(fault == NumberFault::NotANumber ? kNotANumber : kTooLarge, box,
                         quoted(text) + " is not a whole number from " + std::to_string(rules.min) + " to " +
                             std::to_string(rules.max));
    return wholeValue(rule, f, n, box);
  }
  if (f.type == FieldType::F64) {
    const double* was = std::get_if<double>(&stored);
    if (auto v = was ? realFromBox(text, *was) : parseReal(text)) return *v;
    refuse(box, quoted(text) + " is not a number");
  }
  return textValue(rule, f, text, box);
}

FieldValue fromBox(FieldTable record, const FieldInfo& f, const FieldValue& given, const std::string& box) {
  if (f.kept || f.type == FieldType::Bytes || f.type == FieldType::F64) return given;
  const BoxRule rule = boxRule(record, f);
  if (const auto* n = std::get_if<int64_t>(&given)) return f.integer() ? FieldValue(wholeValue(rule, f, *n, box)) : given;
  // A text the field holds is written as given, so that a copy of another
  // game's text stays byte for byte that text.
  if (const auto* s = std::get_if<std::string>(&given); s && s->size() > f.width) return textValue(rule, f, *s, box);
  return given;
}

}  // namespace cm3
