// The toolbar's menus: loading object files through the file dialog, the
// disassembler mode, memory initialisation, the speed dialog and the port
// windows.

#include <QFile>
#include <QFileDialog>
#include <QRadioButton>
#include <QTemporaryDir>

#include "gui_support.h"

using namespace orben::testing;

namespace {

QStringList listing(const Program& program) {
  QStringList lines;
  const auto& listed = static_cast<orben::MainWindow*>(program.window())->adapter().tuka().listing;
  for (int i = 0; i < listed.count(); ++i) lines << QString::fromStdString(listed.line(i));
  return lines;
}

class Files {
 public:
  QString write(const QString& name, const QByteArray& bytes) {
    QFile file(folder_.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return file.fileName();
  }

 private:
  QTemporaryDir folder_;
};

// Chooses `path` in DAbrir, or cancels it when `path` is empty.
ModalScript::Answer choose(const QString& path) {
  return [path](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    QVERIFY(files);
    QCOMPARE(files->objectName(), QStringLiteral("DAbrir"));
    QCOMPARE(files->windowTitle(), QStringLiteral("Cargar fichero objeto en ORBEN"));
    QCOMPARE(files->defaultSuffix(), QStringLiteral("EHC"));
    QCOMPARE(files->nameFilters(),
             (QStringList{"Easy Hexadecimal Code (*.EHC)", "Intel Standard HEX (*.hex)"}));
    QVERIFY(files->testOption(QFileDialog::DontUseNativeDialog));
    if (path.isEmpty()) {
      files->reject();
      return;
    }
    files->selectFile(path);
    QMetaObject::invokeMethod(files, "accept");
  };
}

}  // namespace

class MainMenuTest : public QObject {
  Q_OBJECT

 private slots:
  void loadsObjectFilesThroughTheFileDialog() {
    Program program;
    ModalScript script;
    Files files;
    const auto load = [&](const QString& path) {
      script.then(choose(path));
      trigger("Cargarprogramaobjeto1");
    };
    load(files.write("PROG.ehc", "10 2105\r\n11 F000\r\n"));
    QCOMPARE(listing(program), (QStringList{"[0010]: LLI R1, H'05", "[0011]: HALT"}));
    // A HEX file with a four-byte record in the middle: reported, passed over.
    load(files.write("prog.Hex",
                     ":020001001111EF\r\n:04002000210531077E\r\n:02000200E000EF\r\n"
                     ":00000001FF\r\n"));
    QCOMPARE(listing(program), QStringList{"[0002]: RET"});
    QCOMPARE(script.messages,
             QStringList{"ERROR: Archivo HEX corrupto\nMire la línea: (:04002000210531077E)"});
    QCOMPARE(program.machine().ReadMemoryWord(1).str(), "1111");
    script.messages.clear();
    load(files.write("PROG.EHC.TXT", "10 2105\r\n"));
    load(files.write("TRES.EHC", "1 1\r\n2 2\r\n\r\n3 3\r\n"));
    QCOMPARE(script.messages,
             (QStringList{"ERROR: Los archivos objeto deben tener extensión \n.HEX o .EHC",
                          "Error: Formato incorrecto en la línea 3. Cada línea debe contener "
                          "Dirección y Contenido"}));
    QCOMPARE(listing(program), (QStringList{"[0001]: 0001", "[0002]: 0002"}));  // raw
    load(QString());  // cancelled: the listing is emptied all the same
    QVERIFY(listing(program).isEmpty());
    QVERIFY(script.done() && script.unexpected.isEmpty());
  }

