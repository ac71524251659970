#include "diff/diff.h"

#include <algorithm>
#include <cstdio>

#include "database/catalogue.h"
#include "records/cp1252.h"
#include "records/records.h"

namespace cm3::diff {

namespace {

template <class R>
void writeAs(Database& db, int slot, int64_t n, const uint8_t* bytes) {
  R r;
  std::copy(bytes, bytes + R::kSize, r.bytes.begin());
  db.write(slot, n, r);
}

const RecordFile kRecordFiles[] = {
    {kSlotStaff, StaffRecord::kFields, &Database::PersonNameTable, &SectionTable::N8, &writeAs<StaffRecord>},
    {kSlotFirstNames, NameRecord::kFields, nullptr, nullptr, &writeAs<NameRecord>},
    {kSlotSecondNames, NameRecord::kFields, nullptr, nullptr, &writeAs<NameRecord>},
    {kSlotCommonNames, NameRecord::kFields, nullptr, nullptr, &writeAs<NameRecord>},
    {kSlotStaffAtt, PlayerAttRecord::kFields, nullptr, &SectionTable::N11, &writeAs<PlayerAttRecord>},
    {kSlotStaffAtt2, StaffAttRecord::kFields, nullptr, &SectionTable::N10, &writeAs<StaffAttRecord>},
    {kSlotHistory, HistoryRecord::kFields, nullptr, nullptr, &writeAs<HistoryRecord>},
    {kSlotClub, ClubRecord::kFields, &Database::clubNames, nullptr, &writeAs<ClubRecord>},
    {kSlotStadium, StadiumRecord::kFields, &Database::stadiumNames, nullptr, &writeAs<StadiumRecord>},
    {kSlotNation, NationRecord::kFields, &Database::nationNames, nullptr, &writeAs<NationRecord>},
    {kSlotContinent, ContinentRecord::kFields, &Database::continentNames, nullptr, &writeAs<ContinentRecord>},
    {kSlotComp, CompRecord::kFields, &Database::compNames, nullptr, &writeAs<CompRecord>},
    {kSlotCity, CityRecord::kFields, &Database::cityNames, nullptr, &writeAs<CityRecord>},
    {kSlotColour, ColourRecord::kFields, nullptr, nullptr, &writeAs<ColourRecord>},
    {kSlotIndexTemp, IndexRecord::kFields, nullptr, nullptr, &writeAs<IndexRecord>},
};

// Files held as bytes besides the record files: compared whole.
const int kByteFiles[] = {kSlotUnknownBytes};

size_t recordSize(FieldTable t) { return t.empty() ? 0 : t.back().end(); }

int64_t recordsIn(const Database& db, const RecordFile& file, size_t size) {
  if (!db.slotOpen(file.slot)) return 0;
  const int64_t whole = int64_t(db.file(file.slot).size() / size);
  return file.section ? std::min(whole, db.sections().*file.section) : whole;
}

std::string labelOf(const Database& db, const RecordFile& file, const uint8_t* rec, int64_t id) {
  if (file.names) {
    const auto& names = db.*file.names;
    return id >= 0 && size_t(id) < names.size() ? names[size_t(id)] : std::string();
  }
  // Name and colour records carry their own text.
  for (const FieldInfo& f : file.fields)
    if (f.type == FieldType::Text) return std::get<std::string>(getField(rec, f));
  return {};
}

void compareRecords(const Database& a, const Database& b, const RecordFile& file, Result& out) {
  const size_t size = recordSize(file.fields);
  const int64_t na = recordsIn(a, file, size), nb = recordsIn(b, file, size);
  const std::string path(slotInfo(file.slot).path);
  for (int64_t n = 1; n <= std::max(na, nb); ++n) {
    const uint8_t* ra = n <= na ? a.peek(file.slot, n, size) : nullptr;
    const uint8_t* rb = n <= nb ? b.peek(file.slot, n, size) : nullptr;
    if (ra && rb && std::equal(ra, ra + size, rb)) continue;
    RecordChange change;
    change.file = path;
    change.id = n - 1;
    change.kind = !ra ? RecordChange::Kind::Added : !rb ? RecordChange::Kind::Removed : RecordChange::Kind::Changed;
    change.label = labelOf(rb ? b : a, file, rb ? rb : ra, n - 1);
    for (const FieldInfo& f : file.fields)
      for (int k = 0; k < f.count; ++k) {
        const size_t at = f.at(k);
        if (ra && rb && std::equal(ra + at, ra + at + f.width, rb + at)) continue;
        FieldChange fc;
        fc.field = fieldName(file.fields, f, k);
        fc.kept = f.kept || f.type == FieldType::Bytes;
        if (ra) fc.before = getField(ra, f, k);
        if (rb) fc.after = getField(rb, f, k);
        change.fields.push_back(std::move(fc));
      }
    out.records.push_back(std::move(change));
  }
  if (!file.section && a.slotOpen(file.slot) && b.slotOpen(file.slot) &&
      (a.file(file.slot).size() % size != 0 || b.file(file.slot).size() % size != 0))
    out.problems.push_back(path + ": ends in a partial record; its last bytes are not compared");
}

void compareBytes(const Database& a, const Database& b, int slot, Result& out) {
  const bool ha = a.slotOpen(slot), hb = b.slotOpen(slot);
  if (!ha && !hb) return;
  const std::string path(slotInfo(slot).path);
  if (ha != hb) {
    out.problems.push_back(path + ": only in " + (ha ? "the first" : "the second") + " directory");
    return;
  }
  const FileImage &fa = a.file(slot), &fb = b.file(slot);
  const uint64_t common = std::min(fa.size(), fb.size());
  const uint8_t* pa = fa.size() ? a.peek(slot, 1, size_t(fa.size())) : nullptr;
  const uint8_t* pb = fb.size() ? b.peek(slot, 1, size_t(fb.size())) : nullptr;
  uint64_t first = common;
  for (uint64_t i = 0; i < common; ++i)
    if (pa[i] != pb[i]) {
      first = i;
      break;
    }
  if (first == common && fa.size() == fb.size()) return;
  out.problems.push_back(path + ": differs from byte " + std::to_string(first) + " (" + std::to_string(fa.size()) +
                         " and " + std::to_string(fb.size()) + " bytes)");
}

}  // namespace

std::string fieldName(FieldTable t, const FieldInfo& f, int k) {
  if (!f.array) return std::string(f.name);
  for (const FieldInfo& e : t) {
    if (&e == &f) break;
    if (e.name == f.name) k += e.count;
  }
  return std::string(f.name) + "[" + std::to_string(k) + "]";
}

std::span<const RecordFile> recordFiles() { return kRecordFiles; }

const RecordFile* recordFile(std::string_view path) {
  for (const RecordFile& f : kRecordFiles)
    if (slotInfo(f.slot).path == path) return &f;
  return nullptr;
}

Result compare(const Database& a, const Database& b) {
  Result out;
  for (const RecordFile& f : kRecordFiles) compareRecords(a, b, f, out);
  for (int slot : kByteFiles) compareBytes(a, b, slot, out);
  return out;
}

const char* kindName(RecordChange::Kind k) {
  switch (k) {
    case RecordChange::Kind::Added: return "added";
    case RecordChange::Kind::Removed: return "removed";
    case RecordChange::Kind::Changed: break;
  }
  return "changed";
}

std::string valueText(const FieldValue& v, bool kept) {
  if (const auto* n = std::get_if<int64_t>(&v)) return std::to_string(*n);
  if (const auto* d = std::get_if<double>(&v)) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", *d);
    return buf;
  }
  const std::string& s = std::get<std::string>(v);
  if (!kept) return cp1252::toUtf8(s);
  static const char* kHex = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : s) hex += {kHex[c >> 4], kHex[c & 15]};
  return hex;
}

}  // namespace cm3::diff
