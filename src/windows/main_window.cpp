#include "windows/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "panel/tuka2.h"
#include "widgets/digital_display.h"
#include "widgets/hex_editor.h"
#include "widgets/hlistbox.h"
#include "windows/case_check.h"
#include "windows/display_binding.h"
#include "windows/dock.h"
#include "windows/front_panel_view.h"
#include "windows/internal_panel_view.h"
#include "windows/lamp.h"
#include "windows/machine_adapter.h"
#include "windows/memory_save_dialog.h"
#include "windows/port_window.h"
#include "windows/source_editor.h"
#include "windows/style.h"

namespace orben {

namespace {

// The listing lies over the empty left part of the front panel's page, at a
// fixed place of the window; the front panel sits to its right.
constexpr QRect kListingPlace{16, 58, 377, 255};
constexpr int kFrontPanelLeft = 400;
constexpr QSize kWindowSize{929, 699};

// Every display and lamp of a panel tells assistive technology which panel
// it stands on: "PC" is on both, "Z" too.
void describePanel(const DockPiece& piece) {
  for (QWidget* control : piece.findChildren<TDigitalDisplay*>())
    control->setAccessibleDescription(piece.caption());
  for (QWidget* control : piece.findChildren<Lamp*>())
    control->setAccessibleDescription(piece.caption());
}

QLabel* statusSection(const QString& text, int width, QStatusBar* bar) {
  auto* label = new QLabel(text, bar);
  label->setFont(sansFont(11));
  label->setFixedWidth(width);
  bar->addWidget(label);
  return label;
}

}  // namespace

MainWindow::MainWindow() : adapter_(std::make_unique<MachineAdapter>()) {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(
      QStringLiteral("ORBEN 0.1.0 para Windows, el Entorno Integrado de Desarrollo para TUKA-2"));
  adapter_->setDialogParent(this);

  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("Contenedor_Principal"));
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  top_bar_ = new DockBar(QStringLiteral("Barra_Principal"), central);
  top_bar_->fitHeightToPiece(26);
  layout->addWidget(top_bar_);
  menu_piece_ = new DockPiece(QStringLiteral("Menu"), QStringLiteral("Menu"), top_bar_);
  menu_piece_->setContent(buildToolbar());
  top_bar_->dock(menu_piece_);

  auto* pages = new QTabWidget(central);
  pages->setObjectName(QStringLiteral("Ficha_PF"));
  // Its one page needs no keyboard stop.
  pages->setFocusPolicy(Qt::NoFocus);
  pages->tabBar()->setFocusPolicy(Qt::NoFocus);
  auto* page = new QWidget(pages);
  page->setObjectName(QStringLiteral("TPanel_Frontal"));
  pages->addTab(page, QStringLiteral("Panel frontal"));
  auto* page_layout = new QVBoxLayout(page);
  page_layout->setContentsMargins(0, 0, 0, 0);
  front_bar_ = new DockBar(QStringLiteral("Contenedor_PF"), page);
  page_layout->addWidget(front_bar_);
  front_piece_ = new DockPiece(QStringLiteral("PPanel_Frontal"),
                               QStringLiteral("Panel frontal de TUKA-2"), front_bar_);
  front_view_ = new FrontPanelView(*adapter_, front_piece_);
  front_piece_->setContent(front_view_);
  describePanel(*front_piece_);
  front_piece_->setMinimumSize(428, 180);
  // The piece's grip lies in the margin; the front panel itself starts at 400.
  front_bar_->setPieceMargins(QMargins(kFrontPanelLeft - DockPiece::kGripThickness, 4, 0, 0));
  front_bar_->dock(front_piece_);
  layout->addWidget(pages, 1);

