// The toolbar's menus: loading object files through the file dialog, the
// disassembler mode, memory initialisation, the speed dialog and the port
// windows. What each command does is the core's; here, that each item
// reaches it and the dialogs carry their answers back.

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>

#include "gui_support.h"

#include <algorithm>

using namespace orben::testing;

class MainMenuTest : public QObject {
  Q_OBJECT

 private slots:
  void loadsObjectFilesThroughTheFileDialog() {
    Program program;
    QTemporaryDir folder;
    // A HEX file with a four-byte record in the middle: reported, passed over.
    loadFile(program, folder, "prog.Hex",
             ":020001001111EF\r\n:04002000210531077E\r\n:02000200E000EF\r\n");
    QCOMPARE(program.listing(), QStringList{"[0002]: RET"});
    QCOMPARE(program.script.takeMessages(),
             QStringList{"ERROR: Archivo HEX corrupto\nMire la línea: (:04002000210531077E)"});
    QCOMPARE(program.machine().ReadMemoryWord(1).str(), "1111");
    // Cancelled: the listing is emptied all the same.
    program.script.then([](QWidget* dialog) {
      auto* files = qobject_cast<QFileDialog*>(dialog);
      QVERIFY(files);
      QCOMPARE(files->windowTitle(), QStringLiteral("Cargar fichero objeto en ORBEN"));
      QCOMPARE(files->defaultSuffix(), QStringLiteral("EHC"));
      QCOMPARE(files->nameFilters(),
               (QStringList{"Easy Hexadecimal Code (*.EHC)", "Intel Standard HEX (*.hex)"}));
      QVERIFY(files->testOption(QFileDialog::DontUseNativeDialog));
      files->reject();
    });
    trigger("Cargarprogramaobjeto1");
    QVERIFY(program.listing().isEmpty());
  }

  // DAbrir takes the chosen file whether its name field has the focus yet
  // or not (a user who types there has it): the file is loaded either way.
  void theFileDialogTakesTheNameWhereverTheFocusIs() {
    Program program;
    program.window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(program.window()));
    QTemporaryDir folder;
    for (const bool focused : {false, true}) {
      const QString path = writeFile(folder, focused ? "con_foco.ehc" : "sin_foco.ehc",
                                     focused ? "0000 F000\r\n" : "0000 E000\r\n");
      program.script.then([focused, path](QWidget* dialog) {
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        if (focused) {
          dialog->activateWindow();
          name->setFocus();
          QTRY_VERIFY(name->hasFocus());
        } else {
          name->clearFocus();
          QVERIFY(!name->hasFocus());
        }
        chooseFile(path)(dialog);
      });
      trigger("Cargarprogramaobjeto1");
      QVERIFY(program.script.done());
      QCOMPARE(program.listing(), QStringList{focused ? "[0000]: HALT" : "[0000]: RET"});
    }
  }

  // A message box breaks lines only where its message does: the EHC format
  // error on one line, the corrupt HEX report on its two.
  void messageBoxesBreakLinesOnlyWhereTheMessageDoes() {
    Program program;
    QTemporaryDir folder;
    const auto linesShown = [](int lines) {
      return [lines](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(label && label->isVisible());
        const QFontMetrics metrics(label->font());
        int widest = 0;
        for (const QString& line : box->text().split(u'\n'))
          widest = std::max(widest, metrics.horizontalAdvance(line));
        QVERIFY2(label->contentsRect().width() >= widest,
                 qPrintable(QStringLiteral("%1 < %2").arg(label->width()).arg(widest)));
        const int shown = label->contentsRect().height() / metrics.lineSpacing();
        QCOMPARE(shown, lines);
        QVERIFY(box->frameGeometry().width() <= box->screen()->availableGeometry().width());
        box->button(QMessageBox::Ok)->click();
      };
    };
    loadFile(program, folder, "MAL.EHC", "0000 2105\r\n0001\r\n", linesShown(1));
    loadFile(program, folder, "mal.hex", ":04002000210531077E\r\n", linesShown(2));
    QVERIFY(program.script.done());
  }

  void disassemblerModeAsksBeforeGoingOn() {
    Program program;
    program.tuka().listing.add("[0000]: HALT");
    const auto answer = [](QMessageBox::StandardButton button) {
      return [button](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        QVERIFY(box && box->button(QMessageBox::Yes) && box->button(QMessageBox::No));
        QCOMPARE(box->windowTitle(), QStringLiteral("Modo Desensamblador"));
        box->button(button)->click();
      };
    };
    program.script.then(answer(QMessageBox::No));
    trigger("Mododesensamblador1");
    QCOMPARE(program.listing().size(), 1);
    program.script.then(answer(QMessageBox::Yes));
    trigger("Mododesensamblador1");
    QVERIFY(program.listing().isEmpty());
    QCOMPARE(find<QAction>("Mododesensamblador1")->text(), "Desactivar Modo Desensamblador");
  }

  void memoryInitialisationAndItsOption() {
    Program program;
    const auto memory = [&] { return program.machine().memory().hexText(); };
    std::string before = memory();
    trigger("InicializarMemoria1");  // while off, displays untouched
    QVERIFY(memory() != before);
    QCOMPARE(value("R0"), "****");
    trigger("MInicializar_memoria_al_Encender_TUKA2");
    QVERIFY(!find<QAction>("MInicializar_memoria_al_Encender_TUKA2")->isChecked());
    before = memory();
    click("BOnOff");
    QVERIFY(memory() == before);
  }

  // The dialog marks the current speed; ¡Vale! sets the step timer, Cancelar
  // leaves it.
  void speedDialogMarksTheSpeedAndSetsTheTimer() {
    Program program;
    auto* reloj = program.window()->findChild<QTimer*>("Reloj");
    const auto pick = [](int marked, int item, const char* button) {
      return [=](QWidget* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Velocidad modo Paso a Paso"));
        const auto items = dialog->findChildren<QRadioButton*>();
        QCOMPARE(items.size(), 8);
        QCOMPARE(items[0]->text(), QStringLiteral("Rápida"));
        QCOMPARE(items[7]->text(), QStringLiteral("7.0 segundos cada paso"));
        QVERIFY(items[marked]->isChecked());
        items[item]->setChecked(true);
        press(dialog, button);
      };
    };
    program.script.then(pick(3, 7, "LiveButton1"));
    trigger("VelocidaddeejecucinenmodoPP1");
    QCOMPARE(reloj->interval(), 7000);
    program.script.then(pick(7, 0, "LiveButton2"));  // Cancelar
    trigger("VelocidaddeejecucinenmodoPP1");
    QCOMPARE(reloj->interval(), 7000);
  }

  // Each item shows and hides its window; the title bar's close button hides it.
  void portWindowsShowAndHide() {
    Program program;
    for (const auto& [item, window] :
         {std::pair{"MEsconderMostrarlosregistrosdeentrada1", "TForm2"},
          std::pair{"EsconderMostrarpuertosdesalida1", "TForm3"}}) {
      QWidget* ports = find<QWidget>(window);
      trigger(item);
      QVERIFY(ports->isVisible());
      trigger(item);
      QVERIFY(ports->isHidden());
      trigger(item);
      ports->close();
      QVERIFY(ports->isHidden() && program.window()->isVisible());
      trigger(item);
      QVERIFY(ports->isVisible());
    }
  }
};

QTEST_MAIN(MainMenuTest)
#include "main_menu_test.moc"
