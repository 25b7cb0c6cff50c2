#include "machine/run_control.h"

#include <gtest/gtest.h>

#include "support/tuka2_fixture.h"

namespace orben {
namespace {

using testing::Tuka2Test;

class RunControlTest : public Tuka2Test {
 protected:
  RunControlTest() { poke(0x100, {"2101", "2202", "2303", "F000", "2404"}); }
  // Ticks until one does nothing, at most `limit`; returns how many ran.
  int tickUntilIdle(int limit = 100) {
    int ran = 0;
    while (ran < limit && tuka.run.RelojTimer()) ++ran;
    return ran;
  }
};

TEST_F(RunControlTest, EjecutarStartsAtTheKeyedAddressEveryTimeContinuarMovesOn) {
  m().setCell(kCellPC, "0000");
  runFrom("0100");
  EXPECT_EQ(cell(kCellPC), "0101");
  EXPECT_EQ(reg(1), "0001");
  setReg(1, "9999");
  tuka.run.BEjecutarClick();  // reloads PC from the keypad: the same word again
  EXPECT_EQ(reg(1), "0001");
  EXPECT_EQ(cell(kCellPC), "0101");
  tuka.run.BContinuarClick();
  EXPECT_EQ(reg(2), "0002");
  EXPECT_EQ(cell(kCellPC), "0102");
  EXPECT_EQ(m().PanelState(), 2);
}

TEST_F(RunControlTest, TimerTicksOnlyWhenOnTimedAndExecuting) {
  m().setCell(kCellKeypad, "0100");
  // Step mode after power-on: ticks do nothing.
  EXPECT_FALSE(tuka.run.RelojTimer());
  tuka.run.BPasoPasoClick();
  EXPECT_EQ(m().StepMode(), 0);
  EXPECT_FALSE(m().stepLamp());
  EXPECT_EQ(m().caption(Control::StepMenuCaption), "Activar modo Paso a Paso");
  EXPECT_EQ(m().PanelState(), 4);
  EXPECT_FALSE(tuka.run.RelojTimer());  // the switch alone starts nothing
  EXPECT_EQ(cell(kCellPC), "0000");

  tuka.run.BEjecutarClick();
  EXPECT_EQ(tickUntilIdle(), 3);  // 2202, 2303 and the HALT
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Fin la ejecución :-)"});
  EXPECT_EQ(m().StepMode(), 1);
  EXPECT_TRUE(m().stepLamp());
  // HALT leaves the menu caption alone.
  EXPECT_EQ(m().caption(Control::StepMenuCaption), "Activar modo Paso a Paso");
  EXPECT_EQ(cell(kCellPC), "0104");
  EXPECT_EQ(reg(4), "0004");  // not run
}

TEST_F(RunControlTest, TicksDoNothingWhileOff) {
  tuka.run.BPasoPasoClick();
  tuka.run.BEjecutarClick();
  tuka.power.TogglePower();
  m().setControl(Control::StepMode, 0);
  m().setControl(Control::PanelState, 2);
  const auto before = tuka.processor.executions();
  EXPECT_FALSE(tuka.run.RelojTimer());
  EXPECT_EQ(tuka.processor.executions(), before);
}

TEST_F(RunControlTest, StepSwitchDuringATimedRunStopsIt) {
  tuka.run.BPasoPasoClick();
  m().setCell(kCellKeypad, "0100");
  tuka.run.BEjecutarClick();
  tuka.run.BPasoPasoClick();  // back to step mode: PanelState 4
  EXPECT_FALSE(tuka.run.RelojTimer());
  tuka.run.BPasoPasoClick();  // timed again, but still paused
  EXPECT_FALSE(tuka.run.RelojTimer());
  tuka.run.BContinuarClick();  // resumes at PC
  EXPECT_EQ(reg(2), "0002");
  EXPECT_TRUE(tuka.run.RelojTimer());
  EXPECT_EQ(reg(3), "0003");
}

TEST_F(RunControlTest, TickDuringAnErrorMessageDoesNothing) {
  poke(0x200, {"4140", "2105"});  // IN from port 40, then LLI
  tuka.run.BPasoPasoClick();
  int ticks_run_inside_box = 0;
  ui.on_message = [&](const std::string&) { ticks_run_inside_box += tuka.run.RelojTimer(); };
  runFrom("0200");
  EXPECT_EQ(ticks_run_inside_box, 0);
  EXPECT_EQ(reg(1), "0001");
  EXPECT_EQ(cell(kCellPC), "0201");
}

TEST_F(RunControlTest, ContinuarInAddressAndRegisterModeNeverExecutes) {
  m().setCell(kCellKeypad, "0100");
  tuka.panel.BDireccionClick();
  const auto before = tuka.processor.executions();
  tuka.run.BContinuarClick();
  EXPECT_EQ(cell(outputPortCell(1)), "0101");
  EXPECT_EQ(cell(outputPortCell(2)), "2202");
  tuka.panel.BRegistrosClick();
  tuka.run.BContinuarClick();
  EXPECT_EQ(cell(outputPortCell(1)), "0001");
  EXPECT_EQ(tuka.processor.executions(), before);
  // The step-mode switch ends the mode: Continuar then executes at PC.
  m().setCell(kCellPC, "0102");
  tuka.run.BPasoPasoClick();
  tuka.run.BContinuarClick();
  EXPECT_EQ(tuka.processor.executions(), before + 1);
  EXPECT_EQ(reg(3), "0003");
}

TEST(SpeedChoices, ItemForIntervalAndBack) {
  EXPECT_EQ(speedItemForInterval(1), 0);
  EXPECT_EQ(speedItemForInterval(7000), 7);
  EXPECT_EQ(speedItemForInterval(1000), 3);
  EXPECT_EQ(speedItemForInterval(0), 3);
  EXPECT_EQ(speedItemForInterval(250), 3);
  EXPECT_EQ(intervalOfSpeedItem(0), 1);  // "Rápida" is 1 ms, not 0
  EXPECT_EQ(intervalOfSpeedItem(-1), 1000);
  EXPECT_EQ(intervalOfSpeedItem(8), 1000);
}

TEST_F(RunControlTest, SpeedDialogMarksTheCurrentSpeedAndAppliesOnlyOnVale) {
  ui.speed_answers = {7, std::nullopt, 0, -1};
  tuka.run.VelocidaddeejecucinenmodoPP1Click();
  EXPECT_EQ(m().StepInterval(), 7000);
  tuka.run.VelocidaddeejecucinenmodoPP1Click();  // Cancelar
  EXPECT_EQ(m().StepInterval(), 7000);
  tuka.run.VelocidaddeejecucinenmodoPP1Click();
  EXPECT_EQ(m().StepInterval(), 1);
  tuka.run.VelocidaddeejecucinenmodoPP1Click();  // nothing marked
  EXPECT_EQ(m().StepInterval(), 1000);
  EXPECT_EQ(ui.speed_dialogs, (std::vector<int>{3, 7, 7, 0}));
}

}  // namespace
}  // namespace orben
