// The main window's toolbar Menu: four drop-down buttons and their popup
// menus, and the menu items that follow the machine.

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cstdint>

#include "widgets/focus_frame.h"
#include "windows/machine_adapter.h"
#include "windows/main_window.h"
#include "windows/pictures.h"

namespace orben {

namespace {

// A toolbar button that shows the keyboard focus as the panels' controls do.
class MenuButton final : public QToolButton {
 public:
  using QToolButton::QToolButton;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QToolButton::paintEvent(event);
    if (!showsFocus(*this)) return;
    QPainter painter(this);
    drawFocusFrame(painter, rect(), palette());
  }
};

// The three first buttons are 76 pixels wide; Programa, whose caption is
// longer, is as wide as its caption needs.
enum class ButtonWidth : std::uint8_t { Panel, Caption };

QToolButton* dropDownButton(const QString& name, const QString& caption, int icon, QMenu* menu,
                            QToolBar* bar, ButtonWidth width = ButtonWidth::Panel) {
  auto* button = new MenuButton(bar);
  button->setObjectName(name);
  button->setText(caption);
  button->setIcon(QIcon(toolbarIcon(icon)));
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setAutoRaise(true);
  button->setMenu(menu);
  button->setPopupMode(QToolButton::InstantPopup);
  button->setFixedWidth(width == ButtonWidth::Panel ? 76
                                                    : std::max(76, button->sizeHint().width()));
  bar->addWidget(button);
  return button;
}

void separator(QMenu* menu, const QString& name) {
  menu->addSeparator()->setObjectName(name);
}

}  // namespace

QAction* MainWindow::menuItem(QMenu* menu, const QString& name, const QString& caption,
                              void (MainWindow::*handler)()) {
  auto* action = new QAction(caption, menu);
  action->setObjectName(name);
  menu->addAction(action);
  if (handler != nullptr) connect(action, &QAction::triggered, this, handler);
  return action;
}

QAction* MainWindow::menuItem(QMenu* menu, const QString& name, const QString& caption,
                              const QKeySequence& keys, void (MainWindow::*handler)()) {
  QAction* action = menuItem(menu, name, caption, handler);
  action->setShortcut(keys);
  // From every window of ORBEN: the action belongs to the main window too,
  // which is always shown, and its context is the whole application.
  action->setShortcutContext(Qt::ApplicationShortcut);
  addAction(action);
  // Not yet built: there, named and keyed, but disabled.
  action->setEnabled(handler != nullptr);
  return action;
}

