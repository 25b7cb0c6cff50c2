#pragma once

// The debugger's answer to one command, between the command that makes it
// and the text or JSON line that writes it.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "session/debugger.h"
#include "text/catalog.h"

namespace orben::session {

// One command's answer before it is written.
struct Debugger::Answer {
  std::string command;
  DebugStop stop = DebugStop::None;
  Changes changes;
  std::optional<Text> error;       // the one line of a command refused
  std::vector<std::string> lines;  // the text answer's own lines
  bool shows_place = false;        // ends with the instruction at PC
  std::optional<std::pair<std::uint32_t, std::uint32_t>> memory;  // first, count
};

}  // namespace orben::session
