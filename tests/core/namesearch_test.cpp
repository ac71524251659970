#include "search/namesearch.h"

#include <gtest/gtest.h>

using cm3::search::findNames;
using cm3::search::likeMatch;

TEST(NameSearch, CaseMattersOrPartialTextMatchesWhole) {
  EXPECT_TRUE(likeMatch("Smith John", "SMITH JOHN"));
  EXPECT_TRUE(likeMatch("smith", "*MIT*"));
  EXPECT_FALSE(likeMatch("smith", "*MAT*"));
  EXPECT_FALSE(likeMatch("smith", "smit"));
}

TEST(NameSearch, QuestionOrHashMatchesTheWrongCharacters) {
  EXPECT_TRUE(likeMatch("abc", "a?c"));
  EXPECT_FALSE(likeMatch("ac", "a?c"));
  EXPECT_TRUE(likeMatch("a1c", "a#c"));
  EXPECT_FALSE(likeMatch("abc", "a#c"));
}

TEST(NameSearch, CharacterSetOrItsNegationMisread) {
  EXPECT_TRUE(likeMatch("bat", "[abc]at"));
  EXPECT_FALSE(likeMatch("rat", "[abc]at"));
  EXPECT_TRUE(likeMatch("rat", "[!abc]at"));
  EXPECT_FALSE(likeMatch("cat", "[!abc]at"));
  EXPECT_TRUE(likeMatch("mat", "[A-Z]at"));
  EXPECT_FALSE(likeMatch("1at", "[A-Z]at"));
}

TEST(NameSearch, UnclosedBracketNotTakenLiterally) {
  EXPECT_TRUE(likeMatch("a[b", "*[b*"));
  EXPECT_FALSE(likeMatch("ab", "*[b*"));
  EXPECT_FALSE(likeMatch("abc", "[!"));
  EXPECT_TRUE(likeMatch("[", "["));
}

TEST(NameSearch, AccentedLetterCaseMatters) {
  // 0xE9 = e acute, 0xC9 = E acute in Windows-1252.
  EXPECT_TRUE(likeMatch("Ren\xE9", "*REN\xC9*"));
}

TEST(NameSearch, PeopleCountOrRowLimitIgnored) {
  std::vector<std::string> t = {"Smith John", "Jones Bob", "Smithers Al", "Smith Zed", ""};
  EXPECT_EQ(findNames(t, 5, "smith", 500), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(findNames(t, 3, "smith", 500), (std::vector<int>{0, 2}));
  EXPECT_EQ(findNames(t, 5, "smith", 2), (std::vector<int>{0, 2}));
  EXPECT_EQ(findNames(t, 5, "", 500).size(), 5u);
  EXPECT_TRUE(findNames(t, 5, "xyz", 500).empty());
}
