#include "panel/power.h"

#include <gtest/gtest.h>

#include <set>

#include "machine/random_source.h"
#include "panel/tuka2.h"
#include "support/tuka2_fixture.h"

namespace orben {
namespace {

class PowerTest : public ::testing::Test {
 protected:
  PowerTest() : random(42), tuka(ui, random) { tuka.power.ORBEN_Inicio(); }
  Machine& m() { return tuka.machine; }
  std::string cell(CellId id) { return m().cell(id).str(); }
  std::vector<std::string> allCells() {
    std::vector<std::string> all;
    for (int c = 0; c < kCellCount; ++c) all.push_back(cell(static_cast<CellId>(c)));
    return all;
  }

  testing::ScriptedUi ui;
  SeededRandom random;
  Tuka2 tuka;
};

TEST_F(PowerTest, StartsOffWithRandomMemoryAndEveryCellStarred) {
  EXPECT_EQ(m().PowerOn(), 0);
  for (const auto& text : allCells()) EXPECT_EQ(text, "****");
  EXPECT_EQ(m().control(Control::PanelEnabled), 0);
  EXPECT_EQ(m().control(Control::StepButtonEnabled), 0);
  EXPECT_EQ(m().control(Control::StepMenuEnabled), 0);
  EXPECT_EQ(m().control(Control::PowerLamp), 0);
  EXPECT_EQ(m().caption(Control::PowerMenuCaption), "Encender TUKA-2");
  EXPECT_EQ(m().caption(Control::StepMenuCaption), "Desactivar modo Paso a Paso");
  EXPECT_EQ(m().caption(Control::DisassemblerMenuCaption), "Activar Modo desensamblador");
  EXPECT_EQ(m().InitMemoryAtPowerOn(), 1);
  EXPECT_EQ(m().memory().size(), 0x1E000u);
  std::set<std::string> words;
  for (int a = 0; a < 64; ++a) words.insert(m().ReadMemoryWord(a).str());
  EXPECT_GT(words.size(), 50u);  // random, not a constant fill
}

TEST_F(PowerTest, SwitchingOnGivesFixedRegistersAndEqualMirrors) {
  testing::RecordingObserver seen;
  m().addObserver(&seen);
  tuka.power.TogglePower();
  m().removeObserver(&seen);
  // One notification per cell: every cell took one new value.
  std::set<CellId> distinct(seen.cells.begin(), seen.cells.end());
  EXPECT_EQ(distinct.size(), seen.cells.size());
  EXPECT_EQ(seen.cells.size(), static_cast<std::size_t>(kCellCount));
  EXPECT_EQ(m().PowerOn(), 1);
  EXPECT_EQ(m().StepMode(), 1);
  EXPECT_TRUE(m().stepLamp());
  EXPECT_EQ(m().control(Control::PowerLamp), 1);
  EXPECT_EQ(m().control(Control::PanelEnabled), 1);
  EXPECT_EQ(m().control(Control::StepButtonEnabled), 1);
  EXPECT_EQ(m().control(Control::StepMenuEnabled), 1);
  EXPECT_EQ(m().caption(Control::PowerMenuCaption), "Apagar TUKA-2");
  const char* fixed[16] = {"0000", "0001", "0002", "0003", "0004", "0005", "0006", "0007",
                           "0008", "0009", "000A", "000B", "000C", "000D", "F000", "000F"};
  for (int n = 0; n < 16; ++n) EXPECT_EQ(m().ReadRegister(n).str(), fixed[n]);
  for (const auto& text : allCells()) EXPECT_TRUE(isWordText(text)) << text;
  for (Flag f : {Flag::Z, Flag::S, Flag::C, Flag::V}) EXPECT_FALSE(m().flag(f));
}

TEST_F(PowerTest, PowerOnDrawsInTheDocumentedOrder) {
  // Each random cell takes four draws below 16, in the order AR, DR, OP1,
  // OP2, IP2, IR, PC, Teclado, then the other ports.
  std::vector<int> draws;
  for (int i = 0; i < 8 * 4; ++i) draws.push_back(i / 4 + 1);
  testing::ReplayRandom replay(draws);
  testing::ScriptedUi quiet;
  Tuka2 fresh(quiet, replay);
  fresh.power.MInicializar_memoria_al_Encender_TUKA2Click();
  fresh.power.TogglePower();
  const CellId order[] = {kCellAR,          kCellDR, outputPortCell(1), outputPortCell(2),
                          inputPortCell(2), kCellIR, kCellPC,           kCellKeypad};
  for (int i = 0; i < 8; ++i) {
    const char d = HexDigitToChar(i + 1);
    EXPECT_EQ(fresh.machine.cell(order[i]).str(), std::string(4, d)) << i;
  }
  // The listing did not move to the new PC.
  EXPECT_EQ(fresh.machine.listing().selected(), -1);
}

TEST_F(PowerTest, OffOnCycleDrawsNewValuesAndClearsFlags) {
  tuka.power.TogglePower();
  const auto first = allCells();
  m().SetFlagC(true);
  m().SetFlagV(true);
  tuka.run.BPasoPasoClick();  // step mode off before the power-off
  tuka.power.TogglePower();
  for (const auto& text : allCells()) EXPECT_EQ(text, "****");
  EXPECT_EQ(m().StepMode(), 0);
  EXPECT_FALSE(m().stepLamp());
  EXPECT_FALSE(m().flag(Flag::C) || m().flag(Flag::V));
  EXPECT_EQ(m().control(Control::PanelEnabled), 0);
  EXPECT_EQ(m().caption(Control::PowerMenuCaption), "Encender TUKA-2");
  tuka.power.TogglePower();
  const auto second = allCells();
  int same = 0;
  for (std::size_t i = 16; i < first.size(); ++i) same += first[i] == second[i];
  EXPECT_LT(same, 8);  // random cells are drawn anew
  for (int n = 0; n < 16; ++n) EXPECT_EQ(first[n], second[n]);
  EXPECT_EQ(m().StepMode(), 1);  // always step mode after switching on
  EXPECT_EQ(m().caption(Control::StepMenuCaption), "Activar modo Paso a Paso");  // unchanged
}

TEST_F(PowerTest, MemoryIsReinitialisedAtPowerOnOnlyWithTheOption) {
  m().listing().add("[0000]: HALT");
  const std::string before = m().memory().hexText();
  tuka.power.MInicializar_memoria_al_Encender_TUKA2Click();
  EXPECT_EQ(m().InitMemoryAtPowerOn(), 0);
  tuka.power.TogglePower();
  EXPECT_EQ(m().memory().hexText(), before);
  EXPECT_EQ(m().listing().count(), 1);
  tuka.power.TogglePower();
  tuka.power.MInicializar_memoria_al_Encender_TUKA2Click();
  tuka.power.TogglePower();
  EXPECT_NE(m().memory().hexText(), before);
  EXPECT_EQ(m().listing().count(), 0);
  EXPECT_EQ(m().memory().size(), 0x1E000u);
}

TEST_F(PowerTest, InicializarMemoriaWorksWhileOffAndTouchesNoCell) {
  m().listing().add("[0000]: HALT");
  const std::string before = m().memory().hexText();
  tuka.power.InicializarMemoria1Click();
  EXPECT_NE(m().memory().hexText(), before);
  EXPECT_EQ(m().listing().count(), 0);
  for (const auto& text : allCells()) EXPECT_EQ(text, "****");
}

TEST(FillRandomTest, SpellsTheWordInEveryDrawSequence) {
  FillRandom fill(0x1A2B);
  EXPECT_EQ(RandomWordText(fill).str(), "1A2B");
  EXPECT_EQ(RandomWordText(fill).str(), "1A2B");
  EXPECT_EQ(fill.below(256), 0x1A);
  EXPECT_EQ(fill.below(256), 0x2B);
}

}  // namespace
}  // namespace orben
