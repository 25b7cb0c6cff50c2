#include "assembler/object_in_memory.h"

#include <sstream>

namespace orben::assembler {

ObjectInMemory AssembleInMemory(std::string_view source, AssemblyOutput& diagnostics) {
  std::ostringstream object;
  ObjectWriter writer(ObjectFormat::Ehc, object);
  OutputFan fan({&writer, &diagnostics});
  ObjectInMemory assembled{Assemble(source, fan), {}};
  if (assembled.result.ok()) {
    writer.finish();
    assembled.ehc = object.str();
  }
  return assembled;
}

}  // namespace orben::assembler
