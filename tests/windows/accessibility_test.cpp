// ORBEN as a screen reader user meets it: every display and lamp named as
// the window labels it and read as it shows, the changes told but never in
// a flood, buttons, menus and dialogs by their captions, the grid's caret
// cell and the listing's marked line; and the whole window worked by the
// keyboard alone, in the order a sighted user reads it, the focus always
// in sight.

#include <QAccessible>
#include <QDeadlineTimer>
#include <QMenu>
#include <QRegularExpression>

#include "gui_support.h"
#include "support/heard_events.h"
#include "widgets/hex_editor.h"

using namespace orben::testing;

namespace {

const QString kFront = QStringLiteral("Panel frontal de TUKA-2");
const QString kInternal = QStringLiteral("Panel interno de TUKA-2");
const QString kOffMessage = QStringLiteral("¡OPS! : Debe encender primero TUKA-2.");

QAccessibleInterface* accessible(const QString& name) {
  QObject* object = find<QWidget>(name);
  if (object == nullptr) object = find<QObject>(name);
  return object ? QAccessible::queryAccessibleInterface(object) : nullptr;
}
QString spoken(const QString& name, QAccessible::Text text = QAccessible::Name) {
  return accessible(name)->text(text);
}
QStringList valuesHeard(const QString& display) {
  QStringList values;
  for (const HeardEvent& event : HeardEvents::of(QAccessible::ValueChanged, find<QWidget>(display)))
    values << event.value.toString();
  return values;
}
QString lastValueHeard(const QString& display) {
  const QStringList values = valuesHeard(display);
  return values.isEmpty() ? QString() : values.last();
}
bool checked(const QString& lamp) {
  return accessible(lamp)->state().checked;
}
orben::THexEditor* grid() {
  return find<orben::THexEditor>(QStringLiteral("Memoria"));
}
QString focusName() {
  QWidget* focus = QApplication::focusWidget();
  return focus ? focus->objectName() : QStringLiteral("(none)");
}
// The window in the active state the keyboard needs.
void activate(QMainWindow* main) {
  QApplication::setActiveWindow(main);
  QVERIFY(QTest::qWaitForWindowActive(main));
}

// The order a sighted user reads the window in: the toolbar, the front
// panel left to right (power and step, the flag lamps, PC), the keypad's
// display and keys, the panel buttons, the internal panel's registers,
// flags, PC and input ports, the grid (its digits, then its text), and the
// listing.
QStringList tabOrder() {
  QStringList order = {"Menu_Archivo", "ToolButton1", "ToolButton2", "BOnOff",
                       "BPasoPaso",    "Lampara_PZ",  "Lampara_PS",  "Lampara_PC",
                       "Lampara_PV",   "PPC",         "Teclado"};
  const QString hex = QStringLiteral("0123456789ABCDEF");
  for (QChar digit : hex) order << QStringLiteral("T") + digit;
  order << "BDireccion"
        << "BRegistros"
        << "BCargar"
        << "BEjecutar"
        << "BContinuar";
  for (QChar digit : hex) order << QStringLiteral("R") + digit;
  order << "Lampara_Z"
        << "Lampara_S"
        << "Lampara_C"
        << "Lampara_V"
        << "PC"
        << "IP1"
        << "IP2"
        << "Memoria"
        << "Memoria"
        << "Listado";
  return order;
}

// ADDS R5, R5, R1; LLI RD, 00; BR to 0000: R5 counts up by R1 (0001 after
// power-on) every three instructions. Keyed in on the panel.
void keyCountingLoop() {
  key("0000");
  click("BDireccion");
  for (const char* word : {"6551", "2D00", "C000"}) {
    key(word);
    click("BCargar");
  }
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { HeardEvents::clear(); }

  // Each display is named by the label beside it (in the port windows, by
  // the kind of port and its number), carries its panel as description,
  // and reads "apagado" while TUKA-2 is off, its four digits once on.
  void displaysAreNamedByTheirLabels_data() {
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<bool>("editable");
    const auto row = [](const char* display, const char* name, const QString& panel,
                        bool editable) {
      QTest::newRow(display) << QString(display) << QString::fromUtf8(name) << panel << editable;
    };
    row("R3", "r3", kInternal, true);
    row("RF", "rF", kInternal, true);
    row("AR", "AR", kInternal, false);
    row("DR", "DR", kInternal, false);
    row("IR", "IR", kInternal, false);
    row("PC", "PC", kInternal, true);
    row("IP1", "IP1", kInternal, true);
    row("OP2", "OP2", kInternal, false);
    row("PIR", "IR", kFront, false);
    row("PPC", "PC", kFront, true);
    row("Teclado", "Teclado", kFront, true);
    row("POP1", "D/OP1", kFront, false);
    row("POP2", "C/OP2", kFront, false);
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
    QVERIFY(face && face->isValid());
    QCOMPARE(face->text(QAccessible::Name), name);
    QCOMPARE(face->text(QAccessible::Description), panel);
    QCOMPARE(face->role(), QAccessible::StaticText);
    QCOMPARE(bool(face->state().focusable), editable);
    QCOMPARE(
        face->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()),
        editable);
    QCOMPARE(face->text(QAccessible::Value), QStringLiteral("apagado"));
    click("BOnOff");
    const QString shown = face->text(QAccessible::Value);
    QVERIFY2(QRegularExpression(QStringLiteral("^[0-9A-F]{4}$")).match(shown).hasMatch(),
             qPrintable(shown));
    QCOMPARE(shown, value(display));
  }

