#pragma once

#include <string>
#include <string_view>

#include "assembler/assembler.h"
#include "assembler/object_writers.h"

namespace orben::assembler {

// A source assembled into the EHC text tuka2 asm would write, held in
// memory for a load; its diagnostics also go to `diagnostics`. The text is
// complete only when the result is ok().
struct ObjectInMemory {
  AssemblyResult result;
  std::string ehc;
};
ObjectInMemory AssembleInMemory(std::string_view source, AssemblyOutput& diagnostics);

}  // namespace orben::assembler
