#include "grader/grade_reports.h"

#include <algorithm>
#include <string>

#include "session/report.h"

namespace orben::grader {

namespace {

std::string Summary(const CaseFile& cases, const ProgramResult& result) {
  const std::string points = pointsText(result.points());
  if (const auto grade = gradeOf(cases, result)) {
    return trf("{0}/{1} points, {2}/{3} cases, grade {4}", points, result.maxPoints(),
               result.passedCases(), result.cases.size(), pointsText(*grade));
  }
  return trf("{0}/{1} points, {2}/{3} cases", points, result.maxPoints(), result.passedCases(),
             result.cases.size());
}

// `text` and enough blanks after it to fill `width` columns, one at least.
std::string Padded(std::string_view text, std::size_t width) {
  const std::size_t shown = shownWidth(text);
  return std::string(text) + std::string(shown < width ? width - shown : 1, ' ');
}

// The machine's messages during the load, as a report quotes them.
Text LoadMessage(const std::string& message) {
  return Text("the load showed \"{0}\"", session::messageLine(message));
}

// A number of points as JSON: whole when it is whole.
session::JsonDocument JsonPoints(double points) {
  const double rounded = roundedPoints(points);
  const auto whole = static_cast<long long>(rounded);
  if (static_cast<double>(whole) == rounded) return whole;
  return rounded;
}

}  // namespace

std::string caseLine(const CaseResult& c, Language language) {
  const std::string_view pass = tr("PASS", language);
  const std::string_view fail = tr("FAIL", language);
  const std::size_t verdict_width = std::max(shownWidth(pass), shownWidth(fail)) + 2;
  const std::string points = pointsText(c.points, language);
  const Text earned = c.max_points == 1 ? Text("{0}/{1} point", points, c.max_points)
                                        : Text("{0}/{1} points", points, c.max_points);
  std::string line = Padded(c.passed ? pass : fail, verdict_width);
  line.append(c.name).append("  (").append(earned.in(language)).append(")");
  return line;
}

std::vector<std::string> differenceLines(const ProgramResult& result, const CaseResult& c,
                                         Reader reader, Language language) {
  if (result.trouble != Trouble::None || (reader == Reader::Student && c.hidden)) return {};
  return linesIn(c.differences, language);
}

std::string totalLine(const CaseFile& cases, const ProgramResult& result, Language language) {
  const std::string points = pointsText(result.points(), language);
  const auto passed = static_cast<std::size_t>(result.passedCases());
  if (const auto grade = gradeOf(cases, result)) {
    return Text("Total: {0}/{1} points, {2}/{3} cases, grade {4} out of {5}", points,
                result.maxPoints(), passed, result.cases.size(), pointsText(*grade, language),
                pointsText(*cases.scale, language))
        .in(language);
  }
  return Text("Total: {0}/{1} points, {2}/{3} cases", points, result.maxPoints(), passed,
              result.cases.size())
      .in(language);
}

std::vector<Text> programProblems(const ProgramResult& result) {
  std::vector<Text> problems = result.problems;
  for (const auto& message : result.load_messages) problems.push_back(LoadMessage(message));
  return problems;
}

void WriteTextReport(const CaseFile& cases, const std::vector<ProgramResult>& results,
                     std::ostream& out, const Copies& copies) {
  const Language language = currentLanguage();
  if (!cases.title.empty()) out << cases.title << "\n\n";
  for (const ProgramResult& result : results) {
    out << result.program << '\n';
    // What kept it from running, or what its load said: once, before its
    // cases.
    for (const auto& line : linesIn(programProblems(result), language)) out << "  " << line << '\n';
    for (const CaseResult& c : result.cases) {
      out << "  " << caseLine(c, language) << '\n';
      for (const auto& difference : differenceLines(result, c, Reader::Teacher, language))
        out << "        " << difference << '\n';
    }
    out << "  " << Summary(cases, result) << "\n\n";
  }
  if (results.size() < 2) return;
  // The table, aligned by the characters shown (names may hold accents).
  const std::string_view program_heading = tr("Program");
  const std::string_view points_heading = tr("Points");
  std::size_t width = shownWidth(program_heading);
  for (const auto& result : results) width = std::max(width, shownWidth(result.program));
  const std::size_t points_width = std::max<std::size_t>(shownWidth(points_heading) + 2, 8);
  const bool graded = cases.scale.has_value();
  out << Padded(program_heading, width + 2) << Padded(points_heading, points_width);
  if (graded) {
    out << Padded(tr("Cases"), 7) << tr("Grade") << '\n';
  } else {
    out << tr("Cases") << '\n';
  }
  for (const auto& result : results) {
    const std::string points =
        pointsText(result.points()) + "/" + std::to_string(result.maxPoints());
    const std::string passed =
        std::to_string(result.passedCases()) + "/" + std::to_string(result.cases.size());
    out << Padded(result.program, width + 2) << Padded(points, points_width);
    if (graded) {
      out << Padded(passed, 7) << pointsText(*gradeOf(cases, result)) << '\n';
    } else {
      out << passed << '\n';
    }
  }
  WriteCopies(copies, results, out);
}

session::JsonDocument JsonReport(const CaseFile& cases, const std::vector<ProgramResult>& results,
                                 const Copies& copies) {
  session::JsonDocument json;
  json["title"] = cases.title;
  session::JsonDocument& programs = json["programs"] = session::JsonDocument::array();
  bool all_passed = true;
  for (const ProgramResult& result : results) {
    session::JsonDocument program;
    program["program"] = result.program;
    program["points"] = JsonPoints(result.points());
    program["max_points"] = result.maxPoints();
    if (const auto grade = gradeOf(cases, result)) program["grade"] = JsonPoints(*grade);
    program["passed_cases"] = result.passedCases();
    program["cases"] = result.cases.size();
    // JSON keeps one language.
    program["problems"] = linesIn(programProblems(result), Language::English);
    session::JsonDocument& list = program["results"] = session::JsonDocument::array();
    for (const CaseResult& c : result.cases) {
      session::JsonDocument one;
      one["name"] = c.name;
      one["passed"] = c.passed;
      one["points"] = JsonPoints(c.points);
      one["max_points"] = c.max_points;
      if (c.hidden) one["hidden"] = true;
      one["stop"] = c.stop.empty() ? session::JsonDocument() : session::JsonDocument(c.stop);
      one["steps"] = c.steps;
      one["differences"] = result.trouble != Trouble::None
                               ? std::vector<std::string>()
                               : linesIn(c.differences, Language::English);
      one["checks"] = linesIn(c.checks, Language::English);
      list.push_back(std::move(one));
    }
    all_passed = all_passed && result.passed();
    programs.push_back(std::move(program));
  }
  json["passed"] = all_passed;
  if (results.size() > 1) json["copies"] = CopiesJson(copies, results);
  return json;
}

}  // namespace orben::grader
