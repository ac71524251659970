#include "search/namesearch.h"

#include <array>
#include <cstdint>

#include "records/cp1252.h"

namespace cm3::search {
namespace {

using U = unsigned char;

// Tries the set starting at p[0] == '['. Returns the length of the set in the
// pattern (0 when unclosed) and whether c belongs to it.
size_t parseSet(std::string_view p, U c, bool& hit) {
  size_t i = 1;
  bool negate = false;
  if (i < p.size() && p[i] == '!') {
    negate = true;
    ++i;
  }
  size_t close = p.find(']', i);
  if (close == std::string_view::npos) return 0;
  bool in = false;
  for (size_t k = i; k < close; ++k) {
    U lo = U(p[k]);
    if (k + 2 < close && p[k + 1] == '-') {
      U hi = U(p[k + 2]);
      if (c >= lo && c <= hi) in = true;
      k += 2;
    } else if (c == lo) {
      in = true;
    }
  }
  hit = negate ? !in : in;
  return close + 1;
}

// A pattern compiled once for a whole scan: one token per pattern element,
// character sets as 256-bit tables; texts are upper-cased through a table
// into a reused buffer.
class Compiled {
 public:
  explicit Compiled(std::string_view upperPattern) {
    for (int c = 0; c < 256; ++c) upper_[size_t(c)] = cp1252::upper(U(c));
    std::string_view p = upperPattern;
    bool plain = true;
    for (size_t i = 0; i < p.size();) {
      Token t;
      char pc = p[i];
      if (pc == '*') {
        t.kind = Token::Star;
        ++i;
      } else if (pc == '?') {
        t.kind = Token::Any;
        ++i;
      } else if (pc == '#') {
        t.kind = Token::Set;
        for (int c = '0'; c <= '9'; ++c) t.set[size_t(c)] = true;
        ++i;
      } else if (pc == '[') {
        size_t len = 0;
        for (int c = 0; c < 256; ++c) {
          bool hit = false;
          len = parseSet(p.substr(i), U(c), hit);
          if (len == 0) break;
          t.set[size_t(c)] = hit;
        }
        if (len == 0) {  // an unclosed "[" stands for itself
          t.kind = Token::Char;
          t.c = '[';
          ++i;
        } else {
          t.kind = Token::Set;
          i += len;
        }
      } else {
        t.kind = Token::Char;
        t.c = U(pc);
        ++i;
      }
      if (t.kind != Token::Char && t.kind != Token::Star) plain = false;
      tokens_.push_back(t);
    }
    // "*literal*": a plain substring search.
    if (plain && tokens_.size() >= 2 && tokens_.front().kind == Token::Star && tokens_.back().kind == Token::Star) {
      bool inner = true;
      for (size_t k = 1; k + 1 < tokens_.size(); ++k) {
        if (tokens_[k].kind != Token::Char) inner = false;
        else literal_.push_back(char(tokens_[k].c));
      }
      substring_ = inner;
    }
  }

  bool matches(std::string_view text) {
    buf_.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i) buf_[i] = char(upper_[U(text[i])]);
    if (substring_) return std::string_view(buf_).find(literal_) != std::string_view::npos;
    return run(buf_);
  }

 private:
  struct Token {
    enum Kind { Char, Any, Set, Star } kind = Char;
    U c = 0;
    std::array<bool, 256> set{};
  };

  bool step(const Token& t, U c) const {
    switch (t.kind) {
      case Token::Char: return t.c == c;
      case Token::Any: return true;
      case Token::Set: return t.set[c];
      case Token::Star: break;
    }
    return false;
  }

  bool run(std::string_view t) const {
    size_t ti = 0, pi = 0;
    size_t starP = SIZE_MAX, starT = 0;
    const size_t n = tokens_.size();
    while (ti < t.size()) {
      if (pi < n && tokens_[pi].kind == Token::Star) {
        starP = ++pi;
        starT = ti;
        continue;
      }
      if (pi < n && step(tokens_[pi], U(t[ti]))) {
        ++pi, ++ti;
        continue;
      }
      if (starP == SIZE_MAX) return false;
      pi = starP;
      ti = ++starT;
    }
    while (pi < n && tokens_[pi].kind == Token::Star) ++pi;
    return pi == n;
  }

  std::array<U, 256> upper_{};
  std::vector<Token> tokens_;
  bool substring_ = false;
  std::string literal_;
  std::string buf_;
};

}  // namespace

bool likeMatch(std::string_view text8, std::string_view pattern8) {
  Compiled c(cp1252::upper(pattern8));
  return c.matches(text8);
}

std::vector<int> findNames(const std::vector<std::string>& table, int count, std::string_view key8, int limit) {
  std::vector<int> out;
  Compiled c("*" + cp1252::upper(key8) + "*");
  int n = count < int(table.size()) ? count : int(table.size());
  for (int i = 0; i < n && int(out.size()) < limit; ++i) {
    if (c.matches(table[size_t(i)])) out.push_back(i);
  }
  return out;
}

}  // namespace cm3::search
