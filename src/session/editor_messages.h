#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "assembler/assembler.h"
#include "debug/checks.h"

namespace orben::session {

// A line of an editor's messages below the source: the assembler's errors
// and warnings, and the checks found as the program runs, in Spanish, each
// at its line and column of the source ("LINE:COLUMN: message"), or as it
// is when it has no line.
struct EditorMessage {
  std::string text;
  std::size_t line = 0;    // from 1; 0 for none
  std::size_t column = 0;  // from 1; 0 for none
  bool error = false;
};

std::vector<EditorMessage> diagnosticMessages(
    const std::vector<assembler::Diagnostic>& diagnostics);
// A check at source line `line` (0 when no line describes its address),
// shown at that line's first column.
EditorMessage checkMessage(const Check& check, std::size_t line);

}  // namespace orben::session