  // Power on, an instruction and power off are each told with the new
  // value; the registers take their power-on values.
  void displaysTellTheirChanges() {
    Program program;
    click("BOnOff");
    program.tuka().machine.WriteMemoryWord(0x0000, "2105");  // LLI R1, H'05
    program.tuka().machine.WriteMemoryWord(0x0001, "F000");  // HALT
    QTRY_COMPARE(lastValueHeard("R3"), QStringLiteral("0003"));
    QTRY_COMPARE(lastValueHeard("RF"), QStringLiteral("000F"));
    QCOMPARE(spoken("RE", QAccessible::Value), QStringLiteral("F000"));
    key("0000");
    click("BEjecutar");
    QTRY_COMPARE(lastValueHeard("R1"), QStringLiteral("0005"));
    QTRY_COMPARE(lastValueHeard("PPC"), QStringLiteral("0001"));
    // IR holds the word at the new PC.
    QTRY_COMPARE(lastValueHeard("PIR"), QStringLiteral("F000"));
    QCOMPARE(spoken("IR", QAccessible::Value), QStringLiteral("F000"));
    click("BOnOff");
    QTRY_COMPARE(lastValueHeard("R1"), QStringLiteral("apagado"));
    QTRY_COMPARE(lastValueHeard("POP2"), QStringLiteral("apagado"));
  }

  // A timed run at Rápida changes R5 hundreds of times; a screen reader
  // hears of it a few times a second and, once the run stops, hears the
  // last value.
  void aTimedRunIsToldAFewTimesASecond() {
    Program program;
    click("BOnOff");
    keyCountingLoop();
    const auto r5 = [] { return value("R5").toInt(nullptr, 16); };
    const int first = r5();
    HeardEvents::clear();
    startTimedRun(program, "0000");
    // The events run at the timer's pace (QTRY's waits would sleep between
    // ticks), for 400 counts or a minute at most.
    const QDeadlineTimer enough(60000);
    while ((r5() - first + 0x10000) % 0x10000 < 400 && !enough.hasExpired())
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    click("BPasoPaso");  // back to step mode: the run stops
    QVERIFY(lit("LPP"));
    const int changes = (r5() - first + 0x10000) % 0x10000;
    const int told = static_cast<int>(valuesHeard("R5").size());
    QVERIFY(changes >= 400);
    QVERIFY2(told >= 1 && told <= 1 + changes / 10,
             qPrintable(QStringLiteral("%1 told of %2 changes").arg(told).arg(changes)));
    // PC went round 0000, 0001, 0002 at every tick.
    QVERIFY(valuesHeard("PPC").size() <= 1 + changes / 10);
    QTRY_COMPARE(lastValueHeard("R5"), value("R5"));
  }

