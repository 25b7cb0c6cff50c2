#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "grader/cases.h"
#include "grader/grading.h"

namespace orben::grader {

// Comprobar con casos in an editor's messages: the lines a check of the
// loaded program against a cases file shows, in Spanish as a student's
// report is, the same in every front end.

// Asked with no program loaded.
inline constexpr std::string_view kLoadAProgramFirst =
    "Cargue antes un programa: Ensamblar y cargar o Cargar programa objeto.";

struct CheckLine {
  std::string text;
  // The case a line is about when activating it prepares that case on the
  // machine (a failing case that is not hidden); negative for none.
  int case_index = -1;
  bool failed = false;
};

// "Casos de NAME", then ": TITLE" when the file has one.
std::string casesHeading(std::string_view cases_name, std::string_view title);

// While the program named `program_file` (a path: its name is shown) is
// being graded: the heading and "Comprobando NAME…".
std::vector<CheckLine> checkingLines(std::string_view cases_name, const CaseFile& cases,
                                     std::string_view program_file);

// A cases file that cannot be used: the heading, then each error at its
// line and column.
std::vector<CheckLine> casesErrorLines(std::string_view cases_name, const ParsedCases& parsed);

// The outcome: the heading, the program's problems, each case's verdict
// and its differences (a hidden case by name and verdict only), the total.
std::vector<CheckLine> resultLines(std::string_view cases_name, const CaseFile& cases,
                                   const ProgramResult& result);

}  // namespace orben::grader
