#pragma once

#include <string>
#include <string_view>

namespace orben {

// The assembly text of one machine word, built from its digits as they
// stand: "2105" gives "LLI R1, H'05". A first character outside "0".."9",
// "A".."F" (or a text shorter than four) gives the empty text.
std::string Disassemble(std::string_view word);

// The condition letter of a B or CALL digit: Z, S, C, V for 1..4, R else.
char ConditionLetter(char digit);

}  // namespace orben
