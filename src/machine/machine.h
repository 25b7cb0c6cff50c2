#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "machine/breakpoints.h"
#include "machine/cell_value.h"
#include "machine/cells.h"
#include "machine/memory_store.h"
#include "machine/word_text.h"

namespace orben {

class RandomSource;
class UserInterface;

// What the front panel is doing; Continuar and the step timer read it.
enum class PanelState : std::uint8_t {
  Address,            // Dirección: Cargar and Continuar walk through memory
  Register,           // Registros: Cargar and Continuar walk through R0..RF
  Executing,          // Ejecutar or an instruction ran; the value at start
  ContinueRequested,  // Continuar, just before it executes at PC
  Paused,             // the step-mode switch was used
};

// Step by step: one instruction per Continuar, the lamp LPP lit. Timed: the
// step timer runs the program.
enum class StepMode : std::uint8_t { Timed, StepByStep };

// The control value an observer is told has changed.
enum class Control : std::uint8_t {
  PowerOn,
  StepMode,  // and with it the lamp LPP
  PanelState,
  StepInterval,
  InitMemoryAtPowerOn,
  DisassemblerMode,
  MemoryGridCursor,
};

// The menu items whose captions change at run time.
enum class MenuItem : std::uint8_t {
  PowerSwitch,       // MApagar_TUKA2
  StepSwitch,        // MModoPasoapaso
  DisassemblerMode,  // Mododesensamblador1, the last
};

// One flag per word 0000..FFFF, a byte each so that a run can test one
// in a single load.
using WatchedAddresses = std::array<bool, 0x10000>;

// The kinds of change an observer is told of.
struct Notices {
  bool cells = true;
  bool flags = true;
  bool controls = true;
  bool captions = true;
  bool program_counter = true;
};

// Told of every change of the kinds it takes notice of, once, after it is
// made. The kinds are asked once, when the observer is added.
class MachineObserver {
 public:
  virtual ~MachineObserver() = default;
  virtual Notices notices() const { return {}; }
  virtual void cellChanged(CellId /*cell*/) {}
  virtual void flagChanged(Flag /*flag*/) {}
  virtual void controlChanged(Control /*control*/) {}
  virtual void captionChanged(MenuItem /*item*/) {}
  // SetPC wrote `pc` into the program counter, changed or not: the listing
  // marks that address's line.
  virtual void programCounterSet(const CellValue& /*pc*/) {}
  // The words whose arrival in PC this observer acts on (the listing marks
  // their lines): a run that brings the cells up to date only when it stops
  // announces the last of them that PC passed through.
  virtual void addWatchedAddresses(WatchedAddresses& /*addresses*/) const {}
};

// Messages shared by several operations.
inline constexpr std::string_view kLoadRefusedMessage =
    "AVISO: Acceso a memoria de TUKA-2 ilegal.\rPor encima de EFFF se encuentra el programa "
    "monitor.";
inline constexpr std::string_view kStoreRefusedMessage =
    "AVISO: Acceso a memoria de TUKA-2 ilegal\rIntentó escribir por encima de la posición F000H "
    "de memoria.";
inline constexpr std::string_view kPowerOffMessage = "¡OPS! : Debe encender primero TUKA-2.";

// The state of the simulated TUKA-2: every cell, the four flags, the memory
// store and the control values, with the primitive operations on them.
// Every change is notified once to the observers; a write of the value a
// cell or control already holds changes nothing.
class Machine {
 public:
  static constexpr int kMemoryWords = 0xF000;

  Machine(UserInterface& ui, RandomSource& random);
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  UserInterface& ui() { return ui_; }
  RandomSource& random() { return random_; }
  MemoryStore& memory() { return memory_; }
  const MemoryStore& memory() const { return memory_; }

  // Cells: each holds a number, or "****" or the empty text (CellValue).
  const CellValue& cellValue(CellId id) const { return cells_[id]; }
  // The text a cell's displays show.
  WordText cell(CellId id) const { return cells_[id].text(); }
  void setCell(CellId id, const CellValue& value) {
    if (cells_[id] == value) return;
    cells_[id] = value;
    for (auto* observer : cell_observers_) observer->cellChanged(id);
  }
  void setCell(CellId id, const WordText& text) { setCell(id, CellValue::ofText(text)); }
  WordText ReadRegister(int n) const { return registerValue(n).text(); }
  CellValue registerValue(int n) const {
    return n >= 0 && n < kRegisterCount ? cells_[registerCell(n)] : CellValue::empty();
  }
  // Cut to four characters; a number outside 0..15 does nothing.
  void WriteRegister(int n, const WordText& text) { WriteRegister(n, CellValue::ofText(text)); }
  void WriteRegister(int n, const CellValue& value) {
    if (n >= 0 && n < kRegisterCount) setCell(registerCell(n), value);
  }
  // The program counter's part of SetPC: the cell, then the announcement
  // that the listing follows.
  void setProgramCounter(const CellValue& pc) {
    setCell(kCellPC, pc);
    for (auto* observer : pc_observers_) observer->programCounterSet(pc);
  }
  // Every word some observer acts on when it arrives in PC.
  void collectWatchedAddresses(WatchedAddresses& addresses) const {
    for (const auto* observer : observers_) observer->addWatchedAddresses(addresses);
  }

