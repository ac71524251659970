// Wildcard matching of names, in the manner of the classic Like operator:
//   *  any run of characters      ?  one character      #  one digit
//   [abc] [a-z]  one of a set     [!abc]  one character not in the set
// A "[" without its closing "]" stands for itself. Texts are 8-bit and the
// comparison ignores case (upper case by cp1252::upper).
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace cm3::search {

bool likeMatch(std::string_view text8, std::string_view pattern8);

// Indexes i < count of the table entries containing `key` anywhere
// ("*" + key + "*"), at most `limit` of them, in table order.
std::vector<int> findNames(const std::vector<std::string>& table, int count, std::string_view key8, int limit);

}  // namespace cm3::search
