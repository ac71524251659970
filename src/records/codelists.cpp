#include "records/codelists.h"

namespace cm3::codes {

const std::array<std::string_view, 16> kClass = {
    "Invalid", "Chairman", "Managing Director", "General Manager", "Director of Football", "Manager",
    "Assistant Manager", "Reserve Team Manager", "Coach", "Scout", "Physio", "Player", "Player Manager",
    "Assistant Player Manager", "Player Coach", "General Player Manager"};

const std::array<std::string_view, 5> kClassification = {"Invalid", "Non-Player", "Player", "Player/Non-Player",
                                                         "Youth-Player"};

const std::array<std::string_view, 3> kSquad = {"Invalid Sqd", "Senior Sqd", "Reserve Sqd"};

const std::array<std::string_view, 10> kFormation = {"None",  "5-3-2SW", "5-3-2", "4-4-2", "4-3-3",
                                                     "4-2-4", "3-5-2",   "41212", "4-5-1", "3-4-3"};

const std::array<std::string_view, 42> kPlayerAttribute = {
    "Acceleration", "Agression",   "Agility",      "Anticipation", "Balance",     "Bravery",
    "Consistency",  "Corners",     "Crossing",     "Decision",     "Dirtiness",   "Dribbling",
    "Finishing",    "Flair",       "Free Kicks",   "Handling",     "Heading",     "Impt Match",
    "Injury Prone", "Jumping",     "Leadership",   "Left Foot",    "Long Shots",  "Marking",
    "Movement",     "Nat Fitness", "One on One",   "Pace",         "Passing",     "Penalties",
    "Positioning",  "Reflexes",    "Right Foot",   "Stamina",      "Strength",    "Tackling",
    "Team Work",    "Technique",   "Throw Ins",    "Versatility",  "Vision",      "Work Rate"};

const std::array<std::string_view, 21> kStaffAttribute = {
    "Attacking",   "Business",     "Coaching",     "Coach Tech", "Directness", "Discipline",    "FreeRoles",
    "Interference", "Judgement",   "Judg Potent",  "Man Handling", "Marking",  "Motivating",    "Offside",
    "Patience",    "Physiotherapy", "Pressing",    "Resources",  "Tactics",    "Youngsters",    "Acceleration"};

const std::array<std::string_view, 12> kPosition = {"Goalkeeper", "Sweeper", "Defender", "Anchor",
                                                    "Midfielder", "Support", "Attacker", "WingBack",
                                                    "Right",      "Left",    "Center",   "Free Role"};

const std::array<std::string_view, 8> kMental = {"Adaptability",    "Ambition",      "Determination", "Loyalty",
                                                 "Pressure",        "Professionalism", "Sportsmanship", "Temperament"};

const std::array<std::string_view, 4> kClubStatus = {"Invalid", "Professional", "Semi-Professional", "Amateur"};

const std::array<std::string_view, 8> kHomeMatchDay = {"None",     "Monday", "Tuesday",  "Wednesday",
                                                       "Thursday", "Friday", "Saturday", "Sunday"};

const std::array<std::string_view, 4> kDevelopment = {"Unknown", "Developed", "Developing", "Third World"};

const std::array<std::string_view, 25> kRegion = {
    "Unknown",       "Africa",      "Asia",          "Balkan",          "Brazil",          "Britain",
    "Caribbean",     "Central America", "Eastern Europe", "France",     "Germany",         "Holland",
    "Italy",         "Japan",       "Middle East",   "North Africa",    "North America",   "Northern Europe",
    "Oceania",       "Russia",      "Scandinavia",   "South Africa",    "South America",   "Southern Europe",
    "Spain"};

const std::array<std::string_view, 15> kActualRegion = {
    "Unknown",      "Africa",       "Asia",     "Caribbean",   "Central America", "Central Europe",
    "Eastern Europe", "Middle East", "North Africa", "North America", "Oceania",   "Scandinavia",
    "South America", "Southern Europe", "Uk And Ireland"};

const std::array<std::string_view, 33> kLanguage = {
    "None",     "Albanian", "Arabic",   "Bulgarian", "Chinese",   "Croatian",   "Czech",   "Dutch",   "English",
    "Finnish",  "French",   "German",   "Greek",     "Hebrew",    "Hungarian",  "Italian", "Japanese", "Korean",
    "Polish",   "Portuguese", "Romanian", "Russian", "Norwegian", "Serbian",    "Spanish", "Turkish", "Burmese",
    "Malay",    "Persian",  "Slovak",   "Swedish",   "Icelandic", "Danish"};

const std::array<std::string_view, 2> kGroup = {"Non EEC Country", "EEC Country"};

}  // namespace cm3::codes
