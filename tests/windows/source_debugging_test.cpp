// Debugging from the source editor: the line at PC (lineaPC) through
// Ejecutar, Continuar and Paso atrás, breakpoints by F2, the margin and the
// listing, a timed run stopped at one, Ejecutar hasta el cursor, what each
// step changed (cambiado), and the checks listed as they happen.

#include <QAccessible>
#include <QListWidget>
#include <QMap>
#include <QPlainTextEdit>
#include <QTextBlock>

#include "editor_support.h"
#include "gui_support.h"
#include "support/heard_events.h"
#include "widgets/digital_display.h"
#include "widgets/hex_editor.h"
#include "widgets/hlistbox.h"

using namespace orben::testing;

namespace {

// Words: 0000 line 3, 0001 line 4, 0002 line 6, 0003-0004 line 7 (LDI is
// LLI and LHI), 0005 line 8, 0006 line 9, 0007 line 10.
const QString kProgram = QStringLiteral(
    "; two numbers added\n"
    "        ORG H'0000\n"
    "        LLI R1, H'05\n"
    "        LLI R2, H'07\n"
    "; the sum\n"
    "bucle:  ADDS R3, R1, R2\n"
    "        LDI RD, dato\n"
    "        ST [RD+H'00], R3\n"
    "        HALT\n"
    "dato:   DW H'0000");

int lineAtPC() {
  return sourceText()->property("lineaPC").toInt();
}
QList<int> breakpoints() {
  return sourceText()->property("puntosDeParada").value<QList<int>>();
}
void cursorToLine(int line) {
  QTextCursor cursor(sourceText()->document()->findBlockByNumber(line - 1));
  sourceText()->setTextCursor(cursor);
}
void pressInEditor(int key, Qt::KeyboardModifiers modifiers = {}) {
  editorWindow()->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(editorWindow()));
  QTest::keyClick(sourceText(), static_cast<Qt::Key>(key), modifiers);
}
// Switched on, the program typed into a new source and loaded with F9.
void loadProgram(const QString& text = kProgram) {
  click("BOnOff");
  trigger("MNuevo_fuente");
  typeSource(text);
  pressInEditor(Qt::Key_F9);
  QVERIFY2(messageTexts().isEmpty(), qPrintable(messageTexts().join(u'|')));
}
QString word(const Program& program, int address) {
  return QString::fromStdString(program.machine().ReadMemoryWord(address).str());
}
// The speed dialog's choice `item`, with ¡Vale!.
void choose(Program& program, const char* item) {
  program.script.then([item](QWidget* dialog) {
    dialog->findChild<QAbstractButton*>(QString::fromLatin1(item))->setChecked(true);
    press(dialog, "LiveButton1");
  });
  trigger("VelocidaddeejecucinenmodoPP1");
}

}  // namespace

class SourceDebuggingTest : public QObject {
  Q_OBJECT

