#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "grader/cases.h"
#include "grader/copies.h"
#include "grader/grading.h"
#include "session/json_writer.h"

namespace orben::grader {

// What a program's report says before its cases: why it could not run,
// or the messages of its load.
std::vector<Text> programProblems(const ProgramResult& result);

// A case's line: its verdict (PASS or FAIL) in a column as wide as the
// longer of the two words and two blanks, its name, then its points in
// parentheses ("3/3 points").
std::string caseLine(const CaseResult& c, Language language);

// Who reads a case's differences: a teacher sees those of every case, a
// student (the feedback, the IDE) none of a hidden case's.
enum class Reader : std::uint8_t { Teacher, Student };

// The differences a report gives under case `c` of `result`: none when the
// program could not run (the reason is said once, before the cases) nor
// for a student of a hidden case.
std::vector<std::string> differenceLines(const ProgramResult& result, const CaseResult& c,
                                         Reader reader, Language language);

// A student's total: "Total: points/max points, passed/cases cases" and the
// grade out of the scale when the file has one.
std::string totalLine(const CaseFile& cases, const ProgramResult& result, Language language);

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
