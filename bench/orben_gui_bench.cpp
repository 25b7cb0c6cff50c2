// The timed run at "Rápida" (a 1 ms step interval) in the real main window,
// against an empty 1 ms precise timer.
//
// ORBEN starts as the program does (StartOrben), TUKA-2 is switched on, an
// EHC file with every word 0000..EFFF is loaded (61,440 listing lines; its
// first words are an endless loop), the speed is set to 1 ms, step mode is
// left, 0000 is keyed and Ejecutar pressed: from then on the step timer
// Reloj runs the loop, one instruction per tick, and the displays, the flag
// lamps and the listing's marked line repaint as they do in real use (the
// window is shown on the offscreen platform; the memory grid repaints too
// whenever an instruction stores, which this loop does not).
//
// In alternating rounds it measures
//   (a) the ticks per second of an empty 1 ms precise QTimer while Reloj is
//       stopped, and
//   (b) the instructions per second of the timed run,
// and prints both rates, their ratio and whether the ratio reaches 0.95.
// Then it times one tick's work: RunControl::tick followed by the events
// and paints it causes, to show the headroom under the 1 ms interval.
//
// Usage: orben_gui_bench [seconds per round, default 2] [rounds, default 3]
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "panel/tuka2.h"
#include "windows/machine_adapter.h"
#include "windows/main.h"
#include "windows/main_window.h"

namespace orben {
namespace {

// The loop at 0000: LLI R1,01; ADDS R2,R2,R1; OUT H'01,R2; SUBS R3,R3,R1;
// LLI RD,00; BR (to RD = 0000). No HALT, no memory access, no error: it
// runs forever.
constexpr unsigned kLoop[] = {0x2101, 0x6221, 0x5201, 0x7331, 0x2D00, 0xC000};
constexpr int kLoopWords = static_cast<int>(std::size(kLoop));
constexpr double kRequiredRatio = 0.95;

// Every word 0000..EFFF, one line each: the loop first, then random words.
std::filesystem::path writeFullEhcFile() {
  std::mt19937 random(1);
  std::string text;
  text.reserve(0xF000 * 11);
  char line[16];
  for (int a = 0; a < 0xF000; ++a) {
    const unsigned word = a < kLoopWords ? kLoop[a] : static_cast<unsigned>(random() & 0xFFFF);
    std::snprintf(line, sizeof line, "%04X %04X\r\n", a, word);
    text += line;
  }
  const auto path = std::filesystem::temp_directory_path() / "orben-gui-bench-full.ehc";
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// Counts paint events anywhere in the application.
class PaintCounter : public QObject {
 public:
  std::uint64_t paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
};

// Runs the event loop for `ms` milliseconds; returns the time it really ran,
// in seconds.
double runEventLoop(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  QElapsedTimer clock;
  clock.start();
  loop.exec();
  return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

// The system's load average, when the system tells it: the rates depend on
// what else the machine is doing.
std::string loadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  if (!(in >> one >> five >> fifteen)) return "unknown";
  return one + " " + five + " " + fifteen;
}

// Fails the benchmark: a run that stops or a setup that goes wrong would
// make every figure meaningless.
[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "orben_gui_bench: %s\n", what);
  std::exit(1);
}

// This thread's CPU time in microseconds: unlike the wall clock, it does not
// count the time other processes hold the processor.
double threadCpuMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

struct Cost {
  double wall_us = 0;
  double cpu_us = 0;
};

// The mean cost of one call of `work`, over `calls` calls.
template <typename Work>
Cost costPerCall(int calls, Work work) {
  QElapsedTimer clock;
  const double cpu_start = threadCpuMicroseconds();
  clock.start();
  for (int i = 0; i < calls; ++i) work();
  const double wall = static_cast<double>(clock.nsecsElapsed()) / 1e3;
  const double cpu = threadCpuMicroseconds() - cpu_start;
  return {wall / calls, cpu / calls};
}

struct Round {
  double empty_rate = 0;        // ticks/s of the empty 1 ms timer
  double instruction_rate = 0;  // instructions/s of the timed run
  double reloj_rate = 0;        // ticks/s of Reloj during the run
  double paints_per_instruction = 0;
};

}  // namespace
}  // namespace orben