  internal_bar_ =
      new DockBar(QStringLiteral("Contenedor_Panel_Interno"), central, DockBar::Edge::Bottom);
  // Closed while it floats, the internal panel hides: its menu item brings
  // it back.
  internal_piece_ =
      new DockPiece(QStringLiteral("Panel_Interno"), QStringLiteral("Panel interno de TUKA-2"),
                    internal_bar_, DockPiece::GripSide::Left, DockPiece::OnClose::Hide);
  internal_piece_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  internal_piece_->setAutoFillBackground(true);
  internal_piece_->setPalette(QPalette(kTeal));
  internal_view_ = new InternalPanelView(*adapter_, internal_piece_);
  internal_piece_->setContent(internal_view_);
  describePanel(*internal_piece_);
  internal_bar_->dock(internal_piece_);
  // The window asks for the internal panel's whole width; a user who makes
  // the window narrower cuts off the panel's right end.
  internal_bar_->layout()->setSizeConstraint(QLayout::SetNoConstraint);
  internal_bar_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  internal_bar_->setMinimumWidth(1);
  internal_bar_->fitHeightToPiece();
  layout->addWidget(internal_bar_);
  connect(internal_piece_, &DockPiece::endDock, this, &MainWindow::Panel_Interno_EndDock);
  connect(internal_view_->memoryPiece(), &DockPiece::endDock, this, &MainWindow::Memoria_EndDock);
  setCentralWidget(central);

  listing_ = new THListBox(&adapter_->tuka().listing, central);
  listing_->setObjectName(QStringLiteral("Listado"));
  listing_->setAccessibleName(QStringLiteral("Listado"));
  listing_->setGeometry(kListingPlace);
  listing_->raise();

  auto* status = new QStatusBar(this);
  status->setObjectName(QStringLiteral("Barra_Estado"));
  status->setFixedHeight(22);
  statusSection(QStringLiteral("ORBEN 0.1.0"), 70, status);
  statusSection(QString(), 50, status);
  setStatusBar(status);

  THexEditor* grid = internal_view_->memoryGrid();
  connect(grid, &THexEditor::keyDown, this, &MainWindow::Al_Pulsar_Memoria);
  connect(grid, &THexEditor::keyUp, this, &MainWindow::Editar_Memoria);

  reloj_ = new QTimer(this);
  reloj_->setObjectName(QStringLiteral("Reloj"));
  adapter_->attachStepTimer(reloj_);

  editor_ = new SourceEditor(*adapter_, this);
  case_check_ = new CaseCheck(*adapter_, *editor_, this);

  bindDisplays(*adapter_, this);
  followMachine();
  // The front panel's page asks for the room the window is designed with,
  // so that a window refitted to its content is 929 by 699 again and is
  // never so short that the listing lies over the internal panel.
  const int missing = kWindowSize.height() - sizeHint().height();
  if (missing > 0) pages->setMinimumHeight(pages->sizeHint().height() + missing);
  // As wide as the content needs, the whole internal panel in view.
  resize(std::max(kWindowSize.width(), sizeHint().width()), kWindowSize.height());
  ORBEN_Inicio();
}

MainWindow::~MainWindow() {
  // Everything that watches the machine goes before the machine: the port
  // windows, the pieces floating in their own windows (the front panel, the
  // memory grid), then the docked rest. A check still grading ends first.
  delete case_check_;
  delete input_ports_;
  delete output_ports_;
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isWindow()) delete child;
  }
  delete takeCentralWidget();
}

void MainWindow::createPortWindows() {
  input_ports_ = new PortWindow(PortWindow::Kind::Input, *adapter_);
  output_ports_ = new PortWindow(PortWindow::Kind::Output, *adapter_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // An unsaved source first: Cancelar keeps ORBEN open. Not while the
  // machine waits on one of its boxes: a box over a box would not end.
  if (!adapter_->waitingOnDialog() && !editor_->settleChanges()) {
    event->ignore();
    return;
  }
  // Salir de ORBEN and the title bar's close button end the program at
  // once, whatever the machine is doing; the other windows close with it.
  reloj_->stop();
  case_check_->cancel();
  if (input_ports_) input_ports_->close();
  if (output_ports_) output_ports_->close();
  // The floating pieces' windows are hidden, not closed: a closed one would
  // send its piece home on the way out.
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isWindow()) child->hide();
  }
  // Closed while the machine waits on one of its boxes (from code: a
  // window manager's close is held by the modal box), the window and the
  // machine stay until the machine's command has returned.
  if (adapter_->waitingOnDialog() && testAttribute(Qt::WA_DeleteOnClose)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    adapter_->leaveWhenDialogsEnd(this);
  }
  event->accept();
}

void MainWindow::ORBEN_Inicio() {
  adapter_->tuka().power.startUp();
}

void MainWindow::Cargarprogramaobjeto1Click() {
  adapter_->chooseAndLoadObject();
}

void MainWindow::switchOn() {
  if (!adapter_->machine().powerOn()) front_view_->BOnOffClick();
}

