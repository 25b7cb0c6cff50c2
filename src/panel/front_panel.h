#pragma once

#include "machine/machine.h"
#include "machine/run_control.h"

namespace orben {

// The keypad and the buttons Dirección, Registros and Cargar, and what
// Continuar does in address and register mode. The selected address or
// register lives only in output port 01 (OP1, POP1, PO_01); its content is
// shown in output port 02. The keys and buttons are disabled while TUKA-2
// is off, so none of these checks the power.
class FrontPanel final : public PanelModeStepper {
 public:
  explicit FrontPanel(Machine& machine) : m_(machine) {}

  // A key T0..TF: the keypad's digits shift left and `digit` enters at the
  // right.
  void pressKey(char digit);
  // A click on the keypad display: the value entry dialog for input port 01.
  void editKeypad();

  // Dirección: address mode at the keyed address.
  void selectAddress();
  // Registros: register mode at R0.
  void selectRegisters();
  // Cargar: the keypad value into the selected word or register, then on to
  // the next one.
  void storeKeypadValue();

  // Continuar in address mode and in register mode.
  void stepAddressMode() override;
  void stepRegisterMode() override;

  void ShowPanelAddress(const WordText& text) { m_.setCell(outputPortCell(1), text); }
  void ShowPanelContent(const WordText& text) { m_.setCell(outputPortCell(2), text); }

 private:
  void showRegister(int r);
  Machine& m_;
};

// The hand edit of a register or input port display: refused while off;
// otherwise EditedValue is loaded with the cell, the value entry dialog
// runs, and EditedValue is written back. Cancelar and the close button leave
// the cell alone: writing the old value back would undo what a timed run
// stored there while the dialog was open.
void editCellByHand(Machine& machine, CellId cell);
// A click on a flag lamp: refused while off, otherwise the flag inverts.
void toggleFlagByHand(Machine& machine, Flag flag);

}  // namespace orben
