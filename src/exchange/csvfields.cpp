#include "exchange/csvfields.h"

#include "records/records.h"

namespace cm3::exchange {

namespace {

int64_t same(const Database&, int64_t row) { return row; }
int64_t playerAtt(const Database& db, int64_t row) {
  const StaffRecord s = db.read<StaffRecord>(kSlotStaff, row + 1);
  return s.isPlayer() ? s.PlayerAttIndex() : -1;
}
int64_t staffAtt(const Database& db, int64_t row) {
  const StaffRecord s = db.read<StaffRecord>(kSlotStaff, row + 1);
  return s.isPlayer() ? -1 : s.StaffAttIndex();
}

const CsvSource kPeople[] = {{"staff", kSlotStaff, same}, {"att", kSlotStaffAtt, playerAtt},
                             {"staffatt", kSlotStaffAtt2, staffAtt}};
const CsvSource kClubs[] = {{"club", kSlotClub, same}};
const CsvSource kNations[] = {{"nation", kSlotNation, same}};
const CsvSource kComps[] = {{"comp", kSlotComp, same}};

}  // namespace

std::span<const CsvSource> csvSources(std::string_view what) {
  if (what == "people") return kPeople;
  if (what == "clubs") return kClubs;
  if (what == "nations") return kNations;
  if (what == "comps") return kComps;
  return {};
}

std::vector<CsvColumn> csvColumns(std::string_view what) {
  std::vector<CsvColumn> out;
  for (const CsvSource& s : csvSources(what)) {
    const diff::RecordFile* file = nullptr;
    for (const diff::RecordFile& f : diff::recordFiles())
      if (f.slot == s.slot) file = &f;
    for (const FieldInfo& f : file->fields)
      for (int k = 0; k < f.count; ++k)
        out.push_back({&s, file, &f, k, std::string(s.prefix) + "." + diff::fieldName(file->fields, f, k)});
  }
  return out;
}

std::string csvValue(const Database& db, const CsvColumn& c, int64_t row) {
  const int64_t id = c.source->record(db, row);
  const size_t size = c.file->fields.back().end();
  const uint8_t* rec = id >= 0 ? db.peek(c.source->slot, id + 1, size) : nullptr;
  if (!rec) return {};
  return diff::valueText(getField(rec, *c.field, c.element), c.field->kept || c.field->type == FieldType::Bytes);
}

}  // namespace cm3::exchange
