#pragma once

#include <array>
#include <cstdint>
#include <cstring>
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

  static WordText of(char c0, char c1, char c2, char c3) {
    return ofPacked(static_cast<unsigned char>(c0) | static_cast<unsigned char>(c1) << 8 |
                    static_cast<unsigned char>(c2) << 16 |
                    static_cast<std::uint32_t>(static_cast<unsigned char>(c3)) << 24);
  }
  // Four characters packed first-in-the-low-byte, written in one store so
  // that the comparison that follows reads them back in one load.
  static WordText ofPacked(std::uint32_t packed) {
    WordText t;
    std::memcpy(t.chars_.data(), &packed, 4);
    t.size_ = 4;
    return t;
  }

  constexpr std::string_view view() const { return {chars_.data(), size_}; }
  constexpr operator std::string_view() const { return view(); }  // NOLINT
  std::string str() const { return std::string(view()); }
  constexpr std::size_t size() const { return size_; }
  constexpr bool empty() const { return size_ == 0; }
  constexpr char operator[](std::size_t i) const { return chars_[i]; }

  // Unused characters are always zero, so two texts are equal exactly when
  // their sizes and all four character slots are.
  friend bool operator==(const WordText& a, const WordText& b) {
    std::uint32_t x;
    std::uint32_t y;
    std::memcpy(&x, a.chars_.data(), 4);
    std::memcpy(&y, b.chars_.data(), 4);
    return a.size_ == b.size_ && x == y;
  }

 private:
  std::array<char, 4> chars_{};
  std::uint8_t size_ = 0;
};

inline constexpr WordText kOffText{"****"};

namespace detail {
// Digit values of every character: both cases count, anything else -1.
constexpr std::array<std::int8_t, 256> makeDigitTable() {
  std::array<std::int8_t, 256> table{};
  for (auto& v : table) v = -1;
  for (int c = '0'; c <= '9'; ++c) table[c] = static_cast<std::int8_t>(c - '0');
  for (int c = 'A'; c <= 'F'; ++c) table[c] = static_cast<std::int8_t>(c - 'A' + 10);
  for (int c = 'a'; c <= 'f'; ++c) table[c] = static_cast<std::int8_t>(c - 'a' + 10);
  return table;
}
inline constexpr std::array<std::int8_t, 256> kDigitValue = makeDigitTable();
// The digits of a WordText proper: upper case only, anything else -1.
constexpr std::array<std::int8_t, 256> makeUpperDigitTable() {
  auto table = makeDigitTable();
  for (int c = 'a'; c <= 'f'; ++c) table[c] = -1;
  return table;
}
inline constexpr std::array<std::int8_t, 256> kUpperDigitValue = makeUpperDigitTable();
inline constexpr char kDigits[] = "0123456789ABCDEF";
// The two digits of every byte, packed first-in-the-low-byte.
constexpr std::array<std::uint16_t, 256> makeBytePairs() {
  std::array<std::uint16_t, 256> pairs{};
  for (int b = 0; b < 256; ++b) {
    pairs[b] = static_cast<std::uint16_t>(static_cast<unsigned char>(kDigits[b >> 4]) |
                                          static_cast<unsigned char>(kDigits[b & 0xF]) << 8);
  }
  return pairs;
}
inline constexpr std::array<std::uint16_t, 256> kBytePairs = makeBytePairs();
}  // namespace detail

// 0..15 give "0".."9", "A".."F"; anything else gives 'X'.
inline char HexDigitToChar(long long value) {
  return value >= 0 && value <= 15 ? detail::kDigits[value] : 'X';
}
// "0".."9", "A".."F", "a".."f" give 0..15; anything else -1.
inline int HexCharToValue(char c) {
  return detail::kDigitValue[static_cast<unsigned char>(c)];
}
// A digit of a word text proper: "0".."9", "A".."F" give 0..15; anything
// else, lower case included, gives -1.
inline int wordDigitValue(char c) {
  return detail::kUpperDigitValue[static_cast<unsigned char>(c)];
}
// First two characters: -1 when either is 'X'; otherwise 16*d1 + d2, where
// only "0".."9" and upper-case "A".."F" count and every other character is 0.
inline int ByteTextToValue(std::string_view text) {
  const char d1 = text.size() > 0 ? text[0] : '0';
  const char d2 = text.size() > 1 ? text[1] : '0';
  if (d1 == 'X' || d2 == 'X') return -1;
  const int v1 = wordDigitValue(d1);
  const int v2 = wordDigitValue(d2);
  return 16 * (v1 < 0 ? 0 : v1) + (v2 < 0 ? 0 : v2);
}
// First four characters, each 0..15 (lower case too) or -1, weighted
// 4096/256/16/1: "****" gives -4369. A text shorter than four gives -1.
inline int WordTextToValue(std::string_view text) {
  if (text.size() < 4) return -1;
  return 4096 * HexCharToValue(text[0]) + 256 * HexCharToValue(text[1]) +
         16 * HexCharToValue(text[2]) + HexCharToValue(text[3]);
}
// The low four hexadecimal digits, filled from the right with truncating
// division; a negative value shows 'X' wherever its remainder is not 0.
// The four digits of a word 0..FFFF.
inline WordText wordOf(unsigned word) {
  return WordText::ofPacked(detail::kBytePairs[(word >> 8) & 0xFF] |
                            static_cast<std::uint32_t>(detail::kBytePairs[word & 0xFF]) << 16);
}
WordText negativeValueToWordText(long long value);
inline WordText ValueToWordText(long long value) {
  return value >= 0 ? wordOf(static_cast<unsigned>(value & 0xFFFF))
                    : negativeValueToWordText(value);
}
// As ValueToWordText after adding 10000H to a negative value.
inline WordText SignedToWordText(long long value) {
  return ValueToWordText(value < 0 ? value + 0x10000 : value);
}
// Four independent uniform digits.
WordText RandomWordText(RandomSource& random);

// The word of exactly four upper-case hexadecimal digits, or -1 for any
// other text ("****", "", lower case).
inline int wordAddress(std::string_view text) {
  if (text.size() != 4) return -1;
  const auto d = [&](int i) { return wordDigitValue(text[i]); };
  const int d0 = d(0), d1 = d(1), d2 = d(2), d3 = d(3);
  if ((d0 | d1 | d2 | d3) < 0) return -1;
  return d0 << 12 | d1 << 8 | d2 << 4 | d3;
}
// True for exactly four upper-case hexadecimal digits.
inline bool isWordText(std::string_view text) {
  return wordAddress(text) >= 0;
}

}  // namespace orben
