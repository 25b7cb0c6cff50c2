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
class Listing {
 public:
  Listing();

  int count() const { return static_cast<int>(lines_.size()); }
  const std::string& line(int index) const { return lines_[index]; }
  // Appends, or inserts at the sorted place while sorted mode is on (after
  // any lines that compare equal). Returns the new line's index.
  int add(std::string line);
  void replace(int index, std::string line);
  void remove(int index);
  // ClearListing: every line goes, the selection with them.
  void clear();
  // Rewrites every line in place through `rewrite`; positions and the
  // selection stay.
  void rewriteAll(const std::function<std::string(const std::string&)>& rewrite);

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
    if (address < 0 || !index_valid_) return selectAddressSlow(pc, address);
    const int found = last_line_of_address_[static_cast<std::size_t>(address)];
    if (found >= 0 && found != selected_) select(found);
  }

  // The listing's order: case ignored, blanks and punctuation before digits,
  // digits before letters.
  static bool less(std::string_view a, std::string_view b);

  void addObserver(ListingObserver* observer);
  void removeObserver(ListingObserver* observer);

 private:
  void selectAddressSlow(const WordText& pc, int address);
  void linesMoved();
  void rebuildAddressIndex() const;

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
