#include "grader/feedback.h"

#include <algorithm>
#include <string>

#include "grader/grade_reports.h"
#include "machine/word_text.h"

namespace orben::grader {

namespace {

// Students read their feedback in Spanish, whatever the teacher's locale.
constexpr Language kStudents = Language::Spanish;

std::string Word(std::uint16_t word) {
  return wordOf(word).str();
}

std::string Joined(const std::vector<std::string>& parts, std::string_view between) {
  std::string joined;
  for (const auto& part : parts) {
    if (!joined.empty()) joined += between;
    joined += part;
  }
  return joined;
}

std::string Inputs(const Case& c) {
  std::vector<std::string> ports;
  for (const auto& [port, word] : c.inputs) {
    ports.push_back(
        Text("port {0} = {1}", Word(static_cast<std::uint16_t>(port)).substr(2), Word(word))
            .in(kStudents));
  }
  return Joined(ports, ", ");
}

std::string Presets(const Case& c) {
  std::vector<std::string> presets;
  for (const auto& [n, word] : c.registers) {
    presets.push_back(std::string("R") + HexDigitToChar(n) + " = " + Word(word));
  }
  for (const MemoryBlock& block : c.memory) {
    std::vector<std::string> words;
    for (std::uint16_t word : block.words) words.push_back(Word(word));
    presets.push_back(Text("memory {0}", Word(block.address)).in(kStudents) + " = " +
                      Joined(words, " "));
  }
  return Joined(presets, "; ");
}

class Handout {
 public:
  explicit Handout(std::ostream& out)
      : out_(out), pass_(tr("PASS", kStudents)), fail_(tr("FAIL", kStudents)) {
    verdict_width_ = std::max(shownWidth(pass_), shownWidth(fail_)) + 2;
  }

  void heading(const std::string& title) {
    out_ << title << '\n' << std::string(shownWidth(title), '=') << "\n\n";
  }

  void caseLine(const CaseResult& c) { out_ << grader::caseLine(c, kStudents) << '\n'; }
  // A line under the case's, after its own caption when it has one.
  void detail(const Text& line) { out_ << indent() << line.in(kStudents) << '\n'; }
  void list(const Text& caption, const std::vector<Text>& lines) {
    list(caption, linesIn(lines, kStudents));
  }
  void list(const Text& caption, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    detail(caption);
    for (const auto& line : lines) out_ << indent() << "  " << line << '\n';
  }

 private:
  std::string indent() const { return std::string(verdict_width_, ' '); }

  std::ostream& out_;
  std::string_view pass_;
  std::string_view fail_;
  std::size_t verdict_width_ = 0;
};

}  // namespace

void WriteFeedback(const CaseFile& cases, const ProgramResult& result, std::ostream& out) {
  Handout handout(out);
  handout.heading(cases.title.empty() ? std::string(tr("Results of the cases", kStudents))
                                      : cases.title);
  out << Text("Program: {0}", result.program).in(kStudents) << "\n\n";
  if (const auto problems = programProblems(result); !problems.empty()) {
    out << tr("Preparing the program:", kStudents) << '\n';
    for (const auto& line : linesIn(problems, kStudents)) out << "  " << line << '\n';
    out << '\n';
  }
  for (std::size_t i = 0; i < result.cases.size(); ++i) {
    const CaseResult& c = result.cases[i];
    handout.caseLine(c);
    if (c.hidden) {
      handout.detail(Text("hidden case: its inputs, presets and differences are not shown"));
      out << '\n';
      continue;
    }
    if (i < cases.cases.size()) {
      const Case& given = cases.cases[i];
      if (!given.inputs.empty()) handout.detail(Text("Inputs: {0}", Inputs(given)));
      if (!given.registers.empty() || !given.memory.empty()) {
        handout.detail(Text("Presets: {0}", Presets(given)));
      }
      if (given.start != 0) handout.detail(Text("Start address: {0}", Word(given.start)));
    }
    // A program that could not run fails every case for the reason said
    // once above.
    if (result.trouble == Trouble::None) {
      handout.list(Text("Differences:"), differenceLines(result, c, Reader::Student, kStudents));
      std::vector<Text> checks;
      for (const Text& check : c.checks) {
        if (std::find(c.differences.begin(), c.differences.end(), check) == c.differences.end()) {
          checks.push_back(check);
        }
      }
      handout.list(Text("Checks:"), checks);
    }
    out << '\n';
  }
  out << totalLine(cases, result, kStudents);
  out << '\n';
}

}  // namespace orben::grader
