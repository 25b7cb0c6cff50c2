#include "machine/run_control.h"

#include "machine/user_interface.h"

namespace orben {

int SpeedItemForInterval(int interval_ms) {
  for (std::size_t i = 0; i < kSpeedChoices.size(); ++i) {
    if (kSpeedChoices[i].interval_ms == interval_ms) return static_cast<int>(i);
  }
  return 3;
}

int IntervalOfSpeedItem(int item) {
  if (item < 0 || item >= static_cast<int>(kSpeedChoices.size())) return 1000;
  return kSpeedChoices[static_cast<std::size_t>(item)].interval_ms;
}

void RunControl::Continuar() {
  switch (m_.PanelState()) {
    case 0:
      stepper_.StepAddressMode();
      return;
    case 1:
      stepper_.StepRegisterMode();
      return;
    default:
      m_.SetControl(Control::PanelState, 3);
      last_outcome_ = processor_.ExecuteInstruction();
      return;
  }
}

void RunControl::StepModeSwitch() {
  if (m_.StepMode() == 0) {
    m_.SetControl(Control::StepMode, 1);
    m_.SetCaption(Control::StepMenuCaption, "Desactivar modo Paso a Paso");
  } else {
    m_.SetControl(Control::StepMode, 0);
    m_.SetCaption(Control::StepMenuCaption, "Activar modo Paso a Paso");
  }
  m_.SetControl(Control::PanelState, 4);
}

bool RunControl::TimerTick() {
  if (m_.PowerOn() == 0 || m_.StepMode() != 0 || m_.PanelState() != 2) return false;
  Continuar();
  return true;
}

void RunControl::ChooseSpeed() {
  const auto chosen = m_.ui().AskSpeed(SpeedItemForInterval(m_.StepInterval()));
  if (!chosen) return;
  m_.SetControl(Control::StepInterval, IntervalOfSpeedItem(*chosen));
}

}  // namespace orben
