#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "panel/tuka2.h"
#include "runner/json_writer.h"

namespace orben::runner {

// What a run ended with, for the report.
struct RunResult {
  std::string stop;  // "halt", "error", "no-instruction" or "max-steps"
  std::uint64_t steps = 0;
  // Every input and output port just after the machine was switched on,
  // before --in: the summary lists the ports that differ from them.
  std::array<WordText, kPortCount> inputs_at_power_on;
  std::array<WordText, kPortCount> outputs_at_power_on;
};

// The report of tuka2 run --json as a document: stop, steps, the cells,
// registers, flags, step mode, ports, messages, listing, selected line and,
// with dump_memory, every memory word.
JsonDocument runReport(const Tuka2& tuka, const RunResult& result,
                       const std::vector<std::string>& messages, bool dump_memory);
void writeJson(const Tuka2& tuka, const RunResult& result, const std::vector<std::string>& messages,
               bool dump_memory, std::ostream& out);
void writeSummary(const Tuka2& tuka, const RunResult& result,
                  const std::vector<std::string>& messages, std::ostream& out);
// A message on one line of a terminal: each '\r' becomes " / ".
std::string messageLine(const std::string& message);

}  // namespace orben::runner
