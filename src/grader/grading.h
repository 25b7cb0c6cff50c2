#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "grader/cases.h"
#include "grader/program.h"
#include "text/catalog.h"

namespace orben::grader {

// How one case went for one program.
struct CaseResult {
  std::string name;
  double points = 0;   // earned: all of the case's points or none, or a share when partial
  int max_points = 0;  // the case's points
  bool passed = false;
  bool hidden = false;  // feedback gives its name, verdict and points only
  std::string stop;     // as tuka2 run names it; empty when nothing ran
  std::uint64_t steps = 0;
  double seconds = 0;  // the run's time, measured
  // What was expected and what came, in words.
  std::vector<Text> differences;
  // The classic mistakes the run showed, as notes.
  std::vector<Text> checks;
  // The expectations the case has and those that held.
  std::size_t expectations = 0;
  std::size_t held = 0;
};

// How every case went for one program.
struct ProgramResult {
  std::string program;
  Trouble trouble = Trouble::None;
  // Why nothing could run (a file that cannot be read, an assembly with
  // errors): every case then fails.
  std::vector<Text> problems;
  // What its load showed (the machine's messages), shown once.
  std::vector<std::string> load_messages;
  std::vector<LoadedWord> words;  // what the load put in memory
  std::vector<CaseResult> cases;
  std::vector<std::string> problemLines(Language language) const;
  double points() const;
  int maxPoints() const;
  int passedCases() const;
  bool passed() const { return passedCases() == static_cast<int>(cases.size()); }
};

// Points as a report writes them: whole, or with up to two decimals (a
// comma in Spanish).
std::string pointsText(double points, Language language);
inline std::string pointsText(double points) {
  return pointsText(points, currentLanguage());
}
// The same rounded to two decimals, as a number for JSON and CSV.
double roundedPoints(double points);

// The grade on the cases file's scale: the points' share of the maximum
// times the scale, to two decimals; none without a scale.
std::optional<double> gradeOf(const CaseFile& cases, const ProgramResult& result);

// Runs every case on `program` (.EHC, .HEX, or else an assembly source,
// assembled in memory), each on a machine of its own as tuka2 run does:
// switched on, loaded, presets written, input ports set, the start address
// keyed, then timed to a stop, the case's step limit or its time limit.
// `cancel`, once set, ends the run at hand as its time limit would.
ProgramResult GradeProgram(const std::string& program, const CaseFile& cases,
                           const std::atomic<bool>* cancel = nullptr);
// The same for a program already prepared, reported under `name`; its
// loaded words move into the result.
ProgramResult GradeProgram(Program program, const std::string& name, const CaseFile& cases,
                           const std::atomic<bool>* cancel = nullptr);

struct GradingOptions {
  unsigned threads = 1;
  // Once set, no program starts and the one at hand is left ungraded.
  const std::atomic<bool>* cancel = nullptr;
  // Told after each program graded, with how many are graded and of how
  // many; from the grading threads, one at a time.
  std::function<void(std::size_t graded, std::size_t total)> progress;
};

struct ClassResult {
  // The programs graded, in the order given (all of them unless cancelled).
  std::vector<ProgramResult> graded;
  std::size_t left = 0;  // those not graded
};

// Every program graded on up to `threads` threads; the results come in the
// order of `programs`, the same whatever the number of threads.
ClassResult GradeClass(const std::vector<std::string>& programs, const CaseFile& cases,
                       const GradingOptions& options);
std::vector<ProgramResult> GradePrograms(const std::vector<std::string>& programs,
                                         const CaseFile& cases, unsigned threads);

}  // namespace orben::grader
