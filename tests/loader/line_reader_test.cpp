#include "loader/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loader_support.h"

namespace orben {
namespace {

using testing::ProbeSource;

// Every line a reader gives, as the readers take them: one read always,
// then more while the end has not come.
std::vector<std::string> allLines(std::string_view data, std::size_t block, std::size_t chunk) {
  MemorySource source(data, chunk);
  LineReader reader(source, 0, block);
  std::vector<std::string> lines;
  std::string line;
  do {
    EXPECT_TRUE(reader.readLine(line));
    lines.push_back(line);
  } while (!reader.atEnd());
  EXPECT_FALSE(reader.failed());
  return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReader, EachKindOfLineEndEndsOneLine) {
  struct Case {
    std::string data;
    Lines lines;
  } cases[] = {
      {"", {""}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},  // a trailing line end gives no extra line
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"a\n\rb", {"a", "", "b"}},  // a line feed then a carriage return: two ends
      {"a\r\r\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {"\n\n", {"", ""}},
      {"a\x1A"
       "b\r\nc",
       {"a"}},  // nothing after 1AH is read
      {"a\r\n\x1A\r\nb", {"a"}},
      {"a\r\x1A\n", {"a"}},
      {"\x1A", {""}},
      {std::string("\x00\xFF\x80 \t\x1B", 6) + "\r\n", {std::string("\x00\xFF\x80 \t\x1B", 6)}},
  };
  for (const auto& c : cases) {
    // Small blocks and short reads put every line end across a block border.
    for (std::size_t block :
         {std::size_t{1}, std::size_t{2}, std::size_t{3}, LineReader::kBlockSize}) {
      for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, SIZE_MAX}) {
        EXPECT_EQ(allLines(c.data, block, chunk), c.lines)
            << "data [" << c.data << "] block " << block << " chunk " << chunk;
      }
    }
  }
}

TEST(LineReader, ReadErrorInsideALineGivesNoLine) {
  ProbeSource source("uno\r\ndo", true, 3);
  LineReader reader(source, 0, 4);
  std::string line;
  ASSERT_TRUE(reader.readLine(line));
  EXPECT_EQ(line, "uno");
  EXPECT_FALSE(reader.atEnd());
  EXPECT_FALSE(reader.readLine(line));
  EXPECT_EQ(reader.error(), "fallo de lectura");
  EXPECT_TRUE(reader.atEnd());
}

TEST(LineReader, ReadErrorAfterAWholeLineKeepsTheLine) {
  // The error comes while looking for a line feed behind the carriage return.
  ProbeSource source("uno\r", true);
  LineReader reader(source);
  std::string line;
  ASSERT_TRUE(reader.readLine(line));
  EXPECT_EQ(line, "uno");
  EXPECT_TRUE(reader.atEnd());
  EXPECT_TRUE(reader.failed());
}

TEST(LineReader, CloseLetsGoAndReadsNoMore) {
  ProbeSource source("a\r\nb\r\n", false, 3);
  LineReader reader(source, 0, 3);
  std::string line;
  ASSERT_TRUE(reader.readLine(line));
  reader.close();
  const int reads = source.reads;
  EXPECT_TRUE(source.closed);
  EXPECT_TRUE(reader.atEnd());
  EXPECT_EQ(source.reads, reads);
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
