#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "database/catalogue.h"
#include "database/database.h"
#include "records/records.h"
#include "sample/generator.h"

using namespace cm3;
namespace fs = std::filesystem;

namespace {

const char* const kFiles[] = {"staff.dat",    "first_names.dat", "second_names.dat",  "common_names.dat", "nation.dat",
                              "club.dat",     "staff_history.dat", "continent.dat",   "club_comp.dat",    "index.dat",
                              "stadium.dat",  "city.dat",        "colour.dat"};

std::vector<uint8_t> slurp(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

template <class R>
std::vector<R> records(const fs::path& p) {
  std::vector<uint8_t> b = slurp(p);
  EXPECT_EQ(b.size() % R::kSize, 0u) << p;
  std::vector<R> out(b.size() / R::kSize);
  for (size_t i = 0; i < out.size(); ++i) std::copy_n(b.begin() + i * R::kSize, R::kSize, out[i].bytes.begin());
  return out;
}

class SampleDb : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::path(::testing::TempDir()) /
            ("cm3_sample_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
  }
  void TearDown() override { fs::remove_all(root_); }
  fs::path dir(const std::string& name) { return root_ / name; }
  fs::path root_;
};

struct Parsed {
  std::vector<StaffRecord> staff;
  std::vector<PlayerAttRecord> playerAtt;
  std::vector<StaffAttRecord> staffAtt;
  std::vector<IndexRecord> index;
  size_t staffBytes = 0;
};

Parsed parse(const fs::path& data) {
  Parsed p;
  std::vector<uint8_t> idx = slurp(data / "index.dat");
  EXPECT_EQ(idx.size(), size_t(kIndexFileSize));
  for (int k = 0; k < kIndexEntries && idx.size() >= size_t(kIndexFileSize); ++k) {
    IndexRecord r;
    std::copy_n(idx.begin() + kIndexHeader + 67 * k, 67, r.bytes.begin());
    p.index.push_back(r);
  }
  std::vector<uint8_t> s = slurp(data / "staff.dat");
  p.staffBytes = s.size();
  if (p.index.size() != size_t(kIndexEntries)) return p;
  SectionTable t = sectionTableFrom(p.index[kEntryPeople - 1].Count(), p.index[kEntrySection2 - 1].Count(),
                                    p.index[kEntrySection3 - 1].Count(), p.index[kEntrySection4 - 1].Count());
  if (size_t(t.D) > s.size()) return p;
  for (int64_t i = 0; i < t.N8; ++i) {
    StaffRecord r;
    std::copy_n(s.begin() + i * 157, 157, r.bytes.begin());
    p.staff.push_back(r);
  }
  for (int64_t i = 0; i < t.N10; ++i) {
    StaffAttRecord r;
    std::copy_n(s.begin() + t.B + i * 68, 68, r.bytes.begin());
    p.staffAtt.push_back(r);
  }
  for (int64_t i = 0; i < t.N11; ++i) {
    PlayerAttRecord r;
    std::copy_n(s.begin() + t.C + i * 70, 70, r.bytes.begin());
    p.playerAtt.push_back(r);
  }
  return p;
}

}  // namespace

TEST(SamplePreset, ByName) {
  sample::Preset p{};
  ASSERT_TRUE(sample::presetByName("small", p));
  EXPECT_EQ(p.people, sample::smallPreset().people);
  ASSERT_TRUE(sample::presetByName("full", p));
  EXPECT_EQ(p.people, 45000);
  EXPECT_EQ(p.players, 35000);
  EXPECT_FALSE(sample::presetByName("medium", p));
  EXPECT_EQ(p.people, 45000);  // untouched
}

