#include "machine/word_text.h"

#include "machine/random_source.h"

namespace orben {

namespace {

// Digit values for WordTextToValue: both cases count, anything else -1.
constexpr std::array<std::int8_t, 256> MakeDigitTable() {
  std::array<std::int8_t, 256> table{};
  for (auto& v : table) v = -1;
  for (int c = '0'; c <= '9'; ++c) table[c] = static_cast<std::int8_t>(c - '0');
  for (int c = 'A'; c <= 'F'; ++c) table[c] = static_cast<std::int8_t>(c - 'A' + 10);
  for (int c = 'a'; c <= 'f'; ++c) table[c] = static_cast<std::int8_t>(c - 'a' + 10);
  return table;
}
constexpr auto kDigitValue = MakeDigitTable();

// ByteTextToValue's own digit rule: upper case only, anything else counts 0.
int UpperDigitOrZero(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

}  // namespace

char HexDigitToChar(long long value) {
  if (value >= 0 && value <= 9) return static_cast<char>('0' + value);
  if (value >= 10 && value <= 15) return static_cast<char>('A' + value - 10);
  return 'X';
}

int HexCharToValue(char c) {
  return kDigitValue[static_cast<unsigned char>(c)];
}

int ByteTextToValue(std::string_view text) {
  const char d1 = text.size() > 0 ? text[0] : '0';
  const char d2 = text.size() > 1 ? text[1] : '0';
  if (d1 == 'X' || d2 == 'X') return -1;
  return 16 * UpperDigitOrZero(d1) + UpperDigitOrZero(d2);
}

int WordTextToValue(std::string_view text) {
  if (text.size() < 4) return -1;
  return 4096 * HexCharToValue(text[0]) + 256 * HexCharToValue(text[1]) +
         16 * HexCharToValue(text[2]) + HexCharToValue(text[3]);
}

WordText ValueToWordText(long long value) {
  char digits[4] = {'X', 'X', 'X', 'X'};
  for (int i = 3; i >= 0; --i) {
    digits[i] = HexDigitToChar(value % 16);
    value /= 16;
  }
  return WordText(std::string_view(digits, 4));
}

WordText SignedToWordText(long long value) {
  if (value < 0) value += 0x10000;
  return ValueToWordText(value);
}

WordText RandomWordText(RandomSource& random) {
  char digits[4];
  for (char& d : digits) d = HexDigitToChar(random.Below(16));
  return WordText(std::string_view(digits, 4));
}

bool IsWordText(std::string_view text) {
  if (text.size() != 4) return false;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

}  // namespace orben
