// The load command reading the input as an Intel HEX file, then the run
// from 0000.

#include "observed.h"

namespace {

void loadHex(orben::fuzz::FuzzTuka& f, const std::uint8_t* data, std::size_t size) {
  orben::fuzz::loadAndRun(f, orben::ObjectFormat::Hex, "FUZZ.HEX", data, size);
}

[[maybe_unused]] const bool kHooked = orben::fuzz::registerTukaHooks<loadHex>();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orben::fuzz::FuzzTuka& f = orben::fuzz::keptTuka();
  loadHex(f, data, size);
  f.reset();
  return 0;
}
