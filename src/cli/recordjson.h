// Records as JSON objects: every field of the layout under its layout name,
// in file order, texts decoded from Windows-1252, and every byte the editor
// does not interpret as a hex string named after its offset ("Kept20").
#pragma once
#include "cli/common.h"
#include "database/database.h"
#include "records/records.h"

namespace cm3::cli {

// The record bytes `rec` laid out by the field table `t`.
Json recordJson(const uint8_t* rec, FieldTable t);

template <class R>
Json toJson(const R& r) {
  return recordJson(r.data(), R::kFields);
}

// Lower-case hex of raw bytes.
std::string hex(const uint8_t* p, size_t n);

// A person with everything the files hold about him: PersonId, the display
// name, the three names, the StaffRecord and the PlayerAttRecord (players)
// or StaffAttRecord (others); an attribute record the index does not reach
// is null. Throws CliError when personId addresses no person.
Json personJson(Database& db, int64_t personId);

}  // namespace cm3::cli
