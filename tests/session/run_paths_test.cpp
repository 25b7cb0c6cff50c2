// The fast run and the run one tick at a time must leave the same report
// (every cell, flag, port, message, the listing's marked line and memory)
// for any program, and the checks watching either must find the same
// mistakes at the same steps.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <random>
#include <sstream>

#include "debug/checks.h"
#include "disasm/listing_commands.h"
#include "machine/random_source.h"
#include "session/headless_ui.h"
#include "session/report.h"
#include "session/run.h"
#include "support/random_program.h"

namespace orben::session {
namespace {

using orben::testing::randomProgram;
using orben::testing::Words;

struct Ended {
  std::string report;
  std::vector<std::uint8_t> memory;
  std::string rest;    // what the report leaves out
  std::string checks;  // what the checks found, if they watched
};

enum class Watch : bool { Unchecked, Checked };

// One TUKA-2 as tuka2 run sets it up, the program loaded and listed, run on
// `path`.
Ended runProgram(std::uint64_t seed, const std::vector<std::uint8_t>& image, const Words& words,
                 unsigned start, std::uint64_t max_steps, RunPath path,
                 Watch watch = Watch::Unchecked) {
  std::mt19937 g(static_cast<std::mt19937::result_type>(seed));
  const auto draw = [&](unsigned n) { return static_cast<unsigned>(g() % n); };
  HeadlessUi ui;
  SeededRandom random(seed);
  Tuka2 tuka(ui, random);
  Machine& m = tuka.machine;
  std::optional<Checks> checks;
  if (watch == Watch::Checked) checks.emplace(tuka);
  tuka.power.toggleInitMemoryAtPowerOn();
  tuka.power.TogglePower();
  m.memory().replace(image);
  RunResult result;
  for (int port = 0; port < kPortCount; ++port) {
    result.inputs_at_power_on[port] = m.cell(inputPortCell(port));
    result.outputs_at_power_on[port] = m.cell(outputPortCell(port));
  }
  // Lines for most of the program's words, kept as words or as text with a
  // second address in it, and a few elsewhere.
  for (const auto& [address, word] : words) {
    m.WriteMemoryWord(address, CellValue::word(word));
    const unsigned kind = draw(8);
    if (kind < 5) {
      tuka.listing.add(static_cast<std::uint16_t>(address), static_cast<std::uint16_t>(word),
                       Listing::Form::Disassembled);
    } else if (kind == 5) {
      std::string line = listingKey(wordOf(address).view());
      line.append("; [").append(wordOf(draw(0x10000)).view()).append("]");
      tuka.listing.add(std::move(line));
    }
  }
  for (unsigned i = draw(4); i > 0; --i) {
    tuka.listing.add(listingKey(wordOf(draw(0x10000)).view()).append("x"));
  }
  // RD at the program or just below F000, RE around the stack's ends.
  if (draw(4) == 0) m.WriteRegister(13, CellValue::word(words.front().first));
  if (draw(8) == 0) m.WriteRegister(13, CellValue::word(0xEFFD + draw(3)));
  if (draw(4) == 0) m.WriteRegister(14, CellValue::word(draw(3) == 0 ? draw(3) : 0xEFFF + draw(4)));
  for (Flag f : {Flag::Z, Flag::S, Flag::C, Flag::V}) m.setFlag(f, draw(2) == 0);
  m.setCell(kCellKeypad, CellValue::word(start));
  if (draw(16) != 0) tuka.run.toggleStepMode();  // else step by step: one instruction only
  std::ostringstream trace;
  const RunResult ran = runToTheEnd(tuka, path, max_steps, trace);
  result.stop = ran.stop;
  result.steps = ran.steps;
  Ended run;
  std::ostringstream out;
  writeJson(tuka, result, ui.messages, false, out);
  run.report = out.str();
  run.memory.assign(m.memory().data(), m.memory().data() + m.memory().size());
  run.rest = std::to_string(static_cast<int>(m.panelState())) + " " +
             std::to_string(m.errorStops()) + " " + std::to_string(m.stepLamp()) + " " +
             std::to_string(tuka.processor.executions());
  if (checks) {
    for (const Check& c : checks->found()) {
      run.checks += std::string(checkKindName(c.kind)) + " " + std::to_string(c.address) + " " +
                    std::to_string(c.step) + " " + c.text.in(Language::English) + "\n";
    }
  }
  return run;
}

TEST(RunPaths, FastAndStepByStepAgreeOnThousandsOfRandomPrograms) {
  int checked_runs = 0;
  std::mt19937 g(18);
  std::vector<std::uint8_t> image(MemoryStore::kMachineBytes);
  int long_runs = 0;
  for (int program = 0; program < 3000; ++program) {
    if (program % 100 == 0) {
      for (auto& b : image) b = static_cast<std::uint8_t>(g());
    }
    const unsigned bases[] = {0x0000, 0x0100, 0xEFF0, 0xEFFE, static_cast<unsigned>(g() % 0xF000)};
    const unsigned base = bases[g() % 5];
    const Words words = randomProgram(g, base);
    const unsigned start = g() % 8 == 0 ? static_cast<unsigned>(g() % 0x10000) : base;
    const std::uint64_t limits[] = {0, 1, 2, 50, 5000, 5000};
    const std::uint64_t max_steps = limits[g() % 6];
    const std::uint64_t seed = g();
    // The checks only watch: the checked runs leave what the others do.
    const Ended slow =
        runProgram(seed, image, words, start, max_steps, RunPath::StepByStep, Watch::Checked);
    const Ended fast = runProgram(seed, image, words, start, max_steps, RunPath::Fast);
    const Ended fast_checked =
        runProgram(seed, image, words, start, max_steps, RunPath::Fast, Watch::Checked);
    for (const Ended* run : {&fast, &fast_checked}) {
      ASSERT_EQ(run->report, slow.report) << "program " << program;
      ASSERT_EQ(run->rest, slow.rest) << "program " << program;
      ASSERT_TRUE(run->memory == slow.memory) << "program " << program;
    }
    ASSERT_EQ(fast_checked.checks, slow.checks) << "program " << program;
    checked_runs += !slow.checks.empty();
    if (program % 10 == 0) {
      const Ended traced = runProgram(seed, image, words, start, max_steps, RunPath::Traced);
      ASSERT_EQ(traced.report, slow.report) << "program " << program;
    }
    long_runs += slow.report.find("\"steps\":5000,") != std::string::npos;
  }
  EXPECT_GT(long_runs, 200);     // the random programs do run on, not just stop
  EXPECT_GT(checked_runs, 300);  // and make the classic mistakes
}

}  // namespace
}  // namespace orben::session
