#pragma once

#include "machine/machine.h"

namespace orben {

// The power switch (BOnOff and MApagar_TUKA2), the power-on values and the
// memory initialisation commands.
class Power {
 public:
  explicit Power(Machine& machine) : m_(machine) {}

  // ORBEN_Inicio: memory starts with random bytes; TUKA-2 stays off.
  void ORBEN_Inicio() { InitialiseMemory(); }
  void TogglePower();
  // Every word 0000..EFFF random, built in one buffer and handed over whole.
  void InitialiseMemory();
  // Registers 0000..000F (RE F000), everything else random, mirrors equal.
  void ResetDisplays();
  // "Inicializar Memoria": random memory and an empty listing, on or off.
  void InicializarMemoria1Click();
  // "Inicializar memoria al Encender TUKA2": flips the option and its check.
  void MInicializar_memoria_al_Encender_TUKA2Click();

 private:
  void switchOn();
  void switchOff();

  Machine& m_;
};

}  // namespace orben