  void disassemblerModeAsksBeforeGoingOn() {
    Program program;
    ModalScript script;
    Files files;
    script.then(choose(files.write("P.EHC", "0 F000\r\n")));
    trigger("Cargarprogramaobjeto1");
    const auto answer = [](QMessageBox::StandardButton button) {
      return [button](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        QVERIFY(box && box->button(QMessageBox::Yes) && box->button(QMessageBox::No));
        QCOMPARE(box->windowTitle(), QStringLiteral("Modo Desensamblador"));
        QCOMPARE(box->text(), QStringLiteral("Al comenzar el Modo Desensamblador perderá\nlos "
                                             "datos del proyecto en curso.\n¿Desea comenzar "
                                             "este modo?"));
        box->button(button)->click();
      };
    };
    script.then(answer(QMessageBox::No));
    trigger("Mododesensamblador1");
    QCOMPARE(listing(program).size(), 1);
    QCOMPARE(find<QAction>("Mododesensamblador1")->text(), "Activar Modo desensamblador");
    script.then(answer(QMessageBox::Yes));
    trigger("Mododesensamblador1");
    QVERIFY(listing(program).isEmpty());
    QCOMPARE(find<QAction>("Mododesensamblador1")->text(), "Desactivar Modo Desensamblador");
    trigger("Mododesensamblador1");  // off at once
    QCOMPARE(find<QAction>("Mododesensamblador1")->text(), "Activar Modo Desensamblador");
    QVERIFY(script.done() && script.unexpected.isEmpty());
  }

  void memoryInitialisationAndItsOption() {
    Program program;
    ModalScript script;
    const auto memory = [&] {
      const auto& store = program.machine().memory();
      return QByteArray(reinterpret_cast<const char*>(store.data()),
                        static_cast<qsizetype>(store.size()));
    };
    QByteArray before = memory();
    QCOMPARE(before.size(), 0x1E000);
    trigger("InicializarMemoria1");  // while off, displays untouched
    QVERIFY(memory() != before);
    QCOMPARE(value("R0"), "****");
    trigger("MInicializar_memoria_al_Encender_TUKA2");
    QVERIFY(!find<QAction>("MInicializar_memoria_al_Encender_TUKA2")->isChecked());
    before = memory();
    click("BOnOff");
    QVERIFY(memory() == before);
    click("BOnOff");
    trigger("MInicializar_memoria_al_Encender_TUKA2");
    QVERIFY(find<QAction>("MInicializar_memoria_al_Encender_TUKA2")->isChecked());
    click("BOnOff");
    QVERIFY(memory() != before);
  }

  void speedDialogMarksTheSpeedAndSetsTheTimer() {
    Program program;
    ModalScript script;
    auto* reloj = program.window()->findChild<QTimer*>("Reloj");
    const auto pick = [](int marked, int item, const char* button) {
      return [=](QWidget* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("TForm4"));
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
    script.then(pick(3, 7, "LiveButton1"));
    trigger("VelocidaddeejecucinenmodoPP1");
    QCOMPARE(reloj->interval(), 7000);
    script.then(pick(7, 0, "LiveButton2"));  // Cancelar
    trigger("VelocidaddeejecucinenmodoPP1");
    QCOMPARE(reloj->interval(), 7000);
    script.then(pick(7, 0, "LiveButton1"));
    trigger("VelocidaddeejecucinenmodoPP1");
    QCOMPARE(reloj->interval(), 1);
    QVERIFY(reloj->isActive());
    QVERIFY(script.done() && script.unexpected.isEmpty());
  }

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
      ports->close();  // the title bar's close button hides it
      QVERIFY(ports->isHidden());
      QVERIFY(program.window()->isVisible());
      trigger(item);
      QVERIFY(ports->isVisible());
    }
    // Ports keep their values while hidden, and output displays do nothing
    // when clicked.
    ModalScript script;
    click("BOnOff");
    find<QWidget>("TForm3")->hide();
    const QString port = value("PO_3F");
    click("PO_3F");
    QCOMPARE(value("PO_3F"), port);
    QVERIFY(script.unexpected.isEmpty() && script.messages.isEmpty());
  }
};

QTEST_MAIN(MainMenuTest)
#include "main_menu_test.moc"
