#pragma once

#include <QMainWindow>

#include <memory>

class QAction;
class QKeySequence;
class QTimer;

namespace orben {

class CaseCheck;
class DockBar;
class DockPiece;
class FrontPanelView;
class InternalPanelView;
class MachineAdapter;
class PortWindow;
class SourceEditor;
class THListBox;

// TForm1, the main window: the toolbar Menu with its four drop-down menus
// in Barra_Principal, the page "Panel frontal" with the front panel and the
// program listing, the internal panel at the bottom and the status bar. It
// owns the machine's adapter, the step timer Reloj, the two port windows and
// the source editor.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow();
  ~MainWindow() override;

  // Switches TUKA-2 on as a press of On/Off does (its own handler), when
  // it is off.
  void switchOn();
  // Loads `path` as if the user had chosen it in DAbrir.
  void openObjectFile(const QString& path);
  // Opens the source `path` in the editor TEditorFuente.
  void openSourceFile(const QString& path);

  MachineAdapter& adapter() { return *adapter_; }
  // TForm2 and TForm3, created hidden after the main window.
  void createPortWindows();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private slots:
  void ORBEN_Inicio();
  void Cargarprogramaobjeto1Click();
  void MSalir_de_ORBENClick();
  void EsconderMostrarelPanelInternodeTUKA21Click();
  void InicializarMemoria1Click();
  void MInicializar_memoria_al_Encender_TUKA2Click();
  void Panel_Registros_Ver();
  void EsconderMostrarpuertosdesalida1Click();
  void VelocidaddeejecucinenmodoPP1Click();
  void Mododesensamblador1Click();
  void MApagar_TUKA2Click();
  void MModoPasoapasoClick();
  void MNuevo_fuenteClick();
  void MAbrir_fuenteClick();
  void MGuardar_fuenteClick();
  void MGuardar_fuente_comoClick();
  void MEnsamblar_y_cargarClick();
  void MGuardar_memoriaClick();
  void MComprobar_casosClick();
  void MEditor_fuenteClick();
  void MPunto_de_paradaClick();
  void MEjecutar_hasta_cursorClick();
  void MPaso_atrasClick();
  void Al_Pulsar_Memoria();
  void Editar_Memoria();
  // A dockable piece was dropped: on its home bar, or on nothing (nullptr)
  // when it floats.
  void Panel_Interno_EndDock(orben::DockBar* target);
  void Memoria_EndDock(orben::DockBar* target);

 private:
  QWidget* buildToolbar();
  QAction* menuItem(QMenu* menu, const QString& name, const QString& caption,
                    void (MainWindow::*handler)());
  // An item with a shortcut that works from every window of ORBEN; without
  // a handler, it is disabled.
  QAction* menuItem(QMenu* menu, const QString& name, const QString& caption,
                    const QKeySequence& keys, void (MainWindow::*handler)());
  void followMachine();

  std::unique_ptr<MachineAdapter> adapter_;
  QTimer* reloj_ = nullptr;
  DockBar* top_bar_ = nullptr;
  DockPiece* menu_piece_ = nullptr;
  DockBar* front_bar_ = nullptr;
  DockPiece* front_piece_ = nullptr;
  FrontPanelView* front_view_ = nullptr;
  DockBar* internal_bar_ = nullptr;
  DockPiece* internal_piece_ = nullptr;
  InternalPanelView* internal_view_ = nullptr;
  THListBox* listing_ = nullptr;
  PortWindow* input_ports_ = nullptr;
  PortWindow* output_ports_ = nullptr;
  SourceEditor* editor_ = nullptr;
  CaseCheck* case_check_ = nullptr;
};

}  // namespace orben
