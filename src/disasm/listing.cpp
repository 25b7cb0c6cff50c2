#include "disasm/listing.h"

#include <algorithm>

namespace orben {

namespace {

// Sort key of one character: its class, then its value within the class.
int collationKey(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  if (c >= '0' && c <= '9') return 0x100 + c;
  if (c >= 'a' && c <= 'z') return 0x200 + (c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return 0x200 + c;
  if (c < 0x80) return c;
  return 0x300 + c;
}

// The address of "[hhhh]" at `open`, or -1 when its digits are not four
// upper-case hexadecimal digits.
int addressOfBracket(const std::string& line, std::size_t open) {
  return wordAddress(std::string_view(line).substr(open + 1, 4));
}

}  // namespace

Listing::Listing() : last_line_of_address_(0x10000, -1) {}

bool Listing::less(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int ka = collationKey(a[i]);
    const int kb = collationKey(b[i]);
    if (ka != kb) return ka < kb;
  }
  return a.size() < b.size();
}

int Listing::add(std::string line) {
  int index = count();
  if (sorted_) {
    auto at =
        std::upper_bound(lines_.begin(), lines_.end(), line,
                         [](const std::string& x, const std::string& y) { return less(x, y); });
    index = static_cast<int>(at - lines_.begin());
  }
  lines_.insert(lines_.begin() + index, std::move(line));
  if (selected_ >= index) ++selected_;
  index_valid_ = false;
  for (auto* observer : observers_) observer->lineInserted(index);
  return index;
}

void Listing::replace(int index, std::string line) {
  if (index < 0 || index >= count()) return;
  lines_[index] = std::move(line);
  index_valid_ = false;
  for (auto* observer : observers_) observer->lineChanged(index);
}

void Listing::remove(int index) {
  if (index < 0 || index >= count()) return;
  lines_.erase(lines_.begin() + index);
  if (selected_ == index) {
    selected_ = -1;
  } else if (selected_ > index) {
    --selected_;
  }
  index_valid_ = false;
  for (auto* observer : observers_) observer->lineRemoved(index);
}

void Listing::clear() {
  lines_.clear();
  selected_ = -1;
  index_valid_ = false;
  for (auto* observer : observers_) observer->listingCleared();
}

void Listing::rewriteAll(const std::function<std::string(const std::string&)>& rewrite) {
  for (auto& line : lines_) line = rewrite(line);
  linesMoved();
}

void Listing::setSorted(bool sorted) {
  if (sorted == sorted_) return;
  sorted_ = sorted;
  if (!sorted_ || lines_.empty()) return;
  const std::string* selected_line = selected_ >= 0 ? &lines_[selected_] : nullptr;
  std::vector<int> order(lines_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(),
                   [this](int x, int y) { return less(lines_[x], lines_[y]); });
  std::vector<std::string> sorted_lines;
  sorted_lines.reserve(lines_.size());
  int new_selected = -1;
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (selected_line == &lines_[order[i]]) new_selected = static_cast<int>(i);
    sorted_lines.push_back(std::move(lines_[order[i]]));
  }
  lines_ = std::move(sorted_lines);
  selected_ = new_selected;
  linesMoved();
}

void Listing::select(int index) {
  if (index < -1 || index >= count() || index == selected_) return;
  const int previous = selected_;
  selected_ = index;
  for (auto* observer : observers_) observer->selectionChanged(previous, selected_);
}

int Listing::findLast(std::string_view needle) const {
  for (int i = count() - 1; i >= 0; --i) {
    if (lines_[i].find(needle) != std::string::npos) return i;
  }
  return -1;
}

void Listing::selectAddressSlow(const WordText& pc, int address) {
  if (address < 0) {
    // Not an address ("", "****"): the plain search, which finds nothing in
    // lines written by the loader or the disassembler mode.
    char needle[6] = {'['};
    const auto text = pc.view();
    std::copy(text.begin(), text.end(), needle + 1);
    needle[1 + text.size()] = ']';
    const int found = findLast(std::string_view(needle, text.size() + 2));
    if (found >= 0) select(found);
    return;
  }
  rebuildAddressIndex();
  const int found = last_line_of_address_[static_cast<std::size_t>(address)];
  if (found >= 0) select(found);
}

void Listing::rebuildAddressIndex() const {
  std::fill(last_line_of_address_.begin(), last_line_of_address_.end(), -1);
  for (int i = 0; i < count(); ++i) {
    const std::string& line = lines_[i];
    for (std::size_t open = line.find('['); open != std::string::npos && open + 5 < line.size();
         open = line.find('[', open + 1)) {
      if (line[open + 5] != ']') continue;
      const int address = addressOfBracket(line, open);
      if (address >= 0) last_line_of_address_[static_cast<std::size_t>(address)] = i;
    }
  }
  index_valid_ = true;
}

void Listing::linesMoved() {
  index_valid_ = false;
  for (auto* observer : observers_) observer->listingReset();
}

void Listing::addObserver(ListingObserver* observer) {
  observers_.push_back(observer);
}

void Listing::removeObserver(ListingObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

}  // namespace orben
