#include "machine/run_control.h"

#include "machine/user_interface.h"

namespace orben {

int speedItemForInterval(int interval_ms) {
  for (std::size_t i = 0; i < kSpeedChoices.size(); ++i) {
    if (kSpeedChoices[i].interval_ms == interval_ms) return static_cast<int>(i);
  }
  return 3;
}

int intervalOfSpeedItem(int item) {
  if (item < 0 || item >= static_cast<int>(kSpeedChoices.size())) return 1000;
  return kSpeedChoices[static_cast<std::size_t>(item)].interval_ms;
}

void RunControl::continueExecution() {
  switch (m_.panelState()) {
    case PanelState::Address:
      stepper_.stepAddressMode();
      return;
    case PanelState::Register:
      stepper_.stepRegisterMode();
      return;
    case PanelState::Executing:
    case PanelState::ContinueRequested:
    case PanelState::Paused:
      continueAtPC();
      return;
  }
}

bool RunControl::stopsAtBreakpoint() {
  const CellValue pc = m_.cellValue(kCellPC);
  if (!pc.isWord() || !m_.breakpoints().has(pc.asWord())) return false;
  m_.breakpoints().reached(pc.asWord());
  m_.setStepMode(StepMode::StepByStep);
  at_breakpoint_ = true;
  return true;
}

void RunControl::toggleStepMode() {
  if (m_.stepMode() == StepMode::Timed) {
    m_.setStepMode(StepMode::StepByStep);
    m_.setCaption(MenuItem::StepSwitch, "Desactivar modo Paso a Paso");
  } else {
    m_.setStepMode(StepMode::Timed);
    m_.setCaption(MenuItem::StepSwitch, "Activar modo Paso a Paso");
  }
  m_.setPanelState(PanelState::Paused);
}

void RunControl::chooseSpeed() {
  const auto chosen = m_.ui().askSpeed(speedItemForInterval(m_.stepInterval()));
  if (!chosen) return;
  m_.setStepInterval(intervalOfSpeedItem(*chosen));
}

}  // namespace orben
