#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "runner/options.h"
#include "session/run.h"

namespace orben::runner {

// The one place that decides: a run watched step by step (--trace) keeps
// the ticks; any other runs fast, which gives the same report.
session::RunPath chooseRunPath(const Options& options);

// Runs a parsed command line and returns the exit status: 0 when run
// stopped at HALT or dis loaded without a message, 1 otherwise, 2 when the
// file cannot be read as an object program.
// debug reads its commands from `in`.
int execute(const Options& options, std::istream& in, std::ostream& out, std::ostream& err);

// The whole command: parses `arguments` (without the program name) and
// executes them; a usage error gives status 2 and one line on `err`.
int runCommandLine(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
                   std::ostream& err);
// The same with no input: debug then ends at once.
int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace orben::runner
