#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "machine/machine.h"
#include "machine/processor.h"

namespace orben {

// What Continuar does in address and register mode: the front panel steps
// to the next address or register instead of executing.
class PanelModeStepper {
 public:
  virtual ~PanelModeStepper() = default;
  virtual void stepAddressMode() = 0;
  virtual void stepRegisterMode() = 0;
};

struct SpeedChoice {
  std::string_view caption;
  int interval_ms;
};

// The speed dialog's choices, item 0 to 7.
inline constexpr std::array<SpeedChoice, 8> kSpeedChoices{{
    {"Rápida", 1},
    {"0.3 segundos cada paso", 300},
    {"0.5 segundos cada paso", 500},
    {"1.0 segundo cada paso", 1000},
    {"1.5 segundos cada paso", 1500},
    {"2.0 segundos cada paso", 2000},
    {"4.0 segundos cada paso", 4000},
    {"7.0 segundos cada paso", 7000},
}};
inline constexpr std::string_view kSpeedDialogTitle = "Velocidad modo Paso a Paso";
inline constexpr std::string_view kSpeedDialogPrompt = "Seleccione la velocidad preferida:";

// The item the speed dialog marks when it opens: the one whose interval is
// `interval_ms`, item 3 (one second) when none is.
int speedItemForInterval(int interval_ms);
// The interval an item stands for; 1000 ms when no item is marked.
int intervalOfSpeedItem(int item);

// When instructions run: Ejecutar, Continuar, the step-mode switch (button
// Paso a paso and menu item MModoPasoapaso), the step timer's tick and the
// speed choice. Every action executes at most one instruction; the windows
// own the real timer and call tick() on each of its ticks.
class RunControl {
 public:
  RunControl(Machine& machine, Processor& processor, PanelModeStepper& stepper)
      : m_(machine), processor_(processor), stepper_(stepper) {}

  // Ejecutar: executes the instruction at the keyed address.
  Outcome executeFromKeypad() {
    const CellValue start = m_.cellValue(kCellKeypad);
    if (m_.panelState() != PanelState::ContinueRequested && start.isWord()) {
      m_.breakpoints().reached(start.asWord());
    }
    executions_at_start_ = processor_.executions();
    return processor_.ExecuteInstruction();
  }
  // The instructions executed since the last Ejecutar, its own included.
  std::uint64_t stepsSinceStart() const {
    const std::uint64_t now = processor_.executions();
    return now > executions_at_start_ ? now - executions_at_start_ : 0;
  }
  // Continuar: steps address or register mode, or executes the instruction
  // at PC.
  void continueExecution();
  // The step-mode switch (Paso a paso, MModoPasoapaso): toggles the mode and
  // pauses, so that no tick runs until Ejecutar or Continuar.
  void toggleStepMode();
  // The step timer's tick: Continuar, only while on, timed and executing.
  // True when it executed. A tick that would execute the instruction at a
  // breakpoint stops the run before it instead, as an error stop does
  // (step mode, the lamp lit) but with no message; the next Ejecutar or
  // Continuar executes it.
  bool tick() {
    at_breakpoint_ = false;
    if (!m_.powerOn() || m_.stepMode() != StepMode::Timed ||
        m_.panelState() != PanelState::Executing) {
      return false;
    }
    if (stopsAtBreakpoint()) return false;
    continueAtPC();
    return true;
  }
  // Whether the last tick stopped at a breakpoint.
  bool stoppedAtBreakpoint() const { return at_breakpoint_; }
  // The speed dialog; "¡Vale!" sets StepInterval, which the windows give to
  // the timer.
  void chooseSpeed();

  // How the last instruction that Continuar or a tick executed ended.
  Outcome lastOutcome() const { return outcome_; }

 private:
  // Continuar while executing or paused: the instruction at PC.
  void continueAtPC() {
    const CellValue pc = m_.cellValue(kCellPC);
    if (pc.isWord()) m_.breakpoints().reached(pc.asWord());
    m_.setPanelState(PanelState::ContinueRequested);
    outcome_ = processor_.ExecuteInstruction();
  }
  bool stopsAtBreakpoint();

  Machine& m_;
  Processor& processor_;
  PanelModeStepper& stepper_;
  Outcome outcome_ = Outcome::Executed;
  bool at_breakpoint_ = false;
  std::uint64_t executions_at_start_ = 0;
};

}  // namespace orben
