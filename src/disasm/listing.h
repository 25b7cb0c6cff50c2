#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "machine/word_text.h"

namespace orben {

class ListingObserver {
 public:
  virtual ~ListingObserver() = default;
  // Every line removed (ClearListing): the view scrolls back to its left edge.
  virtual void listingCleared() = 0;
  // Lines were reordered or rewritten wholesale (sorting, a rebuild).
  virtual void listingReset() = 0;
  virtual void lineInserted(int index) = 0;
  virtual void lineRemoved(int index) = 0;
  virtual void lineChanged(int index) = 0;
  virtual void selectionChanged(int previous, int current) = 0;
};

// The program listing: an ordered list of text lines with at most one
// selected line and a sorted mode. Lines begin with "[hhhh]: " and are found
// by the text they contain, never by position.
//
// The lines a load and the disassembler mode write are kept as their
// address and word only, eight bytes a line, and their text is made when it
// is asked for; any other text is kept as it is.
class Listing {
 public:
  // A line kept as its address and word: the raw line of a load
  // ("[0010]: 2105") or its disassembled form ("[0010]: LLI R1, H'05").
  enum class Form : std::uint8_t { Raw, Disassembled };

  Listing();

  int count() const { return static_cast<int>(lines_.size()); }
  // The text of the line at `index`.
  std::string line(int index) const;
  // Appends, or inserts at the sorted place while sorted mode is on (after
  // any lines that compare equal). Returns the new line's index. A text
  // that is a raw line is kept as its address and word.
  int add(std::string line);
  int add(std::uint16_t address, std::uint16_t word, Form form);
  void replace(int index, std::string line);
  void remove(int index);
  // ClearListing: every line goes, the selection with them.
  void clear();
  // Every line becomes its first eight characters (the address part) and
  // the disassembly of its characters 9 to 12 (the content digits), in
  // place; positions and the selection stay.
  void disassembleAll();

  bool sorted() const { return sorted_; }
  // On: the present lines are sorted. Off: they keep their order.
  void setSorted(bool sorted);

  int selected() const { return selected_; }
  // -1 clears the selection; an index outside the lines is ignored.
  void select(int index);

  // Index of the last line containing `needle`, or -1.
  int findLast(std::string_view needle) const;
  // The executing line's highlight: selects the last line that contains
  // "[" + pc + "]"; with no such line the selection stays. Costs a lookup,
  // not a scan, while the lines do not change.
  void selectAddress(const WordText& pc) {
    const int address = wordAddress(pc.view());
    if (address < 0) return selectTextAddress(pc);
    selectWordAddress(static_cast<std::uint16_t>(address));
  }
  // The same for a PC that holds a word.
  void selectWordAddress(std::uint16_t address) {
    if (!index_valid_) rebuildAddressIndex();
    const int found = last_line_of_address_[address];
    if (found >= 0 && found != selected_) selectLine(found);
  }
  // Sets the flag of every word whose "[hhhh]" some line contains.
  void addLinedAddresses(std::array<bool, 0x10000>& addresses) const;

  // The listing's order: case ignored, blanks and punctuation before digits,
  // digits before letters.
  static bool less(std::string_view a, std::string_view b);

  void addObserver(ListingObserver* observer);
  void removeObserver(ListingObserver* observer);

 private:
  // A line: its address and word, with `text` telling its form; or, for a
  // line kept as text, `text` is the index of that text in texts_.
  struct Entry {
    std::uint16_t address = 0;
    std::uint16_t word = 0;
    std::uint32_t text = 0;
  };
  static constexpr std::uint32_t kRaw = 0xFFFFFFFF;
  static constexpr std::uint32_t kDisassembled = 0xFFFFFFFE;
  static bool compact(const Entry& entry) { return entry.text >= kDisassembled; }

  std::string textOf(const Entry& entry) const;
  Entry entryOf(std::string line);
  void dropText(const Entry& entry);
  // The listing's order of two lines (less on their texts), quick for
  // lines of different addresses.
  bool before(const Entry& a, const Entry& b) const;
  int insert(Entry entry);
  void selectTextAddress(const WordText& pc);
  // Selects `index` (-1: none), which is in range and not selected.
  void selectLine(int index) {
    const int previous = selected_;
    selected_ = index;
    for (auto* observer : observers_) observer->selectionChanged(previous, selected_);
  }
  void linesMoved();
  void rebuildAddressIndex() const;

  std::deque<Entry> lines_;
  std::vector<std::string> texts_;
  std::vector<std::uint32_t> free_texts_;
  int selected_ = -1;
  bool sorted_ = false;
  // Last line holding "[hhhh]" for each address hhhh, rebuilt when the
  // lines have changed since the last lookup.
  mutable std::vector<std::int32_t> last_line_of_address_;
  mutable std::vector<std::uint16_t> indexed_;  // the addresses that have a line
  mutable bool index_valid_ = false;
  std::vector<ListingObserver*> observers_;
};

}  // namespace orben
