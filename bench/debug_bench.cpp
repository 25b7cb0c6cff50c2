// The debugging services' costs, each against the bare interpreter on the
// same loop: the fast path with and without a breakpoint set, the ticks
// with the history recording, a continued run recording it as tuka2 debug
// runs one, a step back, and a recorded step's bytes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <optional>
#include <sstream>

#include "bare_tuka2.h"
#include "debug/checks.h"
#include "debug/history.h"
#include "machine/fast_run.h"
#include "machine/random_source.h"
#include "panel/tuka2.h"
#include "session/headless_ui.h"
#include "session/run.h"

namespace orben {
namespace {

// TUKA-2 switched on, the loop in memory, the start keyed, timed; the
// checks watching from before the switch, as tuka2 run has them, when
// `checked`.
struct LoopMachine {
  session::HeadlessUi ui;  // answers no question, keeps the messages
  FillRandom fill{0};
  Tuka2 tuka{ui, fill};
  std::optional<Checks> checks;
  explicit LoopMachine(bool checked = false) {
    if (checked) checks.emplace(tuka);
    tuka.power.TogglePower();
    for (unsigned i = 0; i < std::size(kLoopWords); ++i) {
      tuka.machine.WriteMemoryWord(i, CellValue::word(kLoopWords[i]));
    }
    tuka.machine.setCell(kCellKeypad, CellValue::word(0));
    tuka.run.toggleStepMode();
  }
};

double seconds(auto&& work) {
  const auto t0 = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double bareSeconds(std::uint64_t steps) {
  BareTuka2 bare = bareLoop();
  const double t = seconds([&] { benchmark::DoNotOptimize(bare.run(steps)); });
  benchmark::DoNotOptimize(bare.registers);
  return t;
}

// The run on plain numbers, 20 million instructions an iteration; with
// argument 1 a breakpoint is set where the loop never goes, with 2 the
// checks watch (no breakpoint).
void BM_FastPathBreakpoint(benchmark::State& state) {
  constexpr std::uint64_t kSteps = 20'000'000;
  double machine = 0;
  double bare = 0;
  for (auto _ : state) {
    LoopMachine l(state.range(0) == 2);
    if (state.range(0) == 1) l.tuka.machine.breakpoints().set(0x0100);
    FastRun fast(l.tuka.machine, l.tuka.processor);
    // As tuka2 run does: on numbers, and through the instruction cycle
    // where the run leaves one to it.
    machine += seconds([&] {
      std::uint64_t done = 0;
      bool ejecutar = true;
      while (done < kSteps) {
        const std::uint64_t ran =
            fast.run(ejecutar ? FastRun::Start::Ejecutar : FastRun::Start::Tick, kSteps - done);
        done += ran;
        if (done >= kSteps) break;
        if (ejecutar) {
          l.tuka.run.executeFromKeypad();
        } else if (!l.tuka.run.tick()) {
          break;
        }
        ejecutar = false;
        ++done;
      }
      benchmark::DoNotOptimize(done);
    });
    bare += bareSeconds(kSteps);
  }
  const auto steps = static_cast<double>(kSteps * state.iterations());
  state.counters["Mips"] = steps / machine / 1e6;
  state.counters["bare_Mips"] = steps / bare / 1e6;
  state.counters["ratio"] = bare / machine;
}
BENCHMARK(BM_FastPathBreakpoint)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// A million steps an iteration, `forward` running them with `l`'s history
// recording; then every one stepped back, against the bare interpreter.
void recordedSteps(benchmark::State& state, bool checked, auto&& forward_run) {
  constexpr std::uint64_t kSteps = 1'000'000;
  double forward = 0;
  double back = 0;
  double bare = 0;
  double bytes_per_step = 0;
  for (auto _ : state) {
    LoopMachine l(checked);
    History history(l.tuka);
    forward += seconds([&] { forward_run(l, kSteps); });
    bytes_per_step =
        static_cast<double>(history.bytesUsed()) / static_cast<double>(history.depth());
    back += seconds([&] {
      while (history.stepBack()) {
      }
    });
    bare += bareSeconds(kSteps);
  }
  const auto steps = static_cast<double>(kSteps * state.iterations());
  state.counters["recorded_Mips"] = steps / forward / 1e6;
  state.counters["ratio"] = bare / forward;
  state.counters["step_back_ns"] = back / steps * 1e9;
  state.counters["bytes_per_step"] = bytes_per_step;
}

// The ticks one at a time, as the windows run.
void BM_RecordedStepsAndStepBack(benchmark::State& state) {
  recordedSteps(state, false, [](LoopMachine& l, std::uint64_t steps) {
    l.tuka.run.executeFromKeypad();
    for (std::uint64_t i = 1; i < steps; ++i) l.tuka.run.tick();
  });
}
BENCHMARK(BM_RecordedStepsAndStepBack)->Unit(benchmark::kMillisecond)->Iterations(3);

// A run as tuka2 debug's continue makes one: the checks watching too, on
// numbers where the run may.
void BM_RecordedRun(benchmark::State& state) {
  recordedSteps(state, true, [](LoopMachine& l, std::uint64_t steps) {
    std::ostringstream no_trace;
    const session::RunResult ran =
        session::runToTheEnd(l.tuka, session::RunPath::Fast, {steps, std::nullopt}, no_trace,
                             nullptr, session::RunStart::Ejecutar);
    benchmark::DoNotOptimize(ran.steps);
  });
}
BENCHMARK(BM_RecordedRun)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace orben

BENCHMARK_MAIN();
