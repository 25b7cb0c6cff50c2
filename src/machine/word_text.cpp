#include "machine/word_text.h"

#include "machine/random_source.h"

namespace orben {

// Truncating division leaves a negative remainder wherever the digit is not
// 0, and HexDigitToChar writes 'X' for it.
WordText negativeValueToWordText(long long value) {
  char digits[4] = {'X', 'X', 'X', 'X'};
  for (int i = 3; i >= 0; --i) {
    digits[i] = HexDigitToChar(value % 16);
    value /= 16;
  }
  return WordText(std::string_view(digits, 4));
}

WordText RandomWordText(RandomSource& random) {
  char digits[4];
  for (char& d : digits) d = HexDigitToChar(random.below(16));
  return WordText(std::string_view(digits, 4));
}

}  // namespace orben
