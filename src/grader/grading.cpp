#include "grader/grading.h"

#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>

#include "assembler/text.h"
#include "grader/case_start.h"
#include "session/report.h"
#include "session/session.h"

namespace orben::grader {

namespace {

using assembler::Concat;

std::string Word(std::uint16_t word) {
  return wordOf(word).str();
}
std::string Port(int port) {
  return wordOf(static_cast<unsigned>(port)).str().substr(2);
}
std::string Quote(const std::string& message) {
  return Concat("\"", session::messageLine(message), "\"");
}

// The expectations of a case, one by one: each counted, each that fails
// said in words.
class Comparison {
 public:
  explicit Comparison(std::vector<Text>& differences) : differences_(differences) {}

  void expect(bool held) {
    ++expectations_;
    held_ += held ? 1 : 0;
  }
  void word(const Text& what, std::uint16_t expected, std::string_view got) {
    const bool held = got == Word(expected);
    expect(held);
    if (held) return;
    if (got.empty()) {
      differences_.push_back(Text("{0}: expected {1}, got nothing", what, Word(expected)));
    } else {
      differences_.push_back(Text("{0}: expected {1}, got {2}", what, Word(expected), got));
    }
  }
  void messages(const std::vector<std::string>& expected, const std::vector<std::string>& got) {
    const std::size_t before = differences_.size();
    for (std::size_t i = 0; i < expected.size() || i < got.size(); ++i) {
      const std::size_t which = i + 1;
      if (i >= got.size()) {
        differences_.push_back(
            Text("message {0}: expected {1}, got none", which, Quote(expected[i])));
      } else if (i >= expected.size()) {
        differences_.push_back(Text("message {0}: expected none, got {1}", which, Quote(got[i])));
      } else if (expected[i] != got[i]) {
        differences_.push_back(
            Text("message {0}: expected {1}, got {2}", which, Quote(expected[i]), Quote(got[i])));
      }
    }
    expect(differences_.size() == before);
  }
  std::size_t expectations() const { return expectations_; }
  std::size_t held() const { return held_; }

