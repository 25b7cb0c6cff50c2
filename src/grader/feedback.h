#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "grader/cases.h"
#include "grader/grading.h"

namespace orben::grader {

// A student's feedback on one program, laid out as a handout, in Spanish
// whatever the language of the process: the cases file's title, the
// program, what its load or assembly said, a block per case (verdict,
// points, its inputs and presets, its differences and the checks of its
// run), then the total and the grade. A hidden case gives only its name,
// verdict and points.
void WriteFeedback(const CaseFile& cases, const ProgramResult& result, std::ostream& out);

// The name of each program's feedback file: its file name with ".txt"
// after it ("entregas/ana.asm" gives "ana.asm.txt"). Programs sharing a
// file name (letters' case aside, as some file systems have it) each take
// as many of the folders before it as tell them apart, joined by '_'
// ("grupo1_ana.asm.txt", "grupo2_ana.asm.txt"); a name still taken, as by
// a program given twice, takes " (2)", " (3)"... before ".txt".
std::vector<std::string> FeedbackFileNames(const std::vector<std::string>& programs);

// Writes the feedback of each of `results` into `folder`, made when
// missing, under the names above. Returns the files (or the folder) that
// could not be written.
std::vector<std::string> WriteFeedbackFiles(const std::string& folder, const CaseFile& cases,
                                            const std::vector<ProgramResult>& results);

}  // namespace orben::grader
