// The front panel driven as a user drives it: power, the keypad, the panel
// buttons, and a program run step by step and timed to its HALT.

#include <QFile>
#include <QFileDialog>
#include <QRadioButton>
#include <QTemporaryDir>

#include "gui_support.h"

using namespace orben::testing;

namespace {

// R1 := 5, R2 := 3, R3 := R1 + R2, OUT 01, R3, HALT.
const char kProgram[] = "0 2105\r\n1 2203\r\n2 6312\r\n3 5301\r\n4 F000\r\n";
const QString kEnd = QStringLiteral("Fin la ejecución :-)");

// Loads an object file through the menu and the file dialog.
void load(ModalScript& script, const QString& path) {
  script.then([path](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    QVERIFY(files);
    files->selectFile(path);
    QMetaObject::invokeMethod(files, "accept");
  });
  trigger(QStringLiteral("Cargarprogramaobjeto1"));
}

QString listingLine() {
  return find<QWidget>(QStringLiteral("Listado"))->property("currentLine").toString();
}

}  // namespace

class FrontPanelViewTest : public QObject {
  Q_OBJECT

 private slots:
  void powerSwitchesThePanel() {
    Program program;
    ModalScript script;
    click("BOnOff");
    QVERIFY(lit("LOn") && lit("LPP"));
    for (const char* name : {"BPasoPaso", "T0", "TF", "BDireccion", "BContinuar"})
      QVERIFY2(find<QWidget>(name)->isEnabled(), name);
    QVERIFY(find<QAction>("MModoPasoapaso")->isEnabled());
    QCOMPARE(find<QAction>("MApagar_TUKA2")->text(), QStringLiteral("Apagar TUKA-2"));
    QCOMPARE(value("R9"), QStringLiteral("0009"));
    QCOMPARE(value("RE"), QStringLiteral("F000"));
    for (const auto& group :
         {QStringList{"Teclado", "IP1", "PIN_01"}, {"PC", "PPC"}, {"OP2", "POP2", "PO_02"}}) {
      for (const QString& name : group) QCOMPARE(value(name), value(group[0]));
    }
    find<QAction>("MApagar_TUKA2")->trigger();  // the menu item is the same switch
    QVERIFY(!lit("LOn") && !lit("LPP"));
    QVERIFY(!find<QWidget>("T5")->isEnabled());
    QCOMPARE(value("PIN_2A"), QStringLiteral("****"));
    QVERIFY(script.messages.isEmpty());
  }

  // Keys shift into Teclado; Dirección, Cargar and Continuar walk memory;
  // Registros and Continuar walk the registers.
  void keypadAndPanelButtons() {
    Program program;
    ModalScript script;
    click("BOnOff");
    key("12345");
    for (const char* name : {"Teclado", "IP1", "PIN_01"}) QCOMPARE(value(name), "2345");
    key("F000");
    click("BDireccion");
    QCOMPARE(script.messages, QStringList{"AVISO: Acceso a memoria de TUKA-2 ilegal.\nPor encima "
                                          "de EFFF se encuentra el programa monitor."});
    key("0100");
    click("BDireccion");
    for (const char* name : {"OP1", "POP1", "PO_01"}) QCOMPARE(value(name), "0100");
    QCOMPARE(value("POP2"), QString::fromLatin1(program.machine().ReadMemoryWord(0x100).view()));
    key("1234");
    for (int i = 0; i < 3; ++i) click("BCargar");
    for (int a = 0x100; a <= 0x102; ++a)
      QCOMPARE(program.machine().ReadMemoryWord(a).str(), "1234");
    QCOMPARE(value("POP1"), "0103");
    const QString at_0103 = value("POP2");
    click("BContinuar");  // steps, stores nothing
    QCOMPARE(value("POP1"), "0104");
    QCOMPARE(QString::fromLatin1(program.machine().ReadMemoryWord(0x103).view()), at_0103);

    click("BRegistros");
    QCOMPARE(value("POP1"), "0000");
    QCOMPARE(value("POP2"), value("R0"));
    click("BCargar");  // R0 := 1234, on to R1
    QCOMPARE(value("R0"), "1234");
    QCOMPARE(value("OP1"), "0001");
    for (int i = 0; i < 15; ++i) click("BContinuar");
    QCOMPARE(value("POP1"), "0000");  // RF wraps to R0
    QCOMPARE(value("POP2"), "1234");
    QCOMPARE(script.messages.size(), 1);
  }

  void programRunsStepByStepAndTimedToItsHalt() {
    Program program;
    ModalScript script;
    QTemporaryDir folder;
    const QString path = folder.filePath("SUMA.EHC");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(kProgram);
    file.close();

    click("BOnOff");
    load(script, path);
    QCOMPARE(find<QWidget>("Listado")->property("currentLine").toInt(), -1);
    key("0000");
    click("BEjecutar");
    QCOMPARE(value("R1"), "0005");
    QCOMPARE(value("PPC"), "0001");
    QCOMPARE(listingLine(), "1");
    for (int i = 0; i < 3; ++i) click("BContinuar");
    QCOMPARE(value("R3"), "0008");
    for (const char* name : {"OP1", "POP1", "PO_01"}) QCOMPARE(value(name), "0008");
    QVERIFY(!lit("Z_ON") && !lit("PZ_ON"));
    click("BContinuar");
    QCOMPARE(script.messages, QStringList{kEnd});
    QCOMPARE(value("PC"), "0005");  // behind the HALT
    QCOMPARE(listingLine(), "4");   // 0005 has no line: the HALT's stays marked
    QVERIFY(lit("LPP"));

    // Timed: the step-mode switch, the fastest pace, then Ejecutar; the
    // timer runs the rest.
    click("BPasoPaso");
    QVERIFY(!lit("LPP"));
    QCOMPARE(find<QAction>("MModoPasoapaso")->text(), QStringLiteral("Activar modo Paso a Paso"));
    script.then([](QWidget* dialog) {
      QCOMPARE(dialog->objectName(), QStringLiteral("TForm4"));
      dialog->findChild<QRadioButton*>("RadioGroup1_0")->setChecked(true);
      press(dialog, "LiveButton1");
    });
    trigger("VelocidaddeejecucinenmodoPP1");
    QCOMPARE(program.window()->findChild<QTimer*>("Reloj")->interval(), 1);
    click("BEjecutar");
    QTRY_COMPARE(script.messages.size(), 2);
    QCOMPARE(script.messages[1], kEnd);
    QVERIFY(lit("LPP"));
    QCOMPARE(value("PPC"), "0005");
    QCOMPARE(value("R3"), "0008");
    // The caption stays as the switch left it.
    QCOMPARE(find<QAction>("MModoPasoapaso")->text(), QStringLiteral("Activar modo Paso a Paso"));
    QVERIFY(script.unexpected.isEmpty());
  }
};

QTEST_MAIN(FrontPanelViewTest)
#include "front_panel_view_test.moc"
