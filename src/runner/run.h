#pragma once

#include <cstdint>
#include <ostream>

#include "panel/tuka2.h"
#include "runner/options.h"
#include "runner/report.h"

namespace orben::runner {

// How a run executes its instructions. Each gives the same report; only the
// trace and the speed differ.
enum class RunPath : std::uint8_t {
  Traced,      // one timer tick per instruction, a trace line for each
  StepByStep,  // one timer tick per instruction, as the windows run it
  Fast,        // FastRun between the instructions that stop the run
};

// The one place that decides: a run watched step by step (--trace) keeps
// the ticks; any other runs fast.
RunPath chooseRunPath(const Options& options);

// The front-panel run: Ejecutar, then the step timer's ticks until HALT, an
// error stop, an empty fetch or `max_steps` instructions. A traced run
// writes its lines on `trace`. The run the options ask for, on the path
// chooseRunPath gives, is runToTheEnd(tuka, options, err) (runner.h).
RunResult runToTheEnd(Tuka2& tuka, RunPath path, std::uint64_t max_steps, std::ostream& trace);

}  // namespace orben::runner