QWidget* MainWindow::buildToolbar() {
  auto* bar = new QToolBar(QStringLiteral("Menu"));
  bar->setObjectName(QStringLiteral("Menu_Botones"));
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setIconSize(QSize(20, 20));

  auto* archivo = new QMenu(bar);
  archivo->setObjectName(QStringLiteral("PopArchivo"));
  menuItem(archivo, QStringLiteral("Cargarprogramaobjeto1"),
           QStringLiteral("Cargar programa objeto (.HEX, EHC)"),
           &MainWindow::Cargarprogramaobjeto1Click);
  separator(archivo, QStringLiteral("MArchivo_Separador"));
  menuItem(archivo, QStringLiteral("MSalir_de_ORBEN"), QStringLiteral("Salir de ORBEN"),
           &MainWindow::MSalir_de_ORBENClick);
  dropDownButton(QStringLiteral("Menu_Archivo"), QStringLiteral("Archivo"), 0, archivo, bar)
      ->setCursor(Qt::PointingHandCursor);

  auto* entorno = new QMenu(bar);
  entorno->setObjectName(QStringLiteral("PopEntorno"));
  menuItem(entorno, QStringLiteral("EsconderMostrarelPanelInternodeTUKA21"),
           QStringLiteral("Esconder/Mostrar el Panel Interno de TUKA-2"),
           &MainWindow::EsconderMostrarelPanelInternodeTUKA21Click);
  separator(entorno, QStringLiteral("N1"));
  menuItem(entorno, QStringLiteral("InicializarMemoria1"), QStringLiteral("Inicializar Memoria"),
           &MainWindow::InicializarMemoria1Click);
  QAction* init = menuItem(entorno, QStringLiteral("MInicializar_memoria_al_Encender_TUKA2"),
                           QStringLiteral("Inicializar memoria al Encender TUKA2"),
                           &MainWindow::MInicializar_memoria_al_Encender_TUKA2Click);
  init->setCheckable(true);
  separator(entorno, QStringLiteral("N2"));
  menuItem(entorno, QStringLiteral("MEsconderMostrarlosregistrosdeentrada1"),
           QStringLiteral("Esconder/Mostrar puertos de entrada"), &MainWindow::Panel_Registros_Ver);
  menuItem(entorno, QStringLiteral("EsconderMostrarpuertosdesalida1"),
           QStringLiteral("Esconder/Mostrar puertos de salida"),
           &MainWindow::EsconderMostrarpuertosdesalida1Click);
  separator(entorno, QStringLiteral("N3"));
  menuItem(entorno, QStringLiteral("VelocidaddeejecucinenmodoPP1"),
           QStringLiteral("Velocidad de ejecución en modo Paso a Paso"),
           &MainWindow::VelocidaddeejecucinenmodoPP1Click);
  separator(entorno, QStringLiteral("N4"));
  menuItem(entorno, QStringLiteral("Mododesensamblador1"), QString(),
           &MainWindow::Mododesensamblador1Click);
  dropDownButton(QStringLiteral("ToolButton1"), QStringLiteral("Entorno"), 1, entorno, bar);

  auto* tuka2 = new QMenu(bar);
  tuka2->setObjectName(QStringLiteral("pop_TUKA2"));
  menuItem(tuka2, QStringLiteral("MApagar_TUKA2"), QString(), &MainWindow::MApagar_TUKA2Click);
  menuItem(tuka2, QStringLiteral("MModoPasoapaso"), QString(), &MainWindow::MModoPasoapasoClick);
  dropDownButton(QStringLiteral("ToolButton2"), QStringLiteral("TUKA-2"), 2, tuka2, bar);

  auto* programa = new QMenu(bar);
  programa->setObjectName(QStringLiteral("pop_Programa"));
  menuItem(programa, QStringLiteral("MNuevo_fuente"), QStringLiteral("Nuevo programa fuente"),
           &MainWindow::MNuevo_fuenteClick);
  menuItem(programa, QStringLiteral("MAbrir_fuente"),
           QStringLiteral("Abrir programa fuente (.ASM)…"), &MainWindow::MAbrir_fuenteClick);
  menuItem(programa, QStringLiteral("MGuardar_fuente"), QStringLiteral("Guardar programa fuente"),
           &MainWindow::MGuardar_fuenteClick);
  menuItem(programa, QStringLiteral("MGuardar_fuente_como"),
           QStringLiteral("Guardar programa fuente como…"), &MainWindow::MGuardar_fuente_comoClick);
  separator(programa, QStringLiteral("N5"));
  menuItem(programa, QStringLiteral("MEnsamblar_y_cargar"), QStringLiteral("Ensamblar y cargar"),
           QKeySequence(Qt::Key_F9), &MainWindow::MEnsamblar_y_cargarClick);
  menuItem(programa, QStringLiteral("MComprobar_casos"),
           QStringLiteral("Comprobar con casos (.TOML)…"), QKeySequence(),
           &MainWindow::MComprobar_casosClick);
  separator(programa, QStringLiteral("N6"));
  menuItem(programa, QStringLiteral("MPunto_de_parada"),
           QStringLiteral("Poner/Quitar punto de parada"), QKeySequence(Qt::Key_F2),
           &MainWindow::MPunto_de_paradaClick);
  menuItem(programa, QStringLiteral("MEjecutar_hasta_cursor"),
           QStringLiteral("Ejecutar hasta el cursor"), QKeySequence(Qt::Key_F4),
           &MainWindow::MEjecutar_hasta_cursorClick);
  QAction* back =
      menuItem(programa, QStringLiteral("MPaso_atras"), QStringLiteral("Paso atrás"),
               QKeySequence(Qt::CTRL | Qt::Key_Backspace), &MainWindow::MPaso_atrasClick);
  // Only while there is an instruction to take back.
  back->setEnabled(adapter_->debugging().canStepBack());
  connect(adapter_.get(), &MachineAdapter::stepBackAvailable, back, &QAction::setEnabled);
  separator(programa, QStringLiteral("N7"));
  menuItem(programa, QStringLiteral("MGuardar_memoria"),
           QStringLiteral("Guardar memoria como programa objeto…"), QKeySequence(),
           &MainWindow::MGuardar_memoriaClick);
  menuItem(programa, QStringLiteral("MEditor_fuente"),
           QStringLiteral("Esconder/Mostrar el editor de programa fuente"),
           &MainWindow::MEditor_fuenteClick);
  dropDownButton(QStringLiteral("ToolButton3"), QStringLiteral("Programa"), 3, programa, bar,
                 ButtonWidth::Caption);
  return bar;
}

void MainWindow::followMachine() {
  const Machine& machine = adapter_->machine();
  const std::pair<MenuItem, const char*> captioned[] = {
      {MenuItem::PowerSwitch, "MApagar_TUKA2"},
      {MenuItem::StepSwitch, "MModoPasoapaso"},
      {MenuItem::DisassemblerMode, "Mododesensamblador1"}};
  for (const auto& [item, name] : captioned) {
    auto* action = findChild<QAction*>(QString::fromLatin1(name));
    action->setText(QString::fromStdString(machine.caption(item)));
    connect(adapter_.get(), &MachineAdapter::menuCaptionChanged, action,
            [action, item = item](int changed, const QString& caption) {
              if (changed == static_cast<int>(item)) action->setText(caption);
            });
  }
  // Only while TUKA-2 is on: the step switch, and Guardar memoria (off,
  // memory shows "****" and holds nothing to save).
  for (const char* name : {"MModoPasoapaso", "MGuardar_memoria"}) {
    auto* follows_power = findChild<QAction*>(QString::fromLatin1(name));
    follows_power->setEnabled(machine.powerOn());
    connect(adapter_.get(), &MachineAdapter::powerChanged, follows_power, &QAction::setEnabled);
  }
  auto* init = findChild<QAction*>(QStringLiteral("MInicializar_memoria_al_Encender_TUKA2"));
  init->setChecked(machine.initMemoryAtPowerOn());
  connect(adapter_.get(), &MachineAdapter::initMemoryAtPowerOnChanged, init, &QAction::setChecked);
}

}  // namespace orben
