#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "session/run.h"

namespace orben::runner {

enum class Command { Run, Debug, Dis, Asm, Help, Version };

// The command line of tuka2, checked.
struct Options {
  Command command = Command::Help;
  std::string file;
  bool json = false;
  std::string start = "0000";
  std::optional<std::uint16_t> fill;
  std::optional<std::uint64_t> seed;
  std::vector<std::pair<int, std::string>> inputs;  // port, four upper-case digits
  std::uint64_t max_steps = session::kDefaultMaxSteps;
  bool dump_memory = false;
  bool trace = false;
  std::vector<std::string> breaks;  // run, debug: addresses or a source's labels, as given
  std::string output;               // asm: the object file; empty for SOURCE as .EHC
  std::string listing;              // asm: the listing file, if any
  std::string help;                 // Help: the text to print
};

// The options, or the one-line reason of a usage error.
struct ParseResult {
  std::optional<Options> options;
  std::string error;
};

ParseResult parseArguments(const std::vector<std::string>& arguments);

// Decimal digits only, as an option's count: none for anything else or a
// value beyond 64 bits.
std::optional<std::uint64_t> wholeNumber(const std::string& text);

extern const std::string_view kUsage;
extern const char* const kVersion;

}  // namespace orben::runner
