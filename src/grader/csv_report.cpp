#include "grader/csv_report.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace orben::grader {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string Lowered(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
  return lower;
}

// The code point a UTF-8 text begins with; 0 when it does not begin with a
// whole sequence.
char32_t FirstCodePoint(std::string_view text) {
  if (text.empty()) return 0;
  const auto lead = static_cast<unsigned char>(text[0]);
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (length == 1 || text.size() < length) return lead < 0x80 ? lead : 0;
  char32_t point = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return 0;
    point = point << 6 | (next & 0x3F);
  }
  return point;
}

// A character that a spreadsheet reads as the start of a number or a
// formula though it is not ASCII: currency signs, the minus sign, the
// full-width signs and other scripts' digits.
bool NumberLikeOutsideAscii(char32_t c) {
  constexpr std::array<char32_t, 10> signs = {U'€',  U'£',  U'¥',  U'¢',  U'−',
                                              U'＝', U'＋', U'－', U'＠', U'＄'};
  return std::find(signs.begin(), signs.end(), c) != signs.end() || (c >= 0x0660 && c <= 0x0669) ||
         (c >= 0x06F0 && c <= 0x06F9) || (c >= 0x0966 && c <= 0x096F) ||
         (c >= 0xFF10 && c <= 0xFF19);
}

// The month names a spreadsheet takes a date from, in English and Spanish,
// whole or shortened.
bool IsMonth(std::string_view word) {
  constexpr std::array<std::string_view, 24> whole = {
      "january", "february", "march",      "april",   "may",       "june",
      "july",    "august",   "september",  "october", "november",  "december",
      "enero",   "febrero",  "marzo",      "abril",   "mayo",      "junio",
      "julio",   "agosto",   "septiembre", "octubre", "noviembre", "diciembre"};
  for (std::string_view month : whole) {
    if (word == month || (word.size() == 3 && month.substr(0, 3) == word)) return true;
  }
  return word == "sept";
}

// Whether a spreadsheet reading `name` from a CSV file could make of it
// anything but the text it is.
// Whether a text that begins with a digit reads as a number, a date or a
// time: nothing but digits, signs and separators ("11/11", "1e3", "3:45",
// "5 %"), perhaps ending in AM or PM, or a month's name among its words
// ("15 nov"). "15H da 2AH" or "1a.asm" stay text.
bool NumberLike(std::string_view lower) {
  for (std::string_view suffix : {" am", " pm", "am", "pm"}) {
    if (lower.size() > suffix.size() && lower.ends_with(suffix)) {
      lower.remove_suffix(suffix.size());
      break;
    }
  }
  if (lower.find_first_not_of("0123456789 ./-:,%e+") == std::string_view::npos) return true;
  for (std::size_t at = 0; at < lower.size();) {
    const std::size_t begin = static_cast<std::size_t>(
        std::find_if(lower.begin() + static_cast<std::ptrdiff_t>(at), lower.end(), IsLetter) -
        lower.begin());
    const std::size_t end = static_cast<std::size_t>(
        std::find_if_not(lower.begin() + static_cast<std::ptrdiff_t>(begin), lower.end(),
                         IsLetter) -
        lower.begin());
    if (begin < end && IsMonth(lower.substr(begin, end - begin))) return true;
    at = end;
  }
  return false;
}

bool ReadAsOtherThanText(std::string_view name) {
  if (name.empty()) return false;
  const char first = name[0];
  const bool digit_next = name.size() > 1 && IsDigit(name[1]);
  // Formulas (=, +, -, @ and what some spreadsheets run on a blank or a
  // line break before them), numbers, errors (#N/A), accounting negatives.
  constexpr std::string_view starts = "=+-@'#($ \t\r\n";
  if (starts.find(first) != std::string_view::npos) return true;
  if (IsDigit(first)) return NumberLike(Lowered(name));
  if ((first == '.' || first == ',') && digit_next) return true;
  if (NumberLikeOutsideAscii(FirstCodePoint(name))) return true;
  if (!IsLetter(first)) return false;
  const std::string lower = Lowered(name);
  for (std::string_view truth : {"true", "false", "verdadero", "falso"}) {
    if (lower == truth) return true;
  }
  // A month and a number, as in "nov 11" or "Nov-2020": a date.
  const auto word_end = std::find_if_not(lower.begin(), lower.end(), IsLetter);
  const std::string_view word(lower.data(), static_cast<std::size_t>(word_end - lower.begin()));
  return IsMonth(word) && std::any_of(word_end, lower.end(), IsDigit);
}

// `field` as RFC 4180 writes it: in quotes, its own quotes doubled, when
// it holds a comma, a quote, CR or LF, or begins or ends with a blank
// (which Gnumeric would trim from a number's text otherwise).
std::string Quoted(std::string_view field) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  const bool trimmable = !field.empty() && (blank(field.front()) || blank(field.back()));
  if (!trimmable && field.find_first_of(",\"\r\n") == std::string_view::npos) {
    return std::string(field);
  }
  std::string quoted = "\"";
  for (char c : field) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  quoted += '"';
  return quoted;
}

// A number of points (or a grade) with '.' as the decimal point.
std::string Number(double points) {
  return pointsText(points, Language::English);
}

void WriteRow(const std::vector<std::string>& fields, std::ostream& out) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out << ',';
    out << fields[i];
  }
  out << kLineEnd;
}

}  // namespace

std::string CsvText(std::string_view name) {
  std::string text;
  if (ReadAsOtherThanText(name)) text += '\'';
  text += name;
  return Quoted(text);
}

void WriteCsv(const CaseFile& cases, const std::vector<ProgramResult>& results, std::ostream& out,
              const std::vector<SheetColumn>& extra) {
  const bool graded = cases.scale.has_value();
  out << kByteOrderMark;
  // The keys of the header stay English in every language, like JSON's.
  std::vector<std::string> header = {"program", "points", "max_points", "passed_cases", "cases"};
  for (const Case& c : cases.cases) header.push_back(CsvText(c.name));
  if (graded) header.emplace_back("grade");
  for (const SheetColumn& column : extra) header.push_back(CsvText(column.heading));
  WriteRow(header, out);
  for (std::size_t i = 0; i < results.size(); ++i) {
    const ProgramResult& result = results[i];
    std::vector<std::string> row = {
        CsvText(result.program), Number(result.points()), std::to_string(result.maxPoints()),
        std::to_string(result.passedCases()), std::to_string(result.cases.size())};
    for (const CaseResult& c : result.cases) row.push_back(Number(c.points));
    if (graded) row.push_back(Number(*gradeOf(cases, result)));
    for (const SheetColumn& column : extra) row.push_back(CsvText(column.cell(i)));
    WriteRow(row, out);
  }
}

}  // namespace orben::grader
