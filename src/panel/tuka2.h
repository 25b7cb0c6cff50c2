#pragma once

#include "loader/load_command.h"
#include "machine/machine.h"
#include "machine/processor.h"
#include "machine/run_control.h"
#include "panel/front_panel.h"
#include "panel/power.h"

namespace orben {

class RandomSource;
class UserInterface;

// The whole simulated TUKA-2 without windows: the machine and every
// operation the panels and menus reach. The desktop program, the
// command-line runner and the tests each build one over their own user
// interface and random source.
class Tuka2 {
 public:
  Tuka2(UserInterface& ui, RandomSource& random)
      : machine(ui, random),
        processor(machine),
        panel(machine),
        run(machine, processor, panel),
        power(machine),
        load(machine) {}

  Machine machine;
  Processor processor;
  FrontPanel panel;
  RunControl run;
  Power power;
  LoadCommand load;
};

}  // namespace orben
