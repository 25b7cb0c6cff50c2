#include <string>

#include "grader/grade_reports.h"

namespace orben::grader {

namespace {

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

// Seconds as xs:decimal, to the millisecond.
std::string Time(double seconds) {
  const auto millis = static_cast<long long>(seconds * 1000 + 0.5);
  std::string fraction = std::to_string(millis % 1000);
  return std::to_string(millis / 1000) + "." + std::string(3 - fraction.size(), '0') + fraction;
}

std::string_view TroubleType(Trouble trouble) {
  return trouble == Trouble::Unreadable ? "unreadable" : "assembly";
}

}  // namespace

void WriteJUnit(const CaseFile& cases, const std::vector<ProgramResult>& results,
                std::ostream& out) {
  std::size_t tests = 0;
  std::size_t failures = 0;
  std::size_t errors = 0;
  double time = 0;
  for (const auto& result : results) {
    tests += result.cases.size();
    const std::size_t failed = result.cases.size() - static_cast<std::size_t>(result.passedCases());
    (result.trouble == Trouble::None ? failures : errors) += failed;
    for (const auto& c : result.cases) time += c.seconds;
  }
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out << "<testsuites name=\"" << XmlText(cases.title.empty() ? "tuka2 test" : cases.title)
      << "\" tests=\"" << tests << "\" failures=\"" << failures << "\" errors=\"" << errors
      << "\" time=\"" << Time(time) << "\">\n";
  for (const ProgramResult& result : results) {
    const std::size_t failed = result.cases.size() - static_cast<std::size_t>(result.passedCases());
    const bool trouble = result.trouble != Trouble::None;
    double suite_time = 0;
    for (const auto& c : result.cases) suite_time += c.seconds;
    out << "  <testsuite name=\"" << XmlText(result.program) << "\" tests=\"" << result.cases.size()
        << "\" failures=\"" << (trouble ? 0 : failed) << "\" errors=\"" << (trouble ? failed : 0)
        << "\" skipped=\"0\" time=\"" << Time(suite_time) << "\">\n";
    const auto problems = result.problemLines(Language::English);
    for (const CaseResult& c : result.cases) {
      out << "    <testcase name=\"" << XmlText(c.name) << "\" classname=\""
          << XmlText(result.program) << "\" time=\"" << Time(c.seconds) << "\">\n";
      // What the case earned, for a learning platform that scores it.
      out << "      <properties>\n"
          << "        <property name=\"points\" value=\"" << pointsText(c.points, Language::English)
          << "\"/>\n"
          << "        <property name=\"max_points\" value=\"" << c.max_points << "\"/>\n"
          << "      </properties>\n";
      if (trouble) {
        // The reason is given once, in the suite's system-err.
        out << "      <error message=\"" << XmlText(problems.empty() ? "" : problems.front())
            << "\" type=\"" << TroubleType(result.trouble) << "\"/>\n";
      } else if (!c.passed) {
        const auto differences = linesIn(c.differences, Language::English);
        const std::string first = differences.empty() ? "failed" : differences.front();
        out << "      <failure message=\"" << XmlText(first) << "\" type=\"difference\">"
            << XmlText(Joined(differences)) << "</failure>\n";
      }
      out << "    </testcase>\n";
    }
    if (trouble) out << "    <system-err>" << XmlText(Joined(problems)) << "</system-err>\n";
    out << "  </testsuite>\n";
  }
  out << "</testsuites>\n";
}

}  // namespace orben::grader
