#include "disasm/listing_commands.h"

#include <gtest/gtest.h>

#include "support/tuka2_fixture.h"

namespace orben {
namespace {

using testing::Tuka2Test;

class ListingCommandsTest : public Tuka2Test {
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
  EXPECT_EQ(ui.messages, std::vector<std::string>{
                             "AVISO: Acceso a memoria de TUKA-2 ilegal\rIntentó escribir por "
                             "encima de la posición F000H de memoria.\rQue sea la última vez..."});
}

}  // namespace
}  // namespace orben