TEST_F(SampleDb, SameSeedSameBytesOtherSeedOtherBytes) {
  sample::Preset p = sample::smallPreset();
  sample::generate(dir("a").string(), p, 7);
  sample::generate(dir("b").string(), p, 7);
  sample::generate(dir("c").string(), p, 8);
  int differing = 0;
  for (const char* f : kFiles) {
    std::vector<uint8_t> a = slurp(dir("a") / "Data" / f);
    ASSERT_FALSE(a.empty()) << f;
    EXPECT_EQ(a, slurp(dir("b") / "Data" / f)) << f;
    if (a != slurp(dir("c") / "Data" / f)) ++differing;
  }
  EXPECT_GE(differing, 10);
  EXPECT_NE(slurp(dir("a") / "Data" / "staff.dat"), slurp(dir("c") / "Data" / "staff.dat"));
  // Working files are the editor's business, never the generator's.
  for (const char* f : {"staff_att.dat", "staff_att2.dat", "staff_unknown.dat", "index_temp.dat"})
    EXPECT_FALSE(fs::exists(dir("a") / "Data" / f)) << f;
  // Generating again over an existing folder replaces the files.
  sample::generate(dir("c").string(), p, 7);
  EXPECT_EQ(slurp(dir("a") / "Data" / "club.dat"), slurp(dir("c") / "Data" / "club.dat"));
}

TEST_F(SampleDb, IndexCountsMatchFiles) {
  sample::Preset p = sample::smallPreset();
  sample::generate(dir("g").string(), p, 3);
  fs::path d = dir("g") / "Data";
  Parsed x = parse(d);
  ASSERT_EQ(x.index.size(), size_t(kIndexEntries));
  auto count = [&](int e) { return x.index[size_t(e - 1)].Count(); };
  auto records = [&](const char* f, int len) { return int64_t(fs::file_size(d / f)) / len; };
  EXPECT_EQ(count(kEntryClubs), records("club.dat", 581));
  EXPECT_EQ(count(kEntryStadiums), records("stadium.dat", 78));
  EXPECT_EQ(count(kEntryFirstNames), records("first_names.dat", 60));
  EXPECT_EQ(count(kEntrySecondNames), records("second_names.dat", 60));
  EXPECT_EQ(count(kEntryCommonNames), records("common_names.dat", 60));
  EXPECT_EQ(count(kEntryPeople), p.people);
  EXPECT_EQ(count(kEntrySection4), p.players);
  EXPECT_EQ(count(kEntrySection3), p.people - p.players);
  EXPECT_EQ(count(kEntryClubs), p.clubs);
  EXPECT_EQ(records("nation.dat", 290), p.nations);
  EXPECT_EQ(records("staff_history.dat", 17), p.history);
  EXPECT_EQ(records("colour.dat", 58), p.colours);
  SectionTable t = sectionTableFrom(count(8), count(9), count(10), count(11));
  EXPECT_EQ(x.index[kEntryPeople - 1].Position(), 0);
  EXPECT_EQ(x.index[kEntrySection2 - 1].Position(), t.A);
  EXPECT_EQ(x.index[kEntrySection3 - 1].Position(), t.B);
  EXPECT_EQ(x.index[kEntrySection4 - 1].Position(), t.C);
  EXPECT_EQ(int64_t(x.staffBytes), t.D + p.tailBytes);
  EXPECT_EQ(x.index[kEntryPeople - 1].EntryName(), "staff.dat section 1");
  EXPECT_EQ(x.index[kEntryClubs - 1].EntryName(), "club.dat");
}

