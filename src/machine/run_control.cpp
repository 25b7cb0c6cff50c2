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

void RunControl::BContinuarClick() {
  switch (m_.PanelState()) {
    case 0:
      stepper_.stepAddressMode();
      return;
    case 1:
      stepper_.stepRegisterMode();
      return;
    default:
      m_.setControl(Control::PanelState, 3);
      last_outcome_ = processor_.ExecuteInstruction();
      return;
  }
}

void RunControl::BPasoPasoClick() {
  if (m_.StepMode() == 0) {
    m_.setControl(Control::StepMode, 1);
    m_.setCaption(Control::StepMenuCaption, "Desactivar modo Paso a Paso");
  } else {
    m_.setControl(Control::StepMode, 0);
    m_.setCaption(Control::StepMenuCaption, "Activar modo Paso a Paso");
  }
  m_.setControl(Control::PanelState, 4);
}

bool RunControl::RelojTimer() {
  if (m_.PowerOn() == 0 || m_.StepMode() != 0 || m_.PanelState() != 2) return false;
  BContinuarClick();
  return true;
}

void RunControl::VelocidaddeejecucinenmodoPP1Click() {
  const auto chosen = m_.ui().askSpeed(speedItemForInterval(m_.StepInterval()));
  if (!chosen) return;
  m_.setControl(Control::StepInterval, intervalOfSpeedItem(*chosen));
}

}  // namespace orben
