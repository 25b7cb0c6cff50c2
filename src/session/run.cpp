#include "session/run.h"

#include <algorithm>
#include <chrono>
#include <memory>

#include "machine/fast_run.h"
#include "session/trace.h"

namespace orben::session {

namespace {

// The time limit of a run, looked at every kTimeCheckSteps instructions.
class Deadline {
 public:
  using Clock = std::chrono::steady_clock;

  Deadline(const RunLimits& limits, std::uint64_t first_step) : cancel_(limits.cancel) {
    if (limits.max_seconds) {
      end_ = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                std::chrono::duration<double>(*limits.max_seconds));
    }
    if (set()) next_check_ = first_step + kTimeCheckSteps;
  }
  bool set() const { return end_.has_value() || cancel_ != nullptr; }
  // Whether the time is up (or the run cancelled), once `step` reaches the
  // next check.
  bool passed(std::uint64_t step) {
    if (!set() || step < next_check_) return false;
    next_check_ = step + kTimeCheckSteps;
    return (cancel_ && cancel_->load(std::memory_order_relaxed)) || (end_ && Clock::now() >= *end_);
  }
  // The most instructions the fast path may run before the next check.
  std::uint64_t budget(std::uint64_t step, std::uint64_t left) const {
    return set() ? std::min(left, next_check_ > step ? next_check_ - step : 1) : left;
  }

 private:
  const std::atomic<bool>* cancel_;
  std::optional<Clock::time_point> end_;
  std::uint64_t next_check_ = 0;
};

}  // namespace

std::optional<Stop> stopOf(Outcome outcome) {
  switch (outcome) {
    case Outcome::Halted:
      return Stop::Halt;
    case Outcome::Stopped:
      return Stop::Error;
    case Outcome::NoInstruction:
      return Stop::NoInstruction;
    default:
      return std::nullopt;
  }
}

std::string_view stopWord(Stop stop) {
  switch (stop) {
    case Stop::Halt:
      return "halt";
    case Stop::Error:
      return "error";
    case Stop::NoInstruction:
      return "no-instruction";
    case Stop::MaxSteps:
      return "max-steps";
    case Stop::Timeout:
      return "timeout";
    case Stop::Breakpoint:
      return "breakpoint";
  }
  return "error";
}

RunResult runToTheEnd(Tuka2& tuka, RunPath path, const RunLimits& limits, std::ostream& trace_out,
                      const SourceMap* source, RunStart start) {
  const std::uint64_t max_steps = limits.max_steps;
  RunResult result;
  std::optional<Stop> stop;
  std::unique_ptr<TraceObserver> trace;
  if (path == RunPath::Traced) trace = std::make_unique<TraceObserver>(tuka.machine, source);
  FastRun fast(tuka.machine, tuka.processor);
  const std::uint64_t first = tuka.processor.executions();
  const auto executed = [&] { return tuka.processor.executions() - first; };
  Deadline deadline(limits, 0);
  bool ejecutar = start == RunStart::Ejecutar;
  bool continuar = start == RunStart::Continuar;
  while (executed() < max_steps) {
    if (deadline.passed(executed())) {
      stop = Stop::Timeout;
      break;
    }
    if (path == RunPath::Fast && !continuar) {
      // The instructions that end without a stop, on numbers; the one that
      // stops the run, if any, then goes through the instruction cycle.
      const std::uint64_t budget = deadline.budget(executed(), max_steps - executed());
      const std::uint64_t ran =
          fast.run(ejecutar ? FastRun::Start::Ejecutar : FastRun::Start::Tick, budget);
      if (ran > 0) ejecutar = false;
      if (executed() >= max_steps) break;
      // A time limit cut the stretch short, not an instruction that stops.
      if (deadline.set() && ran == budget) continue;
    }
    if (trace)
      trace->beginInstruction(ejecutar ? tuka.machine.cell(kCellKeypad)
                                       : tuka.machine.cell(kCellPC));
    Outcome outcome;
    if (ejecutar) {
      outcome = tuka.run.executeFromKeypad();
      ejecutar = false;
    } else if (continuar) {
      tuka.run.continueExecution();
      outcome = tuka.run.lastOutcome();
      continuar = false;
    } else if (tuka.run.tick()) {
      outcome = tuka.run.lastOutcome();
    } else {
      // Stopped before a breakpoint's instruction; else the timer would
      // tick on and run nothing: reported as an error stop.
      if (tuka.run.stoppedAtBreakpoint()) stop = Stop::Breakpoint;
      break;
    }
    if (trace) trace->endInstruction(trace_out);
    if ((stop = stopOf(outcome))) break;
  }
  result.stop = stop ? *stop : executed() >= max_steps ? Stop::MaxSteps : Stop::Error;
  result.steps = executed();
  return result;
}

}  // namespace orben::session
