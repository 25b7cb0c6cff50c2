#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace orben::runner {

// tuka2 test CASES PROGRAM... [--json] [--junit FILE] [-j N]: `arguments`
// start after "test". Returns 0 when every case of every program passes, 1
// when any fails, 2 for a usage error or a cases file that cannot be used
// (each of its faults on `err` as CASES:LINE:COLUMN: message).
int testCommandLine(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err);

}  // namespace orben::runner
