#pragma once

#include "grader/cases.h"
#include "grader/program.h"
#include "panel/tuka2.h"

namespace orben::grader {

// Puts `tuka` where a run of case `c` of `file` starts, as a fresh machine
// would be for it: TUKA-2 switched on first when it is off (as On/Off
// does); memory, the cells power-on sets and the flags as a machine
// switched on with the file's fill or seed has them, whatever this one
// held; the listing emptied and `program` loaded; the case's presets
// (memory, registers) and inputs written; its start keyed into the keypad;
// step mode on, its lamp lit, so that nothing runs until Ejecutar. The
// grader runs every case from here, and the IDE prepares a failed case
// the same way for the user to step through.
void PrepareCase(Tuka2& tuka, const Program& program, const Case& c, const CaseFile& file);

}  // namespace orben::grader
