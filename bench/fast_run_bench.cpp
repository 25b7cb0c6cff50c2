// `tuka2 run` against a bare interpreter of the same loop, in one process
// and alternately, measured by CPU time; and the step-by-step path.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "bare_tuka2.h"
#include "machine/random_source.h"
#include "panel/tuka2.h"
#include "runner/runner.h"
#include "session/headless_ui.h"

namespace orben {
namespace {

constexpr std::uint64_t kSteps = 20000000;

std::string loopFile() {
  const auto path = std::filesystem::temp_directory_path() / "orben-bench-fast-loop.ehc";
  std::ofstream(path, std::ios::binary) << kLoop;
  return path.string();
}

double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string runTuka2(const std::string& file, std::uint64_t steps, bool json) {
  std::ostringstream out;
  std::ostringstream err;
  std::vector<std::string> arguments = {"run",  file,          "--fill",
                                        "0000", "--max-steps", std::to_string(steps)};
  if (json) arguments.push_back("--json");
  runner::runCommandLine(arguments, out, err);
  return out.str();
}

// Each iteration runs the loop kSteps instructions through the whole
// `tuka2 run` command (start-up, load and report included) and then
// through BareTuka2, each timed by the process's CPU time. The counters are
// the medians' rates and their ratio: tuka2 run's rate as a fraction of
// the bare interpreter's.
void BM_Tuka2RunAgainstBareInterpreter(benchmark::State& state) {
  const std::string file = loopFile();
  // Both must end in the same state: PC, and R2 counting up, R3 down.
  BareTuka2 check = bareLoop();
  check.run(kSteps);
  char text[16];
  std::snprintf(text, sizeof text, "%04X", check.pc);
  std::string expected = "\"pc\":\"" + std::string(text) + "\"";
  std::string registers = "\"registers\":[";
  for (std::size_t n = 0; n < check.registers.size(); ++n) {
    std::snprintf(text, sizeof text, "%s\"%04X\"", n ? "," : "", check.registers[n]);
    registers += text;
  }
  const std::string report = runTuka2(file, kSteps, true);
  if (report.find(expected) == std::string::npos || report.find(registers) == std::string::npos) {
    state.SkipWithError("tuka2 run and the bare interpreter end in different states");
    return;
  }
  std::vector<double> tuka2_times;
  std::vector<double> bare_times;
  for (auto _ : state) {
    double t0 = cpuSeconds();
    benchmark::DoNotOptimize(runTuka2(file, kSteps, false));
    tuka2_times.push_back(cpuSeconds() - t0);
    BareTuka2 bare = bareLoop();
    t0 = cpuSeconds();
    benchmark::DoNotOptimize(bare.run(kSteps));
    benchmark::DoNotOptimize(bare.registers);
    bare_times.push_back(cpuSeconds() - t0);
  }
  const double tuka2 = median(tuka2_times);
  const double bare = median(bare_times);
  const auto steps = static_cast<double>(kSteps);
  state.counters["tuka2_run_Mips"] = steps / tuka2 / 1e6;
  state.counters["bare_Mips"] = steps / bare / 1e6;
  state.counters["ratio"] = bare / tuka2;
  std::fprintf(stderr, "tuka2 run at %.3f of the bare interpreter's rate (CPU time, medians)\n",
               bare / tuka2);
}
BENCHMARK(BM_Tuka2RunAgainstBareInterpreter)->Unit(benchmark::kMillisecond)->Iterations(11);

// The step-by-step path as the windows' timer takes it, one tick per
// instruction, with the listing's marker and no other observer.
void BM_StepByStepTicks(benchmark::State& state) {
  orben::session::HeadlessUi ui;  // answers no question, keeps the messages
  FillRandom fill(0);
  Tuka2 tuka(ui, fill);
  tuka.power.TogglePower();
  tuka.load.loadFile(loopFile());
  tuka.machine.setCell(kCellKeypad, "0000");
  tuka.run.toggleStepMode();
  tuka.run.executeFromKeypad();
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) tuka.run.tick();
  }
  benchmark::DoNotOptimize(tuka.machine.cellValue(kCellPC));
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_StepByStepTicks);

}  // namespace
}  // namespace orben

BENCHMARK_MAIN();
