// A teacher's grading run: 200 copies of an example program, each checked
// against the example's cases, on one thread and on every core; then the
// copies found among 200 loads of 3,000 words.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <thread>

#include "grader/cases.h"
#include "grader/copies.h"
#include "grader/grading.h"
#include "runner/test_command.h"

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

// tuka2 test on the same 200 programs as a teacher runs it: the text
// report, then also a grade sheet, every student's feedback and the
// similar pairs at 90 %, each on one thread.
void BM_Tuka2Test200Programs(benchmark::State& state) {
  static Submissions submissions;
  const bool reports = state.range(0) != 0;
  const fs::path cases = fs::path(ORBEN_EXAMPLES) / "doble_entrada.toml";
  std::vector<std::string> arguments = {cases.string()};
  arguments.insert(arguments.end(), submissions.programs.begin(), submissions.programs.end());
  arguments.insert(arguments.end(), {"-j", "1"});
  if (reports) {
    arguments.insert(arguments.end(),
                     {"--csv", (submissions.folder / "notas.csv").string(), "--feedback",
                      (submissions.folder / "correcciones").string(), "--similar", "90"});
  }
  for (auto _ : state) {
    std::ostringstream out, err;
    if (orben::runner::testCommandLine(arguments, out, err) != 0) {
      state.SkipWithError("a case failed");
    }
  }
  state.SetLabel(reports ? "text, --csv, --feedback, --similar 90" : "text report");
}
BENCHMARK(BM_Tuka2Test200Programs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// 200 loads of 3,000 words from 0000. Kind 0: every one its own program but
// for a common start of 50 words (a class writing one exercise); kind 1:
// every one a copy of one program with 1 % of its words changed (the most
// the index shares, each word held by all the loads).
std::vector<orben::grader::ProgramResult> Loads(int kind) {
  std::mt19937 random(7);
  std::vector<orben::grader::ProgramResult> results(200);
  for (std::size_t p = 0; p < results.size(); ++p) {
    auto& result = results[p];
    result.program = "entrega" + std::to_string(p) + ".asm";
    for (std::uint16_t a = 0; a < 3000; ++a) {
      const bool shared = kind == 1 ? random() % 100 != 0 : a < 50;
      const auto word = static_cast<std::uint16_t>(shared ? a * 31 : random());
      result.words.emplace_back(a, word);
    }
  }
  return results;
}

void BM_FindCopies200Loads(benchmark::State& state) {
  const auto results = Loads(static_cast<int>(state.range(0)));
  const std::optional<int> similar =
      state.range(1) > 0 ? std::optional<int>(static_cast<int>(state.range(1))) : std::nullopt;
  std::size_t found = 0;
  for (auto _ : state) {
    const auto copies = orben::grader::findCopies(results, similar);
    found = copies.identical.size() + copies.similar.size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["found"] = static_cast<double>(found);
}
// {kind, --similar (0: identical groups only)}
BENCHMARK(BM_FindCopies200Loads)
    ->Args({0, 0})
    ->Args({0, 90})
    ->Args({1, 0})
    ->Args({1, 90})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
