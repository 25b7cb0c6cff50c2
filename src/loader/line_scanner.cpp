#include "loader/line_scanner.h"

#include <algorithm>

namespace orben {

namespace {

constexpr char upperCaseChar(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::string UpperCaseText(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = upperCaseChar(c);
  return result;
}

std::string StripComment(std::string_view text) {
  return std::string(text.substr(0, text.find(';')));
}

std::string CollapseBlanks(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  bool blank_pending = false;
  for (const char c : text) {
    if (IsBlankChar(c)) {
      blank_pending = !result.empty();
      continue;
    }
    if (blank_pending) result += ' ';
    blank_pending = false;
    result += c;
  }
  return result;
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
  const std::size_t comment = line.find(';');
  if (comment != std::string::npos) line.resize(comment);
  // Upper-case and collapse in one pass; the write position never passes
  // the read position, so the line is rewritten in place.
  std::size_t out = 0;
  bool blank_pending = false;
  for (std::size_t in = 0; in < line.size(); ++in) {
    const char c = line[in];
    if (IsBlankChar(c)) {
      blank_pending = out > 0;
      continue;
    }
    if (blank_pending) line[out++] = ' ';
    blank_pending = false;
    line[out++] = upperCaseChar(c);
  }
  line.resize(out);
  return line;
}

}  // namespace orben
