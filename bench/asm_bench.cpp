// The assembler on a source that fills the memory TUKA-2 can store: 61,440
// lines (0000..EFFF) of every instruction form, labels, constants and
// LDI, assembled in memory and written as EHC text.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "assembler/assembler.h"
#include "assembler/object_writers.h"

namespace {

std::string LargeSource() {
  static const char* const kForms[] = {"LD R1, [RD+H'10]",
                                       "ST [RD+H'20], R2",
                                       "LLI R3, 7",
                                       "LHI R3, H'80",
                                       "IN R4, H'02",
                                       "OUT H'01, R4",
                                       "ADDS R5, R6, R7",
                                       "SUBS R8, R9, RA",
                                       "NAND RB, RC, RD",
                                       "SHL RE",
                                       "SHRA RF",
                                       "BZ",
                                       "CALLR",
                                       "RET",
                                       "DW fin - $",
                                       "LLI R1, LO(tabla + 3)"};
  std::string source = "tope EQU H'EFFF\ntabla:\n";
  for (int line = 0; line < 61'440 - 3; ++line) {
    if (line % 64 == 0) source.append("L").append(std::to_string(line)).append(": ");
    source.append("  ").append(kForms[line % 16]).append("   ; comment\n");
  }
  source += "fin: HALT\n";
  return source;
}

void BM_Assemble61440Lines(benchmark::State& state) {
  const std::string source = LargeSource();
  std::size_t words = 0;
  for (auto _ : state) {
    std::ostringstream object;
    orben::assembler::ObjectWriter writer(orben::ObjectFormat::Ehc, object);
    const auto result = orben::assembler::Assemble(source, writer);
    if (!result.ok()) state.SkipWithError("the benchmark source has errors");
    words = result.words;
    benchmark::DoNotOptimize(object.str().size());
  }
  state.counters["words"] = static_cast<double>(words);
  state.counters["lines/s"] = benchmark::Counter(61'440.0 * static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Assemble61440Lines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
