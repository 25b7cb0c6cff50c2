#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "panel/tuka2.h"
#include "runner/json_writer.h"
#include "runner/message_log.h"

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

// The report of tuka2 run --json, on one line: stop, steps, the cells,
// registers, flags, step mode, ports and the output ports an OUT wrote,
// messages, listing, selected line and, with dump_memory, every memory
// word. It is written as it goes: the listing and the memory are never held
// as a document.
void writeJson(const Tuka2& tuka, const RunResult& result, const MessageLog& messages,
               bool dump_memory, std::ostream& out);
void writeSummary(const Tuka2& tuka, const RunResult& result, const MessageLog& messages,
                  std::ostream& out);
// A message on one line of a terminal: each '\r' becomes " / ".
std::string messageLine(std::string_view message);

}  // namespace orben::runner
