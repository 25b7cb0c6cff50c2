// A source opened in the editor and saved again keeps its encoding and its
// line ends: untouched, byte for byte; edited, written the way it came.
#include "assembler/source_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "assembler/source_colours.h"
#include "assembler/source_text.h"

namespace orben::assembler {
namespace {

struct FileCase {
  const char* label;
  std::string bytes;
  std::string text;  // what the editor shows: UTF-8, lines ended by LF
  SourceEncoding encoding;
  LineEnd line_end;
};

// "ñ" is C3 B1 in UTF-8 and F1 in Windows-1252; "€" E2 82 AC and 80.
const FileCase kFiles[] = {
    {"LF", "LLI R1, 5\nHALT\n", "LLI R1, 5\nHALT\n", SourceEncoding::Utf8, LineEnd::Lf},
    {"CR LF", "LLI R1, 5\r\nHALT\r\n", "LLI R1, 5\nHALT\n", SourceEncoding::Utf8, LineEnd::CrLf},
    {"CR", "LLI R1, 5\rHALT\r", "LLI R1, 5\nHALT\n", SourceEncoding::Utf8, LineEnd::Cr},
    {"no end on the last line", "HALT\r\nRET", "HALT\nRET", SourceEncoding::Utf8, LineEnd::CrLf},
    {"mixed, the first end kept", "A:\r\nB:\nC:\r", "A:\nB:\nC:\n", SourceEncoding::Utf8,
     LineEnd::CrLf},
    {"no line end at all", "HALT", "HALT", SourceEncoding::Utf8, LineEnd::Lf},
    {"UTF-8", "; a\xC3\xB1o\n", "; a\xC3\xB1o\n", SourceEncoding::Utf8, LineEnd::Lf},
    {"UTF-8 with BOM", "\xEF\xBB\xBF; a\xC3\xB1o\r\n", "; a\xC3\xB1o\n",
     SourceEncoding::Utf8WithBom, LineEnd::CrLf},
    {"Windows-1252", "; a\xF1o \x80\r\n", "; a\xC3\xB1o \xE2\x82\xAC\n",
     SourceEncoding::Windows1252, LineEnd::CrLf},
    {"Windows-1252, an undefined byte", "; \x81\n", "; \xC2\x81\n", SourceEncoding::Windows1252,
     LineEnd::Lf},
};

TEST(SourceDocument, ReadsEncodingAndLineEndsAndWritesAnUntouchedSourceBackAsItWas) {
  for (const FileCase& file : kFiles) {
    SCOPED_TRACE(file.label);
    const SourceDocument document(file.bytes);
    EXPECT_EQ(document.text(), file.text);
    EXPECT_EQ(document.encoding(), file.encoding);
    EXPECT_EQ(document.lineEnd(), file.line_end);
    EXPECT_EQ(document.bytesFor(document.text()), file.bytes);
  }
}

// Edited, every line ends as the file's first did, in the file's encoding:
// the expected bytes are the edited text with its ends and characters
// replaced by hand.
TEST(SourceDocument, WritesAnEditedSourceWithTheFilesLineEndAndEncoding) {
  struct Edit {
    const char* label;
    std::string bytes;
    std::string edited;
    std::string written;
  };
  const Edit edits[] = {
      {"LF", "HALT\n", "RET\nHALT\n", "RET\nHALT\n"},
      {"CR LF", "HALT\r\n", "RET\nHALT\n", "RET\r\nHALT\r\n"},
      {"CR", "HALT\r", "RET\nHALT", "RET\rHALT"},
      {"mixed", "A:\r\nB:\n", "A:\nB:\nC:\n", "A:\r\nB:\r\nC:\r\n"},
      {"BOM kept", "\xEF\xBB\xBFHALT\n", "; \xC3\xB1\n", "\xEF\xBB\xBF; \xC3\xB1\n"},
      {"Windows-1252", "; \xF1\r\n", "; \xC3\xB1\xE2\x82\xAC\n", "; \xF1\x80\r\n"},
      {"Windows-1252 lacks the character: UTF-8", "; \xF1\n", "; \xE2\x86\x92\n",
       "; \xE2\x86\x92\n"},
  };
  for (const Edit& edit : edits) {
    SCOPED_TRACE(edit.label);
    SourceDocument document(edit.bytes);
    EXPECT_EQ(document.bytesFor(edit.edited), edit.written);
    document.saved(edit.edited);
    EXPECT_EQ(document.text(), edit.edited);
    // Saved, the document reads back from what was written.
    const SourceDocument reread(edit.written);
    EXPECT_EQ(reread.text(), edit.edited);
    EXPECT_EQ(reread.encoding(), document.encoding());
  }
}

TEST(SourceDocument, ANewSourceIsUtf8WithLineFeeds) {
  const SourceDocument document;
  EXPECT_EQ(document.text(), "");
  EXPECT_EQ(document.bytesFor("HALT\n; \xC3\xB1\n"), "HALT\n; \xC3\xB1\n");
}

// Every byte read as Windows-1252 comes back as that byte.
TEST(SourceDocument, Windows1252ComesBackForEveryByte) {
  for (int byte = 1; byte < 256; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    std::string storage;
    // A lone byte of 80..FF is never UTF-8, so it is read as Windows-1252.
    const std::string utf8(Utf8Source(one + "\xFF", storage));
    const auto back = Windows1252Bytes(utf8);
    ASSERT_TRUE(back) << byte;
    EXPECT_EQ(*back, one + "\xFF") << byte;
  }
  EXPECT_FALSE(Windows1252Bytes("\xE2\x86\x92"));  // an arrow: no byte of its own
  EXPECT_FALSE(Windows1252Bytes("\xC2\x80"));      // U+0080: the byte 80 is the euro sign
}

class SourceFileTest : public ::testing::Test {
 protected:
  std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                 ("orben_source_document_" + std::to_string(::getpid()));
  void SetUp() override { std::filesystem::create_directories(folder); }
  void TearDown() override { std::filesystem::remove_all(folder); }
  static std::string contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
};

TEST_F(SourceFileTest, WritesAllAtOnceOverTheOldFileAndLeavesNothingBeside) {
  const auto path = folder / "prog.asm";
  std::string reason;
  ASSERT_TRUE(WriteSourceFile(path.string(), "HALT\r\n", reason)) << reason;
  ASSERT_TRUE(WriteSourceFile(path.string(), "; \xF1\r\nRET\r\n", reason)) << reason;
  EXPECT_EQ(contents(path), "; \xF1\r\nRET\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
  const auto document = ReadSourceDocument(path.string(), reason);
  ASSERT_TRUE(document) << reason;
  EXPECT_EQ(document->encoding(), SourceEncoding::Windows1252);
  EXPECT_EQ(document->text(), "; \xC3\xB1\nRET\n");
}

TEST_F(SourceFileTest, AFailedWriteOrReadSaysWhy) {
  std::string reason;
  EXPECT_FALSE(WriteSourceFile((folder / "no" / "prog.asm").string(), "HALT\n", reason));
  EXPECT_FALSE(reason.empty());
  reason.clear();
  EXPECT_FALSE(ReadSourceDocument((folder / "missing.asm").string(), reason));
  EXPECT_FALSE(reason.empty());
}

// The editor colours what the assembler reads: each stretch is the text
// between the given bytes, read from the line by hand.
TEST(ColourLine, ColoursWordsAsTheAssemblerReadsThem) {
  struct Case {
    std::string line;
    std::vector<std::pair<std::string, WordKind>> spans;
  };
  const Case cases[] = {
      {"bucle:  ldi r1, H'00FF ; cuenta",
       {{"bucle", WordKind::Name},
        {"ldi", WordKind::Mnemonic},
        {"r1", WordKind::Register},
        {"H'00FF", WordKind::Number},
        {"; cuenta", WordKind::Comment}}},
      {"DOS EQU LO(fin) + 2",
       {{"DOS", WordKind::Name},
        {"EQU", WordKind::Directive},
        {"LO", WordKind::Function},
        {"fin", WordKind::Name},
        {"2", WordKind::Number}}},
      {"  ORG 16", {{"ORG", WordKind::Directive}, {"16", WordKind::Number}}},
      // Unreadable stretches are left plain; the reading goes on after them.
      {"ST [RD+1] ? RF # 12AB HALT",
       {{"ST", WordKind::Mnemonic},
        {"RD", WordKind::Register},
        {"1", WordKind::Number},
        {"RF", WordKind::Register},
        {"HALT", WordKind::Mnemonic}}},
      {"; \xC3\xB1 solo un comentario", {{"; \xC3\xB1 solo un comentario", WordKind::Comment}}},
      {"\xC3\xB1 RX", {{"RX", WordKind::Name}}},
      {"", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::vector<std::pair<std::string, WordKind>> got;
    for (const ColouredSpan& span : ColourLine(c.line)) {
      ASSERT_LE(span.start + span.length, c.line.size());
      got.emplace_back(c.line.substr(span.start, span.length), span.kind);
    }
    EXPECT_EQ(got, c.spans);
  }
}

}  // namespace
}  // namespace orben::assembler
