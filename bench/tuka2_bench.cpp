// Speed of the instruction cycle, of the command-line runner and of loading.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

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

std::filesystem::path tempFile(const std::string& name, const std::string& content) {
  const auto path = std::filesystem::temp_directory_path() / name;
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

// Every word 0000..EFFF, one line each, random contents.
std::filesystem::path fullEhcFile() {
  std::mt19937 random(1);
  std::string text;
  text.reserve(0xF000 * 11);
  char line[16];
  for (int a = 0; a < 0xF000; ++a) {
    std::snprintf(line, sizeof line, "%04X %04X\r\n", a, static_cast<unsigned>(random() & 0xFFFF));
    text += line;
  }
  return tempFile("orben-bench-full.ehc", text);
}

// The timed run as tuka2 makes it: one timer tick per instruction.
void runLoop(benchmark::State& state, bool full_listing) {
  orben::session::HeadlessUi ui;  // answers no question, keeps the messages
  FillRandom fill(0);
  Tuka2 tuka(ui, fill);
  tuka.power.TogglePower();
  if (full_listing) tuka.load.loadFile(fullEhcFile().string());
  tuka.load.loadFile(tempFile("orben-bench-loop.ehc", kLoop).string());
  if (full_listing) {
    // Keep the big listing: the loop's own load emptied nothing, but make sure
    // the listing holds 61,440 lines besides the loop's.
    state.counters["listing_lines"] = tuka.listing.count();
  }
  tuka.machine.setCell(kCellKeypad, "0000");
  tuka.run.toggleStepMode();
  tuka.run.executeFromKeypad();
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) tuka.run.tick();
  }
  benchmark::DoNotOptimize(tuka.machine.cell(kCellPC));
  state.SetItemsProcessed(state.iterations() * 1000);
  state.counters["ns_per_instruction"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 1000,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_TimedRunTightLoop(benchmark::State& state) {
  runLoop(state, false);
}
BENCHMARK(BM_TimedRunTightLoop);

// The same loop while the listing holds a line for every word: the
// executing line's highlight must not scan the listing.
void BM_TimedRunWith61440ListingLines(benchmark::State& state) {
  runLoop(state, true);
}
BENCHMARK(BM_TimedRunWith61440ListingLines);

// The whole `tuka2 run` command on the loop, start-up and report included.
void BM_Tuka2RunCommand(benchmark::State& state) {
  const std::string file = tempFile("orben-bench-loop.ehc", kLoop).string();
  const auto steps = static_cast<std::uint64_t>(state.range(0));
  for (auto _ : state) {
    std::ostringstream out;
    std::ostringstream err;
    runner::runCommandLine({"run", file, "--fill", "0000", "--max-steps", std::to_string(steps)},
                           out, err);
    benchmark::DoNotOptimize(out.str());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(steps));
  state.counters["ns_per_instruction"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(steps),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Tuka2RunCommand)->Arg(20000000)->Unit(benchmark::kMillisecond)->Iterations(3);

// `tuka2 dis` on a file with every address 0000..EFFF: reading, storing and
// rebuilding the 61,440-line listing.
void BM_Tuka2DisFullMemory(benchmark::State& state) {
  const std::string file = fullEhcFile().string();
  for (auto _ : state) {
    std::ostringstream out;
    std::ostringstream err;
    runner::runCommandLine({"dis", file, "--fill", "0000"}, out, err);
    benchmark::DoNotOptimize(out.str());
  }
}
BENCHMARK(BM_Tuka2DisFullMemory)->Unit(benchmark::kMillisecond)->Iterations(5);

// An EHC line of 50 MB: the address, 50 MB of blanks, the content.
void BM_LoadFiftyMegabyteLine(benchmark::State& state) {
  std::string text = "0010";
  text.append(50u << 20, ' ');
  text += "2105\r\n";
  const std::string file = tempFile("orben-bench-long.ehc", text).string();
  text.clear();
  text.shrink_to_fit();
  for (auto _ : state) {
    orben::session::HeadlessUi ui;  // answers no question, keeps the messages
    FillRandom fill(0);
    Tuka2 tuka(ui, fill);
    benchmark::DoNotOptimize(tuka.load.loadFile(file));
  }
  std::filesystem::remove(file);
}
BENCHMARK(BM_LoadFiftyMegabyteLine)->Unit(benchmark::kMillisecond)->Iterations(3);

// Peak resident memory of `tuka2 run --json --dump-memory` on 20 MB of
// valid EHC lines (two million records, addresses repeating every 8000H),
// the report written to /dev/null. Each run is a child process, so the
// figure is its own peak and not this program's.
void BM_Tuka2RunJsonPeakMemory(benchmark::State& state) {
  std::string text;
  text.reserve(20'000'000);
  char line[16];
  for (unsigned n = 0; text.size() < 20'000'000; ++n) {
    std::snprintf(line, sizeof line, "%04X %04X\n", n % 0x8000, (n * 7919) & 0xFFFF);
    text += line;
  }
  const std::string file = tempFile("orben-bench-20mb.ehc", text).string();
  const double size = static_cast<double>(text.size());
  text.clear();
  text.shrink_to_fit();
  long peak_kb = 0;
  for (auto _ : state) {
    const pid_t child = ::fork();
    if (child == 0) {
      std::ofstream sink("/dev/null");
      std::ostringstream err;
      _exit(runner::runCommandLine({"run", file, "--json", "--dump-memory", "--max-steps", "10"},
                                   sink, err));
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    peak_kb = std::max(peak_kb, usage.ru_maxrss);
  }
  std::filesystem::remove(file);
  state.counters["peak_MB"] = static_cast<double>(peak_kb) / 1024;
  state.counters["bound_MB"] = (4 * size) / (1 << 20) + 64;
}
BENCHMARK(BM_Tuka2RunJsonPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace orben

BENCHMARK_MAIN();
