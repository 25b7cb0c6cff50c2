#pragma once

#include <string>
#include <vector>

namespace orben::assembler {

// The object file of a source when none is named: the source's name with
// its extension replaced by .ehc when the letters of that extension are all
// lower case (x.asm gives x.ehc), by .EHC otherwise (X.ASM, x.Asm). A name
// without an extension gets .ehc or .EHC by the same rule on its own
// letters (prog gives prog.ehc, PROG and Prog give .EHC).
std::string DefaultObjectName(const std::string& source);

// Whether `name` is an assembly source's: ending in .asm or .s, in any
// capitals (what ORBEN opens in its editor and a class folder holds
// besides object files).
bool isAssemblySourceName(const std::string& name);

// The other files beside `path` whose names are its own in other capitals
// (x.EHC beside x.ehc), each as `path` names its folder and as the folder
// spells the name; none where the file system does not tell them apart.
std::vector<std::string> OtherSpellings(const std::string& path);

}  // namespace orben::assembler
