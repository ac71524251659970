// The catalogue of game files: the fixed slot under which each is kept open,
// its game path, and its record length.
#pragma once
#include <array>
#include <string_view>

namespace cm3 {

enum Slot : int {
  kSlotStaff = 1,           // "\Data\staff.dat", StaffRecord (section 1)
  kSlotSecondNames = 2,     // NameRecord
  kSlotFirstNames = 3,      // NameRecord
  kSlotNation = 4,          // NationRecord
  kSlotClub = 5,            // ClubRecord
  kSlotStaffAtt = 6,        // PlayerAttRecord (working file)
  kSlotStaffBytes = 7,      // staff.dat as bytes
  kSlotStaffAttBytes = 8,   // staff_att.dat as bytes
  kSlotCommonNames = 9,     // NameRecord
  kSlotHistory = 10,        // HistoryRecord
  kSlotContinent = 11,      // ContinentRecord
  kSlotComp = 12,           // CompRecord
  kSlotIndexTemp = 13,      // IndexRecord
  kSlotStaffAtt2Bytes = 14, // staff_att2.dat as bytes
  kSlotUnknownBytes = 15,   // staff_unknown.dat as bytes
  kSlotIndexTempBytes = 16, // index_temp.dat as bytes
  kSlotIndexBytes = 17,     // index.dat as bytes
  kSlotStadium = 18,        // StadiumRecord
  kSlotCity = 19,           // CityRecord
  kSlotStaffAtt2 = 20,      // StaffAttRecord (working file)
  kSlotColour = 21,         // ColourRecord
};
constexpr int kSlotCount = 21;

struct SlotInfo {
  int slot;
  std::string_view path;  // relative to the game directory, as the game writes it
  bool recordFile;        // false: byte file
  int recordLength;       // 0 for byte files
};
extern const std::array<SlotInfo, kSlotCount> kSlots;
const SlotInfo& slotInfo(int slot);  // slot 1..21

// The files measured when a database is opened, in the order they are measured.
enum class GameFile : int {
  Staff, SecondNames, FirstNames, Nation, Club, StaffAtt, CommonNames, History,
  Continent, Comp, Index, Stadium, City, StaffAtt2, Colour,
};
constexpr int kGameFileCount = 15;
struct GameFileInfo {
  GameFile file;
  std::string_view path;
  int recordLength;
  int slot;  // the record slot it is read through (index.dat: the byte slot)
};
extern const std::array<GameFileInfo, kGameFileCount> kGameFiles;
const GameFileInfo& gameFileInfo(GameFile f);

// Index entries (record numbers in index_temp.dat) the editor uses.
enum IndexEntry : int {
  kEntryClubs = 1,
  kEntryStadiums = 7,
  kEntryPeople = 8,
  kEntrySection2 = 9,
  kEntrySection3 = 10,
  kEntrySection4 = 11,
  kEntryFirstNames = 16,
  kEntrySecondNames = 17,
  kEntryCommonNames = 18,
};
constexpr int kIndexEntries = 22;
constexpr int kIndexHeader = 8;
constexpr int kIndexFileSize = kIndexHeader + kIndexEntries * 67;  // 1482

// Working files of an open database.
constexpr std::string_view kPathStaff = "\\Data\\staff.dat";
constexpr std::string_view kPathIndex = "\\data\\index.dat";
constexpr std::string_view kPathIndexTemp = "\\data\\index_temp.dat";
constexpr std::string_view kPathStaffAtt = "\\data\\staff_att.dat";
constexpr std::string_view kPathStaffAtt2 = "\\data\\staff_att2.dat";
constexpr std::string_view kPathUnknown = "\\data\\staff_unknown.dat";

constexpr int kPersonNameTableSize = 45001;  // people 0 .. 45000
constexpr int kSection4Block = 4480;         // 64 PlayerAttRecords

}  // namespace cm3
