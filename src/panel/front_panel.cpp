#include "panel/front_panel.h"

#include "machine/user_interface.h"

namespace orben {

namespace {

constexpr int kLastAddress = 0xEFFF;

}  // namespace

void editCellByHand(Machine& machine, CellId cell) {
  if (!machine.powerOn()) {
    machine.showMessage(kPowerOffMessage);
    return;
  }
  machine.setEditedValue(machine.cell(cell));
  const auto typed = machine.ui().askValue();
  if (!typed) return;
  machine.setEditedValue(*typed);
  machine.setCell(cell, machine.EditedValue());
}

void toggleFlagByHand(Machine& machine, Flag flag) {
  if (!machine.powerOn()) {
    machine.showMessage(kPowerOffMessage);
    return;
  }
  machine.setFlag(flag, !machine.flag(flag));
}

void FrontPanel::pressKey(char digit) {
  const WordText keypad = m_.cell(kCellKeypad);
  const auto old = keypad.view();
  const char c1 = old.size() > 1 ? old[1] : '0';
  const char c2 = old.size() > 2 ? old[2] : '0';
  const char c3 = old.size() > 3 ? old[3] : '0';
  m_.setCell(kCellKeypad, WordText::of(c1, c2, c3, digit));
}

void FrontPanel::editKeypad() {
  editCellByHand(m_, kCellKeypad);
}

void FrontPanel::selectAddress() {
  const int a = WordTextToValue(m_.cell(kCellKeypad));
  if (a > kLastAddress) {
    m_.showMessage(kLoadRefusedMessage);
    return;
  }
  m_.setPanelState(PanelState::Address);
  ShowPanelAddress(m_.cell(kCellKeypad));
  ShowPanelContent(m_.ReadMemoryWord(a));
}

void FrontPanel::selectRegisters() {
  m_.setPanelState(PanelState::Register);
  showRegister(0);
}

void FrontPanel::showRegister(int r) {
  ShowPanelAddress(ValueToWordText(r));
  ShowPanelContent(m_.ReadRegister(r));
}

void FrontPanel::storeKeypadValue() {
  const int selected = WordTextToValue(m_.cell(outputPortCell(1)));
  if (m_.panelState() == PanelState::Address) {
    if (selected > kLastAddress) {
      m_.showMessage(kLoadRefusedMessage);
      return;
    }
    m_.WriteMemoryWord(selected, m_.cell(kCellKeypad));
    stepAddressMode();
  } else if (m_.panelState() == PanelState::Register) {
    // The register is the low byte of OP1: after a power cycle in register
    // mode OP1 may hold any word, and a low byte above 0F names no register.
    m_.WriteRegister(selected % 256, m_.cell(kCellKeypad));
    stepRegisterMode();
  }
}

void FrontPanel::stepAddressMode() {
  const int a = WordTextToValue(m_.cell(outputPortCell(1))) + 1;
  if (a > kLastAddress) {
    m_.showMessage(kLoadRefusedMessage);
    return;
  }
  ShowPanelAddress(ValueToWordText(a));
  ShowPanelContent(m_.ReadMemoryWord(a));
}

void FrontPanel::stepRegisterMode() {
  int r = WordTextToValue(m_.cell(outputPortCell(1))) + 1;
  if (r > 15) r = 0;
  showRegister(r);
}

}  // namespace orben
