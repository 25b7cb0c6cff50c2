// The processor over a machine state taken from the input, run from the
// front panel for at most 5000 instructions.
//
// Input: R0..RF as 16 big-endian words; one byte whose bits 0..3 set the
// flags Z, S, C, V, whose bit 4 picks a timed run (step by step when
// clear) and whose bits 5..7, a number k other than 0, set a kept
// breakpoint k words after the keyed start and a run-to-here breakpoint 2k
// words after it; the keyed start address as one word; then memory words
// from 0000 on. Missing bytes read as 0.

#include "observed.h"

namespace {

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::size_t left() const { return size_ - pos_; }
  std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  unsigned word() {
    const unsigned high = byte();
    return high << 8 | byte();
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

void runState(orben::fuzz::FuzzTuka& f, const std::uint8_t* data, std::size_t size) {
  using namespace orben;
  Machine& m = f.tuka.machine;
  Bytes in(data, size);
  for (int n = 0; n < kRegisterCount; ++n) m.WriteRegister(n, wordOf(in.word()));
  const std::uint8_t mode = in.byte();
  m.setFlag(Flag::Z, (mode & 1) != 0);
  m.setFlag(Flag::S, (mode & 2) != 0);
  m.setFlag(Flag::C, (mode & 4) != 0);
  m.setFlag(Flag::V, (mode & 8) != 0);
  const unsigned start_address = in.word();
  const WordText start = wordOf(start_address);
  if (const unsigned k = mode >> 5; k != 0) {
    m.breakpoints().set(static_cast<std::uint16_t>(start_address + k));
    m.breakpoints().runToHere(static_cast<std::uint16_t>(start_address + 2 * k));
  }
  long long address = 0;
  for (; in.left() >= 2 && address < Machine::kMemoryWords; ++address) {
    const WordText word = wordOf(in.word());
    m.WriteMemoryWord(address, word);
    fuzz::check(m.ReadMemoryWord(address) == word, "a stored word reads back otherwise");
  }
  fuzz::check(f.ui.messages == 0 && f.errorStops() == 0, "a store below F000 was refused");
  fuzz::checkCells(m, true);

  fuzz::runBounded(f, start, (mode & 0x10) != 0, 5000);
}

[[maybe_unused]] const bool kHooked = orben::fuzz::registerTukaHooks<runState>();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orben::fuzz::FuzzTuka& f = orben::fuzz::keptTuka();
  runState(f, data, size);
  f.reset();
  return 0;
}
