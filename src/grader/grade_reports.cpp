#include "grader/grade_reports.h"

#include <algorithm>
#include <string>

namespace orben::grader {

namespace {

std::string Summary(const ProgramResult& result) {
  return trf("{0}/{1} points, {2}/{3} cases", result.points(), result.maxPoints(),
             result.passedCases(), result.cases.size());
}

// `text` and enough blanks after it to fill `width` columns, one at least.
std::string Padded(std::string_view text, std::size_t width) {
  const std::size_t shown = shownWidth(text);
  return std::string(text) + std::string(shown < width ? width - shown : 1, ' ');
}

// Text as XML character data: markup characters as entities, characters
// XML 1.0 cannot hold as '?', bytes that are not UTF-8 as '?'.
std::string XmlText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    switch (c) {
      case '&':
        out += "&amp;";
        continue;
      case '<':
        out += "&lt;";
        continue;
      case '>':
        out += "&gt;";
        continue;
      case '"':
        out += "&quot;";
        continue;
      case '\'':
        out += "&apos;";
        continue;
      case '\n':
        out += "&#10;";
        continue;
      case '\r':
        out += "&#13;";
        continue;
      case '\t':
        out += "&#9;";
        continue;
      default:
        break;
    }
    if (c < 0x20 || c == 0x7F) {
      out += '?';
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      // A whole UTF-8 sequence passes; anything else becomes '?'.
      const std::size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
      bool whole = length > 0 && c < 0xF5 && i + length <= text.size();
      for (std::size_t k = 1; whole && k < length; ++k) {
        whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
      }
      if (whole) {
        out.append(text.substr(i, length));
        i += length - 1;
      } else {
        out += '?';
      }
    }
  }
  return out;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}

}  // namespace

void WriteTextReport(const CaseFile& cases, const std::vector<ProgramResult>& results,
                     std::ostream& out) {
  const std::string_view pass = tr("PASS");
  const std::string_view fail = tr("FAIL");
  const std::size_t verdict_width = std::max(shownWidth(pass), shownWidth(fail)) + 2;
  if (!cases.title.empty()) out << cases.title << "\n\n";
  for (const ProgramResult& result : results) {
    out << result.program << '\n';
    // A program that could not run fails every case with its problems.
    const std::vector<std::string> problems = result.problemLines(currentLanguage());
    for (const CaseResult& c : result.cases) {
      out << "  " << Padded(c.passed ? pass : fail, verdict_width) << c.name << "  ("
          << (c.max_points == 1 ? trf("{0}/{1} point", c.points, c.max_points)
                                : trf("{0}/{1} points", c.points, c.max_points))
          << ")\n";
      const auto differences =
          problems.empty() ? linesIn(c.differences, currentLanguage()) : problems;
      for (const auto& difference : differences) out << "        " << difference << '\n';
    }
    out << "  " << Summary(result) << "\n\n";
  }
  if (results.size() < 2) return;
  // The table, aligned by the characters shown (names may hold accents).
  const std::string_view program_heading = tr("Program");
  const std::string_view points_heading = tr("Points");
  std::size_t width = shownWidth(program_heading);
  for (const auto& result : results) width = std::max(width, shownWidth(result.program));
  const std::size_t points_width = std::max<std::size_t>(shownWidth(points_heading) + 2, 8);
  out << Padded(program_heading, width + 2) << Padded(points_heading, points_width) << tr("Cases")
      << '\n';
  for (const auto& result : results) {
    const std::string points =
        std::to_string(result.points()) + "/" + std::to_string(result.maxPoints());
    out << Padded(result.program, width + 2) << Padded(points, points_width) << result.passedCases()
        << '/' << result.cases.size() << '\n';
  }
}

session::JsonDocument JsonReport(const CaseFile& cases, const std::vector<ProgramResult>& results) {
  session::JsonDocument json;
  json["title"] = cases.title;
  session::JsonDocument& programs = json["programs"] = session::JsonDocument::array();
  bool all_passed = true;
  for (const ProgramResult& result : results) {
    session::JsonDocument program;
    program["program"] = result.program;
    program["points"] = result.points();
    program["max_points"] = result.maxPoints();
    program["passed_cases"] = result.passedCases();
    program["cases"] = result.cases.size();
    program["problems"] = result.problemLines(Language::English);  // JSON keeps one language
    session::JsonDocument& list = program["results"] = session::JsonDocument::array();
    for (const CaseResult& c : result.cases) {
      session::JsonDocument one;
      one["name"] = c.name;
      one["passed"] = c.passed;
      one["points"] = c.points;
      one["max_points"] = c.max_points;
      one["stop"] = c.stop.empty() ? session::JsonDocument() : session::JsonDocument(c.stop);
      one["steps"] = c.steps;
      one["differences"] = linesIn(c.differences, Language::English);
      list.push_back(std::move(one));
    }
    all_passed = all_passed && result.passed();
    programs.push_back(std::move(program));
  }
  json["passed"] = all_passed;
  return json;
}

void WriteJUnit(const CaseFile& cases, const std::vector<ProgramResult>& results,
                std::ostream& out) {
  std::size_t tests = 0;
  std::size_t failures = 0;
  for (const auto& result : results) {
    tests += result.cases.size();
    failures += result.cases.size() - static_cast<std::size_t>(result.passedCases());
  }
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out << "<testsuites name=\"" << XmlText(cases.title.empty() ? "tuka2 test" : cases.title)
      << "\" tests=\"" << tests << "\" failures=\"" << failures << "\" errors=\"0\">\n";
  for (const ProgramResult& result : results) {
    const std::size_t failed = result.cases.size() - static_cast<std::size_t>(result.passedCases());
    out << "  <testsuite name=\"" << XmlText(result.program) << "\" tests=\"" << result.cases.size()
        << "\" failures=\"" << failed << "\" errors=\"0\" skipped=\"0\" time=\"0\">\n";
    for (const CaseResult& c : result.cases) {
      out << "    <testcase name=\"" << XmlText(c.name) << "\" classname=\""
          << XmlText(result.program) << "\" time=\"0\"";
      if (c.passed) {
        out << "/>\n";
        continue;
      }
      const auto differences = linesIn(c.differences, Language::English);
      const std::string first = differences.empty() ? "failed" : differences.front();
      out << ">\n      <failure message=\"" << XmlText(first) << "\" type=\"difference\">"
          << XmlText(Joined(differences)) << "</failure>\n    </testcase>\n";
    }
    out << "  </testsuite>\n";
  }
  out << "</testsuites>\n";
}

}  // namespace orben::grader
