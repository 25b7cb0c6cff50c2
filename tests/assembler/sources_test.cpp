#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "assembler/assembler.h"
#include "assembler/object_name.h"
#include "assembler/object_writers.h"

namespace orben::assembler {
namespace {

// The source, its listing and its EHC text, each as the assembler gives
// them.
struct Outputs {
  AssemblyResult result;
  std::string listing;
  std::string ehc;
  std::vector<Diagnostic> diagnostics;
};

Outputs AssembleAll(std::string_view source) {
  std::ostringstream listing, ehc;
  ListingWriter listing_writer(listing);
  ObjectWriter object_writer(ObjectFormat::Ehc, ehc);
  struct Keeper : AssemblyOutput {
    std::vector<Diagnostic> kept;
    void diagnostic(const Diagnostic& d) override { kept.push_back(d); }
  } keeper;
  OutputFan fan({&listing_writer, &object_writer, &keeper});
  Outputs outputs;
  outputs.result = Assemble(source, fan);
  listing_writer.names(outputs.result.names);
  outputs.listing = listing.str();
  outputs.ehc = ehc.str();
  outputs.diagnostics = keeper.kept;
  return outputs;
}

// suma.asm with accented comments, as a Windows editor saves it in "ANSI"
// (Windows-1252: é E9, ñ F1, ¿ BF, á E1, “ 93, ” 94, … 85, € 80) and as
// UTF-8; the words, by the encodings of LLI (2a hh), ADDS (6a bc), OUT
// (5a hh) and HALT (F000): 2105 2203 6312 5301 F000.
const char* const kWindows1252 =
    "; suma con acentos: \xE9 \xF1 \xBF \x93"
    "comillas\x94\r\n"
    "        LLI R1, H'05    ; \xBF"
    "cu\xE1nto?\r\n"
    "        LLI R2, 3       ; a\xF1o\x85 \x80\r\n"
    "        ADDS R3, R1, R2 ; \x93suma\x94\r\n"
    "        OUT H'01, R3\r\n"
    "fin:    HALT\r\n";
const char* const kUtf8 =
    "; suma con acentos: é ñ ¿ “comillas”\r\n"
    "        LLI R1, H'05    ; ¿cuánto?\r\n"
    "        LLI R2, 3       ; año… €\r\n"
    "        ADDS R3, R1, R2 ; “suma”\r\n"
    "        OUT H'01, R3\r\n"
    "fin:    HALT\r\n";

TEST(AssemblerSource, WindowsAnsiAssemblesLikeItsUtf8Twin) {
  const Outputs ansi = AssembleAll(kWindows1252);
  const Outputs utf8 = AssembleAll(kUtf8);
  ASSERT_TRUE(ansi.result.ok()) << ansi.diagnostics.at(0).message.in(Language::English);
  ASSERT_TRUE(utf8.result.ok());
  EXPECT_TRUE(ansi.diagnostics.empty());
  const std::string ehc =
      "0000 2105 ; LLI R1, H'05    ; ¿cuánto?\r\n"
      "0001 2203 ; LLI R2, 3       ; año… €\r\n"
      "0002 6312 ; ADDS R3, R1, R2 ; “suma”\r\n"
      "0003 5301 ; OUT H'01, R3\r\n"
      "0004 F000 ; fin:    HALT\r\n";
  EXPECT_EQ(ansi.ehc, ehc);
  EXPECT_EQ(utf8.ehc, ehc);
  EXPECT_EQ(ansi.listing, utf8.listing);
  EXPECT_NE(ansi.listing.find("     1             ; suma con acentos: é ñ ¿ “comillas”\n"),
            std::string::npos)
      << ansi.listing;
}

TEST(AssemblerSource, ByteOrderMarkAndEveryByteOfWindows1252) {
  // The mark is skipped: line 1 starts at its statement.
  const Outputs marked = AssembleAll("\xEF\xBB\xBFHALT\r\n");
  EXPECT_TRUE(marked.result.ok());
  EXPECT_EQ(marked.ehc, "0000 F000 ; HALT\r\n");
  const Assembled bad = AssembleText(
      "\xEF\xBB\xBF"
      "FOO");
  ASSERT_EQ(bad.diagnostics.size(), 1u);
  EXPECT_EQ(bad.diagnostics[0].column, 1u);
  EXPECT_EQ(AssembleText("\xEF\xBB\xBF").diagnostics.at(0).message.in(Language::English),
            "the source is empty: nothing to assemble");
  // Bytes 80..9F as their characters; 81, 8D, 8F, 90 and 9D as the control
  // characters U+0081.. (C2 81 in UTF-8), shown as they are in the listing.
  std::string source = "HALT ;";
  for (int byte = 0x80; byte <= 0x9F; ++byte) source += static_cast<char>(byte);
  const std::string expected =
      "€\xC2\x81‚ƒ„…†‡ˆ‰Š‹Œ\xC2\x8DŽ\xC2\x8F\xC2\x90‘’“”•–—˜™š›œ\xC2\x9DžŸ";
  const Outputs high = AssembleAll(source);
  EXPECT_TRUE(high.result.ok());
  EXPECT_NE(high.listing.find("HALT ;" + expected + "\n"), std::string::npos) << high.listing;
  // A0..FF are the Latin-1 letters.
  EXPECT_EQ(AssembleAll("HALT ; \xA0\xC7\xFF").ehc, "0000 F000 ; HALT ; \xC2\xA0Çÿ\r\n");
  // The character an error quotes, at its column, in UTF-8.
  const Assembled euro = AssembleText("; \xE9\nLLI R1, \x80");
  ASSERT_EQ(euro.diagnostics.size(), 1u);
  EXPECT_EQ(euro.diagnostics[0].line, 2u);
  EXPECT_EQ(euro.diagnostics[0].column, 9u);
  EXPECT_EQ(euro.diagnostics[0].message.in(Language::English), "unexpected character '€'");
}

TEST(AssemblerObjectName, KeepsTheCaseOfTheSourcesExtension) {
  const struct {
    const char* source;
    const char* object;
  } cases[] = {
      {"x.asm", "x.ehc"},
      {"X.ASM", "X.EHC"},
      {"x.Asm", "x.EHC"},  // mixed: capitals
      {"dir/Prog.s", "dir/Prog.ehc"},
      {"Dir.ASM/prog.txt", "Dir.ASM/prog.ehc"},
      {"prog", "prog.ehc"},  // no extension: the name's own letters
      {"PROG", "PROG.EHC"},
      {"Prog", "Prog.EHC"},
      {"a.b.asm", "a.b.ehc"},
      {"p.1", "p.EHC"},  // no letter
  };
  for (const auto& c : cases) EXPECT_EQ(DefaultObjectName(c.source), c.object) << c.source;
}

}  // namespace
}  // namespace orben::assembler