  // Lamps: named, their panel described, checked while lit; power and
  // step lamps are indicators, flag lamps check boxes that toggle their
  // flag on both panels as a click does, refused while TUKA-2 is off.
  void lampsAreLitOrNot() {
    Program program;
    struct Lamp {
      const char* lamp;
      const char* name;
      QString panel;
      QAccessible::Role role;
    };
    for (const Lamp& l : {Lamp{"Lampara_On", "Encendido", kFront, QAccessible::Indicator},
                          Lamp{"Lampara_PP", "Paso a paso", kFront, QAccessible::Indicator},
                          Lamp{"Lampara_PZ", "Z", kFront, QAccessible::CheckBox},
                          Lamp{"Lampara_V", "V", kInternal, QAccessible::CheckBox}}) {
      QAccessibleInterface* face = accessible(l.lamp);
      QVERIFY2(face, l.lamp);
      QCOMPARE(face->text(QAccessible::Name), QString::fromUtf8(l.name));
      QCOMPARE(face->text(QAccessible::Description), l.panel);
      QCOMPARE(face->role(), l.role);
      QVERIFY(face->state().checkable && !face->state().checked);
      QCOMPARE(face->childCount(), 0);
    }
    QAccessibleActionInterface* toggle = accessible("Lampara_PC")->actionInterface();
    QVERIFY(toggle->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    toggle->doAction(QAccessibleActionInterface::toggleAction());  // while off: refused
    QCOMPARE(program.script.takeMessages(), QStringList{kOffMessage});
    QVERIFY(!checked("Lampara_C"));

    click("BOnOff");
    QVERIFY(checked("Lampara_On") && checked("Lampara_PP"));
    QTRY_COMPARE(HeardEvents::of(QAccessible::StateChanged, find<QWidget>("Lampara_On")).size(), 1);
    QVERIFY(
        HeardEvents::of(QAccessible::StateChanged, find<QWidget>("Lampara_On"))[0].changed.checked);
    toggle->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(checked("Lampara_C") && checked("Lampara_PC") && lit("C_ON"));
    QCOMPARE(HeardEvents::count(QAccessible::StateChanged, find<QWidget>("Lampara_C")), 1);
    // Space on the focused lamp of the other panel toggles it back.
    find<QWidget>("Lampara_C")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(find<QWidget>("Lampara_C"), Qt::Key_Space);
    QVERIFY(!checked("Lampara_C") && !checked("Lampara_PC") && !lit("PC_ON"));
  }

  // Buttons and menu items by their captions without the accelerator's
  // mark; the value entry dialog's Editor an editable text of its digits;
  // the speed dialog's items radio buttons; a message box an alert.
  void buttonsMenusAndDialogsByTheirCaptions() {
    Program program;
    const std::pair<const char*, const char*> buttons[] = {{"BOnOff", "On/Off"},
                                                           {"BPasoPaso", "Paso a paso"},
                                                           {"BDireccion", "Dirección"},
                                                           {"BRegistros", "Registros"},
                                                           {"BCargar", "Cargar"},
                                                           {"BEjecutar", "Ejecutar"},
                                                           {"BContinuar", "Continuar"},
                                                           {"T5", "5"},
                                                           {"TF", "F"},
                                                           {"Menu_Archivo", "Archivo"},
                                                           {"ToolButton1", "Entorno"},
                                                           {"ToolButton2", "TUKA-2"}};
    for (const auto& [button, caption] : buttons) {
      QCOMPARE(spoken(button), QString::fromUtf8(caption));
      QVERIFY(accessible(button)->role() == QAccessible::Button ||
              accessible(button)->role() == QAccessible::ButtonMenu);
    }
    QStringList items;
    QAccessibleInterface* entorno = accessible("PopEntorno");
    for (int i = 0; i < entorno->childCount(); ++i) {
      if (entorno->child(i)->role() == QAccessible::MenuItem)
        items << entorno->child(i)->text(QAccessible::Name);
    }
    QCOMPARE(
        items,
        (QStringList{"Esconder/Mostrar el Panel Interno de TUKA-2", "Inicializar Memoria",
                     "Inicializar memoria al Encender TUKA2", "Esconder/Mostrar puertos de entrada",
                     "Esconder/Mostrar puertos de salida",
                     "Velocidad de ejecución en modo Paso a Paso", "Activar Modo desensamblador"}));

    // While off, a register's edit is refused in an alert.
    program.script.then([](QWidget* box) {
      QAccessibleInterface* face = QAccessible::queryAccessibleInterface(box);
      QCOMPARE(face->role(), QAccessible::AlertMessage);
      QCOMPARE(HeardEvents::count(QAccessible::Alert, box), 1);
      qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    click("R3");

    click("BOnOff");
    program.script.then([](QWidget* dialog) {
      QCOMPARE(QAccessible::queryAccessibleInterface(dialog)->text(QAccessible::Name),
               QStringLiteral("Editar registro/puerto"));
      QAccessibleInterface* editor =
          QAccessible::queryAccessibleInterface(dialog->findChild<QWidget*>("Editor"));
      QCOMPARE(editor->role(), QAccessible::EditableText);
      QVERIFY(editor->state().editable);
      QCOMPARE(editor->text(QAccessible::Name), QStringLiteral("Teclée 0..9, A..F y pulse ¡vale!"));
      QCOMPARE(editor->text(QAccessible::Value), QStringLiteral("0000"));
      QTest::keyClicks(dialog, "1a");
      QCOMPARE(editor->text(QAccessible::Value), QStringLiteral("001A"));
      for (const auto& [button, caption] :
           {std::pair{"LiveButton1", "¡Vale!"}, std::pair{"LiveButton2", "Cancelar"}}) {
        QCOMPARE(QAccessible::queryAccessibleInterface(dialog->findChild<QWidget*>(button))
                     ->text(QAccessible::Name),
                 QString::fromUtf8(caption));
      }
      press(dialog, "LiveButton2");
    });
    click("R3");

    program.script.then([](QWidget* dialog) {
      const QStringList captions = {"Rápida",
                                    "0.3 segundos cada paso",
                                    "0.5 segundos cada paso",
                                    "1.0 segundo cada paso",
                                    "1.5 segundos cada paso",
                                    "2.0 segundos cada paso",
                                    "4.0 segundos cada paso",
                                    "7.0 segundos cada paso"};
      for (int i = 0; i < captions.size(); ++i) {
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(
            dialog->findChild<QWidget*>(QStringLiteral("RadioGroup1_%1").arg(i)));
        QCOMPARE(item->role(), QAccessible::RadioButton);
        QCOMPARE(item->text(QAccessible::Name), captions[i]);
        QCOMPARE(bool(item->state().checked), i == 3);  // 1000 ms at start
      }
      press(dialog, "LiveButton2");
    });
    trigger("VelocidaddeejecucinenmodoPP1");
  }

  // The grid's focused child is the caret's cell, told as the caret moves;
  // the listing's selected child is the line of the next instruction.
  void theGridsCaretCellAndTheListingsMarkedLine() {
    Program program;
    program.tuka().machine.WriteMemoryWord(0x12, "2105");
    activate(program.window());
    grid()->setFocus(Qt::TabFocusReason);
    grid()->setCaret(2 * 0x11);
    HeardEvents::clear();
    QTest::keyClick(grid(), Qt::Key_Down);
    const auto cells = HeardEvents::of(QAccessible::Focus, grid());
    QVERIFY(!cells.isEmpty());
    QCOMPARE(cells.last().name, QStringLiteral("H0012: 2105"));
    QAccessibleInterface* table = accessible("Memoria");
    QCOMPARE(table->focusChild()->text(QAccessible::Name), QStringLiteral("H0012: 2105"));
    QVERIFY(table->focusChild()->state().focused);
    QCOMPARE(table->tableInterface()->rowCount(), 0xF000);  // the words 0000..EFFF
    program.tuka().machine.WriteMemoryWord(0xEFFF, "F000");
    QCOMPARE(table->tableInterface()->cellAt(0xEFFF, 0)->text(QAccessible::Name),
             QStringLiteral("HEFFF: F000"));

    QTemporaryDir folder;
    click("BOnOff");
    loadFile(program, folder, "SUMA.EHC", "0 2105\r\n1 2203\r\n2 6312\r\n3 5301\r\n4 F000");
    key("0000");
    HeardEvents::clear();
    click("BEjecutar");
    QAccessibleInterface* list = accessible("Listado");
    QCOMPARE(list->childCount(), 5);
    for (int i = 0; i < 5; ++i) QCOMPARE(bool(list->child(i)->state().selected), i == 1);
    QCOMPARE(list->child(1)->text(QAccessible::Name), QStringLiteral("[0001]: LLI R2, H'03"));
    // Ejecutar marks 0000, then the next instruction's line: the last is told.
    const auto marked = [] {
      const auto told = HeardEvents::of(QAccessible::Selection, find<QWidget>("Listado"));
      return told.isEmpty() ? QString() : told.last().name;
    };
    QTRY_COMPARE(marked(), QStringLiteral("[0001]: LLI R2, H'03"));
  }

  // Tab alone visits every control in reading order and comes round to the
  // toolbar; Shift+Tab goes the same way back. Each control looks
  // different while it has the focus.
  void tabWalksTheWholeWindowInReadingOrder() {
    Program program;
    activate(program.window());
    click("BOnOff");  // the keys and panel buttons take the focus once on
    const QStringList order = tabOrder();
    find<QWidget>("Listado")->setFocus();
    QTest::keyClick(find<QWidget>("Listado"), Qt::Key_Tab);  // round to the toolbar
    QStringList walked = {focusName()};
    QStringList unframed;
    for (int i = 0; i < order.size(); ++i) {
      QWidget* here = QApplication::focusWidget();
      const QImage focused = here->grab().toImage();
      QTest::keyClick(here, Qt::Key_Tab);
      walked << focusName();
      if (QApplication::focusWidget() != here && here->grab().toImage() == focused)
        unframed << here->objectName();
    }
    QCOMPARE(walked, order + QStringList{"Menu_Archivo"});
    QCOMPARE(unframed.join(u','), QString());

    QStringList back = {focusName()};
    for (int i = 0; i < order.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
      back << focusName();
    }
    QStringList reversed(order.rbegin(), order.rend());
    QCOMPARE(back, QStringList{"Menu_Archivo"} + reversed);
  }

  // Enter or Space on a focused editable display opens its value entry
  // dialog, here as in the input ports window; Space drops a menu down.
  void enterOrSpaceOpensWhatAClickOpens() {
    Program program;
    activate(program.window());
    click("BOnOff");
    program.script.then(typeValue("BEEF"));
    find<QWidget>("R3")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(find<QWidget>("R3"), Qt::Key_Return);
    QCOMPARE(value("R3"), QStringLiteral("BEEF"));
    program.script.then(typeValue("0100"));
    QTest::keyClick(find<QWidget>("PPC"), Qt::Key_Space);
    QCOMPARE(value("PC"), QStringLiteral("0100"));

    trigger("MEsconderMostrarlosregistrosdeentrada1");
    QWidget* port = find<QWidget>("PIN_1A");
    QVERIFY(port->isVisible() && port->focusPolicy() == Qt::StrongFocus);
    program.script.then(typeValue("007F"));
    QTest::keyClick(port, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(value("PIN_1A"), QStringLiteral("007F"));
    // Space on a toolbar button drops its menu down.
    auto* archivo = find<QMenu>("PopArchivo");
    bool dropped = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, archivo, [&] {
      if (!archivo->isVisible()) return;
      dropped = true;
      archivo->close();
    });
    watch.start(10);
    find<QWidget>("Menu_Archivo")->setFocus();
    QTest::keyClick(find<QWidget>("Menu_Archivo"), Qt::Key_Space);
    QTRY_VERIFY(dropped);
    // A display without an edit takes no focus and opens nothing.
    QCOMPARE(find<QWidget>("IR")->focusPolicy(), Qt::NoFocus);
    QTest::keyClick(find<QWidget>("IR"), Qt::Key_Return);
  }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