void MainWindow::openObjectFile(const QString& path) {
  adapter_->loadObjectNamed(QFile::encodeName(path).toStdString());
}

void MainWindow::openSourceFile(const QString& path) {
  editor_->openFile(path);
}

void MainWindow::MNuevo_fuenteClick() {
  editor_->newSource();
}

void MainWindow::MAbrir_fuenteClick() {
  editor_->chooseAndOpen();
}

void MainWindow::MGuardar_fuenteClick() {
  editor_->save();
}

void MainWindow::MGuardar_fuente_comoClick() {
  editor_->saveAs();
}

void MainWindow::MEnsamblar_y_cargarClick() {
  editor_->assembleAndLoad();
}

void MainWindow::MGuardar_memoriaClick() {
  runMemorySaveDialog(*adapter_, this);
}

void MainWindow::MComprobar_casosClick() {
  case_check_->chooseAndRun();
}

void MainWindow::MEditor_fuenteClick() {
  editor_->toggleShown();
}

void MainWindow::MPunto_de_paradaClick() {
  // With the listing focused, on its selected line; else the editor's.
  if (QApplication::focusWidget() == listing_) {
    const int line = listing_->currentLine();
    const int address =
        line < 0 ? -1 : wordAddress(adapter_->tuka().listing.line(line).substr(1, 4));
    if (address >= 0) editor_->toggleBreakpointAt(static_cast<std::uint16_t>(address));
    return;
  }
  editor_->toggleBreakpoint();
}

void MainWindow::MEjecutar_hasta_cursorClick() {
  editor_->runToCursor();
}

void MainWindow::MPaso_atrasClick() {
  adapter_->debugging().stepBack();
}

void MainWindow::MSalir_de_ORBENClick() {
  close();
}

void MainWindow::EsconderMostrarelPanelInternodeTUKA21Click() {
  if (internal_bar_->pieceCount() == 1) {
    // Docked at home: the whole bottom area disappears, the window keeping
    // its size, or comes back with the window refitted around it.
    if (!internal_bar_->isHidden()) {
      internal_bar_->hide();
    } else {
      internal_bar_->show();
      fitWindowToContent(*this);
    }
  } else if (internal_piece_->floatingWindow()->isHidden()) {
    // Floating, its window closed: it shows again where it floated.
    internal_piece_->showFloating();
  } else {
    internal_bar_->dock(internal_piece_);
    Panel_Interno_EndDock(internal_bar_);
  }
}

void MainWindow::Panel_Interno_EndDock(DockBar* target) {
  // Home again: the window takes the size of its content and the bar
  // returns to its place above the status bar; then the user may resize
  // the window again.
  if (target != internal_bar_) return;
  target->returnToBottom();
  fitWindowToContent(*this);
}

void MainWindow::Memoria_EndDock(DockBar* target) {
  QWidget* memory = internal_view_->memoryPiece();
  if (target == nullptr) {
    // Floating: the memory window can be resized freely.
    memory->setMinimumSize(0, 0);
    memory->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else if (target == internal_view_->memoryBar()) {
    memory->setFixedSize(176, 204);
  }
}

void MainWindow::InicializarMemoria1Click() {
  adapter_->tuka().power.initialiseMemoryAndListing();
}

void MainWindow::MInicializar_memoria_al_Encender_TUKA2Click() {
  adapter_->tuka().power.toggleInitMemoryAtPowerOn();
}

void MainWindow::Panel_Registros_Ver() {
  input_ports_->toggleShown();
}

void MainWindow::EsconderMostrarpuertosdesalida1Click() {
  output_ports_->toggleShown();
}

void MainWindow::VelocidaddeejecucinenmodoPP1Click() {
  adapter_->tuka().run.chooseSpeed();
}

void MainWindow::Mododesensamblador1Click() {
  adapter_->tuka().disassembler.toggle();
}

void MainWindow::MApagar_TUKA2Click() {
  adapter_->tuka().power.TogglePower();
}

void MainWindow::MModoPasoapasoClick() {
  adapter_->tuka().run.toggleStepMode();
}

void MainWindow::Al_Pulsar_Memoria() {
  adapter_->tuka().disassembler.noteGridCaret(
      static_cast<long long>(internal_view_->memoryGrid()->caretByteIndex()));
}

void MainWindow::Editar_Memoria() {
  adapter_->tuka().disassembler.relistEditedWord();
}

}  // namespace orben