 private slots:
  void theLineAtPCFollowsTheRunAndGoesOnAnEdit() {
    Program program;
    const UnsavedLeftBehind discard;
    loadProgram();
    QCOMPARE(value("Teclado"), QStringLiteral("0000"));
    click("BEjecutar");
    QCOMPARE(lineAtPC(), 4);
    click("BContinuar");
    QCOMPARE(lineAtPC(), 6);  // the comment line between is passed over
    click("BContinuar");
    click("BContinuar");  // LDI's first half: still line 7
    QCOMPARE(lineAtPC(), 7);
    // Paso atrás by its shortcut from the main window, twice.
    program.window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(program.window()));
    QTest::keyClick(program.window(), Qt::Key_Backspace, Qt::ControlModifier);
    QTest::keyClick(program.window(), Qt::Key_Backspace, Qt::ControlModifier);
    QCOMPARE(value("PPC"), QStringLiteral("0002"));
    QCOMPARE(lineAtPC(), 6);
    // The listing keeps its own mark on PC's line.
    QCOMPARE(program.tuka().listing.line(program.tuka().listing.selected()).substr(0, 7),
             std::string("[0002]:"));
    // The screen reader hears of the line too.
    QTRY_COMPARE(sourceText()->accessibleDescription(), QStringLiteral("Línea 6 en PC"));
    QVERIFY(HeardEvents::count(QAccessible::DescriptionChanged, sourceText()) >= 1);
    // Typed into, the source no longer describes memory: no line at all.
    cursorToLine(1);
    QTest::keyClicks(sourceText(), QStringLiteral(" "));
    QCOMPARE(lineAtPC(), 0);
    click("BContinuar");
    QCOMPARE(lineAtPC(), 0);
    // Loaded again, the line is back.
    pressInEditor(Qt::Key_F9);
    QCOMPARE(lineAtPC(), 7);
  }

  void pasoAtrasIsThereOnlyWithAStepToTakeBack() {
    Program program;
    const UnsavedLeftBehind discard;
    auto* back = find<QAction>(QStringLiteral("MPaso_atras"));
    QVERIFY(!back->isEnabled());
    loadProgram();
    QVERIFY(!back->isEnabled());
    click("BEjecutar");
    QVERIFY(back->isEnabled());
    back->trigger();
    QVERIFY(!back->isEnabled());
    click("BEjecutar");
    key("1");  // the keypad is a hand change: the history ends
    QVERIFY(!back->isEnabled());
  }

  void breakpointsByKeyMarginAndListingStopATimedRun() {
    Program program;
    const UnsavedLeftBehind discard;
    loadProgram();
    // F2 on a comment line goes to the next line that gives words.
    cursorToLine(5);
    pressInEditor(Qt::Key_F2);
    QCOMPARE(breakpoints(), QList<int>{6});
    pressInEditor(Qt::Key_F2);
    QCOMPARE(breakpoints(), QList<int>{});
    cursorToLine(8);
    pressInEditor(Qt::Key_F2);
    QCOMPARE(breakpoints(), QList<int>{8});
    // A click in the margin beside line 3, twice.
    auto* margin = find<QWidget>(QStringLiteral("Texto_Fuente_Margen"));
    const QRect line3 =
        sourceText()->cursorRect(QTextCursor(sourceText()->document()->findBlockByNumber(2)));
    const QPoint beside(4, line3.center().y());
    QTest::mouseClick(margin, Qt::LeftButton, {}, beside);
    QCOMPARE(breakpoints(), (QList<int>{3, 8}));
    QTest::mouseClick(margin, Qt::LeftButton, {}, beside);
    QCOMPARE(breakpoints(), QList<int>{8});
    // From the listing: F2 on its line of 0006 (HALT, line 9).
    auto* listing = find<orben::THListBox>(QStringLiteral("Listado"));
    for (int i = 0; i < listing->count(); ++i) {
      if (listing->lineAt(i).startsWith(QStringLiteral("[0006]"))) listing->selectLine(i);
    }
    program.window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(program.window()));
    listing->setFocus();
    QTest::keyClick(listing, Qt::Key_F2);
    QCOMPARE(breakpoints(), (QList<int>{8, 9}));
    QTest::keyClick(listing, Qt::Key_F2);
    QCOMPARE(breakpoints(), QList<int>{8});

    // A timed run at Rápida stops before line 8's ST, without a box.
    startTimedRun(program, "0000");
    QTRY_VERIFY(lit("LPP"));
    QCOMPARE(value("PPC"), QStringLiteral("0005"));
    QCOMPARE(lineAtPC(), 8);
    QCOMPARE(word(program, 0x0007), QStringLiteral("0000"));
    QVERIFY(program.script.messages.isEmpty());

    // A line more at the top: the dot rides with its line, and the next
    // load puts the breakpoint where that line's word is.
    cursorToLine(1);
    QTest::keyClick(sourceText(), Qt::Key_Return);
    QCOMPARE(breakpoints(), QList<int>{9});
    pressInEditor(Qt::Key_F9);
    QCOMPARE(breakpoints(), QList<int>{9});
    QVERIFY(program.machine().breakpoints().has(0x0005));
  }

  void runToTheCursorsLine() {
    Program program;
    const UnsavedLeftBehind discard;
    loadProgram();
    choose(program, "RadioGroup1_0");  // Rápida
    // Before any step: from the keypad's address (the program's first).
    cursorToLine(8);
    pressInEditor(Qt::Key_F4);
    QTRY_COMPARE(lineAtPC(), 8);
    QTRY_VERIFY(lit("LPP"));
    QCOMPARE(value("R3"), QStringLiteral("000C"));
    QCOMPARE(word(program, 0x0007), QStringLiteral("0000"));
    // On from there to line 9: the ST runs, HALT does not.
    cursorToLine(9);
    trigger("MEjecutar_hasta_cursor");
    QTRY_COMPARE(word(program, 0x0007), QStringLiteral("000C"));
    QTRY_VERIFY(lit("LPP"));  // stopped
    QCOMPARE(lineAtPC(), 9);
    QVERIFY(program.script.messages.isEmpty());             // no "Fin la ejecución" yet
    QVERIFY(!program.machine().breakpoints().has(0x0006));  // it went once reached
  }

  void eachStepMarksExactlyWhatItChanged() {
    Program program;
    const UnsavedLeftBehind discard;
    loadProgram();
    auto* grid = find<orben::THexEditor>(QStringLiteral("Memoria"));
    auto before = displays();
    click("BEjecutar");
    checkChangedDisplays(before);
    QVERIFY(find<QWidget>("R1")->property("cambiado").toBool());
    QVERIFY(!find<QWidget>("R2")->property("cambiado").toBool());
    QVERIFY(grid->property("filasCambiadas").value<QList<int>>().isEmpty());
    for (int i = 0; i < 4; ++i) click("BContinuar");  // on to the ST
    before = displays();
    click("BContinuar");
    checkChangedDisplays(before);
    const QList<int> st_row{0x0007 * 2 / grid->bytesPerLine()};
    QCOMPARE(grid->property("filasCambiadas").value<QList<int>>(), st_row);
    // Taken back: what it restored is marked.
    before = displays();
    trigger("MPaso_atras");
    checkChangedDisplays(before);
    QCOMPARE(grid->property("filasCambiadas").value<QList<int>>(), st_row);
    QCOMPARE(word(program, 0x0007), QStringLiteral("0000"));
    // ADDS sets the flags: its lamps are marked where they changed.
    trigger("MPaso_atras");
    trigger("MPaso_atras");
    trigger("MPaso_atras");  // before the ADDS
    const bool z_before = lit("Z_ON");
    click("BContinuar");
    QCOMPARE(find<QWidget>("Lampara_Z")->property("cambiado").toBool(), z_before != lit("Z_ON"));
  }

  void checksAreListedAsTheyHappenEvenWithTheEditorHidden() {
    Program program;
    const UnsavedLeftBehind discard;
    // RD is never set: the BR of line 3 jumps through its power-on value.
    loadProgram(
        QStringLiteral("        ORG H'0000\n        LLI R1, H'05\n        BR\n        HALT"));
    trigger("MEditor_fuente");  // hidden
    QVERIFY(!editorWindow()->isVisible());
    click("BEjecutar");
    click("BContinuar");
    QVERIFY(!editorWindow()->isVisible());
    const QStringList listed = messageTexts();
    QCOMPARE(listed.size(), 1);
    // As the user guide shows it; RD's power-on value is its own number.
    QCOMPARE(listed[0], QStringLiteral("3:1: aviso: rd-not-set en 0001, paso 2: el salto en 0001 "
                                       "usa RD, que aún tiene el valor del encendido, 000D (da "
                                       "antes un valor a RD: LDI RD, nombre)"));
    QVERIFY(program.script.messages.isEmpty());  // no box, the run not stopped
    // Activating it takes the cursor to its line.
    messageList()->setCurrentRow(0);
    emit messageList()->itemActivated(messageList()->item(0));
    QCOMPARE(sourceText()->textCursor().blockNumber(), 2);
  }
};

QTEST_MAIN(SourceDebuggingTest)
#include "source_debugging_test.moc"
