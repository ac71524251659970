// Records as JSON objects: every field of the layout under its layout name,
// in file order, texts decoded from Windows-1252, and every byte the editor
// does not interpret as a hex string named after its offset ("Kept20").
#pragma once
#include "cli/common.h"
#include "database/database.h"
#include "records/records.h"

namespace cm3::cli {

Json toJson(const StaffRecord& r);
Json toJson(const PlayerAttRecord& r);
Json toJson(const StaffAttRecord& r);
Json toJson(const NameRecord& r);
Json toJson(const IndexRecord& r);
Json toJson(const HistoryRecord& r);
Json toJson(const ClubRecord& r);
Json toJson(const StadiumRecord& r);
Json toJson(const CityRecord& r);
Json toJson(const ColourRecord& r);
Json toJson(const NationRecord& r);
Json toJson(const ContinentRecord& r);
Json toJson(const CompRecord& r);

// Lower-case hex of raw bytes.
std::string hex(const uint8_t* p, size_t n);

// A person with everything the files hold about him: PersonId, the display
// name, the three names, the StaffRecord and the PlayerAttRecord (players)
// or StaffAttRecord (others); an attribute record the index does not reach
// is null. Throws CliError when personId addresses no person.
Json personJson(Database& db, int64_t personId);

}  // namespace cm3::cli
