#include "grader/case_check_lines.h"

#include <filesystem>

#include "grader/grade_reports.h"
#include "text/catalog.h"

namespace orben::grader {

namespace {

constexpr Language kShown = Language::Spanish;

}  // namespace

std::string casesHeading(std::string_view cases_name, std::string_view title) {
  std::string heading = "Casos de ";
  heading += cases_name;
  if (!title.empty()) {
    heading += ": ";
    heading += title;
  }
  return heading;
}

std::vector<CheckLine> checkingLines(std::string_view cases_name, const CaseFile& cases,
                                     std::string_view program_file) {
  std::string checking = "Comprobando ";
  checking += std::filesystem::path(program_file).filename().string();
  checking += "…";
  return {{casesHeading(cases_name, cases.title)}, {checking}};
}

std::vector<CheckLine> casesErrorLines(std::string_view cases_name, const ParsedCases& parsed) {
  std::vector<CheckLine> lines{{casesHeading(cases_name, {})}};
  for (const CasesError& e : parsed.errors) {
    std::string text = e.message.in(kShown);
    if (e.line != 0) text = std::to_string(e.line) + ":" + std::to_string(e.column) + ": " + text;
    lines.push_back({text, -1, true});
  }
  return lines;
}

std::vector<CheckLine> resultLines(std::string_view cases_name, const CaseFile& cases,
                                   const ProgramResult& result) {
  std::vector<CheckLine> lines{{casesHeading(cases_name, cases.title)}};
  for (const std::string& line : linesIn(programProblems(result), kShown)) {
    lines.push_back({line, -1, result.trouble != Trouble::None});
  }
  for (std::size_t i = 0; i < result.cases.size(); ++i) {
    const CaseResult& c = result.cases[i];
    // A hidden case's inputs are not shown, not even on the machine.
    const bool open = !c.passed && !c.hidden && result.trouble == Trouble::None;
    const int index = open ? static_cast<int>(i) : -1;
    lines.push_back({caseLine(c, kShown), index, !c.passed});
    for (const std::string& difference : differenceLines(result, c, Reader::Student, kShown)) {
      lines.push_back({difference, index, true});
    }
  }
  lines.push_back({totalLine(cases, result, kShown)});
  return lines;
}

}  // namespace orben::grader
