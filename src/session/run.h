#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string_view>

#include "debug/checks.h"
#include "panel/tuka2.h"
#include "session/source_map.h"

namespace orben::session {

// How a run ended.
enum class Stop : std::uint8_t {
  Halt,           // a HALT executed
  Error,          // an error stop, or a timer that would run nothing more
  NoInstruction,  // a fetch found no word
  MaxSteps,       // the step limit was reached
  Timeout,        // the time limit passed
  Breakpoint,     // a tick was about to execute the instruction at a breakpoint
};
// The stop's word in the reports: "halt", "error", "no-instruction",
// "max-steps", "timeout", "breakpoint".
std::string_view stopWord(Stop stop);
// The stop an executed instruction's end makes; none when the run goes on.
std::optional<Stop> stopOf(Outcome outcome);

// The instructions a run executes when nobody sets a limit.
inline constexpr std::uint64_t kDefaultMaxSteps = 1000000;

// Where a run gives up when the program does not stop by itself.
struct RunLimits {
  std::uint64_t max_steps = kDefaultMaxSteps;
  // Seconds of the host's clock, looked at every kTimeCheckSteps
  // instructions; none: no time limit.
  std::optional<double> max_seconds;
  // Ends the run as the time limit does once it is set (by another thread,
  // or a signal's handler), looked at as often; none: nothing can.
  const std::atomic<bool>* cancel = nullptr;
};
inline constexpr std::uint64_t kTimeCheckSteps = 4096;

// What a run ended with, for the report.
struct RunResult {
  Stop stop = Stop::Error;
  std::uint64_t steps = 0;
  // Every input and output port just after the machine was switched on,
  // before any input was set: the summary lists the ports that differ from
  // them.
  std::array<WordText, kPortCount> inputs_at_power_on;
  std::array<WordText, kPortCount> outputs_at_power_on;
  // The classic mistakes the checks found, when they watched.
  std::vector<Check> checks;
};

// How a run executes its instructions. Each gives the same report; only the
// trace and the speed differ.
enum class RunPath : std::uint8_t {
  Traced,      // one timer tick per instruction, a trace line for each
  StepByStep,  // one timer tick per instruction, as the windows run it
  Fast,        // FastRun between the instructions that stop the run
};

// The button a run begins with: Ejecutar (from the keyed address) or
// Continuar (from PC, after instructions already executed).
enum class RunStart : std::uint8_t { Ejecutar, Continuar };

// The front-panel run: Ejecutar or Continuar, then the step timer's ticks
// until HALT, an error stop, an empty fetch, a breakpoint, the step limit
// or the time limit. A traced run writes its lines on `trace`, with the
// lines of `source` when given.
RunResult runToTheEnd(Tuka2& tuka, RunPath path, const RunLimits& limits, std::ostream& trace,
                      const SourceMap* source = nullptr, RunStart start = RunStart::Ejecutar);
inline RunResult runToTheEnd(Tuka2& tuka, RunPath path, std::uint64_t max_steps,
                             std::ostream& trace) {
  return runToTheEnd(tuka, path, RunLimits{max_steps, std::nullopt}, trace);
}

}  // namespace orben::session
