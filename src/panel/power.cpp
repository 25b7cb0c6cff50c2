#include "panel/power.h"

#include <vector>

#include "disasm/listing_commands.h"
#include "machine/random_source.h"

namespace orben {

void Power::TogglePower() {
  if (m_.PowerOn() == 0) {
    SwitchOn();
  } else {
    SwitchOff();
  }
}

void Power::SwitchOn() {
  m_.SetControl(Control::PowerOn, 1);
  m_.SetControl(Control::StepMode, 1);
  m_.SetControl(Control::StepButtonEnabled, 1);
  m_.SetControl(Control::PowerLamp, 1);
  m_.SetControl(Control::PanelEnabled, 1);
  ResetDisplays();
  if (m_.InitMemoryAtPowerOn() == 1) {
    InitialiseMemory();
    ClearListing(m_.listing());
  }
  m_.SetCaption(Control::PowerMenuCaption, "Apagar TUKA-2");
  m_.SetControl(Control::StepMenuEnabled, 1);
}

void Power::SwitchOff() {
  m_.SetControl(Control::PowerOn, 0);
  m_.SetControl(Control::PowerLamp, 0);
  m_.SetControl(Control::StepButtonEnabled, 0);
  m_.SetControl(Control::PanelEnabled, 0);
  for (int cell = 0; cell < kCellCount; ++cell) m_.SetCell(static_cast<CellId>(cell), kOffText);
  m_.SetFlagZ(false);
  m_.SetFlagS(false);
  m_.SetFlagC(false);
  m_.SetFlagV(false);
  m_.SetCaption(Control::PowerMenuCaption, "Encender TUKA-2");
  m_.SetControl(Control::StepMode, 0);
  m_.SetControl(Control::StepMenuEnabled, 0);
}

void Power::ResetDisplays() {
  // Each register its own number, except RE: the stack starts empty at F000,
  // the first word of the monitor's area.
  for (int n = 0; n < kRegisterCount; ++n) {
    m_.WriteRegister(n, n == 14 ? WordText("F000") : ValueToWordText(n));
  }
  RandomSource& random = m_.random();
  for (CellId cell : {kCellAR, kCellDR, OutputPortCell(1), OutputPortCell(2), InputPortCell(2),
                      kCellIR, kCellPC, kCellKeypad}) {
    m_.SetCell(cell, RandomWordText(random));
  }
  // The mirrors (IP1, POP1, POP2, PIR, PPC, PIN_01, PIN_02, PO_01, PO_02)
  // are the same cells; every other port draws its own value.
  for (int port = 0; port < kPortCount; ++port) {
    if (port == 1 || port == 2) continue;
    m_.SetCell(InputPortCell(port), RandomWordText(random));
  }
  for (int port = 0; port < kPortCount; ++port) {
    if (port == 1 || port == 2) continue;
    m_.SetCell(OutputPortCell(port), RandomWordText(random));
  }
}

void Power::InitialiseMemory() {
  std::vector<std::uint8_t> bytes(MemoryStore::kMachineBytes);
  RandomSource& random = m_.random();
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random.Below(256));
  m_.memory().Replace(std::move(bytes));
}

void Power::InicializarMemoria1Click() {
  InitialiseMemory();
  ClearListing(m_.listing());
}

void Power::MInicializar_memoria_al_Encender_TUKA2Click() {
  m_.SetControl(Control::InitMemoryAtPowerOn, m_.InitMemoryAtPowerOn() == 0 ? 1 : 0);
}

}  // namespace orben
