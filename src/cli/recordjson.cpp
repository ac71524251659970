#include "cli/recordjson.h"

#include <utility>
#include <variant>

#include "people/person.h"

namespace cm3::cli {

namespace {
Json element(const uint8_t* rec, const FieldInfo& f, int k) {
  const FieldValue v = getField(rec, f, k);
  if (const int64_t* n = std::get_if<int64_t>(&v)) return *n;
  if (const double* d = std::get_if<double>(&v)) return *d;
  return utf8(std::get<std::string>(v));
}
}  // namespace

std::string hex(const uint8_t* p, size_t n) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  s.reserve(2 * n);
  for (size_t i = 0; i < n; ++i) {
    s.push_back(digits[p[i] >> 4]);
    s.push_back(digits[p[i] & 15]);
  }
  return s;
}

Json recordJson(const uint8_t* rec, FieldTable t) {
  Json j = Json::object();
  for (size_t i = 0; i < t.size();) {
    const FieldInfo& f = t[i];
    if (f.kept) {
      // Neighbouring kept entries make one hex run named by where it starts.
      size_t e = i;
      while (e < t.size() && t[e].kept) ++e;
      j["Kept" + std::to_string(f.offset)] = hex(rec + f.offset, t[e - 1].end() - f.offset);
      i = e;
      continue;
    }
    ++i;
    const std::string name(f.name);
    if (!f.array) {
      j[name] = element(rec, f, 0);
    } else if (!j.contains(name)) {
      // A list held in several runs is shown once, where its first run lies.
      Json a = Json::array();
      for (const FieldInfo& run : t)
        if (run.name == f.name)
          for (int k = 0; k < run.count; ++k) a.push_back(element(rec, run, k));
      j[name] = std::move(a);
    }
  }
  return j;
}

Json personJson(Database& db, int64_t personId) {
  if (personId < 0 || personId >= db.PeopleCount() || !db.has<StaffRecord>(kSlotStaff, personId + 1))
    throw CliError("No such person: " + std::to_string(personId));
  const people::PersonForm f = people::loadPerson(db, int32_t(personId));
  const StaffRecord s = db.read<StaffRecord>(kSlotStaff, personId + 1);
  Json j = Json::object();
  j["PersonId"] = personId;
  j["DisplayName"] = utf8(db.personName(personId));
  j["FirstName"] = utf8(f.firstName);
  j["SecondName"] = utf8(f.secondName);
  j["CommonName"] = utf8(f.commonName);
  j["StaffRecord"] = toJson(s);
  if (f.isPlayer) {
    const int64_t n = recordOf(s.PlayerAttIndex());
    j["PlayerAttRecord"] =
        db.has<PlayerAttRecord>(kSlotStaffAtt, n) ? toJson(db.read<PlayerAttRecord>(kSlotStaffAtt, n)) : Json();
  } else {
    const int64_t n = recordOf(s.StaffAttIndex());
    j["StaffAttRecord"] =
        db.has<StaffAttRecord>(kSlotStaffAtt2, n) ? toJson(db.read<StaffAttRecord>(kSlotStaffAtt2, n)) : Json();
  }
  return j;
}

}  // namespace cm3::cli
