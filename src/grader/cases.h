#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "session/presets.h"
#include "text/catalog.h"

namespace orben::session {
struct PowerOnValues;
}

namespace orben::grader {

// How a run must end: the stop words of tuka2 run.
enum class StopKind { Halt, Error, NoInstruction, MaxSteps };
std::string_view StopName(StopKind stop);
std::optional<StopKind> StopOfName(std::string_view name);

// Consecutive words from an address; a number (a port, a register) and
// the word it holds: as a case presets them.
using session::MemoryBlock;
using session::NumberedWord;

struct Expectation {
  StopKind stop = StopKind::Halt;
  std::vector<NumberedWord> outputs;    // port 00..3F
  std::vector<NumberedWord> registers;  // R0..RF
  std::vector<MemoryBlock> memory;
  std::vector<std::pair<char, bool>> flags;  // Z, S, C, V
  std::optional<std::vector<std::string>> messages;
};

// Seconds a case's run may take when its file says nothing.
inline constexpr double kDefaultTimeout = 10;

struct Case {
  std::string name;
  int points = 1;
  // A case whose points are shared evenly among its expectations (each
  // output port, register, memory word and flag, the stop and the
  // messages one each), rather than all or none.
  bool partial = false;
  // A case whose feedback to students gives only its name, verdict and
  // points.
  bool hidden = false;
  double timeout = kDefaultTimeout;
  std::vector<NumberedWord> inputs;  // port 02..3F (or 00)
  std::uint16_t start = 0;
  std::vector<NumberedWord> registers;
  std::vector<MemoryBlock> memory;
  std::uint64_t max_steps = 0;
  Expectation expect;
};

// What the check for a word the program did not load does to a case that
// executed one (with memory random, such a word may be a HALT by chance).
enum class ChecksRule : std::uint8_t {
  Fail,  // the case fails, with the check as its difference
  Warn,  // the check is only noted
};

// A teacher's cases file.
struct CaseFile {
  std::string title;
  // The grade's scale (a grade of `scale` for every point); none: no grade.
  std::optional<double> scale;
  ChecksRule checks = ChecksRule::Fail;
  std::uint16_t fill = 0;             // used when there is no seed
  std::optional<std::uint64_t> seed;  // random memory and power-on values
  std::vector<Case> cases;
  int maxPoints() const;
  // What every case's machine is switched on with: the fill, or the seed.
  session::PowerOnValues powerOnValues() const;
};

// A fault of a cases file at its line and column (both from 1; 0 when the
// file as a whole is at fault).
struct CasesError {
  std::size_t line = 0;
  std::size_t column = 0;
  Text message;
};

struct ParsedCases {
  std::optional<CaseFile> cases;
  std::vector<CasesError> errors;
  // What is likely wrong though the file can be used (two cases with one
  // name, an expectation that holds whatever the program does...).
  std::vector<CasesError> warnings;
};

// Reads a cases file from its TOML text; every fault is reported, and a
// file with any fault gives no cases.
ParsedCases ParseCases(std::string_view text, const std::string& path);

}  // namespace orben::grader
