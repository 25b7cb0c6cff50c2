#include "panel/power.h"

#include <vector>

#include "disasm/listing_commands.h"
#include "machine/random_source.h"

namespace orben {

void Power::TogglePower() {
  if (m_.PowerOn() == 0) {
    switchOn();
  } else {
    switchOff();
  }
}

void Power::switchOn() {
  m_.setControl(Control::PowerOn, 1);
  m_.setControl(Control::StepMode, 1);
  m_.setControl(Control::StepButtonEnabled, 1);
  m_.setControl(Control::PowerLamp, 1);
  m_.setControl(Control::PanelEnabled, 1);
  ResetDisplays();
  if (m_.InitMemoryAtPowerOn() == 1) {
    InitialiseMemory();
    ClearListing(m_.listing());
  }
  m_.setCaption(Control::PowerMenuCaption, "Apagar TUKA-2");
  m_.setControl(Control::StepMenuEnabled, 1);
}

void Power::switchOff() {
  m_.setControl(Control::PowerOn, 0);
  m_.setControl(Control::PowerLamp, 0);
  m_.setControl(Control::StepButtonEnabled, 0);
  m_.setControl(Control::PanelEnabled, 0);
  for (int cell = 0; cell < kCellCount; ++cell) m_.setCell(static_cast<CellId>(cell), kOffText);
  m_.SetFlagZ(false);
  m_.SetFlagS(false);
  m_.SetFlagC(false);
  m_.SetFlagV(false);
  m_.setCaption(Control::PowerMenuCaption, "Encender TUKA-2");
  m_.setControl(Control::StepMode, 0);
  m_.setControl(Control::StepMenuEnabled, 0);
}

void Power::ResetDisplays() {
  // Each register its own number, except RE: the stack starts empty at F000,
  // the first word of the monitor's area.
  for (int n = 0; n < kRegisterCount; ++n) {
    m_.WriteRegister(n, n == 14 ? WordText("F000") : ValueToWordText(n));
  }
  RandomSource& random = m_.random();
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
  std::vector<std::uint8_t> bytes(MemoryStore::kMachineBytes);
  RandomSource& random = m_.random();
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random.below(256));
  m_.memory().replace(std::move(bytes));
}

void Power::InicializarMemoria1Click() {
  InitialiseMemory();
  ClearListing(m_.listing());
}

void Power::MInicializar_memoria_al_Encender_TUKA2Click() {
  m_.setControl(Control::InitMemoryAtPowerOn, m_.InitMemoryAtPowerOn() == 0 ? 1 : 0);
}

}  // namespace orben
