#pragma once

#include <toml++/toml.h>

#include <vector>

#include "grader/cases.h"

namespace orben::grader {

// What is likely wrong in the cases file `root` as read into `file`, at the
// place each warning is about: two cases with one name, an empty name, a
// case that checks nothing but its HALT, an expectation the machine meets
// as it is switched on whatever the program does. A file with faults
// (`usable` false) is looked at for its names only: what the others need
// is the file as it means to set up the machine.
std::vector<CasesError> CasesWarnings(const toml::table& root, const CaseFile& file, bool usable);

}  // namespace orben::grader
