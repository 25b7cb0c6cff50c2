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

#include "machine/random_source.h"
#include "panel/tuka2.h"
#include "runner/runner.h"
#include "session/headless_ui.h"

namespace orben {
namespace {

// LLI R1,01; LLI R2,00; LLI RD,03; then the loop at 0003: ADDS R2,R2,R1;
// OUT H'01,R2; SUBS R3,R3,R1; BR (to RD = 0003).
constexpr const char* kLoop =
    "0000 2101\n0001 2200\n0002 2D03\n0003 6221\n0004 5201\n0005 7331\n0006 C000\n";
constexpr std::uint16_t kLoopWords[] = {0x2101, 0x2200, 0x2D03, 0x6221, 0x5201, 0x7331, 0xC000};
constexpr std::uint64_t kSteps = 20000000;

// The simplest interpreter of the TUKA-2 instruction set: registers, flags,
// PC, memory and ports as plain numbers in locals, and one switch per
// instruction; no cells, IR, AR or DR, listing or messages. It stops where
// the machine would stop the run.
struct BareTuka2 {
  std::array<std::uint16_t, 16> registers{};
  std::uint16_t pc = 0;
  std::vector<std::uint16_t> memory = std::vector<std::uint16_t>(0xF000);
  std::array<std::uint16_t, 64> in{};
  std::array<std::uint16_t, 64> out{};

  std::uint64_t run(std::uint64_t steps) {
    std::array<std::uint16_t, 16> r = registers;
    unsigned p = pc;
    bool z = false, s = false, c = false, v = false;
    std::uint16_t* m = memory.data();
    std::uint64_t done = 0;
    const auto result = [&](unsigned a, unsigned value) {
      r[a] = static_cast<std::uint16_t>(value);
      z = r[a] == 0;
      s = r[a] >> 15;
    };
    const auto holds = [&](unsigned digit) {
      return digit == 0 || (digit == 1 && z) || (digit == 2 && s) || (digit == 3 && c) ||
             (digit == 4 && v);
    };
    for (; done < steps && p < 0xF000; ++done) {
      const unsigned w = m[p];
      const unsigned a = w >> 8 & 0xF, n = w & 0xFF, x = r[n >> 4], y = r[n & 0xF];
      unsigned next = p + 1;
      switch (w >> 12) {
        case 0x0:
          if (n + r[13] >= 0xF000u) goto stop;
          r[a] = m[n + r[13]];
          break;
        case 0x1:
          if (n + r[13] >= 0xF000u) goto stop;
          m[n + r[13]] = r[a];
          break;
        case 0x2:
          r[a] = static_cast<std::uint16_t>(n);
          break;
        case 0x3:
          r[a] = static_cast<std::uint16_t>(n << 8 | (r[a] & 0xFFu));
          break;
        case 0x4:
          if (n >= 64) goto stop;
          r[a] = in[n];
          break;
        case 0x5:
          if (n >= 64) goto stop;
          out[n] = r[a];
          break;
        case 0x6: {
          const unsigned sum = x + y;
          c = sum > 0xFFFF;
          v = ((x ^ sum) & (y ^ sum) & 0x8000) != 0 && x != 0 && y != 0;
          result(a, sum);
          break;
        }
        case 0x7: {
          const unsigned difference = x - y;
          c = y > x;
          v = ((x ^ y) & (x ^ difference) & 0x8000) != 0 && x != 0 && y != 0;
          result(a, difference);
          break;
        }
        case 0x8:
          result(a, ~(x & y));
          break;
        case 0x9:
          c = r[a] >> 15;
          result(a, r[a] << 1);
          break;
        case 0xA:
          c = r[a] & 1;
          result(a, r[a] >> 1);
          break;
        case 0xB:
          c = r[a] & 1;
          result(a, (r[a] >> 1) | (r[a] & 0x8000));
          break;
        case 0xC:
          if (holds(a)) next = r[13];
          break;
        case 0xD:
          if (holds(a)) {
            const unsigned sp = (r[14] + 0xFFFFu) & 0xFFFF;
            if (sp >= 0xF000) goto stop;
            r[14] = static_cast<std::uint16_t>(sp);
            m[sp] = static_cast<std::uint16_t>(next);
            next = r[13];
          }
          break;
        case 0xE:
          if (r[14] >= 0xF000) goto stop;
          next = m[r[14]++];
          break;
        default:
          goto stop;  // HALT
      }
      p = next;
    }
  stop:
    registers = r;
    pc = static_cast<std::uint16_t>(p);
    return done;
  }
};

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

BareTuka2 bareLoop() {
  BareTuka2 bare;
  // The registers as switching on leaves them: each its number, RE F000.
  for (std::size_t n = 0; n < bare.registers.size(); ++n) {
    bare.registers[n] = static_cast<std::uint16_t>(n == 14 ? 0xF000 : n);
  }
  std::copy(std::begin(kLoopWords), std::end(kLoopWords), bare.memory.begin());
  return bare;
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
