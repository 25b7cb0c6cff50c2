// A teacher's grading run: 200 copies of an example program, each checked
// against the example's cases, on one thread and on every core.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "grader/cases.h"
#include "grader/grading.h"

namespace {

namespace fs = std::filesystem;

struct Submissions {
  fs::path folder;
  std::vector<std::string> programs;
  orben::grader::CaseFile cases;

  Submissions() {
    folder = fs::temp_directory_path() / ("tuka2-grade-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path examples(ORBEN_EXAMPLES);
    for (int i = 0; i < 200; ++i) {
      const fs::path copy = folder / ("entrega" + std::to_string(i) + ".asm");
      fs::copy_file(examples / "doble_entrada.asm", copy, fs::copy_options::overwrite_existing);
      programs.push_back(copy.string());
    }
    std::ifstream in(examples / "doble_entrada.toml");
    const std::string text(std::istreambuf_iterator<char>(in), {});
    cases = orben::grader::ParseCases(text, "doble_entrada.toml").cases.value();
  }
  ~Submissions() { fs::remove_all(folder); }
};

void BM_Grade200Programs(benchmark::State& state) {
  static Submissions submissions;
  const auto threads = static_cast<unsigned>(state.range(0));
  for (auto _ : state) {
    const auto results =
        orben::grader::GradePrograms(submissions.programs, submissions.cases, threads);
    if (results.size() != 200 || !results.back().passed()) state.SkipWithError("a case failed");
  }
  state.counters["threads"] = threads;
  state.counters["programs/s"] = benchmark::Counter(200.0 * static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Grade200Programs)
    ->Arg(1)
    ->Arg(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
