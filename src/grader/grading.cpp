#include "grader/grading.h"

#include <atomic>
#include <thread>

#include "assembler/assembler.h"
#include "assembler/object_in_memory.h"
#include "assembler/object_name.h"
#include "assembler/source_file.h"
#include "assembler/text.h"
#include "loader/load_command.h"
#include "session/report.h"
#include "session/session.h"

namespace orben::grader {

namespace {

using assembler::Concat;

// A program made ready once for all its cases: the bytes the load command
// reads and the name it is given.
struct Program {
  ObjectFormat format = ObjectFormat::Ehc;
  std::string load_name;
  std::string bytes;
  std::vector<Text> problems;
};

constexpr std::size_t kShownAssemblyErrors = 5;

Program PrepareProgram(const std::string& path) {
  Program program;
  std::string reason;
  auto text = assembler::ReadSourceFile(path, reason);
  if (!text) {
    program.problems.push_back(Text("cannot read {0}: {1}", path, reason));
    return program;
  }
  if (const auto format = objectFormatOfName(path)) {
    program.format = *format;
    program.load_name = path;
    program.bytes = std::move(*text);
    return program;
  }
  // An assembly source: its EHC text in memory, loaded as the file that
  // tuka2 asm would write.
  std::vector<assembler::Diagnostic> errors;
  struct ErrorKeeper : assembler::AssemblyOutput {
    std::vector<assembler::Diagnostic>* kept;
    void diagnostic(const assembler::Diagnostic& d) override {
      if (d.severity == assembler::Severity::Error) kept->push_back(d);
    }
  } keeper;
  keeper.kept = &errors;
  auto assembled = assembler::AssembleInMemory(*text, keeper);
  const auto& result = assembled.result;
  if (!result.ok()) {
    program.problems.push_back(
        result.errors == 1
            ? Text("the assembly of {0} failed with {1} error", path, result.errors)
            : Text("the assembly of {0} failed with {1} errors", path, result.errors));
    for (std::size_t i = 0; i < errors.size() && i < kShownAssemblyErrors; ++i) {
      program.problems.push_back(assembler::DiagnosticLine(path, errors[i]));
    }
    return program;
  }
  program.bytes = std::move(assembled.ehc);
  program.load_name = assembler::DefaultObjectName(path);
  return program;
}

std::string Word(std::uint16_t word) {
  return wordOf(word).str();
}
std::string Port(int port) {
  return wordOf(static_cast<unsigned>(port)).str().substr(2);
}

void CompareWord(std::vector<Text>& differences, const Text& what, std::uint16_t expected,
                 std::string_view got) {
  if (got == Word(expected)) return;
  if (got.empty()) {
    differences.push_back(Text("{0}: expected {1}, got nothing", what, Word(expected)));
  } else {
    differences.push_back(Text("{0}: expected {1}, got {2}", what, Word(expected), got));
  }
}

std::string Quote(const std::string& message) {
  return Concat("\"", session::messageLine(message), "\"");
}

void CompareMessages(std::vector<Text>& differences, const std::vector<std::string>& expected,
                     const std::vector<std::string>& got) {
  for (std::size_t i = 0; i < expected.size() || i < got.size(); ++i) {
    const std::size_t which = i + 1;
    if (i >= got.size()) {
      differences.push_back(Text("message {0}: expected {1}, got none", which, Quote(expected[i])));
    } else if (i >= expected.size()) {
      differences.push_back(Text("message {0}: expected none, got {1}", which, Quote(got[i])));
    } else if (expected[i] != got[i]) {
      differences.push_back(
          Text("message {0}: expected {1}, got {2}", which, Quote(expected[i]), Quote(got[i])));
    }
  }
}

CaseResult RunCase(const Program& program, const Case& c, const CaseFile& file) {
  CaseResult result;
  result.name = c.name;
  result.max_points = c.points;
  if (!program.problems.empty()) {
    result.differences = program.problems;
    return result;
  }
  session::Session tuka(file.seed ? session::PowerOnValues{std::nullopt, file.seed}
                                  : session::PowerOnValues{file.fill, std::nullopt});
  tuka.switchOn();
  tuka.loadObject(program.format, program.load_name, program.bytes);
  tuka.writePresets({c.memory, c.registers, c.inputs});
  tuka.keyStart(Word(c.start));
  tuka.leaveStepMode();
  const session::RunResult ran = tuka.run({c.max_steps, std::nullopt});
  const std::string_view stop = session::stopWord(ran.stop);
  result.stop = stop;
  result.steps = ran.steps;
  const Machine& m = tuka.machine();

  auto& differences = result.differences;
  const Expectation& expect = c.expect;
  if (stop != StopName(expect.stop)) {
    differences.push_back(ran.steps == 1 ? Text("stopped at {0} after {1} step, expected {2}", stop,
                                                ran.steps, StopName(expect.stop))
                                         : Text("stopped at {0} after {1} steps, expected {2}",
                                                stop, ran.steps, StopName(expect.stop)));
  }
  for (const auto& [port, word] : expect.outputs) {
    CompareWord(differences, Text("output port {0}", Port(port)), word,
                m.cell(outputPortCell(port)).view());
  }
  for (const auto& [n, word] : expect.registers) {
    CompareWord(differences, Text("register R{0}", std::string(1, HexDigitToChar(n))), word,
                m.ReadRegister(n).view());
  }
  for (const MemoryBlock& block : expect.memory) {
    for (std::size_t i = 0; i < block.words.size(); ++i) {
      const auto address = static_cast<long long>(block.address + i);
      CompareWord(differences, Text("memory {0}", Word(static_cast<std::uint16_t>(address))),
                  block.words[i], m.ReadMemoryWord(address).view());
    }
  }
  for (const auto& [letter, set] : expect.flags) {
    const Flag flag = letter == 'Z'   ? Flag::Z
                      : letter == 'S' ? Flag::S
                      : letter == 'C' ? Flag::C
                                      : Flag::V;
    if (m.flag(flag) != set) {
      differences.push_back(Text("flag {0}: expected {1}, got {2}", std::string(1, letter),
                                 set ? "1" : "0", m.flag(flag) ? "1" : "0"));
    }
  }
  if (expect.messages) CompareMessages(differences, *expect.messages, tuka.messages().all());
  result.passed = differences.empty();
  result.points = result.passed ? c.points : 0;
  return result;
}

}  // namespace

std::vector<std::string> ProgramResult::problemLines(Language language) const {
  return linesIn(problems, language);
}

int ProgramResult::points() const {
  int total = 0;
  for (const auto& c : cases) total += c.points;
  return total;
}

int ProgramResult::maxPoints() const {
  int total = 0;
  for (const auto& c : cases) total += c.max_points;
  return total;
}

int ProgramResult::passedCases() const {
  int total = 0;
  for (const auto& c : cases) total += c.passed ? 1 : 0;
  return total;
}

ProgramResult GradeProgram(const std::string& path, const CaseFile& cases) {
  ProgramResult result;
  result.program = path;
  const Program program = PrepareProgram(path);
  result.problems = program.problems;
  for (const Case& c : cases.cases) result.cases.push_back(RunCase(program, c, cases));
  return result;
}

std::vector<ProgramResult> GradePrograms(const std::vector<std::string>& programs,
                                         const CaseFile& cases, unsigned threads) {
  std::vector<ProgramResult> results(programs.size());
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t i = next++; i < programs.size(); i = next++) {
      results[i] = GradeProgram(programs[i], cases);
    }
  };
  const std::size_t helpers = std::min<std::size_t>(threads == 0 ? 1 : threads, programs.size());
  std::vector<std::thread> pool;
  for (std::size_t t = 1; t < helpers; ++t) pool.emplace_back(work);
  work();
  for (auto& thread : pool) thread.join();
  return results;
}

}  // namespace orben::grader
