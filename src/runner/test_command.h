#pragma once

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

namespace orben::runner {

// What the process running tuka2 test is attached to.
struct TestTerminal {
  bool progress = false;  // show "graded/total" on err as the programs are graded
  // Set when the user interrupts (SIGINT, SIGTERM): the programs already
  // graded are reported, and the command exits with 130.
  const std::atomic<bool>* interrupted = nullptr;
};

// This process's: a progress line when stderr is a terminal, and SIGINT
// and SIGTERM caught from now on.
TestTerminal thisProcessTerminal();

// tuka2 test CASES PROGRAM... [--json] [--junit FILE] [--csv FILE]
// [--feedback DIR] [--similar P] [-j N]: `arguments` start after "test".
// Returns 0 when every case of every program passes, 1 when any fails, 2
// for a usage error (a folder without programs among them), a cases file
// that cannot be used (each of its faults on `err` as CASES:LINE:COLUMN:
// message, then its warnings as CASES:LINE:COLUMN: warning: message, which
// change no status) or a report that cannot be written (after writing the
// others).
int testCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                    const TestTerminal& terminal = {});

}  // namespace orben::runner
