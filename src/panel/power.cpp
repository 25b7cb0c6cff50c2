#include "panel/power.h"

#include <vector>

#include "disasm/listing_commands.h"
#include "machine/random_source.h"

namespace orben {

void Power::TogglePower() {
  if (!m_.powerOn()) {
    switchOn();
  } else {
    switchOff();
  }
}

// The power state lights LOn and enables the keypad, the panel's buttons,
// BPasoPaso and MModoPasoapaso: the windows follow powerOn() for all of them.
void Power::switchOn() {
  m_.setPowerOn(true);
  m_.setStepMode(StepMode::StepByStep);
  ResetDisplays();
  if (m_.initMemoryAtPowerOn()) {
    InitialiseMemory();
    ClearListing(listing_);
  }
  m_.setCaption(MenuItem::PowerSwitch, "Apagar TUKA-2");
}

void Power::switchOff() {
  m_.setPowerOn(false);
  for (int cell = 0; cell < kCellCount; ++cell)
    m_.setCell(static_cast<CellId>(cell), CellValue::off());
  for (Flag flag : {Flag::Z, Flag::S, Flag::C, Flag::V}) m_.setFlag(flag, false);
  m_.setCaption(MenuItem::PowerSwitch, "Encender TUKA-2");
  m_.setStepMode(StepMode::Timed);
}

void Power::ResetDisplays() {
  ResetDisplays(m_.random());
}

void Power::ResetDisplays(RandomSource& random) {
  // Each register its own number, except RE: the stack starts empty at F000,
  // the first word of the monitor's area.
  for (int n = 0; n < kRegisterCount; ++n) {
    m_.WriteRegister(n, n == 14 ? WordText("F000") : ValueToWordText(n));
  }
  for (CellId cell : {kCellAR, kCellDR, outputPortCell(1), outputPortCell(2), inputPortCell(2),
                      kCellIR, kCellPC, kCellKeypad}) {
    m_.setCell(cell, RandomWordText(random));
  }
  // The mirrors (IP1, POP1, POP2, PIR, PPC, PIN_01, PIN_02, PO_01, PO_02)
  // are the same cells; every other port draws its own value.
  for (int port = 0; port < kPortCount; ++port) {
    if (port == 1 || port == 2) continue;
    m_.setCell(inputPortCell(port), RandomWordText(random));
  }
  for (int port = 0; port < kPortCount; ++port) {
    if (port == 1 || port == 2) continue;
    m_.setCell(outputPortCell(port), RandomWordText(random));
  }
}

void Power::InitialiseMemory() {
  InitialiseMemory(m_.random());
}

void Power::InitialiseMemory(RandomSource& random) {
  std::vector<std::uint8_t> bytes(MemoryStore::kMachineBytes);
  random.fillBytes(bytes.data(), bytes.size());
  m_.memory().replace(std::move(bytes));
}

void Power::initialiseMemoryAndListing() {
  InitialiseMemory();
  ClearListing(listing_);
}

void Power::toggleInitMemoryAtPowerOn() {
  m_.setInitMemoryAtPowerOn(!m_.initMemoryAtPowerOn());
}

}  // namespace orben
