#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "disasm/listing.h"
#include "machine/memory_store.h"
#include "machine/random_source.h"
#include "panel/tuka2.h"
#include "web/web_ui.h"

namespace orben::web {

// Counts the listing's changes of lines, so that the page reads the lines
// again only when they have changed (the marked line it reads each frame).
class ListingRevision final : public ListingObserver {
 public:
  std::uint64_t revision() const { return revision_; }
  void listingCleared() override { ++revision_; }
  void listingReset() override { ++revision_; }
  void lineInserted(int) override { ++revision_; }
  void lineRemoved(int) override { ++revision_; }
  void lineChanged(int) override { ++revision_; }
  void selectionChanged(int, int) override {}

 private:
  std::uint64_t revision_ = 0;
};

// Counts the memory's whole replacements, after which the grid's caret
// goes home and its typing marks go.
class MemoryRevision final : public MemoryStoreObserver {
 public:
  std::uint64_t revision() const { return revision_; }
  void bytesChanged(std::size_t, std::size_t) override {}
  void contentReplaced() override { ++revision_; }

 private:
  std::uint64_t revision_ = 0;
};

// The page's TUKA-2: the whole machine over the page's user, started as
// ORBEN starts (memory random, TUKA-2 off). Each of the page's controls is
// one call here, its question answered before the call.
class WebMachine {
 public:
  // `seed` is a JavaScript number: a whole number below 2^53.
  explicit WebMachine(double seed);
  ~WebMachine();
  WebMachine(const WebMachine&) = delete;
  WebMachine& operator=(const WebMachine&) = delete;

  Tuka2& tuka() { return tuka_; }
  const Tuka2& tuka() const { return tuka_; }
  WebUi& ui() { return ui_; }

  // A click on an editable display (a register, PC, an input port, the
  // keypad): `answer` is what the value entry dialog gave, nothing after
  // Cancelar. False for a name that is no display.
  bool editDisplay(std::string_view name, std::optional<WordText> answer);
  // The speed dialog's answer: the item marked, -1 none, nothing after
  // Cancelar.
  void chooseSpeed(std::optional<int> item);
  // Modo Desensamblador with the question's answer (asked only when the
  // mode is off).
  void toggleDisassemblerMode(bool yes);
  // Cargar programa objeto: the listing empties as the dialog opens.
  void openLoad();
  // The chosen file, read whole.
  LoadOutcome loadChosen(const std::string& name, std::string_view bytes);
  // Up to `count` ticks of the step timer, one instruction each; the ticks
  // end early at a box (the page shows it before the run goes on) or once
  // the run has stopped. The number of instructions executed.
  int tick(int count);
  // Whether the step timer's ticks execute: on, timed and executing.
  bool running() const;

  std::uint64_t listingRevision() const { return revision_.revision(); }
  std::uint64_t memoryRevision() const { return memory_revision_.revision(); }

 private:
  WebUi ui_;
  SeededRandom random_;
  Tuka2 tuka_;
  ListingRevision revision_;
  MemoryRevision memory_revision_;
};

}  // namespace orben::web
