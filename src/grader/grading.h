#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "grader/cases.h"
#include "text/catalog.h"

namespace orben::grader {

// How one case went for one program.
struct CaseResult {
  std::string name;
  int points = 0;      // earned: all of the case's points or none
  int max_points = 0;  // the case's points
  bool passed = false;
  std::string stop;  // as tuka2 run names it; empty when nothing ran
  std::uint64_t steps = 0;
  // What was expected and what came, in words; for a program that could
  // not run, its problems.
  std::vector<Text> differences;
};

// How every case went for one program.
struct ProgramResult {
  std::string program;
  // Why nothing could run (a file that cannot be read, an assembly with
  // errors): every case then fails with these lines, which a report on a
  // terminal shows in the current language.
  std::vector<Text> problems;
  std::vector<CaseResult> cases;
  std::vector<std::string> problemLines(Language language) const;
  int points() const;
  int maxPoints() const;
  int passedCases() const;
  bool passed() const { return passedCases() == static_cast<int>(cases.size()); }
};

// Runs every case on `program` (.EHC, .HEX, or else an assembly source,
// assembled in memory), each on a machine of its own as tuka2 run does:
// switched on, loaded, presets written, input ports set, the start address
// keyed, then timed to a stop or the case's step limit.
ProgramResult GradeProgram(const std::string& program, const CaseFile& cases);

// Every program graded on up to `threads` threads; the results come in the
// order of `programs`, the same whatever the number of threads.
std::vector<ProgramResult> GradePrograms(const std::vector<std::string>& programs,
                                         const CaseFile& cases, unsigned threads);

}  // namespace orben::grader
