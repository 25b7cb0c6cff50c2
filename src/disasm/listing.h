#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "machine/word_text.h"

namespace orben {

class ListingObserver {
 public:
  virtual ~ListingObserver() = default;
  // Every line removed (ClearListing): the view scrolls back to its left edge.
  virtual void ListingCleared() = 0;
  // Lines were reordered or rewritten wholesale (sorting, a rebuild).
  virtual void ListingReset() = 0;
  virtual void LineInserted(int index) = 0;
  virtual void LineRemoved(int index) = 0;
  virtual void LineChanged(int index) = 0;
  virtual void SelectionChanged(int previous, int current) = 0;
};

// The program listing: an ordered list of text lines with at most one
// selected line and a sorted mode. Lines begin with "[hhhh]: " and are found
// by the text they contain, never by position.
class Listing {
 public:
  Listing();

  int Count() const { return static_cast<int>(lines_.size()); }
  const std::string& Line(int index) const { return lines_[index]; }
  // Appends, or inserts at the sorted place while sorted mode is on (after
  // any lines that compare equal). Returns the new line's index.
  int Add(std::string line);
  void Replace(int index, std::string line);
  void Remove(int index);
  // ClearListing: every line goes, the selection with them.
  void Clear();
  // Rewrites every line in place through `rewrite`; positions and the
  // selection stay.
  void RewriteAll(const std::function<std::string(const std::string&)>& rewrite);

  bool Sorted() const { return sorted_; }
  // On: the present lines are sorted. Off: they keep their order.
  void SetSorted(bool sorted);

  int Selected() const { return selected_; }
  // -1 clears the selection; an index outside the lines is ignored.
  void Select(int index);

  // Index of the last line containing `needle`, or -1.
  int FindLast(std::string_view needle) const;
  // The executing line's highlight: selects the last line that contains
  // "[" + pc + "]"; with no such line the selection stays. Costs a lookup,
  // not a scan, while the lines do not change.
  void SelectAddress(const WordText& pc) {
    const int address = WordAddress(pc.view());
    if (address < 0 || !index_valid_) return SelectAddressSlow(pc, address);
    const int found = last_line_of_address_[static_cast<std::size_t>(address)];
    if (found >= 0 && found != selected_) Select(found);
  }

  // The listing's order: case ignored, blanks and punctuation before digits,
  // digits before letters.
  static bool Less(std::string_view a, std::string_view b);

  void AddObserver(ListingObserver* observer);
  void RemoveObserver(ListingObserver* observer);

 private:
  void SelectAddressSlow(const WordText& pc, int address);
  void LinesMoved();
  void RebuildAddressIndex() const;

  std::vector<std::string> lines_;
  int selected_ = -1;
  bool sorted_ = false;
  // Last line holding "[hhhh]" for each address hhhh, rebuilt when the
  // lines have changed since the last lookup.
  mutable std::vector<std::int32_t> last_line_of_address_;
  mutable bool index_valid_ = false;
  std::vector<ListingObserver*> observers_;
};

}  // namespace orben
