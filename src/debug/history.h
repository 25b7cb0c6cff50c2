#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "debug/step_changes.h"
#include "disasm/listing.h"
#include "machine/machine.h"
#include "machine/processor.h"

namespace orben {

class Tuka2;

// The executed instructions, newest last, each with what it changed, so
// that stepping back leaves the machine exactly as it was before the
// instruction: its cells (output ports included), flags, memory words,
// step mode and lamp, panel state, the ports written, the listing's
// marked line and the count of executions. Messages already shown stay
// shown.
//
// Anything else that changes a cell, a flag, memory or the listing's
// lines (power, a load, a hand edit, the keypad) ends the history: stepping
// back never crosses it. The oldest steps go first once `capacity` is
// reached; with capacity 0 nothing is kept and only the last step's
// changes are told.
//
// A run on plain numbers goes on while a history watches: it hands over
// what each of its instructions overwrote (NumberStep), and each becomes a
// step of its own.
class History final : public MachineObserver,
                      public MemoryStoreObserver,
                      public ListingObserver,
                      public InstructionObserver {
 public:
  static constexpr std::size_t kDefaultCapacity = 1'000'000;

  explicit History(Tuka2& tuka, std::size_t capacity = kDefaultCapacity);
  ~History() override;
  History(const History&) = delete;
  History& operator=(const History&) = delete;

  // How many steps back there are.
  std::size_t depth() const { return depth_; }
  // Restores the state before the newest step; false when there is none.
  bool stepBack();
  // What the last step forward (or run on plain numbers) changed, or the
  // last step back restored.
  const StepChanges& lastChanges() const { return last_; }
  // The bytes the kept steps take.
  std::size_t bytesUsed() const;
  // Forgets every step.
  void clear();

  // MachineObserver
  Notices notices() const override {
    return {.cells = true,
            .flags = true,
            .controls = true,
            .captions = false,
            .program_counter = false};
  }
  void cellChanged(CellId cell) override;
  void flagChanged(Flag flag) override;
  void controlChanged(Control control) override;
  // MemoryStoreObserver
  void bytesChanged(std::size_t first, std::size_t count) override;
  void contentReplaced() override;
  // ListingObserver
  void listingCleared() override { linesChanged(); }
  void listingReset() override { linesChanged(); }
  void lineInserted(int) override { linesChanged(); }
  void lineRemoved(int) override { linesChanged(); }
  void lineChanged(int) override { linesChanged(); }
  void selectionChanged(int previous, int current) override;
  // InstructionObserver
  void instructionBegins() override;
  void instructionEnds(Outcome outcome) override;
  NumberSteps* numberSteps() override { return capacity_ > 0 ? &number_steps_ : nullptr; }
  bool watchesStretches() const override { return true; }
  void stretchBegins() override;
  void stretchEnds(std::uint64_t instructions) override;

 private:
  // Where the observers' calls come from.
  enum class Phase : std::uint8_t { Idle, Instruction, Stretch, Restoring };
  // The steps of a block are all records or all number steps.
  struct Block {
    bool on_numbers = false;
    std::vector<std::uint8_t> bytes;  // records, each followed by its length
    std::vector<NumberStep> numbers;  // or one NumberStep a step
    std::size_t steps = 0;
  };
  static constexpr std::size_t kStepsPerBlock = 4096;

  void linesChanged();
  // Puts the mode, lamp and panel state that changed since they were last
  // seen into the record, during an instruction.
  void recordControls();
  // A change from outside an instruction: the history ends.
  void ended();
  void put(std::uint8_t byte) { record_.push_back(byte); }
  void putBytes(std::uint64_t value, int count);
  void keep();
  void keepNumbers(const NumberStep* first, std::size_t count);
  // The last block, if it has room for a step of the kind; else a new one.
  Block& blockFor(bool on_numbers);
  void dropTheOldest();
  void undo(const std::uint8_t* first, const std::uint8_t* last);
  void undoNumbers(const NumberStep& step);

  Machine& m_;
  Processor& processor_;
  Listing& listing_;
  std::size_t capacity_;
  Phase phase_ = Phase::Idle;
  bool unrecordable_ = false;  // the instruction changed what no step restores
  // The state as the observers last saw it: where the old values come from.
  // The controls as the last instruction (or step back) left them.
  std::vector<CellValue> cells_;
  std::uint8_t flags_ = 0;
  std::vector<std::uint8_t> memory_;
  StepMode step_mode_;
  bool lamp_;
  PanelState panel_state_;
  int selected_;
  std::uint64_t outputs_before_ = 0;
  int stretch_selected_ = -1;  // the selected line as a stretch began
  NumberSteps number_steps_;

  std::vector<std::uint8_t> record_;
  std::deque<Block> blocks_;
  std::size_t depth_ = 0;
  StepChanges last_;
};

}  // namespace orben
