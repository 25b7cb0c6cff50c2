#pragma once

#include <ostream>
#include <string>

#include "runner/options.h"

namespace orben::runner {

// tuka2 asm: assembles options.file into options.output (or the source's
// DefaultObjectName, with a line on `err` for each file beside it that has
// that name in other capitals) and, when asked, a listing. Errors and warnings go to
// `err` as SOURCE:LINE:COLUMN: error: message. Nothing is written when
// there is an error: each file is written beside its place under a
// temporary name and renamed over it only once the whole assembly is good.
int asmCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace orben::runner
