#include "loader/line_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "loader_support.h"

namespace orben {
namespace {

using testing::Lines;
using testing::ProbeSource;

// Every line a reader gives, as the readers take them: one read always,
// then more while the end has not come; a read error shows as a last line.
Lines allLines(std::string_view data, bool fail, std::size_t block, std::size_t chunk) {
  ProbeSource source(data, fail, chunk);
  LineReader reader(source, 0, block);
  Lines lines;
  std::string line;
  do {
    lines.push_back(reader.readLine(line) ? line : "(cut short)");
  } while (!reader.atEnd());
  if (reader.failed()) lines.push_back("(" + reader.error() + ")");
  return lines;
}

TEST(LineReader, EachKindOfLineEndEndsOneLine) {
  struct Case {
    std::string data;
    Lines lines;
    bool fail = false;
  } cases[] = {
      {"", {""}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},  // a final line end gives no extra line
      {"a\rb\r", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"a\n\rb", {"a", "", "b"}},  // a line feed then a carriage return: two ends
      {"a\r\r\nb", {"a", "", "b"}},
      {"\r\n\r\n", {"", ""}},
      {"a\x1A"
       "b\r\nc",
       {"a"}},  // nothing after 1AH is read
      {"a\r\n\x1A\r\nb", {"a"}},
      {"a\r\x1A\n", {"a"}},
      {"\x1A", {""}},
      {std::string("\x00\xFF\x80 \t\x1B", 6) + "\r\n", {std::string("\x00\xFF\x80 \t\x1B", 6)}},
      // A read error cuts short only a line still without its end.
      {"uno\r\ndo", {"uno", "(cut short)", "(fallo de lectura)"}, true},
      {"uno\r", {"uno", "(fallo de lectura)"}, true},
      {"uno\r\n", {"uno", "(fallo de lectura)"}, true},
  };
  for (const auto& c : cases) {
    // Small blocks and short reads put every line end across a block border.
    for (std::size_t block :
         {std::size_t{1}, std::size_t{2}, std::size_t{3}, LineReader::kBlockSize}) {
      for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, SIZE_MAX}) {
        EXPECT_EQ(allLines(c.data, c.fail, block, chunk), c.lines)
            << "data [" << c.data << "] block " << block << " chunk " << chunk;
      }
    }
  }
}

TEST(LineReader, CloseLetsGoAndReadsNoMore) {
  ProbeSource source("a\r\nb\r\n", false, 3);
  LineReader reader(source, 0, 3);
  std::string line;
  ASSERT_TRUE(reader.readLine(line));
  reader.close();
  EXPECT_TRUE(source.closed);
  EXPECT_TRUE(reader.atEnd());
}

TEST(LineReader, LongLineTakesItsRoomOnceWhenTheSizeIsKnown) {
  const std::string data(100000, 'x');
  MemorySource source(data, 1000);
  LineReader reader(source, data.size(), 1000);
  std::string line;
  ASSERT_TRUE(reader.readLine(line));
  EXPECT_EQ(line, data);
  // Doubling growth would leave up to twice the room.
  EXPECT_LT(line.capacity(), data.size() + data.size() / 8);
}

}  // namespace
}  // namespace orben
