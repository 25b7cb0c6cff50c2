#pragma once

#include <ostream>
#include <vector>

#include "grader/cases.h"
#include "grader/copies.h"
#include "grader/grading.h"
#include "session/json_writer.h"

namespace orben::grader {

// What a program's report says before its cases: why it could not run,
// or the messages of its load.
std::vector<Text> programProblems(const ProgramResult& result);

// Per program: a line per case (PASS or FAIL, its name and points) with
// every difference under a failed case, then the program's points and
// cases; with several programs, a table of them all at the end and the
// copies among them after it.
void WriteTextReport(const CaseFile& cases, const std::vector<ProgramResult>& results,
                     std::ostream& out, const Copies& copies = {});

// The same as one JSON object, the copies ("copies") with several programs.
session::JsonDocument JsonReport(const CaseFile& cases, const std::vector<ProgramResult>& results,
                                 const Copies& copies = {});

// JUnit XML: a test suite per program, a test case per case, a failure
// with the differences for each case that failed.
void WriteJUnit(const CaseFile& cases, const std::vector<ProgramResult>& results,
                std::ostream& out);

}  // namespace orben::grader