  // Memory: the empty text where there is no storage (F000 and above).
  WordText ReadMemoryWord(long long address) const { return memoryWord(address).text(); }
  CellValue memoryWord(long long address) const {
    if (address < 0 || 2 * address + 1 >= static_cast<long long>(memory_.size())) {
      return CellValue::empty();
    }
    const std::uint8_t* word = memory_.data() + 2 * address;
    return CellValue::word(static_cast<unsigned>(word[0] << 8 | word[1]));
  }
  // Refused at F000 and above: ErrorStop, then the message, nothing stored.
  // A byte pair holding 'X' stores FFH.
  void WriteMemoryWord(long long address, const WordText& text);
  void WriteMemoryWord(long long address, const CellValue& value);

  // The output ports an OUT has written, one bit a port (bit n: port n),
  // a write of the value the port already held included: a run's report
  // names them even where the value did not change.
  std::uint64_t outputsWritten() const { return outputs_written_; }
  void noteOutputsWritten(std::uint64_t ports) { outputs_written_ |= ports; }
  // Stepping back: the ports written as they were before the step.
  void restoreOutputsWritten(std::uint64_t ports) { outputs_written_ = ports; }

  // Where a timed run stops before executing.
  Breakpoints& breakpoints() { return breakpoints_; }
  const Breakpoints& breakpoints() const { return breakpoints_; }

  // Flags: SetFlagZ..SetFlagV are setFlag(Flag::Z..V, on).
  bool flag(Flag f) const { return flags_[static_cast<int>(f)]; }
  void setFlag(Flag f, bool on) {
    auto& state = flags_[static_cast<int>(f)];
    if (state == on) return;
    state = on;
    for (auto* observer : flag_observers_) observer->flagChanged(f);
  }

  // Step by step, with the lamp LPP lit: the run stops.
  void ErrorStop();
  // How many error stops there have been, so that callers can tell whether
  // an operation stopped the run.
  std::uint64_t errorStops() const { return error_stops_; }
  void showMessage(std::string_view text);

  // Control values.
  bool powerOn() const { return power_on_; }
  void setPowerOn(bool on) { update(power_on_, on, Control::PowerOn); }
  StepMode stepMode() const { return step_mode_; }
  bool stepByStep() const { return step_mode_ == StepMode::StepByStep; }
  // Every change of the step mode lights or darkens LPP with it.
  void setStepMode(StepMode mode);
  // Stepping back: the mode and the lamp as they were, the lamp dark in
  // step mode included.
  void restoreStepMode(StepMode mode, bool lamp);
  // The step lamp LPP. Dark at start although the mode is step by step, as
  // the panel is defined; from the first change of the mode on it follows
  // the mode.
  bool stepLamp() const { return step_lamp_; }
  PanelState panelState() const { return panel_state_; }
  void setPanelState(PanelState state) { update(panel_state_, state, Control::PanelState); }
  int stepInterval() const { return step_interval_; }
  void setStepInterval(int ms) { update(step_interval_, ms, Control::StepInterval); }
  bool initMemoryAtPowerOn() const { return init_memory_at_power_on_; }
  void setInitMemoryAtPowerOn(bool on) {
    update(init_memory_at_power_on_, on, Control::InitMemoryAtPowerOn);
  }
  bool disassemblerMode() const { return disassembler_mode_; }
  void setDisassemblerMode(bool on) { update(disassembler_mode_, on, Control::DisassemblerMode); }
  // The byte index under the grid's caret at its last key-down.
  std::int32_t memoryGridCursor() const { return memory_grid_cursor_; }
  void setMemoryGridCursor(std::int32_t index) {
    update(memory_grid_cursor_, index, Control::MemoryGridCursor);
  }

  const std::string& caption(MenuItem item) const {
    return captions_[static_cast<std::size_t>(item)];
  }
  void setCaption(MenuItem item, std::string_view text);

  // The text through which the value entry dialog returns a value.
  const WordText& EditedValue() const { return edited_value_; }
  void setEditedValue(const WordText& text) { edited_value_ = text; }

  void addObserver(MachineObserver* observer);
  void removeObserver(MachineObserver* observer);

 private:
  template <typename T>
  void update(T& state, T value, Control control) {
    if (state == value) return;
    state = value;
    for (auto* observer : control_observers_) observer->controlChanged(control);
  }

  UserInterface& ui_;
  RandomSource& random_;
  std::array<CellValue, kCellCount> cells_;
  std::array<bool, kFlagCount> flags_{};
  bool power_on_ = false;
  StepMode step_mode_ = StepMode::StepByStep;
  bool step_lamp_ = false;
  PanelState panel_state_ = PanelState::Executing;
  int step_interval_ = 1000;
  bool init_memory_at_power_on_ = true;
  bool disassembler_mode_ = false;
  std::int32_t memory_grid_cursor_ = 0;
  std::array<std::string, static_cast<std::size_t>(MenuItem::DisassemblerMode) + 1> captions_;
  WordText edited_value_;
  std::uint64_t error_stops_ = 0;
  std::uint64_t outputs_written_ = 0;
  MemoryStore memory_;
  Breakpoints breakpoints_;
  std::vector<MachineObserver*> observers_;
  std::vector<MachineObserver*> cell_observers_;
  std::vector<MachineObserver*> flag_observers_;
  std::vector<MachineObserver*> control_observers_;
  std::vector<MachineObserver*> caption_observers_;
  std::vector<MachineObserver*> pc_observers_;
};

}  // namespace orben
