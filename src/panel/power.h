#pragma once

#include "machine/machine.h"

namespace orben {

class Listing;
class RandomSource;

// The power switch (BOnOff and MApagar_TUKA2), the power-on values and the
// memory initialisation commands.
class Power {
 public:
  Power(Machine& machine, Listing& listing) : m_(machine), listing_(listing) {}

  // Program start: memory starts with random bytes; TUKA-2 stays off.
  void startUp() { InitialiseMemory(); }
  void TogglePower();
  // Every word 0000..EFFF random, built in one buffer and handed over whole.
  void InitialiseMemory();
  // Registers 0000..000F (RE F000), everything else random, mirrors equal.
  void ResetDisplays();
  // The same two drawing from `random` rather than the machine's own
  // source (a case's run starts from its file's fill or seed).
  void InitialiseMemory(RandomSource& random);
  void ResetDisplays(RandomSource& random);
  // "Inicializar Memoria": random memory and an empty listing, on or off.
  void initialiseMemoryAndListing();
  // "Inicializar memoria al Encender TUKA2": flips the option and its check.
  void toggleInitMemoryAtPowerOn();

 private:
  void switchOn();
  void switchOff();

  Machine& m_;
  Listing& listing_;
};

}  // namespace orben
