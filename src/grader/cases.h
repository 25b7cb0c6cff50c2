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

struct Case {
  std::string name;
  int points = 1;
  std::vector<NumberedWord> inputs;  // port 02..3F (or 00)
  std::uint16_t start = 0;
  std::vector<NumberedWord> registers;
  std::vector<MemoryBlock> memory;
  std::uint64_t max_steps = 0;
  Expectation expect;
};

// A teacher's cases file.
struct CaseFile {
  std::string title;
  std::uint16_t fill = 0;             // used when there is no seed
  std::optional<std::uint64_t> seed;  // random memory and power-on values
  std::vector<Case> cases;
  int maxPoints() const;
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
};

// Reads a cases file from its TOML text; every fault is reported, and a
// file with any fault gives no cases.
ParsedCases ParseCases(std::string_view text, const std::string& path);

}  // namespace orben::grader
