#include <gtest/gtest.h>

#include "records/codelists.h"
#include "records/cp1252.h"
#include "records/records.h"
#include "records/text.h"

using namespace cm3;

TEST(RecordLayout, FieldsAreLittleEndianAtTheirOffsets) {
  StaffRecord s;
  s.setPersonId(0x01020304);
  EXPECT_EQ(s.bytes[0], 0x04);
  EXPECT_EQ(s.bytes[3], 0x01);
  s.setBirthYear(-2);
  EXPECT_EQ(s.bytes[18], 0xFE);
  EXPECT_EQ(s.bytes[19], 0xFF);
  EXPECT_EQ(s.BirthYear(), -2);
  s.setClubId(-1);
  for (int i = 57; i < 61; ++i) EXPECT_EQ(s.bytes[size_t(i)], 0xFF);
  s.setPlayerAttIndex(7);
  EXPECT_EQ(s.bytes[145], 7);

  PlayerAttRecord a;
  a.setPotentialAbility(-2);
  EXPECT_EQ(a.PotentialAbility(), -2);
  a.setAttribute(41, 255);
  EXPECT_EQ(a.bytes[68], 255);
  EXPECT_EQ(a.Attribute(41), 255);

  ClubRecord c;
  c.setStaffSlot(2, 12345);
  EXPECT_EQ(loadI32(c.data() + 415), 12345);
  c.setPlayerSlot(49, -1);
  EXPECT_EQ(loadI32(c.data() + 215 + 196), -1);

  ContinentRecord k;
  k.setStrength(1.25);
  EXPECT_EQ(loadF64(k.data() + 190), 1.25);

  NationRecord n;
  n.setUefaCoefficient(5, 3.5);
  EXPECT_EQ(loadF64(n.data() + 264), 3.5);
}

TEST(TextFields, ReadUpToFirstZeroOrWholeField) {
  NameRecord r;
  std::string full(51, 'x');
  std::memcpy(r.NameField(), full.data(), 51);
  r.bytes[51] = 'y';  // the identifier right after must not leak into the name
  EXPECT_EQ(r.Name(), full);
  r.bytes[3] = 0;
  EXPECT_EQ(r.Name(), "xxx");
}

TEST(TextFields, NameRule) {
  uint8_t f[51];
  ASSERT_TRUE(encodeName("  Ann", f));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(f), 3), "Ann");
  for (int i = 3; i < 51; ++i) EXPECT_EQ(f[i], 0) << i;

  ASSERT_TRUE(encodeName("Ann  ", f));  // trailing blanks stay, NULs follow them
  EXPECT_EQ(f[3], ' ');
  EXPECT_EQ(f[4], ' ');
  EXPECT_EQ(f[5], 0);

  std::string exact(51, 'a');
  ASSERT_TRUE(encodeName(exact, f));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(f), 51), exact);

  std::string longer(52, 'a');
  std::memset(f, 7, sizeof f);
  EXPECT_FALSE(encodeName(longer, f));
  EXPECT_EQ(f[0], 7) << "a refused name writes nothing";
  EXPECT_TRUE(encodeName("   " + exact + "   ", f)) << "the length counts without surrounding blanks";
}

TEST(TextFields, TrimmedAndLeftTrimmedRules) {
  uint8_t f[26];
  encodeTrimmed("  Rovers  ", f, 26);
  EXPECT_EQ(fieldText(f, 26), "Rovers");
  encodeLeftTrimmed("  Rovers  ", f, 26);
  EXPECT_EQ(fieldText(f, 26), "Rovers  ");
  encodeLeftTrimmed(std::string(60, 'n'), f, 26);
  EXPECT_EQ(fieldText(f, 26), std::string(26, 'n'));
  encodeLeftTrimmed("    ", f, 26);
  for (uint8_t b : f) EXPECT_EQ(b, 0);
}

TEST(TextFields, CvlMkl) {
  EXPECT_EQ(MKL(1), std::string("\x01\x00\x00\x00", 4));
  EXPECT_EQ(CVL(std::string("\xFF\xFF\xFF\xFF", 4)), -1);
  for (int32_t v : {0, 1, -1, 123456789, INT32_MIN, INT32_MAX}) EXPECT_EQ(CVL(MKL(v)), v);
}

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int c = 1; c < 256; ++c) all.push_back(char(c));
  std::string utf8 = cp1252::toUtf8(all);
  EXPECT_EQ(cp1252::fromUtf8(utf8), all);
  EXPECT_TRUE(cp1252::representable(utf8));
  EXPECT_EQ(cp1252::toUtf8("\x80"), "\xE2\x82\xAC");    // euro sign
  EXPECT_EQ(cp1252::toUtf8("M\xFCller"), "M\xC3\xBCller");
  EXPECT_EQ(cp1252::fromUtf8("\xE2\x82\xAC"), "\x80");
  EXPECT_EQ(cp1252::fromUtf8("\xE4\xB8\xAD"), "?");  // no 8-bit code
  EXPECT_FALSE(cp1252::representable("\xE4\xB8\xAD"));
}

TEST(Cp1252, UpperCase) {
  EXPECT_EQ(cp1252::upper("m\xFCller \xE9"), "M\xDCLLER \xC9");
  EXPECT_EQ(cp1252::upper("\xF7\xDF"), "\xF7\xDF");  // division sign and sharp s have no upper case here
  EXPECT_EQ(cp1252::upper(std::string("\x9A\xFF")), "\x8A\x9F");
}

TEST(CodeLists, TextsAndCounts) {
  EXPECT_EQ(codes::kClass[15], "General Player Manager");
  EXPECT_EQ(codes::kClass[11], "Player");
  EXPECT_EQ(codes::kLanguage[22], "Norwegian");
  EXPECT_EQ(codes::kLanguage[32], "Danish");
  EXPECT_EQ(codes::kRegion[24], "Spain");
  EXPECT_EQ(codes::kActualRegion[14], "Uk And Ireland");
  EXPECT_EQ(codes::kFormation[7], "41212");
  EXPECT_EQ(codes::kPlayerAttribute[1], "Agression");
  EXPECT_EQ(codes::kStaffAttribute[20], "Acceleration");
  EXPECT_EQ(codes::kHomeMatchDay[7], "Sunday");
}
