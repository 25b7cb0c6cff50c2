#include "disasm/listing.h"

#include <algorithm>

#include "disasm/disassembler.h"

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
int addressOfBracket(std::string_view line, std::size_t open) {
  return wordAddress(line.substr(open + 1, 4));
}

// "[hhhh]: " of `address`.
std::string keyOf(std::uint16_t address) {
  std::string key = "[";
  key += wordOf(address).view();
  key += "]: ";
  return key;
}

// The address of a listing key "[hhhh]: " (exactly that text), or -1.
int addressOfKey(std::string_view text) {
  if (text.size() != 8 || text[0] != '[' || text.substr(5) != "]: ") return -1;
  return addressOfBracket(text, 0);
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

std::string Listing::textOf(const Entry& entry) const {
  if (!compact(entry)) return texts_[entry.text];
  const WordText word = wordOf(entry.word);
  return keyOf(entry.address) +
         (entry.text == kRaw ? std::string(word.view()) : Disassemble(word.view()));
}

std::string Listing::line(int index) const {
  return textOf(lines_[static_cast<std::size_t>(index)]);
}

Listing::Entry Listing::entryOf(std::string line) {
  // "[hhhh]: cccc", as a load writes it, is kept as its address and word.
  const std::string_view text(line);
  if (text.size() == 12) {
    const int address = addressOfKey(text.substr(0, 8));
    const int word = wordAddress(text.substr(8));
    if (address >= 0 && word >= 0) {
      return {static_cast<std::uint16_t>(address), static_cast<std::uint16_t>(word), kRaw};
    }
  }
  Entry entry;
  if (free_texts_.empty()) {
    entry.text = static_cast<std::uint32_t>(texts_.size());
    texts_.push_back(std::move(line));
  } else {
    entry.text = free_texts_.back();
    free_texts_.pop_back();
    texts_[entry.text] = std::move(line);
  }
  return entry;
}

void Listing::dropText(const Entry& entry) {
  if (compact(entry)) return;
  texts_[entry.text] = std::string();
  free_texts_.push_back(entry.text);
}

bool Listing::before(const Entry& a, const Entry& b) const {
  // Both lines begin with their keys: upper-case digits collate in the
  // order of their values, so different addresses decide at once.
  if (compact(a) && compact(b) && a.address != b.address) return a.address < b.address;
  return less(textOf(a), textOf(b));
}

int Listing::insert(Entry entry) {
  int index = count();
  if (sorted_) {
    const auto at =
        std::upper_bound(lines_.begin(), lines_.end(), entry,
                         [this](const Entry& x, const Entry& y) { return before(x, y); });
    index = static_cast<int>(at - lines_.begin());
  }
  lines_.insert(lines_.begin() + index, entry);
  if (selected_ >= index) ++selected_;
  index_valid_ = false;
  for (auto* observer : observers_) observer->lineInserted(index);
  return index;
}

int Listing::add(std::string line) {
  return insert(entryOf(std::move(line)));
}

int Listing::add(std::uint16_t address, std::uint16_t word, Form form) {
  return insert({address, word, form == Form::Raw ? kRaw : kDisassembled});
}

void Listing::replace(int index, std::string line) {
  if (index < 0 || index >= count()) return;
  Entry& entry = lines_[static_cast<std::size_t>(index)];
  dropText(entry);
  entry = entryOf(std::move(line));
  index_valid_ = false;
  for (auto* observer : observers_) observer->lineChanged(index);
}

void Listing::remove(int index) {
  if (index < 0 || index >= count()) return;
  dropText(lines_[static_cast<std::size_t>(index)]);
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
  // Swapped out, so that the memory of a long listing goes back at once.
  std::deque<Entry>().swap(lines_);
  std::vector<std::string>().swap(texts_);
  std::vector<std::uint32_t>().swap(free_texts_);
  selected_ = -1;
  index_valid_ = false;
  for (auto* observer : observers_) observer->listingCleared();
}

void Listing::disassembleAll() {
  for (Entry& entry : lines_) {
    if (compact(entry)) {
      entry.text = kDisassembled;
      continue;
    }
    // A line kept as text: its address part and the disassembly of its
    // characters 9 to 12, whatever they are.
    std::string& text = texts_[entry.text];
    const std::string_view view(text);
    const std::string_view content = view.size() > 8 ? view.substr(8, 4) : std::string_view();
    text = std::string(view.substr(0, 8)) + Disassemble(content);
  }
  linesMoved();
}

void Listing::setSorted(bool sorted) {
  if (sorted == sorted_) return;
  sorted_ = sorted;
  if (!sorted_ || lines_.empty()) return;
  std::vector<int> order(lines_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [this](int x, int y) {
    return before(lines_[static_cast<std::size_t>(x)], lines_[static_cast<std::size_t>(y)]);
  });
  std::deque<Entry> sorted_lines;
  int new_selected = -1;
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (order[i] == selected_) new_selected = static_cast<int>(i);
    sorted_lines.push_back(lines_[static_cast<std::size_t>(order[i])]);
  }
  lines_ = std::move(sorted_lines);
  selected_ = new_selected;
  linesMoved();
}

void Listing::select(int index) {
  if (index < -1 || index >= count() || index == selected_) return;
  selectLine(index);
}

int Listing::findLast(std::string_view needle) const {
  // A listing key is found in a line kept as address and word exactly when
  // the addresses agree: neither raw digits nor disassembly hold "[hhhh]: ".
  const int key_address = addressOfKey(needle);
  for (int i = count() - 1; i >= 0; --i) {
    const Entry& entry = lines_[static_cast<std::size_t>(i)];
    if (key_address >= 0 && compact(entry)) {
      if (entry.address == key_address) return i;
    } else if (textOf(entry).find(needle) != std::string::npos) {
      return i;
    }
  }
  return -1;
}

void Listing::selectTextAddress(const WordText& pc) {
  // Not an address ("", "****"): the plain search, which finds nothing in
  // lines written by the loader or the disassembler mode.
  char needle[6] = {'['};
  const auto text = pc.view();
  std::copy(text.begin(), text.end(), needle + 1);
  needle[1 + text.size()] = ']';
  const int found = findLast(std::string_view(needle, text.size() + 2));
  if (found >= 0) select(found);
}

void Listing::rebuildAddressIndex() const {
  // Only the addresses the last lines held go back to none: a short
  // listing costs little to index again.
  for (const std::uint16_t address : indexed_) last_line_of_address_[address] = -1;
  indexed_.clear();
  const auto index = [this](std::size_t address, int line) {
    if (last_line_of_address_[address] < 0) indexed_.push_back(static_cast<std::uint16_t>(address));
    last_line_of_address_[address] = line;
  };
  for (int i = 0; i < count(); ++i) {
    const Entry& entry = lines_[static_cast<std::size_t>(i)];
    if (compact(entry)) {
      // Its only "[hhhh]" is its key.
      index(entry.address, i);
      continue;
    }
    const std::string_view line(texts_[entry.text]);
    for (std::size_t open = line.find('['); open != std::string::npos && open + 5 < line.size();
         open = line.find('[', open + 1)) {
      if (line[open + 5] != ']') continue;
      const int address = addressOfBracket(line, open);
      if (address >= 0) index(static_cast<std::size_t>(address), i);
    }
  }
  index_valid_ = true;
}

void Listing::addLinedAddresses(std::array<bool, 0x10000>& addresses) const {
  if (!index_valid_) rebuildAddressIndex();
  for (const std::uint16_t address : indexed_) addresses[address] = true;
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
