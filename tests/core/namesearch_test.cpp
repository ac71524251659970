#include "search/namesearch.h"

#include <gtest/gtest.h>

#include <tuple>

using cm3::search::findNames;
using cm3::search::likeMatch;

// Case, partial texts, ?, #, sets and their negation, an unclosed bracket
// and accented letters (0xE9 e acute, 0xC9 E acute).
TEST(NameSearch, WildcardOrCaseMatchesTheWrongText) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"Smith John", "SMITH JOHN", true}, {"smith", "*MIT*", true},    {"smith", "*MAT*", false},
      {"smith", "smit", false},          {"abc", "a?c", true},         {"ac", "a?c", false},
      {"a1c", "a#c", true},              {"abc", "a#c", false},        {"bat", "[abc]at", true},
      {"rat", "[abc]at", false},         {"rat", "[!abc]at", true},    {"cat", "[!abc]at", false},
      {"mat", "[A-Z]at", true},          {"1at", "[A-Z]at", false},    {"a[b", "*[b*", true},
      {"ab", "*[b*", false},             {"abc", "[!", false},         {"[", "[", true},
      {"Ren\xE9", "*REN\xC9*", true}};
  for (const auto& [text, pattern, match] : cases) EXPECT_EQ(likeMatch(text, pattern), match) << text << " " << pattern;
}

TEST(NameSearch, PeopleCountOrRowLimitIgnored) {
  std::vector<std::string> t = {"Smith John", "Jones Bob", "Smithers Al", "Smith Zed", ""};
  EXPECT_EQ(findNames(t, 5, "smith", 500), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(findNames(t, 3, "smith", 500), (std::vector<int>{0, 2}));
  EXPECT_EQ(findNames(t, 5, "smith", 2), (std::vector<int>{0, 2}));
  EXPECT_EQ(findNames(t, 5, "", 500).size(), 5u);
  EXPECT_TRUE(findNames(t, 5, "xyz", 500).empty());
}
