// The load command reading the input as an Intel HEX file, then the run
// from 0000.

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orben::fuzz::loadAndRun(orben::ObjectFormat::Hex, "FUZZ.HEX", data, size);
  return 0;
}
