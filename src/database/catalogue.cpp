#include "database/catalogue.h"

#include <stdexcept>

namespace cm3 {

const std::array<SlotInfo, kSlotCount> kSlots = {{
    {1, "\\Data\\staff.dat", true, 157},
    {2, "\\Data\\second_names.dat", true, 60},
    {3, "\\Data\\first_names.dat", true, 60},
    {4, "\\Data\\nation.dat", true, 290},
    {5, "\\Data\\club.dat", true, 581},
    {6, "\\data\\staff_att.dat", true, 70},
    {7, "\\Data\\staff.dat", false, 0},
    {8, "\\Data\\staff_att.dat", false, 0},
    {9, "\\data\\common_names.dat", true, 60},
    {10, "\\data\\staff_history.dat", true, 17},
    {11, "\\data\\continent.dat", true, 198},
    {12, "\\data\\club_comp.dat", true, 107},
    {13, "\\data\\index_temp.dat", true, 67},
    {14, "\\data\\staff_att2.dat", false, 0},
    {15, "\\data\\staff_unknown.dat", false, 0},
    {16, "\\data\\index_temp.dat", false, 0},
    {17, "\\data\\index.dat", false, 0},
    {18, "\\data\\stadium.dat", true, 78},
    {19, "\\data\\city.dat", true, 56},
    {20, "\\data\\staff_att2.dat", true, 68},
    {21, "\\data\\colour.dat", true, 58},
}};

const SlotInfo& slotInfo(int slot) {
  if (slot < 1 || slot > kSlotCount) throw std::out_of_range("no such slot");
  return kSlots[size_t(slot - 1)];
}

const std::array<GameFileInfo, kGameFileCount> kGameFiles = {{
    {GameFile::Staff, "\\Data\\staff.dat", 157, kSlotStaff},
    {GameFile::SecondNames, "\\Data\\second_names.dat", 60, kSlotSecondNames},
    {GameFile::FirstNames, "\\Data\\first_names.dat", 60, kSlotFirstNames},
    {GameFile::Nation, "\\Data\\nation.dat", 290, kSlotNation},
    {GameFile::Club, "\\Data\\club.dat", 581, kSlotClub},
    {GameFile::StaffAtt, "\\data\\staff_att.dat", 70, kSlotStaffAtt},
    {GameFile::CommonNames, "\\data\\common_names.dat", 60, kSlotCommonNames},
    {GameFile::History, "\\data\\staff_history.dat", 17, kSlotHistory},
    {GameFile::Continent, "\\data\\continent.dat", 198, kSlotContinent},
    {GameFile::Comp, "\\data\\club_comp.dat", 107, kSlotComp},
    {GameFile::Index, "\\data\\index.dat", 67, kSlotIndexBytes},
    {GameFile::Stadium, "\\data\\stadium.dat", 78, kSlotStadium},
    {GameFile::City, "\\data\\city.dat", 56, kSlotCity},
    {GameFile::StaffAtt2, "\\data\\staff_att2.dat", 68, kSlotStaffAtt2},
    {GameFile::Colour, "\\data\\colour.dat", 58, kSlotColour},
}};

const GameFileInfo& gameFileInfo(GameFile f) { return kGameFiles[size_t(f)]; }

}  // namespace cm3
