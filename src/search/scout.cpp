#include "search/scout.h"

#include <algorithm>
#include <type_traits>

#include "records/bytes.h"

namespace cm3::search {

const std::array<ScoutBox, 32> kScoutAttributes = {{
    {"txtVis", "Vision", "How good he is at recognising players in good positions.", 67, 2},
    {"txtFin", "Finishing", "How good he is at scoring when given an opportunity", 39, 2},
    {"txtLong", "Long Shots", "How good he is at striking long range shots.", 49, 2},
    {"txtDecision", "Decision",
     "How good he is at making the right decision as to what to do at any time in the match.", 36, 2},
    {"txtFreeKicks", "Free Kicks", "How good he is at taking free kicks in dangerous positions.", 41, 2},
    {"txtConsistency", "Consistency", "How consistently he performs from match to match", 33, 2},
    {"txtAcceleration", "Acceleration", "How quickly he can reach full speed from a stand still.", 27, 0},
    {"txtLeadership", "Leadership", "How well he leads and inspires his team mates.", 47, 0},
    {"txtCorners", "Corners", "How good he is at taking corners.", 34, 0},
    {"txtMarking", "Marking", "How good he is at marking opponents.", 50, 0},
    {"txtHeading", "Heading", "How good he is at heading the ball.", 43, 0},
    {"txtOneonOne", "One on One", "How good he is at saving in one-on-one situations(GoalKeeper).", 53, 0},
    {"txtReflexes", "Reflexes", "How good he is at making reflex saves(Goalkeeper).", 58, 0},
    {"txtTackling", "Tackling", "How good he is at making tackles.", 62, 0},
    {"txtTeamWork", "Team Work", "How unselfishly he plays.", 63, 0},
    {"txtTechnique", "Technique", "How good his technique and ball control is.", 64, 0},
    {"txtThrowIns", "Throw Ins", "How good he is at taking long attacking throw-ins", 65, 0},
    {"txtHandling", "Handling", "How good he is at handling the ball(GoalKeeper).", 42, 0},
    {"txtAnticipation", "Anticipation", "How well he anticipates what will happen next", 30, 0},
    {"txtBalance", "Balance", "How well he keeps his balance when challenged.", 31, 0},
    {"txtAgility", "Agility", "How agile he is.", 29, 0},
    {"txtAgression", "Agression", "How aggressive he is.", 28, 0},
    {"txtMovement", "Movement", "How good he is at moving into good attacking positions.", 51, 0},
    {"txtPassing", "Passing", "How accurately he can pass the ball.", 55, 0},
    {"txtPenalties", "Penalties", "How good he is at taking penalties.", 56, 0},
    {"txtPositioning", "Positioning", "How good he is at keeping a good defensive position.", 57, 0},
    {"txtFlair", "Flair", "How likely he is to do the unexpecte", 40, 0},
    {"txtLeftFoot", "Left Foot", "How strong his left foot is", 48, 0},
    {"txtRightFoot", "Right Foot", "How strong his right foot is.", 59, 0},
    {"txtNatFitness", "Nat Fitness", "Natural Fitness", 52, 0},
    {"txtStamina", "Stamina", "How long he is able to play before tiring.", 60, 0},
    {"txtBravery", "Bravery", "How willing a player is to put winning before personal safety.", 32, 0},
}};

const std::array<ScoutBox, 12> kScoutPositions = {{
    {"txtGoalKeeper", "Goalkeeper", "", 15, 4},
    {"txtDefender", "Defender", "", 17, 4},
    {"txtMidField", "Midfielder", "", 19, 4},
    {"txtAttacker", "Attacker", "", 21, 4},
    {"txtSweeper", "Sweeper", "", 16, 4},
    {"txtAnchor", "Anchor", "", 18, 4},
    {"txtSupport", "Support", "", 20, 4},
    {"txtWingBack", "WingBack", "", 22, 4},
    {"txtRight", "Right", "", 23, 4},
    {"txtLeft", "Left", "", 24, 4},
    {"txtCenter", "Center", "", 25, 4},
    {"txtFreeRole", "Free Role", "", 26, 4},
}};

std::optional<int32_t> wholeNumber(std::string_view text, int32_t lo, int32_t hi) {
  auto blank = [](char ch) { return ch == ' ' || ch == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // Magnitude, capped well above any 32-bit value so that long digit runs
  // cannot overflow.
  constexpr int64_t kCap = int64_t(1) << 40;
  int64_t magnitude = 0;
  size_t i = 0, digits = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits)
    magnitude = std::min(kCap, magnitude * 10 + (text[i] - '0'));
  int firstFraction = 0;
  bool restNonZero = false;
  if (i < text.size() && text[i] == '.') {
    ++i;
    for (size_t k = 0; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++k, ++digits) {
      if (k == 0)
        firstFraction = text[i] - '0';
      else if (text[i] != '0')
        restNonZero = true;
    }
  }
  if (digits == 0 || i != text.size()) return std::nullopt;
  if (firstFraction > 5 || (firstFraction == 5 && (restNonZero || magnitude % 2 == 1))) ++magnitude;
  int64_t value = negative ? -magnitude : magnitude;
  if (value < lo || value > hi) return std::nullopt;
  return int32_t(value);
}

std::optional<std::string> storeCriteria(const ScoutForm& f, ScoutCriteria& c) {
  auto number = [](const std::string& text, auto& field) {
    auto v = whole16(text);
    if (!v) return false;
    field = static_cast<std::remove_reference_t<decltype(field)>>(*v);
    return true;
  };
  auto row16 = [](int row, int16_t& field) {
    if (row > 32767) return false;
    field = int16_t(row < 0 ? -1 : row);
    return true;
  };
  if (!number(f.ability, c.MinCurrentAbility)) return "txtAbility";
  if (!number(f.potAbility, c.MinPotentialAbility)) return "txtPotAbility";
  c.NationIndex = f.nationRow < 0 ? -1 : f.nationRow;
  if (!number(f.age, c.AgeLimit)) return "txtAge";
  for (size_t k = 0; k < kScoutAttributes.size(); ++k)
    if (!number(f.attributes[k], c.MinAttribute[k])) return std::string(kScoutAttributes[k].name);
  for (size_t k = 0; k < kScoutPositions.size(); ++k)
    if (!number(f.positions[k], c.MinPosition[k])) return std::string(kScoutPositions[k].name);
  if (!row16(f.classRow, c.JobClass)) return "cmbClass";
  if (!row16(f.compRow, c.LeagueIndex)) return "cmbComp";
  c.OlderThan = f.optRow != 1;
  return std::nullopt;
}

namespace {

// The seven tests on raw record bytes; `att` is null for a person without
// an attribute record.
bool matchesRaw(const uint8_t* s, const uint8_t* att, const ScoutCriteria& c, const Database& db) {
  // 1. Nation.
  if (c.NationIndex != -1 && loadI32(s + StaffRecord::NationIdOffset) != c.NationIndex) return false;
  // 7. Job.
  const int classCode = s[StaffRecord::ClassCodeOffset];
  if (c.JobClass != -1 && classCode != c.JobClass) return false;
  // 3. Age, in 16-bit arithmetic.
  const int16_t age = int16_t(kScoutBaseYear - loadI16(s + StaffRecord::BirthYearOffset));
  if (c.OlderThan ? age < c.AgeLimit : age > c.AgeLimit) return false;

  if (att) {
    // 2. Ability: a negative minimum asks for exactly that value.
    auto ability = [](int32_t value, int32_t minimum) {
      return value == minimum || (minimum >= 0 && value >= minimum);
    };
    if (!ability(loadI16(att + PlayerAttRecord::CurrentAbilityOffset), c.MinCurrentAbility)) return false;
    if (!ability(loadI16(att + PlayerAttRecord::PotentialAbilityOffset), c.MinPotentialAbility)) return false;
    // 4. Attributes and 6. positions.
    for (size_t k = 0; k < kScoutAttributes.size(); ++k)
      if (int(att[kScoutAttributes[k].offset]) < c.MinAttribute[k]) return false;
    for (size_t k = 0; k < kScoutPositions.size(); ++k)
      if (int(att[kScoutPositions[k].offset]) < c.MinPosition[k]) return false;
  } else if (c.JobClass == -1) {
    // No attribute values to judge the player thresholds by.
    return false;
  }

  // 5. League, last, so that the club is read only for otherwise matching people.
  if (c.LeagueIndex != -1) {
    const int32_t club = loadI32(s + StaffRecord::ClubIdOffset);
    if (club < 0) return false;
    const uint8_t* r = db.peek(kSlotClub, int64_t(club) + 1, ClubRecord::kSize);
    if (!r || loadI32(r + ClubRecord::DivisionOffset) != c.LeagueIndex) return false;
  }
  return true;
}

const uint8_t* attributeRecord(const Database& db, const uint8_t* staff) {
  const int32_t index = loadI32(staff + StaffRecord::PlayerAttIndexOffset);
  if (index < 0) return nullptr;
  return db.peek(kSlotStaffAtt, int64_t(index) + 1, PlayerAttRecord::kSize);
}

}  // namespace

bool scoutMatches(const StaffRecord& person, const PlayerAttRecord* att, const ScoutCriteria& c,
                  const Database& db) {
  return matchesRaw(person.data(), att ? att->data() : nullptr, c, db);
}

std::vector<int> scout(const Database& db, const ScoutCriteria& c, int limit) {
  std::vector<int> found;
  if (limit <= 0) return found;
  const int people = std::clamp<int32_t>(db.PeopleCount(), 0, kPersonNameTableSize);
  for (int i = 0; i < people; ++i) {
    if (int(found.size()) >= limit) break;
    const uint8_t* s = db.peek(kSlotStaff, int64_t(i) + 1, StaffRecord::kSize);
    if (!s) break;  // staff.dat ends before the count says
    if (matchesRaw(s, attributeRecord(db, s), c, db)) found.push_back(i);
  }
  return found;
}

std::string matchStatusText(size_t count, int limit) {
  std::string text = std::to_string(count) + " Matches";
  if (limit > 0 && count >= size_t(limit)) text += " , please refine search";
  return text;
}

}  // namespace cm3::search