 private:
  std::vector<Text>& differences_;
  std::size_t expectations_ = 0;
  std::size_t held_ = 0;
};

std::string Seconds(double seconds) {
  std::string text = std::to_string(seconds);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

void CompareStop(Comparison& comparison, std::vector<Text>& differences, const Case& c,
                 const session::RunResult& ran, const std::vector<std::string>& messages) {
  const std::string_view stop = session::stopWord(ran.stop);
  const bool held = stop == StopName(c.expect.stop);
  comparison.expect(held);
  if (held) return;
  if (ran.stop == session::Stop::Timeout) {
    differences.push_back(
        ran.steps == 1 ? Text("stopped after {0} s ({1} step)", Seconds(c.timeout), ran.steps)
                       : Text("stopped after {0} s ({1} steps)", Seconds(c.timeout), ran.steps));
    return;
  }
  differences.push_back(ran.steps == 1 ? Text("stopped at {0} after {1} step, expected {2}", stop,
                                              ran.steps, StopName(c.expect.stop))
                                       : Text("stopped at {0} after {1} steps, expected {2}", stop,
                                              ran.steps, StopName(c.expect.stop)));
  // What the machine said when it stopped, unless the case compares the
  // messages anyway.
  if (ran.stop == session::Stop::Error && !messages.empty() && !c.expect.messages) {
    differences.push_back(Text("the run stopped with the message {0}", Quote(messages.back())));
  }
}

CaseResult RunCase(const Program& program, const Case& c, const CaseFile& file,
                   const std::atomic<bool>* cancel) {
  CaseResult result;
  result.name = c.name;
  result.max_points = c.points;
  result.hidden = c.hidden;
  if (program.trouble != Trouble::None) {
    result.differences = program.problems;
    return result;
  }
  session::Session tuka(file.powerOnValues());
  tuka.switchOn();
  PrepareCase(tuka.tuka(), program, c, file);
  // Every message so far is the load's: presets show none, a cases file
  // keeping them below F000.
  const std::size_t load_messages = tuka.messages().all().size();
  tuka.leaveStepMode();
  const auto began = std::chrono::steady_clock::now();
  const session::RunResult ran = tuka.run({c.max_steps, c.timeout, cancel});
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  result.stop = session::stopWord(ran.stop);
  result.steps = ran.steps;
  const Machine& m = tuka.machine();
  // The messages of the run, after those of the load, which the program's
  // result gives once.
  const auto& all = tuka.messages().all();
  const std::vector<std::string> messages(all.begin() + static_cast<std::ptrdiff_t>(load_messages),
                                          all.end());

  auto& differences = result.differences;
  Comparison comparison(differences);
  const Expectation& expect = c.expect;
  CompareStop(comparison, differences, c, ran, messages);
  for (const auto& [port, word] : expect.outputs) {
    comparison.word(Text("output port {0}", Port(port)), word, m.cell(outputPortCell(port)).view());
  }
  for (const auto& [n, word] : expect.registers) {
    comparison.word(Text("register R{0}", std::string(1, HexDigitToChar(n))), word,
                    m.ReadRegister(n).view());
  }
  for (const MemoryBlock& block : expect.memory) {
    for (std::size_t i = 0; i < block.words.size(); ++i) {
      const auto address = static_cast<long long>(block.address + i);
      comparison.word(Text("memory {0}", Word(static_cast<std::uint16_t>(address))), block.words[i],
                      m.ReadMemoryWord(address).view());
    }
  }
  for (const auto& [letter, set] : expect.flags) {
    const Flag flag = letter == 'Z'   ? Flag::Z
                      : letter == 'S' ? Flag::S
                      : letter == 'C' ? Flag::C
                                      : Flag::V;
    const bool got = m.flag(flag);
    comparison.expect(got == set);
    if (got != set) {
      differences.push_back(Text("flag {0}: expected {1}, got {2}", std::string(1, letter),
                                 set ? "1" : "0", got ? "1" : "0"));
    }
  }
  if (expect.messages) comparison.messages(*expect.messages, messages);
  result.expectations = comparison.expectations();
  result.held = comparison.held();

  // A word the program did not load, executed: with random memory it may
  // have been a HALT by chance, so by default the case fails for it.
  bool unloaded = false;
  for (const Check& check : ran.checks) {
    result.checks.push_back(check.text);
    if (check.kind == CheckKind::UnwrittenWord && file.checks == ChecksRule::Fail && !unloaded) {
      unloaded = true;
      differences.push_back(check.text);
    }
  }
  result.passed = differences.empty();
  if (result.passed) {
    result.points = c.points;
  } else if (c.partial && !unloaded && result.expectations > 0) {
    result.points =
        c.points * static_cast<double>(result.held) / static_cast<double>(result.expectations);
  }
  return result;
}

}  // namespace

std::string pointsText(double points, Language language) {
  const double rounded = roundedPoints(points);
  const auto hundredths = static_cast<long long>(std::llround(rounded * 100));
  std::string text = std::to_string(hundredths / 100);
  if (const long long rest = hundredths % 100; rest != 0) {
    text += language == Language::Spanish ? ',' : '.';
    text += static_cast<char>('0' + rest / 10);
    if (rest % 10 != 0) text += static_cast<char>('0' + rest % 10);
  }
  return text;
}

double roundedPoints(double points) {
  return std::round(points * 100) / 100;
}

std::optional<double> gradeOf(const CaseFile& cases, const ProgramResult& result) {
  if (!cases.scale) return std::nullopt;
  const int max = result.maxPoints();
  return roundedPoints(max > 0 ? result.points() / max * *cases.scale : 0);
}

std::vector<std::string> ProgramResult::problemLines(Language language) const {
  return linesIn(problems, language);
}

double ProgramResult::points() const {
  double total = 0;
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

ProgramResult GradeProgram(const std::string& path, const CaseFile& cases,
                           const std::atomic<bool>* cancel) {
  return GradeProgram(PrepareProgram(path), path, cases, cancel);
}

ProgramResult GradeProgram(Program program, const std::string& name, const CaseFile& cases,
                           const std::atomic<bool>* cancel) {
  ProgramResult result;
  result.program = name;
  result.trouble = program.trouble;
  result.problems = program.problems;
  result.load_messages = program.load_messages;
  result.words = std::move(program.words);
  for (const Case& c : cases.cases) result.cases.push_back(RunCase(program, c, cases, cancel));
  return result;
}

ClassResult GradeClass(const std::vector<std::string>& programs, const CaseFile& cases,
                       const GradingOptions& options) {
  std::vector<std::optional<ProgramResult>> results(programs.size());
  std::atomic<std::size_t> next{0};
  std::mutex told;
  std::size_t graded = 0;
  const auto cancelled = [&] { return options.cancel && options.cancel->load(); };
  auto work = [&] {
    for (std::size_t i = next++; i < programs.size() && !cancelled(); i = next++) {
      ProgramResult result = GradeProgram(programs[i], cases, options.cancel);
      if (cancelled()) break;  // its last run may have been cut short
      results[i] = std::move(result);
      const std::lock_guard lock(told);
      ++graded;
      if (options.progress) options.progress(graded, programs.size());
    }
  };
  const std::size_t helpers =
      std::min<std::size_t>(options.threads == 0 ? 1 : options.threads, programs.size());
  std::vector<std::thread> pool;
  for (std::size_t t = 1; t < helpers; ++t) pool.emplace_back(work);
  work();
  for (auto& thread : pool) thread.join();
  ClassResult all;
  for (auto& result : results) {
    if (result) {
      all.graded.push_back(std::move(*result));
    } else {
      ++all.left;
    }
  }
  return all;
}

std::vector<ProgramResult> GradePrograms(const std::vector<std::string>& programs,
                                         const CaseFile& cases, unsigned threads) {
  return GradeClass(programs, cases, {threads, nullptr, {}}).graded;
}

}  // namespace orben::grader
