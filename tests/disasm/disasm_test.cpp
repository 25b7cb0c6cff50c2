#include "disasm/disassembler.h"
#include "disasm/listing.h"
#include "disasm/listing_commands.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "support/tuka2_fixture.h"

namespace orben {
namespace {

std::vector<std::string> lines(const Listing& listing) {
  std::vector<std::string> lines;
  for (int i = 0; i < listing.count(); ++i) lines.push_back(listing.line(i));
  return lines;
}

TEST(ListingOrder, CaseIgnoredDigitsBeforeLettersPunctuationFirst) {
  EXPECT_TRUE(Listing::less("[0002]: HALT", "[0005]: HALT"));
  EXPECT_TRUE(Listing::less("[0009]: X", "[000A]: X"));
  EXPECT_TRUE(Listing::less("[00A0]: X", "[00b0]: X"));
  EXPECT_TRUE(Listing::less("[00a0]: X", "[00B0]: X"));
  EXPECT_FALSE(Listing::less("abc", "ABC"));
  EXPECT_FALSE(Listing::less("ABC", "abc"));
  EXPECT_TRUE(Listing::less("9", "a"));
  EXPECT_TRUE(Listing::less(" ", "0"));
  EXPECT_TRUE(Listing::less("[0010]", "[0010]: X"));
}

TEST(ListingSorted, InsertsAtTheSortedPlaceAndResortsWhenSwitchedOn) {
  Listing listing;
  listing.add("[0005]: HALT");
  listing.add("[0002]: RET");
  EXPECT_EQ(lines(listing), (std::vector<std::string>{"[0005]: HALT", "[0002]: RET"}));
  listing.select(0);
  listing.setSorted(true);
  EXPECT_EQ(lines(listing), (std::vector<std::string>{"[0002]: RET", "[0005]: HALT"}));
  EXPECT_EQ(listing.selected(), 1);  // the selection stays on its line
  listing.add("[0003]: BR");
  listing.add("[000A]: BR");
  EXPECT_EQ(listing.line(1), "[0003]: BR");
  EXPECT_EQ(listing.line(3), "[000A]: BR");
  EXPECT_EQ(listing.selected(), 2);
  listing.setSorted(false);
  listing.add("[0001]: BR");
  EXPECT_EQ(listing.line(4), "[0001]: BR");
}

TEST(ListingEdit, RemovingAroundTheSelectionKeepsItOnItsLine) {
  Listing listing;
  for (const char* l : {"[0000]: A", "[0001]: B", "[0002]: C"}) listing.add(l);
  listing.select(2);
  listing.remove(0);
  EXPECT_EQ(listing.selected(), 1);
  listing.remove(1);
  EXPECT_EQ(listing.selected(), -1);
  listing.remove(7);  // outside: nothing
  EXPECT_EQ(listing.count(), 1);
  listing.select(5);
  EXPECT_EQ(listing.selected(), -1);
}

// The indexed selection must give the same answer as the plain search for
// "[" + PC + "]": the last matching line, the selection kept when none.
TEST(ListingSelectAddress, AgreesWithThePlainSearch) {
  std::mt19937 random(7);
  Listing listing;
  for (int i = 0; i < 300; ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "[%04X]: LD R0, [RD+H'%02X]", static_cast<int>(random() % 64),
                  static_cast<int>(random() % 256));
    listing.add(line);
  }
  listing.add("junk [00] [0001 [0002] in the middle");
  for (int round = 0; round < 400; ++round) {
    if (round % 50 == 25) listing.remove(static_cast<int>(random() % listing.count()));
    if (round == 200) listing.setSorted(true);
    char pc[5];
    std::snprintf(pc, sizeof pc, "%04X", static_cast<int>(random() % 80));
    const int before = listing.selected();
    const int expected = listing.findLast(std::string("[") + pc + "]");
    listing.selectAddress(pc);
    EXPECT_EQ(listing.selected(), expected >= 0 ? expected : before) << pc;
  }
  listing.select(3);
  for (const char* odd : {"", "****", "00a0"}) {
    listing.selectAddress(odd);
    EXPECT_EQ(listing.selected(), 3) << odd;
  }
}

TEST(ListingSelectAddress, DuplicateAddressesSelectTheLastLine) {
  Listing listing;
  for (const char* l : {"[0010]: LLI R1, H'05", "[0011]: HALT", "[0010]: RET"}) listing.add(l);
  listing.selectAddress("0010");
  EXPECT_EQ(listing.selected(), 2);
  listing.selectAddress("0012");
  EXPECT_EQ(listing.selected(), 2);
  listing.replace(2, "[0013]: RET");
  listing.selectAddress("0010");
  EXPECT_EQ(listing.selected(), 0);
}

class CountingObserver : public ListingObserver {
 public:
  std::vector<std::string> events;
  void listingCleared() override { events.push_back("cleared"); }
  void listingReset() override { events.push_back("reset"); }
  void lineInserted(int i) override { events.push_back("insert " + std::to_string(i)); }
  void lineRemoved(int i) override { events.push_back("remove " + std::to_string(i)); }
  void lineChanged(int i) override { events.push_back("change " + std::to_string(i)); }
  void selectionChanged(int p, int c) override {
    events.push_back("select " + std::to_string(p) + ">" + std::to_string(c));
  }
};

// Lines kept as address and word behave exactly as the same lines kept as
// text, whatever is done to them: two listings, one given words and one
// given the texts made here with their own formatting, take the same random
// adds (sorted or not), removals, replacements, sorts and selections, and
// must agree on every line, the selection and every search.
TEST(ListingCompactLines, AgreeWithTheSameLinesAsText) {
  std::mt19937 random(11);
  const auto pick = [&random](unsigned n) { return static_cast<unsigned>(random() % n); };
  Listing words;
  Listing texts;
  const auto text = [](unsigned address, unsigned word) {
    char key[16];
    std::snprintf(key, sizeof key, "[%04X]: ", address);
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04X", word);
    return key + Disassemble(digits);
  };
  for (int step = 0; step < 3000; ++step) {
    // Few addresses, so that lines of one address meet and sort by text.
    const unsigned address = pick(24) * 0x111;
    const unsigned word = pick(4) == 0 ? pick(0x10000) : 0x2100 + pick(3);
    switch (pick(10)) {
      case 0:
      case 1:
      case 2:
        words.add(static_cast<std::uint16_t>(address), static_cast<std::uint16_t>(word),
                  Listing::Form::Disassembled);
        texts.add(text(address, word));
        break;
      case 3: {  // a line of free text, the same in both
        const std::string free = text(address, word) + " ; nota";
        words.add(free);
        texts.add(free);
        break;
      }
      case 4:
        if (words.count() > 0) {
          const int at = static_cast<int>(pick(static_cast<unsigned>(words.count())));
          words.remove(at);
          texts.remove(at);
        }
        break;
      case 5:
        if (words.count() > 0) {
          const int at = static_cast<int>(pick(static_cast<unsigned>(words.count())));
          words.replace(at, text(address, word));
          texts.replace(at, text(address, word));
        }
        break;
      case 6:
        words.setSorted(!words.sorted());
        texts.setSorted(!texts.sorted());
        break;
      case 7:
        words.select(
            words.count() > 0 ? static_cast<int>(pick(static_cast<unsigned>(words.count()))) : -1);
        texts.select(words.selected());
        break;
      default:
        words.selectAddress(ValueToWordText(address));
        texts.selectAddress(ValueToWordText(address));
        break;
    }
    ASSERT_EQ(lines(words), lines(texts)) << "step " << step;
    ASSERT_EQ(words.selected(), texts.selected()) << "step " << step;
    const std::string key = text(address, 0).substr(0, 8);
    ASSERT_EQ(words.findLast(key), texts.findLast(key)) << key;
    ASSERT_EQ(words.findLast("R1"), texts.findLast("R1"));
  }
  EXPECT_GT(words.count(), 100);
}

TEST(ListingObservers, SeeEveryChangeOnce) {
  Listing listing;
  CountingObserver seen;
  listing.addObserver(&seen);
  listing.add("[0001]: B");
  listing.add("[0000]: A");
  listing.selectAddress("0000");
  listing.selectAddress("0000");  // already selected: nothing
  listing.select(1);              // nor by its index
  listing.setSorted(true);
  listing.replace(0, "[0000]: C");
  listing.remove(1);
  listing.clear();
  EXPECT_EQ(seen.events, (std::vector<std::string>{"insert 0", "insert 1", "select -1>1", "reset",
                                                   "change 0", "remove 1", "cleared"}));
  listing.removeObserver(&seen);
}

// Each row: the word, a blank, its text.
TEST(Disassembler, EveryOperationForm) {
  for (const char* row : {"0A10 LD RA, [RD+H'10]",
                          "1A10 ST [RD+H'10], RA",
                          "2105 LLI R1, H'05",
                          "31FF LHI R1, H'FF",
                          "4203 IN R2, H'03",
                          "5F01 OUT H'01, RF",
                          "6123 ADDS R1, R2, R3",
                          "7456 SUBS R4, R5, R6",
                          "8ABC NAND RA, RB, RC",
                          "9500 SHL R5",
                          "A5FF SHR R5",
                          "B500 SHRA R5",
                          "C000 BR",
                          "C1FF BZ",
                          "C200 BS",
                          "C300 BC",
                          "C400 BV",
                          "C500 BR",
                          "CF00 BR",
                          "D000 CALLR",
                          "D100 CALLZ",
                          "D200 CALLS",
                          "D3AB CALLC",
                          "D400 CALLV",
                          "DE00 CALLR",
                          "E123 RET",
                          "F000 HALT",
                          "FFFF HALT",
                          "0000 LD R0, [RD+H'00]"}) {
    EXPECT_EQ(Disassemble(std::string(row, 4)), row + 5) << row;
  }
}

TEST(Disassembler, NoTextForWordsThatAreNotInstructions) {
  for (const char* word : {"a000", ":000", "G000", "", "21"}) {
    EXPECT_EQ(Disassemble(word), "") << word;
  }
}

class ListingCommandsTest : public testing::Tuka2Test {
 protected:
  Listing& listing() { return tuka.listing; }
};

TEST_F(ListingCommandsTest, RebuildTurnsRawLinesIntoInstructionsInPlace) {
  listing().add(RawListingLine("0010", "2105"));
  listing().add(RawListingLine("0001", "F000"));
  listing().select(1);
  RebuildListing(listing());
  EXPECT_EQ(listing().line(0), "[0010]: LLI R1, H'05");
  EXPECT_EQ(listing().line(1), "[0001]: HALT");
  EXPECT_EQ(listing().selected(), 1);
}

TEST_F(ListingCommandsTest, RawLinesStillLetTheExecutingLineBeFound) {
  listing().add(RawListingLine("0000", "2105"));
  listing().add(RawListingLine("0001", "2203"));
  poke(0, {"2105", "2203"});
  runFrom("0000");
  EXPECT_EQ(listing().selected(), 1);
}

TEST_F(ListingCommandsTest, DisassemblerModeAsksBeforeGoingOnOnly) {
  listing().add("[0000]: HALT");
  ui.yes_no_answers = {false, true};
  tuka.disassembler.toggle();
  EXPECT_FALSE(m().disassemblerMode());
  EXPECT_EQ(listing().count(), 1);
  EXPECT_EQ(m().caption(MenuItem::DisassemblerMode), "Activar Modo desensamblador");
  tuka.disassembler.toggle();
  EXPECT_TRUE(m().disassemblerMode());
  EXPECT_EQ(listing().count(), 0);
  EXPECT_EQ(m().caption(MenuItem::DisassemblerMode), "Desactivar Modo Desensamblador");
  listing().add("[0000]: HALT");
  tuka.disassembler.toggle();  // off at once, no question
  EXPECT_FALSE(m().disassemblerMode());
  EXPECT_EQ(listing().count(), 0);
  EXPECT_EQ(m().caption(MenuItem::DisassemblerMode), "Activar Modo Desensamblador");
  ASSERT_EQ(ui.questions.size(), 2u);
  EXPECT_EQ(ui.questions[0],
            "Modo Desensamblador|Al comenzar el Modo Desensamblador perderá\rlos datos del "
            "proyecto en curso.\r¿Desea comenzar este modo?");
}

TEST_F(ListingCommandsTest, GridEditsKeepOneLinePerWordInAddressOrder) {
  ui.yes_no_answers = {true};
  tuka.disassembler.toggle();
  auto edit = [&](long long address, const char* word) {
    tuka.disassembler.noteGridCaret(2 * address + 1);
    m().WriteMemoryWord(address, word);
    tuka.disassembler.relistEditedWord();
  };
  edit(0x10, "2105");
  edit(0x05, "1234");
  edit(0x02, "E000");
  edit(0x10, "F000");
  EXPECT_EQ(listing().count(), 3);
  EXPECT_EQ(listing().line(0), "[0002]: RET");
  EXPECT_EQ(listing().line(1), "[0005]: ST [RD+H'34], R2");
  EXPECT_EQ(listing().line(2), "[0010]: HALT");
  EXPECT_TRUE(listing().sorted());
  tuka.disassembler.toggle();
  edit(0x20, "2105");  // mode off: the listing stays, sorted mode goes off
  EXPECT_EQ(listing().count(), 0);
  EXPECT_FALSE(listing().sorted());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ListingCommandsTest, GridKeyUpInTheMonitorsAreaStopsAndWarns) {
  m().setStepMode(StepMode::Timed);
  tuka.disassembler.noteGridCaret(0x1E000);
  tuka.disassembler.relistEditedWord();
  EXPECT_EQ(m().stepMode(), StepMode::StepByStep);
  EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(testing::kStoreMessage) +
                                                  "\rQue sea la última vez..."});
}

}  // namespace
}  // namespace orben
