#include "machine/memory_store.h"

#include <algorithm>
#include <stdexcept>

#include "machine/word_text.h"

namespace orben {

void MemoryStore::setByte(long long index, std::uint8_t value) {
  const std::uint8_t one[1] = {value};
  setBytes(index, one);
}

void MemoryStore::setBytes(long long first, std::span<const std::uint8_t> values) {
  if (first < 0 || static_cast<std::size_t>(first) + values.size() > bytes_.size()) {
    throw std::out_of_range("Invalid SetMemory index");
  }
  const auto start = static_cast<std::size_t>(first);
  std::copy(values.begin(), values.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(start));
  for (auto* observer : observers_) observer->bytesChanged(start, values.size());
}

void MemoryStore::replace(std::vector<std::uint8_t> bytes) {
  bytes_ = std::move(bytes);
  for (auto* observer : observers_) observer->contentReplaced();
}

std::string MemoryStore::hexText() const {
  std::string text;
  text.reserve(bytes_.size() * 2);
  for (std::uint8_t b : bytes_) {
    text += HexDigitToChar(b >> 4);
    text += HexDigitToChar(b & 0xF);
  }
  return text;
}

void MemoryStore::addObserver(MemoryStoreObserver* observer) {
  observers_.push_back(observer);
}

void MemoryStore::removeObserver(MemoryStoreObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

}  // namespace orben
