#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orben {

class MemoryStoreObserver {
 public:
  virtual ~MemoryStoreObserver() = default;
  // Bytes first..first+count-1 took new values.
  virtual void bytesChanged(std::size_t first, std::size_t count) = 0;
  // The whole content was replaced (its size may differ).
  virtual void contentReplaced() = 0;
};

// The machine's memory as the grid shows it: a plain byte sequence, word a
// at bytes 2a (high) and 2a+1 (low). Its size is set by replacing the whole
// content; nothing else inserts or removes bytes.
class MemoryStore {
 public:
  static constexpr std::size_t kMachineBytes = 0x1E000;  // words 0000..EFFF

  MemoryStore() = default;
  explicit MemoryStore(std::size_t size) : bytes_(size, 0) {}

  std::size_t size() const { return bytes_.size(); }
  std::uint8_t byte(std::size_t index) const { return bytes_[index]; }
  const std::uint8_t* data() const { return bytes_.data(); }

  // One byte; an index outside 0..size-1 throws std::out_of_range with
  // "Invalid SetMemory index".
  void setByte(long long index, std::uint8_t value);
  // Consecutive bytes from `first`, as one change; out of range throws
  // like setByte and stores nothing.
  void setBytes(long long first, std::span<const std::uint8_t> values);
  // The data becomes exactly `bytes`.
  void replace(std::vector<std::uint8_t> bytes);
  // Two upper-case hexadecimal characters per byte, in order.
  std::string hexText() const;

  void addObserver(MemoryStoreObserver* observer);
  void removeObserver(MemoryStoreObserver* observer);

 private:
  std::vector<std::uint8_t> bytes_;
  std::vector<MemoryStoreObserver*> observers_;
};

}  // namespace orben
