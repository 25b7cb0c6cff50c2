#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "panel/tuka2.h"
#include "support/scripted_ui.h"

namespace orben::testing {

// The warnings of a refused memory access, as the user reads them.
constexpr const char* kLoadMessage =
    "AVISO: Acceso a memoria de TUKA-2 ilegal.\rPor encima de EFFF se encuentra el programa "
    "monitor.";
constexpr const char* kStoreMessage =
    "AVISO: Acceso a memoria de TUKA-2 ilegal\rIntentó escribir por encima de la posición F000H "
    "de memoria.";

// Remembers every change the machine notifies, in order.
class RecordingObserver : public MachineObserver {
 public:
  std::vector<CellId> cells;
  std::vector<Flag> flags;
  std::vector<Control> controls;
  void cellChanged(CellId cell) override { cells.push_back(cell); }
  void flagChanged(Flag flag) override { flags.push_back(flag); }
  void controlChanged(Control control) override { controls.push_back(control); }
};

// A switched-on TUKA-2 with zeroed memory, answering its boxes from a script.
class Tuka2Test : public ::testing::Test {
 protected:
  Tuka2Test() : tuka(ui, random) {
    tuka.power.toggleInitMemoryAtPowerOn();  // keep memory as poked
    tuka.power.TogglePower();
  }

  Machine& m() { return tuka.machine; }
  std::string cell(CellId id) { return m().cell(id).str(); }
  std::string reg(int n) { return m().ReadRegister(n).str(); }
  std::string mem(long long a) { return m().ReadMemoryWord(a).str(); }
  void setReg(int n, const char* text) { m().WriteRegister(n, text); }
  // Words at consecutive addresses from `first`.
  void poke(long long first, std::initializer_list<const char*> words) {
    for (const char* w : words) m().WriteMemoryWord(first++, w);
  }
  // Keys the address and executes from it (Ejecutar).
  Outcome runFrom(const char* address) {
    m().setCell(kCellKeypad, address);
    return tuka.run.executeFromKeypad();
  }
  Outcome step() {
    tuka.run.continueExecution();
    return tuka.run.lastOutcome();
  }
  std::string flags() {
    std::string f;
    for (Flag flag : {Flag::Z, Flag::S, Flag::C, Flag::V}) f += m().flag(flag) ? '1' : '0';
    return f;
  }

  ScriptedUi ui;
  ReplayRandom random;
  Tuka2 tuka;
};

}  // namespace orben::testing
