#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "grader/cases.h"
#include "grader/grading.h"

namespace orben::grader {

// A column of text the sheet adds after its own: its heading and, for the
// program at each index of the results, its cell.
struct SheetColumn {
  std::string heading;
  std::function<std::string(std::size_t program)> cell;
};

// A grade sheet as CSV (RFC 4180, UTF-8 with a byte-order mark, CRLF line
// ends): a header row (program, points, max_points, passed_cases, cases,
// each case's name, grade when the cases file has a scale, then `extra`),
// then a row per program in the order of `results`. Numbers are written
// with '.' as the decimal point; every name is kept as text (see CsvText).
void WriteCsv(const CaseFile& cases, const std::vector<ProgramResult>& results, std::ostream& out,
              const std::vector<SheetColumn>& extra = {});

// A name as a CSV field that a spreadsheet keeps as text: an apostrophe
// before a name it would take for a formula (=, +, -, @ first), a number,
// a date, a time, a truth value or an error (a digit, a sign, a blank, a
// currency or '#' first; a month or a day followed by digits; TRUE,
// FALSE...), then quoted when it holds a comma, a quote, CR or LF or has
// a blank at either end.
std::string CsvText(std::string_view name);

}  // namespace orben::grader
