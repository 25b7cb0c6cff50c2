#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "panel/tuka2.h"
#include "session/json_writer.h"
#include "session/message_log.h"
#include "session/run.h"

namespace orben::session {

// The machine's cells as the JSON reports give them: the members pc, ir,
// ar, dr, keypad, registers, flags, step_mode, inputs, outputs and
// outputs_written.
void writeCellMembers(const Machine& m, JsonStream& json);
// The checks found, each an object with address, step, kind and text.
JsonDocument checksDocument(const std::vector<Check>& checks);
// A check on one line of a terminal, as "check: " lines give it.
Text checkText(const Check& check);
std::string checkLine(const Check& check);

// The report of tuka2 run --json, on one line: stop, steps, the cells,
// registers, flags, step mode, ports and the output ports an OUT wrote,
// messages, checks, listing, selected line and, with dump_memory, every
// memory word. It is written as it goes: the listing and the memory are
// never held as a document.
void writeJson(const Tuka2& tuka, const RunResult& result, const MessageLog& messages,
               bool dump_memory, std::ostream& out);
// PC, IR, AR, DR and the keypad; R0..RF; the flags and the step mode: the
// summary's three lines of cells.
void writeCellLines(const Machine& m, std::ostream& out);
void writeSummary(const Tuka2& tuka, const RunResult& result, const MessageLog& messages,
                  std::ostream& out);
// A message on one line of a terminal: each '\r' becomes " / ".
std::string messageLine(std::string_view message);

}  // namespace orben::session
