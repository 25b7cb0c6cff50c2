// The program as it stands right after start-up, before the user acts.

#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

#include "gui_support.h"
#include "machine/cells.h"

using namespace orben::testing;

class StartUpTest : public QObject {
  Q_OBJECT

 private slots:
  void windowsHaveTheirTitlesAndSizes() {
    Program program;
    QMainWindow* main = program.window();
    QCOMPARE(main->objectName(), QStringLiteral("TForm1"));
    QCOMPARE(
        main->windowTitle(),
        QStringLiteral("ORBEN 0.1.0 para Windows, el Entorno Integrado de Desarrollo para TUKA-2"));
    QCOMPARE(QApplication::applicationName(), QStringLiteral("ORBEN, el IDE para TUKA-2"));
    QCOMPARE(main->size(), QSize(929, 699));
    QCOMPARE(find<QWidget>("Listado")->geometry(), QRect(16, 58, 377, 255));
    QVERIFY(find<QWidget>("Contenedor_PF")->isAncestorOf(find<QWidget>("PPanel_Frontal")));
    auto* pages = find<QTabWidget>("Ficha_PF");
    QCOMPARE(pages->count(), 1);
    QCOMPARE(pages->tabText(0), QStringLiteral("Panel frontal"));
    QCOMPARE(pages->widget(0)->objectName(), QStringLiteral("TPanel_Frontal"));

    auto* status = main->findChild<QStatusBar*>("Barra_Estado");
    const auto sections = status->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    QCOMPARE(sections.size(), 2);
    QCOMPARE(sections[0]->text(), QStringLiteral("ORBEN 0.1.0"));
    QCOMPARE(sections[0]->width(), 70);
    QCOMPARE(sections[1]->text(), QString());

    auto* reloj = main->findChild<QTimer*>("Reloj");
    QVERIFY(reloj->isActive());
    QCOMPARE(reloj->interval(), 1000);
    QCOMPARE(reloj->timerType(), Qt::PreciseTimer);

    struct Port {
      const char* name;
      const char* title;
      QSize size;
    } ports[] = {{"TForm2", "Los 64 primeros puertos de entrada:", {402, 321}},
                 {"TForm3", "Los 64 primeros puertos de salida:", {410, 338}}};
    for (const auto& port : ports) {
      auto* window = find<QWidget>(port.name);
      QVERIFY2(window && window->isWindow() && window->isHidden(), port.name);
      QCOMPARE(window->windowTitle(), QString::fromUtf8(port.title));
      QCOMPARE(window->size(), port.size);
    }
  }

  // Every item of the three drop-down menus, in order.
  void menusHoldEveryItemInOrder() {
    Program program;
    struct Item {
      const char* name;
      const char* caption;  // nullptr: a separator
      bool checked;
      bool enabled;
    };
    struct Menu {
      const char* button;
      const char* caption;
      const char* menu;
      std::vector<Item> items;
    } menus[] = {
        {"Menu_Archivo",
         "Archivo",
         "PopArchivo",
         {{"Cargarprogramaobjeto1", "Cargar programa objeto (.HEX, EHC)", false, true},
          {"MArchivo_Separador", nullptr, false, true},
          {"MSalir_de_ORBEN", "Salir de ORBEN", false, true}}},
        {"ToolButton1",
         "Entorno",
         "PopEntorno",
         {{"EsconderMostrarelPanelInternodeTUKA21", "Esconder/Mostrar el Panel Interno de TUKA-2",
           false, true},
          {"N1", nullptr, false, true},
          {"InicializarMemoria1", "Inicializar Memoria", false, true},
          {"MInicializar_memoria_al_Encender_TUKA2", "Inicializar memoria al Encender TUKA2", true,
           true},
          {"N2", nullptr, false, true},
          {"MEsconderMostrarlosregistrosdeentrada1", "Esconder/Mostrar puertos de entrada", false,
           true},
          {"EsconderMostrarpuertosdesalida1", "Esconder/Mostrar puertos de salida", false, true},
          {"N3", nullptr, false, true},
          {"VelocidaddeejecucinenmodoPP1", "Velocidad de ejecución en modo Paso a Paso", false,
           true},
          {"N4", nullptr, false, true},
          {"Mododesensamblador1", "Activar Modo desensamblador", false, true}}},
        {"ToolButton2",
         "TUKA-2",
         "pop_TUKA2",
         {{"MApagar_TUKA2", "Encender TUKA-2", false, true},
          {"MModoPasoapaso", "Desactivar modo Paso a Paso", false, false}}},
    };
    for (const auto& menu : menus) {
      auto* button = find<QToolButton>(menu.button);
      QVERIFY2(button, menu.button);
      QCOMPARE(button->text(), QString::fromUtf8(menu.caption));
      QVERIFY(find<QWidget>("Barra_Principal")->isAncestorOf(button));
      QCOMPARE(button->menu()->objectName(), QString::fromLatin1(menu.menu));
      const auto actions = button->menu()->actions();
      QCOMPARE(actions.size(), static_cast<qsizetype>(menu.items.size()));
      for (std::size_t i = 0; i < menu.items.size(); ++i) {
        const Item& item = menu.items[i];
        QAction* action = actions[static_cast<qsizetype>(i)];
        QCOMPARE(action->objectName(), QString::fromLatin1(item.name));
        QCOMPARE(action->isSeparator(), item.caption == nullptr);
        if (item.caption) QCOMPARE(action->text(), QString::fromUtf8(item.caption));
        QCOMPARE(action->isChecked(), item.checked);
        QCOMPARE(action->isEnabled(), item.enabled);
      }
    }
  }

  // TUKA-2 is off: every display "****", lamps dark, only On/Off enabled.
  void everythingStartsOff() {
    Program program;
    int displays = 0;
    for (int cell = 0; cell < orben::kCellCount; ++cell) {
      for (const auto& name : orben::displaysOfCell(static_cast<orben::CellId>(cell))) {
        QCOMPARE(value(QString::fromStdString(name)), QStringLiteral("****"));
        ++displays;
      }
    }
    // R0..RF; PC, PPC, IR, PIR, AR, DR; 64 input ports and Teclado, IP1,
    // IP2; 64 output ports and OP1, POP1, OP2, POP2.
    QCOMPARE(displays, 16 + 6 + (64 + 3) + (64 + 4));
    for (const char* lamp :
         {"LOn", "LPP", "Z_ON", "S_ON", "C_ON", "V_ON", "PZ_ON", "PS_ON", "PC_ON", "PV_ON"}) {
      QVERIFY2(!lit(lamp), lamp);
    }
    for (const char* off : {"LOff", "LPP_Off", "Z_OFF", "PV_OFF"}) QVERIFY(lit(off));
    QVERIFY(find<QWidget>("BOnOff")->isEnabled());
    for (const char* name : {"BPasoPaso", "T0", "TF", "BDireccion", "BRegistros", "BCargar",
                             "BEjecutar", "BContinuar"}) {
      QVERIFY2(!find<QWidget>(name)->isEnabled(), name);
    }
    for (const char* label : {"r0", "r9", "rA", "rF"})
      QCOMPARE(find<QLabel>(label)->text(), QString::fromLatin1(label));
    QCOMPARE(find<QWidget>("T7")->property("text").toString(), QStringLiteral("&7"));
    QCOMPARE(find<QWidget>("BDireccion")->property("text").toString(),
             QStringLiteral("D&irección"));
  }
};

QTEST_MAIN(StartUpTest)
#include "start_up_test.moc"