int main(int argc, char* argv[]) {
  using namespace orben;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  const int round_ms = argc > 1 ? std::max(1, std::atoi(argv[1])) * 1000 : 2000;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;

  auto* window = qobject_cast<MainWindow*>(StartOrben());
  if (window == nullptr) fail("StartOrben did not return the main window");
  auto* reloj = window->findChild<QTimer*>(QStringLiteral("Reloj"));
  if (reloj == nullptr) fail("the step timer Reloj was not found");
  Tuka2& tuka = window->adapter().tuka();

  // A message box would block the benchmark in its own event loop: answer
  // it and fail, since the loop never shows one.
  QTimer watchdog;
  QObject::connect(&watchdog, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      std::fprintf(stderr, "unexpected message: %s\n", qPrintable(box->text()));
      box->done(QMessageBox::Ok);
      fail("the run showed a message box");
    }
  });
  watchdog.start(250);

  // Switch on, load the listing (the loop at 0000 included), "Rápida".
  tuka.power.TogglePower();
  if (!tuka.machine.powerOn()) fail("TUKA-2 did not switch on");
  const auto file = writeFullEhcFile();
  if (tuka.load.loadFile(file.string()) != LoadOutcome::Loaded) fail("the load failed");
  std::filesystem::remove(file);
  if (tuka.listing.count() != 0xF000) fail("the listing does not hold 61,440 lines");
  for (int a = 0; a < kLoopWords; ++a) {
    std::printf("  %s\n", tuka.listing.line(a).c_str());
  }
  tuka.machine.setStepInterval(1);
  if (reloj->interval() != 1 || reloj->timerType() != Qt::PreciseTimer || !reloj->isActive()) {
    fail("Reloj is not a running precise 1 ms timer");
  }

  // Leave step mode, key 0000, Ejecutar: Reloj runs the loop.
  tuka.run.toggleStepMode();
  if (tuka.machine.stepMode() != StepMode::Timed) fail("step mode did not switch off");
  for (int i = 0; i < 4; ++i) tuka.panel.pressKey('0');
  if (tuka.machine.cell(kCellKeypad).view() != "0000") fail("the keypad does not hold 0000");
  if (tuka.run.executeFromKeypad() != Outcome::Executed) fail("Ejecutar did not execute");
  QApplication::processEvents();

  PaintCounter paint_counter;
  app.installEventFilter(&paint_counter);
  std::uint64_t reloj_ticks = 0;
  QObject::connect(reloj, &QTimer::timeout, [&reloj_ticks] { ++reloj_ticks; });

  QTimer empty;
  empty.setTimerType(Qt::PreciseTimer);
  empty.setInterval(1);
  std::uint64_t empty_ticks = 0;
  QObject::connect(&empty, &QTimer::timeout, [&empty_ticks] { ++empty_ticks; });

  std::printf(
      "ORBEN main window %dx%d, listing %d lines, Reloj %d ms precise; %d rounds of %d ms\n",
      window->width(), window->height(), tuka.listing.count(), reloj->interval(), rounds, round_ms);
  std::printf("platform %s, event dispatcher %s, load average %s\n",
              qPrintable(QApplication::platformName()),
              QAbstractEventDispatcher::instance()->metaObject()->className(),
              loadAverage().c_str());
  std::printf("%-6s %14s %16s %14s %12s %8s\n", "round", "empty ticks/s", "instructions/s",
              "Reloj ticks/s", "paints/ins", "ratio");

  std::vector<Round> results;
  for (int r = 0; r < rounds; ++r) {
    Round round;

    // (a) The empty timer alone: Reloj stopped, the machine untouched.
    reloj->stop();
    empty_ticks = 0;
    empty.start();
    const double empty_seconds = runEventLoop(round_ms);
    round.empty_rate = static_cast<double>(empty_ticks) / empty_seconds;
    empty.stop();

    // (b) The timed run: Reloj ticks, the window repaints.
    const std::uint64_t executed_before = tuka.processor.executions();
    const std::uint64_t paints_before = paint_counter.paints;
    reloj_ticks = 0;
    reloj->start();
    const double run_seconds = runEventLoop(round_ms);
    const auto executed = tuka.processor.executions() - executed_before;
    round.instruction_rate = static_cast<double>(executed) / run_seconds;
    round.reloj_rate = static_cast<double>(reloj_ticks) / run_seconds;
    round.paints_per_instruction = executed == 0
                                       ? 0
                                       : static_cast<double>(paint_counter.paints - paints_before) /
                                             static_cast<double>(executed);
    if (tuka.machine.stepMode() != StepMode::Timed ||
        tuka.machine.panelState() != PanelState::Executing ||
        tuka.run.lastOutcome() != Outcome::Executed) {
      fail("the timed run stopped");
    }

    std::printf("%-6d %14.1f %16.1f %14.1f %12.2f %8.3f\n", r + 1, round.empty_rate,
                round.instruction_rate, round.reloj_rate, round.paints_per_instruction,
                round.instruction_rate / round.empty_rate);
    std::fflush(stdout);
    results.push_back(round);
  }

  double empty_sum = 0;
  double run_sum = 0;
  for (const Round& round : results) {
    empty_sum += round.empty_rate;
    run_sum += round.instruction_rate;
  }
  const double empty_rate = empty_sum / rounds;
  const double run_rate = run_sum / rounds;
  const double ratio = run_rate / empty_rate;
  std::printf("empty 1 ms precise timer:      %10.1f ticks/s\n", empty_rate);
  std::printf("timed run at Rapida (Reloj):   %10.1f instructions/s\n", run_rate);
  std::printf("ratio run/empty:               %10.3f  (at least %.2f: %s)\n", ratio, kRequiredRatio,
              ratio >= kRequiredRatio ? "yes" : "NO");

  // The cost of one tick: Reloj stopped, each tick followed by the events
  // and paints it posted. Then the same split in two: the ticks alone (their
  // repaints only requested), and the event processing with nothing to do.
  reloj->stop();
  QApplication::processEvents();
  constexpr int kTicks = 5000;
  const std::uint64_t paints_before = paint_counter.paints;
  const std::uint64_t executed_before = tuka.processor.executions();
  const Cost tick_and_paint = costPerCall(kTicks, [&tuka] {
    tuka.run.tick();
    QApplication::processEvents();
  });
  const auto paints = paint_counter.paints - paints_before;
  if (tuka.processor.executions() - executed_before != kTicks) fail("a tick did not execute");
  const Cost tick_alone = costPerCall(kTicks, [&tuka] { tuka.run.tick(); });
  QApplication::processEvents();
  const Cost idle_events = costPerCall(kTicks, [] { QApplication::processEvents(); });

  std::printf("cost per call, wall clock and this thread's CPU time:\n");
  std::printf("one tick with its repaints:    %8.1f us wall %8.1f us CPU  (%.2f paints per tick)\n",
              tick_and_paint.wall_us, tick_and_paint.cpu_us, static_cast<double>(paints) / kTicks);
  std::printf("  the tick alone (no paint):   %8.1f us wall %8.1f us CPU\n", tick_alone.wall_us,
              tick_alone.cpu_us);
  std::printf("  event processing, idle:      %8.1f us wall %8.1f us CPU\n", idle_events.wall_us,
              idle_events.cpu_us);
  std::printf("headroom under the 1 ms interval: %.1f us (wall), %.1f us (CPU)\n",
              1000.0 - tick_and_paint.wall_us, 1000.0 - tick_and_paint.cpu_us);
  std::printf("load average at the end %s\n", loadAverage().c_str());

  app.removeEventFilter(&paint_counter);
  window->close();
  return 0;
}
