#pragma once

#include "machine/machine.h"
#include "machine/run_control.h"

namespace orben {

// The keypad and the buttons Dirección, Registros and Cargar, and what
// Continuar does in address and register mode. The selected address or
// register lives only in output port 01 (OP1, POP1, PO_01); its content is
// shown in output port 02.
class FrontPanel final : public PanelModeStepper {
 public:
  explicit FrontPanel(Machine& machine) : m_(machine) {}

  // A key T0..TF: the keypad's digits shift left and `digit` enters at the
  // right. Keys are disabled while off, so no power check.
  void Pulsacion_Teclado(char digit);
  // A click on the keypad display: the value entry dialog for input port 01.
  void Modifica_Teclado();

  void BDireccionClick();
  void BRegistrosClick();
  void BCargarClick();

  // Continuar in address mode (PanelState 0) and register mode (1).
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
// runs, and EditedValue is written back (unchanged after Cancelar).
void editCellByHand(Machine& machine, CellId cell);
// A click on a flag lamp: refused while off, otherwise the flag inverts.
void toggleFlagByHand(Machine& machine, Flag flag);

}  // namespace orben
