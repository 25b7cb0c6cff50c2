#pragma once

#include <QWidget>

namespace orben {

class DockBar;
class DockPiece;
class MachineAdapter;
class THexEditor;

// The internal panel's three parts side by side on the teal panel: the
// processing unit (R0..RF, AR, DR, the flag box "FF", the control unit with
// IR and PC), the memory (the dock bar Contenedor_Memoria holding the piece
// PContenedor_Memoria with the grid Memoria), and the ports IP1, IP2, OP1,
// OP2.
class InternalPanelView : public QWidget {
  Q_OBJECT

 public:
  explicit InternalPanelView(MachineAdapter& adapter, QWidget* parent = nullptr);

  DockBar* memoryBar() const { return memory_bar_; }
  DockPiece* memoryPiece() const { return memory_piece_; }
  THexEditor* memoryGrid() const { return grid_; }

 private:
  QWidget* buildRegisters();
  QWidget* buildMemory();
  QWidget* buildPorts();
  // Registers and input ports open the value entry dialog when clicked.
  void makeEditable(QWidget* display);

  MachineAdapter& adapter_;
  DockBar* memory_bar_ = nullptr;
  DockPiece* memory_piece_ = nullptr;
  THexEditor* grid_ = nullptr;
};

}  // namespace orben
