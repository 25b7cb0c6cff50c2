// The program as it stands right after start-up, before the user acts, and
// while TUKA-2 is off.

#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
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
    QCOMPARE(
        main->windowTitle(),
        QStringLiteral("ORBEN 0.1.0 para Windows, el Entorno Integrado de Desarrollo para TUKA-2"));
    QCOMPARE(QApplication::applicationName(), QStringLiteral("ORBEN, el IDE para TUKA-2"));
    QCOMPARE(find<QWidget>("Listado")->geometry(), QRect(16, 58, 377, 255));
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

    // 699 high, as wide as the whole internal panel needs, centred.
    QCOMPARE(main->height(), 699);
    checkInternalPanelWhole(*main);
    const QRect screen = main->screen()->availableGeometry();
    // Centred before the window manager's frame is known: within its width.
    const int off_centre = main->frameGeometry().center().x() - screen.center().x();
    QVERIFY2(std::abs(off_centre) <= 4, qPrintable(QString::number(off_centre)));

    for (const auto& [name, title, size] :
         {std::tuple{"TForm2", "Los 64 primeros puertos de entrada:", QSize(402, 321)},
          std::tuple{"TForm3", "Los 64 primeros puertos de salida:", QSize(410, 338)}}) {
      auto* window = find<QWidget>(name);
      QVERIFY2(window && window->isWindow() && window->isHidden(), name);
      QCOMPARE(window->windowTitle(), QString::fromUtf8(title));
      QCOMPARE(window->size(), size);
    }
  }

  // The port numbers beside the displays are a Courier a person can read:
  // digits 8 pixels high or more, blue, and red for the ports the front panel
  // also shows. The output ports' rows spread over the whole page, with no
  // empty band below them.
  void portNumbersReadAndOutputRowsFillThePage() {
    Program program;
    trigger("MEsconderMostrarlosregistrosdeentrada1");
    trigger("EsconderMostrarpuertosdesalida1");
    struct Label {
      const char* name;
      bool red;
    };
    for (const Label& row :
         {Label{"Label_PIN_00", false}, Label{"Label_PIN_01", true}, Label{"Label_PIN_02", false},
          Label{"Label_PO_01", true}, Label{"Label_PO_02", true}, Label{"Label_PO_1E", false}}) {
      auto* label = find<QLabel>(row.name);
      label->window()->show();
      QTest::qWait(10);
      const QImage picture = label->grab().toImage().convertToFormat(QImage::Format_RGB32);
      // Ink: pixels far nearer red (or blue) than the grey around them.
      QRect ink;
      for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
          const QColor c = picture.pixelColor(x, y);
          const int lead = row.red ? c.red() - std::max(c.green(), c.blue())
                                   : c.blue() - std::max(c.red(), c.green());
          if (lead > 80) ink |= QRect(x, y, 1, 1);
        }
      }
      QVERIFY2(ink.height() >= 8,
               qPrintable(QStringLiteral("%1: %2").arg(row.name).arg(ink.height())));
      QVERIFY2(ink.width() >= 10, row.name);  // two digits, not one
      QCOMPARE(label->font().bold(), row.red);
    }

    for (const char* page : {"TabSheet1", "TabSheet2"}) {
      auto* sheet = find<QWidget>("TForm3")->findChild<QWidget*>(page);
      sheet->parentWidget()->parentWidget()->setProperty(
          "currentIndex", page == QLatin1String("TabSheet1") ? 0 : 1);
      QTest::qWait(10);
      QList<int> tops;
      int bottom = 0;
      for (const QWidget* port : sheet->findChildren<QFrame*>(QRegularExpression("^Panel_PO_"))) {
        if (!tops.contains(port->y())) tops << port->y();
        bottom = std::max(bottom, port->geometry().bottom() + 1);
      }
      std::sort(tops.begin(), tops.end());
      QCOMPARE(tops.size(), 8);
      const int panel_height = bottom - tops[7];
      const int between_rows = tops[1] - tops[0] - panel_height;
      const int band_below = sheet->height() - bottom;
      QVERIFY2(band_below <= between_rows + 8,
               qPrintable(QStringLiteral("%1: %2 between rows, %3 below")
                              .arg(page)
                              .arg(between_rows)
                              .arg(band_below)));
    }
  }

  // Every item of the three drop-down menus of the toolbar, in order: its
  // name and caption, "[x]" when checked, "(off)" when disabled; a separator
  // by its name alone.
  void menusHoldEveryItemInOrder() {
    Program program;
    const auto items = [](const char* button) {
      auto* tool = find<QToolButton>(button);
      QStringList shown{tool->text(), tool->menu()->objectName()};  // then the items
      if (!find<QWidget>("Barra_Principal")->isAncestorOf(tool)) shown << "elsewhere";
      for (const QAction* a : tool->menu()->actions()) {
        shown << a->objectName() + (a->isSeparator() ? "" : " " + a->text()) +
                     (a->isChecked() ? " [x]" : "") + (a->isEnabled() ? "" : " (off)");
      }
      return shown;
    };
    QCOMPARE(items("Menu_Archivo"),
             (QStringList{"Archivo", "PopArchivo",
                          "Cargarprogramaobjeto1 Cargar programa objeto (.HEX, EHC)",
                          "MArchivo_Separador", "MSalir_de_ORBEN Salir de ORBEN"}));
    QCOMPARE(
        items("ToolButton1"),
        (QStringList{"Entorno", "PopEntorno",
                     "EsconderMostrarelPanelInternodeTUKA21 Esconder/Mostrar el Panel Interno "
                     "de TUKA-2",
                     "N1", "InicializarMemoria1 Inicializar Memoria",
                     "MInicializar_memoria_al_Encender_TUKA2 Inicializar memoria al Encender "
                     "TUKA2 [x]",
                     "N2",
                     "MEsconderMostrarlosregistrosdeentrada1 Esconder/Mostrar puertos de "
                     "entrada",
                     "EsconderMostrarpuertosdesalida1 Esconder/Mostrar puertos de salida", "N3",
                     "VelocidaddeejecucinenmodoPP1 Velocidad de ejecución en modo Paso a Paso",
                     "N4", "Mododesensamblador1 Activar Modo desensamblador"}));
    QCOMPARE(items("ToolButton2"),
             (QStringList{"TUKA-2", "pop_TUKA2", "MApagar_TUKA2 Encender TUKA-2",
                          "MModoPasoapaso Desactivar modo Paso a Paso (off)"}));
  }

  // TUKA-2 is off: every display "****", lamps dark, only On/Off enabled, and
  // every hand edit refused.
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
    for (const char* name : {"Teclado", "R5", "PPC", "PIN_01", "PIN_2A", "Z_OFF", "PC_ON"})
      click(name);
    QCOMPARE(program.script.takeMessages(),
             QStringList(7, QStringLiteral("¡OPS! : Debe encender primero TUKA-2.")));
    QCOMPARE(value("R5"), "****");
    QVERIFY(!lit("Z_ON") && !lit("C_ON"));
  }
};

QTEST_MAIN(StartUpTest)
#include "start_up_test.moc"
