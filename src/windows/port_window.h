#pragma once

#include <QWidget>

class QShowEvent;

namespace orben {

class MachineAdapter;
class TDigitalDisplay;

// The windows of the first 64 ports: TForm2 (input ports, editable) and
// TForm3 (output ports, only watched). Created hidden at start-up and kept
// until the program ends; the title bar's close button hides them. Every
// display shows its port's cell through the adapter, shown or hidden.
class PortWindow : public QWidget {
  Q_OBJECT

 public:
  enum class Kind { Input, Output };

  PortWindow(Kind kind, MachineAdapter& adapter);

  // The menu items "Esconder/Mostrar puertos de entrada/salida": hides the
  // window when shown, otherwise shows it and brings it to the front.
  void toggleShown();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // One page of 32 ports from `first`, four columns of eight.
  QWidget* createPage(const QString& name, int first);
  QWidget* createPort(int port, QWidget* page);

  // The click actions of the input ports' displays: PIN_01 (the keyboard
  // port) and every other input port.
  void Modifica_IP01(TDigitalDisplay* clicked);
  void Modifica_Puerto_IP(TDigitalDisplay* clicked);

  MachineAdapter& adapter_;
  const Kind kind_;
  bool placed_ = false;  // the input window is centred when first shown
};

}  // namespace orben
