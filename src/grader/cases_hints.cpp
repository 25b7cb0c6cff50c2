#include "grader/cases_hints.h"

#include <algorithm>

#include "assembler/source_text.h"
#include "machine/word_text.h"

namespace orben::grader {

std::optional<CasesError> NotUtf8(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) return std::nullopt;
  const auto fault = assembler::CheckText(text);
  if (!fault) return std::nullopt;
  return CasesError{fault->line, fault->column,
                    Text("the file is not UTF-8 (saved as Latin-1?): save it as UTF-8")};
}

namespace {

bool InWord(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// Whether `line` ends inside a text in double quotes that began before
// `at`: a closing quote left out. Multi-line texts are not looked into.
bool UnclosedText(std::string_view line, std::size_t at) {
  if (line.find("\"\"\"") != std::string_view::npos) return false;
  char open = 0;  // the quote of the text at hand
  std::size_t began = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (open == 0) {
      if (c == '#') return false;
      if (c == '"' || c == '\'') open = c, began = i;
    } else if (c == '\\' && open == '"') {
      ++i;
    } else if (c == open) {
      open = 0;
    }
  }
  return open == '"' && began < at;
}

// The hexadecimal word written without quotes where a value goes, around
// `at` (the reader stops inside it or just after it).
std::optional<std::string> UnquotedWord(std::string_view line, std::size_t at) {
  if (at >= line.size() || !InWord(line[at])) {
    if (at == 0 || at > line.size() || !InWord(line[at - 1])) return std::nullopt;
    --at;
  }
  std::size_t begin = at;
  std::size_t end = at;
  while (begin > 0 && InWord(line[begin - 1])) --begin;
  while (end < line.size() && InWord(line[end])) ++end;
  const std::string_view before = assembler::TrimBlanks(line.substr(0, begin));
  if (before.empty() || std::string_view("=,[").find(before.back()) == std::string_view::npos)
    return std::nullopt;
  const std::string_view word = line.substr(begin, end - begin);
  if (word.empty() || word.size() > 4 ||
      !std::all_of(word.begin(), word.end(), [](char c) { return HexCharToValue(c) >= 0; }))
    return std::nullopt;
  std::string digits(4 - word.size(), '0');
  for (const char c : word) digits += HexDigitToChar(HexCharToValue(c));
  return digits;
}

}  // namespace

std::optional<Text> SyntaxHint(std::string_view text, std::size_t line, std::size_t column) {
  assembler::SourceLines lines(text);
  std::string_view shown;
  std::size_t number = 0;
  while (number < line && lines.next(shown, number)) {
  }
  if (number != line || column == 0) return std::nullopt;
  // The reader counts columns in characters: the byte where it stopped.
  std::size_t at = 0;
  for (std::size_t c = 1; c < column && at < shown.size(); ++c) {
    ++at;
    while (at < shown.size() && (static_cast<unsigned char>(shown[at]) & 0xC0) == 0x80) ++at;
  }
  if (UnclosedText(shown, at))
    return Text("the closing quote is missing: end the text with \" on its line");
  if (const auto word = UnquotedWord(shown, at))
    return Text("write the word in quotes: \"{0}\"", *word);
  return std::nullopt;
}

}  // namespace orben::grader