namespace {
void checkSquads(const sample::Preset& p, const fs::path& d) {
  Parsed x = parse(d);
  ASSERT_EQ(x.staff.size(), size_t(p.people));
  std::vector<ClubRecord> clubs = records<ClubRecord>(d / "club.dat");
  ASSERT_EQ(clubs.size(), size_t(p.clubs));
  std::vector<int> seen(x.staff.size(), 0);
  int holes = 0, clubless = 0;
  for (size_t c = 0; c < clubs.size(); ++c) {
    bool emptySeen = false;
    for (int k = 0; k < ClubRecord::kPlayerSlots; ++k) {
      int32_t id = clubs[c].PlayerSlot(k);
      if (id == -1) {
        emptySeen = true;
        continue;
      }
      if (emptySeen) ++holes;
      emptySeen = false;
      ASSERT_GE(id, 0);
      ASSERT_LT(id, p.people);
      EXPECT_TRUE(x.staff[size_t(id)].isPlayer()) << "club " << c << " slot " << k;
      EXPECT_EQ(x.staff[size_t(id)].ClubId(), int32_t(c));
      ++seen[size_t(id)];
    }
    for (int k = 0; k < ClubRecord::kStaffSlots; ++k) {
      int32_t id = clubs[c].StaffSlot(k);
      if (id == -1) continue;
      ASSERT_GE(id, 0);
      ASSERT_LT(id, p.people);
      EXPECT_FALSE(x.staff[size_t(id)].isPlayer()) << "club " << c << " staff slot " << k;
      EXPECT_EQ(x.staff[size_t(id)].ClubId(), int32_t(c));
      ++seen[size_t(id)];
    }
  }
  for (size_t i = 0; i < x.staff.size(); ++i) {
    if (x.staff[i].ClubId() >= 0)
      EXPECT_EQ(seen[i], 1) << "person " << i;
    else {
      EXPECT_EQ(seen[i], 0) << "person " << i;
      ++clubless;
    }
  }
  EXPECT_GT(holes, 0);
  EXPECT_GT(clubless, 0);
}
}  // namespace

TEST_F(SampleDb, SquadsAgreeWithClubIds) {
  sample::Preset p = sample::smallPreset();
  sample::generate(dir("g").string(), p, 5);
  checkSquads(p, dir("g") / "Data");
}

TEST_F(SampleDb, FullPresetSquadsAgreeWithClubIds) {
  sample::Preset p = sample::fullPreset();
  sample::generate(dir("g").string(), p, 2);
  checkSquads(p, dir("g") / "Data");
  EXPECT_EQ(fs::file_size(dir("g") / "Data" / "staff.dat"),
            uintmax_t(157 * 45000 + 8 * (45000 / 20) + 68 * 10000 + 70 * 35000 + p.tailBytes));
}

