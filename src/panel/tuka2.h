#pragma once

#include "disasm/listing.h"
#include "disasm/listing_commands.h"
#include "loader/load_command.h"
#include "machine/machine.h"
#include "machine/processor.h"
#include "machine/run_control.h"
#include "panel/front_panel.h"
#include "panel/power.h"

namespace orben {

class RandomSource;
class UserInterface;

// The whole simulated TUKA-2 without windows: the machine, its program
// listing and every operation the panels and menus reach. The desktop
// program, the command-line runner and the tests each build one over their
// own user interface and random source.
class Tuka2 {
 public:
  Tuka2(UserInterface& ui, RandomSource& random)
      : machine(ui, random),
        processor(machine),
        panel(machine),
        run(machine, processor, panel),
        power(machine, listing),
        load(machine, listing),
        disassembler(machine, listing),
        marker_(listing) {
    machine.addObserver(&marker_);
  }
  Tuka2(const Tuka2&) = delete;
  Tuka2& operator=(const Tuka2&) = delete;

  Machine machine;
  Listing listing;
  Processor processor;
  FrontPanel panel;
  RunControl run;
  Power power;
  LoadCommand load;
  DisassemblerMode disassembler;

 private:
  ExecutingLineMarker marker_;
};

}  // namespace orben
