// The fixed item lists behind the one-byte codes of the records. The stored
// byte is the item index.
#pragma once
#include <array>
#include <string_view>

namespace cm3::codes {

extern const std::array<std::string_view, 16> kClass;           // StaffRecord::ClassCode
extern const std::array<std::string_view, 5> kClassification;   // StaffRecord::ClassificationCode
extern const std::array<std::string_view, 3> kSquad;            // StaffRecord::SquadCode
extern const std::array<std::string_view, 10> kFormation;       // StaffAttRecord::PreferredFormation
extern const std::array<std::string_view, 42> kPlayerAttribute; // labels of PlayerAttRecord::Attribute(k)
extern const std::array<std::string_view, 21> kStaffAttribute;  // labels of StaffAttRecord::StaffAttribute(k)
extern const std::array<std::string_view, 12> kPosition;        // PlayerAttRecord::PositionRating(k), file order
extern const std::array<std::string_view, 8> kMental;           // StaffRecord::MentalRating(k), file order
extern const std::array<std::string_view, 4> kClubStatus;       // ClubRecord::Status
extern const std::array<std::string_view, 8> kHomeMatchDay;     // ClubRecord::HomeMatchDay (255 = not set)
extern const std::array<std::string_view, 4> kDevelopment;      // NationRecord::Development
extern const std::array<std::string_view, 25> kRegion;          // NationRecord::Region
extern const std::array<std::string_view, 15> kActualRegion;    // NationRecord::ActualRegion
extern const std::array<std::string_view, 33> kLanguage;        // NationRecord::Language(k)
extern const std::array<std::string_view, 2> kGroup;            // NationRecord::Group

// Job classes 0..10 are the non-playing jobs; 11 ("Player") and above play.
constexpr int kFirstPlayingClass = 11;

}  // namespace cm3::codes
