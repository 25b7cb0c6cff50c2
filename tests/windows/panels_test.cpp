// The panels driven as a user drives them: power, the keypad, the panel
// buttons, a program run step by step and timed to its HALT, hand edits of
// registers, ports and flags through the value entry dialog, and typing into
// the memory grid. What each control does is the
// core's; here, that each control reaches it.

#include <QKeyEvent>

#include <algorithm>
#include <cmath>
#include <vector>

#include "disasm/disassembler.h"
#include "gui_support.h"
#include "widgets/hex_editor.h"

using namespace orben::testing;
using orben::THexEditor;

namespace {

const QString kEnd = QStringLiteral("Fin la ejecución :-)");

QString listingLine() {
  return find<QWidget>(QStringLiteral("Listado"))->property("currentLine").toString();
}

THexEditor* grid() {
  return find<THexEditor>(QStringLiteral("Memoria"));
}

// Puts the caret on the high digit of the word at `address` and types.
void typeAt(int address, const char* keys) {
  grid()->setCaret(static_cast<std::size_t>(2 * address));
  QTest::keyClicks(grid(), QString::fromLatin1(keys));
}

void disassemblerModeOn(Program& program) {
  program.script.then(
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

// A colour's relative luminance: the sRGB channels made linear, weighted
// 0.2126, 0.7152 and 0.0722.
double luminance(const QColor& c) {
  const auto linear = [](double v) {
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

}  // namespace

class PanelsTest : public QObject {
  Q_OBJECT

 private slots:
  void powerSwitchesThePanel() {
    Program program;
    click("BOnOff");
    QVERIFY(lit("LOn") && lit("LPP"));
    for (const char* name : {"BPasoPaso", "T0", "TF", "BDireccion", "BContinuar"})
      QVERIFY2(find<QWidget>(name)->isEnabled(), name);
    QVERIFY(find<QAction>("MModoPasoapaso")->isEnabled());
    QCOMPARE(find<QAction>("MApagar_TUKA2")->text(), QStringLiteral("Apagar TUKA-2"));
    QCOMPARE(value("RE"), QStringLiteral("F000"));
    for (const auto& group :
         {QStringList{"Teclado", "IP1", "PIN_01"}, {"PC", "PPC"}, {"OP2", "POP2", "PO_02"}}) {
      for (const QString& name : group) QCOMPARE(value(name), value(group[0]));
    }
    trigger("MApagar_TUKA2");  // the menu item is the same switch
    QVERIFY(!lit("LOn") && !lit("LPP"));
    QVERIFY(!find<QWidget>("T5")->isEnabled());
    for (const char* name : {"PIN_2A", "R3", "PPC", "Teclado", "POP1", "IR", "PO_3F"})
      QCOMPARE(value(name), QStringLiteral("****"));
    QVERIFY(!lit("Z_ON") && !lit("PZ_ON"));
    // While off, the keypad's display, a register and a flag lamp only say so.
    for (const char* name : {"Teclado", "R3", "Z_OFF"}) click(name);
    const QString off =
        QString::fromUtf8(orben::kPowerOffMessage.data(), orben::kPowerOffMessage.size());
    QCOMPARE(program.script.takeMessages(), (QStringList{off, off, off}));
    QVERIFY(!lit("Z_ON"));
  }

  // Each key and button once, with its effect on the displays and memory.
  void keypadAndPanelButtons() {
    Program program;
    click("BOnOff");
    key("12345");
    QCOMPARE(value("Teclado"), "2345");
    key("0100");
    click("BDireccion");
    QCOMPARE(value("POP1"), "0100");
    QCOMPARE(value("POP2"), QString::fromLatin1(program.machine().ReadMemoryWord(0x100).view()));
    key("1234");
    click("BCargar");
    QCOMPARE(program.machine().ReadMemoryWord(0x100).str(), "1234");
    QCOMPARE(value("POP1"), "0101");
    click("BContinuar");
    QCOMPARE(value("POP1"), "0102");
    click("BRegistros");
    QCOMPARE(value("POP1"), "0000");
    click("BCargar");
    QCOMPARE(value("R0"), "1234");
    QCOMPARE(value("OP1"), "0001");
    click("BContinuar");
    QCOMPARE(value("OP1"), "0002");
    QCOMPARE(value("POP2"), value("R2"));
  }

  // Keys are never lost: every accelerator press is one click, in order,
  // however fast the presses come; Ctrl+Tab and Ctrl+Shift+Tab leave the
  // memory grid, where Tab and Shift+Tab only switch its areas; a click on
  // a key, a panel button or the listing takes the keyboard focus.
  void keysAreNeverLost() {
    Program program;
    QMainWindow* main = program.window();
    QApplication::setActiveWindow(main);
    QVERIFY(QTest::qWaitForWindowActive(main));
    click("BOnOff");
    for (const QString& keys : {QStringLiteral("1234"), QStringLiteral("5555")}) {
      for (QChar digit : keys) {
        QTest::keyClick(main, static_cast<Qt::Key>(digit.unicode()), Qt::AltModifier);
        QTest::qWait(20);
      }
      QCOMPARE(value("Teclado"), keys);
    }

    struct Chord {
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      bool leaves;
    };
    for (const Chord& chord :
         {Chord{Qt::Key_Tab, Qt::NoModifier, false},
          Chord{Qt::Key_Backtab, Qt::ShiftModifier, false},
          Chord{Qt::Key_Tab, Qt::ControlModifier, true},
          Chord{Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, true},
          Chord{Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier, true}}) {
      grid()->setFocus();
      QVERIFY(grid()->hasFocus());
      const auto area = grid()->caretArea();
      QTest::keyClick(grid(), chord.key, chord.modifiers);
      QCOMPARE(!grid()->hasFocus(), chord.leaves);
      QVERIFY(QApplication::focusWidget() != nullptr);
      if (!chord.leaves) QVERIFY(grid()->caretArea() != area);
    }

    // Ejecutar runs the word at 5555, keyed above: LLI R1, H'05, no box.
    program.tuka().machine.WriteMemoryWord(0x5555, "2105");
    for (const char* name : {"T5", "BDireccion", "Listado", "BEjecutar", "TA"}) {
      grid()->setFocus();
      click(name);
      QCOMPARE(QApplication::focusWidget(), find<QWidget>(name));
    }
    QCOMPARE(value("R1"), "0005");
  }

  // Under the pointer a panel button's caption turns yellow and still
  // reads: measured from the button's pixels, the most yellow caption pixel
  // stands at least 3:1 against the face (the median luminance inside the
  // frame, where caption and glyph are the few).
  void aHoveredCaptionReads() {
    Program program;
    click("BOnOff");
    for (const char* name : {"BOnOff", "T5", "BEjecutar", "BPasoPaso"}) {
      auto* button = find<QWidget>(name);
      QTest::mouseMove(button, button->rect().center());
      QTRY_COMPARE(button->property("captionColor").value<QColor>(), QColor(255, 255, 0));
      const QImage picture = button->grab().toImage().convertToFormat(QImage::Format_RGB32);
      std::vector<double> face;
      QColor caption;
      int yellowest = -256;
      for (int y = 3; y < picture.height() - 3; ++y) {
        for (int x = 3; x < picture.width() - 3; ++x) {
          const QColor c = picture.pixelColor(x, y);
          face.push_back(luminance(c));
          if (const int yellow = std::min(c.red(), c.green()) - c.blue(); yellow > yellowest) {
            yellowest = yellow;
            caption = c;
          }
        }
      }
      std::nth_element(face.begin(), face.begin() + face.size() / 2, face.end());
      const double median = face[face.size() / 2];
      const double ratio = (std::max(luminance(caption), median) + 0.05) /
                           (std::min(luminance(caption), median) + 0.05);
      QVERIFY2(ratio >= 3.0, qPrintable(QStringLiteral("%1: caption %2, %3:1")
                                            .arg(name, caption.name())
                                            .arg(ratio, 0, 'f', 2)));
    }
  }

  void programRunsStepByStepAndTimedToItsHalt() {
    Program program;
    QTemporaryDir folder;
    click("BOnOff");
    // R1 := 5, R2 := 3, R3 := R1 + R2, OUT 01, R3, HALT.
    loadFile(program, folder, "SUMA.EHC", "0 2105\r\n1 2203\r\n2 6312\r\n3 5301\r\n4 F000");
    QCOMPARE(listingLine(), "-1");
    key("0000");
    click("BEjecutar");
    QCOMPARE(value("R1"), "0005");
    QCOMPARE(value("PPC"), "0001");
    QCOMPARE(listingLine(), "1");
    for (int i = 0; i < 3; ++i) click("BContinuar");
    QCOMPARE(value("PO_01"), "0008");
    click("BContinuar");
    QCOMPARE(program.script.takeMessages(), QStringList{kEnd});
    QCOMPARE(listingLine(), "4");  // PC 0005 has no line: the HALT's stays marked

    // Timed: the timer runs the program again to its HALT.
    startTimedRun(program, "0000");
    QTRY_COMPARE(program.script.messages.size(), 1);
    QCOMPARE(program.script.takeMessages(), QStringList{kEnd});
    QVERIFY(lit("LPP"));
    // HALT leaves the caption as the switch left it.
    QCOMPARE(find<QAction>("MModoPasoapaso")->text(), QStringLiteral("Activar modo Paso a Paso"));
  }

  // Hand edits of registers, ports and flags through the value entry dialog:
  // the display clicked (one of each way in: the internal panel, PPC on the
  // front panel, the keypad's port and another input port), the keys typed
  // before ¡Vale!, and the displays that must then show the value.
  void editsWriteTheClickedDisplayAndItsMirrors_data() {
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("shown");
    const auto row = [](const char* name, const char* clicked, const char* keys,
                        const char* expected, const QStringList& shown) {
      QTest::newRow(name) << QString(clicked) << QString(keys) << QString(expected) << shown;
    };
    row("five keys", "R5", "12345", "2345", {"R5"});
    row("lower case, ignored keys", "R5", "ag\b1z", "00A1", {"R5"});
    row("nothing typed", "RA", "", "0000", {"RA"});
    row("PPC", "PPC", "0100", "0100", {"PC", "PPC"});
    row("PIN_01", "PIN_01", "31", "0031", {"PIN_01", "Teclado", "IP1"});
    row("IP1", "IP1", "C0DE", "C0DE", {"IP1", "Teclado", "PIN_01"});
    row("IP2", "IP2", "0202", "0202", {"IP2", "PIN_02"});
    row("PIN_2A", "PIN_2A", "007F", "007F", {"PIN_2A"});
  }
  void editsWriteTheClickedDisplayAndItsMirrors() {
    QFETCH(QString, clicked);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    QFETCH(QStringList, shown);
    Program program;
    click("BOnOff");
    const QString listed = listingLine();
    program.script.then(typeValue(keys));
    click(clicked);
    for (const QString& name : shown) QCOMPARE(value(name), expected);
    // The program counter's displays change, not the listing's mark.
    QCOMPARE(listingLine(), listed);
  }

  void cancelarEnterAndTheKeysOfTheDialog() {
    Program program;
    click("BOnOff");
    const QString before = value("R5");
    program.script.then(typeValue("9999", false));
    click("R5");
    QCOMPARE(value("R5"), before);
    // Enter presses ¡Vale!, which has the focus when the dialog opens.
    program.script.then([](QWidget* dialog) {
      QTest::keyClicks(dialog, "BEEF");
      QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    });
    click("R5");
    QCOMPARE(value("R5"), "BEEF");
    // Displays without an edit action open nothing.
    for (const char* name : {"IR", "PIR", "AR", "DR", "OP1", "POP2", "PO_05"}) click(name);
  }

  // The step timer keeps ticking behind the dialog, and ¡Vale! writes the
  // typed value over what the run stored meanwhile.
  void aTimedRunGoesOnBehindTheDialog() {
    Program program;
    click("BOnOff");
    // ADDS R5, R5, R1; LLI RD, 00; BR: R5 counts up.
    key("0000");
    click("BDireccion");
    for (const char* word : {"6551", "2D00", "C000"}) {
      key(word);
      click("BCargar");
    }
    startTimedRun(program, "0000");
    program.script.then([](QWidget* dialog) {
      const QString opened = value("R5");
      QTRY_VERIFY(value("R5") != opened);
      QTest::keyClicks(dialog, "ABCD");
      press(dialog, "LiveButton1");
    });
    click("R5");
    QCOMPARE(value("R5").left(2), QStringLiteral("AB"));  // the run goes on from ABCD
  }

  // Either panel's lamp toggles the one flag both show.
  void flagLampsToggleFromEitherPanel() {
    Program program;
    click("BOnOff");
    click("C_OFF");
    QVERIFY(lit("C_ON") && lit("PC_ON"));
    click("PC_ON");
    QVERIFY(!lit("C_ON") && !lit("PC_ON"));
    click("PV_OFF");
    QVERIFY(lit("V_ON") && lit("PV_ON") && !lit("Z_ON") && !lit("S_ON"));
  }

  // Typing into the memory grid changes memory at once; in the disassembler
  // mode the word under the caret at the last key-down is listed again at
  // every key released, one line per word in address order.
  void typingListsWordsOnlyInTheDisassemblerMode() {
    Program program;  // TUKA-2 off: memory can be edited all the same
    program.tuka().listing.add("[0000]: HALT");
    typeAt(0x10, "2105");
    QCOMPARE(program.machine().ReadMemoryWord(0x10).str(), "2105");
    QCOMPARE(program.listing(), QStringList{"[0000]: HALT"});
    QVERIFY(!program.tuka().listing.sorted());
    disassemblerModeOn(program);
    typeAt(0x10, "1234");
    typeAt(0x05, "2105");
    typeAt(0x05, "F000");
    QCOMPARE(program.listing(), (QStringList{"[0005]: HALT", "[0010]: ST [RD+H'34], R2"}));

    // An arrow's release lists again the word noted at the last other key.
    grid()->setCaret(2 * 0x10);
    QTest::keyClick(grid(), Qt::Key_Down);  // still word 0005, not 0010 or 0011
    QCOMPARE(program.listing().size(), 2);
    typeAt(0x20, "9");  // the next digit lists 0020
    QCOMPARE(program.listing().size(), 3);
    QVERIFY(program.listing()[2].startsWith("[0020]: SHL R"));

    // A held, repeating key lists only the word under its last release.
    grid()->setCaret(2 * 0x30);
    holdKey(Qt::Key_F, QStringLiteral("F"), 9);  // 0030..0031, then the high digit of 0032
    QCOMPARE(program.machine().ReadMemoryWord(0x31).str(), "FFFF");
    QCOMPARE(program.listing().size(), 4);
    QVERIFY(program.listing()[3].startsWith("[0032]: HALT"));
  }

  // A timed run goes on between a key's press and its release; the listing
  // shows the word as it is at the release.
  void aTimedRunGoesOnWhileTheUserTypes() {
    Program program;
    click("BOnOff");
    disassemblerModeOn(program);
    // LLI R1, 01; LLI RD, 50; ST [RD+00], R2; ADDS R2, R2, R1; LLI RD, 01;
    // BR: word 0050 counts up as fast as the timer ticks.
    const char* words[] = {"2101", "2D50", "1200", "6221", "2D01", "C000"};
    for (int i = 0; i < 6; ++i) typeAt(i, words[i]);
    startTimedRun(program, "0000");
    const auto word = [&] { return program.machine().ReadMemoryWord(0x50).str(); };
    grid()->setCaret(2 * 0x50);
    QTest::keyPress(grid(), '0');
    const std::string at_press = word();
    QTRY_VERIFY(word() != at_press);
    QTest::keyRelease(grid(), '0');
    const QString line = QString::fromStdString("[0050]: " + orben::Disassemble(word()));
    QCOMPARE(program.listing().filter("[0050]: "), QStringList{line});
  }
};

QTEST_MAIN(PanelsTest)
#include "panels_test.moc"
