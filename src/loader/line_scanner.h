#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "machine/word_text.h"

namespace orben {

// The text helpers through which every object-file line passes before it is
// checked and stored. Only the ASCII letters change case and only tab, line
// feed and space are blanks; every other byte is kept as it is.

// The helpers that return a text take it by value and work in its own
// buffer: pass a long line with std::move and it is never copied.

// The letters a-z become A-Z; nothing else changes.
std::string UpperCaseText(std::string text);
// The characters before the first ';' (the whole text when it has none).
std::string StripComment(std::string text);
// Tab (09H), line feed (0AH) and space (20H); carriage return is not a blank.
inline constexpr bool IsBlankChar(char c) {
  return c == '\t' || c == '\n' || c == ' ';
}
// Every run of blanks becomes one space; blanks at both ends go.
std::string CollapseBlanks(std::string text);
// The number of maximal runs of non-blank characters.
std::size_t CountWords(std::string_view text);
// The n-th word (from 1) as a view into `text`. Words are runs of
// non-blanks; n below 1 gives the first word and n past the last word gives
// the last one, so a one-word text gives that word for every n. The empty
// text gives the empty text.
std::string_view GetWord(std::string_view text, std::size_t n);
// `fill` put in front of `text` up to `width` characters; nothing when the
// text is already longer than `width`.
std::optional<std::string> PadLeft(std::string_view text, std::size_t width, char fill);
// 0-9, A-F and a-f.
inline bool IsHexDigit(char c) {
  return HexCharToValue(c) >= 0;
}
// The empty text, or exactly 15 characters: ':' and then 14 hex digits.
bool IsHexRecord(std::string_view text);
// An object-file line made ready for checking: cut at its first ';',
// upper-cased and its blanks collapsed.
std::string PrepareLine(std::string line);

}  // namespace orben
