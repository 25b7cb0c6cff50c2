// Typing into the memory grid: memory changes at once, and in the
// disassembler mode the edited word's listing line is rewritten in address
// order, at every key released.

#include <QKeyEvent>

#include "disasm/disassembler.h"
#include "gui_support.h"
#include "widgets/hex_editor.h"

using namespace orben::testing;
using orben::THexEditor;

namespace {

THexEditor* grid() {
  return find<THexEditor>(QStringLiteral("Memoria"));
}

// Puts the caret on the high digit of the word at `address` and types.
void typeAt(int address, const char* keys) {
  grid()->setCaret(static_cast<std::size_t>(2 * address));
  QTest::keyClicks(grid(), QString::fromLatin1(keys));
}

QStringList listing(const Program& program) {
  QStringList lines;
  const auto& listed = static_cast<orben::MainWindow*>(program.window())->adapter().tuka().listing;
  for (int i = 0; i < listed.count(); ++i) lines << QString::fromStdString(listed.line(i));
  return lines;
}

bool sorted(const Program& program) {
  return static_cast<orben::MainWindow*>(program.window())->adapter().tuka().listing.sorted();
}

void disassemblerModeOn(ModalScript& script) {
  script.then(
      [](QWidget* box) { qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click(); });
  trigger("Mododesensamblador1");
}

// A key held down: presses that repeat, then one release.
void holdKey(Qt::Key key, const QString& text, int repeats) {
  for (int i = 0; i < repeats; ++i) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text, i > 0);
    QApplication::sendEvent(grid(), &press);
    if (i + 1 < repeats) {
      QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text, true);
      QApplication::sendEvent(grid(), &release);
    }
  }
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text, false);
  QApplication::sendEvent(grid(), &release);
}

}  // namespace

class MemoryGridTest : public QObject {
  Q_OBJECT

 private slots:
  void withTheModeOffTypingChangesOnlyMemory() {
    Program program;  // TUKA-2 off: memory can be edited all the same
    ModalScript script;
    const QStringList listed{"[0000]: HALT"};
    static_cast<orben::MainWindow*>(program.window())
        ->adapter()
        .tuka()
        .listing.add(listed[0].toStdString());
    typeAt(0x10, "2105");
    QCOMPARE(program.machine().ReadMemoryWord(0x10).str(), "2105");
    QCOMPARE(listing(program), listed);
    QVERIFY(!sorted(program));
    QVERIFY(script.messages.isEmpty());
  }

  void withTheModeOnEachEditedWordHasOneLineInAddressOrder() {
    Program program;
    ModalScript script;
    disassemblerModeOn(script);
    typeAt(0x10, "1234");
    QCOMPARE(listing(program), QStringList{"[0010]: ST [RD+H'34], R2"});
    QVERIFY(sorted(program));
    typeAt(0x05, "2105");
    typeAt(0x02, "E000");
    typeAt(0x05, "F000");
    QCOMPARE(listing(program),
             (QStringList{"[0002]: RET", "[0005]: HALT", "[0010]: ST [RD+H'34], R2"}));

    // An arrow's release lists again the word noted at the last other key.
    typeAt(0x20, "");
    QTest::keyClick(grid(), Qt::Key_Down);
    QCOMPARE(listing(program).size(), 3);
    grid()->setCaret(2 * 0x10);
    QTest::keyClick(grid(), Qt::Key_Down);  // still word 0005, not 0010 or 0011
    QCOMPARE(listing(program).size(), 3);
    typeAt(0x20, "9");  // the next digit lists 0020
    QCOMPARE(listing(program).size(), 4);
    QVERIFY(listing(program)[3].startsWith("[0020]: SHL R"));
  }

  void aHeldKeyListsOnlyTheLastWord() {
    Program program;
    ModalScript script;
    disassemblerModeOn(script);
    grid()->setCaret(2 * 0x30);
    holdKey(Qt::Key_F, QStringLiteral("F"), 9);  // 0030..0031, then the high digit of 0032
    for (int a = 0x30; a <= 0x31; ++a) QCOMPARE(program.machine().ReadMemoryWord(a).str(), "FFFF");
    QCOMPARE(program.machine().ReadMemoryWord(0x32).view()[0], 'F');
    QCOMPARE(listing(program).size(), 1);
    QVERIFY(listing(program)[0].startsWith("[0032]: HALT"));
  }

  // A program typed into the grid runs from the keypad.
  void aProgramTypedIntoTheGridRuns() {
    Program program;
    ModalScript script;
    click("BOnOff");
    typeAt(0x40, "2107");
    typeAt(0x41, "5101");
    typeAt(0x42, "F000");
    key("0040");
    click("BEjecutar");
    click("BContinuar");
    QCOMPARE(value("PO_01"), "0007");
    click("BContinuar");
    QCOMPARE(script.messages, QStringList{"Fin la ejecución :-)"});
    QCOMPARE(value("PC"), "0043");
  }

  // A timed run goes on between a key's press and its release; the listing
  // shows the word as it is at the release.
  void aTimedRunGoesOnWhileTheUserTypes() {
    Program program;
    ModalScript script;
    click("BOnOff");
    disassemblerModeOn(script);
    // LLI R1, 01; LLI RD, 50; ST [RD+00], R2; ADDS R2, R2, R1; LLI RD, 01;
    // BR: word 0050 counts up as fast as the timer ticks.
    const char* words[] = {"2101", "2D50", "1200", "6221", "2D01", "C000"};
    for (int i = 0; i < 6; ++i) typeAt(i, words[i]);
    script.then([](QWidget* dialog) {
      dialog->findChild<QAbstractButton*>("RadioGroup1_0")->setChecked(true);
      press(dialog, "LiveButton1");
    });
    trigger("VelocidaddeejecucinenmodoPP1");
    click("BPasoPaso");
    key("0000");
    click("BEjecutar");
    const auto word = [&] { return program.machine().ReadMemoryWord(0x50).str(); };
    grid()->setCaret(2 * 0x50);
    QTest::keyPress(grid(), '0');
    const std::string at_press = word();
    QTRY_VERIFY(word() != at_press);
    QTest::keyRelease(grid(), '0');
    const QString line = QString::fromStdString("[0050]: " + orben::Disassemble(word()));
    QCOMPARE(listing(program).filter("[0050]: "), QStringList{line});
    QVERIFY(script.unexpected.isEmpty());
  }
};

QTEST_MAIN(MemoryGridTest)
#include "memory_grid_test.moc"
