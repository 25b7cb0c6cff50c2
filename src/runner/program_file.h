#pragma once

#include <ostream>
#include <string>

#include "runner/runner.h"

namespace orben::runner {

// What loading the file of tuka2 run or dis came to.
enum class ProgramLoad : std::uint8_t {
  Loaded,       // in memory and listed (load messages included)
  NotReadable,  // the file cannot be read: status 2
  NotAssembled  // a source with errors, reported as tuka2 asm reports them: status 1
};

// Puts the program of `file` into memory as the load command does after its
// dialog: an object file (.EHC, .HEX) read as it is; any other name is an
// assembly source, assembled in memory to the EHC text tuka2 asm would
// write and loaded under the object name asm would give it. The
// assembler's errors and warnings go to `err`, the way tuka2 asm prints
// them.
ProgramLoad loadProgramFile(Tuka2& tuka, HeadlessUi& ui, const std::string& file,
                            std::ostream& err);

}  // namespace orben::runner
