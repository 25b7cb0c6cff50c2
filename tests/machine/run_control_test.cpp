#include "machine/run_control.h"

#include <gtest/gtest.h>

#include "support/tuka2_fixture.h"

namespace orben {
namespace {

using testing::Tuka2Test;

class RunControlTest : public Tuka2Test {
 protected:
  RunControlTest() { Poke(0x100, {"2101", "2202", "2303", "F000", "2404"}); }
  // Ticks until one does nothing, at most `limit`; returns how many ran.
  int TickUntilIdle(int limit = 100) {
    int ran = 0;
    while (ran < limit && tuka.run.TimerTick()) ++ran;
    return ran;
  }
};

TEST_F(RunControlTest, EjecutarStartsAtTheKeyedAddressEveryTimeContinuarMovesOn) {
  m().SetCell(kCellPC, "0000");
  RunFrom("0100");
  EXPECT_EQ(Cell(kCellPC), "0101");
  EXPECT_EQ(Reg(1), "0001");
  SetReg(1, "9999");
  tuka.run.Ejecutar();  // reloads PC from the keypad: the same word again
  EXPECT_EQ(Reg(1), "0001");
  EXPECT_EQ(Cell(kCellPC), "0101");
  tuka.run.Continuar();
  EXPECT_EQ(Reg(2), "0002");
  EXPECT_EQ(Cell(kCellPC), "0102");
  EXPECT_EQ(m().PanelState(), 2);
}

TEST_F(RunControlTest, TimerTicksOnlyWhenOnTimedAndExecuting) {
  m().SetCell(kCellKeypad, "0100");
  // Step mode after power-on: ticks do nothing.
  EXPECT_FALSE(tuka.run.TimerTick());
  tuka.run.StepModeSwitch();
  EXPECT_EQ(m().StepMode(), 0);
  EXPECT_FALSE(m().StepLamp());
  EXPECT_EQ(m().caption(Control::StepMenuCaption), "Activar modo Paso a Paso");
  EXPECT_EQ(m().PanelState(), 4);
  EXPECT_FALSE(tuka.run.TimerTick());  // the switch alone starts nothing
  EXPECT_EQ(Cell(kCellPC), "0000");

  tuka.run.Ejecutar();
  EXPECT_EQ(TickUntilIdle(), 3);  // 2202, 2303 and the HALT
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Fin la ejecución :-)"});
  EXPECT_EQ(m().StepMode(), 1);
  EXPECT_TRUE(m().StepLamp());
  // HALT leaves the menu caption alone.
  EXPECT_EQ(m().caption(Control::StepMenuCaption), "Activar modo Paso a Paso");
  EXPECT_EQ(Cell(kCellPC), "0104");
  EXPECT_EQ(Reg(4), "0004");  // not run
}

TEST_F(RunControlTest, TicksDoNothingWhileOff) {
  tuka.run.StepModeSwitch();
  tuka.run.Ejecutar();
  tuka.power.TogglePower();
  m().SetControl(Control::StepMode, 0);
  m().SetControl(Control::PanelState, 2);
  const auto before = tuka.processor.executions();
  EXPECT_FALSE(tuka.run.TimerTick());
  EXPECT_EQ(tuka.processor.executions(), before);
}

TEST_F(RunControlTest, StepSwitchDuringATimedRunStopsIt) {
  tuka.run.StepModeSwitch();
  m().SetCell(kCellKeypad, "0100");
  tuka.run.Ejecutar();
  tuka.run.StepModeSwitch();  // back to step mode: PanelState 4
  EXPECT_FALSE(tuka.run.TimerTick());
  tuka.run.StepModeSwitch();  // timed again, but still paused
  EXPECT_FALSE(tuka.run.TimerTick());
  tuka.run.Continuar();  // resumes at PC
  EXPECT_EQ(Reg(2), "0002");
  EXPECT_TRUE(tuka.run.TimerTick());
  EXPECT_EQ(Reg(3), "0003");
}

TEST_F(RunControlTest, TickDuringAnErrorMessageDoesNothing) {
  Poke(0x200, {"4140", "2105"});  // IN from port 40, then LLI
  tuka.run.StepModeSwitch();
  int ticks_run_inside_box = 0;
  ui.on_message = [&](const std::string&) { ticks_run_inside_box += tuka.run.TimerTick(); };
  RunFrom("0200");
  EXPECT_EQ(ticks_run_inside_box, 0);
  EXPECT_EQ(Reg(1), "0001");
  EXPECT_EQ(Cell(kCellPC), "0201");
}

TEST_F(RunControlTest, ContinuarInAddressAndRegisterModeNeverExecutes) {
  m().SetCell(kCellKeypad, "0100");
  tuka.panel.BDireccionClick();
  const auto before = tuka.processor.executions();
  tuka.run.Continuar();
  EXPECT_EQ(Cell(OutputPortCell(1)), "0101");
  EXPECT_EQ(Cell(OutputPortCell(2)), "2202");
  tuka.panel.BRegistrosClick();
  tuka.run.Continuar();
  EXPECT_EQ(Cell(OutputPortCell(1)), "0001");
  EXPECT_EQ(tuka.processor.executions(), before);
  // The step-mode switch ends the mode: Continuar then executes at PC.
  m().SetCell(kCellPC, "0102");
  tuka.run.StepModeSwitch();
  tuka.run.Continuar();
  EXPECT_EQ(tuka.processor.executions(), before + 1);
  EXPECT_EQ(Reg(3), "0003");
}

TEST(SpeedChoices, ItemForIntervalAndBack) {
  EXPECT_EQ(SpeedItemForInterval(1), 0);
  EXPECT_EQ(SpeedItemForInterval(7000), 7);
  EXPECT_EQ(SpeedItemForInterval(1000), 3);
  EXPECT_EQ(SpeedItemForInterval(0), 3);
  EXPECT_EQ(SpeedItemForInterval(250), 3);
  EXPECT_EQ(IntervalOfSpeedItem(0), 1);  // "Rápida" is 1 ms, not 0
  EXPECT_EQ(IntervalOfSpeedItem(-1), 1000);
  EXPECT_EQ(IntervalOfSpeedItem(8), 1000);
}

TEST_F(RunControlTest, SpeedDialogMarksTheCurrentSpeedAndAppliesOnlyOnVale) {
  ui.speed_answers = {7, std::nullopt, 0, -1};
  tuka.run.ChooseSpeed();
  EXPECT_EQ(m().StepInterval(), 7000);
  tuka.run.ChooseSpeed();  // Cancelar
  EXPECT_EQ(m().StepInterval(), 7000);
  tuka.run.ChooseSpeed();
  EXPECT_EQ(m().StepInterval(), 1);
  tuka.run.ChooseSpeed();  // nothing marked
  EXPECT_EQ(m().StepInterval(), 1000);
  EXPECT_EQ(ui.speed_dialogs, (std::vector<int>{3, 7, 7, 0}));
}

}  // namespace
}  // namespace orben
