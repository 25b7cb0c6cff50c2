// The time limit of a run: an endless program stops with "timeout" on
// every path, and a limit that never runs out changes nothing in a report.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "session/report.h"
#include "session/session.h"

namespace orben::session {
namespace {

constexpr const char* kEndless =
    "bucle:  LDI RD, bucle\n"
    "        BR\n";

// 1 + 2 + ... + N, counted down, then the sum on output port 01.
std::string countedSum(int n) {
  return "N       EQU " + std::to_string(n) +
         "\n"
         "        LDI R1, N\n"
         "        LLI R2, 0\n"
         "        LLI R3, 1\n"
         "bucle:  ADDS R2, R2, R1\n"
         "        SUBS R1, R1, R3\n"
         "        LDI RD, fin\n"
         "        BZ\n"
         "        LDI RD, bucle\n"
         "        BR\n"
         "fin:    OUT H'01, R2\n"
         "        HALT\n";
}

// A session switched on over a fill of 0000 with `source` loaded, keyed at
// 0000 and out of step mode.
void prepare(Session& session, const std::string& source) {
  session.switchOn();
  std::ostringstream err;
  ASSERT_EQ(session.loadSource(source, "prueba.asm", err), ProgramLoad::Loaded) << err.str();
  session.keyStart(wordOf(0));
  session.leaveStepMode();
}

std::string lineCount(const std::string& text) {
  std::size_t lines = 0;
  for (char c : text) lines += c == '\n';
  return std::to_string(lines);
}

TEST(TimeLimit, EndlessRunStopsWithTimeoutOnEveryPath) {
  for (const RunPath path : {RunPath::Fast, RunPath::StepByStep, RunPath::Traced}) {
    Session session({std::uint16_t{0}, std::nullopt});
    prepare(session, kEndless);
    std::ostringstream trace;
    const RunLimits limits{std::uint64_t{1} << 62, 0.2};
    const RunResult result = session.run(limits, path, trace);
    EXPECT_EQ(result.stop, Stop::Timeout) << static_cast<int>(path);
    EXPECT_EQ(stopWord(result.stop), "timeout");
    EXPECT_GT(result.steps, 0u);
    EXPECT_LT(result.steps, limits.max_steps);
    if (path == RunPath::Traced) {
      EXPECT_EQ(lineCount(trace.str()), std::to_string(result.steps));  // a line per step
    } else {
      EXPECT_EQ(trace.str(), "");
    }
  }
}

// No time at all: the clock is first looked at after kTimeCheckSteps
// instructions, so a short program still halts and a loop stops there.
TEST(TimeLimit, ZeroSecondsIsLookedAtAfterTheFirstStretch) {
  {
    Session session({std::uint16_t{0}, std::nullopt});
    prepare(session, countedSum(3));
    const RunResult result = session.run({kDefaultMaxSteps, 0.0});
    EXPECT_EQ(result.stop, Stop::Halt);
    EXPECT_EQ(session.machine().cell(outputPortCell(1)).str(), "0006");
  }
  for (const RunPath path : {RunPath::Fast, RunPath::StepByStep}) {
    Session session({std::uint16_t{0}, std::nullopt});
    prepare(session, kEndless);
    std::ostringstream trace;
    const RunResult result = session.run({kDefaultMaxSteps, 0.0}, path, trace);
    EXPECT_EQ(result.stop, Stop::Timeout);
    EXPECT_EQ(result.steps, kTimeCheckSteps);
  }
}

// The fast path runs in stretches of kTimeCheckSteps under a time limit:
// step limits on either side of a stretch's end, and a run to HALT, give
// the report the same run gives without a limit.
TEST(TimeLimit, AGenerousLimitLeavesTheReportAsItWas) {
  const int n = 2000;  // eight instructions a turn: several stretches
  const std::uint64_t step_limits[] = {1,
                                       kTimeCheckSteps - 1,
                                       kTimeCheckSteps,
                                       kTimeCheckSteps + 1,
                                       2 * kTimeCheckSteps + 3,
                                       kDefaultMaxSteps};
  for (const std::uint64_t max_steps : step_limits) {
    std::string reports[2];
    RunResult results[2];
    for (int timed = 0; timed < 2; ++timed) {
      Session session({std::uint16_t{0}, std::nullopt});
      prepare(session, countedSum(n));
      results[timed] = session.run({max_steps, timed ? std::optional<double>(1e6) : std::nullopt});
      std::ostringstream out;
      writeJson(session.tuka(), results[timed], session.messages(), true, out);
      reports[timed] = out.str();
    }
    EXPECT_EQ(reports[1], reports[0]) << max_steps;
    if (max_steps < kDefaultMaxSteps) {
      EXPECT_EQ(results[1].stop, Stop::MaxSteps) << max_steps;
      EXPECT_EQ(results[1].steps, max_steps);
    } else {
      EXPECT_EQ(results[1].stop, Stop::Halt);
      char sum[8];
      std::snprintf(sum, sizeof sum, "\"%04X\"", (n * (n + 1) / 2) & 0xFFFF);
      EXPECT_NE(reports[1].find(std::string("\"outputs\":[\"0000\",") + sum), std::string::npos)
          << reports[1].substr(0, 400);
    }
  }
}

}  // namespace
}  // namespace orben::session
