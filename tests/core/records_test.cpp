// Record fields, fixed-width texts and Windows-1252.
#include <gtest/gtest.h>

#include "records/codelists.h"
#include "records/cp1252.h"
#include "records/records.h"
#include "records/text.h"

using namespace cm3;

TEST(RecordLayout, FieldsWrongEndianOrAtAWrongOffset) {
  StaffRecord s;
  s.setPersonId(0x01020304);
  s.setBirthYear(-2);
  s.setClubId(-1);
  s.setPlayerAttIndex(7);
  EXPECT_EQ(std::vector<int>({s.bytes[0], s.bytes[3], s.bytes[18], s.bytes[19], s.bytes[145]}),
            std::vector<int>({4, 1, 0xFE, 0xFF, 7}));
  EXPECT_EQ(loadI32(s.data() + 57), -1);
  PlayerAttRecord a;
  a.setAttribute(41, 255);
  EXPECT_EQ(a.bytes[68], 255);
  ClubRecord c;
  c.setPlayerSlot(49, -1);
  EXPECT_EQ(loadI32(c.data() + 411), -1);
  ContinentRecord k;
  k.setStrength(1.25);  // 0x3FF4000000000000: the sign and exponent byte last
  EXPECT_EQ(std::vector<int>({k.bytes[196], k.bytes[197]}), std::vector<int>({0xF4, 0x3F}));
  NationRecord n;
  n.setUefaCoefficient(5, 3.5);
  EXPECT_EQ(loadF64(n.data() + 264), 3.5);
}

TEST(TextFields, NameRuleTrimsWrongSideOrWritesARefusedName) {
  uint8_t f[51];
  ASSERT_TRUE(encodeName("  Ann  ", f));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(f), 6), std::string("Ann  \0", 6));
  for (int i = 5; i < 51; ++i) EXPECT_EQ(f[i], 0) << i;
  const std::string exact(51, 'a');
  EXPECT_TRUE(encodeName("   " + exact + "   ", f));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(f), 51), exact);
  std::memset(f, 7, sizeof f);
  EXPECT_FALSE(encodeName(std::string(52, 'a'), f));
  EXPECT_EQ(f[0], 7) << "a refused name writes nothing";

  uint8_t g[26];
  encodeTrimmed("  Rovers  ", g, 26);
  EXPECT_EQ(fieldText(g, 26), "Rovers");
  encodeLeftTrimmed("  Rovers  ", g, 26);
  EXPECT_EQ(fieldText(g, 26), "Rovers  ");
  encodeLeftTrimmed(std::string(60, 'n'), g, 26);
  EXPECT_EQ(fieldText(g, 26), std::string(26, 'n'));
}

TEST(Cp1252, ByteLostOrMappedWrongInEitherDirection) {
  std::string all;
  for (int c = 1; c < 256; ++c) all.push_back(char(c));
  EXPECT_EQ(cp1252::fromUtf8(cp1252::toUtf8(all)), all);
  EXPECT_EQ(cp1252::toUtf8("\x80"), "\xE2\x82\xAC");
  EXPECT_EQ(cp1252::toUtf8("M\xFCller"), "M\xC3\xBCller");
  EXPECT_EQ(cp1252::fromUtf8("\xE2\x82\xAC"), "\x80");
  EXPECT_EQ(cp1252::fromUtf8("\xE4\xB8\xAD"), "?");
  EXPECT_TRUE(cp1252::representable(cp1252::toUtf8(all)));
  EXPECT_FALSE(cp1252::representable("\xE4\xB8\xAD"));
}

TEST(Cp1252, UpperCaseOfAccentedLetters) {
  EXPECT_EQ(cp1252::upper("m\xFCller \xE9"), "M\xDCLLER \xC9");
  EXPECT_EQ(cp1252::upper("\xF7\xDF"), "\xF7\xDF");
  EXPECT_EQ(cp1252::upper(std::string("\x9A\xFF")), "\x8A\x9F");
}

TEST(CodeLists, ItemAtTheWrongCode) {
  EXPECT_EQ(codes::kClass[15], "General Player Manager");
  EXPECT_EQ(codes::kLanguage[22], "Norwegian");
  EXPECT_EQ(codes::kActualRegion[14], "Uk And Ireland");
  EXPECT_EQ(codes::kPlayerAttribute[1], "Agression");
  EXPECT_EQ(codes::kStaffAttribute[20], "Acceleration");
  EXPECT_EQ(codes::kHomeMatchDay[7], "Sunday");
}