TEST_F(SampleDb, ReferencesInRange) {
  sample::Preset p = sample::smallPreset();
  sample::generate(dir("g").string(), p, 11);
  fs::path d = dir("g") / "Data";
  Parsed x = parse(d);
  ASSERT_EQ(x.staff.size(), size_t(p.people));
  ASSERT_EQ(x.playerAtt.size(), size_t(p.players));
  ASSERT_EQ(x.staffAtt.size(), size_t(p.people - p.players));
  std::vector<int> playerUse(x.playerAtt.size()), staffUse(x.staffAtt.size());
  int withCommon = 0;
  for (size_t i = 0; i < x.staff.size(); ++i) {
    const StaffRecord& s = x.staff[i];
    EXPECT_EQ(s.PersonId(), int32_t(i));
    EXPECT_TRUE(s.FirstNameId() >= 0 && s.FirstNameId() < p.firstNames);
    EXPECT_TRUE(s.SecondNameId() >= 0 && s.SecondNameId() < p.secondNames);
    EXPECT_TRUE(s.CommonNameId() >= 0 && s.CommonNameId() < p.commonNames);
    withCommon += s.CommonNameId() > 0;
    EXPECT_TRUE(s.NationId() >= 0 && s.NationId() < p.nations);
    EXPECT_TRUE(s.SecondNationId() >= -1 && s.SecondNationId() < p.nations);
    EXPECT_TRUE(s.ClubId() >= -1 && s.ClubId() < p.clubs);
    EXPECT_TRUE(s.BirthDay() >= 1 && s.BirthDay() <= 365);
    EXPECT_TRUE(s.BirthYear() >= 1955 && s.BirthYear() <= 1983);
    for (int k = 0; k < 8; ++k) EXPECT_TRUE(s.MentalRating(k) >= 1 && s.MentalRating(k) <= 20);
    EXPECT_NE(s.bytes[20], 0);  // kept bytes carry noise
    if (s.isPlayer()) {
      ASSERT_LT(s.PlayerAttIndex(), p.players);
      ASSERT_GE(s.PlayerAttIndex(), 0);
      ++playerUse[size_t(s.PlayerAttIndex())];
      EXPECT_EQ(s.ClassificationCode(), 2);
      EXPECT_TRUE(s.ClassCode() >= 11 && s.ClassCode() <= 15);
    } else {
      ASSERT_GE(s.StaffAttIndex(), 0);
      ASSERT_LT(s.StaffAttIndex(), p.people - p.players);
      ++staffUse[size_t(s.StaffAttIndex())];
      EXPECT_EQ(s.ClassificationCode(), 1);
      EXPECT_TRUE(s.ClassCode() >= 1 && s.ClassCode() <= 10);
    }
  }
  EXPECT_GT(withCommon, 0);
  EXPECT_LT(withCommon, p.people / 4);
  for (int u : playerUse) EXPECT_EQ(u, 1);
  for (int u : staffUse) EXPECT_EQ(u, 1);
  int negativePa = 0;
  for (size_t i = 0; i < x.playerAtt.size(); ++i) {
    const PlayerAttRecord& a = x.playerAtt[i];
    EXPECT_EQ(a.AttId(), int32_t(i));
    EXPECT_TRUE(a.CurrentAbility() >= 1 && a.CurrentAbility() <= 200);
    if (a.PotentialAbility() < 0)
      ++negativePa;
    else
      EXPECT_GE(a.PotentialAbility(), a.CurrentAbility());
    for (int k = 0; k < 42; ++k) EXPECT_TRUE(a.Attribute(k) >= 1 && a.Attribute(k) <= 20);
  }
  EXPECT_GT(negativePa, 0);

  auto names = [&](const char* f) {
    auto v = records<NameRecord>(d / f);
    for (size_t i = 0; i < v.size(); ++i) EXPECT_EQ(v[i].Id(), int32_t(i)) << f;
    return v;
  };
  auto commons = names("common_names.dat");
  ASSERT_FALSE(commons.empty());
  EXPECT_EQ(commons[0].Name(), "");
  auto seconds = names("second_names.dat");
  names("first_names.dat");
  bool accented = false;
  for (const auto& n : seconds)
    for (unsigned char ch : n.Name()) accented |= ch >= 0xC0;
  EXPECT_TRUE(accented);

  for (const auto& c : records<ClubRecord>(d / "club.dat")) {
    EXPECT_TRUE(c.Nation() >= 0 && c.Nation() < p.nations);
    EXPECT_TRUE(c.Division() >= 0 && c.Division() < p.comps);
    EXPECT_TRUE(c.OtherDivision() >= -1 && c.OtherDivision() < p.comps);
    EXPECT_TRUE(c.MainStadium() >= -1 && c.MainStadium() < p.stadiums);
    EXPECT_TRUE(c.ReserveStadium() >= -1 && c.ReserveStadium() < p.stadiums);
    for (int k = 0; k < 6; ++k) EXPECT_TRUE(c.KitColour(k) >= 0 && c.KitColour(k) < p.colours);
    for (int k = 0; k < 3; ++k) {
      EXPECT_TRUE(c.Rival(k) >= -1 && c.Rival(k) < p.clubs && c.Rival(k) != c.Id());
      EXPECT_TRUE(c.Favourite(k) >= -1 && c.Favourite(k) < p.people);
    }
    EXPECT_FALSE(c.LongName().empty());
  }
  auto nations = records<NationRecord>(d / "nation.dat");
  for (size_t i = 0; i < nations.size(); ++i) {
    const auto& n = nations[i];
    EXPECT_EQ(n.Id(), int32_t(i));
    EXPECT_TRUE(n.ContinentId() >= 0 && n.ContinentId() < p.continents);
    EXPECT_TRUE(n.CapitalCity() >= 0 && n.CapitalCity() < p.cities);
    EXPECT_TRUE(n.NationalStadium() >= 0 && n.NationalStadium() < p.stadiums);
    EXPECT_EQ(n.Symbol().size(), 3u);
  }
  auto comps = records<CompRecord>(d / "club_comp.dat");
  for (size_t i = 0; i < comps.size(); ++i) {
    EXPECT_EQ(comps[i].Id(), int32_t(i));
    EXPECT_TRUE(comps[i].Nation() >= -1 && comps[i].Nation() < p.nations);
    EXPECT_TRUE(comps[i].Continent() >= 0 && comps[i].Continent() < p.continents);
  }
  auto stadiums = records<StadiumRecord>(d / "stadium.dat");
  for (size_t i = 0; i < stadiums.size(); ++i) {
    EXPECT_EQ(stadiums[i].Id(), int32_t(i));
    EXPECT_TRUE(stadiums[i].City() >= 0 && stadiums[i].City() < p.cities);
    EXPECT_LE(stadiums[i].Seating(), stadiums[i].Capacity());
  }
  auto history = records<HistoryRecord>(d / "staff_history.dat");
  int deleted = 0;
  for (size_t i = 0; i < history.size(); ++i) {
    const auto& h = history[i];
    EXPECT_EQ(h.RecordId(), int32_t(i));
    EXPECT_TRUE(h.PersonId() >= -1 && h.PersonId() < p.people);
    deleted += h.PersonId() == -1;
    EXPECT_TRUE(h.Season() >= 1985 && h.Season() <= 1998);
    EXPECT_TRUE(h.ClubId() >= 0 && h.ClubId() < p.clubs);
  }
  EXPECT_GT(deleted, 0);
  auto cities = records<CityRecord>(d / "city.dat");
  for (size_t i = 0; i < cities.size(); ++i) EXPECT_EQ(cities[i].Id(), int32_t(i));
  auto colours = records<ColourRecord>(d / "colour.dat");
  for (size_t i = 0; i < colours.size(); ++i) EXPECT_EQ(colours[i].Id(), int32_t(i));
  auto continents = records<ContinentRecord>(d / "continent.dat");
  EXPECT_EQ(continents.size(), size_t(p.continents));
  for (size_t i = 0; i < continents.size(); ++i) EXPECT_EQ(continents[i].Id(), int32_t(i));
}

