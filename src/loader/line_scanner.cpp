#include "loader/line_scanner.h"

#include <algorithm>
#include <utility>

namespace orben {

namespace {

constexpr char upperCaseChar(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::string UpperCaseText(std::string text) {
  for (char& c : text) c = upperCaseChar(c);
  return text;
}

std::string StripComment(std::string text) {
  const std::size_t comment = text.find(';');
  if (comment != std::string::npos) text.resize(comment);
  return text;
}

std::string CollapseBlanks(std::string text) {
  // The write position never passes the read position.
  std::size_t out = 0;
  bool blank_pending = false;
  for (std::size_t in = 0; in < text.size(); ++in) {
    const char c = text[in];
    if (IsBlankChar(c)) {
      blank_pending = out > 0;
      continue;
    }
    if (blank_pending) text[out++] = ' ';
    blank_pending = false;
    text[out++] = c;
  }
  text.resize(out);
  return text;
}

std::size_t CountWords(std::string_view text) {
  std::size_t words = 0;
  bool in_word = false;
  for (const char c : text) {
    const bool blank = IsBlankChar(c);
    if (!blank && !in_word) ++words;
    in_word = !blank;
  }
  return words;
}

std::string_view GetWord(std::string_view text, std::size_t n) {
  std::string_view word;
  std::size_t seen = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsBlankChar(text[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && !IsBlankChar(text[end])) ++end;
    word = text.substr(i, end - i);
    if (++seen >= n) break;
    i = end;
  }
  return word;
}

std::optional<std::string> PadLeft(std::string_view text, std::size_t width, char fill) {
  if (text.size() > width) return std::nullopt;
  std::string result(width - text.size(), fill);
  result += text;
  return result;
}

bool IsHexRecord(std::string_view text) {
  if (text.empty()) return true;
  if (text.size() != 15 || text[0] != ':') return false;
  return std::all_of(text.begin() + 1, text.end(), [](char c) { return IsHexDigit(c); });
}

std::string PrepareLine(std::string line) {
  // The comment goes first: ';' has no case, so cutting before upper-casing
  // gives the same text and spares the work on a long comment.
  return CollapseBlanks(UpperCaseText(StripComment(std::move(line))));
}

}  // namespace orben
