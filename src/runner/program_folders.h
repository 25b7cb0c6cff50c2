#pragma once

#include <string>
#include <vector>

#include "text/catalog.h"

namespace orben::runner {

// What tuka2 test grades for its PROGRAM arguments.
struct ClassPrograms {
  std::vector<std::string> programs;
  // Why the arguments cannot be used (a folder without programs, a folder
  // that cannot be read), each as a line; empty when they can.
  std::vector<Text> errors;
};

// Whether `name` is one of the files a folder given as a PROGRAM stands
// for: .asm, .s, .EHC or .HEX, the extension in any case.
bool IsProgramName(const std::string& name);

// The arguments as given, each folder among them replaced by the programs
// directly in it (not in its subfolders; other files left out), sorted by
// their names byte by byte, each named as the folder is followed by its
// name.
ClassPrograms ExpandProgramFolders(const std::vector<std::string>& arguments);

}  // namespace orben::runner
