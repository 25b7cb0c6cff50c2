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
  void key(const char* digits) {
    for (const char* d = digits; *d; ++d) tuka.panel.Pulsacion_Teclado(*d);
  }
  std::string address() { return cell(outputPortCell(1)); }
  std::string content() { return cell(outputPortCell(2)); }
};

TEST_F(FrontPanelTest, KeysShiftThroughTheKeypad) {
  m().setCell(kCellKeypad, "ABCD");
  key("1234");
  EXPECT_EQ(cell(kCellKeypad), "1234");
  key("5");
  EXPECT_EQ(cell(kCellKeypad), "2345");
  EXPECT_EQ(m().PanelState(), 2);
}

TEST_F(FrontPanelTest, DireccionRefusesTheMonitorsArea) {
  m().setCell(outputPortCell(1), "1111");
  key("F000");
  tuka.panel.BDireccionClick();
  EXPECT_EQ(ui.messages, std::vector<std::string>{kAddressMessage});
  EXPECT_EQ(address(), "1111");
  EXPECT_EQ(m().PanelState(), 2);
  key("EFFF");
  poke(0xEFFF, {"ABCD"});
  tuka.panel.BDireccionClick();
  EXPECT_EQ(address(), "EFFF");
  EXPECT_EQ(content(), "ABCD");
  EXPECT_EQ(m().PanelState(), 0);
}

TEST_F(FrontPanelTest, CargarFillsConsecutiveWords) {
  poke(0x0100, {"1111", "2222", "3333", "4444"});
  key("0100");
  tuka.panel.BDireccionClick();
  EXPECT_EQ(address(), "0100");
  EXPECT_EQ(content(), "1111");
  key("1234");
  for (int i = 0; i < 3; ++i) tuka.panel.BCargarClick();
  EXPECT_EQ(mem(0x100), "1234");
  EXPECT_EQ(mem(0x101), "1234");
  EXPECT_EQ(mem(0x102), "1234");
  EXPECT_EQ(address(), "0103");
  EXPECT_EQ(content(), "4444");
  tuka.run.BContinuarClick();  // advance only
  EXPECT_EQ(address(), "0104");
  EXPECT_EQ(mem(0x103), "4444");
}

TEST_F(FrontPanelTest, CargarAtEFFFStoresThenWarnsAndStaysPut) {
  poke(0xEFFF, {"0BAD"});
  key("EFFF");
  tuka.panel.BDireccionClick();
  key("CAFE");
  tuka.panel.BCargarClick();
  EXPECT_EQ(mem(0xEFFF), "CAFE");
  EXPECT_EQ(ui.messages, std::vector<std::string>{kAddressMessage});
  EXPECT_EQ(address(), "EFFF");
  EXPECT_EQ(content(), "0BAD");  // what it showed before the store
  tuka.run.BContinuarClick();
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(address(), "EFFF");
}

TEST_F(FrontPanelTest, RegisterModeWalksAndWraps) {
  tuka.panel.BRegistrosClick();
  EXPECT_EQ(address(), "0000");
  EXPECT_EQ(content(), "0000");
  for (int r = 1; r <= 16; ++r) {
    tuka.run.BContinuarClick();
    EXPECT_EQ(address(), ValueToWordText(r % 16).str());
  }
  EXPECT_EQ(content(), reg(0));
  key("7777");
  for (int r = 0; r < 16; ++r) tuka.panel.BCargarClick();
  for (int r = 0; r < 16; ++r) EXPECT_EQ(reg(r), "7777");
  EXPECT_EQ(address(), "0000");
}

TEST_F(FrontPanelTest, CargarOutsideTheModesDoesNothing) {
  key("1234");
  const std::string memory = m().memory().hexText();
  tuka.panel.BCargarClick();  // PanelState 2 after power-on
  tuka.run.BPasoPasoClick();  // PanelState 4
  tuka.panel.BCargarClick();
  EXPECT_EQ(m().memory().hexText(), memory);
  EXPECT_TRUE(ui.messages.empty());
  for (int r = 0; r < 16; ++r) EXPECT_NE(reg(r), "1234");
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
    m().setCell(outputPortCell(1), c.op1);
    key("ABCD");
    tuka.panel.BCargarClick();
    for (int r = 0; r < 16; ++r) EXPECT_EQ(reg(r) == "ABCD", r == c.stored_in) << c.op1 << r;
    EXPECT_EQ(address(), "0000");
    EXPECT_EQ(content(), reg(0));
  }
}

TEST_F(FrontPanelTest, KeypadDisplayEditGoesThroughTheValueDialog) {
  ui.value_answers = {WordText("0041"), std::nullopt};
  tuka.panel.Modifica_Teclado();
  EXPECT_EQ(cell(kCellKeypad), "0041");
  EXPECT_EQ(m().EditedValue().str(), "0041");
  tuka.panel.Modifica_Teclado();  // Cancelar writes the old value back
  EXPECT_EQ(cell(kCellKeypad), "0041");
  tuka.power.TogglePower();
  tuka.panel.Modifica_Teclado();  // off: refused, no dialog
  EXPECT_EQ(ui.messages, std::vector<std::string>{"¡OPS! : Debe encender primero TUKA-2."});
  EXPECT_EQ(cell(kCellKeypad), "****");
}

TEST_F(FrontPanelTest, HandEditsWriteBackAfterTheDialogEvenOverARun) {
  // A tick inside the modal dialog changes R5; the edit's value wins.
  struct TickingUi : testing::ScriptedUi {
    Machine* machine = nullptr;
    std::optional<WordText> askValue() override {
      machine->WriteRegister(5, "9999");
      return WordText("2345");
    }
  } ticking;
  testing::ReplayRandom random0;
  Tuka2 other(ticking, random0);
  ticking.machine = &other.machine;
  other.power.TogglePower();
  editCellByHand(other.machine, registerCell(5));
  EXPECT_EQ(other.machine.ReadRegister(5).str(), "2345");
}

TEST_F(FrontPanelTest, FlagLampsToggleOnlyWhileOn) {
  toggleFlagByHand(m(), Flag::C);
  EXPECT_TRUE(m().flag(Flag::C));
  toggleFlagByHand(m(), Flag::C);
  EXPECT_FALSE(m().flag(Flag::C));
  tuka.power.TogglePower();
  toggleFlagByHand(m(), Flag::Z);
  EXPECT_FALSE(m().flag(Flag::Z));
  EXPECT_EQ(ui.messages.size(), 1u);
}

}  // namespace
}  // namespace orben
