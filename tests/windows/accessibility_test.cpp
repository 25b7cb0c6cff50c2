// ORBEN as a screen reader user meets it: displays and lamps named as the
// window labels them and read as they show, their changes told but never in
// a flood, buttons, menus and dialogs by their captions, the grid's caret
// cell and the listing's marked line; and the whole window worked by the
// keyboard alone, in reading order, the focus always in sight.

#include <QAccessible>
#include <QDeadlineTimer>
#include <QMenu>

#include "editor_support.h"
#include "gui_support.h"
#include "support/heard_events.h"
#include "widgets/hex_editor.h"

using namespace orben::testing;

namespace {

const QString kFront = QStringLiteral("Panel frontal de TUKA-2");
const QString kInternal = QStringLiteral("Panel interno de TUKA-2");

QAccessibleInterface* accessible(const QString& name) {
  QObject* object = find<QWidget>(name);
  return QAccessible::queryAccessibleInterface(object ? object : find<QObject>(name));
}
QString spoken(const QString& name, QAccessible::Text text = QAccessible::Name) {
  return accessible(name)->text(text);
}
QStringList valuesHeard(const char* display) {
  QStringList values;
  for (const HeardEvent& event : HeardEvents::of(QAccessible::ValueChanged, find<QWidget>(display)))
    values << event.value.toString();
  return values;
}
QString lastHeard(const char* display) {
  const QStringList values = valuesHeard(display);
  return values.isEmpty() ? QString() : values.last();
}
bool checked(const QString& lamp) {
  return accessible(lamp)->state().checked;
}
QString focusName() {
  return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}
void activate(QMainWindow* main) {
  QApplication::setActiveWindow(main);
  QVERIFY(QTest::qWaitForWindowActive(main));
}

// The order a sighted user reads the window in: the toolbar; the front
// panel left to right (power and step, the flag lamps, PC), the keypad's
// display and keys, the panel buttons; the internal panel's registers,
// flags, PC and input ports; the grid (digits, then text); the listing.
QStringList readingOrder() {
  QStringList order = {"Menu_Archivo", "ToolButton1", "ToolButton2", "ToolButton3",
                       "BOnOff",       "BPasoPaso",   "Lampara_PZ",  "Lampara_PS",
                       "Lampara_PC",   "Lampara_PV",  "PPC",         "Teclado"};
  const QString hex = QStringLiteral("0123456789ABCDEF");
  for (QChar digit : hex) order << QStringLiteral("T") + digit;
  order += {"BDireccion", "BRegistros", "BCargar", "BEjecutar", "BContinuar"};
  for (QChar digit : hex) order << QStringLiteral("R") + digit;
  order += {"Lampara_Z", "Lampara_S", "Lampara_C", "Lampara_V", "PC",
            "IP1",       "IP2",       "Memoria",   "Memoria",   "Listado"};
  return order;
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { HeardEvents::clear(); }

  // A display is named by the label beside it (in the port windows, by the
  // kind of port and its number), described by its panel, and reads
  // "apagado" while TUKA-2 is off, the four digits it shows once on.
  void displaysAreNamedByTheirLabels_data() {
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<bool>("editable");
    const auto row = [](const char* display, const char* name, const QString& panel, bool edit) {
      QTest::newRow(display) << QString(display) << QString(name) << panel << edit;
    };
    row("R3", "r3", kInternal, true);
    row("AR", "AR", kInternal, false);
    row("PC", "PC", kInternal, true);
    row("IP1", "IP1", kInternal, true);
    row("OP2", "OP2", kInternal, false);
    row("PIR", "IR", kFront, false);
    row("PPC", "PC", kFront, true);
    row("Teclado", "Teclado", kFront, true);
    row("POP1", "D/OP1", kFront, false);
    row("PIN_1A", "Puerto de entrada 1A", QString(), true);
    row("PO_05", "Puerto de salida 05", QString(), false);
  }
  void displaysAreNamedByTheirLabels() {
    QFETCH(QString, display);
    QFETCH(QString, name);
    QFETCH(QString, panel);
    QFETCH(bool, editable);
    Program program;
    QAccessibleInterface* face = accessible(display);
    QCOMPARE(face->text(QAccessible::Name), name);
    QCOMPARE(face->text(QAccessible::Description), panel);
    QCOMPARE(face->role(), QAccessible::StaticText);
    QCOMPARE(bool(face->state().focusable), editable);
    QCOMPARE(face->text(QAccessible::Value), QStringLiteral("apagado"));
    click("BOnOff");
    QVERIFY(QRegularExpression("^[0-9A-F]{4}$").match(face->text(QAccessible::Value)).hasMatch());
    QCOMPARE(face->text(QAccessible::Value), value(display));
  }

  // Power on, an instruction and power off are told with the new values.
  void displaysTellTheirChanges() {
    Program program;
    click("BOnOff");
    QTRY_COMPARE(lastHeard("R3"), QStringLiteral("0003"));
    QTRY_COMPARE(lastHeard("RF"), QStringLiteral("000F"));
    program.tuka().machine.WriteMemoryWord(0x0000, "2105");  // LLI R1, H'05
    program.tuka().machine.WriteMemoryWord(0x0001, "F000");  // HALT
    key("0000");
    click("BEjecutar");
    QTRY_COMPARE(lastHeard("R1"), QStringLiteral("0005"));
    QTRY_COMPARE(lastHeard("PPC"), QStringLiteral("0001"));
    QTRY_COMPARE(lastHeard("PIR"), QStringLiteral("F000"));  // the word at the new PC
    click("BOnOff");
    QTRY_COMPARE(lastHeard("R1"), QStringLiteral("apagado"));
  }

  // A timed run at Rápida changes R5 hundreds of times; a screen reader
  // hears of it a few times a second and, once the run stops, of the last.
  void aTimedRunIsToldAFewTimesASecond() {
    Program program;
    click("BOnOff");
    // ADDS R5, R5, R1; LLI RD, 00; BR: R5 counts up by R1, 0001.
    key("0000");
    click("BDireccion");
    for (const char* word : {"6551", "2D00", "C000"}) {
      key(word);
      click("BCargar");
    }
    const int first = value("R5").toInt(nullptr, 16);
    const auto counted = [&] {
      return (value("R5").toInt(nullptr, 16) - first + 0x10000) % 0x10000;
    };
    HeardEvents::clear();
    startTimedRun(program, "0000");
    // The events run at the timer's pace (QTRY's waits sleep between ticks).
    const QDeadlineTimer enough(60000);
    while (counted() < 400 && !enough.hasExpired())
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    click("BPasoPaso");  // step mode: the run stops
    const int changes = counted();
    QVERIFY(changes >= 400);
    const int told = static_cast<int>(valuesHeard("R5").size());
    QVERIFY2(told >= 1 && told <= 1 + changes / 10, qPrintable(QString::number(told)));
    QVERIFY(valuesHeard("PPC").size() <= 1 + changes / 10);  // PC changed at every tick
    QTRY_COMPARE(lastHeard("R5"), value("R5"));
  }

  // Lamps are named, described by their panel and checked while lit; power
  // and step lamps are indicators, flag lamps check boxes whose toggle
  // inverts the flag on both panels, refused while TUKA-2 is off.
  void lampsAreLitOrNot() {
    Program program;
    const std::tuple<const char*, const char*, QString, QAccessible::Role> lamps[] = {
        {"Lampara_On", "Encendido", kFront, QAccessible::Indicator},
        {"Lampara_PP", "Paso a paso", kFront, QAccessible::Indicator},
        {"Lampara_PZ", "Z", kFront, QAccessible::CheckBox},
        {"Lampara_V", "V", kInternal, QAccessible::CheckBox}};
    for (const auto& [lamp, name, panel, role] : lamps) {
      QAccessibleInterface* face = accessible(lamp);
      QCOMPARE(face->text(QAccessible::Name), QString(name));
      QCOMPARE(face->text(QAccessible::Description), panel);
      QCOMPARE(face->role(), role);
      QVERIFY(face->state().checkable && !face->state().checked);
    }
    const auto toggle = [] {
      accessible("Lampara_PC")
          ->actionInterface()
          ->doAction(QAccessibleActionInterface::toggleAction());
    };
    toggle();
    QCOMPARE(program.script.takeMessages(),
             QStringList{QStringLiteral("¡OPS! : Debe encender primero TUKA-2.")});
    click("BOnOff");
    QVERIFY(checked("Lampara_On") && checked("Lampara_PP"));
    QTRY_COMPARE(HeardEvents::count(QAccessible::StateChanged, find<QWidget>("Lampara_On")), 1);
    toggle();
    QVERIFY(checked("Lampara_C") && checked("Lampara_PC") && lit("C_ON"));
    // Space on the focused lamp of the other panel toggles it back.
    find<QWidget>("Lampara_C")->setFocus();
    QTest::keyClick(find<QWidget>("Lampara_C"), Qt::Key_Space);
    QVERIFY(!checked("Lampara_C") && !checked("Lampara_PC") && !lit("PC_ON"));
  }

  // Buttons and menu items read as their captions without the accelerator's
  // mark; a message box is an alert; the value entry dialog's Editor an
  // editable text of its digits; the speed dialog's items radio buttons.
  void buttonsMenusAndDialogsByTheirCaptions() {
    Program program;
    for (const auto& [button, caption] : {std::pair{"BPasoPaso", "Paso a paso"},
                                          {"BDireccion", "Dirección"},
                                          {"T5", "5"},
                                          {"BEjecutar", "Ejecutar"},
                                          {"ToolButton2", "TUKA-2"}})
      QCOMPARE(spoken(button), QString(caption));
    QAccessibleInterface* entorno = accessible("PopEntorno");
    QCOMPARE(entorno->child(entorno->childCount() - 1)->text(QAccessible::Name),
             QStringLiteral("Activar Modo desensamblador"));
    QCOMPARE(entorno->child(0)->text(QAccessible::Name),
             QStringLiteral("Esconder/Mostrar el Panel Interno de TUKA-2"));

    program.script.then([](QWidget* box) {  // while off, an edit is refused
      QCOMPARE(QAccessible::queryAccessibleInterface(box)->role(), QAccessible::AlertMessage);
      QCOMPARE(HeardEvents::count(QAccessible::Alert, box), 1);
      qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    click("R3");
    click("BOnOff");
    program.script.then([](QWidget* dialog) {
      QAccessibleInterface* editor =
          QAccessible::queryAccessibleInterface(dialog->findChild<QWidget*>("Editor"));
      QCOMPARE(editor->role(), QAccessible::EditableText);
      QCOMPARE(editor->text(QAccessible::Name), QStringLiteral("Teclée 0..9, A..F y pulse ¡vale!"));
      QCOMPARE(editor->text(QAccessible::Value), QStringLiteral("0000"));
      QTest::keyClicks(dialog, "1a");
      QCOMPARE(editor->text(QAccessible::Value), QStringLiteral("001A"));
      QCOMPARE(QAccessible::queryAccessibleInterface(dialog->findChild<QWidget*>("LiveButton1"))
                   ->text(QAccessible::Name),
               QStringLiteral("¡Vale!"));
      press(dialog, "LiveButton2");
    });
    click("R3");
    program.script.then([](QWidget* dialog) {
      const char* captions[] = {"Rápida", "0.3 segundos cada paso", "1.0 segundo cada paso",
                                "7.0 segundos cada paso"};
      const int items[] = {0, 1, 3, 7};
      for (int i = 0; i < 4; ++i) {
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(
            dialog->findChild<QWidget*>(QStringLiteral("RadioGroup1_%1").arg(items[i])));
        QCOMPARE(item->role(), QAccessible::RadioButton);
        QCOMPARE(item->text(QAccessible::Name), QString(captions[i]));
        QCOMPARE(bool(item->state().checked), items[i] == 3);  // 1000 ms at start
      }
      press(dialog, "LiveButton2");
    });
    trigger("VelocidaddeejecucinenmodoPP1");
  }

  // Moving the caret reads "H0012: 2105"; Ejecutar marks the line of the
  // next instruction as the listing's selected child and tells it.
  void theGridsCaretCellAndTheListingsMarkedLine() {
    Program program;
    QTemporaryDir folder;
    click("BOnOff");
    loadFile(program, folder, "SUMA.EHC", "0 2105\r\n1 2203\r\n12 2105");
    activate(program.window());
    auto* grid = find<orben::THexEditor>("Memoria");
    grid->setFocus();
    grid->setCaret(2 * 0x11);
    HeardEvents::clear();
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(HeardEvents::of(QAccessible::Focus, grid).last().name, QStringLiteral("H0012: 2105"));
    QAccessibleInterface* table = accessible("Memoria");
    QCOMPARE(table->focusChild()->text(QAccessible::Name), QStringLiteral("H0012: 2105"));
    QCOMPARE(table->tableInterface()->rowCount(), 0xF000);  // the words 0000..EFFF

    key("0000");
    click("BEjecutar");
    QAccessibleInterface* list = accessible("Listado");
    for (int i = 0; i < list->childCount(); ++i)
      QCOMPARE(bool(list->child(i)->state().selected), i == 1);
    const auto marked = [] {
      const auto told = HeardEvents::of(QAccessible::Selection, find<QWidget>("Listado"));
      return told.isEmpty() ? QString() : told.last().name;
    };
    QTRY_COMPARE(marked(), QStringLiteral("[0001]: LLI R2, H'03"));
  }

  // Tab visits every control in reading order and comes round to the
  // toolbar; Shift+Tab goes back the same way. The memory grid keeps Tab
  // for its own two areas (digits, text), so from its second stop the walk
  // leaves it with Ctrl+Tab, the grid's way out. Each control looks
  // different while it has the focus.
  void tabWalksTheWholeWindowInReadingOrder() {
    Program program;
    activate(program.window());
    click("BOnOff");  // keys and panel buttons take the focus once on
    const QStringList order = readingOrder();
    find<QWidget>("Listado")->setFocus();
    QTest::keyClick(find<QWidget>("Listado"), Qt::Key_Tab);
    QStringList walked = {focusName()};
    QStringList unframed;
    for (int i = 0; i < order.size(); ++i) {
      QWidget* here = QApplication::focusWidget();
      const QImage focused = here->grab().toImage();
      const bool leave_grid = walked.size() >= 2 && walked.last() == QStringLiteral("Memoria") &&
                              walked[walked.size() - 2] == QStringLiteral("Memoria");
      QTest::keyClick(here, Qt::Key_Tab, leave_grid ? Qt::ControlModifier : Qt::NoModifier);
      walked << focusName();
      if (QApplication::focusWidget() != here && here->grab().toImage() == focused)
        unframed << here->objectName();
    }
    QCOMPARE(walked, order + QStringList{"Menu_Archivo"});
    QCOMPARE(unframed.join(u','), QString());
    QStringList back = {focusName()};
    for (int i = 0; i < order.size(); ++i) {
      const bool leave_grid = back.size() >= 2 && back.last() == QStringLiteral("Memoria") &&
                              back[back.size() - 2] == QStringLiteral("Memoria");
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                      leave_grid ? Qt::ShiftModifier | Qt::ControlModifier : Qt::ShiftModifier);
      back << focusName();
    }
    QCOMPARE(back, QStringList{"Menu_Archivo"} + QStringList(order.rbegin(), order.rend()));
  }

  // The source editor: its parts named in Spanish and walked by Tab in
  // order; the line at PC told in the text's description, and during a
  // timed run at Rápida a few times a second, as the displays are.
  void theSourceEditorIsNamedWalkedAndTellsItsLineAtPC() {
    Program program;
    const UnsavedLeftBehind discard;
    trigger("MNuevo_fuente");
    QWidget* editor = editorWindow();
    QApplication::setActiveWindow(editor);
    QVERIFY(QTest::qWaitForWindowActive(editor));
    QCOMPARE(spoken("TEditorFuente"), QStringLiteral("Editor de programa fuente"));
    const std::pair<const char*, const char*> parts[] = {
        {"Texto_Fuente", "Programa fuente"},
        {"Mensajes_Fuente", "Mensajes del ensamblador"},
        {"Estado_Fuente_Pasos", "Pasos desde Ejecutar"},
        {"Estado_Fuente_Archivo", "Archivo del programa fuente"},
        {"Texto_Fuente", "Programa fuente"}};
    sourceText()->setFocus();
    for (const auto& [name, heard] : parts) {
      QCOMPARE(focusName(), QString::fromLatin1(name));
      QCOMPARE(spoken(QString::fromLatin1(name)), QString::fromUtf8(heard));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // A loop: ADDS, then LDI (two instructions) and BR back to it.
    typeSource(QStringLiteral("bucle:  ADDS R5, R5, R1\n        LDI RD, bucle\n        BR"));
    QCOMPARE(spoken("Texto_Fuente", QAccessible::Description), QStringLiteral("Sin línea en PC"));
    QTest::keyClick(sourceText(), Qt::Key_F9);
    QVERIFY(messageTexts().isEmpty());
    HeardEvents::clear();
    click("BEjecutar");
    QTRY_COMPARE(spoken("Texto_Fuente", QAccessible::Description), QStringLiteral("Línea 2 en PC"));
    QVERIFY(HeardEvents::count(QAccessible::DescriptionChanged, sourceText()) >= 1);
    // Timed: the line changes at two ticks of every four.
    HeardEvents::clear();
    startTimedRun(program, "0000");
    const QDeadlineTimer enough(60000);
    while (program.tuka().run.stepsSinceStart() < 400 && !enough.hasExpired())
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    click("BPasoPaso");
    const auto steps = static_cast<int>(program.tuka().run.stepsSinceStart());
    QVERIFY(steps >= 400);
    const int told = HeardEvents::count(QAccessible::DescriptionChanged, sourceText());
    QVERIFY2(told >= 1 && told <= 1 + steps / 10, qPrintable(QString::number(told)));
  }

  // Enter or Space on a focused editable display opens its value entry
  // dialog, in the main window and the input ports window; Space on a
  // toolbar button drops its menu down; IR takes no focus.
  void enterOrSpaceOpensWhatAClickOpens() {
    Program program;
    activate(program.window());
    click("BOnOff");
    program.script.then(typeValue("BEEF"));
    find<QWidget>("R3")->setFocus();
    QTest::keyClick(find<QWidget>("R3"), Qt::Key_Return);
    QCOMPARE(value("R3"), QStringLiteral("BEEF"));
    program.script.then(typeValue("0100"));
    QTest::keyClick(find<QWidget>("PPC"), Qt::Key_Space);
    QCOMPARE(value("PC"), QStringLiteral("0100"));
    trigger("MEsconderMostrarlosregistrosdeentrada1");
    program.script.then(typeValue("007F"));
    QTest::keyClick(find<QWidget>("PIN_1A"), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(value("PIN_1A"), QStringLiteral("007F"));
    QCOMPARE(find<QWidget>("IR")->focusPolicy(), Qt::NoFocus);

    auto* archivo = find<QMenu>("PopArchivo");
    bool dropped = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, archivo, [&] {
      if (archivo->isVisible()) archivo->close(), dropped = true;
    });
    watch.start(10);
    QTest::keyClick(find<QWidget>("Menu_Archivo"), Qt::Key_Space);
    QTRY_VERIFY(dropped);
  }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
