#include "runner/run.h"

#include <memory>

#include "machine/fast_run.h"
#include "runner/runner.h"
#include "runner/trace.h"

namespace orben::runner {

namespace {

const char* stopWord(Outcome outcome) {
  switch (outcome) {
    case Outcome::Halted:
      return "halt";
    case Outcome::Stopped:
      return "error";
    case Outcome::NoInstruction:
      return "no-instruction";
    default:
      return nullptr;
  }
}

}  // namespace

RunPath chooseRunPath(const Options& options) {
  return options.trace ? RunPath::Traced : RunPath::Fast;
}

RunResult runToTheEnd(Tuka2& tuka, RunPath path, std::uint64_t max_steps, std::ostream& trace_out) {
  RunResult result;
  std::unique_ptr<TraceObserver> trace;
  if (path == RunPath::Traced) trace = std::make_unique<TraceObserver>(tuka.machine);
  FastRun fast(tuka.machine, tuka.processor);
  const std::uint64_t first = tuka.processor.executions();
  const auto executed = [&] { return tuka.processor.executions() - first; };
  bool ejecutar = true;
  while (executed() < max_steps) {
    if (path == RunPath::Fast) {
      // The instructions that end without a stop, on numbers; the one that
      // stops the run, if any, then goes through the instruction cycle.
      if (fast.run(ejecutar ? FastRun::Start::Ejecutar : FastRun::Start::Tick,
                   max_steps - executed()) > 0) {
        ejecutar = false;
      }
      if (executed() >= max_steps) break;
    }
    if (trace)
      trace->beginInstruction(ejecutar ? tuka.machine.cell(kCellKeypad)
                                       : tuka.machine.cell(kCellPC));
    Outcome outcome;
    if (ejecutar) {
      outcome = tuka.run.executeFromKeypad();
      ejecutar = false;
    } else if (tuka.run.tick()) {
      outcome = tuka.run.lastOutcome();
    } else {
      // The timer would tick on and run nothing: report it as an error stop.
      break;
    }
    if (trace) trace->endInstruction(trace_out);
    if (const char* stop = stopWord(outcome)) {
      result.stop = stop;
      break;
    }
  }
  if (result.stop.empty()) result.stop = executed() >= max_steps ? "max-steps" : "error";
  result.steps = executed();
  return result;
}

RunResult runToTheEnd(Tuka2& tuka, const Options& options, std::ostream& err) {
  return runToTheEnd(tuka, chooseRunPath(options), options.max_steps, err);
}

}  // namespace orben::runner
