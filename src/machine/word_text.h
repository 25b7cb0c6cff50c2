#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orben {

class RandomSource;

// The text a machine cell holds: four upper-case hexadecimal digits for a
// word, "****" while the machine is off, or the empty text that a read of
// memory at F000 or above gives. At most four characters are kept; a longer
// text is cut, as the displays do. Fixed size, so cells never touch the heap.
class WordText {
 public:
  constexpr WordText() = default;
  constexpr WordText(std::string_view text) {  // NOLINT: texts convert freely
    size_ = static_cast<std::uint8_t>(text.size() < 4 ? text.size() : 4);
    for (std::size_t i = 0; i < size_; ++i) chars_[i] = text[i];
  }
  constexpr WordText(const char* text) : WordText(std::string_view(text)) {}  // NOLINT
  WordText(const std::string& text) : WordText(std::string_view(text)) {}     // NOLINT

  static constexpr WordText Of(char c0, char c1, char c2, char c3) {
    WordText t;
    t.chars_ = {c0, c1, c2, c3};
    t.size_ = 4;
    return t;
  }

  constexpr std::string_view view() const { return {chars_.data(), size_}; }
  constexpr operator std::string_view() const { return view(); }  // NOLINT
  std::string str() const { return std::string(view()); }
  constexpr std::size_t size() const { return size_; }
  constexpr bool empty() const { return size_ == 0; }
  constexpr char operator[](std::size_t i) const { return chars_[i]; }

  friend constexpr bool operator==(const WordText& a, const WordText& b) {
    return a.view() == b.view();
  }

 private:
  std::array<char, 4> chars_{};
  std::uint8_t size_ = 0;
};

inline constexpr WordText kOffText{"****"};

// 0..15 give "0".."9", "A".."F"; anything else gives 'X'.
char HexDigitToChar(long long value);
// "0".."9", "A".."F", "a".."f" give 0..15; anything else -1.
int HexCharToValue(char c);
// First two characters: -1 when either is 'X'; otherwise 16*d1 + d2, where
// only "0".."9" and upper-case "A".."F" count and every other character is 0.
int ByteTextToValue(std::string_view text);
// First four characters, each 0..15 (lower case too) or -1, weighted
// 4096/256/16/1: "****" gives -4369. A text shorter than four gives -1.
int WordTextToValue(std::string_view text);
// The low four hexadecimal digits, filled from the right with truncating
// division; a negative value shows 'X' wherever its remainder is not 0.
WordText ValueToWordText(long long value);
// As ValueToWordText after adding 10000H to a negative value.
WordText SignedToWordText(long long value);
// Four independent uniform digits.
WordText RandomWordText(RandomSource& random);

// True for exactly four upper-case hexadecimal digits.
bool IsWordText(std::string_view text);

}  // namespace orben
