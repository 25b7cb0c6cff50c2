#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "disasm/listing.h"
#include "machine/cells.h"
#include "machine/memory_store.h"
#include "machine/word_text.h"

namespace orben {

class RandomSource;
class UserInterface;

// The machine-wide control values and the panel state that the windows
// mirror (which controls are enabled, lamps, menu captions).
enum class Control : std::uint8_t {
  PowerOn,              // 1 while switched on
  StepMode,             // 1 step by step (lamp LPP lit), 0 timed run
  PanelState,           // 0 address, 1 register, 2 executing, 3 continue, 4 paused
  StepInterval,         // step timer interval, ms
  InitMemoryAtPowerOn,  // check of MInicializar_memoria_al_Encender_TUKA2
  DisassemblerMode,
  MemoryGridCursor,
  PanelEnabled,             // keys T0..TF, BDireccion, BRegistros, BCargar, BEjecutar, BContinuar
  StepButtonEnabled,        // BPasoPaso
  StepMenuEnabled,          // MModoPasoapaso
  PowerLamp,                // LOn
  PowerMenuCaption,         // MApagar_TUKA2
  StepMenuCaption,          // MModoPasoapaso
  DisassemblerMenuCaption,  // Mododesensamblador1
};
inline constexpr int kControlCount = 14;

class MachineObserver {
 public:
  virtual ~MachineObserver() = default;
  virtual void cellChanged(CellId cell) = 0;
  virtual void flagChanged(Flag flag) = 0;
  virtual void controlChanged(Control control) = 0;
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
// store, the program listing and the control values, with the primitive
// operations on them. Every change is notified once to the observers; a
// write of the text a cell already holds changes nothing.
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
  Listing& listing() { return listing_; }
  const Listing& listing() const { return listing_; }

  // Cells.
  const WordText& cell(CellId id) const { return cells_[id]; }
  void setCell(CellId id, const WordText& text) {
    if (cells_[id] == text) return;
    cells_[id] = text;
    for (auto* observer : observers_) observer->cellChanged(id);
  }
  WordText ReadRegister(int n) const {
    return n >= 0 && n < kRegisterCount ? cells_[registerCell(n)] : WordText();
  }
  // Cut to four characters; a number outside 0..15 does nothing.
  void WriteRegister(int n, const WordText& text) {
    if (n >= 0 && n < kRegisterCount) setCell(registerCell(n), text);
  }

  // Memory: the empty text where there is no storage (F000 and above).
  WordText ReadMemoryWord(long long address) const {
    if (address < 0 || 2 * address + 1 >= static_cast<long long>(memory_.size())) return {};
    const std::uint8_t* word = memory_.data() + 2 * address;
    return wordOf(static_cast<unsigned>(word[0] << 8 | word[1]));
  }
  // Refused at F000 and above: ErrorStop, then the message, nothing stored.
  // A byte pair holding 'X' stores FFH.
  void WriteMemoryWord(long long address, const WordText& text);

  // Flags.
  bool flag(Flag f) const { return flags_[static_cast<int>(f)]; }
  void setFlag(Flag f, bool on) {
    auto& state = flags_[static_cast<int>(f)];
    if (state == on) return;
    state = on;
    for (auto* observer : observers_) observer->flagChanged(f);
  }
  void SetFlagZ(bool on) { setFlag(Flag::Z, on); }
  void SetFlagS(bool on) { setFlag(Flag::S, on); }
  void SetFlagC(bool on) { setFlag(Flag::C, on); }
  void SetFlagV(bool on) { setFlag(Flag::V, on); }

  // StepMode := 1 and the step lamp LPP lit; the run stops.
  void ErrorStop();
  // How many error stops there have been, so that callers can tell whether
  // an operation stopped the run.
  std::uint64_t errorStops() const { return error_stops_; }
  void showMessage(std::string_view text);

  // Control values.
  int control(Control c) const { return controls_[static_cast<int>(c)]; }
  void setControl(Control c, int value) {
    auto& state = controls_[static_cast<int>(c)];
    if (state == value) return;
    state = value;
    for (auto* observer : observers_) observer->controlChanged(c);
  }
  const std::string& caption(Control c) const;
  void setCaption(Control c, std::string text);

  int PowerOn() const { return control(Control::PowerOn); }
  int StepMode() const { return control(Control::StepMode); }
  int PanelState() const { return control(Control::PanelState); }
  int StepInterval() const { return control(Control::StepInterval); }
  int InitMemoryAtPowerOn() const { return control(Control::InitMemoryAtPowerOn); }
  int DisassemblerMode() const { return control(Control::DisassemblerMode); }
  // The step lamp LPP is lit exactly while StepMode is 1.
  bool stepLamp() const { return StepMode() == 1; }

  // The text through which the value entry dialog returns a value.
  const WordText& EditedValue() const { return edited_value_; }
  void setEditedValue(const WordText& text) { edited_value_ = text; }

  void addObserver(MachineObserver* observer);
  void removeObserver(MachineObserver* observer);

 private:
  UserInterface& ui_;
  RandomSource& random_;
  std::array<WordText, kCellCount> cells_;
  std::array<bool, kFlagCount> flags_{};
  std::array<int, kControlCount> controls_{};
  std::string power_menu_caption_;
  std::string step_menu_caption_;
  std::string disassembler_menu_caption_;
  WordText edited_value_;
  std::uint64_t error_stops_ = 0;
  MemoryStore memory_;
  Listing listing_;
  std::vector<MachineObserver*> observers_;
};

}  // namespace orben