TEST_F(SampleDb, OpensInTheEditorAndClosesUnchanged) {
  sample::Preset p = sample::smallPreset();
  fs::path g = dir("g");
  sample::generate(g.string(), p, 1);
  std::vector<uint8_t> staffBefore = slurp(g / "Data" / "staff.dat");
  std::vector<uint8_t> indexBefore = slurp(g / "Data" / "index.dat");
  Parsed x = parse(g / "Data");
  ASSERT_FALSE(x.staff.empty());
  auto firsts = records<NameRecord>(g / "Data" / "first_names.dat");
  auto seconds = records<NameRecord>(g / "Data" / "second_names.dat");
  {
    Database db;
    ASSERT_TRUE(db.open(g.string())) << db.OpenError;
    EXPECT_EQ(db.PeopleCount(), p.people);
    EXPECT_EQ(db.recordCount(GameFile::Club), p.clubs);
    std::string expected = seconds[size_t(x.staff[0].SecondNameId())].Name() + " " +
                           firsts[size_t(x.staff[0].FirstNameId())].Name();
    EXPECT_EQ(db.PersonNameTable[0], expected);
    EXPECT_EQ(db.PersonNameTable[size_t(p.people - 1)],
              seconds[size_t(x.staff.back().SecondNameId())].Name() + " " +
                  firsts[size_t(x.staff.back().FirstNameId())].Name());
    EXPECT_EQ(db.clubNames.size(), size_t(p.clubs));
    db.close();
  }
  EXPECT_EQ(slurp(g / "Data" / "staff.dat"), staffBefore);
  EXPECT_EQ(slurp(g / "Data" / "index.dat"), indexBefore);
}
