// The load command reading the input as an EHC file, then the run from 0000.

#include "observed.h"

namespace {

void loadEhc(orben::fuzz::FuzzTuka& f, const std::uint8_t* data, std::size_t size) {
  orben::fuzz::loadAndRun(f, orben::ObjectFormat::Ehc, "FUZZ.EHC", data, size);
}

[[maybe_unused]] const bool kHooked = orben::fuzz::registerTukaHooks<loadEhc>();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orben::fuzz::FuzzTuka& f = orben::fuzz::keptTuka();
  loadEhc(f, data, size);
  f.reset();
  return 0;
}
