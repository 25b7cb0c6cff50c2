#include "panel/front_panel.h"

#include <gtest/gtest.h>

#include "support/tuka2_fixture.h"

namespace orben {
namespace {

using testing::Tuka2Test;

constexpr const char* kAddressMessage =
    "AVISO: Acceso a memoria de TUKA-2 ilegal.\rPor encima de EFFF se encuentra el programa "
    "monitor.";

class FrontPanelTest : public Tuka2Test {
 protected:
  void Key(const char* digits) {
    for (const char* d = digits; *d; ++d) tuka.panel.Pulsacion_Teclado(*d);
  }
  std::string Address() { return Cell(OutputPortCell(1)); }
  std::string Content() { return Cell(OutputPortCell(2)); }
};

TEST_F(FrontPanelTest, KeysShiftThroughTheKeypad) {
  m().SetCell(kCellKeypad, "ABCD");
  Key("1234");
  EXPECT_EQ(Cell(kCellKeypad), "1234");
  Key("5");
  EXPECT_EQ(Cell(kCellKeypad), "2345");
  EXPECT_EQ(DisplaysOfCell(kCellKeypad).size(), 3u);  // IP1 and PIN_01 show the same cell
  EXPECT_EQ(m().PanelState(), 2);
}

TEST_F(FrontPanelTest, DireccionRefusesTheMonitorsArea) {
  m().SetCell(OutputPortCell(1), "1111");
  Key("F000");
  tuka.panel.BDireccionClick();
  EXPECT_EQ(ui.messages, std::vector<std::string>{kAddressMessage});
  EXPECT_EQ(Address(), "1111");
  EXPECT_EQ(m().PanelState(), 2);
  Key("EFFF");
  Poke(0xEFFF, {"ABCD"});
  tuka.panel.BDireccionClick();
  EXPECT_EQ(Address(), "EFFF");
  EXPECT_EQ(Content(), "ABCD");
  EXPECT_EQ(m().PanelState(), 0);
}

TEST_F(FrontPanelTest, CargarFillsConsecutiveWords) {
  Poke(0x0100, {"1111", "2222", "3333", "4444"});
  Key("0100");
  tuka.panel.BDireccionClick();
  EXPECT_EQ(Address(), "0100");
  EXPECT_EQ(Content(), "1111");
  Key("1234");
  for (int i = 0; i < 3; ++i) tuka.panel.BCargarClick();
  EXPECT_EQ(Mem(0x100), "1234");
  EXPECT_EQ(Mem(0x101), "1234");
  EXPECT_EQ(Mem(0x102), "1234");
  EXPECT_EQ(Address(), "0103");
  EXPECT_EQ(Content(), "4444");
  tuka.run.Continuar();  // advance only
  EXPECT_EQ(Address(), "0104");
  EXPECT_EQ(Mem(0x103), "4444");
}

TEST_F(FrontPanelTest, CargarAtEFFFStoresThenWarnsAndStaysPut) {
  Poke(0xEFFF, {"0BAD"});
  Key("EFFF");
  tuka.panel.BDireccionClick();
  Key("CAFE");
  tuka.panel.BCargarClick();
  EXPECT_EQ(Mem(0xEFFF), "CAFE");
  EXPECT_EQ(ui.messages, std::vector<std::string>{kAddressMessage});
  EXPECT_EQ(Address(), "EFFF");
  EXPECT_EQ(Content(), "0BAD");  // what it showed before the store
  tuka.run.Continuar();
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(Address(), "EFFF");
}

TEST_F(FrontPanelTest, RegisterModeWalksAndWraps) {
  tuka.panel.BRegistrosClick();
  EXPECT_EQ(Address(), "0000");
  EXPECT_EQ(Content(), "0000");
  for (int r = 1; r <= 16; ++r) {
    tuka.run.Continuar();
    EXPECT_EQ(Address(), ValueToWordText(r % 16).str());
  }
  EXPECT_EQ(Content(), Reg(0));
  Key("7777");
  for (int r = 0; r < 16; ++r) tuka.panel.BCargarClick();
  for (int r = 0; r < 16; ++r) EXPECT_EQ(Reg(r), "7777");
  EXPECT_EQ(Address(), "0000");
}

TEST_F(FrontPanelTest, CargarOutsideTheModesDoesNothing) {
  Key("1234");
  const std::string memory = m().memory().HexText();
  tuka.panel.BCargarClick();  // PanelState 2 after power-on
  tuka.run.StepModeSwitch();  // PanelState 4
  tuka.panel.BCargarClick();
  EXPECT_EQ(m().memory().HexText(), memory);
  EXPECT_TRUE(ui.messages.empty());
  for (int r = 0; r < 16; ++r) EXPECT_NE(Reg(r), "1234");
}

TEST_F(FrontPanelTest, RegisterModeAfterAPowerCycleUsesTheLowByteOfOP1) {
  struct Case {
    const char* op1;
    int stored_in;  // -1: nowhere
  } cases[] = {{"1203", 3}, {"12A3", -1}};
  for (const auto& c : cases) {
    tuka.panel.BRegistrosClick();
    tuka.power.TogglePower();
    tuka.power.TogglePower();
    m().SetCell(OutputPortCell(1), c.op1);
    Key("ABCD");
    tuka.panel.BCargarClick();
    for (int r = 0; r < 16; ++r) EXPECT_EQ(Reg(r) == "ABCD", r == c.stored_in) << c.op1 << r;
    EXPECT_EQ(Address(), "0000");
    EXPECT_EQ(Content(), Reg(0));
  }
}

TEST_F(FrontPanelTest, KeypadDisplayEditGoesThroughTheValueDialog) {
  ui.value_answers = {WordText("0041"), std::nullopt};
  tuka.panel.Modifica_Teclado();
  EXPECT_EQ(Cell(kCellKeypad), "0041");
  EXPECT_EQ(m().EditedValue().str(), "0041");
  tuka.panel.Modifica_Teclado();  // Cancelar writes the old value back
  EXPECT_EQ(Cell(kCellKeypad), "0041");
  tuka.power.TogglePower();
  tuka.panel.Modifica_Teclado();  // off: refused, no dialog
  EXPECT_EQ(ui.messages, std::vector<std::string>{"¡OPS! : Debe encender primero TUKA-2."});
  EXPECT_EQ(Cell(kCellKeypad), "****");
}

TEST_F(FrontPanelTest, HandEditsWriteBackAfterTheDialogEvenOverARun) {
  // A tick inside the modal dialog changes R5; the edit's value wins.
  struct TickingUi : testing::ScriptedUi {
    Machine* machine = nullptr;
    std::optional<WordText> AskValue() override {
      machine->WriteRegister(5, "9999");
      return WordText("2345");
    }
  } ticking;
  testing::ReplayRandom random0;
  Tuka2 other(ticking, random0);
  ticking.machine = &other.machine;
  other.power.TogglePower();
  EditCellByHand(other.machine, RegisterCell(5));
  EXPECT_EQ(other.machine.ReadRegister(5).str(), "2345");
}

TEST_F(FrontPanelTest, FlagLampsToggleOnlyWhileOn) {
  ToggleFlagByHand(m(), Flag::C);
  EXPECT_TRUE(m().flag(Flag::C));
  ToggleFlagByHand(m(), Flag::C);
  EXPECT_FALSE(m().flag(Flag::C));
  tuka.power.TogglePower();
  ToggleFlagByHand(m(), Flag::Z);
  EXPECT_FALSE(m().flag(Flag::Z));
  EXPECT_EQ(ui.messages.size(), 1u);
}

}  // namespace
}  // namespace orben
