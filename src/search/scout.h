// The scout search: thresholds and filters over every person of the
// database, the texts of the criteria window turned into those thresholds,
// and the run itself.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/database.h"

namespace cm3::search {

// A whole number read from a text box: spaces around it allowed, an optional
// sign, digits with an optional decimal fraction (".5" and "7." count); the
// fraction rounds to the nearest whole number, halves to the even one. Empty
// texts, anything else and values outside [lo, hi] after rounding give none.
std::optional<int32_t> wholeNumber(std::string_view text, int32_t lo, int32_t hi);
inline std::optional<int32_t> whole16(std::string_view text) { return wholeNumber(text, -32768, 32767); }

// One threshold box of the criteria window.
struct ScoutBox {
  const char* name;     // object name of the text box
  const char* caption;  // its label
  const char* tooltip;  // empty for the position boxes
  int offset;           // PlayerAttRecord byte it is compared with
  int maxLength;        // characters the box takes, 0 = no limit
};

// The 32 attribute boxes and the 12 position boxes, in the order their
// values are stored; MinAttribute[k] and MinPosition[k] belong to entry k.
extern const std::array<ScoutBox, 32> kScoutAttributes;
extern const std::array<ScoutBox, 12> kScoutPositions;

constexpr int kScoutMatchLimit = 500;
constexpr int kScoutBaseYear = 1999;

struct ScoutCriteria {
  int32_t MinCurrentAbility = 0;
  int32_t MinPotentialAbility = 0;
  int32_t NationIndex = -1;  // -1 = any nation
  int32_t AgeLimit = 0;
  bool OlderThan = true;
  std::array<int16_t, 32> MinAttribute{};  // indexed like kScoutAttributes
  std::array<int16_t, 12> MinPosition{};   // indexed like kScoutPositions
  int16_t JobClass = -1;     // -1 = any job
  int16_t LeagueIndex = -1;  // -1 = any division

  bool operator==(const ScoutCriteria&) const = default;
};

// What the criteria window holds: the box texts (8-bit) and the selected
// list rows (-1 = no selection).
struct ScoutForm {
  std::string ability = "0", potAbility = "0";
  int nationRow = -1;
  std::string age = "0";
  std::array<std::string, 32> attributes;  // indexed like kScoutAttributes
  std::array<std::string, 12> positions;   // indexed like kScoutPositions
  int classRow = -1, compRow = -1;
  int optRow = 0;  // 0 "Older Than", 1 "Younger Than"

  ScoutForm() {
    attributes.fill("0");
    positions.fill("0");
  }
};

// Stores the form into `criteria` one field at a time in the window's
// storing order. On a box that does not convert it stops: the fields before
// it hold their new values, that one and the rest keep their old ones, and
// the object name of the failing box is returned. nullopt when all stored.
std::optional<std::string> storeCriteria(const ScoutForm& form, ScoutCriteria& criteria);

// The seven tests for one person. `att` is the person's attribute record, or
// null when he has none. A person without an attribute record passes the
// ability, attribute and position tests only when a job filter is set and
// his job is that job; with any job allowed he fails them.
bool scoutMatches(const StaffRecord& person, const PlayerAttRecord* att, const ScoutCriteria& c,
                  const Database& db);

// Every person index (staff.dat record number - 1) that passes, in file
// order, at most `limit` of them.
std::vector<int> scout(const Database& db, const ScoutCriteria& c, int limit = kScoutMatchLimit);

// "N Matches", or "N Matches , please refine search" at the limit.
std::string matchStatusText(size_t count, int limit = kScoutMatchLimit);

}  // namespace cm3::search
