// Hand edits of registers, ports and flags: the value entry dialog, its
// keys and buttons, the mirrors each edit writes, and the refusal while off.

#include "gui_support.h"

using namespace orben::testing;

namespace {
const QString kPowerOff = QStringLiteral("¡OPS! : Debe encender primero TUKA-2.");
}

class ValueDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void whileOffEveryEditIsRefused() {
    Program program;
    ModalScript script;
    for (const char* name : {"Teclado", "R5", "PPC", "PIN_2A", "Z_OFF", "PC_ON"}) click(name);
    QCOMPARE(script.messages, QStringList(6, kPowerOff));
    QCOMPARE(value("R5"), "****");
    QVERIFY(!lit("Z_ON") && !lit("C_ON"));
    QVERIFY(script.unexpected.isEmpty());
  }

  // Each row: the display clicked, the keys typed before ¡Vale!, and the
  // displays that must then show the expected text.
  void editsWriteTheClickedDisplayAndItsMirrors_data() {
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("five keys") << "R5"
                               << "12345"
                               << "2345" << QStringList{"R5"};
    QTest::newRow("lower case") << "R5"
                                << "af"
                                << "00AF" << QStringList{"R5"};
    QTest::newRow("ignored keys") << "R5"
                                  << "g\b1z"
                                  << "0001" << QStringList{"R5"};
    QTest::newRow("nothing typed") << "RA"
                                   << ""
                                   << "0000" << QStringList{"RA"};
    QTest::newRow("PPC") << "PPC"
                         << "0100"
                         << "0100" << QStringList{"PC", "PPC"};
    QTest::newRow("IP1") << "IP1"
                         << "0041"
                         << "0041" << QStringList{"IP1", "Teclado", "PIN_01"};
    QTest::newRow("IP2") << "IP2"
                         << "1234"
                         << "1234" << QStringList{"IP2", "PIN_02"};
    QTest::newRow("PIN_01") << "PIN_01"
                            << "31"
                            << "0031" << QStringList{"PIN_01", "Teclado", "IP1"};
    QTest::newRow("PIN_2A") << "PIN_2A"
                            << "007F"
                            << "007F" << QStringList{"PIN_2A"};
  }
  void editsWriteTheClickedDisplayAndItsMirrors() {
    QFETCH(QString, clicked);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    QFETCH(QStringList, shown);
    Program program;
    ModalScript script;
    click("BOnOff");
    const QString keypad = value("Teclado");
    const QString listed = find<QWidget>("Listado")->property("currentLine").toString();
    script.then(typeValue(keys));
    click(clicked);
    for (const QString& name : shown) QCOMPARE(value(name), expected);
    if (!shown.contains("Teclado")) QCOMPARE(value("Teclado"), keypad);
    // The program counter's displays change, not the listing's mark.
    QCOMPARE(find<QWidget>("Listado")->property("currentLine").toString(), listed);
    QVERIFY(script.done() && script.unexpected.isEmpty());
  }

  void cancelarEnterAndTheKeysOfTheDialog() {
    Program program;
    ModalScript script;
    click("BOnOff");
    const QString before = value("R5");
    script.then(typeValue("9999", false));
    click("R5");
    QCOMPARE(value("R5"), before);
    // Enter presses ¡Vale!, which has the focus when the dialog opens.
    script.then([](QWidget* dialog) {
      QTest::keyClicks(dialog, "BEEF");
      QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    });
    click("R5");
    QCOMPARE(value("R5"), "BEEF");
    // Displays without an edit action open nothing.
    for (const char* name : {"IR", "PIR", "AR", "DR", "OP1", "POP2", "PO_05"}) click(name);
    QVERIFY(script.done() && script.unexpected.isEmpty() && script.messages.isEmpty());
  }

  // The step timer keeps ticking behind the dialog: ¡Vale! writes the typed
  // value over what the run stored meanwhile; Cancelar writes nothing.
  void aTimedRunGoesOnBehindTheDialog() {
    Program program;
    ModalScript script;
    click("BOnOff");
    // ADDS R5, R5, R1; LLI RD, 00; BR: R5 counts up.
    key("0000");
    click("BDireccion");
    for (const char* word : {"6551", "2D00", "C000"}) {
      key(word);
      click("BCargar");
    }
    script.then([](QWidget* dialog) {
      dialog->findChild<QAbstractButton*>("RadioGroup1_0")->setChecked(true);
      press(dialog, "LiveButton1");
    });
    trigger("VelocidaddeejecucinenmodoPP1");
    click("BPasoPaso");
    key("0000");
    click("BEjecutar");
    for (bool vale : {false, true}) {
      QString seen;
      script.then([&seen, vale](QWidget* dialog) {
        const QString opened = value("R5");
        QTRY_VERIFY(value("R5") != opened);
        seen = value("R5");
        QTest::keyClicks(dialog, "ABCD");
        press(dialog, vale ? "LiveButton1" : "LiveButton2");
      });
      click("R5");
      QVERIFY(!seen.isEmpty());
      if (vale) {
        QCOMPARE(value("R5").left(2), QStringLiteral("AB"));  // the run goes on from ABCD
      } else {
        QVERIFY(value("R5") != QStringLiteral("ABCD"));
        QVERIFY(value("R5").toInt(nullptr, 16) >= seen.toInt(nullptr, 16));
      }
    }
    QVERIFY(script.done() && script.unexpected.isEmpty());
  }

  void flagLampsToggleFromEitherPanel() {
    Program program;
    ModalScript script;
    click("BOnOff");
    click("C_OFF");
    QVERIFY(lit("C_ON") && lit("PC_ON"));
    click("PC_ON");
    QVERIFY(!lit("C_ON") && !lit("PC_ON"));
    click("PV_OFF");
    click("V_ON");
    click("V_OFF");
    QVERIFY(lit("V_ON") && lit("PV_ON"));
    QVERIFY(!lit("Z_ON") && !lit("S_ON"));
    click("BOnOff");
    QVERIFY(!lit("V_ON") && !lit("PV_ON"));
  }
};

QTEST_MAIN(ValueDialogTest)
#include "value_dialog_test.moc"
